// The global container of the container unit, the texts that name its lists
// in layouts, and the component that streams its lists with a layout.
#include "components/runtime/qclcont.h"

TQCLContainer* QCLGlobalContainer = nullptr;

namespace {

const char* const bitmapIdent = "QCLBML30";
const char* const imageIdent = "QCLIML30";

}  // namespace

TQCLContainer::TQCLContainer(TComponent* AOwner)
    : TQCLBaseContainer(AOwner),
      bitmapList_(new TQCLBitmapList(this)),
      imageList_(new TQCLImageList(this)),
      waveList_(new TQCLWaveList(this)),
      stringList_(new TQCLStringList(this)) {
    const TNotifyEvent listChanged(this, &TQCLContainer::GetChange);
    bitmapList_->OnChange = listChanged;
    imageList_->OnChange = listChanged;
    waveList_->OnChange = listChanged;
    stringList_->OnChange = listChanged;
}

// The lists are owned components and go with the container.
TQCLContainer::~TQCLContainer() = default;

void TQCLContainer::SetBitmapList(TQCLBitmapList* Value) { bitmapList_->Assign(Value); }
void TQCLContainer::SetImageList(TQCLImageList* Value) { imageList_->Assign(Value); }
void TQCLContainer::SetWaveList(TQCLWaveList* Value) { waveList_->Assign(Value); }
void TQCLContainer::SetStringList(TQCLStringList* Value) { stringList_->Assign(Value); }

void QCLCreateGlobalContainer() {
    if (!QCLGlobalContainer)
        QCLGlobalContainer = new TQCLContainer(nullptr);
}

void QCLFreeGlobalContainer() {
    delete QCLGlobalContainer;
    QCLGlobalContainer = nullptr;
}

bool QCLIsGlobalIdent(TQCLCustomImageList* List) {
    return List && QCLGlobalContainer &&
           (List == QCLGlobalContainer->GetBitmapList() ||
            List == static_cast<TQCLCustomImageList*>(QCLGlobalContainer->GetImageList()));
}

void QCLWriteGlobalIdent(TWriter* Writer, TQCLCustomImageList* List) {
    if (!List || !QCLGlobalContainer) return;
    if (List == QCLGlobalContainer->GetBitmapList())
        Writer->WriteString(bitmapIdent);
    else if (List == static_cast<TQCLCustomImageList*>(QCLGlobalContainer->GetImageList()))
        Writer->WriteString(imageIdent);
}

TQCLCustomImageList* QCLReadGlobalIdent(TReader* Reader) {
    const AnsiString text = Reader->ReadString();
    if (!QCLGlobalContainer) return nullptr;
    if (text == bitmapIdent) return QCLGlobalContainer->GetBitmapList();
    if (text == imageIdent) return QCLGlobalContainer->GetImageList();
    return nullptr;
}

// ---------------------------------------------------------------------------
// Container control (run time only: it streams the global container's lists)

TQCLCustomContainer* TQCLContainerCtrl::list(int selector) const {
    if (!QCLGlobalContainer) return nullptr;
    switch (selector) {
    case 1: return QCLGlobalContainer->GetBitmapList();
    case 2: return QCLGlobalContainer->GetImageList();
    case 3: return QCLGlobalContainer->GetWaveList();
    case 4: return QCLGlobalContainer->GetStringList();
    default: return nullptr;
    }
}

void TQCLContainerCtrl::readList(TStream* Stream) {
    if (TQCLCustomContainer* target = list(selector_))
        target->ReadData(Stream, false);
}

void TQCLContainerCtrl::writeList(TStream* Stream) {
    if (TQCLCustomContainer* source = list(selector_))
        source->WriteData(Stream, false);
}

void TQCLContainerCtrl::DefineProperties(TFiler* Filer) {
    static const char* const names[] = {"BitmapList", "ImageList", "WaveList", "StringList"};
    for (uint8_t selector = 1; selector <= 4; ++selector) {
        TQCLCustomContainer* target = list(selector);
        Filer->DefineBinaryProperty(
            names[selector - 1], TStreamProc([this, selector](TStream* s) { selector_ = selector; readList(s); }),
            TStreamProc([this, selector](TStream* s) { selector_ = selector; writeList(s); }),
            target && !target->GetEmpty());
    }
}

// ---------------------------------------------------------------------------
// Components that refer to an image list

TQCLContainerComponent::TQCLContainerComponent(TComponent* AOwner) : TQCLCustomComponent(AOwner) {
    link_.OnChange = TNotifyEvent(this, &TQCLContainerComponent::GetIMLChange);
}

// The change link leaves its list on its own.
TQCLContainerComponent::~TQCLContainerComponent() = default;

void TQCLContainerComponent::SetImageList(TQCLCustomImageList* Value) {
    if (imageList_) {
        imageList_->UnRegisterChanges(&link_);
        imageList_->RemoveFreeNotification(this);
    }
    imageList_ = Value;
    if (imageList_) {
        imageList_->RegisterChanges(&link_);
        imageList_->FreeNotification(this);
    }
    GetIMLChange(this);
}

void TQCLContainerComponent::SetIndex(int Which, int Value) {
    int& field = Which == 0 ? imageIndex_ : listIndex_;
    if (Value < 0 || Value == field || (Which != 0 && Which != 1)) return;
    field = Value;
    if (imageList_)
        GetIMLChange(this);
}

bool TQCLContainerComponent::HasControl() const {
    return imageList_ && imageList_->GetOwnerComponent() != QCLGlobalContainer;
}

void TQCLContainerComponent::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLCustomComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || !imageList_ || AComponent != imageList_) return;
    // A list being destroyed has let go of its links already.
    if (link_.Sender == imageList_)
        imageList_->UnRegisterChanges(&link_);
    imageList_ = nullptr;
}

void TQCLContainerComponent::ReadIdent(TReader* Reader) {
    if (TQCLCustomImageList* list = QCLReadGlobalIdent(Reader))
        SetImageList(list);
}

void TQCLContainerComponent::WriteIdent(TWriter* Writer) { QCLWriteGlobalIdent(Writer, imageList_); }

void TQCLContainerComponent::DefineProperties(TFiler* Filer) {
    TQCLCustomComponent::DefineProperties(Filer);
    Filer->DefineProperty("Internal", TReaderProc(this, &TQCLContainerComponent::ReadIdent),
                          TWriterProc(this, &TQCLContainerComponent::WriteIdent), CheckCont());
}
