/*
 * The vault text: the plain tagged form of the whole data model, built before
 * a save and read back after the vault body was decrypted and checked.
 *
 *   <hidePwords value=0/><category name="To Do">\t<header name="Task" type=0 show=0 width=107/>
 *   \t<row>\t\t<item value="...">\t</row></category>
 *
 * In values (and, as a safeguard, in names) a double quote is written as byte
 * 0x11 and a greater-than sign as byte 0x12, and the reader turns both back;
 * texts written before the second escape read as before. The reader has no
 * error path: it takes whatever tags it finds and never reads past the end of
 * a tag, of the text, or of a row's value array.
 */
#pragma once

#include "vault/SecureMemory.h"
#include "vault/category.h"

#include <cstddef>
#include <optional>
#include <string>

extern const char* const EncryptedFilesName;  // "Encrypted Files"

// The data model of an open vault as the main window holds it.
class VaultContent {
public:
    VaultContent() = default;
    ~VaultContent() { clear(); }
    VaultContent(const VaultContent&) = delete;
    VaultContent& operator=(const VaultContent&) = delete;
    VaultContent(VaultContent&& other) noexcept { *this = std::move(other); }
    VaultContent& operator=(VaultContent&& other) noexcept;

    void clear();  // destroys every category
    // Appends a user category and makes it the current one, in constant time: the content keeps
    // the chain's last link. Code that unlinks or relinks categories of userCategories by hand
    // calls chainEdited() afterwards, and the next append finds the end again.
    category* addCategory(const std::string& name);
    void chainEdited() { lastUser_ = nullptr; }
    // Links the appends walked to find the chain's end since the content was made.
    std::size_t linksWalkedForTesting() const { return linksWalked_; }
    // A new "Encrypted Files" category with its one header "Name" (replaces an existing one).
    category* addEncryptedFilesCategory();

    category* userCategories = nullptr;  // chain head, owned
    category* encryptedFiles = nullptr;  // owned, stands apart from the chain
    category* current = nullptr;
    bool hidePwords = false;
    int currCat = 2;  // category-box index of the current category: 1 Encrypted Files, 2.. user categories

private:
    category* lastUser_ = nullptr;  // the chain's last link, or null when it must be found again
    std::size_t linksWalked_ = 0;
};

// Builds the vault text: the Encrypted Files category first (when it exists), then the user chain.
SecretText buildVaultText(bool hidePwords, const category* encryptedFiles, const category* userCategories);
// The same text in two steps, for a caller that gives the room itself: its exact length, then the
// text written at out (room for that length); returns the bytes written.
std::size_t vaultTextLength(bool hidePwords, const category* encryptedFiles, const category* userCategories);
std::size_t writeVaultText(char* out, bool hidePwords, const category* encryptedFiles, const category* userCategories);

// The tokenizer: skips past the next '<' and returns the text up to the next '>', leaving the
// cursor on the '>'. At the end of the text it resets the cursor to 0 and returns nothing.
std::optional<SecretText> nextTag(const char* text, std::size_t length, std::size_t& cursor);

// Reads a vault text into content (cleared first). currCatSetting is the stored currCat value.
void readVaultText(const char* text, std::size_t length, VaultContent& content, int currCatSetting);
