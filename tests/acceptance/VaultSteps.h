/*
 * What a user does with vaults beyond the shared steps (UserSteps.h), as steps
 * of the journeys on secrets, several vaults and backups: give a new password
 * twice, open the tools and the backup dialog, pick a listed vault, switch
 * vaults, copy a field, lock and unlock. Every step drives the real program
 * through its windows only and waits on window states with deadlines.
 *
 * Tricky points:
 * - Dialog windows are found by their window text, their class name without
 *   its "T" ("PasswordForm", "Frm_Tools"); buttons and radio buttons of the
 *   backup dialog share captions ("Back Up Vault" is both), so there they are
 *   told apart by window class.
 * - A click that lands while a dialog is still being shown, or just before a
 *   tip comes up, may be lost: steps whose click has a visible effect click
 *   again until the effect shows, within a deadline.
 * - The idle timer is a message-only window found through the control map by
 *   its name; its ticks are sent (not posted), so a tick has been counted when
 *   the send returns.
 * - The record editor's rows are made at run time and have no names: an edit
 *   is found by its class and place, its copy button beside it by geometry.
 */
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace acc {

class Program;

namespace dialog {
inline const char* const Tools = "Frm_Tools";
inline const char* const BackupRestore = "QZ_Backup";
inline const char* const KeyRestore = "Frm_Restore";
}  // namespace dialog

// ---- windows of another process ----
// Visible descendants of parent whose window class is className, top to bottom, then left to right.
std::vector<HWND> childrenOfClass(HWND parent, const std::string& className);
// True while a visible descendant of parent has exactly this text.
bool showsChild(HWND parent, const std::string& text);
// Clicks into the edit and types text (the edit is emptied first), again until the edit holds it.
void typeInto(HWND edit, const std::string& text);
// Clicks the form's control of this caption (control map) until `done` holds.
void clickUntil(HWND form, const std::string& caption, const std::function<bool()>& done, const std::string& what);

// ---- message boxes ----
// Waits for the process's message box, clicks the button and waits for it to go; returns its text.
std::string answerAnyMessage(DWORD pid, const std::string& button = "Ok");
// Answers tips with Ok until the window with this caption is visible.
HWND waitForWindowPastTips(const std::string& caption, DWORD pid, DWORD ms = 30000);
// The process's open or save dialog when one is shown, else nullptr.
HWND fileDialogShown(DWORD pid);

// ---- the vault ----
// The password dialog of the process: the password typed, "Ok" clicked until the dialog goes.
void enterPassword(DWORD pid, const std::string& password);
// The password dialog in change mode (new password twice), then "Ok".
void enterNewPasswordTwice(DWORD pid, const std::string& password);
// In the "Select Vault" dialog: "Open Vault" on the vault preselected there (the remembered one).
void openPreselectedVault(DWORD pid);
// In the "Select Vault" dialog: the listed vault of this display name, then "Open Vault".
void openListedVault(DWORD pid, const std::string& displayName);
// The main window's Switch Vault button and "Yes" to the question; returns the "Select Vault" dialog.
HWND switchVault(HWND main, DWORD pid);
// Ctrl+Q on the main window, Ok on the closing tip, "Yes" to leaving listed files plain; waits for the
// process to end.
void exitConfirmingPlainFiles(Program& program, HWND main);
// The vault path the known-vault list holds for this display name ("" when none).
std::string knownVaultPath(const std::string& displayName);
// Every known vault as "display name=vault path", in the registry's order.
std::vector<std::string> knownVaults();
// Text of another program on the clipboard.
void putOnClipboard(const std::string& text);

// ---- locking ----
bool isLocked(HWND main);
// One tick of the idle timer (sent: counted when this returns).
void idleTick(HWND main);
// Moves the pointer to two places over the window with a tick after each: the count starts at 0.
void restartIdleCount(HWND main);

// ---- the records ----
// Ctrl+Down (or Ctrl+Up) on the main window until the category box shows this category.
void selectCategory(HWND main, const std::string& name);
// Clicks line `index` of the record list.
void clickRecordLine(HWND main, int index);
// The visible one-line editor rows (their edits), top to bottom.
std::vector<HWND> editorEdits(HWND main);
// Clicks the copy button beside the editor row of this edit.
void clickCopyButtonOf(HWND edit);
// The copy button of the row, clicked until the clipboard holds the expected value.
void copyWithButtonOf(HWND edit, const std::string& expected);

// ---- tools ----
// Ctrl+T on the main window; returns the "Tools" dialog.
HWND openTools(HWND main, DWORD pid);
// Tools, "Back up/Restore", the option by its caption, the path typed, the action button.
void backupRestoreAction(HWND main, DWORD pid, const std::string& option, const std::string& path);
// Tools, its "Passwords Hidden" box clicked (its state turned over), Tools closed.
void togglePasswordsHidden(HWND main, DWORD pid);

}  // namespace acc
