// The library's progress meters; see QCLProgress.h.
#include "components/controls/QCLProgress.h"

#include "components/runtime/Qclutils.h"

#include <algorithm>
#include <cstdio>

long long QCLRoundHalfEven(long long Numerator, long long Denominator) {
    if (Denominator < 0) {
        Numerator = -Numerator;
        Denominator = -Denominator;
    }
    long long quotient = Numerator / Denominator;
    long long remainder = Numerator % Denominator;
    if (remainder < 0) {  // floor division
        --quotient;
        remainder += Denominator;
    }
    long long twice = 2 * remainder;
    if (twice > Denominator || (twice == Denominator && (quotient % 2 != 0))) ++quotient;
    return quotient;
}

// ---------------------------------------------------------------------------
// TQCLSmallBar

void TQCLSmallBar::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TQCLSmallBar*>(Source);
    if (!other) {
        TQCLObject::Assign(Source);
        return;
    }
    autoSize_ = other->autoSize_;
    barCount_ = other->barCount_;
    barColor_ = other->barColor_;
    hSpace_ = other->hSpace_;
    vSpace_ = other->vSpace_;
    Change();
}

void TQCLSmallBar::SetBarCount(std::uint8_t Value) {
    if (Value < 1) return;
    QCLSetField(this, barCount_, Value);
}

int TQCLSmallBar::GetBarExtend(TQCLMeterDirection Direction, int Width, int Height) const {
    const int n = std::max<int>(1, barCount_);
    if (Direction == mdHorizontal || Direction == mdHorizontalReverse) return (Width - hSpace_ * n) / n;
    return (Height - vSpace_ * n) / n;
}

// ---------------------------------------------------------------------------
// TQCLBaseMeter

TQCLBaseMeter::TQCLBaseMeter(TComponent* AOwner) : TQCLGraphicControl(AOwner), font3D_(new TQCL3DCaption) {
    DisableTransMode();
    TControlStyle style = GetControlStyle();
    style >> csSetCaption;
    style << csReplicatable;
    SetControlStyle(style);
    bevel_->BeginUpdate();
    bevel_->SetStyleOuter(TQCLBevelStyle::bvLowered);
    bevel_->EndUpdate(false);
    font3D_->OnChange = TNotifyEvent(this, &TQCLBaseMeter::GetChange);
    SetBounds(GetLeft(), GetTop(), 80, 20);
}

TQCLBaseMeter::~TQCLBaseMeter() {
    font3D_->OnChange = nullptr;
    delete font3D_;
}

void TQCLBaseMeter::repaint() { InvalidateControl(); }

void TQCLBaseMeter::positionFromUser() {
    long long p = QCLRoundHalfEven(static_cast<long long>(userValue_ - static_cast<long long>(minValue_)) * 100,
                                   static_cast<long long>(maxValue_) - minValue_);
    position_ = static_cast<int>(std::clamp<long long>(p, 0, 100));
}

void TQCLBaseMeter::userFromPosition() {
    long long range = static_cast<long long>(maxValue_) - minValue_;
    userValue_ = static_cast<int>(minValue_ + QCLRoundHalfEven(position_ * range, 100));
}

void TQCLBaseMeter::SetMaxValue(int Value) {
    if (Value == maxValue_ || Value == minValue_) return;
    const int oldMin = minValue_;
    minValue_ = std::min(Value, oldMin);
    maxValue_ = std::max(Value, oldMin);
    if (userValue_ < minValue_ || userValue_ > maxValue_) userValue_ = maxValue_;
    positionFromUser();
    repaint();
}

void TQCLBaseMeter::SetMinValue(int Value) {
    if (Value == minValue_ || Value == maxValue_) return;
    const int oldMax = maxValue_;
    minValue_ = std::min(Value, oldMax);
    maxValue_ = std::max(Value, oldMax);
    if (userValue_ < minValue_ || userValue_ > maxValue_) userValue_ = minValue_;
    positionFromUser();
    repaint();
}

void TQCLBaseMeter::SetUserValue(int Value) {
    if (Value == userValue_ || Value < minValue_ || Value > maxValue_) return;
    userValue_ = Value;
    positionFromUser();
    Draw();
}

