// The main window's frame on the real window driven by real input: grips and their limits,
// the title's double click, the rounded region, the splitter and its picture, and the size
// rules as tables.
#include "tests/app/MainWindowTestSupport.h"

#include "framework/ScrollBox.h"
#include "skin/ImagePanel.h"
#include "skin/KTransButton.h"
#include "skin/ZM_ResizeRect.h"
#include "skin/xpButton.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxReader.h"

namespace mainwintest {
namespace {

using brimtest::MessageBoxScript;
using skintest::mouseButton;
using skintest::moveMouseTo;

TRect windowBounds(TFormMain* form) {
    RECT r;
    GetWindowRect(form->Handle, &r);
    return r;
}

std::string describe(const TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + " " + std::to_string(r.Width()) + "x" +
           std::to_string(r.Height());
}

// The screen point of (x, y) in a control's client area.
POINT screenPoint(TControl* control, int x, int y) {
    const TPoint origin = control->ClientOrigin;
    return {origin.x + x, origin.y + y};
}

// Same pixels, however the two regions split them into rectangles.
bool sameRegion(HRGN a, HRGN b) {
    HRGN difference = CreateRectRgn(0, 0, 0, 0);
    const bool same = CombineRgn(difference, a, b, RGN_XOR) == NULLREGION;
    DeleteObject(difference);
    return same;
}

void pumpFor(int rounds) {
    for (int i = 0; i < rounds; ++i) fwtest::pumpIdle();
}

// Presses at `from`, moves in a few steps by (dx, dy) and releases, letting the window work between.
void drag(POINT from, int dx, int dy) {
    moveMouseTo(from.x, from.y);
    pumpFor(2);
    mouseButton(true);
    pumpFor(2);
    for (int step = 1; step <= 4; ++step) {
        moveMouseTo(from.x + dx * step / 4, from.y + dy * step / 4);
        pumpFor(2);
    }
    mouseButton(false);
    pumpFor(3);
}

void doubleClick(POINT at) {
    moveMouseTo(at.x, at.y);
    pumpFor(2);
    mouseButton(true);
    mouseButton(false);
    mouseButton(true);
    mouseButton(false);
    pumpFor(4);
}

class FrameTest : public MainWindowTest {
protected:
    // The opened window, shown at (40, 40) 757 x 500 in front.
    void showOpenForm() {
        openForm();
        form->SetBounds(40, 40, 757, 500);
        form->Panel2->Width = 445;
        ASSERT_TRUE(skintest::bringToForeground(form));
        pumpFor(3);
    }
};

// ---- tables without input ----

TEST(FrameRules, TheSplitterKeepsTheLeftPanelAndTheEditorWithinLimits) {
    struct Case {
        int proposed, current, editor, expected;
    };
    const Case cases[] = {
        {299, 445, 300, 300},  // below the minimum
        {120, 445, 300, 300},
        {300, 445, 300, 300},
        {350, 445, 300, 350},  // shrinking is never limited by the editor
        {500, 445, 300, 500},  // the editor keeps 245
        {510, 445, 300, 510},  // exactly 235 left: still allowed
        {511, 445, 300, 509},  // 234 would be left: the editor keeps 236
        {900, 445, 300, 509},
        {460, 445, 240, 449},  // an editor already narrow keeps 236
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.proposed) + " from " + std::to_string(c.current) + " editor " +
                     std::to_string(c.editor));
        EXPECT_EQ(TFormMain::limitSplitterSize(c.proposed, c.current, c.editor), c.expected);
    }
}

TEST(FrameRules, TheSplitterPictureIsCentredWithHalvesTruncated) {
    struct Case {
        int cw, ch, pw, ph, x, y;
    };
    const Case cases[] = {
        {6, 400, 4, 32, 0, 184}, {7, 401, 4, 32, 0, 184}, {10, 33, 4, 32, 2, 0},
        {6, 31, 5, 32, 0, -1},   {1, 10, 4, 32, -3, -11},
    };
    for (const Case& c : cases) {
        const TPoint at = TFormMain::splitterPicturePosition(c.cw, c.ch, c.pw, c.ph);
        EXPECT_EQ(at.x, c.x) << c.cw << " " << c.pw;
        EXPECT_EQ(at.y, c.y) << c.ch << " " << c.ph;
    }
}

