// The gradient property object.
#include "components/runtime/QCLGradient.h"

#include "framework/Filer.h"
#include "framework/SysUtils.h"

TQCLGradient::TQCLGradient() { InitPalette(); }

void TQCLGradient::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    InitPalette();
    Change();
}

void TQCLGradient::SetEndColor(TColor value) { QCLSetField(this, endColor_, value); }
void TQCLGradient::SetColorCount(std::uint8_t value) { QCLSetField(this, colorCount_, value); }
void TQCLGradient::SetStyle(TQCLGradientStyle value) { QCLSetField(this, style_, value); }
void TQCLGradient::SetPaletteRealize(bool value) { QCLSetField(this, paletteRealize_, value); }
void TQCLGradient::SetTwoColors(bool value) { QCLSetField(this, twoColors_, value); }

void TQCLGradient::Change() {
    InitPalette();
    TQCLObject::Change();
}

void TQCLGradient::DestroyPalette() {
    if (palette_.valid()) {
        HPALETTE handle = palette_.get();
        if (!palette_.close()) palette_.reset(handle);  // keep what the system would not delete
    }
    colors_.clear();
}

void TQCLGradient::InitPalette() {
    DestroyPalette();
    if (twoColors_) {
        QCLGradientCreateColorList(color_, endColor_, colorCount_, &colors_, true);
    } else if (keyColors_.size() >= 2) {
        const auto steps = static_cast<std::uint8_t>(colorCount_ / keyColors_.size());
        QCLGradientCreateColorList(keyColors_[0], keyColors_[1], steps, &colors_, true);
        for (size_t i = 1; i + 1 < keyColors_.size(); ++i)
            QCLGradientCreateColorList(keyColors_[i], keyColors_[i + 1], steps, &colors_, false);
    }
    if (paletteRealize_) palette_ = QCLGradientCreatePalette(&colors_);
}

void TQCLGradient::PaintGradient(TCanvas* Canvas, const TRect& Rect) {
    QCLGradientPaintExt(Canvas, Rect, style_, &colors_, palette_.get(), paletteRealize_ ? 0x1000 : 0, 0);
}

void TQCLGradient::SetRealPalette(TCanvas* Canvas) {
    if (!paletteRealize_ || !Canvas || !palette_.valid()) return;
    HDC dc = Canvas->GetHandle();
    SelectPalette(dc, palette_.get(), FALSE);
    RealizePalette(dc);
}

void TQCLGradient::SetColors(const TQCLColorList* Colors) {
    if (!Colors) return;
    keyColors_ = *Colors;
    Change();
}

void TQCLGradient::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* s = dynamic_cast<TQCLGradient*>(Source);
    if (!s) {
        TQCLObject::Assign(Source);
        return;
    }
    BeginUpdate();
    colorCount_ = s->colorCount_;
    color_ = s->color_;
    endColor_ = s->endColor_;
    paletteRealize_ = s->paletteRealize_;
    style_ = s->style_;
    twoColors_ = s->twoColors_;
    keyColors_ = s->keyColors_;
    EndUpdate(true);
}

void TQCLGradient::DefineProperties(TFiler* Filer) {
    Filer->DefineProperty("ColorList", [this](TReader* r) { readColorList(r); },
                          [this](TWriter* w) { writeColorList(w); }, !keyColors_.empty());
}

void TQCLGradient::readColorList(TReader* Reader) {
    BeginUpdate();
    try {
        Reader->ReadListBegin();
        while (!Reader->EndOfList()) keyColors_.push_back(static_cast<TColor>(Reader->ReadInteger()));
        Reader->ReadListEnd();
    } catch (...) {
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
}

void TQCLGradient::writeColorList(TWriter* Writer) {
    Writer->WriteListBegin();
    for (TColor c : keyColors_) Writer->WriteInteger(c);
    Writer->WriteListEnd();
}

AnsiString TQCLGradient::GetSetStr() {
    static const char* const words[] = {"horizontal", "vertical",     "square",        "elliptic",
                                        "top left",   "top right",    "bottom left",   "bottom right",
                                        "top left diag", "top right diag"};
    return AnsiString(words[style_]) + ", Col: " + IntToStr(static_cast<int>(colorCount_)) +
           (twoColors_ ? ", 2 col mode" : ", mult. col mode");
}
