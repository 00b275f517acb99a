// The library's windowed containers; see QCLCustomPanel.h.
#include "components/controls/QCLCustomPanel.h"

#include "components/runtime/Qclutils.h"
#include "components/runtime/qclregion.h"

#include "framework/Forms.h"

// ---------------------------------------------------------------------------
// Background lookup

namespace {

// The library parent with a window, or null.
TQCLBackSource* libraryParent(TWinControl* self) { return QCLParentBackSource(self); }

// The form shape of a parent form with a window, or null.
TQCLFormShape* formShapeOf(TWinControl* self) {
    TWinControl* parent = self->GetParent();
    if (!dynamic_cast<TCustomForm*>(parent) || !parent->HandleAllocated()) return nullptr;
    return QCLFindFormShape(self->GetOwnerComponent());
}

// Half the border on each axis, less the visible scroll bars.
TPoint borderHalves(TWinControl* self, const TQCLBackBorder& border) {
    TPoint p(0, 0);
    int dw = self->GetWidth() - self->GetClientWidth() - border.scrollWidth;
    int dh = self->GetHeight() - self->GetClientHeight() - border.scrollHeight;
    if (self->GetClientWidth() != self->GetWidth()) p.x = dw / 2;
    if (self->GetClientHeight() != self->GetHeight()) p.y = dh / 2;
    return p;
}

}  // namespace

bool QCLChildBackCheck(TWinControl* Self, bool Transparent) {
    if (!Transparent) return false;
    if (TQCLBackSource* parent = libraryParent(Self)) return parent->BackBitmapCheck();
    if (TQCLFormShape* shape = formShapeOf(Self)) return shape->BackBitmapCheck();
    return false;
}

TBitmap* QCLChildBackBitmap(TWinControl* Self, bool Check) {
    if (!Check) return nullptr;
    if (TQCLBackSource* parent = libraryParent(Self)) return parent->BackBitmap();
    if (TQCLFormShape* shape = formShapeOf(Self)) return shape->BackBitmap();
    return nullptr;
}

TPoint QCLChildBackMapPoint(TWinControl* Self, bool Check, const TPoint& Point, const TQCLBackBorder& Border) {
    if (!Check) return Point;
    TPoint origin(Self->GetLeft(), Self->GetTop());
    if (TQCLBackSource* parent = libraryParent(Self)) origin = parent->BackMapPoint(origin);
    TPoint halves = borderHalves(Self, Border);
    return TPoint(origin.x + Point.x + Border.bevelExtent + halves.x, origin.y + Point.y + Border.bevelExtent + halves.y);
}

bool QCLChildBackDrawArea(TWinControl* Self, TBitmap* Bitmap, TCanvas* Canvas, const TRect& Rect,
                          const TPoint& Offset, const TQCLBackBorder& Border) {
    TComponentState state = Self->GetComponentState();
    if (state.Contains(csLoading) || state.Contains(csDestroying) || !Bitmap || !Canvas) return false;
    TPoint origin(Self->GetLeft(), Self->GetTop());
    if (TQCLBackSource* parent = libraryParent(Self)) origin = parent->BackMapPoint(origin);
    TPoint halves = borderHalves(Self, Border);
    int areaLeft = origin.x + halves.x, areaTop = origin.y + halves.y;
    TRect source(Rect.Left + areaLeft + Offset.x, Rect.Top + areaTop + Offset.y, Rect.Right + areaLeft + Offset.x,
                 Rect.Bottom + areaTop + Offset.y);
    Canvas->CopyRect(Rect, Bitmap->GetCanvas(), source);
    return true;
}

int QCLBevelRightBottomExtent(const TQCLBevel* Bevel) {
    TRect probe(0, 0, 1000, 1000);
    return probe.Right - Bevel->ClientRect(probe).Right;
}

// ---------------------------------------------------------------------------
// TQCLCustomPanel

TQCLCustomPanel::TQCLCustomPanel(TComponent* AOwner) : TQCLCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks,
                                  csReplicatable});
    SetColor(clBtnFace);
}

bool TQCLCustomPanel::BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset) {
    return QCLChildBackDrawArea(this, BackBitmap(), Canvas, Rect, Offset, TQCLBackBorder());
}

// ---------------------------------------------------------------------------
// TQCLCustomBevelPanel

