// Helpers of the skin-kit tests; see SkinFixture.h.
#include "tests/skin/SkinFixture.h"

#include <vector>

namespace skintest {

std::unique_ptr<TBitmap> filledBitmap(int width, int height, TColor color) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->PixelFormat = pf24bit;
    bitmap->SetSize(width, height);
    bitmap->Canvas->Brush->Style = bsSolid;
    bitmap->Canvas->Brush->Color = color;
    bitmap->Canvas->FillRect(Rect(0, 0, width, height));
    return bitmap;
}

std::unique_ptr<TBitmap> captureScreen(const TRect& screen) {
    auto bitmap = filledBitmap(screen.Width(), screen.Height(), clBlack);
    HDC dc = GetDC(nullptr);
    BitBlt(bitmap->Canvas->Handle, 0, 0, screen.Width(), screen.Height(), dc, screen.Left, screen.Top, SRCCOPY);
    ReleaseDC(nullptr, dc);
    bitmap->Modified = true;
    return bitmap;
}

std::unique_ptr<TBitmap> captureClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return captureScreen(Bounds(origin.x, origin.y, client.right, client.bottom));
}

int countPixels(TBitmap* bitmap, const TRect& R, TColor color) {
    int count = 0;
    for (int y = std::max(0, R.Top); y < std::min(R.Bottom, bitmap->GetHeight()); ++y)
        for (int x = std::max(0, R.Left); x < std::min(R.Right, bitmap->GetWidth()); ++x)
            if (fwtest::pixelOf(bitmap, x, y) == color) ++count;
    return count;
}

bool samePixels(TBitmap* a, TBitmap* b) {
    if (a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
    for (int y = 0; y < a->GetHeight(); ++y)
        for (int x = 0; x < a->GetWidth(); ++x)
            if (fwtest::pixelOf(a, x, y) != fwtest::pixelOf(b, x, y)) return false;
    return true;
}

void moveMouseTo(int screenX, int screenY) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screenX, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(screenY, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void mouseButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void pressKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (auto& key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.first;
        input.ki.dwFlags = key.second ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void tapKey(WORD vk) { pressKeys({{vk, true}, {vk, false}}); }

bool bringToForeground(TCustomForm* form) {
    form->Show();
    SetForegroundWindow(form->Handle);
    return fwtest::pumpUntil([&] { return GetForegroundWindow() == form->Handle(); });
}

}  // namespace skintest
