/*
 * Gallery pages of the library's less common behaviours, each page in states
 * that show them: transparent and explorer buttons over a filled panel,
 * multimedia buttons by face style, shape buttons with gradient, tiled and
 * 3D faces, pressed faces moving their picture, a fill from an image list
 * and a transparent shape (library-buttons-more); radio groups drawing their glyphs from an
 * image list, with focus settings (library-radio-glyphs); animation
 * controls opaque, transparent, off-screen, auto-sized and cut at their
 * bevel (library-animation); and a title bar painted by the form styler
 * (form-styler).
 */
#include <windows.h>

#include "components/controls/QCLAniCtrl.h"
#include "components/controls/QCLCustomPanel.h"
#include "components/controls/QCLMMButton.h"
#include "components/controls/QCLRadioGroup.h"
#include "components/controls/QCLShapeButton.h"
#include "components/controls/QCLSpeedButton.h"
#include "components/runtime/QCLFormStyler.h"
#include "components/runtime/QCLShadow.h"
#include "components/runtime/QCLSimpleBevel.h"

#include "framework/Framework.h"
#include "tests/gallery/Gallery.h"

namespace {

class TPage : public TForm {
public:
    TPage(int width, int height) : TForm(nullptr) {
        BorderStyle = bsNone;
        SetColor(clBtnFace);
        SetBounds(40, 40, width, height);
    }
};

void label(TWinControl* parent, int x, int y, const char* text) {
    auto* l = new TLabel(parent);
    l->Parent = parent;
    l->Transparent = true;
    l->SetBounds(x, y, 480, 14);
    l->Caption = text;
}

TQCLCustomPanelFill* stripedPanel(TWinControl* parent, const TRect& bounds) {
    auto* panel = new TQCLCustomPanelFill(parent);
    panel->SetParent(parent);
    panel->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    panel->GetFillObject()->SetStyle(sfBrush);
    panel->GetFillObject()->GetBrush()->SetColor(static_cast<TColor>(0x80E0FF));
    panel->GetFillObject()->GetBrush()->SetStyle(bsDiagCross);
    return panel;
}

// One image-list item of `count` square pictures: a coloured disc on white
// (white, the bottom-left pixel, is the transparent colour).
TQCLImageList* discs(TComponent* owner, int size, std::initializer_list<TColor> colours) {
    auto* list = new TQCLImageList(owner);
    TQCLImageListItem* item = list->GetArrayItem(list->Add());
    item->SetWidth(size);
    item->SetHeight(size);
    for (TColor c : colours) {
        TBitmap picture;
        picture.SetPixelFormat(pf24bit);
        picture.SetSize(size, size);
        picture.GetCanvas()->GetBrush()->SetColor(clWhite);
        picture.GetCanvas()->FillRect(TRect(0, 0, size, size));
        picture.GetCanvas()->GetBrush()->SetColor(c);
        picture.GetCanvas()->Ellipse(TRect(1, 1, size - 1, size - 1));
        item->Add(&picture, nullptr);
    }
    return list;
}

// Radio glyph strips of four 13-pixel cells (unchecked, unchecked disabled,
// checked, checked disabled), one picture per colour.
TQCLImageList* radioStrips(TComponent* owner, std::initializer_list<TColor> colours) {
    auto* list = new TQCLImageList(owner);
    TQCLImageListItem* item = list->GetArrayItem(list->Add());
    item->SetWidth(4 * 13);
    item->SetHeight(13);
    for (TColor c : colours) {
        TBitmap strip;
        strip.SetPixelFormat(pf24bit);
        strip.SetSize(4 * 13, 13);
        TCanvas* canvas = strip.GetCanvas();
        canvas->GetBrush()->SetColor(clWhite);
        canvas->FillRect(TRect(0, 0, 4 * 13, 13));
        for (int cell = 0; cell < 4; ++cell) {
            const TColor ink = cell % 2 ? clGray : c;
            canvas->GetPen()->SetColor(ink);
            canvas->GetPen()->SetWidth(2);
            canvas->GetBrush()->SetColor(cell >= 2 ? ink : clWhite);
            canvas->Rectangle(TRect(cell * 13 + 1, 1, cell * 13 + 12, 12));
        }
        item->Add(&strip, nullptr);
    }
    return list;
}

}  // namespace

