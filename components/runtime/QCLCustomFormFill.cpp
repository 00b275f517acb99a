// Form background fill base; see QCLCustomFormFill.h.
#include "components/runtime/QCLCustomFormFill.h"

#include "framework/Forms.h"

#include <memory>

TQCLCustomFormFill::TQCLCustomFormFill(TComponent* AOwner) : TQCLWndProcComponent(AOwner) {
    link_.OnChange = TNotifyEvent(this, &TQCLCustomFormFill::GetIMLChange);
}

TQCLCustomFormFill::~TQCLCustomFormFill() {
    if (imageList_ && link_.Sender == imageList_)
        imageList_->UnRegisterChanges(&link_);
    if (imageList_)
        imageList_->RemoveFreeNotification(this);
    imageList_ = nullptr;
    RestoreWndProc();
}

void TQCLCustomFormFill::SetImageList(TQCLCustomImageList* value) {
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

void TQCLCustomFormFill::SetIndex(int Which, int Value) {
    if (Which != 0 && Which != 1)
        return;
    int& field = Which == 0 ? imageIndex_ : listIndex_;
    if (Value < 0 || Value == field)
        return;
    field = Value;
    if (imageList_)
        GetIMLChange(this);
}

void TQCLCustomFormFill::SetPaintMode(TQCLPaintMode value) {
    if (SetIfChanged(paintMode_, value))
        GetChange(this);
}

void TQCLCustomFormFill::GetIMLChange(TObject* /*Sender*/) { Invalidate(true); }

void TQCLCustomFormFill::GetChange(TObject* /*Sender*/) {
    if (GetEnabled() && !ComponentState().Contains(csDesigning)) {
        resized_ = true;
        Invalidate(true);
    }
}

bool TQCLCustomFormFill::IMLEmpty() const {
    return !imageList_ || !imageList_->IsValidItem(listIndex_, imageIndex_);
}

void TQCLCustomFormFill::Invalidate(bool Erase) {
    TWinControl* f = form();
    if (f && f->HandleAllocated())
        InvalidateRect(f->Handle, nullptr, Erase ? TRUE : FALSE);
}

void TQCLCustomFormFill::Init() {
    if (!GetEnabled())
        return;
    TQCLWndProcComponent::Init();
    if (!ComponentState().Contains(csLoading))
        Invalidate(true);
}

void TQCLCustomFormFill::RestoreState() {
    if (!ComponentState().Contains(csDestroying))
        Invalidate(true);
}

void TQCLCustomFormFill::WndProc(TMessage& Message) {
    if (GetEnabled()) {
        switch (Message.Msg) {
        case WM_SIZE:
            resized_ = true;
            Invalidate(false);
            break;
        case WM_ERASEBKGND:
            if (PaintClientArea(reinterpret_cast<HDC>(Message.WParam))) {
                Message.Result = 1;
                return;
            }
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            Invalidate(false);
            break;
        case WM_PALETTECHANGED:
            Invalidate(true);
            break;
        default:
            break;
        }
    }
    TQCLWndProcComponent::WndProc(Message);
}

bool TQCLCustomFormFill::PaintClientArea(HDC DC) {
    if (ComponentState().Contains(csLoading) || paintMode_ != pcOwnerDraw || !OnPaint)
        return false;
    TWinControl* f = form();
    if (!f || !DC)
        return false;
    RECT client;
    GetClientRect(f->Handle, &client);
    std::unique_ptr<TCanvas> canvas(new TCanvas());
    canvas->Handle = DC;
    if (DefaultFill) {
        if (auto* owner = dynamic_cast<TCustomForm*>(f))
            canvas->Brush->Color = owner->Color;
        canvas->Brush->Style = bsSolid;
        canvas->FillRect(TRect(client));
    }
    OnPaint(this, canvas.get(), Rect(0, 0, client.right, client.bottom));
    canvas->Handle = nullptr;
    return true;
}

void TQCLCustomFormFill::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLWndProcComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || !imageList_ || AComponent != imageList_)
        return;
    if (link_.Sender == imageList_)
        imageList_->UnRegisterChanges(&link_);
    imageList_ = nullptr;
}

void TQCLCustomFormFill::readIdent(TReader* Reader) {
    if (TQCLCustomImageList* list = QCLReadGlobalIdent(Reader))
        SetImageList(list);
}

void TQCLCustomFormFill::writeIdent(TWriter* Writer) { QCLWriteGlobalIdent(Writer, imageList_); }

void TQCLCustomFormFill::DefineProperties(TFiler* Filer) {
    TQCLWndProcComponent::DefineProperties(Filer);
    Filer->DefineProperty("Internal", TReaderProc(this, &TQCLCustomFormFill::readIdent),
                          TWriterProc(this, &TQCLCustomFormFill::writeIdent), QCLIsGlobalIdent(imageList_));
}
