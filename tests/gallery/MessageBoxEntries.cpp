// Gallery entries of the message box, one per button set the program uses,
// with the program's own sentences.
#include "skin/ZM_MessageBox.h"
#include "tests/gallery/Gallery.h"

namespace {

void openBox(gallery::Shot& shot, const char* text, int buttons, int icon) {
    shot.modal(
        "Brimsafe", [&] { ShowMessageBoxNoOwner(text, "Brimsafe", buttons, icon); },
        [](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
}

}  // namespace

BRIM_GALLERY_ENTRY("message-box-yes-no") {
    openBox(shot, "Switching vaults will close your current vault.  Do you want to continue?", mbsYesNo,
            mbiQuestion);
}

BRIM_GALLERY_ENTRY("message-box-yes-to-all") {
    openBox(shot,
            "C:\\Documents\\report.doc is flagged READ ONLY.  Are you sure you want to encrypt this file?",
            mbsYesAllNoAbort, mbiInformation);
}
