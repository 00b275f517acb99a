// Title bar styler: repaints the owner form's title bar with a gradient that
// ends in the system's caption colour and draws the caption in its own font
// (or through owner-draw events), keeping the system's icon area.
//
// Tricky points:
// - While active the form's real caption lives in the styler and the form's
//   window text is " ", so the system draws no text over the gradient; it
//   goes back when the styler is disabled or freed. The caption is taken from
//   the form only once per activation: a second Init must not take the " ".
// - On systems that draw gradient captions themselves (every system Wine
//   reports) with fsCheckSystemGradient and a display deeper than 8 bits,
//   nothing is painted: the system's title is left alone.
// - A one-character WM_GETTEXT buffer gets only its terminator and 0.
// - Painting takes the whole window's DC into the styler's canvas and always
//   gives it back; the painting flag keeps messages sent meanwhile from
//   painting again.
#pragma once

#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLWndProcComponent.h"
#include "components/runtime/Qclgraph.h"

#include "framework/StdCtrls.h"

#include <memory>

enum TQCLFormStyleOption {
    fsAdjustRect, fsUseDefaultFont, fsUseFontColor, fsInactiveGradient, fsDrawCaptionEvent, fsUseFormCaption,
    fsCheckSystemGradient
};
using TQCLFormStyleOptions = TSet<TQCLFormStyleOption>;

class TQCLFormStyler : public TQCLWndProcComponent {
public:
    explicit TQCLFormStyler(TComponent* AOwner);
    ~TQCLFormStyler() override;

    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    int GetColors() const { return colors_; }
    void SetColors(int value);
    TFont* GetFont() const { return font_.get(); }
    void SetFont(TFont* value) { font_->Assign(value); }
    TQCL3DCaption* GetFont3D() const { return font3D_.get(); }
    void SetFont3D(TQCL3DCaption* value) { font3D_->Assign(value); }
    TQCLPaintMode GetPaintMode() const { return paintMode_; }
    void SetPaintMode(TQCLPaintMode value);
    TQCLFormStyleOptions GetOptions() const { return options_; }
    void SetOptions(TQCLFormStyleOptions value);
    // The caption the styler draws (the form's own while active).
    const AnsiString& GetCaption() const { return caption_; }
    void SetCaption(const AnsiString& value);
    bool GetActive() const { return active_; }

    BRIM_PROPERTY(Alignment, TQCLFormStyler::GetAlignment, TQCLFormStyler::SetAlignment);
    BRIM_PROPERTY(Colors, TQCLFormStyler::GetColors, TQCLFormStyler::SetColors);
    BRIM_PROPERTY(PaintMode, TQCLFormStyler::GetPaintMode, TQCLFormStyler::SetPaintMode);
    BRIM_PROPERTY(Options, TQCLFormStyler::GetOptions, TQCLFormStyler::SetOptions);
    BRIM_PROPERTY(Caption, TQCLFormStyler::GetCaption, TQCLFormStyler::SetCaption);

    TQCLPaintEvent OnPaint;
    TQCLPaintEvent OnCaptionPaint;

    void Init() override;
    void RestoreState() override;
    void WndProc(TMessage& Message) override;
    void GetChange(TObject* Sender) override;
    void NCPaint();
    void ForceNCPaint();
    void PaintTitleBar(bool SaveIcon);

    // The platform's "draws gradient captions" answer, taken at construction.
    void SetSystemGradientForTesting(bool value) { systemGradient_ = value; }
    // How many title bars were painted (gradient or owner-drawn).
    int PaintCountForTesting() const { return paints_; }

    AnsiString ClassName() const override { return "TQCLFormStyler"; }

private:
    TCustomForm* form() const { return dynamic_cast<TCustomForm*>(GetOwnerForm()); }
    bool painting() const;
    void giveCaptionBack();

    bool systemGradient_ = false;
    TAlignment alignment_ = taLeftJustify;
    int colors_ = 32;
    std::unique_ptr<TCanvas> canvas_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TQCL3DCaption> font3D_;
    bool active_ = false;
    TQCLPaintMode paintMode_ = pcControl;
    TQCLFormStyleOptions options_{fsAdjustRect, fsUseDefaultFont, fsUseFormCaption, fsCheckSystemGradient};
    bool smallCaption_ = false;
    AnsiString caption_;
    bool captionHeld_ = false;
    std::unique_ptr<TBitmap> iconArea_;
    bool paintingNow_ = false;
    int paints_ = 0;
};
