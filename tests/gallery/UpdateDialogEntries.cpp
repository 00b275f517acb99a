// Gallery entries of the "Update" dialog: checking, with its clip playing,
// and the question over "Newer version found.". The check aims at a local
// port nobody listens on, so no entry reaches a network; the dialog reacts to
// nothing but a delivered file and keeps waiting.
#include "download/QZ_Frm_Update.h"
#include "skin/ZM_MessageBox.h"
#include "tests/gallery/Gallery.h"

namespace {

const char* const NowhereUrl = "http://127.0.0.1:1/Corvanta/";
const char* const SettingsKey = "software\\Quarrendel\\Brimsafe";

void pumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

}  // namespace

BRIM_GALLERY_ENTRY("update-checking") {
    auto* dialog = MakeForm<TFrm_Update>(nullptr);
    dialog->SetupCheck(NowhereUrl, SettingsKey);
    dialog->Show();
    pumpFor(600);  // the clip half way round
    shot.form(dialog);
    delete dialog;
}

BRIM_GALLERY_ENTRY("update-available") {
    auto* dialog = MakeForm<TFrm_Update>(nullptr);
    dialog->SetupCheck(NowhereUrl, SettingsKey);
    dialog->Show();
    pumpFor(200);
    dialog->Animate1->Stop();
    dialog->Label1->Caption = "Newer version found.";
    dialog->Label1->Left = (dialog->Panel1->Width - dialog->Label1->Width) / 2;
    pumpFor(100);
    shot.modal(
        "ZMMessageBox",
        [&] {
            ShowMessageBox(dialog,
                           "There is a newer version of Brimsafe available for download.  Would you like to be "
                           "taken to our website now to download it?",
                           "Update", mbsYesNo, mbiQuestion);
        },
        [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); });
    delete dialog;
}
