// The library's scroll box (TQCLCustomScrollBox), base of the multi-column
// list box: the framework's scroll box with a bevel in its non-client area,
// the background protocol of the panels, and a background repaint every
// Delta scroll messages.
//
// Tricky points:
// - The bevel lives in the non-client area: WM_NCCALCSIZE takes its extents
//   off the client rectangle and WM_NCPAINT paints it over the whole window
//   after the system's border; with both scroll bars shown the size-box
//   corner left inside the bevel is filled too. The window DC is released
//   and the canvas unlocked on every exit.
// - Its own BorderStyle is always bsNone: the bevel's bmWindows mode (the
//   default) gives the client edge.
// - Scrolling of a transparent box with a background repaints the window
//   and tells the children only every Delta messages (and, vertically, at
//   the end of a scroll).
#pragma once

#include "components/controls/QCLCustomPanel.h"

#include "framework/ScrollBox.h"

#include <cstdint>

class TQCLCustomScrollBox : public TScrollBox, public TQCLBackSource {
public:
    explicit TQCLCustomScrollBox(TComponent* AOwner);
    ~TQCLCustomScrollBox() override;
    AnsiString ClassName() const override { return "TQCLCustomScrollBox"; }

    void Dispatch(TMessage& Message) override;
    virtual void GetChange(TObject* Sender);
    bool BackBitmapCheck() override { return QCLChildBackCheck(this, transparent_); }
    TBitmap* BackBitmap() override { return QCLChildBackBitmap(this, BackBitmapCheck()); }
    TPoint BackMapPoint(const TPoint& Point) override;
    bool BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset) override;
    bool CheckOptimized() { return transparent_ && BackBitmapCheck(); }

    // False until the window exists.
    bool VertScrollBarVisible() const;
    bool HorzScrollBarVisible() const;
    bool ScrollBarsVisible() const { return VertScrollBarVisible() && HorzScrollBarVisible(); }
    void PaintBevel();
    TCanvas* GetCanvas() const { return canvas_; }

    TQCLBevel* GetBevel() const { return bevel_; }
    void SetBevel(TQCLBevel* Value);
    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool Value);
    std::uint8_t GetDelta() const { return delta_; }
    // 0 is refused; a new value resets the counter.
    void SetDelta(std::uint8_t Value);

    AnsiString About;
    TNotifyEvent OnPaint;

    BRIM_PROPERTY(Bevel, TQCLCustomScrollBox::GetBevel, TQCLCustomScrollBox::SetBevel);
    BRIM_PROPERTY(Transparent, TQCLCustomScrollBox::GetTransparent, TQCLCustomScrollBox::SetTransparent);
    BRIM_PROPERTY(Delta, TQCLCustomScrollBox::GetDelta, TQCLCustomScrollBox::SetDelta);
    BRIM_READONLY(Canvas, TQCLCustomScrollBox::GetCanvas);

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(HDC DC) override;
    virtual void Paint();
    TQCLBackBorder border(bool withBevel) const;
    void scrolled(TMessage& Message, bool vertical);

    TQCLBevel* bevel_;
    TCanvas* canvas_;

private:
    bool transparent_ = false;
    std::uint8_t delta_ = 1;
    std::uint8_t counter_ = 0;
};
