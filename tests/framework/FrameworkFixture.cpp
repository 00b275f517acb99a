// Shared helpers of the framework tests; see FrameworkFixture.h.
#include "tests/framework/FrameworkFixture.h"

#include <cstdlib>
#include <memory>

namespace fwtest {

namespace {

constexpr UINT WM_RUN_LATER = WM_APP + 0x2F00;
HWND laterWindow = nullptr;

void laterProc(TMessage& m) {
    if (m.Msg == WM_RUN_LATER) {
        std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(m.LParam));
        (*action)();
        return;
    }
    if (m.Msg == WM_TIMER) {
        KillTimer(laterWindow, m.WParam);
        std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(m.WParam));
        (*action)();
        return;
    }
    DefaultWindowResult(laterWindow, m);
}

HWND later() {
    if (!laterWindow) laterWindow = AllocateHWnd(TWndMethod(laterProc));
    return laterWindow;
}

}  // namespace

bool pumpUntil(const std::function<bool()>& done, DWORD deadlineMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > deadlineMs) return done();
        Application->ProcessMessages();
        if (done()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void pumpIdle() {
    for (int i = 0; i < 5; ++i) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    Application->ProcessMessages();
}

void runLater(std::function<void()> action) {
    PostMessageA(later(), WM_RUN_LATER, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(action))));
}

void runAfter(DWORD ms, std::function<void()> action) {
    auto* heap = new std::function<void()>(std::move(action));
    SetTimer(later(), reinterpret_cast<UINT_PTR>(heap), ms, nullptr);
}

namespace {
struct Search {
    const char* name;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<Search*>(context);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, s->name) == 0 && IsWindowVisible(window)) s->found.push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> threadWindowsOfClass(const char* className) {
    Search search{className, {}};
    EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void FrameworkTest::SetUp() {
    InitFramework();
    Application->ResetTerminatedForTesting();
    Application->OnException = [this](TObject*, Exception* e) { exceptions.push_back(e->Message); };
}

void FrameworkTest::TearDown() {
    pumpIdle();
    Application->OnException = nullptr;
    Application->ResetTerminatedForTesting();
    EXPECT_EQ(Application->ModalLevel(), 0);
}

TColor pixelOf(TBitmap* bitmap, int x, int y) {
    const unsigned char* row = static_cast<const unsigned char*>(bitmap->GetScanLine(y));
    if (bitmap->GetPixelFormat() == pf32bit) return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
    return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
}

bool closeTo(TColor a, TColor b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

}  // namespace fwtest
