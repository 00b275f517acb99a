// The skinned message box on its real window: every button set and icon read back
// and answered by a real click and by the keys, its texts read as window texts, the
// layout for one and two lines, the rounded region, the owner rules, the icons' key
// colours and dragging by the title.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "components/controls/QCLSimpleLabel.h"
#include "framework/Win32Handles.h"
#include "skin/LabelWindow.h"
#include "skin/ZM_MessageBox.h"
#include "skin/xpButton.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxReader.h"
#include "tests/support/MessageBoxScript.h"

namespace {

using brimtest::MessageBoxContents;

// One box shown on this thread while a watcher thread finds it, reads it and acts on it.
struct BoxRun {
    MessageBoxContents seen;
    bool read = false;
    bool acted = false;
    int result = -1;
};

BoxRun runBox(const std::function<int()>& show, const std::function<bool(HWND)>& act) {
    BoxRun run;
    std::thread watcher([&] {
        HWND box = brimtest::waitForMessageBox(GetCurrentProcessId(), 10000);
        if (!box) return;
        run.read = brimtest::readMessageBox(box, run.seen);
        run.acted = act(box);
        if (!run.acted) PostMessageA(box, WM_CLOSE, 0, 0);  // never leave the modal loop waiting
    });
    run.result = show();
    watcher.join();
    return run;
}

// Polls with a deadline: the box's own thread takes the input while this one waits.
bool waitFor(const std::function<bool()>& done) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(10))
        if (done()) return true;
    return false;
}

bool bringForward(HWND box) {
    SetForegroundWindow(box);
    return waitFor([&] { return GetForegroundWindow() == box; });
}

void moveMouseAndWait(int x, int y) {
    skintest::moveMouseTo(x, y);
    waitFor([&] {
        POINT at;
        return GetCursorPos(&at) && at.x == x && at.y == y;
    });
}

bool tapKeyOn(HWND box, WORD key) {
    bringForward(box);
    skintest::tapKey(key);
    return true;
}

std::function<bool(HWND)> click(const std::string& caption) {
    return [caption](HWND box) { return brimtest::clickMessageBoxButton(box, caption); };
}

std::function<bool(HWND)> key(WORD vk) {
    return [vk](HWND box) { return tapKeyOn(box, vk); };
}

class SkinnedMessageBoxTest : public fwtest::FrameworkTest {
protected:
    brimtest::ScopedMessageBoxHandler none{nullptr};  // the box shows itself
};

const std::vector<std::string> kSetButtons[] = {
    {"Ok"}, {"Ok", "Cancel"}, {"Yes", "No"}, {"Yes", "Yes to All", "No", "Abort"}, {"Abort", "Retry", "Ignore"},
    {"Retry", "Cancel"}};
const std::vector<int> kSetResults[] = {{1}, {1, 2}, {6, 7}, {6, 8, 7, 3}, {3, 4, 5}, {4, 2}};

TEST_F(SkinnedMessageBoxTest, EveryButtonOfEverySetAnswersByARealClick) {
    int shown = 0;
    for (int set = 0; set < 6; ++set) {
        for (size_t b = 0; b < kSetButtons[set].size(); ++b, ++shown) {
            const int icon = shown % 5 == 4 ? 7 : shown % 5;  // 7: any other value shows information
            const bool owned = shown % 2 == 0;
            const std::string text = "Message " + std::to_string(shown);
            BoxRun run = runBox(
                [&] {
                    return owned ? ShowMessageBox(nullptr, text, "Brimsafe", set, icon)
                                 : ShowMessageBoxNoOwner(text, "Brimsafe Uninstall", set, icon);
                },
                click(kSetButtons[set][b]));
            SCOPED_TRACE("set " + std::to_string(set) + " button " + kSetButtons[set][b]);
            ASSERT_TRUE(run.read);
            EXPECT_TRUE(run.acted);
            EXPECT_EQ(run.result, kSetResults[set][b]);
            EXPECT_TRUE(run.seen.skinned);
            EXPECT_EQ(run.seen.title, owned ? "Brimsafe" : "Brimsafe Uninstall");
            EXPECT_EQ(run.seen.text, text);
            EXPECT_EQ(run.seen.buttons, kSetButtons[set]);
            EXPECT_EQ(run.seen.icon, icon == 7 ? mbiInformation : icon);
        }
    }
}