TQCLCustomBevelPanel::TQCLCustomBevelPanel(TComponent* AOwner) : TQCLCustomPanel(AOwner), bevel_(new TQCLBevel) {
    bevel_->SetSupportsClientEdge(true);
    bevel_->OnChange = TNotifyEvent(this, &TQCLCustomBevelPanel::GetChange);
}

TQCLCustomBevelPanel::~TQCLCustomBevelPanel() {
    bevel_->OnChange = nullptr;
    delete bevel_;
}

void TQCLCustomBevelPanel::SetBevel(TQCLBevel* Value) {
    bevel_->Assign(Value);
    Perform(CM_QCLBEVELCHANGED, 0, 0);
}

void TQCLCustomBevelPanel::CreateParams(TCreateParams& Params) {
    TQCLCustomPanel::CreateParams(Params);
    if (bevel_->GetMode() != bmWindows) return;
    if (NewStyleControls && GetCtl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
}

void TQCLCustomBevelPanel::AlignControls(TControl* AControl, TRect& Rect) {
    Rect = bevel_->ClientRect(Rect);
    TQCLCustomPanel::AlignControls(AControl, Rect);
}

void TQCLCustomBevelPanel::GetChange(TObject* Sender) {
    if (IsLoading()) return;
    if (Sender == bevel_) {
        bevel_->SetSupportsClientEdge(true);
        if (bevel_->GetRecreateWnd()) RecreateWnd();
        Realign();
    }
    Invalidate();
}

bool TQCLCustomBevelPanel::GetEmpty() { return BevelExt() == 0 && bevel_->GetMode() != bmWindows; }

void TQCLCustomBevelPanel::Paint() {
    FillControl();
    if (HandleAllocated() && Focused()) {
        bevel_->PaintBevel(GetCanvas(), GetClientRect(), GetTransparent());
    } else if (!GetFlat()) {
        bevel_->PaintBevel(GetCanvas(), GetClientRect(), GetTransparent());
    } else {
        RestoreBorderBack();
    }
}

void TQCLCustomBevelPanel::MouseEnter() {
    if (!(HandleAllocated() && Focused()) && GetFlat() && !Active()) RestoreBorderFront();
    TQCLCustomPanel::MouseEnter();
}

void TQCLCustomBevelPanel::DoEnter() {
    if (!(HandleAllocated() && Focused()) && GetFlat()) RestoreBorderFront();
    TQCLCustomPanel::DoEnter();
}

void TQCLCustomBevelPanel::RestoreBorderFront() {
    if (bevel_->GetMode() == bmWindows) {
        TQCLCustomPanel::RestoreBorderFront();
        return;
    }
    if (!HandleAllocated()) return;
    bevel_->PaintBevel(GetCanvas(), GetClientRect(), true);
}

void TQCLCustomBevelPanel::RestoreBorderBack() {
    if ((HandleAllocated() && Focused()) || !GetFlat() || MouseAbove()) return;
    if (bevel_->GetMode() == bmWindows) {
        TQCLCustomPanel::RestoreBorderBack();
        return;
    }
    if (!HandleAllocated()) return;
    const int e = BevelExt(), r = QCLBevelRightBottomExtent(bevel_);
    const int w = GetWidth(), h = GetHeight();
    RepBack(TRect(0, 0, w, e));
    RepBack(TRect(0, e, e, h));
    RepBack(TRect(e, h - r - 1, w, h));
    RepBack(TRect(w - r, e, w, h - r));
}

void TQCLCustomBevelPanel::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_CTL3DCHANGED) {
        if (NewStyleControls && bevel_->GetMode() == bmWindows) RecreateWnd();
        return;
    }
    TQCLCustomPanel::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TQCLCustomParentPanel

TQCLCustomParentPanel::TQCLCustomParentPanel(TComponent* AOwner) : TQCLCustomBevelPanel(AOwner) {}

TQCLCustomParentPanel::~TQCLCustomParentPanel() { freeBack(); }

void TQCLCustomParentPanel::freeBack() {
    delete back_;
    back_ = nullptr;
}

void TQCLCustomParentPanel::CreateBack(bool Force) {
    if (IMLEmpty() || GetTransparent()) {
        freeBack();
        return;
    }
    if (!back_) {
        back_ = new TBitmap;
        back_->SetPixelFormat(pf24bit);
    } else if (!Force && GetClientWidth() <= back_->GetWidth() && GetClientHeight() <= back_->GetHeight()) {
        return;  // the old picture still covers the panel
    }
    back_->SetSize(GetWidth(), GetHeight());
    std::uint16_t mode = qclmode::Tile;
    if (QCLUsePalette()) mode |= qclmode::Palette;
    GetImageList()->ClipDraw(back_->GetCanvas(), TRect(0, 0, back_->GetWidth(), back_->GetHeight()), mode, 0, 0,
                             GetListIndex(), GetImageIndex());
}

