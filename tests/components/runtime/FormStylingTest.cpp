// Components that take over parts of their owner form on a real window: the
// title styler (the caption it hides and gives back, the one-character text
// buffer, when it paints, and its title bar read back by pixels), the background fill (WM_ERASEBKGND on a memory DC
// with the tiles read back) and the dialog base's BaseExecute.
#include "components/runtime/QCLBack.h"
#include "components/runtime/QCLBaseDialog.h"
#include "components/runtime/QCLFormStyler.h"
#include "components/runtime/qclsysin.h"

#include "tests/components/runtime/DrawingTestSupport.h"
#include "tests/support/DialogAnswerer.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string systemText(HWND window) {
    char buffer[64] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

class FormFixture : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeForm<TForm>(nullptr);
        form->BorderStyle = bsSingle;
        form->SetBounds(40, 40, 220, 120);
        form->Caption = "Vault notes";
        form->HandleNeeded();
    }
    void TearDown() override {
        QCLSISetColorDepthForTesting(0);
        form->Free();
    }
    TForm* form = nullptr;
};

class StylerTest : public FormFixture {
protected:
    // Owned by the form as the library's stylers are; the default system
    // check is cleared, or nothing would be painted on a gradient system.
    TQCLFormStyler* makeStyler(TQCLFormStyleOptions options) {
        TLoadingGuard loading;
        auto* styler = new TQCLFormStyler(form);
        styler->Options = options;
        loading.Finish();
        return styler;
    }
    TQCLFormStyler* makeOwnCaptionStyler() { return makeStyler(TQCLFormStyleOptions{fsAdjustRect, fsUseDefaultFont}); }
};

TEST_F(StylerTest, FormTextReadsASpaceWhileActiveAndTheCaptionComesBack) {
    const struct {
        const char* how;
        void (*run)(TQCLFormStyler*, TForm*);
    } cases[] = {
        {"disabled", [](TQCLFormStyler* s, TForm*) { s->Enabled = false; }},
        {"initialised twice, then disabled", [](TQCLFormStyler* s, TForm*) {
             s->Init();
             s->Enabled = false;
         }},
        {"disabled, enabled, disabled", [](TQCLFormStyler* s, TForm*) {
             s->Enabled = false;
             s->Enabled = true;
             EXPECT_EQ(systemText(s->GetOwnerHandle()), " ");
             s->Enabled = false;
         }},
        {"freed", [](TQCLFormStyler* s, TForm*) { s->Free(); }},
    };
    for (const auto& c : cases) {
        TQCLFormStyler* styler = makeOwnCaptionStyler();
        ASSERT_TRUE(styler->IsHooked()) << c.how;
        EXPECT_EQ(systemText(form->Handle), " ") << c.how;
        EXPECT_EQ(styler->GetCaption(), "Vault notes") << c.how;
        c.run(styler, form);
        EXPECT_EQ(systemText(form->Handle), "Vault notes") << c.how;
        if (std::string(c.how) != "freed")
            styler->Free();
    }
}