TEST_F(SkinnedMessageBoxTest, KeysAnswerWithTheLeftmostButtonOrCancel) {
    struct Case {
        int set;
        WORD key;
        int expected;
    };
    const Case cases[] = {
        {0, VK_RETURN, 1}, {0, VK_ESCAPE, 2}, {0, VK_SPACE, 1},  {1, VK_ESCAPE, 2}, {2, VK_RETURN, 6},
        {2, VK_ESCAPE, 7}, {2, VK_SPACE, 6},  {3, VK_ESCAPE, 7}, {3, VK_RETURN, 6}, {4, VK_ESCAPE, 2},
        {4, VK_RETURN, 3}, {5, VK_SPACE, 4},  {5, VK_ESCAPE, 2}, {9, VK_ESCAPE, 2},  // no button at all
    };
    for (const Case& c : cases) {
        BoxRun run = runBox([&] { return ShowMessageBoxNoOwner("Press a key.", "Brimsafe", c.set, mbiQuestion); },
                            key(c.key));
        EXPECT_EQ(run.result, c.expected) << "set " << c.set << " key " << c.key;
        if (c.set == 9) {
            EXPECT_TRUE(run.seen.buttons.empty());
        }
    }
}

TEST_F(SkinnedMessageBoxTest, AQuestionThatFocusesNoAnswersNoToEnterAndSpace) {
    for (WORD vk : {VK_RETURN, VK_SPACE}) {
        BoxRun run = runBox(
            [&] { return ShowMessageBox(nullptr, "Are you sure?", "Brimsafe", mbsYesNo, mbiCaution, mbrNo); },
            key(vk));
        EXPECT_EQ(run.result, mbrNo) << "key " << vk;
    }
}

// All the windows below a window, with their texts: what any program reads of a window.
std::vector<std::pair<HWND, std::string>> childTexts(HWND window) {
    std::vector<std::pair<HWND, std::string>> found;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) {
            char text[1024] = {};
            GetWindowTextA(child, text, sizeof text);
            reinterpret_cast<std::vector<std::pair<HWND, std::string>>*>(data)->emplace_back(child, text);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND childWithText(HWND window, const std::string& text) {
    for (const auto& child : childTexts(window))
        if (child.second == text) return child.first;
    return nullptr;
}

TRect screenRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return TRect(r.left, r.top, r.right, r.bottom);
}

TRect screenBounds(TControl* control) {
    const TPoint topLeft = control->ClientToScreen(TPoint(0, 0));
    return TRect(topLeft.x, topLeft.y, topLeft.x + control->GetWidth(), topLeft.y + control->GetHeight());
}

// What the screen shows of the window once painted anew: the same reading twice in a row, since
// the display may still be catching up with an earlier window at the same place.
std::unique_ptr<TBitmap> steadyCapture(HWND window) {
    std::unique_ptr<TBitmap> last;
    for (int reading = 0; reading < 50; ++reading) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        fwtest::pumpIdle();
        auto shot = skintest::captureClient(window);
        if (last && skintest::samePixels(last.get(), shot.get())) break;
        last = std::move(shot);
    }
    return last;
}

