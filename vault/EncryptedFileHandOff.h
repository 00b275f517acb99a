/*
 * The hand-off of an encrypted file given to a second start of the program:
 * when the vault that encrypted it is open in another process (its named
 * mutex exists and a top-level window is captioned with its vault ID), that
 * window gets WM_COPYDATA 103 with the path and its terminating zero, and this
 * process ends. The mutex is only probed: its handle is closed at once.
 *
 * It sends to another window, so it lives apart from the window-free vault
 * flows, which get it handed in (VaultFlows' HandOffRoutine).
 */
#pragma once

#include <string>

bool handOffEncryptedFile(const std::string& path);
