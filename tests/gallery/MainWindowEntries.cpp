// Gallery entries of the main window's skinned frame (plain and locked).
#include "app/QZ_Frm_Main.h"
#include "tests/app/QuietDialogs.h"
#include "tests/gallery/Gallery.h"

namespace {

bool noHandOff(const std::string&) { return false; }

}  // namespace

// The frame with its empty sides, as the records and file sides find it.
BRIM_GALLERY_ENTRY("main-window-plain") {
    static QuietDialogs dialogs;
    static NoFileView files;
    TFormMain* form = MakeForm<TFormMain>(nullptr, dialogs, files, "Brimsafe.exe", &noHandOff);
    form->SetBounds(40, 40, 757, 500);
    form->vaultShown("Brimsafe - Home");
    shot.form(form);
    form->Free();
}

BRIM_GALLERY_ENTRY("main-window-locked") {
    static QuietDialogs dialogs;
    static NoFileView files;
    TFormMain* form = MakeForm<TFormMain>(nullptr, dialogs, files, "Brimsafe.exe", &noHandOff);
    form->SetBounds(40, 40, 757, 500);
    form->vaultShown("Brimsafe - Home");
    form->Show();
    form->quickLock();
    shot.form(form);
    form->Free();
}
