// How an area is filled: by brush, bitmap, a bitmap from an image list, or
// a gradient (TQCLShapeFill), and the fill object of panels and the progress
// bar with its own brush, alignment, offsets and options (TQCLFillObject).
// Both share one unit; the fill object is the shape fill with its own values.
//
// Tricky points:
// - The owned bitmap, gradient and brush report their changes through
//   GetChange, so any change inside reaches the owning control.
// - The list bitmap is the picture the control copies from its image list;
//   setting it never notifies.
// - Alignment and the offsets notify only while they matter: a bitmap style
//   with TileMode tmNone.
// - The clip fill removes the clip region afterwards instead of restoring one.
#pragma once

#include "components/runtime/QCLGradient.h"
#include "components/runtime/QCLObject.h"
#include "components/runtime/Qclutils.h"

#include "framework/Graphics.h"

#include <cstdint>

class TQCLShapeFill : public TQCLObject {
public:
    TQCLShapeFill();
    ~TQCLShapeFill() override;
    AnsiString ClassName() const override { return "TQCLShapeFill"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetSetStr() override;

    // Bitmap for sfBitmap, the list bitmap for sfBitmapList, else none.
    TBitmap* GetBitmap() const;
    bool GetEmpty() const;
    // Whether the painted result depends on the size of the area.
    bool GetMustRedraw() const;
    HPALETTE GetPalette() const;
    // Copies the picture into the list bitmap (none clears it), silently.
    void SetListBitmap(TBitmap* Bitmap);
    TBitmap* GetListBitmap() const { return listBitmap_; }

    TBitmap* GetFillBitmap() const { return bitmap_; }
    void SetFillBitmap(TBitmap* value) { bitmap_->Assign(value); }
    TQCLFillStyle GetStyle() const { return style_; }
    void SetStyle(TQCLFillStyle value);
    TQCLGradient* GetGradient() const { return gradient_; }
    void SetGradient(TQCLGradient* value) { gradient_->Assign(value); }
    TQCLTileMode GetTileMode() const { return tileMode_; }
    void SetTileMode(TQCLTileMode value);

    BRIM_PROPERTY(Bitmap, TQCLShapeFill::GetFillBitmap, TQCLShapeFill::SetFillBitmap);
    BRIM_PROPERTY(Style, TQCLShapeFill::GetStyle, TQCLShapeFill::SetStyle);
    BRIM_PROPERTY(Gradient, TQCLShapeFill::GetGradient, TQCLShapeFill::SetGradient);
    BRIM_PROPERTY(TileMode, TQCLShapeFill::GetTileMode, TQCLShapeFill::SetTileMode);

protected:
    // Copies the shape-fill values of the source (inside the caller's bracket).
    void assignShapeFill(TQCLShapeFill* source);

private:
    TBitmap* bitmap_;
    TQCLGradient* gradient_;
    TQCLFillStyle style_ = sfBrush;
    TQCLTileMode tileMode_ = tmTile;
    TBitmap* listBitmap_;
};

enum TQCLFillOption : std::uint8_t { foFillInner, foQuickDraw, foGrUseBitmap };
using TQCLFillOptions = TSet<TQCLFillOption>;

class TQCLFillObject : public TQCLShapeFill {
public:
    TQCLFillObject();
    ~TQCLFillObject() override;
    AnsiString ClassName() const override { return "TQCLFillObject"; }
    void Assign(TPersistent* Source) override;

    // Fills the rectangle by Style; false when nothing was drawn.
    bool FillCanvas(TCanvas* Canvas, const TRect& Rect, TColor Color);
    // The same under a clip region of the rectangle moved by the packed offset.
    bool ClipFill(TCanvas* Canvas, const TRect& Rect, TColor Color, std::uint32_t Offset);
    // Whether parts of the area stay unpainted.
    bool GetTransparent() const;

    TQCLAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TQCLAlignment value);
    // Index 0 OffsetX, 1 OffsetY; another index stores nothing but notifies.
    int GetOffset(int index) const { return index == 0 ? offsetX_ : offsetY_; }
    void SetOffset(int index, int value);
    int GetOffsetX() const { return offsetX_; }
    void SetOffsetX(int value) { SetOffset(0, value); }
    int GetOffsetY() const { return offsetY_; }
    void SetOffsetY(int value) { SetOffset(1, value); }
    TBrush* GetBrush() const { return brush_; }
    void SetBrush(TBrush* value) { brush_->Assign(value); }
    TQCLFillOptions GetOptions() const { return options_; }
    void SetOptions(TQCLFillOptions value);

    BRIM_PROPERTY(Alignment, TQCLFillObject::GetAlignment, TQCLFillObject::SetAlignment);
    BRIM_PROPERTY(OffsetX, TQCLFillObject::GetOffsetX, TQCLFillObject::SetOffsetX);
    BRIM_PROPERTY(OffsetY, TQCLFillObject::GetOffsetY, TQCLFillObject::SetOffsetY);
    BRIM_PROPERTY(Brush, TQCLFillObject::GetBrush, TQCLFillObject::SetBrush);
    BRIM_PROPERTY(Options, TQCLFillObject::GetOptions, TQCLFillObject::SetOptions);

private:
    bool placementMatters() const;
    void background(TCanvas* canvas, const TRect& rect, TColor color) const;
    bool fillBitmap(TCanvas* canvas, const TRect& rect, TColor color, TBitmap* bitmap) const;

    TQCLAlignment alignment_ = agTopLeft;
    int offsetX_ = 0;
    int offsetY_ = 0;
    TBrush* brush_;
    TQCLFillOptions options_{foFillInner, foGrUseBitmap};
};
