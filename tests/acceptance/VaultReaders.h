/*
 * The journeys' own reader of a vault on disk: the key file and the vault file
 * opened with the master password, straight from their byte layouts, with
 * Crypto++ for MD5, Blowfish-CBC and the RSA arithmetic. It shares no code
 * with the program's vault store, so a journey checks what was written, not
 * what the program believes it wrote.
 *
 * The chain it follows: password key = MD5 of (password bytes + the vault
 * file's 8-byte salt), then 1000 more MD5 rounds; the key file's key block
 * (256 bytes at the offset its header names) decrypts under it to the RSA
 * modulus and private exponent (128 bytes each, big-endian); the vault file's
 * bytes 8-135 raised to that exponent give a block whose bytes 1-16 are the
 * vault key; the body after byte 136 decrypts under the vault key to
 * MD5(text) | decimal length | space | text | filler.
 *
 * Tricky points:
 * - Every relation a sound vault keeps is checked and reported by name in
 *   `problems` (salt = MD5(vault key)[0..8), vault ID = MD5^3(vault key),
 *   header fields, body length rule, digest): a journey asserts the list is
 *   empty, and a wrong password shows as a digest mismatch, as in the program.
 * - Values in the text keep the file's escapes (0x11 for a double quote, 0x12
 *   for a greater-than sign); VaultRecords undoes them.
 */
#pragma once

#include <string>
#include <vector>

namespace acc {

struct KeyFileImage {
    std::string bytes;          // the whole file
    unsigned totalLength = 0;   // u32 at 0
    unsigned keyOffset = 0;     // u32 at 4
    std::string vaultId;        // 16 bytes at 8
    unsigned magic = 0;         // u32 at 24
    std::string keyBlock;       // 256 bytes at keyOffset
    std::string chainValue;     // the last 16 bytes, encrypted under the vault key
};

struct OpenedVault {
    std::vector<std::string> problems;  // empty when the pair is sound and the password right
    std::string vaultKey;               // 16 bytes
    std::string vaultId;                // 16 bytes from the key file
    std::string text;                   // the vault text as stored
    std::string chainValue;             // the decrypted file-key chain value (16 bytes)
    bool ok() const { return problems.empty(); }
};

// One category of the vault text: its name, header names and rows of values (escapes undone).
struct VaultCategory {
    std::string name;
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};
struct VaultRecords {
    bool hidePasswords = false;
    std::vector<VaultCategory> categories;  // in text order ("Encrypted Files" first)
    const VaultCategory* find(const std::string& name) const;
};

std::string md5(const std::string& bytes);
std::string blowfishCbcDecrypt(const std::string& key, const std::string& data);  // whole blocks only
std::string passwordKey(const std::string& password, const std::string& salt);

// The key file's fields (problems with its layout appended to `problems`).
KeyFileImage readKeyFile(const std::string& path, std::vector<std::string>& problems);
// Opens <folder>\<name>.vlt with <folder>\<name>.kvt and the password.
OpenedVault openVaultFiles(const std::string& folder, const std::string& name, const std::string& password);
// The vault text's categories, headers and rows.
VaultRecords parseVaultText(const std::string& text);

}  // namespace acc
