// Graphic buttons: state sequences of press, drag and release, option
// groups, click repetition on synthetic pool ticks, the hot check, the
// drop-down part, enabling, the shape button's hit region, transparent
// buttons over their parent's background, the shape button's fills (pressed,
// from an image list, streamed), and the pictures' palettes.
#include "components/controls/QCLCustomPanel.h"
#include "components/controls/QCLMMButton.h"
#include "components/controls/QCLShapeButton.h"
#include "components/controls/QCLSpeedButton.h"
#include "components/runtime/QCLGradient.h"
#include "components/runtime/QCLShadow.h"
#include "components/runtime/QCLSimpleBevel.h"
#include "components/runtime/qclclass.h"
#include "components/runtime/qclcont_collections.h"
#include "framework/Win32Handles.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <functional>
#include <vector>

using namespace ctltest;

namespace {

void press(TControl* c, int x, int y) { c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
void move(TControl* c, int x, int y) { c->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
void release(TControl* c, int x, int y) { c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

TQCLTimerItem* timerOf(TQCLBaseGraphicButton* button, int which) {
    return QCLApplication->GetTimer(button->TimerIdentForTesting(which));
}

class GraphicButtonTest : public ControlsBaseTest {
protected:
    TQCLSpeedButton* addButton(int left, int* clicks) {
        auto* button = new TQCLSpeedButton(form);
        button->SetParent(form);
        button->SetBounds(left, 10, 23, 22);
        button->OnClick = [clicks](TObject*) { ++*clicks; };
        return button;
    }
};

}  // namespace

TEST_F(GraphicButtonTest, PressDragAndReleaseSequences) {
    int clicks = 0;
    auto* button = addButton(10, &clicks);
    struct Step {
        char action;  // p press, m move, r release
        int x, y;
        TQCLButtonState state;
        int clicks;
    } plain[] = {
        {'p', 5, 5, bsDown, 0}, {'m', 40, 5, bsUp, 0}, {'m', 6, 6, bsDown, 0}, {'r', 6, 6, bsMouseOver, 1},
        {'p', 5, 5, bsDown, 1}, {'m', 60, 60, bsUp, 1}, {'r', 60, 60, bsUp, 1},
    };
    for (const Step& s : plain) {
        if (s.action == 'p') press(button, s.x, s.y);
        else if (s.action == 'm') move(button, s.x, s.y);
        else release(button, s.x, s.y);
        EXPECT_EQ(button->GetState(), s.state) << s.action << " " << s.x;
        EXPECT_EQ(clicks, s.clicks) << s.action << " " << s.x;
    }
}

TEST_F(GraphicButtonTest, ADoubleClickReachesOnlyAPressedButton) {
    const struct {
        const char* name;
        bool pressed;
        int doubleClicks;
    } cases[] = {{"up", false, 0}, {"pressed", true, 1}};
    for (const auto& c : cases) {
        int clicks = 0, doubleClicks = 0;
        auto* button = addButton(10, &clicks);
        button->GroupIndex = 1;
        button->AllowAllUp = true;
        button->Pressed = c.pressed;
        button->OnDblClick = [&doubleClicks](TObject*) { ++doubleClicks; };
        button->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        release(button, 5, 5);
        EXPECT_EQ(doubleClicks, c.doubleClicks) << c.name;
        delete button;
    }
}

TEST_F(GraphicButtonTest, OptionGroupReleasesTheOthersAndHonoursAllowAllUp) {
    int clicks = 0;
    auto* a = addButton(10, &clicks);
    auto* b = addButton(40, &clicks);
    auto* c = addButton(70, &clicks);
    for (auto* button : {a, b, c}) button->SetGroupIndex(1);
    press(a, 5, 5);
    release(a, 5, 5);
    EXPECT_TRUE(a->GetPressed());
    press(b, 5, 5);
    release(b, 5, 5);
    EXPECT_TRUE(b->GetPressed());
    EXPECT_FALSE(a->GetPressed());
    EXPECT_EQ(a->GetState(), bsUp);
    EXPECT_EQ(clicks, 2);

    // Clicking the pressed one again does nothing ...
    press(b, 5, 5);
    release(b, 5, 5);
    EXPECT_TRUE(b->GetPressed());
    EXPECT_EQ(clicks, 2);
    // ... unless AllowAllUp, which every member takes over.
    b->SetAllowAllUp(true);
    EXPECT_TRUE(c->GetAllowAllUp());
    press(b, 5, 5);
    release(b, 5, 5);
    EXPECT_FALSE(b->GetPressed());
    EXPECT_EQ(clicks, 3);

    // Dragging off a pressed group button returns it to option-set without a click.
    c->SetPressed(true);
    press(c, 5, 5);
    move(c, 80, 80);
    release(c, 80, 80);
    EXPECT_TRUE(c->GetPressed());
    EXPECT_EQ(c->GetState(), bsOptionSet);
    EXPECT_EQ(clicks, 3);

    // Disabled and enabled again, a pressed button shows down-disabled, then option-set.
    c->SetEnabled(false);
    EXPECT_EQ(c->GetState(), bsDisabledDown);
    c->SetEnabled(true);
    EXPECT_EQ(c->GetState(), bsOptionSet);
    // A button without group cannot be pressed.
    auto* loose = addButton(100, &clicks);
    loose->SetPressed(true);
    EXPECT_FALSE(loose->GetPressed());
}

TEST_F(GraphicButtonTest, RepeatedClickRunsFromThePressAndTheTimer) {
    struct Case {
        uint16_t delay, interval, firstInterval, nextInterval;
    } cases[] = {
        {500, 100, 500, 100},
        {120, 100, 150, 100},  // an odd delay is rounded up to the pool's step
        {500, 130, 500, 500},  // an odd interval is ignored: the delay spacing stays
    };
    for (const Case& k : cases) {
        int clicks = 0;
        auto* button = addButton(10, &clicks);
        button->SetRepeatedClick(true);
        button->SetRepeatingDelay(k.delay);
        button->SetRepeatingInterval(k.interval);
        press(button, 5, 5);
        EXPECT_EQ(clicks, 1) << "the press clicks at once";
        TQCLTimerItem* timer = timerOf(button, 1);
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->GetInterval(), k.firstInterval);
        move(button, 6, 6);
        for (int tick = 1; tick <= 5; ++tick) {
            timer->Timer();
            EXPECT_EQ(clicks, 1 + tick);
            EXPECT_EQ(timer->GetInterval(), k.nextInterval);
        }
        release(button, 6, 6);
        EXPECT_EQ(clicks, 6) << "the release adds no click";
        EXPECT_EQ(button->TimerIdentForTesting(1), 0);
        delete button;
    }
}

TEST_F(GraphicButtonTest, HotButtonReturnsUpWhenThePointerIsGone) {
    form->Show();
    int clicks = 0;
    auto* button = addButton(10, &clicks);
    fwtest::pumpIdle();
    moveMouseTo(0, 0);
    fwtest::pumpIdle();
    button->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_EQ(button->GetState(), bsMouseOver);
    TQCLTimerItem* hot = timerOf(button, 0);
    ASSERT_NE(hot, nullptr);
    EXPECT_EQ(hot->GetInterval(), 100);
    hot->Timer();
    EXPECT_EQ(button->GetState(), bsUp);
    EXPECT_EQ(button->TimerIdentForTesting(0), 0);
}

TEST_F(GraphicButtonTest, DropDownPartOpensTheMenuOnlyOnItsStrip) {
    int clicks = 0;
    auto* button = addButton(10, &clicks);
    auto* menu = new TPopupMenu(form);
    button->SetDropDown(menu);
    button->SetDropDownCombo(true);
    EXPECT_EQ(button->GetWidth(), 35);
    int drops = 0;
    TQCLButtonState whileOpen = bsUp;
    button->PopupForTesting = [&](TPopupMenu* m, int, int) {
        EXPECT_EQ(m, menu);
        whileOpen = button->GetState();
        ++drops;
    };
    press(button, 30, 5);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(whileOpen, bsDropDownOpen);
    EXPECT_EQ(button->GetState(), bsMouseOver);
    press(button, 10, 5);
    EXPECT_EQ(button->GetState(), bsDown);
    release(button, 10, 5);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 1);
    button->SetDropDownCombo(false);
    EXPECT_EQ(button->GetWidth(), 23);
    // Without the part the whole face opens the menu; a freed menu is forgotten.
    press(button, 5, 5);
    EXPECT_EQ(drops, 2);
    delete menu;
    EXPECT_EQ(button->GetDropDownMenu(), nullptr);
}

TEST_F(GraphicButtonTest, ShapeButtonAnswersOnItsDrawnFaceOnly) {
    auto* ellipse = new TQCLShapeButton(form);
    ellipse->SetParent(form);
    ellipse->SetBounds(10, 10, 60, 40);
    ellipse->GetShape()->SetShape(TQCLShapeType::stEllipse);
    ellipse->GetShape()->GetShadow()->SetStyle(hssSolid);
    ellipse->GetShape()->GetShadow()->SetDepth(0);
    int clicks = 0;
    ellipse->OnClick = [&](TObject*) { ++clicks; };
    press(ellipse, 2, 2);
    release(ellipse, 2, 2);
    EXPECT_EQ(clicks, 0) << "the corner outside the ellipse";
    press(ellipse, 30, 20);
    release(ellipse, 30, 20);
    EXPECT_EQ(clicks, 1);

    // A rectangle with a 6-pixel shadow: the face is (0, 0, 54, 34), the shadow below and right of it.
    auto* rect = new TQCLShapeButton(form);
    rect->SetParent(form);
    rect->SetBounds(100, 10, 60, 40);
    rect->GetShape()->SetShape(TQCLShapeType::stRectangle);
    rect->GetShape()->GetShadow()->SetStyle(hssSolid);
    rect->GetShape()->GetShadow()->SetDepth(6);
    struct Hit {
        int x, y;
        bool in;
    } hits[] = {{2, 2, true}, {50, 30, true}, {52, 32, true}, {57, 37, false}, {58, 10, false}};
    for (const Hit& h : hits) EXPECT_EQ(rect->VerifyTransparency(h.x, h.y), h.in) << h.x << "," << h.y;

    // Equal Up and MouseOver colours: hot looks like up; different colours repaint.
    EXPECT_FALSE(rect->HotLooksDifferent());
    rect->GetColors()->SetColor(2, clYellow);
    EXPECT_TRUE(rect->HotLooksDifferent());
    EXPECT_EQ(rect->StateColor(bsMouseOver), clYellow);
}

TEST(MMButtonFaces, IndicesStreamAsImageThenReversedListIndices) {
    TQCLFaceIndices faces{};
    for (int s = 0; s < 8; ++s) faces[static_cast<size_t>(s)] = QCLFaceIndex(100 + s, s == 7 ? -2 : s);
    const std::vector<uint8_t> bytes = QCLFaceIndicesToBytes(faces);
    ASSERT_EQ(bytes.size(), 64u);
    struct Field {
        size_t offset;
        int32_t value;
    } fields[] = {{0, 0}, {4, 1}, {28, -2}, {32, 107}, {60, 100}};
    for (const Field& f : fields) {
        const int32_t got = static_cast<int32_t>(bytes[f.offset] | bytes[f.offset + 1] << 8 | bytes[f.offset + 2] << 16 |
                                                 static_cast<uint32_t>(bytes[f.offset + 3]) << 24);
        EXPECT_EQ(got, f.value) << f.offset;
    }
    TQCLFaceIndices back{};
    ASSERT_TRUE(QCLFaceIndicesFromBytes(bytes, back));
    for (int s = 0; s < 8; ++s) {
        EXPECT_EQ(back[static_cast<size_t>(s)].ListIndex, faces[static_cast<size_t>(s)].ListIndex);
        EXPECT_EQ(back[static_cast<size_t>(s)].ImageIndex, faces[static_cast<size_t>(s)].ImageIndex);
    }
    EXPECT_FALSE(QCLFaceIndicesFromBytes(std::vector<uint8_t>(56), back)) << "an older 56-byte record";
}

TEST_F(GraphicButtonTest, MultimediaButtonFallsBackAndIgnoresTransparentPixels) {
    auto* list = new TQCLImageList(form);
    list->Add();
    TQCLImageListItem* item = list->GetArrayItem(0);
    item->SetWidth(20);
    item->SetHeight(20);
    for (TColor colour : {clRed, clBlue}) {
        auto picture = filledBitmap(20, 20, clWhite);
        picture->GetCanvas()->GetBrush()->SetColor(colour);
        picture->GetCanvas()->GetPen()->SetColor(colour);
        picture->GetCanvas()->Ellipse(TRect(0, 0, 20, 20));
        item->Add(picture.get(), nullptr);
    }
    auto* button = new TQCLMMButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 20, 20);
    button->SetButtonFaceImageList(list);
    for (int s = 0; s < 8; ++s)  // every pair starts as (0, 0), a valid picture here
        button->SetButtonFaceIndex(static_cast<TQCLButtonState>(s), QCLFaceIndex(0, 9));
    button->SetButtonFaceIndex(bsUp, QCLFaceIndex(0, 0));
    button->SetButtonFaceIndex(bsDown, QCLFaceIndex(0, 1));
    struct Row {
        TQCLButtonState state;
        int face;
    } rows[] = {{bsUp, bsUp}, {bsMouseOver, bsUp}, {bsDisabledUp, bsUp}, {bsDown, bsDown}, {bsOptionSet, bsDown}};
    for (const Row& r : rows) EXPECT_EQ(button->FaceStateFor(r.state), r.face) << int(r.state);

