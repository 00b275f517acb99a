// Off-screen bitmaps for the drawing tests.
#include "tests/components/runtime/DrawingTestSupport.h"

namespace drawtest {

std::unique_ptr<TBitmap> makeBitmap(int w, int h, TColor color) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(bitmap.get(), x, y, ColorToRGB(color));
    return bitmap;
}

COLORREF pixel(TBitmap* bitmap, int x, int y) {
    if (bitmap->GetPixelFormat() != pf24bit) return static_cast<COLORREF>(bitmap->GetCanvas()->GetPixel(x, y));
    const auto* row = static_cast<const unsigned char*>(bitmap->GetScanLine(y)) + x * 3;
    return RGB(row[2], row[1], row[0]);
}

void setPixel(TBitmap* bitmap, int x, int y, COLORREF color) {
    auto* row = static_cast<unsigned char*>(bitmap->GetScanLine(y)) + x * 3;
    row[0] = GetBValue(color);
    row[1] = GetGValue(color);
    row[2] = GetRValue(color);
}

std::vector<COLORREF> pixels(TBitmap* bitmap) {
    std::vector<COLORREF> all;
    for (int y = 0; y < bitmap->GetHeight(); ++y)
        for (int x = 0; x < bitmap->GetWidth(); ++x) all.push_back(pixel(bitmap, x, y));
    return all;
}

TRect boxOf(TBitmap* bitmap, COLORREF color) {
    TRect box(0, 0, 0, 0);
    bool any = false;
    for (int y = 0; y < bitmap->GetHeight(); ++y)
        for (int x = 0; x < bitmap->GetWidth(); ++x) {
            if (pixel(bitmap, x, y) != color) continue;
            if (!any) {
                box = TRect(x, y, x + 1, y + 1);
                any = true;
            }
            box.Left = std::min(box.Left, x);
            box.Top = std::min(box.Top, y);
            box.Right = std::max(box.Right, x + 1);
            box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box;
}

int countOf(TBitmap* bitmap, COLORREF color) {
    int n = 0;
    for (COLORREF p : pixels(bitmap)) n += p == color;
    return n;
}

}  // namespace drawtest