// ---- the real window ----

TEST_F(FrameTest, SizeChangesKeepTheMinimumTheRegionAndTheEditorSide) {
    showOpenForm();
    struct Case {
        int width, height, splitter;
        int expectWidth, expectHeight;
    };
    const Case cases[] = {
        {800, 600, 445, 800, 600}, {600, 400, 445, 670, 500}, {669, 900, 300, 670, 900},
        {900, 499, 600, 900, 500}, {700, 520, 600, 700, 520},  // the editor side keeps 237
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " splitter " + std::to_string(c.splitter));
        form->SetBounds(40, 40, 1000, 700);
        form->Panel2->Width = c.splitter;
        form->SetBounds(40, 40, c.width, c.height);
        pumpFor(2);
        EXPECT_EQ(describe(windowBounds(form)), describe(Bounds(40, 40, c.expectWidth, c.expectHeight)));
        EXPECT_GE(form->Panel3->Width - form->Panel2->Width, 237);
        EXPECT_EQ(form->Panel3->Width, c.expectWidth - 17);

        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(form->Handle, region), ERROR);
        // The rounded rectangle one pixel past the window each way, which covers exactly the window.
        HRGN expected = CreateRoundRectRgn(0, 0, c.expectWidth + 1, c.expectHeight + 1, 15, 15);
        EXPECT_TRUE(sameRegion(region, expected));
        DeleteObject(expected);
        RECT box;
        GetRgnBox(region, &box);
        EXPECT_EQ(describe(box), describe(Rect(0, 0, c.expectWidth, c.expectHeight)));
        const int w = c.expectWidth, h = c.expectHeight;
        for (POINT corner : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
            EXPECT_FALSE(PtInRegion(region, corner.x, corner.y)) << corner.x << "," << corner.y;
        for (POINT inside : {POINT{w / 2, 0}, POINT{0, h / 2}, POINT{w - 1, h / 2}, POINT{w / 2, h - 1}, POINT{7, 7}})
            EXPECT_TRUE(PtInRegion(region, inside.x, inside.y)) << inside.x << "," << inside.y;
        DeleteObject(region);
    }
}

TEST_F(FrameTest, TheEmptyCategoryHelpTextsFollowThePanelWidthAsTheWindowIsResized) {
    showOpenForm();
    VaultContent& content = form->store().content();
    content.current = content.addCategory("Empty");
    form->populateForm(false, true);
    ASSERT_TRUE(form->Panel5->Visible);
    std::vector<TLabel*> texts{form->Label1, form->Label5};
    texts.insert(texts.end(), form->HelpLabels.begin(), form->HelpLabels.end());
    ASSERT_EQ(texts.size(), 7u);
    for (const TRect& size : {Bounds(40, 40, 957, 560), Bounds(40, 40, 690, 500), Bounds(40, 40, 1100, 600)}) {
        SCOPED_TRACE(describe(size));
        form->SetBounds(size.Left, size.Top, size.Width(), size.Height());
        pumpFor(2);
        for (TLabel* label : texts) EXPECT_EQ(label->Width, form->Panel5->Width - 24) << label->GetText().c_str();
    }
    // The splitter changes the panel's width too.
    auto grab = [&] { return screenPoint(form->SplitterMain, 3, form->SplitterMain->Height / 2); };
    const int leftPanel = form->Panel2->Width;
    ASSERT_GE(leftPanel, 400);
    drag(grab(), -100, 0);
    ASSERT_TRUE(pumpUntil([&] { return form->Panel2->Width == leftPanel - 100; })) << form->Panel2->Width;
    for (TLabel* label : texts) EXPECT_EQ(label->Width, form->Panel5->Width - 24) << label->GetText().c_str();
}

