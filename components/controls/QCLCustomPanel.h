// The library's windowed containers: TQCLCustomPanel (a transparent child's
// side of the background protocol), TQCLCustomBevelPanel (a bevel painted in
// the client area, or the Windows border), TQCLCustomParentPanel (caches a
// background bitmap painted from an image list and hands it to transparent
// children), TQCLCustomPanelFill (the cached background painted by a fill
// object, with a caption) and TQCLResWinControl (a bare windowed control that
// can give up its window).
//
// Tricky points:
// - The background lookup of a transparent child is shared with the scroll
//   box (QCLChildBack*): a library parent answers for its own chain, a shaped
//   form through its form shape; positions are mapped along the chain and
//   moved past each control's border (half the difference between the
//   window and client sizes).
// - A parent panel keeps an older, larger back bitmap when it shrinks, and
//   paints a new one only when it grows beyond it. Every refresh tells the
//   children with CM_QCLBACKCHANGED.
// - In bevel mode bmWindows the border is the window's own (client edge or
//   WS_BORDER), so a change of that mode or of Ctl3D re-creates the window.
#pragma once

#include "components/controls/QCLCustomControl.h"
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLShapeFill.h"

// ---------------------------------------------------------------------------
// The background lookup shared by the panels and the scroll box.

// What a control's border takes from the mapping: a bevel drawn inside the
// non-client area and the visible scroll bars (scroll box only).
struct TQCLBackBorder {
    int bevelExtent = 0;
    int scrollWidth = 0;   // a visible vertical bar's width
    int scrollHeight = 0;  // a visible horizontal bar's height
};

bool QCLChildBackCheck(TWinControl* Self, bool Transparent);
TBitmap* QCLChildBackBitmap(TWinControl* Self, bool Check);
TPoint QCLChildBackMapPoint(TWinControl* Self, bool Check, const TPoint& Point, const TQCLBackBorder& Border);
bool QCLChildBackDrawArea(TWinControl* Self, TBitmap* Bitmap, TCanvas* Canvas, const TRect& Rect,
                          const TPoint& Offset, const TQCLBackBorder& Border);

// The bevel's extent at the right and bottom.
int QCLBevelRightBottomExtent(const TQCLBevel* Bevel);

// ---------------------------------------------------------------------------

class TQCLCustomPanel : public TQCLCustomControl {
public:
    explicit TQCLCustomPanel(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLCustomPanel"; }

    bool BackBitmapCheck() override { return QCLChildBackCheck(this, GetTransparent()); }
    TBitmap* BackBitmap() override { return QCLChildBackBitmap(this, BackBitmapCheck()); }
    TPoint BackMapPoint(const TPoint& Point) override {
        return QCLChildBackMapPoint(this, BackBitmapCheck(), Point, TQCLBackBorder());
    }
    bool BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset) override;
};

class TQCLCustomBevelPanel : public TQCLCustomPanel {
public:
    explicit TQCLCustomBevelPanel(TComponent* AOwner);
    ~TQCLCustomBevelPanel() override;
    AnsiString ClassName() const override { return "TQCLCustomBevelPanel"; }

    void Dispatch(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void GetChange(TObject* Sender) override;
    bool GetEmpty() override;
    void RestoreBorderFront() override;
    void RestoreBorderBack() override;

    int BevelExt() const { return bevel_->GetBevelExtend(); }
    int DblBevelExt() const { return 2 * BevelExt(); }
    TRect BeveledRect() { return bevel_->ClientRect(GetClientRect()); }

    TQCLBevel* GetBevel() const { return bevel_; }
    void SetBevel(TQCLBevel* Value);

    BRIM_PROPERTY(Bevel, TQCLCustomBevelPanel::GetBevel, TQCLCustomBevelPanel::SetBevel);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void DoEnter() override;
    void MouseEnter() override;

    TQCLBevel* bevel_;
};

class TQCLCustomParentPanel : public TQCLCustomBevelPanel {
public:
    explicit TQCLCustomParentPanel(TComponent* AOwner);
    ~TQCLCustomParentPanel() override;
    AnsiString ClassName() const override { return "TQCLCustomParentPanel"; }

    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    bool CheckOptimized() override;
    void FillControl() override;
    void GetChange(TObject* Sender) override;
    bool GetEmpty() override;
    void GetIMLChange(TObject* Sender) override;
    bool BackBitmapCheck() override;
    TBitmap* BackBitmap() override;
    TPoint BackMapPoint(const TPoint& Point) override;
    bool BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset) override;
    virtual HPALETTE GetPalette();

    // Makes (or drops) the back bitmap; without Force an existing bitmap that
    // still covers the client area stays.
    virtual void CreateBack(bool Force);
    // The panel's own background bitmap, or null.
    TBitmap* OwnBack() const { return back_; }

protected:
    void Paint() override;
    void freeBack();

    TBitmap* back_ = nullptr;
};

class TQCLCustomPanelFill : public TQCLCustomParentPanel {
public:
    explicit TQCLCustomPanelFill(TComponent* AOwner);
    ~TQCLCustomPanelFill() override;
    AnsiString ClassName() const override { return "TQCLCustomPanelFill"; }

    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void GetChange(TObject* Sender) override;
    bool GetEmpty() override;
    void GetIMLChange(TObject* Sender) override;
    void CreateBack(bool Force) override;
    HPALETTE GetPalette() override;
    virtual void DrawCaption(const TRect& Rect, TQCLAlignment Alignment);

    TQCLAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TQCLAlignment Value);
    TQCLFxCaption* GetCaptionFx() const { return captionFx_; }
    void SetCaptionFx(TQCLFxCaption* Value) { captionFx_->Assign(Value); }
    TQCLFillObject* GetFillObject() const { return fill_; }
    void SetFillObject(TQCLFillObject* Value) { fill_->Assign(Value); }
    bool GetTransparentBorder() const { return transparentBorder_; }
    void SetTransparentBorder(bool Value);

    BRIM_PROPERTY(Alignment, TQCLCustomPanelFill::GetAlignment, TQCLCustomPanelFill::SetAlignment);
    BRIM_PROPERTY(CaptionFx, TQCLCustomPanelFill::GetCaptionFx, TQCLCustomPanelFill::SetCaptionFx);
    BRIM_PROPERTY(FillObject, TQCLCustomPanelFill::GetFillObject, TQCLCustomPanelFill::SetFillObject);
    BRIM_PROPERTY(TransparentBorder, TQCLCustomPanelFill::GetTransparentBorder,
                  TQCLCustomPanelFill::SetTransparentBorder);

protected:
    void Paint() override;
    void Resize() override;

private:
    TQCLAlignment alignment_ = agCenter;
    TQCLFxCaption* captionFx_;
    TQCLFillObject* fill_;
    bool transparentBorder_ = false;
};

// A bare windowed control that can give its window up (the framework makes
// it again when needed).
class TQCLResWinControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    AnsiString ClassName() const override { return "TQCLResWinControl"; }
    void FreeResources() { DestroyHandle(); }
};
