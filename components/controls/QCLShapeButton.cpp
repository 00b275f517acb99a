// The shape button; see QCLShapeButton.h.
#include "components/controls/QCLShapeButton.h"

#include "components/runtime/QCLShadow.h"
#include "components/runtime/QCLSimpleBevel.h"
#include "components/runtime/Qclgrapa.h"
#include "components/runtime/Qclshapebase.h"
#include "components/runtime/Qclutils.h"

#include "framework/Filer.h"
#include "framework/Win32Handles.h"

#include <algorithm>
#include <vector>

namespace {

bool isPressedState(TQCLButtonState s) {
    return s == bsOptionSet || s == bsDown || s == bsDropDownOpen || s == bsDisabledDown;
}

}  // namespace

void TQCLShapeButtonColor::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TQCLShapeButtonColor*>(Source)) {
        std::copy(std::begin(other->colors_), std::end(other->colors_), std::begin(colors_));
        Change();
        return;
    }
    TQCLObject::Assign(Source);
}

void TQCLShapeButtonColor::SetColor(int Index, TColor Value) {
    if (Index < 0 || Index > 4 || colors_[Index] == Value) return;
    colors_[Index] = Value;
    Change();
}

TQCLCustomShapeButton::TQCLCustomShapeButton(TComponent* AOwner) : TQCLBaseGraphicButton(AOwner) {
    brush_ = new TBrush;
    points_ = new TQCLPointList;
    SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks, csReplicatable});
    shape_ = new TQCLShape;
    shape_->GetBrush()->SetColor(clBtnFace);
    allowMouseOver_ = true;
    colors_ = new TQCLShapeButtonColor;
    fillBitmap_ = new TBitmap;
    shapeFill_ = new TQCLShapeFill;
    shape_->OnChange = TNotifyEvent(this, &TQCLCustomShapeButton::GetChange);
    colors_->OnChange = TNotifyEvent(this, &TQCLCustomShapeButton::GetChange);
    shapeFill_->OnChange = TNotifyEvent(this, &TQCLCustomShapeButton::GetChange);
    ready_ = true;
    computeShape();
}

TQCLCustomShapeButton::~TQCLCustomShapeButton() {
    ready_ = false;
    if (fillList_) fillList_->UnRegisterChanges(&fillLink_);
    shape_->OnChange = nullptr;
    colors_->OnChange = nullptr;
    shapeFill_->OnChange = nullptr;
    delete shapeFill_;
    delete fillBitmap_;
    delete colors_;
    delete shape_;
    delete points_;
    delete brush_;
}

void TQCLCustomShapeButton::DefineProperties(TFiler* Filer) {
    TQCLBaseGraphicButton::DefineProperties(Filer);
    Filer->DefineProperty(
        "InternalBtn",
        TReaderProc([this](TReader* reader) {
            if (TQCLCustomImageList* list = QCLReadGlobalIdent(reader)) SetBtnFaceImageList(list);
        }),
        TWriterProc([this](TWriter* writer) { QCLWriteGlobalIdent(writer, fillList_); }), QCLIsGlobalIdent(fillList_));
    Filer->DefineProperty("CaptionClip", TReaderProc([](TReader* reader) { reader->ReadBoolean(); }), TWriterProc(),
                          false);
}

void TQCLCustomShapeButton::Loaded() {
    TQCLBaseGraphicButton::Loaded();
    if (QCLIsCollectionImageList(fillList_)) reloadFillImage();
    computeShape();
}

void TQCLCustomShapeButton::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLBaseGraphicButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fillList_) {
        fillList_->UnRegisterChanges(&fillLink_);
        fillList_ = nullptr;
        if (!GetComponentState().Contains(csDestroying)) reloadFillImage();
    }
}

void TQCLCustomShapeButton::SetBtnFaceImageList(TQCLCustomImageList* Value) {
    if (fillList_ == Value) return;
    if (fillList_) {
        fillList_->UnRegisterChanges(&fillLink_);
        fillList_->RemoveFreeNotification(this);
    }
    fillList_ = Value;
    if (Value) {
        fillLink_.OnChange = TNotifyEvent(this, &TQCLCustomShapeButton::fillListChange);
        Value->RegisterChanges(&fillLink_);
        Value->FreeNotification(this);
    }
    reloadFillImage();
}

void TQCLCustomShapeButton::SetBtnFaceIndex(int Index, int Value) {
    if (Value < 0) return;
    (Index == 0 ? fillImageIndex_ : fillListIndex_) = Value;
    if (fillList_) reloadFillImage();
}

