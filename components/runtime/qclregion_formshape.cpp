// The form shape: the owner form's window region, its painted border and
// background, and dragging by the client area (see qclregion.h).
//
// The window region is rebuilt in window coordinates: the shape is made for
// the client area (grown by one pixel on every side), moved below the title
// bar and frame, joined with its shadow, and the title bar added or cut.
#include "components/runtime/qclregion.h"

#include "framework/Forms.h"

#include <memory>

namespace {

win32::RegionHandle rectRegion(int l, int t, int r, int b) { return win32::RegionHandle(CreateRectRgn(l, t, r, b)); }

// Sets a flag for the lifetime of the guard.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace

TQCLFormShape::TQCLFormShape(TComponent* AOwner)
    : TQCLWndProcComponent(AOwner), region_(new TQCLBorderRegion(dynamic_cast<TWinControl*>(AOwner))),
      fill_(new TQCLFillObject), back_(new TBitmap) {
    region_->OnChange = TNotifyEvent(this, &TQCLFormShape::GetChange);
    fill_->OnChange = TNotifyEvent(this, &TQCLFormShape::GetChange);
    link_.OnChange = TNotifyEvent(this, &TQCLFormShape::GetIMLChange);
    if (!ComponentState().Contains(csLoading))
        Init();
}

TQCLFormShape::~TQCLFormShape() {
    RestoreWndProc();
    if (imageList_) imageList_->RemoveFreeNotification(this);
    fill_->OnChange = nullptr;
    region_->OnChange = nullptr;
    region_->SetOwnerWindow(nullptr);
    delete back_;
    delete fill_;
    delete region_;
}

void TQCLFormShape::SetImageList(TQCLCustomImageList* value) {
    if (value == imageList_) return;
    if (imageList_) {
        imageList_->UnRegisterChanges(&link_);
        imageList_->RemoveFreeNotification(this);
    }
    imageList_ = value;
    if (imageList_) {
        imageList_->RegisterChanges(&link_);
        imageList_->FreeNotification(this);
    }
    GetIMLChange(this);
}

void TQCLFormShape::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLWndProcComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent != imageList_) return;
    imageList_->UnRegisterChanges(&link_);
    imageList_ = nullptr;
    if (!ComponentState().Contains(csDestroying)) GetIMLChange(this);
}

void TQCLFormShape::DefineProperties(TFiler* Filer) {
    TQCLWndProcComponent::DefineProperties(Filer);
    Filer->DefineProperty(
        "Internal",
        TReaderProc([this](TReader* reader) {
            if (TQCLCustomImageList* list = QCLReadGlobalIdent(reader)) SetImageList(list);
        }),
        TWriterProc([this](TWriter* writer) { QCLWriteGlobalIdent(writer, imageList_); }),
        QCLIsGlobalIdent(imageList_));
}

TCustomForm* TQCLFormShape::form() const { return dynamic_cast<TCustomForm*>(GetOwnerForm()); }

void TQCLFormShape::SetPolygonShape(const TPoint* Points, int High) {
    region_->SetUserPolygonRgn(Points, High);
    ReRegion();
}

void TQCLFormShape::SetRegionShape(HRGN Region) {
    region_->SetUserRgn(Region);
    ReRegion();
}

void TQCLFormShape::SetBoolean(int Which, bool value) {
    switch (Which) {
    case 0:
        if (SetIfChanged(showFormCaption_, value))
            ReRegion();
        break;
    case 1: formDragable_ = value; break;
    default:
        if (SetIfChanged(useRgnBitmap_, value))
            GetChange(this);
        break;
    }
}

void TQCLFormShape::SetInteger(int Which, int value) { (Which == 0 ? listIndex_ : imageIndex_) = value; }

void TQCLFormShape::GetChange(TObject* Sender) {
    TQCLWndProcComponent::GetChange(Sender);
    ReRegion();
}

void TQCLFormShape::Loaded() {
    TQCLWndProcComponent::Loaded();
    if (GetEnabled())
        ReRegion();
}

void TQCLFormShape::Init() {
    TQCLWndProcComponent::Init();
    if (GetEnabled() && !ComponentState().Contains(csLoading))
        ReRegion();
}

