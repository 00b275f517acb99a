// Bitmaps drawn with a transparent colour; see Xparbmp.h.
#include "skin/Xparbmp.h"

#include "framework/Win32Handles.h"

namespace {

// A memory DC with one bitmap selected for its lifetime.
struct BitmapDC {
    BitmapDC(HDC like, HBITMAP bitmap) : dc(CreateCompatibleDC(like)), selection(dc.get(), bitmap) {}
    HDC get() const { return dc.get(); }
    win32::MemoryDC dc;
    win32::SelectedObject selection;
};

}  // namespace

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, TColor transparent) {
    BitmapDC source(dc, bitmap);
    SetMapMode(source.get(), GetMapMode(dc));
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    POINT size = {info.bmWidth, info.bmHeight};
    DPtoLP(source.get(), &size, 1);
    const int w = size.x, h = size.y;

    win32::BitmapHandle maskBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    win32::BitmapHandle inverseBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    win32::BitmapHandle savedBitmap(CreateCompatibleBitmap(dc, w, h));
    win32::BitmapHandle workBitmap(CreateCompatibleBitmap(dc, w, h));
    BitmapDC mask(dc, maskBitmap.get()), inverse(dc, inverseBitmap.get());
    BitmapDC saved(dc, savedBitmap.get()), work(dc, workBitmap.get());

    // The mask is 1 where the bitmap has the transparent colour.
    COLORREF oldBack = SetBkColor(source.get(), static_cast<COLORREF>(ColorToRGB(transparent) | clPaletteFlag));
    BitBlt(mask.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
    SetBkColor(source.get(), oldBack);
    BitBlt(inverse.get(), 0, 0, w, h, mask.get(), 0, 0, NOTSRCCOPY);

    BitBlt(saved.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
    BitBlt(work.get(), 0, 0, w, h, dc, x, y, SRCCOPY);
    BitBlt(work.get(), 0, 0, w, h, mask.get(), 0, 0, SRCAND);        // destination where transparent
    BitBlt(source.get(), 0, 0, w, h, inverse.get(), 0, 0, SRCAND);   // bitmap where opaque
    BitBlt(work.get(), 0, 0, w, h, source.get(), 0, 0, SRCPAINT);
    BitBlt(dc, x, y, w, h, work.get(), 0, 0, SRCCOPY);
    BitBlt(source.get(), 0, 0, w, h, saved.get(), 0, 0, SRCCOPY);
}

void DrawTransparent(TBitmap* destination, int x, int y, TBitmap* source, TColor transparent) {
    const int w = source->GetWidth(), h = source->GetHeight();
    HDC sourceDC = source->GetCanvas()->GetHandle();
    HDC targetDC = destination->GetCanvas()->GetHandle();

    win32::BitmapHandle maskBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    win32::BitmapHandle inverseBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    win32::BitmapHandle foreBitmap(CreateCompatibleBitmap(targetDC, w, h));
    win32::BitmapHandle backBitmap(CreateCompatibleBitmap(targetDC, w, h));
    BitmapDC mask(targetDC, maskBitmap.get()), inverse(targetDC, inverseBitmap.get());
    BitmapDC fore(targetDC, foreBitmap.get()), back(targetDC, backBitmap.get());

    COLORREF oldBack = SetBkColor(sourceDC, ColorToRGB(transparent));
    BitBlt(mask.get(), 0, 0, w, h, sourceDC, 0, 0, SRCCOPY);
    SetBkColor(sourceDC, oldBack);
    BitBlt(inverse.get(), 0, 0, w, h, mask.get(), 0, 0, NOTSRCCOPY);
    BitBlt(fore.get(), 0, 0, w, h, sourceDC, 0, 0, SRCCOPY);
    BitBlt(fore.get(), 0, 0, w, h, inverse.get(), 0, 0, SRCAND);
    BitBlt(back.get(), 0, 0, w, h, targetDC, x, y, SRCCOPY);
    BitBlt(back.get(), 0, 0, w, h, mask.get(), 0, 0, SRCAND);
    BitBlt(back.get(), 0, 0, w, h, fore.get(), 0, 0, SRCINVERT);
    BitBlt(targetDC, x, y, w, h, back.get(), 0, 0, SRCCOPY);
    destination->Modified = true;
}