void TQCLCustomShapeButton::reloadFillImage() {
    if (fillList_ && fillList_->IsValidItem(fillListIndex_, fillImageIndex_)) {
        TBitmap picture;
        fillList_->GetBitmapItem(fillListIndex_, fillImageIndex_, &picture);
        shapeFill_->SetListBitmap(&picture);
    } else {
        shapeFill_->SetListBitmap(nullptr);
    }
    GetChange(shapeFill_);
}

bool TQCLCustomShapeButton::ShapeButtonColorChange() { return colors_->GetColor(4) != colors_->GetColor(2); }

TColor TQCLCustomShapeButton::StateColor(TQCLButtonState State) const {
    switch (State) {
    case bsUp: return colors_->GetColor(4);
    case bsDisabledUp: case bsDisabledDown: return colors_->GetColor(0);
    case bsMouseOver: return colors_->GetColor(2);
    case bsOptionSet: case bsDropDownOpen: return colors_->GetColor(3);
    case bsDown: return colors_->GetColor(1);
    default: return colors_->GetColor(4);
    }
}

void TQCLCustomShapeButton::computeShape() {
    if (!ready_) return;
    const TRect client = GetClientRect();
    if (mode_ == sbmShapeFill && !client.IsEmpty()) {
        fillBitmap_->SetPixelFormat(pf24bit);
        fillBitmap_->SetSize(client.Width(), client.Height());
        TCanvas* c = fillBitmap_->GetCanvas();
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(GetColor());
        c->FillRect(client);
        switch (shapeFill_->GetStyle()) {
        case sfBitmap: case sfBitmapList:
            if (TBitmap* picture = shapeFill_->GetBitmap())
                QCLBmpDraw(c, client, picture, QCLTileMode2DSF(shapeFill_->GetTileMode()), GetColor());
            break;
        case sfGradient: shapeFill_->GetGradient()->PaintGradient(c, client); break;
        default: break;
        }
    }
    QCLShapeCalc(client, shape_->GetShape(), nullptr, shape_->GetSquare(), shape_->GetBrush(),
                 shape_->GetRoundPercent(), shape_->GetBevel(), style_ == sbs3D ? nullptr : shape_->GetShadow(),
                 points_);
}

void TQCLCustomShapeButton::GetChange(TObject* Sender) {
    computeShape();
    TQCLBaseGraphicButton::GetChange(Sender);
}

void TQCLCustomShapeButton::BoundsChange(TQCLBoundsChangeStates State) {
    TQCLBaseGraphicButton::BoundsChange(State);
    if (State.Contains(bcSize)) computeShape();
}

void TQCLCustomShapeButton::SetShapeStyle(TQCLShapeButtonStyle Value) {
    if (style_ == Value) return;
    style_ = Value;
    GetChange(this);
}

void TQCLCustomShapeButton::SetMode(TQCLShapeButtonMode Value) {
    if (mode_ == Value) return;
    mode_ = Value;
    if (Value == sbmShapeFast) fillBitmap_->SetSize(0, 0);
    GetChange(this);
}

void TQCLCustomShapeButton::SetBevel3D(bool Value) {
    bevel3D_ = Value;
    GetChange(this);
}

bool TQCLCustomShapeButton::VerifyTransparency(int X, int Y) {
    const int count = points_->GetCount();
    if (count < 2) return true;
    TPoint a, b;
    points_->GetPoint(0, a);
    points_->GetPoint(1, b);
    const int depth = style_ == sbs3D ? 0 : shape_->GetShadow()->EffectiveDepth();
    HRGN region = nullptr;
    switch (shape_->GetShape()) {
    case TQCLShapeType::stEllipse: region = CreateEllipticRgn(a.x, a.y, b.x, b.y); break;
    case TQCLShapeType::stRectangle: region = CreateRectRgn(a.x, a.y, b.x, b.y); break;
    case TQCLShapeType::stRoundRect: {
        const int corner = std::min(GetWidth() - depth, GetHeight() - depth) * shape_->GetRoundPercent() / 100;
        region = CreateRoundRectRgn(a.x, a.y, b.x, b.y, corner, corner);
        break;
    }
    default: {
        std::vector<POINT> polygon;
        for (int i = 0; i < count / 2; ++i) {
            TPoint p;
            points_->GetPoint(i, p);
            polygon.push_back({p.x, p.y});
        }
        if (polygon.size() >= 3)
            region = CreatePolygonRgn(polygon.data(), static_cast<int>(polygon.size()), WINDING);
        break;
    }
    }
    if (!region) return true;
    // The region stays where the shape is drawn: the points already leave
    // the shadow's depth free at the right and bottom.
    const bool in = PtInRegion(region, X, Y) != FALSE;
    DeleteObject(region);
    return in;
}

