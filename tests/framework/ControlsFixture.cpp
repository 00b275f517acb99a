// Host form and notification helpers of the standard-control tests.
#include "tests/framework/ControlsFixture.h"

namespace fwtest {

void ControlsTest::SetUp() {
    FrameworkTest::SetUp();
    form = MakeForm<THostForm>(nullptr);
    form->Show();
    pumpIdle();
}

void ControlsTest::TearDown() {
    if (form) form->Free();
    form = nullptr;
    FrameworkTest::TearDown();
}

void sendCommand(TWinControl* child, WORD code) {
    HWND window = child->GetHandle();
    SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code),
                 reinterpret_cast<LPARAM>(window));
}

std::unique_ptr<TBitmap> paintOf(TWinControl* control) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->PixelFormat = pf24bit;
    bitmap->SetSize(control->GetWidth(), control->GetHeight());
    control->PaintTo(bitmap->Canvas->Handle, 0, 0);
    return bitmap;
}

POINT pointInForm(TControl* control, int x, int y) {
    for (TControl* c = control; c && !dynamic_cast<TCustomForm*>(c); c = c->GetParent()) {
        x += c->GetLeft();
        y += c->GetTop();
    }
    return POINT{x, y};
}

}  // namespace fwtest
