// The shape button (TQCLCustomShapeButton, published as TQCLShapeButton): a
// graphic button drawn as a geometric shape with a shadow or a 3D bevel,
// filled by state colour (TQCLShapeButtonColor) or with a fill object, whose
// mouse hits are tested against the shape's region.
//
// Tricky points:
// - The shape's points lie in the client area with the shadow depth left
//   free at the right and bottom; the hit region is built from them where
//   the shape is drawn (not moved by the shadow), so the whole visible face
//   answers and the shadow does not.
// - The hot state repaints only when the Up and MouseOver colours differ.
// - A size change recomputes the points (BoundsChange).
// - Pressed, the shape stays where it is (only its shadow goes) while its
//   fill picture and caption move down and right.
// - A transparent button without a parent picture paints over Color and
//   leaves that colour out when it copies itself to the screen.
#pragma once

#include "components/controls/QCLGraphicButton.h"
#include "components/runtime/QCLShape.h"
#include "components/runtime/QCLShapeFill.h"
#include "components/runtime/qclcont.h"
#include "components/runtime/qclpointlist.h"

enum TQCLShapeButtonStyle : uint8_t { sbsShadow, sbs3D };
enum TQCLShapeButtonMode : uint8_t { sbmShapeFast, sbmShapeFill };

class TQCLShapeButtonColor : public TQCLObject {
public:
    TQCLShapeButtonColor() = default;
    AnsiString ClassName() const override { return "TQCLShapeButtonColor"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override { return AnsiString(); }

    // Index 0 Disabled, 1 Down, 2 MouseOver, 3 OptionSet, 4 Up.
    TColor GetColor(int Index) const { return colors_[Index]; }
    void SetColor(int Index, TColor Value);

private:
    TColor colors_[5] = {clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace};
};

class TQCLCustomShapeButton : public TQCLBaseGraphicButton {
public:
    explicit TQCLCustomShapeButton(TComponent* AOwner);
    ~TQCLCustomShapeButton() override;
    AnsiString ClassName() const override { return "TQCLCustomShapeButton"; }

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Streams a global container's fill list as "InternalBtn"; reads and
    // ignores the older "CaptionClip" flag.
    void DefineProperties(TFiler* Filer) override;
    void GetChange(TObject* Sender) override;
    bool ShapeButtonColorChange() override;
    bool VerifyTransparency(int X, int Y) override;

    TQCLShape* GetShape() const { return shape_; }
    void SetShape(TQCLShape* Value) { shape_->Assign(Value); }
    TQCLShapeButtonColor* GetColors() const { return colors_; }
    TQCLShapeFill* GetShapeFill() const { return shapeFill_; }
    TQCLShapeButtonStyle GetShapeStyle() const { return style_; }
    void SetShapeStyle(TQCLShapeButtonStyle Value);
    TQCLShapeButtonMode GetMode() const { return mode_; }
    void SetMode(TQCLShapeButtonMode Value);
    void SetBevel3D(bool Value);
    // The image list whose picture an sfBitmapList fill shows; any change of
    // the list, the list or the indexes reloads that picture.
    TQCLCustomImageList* GetShapeFillImageList() const { return fillList_; }
    void SetBtnFaceImageList(TQCLCustomImageList* Value);
    // Index 0 ShapeFillImageIndex, 1 ShapeFillListIndex; negative values are ignored.
    int GetBtnFaceIndex(int Index) const { return Index == 0 ? fillImageIndex_ : fillListIndex_; }
    void SetBtnFaceIndex(int Index, int Value);
    TQCLPointList* Points() const { return points_; }
    // The colour the face takes in a state.
    TColor StateColor(TQCLButtonState State) const;
    // How far a pressed face moves its picture and caption: 2 pixels in 3D,
    // else the shadow's depth.
    int PressedShift() const;
    // The fill's palette.
    HPALETTE GetPalette() override;

protected:
    void Paint() override;
    void BoundsChange(TQCLBoundsChangeStates State) override;
    void computeShape();
    // Copies the fill list's picture into the fill.
    void reloadFillImage();
    void fillListChange(TObject*) { reloadFillImage(); }
    // The fill picture, moved for a pressed face into Shifted.
    TBitmap* fillFor(bool Pressed, TBitmap& Shifted);

    TQCLShape* shape_;
    TQCLShapeButtonColor* colors_;
    TQCLShapeFill* shapeFill_;
    TBitmap* fillBitmap_;
    TBrush* brush_;
    TQCLPointList* points_;
    TQCLShapeButtonStyle style_ = sbsShadow;
    TQCLShapeButtonMode mode_ = sbmShapeFast;
    bool bevel3D_ = false;
    TQCLCustomImageList* fillList_ = nullptr;
    TQCLChangeLink fillLink_;
    int fillImageIndex_ = 0;
    int fillListIndex_ = 0;
    bool ready_ = false;
};

class TQCLShapeButton : public TQCLCustomShapeButton {
public:
    using TQCLCustomShapeButton::TQCLCustomShapeButton;
    AnsiString ClassName() const override { return "TQCLShapeButton"; }

    BRIM_PROPERTY(ShapeFillImageList, TQCLCustomShapeButton::GetShapeFillImageList,
                  TQCLCustomShapeButton::SetBtnFaceImageList);
};
