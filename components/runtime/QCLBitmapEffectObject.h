// The effect chain applied to a control's background bitmap (`BackFX`,
// TQCLBitmapEffectObject): mirrors, grey scale, inversion, monochrome,
// brightness and the alpha blend, optionally buffered.
//
// Switched off in this program: every setter stores the neutral value
// (effects off, Brightness 0, no buffer) and notifies only when that changes
// what was stored; Enabled answers false, and the control bases consult it
// before running the chain. Assign copies the effect flags as they are.
#pragma once

#include "components/runtime/QCLAlphaObject.h"
#include "components/runtime/QCLObject.h"

#include "framework/Graphics.h"

#include <cstdint>

class TQCLBitmapEffectObject : public TQCLObject {
public:
    TQCLBitmapEffectObject();
    ~TQCLBitmapEffectObject() override;
    AnsiString ClassName() const override { return "TQCLBitmapEffectObject"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override;
    // A change inside also invalidates the buffer.
    void GetChange(TObject* Sender) override;

    bool Enabled() const { return false; }
    // Runs the chain on the bitmap in place (or draws the valid buffer).
    void Draw(TBitmap* Bitmap);
    void DrawCopy(TBitmap* Source, TBitmap* Target);
    void DrawCopyFromRect(TBitmap* Source, const TRect& Rect, TBitmap* Target);
    // Copies the area to the point and runs the area effects (mirrors, grey
    // scale, inversion, brightness; not monochrome, which would change the
    // whole picture) on that area only.
    void DrawCopyRect(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point);
    // A control's background piece: the target becomes the untouched source
    // rectangle, over which only the part inside Clip (source coordinates,
    // cut to Rect) shows the whole chain's result.
    void DrawCutRect(TBitmap* Source, const TRect& Rect, const TRect& Clip, TBitmap* Target);
    // A control's background piece: the target, sized to Area (source
    // coordinates), gets the source rectangle at its place in Area with the
    // area effects and the blend applied to that part only; the result is
    // buffered when Buffered, and a valid buffer is drawn instead.
    void DrawCutRect2(TBitmap* Source, const TRect& Rect, const TRect& Area, TBitmap* Target);
    void DestroyBuffer() { bufferValid_ = false; }
    bool BufferValid() const { return bufferValid_; }

    TQCLAlphaObject* GetAlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(TQCLAlphaObject* value) { alphaBlend_->Assign(value); }
    // Index 0 FlipVertical, 1 FlipHorizontal, 2 GrayScale, 3 Invert,
    // 4 Buffered, 5 Monochrome; other indexes do nothing.
    bool GetBoolean(int index) const;
    void SetBoolean(int index, bool value);
    std::int16_t GetBrightness() const { return brightness_; }
    void SetBrightness(std::int16_t value);
    // Stores an effect flag as given, past the switched-off setter.
    void SetBooleanForTesting(int index, bool value);

    bool GetFlipVertical() const { return flipVertical_; }
    void SetFlipVertical(bool v) { SetBoolean(0, v); }
    bool GetFlipHorizontal() const { return flipHorizontal_; }
    void SetFlipHorizontal(bool v) { SetBoolean(1, v); }
    bool GetGrayScale() const { return grayScale_; }
    void SetGrayScale(bool v) { SetBoolean(2, v); }
    bool GetInvert() const { return invert_; }
    void SetInvert(bool v) { SetBoolean(3, v); }
    bool GetBuffered() const { return buffered_; }
    void SetBuffered(bool v) { SetBoolean(4, v); }

    BRIM_PROPERTY(AlphaBlend, TQCLBitmapEffectObject::GetAlphaBlend, TQCLBitmapEffectObject::SetAlphaBlend);
    BRIM_PROPERTY(FlipVertical, TQCLBitmapEffectObject::GetFlipVertical, TQCLBitmapEffectObject::SetFlipVertical);
    BRIM_PROPERTY(FlipHorizontal, TQCLBitmapEffectObject::GetFlipHorizontal, TQCLBitmapEffectObject::SetFlipHorizontal);
    BRIM_PROPERTY(GrayScale, TQCLBitmapEffectObject::GetGrayScale, TQCLBitmapEffectObject::SetGrayScale);
    BRIM_PROPERTY(Invert, TQCLBitmapEffectObject::GetInvert, TQCLBitmapEffectObject::SetInvert);
    BRIM_PROPERTY(Buffered, TQCLBitmapEffectObject::GetBuffered, TQCLBitmapEffectObject::SetBuffered);
    BRIM_PROPERTY(Brightness, TQCLBitmapEffectObject::GetBrightness, TQCLBitmapEffectObject::SetBrightness);

private:
    void runEffects(TBitmap* bitmap, const TRect& rect, const TPoint& point, bool withMonochrome);
    // The alpha blend of the area only, the fill taken from a picture one
    // pixel larger on every side.
    void blendArea(TBitmap* bitmap, const TRect& area);
    void storeBuffer(TBitmap* bitmap);

    TQCLAlphaObject* alphaBlend_;
    bool bufferValid_ = false;
    bool invert_ = false;
    bool buffered_ = false;
    bool grayScale_ = false;
    bool flipVertical_ = false;
    bool monochrome_ = false;
    bool flipHorizontal_ = false;
    TBitmap* buffer_ = nullptr;
    std::int16_t brightness_ = 0;
};
