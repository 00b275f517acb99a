/*
 * Graphics: colours, pens, brushes, fonts, the canvas, bitmaps on DIB
 * sections, pictures and the JPEG image.
 *
 * Canvas and raw GDI. Library code calls SelectObject, SetBkColor, SelectClipRgn
 * and SetROP2 directly on Canvas->Handle. The canvas therefore re-selects its
 * own pen, brush or font only when that object's handle changed (or after
 * Refresh), never asserts what the DC holds, restores the DC's original
 * objects when it lets go of the DC, and never deletes an object it still has
 * selected: GDI handles are shared between the owner object and every canvas
 * that selected them, and the last holder deletes them.
 *
 * Bitmaps are DIB sections (deterministic pixels under any display); ScanLine
 * rows count from the top. Reading a bitmap's Handle releases it from its
 * canvas DC, because a bitmap fits in one DC at a time.
 */
#pragma once

#include <memory>
#include <vector>

#include "framework/Classes.h"

// ---------------------------------------------------------------------------
// Colours

using TColor = int;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR), clBackground = SystemColor(COLOR_BACKGROUND),
                 clActiveCaption = SystemColor(COLOR_ACTIVECAPTION),
                 clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION), clMenu = SystemColor(COLOR_MENU),
                 clWindow = SystemColor(COLOR_WINDOW), clWindowFrame = SystemColor(COLOR_WINDOWFRAME),
                 clMenuText = SystemColor(COLOR_MENUTEXT), clWindowText = SystemColor(COLOR_WINDOWTEXT),
                 clCaptionText = SystemColor(COLOR_CAPTIONTEXT), clActiveBorder = SystemColor(COLOR_ACTIVEBORDER),
                 clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER), clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE),
                 clHighlight = SystemColor(COLOR_HIGHLIGHT), clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT),
                 clBtnFace = SystemColor(COLOR_BTNFACE), clBtnShadow = SystemColor(COLOR_BTNSHADOW),
                 clGrayText = SystemColor(COLOR_GRAYTEXT), clBtnText = SystemColor(COLOR_BTNTEXT),
                 clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW),
                 cl3DLight = SystemColor(COLOR_3DLIGHT), clInfoText = SystemColor(COLOR_INFOTEXT),
                 clInfoBk = SystemColor(COLOR_INFOBK);
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor clPaletteFlag = 0x02000000;

// System colours through GetSysColor; other values masked to RGB. Test clNone first.
COLORREF ColorToRGB(TColor color);
AnsiString ColorToString(TColor color);
// A name (case ignored), decimal, or "$" hex; EConvertError otherwise.
TColor StringToColor(const AnsiString& text);
bool ColorToIdent(TColor color, AnsiString& ident);
bool IdentToColor(const AnsiString& ident, TColor& color);
// Every named colour, in table order.
std::vector<std::pair<TColor, AnsiString>> ColorNames();

// Book-keeping of FrameworkGdiObjects (the framework's own code calls it).
void TrackGdiObjects(int delta);

// ---------------------------------------------------------------------------
// Shared GDI handles: deleted when the owning object and every canvas that
// selected it have let go.

class TGdiHandle {
public:
    explicit TGdiHandle(HGDIOBJ handle) : handle_(handle) {
        if (handle_) TrackGdiObjects(1);
    }
    ~TGdiHandle();
    TGdiHandle(const TGdiHandle&) = delete;
    TGdiHandle& operator=(const TGdiHandle&) = delete;
    HGDIOBJ get() const { return handle_; }

private:
    HGDIOBJ handle_;
};
using TGdiHandlePtr = std::shared_ptr<TGdiHandle>;

class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;
    // The shared handle (created on demand).
    virtual TGdiHandlePtr SharedHandle() = 0;
    // Bumped by every change; a canvas re-selects the object when it differs.
    unsigned Generation() const { return generation_; }

protected:
    virtual void Changed();

private:
    unsigned generation_ = 0;
};

// ---------------------------------------------------------------------------
// Fonts

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = unsigned char;

