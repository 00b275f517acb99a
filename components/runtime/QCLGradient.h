// A colour gradient definition (TQCLGradient) with its computed colour list
// and, while PaletteRealize is set, a palette made from it.
//
// Tricky points:
// - Every Change rebuilds the list (and the palette) before it notifies;
//   SetColor rebuilds once more itself.
// - Without TwoColors the key colours give the segments, each with
//   ColorCount / (number of key colours) steps; fewer than two give nothing.
// - The key colours stream as "ColorList" (a list of integers), written only
//   when there is one; reading appends them inside one update bracket.
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/Qclutils.h"

#include "framework/Graphics.h"
#include "framework/Win32Handles.h"

#include <cstdint>

class TReader;
class TWriter;

class TQCLGradient : public TQCLObject {
public:
    TQCLGradient();
    AnsiString ClassName() const override { return "TQCLGradient"; }
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;
    AnsiString GetSetStr() override;
    void Change() override;

    void PaintGradient(TCanvas* Canvas, const TRect& Rect);
    void SetRealPalette(TCanvas* Canvas);
    HPALETTE GetPalette() const { return palette_.get(); }
    // Replaces the key colours with a copy (a missing list changes nothing).
    void SetColors(const TQCLColorList* Colors);
    const TQCLColorList& GetKeyColors() const { return keyColors_; }
    // The computed colours in painting order.
    const TQCLColorList& GetColorList() const { return colors_; }
    void InitPalette();
    void DestroyPalette();

    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    TColor GetEndColor() const { return endColor_; }
    void SetEndColor(TColor value);
    // 2..236 (not enforced).
    std::uint8_t GetColorCount() const { return colorCount_; }
    void SetColorCount(std::uint8_t value);
    TQCLGradientStyle GetStyle() const { return style_; }
    void SetStyle(TQCLGradientStyle value);
    bool GetPaletteRealize() const { return paletteRealize_; }
    void SetPaletteRealize(bool value);
    bool GetTwoColors() const { return twoColors_; }
    void SetTwoColors(bool value);

    BRIM_PROPERTY(Color, TQCLGradient::GetColor, TQCLGradient::SetColor);
    BRIM_PROPERTY(EndColor, TQCLGradient::GetEndColor, TQCLGradient::SetEndColor);
    BRIM_PROPERTY(ColorCount, TQCLGradient::GetColorCount, TQCLGradient::SetColorCount);
    BRIM_PROPERTY(Style, TQCLGradient::GetStyle, TQCLGradient::SetStyle);
    BRIM_PROPERTY(PaletteRealize, TQCLGradient::GetPaletteRealize, TQCLGradient::SetPaletteRealize);
    BRIM_PROPERTY(TwoColors, TQCLGradient::GetTwoColors, TQCLGradient::SetTwoColors);

private:
    void readColorList(TReader* Reader);
    void writeColorList(TWriter* Writer);

    std::uint8_t colorCount_ = 16;
    TColor color_ = clBlue;
    TQCLColorList colors_;
    TColor endColor_ = clBlack;
    bool paletteRealize_ = false;
    win32::PaletteHandle palette_;
    TQCLGradientStyle style_ = gstVertical;
    TQCLColorList keyColors_;
    bool twoColors_ = true;
};
