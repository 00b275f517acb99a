/*
 * Dragging one control onto another: BeginDrag, the drag under way, the drop
 * and the end events. One drag at a time per process.
 *
 * How a drag runs:
 *  - BeginDrag captures the mouse for the source's window (its parent's for
 *    a windowless source). An immediate drag starts at once; otherwise it
 *    starts when the pointer has moved Threshold pixels, and until then the
 *    mouse messages go their normal way (a release is still a click).
 *  - Started, the captured window's mouse messages are the drag's: each move
 *    asks the enabled control under the pointer (DragOver, enter/move/leave)
 *    and shows DragCursor or crNoDrop; the left release drops (DragDrop on
 *    an accepting target), Escape, the right button or a lost capture end
 *    without a drop. OnEndDrag tells the source either way, the target null
 *    without a drop.
 *  - The drag's state is cleared before any end event runs, so a handler may
 *    start another drag or free the controls; a control freed mid-drag is
 *    forgotten (ending the drag when it was the source).
 */
#include "framework/Controls.h"

#include <windowsx.h>

#include <cstdlib>

#include "framework/ControlsMouse.h"
#include "framework/Forms.h"

namespace {

struct DragState {
    TControl* source = nullptr;
    HWND capture = nullptr;
    bool started = false;
    int threshold = 5;
    TPoint start;
    TPoint last;
    TControl* target = nullptr;
    bool accepted = false;
};

DragState drag;

TPoint cursorNow() {
    POINT p{};
    GetCursorPos(&p);
    return TPoint(p.x, p.y);
}

TControl* enabledTargetAt(const TPoint& screen) {
    TControl* target = brim_detail::controlAtScreenPoint(screen, nullptr);
    while (target && !target->GetEnabled()) target = target->GetParent();
    return target;
}

bool askTarget(TControl* target, const TPoint& screen, TDragState state) {
    TPoint p = target->ScreenToClient(screen);
    bool accept = false;
    target->DragOver(drag.source, p.x, p.y, state, accept);
    return accept;
}

void showCursor() {
    if (!Screen || !drag.source) return;
    ::SetCursor(Screen->GetCursors(drag.accepted ? drag.source->DragCursor : crNoDrop));
}

void dragTo(const TPoint& screen) {
    drag.last = screen;
    TControl* target = enabledTargetAt(screen);
    if (target != drag.target) {
        TControl* old = drag.target;
        drag.target = nullptr;
        drag.accepted = false;
        if (old) askTarget(old, screen, dsDragLeave);
        if (!drag.source) return;  // a handler ended the drag
        drag.target = target;
        if (target) drag.accepted = askTarget(target, screen, dsDragEnter);
    } else if (target) {
        drag.accepted = askTarget(target, screen, dsDragMove);
    }
    showCursor();
}

void startDrag() {
    drag.started = true;
    TControl* source = drag.source;
    source->DoStartDrag();
    if (drag.source == source) dragTo(cursorNow());
}

// Ends the drag; with Drop, an accepting target gets the drop.
void finishDrag(bool drop) {
    DragState ended = drag;
    drag = DragState();
    if (ended.capture && ::GetCapture() == ended.capture) ReleaseCapture();
    if (!ended.source) return;
    TControlState state = ended.source->GetControlState();
    state >> csClicked;
    state >> csLButtonDown;
    ended.source->SetControlState(state);
    if (!ended.started) return;
    TControl* target = ended.target;
    TPoint at = target ? target->ScreenToClient(ended.last) : TPoint(0, 0);
    bool dropped = drop && target && ended.accepted;
    if (target) {
        bool ignored = false;
        target->DragOver(ended.source, at.x, at.y, dsDragLeave, ignored);
        if (dropped) target->DragDrop(ended.source, at.x, at.y);
    }
    ended.source->DoEndDrag(dropped ? target : nullptr, dropped ? at.x : 0, dropped ? at.y : 0);
    if (Screen) ::SetCursor(Screen->GetCursors(crDefault));
}

}  // namespace

namespace brim_detail {

// The drag's share of a window's messages; true when the drag took it.
bool dragMessage(TWinControl* window, TMessage& m) {
    if (!drag.source) return false;
    HWND handle = window->HandleAllocated() ? window->GetHandle() : nullptr;
    switch (m.Msg) {
    case WM_MOUSEMOVE: {
        if (handle != drag.capture) return false;
        POINT p = {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        ::ClientToScreen(handle, &p);
        TPoint screen(p.x, p.y);
        if (!drag.started) {
            if (std::abs(screen.x - drag.start.x) < drag.threshold && std::abs(screen.y - drag.start.y) < drag.threshold)
                return false;
            startDrag();
            return true;
        }
        dragTo(screen);
        return true;
    }
    case WM_LBUTTONUP:
        if (handle != drag.capture) return false;
        if (!drag.started) {
            drag = DragState();  // never started: the release is an ordinary one
            return false;
        }
        finishDrag(true);
        return true;
    case WM_RBUTTONDOWN:
        if (!drag.started || handle != drag.capture) return false;
        finishDrag(false);
        return true;
    case CN_KEYDOWN:  // before the form's dialog keys see Escape
    case WM_KEYDOWN:
        if (!drag.started || m.WParam != VK_ESCAPE) return false;
        finishDrag(false);
        m.Result = 1;
        return true;
    case WM_CAPTURECHANGED:
        if (handle == drag.capture && reinterpret_cast<HWND>(m.LParam) != drag.capture) finishDrag(false);
        return false;
    case WM_SETCURSOR:
        if (!drag.started) return false;
        showCursor();
        m.Result = TRUE;
        return true;
    default:
        return false;
    }
}

void forgetDragControl(TControl* control) {
    if (drag.target == control) {
        drag.target = nullptr;
        drag.accepted = false;
    }
    if (drag.source == control) {
        HWND capture = drag.capture;
        drag = DragState();
        if (capture && ::GetCapture() == capture) ReleaseCapture();
    }
}

}  // namespace brim_detail

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (drag.source) return;
    auto* windowed = dynamic_cast<TWinControl*>(this);
    TWinControl* owner = windowed ? windowed : GetParent();
    if (!owner || !owner->HandleAllocated()) return;
    drag = DragState();
    drag.source = this;
    drag.capture = owner->GetHandle();
    drag.threshold = Threshold < 0 ? 5 : Threshold;
    drag.start = cursorNow();
    if (::GetCapture() != drag.capture) ::SetCapture(drag.capture);
    if (Immediate) startDrag();
}

void TControl::EndDrag(bool Drop) {
    if (drag.source == this) finishDrag(Drop);
}

bool TControl::Dragging() const { return drag.source == this && drag.started; }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag() {
    if (OnStartDrag) OnStartDrag(this);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}
