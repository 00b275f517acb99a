// The three-face picture button; see KTransButton.h.
#include "skin/KTransButton.h"

#include <windowsx.h>

KTransButton::KTransButton(TComponent* AOwner)
    : TTranImage(AOwner), onDown_(new TBitmap), onActive_(new TBitmap), normal_(new TBitmap) {}

KTransButton::~KTransButton() {
    delete onDown_;
    delete onActive_;
    delete normal_;
}

void KTransButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        eventMouse(true, Message.LParam);
        break;
    case WM_LBUTTONUP:
        eventMouse(false, Message.LParam);
        break;
    case WM_LBUTTONDBLCLK:
        eventMouse(true, Message.LParam);
        Message.Msg = WM_LBUTTONDOWN;
        break;
    case CM_MOUSEENTER:
        mouseEntered();
        break;
    case CM_MOUSELEAVE:
        mouseLeft();
        break;
    default:
        break;
    }
    TTranImage::WndProc(Message);
}

void KTransButton::mouseEntered() {
    if (!normalSaved_) {
        normal_->Assign(GetBitMap());
        normalSaved_ = true;
    }
    pressed_ = false;
    active_ = true;
    SetBitMap(onActive_);
    Invalidate();
}

void KTransButton::mouseLeft() {
    if (!active_) return;
    pressed_ = false;
    active_ = false;
    SetBitMap(normal_);
    Invalidate();
}

void KTransButton::eventMouse(bool down, LPARAM position) {
    // The press or release is judged where it happens, not at the last move.
    setCursorOverImage(OnGlyphP(GET_X_LPARAM(position), GET_Y_LPARAM(position)));
    if (!GetCursorOverImage()) return;
    if (down) {
        SetBitMap(onDown_);
        Invalidate();
        pressed_ = true;
    } else if (pressed_) {
        pressed_ = false;
        SetBitMap(onActive_);
        Invalidate();
        TriggerReleaseEvent();
    }
}

void KTransButton::TriggerReleaseEvent() {
    if (OnMouseRelease) OnMouseRelease(this);
}
