// A key file as the vault store reads it: the whole image, the key block at
// the image's own offset, the vault ID and the chain value at its end.
#include "tests/fuzz/FuzzTarget.h"

#include "tests/fuzz/FuzzFiles.h"
#include "vault/VaultFiles.h"

using namespace vaultfile;

BRIM_FUZZ_TARGET(key_file) {
    fuzzfiles::clear();
    const std::string path = fuzzfiles::put("vault.kvt", data, size);
    SecretBytes image;
    brimfuzz::check(static_cast<bool>(readWholeFile(path, image)) && image.size() == size, "the key file is read whole");
    if (std::optional<std::size_t> offset = keyBlockOffset(image.data(), image.size())) {
        brimfuzz::check(*offset <= image.size() && image.size() - *offset >= KeyBlockBytes,
                        "the key block lies in the image");
        SecretBytes block(image.begin() + *offset, image.begin() + *offset + KeyBlockBytes);
    }
    SecretBytes id;
    const bool idRead = static_cast<bool>(readFileRange(path, VaultIdOffset, 16, id));
    brimfuzz::check(idRead == (size >= VaultIdOffset + 16), "the vault ID is read when the file holds it");
}
