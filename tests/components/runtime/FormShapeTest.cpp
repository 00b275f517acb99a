// The form shape on a real form: the window region read back with
// GetWindowRgn and PtInRegion (client shape, shadow, title bar kept or cut,
// missing data, bitmap shapes resizing the form), WM_NCHITTEST answers for
// dragging by the client area, WM_ERASEBKGND painted on a memory DC, and a
// background taken from an image list.
#include "components/runtime/qclcont.h"
#include "components/runtime/qclregion.h"
#include "tests/components/runtime/ContainerTestSupport.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"

#include <gtest/gtest.h>

using namespace containertest;

namespace {

struct Probe {
    int x, y;
    bool inside;
    const char* what;
};

class FormShapeTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeForm<TForm>(nullptr);
        form->BorderStyle = bsSingle;
        form->SetBounds(40, 40, 200, 150);
        form->HandleNeeded();
        frame = GetSystemMetrics(SM_CXDLGFRAME);
        caption = GetSystemMetrics(SM_CYCAPTION);
        titleBottom = caption + frame;
        clientWidth = 200 - 2 * frame;
        clientHeight = 150 - 2 * frame - caption;
    }
    void TearDown() override { form->Free(); }

    TQCLFormShape* makeShape(TQCLRegionShape shape) {
        TLoadingGuard loading;
        auto* s = new TQCLFormShape(form);
        s->GetRegion()->Shape = shape;
        loading.Finish();
        return s;
    }
    // The window's region as the system holds it.
    win32::RegionHandle windowRegion() {
        win32::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
        const int kind = GetWindowRgn(form->Handle, region.get());
        return kind == ERROR ? win32::RegionHandle() : std::move(region);
    }
    void expectRegion(std::initializer_list<Probe> probes) {
        const win32::RegionHandle region = windowRegion();
        ASSERT_TRUE(region.valid());
        for (const Probe& p : probes)
            EXPECT_EQ(PtInRegion(region.get(), p.x, p.y) != 0, p.inside) << p.what << " " << p.x << "," << p.y;
    }
    // WM_NCHITTEST at a client point.
    LRESULT hitAt(int x, int y) {
        POINT at{x, y};
        ClientToScreen(form->Handle, &at);
        return SendMessageA(form->Handle, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    }

    TForm* form = nullptr;
    int frame = 0, caption = 0, titleBottom = 0, clientWidth = 0, clientHeight = 0;
};

TEST_F(FormShapeTest, RectangleWithShadowAndTitleBar) {
    TQCLFormShape* shape = makeShape(rsRect);
    shape->GetRegion()->GetShadow()->SetStyle(hssSolid);
    const int right = frame + clientWidth + 1;  // the client area grown by one pixel
    const int bottom = titleBottom + clientHeight + 1;
    expectRegion({
        {5, caption / 2, true, "title bar"},
        {frame + 10, titleBottom + 10, true, "client"},
        {right - 7, titleBottom + 10, true, "shape's last column"},
        {right - 3, titleBottom + 2, false, "right of the shape, above the shadow"},
        {right - 3, titleBottom + 20, true, "shadow"},
        {right - 1, bottom - 1, true, "shadow's corner"},
        {right, bottom - 1, false, "past the shadow"},
        {frame + 2, bottom - 3, false, "left of the shadow's bottom"},
    });
    EXPECT_EQ(shape->CaptionHeight(), caption);
    EXPECT_EQ(shape->PaintRect(), TRect(-1, -1, clientWidth + 1, clientHeight + 1));

    shape->ShowFormCaption = false;
    expectRegion({{5, caption / 2, false, "title bar cut"}, {frame + 10, titleBottom + 10, true, "client"}});

    // Disabled: the form gets its rectangular window back.
    shape->Enabled = false;
    EXPECT_FALSE(windowRegion().valid());
}

