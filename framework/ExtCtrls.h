/*
 * Extra controls: the panel (a windowed container with bevels and a
 * caption), and the windowless image, shape and splitter.
 *
 * The splitter resizes its same-side neighbour live while the mouse moves:
 * the proposed size is clamped to MinSize and to what the parent leaves
 * (MinSize kept for the rest), then offered to OnCanResize, which may change
 * or refuse it; with AutoSnap a size at or below MinSize collapses to 0.
 * Beyond the framework's members it has OnPaint, run after the background
 * is filled, so that a form can draw a grip on it.
 */
#pragma once

#include "framework/Jpeg.h"
#include "framework/StdCtrls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;

// Draws Width rings of a 3-D frame inside Rect and shrinks Rect past them.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TPanelBevel GetBevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel value);
    TPanelBevel GetBevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel value);
    int GetBevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    int GetBorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool GetFullRepaint() const { return fullRepaint_; }
    void SetFullRepaint(bool value) { fullRepaint_ = value; }

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    // Width taken by border and bevels on each side of the client area.
    int BevelExtent() const;

private:
    void changed();
    TAlignment alignment_ = taCenter;
    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    bool fullRepaint_ = true;

public:
    BRIM_PROPERTY(Alignment, TCustomPanel::GetAlignment, TCustomPanel::SetAlignment);
    BRIM_PROPERTY(BevelInner, TCustomPanel::GetBevelInner, TCustomPanel::SetBevelInner);
    BRIM_PROPERTY(BevelOuter, TCustomPanel::GetBevelOuter, TCustomPanel::SetBevelOuter);
    BRIM_PROPERTY(BevelWidth, TCustomPanel::GetBevelWidth, TCustomPanel::SetBevelWidth);
    BRIM_PROPERTY(BorderWidth, TCustomPanel::GetBorderWidth, TCustomPanel::SetBorderWidth);
    BRIM_PROPERTY(BorderStyle, TCustomPanel::GetBorderStyle, TCustomPanel::SetBorderStyle);
    BRIM_PROPERTY(FullRepaint, TCustomPanel::GetFullRepaint, TCustomPanel::SetFullRepaint);
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

// ---------------------------------------------------------------------------

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* GetPicture() const { return picture_; }
    void SetPicture(TPicture* value) { picture_->Assign(value); }
    bool GetStretch() const { return stretch_; }
    void SetStretch(bool value);
    bool GetCenter() const { return center_; }
    void SetCenter(bool value);
    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool GetProportional() const { return proportional_; }
    void SetProportional(bool value);
    void SetAutoSize(bool value) override;
    // Where the picture is drawn in the client area.
    TRect DestRect();

protected:
    void Paint() override;
    virtual void PictureChanged(TObject* Sender);

private:
    TPicture* picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
    bool proportional_ = false;

public:
    BRIM_PROPERTY(Picture, TImage::GetPicture, TImage::SetPicture);
    BRIM_PROPERTY(Stretch, TImage::GetStretch, TImage::SetStretch);
    BRIM_PROPERTY(Center, TImage::GetCenter, TImage::SetCenter);
    BRIM_PROPERTY(Transparent, TImage::GetTransparent, TImage::SetTransparent);
    BRIM_PROPERTY(Proportional, TImage::GetProportional, TImage::SetProportional);
};

// ---------------------------------------------------------------------------

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;

    TShapeType GetShape() const { return shape_; }
    void SetShape(TShapeType value);
    TPen* GetPen() const { return pen_; }
    void SetPen(TPen* value) { pen_->Assign(value); }
    TBrush* GetBrush() const { return brush_; }
    void SetBrush(TBrush* value) { brush_->Assign(value); }

protected:
    void Paint() override;

private:
    void styleChanged(TObject*) { Invalidate(); }
    TShapeType shape_ = stRectangle;
    TPen* pen_;
    TBrush* brush_;

public:
    BRIM_PROPERTY(Shape, TShape::GetShape, TShape::SetShape);
    BRIM_PROPERTY(Pen, TShape::GetPen, TShape::SetPen);
    BRIM_PROPERTY(Brush, TShape::GetBrush, TShape::SetBrush);
};

// ---------------------------------------------------------------------------

using TCanResizeSplitterEvent = TEvent<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);

    int GetMinSize() const { return minSize_; }
    void SetMinSize(int value) { minSize_ = value; }
    bool GetAutoSnap() const { return autoSnap_; }
    void SetAutoSnap(bool value) { autoSnap_ = value; }
    bool GetBeveled() const { return beveled_; }
    void SetBeveled(bool value);
    // The neighbour a drag resizes (null when there is none).
    TControl* ResizedControl();

    TCanResizeSplitterEvent OnCanResize;
    TNotifyEvent OnMoved;
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    using TGraphicControl::CanResize;
    virtual bool CanResize(int& NewSize);
    bool DoCanResize(int& NewSize);

private:
    // The neighbour's size for the mouse at (X, Y), clamped to MinSize and the room left.
    int calcSplitSize(int X, int Y);
    void updateControlSize();

    int minSize_ = 30;
    int maxSize_ = 0;
    bool autoSnap_ = true;
    bool beveled_ = false;
    TControl* control_ = nullptr;
    TPoint downPos_;
    int newSize_ = 0;
    int oldSize_ = -1;

public:
    BRIM_PROPERTY(MinSize, TSplitter::GetMinSize, TSplitter::SetMinSize);
    BRIM_PROPERTY(AutoSnap, TSplitter::GetAutoSnap, TSplitter::SetAutoSnap);
    BRIM_PROPERTY(Beveled, TSplitter::GetBeveled, TSplitter::SetBeveled);
};
