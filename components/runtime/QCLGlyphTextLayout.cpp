// The glyph-and-text layout objects.
#include "components/runtime/QCLGlyphTextLayout.h"

void TQCLGlyphTextLayout::SetAlignment(TQCLAlignment value) { QCLSetField(this, alignment_, value); }
void TQCLGlyphTextLayout::SetAlignText2Glyph(TQCLTextArrange value) { QCLSetField(this, alignText2Glyph_, value); }
void TQCLGlyphTextLayout::SetSpacing(int value) { QCLSetField(this, spacing_, value); }

void TQCLGlyphTextLayout::SetOffset(int index, int value) {
    if (index == 0) QCLSetField(this, offsetX_, value);
    else if (index == 1) QCLSetField(this, offsetY_, value);
    else Change();
}

void TQCLGlyphTextLayout::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* source = dynamic_cast<TQCLGlyphTextLayout*>(Source);
    if (!source) {
        TQCLObject::Assign(Source);
        return;
    }
    alignment_ = source->alignment_;
    alignText2Glyph_ = source->alignText2Glyph_;
    offsetX_ = source->offsetX_;
    offsetY_ = source->offsetY_;
    spacing_ = source->spacing_;
    Change();
}

void TQCLButtonLayout::SetArrow(bool value) { QCLSetField(this, arrow_, value); }
void TQCLButtonLayout::SetArrowColor(TColor value) { QCLSetField(this, arrowColor_, value); }
void TQCLButtonLayout::SetArrowPosition(TQCLArrowPosition value) { QCLSetField(this, arrowPosition_, value); }
void TQCLButtonLayout::SetArrowSize(std::uint8_t value) { QCLSetField(this, arrowSize_, value); }

void TQCLButtonLayout::SetInteger(int index, int value) {
    if (index == 0) QCLSetField(this, arrowIndent_, value);
    else Change();
}

void TQCLButtonLayout::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* source = dynamic_cast<TQCLButtonLayout*>(Source);
    if (!source) {
        TQCLGlyphTextLayout::Assign(Source);
        return;
    }
    BeginUpdate();
    SetAlignment(source->GetAlignment());
    SetAlignText2Glyph(source->GetAlignText2Glyph());
    SetOffsetX(source->GetOffsetX());
    SetOffsetY(source->GetOffsetY());
    SetSpacing(source->GetSpacing());
    arrow_ = source->arrow_;
    arrowColor_ = source->arrowColor_;
    arrowIndent_ = source->arrowIndent_;
    arrowPosition_ = source->arrowPosition_;
    arrowSize_ = source->arrowSize_;
    EndUpdate(true);
}
