/*
 * The names the program is known by, spelled once: the title of its main
 * window and of its message boxes, the settings key every part of the program
 * shares (the main window's settings, the file-job record, the branding
 * texts), the file name of the crypto library it loads, and the mutex that
 * marks a running program.
 *
 * Stored settings and installed files depend on these spellings.
 */
#pragma once

namespace product {

inline constexpr char Title[] = "Brimsafe";
// Under HKEY_CURRENT_USER.
inline constexpr char SettingsKeyPath[] = "software\\Quarrendel\\Brimsafe";
inline constexpr char CryptoLibraryName[] = "QZ_Cryptography.dll";
// A named mutex every Brimsafe process holds for its whole run, wherever it was started from; the
// uninstaller removes nothing while one exists.
inline constexpr char RunningMutexName[] = "Brimsafe.Running";

}  // namespace product
