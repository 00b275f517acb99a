// A geometric shape description (TQCLShape): the shape type, corner
// rounding, square cut, and its owned brush, simple bevel and shadow, whose
// changes all reach the shape's owner. The shape has no Assign of its own:
// assigning another shape raises the framework's conversion error.
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/QCLShadow.h"
#include "components/runtime/QCLSimpleBevel.h"
#include "components/runtime/Qclshapebase.h"

#include "framework/Graphics.h"

#include <cstdint>

class TQCLShape : public TQCLObject {
public:
    TQCLShape();
    ~TQCLShape() override;
    AnsiString ClassName() const override { return "TQCLShape"; }

    TQCLShapeType GetShape() const { return shape_; }
    void SetShape(TQCLShapeType value);
    // 0..100 (not enforced).
    std::uint8_t GetRoundPercent() const { return roundPercent_; }
    void SetRoundPercent(std::uint8_t value);
    bool GetSquare() const { return square_; }
    void SetSquare(bool value);
    TBrush* GetBrush() const { return brush_; }
    void SetBrush(TBrush* value) { brush_->Assign(value); }
    TQCLSimpleBevel* GetBevel() const { return bevel_; }
    void SetBevel(TQCLSimpleBevel* value) { bevel_->Assign(value); }
    TQCLShadow* GetShadow() const { return shadow_; }
    void SetShadow(TQCLShadow* value) { shadow_->Assign(value); }

    BRIM_PROPERTY(Shape, TQCLShape::GetShape, TQCLShape::SetShape);
    BRIM_PROPERTY(RoundPercent, TQCLShape::GetRoundPercent, TQCLShape::SetRoundPercent);
    BRIM_PROPERTY(Square, TQCLShape::GetSquare, TQCLShape::SetSquare);
    BRIM_PROPERTY(Brush, TQCLShape::GetBrush, TQCLShape::SetBrush);
    BRIM_PROPERTY(Bevel, TQCLShape::GetBevel, TQCLShape::SetBevel);
    BRIM_PROPERTY(Shadow, TQCLShape::GetShadow, TQCLShape::SetShadow);

private:
    TQCLShapeType shape_ = TQCLShapeType::stRectangle;
    std::uint8_t roundPercent_ = 33;
    bool square_ = false;
    TBrush* brush_;
    TQCLSimpleBevel* bevel_;
    TQCLShadow* shadow_;
};
