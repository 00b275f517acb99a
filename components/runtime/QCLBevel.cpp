// The bevel property object.
#include "components/runtime/QCLBevel.h"

#include "components/runtime/Qclutils.h"

#include "framework/Win32Handles.h"

namespace {

bool isFrameStyle(TQCLBevelStyle s) {
    return s == TQCLBevelStyle::bvFrameLowered || s == TQCLBevelStyle::bvFrameRaised;
}

}  // namespace

void TQCLBevel::setStyle(TQCLBevelStyle& side, TQCLBevelStyle& other, TQCLBevelStyle value) {
    using S = TQCLBevelStyle;
    if (side == value) return;
    if (value == S::bvShadow) other = S::bvShadow;
    else if (side == S::bvShadow) other = S::bvNone;
    side = value;
    Change();
}

void TQCLBevel::SetStyleInner(TQCLBevelStyle value) { setStyle(styleInner_, styleOuter_, value); }
void TQCLBevel::SetStyleOuter(TQCLBevelStyle value) { setStyle(styleOuter_, styleInner_, value); }
void TQCLBevel::SetWidthInner(std::uint8_t value) { QCLSetField(this, widthInner_, value); }
void TQCLBevel::SetWidthOuter(std::uint8_t value) { QCLSetField(this, widthOuter_, value); }
void TQCLBevel::SetBorderSides(TQCLFrameSides value) { QCLSetField(this, borderSides_, value); }
void TQCLBevel::SetBorderWidth(std::uint8_t value) { QCLSetField(this, borderWidth_, value); }
void TQCLBevel::SetBorderSpace(std::uint8_t value) { QCLSetField(this, borderInnerWidth_, value); }
void TQCLBevel::SetEdgeStyle(TQCLEdgeStyle value) { QCLSetField(this, edgeStyle_, value); }

TColor TQCLBevel::GetColor(int index) const {
    switch (index) {
    case 0: return borderColor_;
    case 1: return lightColor_;
    default: return shadowColor_;
    }
}

void TQCLBevel::SetColor(int index, TColor value) {
    switch (index) {
    case 0: QCLSetField(this, borderColor_, value); break;
    case 1: QCLSetField(this, lightColor_, value); break;
    case 2: QCLSetField(this, shadowColor_, value); break;
    default: Change(); break;
    }
}

void TQCLBevel::SetMode(TQCLBevelMode value) {
    if (mode_ == value) return;
    if (supportsClientEdge_ && (mode_ == bmWindows || value == bmWindows)) recreateMark_ = true;
    mode_ = value;
    Change();
}

void TQCLBevel::SetStandardStyle(TQCLBorderStyle value) {
    if (standardStyle_ == value) return;
    standardStyle_ = value;
    if (mode_ == bmStandard) Change();
}

void TQCLBevel::SetSupportsClientEdge(bool value) {
    supportsClientEdge_ = value;
    updateInsets();
}

int TQCLBevel::GetBevelExtend() const {
    using S = TQCLBevelStyle;
    switch (mode_) {
    case bmCustom: {
        if (styleInner_ == S::bvShadow) return widthInner_ + borderInnerWidth_;
        int inset = borderWidth_ + borderInnerWidth_;
        if (styleOuter_ != S::bvNone) inset += widthOuter_ + (isFrameStyle(styleOuter_) ? 1 : 0);
        if (styleInner_ != S::bvNone) inset += widthInner_ + (isFrameStyle(styleInner_) ? 1 : 0);
        return inset;
    }
    case bmStandard: return QCLDrawStdFrameExt(standardStyle_) + borderInnerWidth_;
    case bmEdge: return (borderSides_.Empty() ? 0 : 2) + borderInnerWidth_;
    case bmWindows: return supportsClientEdge_ ? 0 : borderInnerWidth_ + 2;
    }
    return 0;
}

void TQCLBevel::updateInsets() {
    inset_ = GetBevelExtend();
    insetRightBottom_ = mode_ == bmCustom && styleOuter_ == TQCLBevelStyle::bvShadow
                            ? widthInner_ + widthOuter_ + borderInnerWidth_
                            : inset_;
}

void TQCLBevel::Change() {
    updateInsets();
    TQCLObject::Change();
}