void TQCLBaseMeter::SetPercentValue(int Value) {
    if (Value == position_) return;
    position_ = std::clamp(Value, 0, 100);
    userFromPosition();
    Draw();
}

void TQCLBaseMeter::Add(int N) {
    if (N == 0) return;
    position_ = std::min(position_ + N, 100);
    Draw();
}

void TQCLBaseMeter::Sub(int N) {
    if (N == 0) return;
    position_ = std::max(position_ - N, 0);
    Draw();
}

void TQCLBaseMeter::SetAlignment(TAlignment Value) {
    alignment_ = Value;
    repaint();
}

void TQCLBaseMeter::SetDirection(TQCLMeterDirection Value) {
    direction_ = Value;
    repaint();
}

void TQCLBaseMeter::SetTextOptions(TQCLMeterTextOptions Value) {
    optionsText_ = Value;
    repaint();
}

void TQCLBaseMeter::SetUseFontColor(bool Value) {
    useFontColor_ = Value;
    repaint();
}

int TQCLBaseMeter::BarExtent(int Size) const { return std::min(Size, position_ * Size / 100); }

void TQCLBaseMeter::BarRects(int W, int H, TRect& Dest, TRect& NotDest) const {
    const TRect area(0, 0, W, H);
    switch (direction_) {
    case mdHorizontal: Dest = TRect(0, 0, BarExtent(W), H); break;
    case mdVertical: Dest = TRect(0, 0, W, BarExtent(H)); break;
    case mdHorizontalReverse: Dest = TRect(W - BarExtent(W), 0, W, H); break;
    case mdVerticalReverse: Dest = TRect(0, H - BarExtent(H), W, H); break;
    }
    RECT rest;
    if (!SubtractRect(&rest, area.rc(), Dest.rc())) rest = RECT{0, 0, 0, 0};
    NotDest = TRect(rest.left, rest.top, rest.right, rest.bottom);
}

void TQCLBaseMeter::Paint() {
    if (IsLoading()) return;
    struct ClearGuard {
        bool& guard;
        ~ClearGuard() { guard = false; }
    } clear{boundsGuard_};
    if (CorrectBounds()) return;  // the new size brings its own paint
    lastDrawn_ = 0;
    FillControl();
    barArea_ = bevel_->PaintBevel(GetCanvas(), GetClientRect(), false);
    drawValue(true);
}

void TQCLBaseMeter::Draw() {
    // Outside a paint the bar goes straight onto the parent's window, which
    // must be on screen for that.
    TWinControl* parent = GetParent();
    if (!parent || !parent->HandleAllocated() || !GetVisible() || !IsWindowVisible(parent->GetHandle())) return;
    drawValue(false);
}

void TQCLBaseMeter::drawValue(bool force) {
    if (painting_ || IsLoading()) return;
    const int v = GetDrawValue();
    if (!force && v != 0 && std::abs(v - lastDrawn_) < delta_ && !(optionsText_ == toPercent && v != lastDrawn_))
        return;
    const TRect area = bevel_->ClientRect(GetClientRect());
    if (area.Width() <= 0 || area.Height() <= 0) return;
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    QCLBmpCreateFromRect(&bitmap, area, GetColor());
    const int w = area.Width(), h = area.Height();
    TRect dest, notDest;
    BarRects(w, h, dest, notDest);
    DrawBar(bitmap.GetCanvas(), dest, notDest, TRect(0, 0, w, h));
    TCanvas* canvas = GetCanvas();
    canvas->CopyRect(TRect(area.Left, area.Top, area.Left + w, area.Top + h), bitmap.GetCanvas(), TRect(0, 0, w, h));
    lastDrawn_ = v;
}

void TQCLBaseMeter::DrawBar(TCanvas*, const TRect&, const TRect&, const TRect&) {}