BRIM_GALLERY_ENTRY("library-buttons-more") {
    auto* form = new TPage(620, 420);
    form->AfterConstruction();  // built at run time, not read from a layout
    label(form, 12, 8, "On a filled panel: explorer, coloured explorer, transparent flat, opaque");
    TQCLCustomPanelFill* panel = stripedPanel(form, TRect(12, 26, 332, 76));
    const TQCLUserButtonStyle styles[] = {ubsExplorer, ubsExplorerColored, ubsFlat, ubsWin40};
    for (int i = 0; i < 4; ++i) {
        auto* b = new TQCLSpeedButton(form);
        b->SetParent(panel);
        b->SetBounds(8 + i * 74, 10, 68, 26);
        b->SetText(i == 3 ? "Opaque" : "Button");
        b->SetColor(clBtnFace);
        b->SetStyle(styles[i]);
        if (i == 2) b->SetTransparent(true);
    }

    label(form, 12, 106, "Multimedia buttons: none, centre, stretch, tile, autosize");
    TQCLImageList* faces = discs(form, 16, {clRed, clBlue});
    const TQCLBitmapStyle faceStyles[] = {sbNone, sbCenter, sbStretch, sbTile, sbAutosize};
    for (int i = 0; i < 5; ++i) {
        auto* mm = new TQCLMMButton(form);
        mm->SetParent(form);
        mm->SetBounds(12 + i * 70, 126, 48, 40);
        mm->SetColor(static_cast<TColor>(0xE0E0E0));
        mm->SetButtonFaceImageList(faces);
        mm->SetButtonFaceIndex(bsDown, QCLFaceIndex(0, 1));
        mm->SetButtonFaceStyle(faceStyles[i]);
    }

    label(form, 12, 186, "Shape buttons: gradient, tiled picture, 3D up, 3D pressed");
    for (int i = 0; i < 4; ++i) {
        auto* shape = new TQCLShapeButton(form);
        shape->SetParent(form);
        shape->SetBounds(12 + i * 100, 206, 90, 56);
        shape->SetColor(clBtnFace);
        shape->GetShape()->SetShape(i < 2 ? TQCLShapeType::stRoundRect : TQCLShapeType::stRectangle);
        shape->GetShape()->GetShadow()->SetDepth(i < 2 ? 4 : 0);
        shape->SetMode(sbmShapeFill);
        shape->SetText(i == 3 ? "Down" : "Shape");
        if (i == 0) {
            TQCLGradient* g = shape->GetShapeFill()->GetGradient();
            g->SetColor(clNavy);
            g->SetEndColor(clAqua);
            g->SetStyle(gstHorizontal);
            shape->GetShapeFill()->SetStyle(sfGradient);
        } else if (i == 1) {
            TBitmap tile;
            tile.SetPixelFormat(pf24bit);
            tile.SetSize(10, 10);
            tile.GetCanvas()->GetBrush()->SetColor(clYellow);
            tile.GetCanvas()->FillRect(TRect(0, 0, 10, 10));
            tile.GetCanvas()->GetBrush()->SetColor(clRed);
            tile.GetCanvas()->FillRect(TRect(0, 0, 5, 5));
            shape->GetShapeFill()->SetFillBitmap(&tile);
            shape->GetShapeFill()->SetTileMode(tmTile);
            shape->GetShapeFill()->SetStyle(sfBitmap);
        } else {
            shape->SetShapeStyle(sbs3D);
            shape->GetShape()->GetBevel()->SetWidth(3);
            shape->GetShapeFill()->SetStyle(sfBrush);
            shape->GetShape()->GetBrush()->SetColor(static_cast<TColor>(0xC0DCC0));
            if (i == 3) {
                shape->SetGroupIndex(5);
                shape->SetPressed(true);
            }
        }
    }

    label(form, 12, 276, "Tiled picture up, pressed in 3D (moved 2), pressed with shadow (moved 4); list fill; transparent");
    TBitmap check;
    check.SetPixelFormat(pf24bit);
    check.SetSize(12, 12);
    check.GetCanvas()->GetBrush()->SetColor(clYellow);
    check.GetCanvas()->FillRect(TRect(0, 0, 12, 12));
    check.GetCanvas()->GetBrush()->SetColor(clNavy);
    check.GetCanvas()->FillRect(TRect(0, 0, 6, 6));
    for (int i = 0; i < 3; ++i) {
        auto* shape = new TQCLShapeButton(form);
        shape->SetParent(form);
        shape->SetBounds(12 + i * 100, 296, 90, 56);
        shape->SetColor(clBtnFace);
        shape->GetShape()->SetShape(TQCLShapeType::stRectangle);
        shape->GetShape()->GetShadow()->SetDepth(4);
        shape->SetShapeStyle(i == 1 ? sbs3D : sbsShadow);
        shape->GetShape()->GetBevel()->SetWidth(i == 1 ? 2 : 0);
        shape->SetMode(sbmShapeFill);
        shape->GetShapeFill()->SetFillBitmap(&check);
        shape->GetShapeFill()->SetTileMode(tmTile);
        shape->GetShapeFill()->SetStyle(sfBitmap);
        if (i > 0) {
            shape->SetGroupIndex(6 + i);
            shape->SetPressed(true);
        }
    }
    auto* listFilled = new TQCLShapeButton(form);
    listFilled->SetParent(form);
    listFilled->SetBounds(312, 296, 90, 56);
    listFilled->SetColor(clBtnFace);  // the shape's mask is cut against Color: white would hide it
    listFilled->GetShape()->SetShape(TQCLShapeType::stEllipse);
    listFilled->SetMode(sbmShapeFill);
    listFilled->GetShapeFill()->SetStyle(sfBitmapList);
    auto* fills = new TQCLImageList(form);
    TQCLImageListItem* fillItem = fills->GetArrayItem(fills->Add());
    fillItem->SetWidth(12);
    fillItem->SetHeight(12);
    fillItem->Add(&check, nullptr);
    TBitmap stripes;
    stripes.SetPixelFormat(pf24bit);
    stripes.SetSize(12, 12);
    stripes.GetCanvas()->GetBrush()->SetColor(clAqua);
    stripes.GetCanvas()->FillRect(TRect(0, 0, 12, 12));
    stripes.GetCanvas()->GetBrush()->SetColor(clTeal);
    stripes.GetCanvas()->FillRect(TRect(0, 0, 12, 4));
    fillItem->Add(&stripes, nullptr);
    listFilled->SetBtnFaceImageList(fills);
    listFilled->SetBtnFaceIndex(0, 1);  // the second picture of the list
    TQCLCustomPanelFill* under = stripedPanel(form, TRect(412, 290, 600, 362));
    auto* see = new TQCLShapeButton(form);
    see->SetParent(under);
    see->SetBounds(10, 6, 90, 60);
    see->GetShape()->SetShape(TQCLShapeType::stEllipse);
    see->GetShape()->GetBrush()->SetColor(static_cast<TColor>(0xC0DCC0));
    see->SetMode(sbmShapeFill);
    see->GetShapeFill()->SetStyle(sfBrush);
    see->SetText("Clear");
    see->SetTransparent(true);
    shot.form(form);
    form->Free();
}

