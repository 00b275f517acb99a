// The 3D text effect of a caption (`Font3D`, TQCL3DCaption) and its variant
// with a rotation angle and a free text position (TQCLFxCaption). The two
// share one unit: the rotated caption is the 3D caption plus three values,
// and the text routines of Qclutils treat both.
//
// Every setter notifies the owner only on a real change. Assign copies the
// effect but keeps the target's Orientation. SetPosXY changes the position
// without notifying (the measuring routine places rotated text with it).
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/Qclgraph.h"

#include "framework/Graphics.h"

#include <cstdint>

class TQCL3DCaption : public TQCLObject {
public:
    TQCL3DCaption() = default;
    AnsiString ClassName() const override { return "TQCL3DCaption"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override;

    TQCLThreeDStyle GetStyle() const { return style_; }
    void SetStyle(TQCLThreeDStyle value);
    TQCLDisabledStyle GetDisabledStyle() const { return disabledStyle_; }
    void SetDisabledStyle(TQCLDisabledStyle value);
    // Index 0 LightDepth, 1 ShadowDepth; another index stores nothing but notifies.
    std::uint8_t GetDepth(int index) const { return index == 0 ? lightDepth_ : shadowDepth_; }
    void SetDepth(int index, std::uint8_t value);
    // Index 0 LightColor, 1 ShadowColor; another index stores nothing but notifies.
    TColor GetColor(int index) const { return index == 0 ? lightColor_ : shadowColor_; }
    void SetColor(int index, TColor value);
    TQCLThreeDOrientation GetOrientation() const { return orientation_; }
    void SetOrientation(TQCLThreeDOrientation value);
    int GetTracing() const { return tracing_; }
    void SetTracing(int value);

    std::uint8_t GetLightDepth() const { return lightDepth_; }
    void SetLightDepth(std::uint8_t value) { SetDepth(0, value); }
    std::uint8_t GetShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(std::uint8_t value) { SetDepth(1, value); }
    TColor GetLightColor() const { return lightColor_; }
    void SetLightColor(TColor value) { SetColor(0, value); }
    TColor GetShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value) { SetColor(1, value); }

    BRIM_PROPERTY(Style, TQCL3DCaption::GetStyle, TQCL3DCaption::SetStyle);
    BRIM_PROPERTY(DisabledStyle, TQCL3DCaption::GetDisabledStyle, TQCL3DCaption::SetDisabledStyle);
    BRIM_PROPERTY(LightDepth, TQCL3DCaption::GetLightDepth, TQCL3DCaption::SetLightDepth);
    BRIM_PROPERTY(ShadowDepth, TQCL3DCaption::GetShadowDepth, TQCL3DCaption::SetShadowDepth);
    BRIM_PROPERTY(LightColor, TQCL3DCaption::GetLightColor, TQCL3DCaption::SetLightColor);
    BRIM_PROPERTY(ShadowColor, TQCL3DCaption::GetShadowColor, TQCL3DCaption::SetShadowColor);
    BRIM_PROPERTY(Orientation, TQCL3DCaption::GetOrientation, TQCL3DCaption::SetOrientation);
    BRIM_PROPERTY(Tracing, TQCL3DCaption::GetTracing, TQCL3DCaption::SetTracing);

private:
    TQCLDisabledStyle disabledStyle_ = dsAuto;
    std::uint8_t lightDepth_ = 1;
    std::uint8_t shadowDepth_ = 1;
    TColor lightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    TQCLThreeDStyle style_ = tdNone;
    TQCLThreeDOrientation orientation_ = toTopLeft;
    int tracing_ = 0;
};

class TQCLFxCaption : public TQCL3DCaption {
public:
    AnsiString ClassName() const override { return "TQCLFxCaption"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override;

    std::uint16_t GetAngle() const { return angle_; }
    // 0..360; a stored 360 becomes 0.
    void SetAngle(std::uint16_t value);
    // Index 0 PosX, 1 PosY; another index stores nothing but notifies.
    std::uint16_t GetPos(int index) const { return index == 0 ? posX_ : posY_; }
    void SetPos(int index, std::uint16_t value);
    // Both positions at once, without notification.
    void SetPosXY(std::uint16_t x, std::uint16_t y);

    std::uint16_t GetPosX() const { return posX_; }
    void SetPosX(std::uint16_t value) { SetPos(0, value); }
    std::uint16_t GetPosY() const { return posY_; }
    void SetPosY(std::uint16_t value) { SetPos(1, value); }

    BRIM_PROPERTY(Angle, TQCLFxCaption::GetAngle, TQCLFxCaption::SetAngle);
    BRIM_PROPERTY(PosX, TQCLFxCaption::GetPosX, TQCLFxCaption::SetPosX);
    BRIM_PROPERTY(PosY, TQCLFxCaption::GetPosY, TQCLFxCaption::SetPosY);

private:
    std::uint16_t angle_ = 0;
    std::uint16_t posX_ = 0;
    std::uint16_t posY_ = 0;
};