void TQCLCustomParentPanel::GetIMLChange(TObject* Sender) {
    CreateBack(true);
    GetChange(Sender);
    NotifyControls(CM_QCLBACKCHANGED);
}

void TQCLCustomParentPanel::Loaded() { TQCLCustomBevelPanel::Loaded(); }

bool TQCLCustomParentPanel::CheckOptimized() { return back_ != nullptr || BackBitmapCheck(); }

void TQCLCustomParentPanel::FillControl() {
    if (CheckOptimized() && BackDrawArea(GetCanvas(), GetClientRect(), TPoint(0, 0))) return;
    TQCLCustomControl::FillControl();
}

bool TQCLCustomParentPanel::BackBitmapCheck() {
    if (back_) return true;
    return TQCLCustomBevelPanel::BackBitmapCheck();
}

TBitmap* TQCLCustomParentPanel::BackBitmap() {
    if (back_) return back_;
    return TQCLCustomBevelPanel::BackBitmap();
}

TPoint TQCLCustomParentPanel::BackMapPoint(const TPoint& Point) {
    if (back_) return Point;
    return TQCLCustomBevelPanel::BackMapPoint(Point);
}

bool TQCLCustomParentPanel::BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset) {
    if (IsLoading() || !Canvas) return false;
    if (!back_) return TQCLCustomBevelPanel::BackDrawArea(Canvas, Rect, Offset);
    TRect target = Rect;
    TPoint source(Rect.Left + Offset.x, Rect.Top + Offset.y);
    if (Rect == GetClientRect()) {
        target = Canvas->GetClipRect();
        source = TPoint(target.Left, target.Top);
    }
    if (HPALETTE palette = BackBitmapPalette()) {
        SelectPalette(Canvas->GetHandle(), palette, FALSE);
        RealizePalette(Canvas->GetHandle());
    }
    Canvas->CopyRect(target, back_->GetCanvas(),
                     TRect(source.x, source.y, source.x + target.Width(), source.y + target.Height()));
    return true;
}

bool TQCLCustomParentPanel::GetEmpty() { return TQCLCustomBevelPanel::GetEmpty() && IMLEmpty(); }

void TQCLCustomParentPanel::Paint() {
    if (IsLoading()) return;
    FillControl();
    if (!GetEmpty()) bevel_->PaintBevel(GetCanvas(), GetClientRect(), true);
}

void TQCLCustomParentPanel::GetChange(TObject* Sender) { TQCLCustomBevelPanel::GetChange(Sender); }

HPALETTE TQCLCustomParentPanel::GetPalette() {
    if (IMLEmpty()) return nullptr;
    return GetImageList()->Palette(GetListIndex());
}

void TQCLCustomParentPanel::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_SIZE && !IsLoading()) {
        UpdateBounds();  // the new size, before the picture is checked against it
        CreateBack(false);
    }
    TQCLCustomBevelPanel::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TQCLCustomPanelFill

TQCLCustomPanelFill::TQCLCustomPanelFill(TComponent* AOwner)
    : TQCLCustomParentPanel(AOwner), captionFx_(new TQCLFxCaption), fill_(new TQCLFillObject) {
    captionFx_->OnChange = TNotifyEvent(this, &TQCLCustomPanelFill::GetChange);
    fill_->OnChange = TNotifyEvent(this, &TQCLCustomPanelFill::GetChange);
    SetControlStyle(GetControlStyle() << csSetCaption);
}

TQCLCustomPanelFill::~TQCLCustomPanelFill() {
    captionFx_->OnChange = nullptr;
    fill_->OnChange = nullptr;
    freeBack();
    delete captionFx_;
    delete fill_;
}

