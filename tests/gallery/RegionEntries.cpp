// Gallery entries of the component library's region objects: a form shaped
// by a form shape, with a drop shadow, a filled background and a raised
// border, its title bar kept.
#include "tests/gallery/Gallery.h"

#include "components/runtime/qclregion.h"

#include "framework/Forms.h"

BRIM_GALLERY_ENTRY("shaped-form") {
    auto* form = MakeForm<TForm>(nullptr);
    form->Caption = "Shaped form";
    form->BorderStyle = bsSingle;
    form->SetBounds(60, 60, 320, 240);
    form->HandleNeeded();
    auto* shape = new TQCLFormShape(form);
    TQCLBorderRegion* region = shape->GetRegion();
    region->BeginUpdate();
    region->Shape = rsRoundThinkBubble;
    region->ExtPos = epBottomRight;
    region->GetBorder()->SetBorderStyle(rbRaised);
    region->GetShadow()->SetStyle(hssSolid);
    region->EndUpdate(true);
    shape->GetFillObject()->SetStyle(sfBrush);
    shape->GetFillObject()->GetBrush()->SetColor(static_cast<TColor>(0xC0F0FF));
    shot.form(form);
    form->Free();
}