// A disabled shape gives the form its rectangular window back.
void TQCLFormShape::RestoreState() {
    TQCLWndProcComponent::RestoreState();
    TCustomForm* f = form();
    if (f && f->HandleAllocated() && !ComponentState().Contains(csDestroying))
        SetWindowRgn(f->GetHandle(), nullptr, TRUE);
}

TQCLFormShape::FrameMetrics TQCLFormShape::metrics(const TCustomForm& f) const {
    const TFormBorderStyle style = f.GetBorderStyle();
    FrameMetrics m{GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CXDLGFRAME), 0};
    if (style == bsSizeable || style == bsSizeToolWin)
        m = FrameMetrics{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME), 0};
    if (style == bsSingle || style == bsSizeable || style == bsDialog)
        m.captionHeight = GetSystemMetrics(SM_CYCAPTION);
    else if (style == bsToolWindow || style == bsSizeToolWin)
        m.captionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    if (style == bsNone && !inDesigner())
        m.frameWidth = m.frameHeight = 0;
    return m;
}

void TQCLFormShape::ReRegion() {
    TCustomForm* f = form();
    if (!f || reshaping_ || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying) ||
        !GetEnabled())
        return;
    FlagGuard reshaping(reshaping_);
    const bool minimised =
        f->HandleAllocated() && (GetWindowLongPtr(f->GetHandle(), GWL_STYLE) & WS_MINIMIZE) != 0;
    const FrameMetrics m = metrics(*f);
    if (!minimised && region_->GetRegionShape() == rsBitmap) {
        TBitmap* picture = region_->GetMask()->GetBorderBmp();
        const int depth = region_->ShadowDepth();
        f->SetBounds(f->GetLeft(), f->GetTop(), picture->GetWidth() + depth + 2 * m.frameWidth,
                     picture->GetHeight() + 2 * m.frameHeight + m.captionHeight + depth);
    }
    win32::RegionHandle shape = windowShape(*f, m, minimised);
    if (!inDesigner() && f->HandleAllocated()) {
        SetWindowRgn(f->GetHandle(), nullptr, FALSE);
        SetWindowRgn(f->GetHandle(), shape.release(), TRUE);
    }
    captionHeight_ = m.captionHeight;
}

win32::RegionHandle TQCLFormShape::windowShape(TCustomForm& f, const FrameMetrics& m, bool minimised) {
    const int width = f.GetWidth(), height = f.GetHeight();
    const int titleBottom = m.captionHeight + m.frameHeight;
    if (minimised) {
        region_->CreateSpecialRectRgn(TRect(0, 0, width, titleBottom));
        win32::RegionHandle title = rectRegion(0, 0, width, titleBottom);
        return title;
    }
    const TRect client(-1, -1, width - 2 * m.frameWidth + 1, height - 2 * m.frameHeight - m.captionHeight + 1);
    paintRect_ = client;
    region_->CreateRegion(client);
    // Starts as one pixel: without a shape region (missing data) that pixel
    // and the title bar are all the window keeps.
    win32::RegionHandle result = rectRegion(0, 0, 1, 1);
    if (region_->ShapeRegion())
        CombineRgn(result.get(), region_->ShapeRegion(), nullptr, RGN_COPY);
    OffsetRgn(result.get(), m.frameWidth, titleBottom);
    if (region_->GetShadow()->GetStyle() != hssNone) {
        win32::RegionHandle shadow = rectRegion(0, 0, 0, 0);
        CombineRgn(shadow.get(), result.get(), nullptr, RGN_COPY);
        OffsetRgn(shadow.get(), region_->ShadowDepth(), region_->ShadowDepth());
        CombineRgn(result.get(), result.get(), shadow.get(), RGN_OR);
    }
    win32::RegionHandle title = rectRegion(0, 0, width, titleBottom);
    const bool keepTitle = (showFormCaption_ && f.GetBorderStyle() != bsNone) || inDesigner();
    CombineRgn(result.get(), result.get(), title.get(), keepTitle ? RGN_OR : RGN_DIFF);
    return result;
}

