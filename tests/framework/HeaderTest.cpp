// The header control: owner-drawn sections with Pressed, and its events from
// synthetic notifications in both their A and W forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/framework/ControlsFixture.h"

namespace {

using fwtest::ControlsTest;
using fwtest::pixelOf;

class HeaderTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        header = new THeaderControl(form);
        header->Parent = form;
        header->Height = 20;
        for (const char* text : {"Name", "Size", "Date"}) {
            THeaderSection* s = header->Sections->Add();
            s->Text = text;
            s->Width = 60;
        }
        header->Sections->Items[1]->Style = hsOwnerDraw;
        header->Sections->Items[2]->MaxWidth = 90;
        header->HandleNeeded();
    }
    // Sends a header notification to the form as the header window would.
    LRESULT notify(UINT code, int item, int width = -1) {
        NMHEADERA nm{};
        HDITEMA hd{};
        nm.hdr.hwndFrom = header->Handle;
        nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header->Handle));
        nm.hdr.code = code;
        nm.iItem = item;
        if (width >= 0) {
            hd.mask = HDI_WIDTH;
            hd.cxy = width;
            nm.pitem = &hd;
        }
        LRESULT result = SendMessageA(form->Handle, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        lastWidth = hd.cxy;
        return result;
    }
    THeaderControl* header = nullptr;
    int lastWidth = 0;
};

TEST_F(HeaderTest, OwnerDrawnSectionGetsItsRectAndPressed) {
    struct Call {
        int index;
        TRect rect;
        bool pressed;
    };
    std::vector<Call> calls;
    header->OnDrawSection = [&](THeaderControl* h, THeaderSection* s, const TRect& rect, bool pressed) {
        calls.push_back({s->Index(), rect, pressed});
        h->Canvas->Brush->Color = pressed ? clRed : clBlue;
        h->Canvas->FillRect(rect);
    };
    auto bitmap = fwtest::paintOf(header);
    ASSERT_EQ(calls.size(), 1u) << "only the owner-drawn section";
    EXPECT_EQ(calls[0].index, 1);
    EXPECT_FALSE(calls[0].pressed);
    EXPECT_EQ(calls[0].rect.Left, 60);
    EXPECT_EQ(calls[0].rect.Right, 120);
    EXPECT_EQ(pixelOf(bitmap.get(), 90, 10), clBlue);
    EXPECT_EQ(header->Sections->Items[1]->Left(), 60);
    EXPECT_EQ(header->Sections->Items[2]->Right(), 180);

    // A pressed section (as during a click) is drawn with Pressed.
    TBitmap target;
    target.PixelFormat = pf24bit;
    target.SetSize(60, 20);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_HEADER;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(header->Handle));
    dis.itemID = 1;
    dis.itemAction = ODA_SELECT;
    dis.itemState = ODS_SELECTED;
    dis.hwndItem = header->Handle;
    dis.hDC = target.Canvas->Handle;
    dis.rcItem = RECT{0, 0, 60, 20};
    SendMessageA(form->Handle, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[1].pressed);
    EXPECT_EQ(pixelOf(&target, 30, 10), clRed);
}

TEST_F(HeaderTest, EventsFromAAndWNotifications) {
    std::vector<std::string> events;
    header->OnSectionClick = [&](THeaderControl* h, THeaderSection* s) {
        EXPECT_EQ(h, header);
        events.push_back("click " + s->Text());
    };
    header->OnSectionResize = [&](THeaderControl*, THeaderSection* s) {
        events.push_back("resize " + s->Text() + " " + std::to_string(s->Width()));
    };
    header->OnSectionTrack = [&](THeaderControl*, THeaderSection* s, int width, TSectionTrackState state) {
        events.push_back("track " + s->Text() + " " + std::to_string(width) + " " + std::to_string(state));
    };
    notify(HDN_ITEMCLICKA, 0);
    notify(HDN_ITEMCLICKW, 2);
    header->Sections->Items[0]->AllowClick = false;
    notify(HDN_ITEMCLICKW, 0);
    notify(HDN_ITEMCLICKA, 7);  // no such section
    EXPECT_EQ(events, (std::vector<std::string>{"click Name", "click Date"}));

    // A user drag: widths are clamped to MaxWidth on the way, the size is
    // kept at the end, and only the end reports a resize.
    events.clear();
    notify(HDN_BEGINTRACKW, 2, 60);
    notify(HDN_TRACKA, 2, 150);
    EXPECT_EQ(lastWidth, 90) << "the drag is held at MaxWidth";
    notify(HDN_ITEMCHANGEDW, 2, 90);
    notify(HDN_ENDTRACKA, 2, 95);
    EXPECT_EQ(events, (std::vector<std::string>{"track Date 60 0", "track Date 90 1", "track Date 90 2",
                                                 "resize Date 90"}));
    EXPECT_EQ(header->Sections->Items[2]->Width(), 90);

    // A width changed outside a drag (divider double click) reports too; one
    // set from code does not, yet reaches the window.
    events.clear();
    notify(HDN_ITEMCHANGEDA, 0, 44);
    header->Sections->Items[1]->Width = 75;
    EXPECT_EQ(events, (std::vector<std::string>{"resize Name 44"}));
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    SendMessageA(header->Handle, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.cxy, 75);
}

// An owner-drawn header also sends custom-draw notifications, whose data has
// another layout than an item notification's: where NMHEADER keeps its item
// pointer, NMCUSTOMDRAW keeps the DC (64-bit) or the rectangle (32-bit).
TEST_F(HeaderTest, CustomDrawNotificationIsIgnored) {
    int clicks = 0;
    header->OnSectionClick = [&](THeaderControl*, THeaderSection*) { ++clicks; };
    TBitmap target;
    target.SetSize(8, 8);
    NMCUSTOMDRAW cd{};
    cd.hdr.hwndFrom = header->Handle;
    cd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header->Handle));
    cd.hdr.code = NM_CUSTOMDRAW;
    cd.dwDrawStage = CDDS_PREPAINT;  // reads as a valid item index
    cd.hdc = target.Canvas->Handle;
    cd.rc = RECT{16, 0, 60, 20};
    LRESULT result = SendMessageA(form->Handle, WM_NOTIFY, cd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
    EXPECT_EQ(result, CDRF_DODEFAULT);
    EXPECT_EQ(header->Sections->Items[1]->Width(), 60);
    notify(HDN_ITEMCLICKA, 1);
    EXPECT_EQ(clicks, 1) << "item notifications still arrive";
}

TEST_F(HeaderTest, SectionsSurviveRecreation) {
    HWND before = header->Handle;
    header->Flat = true;
    ASSERT_NE(header->Handle(), before);
    EXPECT_EQ(SendMessageA(header->Handle, HDM_GETITEMCOUNT, 0, 0), 3);
    char text[32] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(header->Handle, HDM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "Date");
    SendMessageA(header->Handle, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_TRUE(item.fmt & HDF_OWNERDRAW);
}

}  // namespace
