// Gallery entry of the library's base controls in their states: a skinned
// title with its sunken label, the message box's body label, link, disabled
// and accelerator labels, bevel panels in each mode, a parent panel showing
// its picture through a transparent child, the scroll box with both bars,
// and the two meters of the program at 0, 37 and 100 % beside a block bar.
#include "components/controls/QCLCustomPanel.h"
#include "components/controls/QCLCustomScrollBox.h"
#include "components/controls/QCLProgress.h"
#include "components/controls/QCLSimpleLabel.h"
#include "components/runtime/qclcont.h"

#include "framework/Framework.h"
#include "tests/gallery/Gallery.h"

namespace {

constexpr TColor navy = 0x733F25, cream = 0xEFFBFC;

class TLibrarySheet : public TForm {
public:
    TLibrarySheet(TComponent* owner, int width, int height) : TForm(owner) {
        BorderStyle = bsNone;
        Color = cream;
        SetBounds(40, 40, width, height);
    }
};

TQCLSimpleLabel* text(TWinControl* parent, int x, int y, const char* caption) {
    auto* label = new TQCLSimpleLabel(parent);
    label->SetParent(parent);
    label->GetFont()->SetName("Arial");
    label->GetFont()->SetHeight(-12);
    label->SetBounds(x, y, 10, 10);
    label->SetText(caption);
    return label;
}

TQCLProgress* keyMeter(TWinControl* parent, int x, int y, int percent) {
    auto* meter = new TQCLProgress(parent);
    meter->SetParent(parent);
    meter->SetStyle(pgBar);
    meter->SetBarColor(navy);
    meter->SetColor(clWhite);
    meter->SetTextOptions(toPercent);
    meter->GetFont()->SetName("Arial");
    meter->GetFont()->SetHeight(-12);
    meter->SetBounds(x, y, 150, 18);
    meter->SetPercentValue(percent);
    return meter;
}

TQCLProgressFill* jobMeter(TWinControl* parent, int x, int y, int percent) {
    auto* meter = new TQCLProgressFill(parent);
    meter->SetParent(parent);
    meter->SetColor(clWhite);
    meter->SetBack(cream);
    meter->SetTextOptions(toPercent);
    meter->GetFont()->SetName("Arial");
    meter->GetFont()->SetHeight(-13);
    meter->GetFont()->SetColor(clBlack);
    TQCLFillObject* fill = meter->GetFillObject();
    fill->SetStyle(sfGradient);
    fill->GetGradient()->SetColor(clSilver);
    fill->GetGradient()->SetEndColor(navy);
    fill->GetGradient()->SetStyle(gstHorizontal);
    meter->SetBounds(x, y, 150, 18);
    meter->SetPercentValue(percent);
    return meter;
}

TQCLCustomBevelPanel* bevelPanel(TWinControl* parent, int x, int y, const char* name) {
    auto* panel = new TQCLCustomBevelPanel(parent);
    panel->SetParent(parent);
    panel->SetBounds(x, y, 80, 44);
    auto* caption = text(panel, 6, 14, name);
    caption->GetFont()->SetHeight(-11);
    return panel;
}

}  // namespace

