// 3D and rotated text of the drawing toolbox: drawing, measuring and
// aligning a caption with its 3D effect.
//
// The text is drawn with the canvas's font selected for the call and the
// DC's text colour set per copy; both go back afterwards. The character
// extra is set back to 0 (not to an earlier value) and a clip made here is
// removed, as every text routine of the library does.
#include "components/runtime/Qclutils.h"

#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/qclprocs.h"

#include "framework/SysUtils.h"

#include <cmath>
#include <vector>

TRect QCLAlignRect(TQCLAlignment Alignment, const TRect& Inner, const TRect& Outer) {
    const int w = Inner.Width(), h = Inner.Height(), W = Outer.Width(), H = Outer.Height();
    const int row = static_cast<int>(Alignment) / 3, column = static_cast<int>(Alignment) % 3;
    const int dy = row == 0 ? 0 : row == 1 ? (H - h) / 2 : H - h;
    const int dx = column == 0 ? 0 : column == 1 ? (W - w) / 2 : W - w;
    return Bounds(Outer.Left + dx, Outer.Top + dy, w, h);
}

std::uint16_t QCLClampTextPos(long long value) {
    return static_cast<std::uint16_t>(value < 0 ? 0 : value > 0xFFFF ? 0xFFFF : value);
}

int QCL3DTextExtra(const TQCL3DCaption* Caption) {
    if (!Caption) return 0;
    const int L = Caption->GetLightDepth(), S = Caption->GetShadowDepth();
    switch (Caption->GetStyle()) {
    case tdSunken:
    case tdRaised: return L;
    case tdSunkenShadow:
    case tdRaisedShadow:
    case tdPColorSunken:
    case tdPColorRaised: return L + S;
    case tdShadow:
    case tdOutline:
    case tdExtrude:
    case tdExtrudeEnh: return S;
    default: return 0;
    }
}

