// Region shapes and frames of the component library: window regions of
// decorative shapes (star, shields, diamond, octagon, comb, rectangles with a
// nose, think bubbles) and painters that draw matching two-tone or
// single-colour borders of the same shapes on a canvas.
//
// Geometry: rectangles are left, top, right, bottom with right and bottom
// exclusive; w and h are the rectangle's width and height; w / 2 truncates;
// products with fractions round to the nearest integer, halves to even.
// Polygons use the alternate fill mode.
//
// Tricky points:
// - Every builder returns a new region the caller owns; a region handed to
//   a window with SetWindowRgn belongs to the window: release() it then.
// - The shields are placed at 0,0 whatever the rectangle's left and top.
// - The bubble angles use 1.57, not pi / 2, on purpose; a bubble count below
//   1 gives no bubbles (the shrunk shape alone).
// - A region object builds its shape into a region it keeps; SetRegion hands
//   the window a copy (the window owns what it is given) and keeps another.
// - Region data from outside (user regions, masks) is checked before use;
//   bad or missing data gives no shape region.
// - The form shape reshapes on every change and on WM_SIZE; a bitmap shape
//   resizes the form, which sends WM_SIZE again: the reshaping flag keeps
//   that from reshaping inside a reshape.
// - Frame painters change the canvas's pen colour, and give back the DC's
//   clip region as they found it (the nose and bubble frames clip while
//   they draw).
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/QCLRegionMask.h"
#include "components/runtime/QCLRgnShadow.h"
#include "components/runtime/QCLShapeFill.h"
#include "components/runtime/QCLWndProcComponent.h"
#include "components/runtime/qclcont.h"
#include "components/runtime/qclpointlist.h"

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/Win32Handles.h"

#include <vector>

enum TQCLRegionShape {
    rsRect, rsRoundRect, rsBitmap, rsNoseRect, rsRoundNoseRect, rsElliptic, rsStar, rsRoundShield,
    rsSharpShield, rsDiamond, rsOctagon, rsComb, rsHalfRound, rsUserRegion, rsThinkBubble,
    rsRoundThinkBubble, rsEllipticThinkBubble, rsPointList
};

// The side (first word) and the end of that side (second word) where a nose
// or the bubbles sit.
enum TQCLExtPos {
    epLeftTop, epTopLeft, epTopRight, epRightTop, epRightBottom, epBottomRight, epBottomLeft, epLeftBottom
};

enum TQCLRegionBorderStyle {
    rbNone, rbLowered, rbRaised, rbSingle, rbSingleRaised, rbSingleLowered, rbRaisedpsb, rbLoweredpsb
};

// Region builders.
win32::RegionHandle QCLCreateDiamondRgn(const TRect& R);
win32::RegionHandle QCLCreateStarRgn(const TRect& R);
win32::RegionHandle QCLCreateOctagonRgn(const TRect& R);
win32::RegionHandle QCLCreateCombRgn(const TRect& R);
win32::RegionHandle QCLCreateRoundShieldRgn(const TRect& R);
win32::RegionHandle QCLCreateSharpShieldRgn(const TRect& R);
win32::RegionHandle QCLCreateNoseRectRgn(const TRect& R, int Size, TQCLExtPos Pos);
win32::RegionHandle QCLCreateRoundNoseRectRgn(const TRect& R, int Size, int EllipseWidth, int EllipseHeight,
                                              TQCLExtPos Pos);
win32::RegionHandle QCLCreateThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos);
win32::RegionHandle QCLCreateRoundThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos,
                                                 int EllipseWidth, int EllipseHeight);
win32::RegionHandle QCLCreateEllipticThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos);

// The pieces of the shapes, exposed for the region objects and for tests.
namespace qclregion {
// The rectangle less Size on the side and the end that Pos names.
TRect ShrinkForExtension(const TRect& R, int Size, TQCLExtPos Pos);
// The nose triangle: the tip, then the two base points.
std::vector<TPoint> NosePoints(const TRect& Shrunk, int Size, int BaseOffset, TQCLExtPos Pos);
// The bubble circles (k = 0 .. Count + 2) as bounding boxes; none below count 1.
std::vector<TRect> BubbleCircles(const TRect& Shrunk, int Size, int Count, TQCLExtPos Pos);
std::vector<TPoint> StarPoints(const TRect& R);
std::vector<TPoint> DiamondPoints(const TRect& R);
std::vector<TPoint> OctagonPoints(const TRect& R);
std::vector<TPoint> CombPoints(const TRect& R);
}  // namespace qclregion

