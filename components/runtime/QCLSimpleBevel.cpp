// The simple bevel property object.
#include "components/runtime/QCLSimpleBevel.h"

void TQCLSimpleBevel::SetColorAt(int index, TColor value) {
    TColor* field = index == 0 ? &lightColor_ : index == 1 ? &shadowColor_ : index == 2 ? &color_ : nullptr;
    if (!field) {
        Change();
        return;
    }
    if (*field == value) return;
    *field = value;
    Change();
}

void TQCLSimpleBevel::SetWidth(std::uint8_t value) {
    if (width_ == value) return;
    width_ = value;
    Change();
}

void TQCLSimpleBevel::SetStyle(TQCLSimpleBevelStyle value) {
    if (style_ == value) return;
    style_ = value;
    Change();
}

void TQCLSimpleBevel::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* s = dynamic_cast<TQCLSimpleBevel*>(Source);
    if (!s) {
        TQCLObject::Assign(Source);
        return;
    }
    color_ = s->color_;
    lightColor_ = s->lightColor_;
    shadowColor_ = s->shadowColor_;
    width_ = s->width_;
    style_ = s->style_;
    Change();
}

AnsiString TQCLSimpleBevel::GetSetStr() {
    static const char* const words[] = {"Normal", "Inset", "Offset"};
    return AnsiString("{") + words[style_] + "}";
}
