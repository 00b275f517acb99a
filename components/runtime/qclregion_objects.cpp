// Region objects: the border, and the region that builds, applies and paints
// a shape (see qclregion.h). Regions are scoped handles throughout; the one
// given to a window with SetWindowRgn is a copy released to the window.
#include "components/runtime/qclregion.h"

#include "components/runtime/qclclass.h"

#include "framework/Filer.h"

namespace {

win32::RegionHandle copyOf(HRGN region) {
    win32::RegionHandle copy(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(copy.get(), region, nullptr, RGN_COPY);
    return copy;
}

win32::RegionHandle regionFromData(const std::string& data) {
    if (!QCLValidRegionData(data.data(), static_cast<int>(data.size())))
        return win32::RegionHandle();
    return win32::RegionHandle(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                               reinterpret_cast<const RGNDATA*>(data.data())));
}

std::string dataOf(HRGN region) {
    const DWORD size = region ? GetRegionData(region, 0, nullptr) : 0;
    if (size == 0)
        return std::string();
    std::string data(size, '\0');
    if (GetRegionData(region, size, reinterpret_cast<RGNDATA*>(&data[0])) == 0)
        return std::string();
    return data;
}

std::vector<TPoint> pointsOf(const TQCLPointList& list) {
    std::vector<TPoint> points(static_cast<size_t>(list.GetCount()));
    for (int i = 0; i < list.GetCount(); ++i)
        list.GetPoint(i, points[static_cast<size_t>(i)]);
    return points;
}

}  // namespace

// ---------------------------------------------------------------------------

void TQCLRegionBorder::SetColor(int Which, TColor value) {
    QCLSetField(this, Which == 0 ? light_ : Which == 1 ? shadow_ : single_, value);
}

void TQCLRegionBorder::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TQCLRegionBorder*>(Source);
    if (!source) {
        TQCLObject::Assign(Source);
        return;
    }
    style_ = source->style_;
    light_ = source->light_;
    shadow_ = source->shadow_;
    single_ = source->single_;
    Change();
}

// ---------------------------------------------------------------------------

TQCLRegion::TQCLRegion(TWinControl* Window)
    : border_(new TQCLRegionBorder), mask_(new TQCLRegionMask), window_(Window), shadow_(new TQCLRgnShadow),
      points_(new TQCLPointList) {
    border_->OnChange = TNotifyEvent(this, &TQCLRegion::ownedChanged);
    mask_->OnChange = TNotifyEvent(this, &TQCLRegion::ownedChanged);
    shadow_->OnChange = TNotifyEvent(this, &TQCLRegion::ownedChanged);
    points_->OnChange = TNotifyEvent(this, &TQCLRegion::pointsChanged);
}

TQCLRegion::~TQCLRegion() {
    border_->OnChange = nullptr;
    mask_->OnChange = nullptr;
    shadow_->OnChange = nullptr;
    points_->OnChange = nullptr;
    delete points_;
    delete shadow_;
    delete mask_;
    delete border_;
}

bool TQCLRegion::InDesigner() const { return window_ && window_->ComponentState().Contains(csDesigning); }

void TQCLRegion::SetRegionShape(TQCLRegionShape value) {
    if (shape_ == value)
        return;
    shape_ = value;
    if (value == rsPointList)
        storePointListRegion();
    Change();
}

void TQCLRegion::SetInteger(int Which, int value) { QCLSetField(this, Which == 0 ? roundX_ : roundY_, value); }

void TQCLRegion::SetMask(TQCLRegionMask* value) {
    mask_->Assign(value);
    Change();
}

void TQCLRegion::pointsChanged(TObject* sender) {
    storePointListRegion();
    GetChange(sender);
}

void TQCLRegion::storePointListRegion() {
    if (shape_ != rsPointList || points_->GetCount() == 0)
        return;
    std::vector<POINT> raw;
    for (const TPoint& p : pointsOf(*points_))
        raw.push_back(POINT{p.x, p.y});
    win32::RegionHandle polygon(CreatePolygonRgn(raw.data(), static_cast<int>(raw.size()), ALTERNATE));
    userData_ = dataOf(polygon.get());
}

void TQCLRegion::SetUserRgn(HRGN Region) { userData_ = dataOf(Region); }

void TQCLRegion::SetUserPolygonRgn(const TPoint* Points, int High) {
    points_->BeginUpdate();
    points_->Clear();
    std::vector<POINT> raw;
    for (int i = 0; Points && i <= High; ++i) {
        points_->AddPoint(Points[i]);
        raw.push_back(POINT{Points[i].x, Points[i].y});
    }
    points_->EndUpdate(false);
    win32::RegionHandle polygon(
        raw.empty() ? nullptr : CreatePolygonRgn(raw.data(), static_cast<int>(raw.size()), ALTERNATE));
    userData_ = dataOf(polygon.get());
}