TEST_F(StylerTest, TextMessagesOfAStyledForm) {
    makeOwnCaptionStyler();
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(SendMessageA(form->Handle, WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0') << "no room for the space: only the terminator";
    EXPECT_EQ(SendMessageA(form->Handle, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 1);
    EXPECT_STREQ(buffer, " ");
    EXPECT_EQ(SendMessageA(form->Handle, WM_GETTEXTLENGTH, 0, 0), 1);

    // With the form's own caption the system reads the real text.
    TQCLFormStyler* own = makeStyler(TQCLFormStyleOptions{fsUseFormCaption});
    own->Enabled = true;
    form->Caption = "Second";
    EXPECT_NE(systemText(form->Handle), "Second") << "the first styler still hides it";
}

TEST_F(StylerTest, PaintsOnlyWhereTheRulesAllow) {
    form->Show();
    TQCLFormStyler* styler = makeStyler(TQCLFormStyleOptions{fsUseDefaultFont, fsUseFormCaption});
    auto paintsAfter = [&](auto&& action) {
        const int before = styler->PaintCountForTesting();
        action();
        return styler->PaintCountForTesting() - before;
    };
    const HWND window = form->Handle;
    EXPECT_GT(paintsAfter([&] { SendMessageA(window, WM_NCACTIVATE, 1, 0); }), 0) << "active title painted";
    EXPECT_EQ(paintsAfter([&] { SendMessageA(window, WM_NCACTIVATE, 0, 0); }), 0)
        << "inactive, no inactive gradient, form caption: the system's title stays";
    styler->Options = styler->GetOptions() + TQCLFormStyleOptions{fsInactiveGradient};
    EXPECT_GT(paintsAfter([&] { SendMessageA(window, WM_NCACTIVATE, 0, 0); }), 0);

    styler->SetSystemGradientForTesting(true);
    styler->Options = styler->GetOptions() + TQCLFormStyleOptions{fsCheckSystemGradient};
    QCLSISetColorDepthForTesting(24);
    EXPECT_EQ(paintsAfter([&] { SendMessageA(window, WM_NCACTIVATE, 1, 0); }), 0)
        << "the system's own gradient title is left alone";
    QCLSISetColorDepthForTesting(8);
    EXPECT_GT(paintsAfter([&] { SendMessageA(window, WM_NCACTIVATE, 1, 0); }), 0) << "an 8-bit display is painted";

    styler->PaintMode = pcNone;
    EXPECT_EQ(paintsAfter([&] { styler->Alignment = taCenter; }), 0);
    EXPECT_EQ(paintsAfter([&] { SendMessageA(window, WM_NCACTIVATE, 1, 0); }), 0);
    styler->PaintMode = pcControl;
    form->Hide();
    EXPECT_EQ(paintsAfter([&] { styler->ForceNCPaint(); }), 0) << "a hidden form is not painted";
}

// What the window shows, read from its own device context as the screen has it.
class WindowPixels {
public:
    explicit WindowPixels(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        bitmap_.SetPixelFormat(pf24bit);
        bitmap_.SetSize(r.right - r.left, r.bottom - r.top);
        HDC dc = GetWindowDC(window);
        BitBlt(bitmap_.GetCanvas()->GetHandle(), 0, 0, bitmap_.GetWidth(), bitmap_.GetHeight(), dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    TColor at(int x, int y) { return bitmap_.GetCanvas()->GetPixel(x, y); }
    template <class Test>
    int count(const TRect& r, Test test) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += test(static_cast<COLORREF>(at(x, y)));
        return n;
    }
    int count(const TRect& r, TColor c) {
        return count(r, [c](COLORREF p) { return p == static_cast<COLORREF>(c); });
    }

private:
    TBitmap bitmap_;
};

bool closeTo(TColor a, COLORREF b, int tolerance) {
    const COLORREF c = static_cast<COLORREF>(a);
    return std::abs(GetRValue(c) - GetRValue(b)) <= tolerance && std::abs(GetGValue(c) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(c) - GetBValue(b)) <= tolerance;
}

// The styler's title bar by its pixels: the gradient from black to the
// active caption colour (one step paints black alone), the caption in the
// font's own colour, and the owner-drawn title and text rectangles.
TEST_F(StylerTest, TitleBarPixels) {
    form->Show();
    SetForegroundWindow(form->Handle);
    const HWND window = form->Handle;
    TRect title, text;
    int flags = 1 | 0x20;
    QCLNCCalcDrawingArea(window, title, text, flags);
    ASSERT_GT(title.Width(), 40);
    const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);

    TQCLFormStyler* styler = makeStyler(TQCLFormStyleOptions{fsUseFontColor});
    styler->GetFont()->SetColor(clYellow);
    styler->GetFont()->SetStyle(TFontStyles{fsBold});
    SendMessageA(window, WM_NCACTIVATE, 1, 0);
    {
        WindowPixels seen(window);
        const TColor start = seen.at(text.Left, title.Top), end = seen.at(title.Right - 1, title.Top);
        EXPECT_TRUE(closeTo(end, caption, 24)) << std::hex << end << " vs " << caption;
        EXPECT_LT(GetRValue(start) + GetGValue(start) + GetBValue(start),
                  GetRValue(end) + GetGValue(end) + GetBValue(end) + 1)
            << "darker towards the start";
        EXPECT_TRUE(closeTo(seen.at(title.Left + (title.Width() * 1) / 64, title.Top), RGB(0, 0, 0), 40))
            << "black at the start";
        // Smoothed glyph edges blend into the gradient; the strokes are yellow.
        const int yellowish = seen.count(text, [](COLORREF p) {
            return GetRValue(p) > 200 && GetGValue(p) > 200 && GetBValue(p) < 90;
        });
        EXPECT_GT(yellowish, 0) << "the caption in the font's colour";
    }

    styler->Colors = 1;
    SendMessageA(window, WM_NCACTIVATE, 1, 0);
    {
        WindowPixels seen(window);
        EXPECT_EQ(seen.at(title.Right - 1, title.Top), clBlack) << "one step paints the start colour alone";
    }

    TRect paintedTitle, paintedText;
    styler->OnPaint = [&](TObject*, TCanvas* canvas, const TRect& r) {
        paintedTitle = r;
        canvas->GetBrush()->SetColor(clLime);
        canvas->FillRect(r);
    };
    styler->OnCaptionPaint = [&](TObject*, TCanvas* canvas, const TRect& r) {
        paintedText = r;
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(clRed);
        canvas->FillRect(r);
    };
    styler->Options = TQCLFormStyleOptions{fsAdjustRect};
    styler->PaintMode = pcOwnerDraw;
    SendMessageA(window, WM_NCACTIVATE, 1, 0);
    {
        TRect expectTitle, expectText;
        int ownerFlags = 3 | 0x20;
        QCLNCCalcDrawingArea(window, expectTitle, expectText, ownerFlags);
        EXPECT_EQ(paintedTitle, expectTitle);
        EXPECT_EQ(paintedText, expectText);
        WindowPixels seen(window);
        // The caption event paints over the title event inside the text rectangle.
        TRect overlap;
        IntersectRect(reinterpret_cast<RECT*>(&overlap), reinterpret_cast<const RECT*>(&paintedTitle),
                      reinterpret_cast<const RECT*>(&paintedText));
        const int titleArea = paintedTitle.Width() * paintedTitle.Height();
        const int overlapArea = overlap.Width() * overlap.Height();
        EXPECT_EQ(seen.count(paintedTitle, clRed), overlapArea);
        EXPECT_EQ(seen.count(paintedTitle, clLime), titleArea - overlapArea);
    }
}

// The system's icon left of the caption survives the gradient: its pixels
// (all but those in the saved area's transparent colour) read as before.
TEST_F(StylerTest, TheIconAreaKeepsTheSystemsIcon) {
    form->Show();
    SetForegroundWindow(form->Handle);
    const HWND window = form->Handle;
    TRect title, text;
    int flags = 1 | 0x20;
    QCLNCCalcDrawingArea(window, title, text, flags);
    ASSERT_TRUE(flags & 8) << "a single-border form with a system menu has an icon area";
    const TRect icon(title.Left, title.Top, text.Left, title.Bottom);
    SendMessageA(window, WM_NCPAINT, 1, 0);
    WindowPixels before(window);
    const TColor transparent = before.at(icon.Left, icon.Bottom - 1);
    int iconPixels = 0;
    for (int y = icon.Top; y < icon.Bottom; ++y)
        for (int x = icon.Left; x < icon.Right; ++x) iconPixels += before.at(x, y) != transparent;
    ASSERT_GT(iconPixels, 0);

    makeStyler(TQCLFormStyleOptions{fsUseDefaultFont});
    SendMessageA(window, WM_NCPAINT, 1, 0);
    WindowPixels after(window);
    int kept = 0;
    for (int y = icon.Top; y < icon.Bottom; ++y)
        for (int x = icon.Left; x < icon.Right; ++x)
            kept += before.at(x, y) != transparent && after.at(x, y) == before.at(x, y);
    // Without the restore the gradient covers them all; a pixel or two on the
    // area's edge may be touched by the frame's own repaint.
    EXPECT_GE(kept * 100, iconPixels * 95) << kept << " of " << iconPixels;
    EXPECT_TRUE(closeTo(after.at(title.Right - 1, title.Top), GetSysColor(COLOR_ACTIVECAPTION), 24))
        << "the gradient is there";
}

// A 2 x 2 picture of four colours, tiled by the background.
void fourColours(TBitmap& bitmap) {
    bitmap.SetSize(2, 2);
    bitmap.GetCanvas()->SetPixel(0, 0, clRed);
    bitmap.GetCanvas()->SetPixel(1, 0, clBlue);
    bitmap.GetCanvas()->SetPixel(0, 1, clYellow);
    bitmap.GetCanvas()->SetPixel(1, 1, clWhite);
}

class FormFillTest : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        form->BorderStyle = bsNone;
        form->SetBounds(0, 0, 7, 5);
        TBitmap picture;
        fourColours(picture);
        list.GetArrayItem(list.Add())->SetBitmap(&picture);
    }
    // WM_ERASEBKGND on a memory DC the size of the client area.
    std::unique_ptr<TBitmap> erase(LRESULT* result) {
        auto target = drawtest::makeBitmap(7, 5, clLime);
        *result = SendMessageA(form->Handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target->GetCanvas()->GetHandle()), 0);
        return target;
    }
    TQCLBitmapList list{nullptr};
};

