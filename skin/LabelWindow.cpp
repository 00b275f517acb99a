// The window over a windowless label: its text, its place, and the parent's pixels painted through it.
#include "skin/LabelWindow.h"

TLabelWindow::TLabelWindow(TComponent* AOwner) : TWinControl(AOwner) {
    // Opaque: the parent's background is painted in WM_PAINT, never erased first, so nothing flickers.
    SetControlStyle(TControlStyle{csOpaque});
    SetTabStop(false);
}

void TLabelWindow::Follow(TControl* label) {
    SetText(label->GetText());
    SetBounds(label->GetLeft(), label->GetTop(), label->GetWidth(), label->GetHeight());
    Invalidate();
}

void TLabelWindow::paintParentBelow(HDC dc) {
    TWinControl* parent = GetParent();
    if (!parent) return;
    const int saved = SaveDC(dc);
    POINT origin;
    GetWindowOrgEx(dc, &origin);
    SetWindowOrgEx(dc, origin.x + GetLeft(), origin.y + GetTop(), nullptr);
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
}

void TLabelWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCHITTEST:
        Message.Result = HTTRANSPARENT;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_PAINT: {
        HDC given = reinterpret_cast<HDC>(Message.WParam);
        PAINTSTRUCT ps;
        HDC dc = given ? given : BeginPaint(handle_, &ps);
        try {
            paintParentBelow(dc);
        } catch (...) {
            if (!given) EndPaint(handle_, &ps);
            throw;
        }
        if (!given) EndPaint(handle_, &ps);
        Message.Result = 0;
        return;
    }
    default:
        TWinControl::Dispatch(Message);
    }
}