win32::RegionHandle TQCLRegion::userRegion() const { return regionFromData(userData_); }

win32::RegionHandle TQCLRegion::buildShape(const TRect& r) const {
    const int w = r.Right - r.Left;
    switch (shape_) {
    case rsRect: return win32::RegionHandle(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
    case rsRoundRect:
        return win32::RegionHandle(CreateRoundRectRgn(r.Left, r.Top, r.Right, r.Bottom, roundX_, roundY_));
    case rsBitmap: return mask_->CreateRegion();
    case rsNoseRect: return QCLCreateNoseRectRgn(r, w / 10, extPos_);
    case rsRoundNoseRect: return QCLCreateRoundNoseRectRgn(r, w / 10, roundX_, roundY_, extPos_);
    case rsElliptic: return win32::RegionHandle(CreateEllipticRgn(r.Left, r.Top, r.Right, r.Bottom));
    case rsStar: return QCLCreateStarRgn(r);
    case rsRoundShield: return QCLCreateRoundShieldRgn(r);
    case rsSharpShield: return QCLCreateSharpShieldRgn(r);
    case rsDiamond: return QCLCreateDiamondRgn(r);
    case rsOctagon: return QCLCreateOctagonRgn(r);
    case rsComb: return QCLCreateCombRgn(r);
    case rsHalfRound:
        return win32::RegionHandle(CreateEllipticRgn(r.Left, 2 * r.Top - r.Bottom, r.Right, r.Bottom));
    case rsUserRegion:
        return InDesigner() ? win32::RegionHandle(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom)) : userRegion();
    case rsThinkBubble: return QCLCreateThinkBubbleRgn(r, w / 6, bubbleCount_, extPos_);
    case rsRoundThinkBubble:
        return QCLCreateRoundThinkBubbleRgn(r, w / 6, bubbleCount_, extPos_, roundX_, roundY_);
    case rsEllipticThinkBubble: return QCLCreateEllipticThinkBubbleRgn(r, w / 6, bubbleCount_, extPos_);
    case rsPointList: return userRegion();
    }
    return win32::RegionHandle();
}

void TQCLRegion::CreateRegion(TRect Rect) {
    if (window_ && window_->ComponentState().Contains(csDestroying))
        return;
    Rect.Left += offset_.x;
    Rect.Top += offset_.y;
    shapeRgn_.reset(nullptr);
    Rect.Right -= ShadowDepth();
    Rect.Bottom -= ShadowDepth();
    shapeRgn_ = buildShape(Rect);
}

void TQCLRegion::CreateSpecialRectRgn(const TRect& Rect) {
    shapeRgn_.reset(CreateRectRgn(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom));
}

void TQCLRegion::SetRegion() {
    if (!shapeRgn_)
        return;
    win32::RegionHandle region = copyOf(shapeRgn_.get());
    if (ShadowShown()) {
        win32::RegionHandle moved = copyOf(region.get());
        OffsetRgn(moved.get(), ShadowDepth(), ShadowDepth());
        CombineRgn(region.get(), region.get(), moved.get(), RGN_OR);
    }
    inUse_ = copyOf(region.get());
    if (window_ && window_->HandleAllocated())
        SetWindowRgn(window_->GetHandle(), region.release(), TRUE);
}

void TQCLRegion::FreeRegion() {
    if (!inUse_)
        return;
    if (window_ && window_->HandleAllocated())
        SetWindowRgn(window_->GetHandle(), nullptr, FALSE);
    inUse_.reset(nullptr);
}

void TQCLRegion::DrawShadow(TCanvas* Canvas, TRect& Rect) {
    if (shadow_->GetStyle() == hssNone)
        return;
    const int depth = shadow_->GetDepth();
    Rect.Right -= depth;
    Rect.Bottom -= depth;
    if (shadowOff_ || !shapeRgn_)
        return;
    win32::RegionHandle area = copyOf(shapeRgn_.get());
    OffsetRgn(area.get(), depth, depth);
    CombineRgn(area.get(), area.get(), shapeRgn_.get(), RGN_DIFF);
    const HDC dc = Canvas->GetHandle();
    win32::BrushHandle brush;
    int rop = R2_COPYPEN;
    if (shadow_->GetStyle() == hssTracing && QCLApplication) {
        brush.reset(CreatePatternBrush(QCLApplication->GetBrushBitmap(shadow_->GetColor())->GetHandle()));
        rop = R2_MASKPEN;
    } else {
        brush.reset(CreateSolidBrush(ColorToRGB(shadow_->GetColor())));
    }
    {
        win32::SelectedObject selected(dc, brush.get());
        const int previous = SetROP2(dc, rop);
        PaintRgn(dc, area.get());
        SetROP2(dc, previous);
    }
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->GetPen()->SetMode(pmCopy);
    Canvas->GetPen()->SetStyle(psSolid);
}

