// The header of an encrypted file: the readers that look at a file before any
// job (is it encrypted, its vault ID and vault name) and the header decoder,
// whose result must encode back to a header that decodes the same.
#include "tests/fuzz/FuzzTarget.h"

#include "fileenc/EncryptedFile.h"
#include "tests/fuzz/FuzzFiles.h"

#include <cstring>

BRIM_FUZZ_TARGET(encrypted_header) {
    fuzzfiles::clear();
    const std::string path = fuzzfiles::put("file.txt.vltenc", data, size);
    IsEncrypted(path);
    IsEncrypted(path.substr(0, path.size() - encfile::ExtensionLength));
    unsigned char id[16];
    ReadVaultID(path, id);
    if (std::optional<std::string> name = ReadVaultName(path))
        brimfuzz::check(name->size() <= encfile::MaxVaultNameLength, "a vault name fits the header");

    unsigned char header[encfile::HeaderSize] = {};
    std::memcpy(header, data, size < sizeof header ? size : sizeof header);
    encfile::EncryptedFileHeader decoded;
    if (!encfile::EncryptedFileHeader::decode(header, decoded)) return;
    brimfuzz::check(decoded.vaultName.size() <= encfile::MaxVaultNameLength, "a decoded name fits the header");
    unsigned char encoded[encfile::HeaderSize];
    decoded.encode(encoded);
    encfile::EncryptedFileHeader again;
    brimfuzz::check(encfile::EncryptedFileHeader::decode(encoded, again), "an encoded header has the magic");
    brimfuzz::check(again.vaultName == decoded.vaultName && again.plainSize == decoded.plainSize &&
                        again.chunkSize == decoded.chunkSize && again.encryptedLength == decoded.encryptedLength &&
                        std::memcmp(again.vaultID, decoded.vaultID, 16) == 0,
                    "a header encodes and decodes to itself");
}
