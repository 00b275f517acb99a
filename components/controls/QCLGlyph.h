// Button glyphs: TQCLGlyph turns a graphic button's glyph bitmap into one
// picture per button state, kept in a process-wide cache (TQCLGlyphCache) of
// masked strips (TQCLGlyphList), one strip per picture size, shared by all
// buttons.
//
// Tricky points:
// - A strip's slot is freed when a glyph drops its pictures, but the strip
//   keeps the picture area for reuse; a strip without used slots is freed.
// - The cache lives while glyphs live: it is made by the first glyph and
//   freed only when the last glyph goes and no strip is left (a glyph that
//   outlives another keeps using it).
// - Pictures are made lazily per cell: states share cells (disabled-down
//   uses the disabled cell, hot and pressed fall back to the normal cell),
//   and a missing disabled cell is derived in the embossed look.
// - The UI thread alone uses the cache.
#pragma once

#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLGlyphTextLayout.h"
#include "components/runtime/Qclgraph.h"
#include "components/runtime/Qclutils.h"
#include "components/runtime/qclcont.h"

#include "framework/Graphics.h"

#include <vector>

enum TQCLGlyphStyle : uint8_t { gsStandard, gsExplorer };

class TQCLGlyphList : public TQCLImageListItem {
public:
    TQCLGlyphList(int AWidth, int AHeight);
    AnsiString ClassName() const override { return "TQCLGlyphList"; }

    // The lowest free slot, marked used; the strip grows when all are used.
    int AllocateIndex();
    int AddGlyph(TBitmap* Image, TBitmap* Mask);
    int AddGlyphMasked(TBitmap* Image, TColor TransparentColor);
    // Frees a used slot; the picture stays for reuse.
    void DeleteGlyph(int Slot);
    int UsedCount() const { return used_; }
    bool SlotUsed(int Slot) const;

private:
    int used_ = 0;
    std::vector<bool> slots_;
};

class TQCLGlyphCache {
public:
    TQCLGlyphCache() = default;
    ~TQCLGlyphCache();
    TQCLGlyphCache(const TQCLGlyphCache&) = delete;
    TQCLGlyphCache& operator=(const TQCLGlyphCache&) = delete;

    TQCLGlyphList* GetList(int Width, int Height);
    // Removes and frees a list without used slots.
    void FreeList(TQCLGlyphList* List);
    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return static_cast<int>(lists_.size()); }

private:
    std::vector<TQCLGlyphList*> lists_;
};

// The process-wide cache, or null when no glyph lives.
TQCLGlyphCache* QCLGlyphCacheForTesting();

class TQCLGlyph : public TObject {
public:
    TQCLGlyph();
    ~TQCLGlyph() override;
    AnsiString ClassName() const override { return "TQCLGlyph"; }

    TBitmap* GetBitmap() const { return bitmap_; }
    // A copy; none clears. A strip of square cells (fewer than 6) sets NumGlyphs.
    void SetGlyph(TBitmap* Value);
    uint8_t GetNumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(uint8_t Value);
    TQCLGlyphStyle GetStyle() const { return style_; }
    void SetStyle(TQCLGlyphStyle Value);
    TColor GetTransparentColor() const { return transparentColor_; }

    // Gives the pictures back to the strip and releases the strip.
    void Init();
    // The slot of the state's picture, made on first use; -1 without a bitmap.
    int GetButtonGlyph(TQCLButtonState State);
    // The cell the state uses.
    int CellOf(TQCLButtonState State) const;
    TQCLGlyphList* List() const { return list_; }
    void GetStateBitmap(TQCLButtonState State, TBitmap* Bitmap);
    TQCLTextGlyphRects DrawButtonGlyphAndText(TCanvas* Canvas, const AnsiString& Text, bool MultiLine,
                                               TQCLDrawTextStyles Styles, TQCLGlyphTextLayout* Layout,
                                               TQCLButtonState State, const TRect& Rect, TQCL3DCaption* Caption,
                                               UINT Flags);

    TNotifyEvent OnChange;

private:
    void bitmapChanged(TObject* Sender);

    int cells_[8];
    TBitmap* bitmap_;
    TQCLGlyphList* list_ = nullptr;
    TColor transparentColor_ = clOlive;
    uint8_t numGlyphs_ = 1;
    TQCLGlyphStyle style_ = gsStandard;
};
