/*
 * Uninstall.exe process entry. The uninstaller shows no window of its own;
 * it brings up the framework and the component library's application object
 * (which its message boxes stand on) and, for now, ends without removing anything.
 */
#include "framework/Framework.h"
#include "components/runtime/qclclass.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitFramework();
    QCLInitApplication();
    Application->Initialize();
    Application->Title = "Uninstall";
    QCLDoneApplication();
    return 0;
}
