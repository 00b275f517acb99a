// Components that take over parts of their owner form on a real window: the
// title styler (the caption it hides and gives back, the one-character text
// buffer, when it paints), the background fill (WM_ERASEBKGND on a memory DC
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