    EXPECT_FALSE(button->VerifyTransparency(10, 10)) << "nothing drawn yet";
    paintControl(button, clBtnFace);
    EXPECT_EQ(button->FaceRect(), TRect(0, 0, 20, 20));
    press(button, 1, 1);
    EXPECT_EQ(button->GetState(), bsUp) << "a white corner is not part of the button";
    press(button, 10, 10);
    EXPECT_EQ(button->GetState(), bsDown);
    delete list;
    EXPECT_EQ(button->GetButtonFaceImageList(), nullptr);
    EXPECT_EQ(button->FaceStateFor(bsUp), -1);
}

namespace {

// Transparent buttons let the parent show: the explorer styles copy the
// parent's background under their face; without a background to copy they
// fill with their own colour.
TEST_F(GraphicButtonTest, TransparentExplorerButtonsShowTheParentsBackground) {
    struct Case {
        const char* what;
        TQCLUserButtonStyle style;
        bool parentFilled;
        TColor expected;
    } cases[] = {
        {"explorer on a filled panel", ubsExplorer, true, clYellow},
        {"coloured explorer on a filled panel", ubsExplorerColored, true, clYellow},
        {"explorer on a panel without a picture", ubsExplorer, false, clLime},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* panel = new TQCLCustomPanelFill(form);
        panel->SetParent(form);
        panel->SetBounds(0, 0, 120, 60);
        if (c.parentFilled) {
            panel->GetFillObject()->SetStyle(sfBrush);
            panel->GetFillObject()->GetBrush()->SetColor(clYellow);
        }
        auto* button = new TQCLSpeedButton(form);
        button->SetParent(panel);
        button->SetBounds(40, 20, 30, 24);
        button->SetColor(clLime);
        button->SetStyle(c.style);
        panel->HandleNeeded();
        EXPECT_EQ(button->CheckOptimized(), c.parentFilled);
        auto painted = fwtest::paintOf(panel);
        EXPECT_EQ(fwtest::pixelOf(painted.get(), 40 + 15, 20 + 12), c.expected);
        panel->Free();
    }
}

TEST_F(GraphicButtonTest, TransparentClearsOpaqueAndLeavingItRestoresIt) {
    auto* button = new TQCLSpeedButton(form);
    button->SetParent(form);
    EXPECT_FALSE(button->GetTransparent());
    EXPECT_TRUE(button->GetControlStyle().Contains(csOpaque));
    button->SetTransparent(true);
    EXPECT_FALSE(button->GetControlStyle().Contains(csOpaque));
    EXPECT_FALSE(button->CheckOptimized()) << "the form has no background picture";
    button->SetTransparent(false);
    EXPECT_TRUE(button->GetControlStyle().Contains(csOpaque));
}

}  // namespace

