// Label, edit, memo, panel, image, shape and the popup menu of a control:
// the behaviour the forms rely on, checked on real windows and painted pixels.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/framework/ControlsFixture.h"
#include "tests/support/DialogAnswerer.h"

namespace {

using fwtest::closeTo;
using fwtest::ControlsTest;
using fwtest::pixelOf;

class SimpleControlsTest : public ControlsTest {};

// True when some pixel of the bitmap inside `area` has exactly `colour`.
bool anyPixel(TBitmap* bitmap, TRect area, TColor colour) {
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (pixelOf(bitmap, x, y) == colour) return true;
    return false;
}

TEST_F(SimpleControlsTest, LabelSizesItselfAtOnceAndFocusesItsControl) {
    TLabel free(nullptr);  // no parent, no window anywhere
    free.Caption = "Short";
    int shortWidth = free.Width;
    free.Caption = "A much longer caption";
    EXPECT_GT(free.Width(), shortWidth);
    EXPECT_GT(free.Height(), 8);
    int lineHeight = free.Height;
    free.AutoSize = false;
    free.Width = 60;
    free.WordWrap = true;
    free.AutoSize = true;
    EXPECT_LE(free.Width(), 60) << "wrapped inside the box's width";
    EXPECT_GE(free.Height(), 2 * lineHeight) << "wrapped text grows the height";

    auto* label = new TLabel(form);
    label->Parent = form;
    label->Alignment = taRightJustify;
    label->SetBounds(100, 10, 0, 0);
    label->Caption = "&Vault";
    int right = label->Left + label->Width;
    label->Caption = "&Vault name";
    EXPECT_EQ(label->Left + label->Width, right) << "right-aligned labels keep their right edge";

    auto* edit = new TEdit(form);
    edit->Parent = form;
    edit->SetBounds(100, 40, 100, 21);
    label->FocusControl = edit;
    EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'v', 0), 1);
    EXPECT_EQ(GetFocus(), edit->Handle());
    EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    edit->Free();
    EXPECT_EQ(label->FocusControl(), nullptr) << "freeing the control clears the reference";
}

TEST_F(SimpleControlsTest, DisabledLabelDrawsInGrayText) {
    auto* label = new TLabel(form);
    label->Parent = form;
    label->SetBounds(10, 10, 0, 0);
    label->Font->Color = clBlack;
    label->Caption = "MMMM";
    TRect area = label->BoundsRect();
    auto enabled = fwtest::paintOf(form);
    EXPECT_TRUE(anyPixel(enabled.get(), area, clBlack));
    label->Enabled = false;
    auto disabled = fwtest::paintOf(form);
    EXPECT_TRUE(anyPixel(disabled.get(), area, static_cast<TColor>(ColorToRGB(clGrayText))));
    EXPECT_FALSE(anyPixel(disabled.get(), area, clBlack));
}

TEST_F(SimpleControlsTest, EditSettingsReachTheWindowAndSurviveRecreation) {
    auto* edit = new TEdit(form);
    edit->MaxLength = 12;
    edit->PasswordChar = '*';
    edit->Parent = form;
    HWND window = edit->Handle;
    EXPECT_EQ(SendMessageA(window, EM_GETLIMITTEXT, 0, 0), 12);
    EXPECT_EQ(SendMessageA(window, EM_GETPASSWORDCHAR, 0, 0), '*');
    edit->ReadOnly = true;
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & ES_READONLY);
    edit->ReadOnly = false;
    edit->Text = "abcdef";
    EXPECT_FALSE(edit->Modified()) << "text from code is no user edit";
    edit->SelStart = 6;
    SendMessageA(window, WM_CHAR, 'g', 0);
    EXPECT_TRUE(edit->Modified());
    edit->SelStart = 1;
    edit->SelLength = 3;
    EXPECT_EQ(edit->SelText(), "bcd");
    edit->SelText = "X";
    EXPECT_EQ(edit->Text(), "aXefg");
    edit->BorderStyle = bsNone;  // re-created
    ASSERT_NE(edit->Handle(), window);
    EXPECT_EQ(edit->Text(), "aXefg");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(SendMessageA(edit->Handle, EM_GETLIMITTEXT, 0, 0), 12);
}

