/*
 * KTransButton: a picture button with three faces (normal, under the mouse,
 * pressed) that reports a completed press through OnMouseRelease.
 *
 * Tricky points:
 * - Only opaque pixels react: a press on a pixel of the transparent colour
 *   changes nothing and fires nothing.
 * - The normal face is saved on the first hover and shown again when the
 *   mouse leaves. Showing a face resizes the button to it.
 * - A release fires OnMouseRelease once, only after a press on the button and
 *   only when the release itself lands on an opaque pixel of it.
 */
#pragma once

#include "skin/Tranimag.h"

class KTransButton : public TTranImage {
public:
    explicit KTransButton(TComponent* AOwner);
    ~KTransButton() override;

    TBitmap* GetBitmapOnDown() const { return onDown_; }
    void SetBitmapOnDown(TBitmap* value) { onDown_->Assign(value); }
    TBitmap* GetBitmapOnActive() const { return onActive_; }
    void SetBitmapOnActive(TBitmap* value) { onActive_->Assign(value); }

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnMouseRelease;

protected:
    virtual void TriggerReleaseEvent();

private:
    void eventMouse(bool down, LPARAM position);
    void mouseEntered();
    void mouseLeft();

    TBitmap* onDown_;
    TBitmap* onActive_;
    TBitmap* normal_;
    bool normalSaved_ = false;
    bool active_ = false;
    bool pressed_ = false;

public:
    BRIM_PROPERTY(BitmapOnDown, KTransButton::GetBitmapOnDown, KTransButton::SetBitmapOnDown);
    BRIM_PROPERTY(BitmapOnActive, KTransButton::GetBitmapOnActive, KTransButton::SetBitmapOnActive);
};
