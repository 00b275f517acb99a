// Driving the dialogs with real input; see DialogDriver.h.
#include "tests/dialogs/DialogDriver.h"

#include "tests/skin/SkinFixture.h"
#include "tests/support/DialogAnswerer.h"

#include <memory>

namespace dialogtest {

namespace {

struct Search {
    std::string text;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (search->text == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND findDialog(const std::string& windowText) {
    Search search{windowText};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool bringUp(TCustomForm* form) {
    if (!fwtest::pumpUntil([&] { return IsWindowVisible(form->Handle()); })) return false;
    SetForegroundWindow(form->Handle());
    return fwtest::pumpUntil([&] { return GetForegroundWindow() == form->Handle(); });
}

void click(TControl* control) {
    TPoint centre = control->ClientToScreen(Point(control->Width / 2, control->Height / 2));
    skintest::moveMouseTo(centre.x, centre.y);
    fwtest::pumpIdle();
    skintest::mouseButton(true);
    fwtest::pumpIdle();
    skintest::mouseButton(false);
    fwtest::pumpIdle();
}

bool clickButtonOf(HWND dialog, const std::string& buttonText) {
    HWND button = brimtest::findChildByText(dialog, buttonText);
    if (!button) return false;
    RECT r;
    GetWindowRect(button, &r);
    skintest::moveMouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    fwtest::pumpIdle();
    skintest::mouseButton(true);
    fwtest::pumpIdle();
    skintest::mouseButton(false);
    fwtest::pumpIdle();
    return true;
}

void answerWhenUp(const std::string& windowText, const std::string& buttonText, std::shared_ptr<bool> answered,
                  DWORD deadlineMs) {
    const DWORD until = GetTickCount() + deadlineMs;
    fwtest::runAfter(20, [=] {
        HWND dialog = findDialog(windowText);
        if (!dialog) {
            if (GetTickCount() < until) answerWhenUp(windowText, buttonText, answered, until - GetTickCount());
            return;
        }
        SetForegroundWindow(dialog);
        fwtest::pumpUntil([&] { return GetForegroundWindow() == dialog; });
        *answered = clickButtonOf(dialog, buttonText);
    });
}

void typeText(const std::string& text) {
    for (char c : text) {
        SHORT scan = VkKeyScanA(c);
        WORD vk = LOBYTE(scan);
        bool shift = HIBYTE(scan) & 1;
        if (shift) skintest::pressKeys({{VK_SHIFT, true}});
        skintest::tapKey(vk);
        if (shift) skintest::pressKeys({{VK_SHIFT, false}});
        fwtest::pumpIdle();
    }
}

void tapKey(WORD vk) {
    skintest::tapKey(vk);
    fwtest::pumpIdle();
}

int showModal(TCustomForm* form, std::function<void()> script) {
    auto finished = std::make_shared<bool>(false);
    fwtest::runLater([form, script, finished] {
        script();
        if (*finished) return;
        // The script left the dialog open: end it after a while so the test fails instead of hanging.
        fwtest::runAfter(3000, [form, finished] {
            if (!*finished) form->ModalResult = GuardResult;
        });
    });
    int result = form->ShowModal();
    *finished = true;
    return result;
}

RegionShape regionOf(HWND window) {
    RegionShape shape;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(window, region);
    if (kind != ERROR && kind != NULLREGION) {
        shape.exists = true;
        GetRgnBox(region, &shape.box);
        shape.cornerCut = !PtInRegion(region, 1, 1);
    }
    DeleteObject(region);
    return shape;
}

}  // namespace dialogtest
