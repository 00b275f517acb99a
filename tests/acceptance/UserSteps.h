/*
 * What a user does with Brimsafe's windows, as steps the journeys share: walk
 * the new-vault wizard, answer a message box, type into the system's file
 * dialog, open a remembered vault, exit. Each step waits for the window it
 * needs and fails the journey's current step when it does not come.
 *
 * Tricky points:
 * - The skinned dialogs carry their class name without the "T" as window
 *   text ("Frm_SelectDatabase"); the title the user reads is painted. Their
 *   buttons are windowless and found by caption through the control map.
 * - The key page takes randomness from pointer moves (at least 50 pixels
 *   both ways between samples) and key releases; the step keeps doing both
 *   until the page says the key exists, however long the sampling takes.
 */
#pragma once

#include "tests/acceptance/Harness.h"

#include <string>
#include <utility>
#include <vector>

namespace acc {

constexpr const char* SelectVaultWindow = "Frm_SelectDatabase";
constexpr const char* ChooseLocationWindow = "Frm_ChooseVaultLoc";
constexpr const char* KeyPageWindow = "Frm_Initializing";
constexpr const char* FirstPasswordWindow = "Frm_FirstPassword";
constexpr const char* BackupKeyWindow = "Frm_BackupKey";
constexpr const char* DoneWindow = "Frm_Done";
constexpr const char* PasswordWindow = "PasswordForm";
constexpr const char* MessageBoxWindow = "ZMMessageBox";
constexpr const char* TipWindow = "Frm_DontShowAgain";

// Clicks a button that closes its window and waits for it to go. Every press already waits for the
// state that makes it land (Harness.h); a press that still left the window open is given once more,
// and the line printed says what held the input (inputState).
std::string inputState(HWND window);

void clickToClose(HWND form, const std::string& button);
// The same for a button that opens a window: clicked once more when that window has not come.
HWND clickToOpen(HWND form, const std::string& button, const std::string& caption);

struct NewVault {
    std::string folder;  // an existing folder
    std::string name;    // the base name, without ".vlt"
    std::string password;
};

// The 16 bytes as 32 lower-case hex digits (the open vault's main-window caption).
std::string hexId(const std::string& bytes);

// Waits for the skinned message box showing exactly this text and clicks the button.
void answerMessage(DWORD pid, const std::string& text, const std::string& button);
// Types a full path into the system's file dialog (by its caption) and accepts it with Enter.
void typeIntoFileDialog(DWORD pid, const std::string& caption, const std::string& path);

// The wizard, from the vault selection to the finished vault; the main window it opens.
void chooseNewVault(DWORD pid);
void chooseVaultFile(DWORD pid, const std::string& vaultFilePath);
void stirMouseAndKeysUntilKeyCreated(DWORD pid);
void typePasswordTwice(DWORD pid, const std::string& password);
void skipKeyBackup(DWORD pid);
void finishWizard(DWORD pid);
HWND createVaultWithWizard(DWORD pid, const NewVault& vault);

// The main window of an open vault (its caption is the vault ID read from the key file).
HWND waitForMainWindow(DWORD pid, const std::string& folder, const std::string& name);
// At start with a remembered vault: Open Vault on the selection, then the password.
HWND openRememberedVault(DWORD pid, const NewVault& vault);
void typePassword(DWORD pid, const std::string& password);
// Ctrl+Q on the main window, the closing tip answered; waits for the process to end.
void exitWithCtrlQ(Program& program, HWND mainWindow);
// Leaves the program by a button of the main window ("KTransButton3", the title bar's close button,
// or "xpButton3", Exit): the closing tip answered, the process ended.
void exitByButton(Program& program, HWND mainWindow, const std::string& button);

// ---- the records side of the main window

constexpr const char* CategoriesWindow = "QZ_Category_Form";
constexpr const char* EditCategoryWindow = "QZ_EditCat_Form";
constexpr const char* FieldWindow = "QZ_NewHeader";
constexpr const char* EntryWindow = "QZ_Form_NewPassword";
constexpr const char* SearchWindow = "Frm_Search";

// A multi-column list of the framework (the record list, the search results): its lines and header.
struct ColumnList {
    HWND lines = nullptr;   // the inner list box
    HWND header = nullptr;  // the header control over it
};
ColumnList columnList(HWND form, const std::string& name);
// The list's lines as the program stores them (columns joined by byte 1).
std::vector<std::string> listLines(HWND list);
// The lines split into their columns.
std::vector<std::vector<std::string>> listRows(HWND list);
int selectedLine(HWND list);  // -1 when none
void clickLine(HWND list, int line);
void doubleClickLine(HWND list, int line);
// A click on the header at x pixels from its left edge (a column's section).
void clickHeaderAt(HWND header, int x);

// The category box: opens it and clicks the line with this text.
void chooseCategory(HWND mainWindow, const std::string& line);
// Through "Add/Edit Categories...": a new category with one-line fields shown in the list.
void addCategoryWithFields(DWORD pid, HWND mainWindow, const std::string& name,
                           const std::vector<std::string>& fields);
// The one-line field under a field caption ("Note" finds the edit below "Note:"), as a user finds it.
HWND fieldBelow(HWND form, const std::string& fieldName);
// The New button and the entry dialog: each field (by name) gets its value (typed; tabs pasted).
void addEntryThroughDialog(DWORD pid, HWND mainWindow,
                           const std::vector<std::pair<std::string, std::string>>& values);
// Waits for the tip with exactly this text and closes it with Ok.
void answerTip(DWORD pid, const std::string& text);
// Types into a field: clicks it, selects what it holds, types (tabs pasted, as a user pastes them).
void replaceFieldText(HWND field, const std::string& text);

// Puts text on the clipboard as a program would (for pasting).
void setClipboardText(const std::string& utf8);
// The UTF-8 text in the machine's ANSI code page (how the program stores it).
std::string ansi(const std::string& utf8);
std::string utf8FromAnsi(const std::string& ansiText);

}  // namespace acc