namespace {

void shift(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

int rotatedAngle(TQCL3DCaption* caption) {
    auto* fx = dynamic_cast<TQCLFxCaption*>(caption);
    return fx ? fx->GetAngle() : 0;
}

// One copy of the text: the offset is added to the working rectangle first.
struct TextCopy {
    int dx, dy;
    TColor color;
};

// The copies of a style, after narrowing the working rectangle's right edge.
std::vector<TextCopy> copiesOf(TQCLThreeDStyle style, const TQCL3DCaption& c, TColor text, int& narrow, TRect& working) {
    const int L = c.GetLightDepth(), S = c.GetShadowDepth();
    const TColor light = c.GetLightColor(), shadow = c.GetShadowColor();
    narrow = 0;
    switch (style) {
    case tdSunken: narrow = L; return {{L, L, light}, {-L, -L, text}};
    case tdRaised: narrow = L; return {{0, 0, light}, {L, L, text}};
    case tdSunkenShadow:
    case tdPColorSunken: narrow = L + S; return {{0, 0, shadow}, {L + S, L + S, light}, {-L, -L, text}};
    case tdRaisedShadow:
    case tdPColorRaised: narrow = L + S; return {{L + S, L + S, shadow}, {-(L + S), -(L + S), light}, {L, L, text}};
    case tdShadow: narrow = S; return {{S, S, shadow}, {-S, -S, text}};
    case tdExtrude:
    case tdExtrudeEnh: {
        const int d = S;
        int sx = 0, sy = 0;
        switch (c.GetOrientation()) {
        case toBottomLeft: shift(working, 0, d + 1); sx = 1; sy = -1; break;
        case toBottomRight: shift(working, d + 1, d + 1); sx = -1; sy = -1; break;
        case toTopLeft: sx = 1; sy = 1; break;
        case toTopRight: shift(working, d + 1, 0); sx = -1; sy = 1; break;
        }
        std::vector<TextCopy> copies;
        for (int i = 0; i < d; ++i)
            copies.push_back({sx, sy, style == tdExtrude ? shadow : QCLGradientGetColor(shadow, light, d - i - 1, d)});
        copies.push_back({0, 0, text});
        return copies;
    }
    default: return {{0, 0, text}};
    }
}

class TextDrawer {
public:
    TextDrawer(HDC dc, const AnsiString& text, UINT flags, bool rotated)
        : dc_(dc), text_(text), flags_(flags), rotated_(rotated) {}
    void draw(const TRect& r, TColor color) {
        SetTextColor(dc_, ColorToRGB(color));
        if (rotated_) {
            ExtTextOutA(dc_, r.Left, r.Top, 0, nullptr, text_.data(), static_cast<UINT>(text_.size()), nullptr);
        } else {
            RECT rc = *r.rc();
            DrawTextExA(dc_, const_cast<char*>(text_.c_str()), static_cast<int>(text_.size()), &rc, flags_, nullptr);
        }
    }

private:
    HDC dc_;
    const AnsiString& text_;
    UINT flags_;
    bool rotated_;
};

// Undoes what the text drawing set on the DC, also when drawing fails.
struct TextStateRestorer {
    HDC dc;
    COLORREF textColor;
    bool clipped = false;
    win32::RegionHandle region;
    ~TextStateRestorer() {
        SetTextCharacterExtra(dc, 0);
        SetTextColor(dc, textColor);
        if (clipped && region.close()) SelectClipRgn(dc, nullptr);
    }
};

void makeRotatedFont(TFont* font, int angle) {
    LOGFONTA lf = {};
    GetObjectA(font->GetHandle(), sizeof lf, &lf);
    lf.lfEscapement = lf.lfOrientation = angle * 10;
    font->SetHandle(CreateFontIndirectA(&lf));
}

}  // namespace

void QCLDrawTextExt(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption, const TRect& Rect, UINT Flags,
                    TQCLDrawTextStyles State, const TRect* Clip) {
    if (!Canvas || Text.empty() || Rect.Width() <= 0 || Rect.Height() <= 0) return;
    HDC dc = Canvas->GetHandle();
    if (!Caption) {
        win32::SelectedObject font(dc, Canvas->GetFont()->GetHandle());
        const COLORREF text = SetTextColor(dc, ColorToRGB(Canvas->GetFont()->GetColor()));
        const int mode = SetBkMode(dc, TRANSPARENT);
        RECT rc = *Rect.rc();
        DrawTextExA(dc, const_cast<char*>(Text.c_str()), static_cast<int>(Text.size()), &rc, Flags, nullptr);
        SetBkMode(dc, mode);
        SetTextColor(dc, text);
        return;
    }
    TextStateRestorer restorer{dc, GetTextColor(dc), false, win32::RegionHandle()};
    if (State.Contains(dtClip)) {
        const TRect& c = Clip ? *Clip : Rect;
        restorer.region = QCLCreateClipRegion(dc, c);
        SelectClipRgn(dc, restorer.region.get());
        restorer.clipped = true;
    }
    if (Caption->GetTracing() != 0) SetTextCharacterExtra(dc, Caption->GetTracing());

    TQCLThreeDStyle style = Caption->GetStyle();
    TColor text;
    if (State.Contains(dtEnabled) || Caption->GetDisabledStyle() == dsNone) {
        const bool parentColour = style == tdPColorSunken || style == tdPColorRaised;
        text = parentColour ? Canvas->GetBrush()->GetColor() : Canvas->GetFont()->GetColor();
    } else {
        text = clGrayText;
        const TQCLDisabledStyle disabled = Caption->GetDisabledStyle();
        if (disabled == ds3d || (disabled == dsAuto && State.Contains(dt3DDisabled))) style = tdSunken;
    }

    const int angle = rotatedAngle(Caption);
    if (angle != 0) makeRotatedFont(Canvas->GetFont(), angle);
    TRect working = Rect;
    if (auto* fx = dynamic_cast<TQCLFxCaption*>(Caption)) {
        working.Left += fx->GetPosX();
        working.Top += fx->GetPosY();
    }

    Canvas->GetBrush()->SetStyle(bsClear);
    SetBkMode(dc, TRANSPARENT);
    win32::SelectedObject font(dc, Canvas->GetFont()->GetHandle());
    TextDrawer drawer(dc, Text, Flags, angle != 0);

    if (style == tdOutline) {
        const int S = Caption->GetShadowDepth();
        shift(working, S / 2, S / 2);
        BeginPath(dc);
        drawer.draw(working, text);
        EndPath(dc);
        win32::PenHandle pen(CreatePen(PS_SOLID, S, ColorToRGB(text)));
        win32::SelectedObject selected(dc, pen.get());
        StrokePath(dc);
        return;
    }
    int narrow = 0;
    const std::vector<TextCopy> copies = copiesOf(style, *Caption, text, narrow, working);
    working.Right -= narrow;
    for (const TextCopy& copy : copies) {
        shift(working, copy.dx, copy.dy);
        drawer.draw(working, copy.color);
    }
}

void QCLDrawText(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption, const TRect& Rect, std::uint16_t Flags) {
    QCLDrawTextExt(Canvas, Text, Caption, Rect, Flags, {dtEnabled}, nullptr);
}

namespace {

// How far the rotated text's start sits inside its box for the style.
int styleOffset(const TQCL3DCaption* c) {
    const int L = c->GetLightDepth(), S = c->GetShadowDepth();
    int e = 0;
    switch (c->GetStyle()) {
    case tdSunken:
    case tdRaised: e = L / 2 - 1; break;
    case tdSunkenShadow:
    case tdRaisedShadow:
    case tdPColorSunken:
    case tdPColorRaised: e = (L + S) / 2 - 1; break;
    case tdShadow:
    case tdExtrude:
    case tdExtrudeEnh: e = S / 2 - 1; break;
    default: break;
    }
    return e < 0 ? 0 : e;
}

std::uint16_t position(double value, int offset) { return QCLClampTextPos(Round(value) - offset); }

}  // namespace

void QCLDrawTextCalcExt(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption, TRect& Rect, TFont* Font,
                        bool MultiLine, bool ShowAccelChar, int Margin, UINT Flags) {
    if (!Canvas) return;
    win32::WindowDC screen(nullptr);
    Canvas->SetHandle(screen.get());
    struct Detach {
        TCanvas* canvas;
        ~Detach() { canvas->SetHandle(nullptr); }
    } detach{Canvas};
    if (Font) Canvas->GetFont()->Assign(Font);
    HDC dc = screen.get();
    win32::SelectedObject font(dc, Canvas->GetFont()->GetHandle());
    const int extra = QCL3DTextExtra(Caption);
    auto* fx = dynamic_cast<TQCLFxCaption*>(Caption);
    if (fx && fx->GetAngle() != 0) {
        SetTextCharacterExtra(dc, fx->GetTracing());
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, Text.data(), static_cast<int>(Text.size()), &size);
        SetTextCharacterExtra(dc, 0);
        const int w = size.cx, h = size.cy;
        Rect = TRect(0, 0, w + extra, h + extra);
        QCLCalcRotRect(Rect, fx->GetAngle());
        const double theta = fx->GetAngle() * 3.14159265358979323846 / 180.0;
        const double cx = (Rect.Left + Rect.Right) / 2.0, cy = (Rect.Top + Rect.Bottom) / 2.0;
        const int a = w / 2, b = h / 2, e = styleOffset(fx);
        fx->SetPosX(position(cx - a * std::cos(theta) - b * std::sin(theta), e));
        fx->SetPosY(position(a * std::sin(theta) + cy - b * std::cos(theta), e));
    } else {
        if (fx) fx->SetPosXY(0, 0);
        UINT flags = Flags | DT_CALCRECT | DT_EXPANDTABS;
        if (MultiLine) flags |= DT_WORDBREAK;
        if (!ShowAccelChar) flags |= DT_NOPREFIX;
        AnsiString text = Text;
        if (text.empty() || (text == "&" && ShowAccelChar)) text = " ";
        if (Caption) SetTextCharacterExtra(dc, Caption->GetTracing());
        RECT rc = *Rect.rc();
        DrawTextExA(dc, const_cast<char*>(text.c_str()), static_cast<int>(text.size()), &rc, flags, nullptr);
        SetTextCharacterExtra(dc, 0);
        Rect = TRect(rc.left, rc.top, rc.right + extra, rc.bottom + extra);
    }
    Rect.Right += 2 * (Margin + 1);
    Rect.Bottom += 2 * (Margin + 1);
}