TEST_F(SimpleControlsTest, DialogCodesClaimTheirKeys) {
    auto code = [](TWinControl* c) { return static_cast<UINT>(c->Perform(WM_GETDLGCODE, 0, 0)); };
    auto* edit = new TEdit(form);
    auto* memo = new TMemo(form);
    auto* list = new TListBox(form);
    auto* tree = new TTreeView(form);
    const UINT editCode = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
    EXPECT_EQ(code(edit), editCode);
    EXPECT_EQ(code(memo), editCode | DLGC_WANTALLKEYS);
    memo->WantReturns = false;
    memo->WantTabs = true;
    EXPECT_EQ(code(memo), editCode | DLGC_WANTTAB);
    EXPECT_EQ(code(list), UINT(DLGC_WANTARROWS | DLGC_WANTCHARS));
    EXPECT_EQ(code(tree), UINT(DLGC_WANTARROWS | DLGC_WANTCHARS));
}

TEST_F(SimpleControlsTest, MemoLinesAreTheTextSplitAtLineBreaks) {
    auto* memo = new TMemo(form);
    memo->Parent = form;
    memo->Text = "one\r\ntwo\r\n";
    EXPECT_EQ(memo->Lines->Count(), 2);
    memo->Lines->Add("three");
    memo->Lines->Insert(0, "zero");
    memo->Lines->Delete(2);
    EXPECT_EQ(memo->Text(), "zero\r\none\r\nthree");
    EXPECT_EQ(memo->Lines->Strings[2](), "three");
    memo->Lines->Text = "x\ny\rz";
    EXPECT_EQ(memo->Text(), "x\r\ny\r\nz");
    EXPECT_THROW(memo->Lines->Strings[3](), EListError);
    memo->Lines->Clear();
    EXPECT_EQ(memo->Lines->Count(), 0);

    // Enter breaks the line only with WantReturns.
    memo->Text = "ab";
    SendMessageA(memo->Handle, EM_SETSEL, 1, 1);
    SendMessageA(memo->Handle, WM_CHAR, '\r', 0);
    EXPECT_EQ(memo->Text(), "a\r\nb");
    memo->WantReturns = false;
    SendMessageA(memo->Handle, WM_CHAR, '\r', 0);
    EXPECT_EQ(memo->Text(), "a\r\nb");
}