class TFont : public TGraphicsObject {
public:
    TFont();
    void Assign(TPersistent* Source) override;
    TGdiHandlePtr SharedHandle() override;

    HFONT GetHandle();
    // Takes ownership of the font and re-reads its description.
    void SetHandle(HFONT value);
    AnsiString GetName() const { return name_; }
    void SetName(const AnsiString& value);
    int GetHeight() const { return height_; }
    void SetHeight(int value);
    int GetSize() const;
    void SetSize(int value);
    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    TFontStyles GetStyle() const { return style_; }
    void SetStyle(TFontStyles value);
    TFontCharset GetCharset() const { return charset_; }
    void SetCharset(TFontCharset value);
    TFontPitch GetPitch() const { return pitch_; }
    void SetPitch(TFontPitch value);
    int GetPixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }

public:
    BRIM_PROPERTY(Handle, TFont::GetHandle, TFont::SetHandle);
    BRIM_PROPERTY(Name, TFont::GetName, TFont::SetName);
    BRIM_PROPERTY(Height, TFont::GetHeight, TFont::SetHeight);
    BRIM_PROPERTY(Size, TFont::GetSize, TFont::SetSize);
    BRIM_PROPERTY(Color, TFont::GetColor, TFont::SetColor);
    BRIM_PROPERTY(Style, TFont::GetStyle, TFont::SetStyle);
    BRIM_PROPERTY(Charset, TFont::GetCharset, TFont::SetCharset);
    BRIM_PROPERTY(Pitch, TFont::GetPitch, TFont::SetPitch);
    BRIM_PROPERTY(PixelsPerInch, TFont::GetPixelsPerInch, TFont::SetPixelsPerInch);

private:
    void changeDescription();
    AnsiString name_ = "MS Sans Serif";
    int height_ = -11;
    TColor color_ = clWindowText;
    TFontStyles style_;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    int pixelsPerInch_ = 96;
    TGdiHandlePtr handle_;
};

// ---------------------------------------------------------------------------
// Pens and brushes

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
    pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