void QCLDrawTextCalc(const AnsiString& Text, TQCL3DCaption* Caption, TRect& Rect, TFont* Font, bool MultiLine,
                     bool ShowAccelChar, int Margin, UINT Flags) {
    TCanvas canvas;
    QCLDrawTextCalcExt(&canvas, Text, Caption, Rect, Font, MultiLine, ShowAccelChar, Margin, Flags);
}

TRect QCLAlignTextRect(TQCLAlignment Alignment, const AnsiString& Text, TQCL3DCaption* Caption, const TRect& Rect,
                       TFont* Font, bool MultiLine, bool ShowAccelChar, UINT Flags) {
    TRect measured = Rect;
    measured.Right -= 1;
    QCLDrawTextCalc(Text, Caption, measured, Font, MultiLine, ShowAccelChar, 0, Flags);
    return QCLAlignRect(Alignment, measured, Rect);
}

// ---------------------------------------------------------------------------
// Fonts

namespace {

template <class Body>
auto onScreen(TFont* font, Body body) {
    win32::WindowDC screen(nullptr);
    win32::SelectedObject selected(screen.get(), font ? font->GetHandle() : nullptr);
    return body(screen.get());
}

int textHeightOfW(HDC dc) {
    SIZE size = {0, 0};
    return GetTextExtentPoint32A(dc, "W", 1, &size) ? size.cy : 0;
}

int extra3DWidth(const TQCL3DCaption* c) {
    const int L = c->GetLightDepth(), S = c->GetShadowDepth();
    switch (c->GetStyle()) {
    case tdSunken:
    case tdRaised: return L;
    case tdSunkenShadow:
    case tdRaisedShadow:
    case tdPColorSunken:
    case tdPColorRaised: return L + S;
    case tdShadow: return S;
    default: return 0;
    }
}

}  // namespace

bool QCLIsTrueTypeFont(TFont* Font) {
    if (!Font) return false;
    return onScreen(Font, [](HDC dc) {
        TEXTMETRICA metrics = {};
        return GetTextMetricsA(dc, &metrics) && (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
    });
}

bool QCLIsTrueTypeFontCheck(TCanvas* Canvas) { return Canvas && QCLIsTrueTypeFont(Canvas->GetFont()); }

int QCLGetFontHeight(TFont* Font) {
    if (!Font) return 0;
    return onScreen(Font, textHeightOfW);
}

int QCLGet3DTextWidth(const AnsiString& Text, TQCL3DCaption* Caption, TFont* Font) {
    if (!Caption || !Font) return 0;
    return onScreen(Font, [&](HDC dc) {
        const int previous = SetTextCharacterExtra(dc, Caption->GetTracing());
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, Text.data(), static_cast<int>(Text.size()), &size);
        SetTextCharacterExtra(dc, previous);
        return static_cast<int>(size.cx) + extra3DWidth(Caption);
    });
}

int QCLGet3DTextHeight(TQCL3DCaption* Caption, TFont* Font) {
    if (!Caption || !Font) return 0;
    return onScreen(Font, textHeightOfW) + extra3DWidth(Caption);
}
