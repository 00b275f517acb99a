/*
 * Brimsafe.exe process entry. The framework's globals come first, then the
 * component library's application object, which stands on them; both go in
 * the reverse order at the end. The message box is registered before
 * anything can tell the user something. For now the program opens an empty
 * main window, titled "Brimsafe", and ends when that window is closed.
 */
#include "base/ProductNames.h"
#include "components/runtime/qclclass.h"
#include "framework/Framework.h"
#include "skin/ZM_MessageBox.h"

namespace {

// Stands in for the main window until it is built.
class TEmptyMainForm : public TForm {
public:
    explicit TEmptyMainForm(TComponent* owner) : TForm(owner) {
        Caption = product::Title;
        Position = poScreenCenter;
        SetBounds(0, 0, 800, 560);
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RegisterMessageBox();
    InitFramework();
    QCLInitApplication();
    try {
        Application->Initialize();
        Application->Title = product::Title;
        TEmptyMainForm* mainForm = nullptr;
        Application->CreateForm(mainForm);
        Application->Run();
    } catch (Exception& e) {
        Application->ShowException(&e);
    }
    QCLDoneApplication();
    return 0;
}
