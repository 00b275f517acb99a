/*
 * A visible host form for the standard-control tests, and helpers that send
 * the notifications a real control would send to its parent.
 */
#pragma once

#include "tests/framework/FrameworkFixture.h"

namespace fwtest {

class THostForm : public TForm {
public:
    explicit THostForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(20, 20, 400, 300);
    }
};

class ControlsTest : public FrameworkTest {
protected:
    void SetUp() override;
    void TearDown() override;
    THostForm* form = nullptr;
};

// Sends WM_COMMAND(code) from a child window to its parent, as the child would.
void sendCommand(TWinControl* child, WORD code);
// A 24-bit bitmap of the control as painted (PaintTo).
std::unique_ptr<TBitmap> paintOf(TWinControl* control);
// The position of a client point of `control` in its form's client area (for mouse messages to the form).
POINT pointInForm(TControl* control, int x, int y);

}  // namespace fwtest
