/*
 * TWinControl, children and layout: the child list (windowless children
 * always below windowed ones), bounds, client rectangle, auto-size and
 * alignment. SetBounds is the one path for size changes: OnCanResize, then
 * Constraints, then the window moves, then the children realign and Resize
 * fires once. Without a window the client rectangle is computed from the
 * frame the window will have.
 */
#include "framework/Controls.h"

#include <algorithm>

#include "framework/Forms.h"

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ConstrainRequestedSize(AWidth, AHeight);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    bool sizeChanged = AWidth != width_ || AHeight != height_;
    if (handle_) {
        inSetBounds_ = true;
        SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        inSetBounds_ = false;
        UpdateBounds();
        // The window manager may refuse a size; keep what was asked for the fields
        // only when no window exists.
    } else {
        left_ = ALeft;
        top_ = ATop;
        width_ = AWidth;
        height_ = AHeight;
    }
    UpdateAnchorRules();
    RequestAlign();
    if (sizeChanged) {
        Realign();
        Resize();
    }
}

void TWinControl::UpdateBounds() {
    if (!handle_) return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
        HWND parent = ::GetParent(handle_);
        if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
}

TRect TWinControl::GetClientRect() {
    if (handle_) {
        RECT r;
        ::GetClientRect(handle_, &r);
        return r;
    }
    // No window yet: the frame the window will have.
    TCreateParams params;
    CreateParams(params);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style & ~WS_CHILD, FALSE, params.ExStyle);
    if (params.Style & WS_CHILD) {
        frame = RECT{0, 0, 0, 0};
        if (params.ExStyle & WS_EX_CLIENTEDGE) frame = RECT{-2, -2, 2, 2};
        if (params.Style & WS_BORDER) frame = RECT{frame.left - 1, frame.top - 1, frame.right + 1, frame.bottom + 1};
    }
    int w = width_ - (frame.right - frame.left), h = height_ - (frame.bottom - frame.top);
    return TRect(0, 0, std::max(0, w), std::max(0, h));
}

bool TWinControl::Showing() const {
    if (handle_) return IsWindowVisible(handle_) != FALSE;
    return GetVisible() && GetParent() && GetParent()->Showing();
}

void TWinControl::SetVisible(bool value) { TControl::SetVisible(value); }

void TWinControl::SetEnabled(bool value) { TControl::SetEnabled(value); }

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
    int right = 0, bottom = 0;
    bool any = false;
    for (TControl* c : controls_) {
        if (!c->GetVisible()) continue;
        any = true;
        right = std::max(right, c->GetLeft() + c->GetWidth());
        bottom = std::max(bottom, c->GetTop() + c->GetHeight());
    }
    if (!any) return false;
    TRect client = GetClientRect();
    NewWidth = right + (width_ - client.Width());
    NewHeight = bottom + (height_ - client.Height());
    return true;
}

void TWinControl::InsertControl(TControl* AControl) {
    // Windowless children stay below windowed siblings.
    if (dynamic_cast<TWinControl*>(AControl)) {
        controls_.push_back(AControl);
    } else {
        auto firstWindowed = std::find_if(controls_.begin(), controls_.end(),
                                          [](TControl* c) { return dynamic_cast<TWinControl*>(c) != nullptr; });
        controls_.insert(firstWindowed, AControl);
    }
    AControl->parent_ = this;
    if (auto* windowed = dynamic_cast<TWinControl*>(AControl)) {
        windowed->tabOrder_ = -1;
        if (handle_) windowed->CreateHandle();
    }
    if (AControl->parentFont_) AControl->ParentFontChanged(GetFont());
    if (AControl->parentColor_) AControl->ParentColorChanged(GetColor());
    if (AControl->parentShowHint_) AControl->showHint_ = GetShowHint();
    AControl->UpdateAnchorRules();
    AControl->Invalidate();
    if (AControl->GetAlign() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it == controls_.end()) return;
    if (captureControl_ == AControl) captureControl_ = nullptr;
    if (TCustomForm* form = GetParentForm()) form->ControlRemoved(AControl);
    AControl->Invalidate();
    if (auto* windowed = dynamic_cast<TWinControl*>(AControl)) {
        if (windowed->handle_ && !GetComponentState().Contains(csDestroying)) windowed->DestroyHandle();
    }
    it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it != controls_.end()) controls_.erase(it);
    AControl->parent_ = nullptr;
    if (AControl->GetAlign() != alNone) Realign();
}