TEST_F(FrameTest, EveryGripMovesOrSizesTheWindowOnReleaseAndStopsAtTheMinimum) {
    showOpenForm();
    struct Case {
        const char* grip;
        int x, y;  // the press, in the grip's client area
        int dx, dy;
        TRect expected;
    };
    const Case cases[] = {
        {"title", 200, 17, 25, 15, Bounds(65, 55, 757, 500)},
        {"right edge", 4, 200, 50, 0, Bounds(40, 40, 807, 500)},
        {"right edge to the minimum", 4, 200, -200, 0, Bounds(40, 40, 670, 500)},
        {"bottom edge", 300, 3, 0, 40, Bounds(40, 40, 757, 540)},
        {"bottom edge to the minimum", 300, 3, 0, -100, Bounds(40, 40, 757, 500)},
        {"left edge", 3, 200, -30, 0, Bounds(10, 40, 787, 500)},
        {"top edge", 300, 1, 0, -20, Bounds(40, 20, 757, 520)},
        {"top-left corner to the minimum", 5, 5, 200, 200, Bounds(127, 40, 670, 500)},
        {"top-right corner", 7, 5, 30, -10, Bounds(40, 30, 787, 510)},
        {"bottom-left corner", 5, 7, -10, 30, Bounds(30, 40, 767, 530)},
        {"bottom-right corner", 7, 7, 30, 30, Bounds(40, 40, 787, 530)},
        {"resize tab", 8, 8, 20, 10, Bounds(40, 40, 777, 510)},
    };
    TControl* grips[] = {form->ImagePanelTitleBar, form->ShapeRight, form->ShapeRight, form->ShapeBottom,
                         form->ShapeBottom,        form->ShapeLeft,  form->ShapeTop,   form->ImageTL,
                         form->ImageTR,            form->ImageBL,    form->ImageBR,    form->ImageResizeTab};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.grip);
        form->SetBounds(40, 40, 757, 500);
        pumpFor(3);
        drag(screenPoint(grips[i], c.x, c.y), c.dx, c.dy);
        ASSERT_TRUE(pumpUntil([&] { return windowBounds(form) == c.expected; }))
            << describe(windowBounds(form)) << " wanted " << describe(c.expected);
        EXPECT_FALSE(form->ResizeRect->isDraggingForTesting());
        for (bool flag : {form->DraggingTitle, form->DraggingTL, form->DraggingTR, form->DraggingBL, form->DraggingBR,
                          form->DraggingLeft, form->DraggingRight, form->DraggingTop, form->DraggingBottom})
            EXPECT_FALSE(flag);
    }
}

TEST_F(FrameTest, TitleDoubleClickMaximisesToTheWorkAreaAndRestoresBoundsAndSplitter) {
    showOpenForm();
    form->Panel2->Width = 380;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);

    doubleClick(screenPoint(form->ImagePanelTitleBar, 300, 15));
    ASSERT_TRUE(pumpUntil([&] { return form->WindowStateFlag == '^'; }));
    EXPECT_EQ(describe(windowBounds(form)),
              describe(Bounds(work.left, work.top, work.right - work.left + 1, work.bottom - work.top + 1)));
    EXPECT_TRUE(form->KTransRestoreButton->Visible);
    EXPECT_FALSE(form->ImageResizeTab->Visible);
    EXPECT_EQ(form->OldSplitter, 380);

    // Maximised, the grips refuse to drag.
    drag(screenPoint(form->ShapeRight, 4, 200), -60, 0);
    EXPECT_EQ(describe(windowBounds(form)),
              describe(Bounds(work.left, work.top, work.right - work.left + 1, work.bottom - work.top + 1)));

    doubleClick(screenPoint(form->MessageTitle, 20, 8));
    ASSERT_TRUE(pumpUntil([&] { return form->WindowStateFlag == 'v'; }));
    EXPECT_EQ(describe(windowBounds(form)), describe(Bounds(40, 40, 757, 500)));
    EXPECT_EQ(form->Panel2->Width, 380);
    EXPECT_FALSE(form->KTransRestoreButton->Visible);
    EXPECT_TRUE(form->ImageResizeTab->Visible);

    // And the grips work again.
    drag(screenPoint(form->ShapeRight, 4, 200), 40, 0);
    EXPECT_TRUE(pumpUntil([&] { return windowBounds(form) == Bounds(40, 40, 797, 500); }));
}