TEST_F(FormFillTest, BackTilesThePictureOverTheClientArea) {
    auto* back = new TQCLBack(form);
    back->ImageList = &list;
    back->Init();
    LRESULT result = 0;
    auto painted = erase(&result);
    EXPECT_EQ(result, 1);
    const COLORREF tile[2][2] = {{RGB(255, 0, 0), RGB(0, 0, 255)}, {RGB(255, 255, 0), RGB(255, 255, 255)}};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(drawtest::pixel(painted.get(), x, y), tile[y % 2][x % 2]) << x << "," << y;
}

TEST_F(FormFillTest, NothingToPaintLeavesErasingToTheForm) {
    const struct {
        const char* what;
        void (*set)(TQCLBack*, TQCLBitmapList*);
    } cases[] = {
        {"no list", [](TQCLBack*, TQCLBitmapList*) {}},
        {"list index past the end", [](TQCLBack* b, TQCLBitmapList* l) {
             b->ImageList = l;
             b->ListIndex = 3;
         }},
        {"owner draw without an event", [](TQCLBack* b, TQCLBitmapList* l) {
             b->ImageList = l;
             b->PaintMode = pcOwnerDraw;
         }},
    };
    for (const auto& c : cases) {
        auto* back = new TQCLBack(form);
        c.set(back, &list);
        back->Init();
        LRESULT result = 0;
        auto target = erase(&result);
        EXPECT_NE(drawtest::pixel(target.get(), 0, 0), RGB(255, 0, 0)) << c.what;
        back->Free();
    }
    TQCLBack back(nullptr);
    back.ListIndex = 2;
    back.ListIndex = -1;
    EXPECT_EQ(back.GetListIndex(), 2) << "a negative index is ignored";
}

