// Gallery entry of the program's first window on a fresh start: the vault selection as the
// program's dialogs show it, with no known vault yet and the default vault preselected (it does
// not exist, so nothing is listed and "New Vault" is the default button).
#include "app/ProgramDialogs.h"
#include "tests/gallery/Gallery.h"

BRIM_GALLERY_ENTRY("first-start") {
    RegDeleteKeyA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults");
    ProgramDialogs dialogs;
    shot.modal(
        "Frm_SelectDatabase",
        [&] {
            VaultChoice choice{"C:\\Documents and Settings\\Pat\\My Documents\\Brimsafe", "My Vault"};
            dialogs.selectVault(nullptr, choice);
        },
        [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); });
}
