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
