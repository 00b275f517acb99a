// The simple bevel of a shape (TQCLSimpleBevel): an outline colour and width,
// drawn plain (sbNormal) or as an inset or offset relief.
#pragma once

#include "components/runtime/QCLObject.h"

#include "framework/Graphics.h"

#include <cstdint>

enum TQCLSimpleBevelStyle : std::uint8_t { sbNormal, sbInset, sbOffset };

class TQCLSimpleBevel : public TQCLObject {
public:
    TQCLSimpleBevel() = default;
    AnsiString ClassName() const override { return "TQCLSimpleBevel"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override;

    // Index 0 LightColor, 1 ShadowColor, 2 Color; another index stores nothing but notifies.
    TColor GetColorAt(int index) const { return index == 0 ? lightColor_ : index == 1 ? shadowColor_ : color_; }
    void SetColorAt(int index, TColor value);
    std::uint8_t GetWidth() const { return width_; }
    void SetWidth(std::uint8_t value);
    TQCLSimpleBevelStyle GetStyle() const { return style_; }
    void SetStyle(TQCLSimpleBevelStyle value);
    TColor GetColor() const { return color_; }
    void SetColor(TColor value) { SetColorAt(2, value); }
    TColor GetLightColor() const { return lightColor_; }
    void SetLightColor(TColor value) { SetColorAt(0, value); }
    TColor GetShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value) { SetColorAt(1, value); }

    BRIM_PROPERTY(Color, TQCLSimpleBevel::GetColor, TQCLSimpleBevel::SetColor);
    BRIM_PROPERTY(LightColor, TQCLSimpleBevel::GetLightColor, TQCLSimpleBevel::SetLightColor);
    BRIM_PROPERTY(ShadowColor, TQCLSimpleBevel::GetShadowColor, TQCLSimpleBevel::SetShadowColor);
    BRIM_PROPERTY(Width, TQCLSimpleBevel::GetWidth, TQCLSimpleBevel::SetWidth);
    BRIM_PROPERTY(Style, TQCLSimpleBevel::GetStyle, TQCLSimpleBevel::SetStyle);

private:
    TColor color_ = clBlack;
    TColor lightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    std::uint8_t width_ = 2;
    TQCLSimpleBevelStyle style_ = sbNormal;
};
