// Gallery entries of the component library's region objects: a form shaped
// by a form shape, with a drop shadow, a filled background and a raised
// border, its title bar kept; and a shaped form whose background is an item
// of a bitmap list, tiled.
#include "tests/gallery/Gallery.h"

#include "components/runtime/qclcont.h"
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

namespace {

// A 16 x 16 picture: a quarter in `corner`, the rest in `rest`.
void quartered(TBitmap& picture, TColor corner, TColor rest) {
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(16, 16);
    picture.GetCanvas()->GetBrush()->SetColor(rest);
    picture.GetCanvas()->FillRect(TRect(0, 0, 16, 16));
    picture.GetCanvas()->GetBrush()->SetColor(corner);
    picture.GetCanvas()->FillRect(TRect(0, 0, 8, 8));
}

}  // namespace

// A shaped form whose background comes from a bitmap list: item 1 (a
// maroon quarter on light yellow) tiled over a rounded rectangle.
BRIM_GALLERY_ENTRY("form-shape-bitmaps") {
    auto* host = MakeForm<TForm>(nullptr);  // owns the shared picture list
    auto* pictures = new TQCLBitmapList(host);
    const TColor corners[] = {clNavy, clMaroon};
    for (TColor c : corners) {
        TBitmap picture;
        quartered(picture, c, static_cast<TColor>(0xC0F0FF));
        pictures->GetArrayItem(pictures->Add())->SetBitmap(&picture);
    }
    auto* form = MakeForm<TForm>(nullptr);
    form->Caption = "Bitmap list backgrounds";
    form->BorderStyle = bsSingle;
    form->SetBounds(60, 60, 460, 240);
    form->HandleNeeded();
    auto* shape = new TQCLFormShape(form);
    TQCLBorderRegion* region = shape->GetRegion();
    region->BeginUpdate();
    region->Shape = rsRoundRect;
    region->GetBorder()->SetBorderStyle(rbRaised);
    region->EndUpdate(true);
    shape->GetFillObject()->SetStyle(sfBitmapList);
    shape->GetFillObject()->SetTileMode(tmTile);
    shape->SetImageList(pictures);
    shape->SetListIndex(1);
    shot.form(form);
    form->Free();
    host->Free();
}
