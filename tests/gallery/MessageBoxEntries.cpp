// Gallery entries of the skinned message box, one per button set, the four icons
// spread over them, with the programs' own sentences (one of them on two lines).
#include "skin/ZM_MessageBox.h"
#include "tests/gallery/Gallery.h"

namespace {

void openBox(gallery::Shot& shot, const char* title, const char* text, int buttons, int icon) {
    shot.modal(
        "ZMMessageBox", [&] { ShowMessageBoxNoOwner(text, title, buttons, icon); },
        [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); });
}

}  // namespace

BRIM_GALLERY_ENTRY("messagebox-set0") {
    openBox(shot, "Brimsafe Uninstall",
            "Uninstallation complete.  Your vault has not been deleted and will be available if you reinstall "
            "Brimsafe.",
            mbsOk, mbiInformation);
}

BRIM_GALLERY_ENTRY("messagebox-set1") {
    openBox(shot, "Brimsafe", "Are you sure you want to delete this entry?", mbsOkCancel, mbiCaution);
}

BRIM_GALLERY_ENTRY("messagebox-set2") {
    openBox(shot, "Brimsafe Uninstall", "Are you sure you want to uninstall Brimsafe?", mbsYesNo, mbiQuestion);
}

BRIM_GALLERY_ENTRY("messagebox-set3") {
    openBox(shot, "Brimsafe",
            "C:\\Documents\\report.doc is flagged READ ONLY.  Are you sure you want to encrypt this file?",
            mbsYesAllNoAbort, mbiQuestion);
}

BRIM_GALLERY_ENTRY("messagebox-set4") {
    openBox(shot, "Brimsafe", "Brimsafe cannot read C:\\Documents\\report.doc.", mbsAbortRetryIgnore, mbiError);
}

BRIM_GALLERY_ENTRY("messagebox-set5") {
    openBox(shot, "Brimsafe", "There was a problem saving your vault.", mbsRetryCancel, mbiError);
}
