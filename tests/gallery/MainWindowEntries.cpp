// Gallery entries of the main window's skinned frame (plain and locked), and of the plain
// stand-in dialogs it opens until the skinned ones land.
#include "app/QZ_Frm_Main.h"
#include "app/StandInDialogs.h"
#include "tests/gallery/Gallery.h"

namespace {

void closeWindow(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

bool noHandOff(const std::string&) { return false; }

}  // namespace

// The frame with its empty sides, as the records and file sides find it.
BRIM_GALLERY_ENTRY("main-window-plain") {
    static StandInDialogs dialogs;
    static NoFileView files;
    TFormMain* form = MakeForm<TFormMain>(nullptr, dialogs, files, "Brimsafe.exe", &noHandOff);
    form->SetBounds(40, 40, 757, 500);
    form->vaultShown("Brimsafe - Home");
    shot.form(form);
    form->Free();
}

BRIM_GALLERY_ENTRY("main-window-locked") {
    static StandInDialogs dialogs;
    static NoFileView files;
    TFormMain* form = MakeForm<TFormMain>(nullptr, dialogs, files, "Brimsafe.exe", &noHandOff);
    form->SetBounds(40, 40, 757, 500);
    form->vaultShown("Brimsafe - Home");
    form->Show();
    form->quickLock();
    shot.form(form);
    form->Free();
}

BRIM_GALLERY_ENTRY("standin-password") {
    StandInDialogs dialogs;
    shot.modal(
        standin::PasswordCaption,
        [&] {
            SecretText password;
            dialogs.askPassword(nullptr, 0, false, false, password);
        },
        closeWindow);
}

BRIM_GALLERY_ENTRY("standin-vaults") {
    StandInDialogs dialogs;
    shot.modal(
        standin::VaultsCaption,
        [&] {
            VaultChoice choice{"C:\\users\\me\\Documents\\Brimsafe", "My Vault"};
            dialogs.selectVault(nullptr, choice);
        },
        closeWindow);
}
