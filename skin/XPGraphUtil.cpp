// The banded gradient of the XP look; see XPGraphUtil.h.
#include "skin/XPGraphUtil.h"

#include <algorithm>

namespace {

struct Channels {
    int r, g, b;
};

Channels channelsOf(TColor color) {
    COLORREF rgb = ColorToRGB(color);
    return {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
}

void fillBand(TCanvas* canvas, const TRect& band, TColor color) {
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = color;
    canvas->FillRect(band);
}

}  // namespace

void GradientFillRect(TCanvas* Canvas, const TRect& R, TColor StartColor, TColor EndColor, TFillDirection Direction,
                      int Colors) {
    if (R.IsEmpty()) return;
    if (Colors < 2) {
        fillBand(Canvas, R, StartColor);
        return;
    }
    const bool forward = Direction == fdTopToBottom || Direction == fdLeftToRight;
    const bool vertical = Direction == fdTopToBottom || Direction == fdBottomToTop;
    const Channels base = channelsOf(forward ? StartColor : EndColor);
    const Channels step = channelsOf(forward ? EndColor : StartColor);
    const Channels delta = {step.r - base.r, step.g - base.g, step.b - base.b};

    const int extent = vertical ? HeightOf(R) : WidthOf(R);
    const int bands = std::max(2, std::min(Colors, extent));
    const int size = extent / bands;

    Canvas->Pen->Style = psSolid;
    Canvas->Pen->Mode = pmCopy;
    if (size > 0) {
        for (int i = 0; i < bands; ++i) {
            TRect band = R;
            if (vertical) {
                band.Top = R.Top + i * size;
                band.Bottom = band.Top + size;
            } else {
                band.Left = R.Left + i * size;
                band.Right = band.Left + size;
            }
            TColor color = static_cast<TColor>(RGB(base.r + MulDiv(i, delta.r, bands - 1),
                                                   base.g + MulDiv(i, delta.g, bands - 1),
                                                   base.b + MulDiv(i, delta.b, bands - 1)));
            fillBand(Canvas, band, color);
        }
    }
    const int remainder = extent % bands;
    if (remainder > 0) {
        TRect rest = R;
        if (vertical) rest.Top = R.Bottom - remainder;
        else rest.Left = R.Right - remainder;
        fillBand(Canvas, rest, forward ? EndColor : StartColor);
    }
}

void GradientVertLine(TCanvas*, int, int, int, TColor, TColor, TFillDirection, int) {}