BRIM_GALLERY_ENTRY("library-radio-glyphs") {
    auto* form = new TPage(560, 250);
    form->AfterConstruction();  // built at run time, not read from a layout
    TQCLImageList* glyphs = radioStrips(form, {clRed, clBlue});
    label(form, 12, 8, "Glyphs from an image list (image 0, then 1; Third disabled)");
    const int imageIndex[] = {0, 1};
    for (int g = 0; g < 2; ++g) {
        auto* group = new TQCLRadioGroup(form);
        group->SetParent(form);
        group->SetBounds(12 + g * 180, 26, 170, 100);
        group->SetText(g == 0 ? "Red glyphs" : "Blue glyphs");
        for (const char* item : {"First", "Second", "Third"}) group->GetItems()->Add(item);
        group->SetGlyphImageList(glyphs);
        group->SetGlyphImageIndex(imageIndex[g]);
        group->SetItemIndex(1);
        group->Button(2)->SetEnabled(false);
    }
    label(form, 12, 136, "Focus: glyph and text in red (focused), flat standard glyphs");
    auto* focused = new TQCLRadioGroup(form);
    focused->SetParent(form);
    focused->SetBounds(12, 154, 170, 86);
    focused->SetText("Focus colour");
    for (const char* item : {"One", "Two"}) focused->GetItems()->Add(item);
    focused->SetFocusStyle(fcGlyphText);
    focused->SetFocusColor(clRed);
    focused->SetUseFocusColor(true);
    focused->SetItemIndex(0);
    auto* flat = new TQCLRadioGroup(form);
    flat->SetParent(form);
    flat->SetBounds(192, 154, 170, 86);
    flat->SetText("Flat glyphs");
    for (const char* item : {"One", "Two"}) flat->GetItems()->Add(item);
    flat->SetGlyphFlat(true);
    flat->SetItemIndex(1);
    form->Show();
    focused->Button(0)->SetFocus();
    shot.form(form);
    form->Free();
}

