/*
 * The one way the dialogs hand an address to the shell ("open" verb): a
 * replaceable routine, so tests capture the verb, the address and the show
 * flag instead of starting a browser.
 */
#pragma once

#include <windows.h>

#include <functional>
#include <string>

using ShellOpenRoutine = std::function<void(HWND owner, const std::string& verb, const std::string& address, int show)>;

void shellOpen(HWND owner, const std::string& verb, const std::string& address, int show);
// Replaces the routine (an empty one puts the shell back); returns the previous one.
ShellOpenRoutine SetShellOpenForTesting(ShellOpenRoutine routine);
