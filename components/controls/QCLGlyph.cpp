// Button glyphs and their process-wide cache; see QCLGlyph.h.
#include "components/controls/QCLGlyph.h"

#include "components/runtime/Qclutils.h"

#include <algorithm>
#include <memory>

namespace {

TQCLGlyphCache* cache = nullptr;
int liveGlyphs = 0;

// Frees the cache once no glyph is left and it holds no strip.
void releaseCacheIfUnused() {
    if (liveGlyphs == 0 && cache && cache->Empty()) {
        delete cache;
        cache = nullptr;
    }
}

}  // namespace

TQCLGlyphCache* QCLGlyphCacheForTesting() { return cache; }

// ---------------------------------------------------------------------------
// TQCLGlyphList

TQCLGlyphList::TQCLGlyphList(int AWidth, int AHeight) : TQCLImageListItem(AWidth, AHeight) { SetMaskedState(true); }

bool TQCLGlyphList::SlotUsed(int Slot) const {
    return Slot >= 0 && Slot < static_cast<int>(slots_.size()) && slots_[static_cast<size_t>(Slot)];
}

int TQCLGlyphList::AllocateIndex() {
    auto free = std::find(slots_.begin(), slots_.end(), false);
    int slot = static_cast<int>(free - slots_.begin());
    if (free == slots_.end()) {
        TBitmap blank;
        blank.SetPixelFormat(pf24bit);
        blank.SetSize(GetWidth(), GetHeight());
        slot = Add(&blank, nullptr);
        slots_.resize(static_cast<size_t>(std::max(slot + 1, static_cast<int>(slots_.size()) + 1)), false);
    }
    slots_[static_cast<size_t>(slot)] = true;
    return slot;
}

int TQCLGlyphList::AddGlyph(TBitmap* Image, TBitmap* Mask) {
    const int slot = AllocateIndex();
    Replace(slot, Image, Mask);
    ++used_;
    return slot;
}

int TQCLGlyphList::AddGlyphMasked(TBitmap* Image, TColor TransparentColor) {
    const int slot = AllocateIndex();
    ReplaceMasked(slot, Image, TransparentColor);
    ++used_;
    return slot;
}

void TQCLGlyphList::DeleteGlyph(int Slot) {
    if (!SlotUsed(Slot)) return;
    slots_[static_cast<size_t>(Slot)] = false;
    --used_;
}

// ---------------------------------------------------------------------------
// TQCLGlyphCache

TQCLGlyphCache::~TQCLGlyphCache() {
    for (auto* list : lists_) delete list;
}

TQCLGlyphList* TQCLGlyphCache::GetList(int Width, int Height) {
    for (auto* list : lists_)
        if (list->GetWidth() == Width && list->GetHeight() == Height) return list;
    auto* list = new TQCLGlyphList(Width, Height);
    lists_.push_back(list);
    return list;
}

void TQCLGlyphCache::FreeList(TQCLGlyphList* List) {
    if (!List || List->UsedCount() != 0) return;
    auto found = std::find(lists_.begin(), lists_.end(), List);
    if (found == lists_.end()) return;
    lists_.erase(found);
    delete List;
}

// ---------------------------------------------------------------------------
// TQCLGlyph

TQCLGlyph::TQCLGlyph() {
    std::fill(std::begin(cells_), std::end(cells_), -1);
    bitmap_ = new TBitmap;
    bitmap_->OnChange = TNotifyEvent(this, &TQCLGlyph::bitmapChanged);
    ++liveGlyphs;
    if (!cache) cache = new TQCLGlyphCache;
}

TQCLGlyph::~TQCLGlyph() {
    bitmap_->OnChange = nullptr;
    delete bitmap_;
    Init();
    --liveGlyphs;
    releaseCacheIfUnused();
}

void TQCLGlyph::Init() {
    if (list_) {
        for (int& cell : cells_) {
            if (cell >= 0) list_->DeleteGlyph(cell);
            cell = -1;
        }
        if (cache) cache->FreeList(list_);
        list_ = nullptr;
    }
    std::fill(std::begin(cells_), std::end(cells_), -1);
}