bool TQCLBevel::GetRecreateWnd() {
    const bool recreate = recreateMark_ || (mode_ == bmWindows && supportsClientEdge_);
    recreateMark_ = false;
    return recreate;
}

TRect TQCLBevel::ClientRect(const TRect& Rect) const {
    if (mode_ == bmCustom && styleOuter_ == TQCLBevelStyle::bvShadow) {
        const int topLeft = widthInner_ + borderInnerWidth_;
        const int bottomRight = widthInner_ + widthOuter_ + borderInnerWidth_;
        return TRect(Rect.Left + topLeft, Rect.Top + topLeft, Rect.Right - bottomRight, Rect.Bottom - bottomRight);
    }
    return TRect(Rect.Left + inset_, Rect.Top + inset_, Rect.Right - inset_, Rect.Bottom - inset_);
}

void TQCLBevel::borderRing(TCanvas* canvas, TRect& rect, int width, bool transparent) const {
    if (transparent) {
        rect = TRect(rect.Left + width, rect.Top + width, rect.Right - width, rect.Bottom - width);
        return;
    }
    canvas->GetBrush()->SetColor(borderColor_);
    canvas->GetBrush()->SetStyle(bsSolid);
    for (int i = 0; i < width; ++i) {
        canvas->FrameRect(rect);
        rect = TRect(rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1);
    }
}

TRect TQCLBevel::PaintBevel(TCanvas* Canvas, const TRect& Rect, bool Transparent) {
    if (inset_ == 0 || !Canvas) return Rect;
    TRect r = Rect;
    switch (mode_) {
    case bmCustom:
        if (styleOuter_ == TQCLBevelStyle::bvShadow) {
            QCLDrawFrameShadow(Canvas, r, lightColor_, shadowColor_, borderColor_, widthOuter_, widthInner_, Transparent);
        } else {
            QCLDrawFrame3D(Canvas, r, styleOuter_, lightColor_, shadowColor_, widthOuter_);
            borderRing(Canvas, r, borderWidth_, Transparent);
            QCLDrawFrame3D(Canvas, r, styleInner_, lightColor_, shadowColor_, widthInner_);
        }
        break;
    case bmStandard: QCLDrawStdFrame(Canvas, r, standardStyle_, 0); break;
    case bmWindows: QCLDrawStdFrame(Canvas, r, lsLoweredExt, 0); break;
    case bmEdge:
        if (!borderSides_.Empty()) {
            static const UINT edges[] = {BDR_RAISEDINNER, BDR_RAISEDOUTER, BDR_SUNKENINNER, BDR_SUNKENOUTER,
                                         EDGE_BUMP,       EDGE_ETCHED,     EDGE_RAISED,     EDGE_SUNKEN};
            UINT sides = 0;
            if (borderSides_.Contains(fsBottom)) sides |= BF_BOTTOM;
            if (borderSides_.Contains(fsTop)) sides |= BF_TOP;
            if (borderSides_.Contains(fsRight)) sides |= BF_RIGHT;
            if (borderSides_.Contains(fsLeft)) sides |= BF_LEFT;
            RECT rc = *r.rc();
            DrawEdge(Canvas->GetHandle(), &rc, edges[edgeStyle_], sides);
            r = TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
        }
        break;
    }
    borderRing(Canvas, r, borderInnerWidth_, Transparent);
    return r;
}

void TQCLBevel::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* s = dynamic_cast<TQCLBevel*>(Source);
    if (!s) {
        TQCLObject::Assign(Source);
        return;
    }
    styleInner_ = s->styleInner_;
    styleOuter_ = s->styleOuter_;
    widthInner_ = s->widthInner_;
    widthOuter_ = s->widthOuter_;
    borderColor_ = s->borderColor_;
    borderInnerWidth_ = s->borderInnerWidth_;
    borderWidth_ = s->borderWidth_;
    borderSides_ = s->borderSides_;
    edgeStyle_ = s->edgeStyle_;
    lightColor_ = s->lightColor_;
    mode_ = s->mode_;
    shadowColor_ = s->shadowColor_;
    standardStyle_ = s->standardStyle_;
    supportsClientEdge_ = s->supportsClientEdge_;
    Change();
}

AnsiString TQCLBevel::GetSetStr() {
    static const char* const words[] = {"Custom style", "Standard style", "Etged style", "Windows style"};
    return AnsiString("{") + words[mode_] + "}";
}
