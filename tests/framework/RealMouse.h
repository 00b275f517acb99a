// Real mouse input for the framework tests: SendInput moves and left-button
// presses, pumped through the loop after each step.
#pragma once

#include "tests/framework/FrameworkFixture.h"

namespace fwtest {

inline void realMoveTo(POINT p) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(p.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(p.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    pumpIdle();
}

inline void realLeftButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
    pumpIdle();
}

// The screen position of a client point of a control (windowless ones through their parent).
inline POINT screenPointOf(TControl* control, int x, int y) {
    TPoint p = control->ClientToScreen(TPoint(x, y));
    return POINT{p.x, p.y};
}

}  // namespace fwtest