// The title and the text are read with nothing but EnumChildWindows and GetWindowText: each is the
// text of a window lying exactly over the label that shows it, and those windows change no pixel.
TEST_F(SkinnedMessageBoxTest, TheTitleAndTextAreWindowTextsOverWhatTheUserSees) {
    struct Case {
        const char* title;
        std::string text;
    };
    const Case cases[] = {
        {"Brimsafe", "Your vault has been saved."},
        {"Brimsafe Uninstall",
         "The first line of the message.\r\nThe second line, long enough to wrap once more at the fixed width of "
         "the text, so that the box shows three lines."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        auto box = std::unique_ptr<TZMMessageBox, void (*)(TZMMessageBox*)>(MakeForm<TZMMessageBox>(nullptr),
                                                                             [](TZMMessageBox* b) { b->Free(); });
        box->PrepareMessage(c.text, c.title, mbsOk, mbiInformation);
        ASSERT_TRUE(skintest::bringToForeground(box.get()));
        fwtest::pumpIdle();

        char boxText[64] = {};
        GetWindowTextA(box->Handle(), boxText, sizeof boxText);
        EXPECT_STREQ(boxText, "ZMMessageBox");  // never taken for the program's own window
        HWND title = childWithText(box->Handle(), c.title);
        HWND text = childWithText(box->Handle(), c.text);
        ASSERT_NE(title, nullptr);
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(IsWindowVisible(title) && IsWindowVisible(text));
        EXPECT_EQ(box->MessageTitle->GetText(), c.title);
        EXPECT_EQ(box->MessageBody->GetText(), c.text);
        EXPECT_EQ(screenRect(title), screenBounds(box->MessageTitle));
        EXPECT_EQ(screenRect(text), screenBounds(box->MessageBody));

        auto withWindows = steadyCapture(box->Handle());
        const TRect body = screenBounds(box->MessageBody);
        const TPoint origin = box->ClientToScreen(TPoint(0, 0));
        EXPECT_GT(skintest::countPixels(withWindows.get(),
                                        TRect(body.Left - origin.x, body.Top - origin.y, body.Right - origin.x,
                                              body.Bottom - origin.y),
                                        clBlack),
                  0)
            << "the text shows through its window";
        box->MessageTitleWindow->SetVisible(false);
        box->MessageBodyWindow->SetVisible(false);
        auto labelsAlone = steadyCapture(box->Handle());
        EXPECT_TRUE(skintest::samePixels(withWindows.get(), labelsAlone.get()));
    }
}

// The box laid out for a message, then shown and read back from its window.
struct Layout {
    int formHeight = 0, bodyHeight = 0, buttonBottom = 0, width = 0;
    TQCLAlignment alignment = agTopLeft;
    bool cornerOutside = false, edgeInside = false;
};

Layout layoutOf(const std::string& text) {
    Layout layout;
    TZMMessageBox* box = MakeForm<TZMMessageBox>(nullptr);
    box->PrepareMessage(text, "Brimsafe", mbsOkCancel, mbiInformation);
    box->Show();
    fwtest::pumpIdle();
    layout.formHeight = box->GetHeight();
    layout.width = box->GetWidth();
    layout.bodyHeight = box->MessageBody->GetHeight();
    layout.buttonBottom = box->Button_Ok->GetTop() + box->Button_Ok->GetHeight();
    layout.alignment = box->MessageBody->GetAlignment();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(box->Handle(), region) != ERROR) {
        layout.cornerOutside = !PtInRegion(region, 0, 0) && !PtInRegion(region, layout.width - 1, layout.formHeight - 1);
        layout.edgeInside = PtInRegion(region, layout.width - 1, layout.formHeight / 2) &&
                            PtInRegion(region, layout.width / 2, layout.formHeight - 1);
    }
    DeleteObject(region);
    box->Free();
    return layout;
}

TEST_F(SkinnedMessageBoxTest, TheHeightFollowsTheTextAndTheButtonsStayAtTheBottom) {
    Layout one = layoutOf("Your vault has been saved.");
    Layout two = layoutOf(
        "There was a problem checking for an update.  Make sure that you have an active internet connection and "
        "try again.  This text is long enough to need a second line in the box.");
    EXPECT_EQ(one.formHeight, one.bodyHeight + 102);
    EXPECT_EQ(two.formHeight, two.bodyHeight + 102);
    EXPECT_GT(two.bodyHeight, 23);
    EXPECT_LE(one.bodyHeight, 23);
    EXPECT_EQ(one.alignment, agTopCenter);
    EXPECT_EQ(two.alignment, agTopLeft);
    EXPECT_EQ(one.formHeight - one.buttonBottom, 221 - 187 - 23);
    EXPECT_EQ(two.formHeight - two.buttonBottom, 221 - 187 - 23);
    for (const Layout* layout : {&one, &two}) {
        EXPECT_EQ(layout->width, 373);
        EXPECT_TRUE(layout->cornerOutside);
        EXPECT_TRUE(layout->edgeInside);
    }
}

TEST_F(SkinnedMessageBoxTest, OwnedAndCentredOnlyByAVisibleOwner) {
    auto owner = std::unique_ptr<TForm, void (*)(TForm*)>(MakeForm<TForm>(nullptr), [](TForm* f) { f->Free(); });
    owner->SetBounds(40, 60, 600, 500);
    for (bool visible : {true, false}) {
        owner->SetVisible(visible);
        fwtest::pumpIdle();
        HWND ownerWindow = nullptr;
        RECT boxRect = {};
        BoxRun run = runBox([&] { return ShowMessageBox(owner.get(), "Centred?", "Brimsafe", mbsOk, mbiInformation); },
                            [&](HWND box) {
                                ownerWindow = GetWindow(box, GW_OWNER);
                                GetWindowRect(box, &boxRect);
                                return brimtest::clickMessageBoxButton(box, "Ok");
                            });
        EXPECT_EQ(run.result, 1);
        int centreX = (boxRect.left + boxRect.right) / 2, centreY = (boxRect.top + boxRect.bottom) / 2;
        if (visible) {
            EXPECT_EQ(ownerWindow, owner->Handle());
            EXPECT_NEAR(centreX, 40 + 300, 2);
            EXPECT_NEAR(centreY, 60 + 250, 2);
        } else {
            EXPECT_NE(ownerWindow, owner->Handle());
            EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
            EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 2);
        }
    }
}

