// The shell's folder browser as a component: the restore dialogs let the user
// pick a folder with it, the start folder preset through SelectedFolder.
//
// Tricky points:
// - The browser's window exists only inside ExecuteEnh; DialogHandle is 0
//   otherwise, and the setters that talk to the browser do so only then.
// - doShowPath and doEnableOK have no shell flag: the first makes the status
//   line show the selected path (shortened to 40 characters), the second
//   enables OK at open (it is disabled otherwise).
// - bfoDesktopExpanded is a number the shell does not know: no root is set.
// - Every item-id list the shell hands out (root, chosen item, a parsed path)
//   is freed here with the task allocator.
// - The callback runs inside the shell's modal loop: exceptions go to the
//   application's handler and never through the shell's frames.
#pragma once

#include "components/runtime/QCLCustomComponent.h"
#include "components/runtime/Qclutils.h"

#include "framework/Forms.h"

#include <shlobj.h>

enum TQCLBrowseDlgOption {
    doBrowseForComputer, doBrowseForPrinter, doDontGoBelowDomain, doReturnFileSysAncestors, doReturnFileSysDirs,
    doStatusText, doShowFiles, doAllowEdit, doShowPath, doEnableOK
};
using TQCLBrowseDlgOptions = TSet<TQCLBrowseDlgOption>;

enum TQCLSystemFolders {
    bfoDesktop, bfoDesktopExpanded, bfoPrograms, bfoControlPanel, bfoPrinters, bfoPersonal, bfoFavorites,
    bfoStartup, bfoRecent, bfoSendto, bfoRecycleBin, bfoStartMenu, bfoDesktopDirectory, bfoMyComputer, bfoNetwork,
    bfoNetworkNeighborhood, bfoInternet, bfoFonts, bfoTemplates, bfoCommonStartMenu, bfoCommonPrograms,
    bfoCommonStartup, bfoCommonDesktopDirectory, bfoAppData, bfoPrintHood, bfoAltStartup, bfoCommonAltstartup,
    bfoCommonFavorites, bfoInternetChache, bfoCookies, bfoHistory
};

using TQCLBrowseDlgSelectionChangeEvent =
    TEvent<void(TObject* Sender, HWND DialogHandle, const AnsiString& Path, LPCITEMIDLIST Item)>;
using TQCLBrowseDlgEditValidateEvent = TEvent<void(TObject* Sender, const AnsiString& Path, bool& Cancel)>;

// The BROWSEINFO flags of a set of options.
UINT QCLBrowseDlgFlags(TQCLBrowseDlgOptions Options);
// The shell's special-folder number of a start folder.
int QCLSystemFolderNumber(TQCLSystemFolders Folder);

class TQCLBrowseDlg : public TQCLCustomComponent {
public:
    explicit TQCLBrowseDlg(TComponent* AOwner);

    AnsiString CaptionTitle;
    AnsiString Caption;
    TQCLSystemFolders StartFolder = bfoDesktopExpanded;
    TQCLBrowseDlgOptions Options{doReturnFileSysDirs, doShowPath};
    TQCLDlgPosition Position = bpCenter;
    TQCLDlgPosRel RelatePos = brActiveWindow;
    TNotifyEvent OnInit;
    TQCLBrowseDlgSelectionChangeEvent OnSelectionChanged;
    TQCLBrowseDlgEditValidateEvent OnValidate;

    const AnsiString& GetStatusText() const { return statusText_; }
    void SetStatusText(const AnsiString& value);
    const AnsiString& GetSelectedFolder() const { return selectedFolder_; }
    void SetSelectedFolder(const AnsiString& value);
    BRIM_PROPERTY(StatusText, TQCLBrowseDlg::GetStatusText, TQCLBrowseDlg::SetStatusText);
    BRIM_PROPERTY(SelectedFolder, TQCLBrowseDlg::GetSelectedFolder, TQCLBrowseDlg::SetSelectedFolder);
    // The chosen item's display name after a successful run.
    const AnsiString& GetDisplayName() const { return displayName_; }
    HWND GetDialogHandle() const { return dialog_; }

    // With the owner form as the browser's owner, or the main form when the
    // component's owner is no form.
    bool Execute();
    // True when the user chose an item.
    bool ExecuteEnh(TCustomForm* OwnerForm);
    void SetSelected(LPCITEMIDLIST Item);
    void EnableOKButton(bool Value);
    // True only when the path names an existing folder and the desktop
    // folder parsed it; the caller frees Item with CoTaskMemFree.
    static bool ConvertPathToItemIDList(const AnsiString& Path, LPITEMIDLIST& Item);

    // The browser's callback, for the notification Wine's browser never sends
    // (a typed name that does not resolve).
    static int CallbackForTesting(HWND Window, UINT Msg, LPARAM Param, LPARAM Data) {
        return callback(Window, Msg, Param, Data);
    }

    AnsiString ClassName() const override { return "TQCLBrowseDlg"; }

private:
    static int CALLBACK callback(HWND Window, UINT Msg, LPARAM Param, LPARAM Data);
    void initialised(HWND Window);
    void selectionChanged(LPCITEMIDLIST Item);
    int validateFailed(const AnsiString& Text);

    AnsiString statusText_;
    AnsiString selectedFolder_;
    AnsiString displayName_;
    HWND dialog_ = nullptr;
};
