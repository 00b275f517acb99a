// The alpha-blend property object (switched off: neutral setters).
#include "components/runtime/QCLAlphaObject.h"

#include "components/runtime/qclbmp.h"

#include "framework/Filer.h"
#include "framework/SysUtils.h"

#include <memory>

TQCLAlphaObject::TQCLAlphaObject() : fillObject_(new TQCLFillObject) {
    fillObject_->OnChange = [this](TObject* sender) { GetChange(sender); };
    link_.OnChange = [this](TObject* sender) { GetIMLChange(sender); };
}

// The change link leaves its list on its own.
TQCLAlphaObject::~TQCLAlphaObject() {
    link_.OnChange = nullptr;
    fillObject_->OnChange = nullptr;
    delete fillObject_;
}

TQCLCustomImageList* TQCLAlphaObject::GetImageList() const {
    return dynamic_cast<TQCLCustomImageList*>(link_.Sender);
}

void TQCLAlphaObject::link(TQCLCustomImageList* list) {
    TQCLCustomImageList* current = GetImageList();
    if (current == list) return;
    if (current) current->UnRegisterChanges(&link_);
    if (list) list->RegisterChanges(&link_);
}

bool TQCLAlphaObject::IMLEmpty() const {
    TQCLCustomImageList* list = GetImageList();
    return !list || !list->IsValidItem(listIndex_, imageIndex_);
}

bool TQCLAlphaObject::HasControl() const {
    TQCLCustomImageList* list = GetImageList();
    return list && list->GetOwnerComponent() != QCLGlobalContainer;
}

void TQCLAlphaObject::GetChange(TObject* Sender) { TQCLObject::GetChange(Sender); }

void TQCLAlphaObject::SetImageList(TQCLCustomImageList*) {
    if (!GetImageList()) return;
    link(nullptr);
    GetIMLChange(fillObject_);
}

void TQCLAlphaObject::SetInteger(int index, int) {
    int* field = index == 0 ? &imageIndex_ : index == 1 ? &listIndex_ : nullptr;
    if (!field) {
        Change();
        return;
    }
    if (*field == 0) return;
    *field = 0;
    GetIMLChange(fillObject_);
}

void TQCLAlphaObject::SetStrength(float) {
    if (strength_ == 0.0f) return;
    strength_ = 0.0f;
    Change();
}

void TQCLAlphaObject::SetBoolean(int index, bool) {
    if (index != 0 || !transparent_) return;
    transparent_ = false;
    Change();
}

void TQCLAlphaObject::GetIMLChange(TObject*) {
    if (IMLEmpty()) {
        fillObject_->SetListBitmap(nullptr);
    } else {
        TBitmap picture;
        GetImageList()->GetBitmapItem(listIndex_, imageIndex_, &picture);
        fillObject_->SetListBitmap(&picture);
    }
    GetChange(fillObject_);
}

HPALETTE TQCLAlphaObject::GetPalette() const {
    return fillObject_->GetStyle() == sfNone ? nullptr : fillObject_->GetPalette();
}

void TQCLAlphaObject::AlphaBlend(TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->GetEmpty() || fillObject_->GetStyle() == sfNone) return;
    const int w = Bitmap->GetWidth(), h = Bitmap->GetHeight();
    auto fill = std::make_unique<TBitmap>();
    fill->SetPixelFormat(pf24bit);
    fill->SetSize(w, h);
    fillObject_->FillCanvas(fill->GetCanvas(), TRect(0, 0, w, h), clWhite);
    fill->SetTransparentColor(fillObject_->GetFillBitmap()->GetTransparentColor());
    Bitmap->SetPixelFormat(pf24bit);
    // The whole picture (rectangles exclude their right and bottom edge).
    QCLBMPAlphaBlend(Bitmap, fill.get(), TRect(0, 0, w, h), TPoint(0, 0), Bitmap, strength_, TPoint(0, 0));
}

void TQCLAlphaObject::ControlBlend(TBitmap* Source, const TRect& SourceRect, const TRect& TargetRect, TCanvas* Target,
                                   const TRect& TargetClip) {
    if (!Source || !Target || SourceRect.IsEmpty()) return;
    auto area = std::make_unique<TBitmap>();
    area->SetPixelFormat(pf24bit);
    area->SetSize(SourceRect.Width(), SourceRect.Height());
    area->GetCanvas()->CopyRect(TRect(0, 0, SourceRect.Width(), SourceRect.Height()), Source->GetCanvas(), SourceRect);
    AlphaBlend(area.get());
    const TRect clip = TargetClip.IsEmpty() ? TargetRect : TargetClip;
    const int dx = clip.Left - TargetRect.Left, dy = clip.Top - TargetRect.Top;
    BitBlt(Target->GetHandle(), clip.Left, clip.Top, clip.Width(), clip.Height(), area->GetCanvas()->GetHandle(), dx,
           dy, SRCCOPY);
}

void TQCLAlphaObject::DefineProperties(TFiler* Filer) {
    // A list of the global container is stored by its identifier; reading
    // it goes through the setter, which stores none.
    Filer->DefineProperty("Internal", [this](TReader* r) { SetImageList(QCLReadGlobalIdent(r)); },
                          [this](TWriter* w) { QCLWriteGlobalIdent(w, GetImageList()); }, CheckCont());
    Filer->DefineProperty("Strength", [this](TReader* r) { SetStrength(static_cast<float>(r->ReadFloat())); },
                          [this](TWriter* w) { w->WriteFloat(strength_); }, true);
}

AnsiString TQCLAlphaObject::GetSetStr() {
    const TQCLFillStyle style = fillObject_->GetStyle();
    if (style == sfNone) return "{Disabled}";
    const char* kind = style == sfBrush ? "brush" : style == sfGradient ? "grad" : "bmp";
    return AnsiString("{Enabled (") + kind + "), strength: " + Format("%.3f", {static_cast<double>(strength_)}) + "}";
}

void TQCLAlphaObject::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* s = dynamic_cast<TQCLAlphaObject*>(Source);
    if (!s) {
        TQCLObject::Assign(Source);
        return;
    }
    fillObject_->Assign(s->fillObject_);
    transparent_ = s->transparent_;
    strength_ = s->strength_;
    imageIndex_ = s->imageIndex_;
    listIndex_ = s->listIndex_;
    link(s->GetImageList());
}
