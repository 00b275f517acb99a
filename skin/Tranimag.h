/*
 * TTranImage: a windowless picture with one transparent colour (title icons
 * and small pictures). The control takes the picture's size.
 *
 * Tricky points:
 * - A transparent colour with its high bit set is a system colour: the
 *   picture is then drawn opaque.
 * - An empty picture keeps the control at 30 x 30 and paints it white.
 * - CursorOverImage follows the mouse: true while the pointer is over a
 *   pixel of the picture that is not the transparent colour.
 */
#pragma once

#include "framework/Controls.h"

class TTranImage : public TGraphicControl {
public:
    explicit TTranImage(TComponent* AOwner);
    ~TTranImage() override;

    TBitmap* GetBitMap() const { return bitmap_; }
    // Copies the picture and takes its size (30 x 30 for an empty picture).
    void SetBitMap(TBitmap* value);
    TColor GetTransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor value);
    bool GetCursorOverImage() const { return cursorOverImage_; }
    // True when (X, Y) is in the client area over a pixel that is not the transparent colour.
    bool OnGlyphP(int X, int Y);

protected:
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void setCursorOverImage(bool value) { cursorOverImage_ = value; }

private:
    TBitmap* bitmap_;
    TColor transparentColor_ = clSilver;
    bool cursorOverImage_ = false;

public:
    BRIM_PROPERTY(BitMap, TTranImage::GetBitMap, TTranImage::SetBitMap);
    BRIM_PROPERTY(TransparentColor, TTranImage::GetTransparentColor, TTranImage::SetTransparentColor);
    BRIM_READONLY(CursorOverImage, TTranImage::GetCursorOverImage);
};
