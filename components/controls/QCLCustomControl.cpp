// The roots of the library's controls; see QCLCustomControl.h.
#include "components/controls/QCLCustomControl.h"

#include "components/runtime/qclcont_collections.h"
#include "components/runtime/qclregion.h"

#include "framework/Win32Handles.h"

int QCLCheckForFormComponent(TComponent* Owner, const std::function<bool(TComponent*)>& IsClass) {
    if (!Owner || !IsClass || !dynamic_cast<TCustomForm*>(Owner)) return -1;
    for (int i = 0; i < Owner->GetComponentCount(); ++i)
        if (IsClass(Owner->GetComponent(i))) return i;
    return -1;
}

TQCLFormShape* QCLFindFormShape(TComponent* Owner) {
    int index = QCLCheckForFormComponent(Owner, [](TComponent* c) { return dynamic_cast<TQCLFormShape*>(c) != nullptr; });
    return index < 0 ? nullptr : static_cast<TQCLFormShape*>(Owner->GetComponent(index));
}

TQCLBackSource* QCLParentBackSource(TControl* Control) {
    TWinControl* parent = Control ? Control->GetParent() : nullptr;
    if (!parent || !parent->HandleAllocated()) return nullptr;
    return dynamic_cast<TQCLBackSource*>(parent);
}

// ---------------------------------------------------------------------------
// Image reference

TQCLImageRef::TQCLImageRef(TComponent* Owner, TNotifyEvent Changed) : owner_(Owner) { link_.OnChange = Changed; }

// The link leaves its list by itself when it dies.
TQCLImageRef::~TQCLImageRef() {
    if (list_ && owner_) list_->RemoveFreeNotification(owner_);
}

void TQCLImageRef::SetList(TQCLCustomImageList* Value) {
    if (list_) {
        list_->UnRegisterChanges(&link_);
        list_->RemoveFreeNotification(owner_);
    }
    list_ = Value;
    if (list_) {
        list_->RegisterChanges(&link_);
        list_->FreeNotification(owner_);
    }
}

bool TQCLImageRef::SetIndex(int Which, int Value) {
    if (Which != 0 && Which != 1) return false;
    int& field = Which == 0 ? imageIndex_ : listIndex_;
    if (Value < 0 || Value == field) return false;
    field = Value;
    return true;
}

bool TQCLImageRef::Empty() const { return !list_ || !list_->IsValidItem(listIndex_, imageIndex_); }

bool TQCLImageRef::HasControl() const { return list_ && list_->GetOwnerComponent() != QCLGlobalContainer; }

bool TQCLImageRef::Forget(TComponent* Removed) {
    if (!list_ || Removed != list_) return false;
    if (link_.Sender == list_) list_->UnRegisterChanges(&link_);
    list_ = nullptr;
    return true;
}

void TQCLImageRef::DefineProperties(TFiler* Filer, const char* Name) {
    Filer->DefineProperty(
        Name,
        TReaderProc([this](TReader* reader) {
            if (TQCLCustomImageList* list = QCLReadGlobalIdent(reader)) {
                SetList(list);
                link_.OnChange(nullptr);
            }
        }),
        TWriterProc([this](TWriter* writer) { QCLWriteGlobalIdent(writer, list_); }), CheckCont());
}

// ---------------------------------------------------------------------------
// TQCLControl

TQCLControl::TQCLControl(TComponent* AOwner) : TGraphicControl(AOwner) {}

void TQCLControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    int oldLeft = left_, oldTop = top_, oldWidth = width_, oldHeight = height_;
    TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    TQCLBoundsChangeStates state;
    if (left_ != oldLeft || top_ != oldTop) state << bcPos;
    if (width_ != oldWidth || height_ != oldHeight) state << bcSize;
    if (!state.Empty() && !IsLoading()) BoundsChange(state);
}

void TQCLControl::BoundsChange(TQCLBoundsChangeStates State) {
    if (OnBoundsChange) OnBoundsChange(this, State);
}

void TQCLControl::MouseEnter() {
    if (GetEnabled() && OnMouseEnter) OnMouseEnter(this);
}

void TQCLControl::MouseExit() {
    if (GetEnabled() && OnMouseExit) OnMouseExit(this);
}

void TQCLControl::GetChange(TObject* /*Sender*/) {
    if (!IsLoading()) Invalidate();
}

void TQCLControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        TGraphicControl::Dispatch(Message);
        MouseEnter();
        return;
    case CM_MOUSELEAVE:
        TGraphicControl::Dispatch(Message);
        MouseExit();
        return;
    default:
        TGraphicControl::Dispatch(Message);
    }
}

void TQCLControl::FillControl() {
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetPen()->SetStyle(psClear);
    canvas->FillRect(GetClientRect());
}

