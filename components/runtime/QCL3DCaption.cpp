// The 3D caption objects.
#include "components/runtime/QCL3DCaption.h"

#include "framework/SysUtils.h"

namespace {

// Stores and notifies only when the value really changes.
}  // namespace

void TQCL3DCaption::SetStyle(TQCLThreeDStyle value) { QCLSetField(this, style_, value); }
void TQCL3DCaption::SetDisabledStyle(TQCLDisabledStyle value) { QCLSetField(this, disabledStyle_, value); }
void TQCL3DCaption::SetOrientation(TQCLThreeDOrientation value) { QCLSetField(this, orientation_, value); }
void TQCL3DCaption::SetTracing(int value) { QCLSetField(this, tracing_, value); }

void TQCL3DCaption::SetDepth(int index, std::uint8_t value) {
    if (index == 0) QCLSetField(this, lightDepth_, value);
    else if (index == 1) QCLSetField(this, shadowDepth_, value);
    else Change();
}

void TQCL3DCaption::SetColor(int index, TColor value) {
    if (index == 0) QCLSetField(this, lightColor_, value);
    else if (index == 1) QCLSetField(this, shadowColor_, value);
    else Change();
}

void TQCL3DCaption::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* source = dynamic_cast<TQCL3DCaption*>(Source);
    if (!source) {
        TQCLObject::Assign(Source);
        return;
    }
    style_ = source->style_;
    disabledStyle_ = source->disabledStyle_;
    lightDepth_ = source->lightDepth_;
    shadowDepth_ = source->shadowDepth_;
    lightColor_ = source->lightColor_;
    shadowColor_ = source->shadowColor_;
    tracing_ = source->tracing_;
    Change();
}

AnsiString TQCL3DCaption::GetSetStr() {
    static const char* const words[] = {"Disabled",      "sunken",        "raised", "sunken shadow",
                                        "raised shadow", "PColor sunken", "PColor raised", "shadow",
                                        "outline",       "extrude",       "extrude enh"};
    return AnsiString("{") + words[style_] + "}";
}

void TQCLFxCaption::SetAngle(std::uint16_t value) { QCLSetField(this, angle_, static_cast<std::uint16_t>(value == 360 ? 0 : value)); }

void TQCLFxCaption::SetPos(int index, std::uint16_t value) {
    if (index == 0) QCLSetField(this, posX_, value);
    else if (index == 1) QCLSetField(this, posY_, value);
    else Change();
}

void TQCLFxCaption::SetPosXY(std::uint16_t x, std::uint16_t y) {
    BeginUpdate();
    SetPos(0, x);
    SetPos(1, y);
    EndUpdate(false);
}

void TQCLFxCaption::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (auto* source = dynamic_cast<TQCLFxCaption*>(Source)) {
        BeginUpdate();
        TQCL3DCaption::Assign(Source);
        posX_ = source->posX_;
        posY_ = source->posY_;
        angle_ = source->angle_;
        EndUpdate(true);
        return;
    }
    TQCL3DCaption::Assign(Source);
}

AnsiString TQCLFxCaption::GetSetStr() {
    AnsiString text = TQCL3DCaption::GetSetStr();
    if (angle_ == 0) return text;
    text = text == "{Disabled}" ? AnsiString("{") : text.substr(0, text.size() - 1) + ",";
    return text + " rot: " + IntToStr(static_cast<int>(angle_)) + "\xB0}";
}
