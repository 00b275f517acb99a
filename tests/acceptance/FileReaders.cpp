// The journeys' readers of encrypted files and of the job record: Crypto++ called directly, offsets
// from the layout, nothing of the program's own reading code.
#include "tests/acceptance/FileReaders.h"

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/blowfish.h>
#include <cryptopp/md5.h>
#include <cryptopp/modes.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace acc {

namespace {

constexpr std::size_t HeaderBytes = 512;
constexpr std::size_t NameRoom = HeaderBytes - 108;
const unsigned char FixedVector[8] = {0x5C, 0x2E, 0x91, 0x07, 0xD4, 0x6A, 0xB3, 0x18};
const char* const SettingsKey = "software\\Quarrendel\\Brimsafe";

std::uint32_t u32At(const unsigned char* at) {
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24;
}

std::uint64_t u64At(const unsigned char* at) {
    return std::uint64_t(u32At(at)) | std::uint64_t(u32At(at + 4)) << 32;
}

FILETIME fileTimeAt(const unsigned char* at) {
    FILETIME time;
    time.dwLowDateTime = u32At(at);
    time.dwHighDateTime = u32At(at + 4);
    return time;
}

bool readWhole(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool parseHeader(const std::string& bytes, EncryptedFileHeader& header, std::string& why) {
    if (bytes.size() < HeaderBytes) {
        why = "shorter than the 512-byte header (" + std::to_string(bytes.size()) + " bytes)";
        return false;
    }
    const auto* h = reinterpret_cast<const unsigned char*>(bytes.data());
    header.magic = u32At(h);
    if (header.magic != EncryptedFileMagic) {
        why = "does not start with the encrypted-file magic";
        return false;
    }
    header.plainSize = u64At(h + 4);
    std::memcpy(header.digest, h + 12, 16);
    std::memcpy(header.wrappedKey, h + 28, 16);
    header.creationTime = fileTimeAt(h + 44);
    header.lastWriteTime = fileTimeAt(h + 52);
    header.attributes = u32At(h + 60);
    header.algorithm = u32At(h + 64);
    header.encryptedLength = u64At(h + 68);
    header.encryptionDate = fileTimeAt(h + 76);
    std::memcpy(header.vaultID, h + 84, 16);
    header.chunkSize = u32At(h + 100);
    const std::uint32_t nameLength = u32At(h + 104);
    if (nameLength > NameRoom) {
        why = "stores a vault-name length of " + std::to_string(nameLength) + ", beyond the header";
        return false;
    }
    header.vaultName.assign(bytes.data() + 108, nameLength);
    for (std::size_t at = 108 + nameLength; at < HeaderBytes; ++at) {
        if (h[at] != 0) {
            why = "has non-zero bytes after the vault name";
            return false;
        }
    }
    return true;
}

std::string md5(const std::string& bytes) {
    std::string digest(16, '\0');
    CryptoPP::Weak1::MD5().CalculateDigest(reinterpret_cast<CryptoPP::byte*>(&digest[0]),
                                           reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size());
    return digest;
}

std::string queryString(HKEY key, const char* name, bool& present) {
    DWORD type = 0, size = 0;
    present = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    if (!present || size == 0) return std::string();
    std::string value(size, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &size) != ERROR_SUCCESS) {
        present = false;
        return std::string();
    }
    value.resize(size);
    if (!value.empty() && value.back() == '\0') value.pop_back();
    return value;
}

}  // namespace

std::uint32_t layoutChunkSize(std::uint32_t lengthLow) {
    std::uint32_t chunk = lengthLow / 20480 * 1024;
    if (chunk > 262144) chunk = 262144;
    return chunk == 0 ? 1024 : chunk;
}

std::uint64_t layoutBodyLength(std::uint64_t plainSize, std::uint32_t chunkSize) {
    const std::uint64_t rest = plainSize % chunkSize;
    if (rest == 0) return plainSize;
    return plainSize - rest + rest + 8 - rest % 8;
}

bool readEncryptedFileHeader(const std::string& path, EncryptedFileHeader& header, std::string& why) {
    std::string bytes;
    if (!readWhole(path, bytes)) {
        why = path + " cannot be read";
        return false;
    }
    if (!parseHeader(bytes, header, why)) {
        why = path + " " + why;
        return false;
    }
    return true;
}

bool decryptEncryptedFile(const std::string& path, const unsigned char vaultKey[16], std::string& plain,
                          std::string& why) {
    std::string bytes;
    if (!readWhole(path, bytes)) {
        why = path + " cannot be read";
        return false;
    }
    EncryptedFileHeader header;
    if (!parseHeader(bytes, header, why)) {
        why = path + " " + why;
        return false;
    }
    const std::uint32_t chunk =
        header.chunkSize != 0 ? header.chunkSize : layoutChunkSize(static_cast<std::uint32_t>(bytes.size()));
    if (chunk % 8 != 0) {
        why = path + " stores a chunk size that is not whole cipher blocks: " + std::to_string(chunk);
        return false;
    }
    const std::uint64_t body = bytes.size() - HeaderBytes;
    const std::uint64_t expectedBody = layoutBodyLength(header.plainSize, chunk);
    if (body != expectedBody) {
        why = path + " has a body of " + std::to_string(body) + " bytes where " + std::to_string(header.plainSize) +
              " plain bytes in chunks of " + std::to_string(chunk) + " give " + std::to_string(expectedBody);
        return false;
    }

    unsigned char fileKey[16];
    CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Decryption unwrap(vaultKey, 16, FixedVector);
    unwrap.ProcessData(fileKey, header.wrappedKey, 16);

    // The whole body is one chain; the 8 bytes after a whole-block last chunk decrypt to nothing
    // anyone reads and are cut off with the rest of the filler.
    std::string decrypted(static_cast<std::size_t>(body), '\0');
    if (body != 0) {
        CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Decryption cipher(fileKey, 16, FixedVector);
        cipher.ProcessData(reinterpret_cast<CryptoPP::byte*>(&decrypted[0]),
                           reinterpret_cast<const CryptoPP::byte*>(bytes.data() + HeaderBytes), decrypted.size());
    }
    SecureZeroMemory(fileKey, sizeof fileKey);
    decrypted.resize(static_cast<std::size_t>(header.plainSize));

    std::string digest(16, '\0');
    for (std::size_t at = 0; at < decrypted.size(); at += chunk) digest = md5(digest + decrypted.substr(at, chunk));
    if (std::memcmp(digest.data(), header.digest, 16) != 0) {
        why = path + " decrypts to data that does not match its stored digest";
        return false;
    }
    plain.swap(decrypted);
    return true;
}

JobRecord readJobRecord() {
    JobRecord record;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return record;
    record.task = queryString(key, "currTask", record.hasTask);
    record.file = queryString(key, "currFile", record.hasFile);
    RegCloseKey(key);
    return record;
}

}  // namespace acc