void TQCLControl::DrawDashedFrame() {
    TCanvas* canvas = GetCanvas();
    canvas->GetPen()->SetColor(clBlack);
    canvas->GetPen()->SetStyle(psDash);
    canvas->GetPen()->SetWidth(1);
    canvas->GetPen()->SetMode(pmCopy);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->Rectangle(0, 0, GetWidth(), GetHeight());
}

TRect TQCLControl::GetScreenRect(const TRect& R) {
    TPoint topLeft = ClientToScreen(TPoint(R.Left, R.Top));
    TPoint bottomRight = ClientToScreen(TPoint(R.Right, R.Bottom));
    return TRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

// ---------------------------------------------------------------------------
// TQCLBaseControl

TQCLBaseControl::TQCLBaseControl(TComponent* AOwner)
    : TQCLControl(AOwner), image_(this, TNotifyEvent(this, &TQCLBaseControl::GetIMLChange)),
      backFX_(new TQCLBitmapEffectObject) {
    backFX_->OnChange = TNotifyEvent(this, &TQCLBaseControl::GetChange);
}

TQCLBaseControl::~TQCLBaseControl() {
    backFX_->OnChange = nullptr;
    delete backFX_;
}

void TQCLBaseControl::SetImageList(TQCLCustomImageList* Value) {
    image_.SetList(Value);
    GetIMLChange(nullptr);
}

void TQCLBaseControl::SetIndex(int Which, int Value) {
    if (image_.SetIndex(Which, Value) && image_.List()) GetIMLChange(nullptr);
}

void TQCLBaseControl::DefineProperties(TFiler* Filer) {
    TQCLControl::DefineProperties(Filer);
    image_.DefineProperties(Filer);
}

// A connector hands out pictures of framework lists, which may have been
// filled only after the image was first read: read it again once loaded.
void TQCLBaseControl::Loaded() {
    TQCLControl::Loaded();
    if (dynamic_cast<TQCLImageListConnector*>(GetImageList())) GetIMLChange(nullptr);
}

void TQCLBaseControl::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (image_.Forget(AComponent) && !GetComponentState().Contains(csDestroying)) GetIMLChange(nullptr);
}

TPoint TQCLBaseControl::BackMapPoint(int X, int Y) {
    TWinControl* parent = GetParent();
    TPoint p(X, Y);
    if (parent && !dynamic_cast<TCustomForm*>(parent)) {
        p.x += parent->GetLeft();
        p.y += parent->GetTop();
    }
    if (GetClientWidth() != GetWidth()) p.x += (GetWidth() - GetClientWidth()) / 2;
    if (GetClientHeight() != GetHeight()) p.y += (GetHeight() - GetClientHeight()) / 2;
    return p;
}

void TQCLBaseControl::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_QCLBACKCHANGED) {
        if (!IsLoading() && CheckOptimized()) GetChange(nullptr);
        backFX_->DestroyBuffer();
        return;
    }
    TQCLControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TQCLBaseGraphicControl

TQCLBaseGraphicControl::TQCLBaseGraphicControl(TComponent* AOwner) : TQCLBaseControl(AOwner) {
    TControlStyle style = GetControlStyle();
    style >> csOpaque;
    style << csReplicatable;
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 30, 30);
}

void TQCLBaseGraphicControl::Paint() {
    // Only design time marks an empty control; there is no design time here.
}

void TQCLBaseGraphicControl::GetChange(TObject* /*Sender*/) { InvalidateControl(); }

bool TQCLBaseGraphicControl::CheckOptimized() {
    if (!transparent_) return false;
    if (TQCLBackSource* source = QCLParentBackSource(this)) return source->BackBitmapCheck();
    TWinControl* parent = GetParent();
    if (dynamic_cast<TCustomForm*>(parent) && parent->HandleAllocated())
        if (TQCLFormShape* shape = QCLFindFormShape(GetOwnerComponent())) return shape->BackBitmapCheck();
    return false;
}

void TQCLBaseGraphicControl::InvalidateControl() {
    TWinControl* parent = GetParent();
    if (transparent_ || !parent || !parent->HandleAllocated() || !GetVisible() || !IsWindowVisible(parent->GetHandle())) {
        Invalidate();
        return;
    }
    Paint();
}

void TQCLBaseGraphicControl::DisableTransMode() {
    transparent_ = false;
    SetControlStyle(GetControlStyle() << csOpaque);
}

void TQCLBaseGraphicControl::SetTransparent(bool Value) {
    if (Value == transparent_) return;
    TControlStyle style = GetControlStyle();
    if (Value) style >> csOpaque;
    else style << csOpaque;
    SetControlStyle(style);
    transparent_ = Value;
    Perform(CM_QCLTRANSPARENTCHANGED, 0, 0);
}

void TQCLBaseGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_QCLTRANSPARENTCHANGED) {
        InvalidateControl();
        return;
    }
    TQCLBaseControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TQCLGraphicControl

TQCLGraphicControl::TQCLGraphicControl(TComponent* AOwner) : TQCLBaseGraphicControl(AOwner), bevel_(new TQCLBevel) {
    bevel_->OnChange = TNotifyEvent(this, &TQCLGraphicControl::GetChange);
}

TQCLGraphicControl::~TQCLGraphicControl() {
    bevel_->OnChange = nullptr;
    delete bevel_;
}

void TQCLGraphicControl::SetBevel(TQCLBevel* Value) {
    bevel_->Assign(Value);
    Perform(CM_QCLBEVELCHANGED, 0, 0);
}

void TQCLGraphicControl::Paint() {
    if (IsLoading()) return;
    if (GetEmpty() && BevelExt() == 0) {
        TQCLBaseGraphicControl::Paint();
        return;
    }
    bevel_->PaintBevel(GetCanvas(), GetClientRect(), GetTransparent());
}

// ---------------------------------------------------------------------------
// TQCLCustomControl

TQCLCustomControl::TQCLCustomControl(TComponent* AOwner)
    : TCustomControl(AOwner), image_(this, TNotifyEvent(this, &TQCLCustomControl::GetIMLChange)),
      backFX_(nullptr) {
    SetBounds(GetLeft(), GetTop(), 100, 40);
    SetTabStop(false);
    backFX_ = new TQCLBitmapEffectObject;
    backFX_->OnChange = TNotifyEvent(this, &TQCLCustomControl::GetChange);
}

TQCLCustomControl::~TQCLCustomControl() {
    backFX_->OnChange = nullptr;
    delete backFX_;
}

void TQCLCustomControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TQCLCustomControl::DefineProperties(TFiler* Filer) {
    TCustomControl::DefineProperties(Filer);
    image_.DefineProperties(Filer);
}

void TQCLCustomControl::Loaded() {
    TCustomControl::Loaded();
    if (dynamic_cast<TQCLImageListConnector*>(GetImageList())) GetIMLChange(nullptr);
}

void TQCLCustomControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (image_.Forget(AComponent)) {
        if (!IsDestroying()) GetIMLChange(nullptr);
        return;
    }
    if (!IsDestroying()) {
        TQCLAlphaObject* alpha = backFX_->GetAlphaBlend();
        if (alpha && alpha->GetImageList() == AComponent) alpha->SetImageList(nullptr);
    }
}

void TQCLCustomControl::SetImageList(TQCLCustomImageList* Value) {
    image_.SetList(Value);
    GetIMLChange(nullptr);
}

void TQCLCustomControl::SetIndex(int Which, int Value) {
    if (image_.SetIndex(Which, Value) && image_.List()) GetIMLChange(nullptr);
}

void TQCLCustomControl::GetChange(TObject* /*Sender*/) { Invalidate(); }

HPALETTE TQCLCustomControl::BackBitmapPalette() {
    if (BackBitmapCheck()) return nullptr;
    if (auto* parent = dynamic_cast<TQCLCustomControl*>(GetParent()))
        if (TBitmap* bitmap = parent->BackBitmap()) return bitmap->GetPalette();
    return nullptr;
}

void TQCLCustomControl::FillControl() {
    TCanvas* canvas = GetCanvas();
    if (CheckOptimized() && BackDrawArea(canvas, GetClientRect(), TPoint(0, 0))) return;
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(GetClientRect());
}

void TQCLCustomControl::RepBack(const TRect& R) {
    TCanvas* canvas = GetCanvas();
    if (CheckOptimized() && BackDrawArea(canvas, R, TPoint(0, 0))) return;
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(R);
}

void TQCLCustomControl::InvalidateFrame() {
    TWinControl* parent = GetParent();
    if (!parent || !parent->HandleAllocated()) return;
    RECT bounds = BoundsRect();
    InvalidateRect(parent->GetHandle(), &bounds, TRUE);
}

