/*
 * Uninstall.exe process entry. The uninstaller shows no window of its own: it
 * brings up the framework and the component library's application object
 * (which its message boxes stand on) and creates its form, whose constructor
 * runs the whole removal and ends the process; the message loop is never
 * reached. An exception that escapes is shown by the framework.
 */
#include "components/runtime/qclclass.h"
#include "framework/Framework.h"
#include "skin/ZM_MessageBox.h"
#include "uninstall/QZ_Frm_Uninstall.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RegisterMessageBox();
    InitFramework();
    QCLInitApplication();
    try {
        Application->Initialize();
        Application->Title = "Uninstall";
        TForm1* form = nullptr;
        Application->CreateForm(form);
        Application->Run();
    } catch (Exception& e) {
        Application->ShowException(&e);
    }
    QCLDoneApplication();
    return 1;
}
