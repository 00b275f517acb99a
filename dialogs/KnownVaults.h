/*
 * The window-free side of choosing a vault: the known-vault list in the
 * registry subkey "Vaults" (value name = display name, data = folder\name
 * without extension, written without a terminating zero), the key-file probes
 * (vault ID at offset 8, magic at offset 24) and the checks on vault names and
 * paths the selection dialog and its pages make.
 *
 * Tricky points:
 * - Value names are case-insensitive in the registry, so display names are
 *   compared case-insensitively too: "home" beside "Home" would overwrite it.
 * - The unnamed default value is listed as "Default"; a value whose ".vlt" is
 *   gone is skipped but left in the registry.
 * - The open-vault probe creates the vault's named mutex and closes it at once:
 *   it tells only whether another process holds it, and leaves nothing behind.
 */
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace knownvaults {

struct KnownVault {
    std::string displayName;
    std::string path;  // folder\name, no extension
};

// The listed vaults in registry order: only those whose ".vlt" exists. Opens (or creates) the key.
std::vector<KnownVault> readKnownVaults();
// Writes path as the known vault named by the part after its last backslash; failures are silent.
void registerVault(const std::string& path);

// Display names are equal regardless of case.
bool sameVaultName(const std::string& a, const std::string& b);
// The text before / after the last backslash (the whole text is the name when there is none).
std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);
// The text before the last '.', or the whole text when there is none.
std::string cutExtension(const std::string& path);
// A chosen vault file name without a trailing ".vlt" in any case; other names unchanged.
std::string stripVaultExtension(const std::string& fileName);

// The 16-byte vault ID at offset 8 of the key file, or nothing when it cannot be read.
std::optional<std::vector<unsigned char>> readVaultId(const std::string& keyFilePath);
constexpr unsigned long KeyFileMagic = 0x3DEA0711;
enum class KeyFileCheck { Valid, WrongMagic, Unreadable };
// The magic at offset 24 of the key file.
KeyFileCheck checkKeyFile(const std::string& keyFilePath);
// The mutex name of a vault ID: 32 lower-case hex digits.
std::string mutexNameOf(const unsigned char id[16]);
// True when another process holds the vault's mutex; the probe leaves no mutex behind.
bool vaultIsOpenElsewhere(const unsigned char id[16]);

// The first listed vault whose key file carries id (unreadable files skipped).
std::optional<KnownVault> findVaultById(const std::vector<KnownVault>& vaults, const unsigned char id[16]);

// Names that would place files elsewhere or break the registry are refused.
extern const char* const BadNameMessage;
bool isValidVaultName(const std::string& name);

// The folder text of the completion page: a bare drive gets its backslash; a text that does not fit
// loses characters just before its last backslash, with "..." in their place, until it fits or nothing
// is left to drop. fits() measures a candidate.
template <class Fits>
std::string fitFolderText(std::string path, Fits fits) {
    if (path.size() == 2) path += '\\';
    if (fits(path)) return path;
    std::size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return path;
    std::string head = path.substr(0, slash + 1), tail = path.substr(slash);
    std::string shown = path;
    while (!head.empty()) {
        head.pop_back();
        shown = head + "..." + tail;
        if (fits(shown)) break;
    }
    return shown;
}

}  // namespace knownvaults
