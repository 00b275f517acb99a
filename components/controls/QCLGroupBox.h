// The captioned group frame TQCLCustomGroupBox (base of the radio group) and
// its published form TQCLGroupBox.
//
// Tricky points:
// - The caption may sit on any side; on the left and right it is rotated
//   (90 and 270 degrees) and a rotated caption needs a TrueType face, so a
//   raster font is swapped for "Arial".
// - The frame is drawn half a caption height in from the caption side, and
//   aligned children lose the whole caption height on that side.
// - The caption geometry is a window-free function so the layout of every
//   side can be checked without painting.
// - The box is a parent panel: its bevel and background (and the background
//   it hands to transparent children) come from there.
#pragma once

#include "components/controls/QCLCustomPanel.h"
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLBevel.h"

enum TQCLGroupCaptionAlign : uint8_t {
    gcaTopLeft, gcaTopCenter, gcaTopRight, gcaLeftBottom, gcaLeftCenter, gcaLeftTop,
    gcaBottomLeft, gcaBottomCenter, gcaBottomRight, gcaRightTop, gcaRightCenter, gcaRightBottom
};

enum TQCLGroupSide : uint8_t { gsTop, gsLeft, gsBottom, gsRight };
TQCLGroupSide QCLGroupCaptionSide(TQCLGroupCaptionAlign Align);

struct TQCLGroupBoxLayout {
    TRect Caption;  // where the caption text is aligned
    TRect Frame;    // where the bevel is painted
    TQCLAlignment TextAlign;
};
// The caption and frame rectangles of a box of Width x Height whose caption
// is CaptionHeight high (caption present).
TQCLGroupBoxLayout QCLGroupBoxLayout(TQCLGroupCaptionAlign Align, int CaptionOffset, int Width, int Height,
                                     int CaptionHeight);

class TQCLCustomGroupBox : public TQCLCustomParentPanel {
public:
    explicit TQCLCustomGroupBox(TComponent* AOwner);
    ~TQCLCustomGroupBox() override;
    AnsiString ClassName() const override { return "TQCLCustomGroupBox"; }

    void Dispatch(TMessage& Message) override;
    void GetChange(TObject* Sender) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;

    int GetCaptionHeight() const { return captionHeight_; }
    // The caption text without blanks is empty.
    bool HasCaption();

    TQCLGroupCaptionAlign GetAlignCaption() const { return align_; }
    void SetAlignCaption(TQCLGroupCaptionAlign Value);
    int GetCaptionOffset() const { return captionOffset_; }
    void SetCaptionOffset(int Value);
    bool GetShowAccelChar() const { return showAccelChar_; }
    void SetAccelChar(bool Value);
    TFont* GetCaptionFont() const { return captionFont_; }
    void SetCaptionFont(TFont* Value) { captionFont_->Assign(Value); }
    bool GetCaptionParentFont() const { return captionParentFont_; }
    void SetCaptionParentFont(bool Value);
    TQCL3DCaption* GetCaptionFont3D() const { return captionFont3D_; }
    void SetFont3D(TQCL3DCaption* Value) { captionFont3D_->Assign(Value); }
    TQCLFxCaption* RotatedCaption() const { return rotated_; }

    BRIM_PROPERTY(Alignment, TQCLCustomGroupBox::GetAlignCaption, TQCLCustomGroupBox::SetAlignCaption);
    BRIM_PROPERTY(CaptionOffset, TQCLCustomGroupBox::GetCaptionOffset, TQCLCustomGroupBox::SetCaptionOffset);

protected:
    void Paint() override;
    void SetCaptionHeight();
    void captionFontChanged(TObject* Sender);

    TQCLFxCaption* rotated_;
    TFont* captionFont_;
    TQCL3DCaption* captionFont3D_;
    TQCLGroupCaptionAlign align_ = gcaTopLeft;
    int captionOffset_ = 8;
    int captionHeight_ = 0;
    bool showAccelChar_ = true;
    bool captionParentFont_ = true;
};

class TQCLGroupBox : public TQCLCustomGroupBox {
public:
    using TQCLCustomGroupBox::TQCLCustomGroupBox;
    AnsiString ClassName() const override { return "TQCLGroupBox"; }
};
