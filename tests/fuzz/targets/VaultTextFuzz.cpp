// The vault text reader on any bytes (the text a body with a matching digest
// would give): it must stay inside the text, and what it read must survive a
// save: building the text again and reading that back gives the same text.
#include "tests/fuzz/FuzzTarget.h"

#include "vault/VaultText.h"

BRIM_FUZZ_TARGET(vault_text) {
    const int currCat = size ? data[0] % 8 : 2;
    VaultContent content;
    readVaultText(reinterpret_cast<const char*>(data), size, content, currCat);
    brimfuzz::check(content.current != nullptr || content.userCategories == nullptr,
                    "a vault with categories has a current one");
    const SecretText once = buildVaultText(content.hidePwords, content.encryptedFiles, content.userCategories);

    VaultContent again;
    readVaultText(once.data(), once.size(), again, currCat);
    const SecretText twice = buildVaultText(again.hidePwords, again.encryptedFiles, again.userCategories);
    brimfuzz::check(once == twice, "a saved vault text reads back to the same text");
}