BRIM_GALLERY_ENTRY("library-controls") {
    // Controls made after the form's loading bracket has closed, as at run time.
    auto* form = MakeForm<TLibrarySheet>(nullptr, 600, 380);

    // A skinned title: navy bar, bold white sunken text.
    auto* titleBar = new TQCLCustomBevelPanel(form);
    titleBar->SetParent(form);
    titleBar->SetColor(navy);
    titleBar->SetBounds(10, 10, 350, 24);
    auto* title = new TQCLSimpleLabel(form);
    title->SetParent(titleBar);
    title->SetAutoSize(false);
    title->SetMultiLine(true);
    title->SetOptions(TQCLLabelOptions());
    title->GetFont()->SetName("MS Sans Serif");
    title->GetFont()->SetHeight(-13);
    title->GetFont()->SetStyle({fsBold});
    title->GetFont()->SetColor(clWhite);
    title->GetFont3D()->SetStyle(tdSunken);
    title->GetFont3D()->SetLightColor(clBlack);
    title->GetFont3D()->SetShadowColor(clBlack);
    title->SetBounds(8, 5, 330, 16);
    title->SetText("Brimsafe - Open Vault");

    // The message box's body: 332 wide, growing downwards.
    auto* body = text(form, 10, 42, "");
    body->GetConstraints()->SetMinWidth(332);
    body->GetConstraints()->SetMaxWidth(332);
    body->SetMultiLine(true);
    body->GetFont()->SetName("MS Sans Serif");
    body->GetFont()->SetHeight(-11);
    body->SetBounds(10, 42, 332, 10);
    body->SetText("Switching vaults will close your current vault.  Do you want to continue?  "
                  "Unsaved changes are saved first.");

    auto* link = text(form, 10, 82, "support@brimsafe.invalid");
    link->SetJumpMode(jmInternet);
    auto* disabled = text(form, 200, 82, "Disabled label");
    disabled->SetEnabled(false);
    text(form, 10, 100, "&Vault name: (accelerator)");
    auto* blinking = text(form, 200, 100, "Opaque label");
    blinking->SetTransparent(false);
    blinking->SetColor(clWhite);

    // Bevel panels: raised, lowered, Windows border, flat at rest.
    auto* raised = bevelPanel(form, 10, 124, "raised");
    raised->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvRaised);
    raised->GetBevel()->SetWidthOuter(2);
    auto* lowered = bevelPanel(form, 96, 124, "lowered");
    lowered->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvLowered);
    lowered->GetBevel()->SetStyleInner(TQCLBevelStyle::bvRaised);
    auto* windows = bevelPanel(form, 182, 124, "Windows");
    windows->GetBevel()->SetMode(bmWindows);
    windows->SetColor(clWhite);
    auto* flat = bevelPanel(form, 268, 124, "flat");
    flat->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvLowered);
    flat->SetFlat(true);

    // A parent panel's tiled picture, seen through a transparent child.
    auto* list = new TQCLBitmapList(form);
    TBitmap tile;
    tile.SetPixelFormat(pf24bit);
    tile.SetSize(16, 16);
    tile.GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(0xD8E8F0));
    tile.GetCanvas()->FillRect(TRect(0, 0, 16, 16));
    tile.GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(0xB0C8D8));
    tile.GetCanvas()->FillRect(TRect(0, 0, 8, 8));
    tile.GetCanvas()->FillRect(TRect(8, 8, 16, 16));
    list->GetArrayItem(list->Add())->SetBitmap(&tile);
    auto* picture = new TQCLCustomParentPanel(form);
    picture->SetParent(form);
    picture->SetBounds(370, 10, 220, 100);
    picture->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvLowered);
    picture->SetImageList(list);
    auto* seeThrough = new TQCLCustomBevelPanel(form);
    seeThrough->SetParent(picture);
    seeThrough->SetBounds(20, 20, 180, 60);
    seeThrough->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvRaised);
    seeThrough->SetTransparent(true);
    text(seeThrough, 10, 22, "transparent child panel");

    // The scroll box with both bars.
    auto* box = new TQCLCustomScrollBox(form);
    box->SetParent(form);
    box->SetColor(clWhite);
    box->SetAutoScroll(false);
    box->SetBounds(370, 124, 220, 100);
    for (int i = 0; i < 5; ++i) text(box, 6, 6 + i * 18, "Scroll box row");
    box->GetVertScrollBar()->SetRange(300);
    box->GetHorzScrollBar()->SetRange(400);

    // Meters: the key page's bar and the file job's gradient at 0, 37, 100 %.
    text(form, 10, 182, "Key creation (pgBar)");
    text(form, 180, 182, "File job (gradient)");
    const int percents[] = {0, 37, 100};
    for (int i = 0; i < 3; ++i) {
        keyMeter(form, 10, 200 + i * 26, percents[i]);
        jobMeter(form, 180, 200 + i * 26, percents[i]);
    }
    text(form, 10, 284, "Blocks at 37 %");
    text(form, 230, 284, "Reversed vertical bar at 37 %");
    auto* blocks = new TQCLProgress(form);
    blocks->SetParent(form);
    blocks->SetBounds(10, 302, 160, 20);
    blocks->SetPercentValue(37);
    auto* vertical = keyMeter(form, 190, 302, 0);
    vertical->SetTextOptions(toNoText);
    vertical->SetDirection(mdVerticalReverse);
    vertical->SetBounds(230, 302, 20, 70);
    vertical->SetPercentValue(37);

    shot.form(form);
    form->Free();
}
