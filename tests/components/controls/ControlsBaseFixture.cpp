// Helpers of the library-control tests; see ControlsBaseFixture.h.
#include "tests/components/controls/ControlsBaseFixture.h"

#include "components/runtime/qclclass.h"

namespace ctltest {

void ControlsBaseTest::SetUp() {
    fwtest::ControlsTest::SetUp();
    QCLInitApplication();
}

void ControlsBaseTest::TearDown() {
    fwtest::ControlsTest::TearDown();
    QCLDoneApplication();
}

bool ControlsBaseTest::foreground() {
    form->Show();
    SetForegroundWindow(form->GetHandle());
    return fwtest::pumpUntil([&] { return GetForegroundWindow() == form->GetHandle(); });
}

std::unique_ptr<TBitmap> filledBitmap(int width, int height, TColor color) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(width, height);
    bitmap->GetCanvas()->GetBrush()->SetStyle(bsSolid);
    bitmap->GetCanvas()->GetBrush()->SetColor(color);
    bitmap->GetCanvas()->FillRect(TRect(0, 0, width, height));
    return bitmap;
}

std::unique_ptr<TBitmap> paintControl(TControl* control, TColor background) {
    auto bitmap = filledBitmap(control->GetWidth(), control->GetHeight(), background);
    HDC dc = bitmap->GetCanvas()->GetHandle();
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, control->GetWidth(), control->GetHeight());
    SetMetaRgn(dc);
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
    bitmap->GetCanvas()->Refresh();
    return bitmap;
}

TColor screenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return static_cast<TColor>(c);
}

int countPixels(TBitmap* bitmap, const TRect& R, TColor color) {
    int count = 0;
    for (int y = std::max(0, R.Top); y < std::min(R.Bottom, bitmap->GetHeight()); ++y)
        for (int x = std::max(0, R.Left); x < std::min(R.Right, bitmap->GetWidth()); ++x)
            if (fwtest::pixelOf(bitmap, x, y) == color) ++count;
    return count;
}

int firstColumnOf(TBitmap* bitmap, const TRect& R, TColor color) {
    for (int x = R.Left; x < R.Right; ++x)
        if (countPixels(bitmap, TRect(x, R.Top, x + 1, R.Bottom), color) > 0) return x;
    return -1;
}

int lastColumnOf(TBitmap* bitmap, const TRect& R, TColor color) {
    for (int x = R.Right - 1; x >= R.Left; --x)
        if (countPixels(bitmap, TRect(x, R.Top, x + 1, R.Bottom), color) > 0) return x;
    return -1;
}

int lastRowOf(TBitmap* bitmap, const TRect& R, TColor color) {
    for (int y = R.Bottom - 1; y >= R.Top; --y)
        if (countPixels(bitmap, TRect(R.Left, y, R.Right, y + 1), color) > 0) return y;
    return -1;
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

void clickAt(TControl* control, int x, int y) {
    TPoint p = control->ClientToScreen(TPoint(x, y));
    moveMouseTo(p.x, p.y);
    fwtest::pumpIdle();
    mouseButton(true);
    fwtest::pumpIdle();
    mouseButton(false);
    fwtest::pumpIdle();
}

}  // namespace ctltest