// The icons' key colours never show: no lime anywhere, no white where the caution icon is.
TEST_F(SkinnedMessageBoxTest, NoKeyColourShowsOnTheScreen) {
    for (int icon : {mbiInformation, mbiCaution, mbiError, mbiQuestion}) {
        int lime = -1, whiteInCaution = -1;
        runBox([&] { return ShowMessageBoxNoOwner("Look at the icon.", "Brimsafe", mbsOk, icon); },
               [&](HWND box) {
                   RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                   Sleep(100);  // lets the box's own thread finish painting before the screen is read
                   RECT r;
                   GetWindowRect(box, &r);
                   auto shot = skintest::captureScreen(TRect(r.left, r.top, r.right, r.bottom));
                   lime = skintest::countPixels(shot.get(), TRect(0, 0, r.right - r.left, r.bottom - r.top), clLime);
                   whiteInCaution = skintest::countPixels(shot.get(), TRect(11, 9, 29, 27), clWhite);
                   return brimtest::clickMessageBoxButton(box, "Ok");
               });
        EXPECT_EQ(lime, 0) << "icon " << icon;
        if (icon == mbiCaution) {
            EXPECT_EQ(whiteInCaution, 0);
        }
    }
}

// The drag starts where the box took the press: moving on before the box has
// handled it would start the drag from the first step instead.
void waitForTheBoxToHoldTheMouse(HWND box) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(box, nullptr);
    for (int i = 0; i < 500; ++i) {
        if (GetGUIThreadInfo(thread, &info) && info.hwndCapture) return;
        Sleep(10);
    }
}

TEST_F(SkinnedMessageBoxTest, DraggingTheTitleMovesTheBoxOnRelease) {
    const POINT grips[] = {{200, 20}, {60, 18}, {15, 14}};  // the title bar, the title label, the icon
    for (POINT grip : grips) {
        RECT before = {}, during = {}, after = {};
        runBox([&] { return ShowMessageBoxNoOwner("Drag me.", "Brimsafe", mbsOk, mbiInformation); },
               [&](HWND box) {
                   bringForward(box);
                   GetWindowRect(box, &before);
                   moveMouseAndWait(before.left + grip.x, before.top + grip.y);
                   skintest::mouseButton(true);
                   waitForTheBoxToHoldTheMouse(box);
                   for (int step = 1; step <= 4; ++step)
                       moveMouseAndWait(before.left + grip.x + 10 * step, before.top + grip.y + 10 * step / 4);
                   Sleep(100);
                   GetWindowRect(box, &during);
                   skintest::mouseButton(false);
                   for (int i = 0; i < 100; ++i) {
                       Sleep(10);
                       GetWindowRect(box, &after);
                       if (after.left != before.left) break;
                   }
                   return brimtest::clickMessageBoxButton(box, "Ok");
               });
        EXPECT_EQ(during.left, before.left) << grip.x;
        EXPECT_EQ(after.left - before.left, 40) << grip.x;
        EXPECT_EQ(after.top - before.top, 10) << grip.x;
    }
}

}  // namespace

namespace {

// A box asked for by a modal dialog belongs to that dialog and leaves it modal and usable.
TEST_F(SkinnedMessageBoxTest, ABoxOverAModalDialogIsOwnedByIt) {
    brimtest::ScopedMessageBoxHandler none{nullptr};
    auto dialog = std::unique_ptr<TForm, void (*)(TForm*)>(MakeForm<TForm>(nullptr), [](TForm* f) { f->Free(); });
    dialog->SetBounds(100, 100, 420, 300);
    HWND ownerSeen = nullptr;
    int boxResult = -1;
    fwtest::runLater([&] {
        auto show = [&] { return ShowMessageBox(dialog.get(), "Over the dialog.", "Brimsafe", mbsYesNo, mbiQuestion); };
        BoxRun run = runBox(show, [&](HWND box) {
                                ownerSeen = GetWindow(box, GW_OWNER);
                                return brimtest::clickMessageBoxButton(box, "Yes");
                            });
        boxResult = run.result;
        dialog->SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(boxResult, mbrYes);
    EXPECT_EQ(ownerSeen, dialog->Handle());
}

}  // namespace
