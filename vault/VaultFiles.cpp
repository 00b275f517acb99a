// The vault file's and key file's layouts and their file access. Reads and writes go in pieces of
// at most 16 MiB, the most one ReadFile or WriteFile call is trusted with.
#include "vault/VaultFiles.h"

#include "framework/Win32Handles.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

namespace vaultfile {

namespace {

using win32::FileHandle;

constexpr std::size_t MaxPieceBytes = 1u << 24;

HANDLE openForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

FileResult failure(DWORD error) { return FileResult{false, error ? error : ERROR_GEN_FAILURE}; }

bool readExactly(HANDLE h, unsigned char* data, std::size_t count, DWORD& error) {
    std::size_t done = 0;
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(count - done > MaxPieceBytes ? MaxPieceBytes : count - done);
        DWORD got = 0;
        if (!ReadFile(h, data + done, chunk, &got, nullptr)) {
            error = GetLastError();
            return false;
        }
        if (got == 0) {
            error = ERROR_HANDLE_EOF;
            return false;
        }
        done += got;
    }
    return true;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::size_t bodyLength(std::size_t textLength) {
    std::size_t digits = std::to_string(textLength).size();
    std::size_t l = digits + textLength + 18;
    return l + 8 - (l % 8);
}

std::size_t bodyTextOffset(std::size_t textLength) { return DigestBytes + std::to_string(textLength).size() + 1; }

void writeBodyHead(unsigned char* body, const unsigned char digest[16], std::size_t textLength) {
    std::memcpy(body, digest, DigestBytes);
    std::string digits = std::to_string(textLength);
    std::memcpy(body + DigestBytes, digits.data(), digits.size());
    body[DigestBytes + digits.size()] = ' ';
}

SecretBytes buildBody(const unsigned char digest[16], const char* text, std::size_t textLength) {
    SecretBytes body(bodyLength(textLength), 0);
    writeBodyHead(body.data(), digest, textLength);
    if (textLength) std::memcpy(body.data() + bodyTextOffset(textLength), text, textLength);
    return body;
}

BodyText locateBodyText(const unsigned char* body, std::size_t s) {
    BodyText found;
    if (s < MinimumBodyBytes) return found;
    // The length field as "%d" reads it: blanks, sign, digits; kept as an unsigned 32-bit value.
    std::size_t i = DigestBytes;
    while (i < s && (body[i] == ' ' || body[i] == '\t' || body[i] == '\n' || body[i] == '\r' || body[i] == '\v' ||
                     body[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < s && (body[i] == '+' || body[i] == '-')) negative = body[i++] == '-';
    std::uint64_t magnitude = 0;
    for (; i < s && body[i] >= '0' && body[i] <= '9'; ++i)
        if (magnitude <= 0xFFFFFFFFull) magnitude = magnitude * 10 + (body[i] - '0');
    std::uint32_t n = magnitude > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(magnitude);
    if (negative) n = 0u - n;

    const void* space = std::memchr(body + DigestBytes, ' ', s - DigestBytes);
    if (space) {
        found.start = static_cast<const unsigned char*>(space) - body + 1;
    } else {
        n = 0;
        found.start = 18;
    }
    std::size_t length = n;
    if (length > s - found.start) length = s - found.start;
    if (length > s - 15) length = s - 15;
    found.length = length;
    return found;
}

void cutToBodyText(SecretText& body) {
    const BodyText where = locateBodyText(reinterpret_cast<const unsigned char*>(body.data()), body.size());
    if (where.length) std::memmove(&body[0], &body[where.start], where.length);
    secureWipe(&body[where.length], body.size() - where.length);
    body.resize(where.length);
}

BodyLength checkBodyLength(std::uint64_t fileLength) {
    if (fileLength < HeadBytes + MinimumBodyBytes) return BodyLength::TooShort;
    if (fileLength - HeadBytes > MaximumBodyBytes) return BodyLength::TooLong;
    if ((fileLength - HeadBytes) % 8 != 0) return BodyLength::PartBlock;
    return BodyLength::Fits;
}

std::optional<KeyBackupLayout> keyBackupLayout(const unsigned char* backup, std::size_t backupLength) {
    if (backupLength < KeyBackupHeadBytes || readU32(backup) != KeyFileMagic) return std::nullopt;
    KeyBackupLayout layout;
    layout.imageLength = backupLength - KeyBackupHeadBytes;
    if (layout.imageLength != OldKeyFileBytes && layout.imageLength < OldChainKeyFileBytes) return std::nullopt;
    std::optional<std::size_t> offset = keyBlockOffset(backup + layout.imageOffset, layout.imageLength);
    if (!offset) return std::nullopt;
    layout.blockOffset = layout.imageOffset + *offset;
    return layout;
}

std::optional<SecretBytes> keyBackupBlock(const unsigned char* backup, std::size_t backupLength) {
    if (backupLength < KeyBackupHeadBytes + KeyBlockBytes) return std::nullopt;
    const unsigned char* random = backup + 4;
    const unsigned char* image = backup + KeyBackupHeadBytes;
    std::optional<std::size_t> offset = keyBlockOffset(image, backupLength - KeyBackupHeadBytes);
    if (!offset) return std::nullopt;
    static const unsigned char Scramble[8] = {0x3F, 0xA9, 0x62, 0x0D, 0x8E, 0x51, 0xC7, 0x24};
    SecretBytes block(image + *offset, image + *offset + KeyBlockBytes);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] ^= random[i % 8] ^ Scramble[i % 8];
    return block;
}

bool keyFileIsWhole(const unsigned char* image, std::size_t imageLength) {
    if (!keyBlockOffset(image, imageLength)) return false;
    return imageLength <= OldChainKeyFileBytes || imageLength >= readU32(image);
}

std::optional<std::size_t> keyBlockOffset(const unsigned char* image, std::size_t imageLength) {
    if (imageLength < KeyBlockBytes) return std::nullopt;
    if (imageLength <= OldChainKeyFileBytes) return 0;
    std::uint32_t offset = readU32(image + 4);
    if (offset > imageLength || imageLength - offset < KeyBlockBytes) return std::nullopt;
    return offset;
}

SecretBytes buildKeyHeader(const unsigned char vaultId[16]) {
    SecretBytes header(KeyHeaderBytes, 0);
    writeU32(header.data(), static_cast<std::uint32_t>(KeyFileBytes));
    writeU32(header.data() + 4, static_cast<std::uint32_t>(KeyHeaderBytes));
    std::memcpy(header.data() + VaultIdOffset, vaultId, 16);
    writeU32(header.data() + MagicOffset, KeyFileMagic);
    return header;
}

std::uint32_t readU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void writeU32(unsigned char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

FileResult readWholeFile(const std::string& path, SecretBytes& content) {
    FileHandle file(openForReading(path));
    if (!file.valid()) return failure(GetLastError());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return failure(GetLastError());
    if (size.QuadPart > 0x40000000) return failure(ERROR_NOT_ENOUGH_MEMORY);  // no vault file is 1 GB
    try {
        content.assign(static_cast<std::size_t>(size.QuadPart), 0);
    } catch (const std::bad_alloc&) {
        return failure(ERROR_NOT_ENOUGH_MEMORY);
    }
    DWORD error = 0;
    if (!readExactly(file.get(), content.data(), content.size(), error)) return failure(error);
    return FileResult{true, 0};
}

namespace {

// The staging piece of a long read: small enough to stay in the cache, large enough that the
// calls it takes cost nothing beside the copy.
constexpr std::size_t StagingBytes = 256 * 1024;

void appendBytes(SecretBytes& to, const unsigned char* from, std::size_t n) { to.insert(to.end(), from, from + n); }
void appendBytes(SecretText& to, const unsigned char* from, std::size_t n) {
    to.append(reinterpret_cast<const char*>(from), n);
}

// Reads count bytes at offset into any byte container; running out of memory is a file error
// (ERROR_NOT_ENOUGH_MEMORY), never an exception out of the reader. The room is reserved once and
// filled by the copy out of a small staging piece: a fresh buffer of many MiB is touched once,
// not zeroed first and then written again by the read (each first touch of a page is a fault,
// dear under Wine).
template <typename Buffer>
FileResult readRangeInto(const std::string& path, std::uint64_t offset, std::size_t count, Buffer& content) {
    FileHandle file(openForReading(path));
    if (!file.valid()) return failure(GetLastError());
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), to, nullptr, FILE_BEGIN)) return failure(GetLastError());
    try {
        if (!content.empty()) secureWipe(&content[0], content.size());
        content.clear();
        content.reserve(count);
        SecretBytes staging(count < StagingBytes ? count : StagingBytes);
        for (std::size_t done = 0; done < count;) {
            const std::size_t piece = count - done < staging.size() ? count - done : staging.size();
            DWORD error = 0;
            if (!readExactly(file.get(), staging.data(), piece, error)) return failure(error);
            appendBytes(content, staging.data(), piece);
            done += piece;
        }
    } catch (const std::bad_alloc&) {
        return failure(ERROR_NOT_ENOUGH_MEMORY);
    } catch (const std::length_error&) {
        return failure(ERROR_NOT_ENOUGH_MEMORY);
    }
    return FileResult{true, 0};
}

}  // namespace

FileResult readFileRange(const std::string& path, std::uint64_t offset, std::size_t count, SecretBytes& content) {
    return readRangeInto(path, offset, count, content);
}

FileResult readFileRange(const std::string& path, std::uint64_t offset, std::size_t count, SecretText& content) {
    return readRangeInto(path, offset, count, content);
}

FileResult fileSize(const std::string& path, std::uint64_t& size) {
    FileHandle file(openForReading(path));
    if (!file.valid()) return failure(GetLastError());
    LARGE_INTEGER s;
    if (!GetFileSizeEx(file.get(), &s)) return failure(GetLastError());
    size = static_cast<std::uint64_t>(s.QuadPart);
    return FileResult{true, 0};
}

bool fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD FileWriter::write(HANDLE file, FilePieces pieces) const {
    for (const auto& piece : pieces) {
        const auto* data = static_cast<const unsigned char*>(piece.first);
        std::size_t done = 0;
        while (done < piece.second) {
            DWORD chunk = static_cast<DWORD>(piece.second - done > MaxPieceBytes ? MaxPieceBytes : piece.second - done);
            DWORD written = 0;
            if (!WriteFile(file, data + done, chunk, &written, nullptr))
                return GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
            if (written != chunk) return ERROR_DISK_FULL;
            done += written;
        }
    }
    return 0;
}

DWORD FileWriter::flush(HANDLE file) const {
    if (FlushFileBuffers(file)) return 0;
    return GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
}

const FileWriter& systemFileWriter() {
    static const FileWriter writer;
    return writer;
}

FileResult replaceFile(const std::string& path, FilePieces pieces, const FileWriter& writer) {
    char temp[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(folderOf(path).c_str(), "bsv", 0, temp)) return failure(GetLastError());
    DWORD error = 0;
    {
        FileHandle file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            error = GetLastError();
            DeleteFileA(temp);
            return failure(error);
        }
        error = writer.write(file.get(), pieces);
        if (!error) error = writer.flush(file.get());
        if (!file.close() && !error) error = GetLastError();
    }
    if (!error && !MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error) {
        DeleteFileA(temp);
        return failure(error);
    }
    return FileResult{true, 0};
}

}  // namespace vaultfile
