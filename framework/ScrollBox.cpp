/*
 * Scroll bars of a scrolling control and the scroll box; see ScrollBox.h.
 */
#include "framework/ScrollBox.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TControlScrollBar

void TControlScrollBar::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TControlScrollBar*>(Source)) {
        visible_ = other->visible_;
        increment_ = other->increment_;
        tracking_ = other->tracking_;
        margin_ = other->margin_;
        SetRange(other->range_);
        SetPosition(other->position_);
        return;
    }
    TPersistent::Assign(Source);
}

int TControlScrollBar::pageSize() const {
    TRect client = control_->GetClientRect();
    return kind_ == sbHorizontal ? client.Width() : client.Height();
}

int TControlScrollBar::MaxPosition() const { return std::max(0, range_ - pageSize()); }

bool TControlScrollBar::IsScrollBarVisible() const { return visible_ && range_ > pageSize(); }

void TControlScrollBar::SetRange(int value) {
    // An explicit range ends the automatic one, as the framework did.
    control_->autoScroll_ = false;
    range_ = std::max(0, value);
    Update();
    if (position_ > MaxPosition()) SetPosition(MaxPosition());
}

void TControlScrollBar::SetPosition(int value) {
    // Children may have moved since the last realign: take the range afresh.
    control_->CalcAutoRange();
    value = std::max(0, std::min(value, MaxPosition()));
    if (value == position_) return;
    int delta = position_ - value;
    position_ = value;
    if (kind_ == sbHorizontal) control_->ScrollBy(delta, 0);
    else control_->ScrollBy(0, delta);
    Update();
}

void TControlScrollBar::SetVisible(bool value) {
    if (SetIfChanged(visible_, value)) Update();
}

void TControlScrollBar::Update() {
    if (!control_->HandleAllocated()) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (visible_ && range_ > 0) {
        info.nMax = range_ - 1;
        info.nPage = static_cast<UINT>(std::max(0, pageSize()));
        info.nPos = position_;
    }
    SetScrollInfo(control_->GetHandle(), kind_ == sbHorizontal ? SB_HORZ : SB_VERT, &info, TRUE);
}

void TControlScrollBar::ScrollMessage(TMessage& Message) {
    int page = std::max(1, pageSize());
    switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: SetPosition(position_ - increment_); break;
    case SB_LINEDOWN: SetPosition(position_ + increment_); break;
    case SB_PAGEUP: SetPosition(position_ - page); break;
    case SB_PAGEDOWN: SetPosition(position_ + page); break;
    case SB_THUMBPOSITION: SetPosition(static_cast<short>(HIWORD(Message.WParam))); break;
    case SB_THUMBTRACK:
        if (tracking_) SetPosition(static_cast<short>(HIWORD(Message.WParam)));
        break;
    case SB_TOP: SetPosition(0); break;
    case SB_BOTTOM: SetPosition(MaxPosition()); break;
    default: break;
    }
    Message.Result = 0;
}

