/*
 * TWinControl, painting: background, WM_PAINT, windowless children drawn in
 * Controls order (first at the bottom), and PaintTo for drawing a control
 * and its children into any DC. Each windowless child is clipped through a
 * meta region, so drawing code that calls SelectClipRgn(dc, NULL) still
 * cannot paint outside the child. A system class paints itself through
 * WM_PRINTCLIENT; our own classes have nothing below them.
 */
#include "framework/Controls.h"

#include <algorithm>

void TWinControl::eraseBackground(TMessage& m) {
    if (GetControlStyle().Contains(csOpaque)) {
        m.Result = 1;
        return;
    }
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    RECT r = GetClientRect();
    ::FillRect(dc, &r, brush_->GetHandle());
    m.Result = 1;
}

void TWinControl::PaintHandler(TMessage& Message) {
    PAINTSTRUCT ps;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    bool ownPaint = dc == nullptr;
    if (ownPaint) dc = BeginPaint(handle_, &ps);
    try {
        int saved = SaveDC(dc);
        PaintWindow(dc);
        RestoreDC(dc, saved);
        PaintControls(dc, nullptr);
    } catch (...) {
        if (ownPaint) EndPaint(handle_, &ps);
        throw;
    }
    if (ownPaint) EndPaint(handle_, &ps);
    Message.Result = 0;
}

void TWinControl::PaintWindow(HDC DC) {
    TMessage message;
    message.Msg = WM_PAINT;
    message.WParam = reinterpret_cast<WPARAM>(DC);
    // Our own classes have nothing below; system classes paint themselves.
    if (defWndProc_ != DefWindowProcA) DefaultHandler(message);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    size_t start = 0;
    if (First) {
        auto it = std::find(controls_.begin(), controls_.end(), First);
        if (it != controls_.end()) start = static_cast<size_t>(it - controls_.begin());
    }
    std::vector<TControl*> snapshot(controls_);
    for (size_t i = start; i < snapshot.size(); ++i) {
        TControl* child = snapshot[i];
        if (dynamic_cast<TWinControl*>(child) || !child->GetVisible()) continue;
        RECT bounds = child->BoundsRect();
        if (!RectVisible(DC, &bounds)) continue;
        int saved = SaveDC(DC);
        IntersectClipRect(DC, bounds.left, bounds.top, bounds.right, bounds.bottom);
        // The meta region keeps the child clipped even if its drawing code
        // calls SelectClipRgn(dc, NULL).
        SetMetaRgn(DC);
        POINT origin;
        GetWindowOrgEx(DC, &origin);
        SetWindowOrgEx(DC, origin.x - bounds.left, origin.y - bounds.top, nullptr);
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    HandleNeeded();
    int saved = SaveDC(DC);
    POINT origin;
    GetWindowOrgEx(DC, &origin);
    SetWindowOrgEx(DC, origin.x - X, origin.y - Y, nullptr);
    IntersectClipRect(DC, 0, 0, width_, height_);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    if (defWndProc_ == DefWindowProcA) {
        Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    } else {
        Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
        PaintControls(DC, nullptr);
    }
    for (TControl* child : std::vector<TControl*>(controls_)) {
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (windowed && windowed->GetVisible()) windowed->PaintTo(DC, windowed->left_, windowed->top_);
    }
    RestoreDC(DC, saved);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !GetControlStyle().Contains(csOpaque));
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}