void TQCLBaseMeter::DrawCaption(TCanvas* Canvas, const TRect& Dest, const TRect& NotDest, const TRect& ARect,
                                bool UseColor, TColor Color) {
    if (optionsText_ == toNoText) return;
    Canvas->SetFont(GetFont());
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->GetBrush()->SetColor(GetColor());
    AnsiString text;
    if (optionsText_ == toCaption) {
        text = GetText();
    } else {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%d%%", GetDrawValue() & 0x7F);
        text = buffer;
    }
    static const UINT alignFlags[] = {0, DT_RIGHT, DT_CENTER};
    const UINT flags = alignFlags[alignment_] | DT_SINGLELINE | DT_VCENTER;
    TQCLDrawTextStyles state{GetEnabled() ? dtEnabled : dtDisabled};
    if (useFontColor_) {
        QCLDrawTextExt(Canvas, text, font3D_, ARect, flags, state, nullptr);
        return;
    }
    TQCLDrawTextStyles clipped = state;
    clipped << dtClip;
    Canvas->GetFont()->SetColor(GetColor());
    if (!Dest.IsEmpty()) QCLDrawTextExt(Canvas, text, font3D_, ARect, flags, clipped, &Dest);
    Canvas->GetFont()->SetColor(UseColor ? Color : GetFont()->GetColor());
    if (!NotDest.IsEmpty()) QCLDrawTextExt(Canvas, text, font3D_, ARect, flags, clipped, &NotDest);
}

void TQCLBaseMeter::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED) {
        repaint();
        return;
    }
    TQCLGraphicControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TQCLCustomProgress

TQCLCustomProgress::TQCLCustomProgress(TComponent* AOwner) : TQCLBaseMeter(AOwner), smallBar_(new TQCLSmallBar) {
    smallBar_->OnChange = TNotifyEvent(this, &TQCLCustomProgress::GetChange);
    SetDelta(5);
}

TQCLCustomProgress::~TQCLCustomProgress() {
    smallBar_->OnChange = nullptr;
    delete smallBar_;
}

void TQCLCustomProgress::updateDelta() {
    SetDelta(1);
    if (blocks() && GetOptionsText() != toPercent)
        SetDelta(static_cast<std::uint8_t>((100 / std::max<int>(1, smallBar_->GetBarCount())) / 2));
}

void TQCLCustomProgress::GetChange(TObject* Sender) {
    if (Sender == smallBar_) updateDelta();
    TQCLBaseMeter::GetChange(Sender);
}

void TQCLCustomProgress::SetBarColor(TColor Value) {
    barColor_ = Value;  // always kept, shown by the solid bar only
    if (style_ == pgBar) repaint();
}

void TQCLCustomProgress::SetBar3D(TQCLBorderStyle Value) {
    bar3D_ = Value;
    if (style_ == pgBar) repaint();
}

void TQCLCustomProgress::SetStyle(TQCLProgressStyle Value) {
    style_ = Value;
    updateDelta();
    repaint();
}

bool TQCLCustomProgress::CorrectBounds() {
    if (boundsGuard_) return false;
    if (!blocks() || GetAlign() != alNone || !smallBar_->GetAutoSize()) return false;
    const int d = DblBevelExt();
    const int n = smallBar_->GetBarCount();
    const int e = smallBar_->GetBarExtend(GetDirection(), GetWidth() - d, GetHeight() - d);
    bool resized = false;
    if (GetDirection() == mdHorizontal || GetDirection() == mdHorizontalReverse) {
        const int w = (e + smallBar_->GetHSpace()) * n + smallBar_->GetHSpace() + d;
        if (w != GetWidth()) {
            SetBounds(GetLeft(), GetTop(), w, GetHeight());
            resized = true;
        }
    } else {
        const int h = (e + smallBar_->GetVSpace()) * n + smallBar_->GetVSpace() + d;
        if (h != GetHeight()) {
            SetBounds(GetLeft(), GetTop(), GetWidth(), h);
            resized = true;
        }
    }
    boundsGuard_ = resized;
    return resized;
}