void TQCLFormShape::WndProc(TMessage& Message) {
    if (!GetEnabled()) {
        TQCLWndProcComponent::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SIZE:
        Message.Result = CallPrevious(Message);
        ReRegion();
        if (TCustomForm* f = form())
            InvalidateRect(f->GetHandle(), nullptr, TRUE);
        break;
    case WM_ERASEBKGND:
        if (fill_->GetStyle() == sfNone && region_->GetRegionShape() != rsBitmap)
            CallPrevious(Message);
        PaintBorder(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        break;
    case WM_NCHITTEST: hitTest(Message); break;
    case WM_NCRBUTTONDOWN:
        Message.Result = CallPrevious(Message);
        rightButton_ = true;
        break;
    case WM_NCRBUTTONUP:
    case WM_CAPTURECHANGED:
        Message.Result = CallPrevious(Message);
        rightButton_ = false;
        break;
    default: TQCLWndProcComponent::WndProc(Message); break;
    }
}

void TQCLFormShape::hitTest(TMessage& Message) {
    Message.Result = CallPrevious(Message);
    TCustomForm* f = form();
    if (!f || !formDragable_ || Message.Result != HTCLIENT || rightButton_)
        return;
    POINT at{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
    ScreenToClient(f->GetHandle(), &at);
    if (!f->ControlAtPos(TPoint(at.x, at.y), false, false))
        Message.Result = HTCAPTION;
}

void TQCLFormShape::PaintBorder(HDC Dc) {
    TCustomForm* f = form();
    if (!f)
        return;
    std::unique_ptr<win32::WindowDC> own;
    if (!Dc) {
        own = std::make_unique<win32::WindowDC>(f->GetHandle());
        Dc = own->get();
    }
    const int saved = SaveDC(Dc);
    TCanvas canvas;
    canvas.SetHandle(Dc);
    const TRect client(0, 0, f->GetClientWidth(), f->GetClientHeight());
    if (useRgnBitmap_ && region_->GetRegionShape() == rsBitmap) {
        if (inDesigner()) {
            win32::RegionHandle outline = region_->GetMask()->CreateRegion();
            if (outline) {
                RECT clip;
                GetClipBox(Dc, &clip);
                OffsetRgn(outline.get(), 0, -clip.top);
                FrameRgn(Dc, outline.get(), canvas.GetBrush()->GetHandle(), 1, 1);
            }
        } else {
            canvas.Draw(0, 0, region_->GetMask()->GetBorderBmp());
        }
    } else if (fill_->GetStyle() != sfNone) {
        back_->SetSize(client.Width(), client.Height());
        if (fill_->GetStyle() == sfBitmapList && imageList_ && imageList_->IsValidItem(listIndex_, imageIndex_)) {
            TBitmap picture;
            imageList_->GetBitmapItem(listIndex_, imageIndex_, &picture);
            fill_->SetListBitmap(&picture);
        }
        fill_->FillCanvas(back_->GetCanvas(), client, static_cast<TColor>(0xFFFFFF));
        if (!inDesigner())
            canvas.Draw(0, 0, back_);
    }
    region_->PaintRegionShape(&canvas, paintRect_);
    canvas.SetHandle(nullptr);
    RestoreDC(Dc, saved);
}

bool TQCLFormShape::BackBitmapCheck() const {
    return (useRgnBitmap_ && region_->GetRegionShape() == rsBitmap) ||
           (fill_->GetStyle() != sfNone && !inDesigner());
}

TBitmap* TQCLFormShape::BackBitmap() const {
    if (useRgnBitmap_ && region_->GetRegionShape() == rsBitmap)
        return region_->GetMask()->GetBorderBmp();
    if (fill_->GetStyle() != sfNone && !inDesigner())
        return back_;
    return nullptr;
}

bool TQCLFormShape::BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Point) const {
    TBitmap* back = BackBitmapCheck() ? BackBitmap() : nullptr;
    if (!back || back->GetWidth() <= 0 || back->GetHeight() <= 0)
        return false;
    BitBlt(Canvas->GetHandle(), Point.x, Point.y, Rect.Width(), Rect.Height(), back->GetCanvas()->GetHandle(),
           Rect.Left, Rect.Top, SRCCOPY);
    return true;
}
