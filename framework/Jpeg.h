/*
 * TJPEGImage: a graphic decoded once by libjpeg into a 24-bit bitmap when it
 * is loaded. Damaged or CMYK data raises EInvalidGraphic; the original bytes
 * are kept so that saving writes them back unchanged.
 */
#pragma once

#include "framework/Graphics.h"

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    TGraphic* Clone() const override;
    void Assign(TPersistent* Source) override;
    bool GetEmpty() const override { return bitmap_->GetEmpty(); }
    int GetWidth() const override { return bitmap_->GetWidth(); }
    void SetWidth(int) override {}
    int GetHeight() const override { return bitmap_->GetHeight(); }
    void SetHeight(int) override {}
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // The decoded image (24-bit).
    TBitmap* Bitmap() const { return bitmap_; }

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    void decode(const AnsiString& data);
    AnsiString data_;
    TBitmap* bitmap_;
};
