// The teeth property object.
#include "components/runtime/QCLTeeth.h"

void TQCLTeeth::SetCount(std::uint8_t value) { QCLSetField(this, count_, value); }
void TQCLTeeth::SetDirection(TQCLDirection value) { QCLSetField(this, direction_, value); }

void TQCLTeeth::SetSize(int index, int value) {
    if (index == 0) QCLSetField(this, width_, value);
    else if (index == 1) QCLSetField(this, height_, value);
    else Change();
}

void TQCLTeeth::SetFlag(int index, bool value) {
    if (index == 0) QCLSetField(this, offset_, value);
    else if (index == 1) QCLSetField(this, setPerCount_, value);
    else Change();
}

void TQCLTeeth::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* s = dynamic_cast<TQCLTeeth*>(Source);
    if (!s) {
        TQCLObject::Assign(Source);
        return;
    }
    count_ = s->count_;
    direction_ = s->direction_;
    width_ = s->width_;
    height_ = s->height_;
    offset_ = s->offset_;
    setPerCount_ = s->setPerCount_;
    Change();
}