void TQCLCustomPanelFill::CreateBack(bool Force) {
    if (IsLoading() || IsDestroying()) return;
    if (fill_->GetEmpty() || GetTransparent()) {
        freeBack();
        return;
    }
    if (!back_) {
        back_ = new TBitmap;
    } else if (!Force && fill_->GetStyle() != sfGradient && GetClientWidth() <= back_->GetWidth() &&
               GetClientHeight() <= back_->GetHeight()) {
        return;
    }
    back_->SetPixelFormat(pf24bit);
    back_->SetSize(GetWidth(), GetHeight());
    fill_->FillCanvas(back_->GetCanvas(), TRect(0, 0, GetWidth(), GetHeight()), GetColor());
    backFX_->Draw(back_);
}

void TQCLCustomPanelFill::GetIMLChange(TObject* /*Sender*/) {
    if (IMLEmpty()) {
        fill_->SetListBitmap(nullptr);
    } else {
        TBitmap item;
        GetImageList()->GetBitmapItem(GetListIndex(), GetImageIndex(), &item);
        fill_->SetListBitmap(&item);
    }
    GetChange(fill_);
}

void TQCLCustomPanelFill::GetChange(TObject* Sender) {
    TQCLCustomParentPanel::GetChange(Sender);
    if (Sender == captionFx_) {
        GetCanvas()->SetFont(GetFont());
        if (captionFx_->GetAngle() != 0 && !QCLIsTrueTypeFont(GetCanvas()->GetFont()))
            GetCanvas()->GetFont()->SetName("Arial");
        NotifyControls(CM_FONTCHANGED);
        return;
    }
    if (IsLoading()) return;
    if (Sender == fill_ || Sender == backFX_) {
        CreateBack(true);
        NotifyControls(CM_QCLBACKCHANGED);
    } else if (Sender == bevel_) {
        NotifyControls(CM_COLORCHANGED);
    }
}

bool TQCLCustomPanelFill::GetEmpty() {
    return TQCLCustomParentPanel::GetEmpty() && GetText().empty() && fill_->GetEmpty();
}

void TQCLCustomPanelFill::Paint() {
    if (IsLoading()) return;
    FillControl();
    if (GetEmpty()) return;
    TRect rect = GetClientRect();
    if (!GetFlat() || Active()) rect = bevel_->PaintBevel(GetCanvas(), rect, transparentBorder_);
    DrawCaption(rect, alignment_);
}

void TQCLCustomPanelFill::DrawCaption(const TRect& Rect, TQCLAlignment Alignment) {
    static const UINT flagsOf[] = {0, DT_CENTER, DT_RIGHT, DT_VCENTER, DT_CENTER | DT_VCENTER, DT_RIGHT | DT_VCENTER,
                                   DT_BOTTOM, DT_BOTTOM | DT_CENTER, DT_BOTTOM | DT_RIGHT};
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->SetFont(GetFont());
    TRect rect = Rect;
    UINT flags = flagsOf[Alignment] | DT_EXPANDTABS | DT_SINGLELINE | DT_NOPREFIX;
    if (captionFx_->GetAngle() != 0 && Alignment != agTopLeft)
        rect = QCLAlignTextRect(Alignment, GetText(), captionFx_, Rect, GetFont(), false, false, flags);
    QCLDrawTextExt(canvas, GetText(), captionFx_, rect, static_cast<UINT>(DrawTextBiDiModeFlags(static_cast<int>(flags))),
                   TQCLDrawTextStyles{GetEnabled() ? dtEnabled : dtDisabled}, nullptr);
}

void TQCLCustomPanelFill::SetAlignment(TQCLAlignment Value) {
    if (Value == alignment_) return;
    alignment_ = Value;
    GetChange(GetFont());
}

void TQCLCustomPanelFill::SetTransparentBorder(bool Value) {
    if (Value == transparentBorder_) return;
    transparentBorder_ = Value;
    Invalidate();
}

void TQCLCustomPanelFill::Resize() {
    TQCLCustomParentPanel::Resize();
    if (fill_->GetStyle() == sfGradient) NotifyControls(CM_COLORCHANGED);
}

HPALETTE TQCLCustomPanelFill::GetPalette() { return fill_->GetPalette(); }

void TQCLCustomPanelFill::Loaded() {
    TQCLCustomParentPanel::Loaded();
    CreateBack(true);
}

void TQCLCustomPanelFill::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        TQCLCustomParentPanel::Dispatch(Message);
        GetChange(nullptr);
        return;
    case CM_FONTCHANGED:
        TQCLCustomParentPanel::Dispatch(Message);
        SetParentFont(false);
        GetChange(captionFx_);
        return;
    default:
        TQCLCustomParentPanel::Dispatch(Message);
    }
}
