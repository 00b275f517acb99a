// A key backup as its verification reads it: the random bytes, the key-file
// image behind them and the unscrambled key block at the image's offset.
#include "tests/fuzz/FuzzTarget.h"

#include "tests/fuzz/FuzzFiles.h"
#include "vault/VaultFiles.h"

using namespace vaultfile;

BRIM_FUZZ_TARGET(key_backup) {
    fuzzfiles::clear();
    const std::string path = fuzzfiles::put("backup.kvt", data, size);
    SecretBytes backup;
    if (!readWholeFile(path, backup)) return;
    std::optional<SecretBytes> block = keyBackupBlock(backup.data(), backup.size());
    brimfuzz::check(!block || block->size() == KeyBlockBytes, "a key block is 256 bytes");
    brimfuzz::check(block || size < KeyBackupHeadBytes + KeyBlockBytes ||
                        !keyBlockOffset(backup.data() + KeyBackupHeadBytes, size - KeyBackupHeadBytes),
                    "a backup whose image holds a key block gives it");
}
