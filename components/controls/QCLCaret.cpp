// The library edits' caret: see QCLCaret.h for the blink-time rule.
#include "components/controls/QCLCaret.h"

#include "components/runtime/Qclgraph.h"
#include "components/runtime/qclcont.h"

UINT QCLSystemCaretBlinkTime() {
    static const UINT value = GetCaretBlinkTime();
    return value;
}

TQCLCaret::TQCLCaret(TWinControl* Owner) : owner_(Owner) {
    BlinkRate = static_cast<std::uint16_t>(QCLSystemCaretBlinkTime());
    bitmap_ = new TBitmap;
}

TQCLCaret::~TQCLCaret() {
    DestroyCaret();
    setBlinkTime(QCLSystemCaretBlinkTime());
    delete workBitmap_;
    delete bitmap_;
}

void TQCLCaret::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TQCLCaret*>(Source);
    if (!other || other == this) return;
    BlinkRate = other->BlinkRate;
    width_ = other->width_;
    height_ = other->height_;
    Style = other->Style;
}

void TQCLCaret::SetWord(int Index, std::uint16_t Value) {
    switch (Index) {
    case 0: width_ = Value; break;
    case 1: height_ = Value; break;
    case 2: imageIndex_ = Value; break;
    case 3: listIndex_ = Value; break;
    case 4: fontHeight_ = Value; break;
    default: break;
    }
}

void TQCLCaret::SetBitmap(TBitmap* Value) {
    if (!bitmap_) bitmap_ = new TBitmap;
    bitmap_->Assign(Value);
}

void TQCLCaret::GetIMLChange() {
    if (!bitmap_) bitmap_ = new TBitmap;
    if (ImageList) ImageList->GetBitmapItem(listIndex_, imageIndex_, bitmap_);
}

void TQCLCaret::setBlinkTime(UINT value) {
    if (value != 0 && GetCaretBlinkTime() != value) SetCaretBlinkTime(value);
}

void TQCLCaret::BuildCaret() {
    if (!owner_ || !owner_->HandleAllocated()) return;
    HWND wnd = owner_->GetHandle();
    switch (Style) {
    case csDefault:
        CreateCaret(wnd, nullptr, 1, fontHeight_);
        break;
    case csBlock:
    case csUnderBlock:
        CreateCaret(wnd, nullptr, width_, height_);
        break;
    case csUnder:
    case csOver:
        CreateCaret(wnd, nullptr, width_, 1);
        break;
    case csBitmap:
        if (CaretBmpMode == cbBmpSize || bitmap_->GetEmpty()) {
            CreateCaret(wnd, bitmap_->GetEmpty() ? nullptr : bitmap_->GetHandle(), width_, height_);
        } else {
            ::DestroyCaret();
            if (!workBitmap_) workBitmap_ = new TBitmap;
            workBitmap_->SetSize(width_, height_);
            TCanvas* canvas = workBitmap_->GetCanvas();
            if (CaretBmpMode == cbStretch) {
                canvas->StretchDraw(TRect(0, 0, width_, height_), bitmap_);
            } else {
                for (int y = 0; y < height_; y += bitmap_->GetHeight())
                    for (int x = 0; x < width_; x += bitmap_->GetWidth()) canvas->Draw(x, y, bitmap_);
            }
            CreateCaret(wnd, workBitmap_->GetHandle(), 0, 0);
        }
        break;
    }
    built_ = true;
    setBlinkTime(BlinkRate);
}

void TQCLCaret::Enable() {
    shown_ = true;
    if (!built_) BuildCaret();
    setBlinkTime(BlinkRate);
    if (owner_ && owner_->HandleAllocated()) ShowCaret(owner_->GetHandle());
}

void TQCLCaret::Disable() {
    shown_ = false;
    if (owner_ && owner_->HandleAllocated()) HideCaret(owner_->GetHandle());
    setBlinkTime(QCLSystemCaretBlinkTime());
}

void TQCLCaret::DestroyCaret() {
    if (owner_ && owner_->HandleAllocated()) {
        setBlinkTime(QCLSystemCaretBlinkTime());
        if (built_) ::DestroyCaret();
    }
    built_ = false;
    shown_ = false;
}