// ---------------------------------------------------------------------------
// TScrollingWinControl

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner), horz_(new TControlScrollBar(this, sbHorizontal)),
      vert_(new TControlScrollBar(this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() {
    delete horz_;
    delete vert_;
}

void TScrollingWinControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TScrollingWinControl::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollingWinControl::SetAutoScroll(bool value) {
    if (!SetIfChanged(autoScroll_, value)) return;
    if (value) UpdateScrollBars();
}

void TScrollingWinControl::AdjustClientRect(TRect& Rect) {
    // The content rectangle, moved by the scroll positions.
    Rect = Bounds(-horz_->position_, -vert_->position_, std::max(horz_->range_, Rect.Width()),
                  std::max(vert_->range_, Rect.Height()));
    TWinControl::AdjustClientRect(Rect);
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    CalcAutoRange();
    TWinControl::AlignControls(AControl, Rect);
    if (!updatingBars_) {
        horz_->Update();
        vert_->Update();
    }
}

void TScrollingWinControl::CalcAutoRange() {
    if (!autoScroll_) return;
    int right = 0, bottom = 0, rightMargin = 0, bottomMargin = 0;
    for (int i = 0; i < GetControlCount(); ++i) {
        TControl* c = GetControl(i);
        if (!c->GetVisible()) continue;
        TAlign align = c->GetAlign();
        TAnchors anchors = c->GetAnchors();
        if (align == alLeft || (align == alNone && !anchors.Contains(akRight)))
            right = std::max(right, horz_->position_ + c->GetLeft() + c->GetWidth());
        if (align == alRight) rightMargin += c->GetWidth();
        if (align == alTop || (align == alNone && !anchors.Contains(akBottom)))
            bottom = std::max(bottom, vert_->position_ + c->GetTop() + c->GetHeight());
        if (align == alBottom) bottomMargin += c->GetHeight();
    }
    horz_->setRangeQuietly(right + rightMargin + horz_->margin_);
    vert_->setRangeQuietly(bottom + bottomMargin + vert_->margin_);
}

void TScrollingWinControl::UpdateScrollBars() {
    if (updatingBars_) return;
    updatingBars_ = true;
    try {
        CalcAutoRange();
        // Showing one bar shrinks the other direction's page: settle twice.
        for (int pass = 0; pass < 2; ++pass) {
            horz_->Update();
            vert_->Update();
        }
        if (horz_->position_ > horz_->MaxPosition()) horz_->SetPosition(horz_->MaxPosition());
        if (vert_->position_ > vert_->MaxPosition()) vert_->SetPosition(vert_->MaxPosition());
    } catch (...) {
        updatingBars_ = false;
        throw;
    }
    updatingBars_ = false;
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    bool onScreen = HandleAllocated() && IsWindowVisible(GetHandle());
    if (onScreen)
        ScrollWindowEx(GetHandle(), DeltaX, DeltaY, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    DisableAlign();
    try {
        std::vector<TControl*> children;
        for (int i = 0; i < GetControlCount(); ++i) children.push_back(GetControl(i));
        for (TControl* child : children) {
            auto* windowed = dynamic_cast<TWinControl*>(child);
            if (windowed && windowed->HandleAllocated()) {
                // On screen the system moved the window; its WM_MOVE updated the bounds.
                if (!onScreen)
                    SetWindowPos(windowed->GetHandle(), nullptr, windowed->GetLeft() + DeltaX,
                                 windowed->GetTop() + DeltaY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            } else {
                child->SetBounds(child->GetLeft() + DeltaX, child->GetTop() + DeltaY, child->GetWidth(),
                                 child->GetHeight());
            }
        }
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
    if (!AControl) return;
    TRect rect = AControl->BoundsRect();
    TControl* c = AControl->GetParent();
    for (; c && c != this; c = c->GetParent()) {
        rect.Left += c->GetLeft();
        rect.Right += c->GetLeft();
        rect.Top += c->GetTop();
        rect.Bottom += c->GetTop();
    }
    if (c != this) return;
    TRect client = GetClientRect();
    auto bring = [](TControlScrollBar* bar, int low, int high, int size) {
        if (low < 0) bar->SetPosition(bar->GetPosition() + low - bar->GetMargin());
        else if (high > size) {
            int move = std::min(high - size + bar->GetMargin(), low);
            bar->SetPosition(bar->GetPosition() + move);
        }
    };
    bring(horz_, rect.Left, rect.Right, client.Width());
    bring(vert_, rect.Top, rect.Bottom, client.Height());
}

void TScrollingWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (Message.LParam == 0) {
            (Message.Msg == WM_HSCROLL ? horz_ : vert_)->ScrollMessage(Message);
            return;
        }
        break;
    case WM_SIZE:
        TWinControl::Dispatch(Message);
        UpdateScrollBars();
        return;
    case CM_FOCUSCHANGED:
        ScrollInView(reinterpret_cast<TControl*>(Message.LParam));
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (borderStyle_ == bsSingle) {
        if (GetCtl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TScrollBox::SetBorderStyle(TBorderStyle value) {
    if (SetIfChanged(borderStyle_, value)) RecreateWnd();
}

void TScrollBox::Dispatch(TMessage& Message) {
    // The border is a client edge with Ctl3D, else a plain line: only a new window shows the change.
    if (Message.Msg == CM_CTL3DCHANGED && borderStyle_ == bsSingle) RecreateWnd();
    TScrollingWinControl::Dispatch(Message);
}