public:
    void Assign(TPersistent* Source) override;
    TGdiHandlePtr SharedHandle() override;

    HPEN GetHandle();
    void SetHandle(HPEN value);
    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    int GetWidth() const { return width_; }
    void SetWidth(int value);
    TPenStyle GetStyle() const { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode GetMode() const { return mode_; }
    void SetMode(TPenMode value);
    // The SetROP2 code of Mode.
    int Rop2() const;

public:
    BRIM_PROPERTY(Handle, TPen::GetHandle, TPen::SetHandle);
    BRIM_PROPERTY(Color, TPen::GetColor, TPen::SetColor);
    BRIM_PROPERTY(Width, TPen::GetWidth, TPen::SetWidth);
    BRIM_PROPERTY(Style, TPen::GetStyle, TPen::SetStyle);
    BRIM_PROPERTY(Mode, TPen::GetMode, TPen::SetMode);

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    TGdiHandlePtr handle_;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
class TBitmap;

class TBrush : public TGraphicsObject {
public:
    ~TBrush() override;
    void Assign(TPersistent* Source) override;
    TGdiHandlePtr SharedHandle() override;

    HBRUSH GetHandle();
    void SetHandle(HBRUSH value);
    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    TBrushStyle GetStyle() const { return style_; }
    void SetStyle(TBrushStyle value);
    TBitmap* GetBitmap() const { return bitmap_; }
    // A pattern brush from a copy of the bitmap; null returns to Style/Color.
    void SetBitmap(TBitmap* value);

public:
    BRIM_PROPERTY(Handle, TBrush::GetHandle, TBrush::SetHandle);
    BRIM_PROPERTY(Color, TBrush::GetColor, TBrush::SetColor);
    BRIM_PROPERTY(Style, TBrush::GetStyle, TBrush::SetStyle);
    BRIM_PROPERTY(Bitmap, TBrush::GetBitmap, TBrush::SetBitmap);

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
    TGdiHandlePtr handle_;
};

// ---------------------------------------------------------------------------
// Canvas

class TGraphic;
using TCopyMode = DWORD;
constexpr TCopyMode cmSrcCopy = SRCCOPY, cmSrcAnd = SRCAND, cmSrcPaint = SRCPAINT, cmSrcInvert = SRCINVERT,
                    cmNotSrcCopy = NOTSRCCOPY, cmBlackness = BLACKNESS, cmWhiteness = WHITENESS,
                    cmMergeCopy = MERGECOPY, cmPatCopy = PATCOPY, cmDstInvert = DSTINVERT;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    HDC GetHandle();
    // Attaches any DC (paint, memory, window, screen); null detaches,
    // restoring the DC's original objects.
    void SetHandle(HDC value);
    bool HandleAllocated() const { return dc_ != nullptr; }
    // Forgets what is selected, so that the next call selects the canvas's objects again.
    void Refresh();
    void Lock() { ++lockCount_; }
    void Unlock() { if (lockCount_ > 0) --lockCount_; }
    int LockCount() const { return lockCount_; }

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(const std::vector<TPoint>& Points);
    void Polygon(const std::vector<TPoint>& Points);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void DrawFocusRect(const TRect& R);
    void TextOut(int X, int Y, const AnsiString& Text);
    void TextRect(const TRect& R, int X, int Y, const AnsiString& Text);
    int TextWidth(const AnsiString& Text);
    int TextHeight(const AnsiString& Text);
    TSize TextExtent(const AnsiString& Text);
    // Draws a graphic at (X, Y), honouring its Transparent.
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& R, TGraphic* Graphic);
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
    // Copies (stretching) the source area of the bitmap into Dest, with the
    // pixels of Color replaced by this canvas's brush.
    void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

    TColor GetPixel(int X, int Y);
    void SetPixel(int X, int Y, TColor Color);
    TRect GetClipRect();
    TPoint GetPenPos();
    void SetPenPos(TPoint value) { MoveTo(value.x, value.y); }
    TFont* GetFont() const { return font_; }
    void SetFont(TFont* value) { font_->Assign(value); }
    TPen* GetPen() const { return pen_; }
    void SetPen(TPen* value) { pen_->Assign(value); }
    TBrush* GetBrush() const { return brush_; }
    void SetBrush(TBrush* value) { brush_->Assign(value); }
    TCopyMode GetCopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode value) { copyMode_ = value; }

    // `Pixels[x][y]` reads and writes one pixel.
    class PixelColumn {
    public:
        class Pixel {
        public:
            Pixel(TCanvas* c, int x, int y) : c_(c), x_(x), y_(y) {}
            operator TColor() const { return c_->GetPixel(x_, y_); }
            Pixel& operator=(TColor color) { c_->SetPixel(x_, y_, color); return *this; }

        private:
            TCanvas* c_;
            int x_, y_;
        };
        PixelColumn(TCanvas* c, int x) : c_(c), x_(x) {}
        Pixel operator[](int y) const { return Pixel(c_, x_, y); }

    private:
        TCanvas* c_;
        int x_;
    };
    class PixelsAccess {
    public:
        explicit PixelsAccess(TCanvas* c) : c_(c) {}
        PixelsAccess(const PixelsAccess&) = delete;
        PixelColumn operator[](int x) const { return PixelColumn(c_, x); }

    private:
        TCanvas* c_;
    };
    PixelsAccess Pixels{this};

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // Makes a DC when none is attached (bitmap and control canvases).
    virtual void CreateHandle() {}
    // Lets go of the DC: restores the original objects and forgets the DC.
    void DeselectHandles();
    void RequireHandle();
    void RequireFont();
    void RequirePen();
    void RequireBrush();
    virtual void Changing();
    virtual void Changed();

private:
    void objectChanged(TObject*) {}

    HDC dc_ = nullptr;
    TFont* font_;
    TPen* pen_;
    TBrush* brush_;
    TCopyMode copyMode_ = cmSrcCopy;
    int lockCount_ = 0;
    // What this canvas selected, kept alive while selected, and the DC's originals.
    TGdiHandlePtr selectedFont_, selectedPen_, selectedBrush_;
    HGDIOBJ originalFont_ = nullptr, originalPen_ = nullptr, originalBrush_ = nullptr;
    unsigned fontGeneration_ = 0, penGeneration_ = 0, brushGeneration_ = 0;

