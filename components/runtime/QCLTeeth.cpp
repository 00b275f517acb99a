// The teeth property object.
#include "components/runtime/QCLTeeth.h"

namespace {

template <class T>
void change(TQCLObject* object, T& field, T value) {
    if (field == value) return;
    field = value;
    object->Change();
}

}  // namespace

void TQCLTeeth::SetCount(std::uint8_t value) { change(this, count_, value); }
void TQCLTeeth::SetDirection(TQCLDirection value) { change(this, direction_, value); }

void TQCLTeeth::SetSize(int index, int value) {
    if (index == 0) change(this, width_, value);
    else if (index == 1) change(this, height_, value);
    else Change();
}

void TQCLTeeth::SetFlag(int index, bool value) {
    if (index == 0) change(this, offset_, value);
    else if (index == 1) change(this, setPerCount_, value);
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