// Frame painters: canvas, rectangle, light, shadow and single colour, style.
void QCLFrameRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style);
void QCLFrameRoundRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                          TQCLRegionBorderStyle Style, int EllipseWidth, int EllipseHeight);
void QCLFrameEllipticRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                         TQCLRegionBorderStyle Style);
void QCLFrameHalfRoundRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                          TQCLRegionBorderStyle Style);
void QCLFrameDiamondRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                        TQCLRegionBorderStyle Style);
void QCLFrameStarRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style);
void QCLFrameOctagonRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                        TQCLRegionBorderStyle Style);
void QCLFrameCombRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style);
void QCLFrameRoundShieldRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style);
void QCLFrameSharpShieldRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style);
void QCLFrameNoseRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                         TQCLRegionBorderStyle Style, int Size, TQCLExtPos Pos);
void QCLFrameRoundNoseRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                              TQCLRegionBorderStyle Style, int Size, int EllipseWidth, int EllipseHeight,
                              TQCLExtPos Pos);
void QCLFrameThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos);
void QCLFrameRoundThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                                 TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos,
                                 int EllipseWidth, int EllipseHeight);
void QCLFrameEllipticThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                                    TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos);
// The outline through the points, closed: segments running right or up in
// the light colour, left or down in the shadow colour (the horizontal
// direction decides); rbSingle draws all in the single colour.
void QCLFramePointListRgn(TCanvas* Canvas, const std::vector<TPoint>& Points, TColor Light, TColor Shadow,
                          TColor Single, TQCLRegionBorderStyle Style);

// The border of a region object: style and the three colours. Each setter
// notifies only when the value differs.
class TQCLRegionBorder : public TQCLObject {
public:
    AnsiString ClassName() const override { return "TQCLRegionBorder"; }
    void Assign(TPersistent* Source) override;

    void SetBorderStyle(TQCLRegionBorderStyle value) { QCLSetField(this, style_, value); }
    // 0 light, 1 shadow, 2 single.
    void SetColor(int Which, TColor value);
    TQCLRegionBorderStyle GetBorderStyle() const { return style_; }
    TColor GetLightColor() const { return light_; }
    TColor GetShadowColor() const { return shadow_; }
    TColor GetSingleColor() const { return single_; }
    void SetLightColor(TColor value) { SetColor(0, value); }
    void SetShadowColor(TColor value) { SetColor(1, value); }
    void SetSingleColor(TColor value) { SetColor(2, value); }

    BRIM_PROPERTY(Style, TQCLRegionBorder::GetBorderStyle, TQCLRegionBorder::SetBorderStyle);
    BRIM_PROPERTY(LightColor, TQCLRegionBorder::GetLightColor, TQCLRegionBorder::SetLightColor);
    BRIM_PROPERTY(ShadowColor, TQCLRegionBorder::GetShadowColor, TQCLRegionBorder::SetShadowColor);
    BRIM_PROPERTY(SingleColor, TQCLRegionBorder::GetSingleColor, TQCLRegionBorder::SetSingleColor);

private:
    TQCLRegionBorderStyle style_ = rbSingle;
    TColor light_ = clBtnHighlight;
    TColor shadow_ = clBtnShadow;
    TColor single_ = clBlack;
};

// A shape as a region: built for a rectangle, applied to the owner window
// (with its shadow), and painted as a frame. Changes of the owned border,
// mask, shadow and point list signal a change of the region.
class TQCLRegion : public TQCLObject {
public:
    // Window: the owner window; none for a free region.
    explicit TQCLRegion(TWinControl* Window = nullptr);
    ~TQCLRegion() override;
    AnsiString ClassName() const override { return "TQCLRegion"; }
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    // Builds the shape region for the rectangle (the one the object keeps).
    virtual void CreateRegion(TRect Rect);
    // The shape region becomes the plain rectangle.
    void CreateSpecialRectRgn(const TRect& Rect);
    // The kept shape region; none before CreateRegion or without data.
    HRGN ShapeRegion() const { return shapeRgn_.get(); }
    // Applies a copy of the shape region (with the shadow) to the owner window.
    void SetRegion();
    // Removes the owner window's region when one is in use.
    void FreeRegion();
    // Shrinks Rect by the shadow depth (when there is a shadow style) and
    // paints the shadow area.
    void DrawShadow(TCanvas* Canvas, TRect& Rect);
    virtual void PaintRegionShape(TCanvas* Canvas, TRect Rect);

