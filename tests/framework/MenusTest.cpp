// Popup menus: building the Win32 menu from items, choosing an item by the
// keyboard, and dismissal without a choice.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/Menus.h"

namespace {

std::string menuText(HMENU menu, UINT position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// The items of an edit's context menu: an undo item, separators, a disabled
// item, a checked item, a hidden one and a sub-menu.
struct MenuFixture {
    std::vector<std::string> clicks;
    TPopupMenu menu{nullptr};
    MenuFixture() {
        auto click = [this](TObject* sender) { clicks.push_back(static_cast<TMenuItem*>(sender)->GetCaption()); };
        menu.Items->Add(NewItem("&Undo", true, click));
        menu.Items->Add(NewLine());
        menu.Items->Add(NewItem("&Cut", false, click));
        TMenuItem* copy = NewItem("&Copy", true, click);
        copy->Checked = true;
        menu.Items->Add(copy);
        TMenuItem* hidden = NewItem("Hidden", true, click);
        hidden->Visible = false;
        menu.Items->Add(hidden);
        TMenuItem* more = NewItem("More", true, nullptr);
        more->Add(NewItem("Select all", true, click));
        menu.Items->Add(more);
    }
};

TEST(PopupMenuBuilding, ItemsBecomeMenuEntriesWithTheirState) {
    MenuFixture f;
    std::unique_ptr<TBuiltMenu> built(BuildPopupMenu(f.menu.Items));
    HMENU h = built->Handle();
    ASSERT_EQ(GetMenuItemCount(h), 5) << "the hidden item is left out";
    EXPECT_EQ(menuText(h, 0), "&Undo");
    EXPECT_TRUE(GetMenuState(h, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(h, 2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(h, 3, MF_BYPOSITION) & MF_CHECKED);
    HMENU sub = GetSubMenu(h, 4);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(menuText(sub, 0), "Select all");
    // Command ids lead back to the items, sub-menu items included.
    UINT subCommand = GetMenuItemID(sub, 0);
    EXPECT_EQ(built->ItemOf(subCommand)->GetCaption(), "Select all");
    EXPECT_EQ(built->ItemOf(GetMenuItemID(h, 0))->GetCaption(), "&Undo");
    EXPECT_EQ(built->ItemOf(0), nullptr);
}

TEST(PopupMenuBuilding, ItemsOwnTheirChildrenAndLeaveTheirParentWhenFreed) {
    TComponent owner(nullptr);
    auto* root = new TMenuItem(nullptr);
    auto* a = NewItem("a", true, nullptr, &owner);
    auto* b = NewItem("b", true, nullptr, &owner);
    root->Add(a);
    root->Add(b);
    delete a;  // freed by its owner first: it leaves the parent's list
    ASSERT_EQ(root->Count(), 1);
    EXPECT_EQ(root->Items[0](), b);
    root->Free();  // frees b, which leaves its owner
    EXPECT_EQ(owner.ComponentCount(), 0);
}

// A visible top-level window to own the menu.
class OwnerWindow {
public:
    OwnerWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "BrimMenuTestOwner";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "Menu owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                 150, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(window);
        SetActiveWindow(window);
    }
    ~OwnerWindow() { DestroyWindow(window); }
    HWND window;
};

// Waits (with a deadline) for the popup menu window, then acts on the owner.
class MenuWatcher {
public:
    explicit MenuWatcher(std::function<void()> act)
        : thread_([this, act] {
              for (int i = 0; i < 400; ++i) {
                  HWND popup = FindWindowA("#32768", nullptr);
                  if (popup && IsWindowVisible(popup)) {
                      seen = true;
                      act();
                      return;
                  }
                  Sleep(25);
              }
          }) {}
    ~MenuWatcher() { thread_.join(); }
    std::atomic<bool> seen{false};

private:
    std::thread thread_;
};

TEST(PopupMenuRun, KeyboardChoiceRunsTheItemAfterTheMenuIsGone) {
    OwnerWindow owner;
    MenuFixture f;
    bool menuGoneAtClick = false;
    f.menu.Items->Items[0]->OnClick = [&](TObject*) {
        menuGoneAtClick = FindWindowA("#32768", nullptr) == nullptr || !IsWindowVisible(FindWindowA("#32768", nullptr));
        f.clicks.push_back("undo");
    };
    {
        MenuWatcher watcher([&] {
            PostMessageA(owner.window, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(owner.window, WM_KEYDOWN, VK_RETURN, 0);
        });
        f.menu.Popup(40, 40);
        EXPECT_TRUE(watcher.seen);
    }
    EXPECT_EQ(f.clicks, (std::vector<std::string>{"undo"}));
    EXPECT_TRUE(menuGoneAtClick);
}

TEST(PopupMenuRun, CancelModeDismissesWithoutAClick) {
    OwnerWindow owner;
    MenuFixture f;
    int popups = 0;
    f.menu.OnPopup = [&](TObject*) { ++popups; };
    {
        MenuWatcher watcher([&] { PostMessageA(owner.window, WM_CANCELMODE, 0, 0); });
        f.menu.Popup(40, 40);
        EXPECT_TRUE(watcher.seen);
    }
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(f.clicks.empty());
}

}  // namespace