void TQCLRegion::PaintRegionShape(TCanvas* Canvas, TRect Rect) {
    Rect.Left += offset_.x;
    Rect.Top += offset_.y;
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->GetPen()->SetWidth(2);
    DrawShadow(Canvas, Rect);
    paintFrame(Canvas, Rect);
}

void TQCLRegion::paintFrame(TCanvas* c, const TRect& r) const {
    const TColor L = border_->GetLightColor(), S = border_->GetShadowColor(), G = border_->GetSingleColor();
    const TQCLRegionBorderStyle st = border_->GetBorderStyle();
    const int w = r.Right - r.Left;
    switch (shape_) {
    case rsRect: QCLFrameRectRgn(c, r, L, S, G, st); break;
    case rsRoundRect: QCLFrameRoundRectRgn(c, r, L, S, G, st, roundX_, roundY_); break;
    case rsNoseRect: QCLFrameNoseRectRgn(c, r, L, S, G, st, w / 10, extPos_); break;
    case rsRoundNoseRect: QCLFrameRoundNoseRectRgn(c, r, L, S, G, st, w / 10, roundX_, roundY_, extPos_); break;
    case rsElliptic: QCLFrameEllipticRgn(c, r, L, S, G, st); break;
    case rsStar: QCLFrameStarRgn(c, r, L, S, G, st); break;
    case rsRoundShield: QCLFrameRoundShieldRgn(c, r, L, S, G, st); break;
    case rsSharpShield: QCLFrameSharpShieldRgn(c, r, L, S, G, st); break;
    case rsDiamond: QCLFrameDiamondRgn(c, r, L, S, G, st); break;
    case rsOctagon: QCLFrameOctagonRgn(c, r, L, S, G, st); break;
    case rsComb: QCLFrameCombRgn(c, r, L, S, G, st); break;
    case rsHalfRound: QCLFrameHalfRoundRgn(c, r, L, S, G, st); break;
    case rsThinkBubble: QCLFrameThinkBubbleRgn(c, r, L, S, G, st, w / 6, bubbleCount_, extPos_); break;
    case rsRoundThinkBubble:
        QCLFrameRoundThinkBubbleRgn(c, r, L, S, G, st, w / 6, bubbleCount_, extPos_, roundX_, roundY_);
        break;
    case rsEllipticThinkBubble:
        QCLFrameEllipticThinkBubbleRgn(c, r, L, S, G, st, w / 6, bubbleCount_, extPos_);
        break;
    case rsPointList: QCLFramePointListRgn(c, pointsOf(*points_), L, S, G, st); break;
    case rsBitmap:
    case rsUserRegion: break;
    }
}

void TQCLRegion::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TQCLRegion*>(Source);
    if (!source) {
        TQCLObject::Assign(Source);
        return;
    }
    BeginUpdate();
    shape_ = source->shape_;
    roundX_ = source->roundX_;
    roundY_ = source->roundY_;
    extPos_ = source->extPos_;
    shadow_->Assign(source->shadow_);
    border_->Assign(source->border_);
    mask_->Assign(source->mask_);
    EndUpdate(true);
}

void TQCLRegion::DefineProperties(TFiler* Filer) {
    Filer->DefineProperty(
        "PointList",
        [this](TReader* r) {
            points_->BeginUpdate();
            points_->Clear();
            try {
                r->ReadListBegin();
                while (!r->EndOfList()) {
                    const int x = r->ReadInteger();
                    points_->AddPoint(TPoint(x, r->ReadInteger()));
                }
                r->ReadListEnd();
            } catch (...) {
                points_->EndUpdate(true);
                throw;
            }
            points_->EndUpdate(true);
        },
        [this](TWriter* w) {
            w->WriteListBegin();
            for (const TPoint& p : pointsOf(*points_)) {
                w->WriteInteger(p.x);
                w->WriteInteger(p.y);
            }
            w->WriteListEnd();
        },
        points_->GetCount() > 0);
}