namespace {

TQCLImageList* pictureList(TComponent* owner, int size, std::initializer_list<TColor> colours) {
    auto* list = new TQCLImageList(owner);
    TQCLImageListItem* item = list->GetArrayItem(list->Add());
    item->SetWidth(size);
    item->SetHeight(size);
    for (TColor colour : colours) item->Add(filledBitmap(size, size, colour).get(), nullptr);
    return list;
}

TEST(MMButtonFaces, DrawFlagsFollowTheFaceStyleQuickDrawAndTransparency) {
    struct Case {
        TQCLBitmapStyle style;
        bool quick, transparent, force;
        uint16_t flags;
    } cases[] = {
        {sbNone, false, false, false, 0x1000},  {sbNone, true, false, false, 0x0000},
        {sbCenter, false, false, false, 0x1008}, {sbStretch, false, false, false, 0x1010},
        {sbTile, true, false, false, 0x0020},   {sbKeepAspRatio, true, false, false, 0x0610},
        {sbKeepWidth, true, false, false, 0x0210}, {sbKeepHeight, true, false, false, 0x0410},
        {sbNone, true, true, false, 0x0040},    {sbNone, true, false, true, 0x0040},
    };
    for (const Case& c : cases) {
        TQCLMMButton button(nullptr);
        button.SetButtonFaceStyle(c.style);
        button.QuickDraw = c.quick;
        button.SetTransparent(c.transparent);
        button.ForceTransparent = c.force;
        EXPECT_EQ(button.FaceDrawFlags(), c.flags) << int(c.style) << " quick " << c.quick;
    }
}

TEST_F(GraphicButtonTest, MultimediaButtonTakesItsPictureSizeAndRepaintsWhenTheListChanges) {
    TQCLImageList* list = pictureList(form, 16, {clRed});
    auto* button = new TQCLMMButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 40, 30);
    button->SetButtonFaceImageList(list);
    button->SetButtonFaceStyle(sbAutosize);
    paintControl(button, clBtnFace);
    EXPECT_EQ(button->GetWidth(), 16);
    EXPECT_EQ(button->GetHeight(), 16);