TEST_F(FrameTest, TheMaximiseAndRestoreButtonsToggleAndAnUnreadableWorkAreaChangesNothing) {
    showOpenForm();
    form->WorkAreaQueryForTesting = [](RECT&) { return false; };
    form->KTransMaxButtonMouseRelease(form->KTransMaxButton);
    EXPECT_EQ(form->WindowStateFlag, 'v');
    EXPECT_FALSE(form->KTransRestoreButton->Visible);
    EXPECT_TRUE(form->ImageResizeTab->Visible);
    drag(screenPoint(form->ShapeRight, 4, 200), 30, 0);
    EXPECT_TRUE(pumpUntil([&] { return windowBounds(form) == Bounds(40, 40, 787, 500); }));

    form->WorkAreaQueryForTesting = [](RECT& r) {
        r = {10, 5, 1009, 704};
        return true;
    };
    form->SetBounds(40, 40, 757, 500);
    const POINT max = screenPoint(form->KTransMaxButton, 9, 9);
    moveMouseTo(max.x, max.y);
    pumpFor(2);
    mouseButton(true);
    mouseButton(false);
    ASSERT_TRUE(pumpUntil([&] { return form->WindowStateFlag == '^'; }));
    EXPECT_EQ(describe(windowBounds(form)), describe(Bounds(10, 5, 1000, 700)));
    const POINT restore = screenPoint(form->KTransRestoreButton, 9, 9);
    moveMouseTo(restore.x, restore.y);
    pumpFor(2);
    mouseButton(true);
    mouseButton(false);
    ASSERT_TRUE(pumpUntil([&] { return form->WindowStateFlag == 'v'; }));
    EXPECT_EQ(describe(windowBounds(form)), describe(Bounds(40, 40, 757, 500)));
}

TEST_F(FrameTest, TheSplitterStopsAt300AndWhereTheEditorKeeps236) {
    showOpenForm();
    auto grab = [&] { return screenPoint(form->SplitterMain, 3, form->SplitterMain->Height / 2); };
    drag(grab(), -250, 0);
    EXPECT_TRUE(pumpUntil([&] { return form->Panel2->Width == 300; })) << form->Panel2->Width;
    drag(grab(), 500, 0);
    EXPECT_TRUE(pumpUntil([&] { return form->Panel1->Width == 236; })) << form->Panel1->Width;
    drag(grab(), -40, 0);
    EXPECT_TRUE(pumpUntil([&] { return form->Panel1->Width == 276; })) << form->Panel1->Width;
}

TEST_F(FrameTest, TheSplitterShowsItsPictureInTheMiddle) {
    showOpenForm();
    form->SplitterMain->Invalidate();
    pumpFor(3);
    TSplitter* splitter = form->SplitterMain;
    const TPoint origin = splitter->ClientOrigin;
    auto shown = skintest::captureScreen(Bounds(origin.x, origin.y, splitter->Width, splitter->Height));
    TBitmap* picture = form->ImageSplitter->GetPicture()->GetBitmap();
    ASSERT_EQ(splitter->Width, 6);
    ASSERT_EQ(picture->GetWidth(), 4);
    const int top = splitter->Height / 2 - picture->GetHeight() / 2;
    for (int y = 0; y < picture->GetHeight(); ++y)
        for (int x = 0; x < picture->GetWidth(); ++x)
            ASSERT_EQ(fwtest::pixelOf(shown.get(), x, top + y), fwtest::pixelOf(picture, x, y)) << x << "," << y;
    // Away from the picture the splitter is plain.
    const TColor plain = fwtest::pixelOf(shown.get(), 5, 2);
    EXPECT_EQ(fwtest::pixelOf(shown.get(), 1, top - 3), plain);
    EXPECT_EQ(fwtest::pixelOf(shown.get(), 1, top + picture->GetHeight() + 3), plain);
    EXPECT_NE(fwtest::pixelOf(picture, 1, 1), plain);  // the grip's dots differ from the plain colour
}

