/*
 * The search of the search dialog without its window: which rows of the vault
 * hold a typed text, one result line per row, each line keeping the category
 * and the row position it came from, so that "Go To" returns exactly that row
 * even when two categories or two fields share a name.
 *
 * Tricky points:
 * - Lower-casing follows the system's ANSI rules (CharLowerBuffA), so "É"
 *   finds "é" on a Western code page. The rules are read once into a byte
 *   table: the whole vault is scanned on every key release, and a system call
 *   per value would be the slowest part of that scan.
 * - A value is shown on one line: carriage returns are dropped and line feeds
 *   become spaces.
 * - An empty text finds nothing.
 * - While passwords are hidden, a secret field's value is found as any other
 *   but shown as one "*" per character, as the main window's editor shows it.
 * - A key typed while the result list has the focus adds a character to the
 *   search text only when it is a letter or an unshifted digit; Shift, Ctrl,
 *   arrows, punctuation and the rest add nothing.
 */
#pragma once

#include "vault/category.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vaultsearch {

struct Hit {
    category* owner = nullptr;
    int row = -1;  // position within owner, 0-based
    std::string categoryName;
    std::string fieldName;
    std::string data;  // the value on one line
};

// The value with every CR removed and every LF turned into a space.
std::string oneLine(const std::string& value);
// The text lower-cased by the system's ANSI rules.
std::string lowerAnsi(const std::string& text);

// Visits encryptedFiles (may be null) and then the user categories from firstUser in chain order;
// for each row the first value (header order) containing term, case-insensitively, gives one hit.
// maskSecrets: the data of a hit in a secret field (show 2) is masked.
std::vector<Hit> search(category* encryptedFiles, category* firstUser, const std::string& term,
                        bool maskSecrets = false);

// The character a key pressed in the result list adds to the search text, or 0 for none.
// Letters are lower case unless Shift is held or Caps Lock is on.
char keyToSearchChar(WORD virtualKey, bool shift, bool capsLock);

}  // namespace vaultsearch
