// Alpha blending of a fill over a control's background (`BackFX.AlphaBlend`,
// TQCLAlphaObject). Switched off in this program: every setter stores the
// neutral value (no image list, indexes 0, Strength 0.0, not transparent)
// and notifies only when that changes what was stored; Enabled answers
// false. Assign still copies the values as they are.
//
// The image-list link: the object names the library's image list
// (TQCLCustomImageList, declared with the image lists) only through a
// pointer that its setter always leaves empty, so no list is ever
// registered or asked for a picture; the fill's list bitmap stays empty.
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/QCLShapeFill.h"

#include "framework/Graphics.h"

class TQCLCustomImageList;
class TReader;
class TWriter;

class TQCLAlphaObject : public TQCLObject {
public:
    TQCLAlphaObject();
    ~TQCLAlphaObject() override;
    AnsiString ClassName() const override { return "TQCLAlphaObject"; }
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;
    AnsiString GetSetStr() override;
    void GetChange(TObject* Sender) override;

    bool Enabled() const { return false; }
    // fill + (bitmap - fill) * Strength per colour byte, when the fill has a style.
    void AlphaBlend(TBitmap* Bitmap);
    // Copies the source area, blends it and draws the result on the target.
    void ControlBlend(TBitmap* Source, const TRect& SourceRect, const TRect& TargetRect, TCanvas* Target,
                      const TRect& TargetClip);
    HPALETTE GetPalette() const;

    // Image-list linkage (no list is ever stored).
    void GetIMLChange(TObject* Sender);
    bool IMLEmpty() const { return imageList_ == nullptr; }
    bool HasControl() const { return false; }
    void CheckCont() {}

    TQCLCustomImageList* GetImageList() const { return imageList_; }
    void SetImageList(TQCLCustomImageList* value);
    // Index 0 ImageIndex, 1 ListIndex.
    int GetInteger(int index) const { return index == 0 ? imageIndex_ : listIndex_; }
    void SetInteger(int index, int value);
    float GetStrength() const { return strength_; }
    void SetStrength(float value);
    // Index 0: the transparency flag; other indexes do nothing.
    bool GetBoolean(int index) const { return index == 0 && transparent_; }
    void SetBoolean(int index, bool value);
    TQCLFillObject* GetFillObject() const { return fillObject_; }
    void SetFillObject(TQCLFillObject* value) { fillObject_->Assign(value); }
    int GetImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { SetInteger(0, value); }
    int GetListIndex() const { return listIndex_; }
    void SetListIndex(int value) { SetInteger(1, value); }

    BRIM_PROPERTY(ImageList, TQCLAlphaObject::GetImageList, TQCLAlphaObject::SetImageList);
    BRIM_PROPERTY(ImageIndex, TQCLAlphaObject::GetImageIndex, TQCLAlphaObject::SetImageIndex);
    BRIM_PROPERTY(ListIndex, TQCLAlphaObject::GetListIndex, TQCLAlphaObject::SetListIndex);
    BRIM_PROPERTY(Strength, TQCLAlphaObject::GetStrength, TQCLAlphaObject::SetStrength);
    BRIM_PROPERTY(FillObject, TQCLAlphaObject::GetFillObject, TQCLAlphaObject::SetFillObject);

private:
    TQCLCustomImageList* imageList_ = nullptr;
    float strength_ = 0.6f;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    bool transparent_ = false;
    TQCLFillObject* fillObject_;
};
