/*
 * Panel, image, shape and splitter; see ExtCtrls.h.
 */
#include "framework/ExtCtrls.h"

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->GetPen()->SetWidth(1);
    Canvas->GetPen()->SetStyle(psSolid);
    Rect.Bottom -= 1;
    Rect.Right -= 1;
    while (Width-- > 0) {
        Canvas->GetPen()->SetColor(TopColor);
        Canvas->Polyline({TPoint(Rect.Left, Rect.Bottom), TPoint(Rect.Left, Rect.Top), TPoint(Rect.Right, Rect.Top)});
        Canvas->GetPen()->SetColor(BottomColor);
        Canvas->Polyline({TPoint(Rect.Right, Rect.Top), TPoint(Rect.Right, Rect.Bottom),
                          TPoint(Rect.Left - 1, Rect.Bottom)});
        Rect = TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1);
    }
    Rect.Bottom += 1;
    Rect.Right += 1;
}

// ---------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks, csReplicatable});
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    if (borderStyle_ == bsSingle) {
        if (GetCtl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

int TCustomPanel::BevelExtent() const {
    int extent = borderWidth_;
    if (bevelOuter_ != bvNone) extent += bevelWidth_;
    if (bevelInner_ != bvNone) extent += bevelWidth_;
    return extent;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    int extent = BevelExtent();
    Rect = TRect(Rect.Left + extent, Rect.Top + extent, Rect.Right - extent, Rect.Bottom - extent);
}

void TCustomPanel::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect rect = GetClientRect();
    auto bevel = [&](TPanelBevel cut) {
        if (cut == bvNone) return;
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        Frame3D(canvas, rect, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    Frame3D(canvas, rect, GetColor(), GetColor(), borderWidth_);
    bevel(bevelInner_);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(rect);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->SetFont(GetFont());
    int fontHeight = canvas->TextHeight("W");
    rect.Top = (rect.Bottom + rect.Top - fontHeight) / 2;
    rect.Bottom = rect.Top + fontHeight;
    static const UINT alignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    AnsiString caption = GetText();
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), rect.rc(),
              DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | alignFlags[alignment_]);
}

void TCustomPanel::changed() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
    if (SetIfChanged(alignment_, value)) Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel value) {
    if (SetIfChanged(bevelInner_, value)) changed();
}

void TCustomPanel::SetBevelOuter(TPanelBevel value) {
    if (SetIfChanged(bevelOuter_, value)) changed();
}

void TCustomPanel::SetBevelWidth(int value) {
    if (SetIfChanged(bevelWidth_, value)) changed();
}

void TCustomPanel::SetBorderWidth(int value) {
    if (SetIfChanged(borderWidth_, value)) changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
    if (SetIfChanged(borderStyle_, value)) RecreateWnd();
}