    form->HandleNeeded();
    fwtest::pumpIdle();
    ValidateRect(form->GetHandle(), nullptr);
    list->Add();
    RECT dirty{};
    ASSERT_TRUE(GetUpdateRect(form->GetHandle(), &dirty, FALSE)) << "the list's change repaints the button";
    EXPECT_TRUE(TRect(dirty.left, dirty.top, dirty.right, dirty.bottom).Contains(TPoint(15, 15)));
    ValidateRect(form->GetHandle(), nullptr);
    list->Free();
    EXPECT_EQ(button->GetButtonFaceImageList(), nullptr);
    paintControl(button, clBtnFace);  // no freed list is touched
}

// The shape button's own fills: a gradient across the face, a picture tiled
// rather than stretched, and the 3D bevel raised when up and sunk when down.
TEST_F(GraphicButtonTest, ShapeButtonFillsWithGradientOrTiledPictureAndBevelsIn3D) {
    auto makeButton = [&](TQCLShapeButtonStyle style) {
        auto* b = new TQCLShapeButton(form);
        b->SetParent(form);
        b->SetBounds(10, 10, 60, 40);
        b->GetShape()->SetShape(TQCLShapeType::stRectangle);
        b->GetShape()->GetShadow()->SetDepth(0);
        b->SetShapeStyle(style);
        b->SetMode(sbmShapeFill);
        return b;
    };
    TQCLShapeButton* gradient = makeButton(sbsShadow);
    TQCLGradient* g = gradient->GetShapeFill()->GetGradient();
    g->SetColor(clRed);
    g->SetEndColor(clBlue);
    g->SetStyle(gstHorizontal);
    gradient->GetShapeFill()->SetStyle(sfGradient);
    auto seen = paintControl(gradient, clBtnFace);
    const TColor left = fwtest::pixelOf(seen.get(), 5, 20), right = fwtest::pixelOf(seen.get(), 54, 20);
    EXPECT_GT(GetRValue(left), GetBValue(left)) << "red at the start";
    EXPECT_GT(GetBValue(right), GetRValue(right)) << "blue at the end";

    TQCLShapeButton* tiled = makeButton(sbsShadow);
    auto picture = filledBitmap(8, 8, clLime);
    SetPixel(picture->GetCanvas()->GetHandle(), 0, 0, RGB(255, 0, 0));
    tiled->GetShapeFill()->SetFillBitmap(picture.get());
    tiled->GetShapeFill()->SetTileMode(tmTile);
    tiled->GetShapeFill()->SetStyle(sfBitmap);
    seen = paintControl(tiled, clBtnFace);
    EXPECT_EQ(fwtest::pixelOf(seen.get(), 16, 16), clRed) << "the picture repeats every 8 pixels";
    EXPECT_EQ(fwtest::pixelOf(seen.get(), 17, 17), clLime);

    TQCLShapeButton* raised = makeButton(sbs3D);
    TQCLSimpleBevel* bevel = raised->GetShape()->GetBevel();
    bevel->SetWidth(2);
    bevel->SetLightColor(clWhite);
    bevel->SetShadowColor(clBlack);
    const TColor upEdge = fwtest::pixelOf(paintControl(raised, clBtnFace).get(), 0, 20);
    press(raised, 30, 20);
    const TColor downEdge = fwtest::pixelOf(paintControl(raised, clBtnFace).get(), 0, 20);
    EXPECT_EQ(upEdge, clWhite) << "raised: light at the top left";
    EXPECT_EQ(downEdge, clBlack) << "sunk: shadow at the top left";
}

}  // namespace

