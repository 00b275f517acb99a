// The shadow property object.
#include "components/runtime/QCLShadow.h"

#include "framework/SysUtils.h"

void TQCLShadow::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    Change();
}

void TQCLShadow::SetDepth(std::uint8_t value) {
    if (depth_ == value) return;
    depth_ = value;
    Change();
}

void TQCLShadow::SetStyle(TQCLShadowStyle value) {
    if (style_ == value) return;
    style_ = value;
    Change();
}

void TQCLShadow::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* s = dynamic_cast<TQCLShadow*>(Source);
    if (!s) {
        TQCLObject::Assign(Source);
        return;
    }
    color_ = s->color_;
    depth_ = s->depth_;
    style_ = s->style_;
    Change();
}

AnsiString TQCLShadow::GetSetStr() {
    if (style_ == hssNone) return "{Disabled}";
    return AnsiString("{") + (style_ == hssSolid ? "solid" : "tracing") + ", " + IntToStr(static_cast<int>(depth_)) + "}";
}