    void SetUserRgn(HRGN Region);
    // Points[0 .. High].
    void SetUserPolygonRgn(const TPoint* Points, int High);
    const std::string& UserRegionData() const { return userData_; }
    static void DeleteHandle(win32::RegionHandle& Handle) { Handle.reset(nullptr); }

    TQCLRegionShape GetRegionShape() const { return shape_; }
    void SetRegionShape(TQCLRegionShape value);
    // 0 RoundX, 1 RoundY.
    void SetInteger(int Which, int value);
    int GetRoundX() const { return roundX_; }
    int GetRoundY() const { return roundY_; }
    void SetRoundX(int value) { SetInteger(0, value); }
    void SetRoundY(int value) { SetInteger(1, value); }
    TQCLExtPos GetExtPos() const { return extPos_; }
    void SetNosePos(TQCLExtPos value) { QCLSetField(this, extPos_, value); }
    int GetBubbleCount() const { return bubbleCount_; }
    void SetBubbleCount(int value) { QCLSetField(this, bubbleCount_, value); }
    TQCLRegionBorder* GetBorder() const { return border_; }
    void SetBorder(TQCLRegionBorder* value) { border_->Assign(value); }
    TQCLRegionMask* GetMask() const { return mask_; }
    void SetMask(TQCLRegionMask* value);
    TQCLRgnShadow* GetShadow() const { return shadow_; }
    void SetShadow(TQCLRgnShadow* value) { shadow_->Assign(value); }
    TQCLPointList* GetPoints() const { return points_; }
    TPoint GetOffset() const { return offset_; }
    void SetOffset(const TPoint& value) { offset_ = value; }
    bool GetShadowOff() const { return shadowOff_; }
    void SetShadowOff(bool value) { shadowOff_ = value; }
    TWinControl* GetOwnerWindow() const { return window_; }
    void SetOwnerWindow(TWinControl* value) { window_ = value; }
    // The depth the shadow takes: 0 without a shadow style.
    int ShadowDepth() const { return shadow_->EffectiveDepth(); }
    bool ShadowShown() const { return shadow_->GetStyle() != hssNone && !shadowOff_; }

    BRIM_PROPERTY(Shape, TQCLRegion::GetRegionShape, TQCLRegion::SetRegionShape);
    BRIM_PROPERTY(RoundX, TQCLRegion::GetRoundX, TQCLRegion::SetRoundX);
    BRIM_PROPERTY(RoundY, TQCLRegion::GetRoundY, TQCLRegion::SetRoundY);
    BRIM_PROPERTY(ExtPos, TQCLRegion::GetExtPos, TQCLRegion::SetNosePos);

protected:
    bool InDesigner() const;

private:
    void ownedChanged(TObject* sender) { GetChange(sender); }
    void pointsChanged(TObject* sender);
    void storePointListRegion();
    win32::RegionHandle userRegion() const;
    win32::RegionHandle buildShape(const TRect& r) const;
    void paintFrame(TCanvas* canvas, const TRect& r) const;

    TQCLRegionShape shape_ = rsRoundRect;
    TQCLRegionBorder* border_;
    TQCLRegionMask* mask_;
    int bubbleCount_ = 4;
    int roundX_ = 20;
    int roundY_ = 20;
    win32::RegionHandle shapeRgn_;
    win32::RegionHandle inUse_;
    TWinControl* window_;
    std::string userData_;
    TQCLExtPos extPos_ = epLeftTop;
    TQCLRgnShadow* shadow_;
    TPoint offset_{0, 0};
    bool shadowOff_ = false;
    TQCLPointList* points_;
};

// The region with its border published.
class TQCLBorderRegion : public TQCLRegion {
public:
    using TQCLRegion::TQCLRegion;
    AnsiString ClassName() const override { return "TQCLBorderRegion"; }
    BRIM_PROPERTY(Border, TQCLRegion::GetBorder, TQCLRegion::SetBorder);
};