namespace {

// A pressed shape button moves its fill picture as it moves its caption: 2
// pixels in 3D, the shadow's depth otherwise; the shape itself stays put.
TEST_F(GraphicButtonTest, PressedShapeButtonMovesItsFillPicture) {
    struct Case {
        const char* what;
        TQCLShapeButtonStyle style;
        int depth, shift;
    } cases[] = {
        {"3D", sbs3D, 6, 2},
        {"shadow of 4", sbsShadow, 4, 4},
        {"shadow of 0", sbsShadow, 0, 0},
    };
    auto picture = filledBitmap(8, 8, clLime);
    SetPixel(picture->GetCanvas()->GetHandle(), 0, 0, RGB(255, 0, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* b = new TQCLShapeButton(form);
        b->SetParent(form);
        b->SetBounds(10, 10, 60, 40);
        b->GetShape()->SetShape(TQCLShapeType::stRectangle);
        b->GetShape()->GetShadow()->SetDepth(c.depth);
        b->GetShape()->GetBevel()->SetWidth(0);
        b->SetShapeStyle(c.style);
        b->SetMode(sbmShapeFill);
        b->GetShapeFill()->SetFillBitmap(picture.get());
        b->GetShapeFill()->SetTileMode(tmTile);
        b->GetShapeFill()->SetStyle(sfBitmap);
        auto up = paintControl(b, clBtnFace);
        EXPECT_EQ(fwtest::pixelOf(up.get(), 16, 16), clRed);
        press(b, 30, 20);
        ASSERT_EQ(b->GetState(), bsDown);
        auto down = paintControl(b, clBtnFace);
        EXPECT_EQ(fwtest::pixelOf(down.get(), 16 + c.shift, 16 + c.shift), clRed);
        if (c.shift != 0) {
            EXPECT_EQ(fwtest::pixelOf(down.get(), 16, 16), clLime);
        }
        release(b, 30, 20);
        b->Free();
    }
}

// What shows beside an ellipse's curve: the button's colour when opaque; the
// parent's picture when transparent over one; when transparent over none,
// whatever the target held (blue here), the stand-in colour left out.
TEST_F(GraphicButtonTest, TransparentShapeButtonShowsWhatLiesUnderIt) {
    struct Case {
        const char* what;
        bool transparent, parentFilled;
        TColor corner;
    } cases[] = {
        {"opaque", false, true, clLime},
        {"transparent on a filled panel", true, true, clYellow},
        {"transparent on a panel without a picture", true, false, clBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* panel = new TQCLCustomPanelFill(form);
        panel->SetParent(form);
        panel->SetBounds(0, 0, 120, 80);
        if (c.parentFilled) {
            panel->GetFillObject()->SetStyle(sfBrush);
            panel->GetFillObject()->GetBrush()->SetColor(clYellow);
        }
        auto* b = new TQCLShapeButton(form);
        b->SetParent(panel);
        b->SetBounds(20, 20, 60, 40);
        b->SetColor(clLime);
        b->GetShape()->SetShape(TQCLShapeType::stEllipse);
        b->GetColors()->SetColor(4, clRed);
        b->SetMode(sbmShapeFill);
        b->GetShapeFill()->SetStyle(sfBrush);
        b->GetShape()->GetBrush()->SetColor(clRed);
        b->SetTransparent(c.transparent);
        panel->HandleNeeded();
        auto painted = paintControl(b, clBlue);
        EXPECT_EQ(fwtest::pixelOf(painted.get(), 1, 1), c.corner);
        EXPECT_EQ(fwtest::pixelOf(painted.get(), 27, 17), clRed) << "the face";
        panel->Free();
    }
}

// A list whose pictures carry a palette, as 8-bit pictures would.
class PalettedList : public TQCLImageList {
public:
    using TQCLImageList::TQCLImageList;
    HPALETTE palette = nullptr;
    HPALETTE Palette(int) override { return palette; }
};

win32::PaletteHandle onePalette() {
    LOGPALETTE log{0x300, 1, {{255, 0, 0, 0}}};
    return win32::PaletteHandle(CreatePalette(&log));
}

// The palette selected in the target once the control has painted itself.
HPALETTE paletteAfterPaint(TControl* control) {
    auto bitmap = filledBitmap(control->GetWidth(), control->GetHeight(), clWhite);
    HDC dc = bitmap->GetCanvas()->GetHandle();
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    auto selected = static_cast<HPALETTE>(GetCurrentObject(dc, OBJ_PAL));
    SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    return selected;
}

// The face list's palette is realised in the target before the face is
// copied there, unless QuickDraw; the shape button answers its fill's palette.
TEST_F(GraphicButtonTest, ButtonsRealiseOrAnswerTheirPicturesPalette) {
    win32::PaletteHandle palette = onePalette();
    auto* list = new PalettedList(form);
    TQCLImageListItem* item = list->GetArrayItem(list->Add());
    item->SetWidth(16);
    item->SetHeight(16);
    item->Add(filledBitmap(16, 16, clRed).get(), nullptr);
    list->palette = palette.get();
    for (bool quick : {false, true}) {
        SCOPED_TRACE(quick ? "quick" : "with palette");
        auto* button = new TQCLMMButton(form);
        button->SetParent(form);
        button->SetBounds(0, 0, 16, 16);
        button->SetButtonFaceImageList(list);
        button->QuickDraw = quick;
        EXPECT_EQ(button->GetPalette(), palette.get());
        EXPECT_EQ(paletteAfterPaint(button) == palette.get(), !quick);
        button->Free();
    }

    auto* shape = new TQCLShapeButton(form);
    EXPECT_EQ(shape->GetPalette(), nullptr) << "no fill";
    TQCLGradient* gradient = shape->GetShapeFill()->GetGradient();
    gradient->SetPaletteRealize(true);
    shape->GetShapeFill()->SetStyle(sfGradient);
    ASSERT_NE(gradient->GetPalette(), nullptr);
    EXPECT_EQ(shape->GetPalette(), gradient->GetPalette());
    shape->Free();
}

}  // namespace

namespace {

// The shape button's picture fill from an image list: the indexes choose the
// picture, negative ones are ignored, one naming no picture leaves the
// button's colour, a change of the list reloads it, and a freed list is let
// go together with its picture.
TEST_F(GraphicButtonTest, ShapeButtonTakesItsFillPictureFromItsImageList) {
    TQCLImageList* list = pictureList(form, 8, {clRed, clBlue});
    auto* b = new TQCLShapeButton(form);
    b->SetParent(form);
    b->SetBounds(10, 10, 60, 40);
    b->SetColor(clLime);
    b->GetShape()->SetShape(TQCLShapeType::stRectangle);
    b->GetShape()->GetShadow()->SetDepth(0);
    b->SetMode(sbmShapeFill);
    b->GetShapeFill()->SetStyle(sfBitmapList);
    b->SetBtnFaceImageList(list);
    struct Step {
        const char* what;
        std::function<void()> act;
        TColor face;
    } steps[] = {
        {"the first picture", [] {}, clRed},
        {"image index 1", [&] { b->SetBtnFaceIndex(0, 1); }, clBlue},
        {"a negative index is ignored", [&] { b->SetBtnFaceIndex(0, -1); }, clBlue},
        {"a list index naming no list", [&] { b->SetBtnFaceIndex(1, 3); }, clLime},
        {"back to the first list", [&] { b->SetBtnFaceIndex(1, 0); }, clBlue},
        {"the picture replaced and the list's change told",
         [&] {
             list->GetArrayItem(0)->Replace(1, filledBitmap(8, 8, clYellow).get(), nullptr);
             list->Change();
         },
         clYellow},
        {"the list freed", [&] { list->Free(); }, clLime},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(fwtest::pixelOf(paintControl(b, clBtnFace).get(), 20, 20), s.face);
    }
    EXPECT_EQ(b->GetShapeFillImageList(), nullptr);
}

// A global container's list is written as "InternalBtn" and read back; a
// list of the form is not written.
TEST_F(GraphicButtonTest, ShapeButtonStreamsAGlobalFillListOnly) {
    auto streamed = [](TPersistent* instance) {
        TMemoryStream stream;
        WriteDefinedProperties(&stream, instance);
        return stream.GetSize();
    };
    auto* b = new TQCLShapeButton(form);
    const int64_t nothing = streamed(b);
    b->SetBtnFaceImageList(new TQCLBitmapList(form));
    EXPECT_EQ(streamed(b), nothing);
    TQCLCustomImageList* global = QCLGlobalContainer->GetBitmapList();
    b->SetBtnFaceImageList(global);
    TMemoryStream stream;
    WriteDefinedProperties(&stream, b);
    EXPECT_GT(stream.GetSize(), nothing);

    TLoadingGuard guard;
    auto* copy = new TQCLShapeButton(form);
    stream.SetPosition(0);
    ReadDefinedProperties(&stream, copy);
    guard.Finish();
    EXPECT_EQ(copy->GetShapeFillImageList(), global);
}

}  // namespace

namespace {

// ForceTransparent and QuickDraw change the face and repaint it; CaptionDown
// is only stored, for the next press to use.
TEST_F(GraphicButtonTest, MultimediaButtonRepaintsWhenItsDrawingSettingsChange) {
    auto* button = new TQCLMMButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 40, 30);
    struct Case {
        const char* what;
        std::function<void()> change;
        bool repaints;
    } cases[] = {
        {"ForceTransparent off", [&] { button->SetForceTransparent(false); }, true},
        {"ForceTransparent unchanged", [&] { button->SetForceTransparent(false); }, false},
        {"QuickDraw on", [&] { button->SetQuickDraw(true); }, true},
        {"CaptionDown", [&] { button->SetCaptionDown(3); }, false},
    };
    form->HandleNeeded();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fwtest::pumpIdle();
        ValidateRect(form->GetHandle(), nullptr);
        c.change();
        EXPECT_EQ(GetUpdateRect(form->GetHandle(), nullptr, FALSE) != FALSE, c.repaints);
    }
    EXPECT_EQ(button->GetCaptionDown(), 3);
}

}  // namespace

