// The journeys' own vault reader (see VaultReaders.h): layouts read byte by byte, Crypto++ for the rest.
#include "tests/acceptance/VaultReaders.h"

#include "tests/acceptance/Harness.h"

#include <cryptopp/blowfish.h>
#include <cryptopp/integer.h>
#include <cryptopp/md5.h>
#include <cryptopp/modes.h>
#include <cryptopp/nbtheory.h>

#include <cstdint>

namespace acc {
namespace {

constexpr size_t VaultHeaderBytes = 136;
constexpr size_t RsaBytes = 128;
constexpr unsigned KeyFileMagic = 0x3DEA0711;
const unsigned char BodyIv[8] = {0x5C, 0x2E, 0x91, 0x07, 0xD4, 0x6A, 0xB3, 0x18};

unsigned u32At(const std::string& bytes, size_t offset) {
    if (offset + 4 > bytes.size()) return 0;
    unsigned value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
    return value;
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// The text between the first double quote of a tag and the next one.
std::string quoted(const std::string& tag) {
    const size_t open = tag.find('"');
    if (open == std::string::npos) return "";
    const size_t close = tag.find('"', open + 1);
    return tag.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

std::string unescape(std::string value) {
    for (char& c : value) {
        if (c == '\x11') c = '"';
        else if (c == '\x12') c = '>';
    }
    return value;
}

}  // namespace

const VaultCategory* VaultRecords::find(const std::string& name) const {
    for (const VaultCategory& c : categories)
        if (c.name == name) return &c;
    return nullptr;
}

std::string md5(const std::string& bytes) {
    std::string digest(CryptoPP::Weak::MD5::DIGESTSIZE, '\0');
    CryptoPP::Weak::MD5().CalculateDigest(reinterpret_cast<unsigned char*>(&digest[0]),
                                          reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return digest;
}

std::string blowfishCbcDecrypt(const std::string& key, const std::string& data) {
    if (data.size() % 8 != 0 || data.empty()) return "";
    CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Decryption cipher(reinterpret_cast<const unsigned char*>(key.data()),
                                                              key.size(), BodyIv);
    std::string plain(data.size(), '\0');
    cipher.ProcessData(reinterpret_cast<unsigned char*>(&plain[0]), reinterpret_cast<const unsigned char*>(data.data()),
                       data.size());
    return plain;
}

std::string passwordKey(const std::string& password, const std::string& salt) {
    std::string key = md5(password + salt);
    for (int round = 0; round < 1000; ++round) key = md5(key);
    return key;
}

KeyFileImage readKeyFile(const std::string& path, std::vector<std::string>& problems) {
    KeyFileImage image;
    image.bytes = readFileBytes(path);
    if (image.bytes.size() != 784) {
        problems.push_back("key file is " + std::to_string(image.bytes.size()) + " bytes, not 784");
        if (image.bytes.size() < 784) return image;
    }
    image.totalLength = u32At(image.bytes, 0);
    image.keyOffset = u32At(image.bytes, 4);
    image.vaultId = image.bytes.substr(8, 16);
    image.magic = u32At(image.bytes, 24);
    if (image.totalLength != 784) problems.push_back("key file length field is " + std::to_string(image.totalLength));
    if (image.keyOffset != 512) problems.push_back("key block offset is " + std::to_string(image.keyOffset));
    if (image.magic != KeyFileMagic) problems.push_back("key file magic is wrong");
    if (image.bytes.substr(28, 484) != std::string(484, '\0')) problems.push_back("key file header filler is not zero");
    if (image.keyOffset + 256 <= image.bytes.size()) image.keyBlock = image.bytes.substr(image.keyOffset, 256);
    image.chainValue = image.bytes.substr(image.bytes.size() - 16);
    return image;
}

OpenedVault openVaultFiles(const std::string& folder, const std::string& name, const std::string& password) {
    OpenedVault vault;
    auto& problems = vault.problems;
    const std::string vaultFile = readFileBytes(folder + "\\" + name + ".vlt");
    const KeyFileImage key = readKeyFile(folder + "\\" + name + ".kvt", problems);
    vault.vaultId = key.vaultId;
    if (vaultFile.size() < VaultHeaderBytes + 24) {
        problems.push_back("vault file is only " + std::to_string(vaultFile.size()) + " bytes");
        return vault;
    }
    if ((vaultFile.size() - VaultHeaderBytes) % 8 != 0) problems.push_back("vault body is not whole 8-byte blocks");
    if (key.keyBlock.size() != 256) return vault;

    const std::string salt = vaultFile.substr(0, 8);
    const std::string parts = blowfishCbcDecrypt(passwordKey(password, salt), key.keyBlock);
    const CryptoPP::Integer modulus(reinterpret_cast<const unsigned char*>(parts.data()), RsaBytes);
    const CryptoPP::Integer exponent(reinterpret_cast<const unsigned char*>(parts.data()) + RsaBytes, RsaBytes);
    const CryptoPP::Integer wrapped(reinterpret_cast<const unsigned char*>(vaultFile.data()) + 8, RsaBytes);
    std::string block(RsaBytes, '\0');
    if (!modulus.IsZero()) {
        a_exp_b_mod_c(wrapped % modulus, exponent, modulus)
            .Encode(reinterpret_cast<unsigned char*>(&block[0]), RsaBytes);
    }
    vault.vaultKey = block.substr(1, 16);

    const std::string t1 = md5(vault.vaultKey), t2 = md5(t1), t3 = md5(t2);
    if (salt != t1.substr(0, 8)) problems.push_back("salt is not MD5(vault key)[0..8) (or the password is wrong)");
    if (key.vaultId != t3) problems.push_back("vault ID " + hex(key.vaultId) + " is not MD5^3(vault key)");
    vault.chainValue = blowfishCbcDecrypt(vault.vaultKey, key.chainValue);

    const std::string body = blowfishCbcDecrypt(vault.vaultKey, vaultFile.substr(VaultHeaderBytes));
    if (body.size() < 24) return vault;
    size_t at = 16;
    uint64_t length = 0;
    while (at < body.size() && body[at] >= '0' && body[at] <= '9' && at < 30) length = length * 10 + unsigned(body[at++] - '0');
    const size_t digits = at - 16;
    if (digits == 0 || at >= body.size() || body[at] != ' ') {
        problems.push_back("vault body has no decimal length and space (wrong password?)");
        return vault;
    }
    const size_t textStart = at + 1;
    if (length > body.size() - textStart) {
        problems.push_back("vault body length field runs past the body");
        return vault;
    }
    vault.text = body.substr(textStart, static_cast<size_t>(length));
    if (md5(vault.text) != body.substr(0, 16)) problems.push_back("vault text digest does not match");
    const size_t l = digits + static_cast<size_t>(length) + 18;
    if (body.size() != l + 8 - l % 8) problems.push_back("vault body length breaks the filler rule");
    return vault;
}

VaultRecords parseVaultText(const std::string& text) {
    VaultRecords records;
    VaultCategory* current = nullptr;
    std::vector<std::string>* row = nullptr;
    size_t at = 0;
    for (;;) {
        const size_t open = text.find('<', at);
        if (open == std::string::npos) break;
        const size_t close = text.find('>', open + 2);
        if (close == std::string::npos) break;
        const std::string tag = text.substr(open + 1, close - open - 1);
        at = close;
        if (tag.rfind("hidePwords", 0) == 0) {
            records.hidePasswords = tag.size() > 17 && tag[17] == '1';
        } else if (tag.rfind("category", 0) == 0) {
            records.categories.push_back(VaultCategory{quoted(tag), {}, {}});
            current = &records.categories.back();
            row = nullptr;
        } else if (tag.rfind("header", 0) == 0 && current) {
            current->headers.push_back(quoted(tag));
        } else if (tag.rfind("row", 0) == 0 && current) {
            current->rows.emplace_back();
            row = &current->rows.back();
        } else if (tag.rfind("item", 0) == 0 && row) {
            row->push_back(unescape(quoted(tag)));
        } else if (tag.rfind("/row", 0) == 0) {
            row = nullptr;
        }
    }
    return records;
}

}  // namespace acc
