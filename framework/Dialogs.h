/*
 * Common dialogs: the open and save file dialogs (explorer style, A variants).
 *
 * The file dialogs run GetOpenFileNameA / GetSaveFileNameA with a 64 KB name
 * buffer. With multi-selection the system returns "folder\0name\0name\0\0",
 * or a single full path when only one file was chosen; the parsing is the pure
 * function ParseOpenDialogResult so that it can be tested on hand-made buffers.
 * The filter is given as "text|pattern|text|pattern" and becomes the
 * system's NUL-separated list.
 */
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Classes.h"

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
    ofEnableIncludeNotify, ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

// The file names of a dialog's result buffer (size bytes at most are read).
// One string is a full path; several are a folder followed by names in it.
std::vector<AnsiString> ParseOpenDialogResult(const char* buffer, size_t size);
// "All files|*.*|Text|*.txt" -> "All files\0*.*\0Text\0*.txt\0\0".
AnsiString MakeDialogFilter(const AnsiString& filter);
// The OFN_* flags of a set of options (explorer style unless ofOldStyleDialog).
DWORD OpenOptionsToFlags(TOpenOptions options);

// The window that owns a dialog shown now: the active window of this thread
// when it is enabled and visible, else the foreground window of this process.
HWND DialogOwnerWindow();

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    virtual bool Execute() = 0;

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
};

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    // Shows the dialog modally; true when the user chose a file.
    bool Execute() override;

    AnsiString GetFileName() const { return fileName_; }
    void SetFileName(const AnsiString& value) { fileName_ = value; }
    TStrings* GetFiles() const { return files_; }
    AnsiString GetFilter() const { return filter_; }
    void SetFilter(const AnsiString& value) { filter_ = value; }
    int GetFilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int value) { filterIndex_ = value; }
    AnsiString GetDefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const AnsiString& value) { defaultExt_ = value; }
    AnsiString GetInitialDir() const { return initialDir_; }
    void SetInitialDir(const AnsiString& value) { initialDir_ = value; }
    AnsiString GetTitle() const { return title_; }
    void SetTitle(const AnsiString& value) { title_ = value; }
    TOpenOptions GetOptions() const { return options_; }
    void SetOptions(TOpenOptions value) { options_ = value; }

protected:
    // GetOpenFileNameA or GetSaveFileNameA.
    virtual BOOL RunSystemDialog(OPENFILENAMEA* ofn) { return GetOpenFileNameA(ofn); }

private:
    AnsiString fileName_, filter_, defaultExt_, initialDir_, title_;
    int filterIndex_ = 1;
    TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
    TStringList* files_;

public:
    BRIM_PROPERTY(FileName, TOpenDialog::GetFileName, TOpenDialog::SetFileName);
    BRIM_READONLY(Files, TOpenDialog::GetFiles);
    BRIM_PROPERTY(Filter, TOpenDialog::GetFilter, TOpenDialog::SetFilter);
    BRIM_PROPERTY(FilterIndex, TOpenDialog::GetFilterIndex, TOpenDialog::SetFilterIndex);
    BRIM_PROPERTY(DefaultExt, TOpenDialog::GetDefaultExt, TOpenDialog::SetDefaultExt);
    BRIM_PROPERTY(InitialDir, TOpenDialog::GetInitialDir, TOpenDialog::SetInitialDir);
    BRIM_PROPERTY(Title, TOpenDialog::GetTitle, TOpenDialog::SetTitle);
    BRIM_PROPERTY(Options, TOpenDialog::GetOptions, TOpenDialog::SetOptions);
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    BOOL RunSystemDialog(OPENFILENAMEA* ofn) override { return GetSaveFileNameA(ofn); }
};
