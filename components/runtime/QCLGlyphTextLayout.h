// Placement of a glyph and a caption inside a button face (`Layout`,
// TQCLGlyphTextLayout) and its variant with a drop-down arrow
// (TQCLButtonLayout). Both share one unit, as the button layout only adds the
// arrow's five values and a centred default alignment.
//
// Every setter notifies the owner only on a real change; Assign notifies once.
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/Qclgraph.h"

#include "framework/Graphics.h"

#include <cstdint>

class TQCLGlyphTextLayout : public TQCLObject {
public:
    TQCLGlyphTextLayout() = default;
    AnsiString ClassName() const override { return "TQCLGlyphTextLayout"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override { return AnsiString(); }

    TQCLAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TQCLAlignment value);
    TQCLTextArrange GetAlignText2Glyph() const { return alignText2Glyph_; }
    void SetAlignText2Glyph(TQCLTextArrange value);
    // Index 0 OffsetX, 1 OffsetY; another index stores nothing but notifies.
    int GetOffset(int index) const { return index == 0 ? offsetX_ : offsetY_; }
    void SetOffset(int index, int value);
    int GetSpacing() const { return spacing_; }
    void SetSpacing(int value);
    int GetOffsetX() const { return offsetX_; }
    void SetOffsetX(int value) { SetOffset(0, value); }
    int GetOffsetY() const { return offsetY_; }
    void SetOffsetY(int value) { SetOffset(1, value); }

    BRIM_PROPERTY(Alignment, TQCLGlyphTextLayout::GetAlignment, TQCLGlyphTextLayout::SetAlignment);
    BRIM_PROPERTY(AlignText2Glyph, TQCLGlyphTextLayout::GetAlignText2Glyph, TQCLGlyphTextLayout::SetAlignText2Glyph);
    BRIM_PROPERTY(OffsetX, TQCLGlyphTextLayout::GetOffsetX, TQCLGlyphTextLayout::SetOffsetX);
    BRIM_PROPERTY(OffsetY, TQCLGlyphTextLayout::GetOffsetY, TQCLGlyphTextLayout::SetOffsetY);
    BRIM_PROPERTY(Spacing, TQCLGlyphTextLayout::GetSpacing, TQCLGlyphTextLayout::SetSpacing);

protected:
    explicit TQCLGlyphTextLayout(TQCLAlignment alignment) : alignment_(alignment) {}

private:
    TQCLTextArrange alignText2Glyph_ = taRight;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int spacing_ = 2;
    TQCLAlignment alignment_ = agTopLeft;
};

class TQCLButtonLayout : public TQCLGlyphTextLayout {
public:
    TQCLButtonLayout() : TQCLGlyphTextLayout(agCenter) {}
    AnsiString ClassName() const override { return "TQCLButtonLayout"; }
    void Assign(TPersistent* Source) override;

    bool GetArrow() const { return arrow_; }
    void SetArrow(bool value);
    TColor GetArrowColor() const { return arrowColor_; }
    void SetArrowColor(TColor value);
    // Index 0 ArrowIndent; another index stores nothing but notifies.
    int GetInteger(int index) const { return index == 0 ? arrowIndent_ : 0; }
    void SetInteger(int index, int value);
    TQCLArrowPosition GetArrowPosition() const { return arrowPosition_; }
    void SetArrowPosition(TQCLArrowPosition value);
    // 2..10.
    std::uint8_t GetArrowSize() const { return arrowSize_; }
    void SetArrowSize(std::uint8_t value);
    int GetArrowIndent() const { return arrowIndent_; }
    void SetArrowIndent(int value) { SetInteger(0, value); }

    BRIM_PROPERTY(Arrow, TQCLButtonLayout::GetArrow, TQCLButtonLayout::SetArrow);
    BRIM_PROPERTY(ArrowColor, TQCLButtonLayout::GetArrowColor, TQCLButtonLayout::SetArrowColor);
    BRIM_PROPERTY(ArrowIndent, TQCLButtonLayout::GetArrowIndent, TQCLButtonLayout::SetArrowIndent);
    BRIM_PROPERTY(ArrowPosition, TQCLButtonLayout::GetArrowPosition, TQCLButtonLayout::SetArrowPosition);
    BRIM_PROPERTY(ArrowSize, TQCLButtonLayout::GetArrowSize, TQCLButtonLayout::SetArrowSize);

private:
    bool arrow_ = false;
    TColor arrowColor_ = clBlack;
    int arrowIndent_ = 3;
    TQCLArrowPosition arrowPosition_ = apRightText;
    std::uint8_t arrowSize_ = 3;
};