TRect TQCLCustomControl::GetScreenRect(const TRect& R) {
    TPoint topLeft = ClientToScreen(TPoint(R.Left, R.Top));
    TPoint bottomRight = ClientToScreen(TPoint(R.Right, R.Bottom));
    return TRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

void TQCLCustomControl::DrawDashedFrame() {
    TCanvas* canvas = GetCanvas();
    canvas->GetPen()->SetColor(clBlack);
    canvas->GetPen()->SetStyle(psDash);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->Rectangle(0, 0, GetWidth(), GetHeight());
}

void TQCLCustomControl::Paint() {
    if (IsLoading()) return;
    FillControl();
    RestoreBorderBack();
}

void TQCLCustomControl::frameWindow(const std::function<void(HDC, RECT&)>& draw) {
    if (!HandleAllocated()) return;
    HWND window = GetHandle();
    win32::WindowDC dc(window, GetWindowDC(window));
    if (!dc.get()) return;
    RECT r;
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
    draw(dc.get(), r);
}

void TQCLCustomControl::RestoreBorderBack() {
    if (!flat_ || mouseAbove_ || (HandleAllocated() && Focused())) return;
    bool ctl3D = GetCtl3D();
    frameWindow([ctl3D](HDC dc, RECT& r) {
        win32::BrushHandle face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
        FrameRect(dc, &r, face.get());
        if (ctl3D) {
            InflateRect(&r, -1, -1);
            FrameRect(dc, &r, face.get());
        }
    });
}

void TQCLCustomControl::RestoreBorderFront() {
    bool ctl3D = GetCtl3D();
    frameWindow([ctl3D](HDC dc, RECT& r) {
        win32::BrushHandle frame(CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME)));
        if (!ctl3D) {
            FrameRect(dc, &r, frame.get());
            return;
        }
        win32::BrushHandle face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
        RECT inner = {r.left + 1, r.top + 1, r.right, r.bottom};
        FrameRect(dc, &inner, frame.get());
        RECT outer = {r.left, r.top, r.right - 1, r.bottom - 1};
        FrameRect(dc, &outer, face.get());
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    });
}

void TQCLCustomControl::SetFlat(bool Value) {
    if (Value == flat_) return;
    flat_ = Value;
    DoFlatChanged();
    if (flat_) RestoreBorderBack();
    else RestoreBorderFront();
}

void TQCLCustomControl::SetTransparent(bool Value) {
    if (Value == transparent_) return;
    transparent_ = Value;
    TControlStyle style = GetControlStyle();
    if (Value) style >> csOpaque;
    else style << csOpaque;
    SetControlStyle(style);
    RecreateWnd();
}

void TQCLCustomControl::SetActive(bool Value) {
    if (Value == active_) return;
    active_ = Value;
    if (!active_ && flat_) RestoreBorderBack();
}

void TQCLCustomControl::DoEnter() {
    TCustomControl::DoEnter();
    SetActive(true);
    if (flat_) RestoreBorderFront();
}

void TQCLCustomControl::DoExit() {
    SetActive(false);
    RestoreBorderBack();
    TCustomControl::DoExit();
}

void TQCLCustomControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
    mouseAbove_ = true;
}

void TQCLCustomControl::MouseExit() {
    mouseAbove_ = false;
    if (!active_) RestoreBorderBack();
    if (OnMouseExit) OnMouseExit(this);
}

void TQCLCustomControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_QCLBACKCHANGED:
        if (IsLoading() || IsDestroying()) return;
        backFX_->DestroyBuffer();
        if (CheckOptimized()) {
            Repaint();
            NotifyControls(CM_QCLBACKCHANGED);
        } else {
            Invalidate();
        }
        return;
    case CM_QCLSCROLLBOXSCROLLEVENT:
        if (CheckOptimized()) NotifyControls(CM_QCLBACKCHANGED);
        return;
    case CM_QCLAFTERENTER:
        if (OnAfterEnter) OnAfterEnter(this);
        return;
    case CM_QCLAFTEREXIT:
        if (OnAfterExit) OnAfterExit(this);
        return;
    case CM_MOUSEENTER:
        TCustomControl::Dispatch(Message);
        MouseEnter();
        return;
    case CM_MOUSELEAVE:
        TCustomControl::Dispatch(Message);
        MouseExit();
        return;
    case CM_SYSCOLORCHANGE:
        TCustomControl::Dispatch(Message);
        if (!transparent_) Invalidate();
        return;
    case WM_ERASEBKGND:
        if (CheckOptimized()) {
            Message.Result = 1;
            return;
        }
        TCustomControl::Dispatch(Message);
        return;
    case WM_SETFOCUS:
        TCustomControl::Dispatch(Message);
        if (HandleAllocated()) PostMessageA(GetHandle(), CM_QCLAFTERENTER, 0, 0);
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        if (HandleAllocated()) PostMessageA(GetHandle(), CM_QCLAFTEREXIT, 0, 0);
        return;
    case WM_SIZE:
        TCustomControl::Dispatch(Message);
        backFX_->DestroyBuffer();
        if (CheckOptimized()) {
            Repaint();
            NotifyControls(CM_QCLBACKCHANGED);
        } else {
            Invalidate();
        }
        return;
    case WM_MOVE:
        TCustomControl::Dispatch(Message);
        if (CheckOptimized()) {
            backFX_->DestroyBuffer();
            Repaint();
        }
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}
