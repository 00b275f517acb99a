/*
 * Mouse tracking shared by the controls sources only (the public side,
 * ControlUnderMouse, UpdateMouseControl, ForgetMouseControl and TMouse, is in
 * Controls.h). A window's mouse message moves the tracked chain before the
 * control under the mouse hears it.
 */
#pragma once

#include "framework/Controls.h"

namespace brim_detail {

// The deepest visible control (disabled ones included) at a screen point;
// `hint` (the window whose message reports the point, or null) is tried
// before the window the system finds at the point.
TControl* controlAtScreenPoint(const TPoint& screen, HWND hint);
// Makes `target` (or nothing) the control under the mouse, sending leave and
// enter along the way.
void moveMouseTo(TControl* target);

// The drag's share of a window's messages (ControlsDrag.cpp); true when the
// drag took the message.
bool dragMessage(TWinControl* window, TMessage& m);
// A control that goes is no longer the drag's source or target.
void forgetDragControl(TControl* control);

}  // namespace brim_detail
