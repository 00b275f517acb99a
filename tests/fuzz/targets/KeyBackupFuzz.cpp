// A key backup as the key restore and its verification read it: the layout
// (magic, a key-file image of a known layout, the key block at the image's
// offset), taken by offsets before any pointer into the backup is formed, and
// the unscrambled key block.
#include "tests/fuzz/FuzzTarget.h"

#include "tests/fuzz/FuzzFiles.h"
#include "vault/VaultFiles.h"

using namespace vaultfile;

BRIM_FUZZ_TARGET(key_backup) {
    fuzzfiles::clear();
    const std::string path = fuzzfiles::put("backup.bkv", data, size);
    SecretBytes backup;
    if (!readWholeFile(path, backup)) return;
    std::optional<KeyBackupLayout> layout = keyBackupLayout(backup.data(), backup.size());
    if (layout) {
        brimfuzz::check(layout->imageOffset + layout->imageLength == backup.size(), "the image runs to the end");
        brimfuzz::check(layout->blockOffset >= layout->imageOffset &&
                            layout->blockOffset + KeyBlockBytes <= backup.size(),
                        "the key block lies inside the image");
        // The restore's copy of the image, with the block where the layout puts it.
        SecretBytes restored(backup.begin() + static_cast<std::ptrdiff_t>(layout->imageOffset), backup.end());
        const unsigned char* block = restored.data() + (layout->blockOffset - layout->imageOffset);
        brimfuzz::check(block + KeyBlockBytes <= restored.data() + restored.size(), "the copied block is whole");
    }
    std::optional<SecretBytes> block = keyBackupBlock(backup.data(), backup.size());
    brimfuzz::check(!block || block->size() == KeyBlockBytes, "a key block is 256 bytes");
    brimfuzz::check(!layout || block, "a backup the restore takes has a key block for its verification");
    brimfuzz::check(block || size < KeyBackupHeadBytes + KeyBlockBytes ||
                        !keyBlockOffset(backup.data() + KeyBackupHeadBytes, size - KeyBackupHeadBytes),
                    "a backup whose image holds a key block gives it");
}
