// The wizard's completion page; see QZ_Frm_Done.h.
#include "dialogs/QZ_Frm_Done.h"

#include "dialogs/KnownVaults.h"

#include <windows.h>

#include <vector>

TFrm_Done::TFrm_Done(TComponent* AOwner, DialogHost& host)
    : TSkinnedDialog(AOwner, "Initialization Complete", 420, 370, DialogPlacement::ScreenCentred), host_(host) {
    const int width = Panel1->Width - 32;
    addLabel("Congratulations!", 16, 10, -19);
    addLabel("Your vault is ready to use!", 16, 34, -19);
    DialogLabel* folderHeading = addLabel("Vault Folder", 16, 76);
    folderHeading->Font->Style = TFontStyles{fsBold};
    addText("Your vault files are stored in the following folder:", 16, 96, width);
    Label7 = addLabel("$DIRECTORY", 16, 118);
    DialogLabel* tutorialHeading = addLabel("Brimsafe Tutorial", 16, 156);
    tutorialHeading->Font->Style = TFontStyles{fsBold};
    addText("If this is your first time using Brimsafe, we recommend trying the tutorial to learn the basic "
            "features.",
            16, 176, width - 90);
    xpTutorialButton = addButton("Tutorial", Panel1->Width - 91, 180);
    xpTutorialButton->OnClick = TNotifyEvent(this, &TFrm_Done::TutorialClick);
    addText("To skip the tutorial and begin using your vault, press the Ok button below.", 16, 230, width);
    xpFinishButton = addButton("Finish", Panel1->Width - 88, Panel1->Height - 33);
    xpFinishButton->Default = true;
    xpFinishButton->ModalResult = mrOk;
}

void TFrm_Done::SetVaultFolder(const std::string& path) {
    // In line with the texts above it, with as much room on the right as they leave.
    const int room = Panel1->Width - 2 * Label7->Left;
    Label7->Caption = knownvaults::fitFolderText(path, [&](const std::string& text) {
        Label7->Caption = text;
        return Label7->Width <= room;
    });
}

std::string TFrm_Done::TutorialCommandLine(const std::string& installFolder) {
    return "\"" + installFolder + "\\Tutorial.exe\"";
}

void TFrm_Done::TutorialClick(TObject*) {
    std::string command = TutorialCommandLine(host_.installFolder());
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    ModalResult = mrOk;
}
