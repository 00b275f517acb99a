// Alpha blending of a fill over a control's background (`BackFX.AlphaBlend`,
// TQCLAlphaObject). Switched off in this program: every setter stores the
// neutral value (no image list, indexes 0, Strength 0.0, not transparent)
// and notifies only when that changes what was stored; Enabled answers
// false. Assign still copies the values as they are.
//
// The image-list link: the list is held through the object's change link
// alone (the link's Sender), so a list that is freed first leaves no
// dangling reference. The setter stores none; a list can arrive only by
// Assign, which moves the link without notifying. While a list holding item
// (ListIndex, ImageIndex) is linked, every change of the list copies that
// item into the fill object's list bitmap. A global container's list is
// stored in layouts as the text property "Internal".
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/QCLShapeFill.h"
#include "components/runtime/qclcont.h"

#include "framework/Graphics.h"

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

    // The change link's callback and the end of every index or list setter:
    // refreshes the fill's list bitmap, then notifies.
    void GetIMLChange(TObject* Sender);
    // No list, or the list lacks item (ListIndex, ImageIndex).
    bool IMLEmpty() const;
    // A list is linked and it is not one of the global container's.
    bool HasControl() const;
    // The linked list is one of the global container's.
    bool CheckCont() const { return QCLIsGlobalIdent(GetImageList()); }

    TQCLCustomImageList* GetImageList() const;
    // Stores none (switched off): unlinks a list that Assign brought.
    void SetImageList(TQCLCustomImageList* value);
    // Links a list past the switched-off setter, as Assign from a linked
    // object would; no notification.
    void LinkImageListForTesting(TQCLCustomImageList* list) { link(list); }
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
    void link(TQCLCustomImageList* list);

    float strength_ = 0.6f;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    bool transparent_ = false;
    TQCLFillObject* fillObject_;
    TQCLChangeLink link_;
};