public:
    BRIM_PROPERTY(Handle, TCanvas::GetHandle, TCanvas::SetHandle);
    BRIM_PROPERTY(Font, TCanvas::GetFont, TCanvas::SetFont);
    BRIM_PROPERTY(Pen, TCanvas::GetPen, TCanvas::SetPen);
    BRIM_PROPERTY(Brush, TCanvas::GetBrush, TCanvas::SetBrush);
    BRIM_PROPERTY(CopyMode, TCanvas::GetCopyMode, TCanvas::SetCopyMode);
    BRIM_PROPERTY(PenPos, TCanvas::GetPenPos, TCanvas::SetPenPos);
    BRIM_READONLY(ClipRect, TCanvas::GetClipRect);
};

// ---------------------------------------------------------------------------
// Graphics

class TGraphic : public TPersistent {
public:
    // A new graphic of the same class with the same image.
    virtual TGraphic* Clone() const = 0;
    virtual bool GetEmpty() const = 0;
    virtual int GetWidth() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual int GetHeight() const = 0;
    virtual void SetHeight(int value) = 0;
    virtual bool GetTransparent() const { return transparent_; }
    virtual void SetTransparent(bool value);
    bool GetModified() const { return modified_; }
    void SetModified(bool value);

    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    virtual void Changed();

private:
    bool transparent_ = false;
    bool modified_ = false;

public:
    BRIM_READONLY(Empty, TGraphic::GetEmpty);
    BRIM_PROPERTY(Width, TGraphic::GetWidth, TGraphic::SetWidth);
    BRIM_PROPERTY(Height, TGraphic::GetHeight, TGraphic::SetHeight);
    BRIM_PROPERTY(Transparent, TGraphic::GetTransparent, TGraphic::SetTransparent);
    BRIM_PROPERTY(Modified, TGraphic::GetModified, TGraphic::SetModified);
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    void Assign(TPersistent* Source) override;
    TGraphic* Clone() const override;
    bool GetEmpty() const override { return !handle_; }
    int GetWidth() const override { return width_; }
    void SetWidth(int value) override { SetSize(value, height_); }
    int GetHeight() const override { return height_; }
    void SetHeight(int value) override { SetSize(width_, value); }
    // Keeps the overlapping top-left pixels; new area is white.
    void SetSize(int AWidth, int AHeight);

    // Releases the bitmap from its canvas DC, then returns it.
    HBITMAP GetHandle();
    // Takes ownership; a device-dependent bitmap is copied into a DIB section.
    void SetHandle(HBITMAP value);
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Gives up ownership of the handle and leaves the bitmap empty.
    HBITMAP ReleaseHandle();
    TCanvas* GetCanvas();
    TPixelFormat GetPixelFormat() const { return format_; }
    // Converts the pixels; pfDevice means pf32bit.
    void SetPixelFormat(TPixelFormat value);
    bool GetMonochrome() const { return format_ == pf1bit; }
    void SetMonochrome(bool value) { SetPixelFormat(value ? pf1bit : pf24bit); }
    HPALETTE GetPalette() const { return nullptr; }
    void SetPalette(HPALETTE) {}
    TColor GetTransparentColor() const;
    void SetTransparentColor(TColor value);
    TTransparentMode GetTransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode value);
    // Start of row Y (top row is 0) after GdiFlush; rows are 4-byte aligned.
    void* GetScanLine(int Y) const;
    int BytesPerRow() const { return stride_; }

    // Converts in place to pf1bit: 1 where the pixel equals Color, else 0.
    void Mask(TColor Color);
    void Dormant() {}
    void FreeImage() {}
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void LoadFromResourceID(HINSTANCE Instance, int ResID);
    void LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName);

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    void Changed() override;