void TCustomPanel::Dispatch(TMessage& Message) {
    // The border is a client edge with Ctl3D, else a plain line: only a new window shows the change.
    if (Message.Msg == CM_CTL3DCHANGED && borderStyle_ == bsSingle) RecreateWnd();
    if (Message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    if (Message.Msg == WM_SIZE && fullRepaint_) {
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(new TPicture) {
    SetControlStyle(GetControlStyle() + TControlStyle{csReplicatable});
    picture_->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { delete picture_; }

TRect TImage::DestRect() {
    TGraphic* graphic = picture_->GetGraphic();
    int w = graphic ? graphic->GetWidth() : 0, h = graphic ? graphic->GetHeight() : 0;
    int cw = GetWidth(), ch = GetHeight();
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_ && w > 0 && h > 0) {
            double scale = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
            w = static_cast<int>(w * scale);
            h = static_cast<int>(h * scale);
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect rect(0, 0, w, h);
    if (center_) {
        int dx = (cw - w) / 2, dy = (ch - h) / 2;
        rect = TRect(dx, dy, dx + w, dy + h);
    }
    return rect;
}

void TImage::Paint() {
    TGraphic* graphic = picture_->GetGraphic();
    if (!graphic || graphic->GetEmpty()) return;
    TRect dest = DestRect();
    TCanvas* canvas = GetCanvas();
    if (dest.Width() == graphic->GetWidth() && dest.Height() == graphic->GetHeight())
        canvas->Draw(dest.Left, dest.Top, graphic);
    else
        canvas->StretchDraw(dest, graphic);
}

void TImage::PictureChanged(TObject*) {
    TGraphic* graphic = picture_->GetGraphic();
    if (graphic && !graphic->GetEmpty()) {
        if (graphic->GetTransparent() != transparent_) graphic->SetTransparent(transparent_);
        if (GetAutoSize()) SetBounds(GetLeft(), GetTop(), graphic->GetWidth(), graphic->GetHeight());
    }
    // Opaque only when the picture covers the whole control.
    TRect dest = DestRect();
    bool covers = graphic && !graphic->GetEmpty() && !transparent_ && dest.Left <= 0 && dest.Top <= 0 &&
                  dest.Right >= GetWidth() && dest.Bottom >= GetHeight();
    TControlStyle style = GetControlStyle();
    if (covers) style << csOpaque;
    else style >> csOpaque;
    SetControlStyle(style);
    Invalidate();
}

void TImage::SetStretch(bool value) {
    if (SetIfChanged(stretch_, value)) PictureChanged(this);
}

void TImage::SetCenter(bool value) {
    if (SetIfChanged(center_, value)) PictureChanged(this);
}

void TImage::SetTransparent(bool value) {
    if (SetIfChanged(transparent_, value)) PictureChanged(this);
}

void TImage::SetProportional(bool value) {
    if (SetIfChanged(proportional_, value)) PictureChanged(this);
}

void TImage::SetAutoSize(bool value) {
    if (value == GetAutoSize()) return;
    TGraphicControl::SetAutoSize(value);
    if (value) PictureChanged(this);
}

// ---------------------------------------------------------------------------
// TShape

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), pen_(new TPen), brush_(new TBrush) {
    SetControlStyle(GetControlStyle() + TControlStyle{csReplicatable});
    SetBounds(0, 0, 65, 65);
    pen_->OnChange = TNotifyEvent(this, &TShape::styleChanged);
    brush_->OnChange = TNotifyEvent(this, &TShape::styleChanged);
}

TShape::~TShape() {
    delete pen_;
    delete brush_;
}

void TShape::SetShape(TShapeType value) {
    if (SetIfChanged(shape_, value)) Invalidate();
}

void TShape::Paint() {
    TCanvas* canvas = GetCanvas();
    canvas->SetPen(pen_);
    canvas->SetBrush(brush_);
    int penWidth = pen_->GetWidth();
    int x = penWidth / 2, y = x;
    int w = GetWidth() - penWidth + 1, h = GetHeight() - penWidth + 1;
    if (penWidth == 0) {
        --w;
        --h;
    }
    int s = std::min(w, h);
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare: canvas->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: canvas->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case stEllipse:
    case stCircle: canvas->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
    SetParentColor(true);
}

void TSplitter::SetBeveled(bool value) {
    if (SetIfChanged(beveled_, value)) Invalidate();
}

TControl* TSplitter::ResizedControl() {
    TWinControl* parent = GetParent();
    if (!parent) return nullptr;
    TPoint probe(GetLeft(), GetTop());
    switch (GetAlign()) {
    case alLeft: probe.x -= 1; break;
    case alRight: probe.x += GetWidth(); break;
    case alTop: probe.y -= 1; break;
    case alBottom: probe.y += GetHeight(); break;
    default: return nullptr;
    }
    for (int i = 0; i < parent->GetControlCount(); ++i) {
        TControl* c = parent->GetControl(i);
        if (c == this || !c->GetVisible() || !c->GetEnabled()) continue;
        TRect r = c->BoundsRect();
        if (r.Width() == 0) r.Right += 1;  // a collapsed neighbour can still be found
        if (r.Height() == 0) r.Bottom += 1;
        if (r.Left <= probe.x && probe.x < r.Right && r.Top <= probe.y && probe.y < r.Bottom) return c;
    }
    return nullptr;
}

void TSplitter::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect client = GetClientRect();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(client);
    if (beveled_) {
        TRect r = client;
        bool vertical = GetAlign() == alLeft || GetAlign() == alRight;
        if (vertical) r.Left = r.Right - 2;
        else r.Top = r.Bottom - 2;
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
    }
    if (OnPaint) OnPaint(this);
}

bool TSplitter::CanResize(int& NewSize) {
    bool accept = true;
    if (OnCanResize) OnCanResize(this, NewSize, accept);
    return accept;
}

bool TSplitter::DoCanResize(int& NewSize) {
    bool accept = CanResize(NewSize);
    if (accept && NewSize <= minSize_ && autoSnap_) NewSize = 0;
    return accept;
}

int TSplitter::calcSplitSize(int X, int Y) {
    // The splitter moves with the neighbour, so the offset from the press is
    // the change since the last move.
    bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
    int split = horizontal ? X - downPos_.x : Y - downPos_.y;
    int size = 0;
    switch (GetAlign()) {
    case alLeft: size = control_->GetWidth() + split; break;
    case alRight: size = control_->GetWidth() - split; break;
    case alTop: size = control_->GetHeight() + split; break;
    case alBottom: size = control_->GetHeight() - split; break;
    default: break;
    }
    return std::max(minSize_, std::min(size, maxSize_));
}

void TSplitter::updateControlSize() {
    if (!control_ || newSize_ == oldSize_) return;
    TWinControl* parent = GetParent();
    switch (GetAlign()) {
    case alLeft: control_->SetWidth(newSize_); break;
    case alTop: control_->SetHeight(newSize_); break;
    case alRight:
        parent->DisableAlign();
        control_->SetBounds(control_->GetLeft() + control_->GetWidth() - newSize_, control_->GetTop(), newSize_,
                            control_->GetHeight());
        parent->EnableAlign();
        break;
    case alBottom:
        parent->DisableAlign();
        control_->SetBounds(control_->GetLeft(), control_->GetTop() + control_->GetHeight() - newSize_,
                            control_->GetWidth(), newSize_);
        parent->EnableAlign();
        break;
    default: break;
    }
    parent->Update();
    oldSize_ = newSize_;
    if (OnMoved) OnMoved(this);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    control_ = ResizedControl();
    downPos_ = TPoint(X, Y);
    if (!control_) return;
    TWinControl* parent = GetParent();
    bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
    // What the parent leaves: its client size less MinSize and every other
    // control aligned on the same axis (the splitter included).
    maxSize_ = (horizontal ? parent->GetClientWidth() : parent->GetClientHeight()) - minSize_;
    for (int i = 0; i < parent->GetControlCount(); ++i) {
        TControl* c = parent->GetControl(i);
        if (!c->GetVisible()) continue;
        TAlign align = c->GetAlign();
        if (horizontal && (align == alLeft || align == alRight)) maxSize_ -= c->GetWidth();
        if (!horizontal && (align == alTop || align == alBottom)) maxSize_ -= c->GetHeight();
    }
    maxSize_ += horizontal ? control_->GetWidth() : control_->GetHeight();
    oldSize_ = horizontal ? control_->GetWidth() : control_->GetHeight();
    newSize_ = oldSize_;
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft) || !control_) return;
    int size = calcSplitSize(X, Y);
    if (DoCanResize(size)) {
        newSize_ = size;
        updateControlSize();
    }
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!control_) return;
    updateControlSize();
    control_ = nullptr;
}
