// Folder browser component; see QCLBrowseDlg.h.
#include "components/runtime/QCLBrowseDlg.h"

#include "components/runtime/qclprocs.h"

#include <memory>
#include <vector>

namespace {

struct FreeItem {
    void operator()(ITEMIDLIST* item) const { CoTaskMemFree(item); }
};
using OwnedItem = std::unique_ptr<ITEMIDLIST, FreeItem>;

AnsiString pathOf(LPCITEMIDLIST item) {
    char path[MAX_PATH] = {};
    if (!item || !SHGetPathFromIDListA(item, path))
        return AnsiString();
    return AnsiString(path);
}

}  // namespace

UINT QCLBrowseDlgFlags(TQCLBrowseDlgOptions Options) {
    static const struct {
        TQCLBrowseDlgOption option;
        UINT flags;
    } table[] = {
        {doBrowseForComputer, 0x1000}, {doBrowseForPrinter, 0x2000},       {doDontGoBelowDomain, 0x0002},
        {doReturnFileSysAncestors, 0x0008}, {doReturnFileSysDirs, 0x0001}, {doStatusText, 0x0004},
        {doShowFiles, 0x4000},         {doAllowEdit, 0x0010 | 0x0020},
    };
    UINT flags = 0;
    for (const auto& entry : table)
        if (Options.Contains(entry.option))
            flags |= entry.flags;
    return flags;
}

int QCLSystemFolderNumber(TQCLSystemFolders Folder) {
    static const int numbers[] = {0,  0xFEFE, 2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 16, 17, 18, 19,
                                  1,  20,     21, 22, 23, 24, 25, 26, 27, 29, 30, 31, 32, 33, 34};
    return numbers[static_cast<int>(Folder)];
}

TQCLBrowseDlg::TQCLBrowseDlg(TComponent* AOwner) : TQCLCustomComponent(AOwner) {}

void TQCLBrowseDlg::SetStatusText(const AnsiString& value) {
    if (!SetIfChanged(statusText_, value))
        return;
    if (dialog_)
        SendMessageA(dialog_, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(statusText_.c_str()));
}

void TQCLBrowseDlg::SetSelectedFolder(const AnsiString& value) {
    if (!SetIfChanged(selectedFolder_, value))
        return;
    if (dialog_)
        SendMessageA(dialog_, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(selectedFolder_.c_str()));
}

void TQCLBrowseDlg::SetSelected(LPCITEMIDLIST Item) {
    if (dialog_)
        SendMessageA(dialog_, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(Item));
}

void TQCLBrowseDlg::EnableOKButton(bool Value) {
    if (dialog_)
        SendMessageA(dialog_, BFFM_ENABLEOK, 0, Value ? TRUE : FALSE);
}

bool TQCLBrowseDlg::ConvertPathToItemIDList(const AnsiString& Path, LPITEMIDLIST& Item) {
    Item = nullptr;
    DWORD attributes = GetFileAttributesA(Path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return false;
    int wideLength = MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength > 0 ? wideLength : 1));
    MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, wide.data(), wideLength);
    ULONG eaten = 0;
    // A failed parse is no success, whatever the request looked like.
    HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, &Item, nullptr);
    desktop->Release();
    if (FAILED(parsed) || !Item) {
        CoTaskMemFree(Item);
        Item = nullptr;
        return false;
    }
    return true;
}

bool TQCLBrowseDlg::Execute() {
    auto* owner = dynamic_cast<TCustomForm*>(GetOwner());
    if (!owner && Application)
        owner = Application->MainForm;
    return ExecuteEnh(owner);
}

bool TQCLBrowseDlg::ExecuteEnh(TCustomForm* OwnerForm) {
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = OwnerForm ? OwnerForm->GetHandle() : nullptr;
    LPITEMIDLIST rootItem = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, QCLSystemFolderNumber(StartFolder), &rootItem)))
        rootItem = nullptr;
    OwnedItem root(rootItem);
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = Caption.c_str();
    info.ulFlags = QCLBrowseDlgFlags(Options);
    info.lpfn = &TQCLBrowseDlg::callback;
    info.lParam = reinterpret_cast<LPARAM>(static_cast<TObject*>(this));

    OwnedItem chosen(SHBrowseForFolderA(&info));
    AnsiString path = pathOf(chosen.get());
    dialog_ = nullptr;
    if (!chosen)
        return false;
    selectedFolder_ = path.substr(0, MAX_PATH);
    displayName_ = displayName;
    return true;
}

int CALLBACK TQCLBrowseDlg::callback(HWND Window, UINT Msg, LPARAM Param, LPARAM Data) {
    auto* self = dynamic_cast<TQCLBrowseDlg*>(reinterpret_cast<TObject*>(Data));
    if (!self)
        return 0;
    try {
        switch (Msg) {
        case BFFM_INITIALIZED:
            self->initialised(Window);
            return 0;
        case BFFM_SELCHANGED:
            self->selectionChanged(reinterpret_cast<LPCITEMIDLIST>(Param));
            return 0;
        case BFFM_VALIDATEFAILEDA:
            return self->validateFailed(Param ? AnsiString(reinterpret_cast<const char*>(Param)) : AnsiString());
        default:
            return 0;
        }
    } catch (Exception& e) {
        if (Application)
            Application->HandleException(self, &e);
    } catch (...) {
        if (Application)
            Application->HandleException(self);
    }
    return 0;
}

void TQCLBrowseDlg::initialised(HWND Window) {
    dialog_ = Window;
    TQCLDlgPosRel relate = GetComponentState().Contains(csDesigning) ? brScreenWorkArea : RelatePos;
    QCLPositionWindow(Window, QCLDlgGetTargetRect(relate), Position);
    if (!CaptionTitle.empty())
        SetWindowTextA(Window, CaptionTitle.c_str());
    if (!statusText_.empty())
        SendMessageA(Window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(statusText_.c_str()));
    if (!selectedFolder_.empty())
        SendMessageA(Window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(selectedFolder_.c_str()));
    EnableOKButton(Options.Contains(doEnableOK));
    if (OnInit)
        OnInit(this);
}

void TQCLBrowseDlg::selectionChanged(LPCITEMIDLIST Item) {
    bool showPath = Options.Contains(doShowPath);
    if (!showPath && !OnSelectionChanged)
        return;
    AnsiString path = pathOf(Item);
    if (showPath) {
        std::string shown = QCLShrunkFileName(path, 40);
        SendMessageA(dialog_, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    }
    if (OnSelectionChanged)
        OnSelectionChanged(this, dialog_, path, Item);
}

int TQCLBrowseDlg::validateFailed(const AnsiString& Text) {
    bool cancel = false;
    if (OnValidate)
        OnValidate(this, Text, cancel);
    return cancel ? 1 : 0;
}