TEST_F(FormFillTest, OwnerDrawGetsTheClientRectangleWithOrWithoutTheDefaultFill) {
    for (bool defaultFill : {true, false}) {
        auto* fill = new TQCLCustomFormFill(form);
        form->Color = clNavy;
        fill->PaintMode = pcOwnerDraw;
        fill->DefaultFill = defaultFill;
        TRect seen;
        COLORREF underneath = 0;
        fill->OnPaint = [&](TObject*, TCanvas* canvas, const TRect& r) {
            seen = r;
            underneath = GetPixel(canvas->GetHandle(), 3, 3);
        };
        fill->Init();
        LRESULT result = 0;
        erase(&result);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(seen.Right, 7);
        EXPECT_EQ(seen.Bottom, 5);
        EXPECT_EQ(underneath, defaultFill ? RGB(0, 0, 128) : RGB(0, 255, 0)) << defaultFill;
        fill->Free();
    }
}

TEST_F(FormFillTest, ResizingInvalidatesWithoutErasing) {
    auto* back = new TQCLBack(form);
    back->ImageList = &list;
    back->Init();
    form->Show();
    ValidateRect(form->Handle, nullptr);
    form->SetBounds(0, 0, 9, 6);
    RECT dirty;
    EXPECT_TRUE(GetUpdateRect(form->Handle, &dirty, FALSE));
    EXPECT_TRUE(back->GetResized());
}