TEST_F(FrameTest, TheTitleIsWhiteTextSunkenInBlack) {
    // The sunken style puts a black copy one pixel below and right of the white text; the title bar
    // is mid blue, so each dark pixel there sits below and right of a light one.
    showOpenForm();
    form->MessageTitle->Invalidate();
    pumpFor(3);
    TQCLSimpleLabel* title = form->MessageTitle;
    const TPoint origin = form->ClientToScreen(TPoint(title->Left, title->Top));
    auto shown = skintest::captureScreen(Bounds(origin.x, origin.y, title->Width, title->Height));
    auto channels = [&](int x, int y) {
        const COLORREF c = ColorToRGB(fwtest::pixelOf(shown.get(), x, y));
        return std::make_pair(std::min({GetRValue(c), GetGValue(c), GetBValue(c)}),
                              std::max({GetRValue(c), GetGValue(c), GetBValue(c)}));
    };
    int dark = 0, darkUnderText = 0;
    for (int y = 1; y < title->Height; ++y) {
        for (int x = 1; x < title->Width; ++x) {
            if (channels(x, y).second >= 60) continue;
            ++dark;
            if (channels(x - 1, y - 1).first > 150) ++darkUnderText;
        }
    }
    EXPECT_TRUE(title->GetFont()->GetStyle().Contains(fsBold));
    EXPECT_GT(dark, 30) << "the black copy of the sunken style";
    EXPECT_GE(darkUnderText * 10, dark * 9) << "dark pixels elsewhere than below and right of the text";
}

TEST_F(FrameTest, AStoredMaximisedWindowStartsMaximisedAndRestoresToTheStoredOldBounds) {
    settings::WindowSettings stored;
    stored.Top = 0;
    stored.Left = 0;
    stored.Width = 1000;
    stored.Height = 700;
    stored.Splitter = 500;
    stored.WindowState = settings::WindowMaximised;
    stored.OldTop = 60;
    stored.OldLeft = 30;
    stored.OldWidth = 720;
    stored.OldHeight = 540;
    stored.OldSplitter = 330;
    stored.DBLoc = temp.path();
    stored.DBFname = "Home";
    ASSERT_TRUE(settings::writeWindowSettings(stored));
    openForm();
    EXPECT_EQ(form->WindowStateFlag, '^');
    EXPECT_TRUE(form->KTransRestoreButton->Visible);
    EXPECT_FALSE(form->ImageResizeTab->Visible);
    EXPECT_EQ(form->Panel2->Width, 500);
    EXPECT_EQ(describe(form->BoundsRect()), describe(Bounds(0, 0, 1000, 700)));

    form->KTransMaxButtonMouseRelease(form->KTransRestoreButton);
    EXPECT_EQ(form->WindowStateFlag, 'v');
    EXPECT_EQ(describe(form->BoundsRect()), describe(Bounds(30, 60, 720, 540)));
    EXPECT_EQ(form->Panel2->Width, 330);
}

TEST_F(FrameTest, TheMinimiseButtonTakesTheProgramOffTheScreen) {
    showOpenForm();
    const POINT button = screenPoint(form->KTransButton5, 9, 9);
    moveMouseTo(button.x, button.y);
    pumpFor(2);
    mouseButton(true);
    mouseButton(false);
    const HWND window = form->Handle;
    EXPECT_TRUE(pumpUntil([&] { return IsIconic(window) || !IsWindowVisible(window); }));
    Application->Restore();
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
}

// What a prompt of the minimised program showed: its text, where, whether in front, and whether the
// main window was back by then. The prompt is answered with `button`.
struct PromptSeen {
    std::string text = "(no prompt)";
    RECT placed{};
    bool inFront = false;
    bool windowBack = false;
};

