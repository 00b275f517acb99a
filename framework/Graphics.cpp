/*
 * Graphics objects, canvas and bitmaps; see Graphics.h.
 *
 * Pixel format changes, Mask and SetSize go through one path: read every
 * pixel as a colour, then write a new DIB section in the wanted format with a
 * fixed palette (black/white, the 16 VGA colours, or a 6x6x6 cube plus greys)
 * and nearest-colour mapping. That keeps results independent of the display
 * and of how the system maps colours in blits.
 */
#include "framework/Graphics.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "framework/Jpeg.h"

// ---------------------------------------------------------------------------
// Colours

namespace {
const std::vector<std::pair<TColor, AnsiString>>& colorTable() {
    static const std::vector<std::pair<TColor, AnsiString>> table = {
        {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
        {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
        {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
        {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
        {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
        {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
        {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
        {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
        {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
        {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
        {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"}, {clNone, "clNone"}, {clDefault, "clDefault"}};
    return table;
}
}  // namespace

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

std::vector<std::pair<TColor, AnsiString>> ColorNames() { return colorTable(); }

bool ColorToIdent(TColor color, AnsiString& ident) {
    for (auto& entry : colorTable())
        if (entry.first == color) {
            ident = entry.second;
            return true;
        }
    return false;
}

bool IdentToColor(const AnsiString& ident, TColor& color) {
    for (auto& entry : colorTable())
        if (SameText(entry.second, ident)) {
            color = entry.first;
            return true;
        }
    return false;
}

AnsiString ColorToString(TColor color) {
    AnsiString ident;
    if (ColorToIdent(color, ident)) return ident;
    return "$" + IntToHex(static_cast<uint32_t>(color), 8);
}

TColor StringToColor(const AnsiString& text) {
    TColor color = 0;
    if (IdentToColor(text, color)) return color;
    if (!text.empty() && text[0] == '$') {
        AnsiString digits = text.substr(1);
        bool valid = !digits.empty() && digits.size() <= 8 &&
                     digits.find_first_not_of("0123456789abcdefABCDEF") == AnsiString::npos;
        if (!valid) throw EConvertError("'%s' is not a valid integer value", {text});
        return static_cast<TColor>(std::strtoul(digits.c_str(), nullptr, 16));
    }
    return StrToInt(text);
}

// ---------------------------------------------------------------------------

namespace {
std::atomic<int> frameworkGdiObjects{0};
}

void TrackGdiObjects(int delta) { frameworkGdiObjects += delta; }
int FrameworkGdiObjects() { return frameworkGdiObjects; }

TGdiHandle::~TGdiHandle() {
    if (handle_) {
        DeleteObject(handle_);
        TrackGdiObjects(-1);
    }
}

void TGraphicsObject::Changed() {
    ++generation_;
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TFont

TFont::TFont() {
    // Every control and canvas has a font: ask the screen once.
    static const int screenPixelsPerInch = [] {
        HDC screen = GetDC(nullptr);
        int ppi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return ppi > 0 ? ppi : 96;
    }();
    pixelsPerInch_ = screenPixelsPerInch;
}

void TFont::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TFont*>(Source)) {
        name_ = source->name_;
        height_ = source->height_;
        color_ = source->color_;
        style_ = source->style_;
        charset_ = source->charset_;
        pitch_ = source->pitch_;
        changeDescription();  // the copy makes its own handle
        return;
    }
    TGraphicsObject::Assign(Source);
}

TGdiHandlePtr TFont::SharedHandle() {
    if (!handle_) {
        LOGFONTA lf = {};
        lf.lfHeight = height_;
        lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = style_.Contains(fsItalic);
        lf.lfUnderline = style_.Contains(fsUnderline);
        lf.lfStrikeOut = style_.Contains(fsStrikeOut);
        lf.lfCharSet = charset_;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_ = std::make_shared<TGdiHandle>(CreateFontIndirectA(&lf));
    }
    return handle_;
}

HFONT TFont::GetHandle() { return static_cast<HFONT>(SharedHandle()->get()); }

void TFont::SetHandle(HFONT value) {
    LOGFONTA lf = {};
    if (value && GetObjectA(value, sizeof lf, &lf)) {
        name_ = lf.lfFaceName;
        height_ = lf.lfHeight;
        style_.Clear();
        if (lf.lfWeight >= FW_BOLD) style_ << fsBold;
        if (lf.lfItalic) style_ << fsItalic;
        if (lf.lfUnderline) style_ << fsUnderline;
        if (lf.lfStrikeOut) style_ << fsStrikeOut;
        charset_ = lf.lfCharSet;
    }
    // The previous handle goes when every canvas has deselected it.
    handle_ = value ? std::make_shared<TGdiHandle>(value) : nullptr;
    Changed();
}

void TFont::changeDescription() {
    handle_.reset();
    Changed();
}

void TFont::SetName(const AnsiString& value) {
    if (value.empty() || value == name_) return;
    name_ = value;
    changeDescription();
}

void TFont::SetHeight(int value) {
    if (value == height_) return;
    height_ = value;
    changeDescription();
}

int TFont::GetSize() const { return -MulDiv(height_, 72, pixelsPerInch_); }
void TFont::SetSize(int value) { SetHeight(-MulDiv(value, pixelsPerInch_, 72)); }

void TFont::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    Changed();  // colour lives in the DC, not in the font handle
}

void TFont::SetStyle(TFontStyles value) {
    if (value == style_) return;
    style_ = value;
    changeDescription();
}

void TFont::SetCharset(TFontCharset value) {
    if (value == charset_) return;
    charset_ = value;
    changeDescription();
}

void TFont::SetPitch(TFontPitch value) {
    if (value == pitch_) return;
    pitch_ = value;
    changeDescription();
}

// ---------------------------------------------------------------------------
// TPen

void TPen::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TPen*>(Source)) {
        color_ = source->color_;
        width_ = source->width_;
        style_ = source->style_;
        mode_ = source->mode_;
        handle_.reset();
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

TGdiHandlePtr TPen::SharedHandle() {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_ = std::make_shared<TGdiHandle>(CreatePen(styles[style_], width_, ColorToRGB(color_)));
    }
    return handle_;
}

HPEN TPen::GetHandle() { return static_cast<HPEN>(SharedHandle()->get()); }

void TPen::SetHandle(HPEN value) {
    LOGPEN lp = {};
    if (value && GetObjectA(value, sizeof lp, &lp)) {
        color_ = static_cast<TColor>(lp.lopnColor);
        width_ = lp.lopnWidth.x;
    }
    handle_ = value ? std::make_shared<TGdiHandle>(value) : nullptr;
    Changed();
}

void TPen::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    handle_.reset();
    Changed();
}

void TPen::SetWidth(int value) {
    if (value == width_ || value < 0) return;
    width_ = value;
    handle_.reset();
    Changed();
}

void TPen::SetStyle(TPenStyle value) {
    if (value == style_) return;
    style_ = value;
    handle_.reset();
    Changed();
}

void TPen::SetMode(TPenMode value) {
    if (value == mode_) return;
    mode_ = value;
    Changed();
}

int TPen::Rop2() const {
    static const int codes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,      R2_NOT,        R2_COPYPEN,   R2_NOTCOPYPEN,
                                R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                                R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,   R2_NOTXORPEN};
    return codes[mode_];
}

// ---------------------------------------------------------------------------
// TBrush

TBrush::~TBrush() { delete bitmap_; }

void TBrush::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TBrush*>(Source)) {
        color_ = source->color_;
        style_ = source->style_;
        SetBitmap(source->bitmap_);
        handle_.reset();
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

TGdiHandlePtr TBrush::SharedHandle() {
    if (!handle_) {
        HBRUSH brush;
        if (bitmap_ && !bitmap_->GetEmpty()) {
            brush = CreatePatternBrush(bitmap_->GetHandle());
        } else {
            LOGBRUSH lb = {};
            lb.lbColor = ColorToRGB(color_);
            static const int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS,
                                          HS_DIAGCROSS};
            lb.lbStyle = style_ == bsSolid ? BS_SOLID : style_ == bsClear ? BS_HOLLOW : BS_HATCHED;
            lb.lbHatch = static_cast<ULONG_PTR>(hatches[style_]);
            brush = CreateBrushIndirect(&lb);
        }
        handle_ = std::make_shared<TGdiHandle>(brush);
    }
    return handle_;
}

HBRUSH TBrush::GetHandle() { return static_cast<HBRUSH>(SharedHandle()->get()); }

void TBrush::SetHandle(HBRUSH value) {
    LOGBRUSH lb = {};
    if (value && GetObjectA(value, sizeof lb, &lb)) {
        color_ = static_cast<TColor>(lb.lbColor);
        style_ = lb.lbStyle == BS_HOLLOW ? bsClear : bsSolid;
    }
    handle_ = value ? std::make_shared<TGdiHandle>(value) : nullptr;
    Changed();
}

void TBrush::SetColor(TColor value) {
    if (value == color_ && style_ != bsClear) return;
    color_ = value;
    if (style_ == bsClear) style_ = bsSolid;
    handle_.reset();
    Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (value == style_) return;
    style_ = value;
    handle_.reset();
    Changed();
}

void TBrush::SetBitmap(TBitmap* value) {
    if (!value && !bitmap_) return;
    delete bitmap_;
    bitmap_ = nullptr;
    if (value) {
        bitmap_ = new TBitmap;
        bitmap_->Assign(value);
    }
    handle_.reset();
    Changed();
}

// ---------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas() : font_(new TFont), pen_(new TPen), brush_(new TBrush) {}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
    delete font_;
    delete pen_;
    delete brush_;
}

HDC TCanvas::GetHandle() {
    RequireHandle();
    return dc_;
}

void TCanvas::SetHandle(HDC value) {
    if (value == dc_) return;
    DeselectHandles();
    dc_ = value;
}

void TCanvas::DeselectHandles() {
    if (dc_) {
        if (originalFont_) SelectObject(dc_, originalFont_);
        if (originalPen_) SelectObject(dc_, originalPen_);
        if (originalBrush_) SelectObject(dc_, originalBrush_);
    }
    originalFont_ = originalPen_ = originalBrush_ = nullptr;
    // Dropped only after the DC holds its own objects again.
    selectedFont_.reset();
    selectedPen_.reset();
    selectedBrush_.reset();
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::RequireHandle() {
    if (!dc_) CreateHandle();
    if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
}

void TCanvas::RequireFont() {
    RequireHandle();
    TGdiHandlePtr font = font_->SharedHandle();
    if (font != selectedFont_ || fontGeneration_ != font_->Generation()) {
        HGDIOBJ previous = SelectObject(dc_, font->get());
        if (!originalFont_) originalFont_ = previous;
        selectedFont_ = font;
        fontGeneration_ = font_->Generation();
        SetTextColor(dc_, ColorToRGB(font_->GetColor()));
    }
}

void TCanvas::RequirePen() {
    RequireHandle();
    TGdiHandlePtr pen = pen_->SharedHandle();
    if (pen != selectedPen_ || penGeneration_ != pen_->Generation()) {
        HGDIOBJ previous = SelectObject(dc_, pen->get());
        if (!originalPen_) originalPen_ = previous;
        selectedPen_ = pen;
        penGeneration_ = pen_->Generation();
        SetROP2(dc_, pen_->Rop2());
    }
}

void TCanvas::RequireBrush() {
    RequireHandle();
    TGdiHandlePtr brush = brush_->SharedHandle();
    if (brush != selectedBrush_ || brushGeneration_ != brush_->Generation()) {
        HGDIOBJ previous = SelectObject(dc_, brush->get());
        if (!originalBrush_) originalBrush_ = previous;
        selectedBrush_ = brush;
        brushGeneration_ = brush_->Generation();
        SetBkColor(dc_, ColorToRGB(brush_->GetColor()));
        SetBkMode(dc_, brush_->GetStyle() == bsClear ? TRANSPARENT : OPAQUE);
    }
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::MoveTo(int X, int Y) {
    RequireHandle();
    MoveToEx(dc_, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    RequirePen();
    RequireBrush();
    Changing();
    ::LineTo(dc_, X, Y);
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    if (Points.empty()) return;
    RequirePen();
    RequireBrush();
    Changing();
    ::Polyline(dc_, reinterpret_cast<const POINT*>(Points.data()), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    if (Points.empty()) return;
    RequirePen();
    RequireBrush();
    Changing();
    ::Polygon(dc_, reinterpret_cast<const POINT*>(Points.data()), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    RequirePen();
    RequireBrush();
    Changing();
    ::Rectangle(dc_, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    RequirePen();
    RequireBrush();
    Changing();
    ::RoundRect(dc_, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    RequirePen();
    RequireBrush();
    Changing();
    ::Ellipse(dc_, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    RequirePen();
    RequireBrush();
    Changing();
    ::Arc(dc_, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::FillRect(const TRect& R) {
    RequireBrush();
    Changing();
    ::FillRect(dc_, R.rc(), brush_->GetHandle());
    Changed();
}

void TCanvas::FrameRect(const TRect& R) {
    RequireBrush();
    Changing();
    ::FrameRect(dc_, R.rc(), brush_->GetHandle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
    RequireBrush();
    Changing();
    ::DrawFocusRect(dc_, R.rc());
    Changed();
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
    RequireFont();
    RequireBrush();
    Changing();
    ::TextOutA(dc_, X, Y, Text.data(), static_cast<int>(Text.size()));
    MoveToEx(dc_, X + TextWidth(Text), Y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const AnsiString& Text) {
    RequireFont();
    RequireBrush();
    Changing();
    UINT options = ETO_CLIPPED;
    if (brush_->GetStyle() != bsClear) options |= ETO_OPAQUE;
    ::ExtTextOutA(dc_, X, Y, options, R.rc(), Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const AnsiString& Text) {
    RequireFont();
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc_, Text.data(), static_cast<int>(Text.size()), &size);
    return TSize{size.cx, size.cy};
}

int TCanvas::TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
int TCanvas::TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->GetEmpty()) return;
    RequireHandle();
    Changing();
    Graphic->Draw(this, Bounds(X, Y, Graphic->GetWidth(), Graphic->GetHeight()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
    if (!Graphic || Graphic->GetEmpty()) return;
    RequireHandle();
    Changing();
    Graphic->Draw(this, R);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    RequireBrush();
    HDC source = Canvas->GetHandle();
    Changing();
    int previous = SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), source, Source.Left, Source.Top, Source.Width(),
               Source.Height(), copyMode_);
    SetStretchBltMode(dc_, previous);
    Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
    if (!Bitmap || Bitmap->GetEmpty()) return;
    // A monochrome mask of the source area: white where the pixel has the colour.
    TBitmap mask;
    mask.SetSize(Source.Width(), Source.Height());
    mask.GetCanvas()->CopyRect(TRect(0, 0, Source.Width(), Source.Height()), Bitmap->GetCanvas(), Source);
    mask.Mask(Color);
    HDC maskDc = mask.GetCanvas()->GetHandle();
    HDC source = Bitmap->GetCanvas()->GetHandle();
    RequireBrush();
    Changing();
    int previous = SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), source, Source.Left, Source.Top, Source.Width(),
               Source.Height(), SRCCOPY);
    // Mask bits 1 become the background colour white, bits 0 the text colour
    // black; DSPDxax then puts the brush where the mask is white.
    COLORREF text = SetTextColor(dc_, RGB(0, 0, 0));
    COLORREF back = SetBkColor(dc_, RGB(255, 255, 255));
    StretchBlt(dc_, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), maskDc, 0, 0, Source.Width(), Source.Height(),
               0x00E20746);
    SetTextColor(dc_, text);
    SetBkColor(dc_, back);
    SetStretchBltMode(dc_, previous);
    Changed();
}

TColor TCanvas::GetPixel(int X, int Y) {
    RequireHandle();
    return static_cast<TColor>(::GetPixel(dc_, X, Y));
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    RequirePen();  // Wine's SetPixel follows the DC's raster operation
    Changing();
    ::SetPixel(dc_, X, Y, ColorToRGB(Color));
    Changed();
}

TRect TCanvas::GetClipRect() {
    RequireHandle();
    RECT r = {};
    GetClipBox(dc_, &r);
    return r;
}

TPoint TCanvas::GetPenPos() {
    RequireHandle();
    POINT p = {};
    GetCurrentPositionEx(dc_, &p);
    return p;
}

// ---------------------------------------------------------------------------
// TGraphic

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::SetModified(bool value) {
    if (value) Changed();
    else modified_ = false;
}

void TGraphic::Changed() {
    modified_ = true;
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const AnsiString& FileName) {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

// ---------------------------------------------------------------------------
// TBitmap

namespace {

int bitsOf(TPixelFormat format) {
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}

TPixelFormat formatOf(int bits) {
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf15bit;
    case 24: return pf24bit;
    default: return pf32bit;
    }
}

RGBQUAD quad(int r, int g, int b) {
    RGBQUAD q = {static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
    return q;
}

std::vector<RGBQUAD> paletteFor(TPixelFormat format) {
    std::vector<RGBQUAD> palette;
    if (format == pf1bit) {
        palette = {quad(0, 0, 0), quad(255, 255, 255)};
    } else if (format == pf4bit) {
        static const int vga[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                       {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                       {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
                                       {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (auto& c : vga) palette.push_back(quad(c[0], c[1], c[2]));
    } else if (format == pf8bit) {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b) palette.push_back(quad(r * 51, g * 51, b * 51));
        for (int i = 0; i < 40; ++i) {
            int grey = (i * 255 + 20) / 39;
            palette.push_back(quad(grey, grey, grey));
        }
    }
    return palette;
}

int nearestIndex(const std::vector<RGBQUAD>& palette, COLORREF color) {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = GetRValue(color) - palette[i].rgbRed, dg = GetGValue(color) - palette[i].rgbGreen,
             db = GetBValue(color) - palette[i].rgbBlue;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int strideOf(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// A BITMAPINFO with room for a 256-entry colour table.
struct BitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

HBITMAP createDib(int width, int height, int bits, const std::vector<RGBQUAD>& palette, void** pixels) {
    BitmapInfo info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top-down
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = static_cast<DWORD>(palette.size());
    for (size_t i = 0; i < palette.size() && i < 256; ++i) info.colors[i] = palette[i];
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels, nullptr, 0);
    if (!dib) throw EOutOfResources("Out of system resources");
    return dib;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    delete canvas_;
    canvas_ = nullptr;
    freeImage();
}

TGraphic* TBitmap::Clone() const {
    auto* copy = new TBitmap;
    copy->Assign(const_cast<TBitmap*>(this));
    return copy;
}

void TBitmap::releaseFromCanvas() {
    if (canvas_) canvas_->FreeContext();
}

void TBitmap::freeImage() {
    releaseFromCanvas();
    if (handle_) {
        DeleteObject(handle_);
        TrackGdiObjects(-1);
    }
    handle_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = stride_ = 0;
    palette_.clear();
}

void TBitmap::adopt(HBITMAP bitmap, int topDown) {
    DIBSECTION ds = {};
    if (GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits) {
        // A device-dependent bitmap: copy it into a 24-bit DIB section.
        BITMAP bm = {};
        GetObjectA(bitmap, sizeof bm, &bm);
        void* pixels = nullptr;
        HBITMAP dib = createDib(bm.bmWidth, bm.bmHeight, bm.bmBitsPixel == 1 ? 1 : 24,
                                paletteFor(bm.bmBitsPixel == 1 ? pf1bit : pf24bit), &pixels);
        HDC source = CreateCompatibleDC(nullptr), target = CreateCompatibleDC(nullptr);
        HGDIOBJ oldSource = SelectObject(source, bitmap), oldTarget = SelectObject(target, dib);
        BitBlt(target, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, oldSource);
        SelectObject(target, oldTarget);
        DeleteDC(source);
        DeleteDC(target);
        DeleteObject(bitmap);
        bitmap = dib;
        GetObjectA(bitmap, sizeof ds, &ds);
        topDown = 1;
    }
    handle_ = bitmap;
    TrackGdiObjects(1);
    bits_ = static_cast<unsigned char*>(ds.dsBm.bmBits);
    width_ = ds.dsBm.bmWidth;
    height_ = ds.dsBm.bmHeight;
    stride_ = strideOf(width_, ds.dsBm.bmBitsPixel);
    // Wine reports the height of a top-down section as positive, so the
    // creator's knowledge wins over what GetObject says.
    topDown_ = topDown >= 0 ? topDown == 1 : ds.dsBmih.biHeight < 0;
    format_ = formatOf(ds.dsBm.bmBitsPixel);
    palette_.clear();
    if (ds.dsBm.bmBitsPixel <= 8) {
        RGBQUAD colors[256];
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        UINT count = GetDIBColorTable(dc, 0, 256, colors);
        SelectObject(dc, old);
        DeleteDC(dc);
        palette_.assign(colors, colors + count);
    }
}

COLORREF TBitmap::pixelAt(int x, int y) const {
    if (!handle_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    const unsigned char* row = static_cast<const unsigned char*>(GetScanLine(y));
    switch (format_) {
    case pf24bit: return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    case pf32bit: return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
    case pf15bit:
    case pf16bit: {
        unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);
        return RGB(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
    }
    default: {
        int bits = bitsOf(format_);
        int bit = x * bits;
        int index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
        if (static_cast<size_t>(index) >= palette_.size()) return 0;
        const RGBQUAD& q = palette_[static_cast<size_t>(index)];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    }
}

std::vector<COLORREF> TBitmap::readPixels() const {
    std::vector<COLORREF> pixels(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) pixels[static_cast<size_t>(y) * width_ + x] = pixelAt(x, y);
    return pixels;
}

void TBitmap::writePixels(TPixelFormat format, int width, int height, const std::vector<COLORREF>& pixels) {
    if (format == pfDevice || format == pfCustom) format = pf32bit;
    freeImage();
    format_ = format;
    if (width <= 0 || height <= 0) {
        Changed();
        return;
    }
    std::vector<RGBQUAD> palette = paletteFor(format);
    int bits = bitsOf(format);
    void* memory = nullptr;
    HBITMAP dib = createDib(width, height, bits, palette, &memory);
    auto* base = static_cast<unsigned char*>(memory);
    int stride = strideOf(width, bits);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = base + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y) * width + x];
            switch (format) {
            case pf24bit:
                row[x * 3] = GetBValue(c);
                row[x * 3 + 1] = GetGValue(c);
                row[x * 3 + 2] = GetRValue(c);
                break;
            case pf32bit:
                row[x * 4] = GetBValue(c);
                row[x * 4 + 1] = GetGValue(c);
                row[x * 4 + 2] = GetRValue(c);
                row[x * 4 + 3] = 0;
                break;
            case pf15bit:
            case pf16bit: {
                unsigned v = ((GetRValue(c) >> 3) << 10) | ((GetGValue(c) >> 3) << 5) | (GetBValue(c) >> 3);
                row[x * 2] = static_cast<unsigned char>(v);
                row[x * 2 + 1] = static_cast<unsigned char>(v >> 8);
                break;
            }
            default: {
                int index = nearestIndex(palette, c);
                int bit = x * bits;
                row[bit / 8] |= static_cast<unsigned char>(index << (8 - bits - bit % 8));
            }
            }
        }
    }
    adopt(dib, 1);
    format_ = format;
    Changed();
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        freeImage();
        Changed();
        return;
    }
    if (auto* source = dynamic_cast<TBitmap*>(Source)) {
        if (source == this) return;
        if (source->GetEmpty()) {
            freeImage();
            format_ = source->format_;
        } else {
            std::vector<COLORREF> pixels = source->readPixels();
            writePixels(source->format_, source->width_, source->height_, pixels);
        }
        transparentColor_ = source->transparentColor_;
        transparentMode_ = source->transparentMode_;
        SetTransparent(source->GetTransparent());
        Changed();
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        // Any other graphic is drawn onto a 24-bit bitmap of its size.
        SetSize(graphic->GetWidth(), graphic->GetHeight());
        if (!GetEmpty()) GetCanvas()->Draw(0, 0, graphic);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (AWidth == width_ && AHeight == height_ && (handle_ || AWidth == 0 || AHeight == 0)) return;
    std::vector<COLORREF> old = readPixels();
    std::vector<COLORREF> pixels(static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight), RGB(255, 255, 255));
    for (int y = 0; y < std::min(AHeight, height_); ++y)
        for (int x = 0; x < std::min(AWidth, width_); ++x)
            pixels[static_cast<size_t>(y) * AWidth + x] = old[static_cast<size_t>(y) * width_ + x];
    writePixels(format_, AWidth, AHeight, pixels);
}

HBITMAP TBitmap::GetHandle() {
    releaseFromCanvas();
    return handle_;
}

void TBitmap::SetHandle(HBITMAP value) {
    if (value == handle_) return;
    freeImage();
    if (value) adopt(value);
    Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
    releaseFromCanvas();
    HBITMAP handle = handle_;
    if (handle_) TrackGdiObjects(-1);  // no longer ours
    handle_ = nullptr;
    freeImage();
    return handle;
}

TCanvas* TBitmap::GetCanvas() {
    if (!canvas_) {
        canvas_ = new TBitmapCanvas(this);
        canvas_->OnChange = TNotifyEvent(this, &TBitmap::canvasChanged);
    }
    return canvas_;
}

void TBitmap::canvasChanged(TObject*) { TGraphic::Changed(); }

void TBitmap::Changed() { TGraphic::Changed(); }

void TBitmap::SetPixelFormat(TPixelFormat value) {
    if (value == pfDevice || value == pfCustom) value = pf32bit;
    if (value == format_) return;
    if (!handle_) {
        format_ = value;
        return;
    }
    std::vector<COLORREF> pixels = readPixels();
    writePixels(value, width_, height_, pixels);
}

TColor TBitmap::GetTransparentColor() const {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (!handle_) return clDefault;
    return static_cast<TColor>(pixelAt(0, height_ - 1)) | clPaletteFlag;
}

void TBitmap::SetTransparentColor(TColor value) {
    transparentColor_ = value;
    transparentMode_ = value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (value == transparentMode_) return;
    if (value == tmAuto) transparentColor_ = clDefault;
    else transparentColor_ = GetTransparentColor();
    transparentMode_ = value;
    Changed();
}

void* TBitmap::GetScanLine(int Y) const {
    if (!handle_ || Y < 0 || Y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
    GdiFlush();
    int row = topDown_ ? Y : height_ - 1 - Y;
    return bits_ + static_cast<size_t>(row) * stride_;
}

void TBitmap::Mask(TColor Color) {
    COLORREF key = ColorToRGB(Color);
    std::vector<COLORREF> pixels = readPixels();
    for (COLORREF& p : pixels) p = (p & 0xFFFFFF) == key ? RGB(255, 255, 255) : RGB(0, 0, 0);
    writePixels(pf1bit, width_, height_, pixels);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (!handle_) return;
    HDC target = ACanvas->GetHandle();
    HDC source = GetCanvas()->GetHandle();
    int previous = SetStretchBltMode(target, COLORONCOLOR);
    if (GetTransparent()) {
        TransparentBlt(target, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, width_, height_,
                       ColorToRGB(GetTransparentColor() & 0xFFFFFF));
    } else {
        StretchBlt(target, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, width_, height_,
                   ACanvas->GetCopyMode());
    }
    SetStretchBltMode(target, previous);
}

void TBitmap::LoadFromStream(TStream* Stream) {
    BITMAPFILEHEADER file = {};
    Stream->ReadBuffer(&file, sizeof file);
    if (file.bfType != 0x4D42) throw EInvalidGraphic("Bitmap image is not valid");
    int64_t start = Stream->GetPosition() - static_cast<int64_t>(sizeof file);
    BitmapInfo info = {};
    Stream->ReadBuffer(&info.header, sizeof(DWORD));
    DWORD headerSize = info.header.biSize;
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > 1024) throw EInvalidGraphic("Bitmap image is not valid");
    Stream->ReadBuffer(reinterpret_cast<char*>(&info.header) + sizeof(DWORD), sizeof(BITMAPINFOHEADER) - sizeof(DWORD));
    Stream->Seek(headerSize - sizeof(BITMAPINFOHEADER), soFromCurrent);
    int bits = info.header.biBitCount;
    bool supported = info.header.biCompression == BI_RGB &&
                     (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    int width = info.header.biWidth, height = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
    if (!supported || width <= 0 || height <= 0 || width > 32768 || height > 32768)
        throw EInvalidGraphic("Bitmap image is not valid");
    DWORD colors = bits <= 8 ? (info.header.biClrUsed ? info.header.biClrUsed : (1u << bits)) : 0;
    if (colors > 256) throw EInvalidGraphic("Bitmap image is not valid");
    if (colors) Stream->ReadBuffer(info.colors, static_cast<int>(colors * sizeof(RGBQUAD)));
    info.header.biClrUsed = colors;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    Stream->SetPosition(start + file.bfOffBits);
    size_t size = static_cast<size_t>(strideOf(width, bits)) * static_cast<size_t>(height);
    void* memory = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!dib) throw EOutOfResources("Out of system resources");
    try {
        Stream->ReadBuffer(memory, static_cast<int>(size));
    } catch (const EReadError&) {
        DeleteObject(dib);
        throw EInvalidGraphic("Bitmap image is not valid");
    }
    freeImage();
    adopt(dib, info.header.biHeight < 0 ? 1 : 0);
    Changed();
}

void TBitmap::SaveToStream(TStream* Stream) {
    if (!handle_) return;
    int bits = bitsOf(format_);
    std::vector<RGBQUAD> palette = bits <= 8 ? palette_ : std::vector<RGBQUAD>();
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width_;
    header.biHeight = height_;  // bottom-up, the usual file layout
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    header.biClrUsed = static_cast<DWORD>(palette.size());
    header.biSizeImage = static_cast<DWORD>(stride_) * static_cast<DWORD>(height_);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof file + sizeof header + palette.size() * sizeof(RGBQUAD));
    file.bfSize = file.bfOffBits + header.biSizeImage;
    Stream->WriteBuffer(&file, sizeof file);
    Stream->WriteBuffer(&header, sizeof header);
    if (!palette.empty()) Stream->WriteBuffer(palette.data(), static_cast<int>(palette.size() * sizeof(RGBQUAD)));
    for (int y = height_ - 1; y >= 0; --y) Stream->WriteBuffer(GetScanLine(y), stride_);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(Instance, MAKEINTRESOURCEA(ResID), IMAGE_BITMAP, 0, 0,
                                                     LR_CREATEDIBSECTION));
    if (!loaded) throw EResNotFound("Resource %d not found", {ResID});
    SetHandle(loaded);
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName) {
    HBITMAP loaded =
        static_cast<HBITMAP>(LoadImageA(Instance, ResName.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) throw EResNotFound("Resource %s not found", {ResName});
    SetHandle(loaded);
}

void TBitmapCanvas::CreateHandle() {
    if (memoryDc_) return;
    memoryDc_ = CreateCompatibleDC(nullptr);
    if (!memoryDc_) throw EOutOfResources("Out of system resources");
    TrackGdiObjects(1);
    if (bitmap_->handle_) originalBitmap_ = SelectObject(memoryDc_, bitmap_->handle_);
    SetHandle(memoryDc_);
}

void TBitmapCanvas::FreeContext() {
    if (!memoryDc_) return;
    HDC dc = memoryDc_;
    SetHandle(nullptr);  // restores the DC's own pen, brush and font first
    if (originalBitmap_) SelectObject(dc, originalBitmap_);
    DeleteDC(dc);
    TrackGdiObjects(-1);
    memoryDc_ = nullptr;
    originalBitmap_ = nullptr;
}

// ---------------------------------------------------------------------------
// TIcon

TIcon::~TIcon() {
    if (handle_) DestroyIcon(handle_);
}

TGraphic* TIcon::Clone() const {
    auto* copy = new TIcon;
    if (handle_) copy->SetHandle(CopyIcon(handle_));
    return copy;
}

int TIcon::GetWidth() const { return handle_ ? GetSystemMetrics(SM_CXICON) : 0; }
int TIcon::GetHeight() const { return handle_ ? GetSystemMetrics(SM_CYICON) : 0; }

void TIcon::SetHandle(HICON value) {
    if (value == handle_) return;
    if (handle_) DestroyIcon(handle_);
    handle_ = value;
    Changed();
}

void TIcon::LoadFromStream(TStream* Stream) {
    int64_t size = Stream->GetSize() - Stream->GetPosition();
    std::vector<BYTE> data(static_cast<size_t>(size > 0 ? size : 0));
    if (data.size() < 6 + 16) throw EInvalidGraphic("Icon image is not valid");
    Stream->ReadBuffer(data.data(), static_cast<int>(data.size()));
    DWORD offset = *reinterpret_cast<DWORD*>(&data[6 + 12]);
    DWORD bytes = *reinterpret_cast<DWORD*>(&data[6 + 8]);
    if (offset >= data.size() || bytes > data.size() - offset) throw EInvalidGraphic("Icon image is not valid");
    HICON icon = CreateIconFromResourceEx(&data[offset], bytes, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (!icon) throw EInvalidGraphic("Icon image is not valid");
    SetHandle(icon);
}

void TIcon::SaveToStream(TStream*) { throw EInvalidGraphicOperation("Cannot save an icon"); }

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (handle_) DrawIconEx(ACanvas->GetHandle(), Rect.Left, Rect.Top, handle_, Rect.Width(), Rect.Height(), 0,
                            nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------
// TPicture

TPicture::~TPicture() { delete graphic_; }

void TPicture::take(TGraphic* graphic) {
    delete graphic_;
    graphic_ = graphic;
    if (graphic_) graphic_->OnChange = TNotifyEvent(this, &TPicture::Changed);
    Changed(this);
}

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        take(nullptr);
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(picture->graphic_);
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::SetGraphic(TGraphic* value) { take(value ? value->Clone() : nullptr); }

TBitmap* TPicture::GetBitmap() {
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_)) return bitmap;
    take(new TBitmap);
    return static_cast<TBitmap*>(graphic_);
}

void TPicture::LoadFromFile(const AnsiString& FileName) {
    AnsiString ext = LowerCase(ExtractFileExt(FileName));
    TGraphic* graphic = nullptr;
    if (ext == ".bmp") graphic = new TBitmap;
    else if (ext == ".jpg" || ext == ".jpeg") graphic = new TJPEGImage;
    else if (ext == ".ico") graphic = new TIcon;
    else throw EInvalidGraphic("Unknown picture file extension (%s)", {ext});
    try {
        graphic->LoadFromFile(FileName);
    } catch (...) {
        delete graphic;
        throw;
    }
    take(graphic);
}

void TPicture::SaveToFile(const AnsiString& FileName) {
    if (graphic_) graphic_->SaveToFile(FileName);
}

int GdiObjectCount() { return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)); }
