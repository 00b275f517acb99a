/*
 * Every message of the program's own code goes through ShowMessageBox (with
 * an owner form) or ShowMessageBoxNoOwner (centred on the screen). The button
 * sets and the results are fixed; the texts are shown exactly as given.
 *
 * The box is registered at start-up (RegisterMessageBox) as the handler of the
 * window-free notices in base/Notice.h, which the vault store and the file
 * jobs use; both entry points here answer through that handler too, so a test
 * that replaces it (SetMessageBoxHandler) scripts the answers and captures the
 * exact texts of every box. With no handler registered, ShowMessageBox shows
 * this box itself. Until the skinned box stands, it is a plain system box.
 */
#pragma once

#include "base/Notice.h"

#include <string>

#include <windows.h>

class TForm;

// A reader in another process sends this registered message with its window in
// wParam; the skinned box answers with WM_COPYDATA tagged below holding
// "title\0text\0icon\0set\0" (its labels are windowless, so nothing else reads them).
constexpr const char* kMessageBoxContentsMessageForTesting = "BrimMessageBoxContentsForTesting";
constexpr ULONG_PTR kMessageBoxContentsTagForTesting = 0x42524D42;

int ShowMessageBox(TForm* owner, const std::string& text, const std::string& title, int buttons, int icon);
int ShowMessageBoxNoOwner(const std::string& text, const std::string& title, int buttons, int icon);

// Makes this box the one every notice goes to; the program calls it at start-up.
void RegisterMessageBox();
