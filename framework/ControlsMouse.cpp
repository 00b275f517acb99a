/*
 * Mouse tracking for enter/leave and the TMouse object. The chain of
 * controls under the mouse (outermost first) is kept here; a move sends
 * CM_MOUSELEAVE to the controls that left the chain (innermost first), then
 * CM_MOUSEENTER to those that joined it. A handler may free a control on the
 * way, so the walk stops as soon as the chain it started from has changed.
 */
#include "framework/ControlsMouse.h"

#include <algorithm>

#include "framework/Forms.h"

namespace {

std::function<TPoint()> cursorSource;
// The chain of controls under the mouse, outermost first.
std::vector<TControl*> mouseChain;

std::vector<TControl*> chainOf(TControl* control) {
    std::vector<TControl*> chain;
    for (TControl* c = control; c; c = c->GetParent()) chain.insert(chain.begin(), c);
    return chain;
}

}  // namespace

namespace brim_detail {

TControl* controlAtScreenPoint(const TPoint& screen, HWND hint) {
    HWND window = nullptr;
    if (hint) {
        POINT client = screen;
        ScreenToClient(hint, &client);
        RECT r;
        GetClientRect(hint, &r);
        if (PtInRect(&r, client) && IsWindowVisible(hint)) window = hint;
    }
    if (!window) window = WindowFromPoint(POINT(screen));
    TWinControl* windowed = nullptr;
    for (HWND w = window; w && !windowed; w = GetParent(w)) windowed = TWinControl::FindControl(w);
    if (!windowed) return nullptr;
    TControl* deepest = windowed;
    TPoint client = windowed->ScreenToClient(screen);
    if (TControl* child = windowed->ControlAtPos(client, true, false)) deepest = child;
    return deepest;
}

void moveMouseTo(TControl* target) {
    std::vector<TControl*> next = target ? chainOf(target) : std::vector<TControl*>();
    size_t common = 0;
    while (common < mouseChain.size() && common < next.size() && mouseChain[common] == next[common]) ++common;
    std::vector<TControl*> leaving(mouseChain.begin() + static_cast<long>(common), mouseChain.end());
    mouseChain = next;
    for (auto it = leaving.rbegin(); it != leaving.rend(); ++it) (*it)->Perform(CM_MOUSELEAVE, 0, 0);
    for (size_t i = common; i < next.size(); ++i) {
        // A handler may have changed the chain (freed a control); stop then.
        if (mouseChain != next) break;
        next[i]->Perform(CM_MOUSEENTER, 0, 0);
    }
    if (Application && (!leaving.empty() || common < next.size())) Application->MouseControlChanged(ControlUnderMouse());
}

}  // namespace brim_detail

TControl* ControlUnderMouse() { return mouseChain.empty() ? nullptr : mouseChain.back(); }

void UpdateMouseControl(const TPoint* screenPoint) {
    TPoint point = screenPoint ? *screenPoint : Mouse->GetCursorPos();
    brim_detail::moveMouseTo(brim_detail::controlAtScreenPoint(point, nullptr));
}

void ForgetMouseControl(TControl* control) {
    auto it = std::find(mouseChain.begin(), mouseChain.end(), control);
    if (it != mouseChain.end()) mouseChain.erase(it, mouseChain.end());
    if (Application) Application->MouseControlChanged(ControlUnderMouse());
}

TMouse* Mouse = nullptr;

TPoint TMouse::GetCursorPos() const {
    if (cursorSource) return cursorSource();
    POINT p = {};
    ::GetCursorPos(&p);
    return p;
}

void TMouse::SetCursorPos(const TPoint& value) { ::SetCursorPos(value.x, value.y); }

void TMouse::SetCursorSourceForTesting(std::function<TPoint()> source) { cursorSource = std::move(source); }

TControl* TMouse::GetCapture() const {
    TWinControl* windowed = TWinControl::FindControl(::GetCapture());
    if (windowed && windowed->CaptureControl()) return windowed->CaptureControl();
    return windowed;
}
