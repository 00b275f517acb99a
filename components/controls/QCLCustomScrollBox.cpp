// The library's scroll box; see QCLCustomScrollBox.h.
#include "components/controls/QCLCustomScrollBox.h"

#include "framework/Forms.h"
#include "framework/Win32Handles.h"

TQCLCustomScrollBox::TQCLCustomScrollBox(TComponent* AOwner)
    : TScrollBox(AOwner), bevel_(new TQCLBevel), canvas_(new TCanvas) {
    bevel_->SetMode(bmWindows);
    bevel_->SetSupportsClientEdge(true);
    bevel_->OnChange = TNotifyEvent(this, &TQCLCustomScrollBox::GetChange);
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csReplicatable});
    SetBorderStyle(bsNone);
    SetCtl3D(true);
    SetBounds(GetLeft(), GetTop(), 185, 41);
    RecreateWnd();
}

TQCLCustomScrollBox::~TQCLCustomScrollBox() {
    bevel_->OnChange = nullptr;
    delete bevel_;
    delete canvas_;
}

void TQCLCustomScrollBox::CreateParams(TCreateParams& Params) {
    TScrollBox::CreateParams(Params);
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
    Params.Style |= WS_CLIPCHILDREN;
    if (bevel_->GetMode() != bmWindows) return;
    if (NewStyleControls && GetCtl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
}

bool TQCLCustomScrollBox::VertScrollBarVisible() const {
    return handle_ && (GetWindowLongA(handle_, GWL_STYLE) & WS_VSCROLL) != 0;
}

bool TQCLCustomScrollBox::HorzScrollBarVisible() const {
    return handle_ && (GetWindowLongA(handle_, GWL_STYLE) & WS_HSCROLL) != 0;
}

TQCLBackBorder TQCLCustomScrollBox::border(bool withBevel) const {
    TQCLBackBorder b;
    if (withBevel) b.bevelExtent = bevel_->GetBevelExtend();
    if (VertScrollBarVisible()) b.scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    if (HorzScrollBarVisible()) b.scrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    return b;
}

TPoint TQCLCustomScrollBox::BackMapPoint(const TPoint& Point) {
    return QCLChildBackMapPoint(this, BackBitmapCheck(), Point, border(true));
}

bool TQCLCustomScrollBox::BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset) {
    return QCLChildBackDrawArea(this, BackBitmap(), Canvas, Rect, Offset, border(false));
}

void TQCLCustomScrollBox::SetBevel(TQCLBevel* Value) {
    bevel_->Assign(Value);
    Perform(CM_QCLBEVELCHANGED, 0, 0);
}

void TQCLCustomScrollBox::SetTransparent(bool Value) {
    if (Value == transparent_) return;
    transparent_ = Value;
    TControlStyle style = GetControlStyle();
    if (Value) style >> csOpaque;
    else style << csOpaque;
    SetControlStyle(style);
    RecreateWnd();
    Invalidate();
}

void TQCLCustomScrollBox::SetDelta(std::uint8_t Value) {
    if (Value == 0 || Value == delta_) return;
    delta_ = Value;
    counter_ = 0;
}

void TQCLCustomScrollBox::GetChange(TObject* Sender) {
    if (Sender == bevel_) {
        RecreateWnd();
        bevel_->SetSupportsClientEdge(true);
        return;
    }
    if (HandleAllocated()) SendMessageA(handle_, WM_NCPAINT, 1, 0);
    Invalidate();
}

void TQCLCustomScrollBox::PaintBevel() {
    const int w = GetWidth(), h = GetHeight();
    TRect inner = bevel_->PaintBevel(canvas_, TRect(0, 0, w, h), false);
    if (!ScrollBarsVisible()) return;
    if (bevel_->GetMode() == bmWindows) {
        const int cut = GetCtl3D() ? 2 : 1;
        inner.Right -= cut;
        inner.Bottom -= cut;
    }
    TRect corner(inner.Right - GetSystemMetrics(SM_CXVSCROLL), inner.Bottom - GetSystemMetrics(SM_CYHSCROLL),
                 inner.Right, inner.Bottom);
    if (CheckOptimized() && BackDrawArea(canvas_, corner, TPoint(0, 0))) return;
    canvas_->GetBrush()->SetStyle(bsSolid);
    canvas_->GetBrush()->SetColor(GetColor());
    canvas_->FillRect(corner);
}

