// The frame around a control (`Bevel`, TQCLBevel): a custom double bevel
// with border rings, a standard frame style, Windows edges, or the Windows
// client edge.
//
// Tricky points:
// - The insets are cached and recomputed by every Change (also inside an
//   update bracket, where the owner is not told); they start at 0.
// - Shadow coupling: setting either style to bvShadow sets the other one
//   too; leaving bvShadow on one side resets the other to bvNone. One
//   notification for the pair.
// - StandardStyle notifies only while Mode is bmStandard.
// - A window that draws the client edge itself (support flag set) needs
//   re-creating when bmWindows is switched on or off: GetRecreateWnd tells,
//   and clears the mark.
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/Qclgraph.h"

#include "framework/Graphics.h"

#include <cstdint>

class TQCLBevel : public TQCLObject {
public:
    TQCLBevel() = default;
    AnsiString ClassName() const override { return "TQCLBevel"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override;
    void Change() override;

    // Draws the bevel; returns the rectangle left inside it. With
    // `Transparent` the solid border rings only shrink the rectangle and the
    // shadow style leaves its corner squares unpainted.
    TRect PaintBevel(TCanvas* Canvas, const TRect& Rect, bool Transparent);
    // The rectangle inside the bevel, without painting.
    TRect ClientRect(const TRect& Rect) const;
    // The bevel's inset, computed from the current values.
    int GetBevelExtend() const;
    // True when the owner must re-create its window for the client edge;
    // reading clears the mark.
    bool GetRecreateWnd();
    // Set by windowed owners whose window draws the client edge.
    bool GetSupportsClientEdge() const { return supportsClientEdge_; }
    void SetSupportsClientEdge(bool value);

    TQCLBevelStyle GetStyleInner() const { return styleInner_; }
    void SetStyleInner(TQCLBevelStyle value);
    TQCLBevelStyle GetStyleOuter() const { return styleOuter_; }
    void SetStyleOuter(TQCLBevelStyle value);
    std::uint8_t GetWidthInner() const { return widthInner_; }
    void SetWidthInner(std::uint8_t value);
    std::uint8_t GetWidthOuter() const { return widthOuter_; }
    void SetWidthOuter(std::uint8_t value);
    // Index 0 BorderColor, 1 LightColor, 2 ShadowColor; another index stores
    // nothing but notifies.
    TColor GetColor(int index) const;
    void SetColor(int index, TColor value);
    TQCLFrameSides GetBorderSides() const { return borderSides_; }
    void SetBorderSides(TQCLFrameSides value);
    std::uint8_t GetBorderWidth() const { return borderWidth_; }
    void SetBorderWidth(std::uint8_t value);
    std::uint8_t GetBorderInnerWidth() const { return borderInnerWidth_; }
    void SetBorderSpace(std::uint8_t value);
    TQCLEdgeStyle GetEdgeStyle() const { return edgeStyle_; }
    void SetEdgeStyle(TQCLEdgeStyle value);
    TQCLBevelMode GetMode() const { return mode_; }
    void SetMode(TQCLBevelMode value);
    TQCLBorderStyle GetStandardStyle() const { return standardStyle_; }
    void SetStandardStyle(TQCLBorderStyle value);

    TColor GetBorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value) { SetColor(0, value); }
    TColor GetLightColor() const { return lightColor_; }
    void SetLightColor(TColor value) { SetColor(1, value); }
    TColor GetShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value) { SetColor(2, value); }

    BRIM_PROPERTY(StyleInner, TQCLBevel::GetStyleInner, TQCLBevel::SetStyleInner);
    BRIM_PROPERTY(StyleOuter, TQCLBevel::GetStyleOuter, TQCLBevel::SetStyleOuter);
    BRIM_PROPERTY(WidthInner, TQCLBevel::GetWidthInner, TQCLBevel::SetWidthInner);
    BRIM_PROPERTY(WidthOuter, TQCLBevel::GetWidthOuter, TQCLBevel::SetWidthOuter);
    BRIM_PROPERTY(BorderColor, TQCLBevel::GetBorderColor, TQCLBevel::SetBorderColor);
    BRIM_PROPERTY(LightColor, TQCLBevel::GetLightColor, TQCLBevel::SetLightColor);
    BRIM_PROPERTY(ShadowColor, TQCLBevel::GetShadowColor, TQCLBevel::SetShadowColor);
    BRIM_PROPERTY(BorderSides, TQCLBevel::GetBorderSides, TQCLBevel::SetBorderSides);
    BRIM_PROPERTY(BorderWidth, TQCLBevel::GetBorderWidth, TQCLBevel::SetBorderWidth);
    BRIM_PROPERTY(BorderInnerWidth, TQCLBevel::GetBorderInnerWidth, TQCLBevel::SetBorderSpace);
    BRIM_PROPERTY(EdgeStyle, TQCLBevel::GetEdgeStyle, TQCLBevel::SetEdgeStyle);
    BRIM_PROPERTY(Mode, TQCLBevel::GetMode, TQCLBevel::SetMode);
    BRIM_PROPERTY(StandardStyle, TQCLBevel::GetStandardStyle, TQCLBevel::SetStandardStyle);

private:
    void setStyle(TQCLBevelStyle& side, TQCLBevelStyle& other, TQCLBevelStyle value);
    void updateInsets();
    void borderRing(TCanvas* canvas, TRect& rect, int width, bool transparent) const;

    TQCLBevelStyle styleInner_ = TQCLBevelStyle::bvNone;
    TQCLBevelStyle styleOuter_ = TQCLBevelStyle::bvNone;
    std::uint8_t widthInner_ = 1;
    std::uint8_t widthOuter_ = 1;
    TColor borderColor_ = clBtnFace;
    std::uint8_t borderInnerWidth_ = 0;
    std::uint8_t borderWidth_ = 0;
    TQCLFrameSides borderSides_{fsBottom, fsLeft, fsRight, fsTop};
    TQCLEdgeStyle edgeStyle_ = etEtched;
    int inset_ = 0;
    int insetRightBottom_ = 0;
    TColor lightColor_ = clBtnHighlight;
    TQCLBevelMode mode_ = bmCustom;
    TColor shadowColor_ = clBtnShadow;
    TQCLBorderStyle standardStyle_ = lsSingleLowered;
    bool supportsClientEdge_ = false;
    bool recreateMark_ = false;
};