BRIM_GALLERY_ENTRY("library-animation") {
    auto* form = new TPage(520, 280);
    form->AfterConstruction();  // built at run time, not read from a layout
    TQCLImageList* frames = discs(form, 24, {clRed, clLime, clBlue, clYellow});
    label(form, 12, 8, "Opaque (frame 1), off-screen on its colour (frame 2)");
    for (int i = 0; i < 2; ++i) {
        auto* ani = new TQCLAniCtrl(form);
        ani->SetParent(form);
        ani->SetBounds(12 + i * 60, 28, 40, 40);
        ani->SetColor(i == 0 ? clBtnFace : clSilver);
        ani->SetImageList(frames);
        ani->SetUseBitmap(i == 1);
        ani->Move(i + 1);
    }
    label(form, 12, 80, "Transparent on a filled panel: off-screen, direct; auto-sized");
    TQCLCustomPanelFill* panel = stripedPanel(form, TRect(12, 100, 232, 180));
    for (int i = 0; i < 2; ++i) {
        auto* ani = new TQCLAniCtrl(form);
        ani->SetParent(panel);
        ani->SetBounds(10 + i * 60, 14, 40, 40);
        ani->SetImageList(frames);
        ani->SetUseBitmap(i == 0);
        ani->SetTransparent(true);
        ani->Move(3);
    }
    auto* sized = new TQCLAniCtrl(form);
    sized->SetParent(panel);
    sized->SetBounds(140, 14, 60, 50);
    sized->SetImageList(frames);
    sized->SetStyle(sbAutosize);
    sized->Move(2);
    label(form, 12, 192, "Inside a raised bevel: tiled, natural size larger than the control (cut at the bevel)");
    const TQCLBitmapStyle clipped[] = {sbTile, sbNone};
    for (int i = 0; i < 2; ++i) {
        auto* ani = new TQCLAniCtrl(form);
        ani->SetParent(form);
        ani->SetBounds(12 + i * 70, 212, i == 0 ? 60 : 20, i == 0 ? 56 : 20);
        ani->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvRaised);
        ani->GetBevel()->SetWidthOuter(2);
        ani->SetImageList(frames);
        ani->SetStyle(clipped[i]);
        ani->SetBool(0, false);  // drawn straight onto the control
        ani->Move(i);
    }
    shot.form(form);
    form->Free();
}

// A form whose title bar the styler paints: the gradient from black to the
// active caption colour in 32 steps, the system's icon kept, and the caption
// in the styler's own bold yellow font, centred.
BRIM_GALLERY_ENTRY("form-styler") {
    auto* form = MakeForm<TForm>(nullptr);
    form->Caption = "Styled title bar";
    form->BorderStyle = bsSingle;
    form->SetBounds(60, 60, 420, 160);
    form->HandleNeeded();
    TQCLFormStyler* styler = nullptr;
    {
        TLoadingGuard loading;  // as a layout makes it: the hook goes in when loading ends
        styler = new TQCLFormStyler(form);
        styler->Options = TQCLFormStyleOptions{fsAdjustRect, fsUseFontColor};
        styler->GetFont()->SetColor(clYellow);
        styler->GetFont()->SetStyle(TFontStyles{fsBold});
        styler->Alignment = taCenter;
        loading.Finish();
    }
    label(form, 12, 12, "The gradient ends in the active caption colour;");
    label(form, 12, 30, "the caption is the styler's own font and colour.");
    form->Show();
    SetForegroundWindow(form->Handle);
    SendMessageA(form->Handle, WM_NCACTIVATE, 1, 0);
    shot.form(form);
    form->Free();
}
