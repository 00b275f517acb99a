// A vault file as the vault reader takes it up to the digest check: the body
// length gate, the read into the text buffer and the cut to the text in place.
// The input stands for the decrypted body (decryption under any key is a
// permutation of the bytes, so the reader sees every body either way).
#include "tests/fuzz/FuzzTarget.h"

#include "tests/fuzz/FuzzFiles.h"
#include "vault/VaultFiles.h"

using namespace vaultfile;

BRIM_FUZZ_TARGET(vault_body) {
    fuzzfiles::clear();
    const std::string path = fuzzfiles::put("vault.vlt", data, size);
    std::uint64_t length = 0;
    brimfuzz::check(static_cast<bool>(fileSize(path, length)) && length == size, "the vault file's size is read");
    if (checkBodyLength(length) != BodyLength::Fits) return;
    SecretText body;
    if (!readFileRange(path, HeadBytes, static_cast<std::size_t>(length - HeadBytes), body)) return;
    const std::size_t bodySize = body.size();
    const BodyText where = locateBodyText(reinterpret_cast<const unsigned char*>(body.data()), bodySize);
    brimfuzz::check(where.start <= bodySize && where.length <= bodySize - where.start, "the text lies in the body");
    SecretText expected(body.data() + where.start, where.length);
    cutToBodyText(body);
    brimfuzz::check(body == expected, "the text is cut out in place");
}