namespace {

// The look settings of a graphic button repaint it when they change.
TEST_F(GraphicButtonTest, SpeedButtonRepaintsWhenItsLookSettingsChange) {
    auto* button = new TQCLSpeedButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 40, 30);
    struct Case {
        const char* what;
        std::function<void()> change;
        bool repaints;
    } cases[] = {
        {"EnterColor", [&] { button->EnterColor = clRed; }, true},
        {"EnterColor unchanged", [&] { button->EnterColor = clRed; }, false},
        {"DropDownIndent", [&] { button->DropDownIndent = 4; }, true},
        {"DropDownRight", [&] { button->DropDownRight = true; }, true},
        {"MultiLine", [&] { button->MultiLine = true; }, true},
        {"MultiLine unchanged", [&] { button->MultiLine = true; }, false},
    };
    form->HandleNeeded();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fwtest::pumpIdle();
        ValidateRect(form->GetHandle(), nullptr);
        c.change();
        EXPECT_EQ(GetUpdateRect(form->GetHandle(), nullptr, FALSE) != FALSE, c.repaints);
    }
    EXPECT_EQ(clRed, static_cast<TColor>(button->EnterColor));
    EXPECT_EQ(4, static_cast<int>(button->DropDownIndent));
}

}  // namespace

namespace {

// Only the flat speed-button faces draw the MouseOver flag, so only they
// repaint when it changes; every button reports the enter and the exit.
TEST_F(GraphicButtonTest, MouseOverRepaintsOnlyFlatSpeedButtons) {
    struct Case {
        const char* what;
        std::function<TQCLBaseGraphicButton*()> make;
        bool repaints;
    } cases[] = {
        {"speed, flat", [&] { auto* b = new TQCLSpeedButton(form); b->Style = ubsFlat; return b; }, true},
        {"speed, navigator", [&] { auto* b = new TQCLSpeedButton(form); b->Style = ubsNavigator; return b; }, true},
        {"speed, Win40", [&] { auto* b = new TQCLSpeedButton(form); b->Style = ubsWin40; return b; }, false},
        {"speed, explorer", [&] { auto* b = new TQCLSpeedButton(form); b->Style = ubsExplorer; return b; }, false},
        {"shape button", [&] { return static_cast<TQCLBaseGraphicButton*>(new TQCLShapeButton(form)); }, false},
    };
    form->HandleNeeded();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TQCLBaseGraphicButton* button = c.make();
        button->SetParent(form);
        button->SetBounds(10, 10, 40, 30);
        int events = 0;
        button->OnMouseEnter = [&](TObject*) { ++events; };
        button->OnMouseExit = [&](TObject*) { ++events; };
        for (bool over : {true, false}) {
            fwtest::pumpIdle();
            ValidateRect(form->GetHandle(), nullptr);
            button->SetMouseOver(over);
            EXPECT_EQ(GetUpdateRect(form->GetHandle(), nullptr, FALSE) != FALSE, c.repaints);
        }
        EXPECT_EQ(2, events);
        delete button;
    }
}

}  // namespace

