// The bitmap strip of the skinned windows; see ImagePanel.h.
#include "skin/ImagePanel.h"

#include <algorithm>
#include <memory>

TImagePanel::TImagePanel(TComponent* AOwner) : TGraphicControl(AOwner), bitmap_(new TBitmap) {
    SetBounds(0, 0, 100, 36);
    SetText("");
    bitmap_->OnChange = TNotifyEvent(this, &TImagePanel::bitmapChanged);
}

TImagePanel::~TImagePanel() { delete bitmap_; }

void TImagePanel::bitmapChanged(TObject*) { Invalidate(); }

void TImagePanel::SetBitmap(TBitmap* value) {
    bitmap_->Assign(value);
    Invalidate();
}

void TImagePanel::SetImageStyle(TImageDrawStyle value) {
    style_ = value;
    Invalidate();
}

void TImagePanel::SetXPos(int value) {
    x_ = value;
    Invalidate();
}

void TImagePanel::SetYPos(int value) {
    y_ = value;
    Invalidate();
}

void TImagePanel::Paint() {
    if (!bitmap_->GetModified() || bitmap_->GetEmpty()) return;
    std::unique_ptr<TBitmap> picture(new TBitmap);
    picture->Assign(bitmap_);
    const int pw = picture->GetWidth(), ph = picture->GetHeight();
    if (pw <= 0 || ph <= 0) return;
    TCanvas* canvas = GetCanvas();
    TCanvas* source = picture->GetCanvas();
    const TRect R(1, 1, GetWidth() - 1, GetHeight() - 1);
    switch (style_) {
    case ipSingle: {
        int w = std::min(R.Right - x_, pw), h = std::min(R.Bottom - y_, ph);
        if (w > 0 && h > 0) canvas->CopyRect(Bounds(x_, y_, w, h), source, Rect(0, 0, w, h));
        break;
    }
    case ipStretch:
        canvas->StretchDraw(R, picture.get());
        break;
    case ipTile:
        for (int top = R.Top; top < R.Bottom; top += ph) {
            int h = std::min(ph, R.Bottom - top);
            for (int left = R.Left; left < R.Right; left += pw) {
                int w = std::min(pw, R.Right - left);
                canvas->CopyRect(Bounds(left, top, w, h), source, Rect(0, 0, w, h));
            }
        }
        break;
    }
}
