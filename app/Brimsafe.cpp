/*
 * Brimsafe.exe process entry. The framework's globals come first, then the
 * component library's application object, which stands on them; both go in
 * the reverse order at the end. The message box is registered before
 * anything can tell the user something.
 *
 * The process holds the running-program mutex (base/ProductNames.h) from its
 * first step to its end, so the uninstaller can tell a run from anywhere.
 *
 * A start without an argument while the remembered vault is open in another
 * process (its mutex exists and a window carries its vault ID as caption, the
 * marks a second start looks for before handing over a file) brings that
 * window back, restored and in front, and ends: the vault cannot be opened
 * twice, and a minimised program would otherwise seem lost. The restore goes
 * through the other program's application window, so the forms it hid on
 * minimising come back with it.
 *
 * The main window's start-up runs before the message loop; when it ends the
 * run (no vault opened, or the encrypted file was handed to the process that
 * has its vault open) the loop never starts and nothing was shown but the
 * dialogs of the start-up. The other long-lived forms join here as they land,
 * after the main window, which must be the first (the application's main form).
 */
#include "app/CommandLine.h"
#include "app/QZ_Frm_Main.h"
#include "base/RegistrySettings.h"
#include "base/ProductNames.h"
#include "components/runtime/qclclass.h"
#include "fileenc/QZ_Frm_FileEncryption.h"
#include "framework/Framework.h"
#include "framework/Win32Handles.h"
#include "skin/ZM_MessageBox.h"
#include "vault/VaultFiles.h"
#include "vault/VaultFlows.h"

namespace {

// The main window of the process that has the remembered vault open, or nullptr.
HWND windowOfRememberedVault() {
    settings::RegistryKey key;
    if (!key.open(HKEY_CURRENT_USER, settings::SettingsKeyPath)) return nullptr;
    const std::optional<std::string> folder = key.readString("DBLoc");
    if (!folder) return nullptr;
    const std::string name = key.readString("DBFname").value_or(settings::DefaultVaultName);
    SecretBytes id;
    if (!vaultfile::readFileRange(*folder + "\\" + name + ".kvt", vaultfile::VaultIdOffset, 16, id)) return nullptr;
    const std::string idText = vaultIdText(id.data());
    // Only a probe: the handle goes at once, so this process holds no mark of the vault.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, idText.c_str());
    const DWORD error = GetLastError();
    win32::KernelHandle probe(mutex);
    if (error != ERROR_ALREADY_EXISTS) return nullptr;
    return FindWindowA(nullptr, idText.c_str());
}

// True when the command line names nothing and the remembered vault's window was brought back.
bool bringBackRunningVault(const std::string& commandLine) {
    const CommandLineResult given = parseCommandLine(commandLine);
    if (!given.PendingEncFile.empty() || !given.PendingBackupFile.empty() || !given.PendingVaultFile.empty() ||
        !given.message.empty())
        return false;
    HWND main = windowOfRememberedVault();
    if (!main) return false;
    if (IsIconic(main)) {
        HWND application = GetWindow(main, GW_OWNER);
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(application ? application : main, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, 5000,
                            &answer);
        if (IsIconic(main)) ShowWindow(main, SW_RESTORE);
    }
    // A dialog the program shows goes in front of its window.
    SetForegroundWindow(GetLastActivePopup(main));
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Held until the process ends: the uninstaller waits for every run to end.
    win32::KernelHandle running(CreateMutexA(nullptr, FALSE, product::RunningMutexName));
    if (bringBackRunningVault(GetCommandLineA())) return 0;
    RegisterMessageBox();
    InitFramework();
    QCLInitApplication();
    try {
        Application->Initialize();
        Application->Title = product::Title;
        Application->HelpFile = mainwin::HelpFile;
        TFormMain* FormMain = nullptr;
        Application->CreateForm(FormMain);
        Application->CreateForm(ZMMessageBox);  // made with the other long-lived forms, never shown
        Application->CreateForm(Frm_FileEncryption);  // the last one: reused by every file job
        if (FormMain->startUp() == suGoOn) Application->Run();
    } catch (Exception& e) {
        Application->ShowException(&e);
    }
    QCLDoneApplication();
    return 0;
}
