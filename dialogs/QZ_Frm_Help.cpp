// The help and about dialog; see QZ_Frm_Help.h.
#include "dialogs/QZ_Frm_Help.h"

#include "base/BrandingText.h"
#include "base/ProductNames.h"
#include "base/SystemErrorText.h"
#include "dialogs/ShellOpen.h"
#include "skin/ZM_MessageBox.h"
#include "skin/art/DialogArt.h"
#include "vault/logger.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

const char* const TFrm_Help::MakerNotice =
    "Brimsafe keeps your passwords and your files encrypted on your own computer.\r\n"
    "Copyright \xA9 2026 Quarrendel.  All rights reserved.";

namespace {

constexpr int TextLeft = 130;

// The installer's build text, when it can be read.
bool readInstalledBuild(std::string& build) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, product::SettingsKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    char buffer[256];
    DWORD type = 0, size = sizeof buffer - 1;
    const bool read = RegQueryValueExA(key, "Dliubruc", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                          ERROR_SUCCESS &&
                      (type == REG_SZ || type == REG_EXPAND_SZ);
    RegCloseKey(key);
    if (!read) return false;
    buffer[size] = '\0';
    build = buffer;  // up to the first terminating zero, stored or not
    return true;
}

// The system's help viewer, once it shows the file, stands centred on the work area of its screen:
// the viewer Wine draws opens at the screen's top-left corner whatever the file asks. The viewer has
// its window (class "MS_WINHELP") by the time the help call returns.
void centreHelpViewer() {
    HWND viewer = FindWindowA("MS_WINHELP", nullptr);
    if (!viewer || !IsWindowVisible(viewer) || IsIconic(viewer) || IsZoomed(viewer)) return;
    RECT window{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(viewer, &window) ||
        !GetMonitorInfoA(MonitorFromWindow(viewer, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const int width = window.right - window.left, height = window.bottom - window.top;
    const int left = work.left + std::max(0L, (work.right - work.left - width) / 2);
    const int top = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
    SetWindowPos(viewer, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TFrm_Help::TFrm_Help(TComponent* AOwner, DialogHost& host)
    : TSkinnedDialog(AOwner, "Brimsafe Help", 427, 427, DialogPlacement::OwnerCentred), host_(host) {
    section(xpOnlineHelpButton, "Online Help", "Common Questions Online",
            "Get answers to frequently asked questions (FAQs) online at", 8, &TFrm_Help::OnlineHelpClick);
    Label11 = addLabel("", TextLeft, 60);
    Label11->Font->Color = TColor(0x733F25);
    Label11->Font->Style = TFontStyles{fsUnderline};
    section(xpHelpFileButton, "Help File", "Brimsafe Help File",
            "View the Brimsafe help file to learn about how to store and protect your data", 84,
            &TFrm_Help::HelpFileClick);
    section(xpTutorialButton, "Tutorial", "Brimsafe Tutorial",
            "Use the tutorial to quickly learn how to take advantage of the features of Brimsafe", 150,
            &TFrm_Help::TutorialClick);

    auto* rule = new TShape(this);
    rule->Parent = Panel1;
    rule->SetBounds(16, 212, Panel1->Width - 32, 1);
    rule->Pen->Color = TColor(0x733F25);
    Label7 = addLabel("", 16, 220, -16);
    Label7->Font->Style = TFontStyles{fsBold};
    Label8 = addLabel("Version 1 (Build 04.03.10)", 16, 242);
    Label9 = addText(MakerNotice, 16, 262, Panel1->Width - 48 - DialogArtHelpWidth, -11);
    Image2 = new TImage(this);
    Image2->Parent = Panel1;
    Image2->SetBounds(Panel1->Width - 16 - DialogArtHelpWidth, 222, DialogArtHelpWidth, DialogArtHelpHeight);
    Image2->Picture->Bitmap->LoadFromResourceID(HInstance, IDB_DIALOG_HELP_EMBLEM);
    Label10 = new DialogLabel(this);
    Label10->Parent = Panel1;
    Label10->Transparent = true;
    Label10->Font->Height = -11;
    Label10->MultiLine = true;
    Label10->AutoSize = false;
    Label10->Alignment = agTopCenter;
    Label10->SetBounds(0, 306, 410, 45);
    Label10->Anchors = TAnchors{akLeft, akBottom};

    xpOkButton = addButton("Ok", Panel1->Width - 88, Panel1->Height - 30);
    xpOkButton->Default = true;
    xpOkButton->Cancel = true;
    xpOkButton->ModalResult = mrOk;
    xpOkButton->Anchors = TAnchors{akRight, akBottom};

    MessageTitle->Caption = "Brimsafe Help";
    Label7->Caption = "About Brimsafe";
    std::string build;
    if (readInstalledBuild(build)) {
        char version[300];
        std::snprintf(version, sizeof version, "%s%s", "Version 3 ", build.c_str());
        Label8->Caption = version;
    }
    const std::string about = GetBrandingText(brAboutText);
    if (about.empty()) {
        Label10->Visible = false;
        Height = Height - NoAboutTextShrink;
        SetWindowRegion(Width, Height);
    } else {
        Label10->Caption = about;
    }
    Label11->Caption = GetBrandingText(brWebSite);
}

void TFrm_Help::section(TxpButton*& button, const char* caption, const char* heading, const char* text, int top,
                        void (TFrm_Help::*handler)(TObject*)) {
    button = addButton(caption, 16, top + 6, 100);
    button->OnClick = TNotifyEvent(this, handler);
    DialogLabel* title = addLabel(heading, TextLeft, top, -13);
    title->Font->Style = TFontStyles{fsBold};
    title->Font->Color = TColor(0x733F25);
    addText(text, TextLeft, top + 18, Panel1->Width - TextLeft - 16);
}

void TFrm_Help::OnlineHelpClick(TObject*) {
    shellOpen(Handle, "open", GetBrandingText(brOnlineHelp), SW_HIDE);
    ModalResult = mrOk;
}

void TFrm_Help::HelpFileClick(TObject*) {
    if (Application->HelpCommand(HELP_CONTEXT, 1)) centreHelpViewer();
    ModalResult = mrOk;
}

void TFrm_Help::TutorialClick(TObject*) {
    std::string command = "\"" + host_.installFolder() + "\\Tutorial.exe\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        const DWORD error = GetLastError();
        ShowMessageBox(this,
                       "There was a problem launching the tutorial.  Reboot and try again, or reinstall Brimsafe.",
                       "Brimsafe", mbsOk, mbiCaution);
        traceLog.write("Problem launching the tutorial");
        traceLog.write(systemErrorText(error, 100));
    }
    ModalResult = mrOk;
}