TControl* TWinControl::GetControl(int Index) const {
    if (Index < 0 || Index >= GetControlCount()) TList::IndexError(Index);
    return controls_[static_cast<size_t>(Index)];
}

bool TWinControl::ContainsControl(TControl* Control) const {
    for (TControl* c = Control; c; c = c->GetParent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
        if (windowed && !AllowWinControls) continue;
        if (!c->GetVisible() || (!c->GetEnabled() && !AllowDisabled)) continue;
        if (!c->BoundsRect().Contains(Pos)) continue;
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(Pos.x - c->GetLeft(), Pos.y - c->GetTop())) == 0) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SetChildOrder(TControl* Child, int Order) {
    auto it = std::find(controls_.begin(), controls_.end(), Child);
    if (it == controls_.end()) return;
    controls_.erase(it);
    bool windowed = dynamic_cast<TWinControl*>(Child) != nullptr;
    // Keep windowless children below windowed ones.
    int firstWindowed = static_cast<int>(std::find_if(controls_.begin(), controls_.end(), [](TControl* c) {
                                             return dynamic_cast<TWinControl*>(c) != nullptr;
                                         }) - controls_.begin());
    int low = windowed ? firstWindowed : 0;
    int high = windowed ? static_cast<int>(controls_.size()) : firstWindowed;
    Order = std::max(low, std::min(Order, high));
    controls_.insert(controls_.begin() + Order, Child);
    if (auto* w = dynamic_cast<TWinControl*>(Child)) {
        if (w->handle_) {
            // Our list has the bottom first; the window above the new position is the next windowed sibling.
            HWND after = HWND_TOP;
            for (size_t i = static_cast<size_t>(Order) + 1; i < controls_.size(); ++i) {
                auto* above = dynamic_cast<TWinControl*>(controls_[i]);
                if (above && above->handle_) {
                    after = GetWindow(above->handle_, GW_HWNDNEXT);
                    if (!after) after = HWND_BOTTOM;
                    break;
                }
            }
            SetWindowPos(w->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    } else {
        Child->Invalidate();
    }
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    AdjustClientRect(Rect);
    TRect client = GetClientRect();
    auto aligned = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->GetAlign() == align && c->GetVisible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->GetTop() < b->GetTop();
            case alBottom: return a->GetTop() + a->GetHeight() > b->GetTop() + b->GetHeight();
            case alLeft: return a->GetLeft() < b->GetLeft();
            case alRight: return a->GetLeft() + a->GetWidth() > b->GetLeft() + b->GetWidth();
            default: return false;
            }
        });
        return list;
    };
    for (TControl* c : aligned(alTop)) {
        c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->GetHeight());
        Rect.Top += c->GetHeight();
    }
    for (TControl* c : aligned(alBottom)) {
        c->SetBounds(Rect.Left, Rect.Bottom - c->GetHeight(), Rect.Width(), c->GetHeight());
        Rect.Bottom -= c->GetHeight();
    }
    for (TControl* c : aligned(alLeft)) {
        c->SetBounds(Rect.Left, Rect.Top, c->GetWidth(), std::max(0, Rect.Height()));
        Rect.Left += c->GetWidth();
    }
    for (TControl* c : aligned(alRight)) {
        c->SetBounds(Rect.Right - c->GetWidth(), Rect.Top, c->GetWidth(), std::max(0, Rect.Height()));
        Rect.Right -= c->GetWidth();
    }
    for (TControl* c : aligned(alClient))
        c->SetBounds(Rect.Left, Rect.Top, std::max(0, Rect.Width()), std::max(0, Rect.Height()));
    for (TControl* c : std::vector<TControl*>(controls_))
        if (c->GetAlign() == alNone) c->AnchorTo(client.Width(), client.Height());
}

void TWinControl::Realign() {
    if (alignDisabled_ > 0) {
        alignPending_ = true;
        return;
    }
    ++alignDisabled_;
    TRect rect = GetClientRect();
    try {
        AlignControls(nullptr, rect);
    } catch (...) {
        --alignDisabled_;
        throw;
    }
    --alignDisabled_;
    alignPending_ = false;
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) Realign();
}