// Gives the form that owns it a window of the region's shape: fitted to the
// client area, with or without the title bar, with the region's shadow, the
// border painted on erasing, an optional fill or bitmap background, and the
// form draggable by its client area.
class TQCLFormShape : public TQCLWndProcComponent {
public:
    explicit TQCLFormShape(TComponent* AOwner);
    ~TQCLFormShape() override;
    AnsiString ClassName() const override { return "TQCLFormShape"; }

    void SetPolygonShape(const TPoint* Points, int High);
    void SetRegionShape(HRGN Region);
    // 0 ShowFormCaption (reshapes when changed), 1 FormDragable (stores),
    // 2 UseRgnBitmap (signals a change when changed).
    void SetBoolean(int Which, bool value);
    // 0 ListIndex, 1 ImageIndex; stores only.
    void SetInteger(int Which, int value);
    void SetRegion(TQCLBorderRegion* value) { region_->Assign(value); }
    void SetFillObject(TQCLFillObject* value) { fill_->Assign(value); }
    void ReRegion();
    // Dc 0: the form canvas's device context.
    void PaintBorder(HDC Dc);
    TBitmap* BackBitmap() const;
    bool BackBitmapCheck() const;
    TPoint BackMapPoint(const TPoint& Point) const { return Point; }
    bool BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Point) const;

    TQCLBorderRegion* GetRegion() const { return region_; }
    TQCLFillObject* GetFillObject() const { return fill_; }
    bool GetShowFormCaption() const { return showFormCaption_; }
    bool GetFormDragable() const { return formDragable_; }
    bool GetUseRgnBitmap() const { return useRgnBitmap_; }
    int GetListIndex() const { return listIndex_; }
    int GetImageIndex() const { return imageIndex_; }
    void SetShowFormCaption(bool value) { SetBoolean(0, value); }
    void SetFormDragable(bool value) { SetBoolean(1, value); }
    void SetUseRgnBitmap(bool value) { SetBoolean(2, value); }
    void SetListIndex(int value) { SetInteger(0, value); }
    void SetImageIndex(int value) { SetInteger(1, value); }
    // The list whose item (ListIndex, ImageIndex) an sfBitmapList fill paints;
    // its changes reshape, its removal clears it. A global container's list
    // is kept in layouts as the text property "Internal".
    TQCLCustomImageList* GetImageList() const { return imageList_; }
    void SetImageList(TQCLCustomImageList* value);
    void GetIMLChange(TObject* Sender) { GetChange(Sender); }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DefineProperties(TFiler* Filer) override;
    // The client rectangle the border was last fitted to (client coordinates).
    TRect PaintRect() const { return paintRect_; }
    // The caption height of the last reshaping.
    int CaptionHeight() const { return captionHeight_; }

    BRIM_PROPERTY(ShowFormCaption, TQCLFormShape::GetShowFormCaption, TQCLFormShape::SetShowFormCaption);
    BRIM_PROPERTY(FormDragable, TQCLFormShape::GetFormDragable, TQCLFormShape::SetFormDragable);
    BRIM_PROPERTY(UseRgnBitmap, TQCLFormShape::GetUseRgnBitmap, TQCLFormShape::SetUseRgnBitmap);

    void GetChange(TObject* Sender) override;
    void Loaded() override;
    void Init() override;
    void RestoreState() override;
    void WndProc(TMessage& Message) override;

private:
    struct FrameMetrics {
        int frameWidth, frameHeight, captionHeight;
    };
    TCustomForm* form() const;
    bool inDesigner() const { return ComponentState().Contains(csDesigning); }
    FrameMetrics metrics(const TCustomForm& f) const;
    win32::RegionHandle windowShape(TCustomForm& f, const FrameMetrics& m, bool minimised);
    void hitTest(TMessage& Message);

    TQCLBorderRegion* region_;
    bool reshaping_ = false;
    bool useRgnBitmap_ = true;
    bool rightButton_ = false;
    bool formDragable_ = true;
    bool showFormCaption_ = true;
    TQCLFillObject* fill_;
    TBitmap* back_;
    TRect paintRect_{0, 0, 0, 0};
    int listIndex_ = 0;
    int imageIndex_ = 0;
    int captionHeight_ = 0;
    TQCLChangeLink link_;
    TQCLCustomImageList* imageList_ = nullptr;
};
