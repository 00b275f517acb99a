// Speed button faces and the glyph-kind strip; see QCLSpeedButton.h.
#include "components/controls/QCLSpeedButton.h"

#include "components/runtime/Qclutils.h"

#include "framework/Forms.h"

bool QCLGetGlyphKind(TBitmap* Bitmap, TQCLGlyphKind Kind) {
    if (!Bitmap || Kind == gkCustom) return false;
    HBITMAP handle = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(QCLGlyphKindResource));
    if (!handle) return false;
    TBitmap strip;
    strip.SetHandle(handle);
    const int cell = 13, height = strip.GetHeight();
    const int from = (static_cast<int>(Kind) - 1) * cell;
    if (from + cell > strip.GetWidth()) return false;
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(cell, height);
    Bitmap->GetCanvas()->CopyRect(TRect(0, 0, cell, height), strip.GetCanvas(), TRect(from, 0, from + cell, height));
    return true;
}

int QCLGetButtonBevel(TQCLUserButtonStyle Style, TQCLButtonState) {
    if (Style == ubsAutoDetect) Style = NewStyleControls ? ubsWin40 : ubsWin31;
    switch (Style) {
    case ubsWin31: return 3;
    case ubsWin40: case ubsDelphi: case ubsDelphiFlat: case ubsNavigator: case ubsIntegrated: return 2;
    default: return 1;
    }
}

TQCLFaceIndex QCLFaceIndex(int A, int B) { return {A, B}; }

TQCLCustomSpeedButton::TQCLCustomSpeedButton(TComponent* AOwner) : TQCLBaseGraphicButton(AOwner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable});
    allowMouseOver_ = true;
    allowTransparency_ = false;
    SetBounds(GetLeft(), GetTop(), 23, 22);
}

TQCLOfficeButton::TQCLOfficeButton(TComponent* AOwner) : TQCLCustomSpeedButton(AOwner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks, csReplicatable});
    style_ = ubsFlat;
}

bool TQCLCustomSpeedButton::HotLooksDifferent() {
    return TQCLBaseGraphicButton::HotLooksDifferent() || (style_ >= ubsDelphiFlat && style_ <= ubsExplorerColored);
}

void TQCLCustomSpeedButton::GetIMLChange(TObject* Sender) {
    if (glyphKind_ == gkCustom) TQCLBaseGraphicButton::GetIMLChange(Sender);
}

void TQCLCustomSpeedButton::SetStyle(TQCLUserButtonStyle Value) {
    if (style_ == Value) return;
    style_ = Value;
    const bool uncoloured = Value == ubsFlatUnColored || Value == ubsNavigator || Value == ubsExplorer;
    glyph_->SetStyle(uncoloured ? gsExplorer : gsStandard);
    TControlStyle style = GetControlStyle();
    if (Value == ubsExplorer || Value == ubsExplorerColored) style >> csOpaque;
    else style << csOpaque;
    SetControlStyle(style);
    GetChange(this);
}

void TQCLCustomSpeedButton::SetGlyphKind(TQCLGlyphKind Value) {
    if (glyphKind_ == Value) return;
    glyphKind_ = Value;
    if (Value != gkCustom) {
        TBitmap picture;
        if (QCLGetGlyphKind(&picture, Value)) {
            glyph_->SetGlyph(&picture);
            glyph_->SetNumGlyphs(1);
        }
    } else if (!IsLoading()) {
        TQCLBaseGraphicButton::GetIMLChange(this);
    }
    Invalidate();
}

void TQCLCustomSpeedButton::Paint() {
    if (IsLoading()) return;
    TCanvas* canvas = GetCanvas();
    const int b = QCLGetButtonBevel(style_, state_);
    TRect main = GetClientRect();
    TRect part;
    if (dropDownPart_) {
        part = TRect(main.Right - dropDownComboWidth_, 0, main.Right, main.Bottom);
        main.Right = part.Left + (b > 1 ? 1 : 0);
    }
    if ((style_ == ubsExplorer || style_ == ubsExplorerColored) && !DrawParentBackground(canvas, main)) {
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(GetColor());
        canvas->FillRect(main);
    }
    const bool designing = GetComponentState().Contains(csDesigning);
    TQCLButtonState mainState = designing ? bsMouseOver : state_;
    if (state_ == bsDropDownOpen) mainState = bsMouseOver;
    TRect face = main;
    QCLDrawBtnFace(canvas, mouseOver_, face, style_, mainState, 5, GetColor());
    if (dropDownPart_) {
        TRect partFace = part;
        TQCLButtonState partState = designing ? bsMouseOver : (state_ == bsDown ? bsMouseOver : state_);
        QCLDrawBtnFace(canvas, mouseOver_, partFace, style_, partState, 5, GetColor());
        QCLDrawTriangle(canvas, part.Left + (dropDownComboWidth_ - 3) / 2, (GetHeight() - 3) / 2, 3, clBlack, true,
                        GetEnabled());
    }
    TRect inner(main.Left + b, main.Top + b, main.Right - b, main.Bottom - b);
    if (state_ == bsOptionSet || state_ == bsDown || (state_ == bsDropDownOpen && !dropDownPart_))
        inner = TRect(inner.Left + 1, inner.Top + 1, inner.Right + 1, inner.Bottom + 1);
    canvas->SetFont(GetFont());
    if (allowMouseOver_ && enterColorChange_ && state_ >= bsMouseOver && state_ <= bsDropDownOpen)
        canvas->GetFont()->SetColor(GetEnterColor());
    TQCLDrawTextStyles styles;
    styles << dt3DDisabled << (GetEnabled() ? dtEnabled : dtDisabled);
    glyph_->DrawButtonGlyphAndText(canvas, GetCaption(), GetMultiLine(), styles, layout_, state_, inner, fontFX_, 0);
}
