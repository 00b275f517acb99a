// The shape property object.
#include "components/runtime/QCLShape.h"

TQCLShape::TQCLShape() : brush_(new TBrush), bevel_(new TQCLSimpleBevel), shadow_(new TQCLShadow) {
    brush_->OnChange = [this](TObject* sender) { GetChange(sender); };
    bevel_->OnChange = [this](TObject* sender) { GetChange(sender); };
    shadow_->OnChange = [this](TObject* sender) { GetChange(sender); };
}

TQCLShape::~TQCLShape() {
    brush_->OnChange = nullptr;
    bevel_->OnChange = nullptr;
    shadow_->OnChange = nullptr;
    delete shadow_;
    delete bevel_;
    delete brush_;
}

void TQCLShape::SetShape(TQCLShapeType value) {
    if (shape_ == value) return;
    shape_ = value;
    Change();
}

void TQCLShape::SetRoundPercent(std::uint8_t value) {
    if (roundPercent_ == value) return;
    roundPercent_ = value;
    Change();
}

void TQCLShape::SetSquare(bool value) {
    if (square_ == value) return;
    square_ = value;
    Change();
}