TEST_F(FormShapeTest, EllipseAndReshapeOnResize) {
    TQCLFormShape* shape = makeShape(rsElliptic);
    expectRegion({{frame + clientWidth / 2, titleBottom + clientHeight / 2, true, "centre"},
                  {frame + 2, 148 - frame - 2, false, "bottom left corner"}});
    form->SetBounds(40, 40, 300, 150);
    expectRegion({{frame + 250, titleBottom + clientHeight / 2, true, "wider ellipse"}});
    (void)shape;
}

TEST_F(FormShapeTest, MissingDataKeepsTheTitleBarAndOnePixel) {
    makeShape(rsUserRegion);
    expectRegion({{5, caption / 2, true, "title bar"},
                  {frame, titleBottom, true, "the one pixel"},
                  {frame + 1, titleBottom + 1, false, "client"}});
}

TEST_F(FormShapeTest, PolygonShapeComesFromThePoints) {
    TQCLFormShape* shape = makeShape(rsUserRegion);
    const TPoint triangle[] = {{0, 0}, {100, 0}, {50, 80}};
    shape->SetPolygonShape(triangle, 2);
    expectRegion({{frame + 50, titleBottom + 10, true, "inside"}, {frame + 5, titleBottom + 70, false, "outside"}});
}

TEST_F(FormShapeTest, BitmapShapeSizesTheFormOnceToItsPicture) {
    TBitmap picture;
    paint(picture, 160, 100, {clRed});
    win32::RegionHandle outline(CreateEllipticRgn(0, 0, 160, 100));
    const DWORD size = GetRegionData(outline.get(), 0, nullptr);
    std::string data(size, '\0');
    GetRegionData(outline.get(), size, reinterpret_cast<RGNDATA*>(&data[0]));

    TQCLFormShape* shape = makeShape(rsRect);
    int changes = 0;
    shape->OnChange = [&changes](TObject*) { ++changes; };
    TQCLRegionMask* mask = shape->GetRegion()->GetMask();
    mask->SetBorderBmp(0, &picture);
    mask->SetRegionData(data.data(), static_cast<int>(data.size()));
    shape->GetRegion()->Shape = rsBitmap;
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(form->Width(), 160 + 2 * frame);
    EXPECT_EQ(form->Height(), 100 + 2 * frame + caption);
    expectRegion({{frame + 80, titleBottom + 50, true, "picture centre"},
                  {frame + 1, titleBottom + 1, false, "picture corner"}});
    EXPECT_TRUE(shape->BackBitmapCheck());
    EXPECT_EQ(shape->BackBitmap(), mask->GetBorderBmp());
}

TEST_F(FormShapeTest, ClientAreaDragsTheFormUnlessAControlOrTheRightButtonIsThere) {
    TQCLFormShape* shape = makeShape(rsRect);
    auto* control = new TShape(form);
    control->SetParent(form);
    control->SetBounds(10, 10, 20, 20);
    auto* disabled = new TShape(form);
    disabled->SetParent(form);
    disabled->SetBounds(50, 10, 20, 20);
    disabled->Enabled = false;

    struct Case {
        const char* what;
        int x, y;
        bool dragable;
        LRESULT expected;
    };
    const Case cases[] = {
        {"empty client area", 100, 60, true, HTCAPTION},
        {"windowless control", 15, 15, true, HTCLIENT},
        {"disabled control", 55, 15, true, HTCAPTION},
        {"not dragable", 100, 60, false, HTCLIENT},
    };
    for (const Case& c : cases) {
        shape->FormDragable = c.dragable;
        EXPECT_EQ(hitAt(c.x, c.y), c.expected) << c.what;
    }
    shape->FormDragable = true;
    SendMessageA(form->Handle, WM_NCRBUTTONDOWN, HTBORDER, 0);
    EXPECT_EQ(hitAt(100, 60), HTCLIENT) << "right button down on the frame";
    SendMessageA(form->Handle, WM_NCRBUTTONUP, HTBORDER, 0);
    EXPECT_EQ(hitAt(100, 60), HTCAPTION) << "right button up";
    SendMessageA(form->Handle, WM_NCRBUTTONDOWN, HTBORDER, 0);
    SendMessageA(form->Handle, WM_CAPTURECHANGED, 0, 0);
    EXPECT_EQ(hitAt(100, 60), HTCAPTION) << "capture changed";
}