private:
    friend class TBitmapCanvas;
    // topDown: 1 or 0 when the caller knows the row order, -1 to ask the system.
    void adopt(HBITMAP dib, int topDown = -1);
    void freeImage();
    void releaseFromCanvas();
    // All pixels as colours (0x00BBGGRR), rows from the top.
    std::vector<COLORREF> readPixels() const;
    COLORREF pixelAt(int x, int y) const;
    // Replaces the image by a new DIB section holding the given pixels.
    void writePixels(TPixelFormat format, int width, int height, const std::vector<COLORREF>& pixels);
    void canvasChanged(TObject*);

    HBITMAP handle_ = nullptr;
    unsigned char* bits_ = nullptr;
    int width_ = 0, height_ = 0, stride_ = 0;
    bool topDown_ = true;
    TPixelFormat format_ = pf24bit;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    std::vector<RGBQUAD> palette_;
    TBitmapCanvas* canvas_ = nullptr;

public:
    BRIM_PROPERTY(Handle, TBitmap::GetHandle, TBitmap::SetHandle);
    BRIM_READONLY(Canvas, TBitmap::GetCanvas);
    BRIM_PROPERTY(PixelFormat, TBitmap::GetPixelFormat, TBitmap::SetPixelFormat);
    BRIM_PROPERTY(Monochrome, TBitmap::GetMonochrome, TBitmap::SetMonochrome);
    BRIM_PROPERTY(Palette, TBitmap::GetPalette, TBitmap::SetPalette);
    BRIM_PROPERTY(TransparentColor, TBitmap::GetTransparentColor, TBitmap::SetTransparentColor);
    BRIM_PROPERTY(TransparentMode, TBitmap::GetTransparentMode, TBitmap::SetTransparentMode);
    BRIM_INDEXED_READONLY(ScanLine, TBitmap::GetScanLine);
};

// A canvas on a bitmap: a memory DC made on demand.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    // Deselects the bitmap and deletes the memory DC.
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap* bitmap_;
    HDC memoryDc_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr;
};

class TIcon : public TGraphic {
public:
    ~TIcon() override;
    TGraphic* Clone() const override;
    bool GetEmpty() const override { return !handle_; }
    int GetWidth() const override;
    void SetWidth(int) override {}
    int GetHeight() const override;
    void SetHeight(int) override {}
    HICON GetHandle() const { return handle_; }
    void SetHandle(HICON value);
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    HICON handle_ = nullptr;

public:
    BRIM_PROPERTY(Handle, TIcon::GetHandle, TIcon::SetHandle);
};

// ---------------------------------------------------------------------------

class TPicture : public TPersistent {
public:
    ~TPicture() override;
    void Assign(TPersistent* Source) override;
    // The graphic's type follows the file extension (.bmp, .jpg/.jpeg, .ico).
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);

    TGraphic* GetGraphic() const { return graphic_; }
    // Stores a copy of the graphic.
    void SetGraphic(TGraphic* value);
    // The graphic as a bitmap; any other graphic is replaced by an empty bitmap.
    TBitmap* GetBitmap();
    void SetBitmap(TBitmap* value) { SetGraphic(value); }
    int GetWidth() const { return graphic_ ? graphic_->GetWidth() : 0; }
    int GetHeight() const { return graphic_ ? graphic_->GetHeight() : 0; }

    TNotifyEvent OnChange;

protected:
    void Changed(TObject* Sender);

private:
    void take(TGraphic* graphic);
    TGraphic* graphic_ = nullptr;

public:
    BRIM_PROPERTY(Graphic, TPicture::GetGraphic, TPicture::SetGraphic);
    BRIM_PROPERTY(Bitmap, TPicture::GetBitmap, TPicture::SetBitmap);
    BRIM_READONLY(Width, TPicture::GetWidth);
    BRIM_READONLY(Height, TPicture::GetHeight);
};

// The GDI object count of this process as the system reports it. Wine's
// GetGuiResources is a stub that answers 0, so leak checks also use
// FrameworkGdiObjects: the GDI objects and DCs the framework holds now.
int GdiObjectCount();
int FrameworkGdiObjects();

