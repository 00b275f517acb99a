// Gallery entries of the tools, backup and restore, help, welcome and tip
// dialogs, and the help file in the system's viewer.
#include "base/BrandingText.h"
#include "dialogs/QZ_Frm_Backup.h"
#include "dialogs/QZ_Frm_DontShowAgain.h"
#include "dialogs/QZ_Frm_Help.h"
#include "dialogs/QZ_Frm_Restore.h"
#include "dialogs/QZ_Frm_RestoreVault.h"
#include "dialogs/QZ_Frm_Tools.h"
#include "dialogs/QZ_Frm_Welcome.h"
#include "tests/gallery/Gallery.h"

namespace {

class ToolsGalleryHost : public DialogHost {
public:
    bool hidden = false;
    std::string vaultFolder() const override { return "C:\\Documents and Settings\\Pat\\My Documents\\Brimsafe"; }
    std::string vaultName() const override { return "Home"; }
    std::string installFolder() const override { return "C:\\Program Files\\Brimsafe"; }
    int backupKey(const std::string&) override { return 1; }
    bool passwordsHidden() const override { return hidden; }
    bool autoCheckEnabled() const override { return true; }
};

void setSetting(const char* name, DWORD type, const std::string& bytes) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void deleteSetting(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

void shootBackup(gallery::Shot& shot, TQCLRadioButton* TQZ_Backup::*option, const char* path) {
    ToolsGalleryHost host;
    auto* dialog = MakeForm<TQZ_Backup>(nullptr, host);
    dialog->Show();
    TQCLRadioButton* button = dialog->*option;
    button->Checked = true;  // as a click: the option's texts follow
    dialog->Edit1->Text = path;
    shot.form(dialog);
    dialog->Free();
}

void shootTip(gallery::Shot& shot, const tips::Tip& tip) {
    auto* dialog = MakeForm<TFrm_DontShowAgain>(nullptr);
    dialog->SetTip(tips::Title, tip.text, tip.id);
    shot.form(dialog);
    dialog->Free();
}

BOOL CALLBACK findViewer(HWND window, LPARAM found) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    const std::string title = text;
    if (IsWindowVisible(window) && (title.rfind("Brimsafe Help", 0) == 0 || title == "Wine Help")) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BRIM_GALLERY_ENTRY("tools") {
    ToolsGalleryHost host;
    host.hidden = true;
    auto* dialog = MakeForm<TFrm_Tools>(nullptr, host);
    shot.form(dialog);
    dialog->Free();
}

BRIM_GALLERY_ENTRY("backup-vault") {
    shootBackup(shot, &TQZ_Backup::RadioButtonBV, "E:\\Backups\\Home Backup 12-8-26.bvt");
}

BRIM_GALLERY_ENTRY("backup-restore") {
    shootBackup(shot, &TQZ_Backup::RadioButtonRV, "E:\\Backups\\Home Backup 12-1-26.bvt");
}

BRIM_GALLERY_ENTRY("backup-key") { shootBackup(shot, &TQZ_Backup::RadioButtonBK, "E:\\Backups\\Home Key Backup.bkv"); }

BRIM_GALLERY_ENTRY("restore-key") {
    auto* dialog = MakeForm<TFrm_Restore>(nullptr);
    dialog->Edit1->Text = "E:\\Backups\\Home Key Backup.bkv";
    shot.form(dialog);
    dialog->Free();
}

BRIM_GALLERY_ENTRY("restore-vault") {
    ToolsGalleryHost host;
    auto* dialog = MakeForm<TFrm_RestoreVault>(nullptr, host);
    dialog->SetLocation("C:\\Documents and Settings\\Pat\\My Documents\\Brimsafe");
    dialog->SetSource("E:\\Backups\\Brimsafe.bvt");
    shot.form(dialog);
    dialog->Free();
}

BRIM_GALLERY_ENTRY("help") {
    setSetting("Dliubruc", REG_SZ, "3.0.5 (Build 26.12.01)");
    ToolsGalleryHost host;
    auto* dialog = MakeForm<TFrm_Help>(nullptr, host);
    shot.form(dialog);
    dialog->Free();
    deleteSetting("Dliubruc");
}

BRIM_GALLERY_ENTRY("help-about-text") {
    setSetting("Dliubruc", REG_SZ, "3.0.5 (Build 26.12.01)");
    setSetting("Local5", REG_BINARY,
               scrambleBrandingText("Licensed to Example Savings Bank for its customers.\r\nSupport: 0800 555 0100"));
    ToolsGalleryHost host;
    auto* dialog = MakeForm<TFrm_Help>(nullptr, host);
    shot.form(dialog);
    dialog->Free();
    deleteSetting("Local5");
    deleteSetting("Dliubruc");
}

BRIM_GALLERY_ENTRY("welcome") {
    ToolsGalleryHost host;
    auto* restore = MakeForm<TFrm_RestoreVault>(nullptr, host);
    auto* dialog = MakeForm<TFrm_Welcome>(nullptr, host, *restore);
    shot.form(dialog);
    dialog->Free();
    restore->Free();
}

BRIM_GALLERY_ENTRY("tip-one-line") { shootTip(shot, tips::ChangesSaved); }

BRIM_GALLERY_ENTRY("tip-sort") { shootTip(shot, tips::SortByHeading); }

BRIM_GALLERY_ENTRY("tip-long") { shootTip(shot, tips::FileAdded); }

BRIM_GALLERY_ENTRY("help-file") {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = module;
    path = path.substr(0, path.find_last_of('\\') + 1) + "BRIMSAFEHELP.HLP";
    WinHelpA(GetDesktopWindow(), path.c_str(), HELP_CONTEXT, 1);
    HWND viewer = nullptr;
    for (DWORD start = GetTickCount(); !viewer && GetTickCount() - start < 20000; Sleep(100)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        EnumWindows(findViewer, reinterpret_cast<LPARAM>(&viewer));
    }
    if (!viewer) return;
    Sleep(1000);  // the viewer paints its page
    SetWindowPos(viewer, HWND_TOP, 0, 0, 640, 420, SWP_SHOWWINDOW);
    Sleep(1000);
    shot.window(viewer);
    WinHelpA(GetDesktopWindow(), path.c_str(), HELP_QUIT, 0);
}