void TQCLGlyph::SetGlyph(TBitmap* Value) {
    Init();
    TNotifyEvent saved = bitmap_->OnChange;
    bitmap_->OnChange = nullptr;
    if (Value && !Value->GetEmpty()) bitmap_->Assign(Value);
    else bitmap_->SetSize(0, 0);
    bitmap_->OnChange = saved;
    const int w = bitmap_->GetWidth(), h = bitmap_->GetHeight();
    if (h >= 1) {
        transparentColor_ = bitmap_->GetTransparentColor();
        if (w % h == 0) {
            const int n = w / h;
            numGlyphs_ = static_cast<uint8_t>(n > 0 && n < 6 ? n : 1);
        }
    }
    if (OnChange) OnChange(this);
}

void TQCLGlyph::bitmapChanged(TObject*) {
    if (bitmap_->GetHeight() >= 1) transparentColor_ = bitmap_->GetTransparentColor();
    Init();
    if (OnChange) OnChange(this);
}

void TQCLGlyph::SetNumGlyphs(uint8_t Value) {
    if (Value == 0 || Value == numGlyphs_) return;
    Init();
    numGlyphs_ = Value;
}

void TQCLGlyph::SetStyle(TQCLGlyphStyle Value) {
    if (style_ == Value) return;
    Init();
    style_ = Value;
}

int TQCLGlyph::CellOf(TQCLButtonState State) const {
    if (State == bsDisabledUp || State == bsDisabledDown) return 1;
    const int cell = static_cast<int>(State);
    if (cell <= numGlyphs_ - 1) return cell;
    if (style_ == gsExplorer) return State == bsDropDownOpen ? 4 : 2;
    return 0;
}

int TQCLGlyph::GetButtonGlyph(TQCLButtonState State) {
    if (bitmap_->GetEmpty() || bitmap_->GetWidth() < numGlyphs_) return -1;
    const int cell = CellOf(State);
    if (cells_[cell] >= 0) return cells_[cell];
    const int w = bitmap_->GetWidth() / numGlyphs_, h = bitmap_->GetHeight();
    if (!cache) cache = new TQCLGlyphCache;
    if (!list_) list_ = cache->GetList(w, h);
    TBitmap picture;
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(w, h);
    const TRect target(0, 0, w, h);
    auto copyCell = [&](int from) {
        picture.GetCanvas()->CopyRect(target, bitmap_->GetCanvas(), TRect(from * w, 0, (from + 1) * w, h));
    };
    if (cell < numGlyphs_) {
        copyCell(cell);
        if (cell == 0 && style_ == gsExplorer) {
            TBitmap grey;
            QCLBmpCreateGrayscale(&grey, &picture);
            picture.Assign(&grey);
        }
    } else if (cell == 1) {
        TBitmap normal;
        normal.SetPixelFormat(pf24bit);
        normal.SetSize(w, h);
        normal.GetCanvas()->CopyRect(target, bitmap_->GetCanvas(), TRect(0, 0, w, h));
        normal.SetTransparentColor(transparentColor_);
        QCLBmpDrawDisabledState(&picture, &normal, 0, 0);
    } else {
        copyCell(0);
    }
    cells_[cell] = list_->AddGlyphMasked(&picture, transparentColor_);
    return cells_[cell];
}

void TQCLGlyph::GetStateBitmap(TQCLButtonState State, TBitmap* Bitmap) {
    const int slot = GetButtonGlyph(State);
    if (slot < 0 || !list_ || !Bitmap) return;
    list_->GetBitmap(slot, Bitmap);
}

TQCLTextGlyphRects TQCLGlyph::DrawButtonGlyphAndText(TCanvas* Canvas, const AnsiString& Text, bool MultiLine,
                                                      TQCLDrawTextStyles Styles, TQCLGlyphTextLayout* Layout,
                                                      TQCLButtonState State, const TRect& Rect,
                                                      TQCL3DCaption* Caption, UINT Flags) {
    const int slot = GetButtonGlyph(State);
    TRect glyphRect;
    TCanvas* image = nullptr;
    TCanvas* mask = nullptr;
    if (slot >= 0 && list_) {
        glyphRect = list_->GetImageRect(slot);
        image = list_->GetImageBitmap()->GetCanvas();
        mask = list_->GetImageMaskBitmap() ? list_->GetImageMaskBitmap()->GetCanvas() : nullptr;
    }
    return QCLDrawTextAndGlyphExt(Canvas, Text, Caption, Rect, image, glyphRect, mask, transparentColor_, Layout,
                                  MultiLine, true, true, Styles, Flags);
}