TEST_F(FormShapeTest, EraseFillsTheBackgroundAndPaintsTheBorder) {
    // The client area grown by a pixel: a rectangle's border falls outside
    // the client, an ellipse's crosses it near the corners.
    TQCLFormShape* shape = makeShape(rsElliptic);
    EXPECT_FALSE(shape->BackBitmapCheck());
    TBitmap target;
    paint(target, 4, 4, {clWhite});
    EXPECT_FALSE(shape->BackDrawArea(target.GetCanvas(), TRect(0, 0, 4, 4), TPoint(0, 0)));

    shape->GetFillObject()->SetStyle(sfBrush);
    shape->GetFillObject()->GetBrush()->SetColor(clLime);
    TBitmap sheet;
    paint(sheet, form->GetClientWidth(), form->GetClientHeight(), {clWhite});
    HDC dc = sheet.GetCanvas()->GetHandle();
    RECT clipBefore;
    GetClipBox(dc, &clipBefore);
    EXPECT_EQ(SendMessageA(form->Handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    EXPECT_EQ(sheet.GetCanvas()->GetPixel(60, 50), clLime);
    int blackOnDiagonal = 0;
    for (int d = 0; d < 60; ++d)
        blackOnDiagonal += sheet.GetCanvas()->GetPixel(d, d * clientHeight / clientWidth) == clBlack;
    EXPECT_GT(blackOnDiagonal, 0) << "single border crossing the diagonal";
    RECT clipAfter;
    GetClipBox(dc, &clipAfter);
    EXPECT_TRUE(EqualRect(&clipBefore, &clipAfter));

    EXPECT_TRUE(shape->BackBitmapCheck());
    ASSERT_NE(shape->BackBitmap(), nullptr);
    EXPECT_EQ(shape->BackBitmap()->GetWidth(), form->GetClientWidth());
    EXPECT_TRUE(shape->BackDrawArea(target.GetCanvas(), TRect(60, 50, 62, 52), TPoint(1, 1)));
    EXPECT_EQ(target.GetCanvas()->GetPixel(1, 1), clLime);
    EXPECT_EQ(target.GetCanvas()->GetPixel(0, 0), clWhite);
}

}  // namespace

namespace {

// An sfBitmapList background paints the list's item (ListIndex, ImageIndex);
// the shape follows the list's changes and lets go of it when it is freed.
TEST_F(FormShapeTest, BitmapListBackgroundComesFromTheImageListItem) {
    TQCLFormShape* shape = makeShape(rsRect);
    auto* pictures = new TQCLBitmapList(form);
    for (TColor c : {clRed, clBlue}) {
        TBitmap picture;
        paint(picture, 8, 8, {c});
        pictures->GetArrayItem(pictures->Add())->SetBitmap(&picture);
    }
    shape->GetFillObject()->SetStyle(sfBitmapList);
    shape->GetFillObject()->SetTileMode(tmTile);
    auto backgroundAt = [&](int x, int y) {
        TBitmap sheet;
        paint(sheet, form->GetClientWidth(), form->GetClientHeight(), {clWhite});
        SendMessageA(form->Handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(sheet.GetCanvas()->GetHandle()), 0);
        return sheet.GetCanvas()->GetPixel(x, y);
    };
    struct Step {
        const char* what;
        int listIndex;
        TColor expected;
    } steps[] = {{"item 0", 0, clRed}, {"item 1", 1, clBlue}};
    shape->SetImageList(pictures);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        shape->SetListIndex(s.listIndex);
        EXPECT_EQ(backgroundAt(60, 50), s.expected);
    }

    int reshaped = 0;
    shape->OnChange = [&](TObject*) { ++reshaped; };
    pictures->Add();
    EXPECT_EQ(reshaped, 1) << "a change of the list reaches the shape";
    pictures->Free();
    EXPECT_EQ(shape->GetImageList(), nullptr);
    backgroundAt(60, 50);  // no freed list is touched
}

}  // namespace
