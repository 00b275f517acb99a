/*
 * What a user does with vaults, as steps of the journeys on secrets, several
 * vaults and backups: make a vault with the wizard, type a password, open the
 * tools and the backup dialog, answer message boxes, pick a file in the
 * system's file dialog, lock and unlock. Every step drives the real program
 * through its windows only (the harness's pointer and keys) and waits on
 * window states with deadlines.
 *
 * Tricky points:
 * - Dialog windows are found by their window text, which is their class name
 *   without its "T" ("PasswordForm", "Frm_Tools"); the title the user reads is
 *   a windowless label. Buttons of the skinned dialogs are windows whose text
 *   is their caption, so they are clicked by caption; edits have no text of
 *   their own and are told apart by their place on the dialog (top to
 *   bottom, then left to right).
 * - A dialog is waited for by the process that shows it: two programs may
 *   show dialogs of the same class at once.
 * - A message box's text is read through the skinned box's contents message;
 *   a step that expects one fails with the text that came instead.
 * - The idle timer is a message-only window: its ticks are sent (not posted),
 *   so a tick has been counted when the send returns.
 */
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace acc {

class Program;

// The dialogs' window texts.
namespace dialog {
inline const char* const SelectVault = "Frm_SelectDatabase";
inline const char* const ChooseVaultLoc = "Frm_ChooseVaultLoc";
inline const char* const KeyCreation = "Frm_Initializing";
inline const char* const FirstPassword = "Frm_FirstPassword";
inline const char* const BackupKeyPage = "Frm_BackupKey";
inline const char* const DonePage = "Frm_Done";
inline const char* const Password = "PasswordForm";
inline const char* const Tools = "Frm_Tools";
inline const char* const BackupRestore = "QZ_Backup";
inline const char* const KeyRestore = "Frm_Restore";
inline const char* const Tip = "Frm_DontShowAgain";
}  // namespace dialog

// ---- windows of another process ----
// Visible descendants of parent whose window class is className, top to bottom, then left to right.
std::vector<HWND> childrenOfClass(HWND parent, const std::string& className);
// A visible top-level window of the process with this text, without failing (nullptr when none).
HWND visibleWindow(const std::string& caption, DWORD pid);
// True while a visible descendant of parent has exactly this text.
bool showsChild(HWND parent, const std::string& text);
// Clicks into the edit and types text (the edit is emptied first).
void typeInto(HWND edit, const std::string& text);

// ---- message boxes ----
// Waits for the process's message box, checks its text, clicks the button and waits for it to go.
void answerMessage(DWORD pid, const std::string& expectedText, const std::string& button = "Ok");
// The same without a text check; returns the text that was shown.
std::string answerAnyMessage(DWORD pid, const std::string& button = "Ok");
// Answers the tips and the closing tip with Ok until the window with this caption is visible.
HWND waitForWindowPastTips(const std::string& caption, DWORD pid, DWORD ms = 30000);

// ---- the system's file dialogs ----
// The process's open or save dialog when one is shown, else nullptr.
HWND fileDialogShown(DWORD pid);
// Waits for the process's open or save dialog, puts the path into its name field and accepts it.
void chooseFileInDialog(DWORD pid, const std::string& path);

// ---- the vault ----
// The vault ID of the key file as the program captions its main window (32 lower-case hex digits).
std::string vaultIdCaption(const std::string& keyFilePath);
// The password dialog of the process: types the password and clicks "Ok". Returns the dialog.
void enterPassword(DWORD pid, const std::string& password);
// The password dialog in change mode (new password twice), then "Ok".
void enterNewPasswordTwice(DWORD pid, const std::string& password);
// From the "Select Vault" dialog through every page of the new-vault wizard: the vault file at
// vaultPath (".vlt"), made with the password; the key backup is skipped. Returns the main
// window (captioned with the new vault's ID).
HWND createVaultWithWizard(DWORD pid, const std::string& vaultPath, const std::string& password);
// In the "Select Vault" dialog: "Open Vault" on the vault preselected there (the remembered one).
void openPreselectedVault(DWORD pid);
// In the "Select Vault" dialog: the listed vault of this display name, then "Open Vault".
void openListedVault(DWORD pid, const std::string& displayName);
// The main window's Switch Vault button and "Yes" to the question; returns the "Select Vault" dialog.
HWND switchVault(HWND main, DWORD pid);
// Ctrl+Q on the main window, Ok on the closing tip, "Yes" to leaving listed files plain; waits for the
// process to end.
void exitProgram(Program& program, HWND main);
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

// ---- tools ----
// Ctrl+T on the main window; returns the "Tools" dialog.
HWND openTools(HWND main, DWORD pid);
// Tools, "Back up/Restore", the option by its caption, the path typed, the action button.
void backupRestoreAction(HWND main, DWORD pid, const std::string& option, const std::string& path);

}  // namespace acc