void answerPromptWhenUp(HWND main, const std::string& button, PromptSeen& seen, DWORD until) {
    fwtest::runAfter(20, [=, &seen] {
        HWND box = brimtest::findMessageBox(GetCurrentProcessId());
        if (!box) {
            if (GetTickCount() < until) answerPromptWhenUp(main, button, seen, until);
            return;
        }
        brimtest::MessageBoxContents contents;
        if (brimtest::readMessageBox(box, contents)) seen.text = contents.text;
        GetWindowRect(box, &seen.placed);
        seen.inFront = GetForegroundWindow() == box && IsWindowVisible(box);
        seen.windowBack = !IsIconic(main);
        brimtest::clickMessageBoxButton(box, button);
    });
}

// A prompt raised while the program is minimised, by another start's command or by an exit from the
// task bar, stands on the work area in front; a command brings the program back before it asks.
TEST_F(FrameTest, PromptsRaisedWhileMinimisedStandOnTheWorkAreaInFront) {
    showOpenForm();
    brimtest::TempFolder other;
    vaulttest::makeSavedVault(other.path(), "Work", "other words", 2);
    category* files = form->store().content().addEncryptedFilesCategory();
    temp.writeFile("plain.txt", "left plain");
    RowValues row(static_cast<std::size_t>(std::max(1, files->headerCount())));
    row[0] = temp.file("plain.txt");
    files->insertRow(row);
    const struct {
        const char* what;
        ULONG_PTR command;
        std::string path;
        std::string question;
        bool windowBack;
    } cases[] = {
        {"another start opens a vault", 101, other.file("Work.vlt"),
         "Switching vaults will close your current vault.  Do you want to continue?", true},
        {"an exit with a plain file listed", 100, "", mainwin::PlainFilesListed, false},
    };
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    brimtest::ScopedMessageBoxHandler realBoxes{nullptr};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShowWindow(form->Handle, SW_MINIMIZE);
        ASSERT_TRUE(IsIconic(form->Handle));
        PromptSeen seen;
        answerPromptWhenUp(form->Handle, "No", seen, GetTickCount() + 10000);
        sendCommand(form->Handle, c.command, c.path);
        EXPECT_EQ(seen.text, c.question);
        RECT overlap{};
        EXPECT_TRUE(IntersectRect(&overlap, &seen.placed, &work) && EqualRect(&overlap, &seen.placed))
            << seen.placed.left << "," << seen.placed.top << " on the work area";
        EXPECT_TRUE(seen.inFront);
        EXPECT_EQ(seen.windowBack, c.windowBack);
        EXPECT_TRUE(form->vaultOpen()) << "No keeps the vault open";
        ShowWindow(form->Handle, SW_RESTORE);
    }
}

// The records side's label handlers, reached by real mouse input on the layout's label.
// With the file buttons shown, each command's caption, as drawn centred in its label, keeps a gap
// to the next one.
TEST_F(FrameTest, TheCommandCaptionsKeepAGapBetweenThem) {
    showOpenForm();
    form->showFileButtons(true);
    pumpFor(2);
    struct Span {
        std::string caption;
        int left, right;
    };
    std::vector<Span> spans;
    for (TLabel* label : {form->LabelNew, form->LabelDelete, form->LabelSave, form->LabelSearch, form->LabelTools, form->LabelHelp,
                          form->LabelNewFile, form->LabelRemoveFile}) {
        ASSERT_TRUE(label->Visible);
        TBitmap measure;
        measure.Canvas->Font->Assign(label->Font);
        const int width = measure.Canvas->TextWidth(label->Caption);
        ASSERT_LE(width, label->Width) << std::string(label->Caption);
        const int left = label->Left + (label->Width - width) / 2;
        spans.push_back({std::string(label->Caption), left, left + width});
    }
    for (std::size_t i = 1; i < spans.size(); ++i)
        EXPECT_GE(spans[i].left - spans[i - 1].right, 8) << spans[i - 1].caption << " and " << spans[i].caption;
}

