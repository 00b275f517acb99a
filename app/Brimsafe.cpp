/*
 * Brimsafe.exe process entry. The framework's globals come first, then the
 * component library's application object, which stands on them; both go in
 * the reverse order at the end. The message box is registered before
 * anything can tell the user something.
 *
 * The process holds the running-program mutex (base/ProductNames.h) from its
 * first step to its end, so the uninstaller can tell a run from anywhere.
 *
 * The main window's start-up runs before the message loop; when it ends the
 * run (no vault opened, or the encrypted file was handed to the process that
 * has its vault open) the loop never starts and nothing was shown but the
 * dialogs of the start-up. The other long-lived forms join here as they land,
 * after the main window, which must be the first (the application's main form).
 */
#include "app/QZ_Frm_Main.h"
#include "base/ProductNames.h"
#include "components/runtime/qclclass.h"
#include "fileenc/QZ_Frm_FileEncryption.h"
#include "framework/Framework.h"
#include "framework/Win32Handles.h"
#include "skin/ZM_MessageBox.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Held until the process ends: the uninstaller waits for every run to end.
    win32::KernelHandle running(CreateMutexA(nullptr, FALSE, product::RunningMutexName));
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
