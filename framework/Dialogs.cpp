/*
 * The open and save file dialogs; see Dialogs.h. The name buffer is 64 KB,
 * zero-filled, so that a result that fills it still ends in NULs; the parser
 * nevertheless stops at the buffer's end.
 */
#include "framework/Dialogs.h"

#include <commdlg.h>

#include <algorithm>

#include "framework/SysUtils.h"

namespace {

constexpr size_t kNameBufferSize = 64 * 1024;

// The NUL-terminated string at offset, bounded by the buffer's end.
AnsiString stringAt(const char* buffer, size_t size, size_t offset) {
    size_t end = offset;
    while (end < size && buffer[end] != '\0') ++end;
    return AnsiString(buffer + offset, end - offset);
}

}  // namespace

std::vector<AnsiString> ParseOpenDialogResult(const char* buffer, size_t size) {
    std::vector<AnsiString> parts;
    size_t offset = 0;
    while (buffer && offset < size) {
        AnsiString part = stringAt(buffer, size, offset);
        if (part.empty()) break;
        parts.push_back(part);
        offset += part.size() + 1;
    }
    if (parts.size() <= 1) return parts;
    std::vector<AnsiString> files;
    AnsiString folder = IncludeTrailingBackslash(parts[0]);
    for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
    return files;
}

AnsiString MakeDialogFilter(const AnsiString& filter) {
    if (filter.empty()) return AnsiString();
    AnsiString result = filter;
    for (char& c : result)
        if (c == '|') c = '\0';
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

DWORD OpenOptionsToFlags(TOpenOptions options) {
    static const DWORD flags[] = {
        OFN_READONLY, OFN_OVERWRITEPROMPT, OFN_HIDEREADONLY, OFN_NOCHANGEDIR, OFN_SHOWHELP, OFN_NOVALIDATE,
        OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST, OFN_FILEMUSTEXIST, OFN_CREATEPROMPT,
        OFN_SHAREAWARE, OFN_NOREADONLYRETURN, OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON, OFN_NOLONGNAMES,
        0 /* ofOldStyleDialog */, OFN_NODEREFERENCELINKS, OFN_ENABLEINCLUDENOTIFY, OFN_ENABLESIZING};
    DWORD result = 0;
    for (int option = ofReadOnly; option <= ofEnableSizing; ++option)
        if (options.Contains(static_cast<TOpenOption>(option))) result |= flags[option];
    if (!options.Contains(ofOldStyleDialog)) result |= OFN_EXPLORER;
    return result;
}

HWND DialogOwnerWindow() {
    HWND active = GetActiveWindow();
    if (active && IsWindowVisible(active) && IsWindowEnabled(active)) return active;
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &process);
    if (foreground && process == GetCurrentProcessId()) return foreground;
    return nullptr;
}

// ---------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), files_(new TStringList) {}

TOpenDialog::~TOpenDialog() { delete files_; }

bool TOpenDialog::Execute() {
    std::vector<char> names(kNameBufferSize, '\0');
    fileName_.copy(names.data(), std::min(fileName_.size(), names.size() - 2));
    AnsiString filter = MakeDialogFilter(filter_);
    AnsiString defaultExt = defaultExt_;
    if (!defaultExt.empty() && defaultExt[0] == '.') defaultExt.erase(0, 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = DialogOwnerWindow();
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = static_cast<DWORD>(names.size() - 2);
    ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
    ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = OpenOptionsToFlags(options_);

    if (OnShow) OnShow(this);
    BOOL chosen = RunSystemDialog(&ofn);
    if (OnClose) OnClose(this);
    if (!chosen) return false;

    files_->Clear();
    std::vector<AnsiString> chosenFiles;
    if (options_.Contains(ofAllowMultiSelect))
        chosenFiles = ParseOpenDialogResult(names.data(), names.size());
    else
        chosenFiles.push_back(AnsiString(names.data()));
    for (const AnsiString& file : chosenFiles) files_->Add(file);
    fileName_ = chosenFiles.empty() ? AnsiString() : chosenFiles.front();
    filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    if (ofn.Flags & OFN_EXTENSIONDIFFERENT) options_ << ofExtensionDifferent;
    else options_ >> ofExtensionDifferent;
    if (ofn.Flags & OFN_READONLY) options_ << ofReadOnly;
    else options_ >> ofReadOnly;
    return true;
}
