// Gallery entries of the library's regions and form components: region
// frames in each border style, a styled title, a tiled background and the
// main window's 19 button pictures on one shaped form with a shadow; and the
// restore dialog's folder browser.
#include "tests/gallery/Gallery.h"

#include "components/runtime/QCLBack.h"
#include "components/runtime/QCLBrowseDlg.h"
#include "components/runtime/QCLFormStyler.h"
#include "components/runtime/Qclutils.h"
#include "components/runtime/qclregion.h"
#include "skin/art/ButtonPictureList.h"

#include "framework/Forms.h"

#include <memory>

namespace {

// A small two-tone weave for the tiled background.
void weave(TBitmap& b) {
    b.SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            b.GetCanvas()->SetPixel(x, y, ((x / 4) + (y / 4)) % 2 ? static_cast<TColor>(0xF2EEE4)
                                                                 : static_cast<TColor>(0xE6DDCC));
}

class TRegionsForm : public TForm {
public:
    explicit TRegionsForm(TComponent* owner) : TForm(owner) {
        Caption = "Regions";
        BorderStyle = bsSingle;
        SetBounds(40, 40, 560, 330);
        TBitmap tile;
        weave(tile);
        tiles.GetArrayItem(tiles.Add())->SetBitmap(&tile);
        skinart::LoadButtonPictures(&pictures);
    }
    TQCLBitmapList tiles{nullptr};
    TQCLBitmapList pictures{nullptr};

protected:
    void Paint() override {
        TCanvas* c = Canvas;
        const TColor light = clWhite, shadow = static_cast<TColor>(0x735F25), single = static_cast<TColor>(0x48261A);
        const TQCLRegionBorderStyle styles[] = {rbLowered, rbRaised, rbSingle, rbSingleRaised, rbSingleLowered};
        for (int i = 0; i < 5; ++i) {
            const int x = 16 + i * 104;
            QCLFrameRoundRectRgn(c, Bounds(x, 14, 90, 50), light, shadow, single, styles[i], 18, 18);
            QCLFrameStarRgn(c, Bounds(x, 74, 44, 44), light, shadow, single, styles[i]);
            QCLFrameDiamondRgn(c, Bounds(x + 46, 74, 44, 44), light, shadow, single, styles[i]);
            QCLFrameOctagonRgn(c, Bounds(x, 128, 44, 44), light, shadow, single, styles[i]);
            QCLFrameEllipticRgn(c, Bounds(x + 46, 128, 44, 44), light, shadow, single, styles[i]);
        }
        for (int i = 0; i < pictures.GetCount(); ++i) {
            TBitmap* picture = pictures.GetArrayItem(i)->GetBitmap();
            const int x = 16 + (i % 10) * 52, y = 190 + (i / 10) * 44;
            QCLBmpDraw(c, Bounds(x, y, picture->GetWidth(), picture->GetHeight()), picture,
                       qclmode::TransparentColor, picture->GetTransparentColor());
        }
    }
};

}  // namespace

BRIM_GALLERY_ENTRY("regions") {
    auto* form = MakeForm<TRegionsForm>(nullptr);
    form->HandleNeeded();
    auto* back = new TQCLBack(form);
    back->ImageList = &form->tiles;
    back->Init();
    auto* styler = new TQCLFormStyler(form);
    // Wine reports a system with gradient captions: without clearing the
    // check the styler would leave the title to the system.
    styler->Options = TQCLFormStyleOptions{fsAdjustRect, fsUseDefaultFont, fsInactiveGradient};
    styler->Colors = 48;
    styler->Init();
    auto* shape = new TQCLFormShape(form);
    TQCLBorderRegion* region = shape->GetRegion();
    region->BeginUpdate();
    region->Shape = rsRoundRect;
    region->GetShadow()->SetStyle(hssSolid);
    region->EndUpdate(true);
    // Shown and brought forward first, so the title is the active one.
    form->Show();
    SetForegroundWindow(form->Handle);
    SendMessageA(form->Handle, WM_NCACTIVATE, 1, 0);
    shot.form(form);
    form->Free();
}

BRIM_GALLERY_ENTRY("folder-browser") {
    TQCLBrowseDlg browser(nullptr);
    browser.Caption =
        "Choose the folder for the vault.  A folder will be created called \"Brimsafe\" where the vault will be stored.";
    browser.Options = TQCLBrowseDlgOptions{doReturnFileSysDirs, doAllowEdit, doShowPath};
    browser.CaptionTitle = "Browse for Folder";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    browser.SelectedFolder = temp;
    shot.modal("Browse for Folder", [&] { browser.ExecuteEnh(nullptr); },
               [](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
}