TEST_F(SimpleControlsTest, PanelBevelsAndClientArea) {
    auto* panel = new TPanel(form);
    panel->SetBounds(10, 10, 100, 60);
    panel->BevelInner = bvLowered;
    panel->BevelWidth = 2;
    panel->BorderWidth = 3;
    panel->Parent = form;
    auto* inner = new TPanel(form);
    inner->Align = alClient;
    inner->Parent = panel;
    EXPECT_EQ(inner->BoundsRect(), TRect(7, 7, 93, 53)) << "border 3 and two bevels of 2";
    inner->Free();
    auto bitmap = fwtest::paintOf(panel);
    const TColor highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    EXPECT_EQ(pixelOf(bitmap.get(), 0, 0), highlight) << "raised outer bevel";
    EXPECT_EQ(pixelOf(bitmap.get(), 99, 59), shadow);
    EXPECT_EQ(pixelOf(bitmap.get(), 5, 5), shadow) << "lowered inner bevel";
    EXPECT_EQ(pixelOf(bitmap.get(), 94, 54), highlight);
    EXPECT_EQ(pixelOf(bitmap.get(), 50, 10), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST_F(SimpleControlsTest, ImageDrawsBitmapsAndJpegs) {
    auto* image = new TImage(form);
    image->SetBounds(0, 0, 64, 64);
    image->Parent = form;
    TBitmap red;
    red.SetSize(10, 10);
    red.Canvas->Brush->Color = clRed;
    red.Canvas->FillRect(TRect(0, 0, 10, 10));
    image->Picture->Bitmap = &red;
    image->Center = true;
    auto centred = fwtest::paintOf(form);
    EXPECT_EQ(pixelOf(centred.get(), 32, 32), clRed);
    EXPECT_NE(pixelOf(centred.get(), 5, 5), clRed);

    TResourceStream stream(GetModuleHandleA(nullptr), 200, RT_RCDATA);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(&stream);
    image->Picture->Graphic = &jpeg;
    image->Stretch = true;  // 32 x 32 drawn on 64 x 64
    auto stretched = fwtest::paintOf(form);
    EXPECT_TRUE(closeTo(pixelOf(stretched.get(), 8, 8), clRed, 24));
    EXPECT_TRUE(closeTo(pixelOf(stretched.get(), 55, 8), clBlue, 24));
    EXPECT_TRUE(closeTo(pixelOf(stretched.get(), 32, 55), clLime, 24));

    image->Stretch = false;
    image->Center = false;
    image->AutoSize = true;
    EXPECT_EQ(image->Width(), 32);
    EXPECT_EQ(image->Height(), 32);
}

TEST_F(SimpleControlsTest, ShapesFillWithBrushAndOutlineWithPen) {
    form->Color = clWhite;
    auto* box = new TShape(form);
    box->SetBounds(0, 0, 40, 30);
    box->Brush->Color = clNavy;
    box->Pen->Color = clRed;
    box->Parent = form;
    auto* circle = new TShape(form);
    circle->SetBounds(50, 0, 40, 30);
    circle->Shape = stCircle;
    circle->Brush->Color = clNavy;
    circle->Parent = form;
    auto bitmap = fwtest::paintOf(form);
    EXPECT_EQ(pixelOf(bitmap.get(), 0, 0), clRed);
    EXPECT_EQ(pixelOf(bitmap.get(), 20, 15), clNavy);
    EXPECT_EQ(pixelOf(bitmap.get(), 70, 15), clNavy) << "circle centre";
    EXPECT_EQ(pixelOf(bitmap.get(), 52, 1), clWhite) << "outside the circle";
    EXPECT_EQ(pixelOf(bitmap.get(), 53, 15), clWhite) << "the circle is as wide as the height, centred";
    EXPECT_EQ(pixelOf(bitmap.get(), 57, 15), clNavy);
}

TEST_F(SimpleControlsTest, ExceptionFromAControlEventShowsTheFrameworkBox) {
    auto* list = new TListBox(form);
    list->Parent = form;
    list->Items->Text = "a";
    list->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    Application->OnException = nullptr;  // the framework's own box, not the fixture's record
    brimtest::DialogAnswerer answerer(
        std::vector<brimtest::DialogAnswer>{{Application->Title(), "OK", nullptr}});
    fwtest::sendCommand(list, LBN_SELCHANGE);
    ASSERT_TRUE(answerer.finished());
    auto seen = answerer.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message(), "'x' is not a valid integer value.");
    EXPECT_TRUE(IsWindow(list->Handle())) << "the list goes on";
}

TEST_F(SimpleControlsTest, ContextMenuOfAControlPopsItsMenu) {
    auto* edit = new TEdit(form);
    edit->Parent = form;
    auto* menu = new TPopupMenu(form);
    menu->Items->Add(NewItem("&Copy", true, nullptr));
    edit->PopupMenu = menu;
    int popups = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    HWND owner = form->Handle;
    std::atomic<bool> seen{false};
    std::thread watcher([&] {
        for (int i = 0; i < 400 && !seen; ++i) {
            HWND popup = FindWindowA("#32768", nullptr);
            if (popup && IsWindowVisible(popup)) {
                seen = true;
                PostMessageA(owner, WM_CANCELMODE, 0, 0);
            }
            Sleep(25);
        }
    });
    POINT p{5, 5};
    ClientToScreen(edit->Handle, &p);
    SendMessageA(edit->Handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit->Handle()), MAKELPARAM(p.x, p.y));
    watcher.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu->PopupComponent(), edit);
    EXPECT_EQ(menu->OwnerWindow(), form->Handle()) << "the menu belongs to the control's form";
}

}  // namespace
