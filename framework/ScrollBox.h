/*
 * The scroll box: a windowed container whose children scroll under two
 * scroll bars (TControlScrollBar: Range, Position, Increment, Visible).
 *
 * The range is the extent of the content; the system bar shows only while
 * the range exceeds the client size (its page). Changing Position moves the
 * children by the difference (ScrollBy): windowed children through
 * ScrollWindowEx with SW_SCROLLCHILDREN while the box is on screen,
 * windowless ones (and windows of a hidden box) by their bounds. Aligned
 * children are laid out in the scrolled content rectangle, so they scroll
 * too. With AutoScroll the ranges follow the children's extent whenever the
 * box realigns.
 */
#pragma once

#include "framework/StdCtrls.h"

class TScrollingWinControl;

enum TScrollBarKind { sbHorizontal, sbVertical };

class TControlScrollBar : public TPersistent {
public:
    TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind) : control_(Control), kind_(Kind) {}

    int GetRange() const { return range_; }
    void SetRange(int value);
    int GetPosition() const { return position_; }
    void SetPosition(int value);
    int GetIncrement() const { return increment_; }
    void SetIncrement(int value) { increment_ = value; }
    bool GetVisible() const { return visible_; }
    void SetVisible(bool value);
    bool GetTracking() const { return tracking_; }
    void SetTracking(bool value) { tracking_ = value; }
    int GetMargin() const { return margin_; }
    void SetMargin(int value) { margin_ = value; }
    TScrollBarKind GetKind() const { return kind_; }
    // True while the system bar is shown (the range exceeds the page).
    bool IsScrollBarVisible() const;
    // The largest position: range less the client size.
    int MaxPosition() const;
    // Handles WM_HSCROLL / WM_VSCROLL: line, page, thumb, ends.
    void ScrollMessage(TMessage& Message);
    // Shows the range and position on the window's bar.
    void Update();
    void Assign(TPersistent* Source) override;

private:
    friend class TScrollingWinControl;
    int pageSize() const;
    // Sets the range without scrolling back (AutoScroll recomputation).
    void setRangeQuietly(int value) { range_ = value; }

    TScrollingWinControl* control_;
    TScrollBarKind kind_;
    int range_ = 0;
    int position_ = 0;
    int increment_ = 8;
    int margin_ = 0;
    bool visible_ = true;
    bool tracking_ = false;

public:
    BRIM_PROPERTY(Range, TControlScrollBar::GetRange, TControlScrollBar::SetRange);
    BRIM_PROPERTY(Position, TControlScrollBar::GetPosition, TControlScrollBar::SetPosition);
    BRIM_PROPERTY(Increment, TControlScrollBar::GetIncrement, TControlScrollBar::SetIncrement);
    BRIM_PROPERTY(Visible, TControlScrollBar::GetVisible, TControlScrollBar::SetVisible);
    BRIM_PROPERTY(Tracking, TControlScrollBar::GetTracking, TControlScrollBar::SetTracking);
    BRIM_PROPERTY(Margin, TControlScrollBar::GetMargin, TControlScrollBar::SetMargin);
    BRIM_READONLY(Kind, TControlScrollBar::GetKind);
};

class TScrollingWinControl : public TWinControl {
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;

    // Moves every child by (DeltaX, DeltaY) pixels and scrolls the window's pixels.
    void ScrollBy(int DeltaX, int DeltaY);
    // Scrolls so that the control (a descendant) is inside the client area.
    void ScrollInView(TControl* AControl);
    // Recomputes the AutoScroll ranges and shows both bars.
    void UpdateScrollBars();

    TControlScrollBar* GetHorzScrollBar() const { return horz_; }
    void SetHorzScrollBar(TControlScrollBar* value) { horz_->Assign(value); }
    TControlScrollBar* GetVertScrollBar() const { return vert_; }
    void SetVertScrollBar(TControlScrollBar* value) { vert_->Assign(value); }
    bool GetAutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool value);

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void AdjustClientRect(TRect& Rect) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    // With AutoScroll: the ranges become the children's extent.
    virtual void CalcAutoRange();

private:
    friend class TControlScrollBar;
    TControlScrollBar* horz_;
    TControlScrollBar* vert_;
    bool autoScroll_ = true;
    bool updatingBars_ = false;

public:
    BRIM_PROPERTY(HorzScrollBar, TScrollingWinControl::GetHorzScrollBar, TScrollingWinControl::SetHorzScrollBar);
    BRIM_PROPERTY(VertScrollBar, TScrollingWinControl::GetVertScrollBar, TScrollingWinControl::SetVertScrollBar);
    BRIM_PROPERTY(AutoScroll, TScrollingWinControl::GetAutoScroll, TScrollingWinControl::SetAutoScroll);
};

class TScrollBox : public TScrollingWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);

    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TBorderStyle borderStyle_ = bsSingle;

public:
    BRIM_PROPERTY(BorderStyle, TScrollBox::GetBorderStyle, TScrollBox::SetBorderStyle);
};
