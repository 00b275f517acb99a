// The drop shadow of a shape (TQCLShadow): colour, depth and style. A
// shadow of style hssNone adds no depth whatever its Depth.
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/Qclgraph.h"

#include "framework/Graphics.h"

#include <cstdint>

class TQCLShadow : public TQCLObject {
public:
    TQCLShadow() = default;
    AnsiString ClassName() const override { return "TQCLShadow"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override;

    // The depth the shape leaves for the shadow: 0 for hssNone.
    int EffectiveDepth() const { return style_ == hssNone ? 0 : depth_; }

    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    // 0..40 (not enforced).
    std::uint8_t GetDepth() const { return depth_; }
    void SetDepth(std::uint8_t value);
    TQCLShadowStyle GetStyle() const { return style_; }
    void SetStyle(TQCLShadowStyle value);

    BRIM_PROPERTY(Color, TQCLShadow::GetColor, TQCLShadow::SetColor);
    BRIM_PROPERTY(Depth, TQCLShadow::GetDepth, TQCLShadow::SetDepth);
    BRIM_PROPERTY(Style, TQCLShadow::GetStyle, TQCLShadow::SetStyle);

protected:
    explicit TQCLShadow(TQCLShadowStyle style) : style_(style) {}

private:
    TColor color_ = clBtnShadow;
    std::uint8_t depth_ = 6;
    TQCLShadowStyle style_ = hssSolid;
};
