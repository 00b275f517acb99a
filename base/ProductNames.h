/*
 * The names the program is known by, spelled once: the title of its main
 * window and of its message boxes, the settings key every part of the program
 * shares (the main window's settings, the file-job record, the branding
 * texts), and the file name of the crypto library it loads.
 *
 * Stored settings and installed files depend on these spellings.
 */
#pragma once

namespace product {

inline constexpr char Title[] = "Brimsafe";
// Under HKEY_CURRENT_USER.
inline constexpr char SettingsKeyPath[] = "software\\Quarrendel\\Brimsafe";
inline constexpr char CryptoLibraryName[] = "QZ_Cryptography.dll";

}  // namespace product