HPALETTE TQCLCustomShapeButton::GetPalette() { return shapeFill_->GetPalette(); }

int TQCLCustomShapeButton::PressedShift() const {
    if (style_ == sbs3D) return 2;
    return shape_->GetShadow()->EffectiveDepth();
}

TBitmap* TQCLCustomShapeButton::fillFor(bool Pressed, TBitmap& Shifted) {
    const int shift = Pressed ? PressedShift() : 0;
    if (shift == 0 || fillBitmap_->GetEmpty()) return fillBitmap_;
    // A pressed face moves its picture down and right, as the caption does.
    Shifted.SetPixelFormat(pf24bit);
    Shifted.SetSize(fillBitmap_->GetWidth(), fillBitmap_->GetHeight());
    TCanvas* c = Shifted.GetCanvas();
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(TRect(0, 0, Shifted.GetWidth(), Shifted.GetHeight()));
    c->Draw(shift, shift, fillBitmap_);
    return &Shifted;
}

void TQCLCustomShapeButton::Paint() {
    if (IsLoading()) return;
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    const bool pressed = isPressedState(state_);
    TQCLShadow shadow;
    shadow.Assign(shape_->GetShadow());
    if (pressed) shadow.SetDepth(0);
    TQCLShadow* usedShadow = style_ == sbs3D ? nullptr : &shadow;
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(client.Width(), client.Height());
    TCanvas* c = bitmap.GetCanvas();
    c->GetBrush()->SetStyle(bsSolid);
    // Under a transparent button the parent's picture; without one, Color
    // stands in and is left out when the result is drawn.
    const bool backed = transparent_ && DrawParentBackground(c, client);
    if (!backed) {
        c->GetBrush()->SetColor(GetColor());
        c->FillRect(client);
    }
    brush_->Assign(shape_->GetBrush());
    brush_->SetStyle(bsSolid);
    brush_->SetColor(StateColor(state_));
    TBitmap* fill = nullptr;
    TBitmap shifted;
    if (mode_ == sbmShapeFill) {
        switch (shapeFill_->GetStyle()) {
        case sfNone: brush_->SetStyle(bsClear); break;
        case sfBrush: brush_->Assign(shape_->GetBrush()); break;
        case sfBrushBitmap:
            if (TBitmap* picture = shapeFill_->GetFillBitmap(); picture && !picture->GetEmpty())
                brush_->SetBitmap(picture);
            break;
        case sfBitmap: case sfBitmapList: case sfGradient: fill = fillFor(pressed, shifted); break;
        default: break;
        }
    }
    // The 3D look: the shape's bevel, sunk while pressed and raised otherwise.
    TQCLSimpleBevel bevel3D;
    bevel3D.Assign(shape_->GetBevel());
    bevel3D.SetStyle(pressed ? sbInset : sbOffset);
    QCLShapeDraw(client, c, shape_->GetShape(), nullptr, points_, shape_->GetSquare(), brush_,
                 shape_->GetRoundPercent(), style_ == sbs3D ? &bevel3D : nullptr, usedShadow, fill, GetColor(),
                 GetColor());
    brush_->SetBitmap(nullptr);
    const int bevel = shape_->GetBevel()->GetWidth();
    const int depth = style_ == sbs3D ? 0 : shape_->GetShadow()->EffectiveDepth();
    TRect caption(client.Left + bevel + 1, client.Top + bevel + 1, client.Right - (2 * bevel + depth + 1),
                  client.Bottom - (2 * bevel + depth + 1));
    if (state_ == bsOptionSet || state_ == bsDown || state_ == bsDropDownOpen) {
        const int shift = PressedShift();
        caption = TRect(caption.Left + shift, caption.Top + shift, caption.Right + shift, caption.Bottom + shift);
    }
    c->SetFont(GetFont());
    TQCLDrawTextStyles styles;
    styles << dt3DDisabled << (GetEnabled() ? dtEnabled : dtDisabled);
    glyph_->DrawButtonGlyphAndText(c, GetCaption(), GetMultiLine(), styles, layout_, state_, caption, fontFX_, 0);
    if (transparent_ && !backed) {
        bitmap.SetTransparent(true);
        bitmap.SetTransparentColor(GetColor());
    }
    canvas->Draw(0, 0, &bitmap);
}