namespace {

// The accelerator of a button without group clicks it and leaves it hot
// while the pointer stands on it.
TEST_F(GraphicButtonTest, AcceleratorLeavesTheButtonHotOnlyUnderThePointer) {
    form->Show();
    int clicks = 0;
    TQCLSpeedButton* button = addButton(10, &clicks);
    button->SetText("&Go");
    struct Case {
        const char* what;
        TPoint pointer;  // in the button
        TQCLButtonState after;
    } cases[] = {
        {"pointer on the button", TPoint(11, 11), bsMouseOver},
        {"pointer outside", TPoint(200, 200), bsUp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        button->Perform(CM_MOUSELEAVE, 0, 0);
        const TPoint at = button->ClientToScreen(c.pointer);
        moveMouseTo(at.x, at.y);
        fwtest::pumpIdle();
        clicks = 0;
        EXPECT_EQ(1, button->Perform(CM_DIALOGCHAR, 'G', 0));
        EXPECT_EQ(1, clicks);
        EXPECT_EQ(c.after, button->GetState());
    }
}

}  // namespace

namespace {

// Whether the first `width` columns of two pictures are equal.
bool samePixels(TBitmap* a, TBitmap* b, int width) {
    if (a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
    for (int y = 0; y < a->GetHeight(); ++y)
        for (int x = 0; x < width; ++x)
            if (a->GetCanvas()->GetPixel(x, y) != b->GetCanvas()->GetPixel(x, y)) return false;
    return true;
}

// While its menu is open the main face is drawn hot, not pressed, with or
// without a separate drop-down part (which itself shows the open state).
TEST_F(GraphicButtonTest, OpenMenuDrawsTheMainFaceHot) {
    for (bool part : {false, true}) {
        SCOPED_TRACE(part ? "with a drop-down part" : "whole face");
        int clicks = 0;
        TQCLSpeedButton* button = addButton(10, &clicks);
        button->Style = ubsWin40;
        button->SetDropDown(new TPopupMenu(form));
        button->SetDropDownCombo(part);
        std::unique_ptr<TBitmap> whileOpen;
        button->PopupForTesting = [&](TPopupMenu*, int, int) { whileOpen = paintControl(button, clWhite); };
        press(button, button->GetWidth() - 3, 5);
        ASSERT_TRUE(whileOpen);
        ASSERT_EQ(bsMouseOver, button->GetState());
        const int mainWidth = button->GetWidth() - (part ? button->GetDropDownComboWidth() : 0);
        EXPECT_TRUE(samePixels(whileOpen.get(), paintControl(button, clWhite).get(), mainWidth));
        delete button;
    }
}

}  // namespace

namespace {

// A visible button shows its new state at once, without waiting for a paint
// cycle; only a see-through button with no background to draw from is left
// to the next paint.
TEST_F(GraphicButtonTest, StateChangePaintsAtOnceUnlessNoBackgroundIsAvailable) {
    struct Case {
        const char* what;
        TQCLUserButtonStyle style;
        bool leftPending;
    } cases[] = {
        {"opaque face", ubsWin40, false},
        {"see-through face without a background", ubsExplorer, true},
    };
    form->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int clicks = 0;
        TQCLSpeedButton* button = addButton(10, &clicks);
        button->Style = c.style;
        fwtest::pumpIdle();
        ValidateRect(form->GetHandle(), nullptr);
        press(button, 5, 5);
        ASSERT_EQ(bsDown, button->GetState());
        EXPECT_EQ(c.leftPending, GetUpdateRect(form->GetHandle(), nullptr, FALSE) != FALSE);
        release(button, 5, 5);
        delete button;
    }
}

}  // namespace

namespace {

class TGlyphReadCounter : public TQCLSpeedButton {
public:
    using TQCLSpeedButton::TQCLSpeedButton;
    void GetIMLChange(TObject* Sender) override {
        ++reads;
        TQCLSpeedButton::GetIMLChange(Sender);
    }
    int reads = 0;
};

// Lists built from collections may receive their pictures only after the
// button has read its glyph, so loading ends by reading it once more.
TEST_F(GraphicButtonTest, LoadedRereadsTheGlyphOfACollectionList) {
    struct Case {
        const char* what;
        std::function<TQCLCustomImageList*()> makeList;
        int rereads;
    } cases[] = {
        {"graphic list", [&] { return static_cast<TQCLCustomImageList*>(new TQCLGraphicList(form)); }, 1},
        {"connector", [&] { return static_cast<TQCLCustomImageList*>(new TQCLImageListConnector(form)); }, 1},
        {"bitmap list", [&] { return static_cast<TQCLCustomImageList*>(new TQCLBitmapList(form)); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TQCLCustomImageList* list = c.makeList();
        TLoadingGuard guard;
        auto* button = new TGlyphReadCounter(form);
        button->SetImageList(list);
        const int before = button->reads;
        guard.Finish();
        EXPECT_EQ(c.rereads, button->reads - before);
    }
}

}  // namespace