TEST(BaseDialogTest, BaseExecutePreparesAndShowsTheForm) {
    TQCLBaseDialog dialog(nullptr);
    TQCLBitmapList list(nullptr);
    TBitmap picture;
    fourColours(picture);
    list.GetArrayItem(list.Add())->SetBitmap(&picture);
    dialog.ImageList = &list;
    dialog.ButtonCaption = "More";
    dialog.UseFormStyler = true;
    dialog.StylerColors = 12;
    dialog.Position = bpTopLeft;
    dialog.RelatePos = brScreenWorkArea;

    TForm* form = MakeForm<TForm>(nullptr);
    form->SetBounds(300, 300, 160, 90);
    auto* button = new TPanel(form);
    button->Parent = form;
    auto* styler = new TQCLFormStyler(form);
    styler->Enabled = false;
    auto* back = new TQCLBack(form);
    back->Enabled = false;
    TCustomForm* shown = nullptr;
    dialog.OnBeforeShow = [&](TObject*, TCustomForm* f) { shown = f; };
    RECT placed{};
    brimtest::DialogAnswerer answerer({{"Pick one", "", [&](HWND window) {
                                            GetWindowRect(window, &placed);
                                            PostMessageA(window, WM_CLOSE, 0, 0);
                                            return true;
                                        }}});
    EXPECT_EQ(dialog.BaseExecute(form, nullptr, "Pick one", back, styler, button), mrCancel);
    ASSERT_TRUE(answerer.finished());

    EXPECT_EQ(shown, form);
    EXPECT_EQ(button->GetText(), "More");
    EXPECT_TRUE(button->GetVisible());
    EXPECT_TRUE(styler->GetEnabled());
    EXPECT_EQ(styler->GetColors(), 12);
    EXPECT_TRUE(styler->GetOptions().Contains(fsCheckSystemGradient));
    EXPECT_EQ(back->GetImageList(), &list);
    EXPECT_TRUE(back->GetEnabled());
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(placed.left, work.left);
    EXPECT_EQ(placed.top, work.top);

    // Its own caption wins over the default; no button caption hides the button.
    dialog.Caption = "Own title";
    dialog.ButtonCaption.clear();
    brimtest::DialogAnswerer second({{"Own title", "", [](HWND window) {
                                          PostMessageA(window, WM_CLOSE, 0, 0);
                                          return true;
                                      }}});
    dialog.BaseExecute(form, nullptr, "Pick one", nullptr, nullptr, button);
    EXPECT_TRUE(second.finished());
    EXPECT_FALSE(button->GetVisible());
    form->Free();
}

}  // namespace