TEST_F(FrameTest, TheWebSiteLabelUnderlinesUnderTheMouseAndOpensItsText) {
    showOpenForm();
    std::vector<std::string> opened;
    form->OpenWebSite = [&](const std::string& target) { opened.push_back(target); };
    const std::string site = form->Label4->GetText().c_str();
    ASSERT_FALSE(site.empty());
    const POINT on = screenPoint(form->Label4, 4, 6);
    moveMouseTo(on.x, on.y);
    EXPECT_TRUE(pumpUntil([&] { return form->Label4->GetFont()->GetStyle().Contains(fsUnderline); }));
    mouseButton(true);
    mouseButton(false);
    EXPECT_TRUE(pumpUntil([&] { return opened.size() == 1; }));
    EXPECT_EQ(opened, std::vector<std::string>{site});
    const POINT off = screenPoint(form->Panel1, 100, 100);
    moveMouseTo(off.x, off.y);
    EXPECT_TRUE(pumpUntil([&] { return !form->Label4->GetFont()->GetStyle().Contains(fsUnderline); }));
}

// ---- leaving and saving with the mouse ----

// Presses and releases the left button over the middle of a control, as a user clicks it.
void clickOn(TControl* control) {
    const POINT at = screenPoint(control, control->Width / 2, control->Height / 2);
    moveMouseTo(at.x, at.y);
    pumpFor(2);
    mouseButton(true);
    pumpFor(1);
    mouseButton(false);
}

TEST_F(FrameTest, TheCloseAndTheExitButtonsEachRunTheWholeExitSequence) {
    struct Case {
        const char* name;
        std::function<TControl*(TFormMain&)> button;
    };
    const Case cases[] = {
        {"title bar close", [](TFormMain& f) -> TControl* { return f.KTransButton3; }},
        {"Exit", [](TFormMain& f) -> TControl* { return f.xpButton3; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (form) form->Free();
        form = nullptr;
        dialogs.calls.clear();
        showOpenForm();
        form->store().content().userCategories->insertRow({std::string("left by ") + c.name});
        form->flows().Modified = true;
        ASSERT_TRUE(fillClipboard("a copied secret"));
        MessageBoxScript boxes;  // no question on a clean exit
        clickOn(c.button(*form));
        ASSERT_TRUE(pumpUntil([&] { return form->runEnded(); }));
        const std::vector<std::string> saved = savedNotes(temp.path(), "Home", Password);
        ASSERT_FALSE(saved.empty());
        EXPECT_EQ(saved.back(), std::string("left by ") + c.name);
        EXPECT_EQ(clipboardFormats(), 0);
        EXPECT_FALSE(mutexExists(vaultId));
        EXPECT_EQ(dialogs.calls.back(), "tip 1");
        EXPECT_FALSE(IsWindowVisible(form->Handle));
        EXPECT_EQ(settings::knownVaults(),
                  (std::vector<std::pair<std::string, std::string>>{{"Home", temp.path() + "\\Home"}}));
    }
}

TEST_F(FrameTest, TheSaveButtonWritesTheVaultAndAFailedWriteSaysWhyAndKeepsTheEditPending) {
    showOpenForm();
    EXPECT_EQ(std::string(form->KTransSaveButton->GetHint().c_str()), "Save");
    EXPECT_TRUE(form->KTransSaveButton->GetShowHint());

    form->store().content().userCategories->insertRow({"saved by the button"});
    form->flows().Modified = true;
    {
        MessageBoxScript boxes;  // no box when the write succeeds
        clickOn(form->KTransSaveButton);
        EXPECT_TRUE(pumpUntil([&] { return !form->flows().Modified; }));
    }
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password),
              (std::vector<std::string>{"kept Home", "saved by the button"}));

    // The vault file has gone: the user is told, and the edit stays to be saved later.
    ASSERT_TRUE(MoveFileA(temp.file("Home.vlt").c_str(), temp.file("Home.away").c_str()));
    form->flows().Modified = true;
    {
        MessageBoxScript boxes({mbrOk});
        clickOn(form->KTransSaveButton);
        EXPECT_TRUE(pumpUntil([&] { return !boxes.shown().empty(); }));
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{
                                     "Brimsafe is unable to locate your vault.  It will not be saved at this time."});
    }
    EXPECT_TRUE(form->flows().Modified);
    EXPECT_FALSE(temp.exists("Home.vlt"));
}

}  // namespace
}  // namespace mainwintest
