/*
 * Gallery entry of the component library's drawing toolbox on one form,
 * built in code: bevels and frames, 3D text in every style (one rotated, one
 * disabled), the ten gradients, shapes with shadows and teeth, masks and
 * transparent copies, fills, button faces and bitmap effects.
 */
#include <windows.h>

#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLBevel.h"
#include "components/runtime/QCLShadow.h"
#include "components/runtime/QCLShapeFill.h"
#include "components/runtime/QCLSimpleBevel.h"
#include "components/runtime/QCLTeeth.h"
#include "components/runtime/Qclgrapa.h"
#include "components/runtime/Qclutils.h"
#include "components/runtime/qclbmp.h"
#include "components/runtime/qclclass.h"

#include "framework/Framework.h"
#include "tests/gallery/Gallery.h"

#include <memory>

namespace {

constexpr int kWidth = 900, kHeight = 640;

void label(TCanvas* c, int x, int y, const char* text) {
    c->GetBrush()->SetStyle(bsClear);
    c->GetFont()->SetColor(clBlack);
    c->TextOut(x, y, text);
}

void bevels(TCanvas* c) {
    label(c, 10, 8, "Bevels and frames");
    using S = TQCLBevelStyle;
    const S styles[] = {S::bvLowered, S::bvRaised, S::bvFrameLowered, S::bvFrameRaised, S::bvNormal};
    for (int i = 0; i < 5; ++i) {
        TRect r = Bounds(10 + i * 44, 28, 38, 30);
        QCLDrawFrame3D(c, r, styles[i], clWhite, clGray, 2);
    }
    for (int i = 1; i < 15; ++i) {
        TRect r = Bounds(10 + (i - 1) % 7 * 33, 64 + (i - 1) / 7 * 30, 28, 24);
        QCLDrawStdFrame(c, r, static_cast<TQCLBorderStyle>(i), 0);
    }
    TQCLBevel shadow;
    shadow.StyleOuter = S::bvShadow;
    shadow.WidthOuter = 4;
    shadow.LightColor = clNavy;
    shadow.ShadowColor = clGray;
    shadow.PaintBevel(c, Bounds(240, 28, 50, 60), false);
    TQCLBevel windows;
    windows.Mode = bmWindows;
    windows.PaintBevel(c, Bounds(240, 96, 50, 24), false);
    QCLDrawTriangle(c, 300, 30, 6, clBlack, true, true);
    QCLDrawTriangle(c, 300, 50, 6, clBlack, false, false);
}

void texts(TCanvas* c) {
    label(c, 330, 8, "3D text");
    c->GetFont()->SetName("Arial");
    c->GetFont()->SetHeight(-16);
    c->GetFont()->SetStyle({fsBold});
    static const char* const names[] = {"none", "sunken", "raised (disabled)", "sunken shadow", "raised shadow",
                                        "PColor sunken", "PColor raised", "shadow", "outline", "extrude", "extrude enh"};
    for (int i = 0; i < 11; ++i) {
        TQCL3DCaption caption;
        caption.Style = static_cast<TQCLThreeDStyle>(i);
        caption.ShadowDepth = i >= tdExtrude ? 4 : 2;
        caption.LightColor = i >= tdExtrude ? clYellow : clWhite;
        caption.ShadowColor = clGray;
        c->GetFont()->SetColor(clNavy);
        const TRect r = Bounds(330 + i % 3 * 150, 26 + i / 3 * 26, 150, 26);
        QCLDrawTextExt(c, names[i], &caption, r, DT_NOPREFIX,
                       i == tdRaised ? TQCLDrawTextStyles{dt3DDisabled} : TQCLDrawTextStyles{dtEnabled}, nullptr);
    }
    TQCLFxCaption rotated;
    rotated.Style = tdShadow;
    rotated.Angle = 90;
    c->GetFont()->SetColor(clMaroon);
    QCLDrawTextExt(c, "rotated", &rotated, TRect(800, 100, 830, 140), 0, {dtEnabled}, nullptr);
    c->GetFont()->SetHandle(nullptr);
    c->GetFont()->SetName("MS Sans Serif");
    c->GetFont()->SetHeight(-11);
    c->GetFont()->SetStyle({});
}

void gradients(TCanvas* c) {
    label(c, 10, 150, "Gradients (the progress bar's first)");
    for (int i = 0; i < 10; ++i) {
        const TRect r = Bounds(10 + i * 88, 168, 80, 60);
        const TColor from = i == 0 ? clSilver : clYellow, to = i == 0 ? 0x733F25 : clNavy;
        QCLGradientPaint(c, r, from, to, 16, static_cast<TQCLGradientStyle>(i == 0 ? gstVertical : i == 1 ? gstHorizontal : i),
                         0x0001, 0);
    }
}

void shapes(TCanvas* c) {
    label(c, 10, 240, "Shapes with shadows and teeth");
    TBrush brush;
    brush.SetColor(clTeal);
    TQCLShadow shadow;
    shadow.Depth = 5;
    TQCLSimpleBevel bevel;
    bevel.Style = sbInset;
    bevel.Width = 2;
    for (int i = 0; i < 11; ++i) {
        const TRect r = Bounds(10 + i * 80, 258, 70, 60);
        QCLShapeDraw(r, c, static_cast<TQCLShapeType>(i), nullptr, nullptr, false, &brush, 33,
                     i % 2 ? &bevel : nullptr, &shadow, nullptr, clWhite, clWhite);
    }
    TQCLTeeth teeth;
    teeth.Direction = tdDown;
    teeth.Height = 8;
    TQCLShadow none;
    none.Style = hssNone;
    brush.SetColor(clOlive);
    QCLShapeDraw(Bounds(10, 328, 200, 50), c, TQCLShapeType::stRectangle, &teeth, nullptr, false, &brush, 0, nullptr, &none, nullptr,
                 clWhite, clWhite);
}

std::unique_ptr<TBitmap> glyph() {
    auto g = std::make_unique<TBitmap>();
    QCLBmpCreateFromRect(g.get(), TRect(0, 0, 24, 24), clFuchsia);
    TCanvas* gc = g->GetCanvas();
    gc->GetBrush()->SetColor(clGreen);
    gc->GetPen()->SetColor(clBlack);
    gc->Ellipse(2, 2, 22, 22);
    gc->GetBrush()->SetColor(clYellow);
    gc->Rectangle(8, 8, 16, 16);
    return g;
}

void copies(TCanvas* c) {
    label(c, 230, 330, "Copies: plain, transparent, brush copy, masked, disabled, relief, tiles");
    auto g = glyph();
    const std::uint16_t modes[] = {0x0000, 0x0040, 0x0080};
    for (int i = 0; i < 3; ++i) QCLBmpDraw(c, Bounds(230 + i * 34, 350, 24, 24), g.get(), modes[i], i == 1 ? clFuchsia : clAqua);
    auto background = std::make_unique<TBitmap>();
    QCLBmpCreateFromRect(background.get(), TRect(0, 0, 24, 24), static_cast<TColor>(RGB(166, 202, 240)));
    QCLMaskBmpDraw(c, Bounds(332, 350, 24, 24), g.get(), background.get(), clNone, clFuchsia);
    auto disabled = std::make_unique<TBitmap>();
    QCLBmpCreateFromRect(disabled.get(), TRect(0, 0, 26, 26), clBtnFace);
    QCLBmpDrawDisabledState(disabled.get(), g.get(), 0, 0);
    QCLBmpDraw(c, Bounds(366, 350, 26, 26), disabled.get(), 0, 0);
    auto relief = std::make_unique<TBitmap>();
    QCLBmpCreateGrayscale(relief.get(), g.get());
    QCLBmpDraw(c, Bounds(400, 350, 24, 24), relief.get(), 0, 0);
    QCLBmpClipDraw(c, Bounds(434, 350, 70, 40), g.get(), 0x0021, 0, 0);
}

void fills(TCanvas* c) {
    label(c, 10, 400, "Fills: brush, hatch, bitmap centred, tiled, gradient");
    auto g = glyph();
    for (int i = 0; i < 5; ++i) {
        TQCLFillObject fill;
        switch (i) {
        case 0: fill.Style = sfBrush; fill.Brush()->SetColor(static_cast<TColor>(RGB(192, 220, 192))); break;
        case 1: fill.Style = sfBrush; fill.Brush()->SetStyle(bsDiagCross); fill.Brush()->SetColor(clNavy); break;
        case 2: fill.Style = sfBitmap; fill.Bitmap = g.get(); fill.TileMode = tmCenter; break;
        case 3: fill.Style = sfBitmap; fill.Bitmap = g.get(); break;
        case 4: fill.Style = sfGradient; fill.Gradient()->SetStyle(gstElliptic); break;
        }
        fill.ClipFill(c, Bounds(10 + i * 90, 418, 80, 60), clWhite, 0);
    }
}

void buttonsAndEffects(TCanvas* c) {
    label(c, 470, 400, "Button faces and effects");
    const TQCLUserButtonStyle styles[] = {ubsWin31, ubsWin40, ubsDelphi, ubsFlat, ubsIntegrated};
    for (int i = 0; i < 5; ++i)
        for (int down = 0; down < 2; ++down) {
            TRect r = Bounds(470 + i * 82, 418 + down * 34, 76, 28);
            QCLDrawBtnFace(c, false, r, styles[i], down ? bsDown : bsUp, i == 1 ? 0x04 : 0, clBtnFace);
            QCLDrawText(c, down ? "down" : "up", nullptr, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    auto g = glyph();
    g->SetPixelFormat(pf24bit);
    const TRect all(0, 0, 24, 24);
    for (int i = 0; i < 5; ++i) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(g.get());
        copy->SetPixelFormat(pf24bit);
        switch (i) {
        case 0: QCLBMPGrayScale(copy.get(), all, copy.get(), TPoint(0, 0)); break;
        case 1: QCLBMPInvert(copy.get(), all, copy.get(), TPoint(0, 0)); break;
        case 2: QCLBMPBrightness(copy.get(), all, copy.get(), 80, TPoint(0, 0)); break;
        case 3: QCLBMPFlipHorizonzal(copy.get(), all, copy.get(), TPoint(0, 0)); break;
        case 4: {
            auto white = std::make_unique<TBitmap>();
            QCLBmpCreateFromRect(white.get(), all, clWhite);
            white->SetPixelFormat(pf24bit);
            QCLBMPAlphaBlend(copy.get(), white.get(), all, TPoint(0, 0), copy.get(), 0.4f, TPoint(0, 0));
            break;
        }
        }
        QCLBmpDraw(c, Bounds(470 + i * 34, 494, 24, 24), copy.get(), 0, 0);
    }
}

void paintAll(TCanvas* c) {
    c->GetBrush()->SetColor(clBtnFace);
    c->GetBrush()->SetStyle(bsSolid);
    c->FillRect(TRect(0, 0, kWidth, kHeight));
    bevels(c);
    texts(c);
    gradients(c);
    shapes(c);
    copies(c);
    fills(c);
    buttonsAndEffects(c);
}

class TDrawingForm : public TForm {
public:
    explicit TDrawingForm(TComponent* owner) : TForm(owner) {
        Caption = "Drawing toolbox";
        SetBounds(0, 0, kWidth + 16, kHeight + 40);
    }

protected:
    void Paint() override { paintAll(Canvas); }
};

}  // namespace

BRIM_GALLERY_ENTRY("drawing-toolbox") {
    auto* form = new TDrawingForm(nullptr);
    shot.form(form);
    form->Free();
}