void TQCLCustomScrollBox::PaintWindow(HDC DC) {
    if (GetComponentState().Contains(csLoading) || !DC) return;
    canvas_->Lock();
    canvas_->SetHandle(DC);
    struct Unbind {
        TCanvas* canvas;
        ~Unbind() {
            canvas->SetHandle(nullptr);
            canvas->Unlock();
        }
    } unbind{canvas_};
    Paint();
}

void TQCLCustomScrollBox::Paint() {
    BackDrawArea(canvas_, GetClientRect(), TPoint(0, 0));
    if (OnPaint) OnPaint(this);
}

void TQCLCustomScrollBox::scrolled(TMessage& Message, bool vertical) {
    if (!CheckOptimized()) return;
    ++counter_;
    const bool ended = vertical && LOWORD(Message.WParam) == SB_ENDSCROLL;
    if (counter_ < delta_ && !ended) return;
    counter_ = 0;
    if (HandleAllocated()) InvalidateRect(handle_, nullptr, FALSE);
    NotifyControls(CM_QCLSCROLLBOXSCROLLEVENT);
}

void TQCLCustomScrollBox::Dispatch(TMessage& Message) {
    const bool loading = GetComponentState().Contains(csLoading);
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        TScrollBox::Dispatch(Message);
        auto* rect = reinterpret_cast<RECT*>(Message.LParam);
        const int e = bevel_->GetBevelExtend(), r = QCLBevelRightBottomExtent(bevel_);
        rect->left += e;
        rect->top += e;
        rect->right -= r;
        rect->bottom -= r;
        return;
    }
    case WM_NCPAINT: {
        if (loading && !IsWindowVisible(handle_)) return;
        TScrollBox::Dispatch(Message);
        win32::WindowDC dc(handle_, GetWindowDC(handle_));
        if (!dc.get()) return;
        canvas_->Lock();
        canvas_->SetHandle(dc.get());
        struct Unbind {
            TCanvas* canvas;
            ~Unbind() {
                canvas->SetHandle(nullptr);
                canvas->Unlock();
            }
        } unbind{canvas_};
        PaintBevel();
        return;
    }
    case WM_ERASEBKGND:
        if (CheckOptimized()) {
            Message.Result = 1;
            if (GetControlCount() < 2) PaintWindow(reinterpret_cast<HDC>(Message.WParam));
            return;
        }
        TScrollBox::Dispatch(Message);
        return;
    case WM_SIZE:
        TScrollBox::Dispatch(Message);
        GetChange(nullptr);
        return;
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
        TScrollBox::Dispatch(Message);
        if (!transparent_ && !loading) {
            Invalidate();
            if (ScrollBarsVisible()) SendMessageA(handle_, WM_NCPAINT, 1, 0);
        }
        return;
    case CM_QCLBACKCHANGED:
        Invalidate();
        if (CheckOptimized()) NotifyControls(CM_QCLBACKCHANGED);
        return;
    case WM_MOVE:
        TScrollBox::Dispatch(Message);
        if (CheckOptimized()) {
            Repaint();
            NotifyControls(CM_QCLBACKCHANGED);
        }
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        TScrollBox::Dispatch(Message);
        scrolled(Message, Message.Msg == WM_VSCROLL);
        return;
    case CM_CTL3DCHANGED:
        if (NewStyleControls && bevel_->GetMode() == bmWindows) RecreateWnd();
        TScrollBox::Dispatch(Message);
        return;
    default:
        TScrollBox::Dispatch(Message);
    }
}
