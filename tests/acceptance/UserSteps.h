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

}  // namespace acc