void TQCLCustomProgress::DrawBar(TCanvas* Canvas, const TRect& Dest, const TRect& NotDest, const TRect& ARect) {
    switch (style_) {
    case pgBar: {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(barColor_);
        Canvas->FillRect(Dest);
        TRect frame = Dest;
        if (GetPosition() > 0) QCLDrawStdFrame(Canvas, frame, bar3D_, 0);
        DrawCaption(Canvas, Dest, NotDest, ARect, true, barColor_);
        return;
    }
    case pgSmallBar:
    case pgSmallBarColor: {
        const int n = std::max<int>(1, smallBar_->GetBarCount());
        const int h = smallBar_->GetHSpace(), s = smallBar_->GetVSpace();
        const int e = smallBar_->GetBarExtend(GetDirection(), ARect.Width(), ARect.Height());
        const auto count = static_cast<std::uint16_t>(QCLRoundHalfEven(static_cast<long long>(GetDrawValue()) * n, 100));
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(smallBar_->GetBarColor());
        if (e == 0) {
            Canvas->FillRect(TRect(Dest.Left + h, Dest.Top + s, Dest.Right - h, Dest.Bottom - s));
        } else {
            for (int i = 0; i < count; ++i) {
                const bool reverse = GetDirection() == mdHorizontalReverse || GetDirection() == mdVerticalReverse;
                const int k = reverse ? n - 1 - i : i;
                TRect block;
                if (GetDirection() == mdHorizontal || GetDirection() == mdHorizontalReverse)
                    block = TRect(h + (h + e) * k, s, (k + 1) * (h + e), ARect.Bottom - s);
                else
                    block = TRect(h, s + (s + e) * k, ARect.Right - h, (k + 1) * (s + e));
                if (style_ == pgSmallBarColor && OnGetColor) {
                    TColor color = smallBar_->GetBarColor();
                    OnGetColor(this, static_cast<std::uint8_t>(i), color);
                    Canvas->GetBrush()->SetColor(color);
                }
                Canvas->FillRect(block);
            }
        }
        DrawCaption(Canvas, Dest, NotDest, ARect, true, smallBar_->GetBarColor());
        return;
    }
    case pgOwnerDraw:
        if (OnPaint) OnPaint(this, Canvas, Dest, NotDest, ARect);
        return;
    }
}

// ---------------------------------------------------------------------------
// TQCLCustomProgressFill

TQCLCustomProgressFill::TQCLCustomProgressFill(TComponent* AOwner)
    : TQCLBaseMeter(AOwner), fill_(new TQCLFillObject) {
    fill_->OnChange = TNotifyEvent(this, &TQCLCustomProgressFill::GetChange);
    SetControlStyle(GetControlStyle() << csReplicatable);
}

TQCLCustomProgressFill::~TQCLCustomProgressFill() {
    fill_->OnChange = nullptr;
    delete fill_;
}

void TQCLCustomProgressFill::SetBar3D(TQCLBorderStyle Value) {
    bar3D_ = Value;
    repaint();
}

void TQCLCustomProgressFill::SetBack(TColor Value) {
    brushBackColor_ = Value;
    repaint();
}

void TQCLCustomProgressFill::GetIMLChange(TObject* Sender) {
    if (IMLEmpty()) {
        fill_->SetListBitmap(nullptr);
    } else {
        TBitmap item;
        GetImageList()->GetBitmapItem(GetListIndex(), GetImageIndex(), &item);
        fill_->SetListBitmap(&item);
    }
    TQCLBaseMeter::GetIMLChange(Sender);
}

void TQCLCustomProgressFill::DrawBar(TCanvas* Canvas, const TRect& Dest, const TRect& NotDest, const TRect& ARect) {
    if (!Dest.IsEmpty()) fill_->ClipFill(Canvas, Dest, brushBackColor_, 0);
    TRect frame = Dest;
    if (GetPosition() > 0) QCLDrawStdFrame(Canvas, frame, bar3D_, 0);
    const TQCLFillStyle style = fill_->GetStyle();
    if (style == sfNone || style == sfBrush)
        DrawCaption(Canvas, Dest, NotDest, ARect, true, fill_->GetBrush()->GetColor());
    else
        DrawCaption(Canvas, Dest, NotDest, ARect, false, clNone);
}
