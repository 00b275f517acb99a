// A real top-level window under the test display: created, sent a posted
// message through the queue, and destroyed.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr UINT Ping = WM_APP + 7;
int pingsSeen = 0;

LRESULT CALLBACK smokeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == Ping) {
        pingsSeen += static_cast<int>(wParam);
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(WindowSmoke, TopLevelWindowGetsPostedMessageAndIsDestroyed) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = smokeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BrimSmokeWindow";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    RECT bounds;
    ASSERT_TRUE(GetWindowRect(window, &bounds));
    EXPECT_EQ(bounds.right - bounds.left, 200);
    // The screen is the 24-bit display the harness promises.
    HDC screen = GetDC(nullptr);
    EXPECT_GE(GetDeviceCaps(screen, BITSPIXEL), 24);
    ReleaseDC(nullptr, screen);

    ASSERT_TRUE(PostMessageA(window, Ping, 3, 0));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    EXPECT_EQ(pingsSeen, 3);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
