// The classic speed button faces (TQCLCustomSpeedButton in eleven styles,
// published as TQCLSpeedButton and TQCLOfficeButton) and the unit's helpers:
// the glyph-kind pictures of the library's strip resource, the face bevel
// width per style.
//
// Tricky points:
// - The glyph-kind strip is the library's bitmap resource 16546 in the
//   program's own module: eight 13 x 14 cells; a kind's cell is moved to the
//   left edge and the bitmap cut to one cell.
// - Styles Explorer and Explorer-coloured draw no face of their own where
//   the parent shows through (csOpaque cleared).
#pragma once

#include "components/controls/QCLGraphicButton.h"

enum TQCLGlyphKind : uint8_t {
    gkCustom, gkEllipsis, gkFile, gkFolder, gkCalculator, gkCalender, gkSearch, gkColor, gkFont
};

constexpr int QCLGlyphKindResource = 16546;
// Loads the kind's picture into Bitmap; false (Bitmap untouched) for gkCustom
// or when the resource is missing.
bool QCLGetGlyphKind(TBitmap* Bitmap, TQCLGlyphKind Kind);
int QCLGetButtonBevel(TQCLUserButtonStyle Style, TQCLButtonState State);
struct TQCLFaceIndex {
    int ListIndex;
    int ImageIndex;
};
TQCLFaceIndex QCLFaceIndex(int A, int B);

class TQCLCustomSpeedButton : public TQCLBaseGraphicButton {
public:
    explicit TQCLCustomSpeedButton(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLCustomSpeedButton"; }

    void GetIMLChange(TObject* Sender) override;
    bool IsCustom() override { return TQCLBaseGraphicButton::IsCustom() || glyphKind_ != gkCustom; }
    // A glyph kind keeps its own picture.
    bool ActionChangeable() override { return glyphKind_ == gkCustom; }
    bool HotLooksDifferent() override;
    bool MouseOverChangesFace() override { return style_ >= ubsDelphiFlat && style_ <= ubsNavigator; }

    TQCLUserButtonStyle GetStyle() const { return style_; }
    void SetStyle(TQCLUserButtonStyle Value);
    TQCLGlyphKind GetGlyphKind() const { return glyphKind_; }
    void SetGlyphKind(TQCLGlyphKind Value);
    bool GetUnColorMain() const { return glyph_->GetStyle() == gsExplorer; }
    void SetUnColorMain(bool Value) { glyph_->SetStyle(Value ? gsExplorer : gsStandard); }

    BRIM_PROPERTY(Style, TQCLCustomSpeedButton::GetStyle, TQCLCustomSpeedButton::SetStyle);
    BRIM_PROPERTY(GlyphKind, TQCLCustomSpeedButton::GetGlyphKind, TQCLCustomSpeedButton::SetGlyphKind);

protected:
    void Paint() override;

    TQCLUserButtonStyle style_ = ubsAutoDetect;
    TQCLGlyphKind glyphKind_ = gkCustom;
};

class TQCLSpeedButton : public TQCLCustomSpeedButton {
public:
    using TQCLCustomSpeedButton::TQCLCustomSpeedButton;
    AnsiString ClassName() const override { return "TQCLSpeedButton"; }
};

class TQCLOfficeButton : public TQCLCustomSpeedButton {
public:
    explicit TQCLOfficeButton(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLOfficeButton"; }
};
