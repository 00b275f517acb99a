/*
 * The caret property object of the library edits: its shape, size and blink
 * rate, and the building, showing, hiding and destroying of the system caret
 * for the owning control's window.
 *
 * Tricky points:
 * - The caret blink time is system-wide. The value to restore is read once
 *   per process, before any library caret changes it, so an edit built while
 *   another edit's caret is shown does not take that edit's rate for the
 *   user's own setting. It is changed only while a caret is shown.
 * - None of the setters rebuilds the caret: new values show at the next build
 *   (the edit builds again on every focus and after font changes).
 */
#pragma once

#include "components/runtime/QCLObject.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"

#include <cstdint>

class TQCLCustomImageList;

enum TQCLCaretStyles : std::uint8_t { csDefault, csBlock, csUnder, csOver, csBitmap, csUnderBlock };
enum TQCLCaretBitmap : std::uint8_t { cbBmpSize, cbTile, cbStretch };

// The user's caret blink time as it was before the library first changed it.
UINT QCLSystemCaretBlinkTime();

class TQCLCaret : public TQCLObject {
public:
    explicit TQCLCaret(TWinControl* Owner);
    ~TQCLCaret() override;
    AnsiString ClassName() const override { return "TQCLCaret"; }

    // From another caret: BlinkRate, Width, Height and Style.
    void Assign(TPersistent* Source) override;

    void BuildCaret();
    void Enable();
    void Disable();
    void DestroyCaret();

    int GetPos(int Index) const { return (Index == 0) ? pos_[0] : (Index == 1) ? pos_[1] : 0; }
    void SetPos(int Index, int Value) {
        if (Index == 0 || Index == 1) pos_[Index] = Value;
    }
    // Copies item (ListIndex, ImageIndex) of ImageList into the caret's bitmap.
    void GetIMLChange();

    // Index 0 Width, 1 Height, 2 ImageIndex, 3 ListIndex, 4 the font height.
    void SetWord(int Index, std::uint16_t Value);

    std::uint16_t GetWidth() const { return width_; }
    std::uint16_t GetHeight() const { return height_; }
    std::uint16_t GetFontHeight() const { return fontHeight_; }
    std::uint16_t GetImageIndex() const { return imageIndex_; }
    std::uint16_t GetListIndex() const { return listIndex_; }
    TBitmap* GetBitmap() { return bitmap_; }
    void SetBitmap(TBitmap* Value);
    bool IsBuilt() const { return built_; }
    bool IsShown() const { return shown_; }

    std::uint16_t BlinkRate;
    TQCLCaretStyles Style = csDefault;
    TQCLCustomImageList* ImageList = nullptr;
    TQCLCaretBitmap CaretBmpMode = cbBmpSize;

private:
    void setBlinkTime(UINT value);

    int pos_[2] = {0, 0};
    TBitmap* workBitmap_ = nullptr;
    TBitmap* bitmap_ = nullptr;
    std::uint16_t fontHeight_ = 0;
    std::uint16_t width_ = 2;
    std::uint16_t height_ = 10;
    std::uint16_t imageIndex_ = 0;
    std::uint16_t listIndex_ = 0;
    TWinControl* owner_;
    bool built_ = false;
    bool shown_ = false;
};
