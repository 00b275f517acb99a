// The vault store against the real crypto library: creating a vault, saving and opening it,
// checking key backups, the file-key chain, older key files, damaged files and failed writes.
#include "vault/VaultStore.h"
#include "tests/vault/VaultTestSupport.h"

#include "vault/BufferCipher.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "vault/VaultFiles.h"
#include "vault/logger.h"

#include <cryptopp/blowfish.h>
#include <cryptopp/modes.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

using namespace vaultfile;
using namespace vaulttest;

class VaultStoreTest : public brimtest::FreshRegistry {
protected:
    void TearDown() override {
        setWipeObserverForTesting(nullptr);
        EXPECT_TRUE(prompts.allAnswered());
        brimtest::FreshRegistry::TearDown();
    }

    // A new vault "Test" in the temp folder with the given password; returns its vault key.
    Bytes create(VaultStore& store, const std::string& password, unsigned char seedByte = 1) {
        return createVault(store, prompts, temp.path(), password, seedByte);
    }

    // What the open sequence does: the salt, the password, the key, the body, the text.
    bool open(VaultStore& store, const std::string& password) {
        std::string salt = temp.readFile(store.getDBFname() + ".vlt").substr(0, 8);
        prompts.answer(1, password);
        if (store.setPasswordHash(0, false, false, reinterpret_cast<const unsigned char*>(salt.data())) != prDerived)
            return false;
        if (store.setRandKey() != krFound) return false;
        std::optional<SecretText> text = store.readDB(store.vaultFilePath());
        if (!text) return false;
        store.readVaultText(*text);
        return true;
    }

    static void fillSample(VaultStore& store) {
        VaultContent& content = store.content();
        content.addEncryptedFilesCategory();
        category* c = content.addCategory("Passwords");
        c->addHeader("Name", htOneLine, hsShown, 143);
        c->addHeader("Password", htOneLine, hsSecret, 0);
        c->insertRow({"Mail", "a>b1\"q\""});
        c->insertRow({"Bank", "<1234>"});
        content.addCategory("To Do")->addHeader("Task", htParagraph, hsShown, 107);
        content.hidePwords = true;
    }

    static std::string textOf(const VaultStore& store) {
        SecretText text = store.buildVaultText();
        return std::string(text.data(), text.size());
    }

    brimtest::TempFolder temp;
    ScriptedPrompts prompts;
};

TEST_F(VaultStoreTest, MD5KnownAnswersThroughTheBindingAndTheTestReference) {
    // Digests computed with openssl md5.
    struct Case {
        std::string input;
        const char* hex;
    };
    const Case cases[] = {
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"<hidePwords value=0/>", "71220844f8449a4633cf740a2b7f5d3b"},
        {std::string(16, '\0'), "4ae71336e44bf9bf79d2752e234818a5"},
    };
    auto hex = [](const unsigned char* p) {
        char text[33];
        for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02x", p[i]);
        return std::string(text);
    };
    CryptoLibrary library;
    for (const Case& c : cases) {
        unsigned char digest[16];
        ASSERT_TRUE(library.md5(c.input.data(), static_cast<std::uint32_t>(c.input.size()), digest));
        EXPECT_EQ(hex(digest), c.hex) << c.input;
        EXPECT_EQ(hex(md5(bytesOf(c.input)).data()), c.hex) << c.input;
    }
    // In place, as the key derivation hashes 16-byte values.
    unsigned char value[16] = {};
    library.md5(value, 16, value);
    EXPECT_EQ(hex(value), "4ae71336e44bf9bf79d2752e234818a5");
}

TEST_F(VaultStoreTest, PasswordKeyMatchesTheGoldenValue) {
    // Computed with an independent MD5: md5("correct horse" + salt), then 1000 more MD5s.
    CryptoLibrary library;
    const unsigned char salt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const unsigned char otherSalt[8] = {1, 2, 3, 4, 5, 6, 7, 9};
    unsigned char key[16], again[16], other[16];
    derivePasswordKey(library, SecretText("correct horse"), salt, key);
    derivePasswordKey(library, SecretText("correct horse"), salt, again);
    derivePasswordKey(library, SecretText("correct horse"), otherSalt, other);
    EXPECT_EQ(Bytes(key, key + 16), Bytes({0x0b, 0xce, 0xb3, 0x38, 0xd3, 0xb8, 0x40, 0xdd, 0x51, 0x48, 0x5b, 0xbc,
                                           0xbb, 0x10, 0x05, 0xe3}));
    EXPECT_EQ(Bytes(again, again + 16), Bytes(key, key + 16));
    EXPECT_EQ(Bytes(other, other + 16), Bytes({0x5f, 0xbf, 0x84, 0x45, 0x52, 0x5a, 0x47, 0x23, 0x60, 0xe4, 0xc5,
                                               0x9f, 0x39, 0x44, 0xce, 0xf2}));
}

TEST_F(VaultStoreTest, CreatedVaultFilesHoldTheStatedRelations) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].mode, 1);
    EXPECT_TRUE(prompts.asked[0].firstPage);

    std::string vlt = temp.readFile("Test.vlt"), kvt = temp.readFile("Test.kvt");
    EXPECT_EQ(vlt.size(), 136u) << "a new vault file holds only its head until the first save";
    Bytes salt = md5(vaultKey);
    salt.resize(8);
    EXPECT_EQ(slice(vlt, 0, 8), salt);
    ASSERT_EQ(kvt.size(), 784u);
    auto* k = reinterpret_cast<const unsigned char*>(kvt.data());
    EXPECT_EQ(readU32(k), 784u);
    EXPECT_EQ(readU32(k + 4), 512u);
    EXPECT_EQ(readU32(k + 24), KeyFileMagic);
    EXPECT_EQ(slice(kvt, 8, 16), md5Times(vaultKey, 3));
    EXPECT_EQ(Bytes(store.vaultID(), store.vaultID() + 16), md5Times(vaultKey, 3));
    Bytes chain = slice(kvt, 768, 16);
    decryptBuffer(chain.data(), chain.data(), 16, vaultKey.data());
    EXPECT_EQ(chain, md5Times(vaultKey, 2));
    unsigned char held[16];
    store.copyVaultKey(held);
    EXPECT_EQ(Bytes(held, held + 16), vaultKey);
}

TEST_F(VaultStoreTest, SavedVaultFileHoldsTheBodyLayoutByteForByte) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "secret");
    fillSample(store);
    const std::string head = temp.readFile("Test.vlt");
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string file = temp.readFile("Test.vlt");
    EXPECT_EQ(file.substr(0, 136), head) << "the head is copied unchanged";

    const std::string text =
        "<hidePwords value=1/>"
        "<category name=\"Encrypted Files\">\t<header name=\"Name\" type=0 show=0 width=428/></category>"
        "<category name=\"Passwords\">\t<header name=\"Name\" type=0 show=0 width=143/>"
        "\t<header name=\"Password\" type=0 show=2 width=0/>"
        "\t<row>\t\t<item value=\"Mail\">\t\t<item value=\"a\x12" "b1\x11q\x11\">\t</row>"
        "\t<row>\t\t<item value=\"Bank\">\t\t<item value=\"<1234\x12\">\t</row></category>"
        "<category name=\"To Do\">\t<header name=\"Task\" type=1 show=0 width=107/></category>";
    const std::string digits = std::to_string(text.size());
    const size_t used = 16 + digits.size() + 1 + text.size();
    const size_t l = used + 1;  // L = d + n + 18
    ASSERT_EQ(file.size(), 136 + l + 8 - l % 8);

    const Bytes plain = blowfishCBC(false, vaultKey, slice(file, 136, file.size() - 136));
    EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 16), md5(bytesOf(text)));
    EXPECT_EQ(stringOf(Bytes(plain.begin() + 16, plain.begin() + used)), digits + " " + text);
}

TEST_F(VaultStoreTest, VaultFileBuiltElsewhereIsRead) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    const std::string head = temp.readFile("Test.vlt");
    // Texts of 12 and 19 bytes give the largest (9) and the smallest (2) filler.
    for (const std::string& text : {std::string("<row>\t</row>"), std::string("<hidePwords value=0")}) {
        std::string plain = stringOf(md5(bytesOf(text))) + std::to_string(text.size()) + " " + text;
        const size_t filler = text.size() == 12 ? 9 : 2;
        plain += std::string(filler, '\x5A');
        ASSERT_EQ(plain.size() % 8, 0u) << text;
        temp.writeFile("Test.vlt", head + stringOf(blowfishCBC(true, vaultKey, bytesOf(plain))));
        std::optional<SecretText> read = store.readDB(store.vaultFilePath());
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(std::string(read->data(), read->size()), text);
    }
}

TEST_F(VaultStoreTest, KeyFileHoldsThePrivateKeyPartsUnderThePasswordKey) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "correct horse", 5);
    const std::string kvt = temp.readFile("Test.kvt");
    ASSERT_EQ(kvt.size(), 784u);

    // The same key pair again, from the same seed.
    CryptoLibrary library;
    CryptoLibrary::RSA rsa = library.newRSA();
    Bytes seed = seedOf(5);
    rsa->GenerateKeys(qzcrypto::KeyBits, seed.data());
    unsigned char* a = nullptr;
    unsigned char* b = nullptr;
    rsa->ExportPrivateKey(&a, &b);
    ASSERT_TRUE(a && b);
    Bytes parts(a, a + 128);
    parts.insert(parts.end(), b, b + 128);
    rsa->FreePrivateKey(a, b);

    const Bytes salt = md5(vaultKey);
    const Bytes block = blowfishCBC(false, independentPasswordKey("correct horse", salt), slice(kvt, 512, 256));
    EXPECT_EQ(block, parts) << "part a at 512, part b at 640";
    EXPECT_EQ(blowfishCBC(false, vaultKey, slice(kvt, 768, 16)), md5Times(vaultKey, 2));
}

TEST_F(VaultStoreTest, SavedVaultOpensWithTheSameContent) {
    VaultStore store(prompts);
    create(store, "secret");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string first = temp.readFile("Test.vlt");
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string second = temp.readFile("Test.vlt");
    EXPECT_EQ(first.size(), second.size());
    EXPECT_EQ(first.substr(0, 136), second.substr(0, 136));
    EXPECT_EQ(first.size(), 136 + bodyLength(textOf(store).size()));

    VaultStore reopened(prompts);
    reopened.setDBLoc(temp.path());
    reopened.setDBFname("Test");
    ASSERT_TRUE(open(reopened, "secret"));
    EXPECT_EQ(textOf(reopened), textOf(store));
    EXPECT_EQ(reopened.content().userCategories->itemText(0, 1), "a>b1\"q\"");
    EXPECT_TRUE(reopened.content().hidePwords);
}

TEST_F(VaultStoreTest, WrongPasswordIsRecognisedByTheDigestAndNeverReplacesTheKey) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "right");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);

    // A password check that is given up after a wrong password: the key stays the proven one.
    std::string salt = temp.readFile("Test.vlt").substr(0, 8);
    prompts.answer(1, "wrong");
    ASSERT_EQ(store.setPasswordHash(0, false, false, reinterpret_cast<const unsigned char*>(salt.data())), prDerived);
    ASSERT_EQ(store.setRandKey(), krFound);
    {
        brimtest::MessageBoxScript boxes;
        ReadFailure why = ReadFailure::None;
        EXPECT_FALSE(store.readDB(store.vaultFilePath(), &why));
        EXPECT_EQ(why, ReadFailure::WrongPassword);
        EXPECT_TRUE(boxes.texts().empty()) << "a wrong password is the caller's to tell";
    }
    unsigned char held[16];
    store.copyVaultKey(held);
    EXPECT_EQ(Bytes(held, held + 16), vaultKey);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);

    VaultStore reopened(prompts);
    reopened.setDBLoc(temp.path());
    reopened.setDBFname("Test");
    EXPECT_FALSE(open(reopened, "wrong"));
    EXPECT_FALSE(reopened.hasVaultKey());
    ASSERT_TRUE(open(reopened, "right"));
    EXPECT_EQ(textOf(reopened), textOf(store));
}

TEST_F(VaultStoreTest, PasswordPromptResults) {
    VaultStore store(prompts);
    const unsigned char salt[8] = {};
    prompts.answer(2);
    EXPECT_EQ(store.setPasswordHash(0, true, false, salt), prCancelled);
    EXPECT_TRUE(prompts.asked.back().retry);
    prompts.answer(7);
    prompts.forgotResult = true;
    EXPECT_EQ(store.setPasswordHash(0, false, false, salt), prKeyRestored);
    prompts.forgotResult = false;
    prompts.answer(7);
    prompts.answer(1, "again");
    EXPECT_EQ(store.setPasswordHash(0, false, false, salt), prDerived) << "a failed key restore asks again";
    EXPECT_EQ(prompts.forgotten, 2);
}

TEST_F(VaultStoreTest, DamagedVaultFilesAreRejectedWithoutACrash) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string good = temp.readFile("Test.vlt");
    const std::string head = good.substr(0, 136);

    // A body encrypted under the right key with a damaged length field.
    auto body = [&](const std::string& afterDigest, size_t blocks) {
        Bytes plain(blocks * 8, 0);
        std::memcpy(plain.data() + 16, afterDigest.data(), afterDigest.size());
        encryptBuffer(plain.data(), plain.data(), plain.size(), vaultKey.data());
        return head + stringOf(plain);
    };
    struct Case {
        const char* what;
        std::string content;
    };
    const Case cases[] = {
        {"empty", ""},
        {"head only", head},
        {"body of 16 bytes", good.substr(0, 136 + 16)},
        {"cut to 136 + 8k + 3", good.substr(0, good.size() - 5)},
        {"one byte short", good.substr(0, good.size() - 1)},
        {"one block missing", good.substr(0, good.size() - 8)},
        {"huge length", body("4294967295 <hidePwords value=0/>", 8)},
        {"negative length", body("-2147483648 x", 4)},
        {"no space", body("12345678901234567890", 5)},
        {"no digits", body("abc", 3)},
        {"flipped byte", good.substr(0, 150) + char(good[150] ^ 1) + good.substr(151)},
    };
    // Each is damaged, never a wrong password: the key is the vault's own (its salt says so).
    for (const Case& c : cases) {
        temp.writeFile("Damaged.vlt", c.content);
        brimtest::MessageBoxScript boxes({mbrOk});
        ReadFailure why = ReadFailure::None;
        EXPECT_FALSE(store.readDB(temp.file("Damaged.vlt"), &why)) << c.what;
        EXPECT_EQ(why, ReadFailure::Damaged) << c.what;
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{damagedFileText(temp.file("Damaged.vlt"))}) << c.what;
    }
    ReadFailure why = ReadFailure::Damaged;
    EXPECT_TRUE(store.readDB(store.vaultFilePath(), &why));
    EXPECT_EQ(why, ReadFailure::None);

    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_FALSE(store.readDB(temp.file("Missing.vlt")));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"There was a problem opening the vault."});
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
}

TEST_F(VaultStoreTest, DamagedKeyFilesFailSetRandKeyAndKeepTheKey) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string good = temp.readFile("Test.kvt");
    auto withOffset = [&](std::uint32_t offset) {
        std::string image = good;
        writeU32(reinterpret_cast<unsigned char*>(&image[4]), offset);
        return image;
    };
    struct Case {
        const char* what;
        std::string content;
    };
    std::string longerThanItIs = good;
    writeU32(reinterpret_cast<unsigned char*>(&longerThanItIs[0]), 785);
    const Case cases[] = {
        {"offset 0xFFFFFFF0", withOffset(0xFFFFFFF0u)},
        {"offset 600", withOffset(600)},
        {"offset 529", withOffset(529)},
        {"header says 785 bytes", longerThanItIs},
        {"cut to 600 bytes", good.substr(0, 600)},
        {"100 bytes", good.substr(0, 100)},
        {"empty", ""},
    };
    // Each is reported as the damaged key file it is, naming it.
    for (const Case& c : cases) {
        temp.writeFile("Test.kvt", c.content);
        brimtest::MessageBoxScript boxes({mbrOk});
        EXPECT_EQ(store.setRandKey(), krDamaged) << c.what;
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{damagedFileText(store.keyFilePath())}) << c.what;
        unsigned char held[16];
        store.copyVaultKey(held);
        EXPECT_EQ(Bytes(held, held + 16), vaultKey) << c.what;
    }
    DeleteFileA(temp.file("Test.kvt").c_str());
    EXPECT_EQ(store.setRandKey(), krFailed);
    ASSERT_EQ(prompts.fileErrors.size(), 1u);
    EXPECT_EQ(prompts.fileErrors[0], (std::pair<DWORD, std::string>{ERROR_FILE_NOT_FOUND, "your key"}));
}

TEST_F(VaultStoreTest, AVaultTooShortForItsHeadIsReportedAsDamagedNotTheKeyFile) {
    VaultStore store(prompts);
    create(store, "pw");
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string key = temp.readFile("Test.kvt");
    temp.writeFile("Test.vlt", temp.readFile("Test.vlt").substr(0, 100));
    prompts.answer(1, "pw");
    const unsigned char salt[8] = {};
    ASSERT_EQ(store.setPasswordHash(0, false, false, salt), prDerived);
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(store.setRandKey(), krDamaged);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{damagedFileText(store.vaultFilePath())});
    EXPECT_TRUE(prompts.fileErrors.empty()) << "the intact key file is not blamed";
    EXPECT_EQ(temp.readFile("Test.kvt"), key);
}

// A key backup as the key backup writes it: magic, R, the key file with its key block in plain,
// scrambled with R and the fixed constant.
std::string makeKeyBackup(const std::string& keyFile, const Bytes& passwordKey, const Bytes& random) {
    static const unsigned char Scramble[8] = {0x3F, 0xA9, 0x62, 0x0D, 0x8E, 0x51, 0xC7, 0x24};
    Bytes image = bytesOf(keyFile);
    decryptBuffer(image.data() + 512, image.data() + 512, 256, passwordKey.data());
    for (size_t i = 0; i < 256; ++i) image[512 + i] ^= random[i % 8] ^ Scramble[i % 8];
    std::string backup(4, '\0');
    writeU32(reinterpret_cast<unsigned char*>(&backup[0]), KeyFileMagic);
    return backup + stringOf(random) + stringOf(image);
}

Bytes passwordKeyFor(const std::string& password, const std::string& vaultFile) {
    CryptoLibrary library;
    unsigned char key[16];
    derivePasswordKey(library, SecretText(password.c_str()), reinterpret_cast<const unsigned char*>(vaultFile.data()),
                      key);
    return Bytes(key, key + 16);
}

TEST_F(VaultStoreTest, KeyBackupsAreVerifiedAgainstTheOpenVault) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const Bytes random = {9, 8, 7, 6, 5, 4, 3, 2};
    const std::string backup =
        makeKeyBackup(temp.readFile("Test.kvt"), passwordKeyFor("pw", temp.readFile("Test.vlt")), random);
    ASSERT_EQ(backup.size(), 796u);

    // Another vault's key backup.
    brimtest::TempFolder otherFolder;
    ScriptedPrompts otherPrompts;
    VaultStore other(otherPrompts);
    other.setDBLoc(otherFolder.path());
    other.setDBFname("Test");
    {
        CryptoLibrary library;
        CryptoLibrary::RSA rsa = library.newRSA();
        Bytes seed = seedOf(2);
        rsa->GenerateKeys(qzcrypto::KeyBits, seed.data());
        otherPrompts.answer(1, "pw");
        ASSERT_EQ(other.createVaultKeys(library, *rsa, seed.data()), crCreated);
    }
    const std::string foreign = makeKeyBackup(otherFolder.readFile("Test.kvt"),
                                              passwordKeyFor("pw", otherFolder.readFile("Test.vlt")), random);

    auto withImageOffset = [&](std::uint32_t offset) {
        std::string b = backup;
        writeU32(reinterpret_cast<unsigned char*>(&b[12 + 4]), offset);
        return b;
    };
    struct Case {
        const char* what;
        std::string content;
        KeyResult result;
    };
    const Case cases[] = {
        {"own backup", backup, krFound},
        // Older key-file layouts inside: the key block alone, or with its chain value; the
        // image length (not the file length) says where the block is.
        {"own backup, 256-byte image", backup.substr(0, 12) + backup.substr(12 + 512, 256), krFound},
        {"own backup, 272-byte image", backup.substr(0, 12) + backup.substr(12 + 512, 272), krFound},
        {"another vault's backup", foreign, krFailed},
        {"270 bytes", backup.substr(0, 270), krFailed},
        {"image offset 0xFFFFFFF0", withImageOffset(0xFFFFFFF0u), krFailed},
        {"image offset 600", withImageOffset(600), krFailed},
        {"image offset 529", withImageOffset(529), krFailed},
        {"empty", "", krFailed},
    };
    for (const Case& c : cases) {
        temp.writeFile("Backup.bkv", c.content);
        EXPECT_EQ(store.verifyKeyFile(temp.file("Backup.bkv")), c.result) << c.what;
        unsigned char held[16];
        store.copyVaultKey(held);
        EXPECT_EQ(Bytes(held, held + 16), vaultKey) << c.what;
    }
    EXPECT_EQ(store.verifyKeyFile(temp.file("NoSuch.bkv")), krFailed);
}

TEST_F(VaultStoreTest, OlderKeyFilesAreUpgradedAfterTheFirstOpening) {
    struct Case {
        size_t oldSize;
        int idDigests;  // the vault ID is MD5 applied this often to the vault key
    };
    for (Case c : {Case{256, 3}, Case{272, 4}}) {
        SCOPED_TRACE(c.oldSize);
        DeleteFileA(temp.file("Test.vlt").c_str());
        DeleteFileA(temp.file("Test.kvt").c_str());
        VaultStore store(prompts);
        Bytes vaultKey = create(store, "pw");
        fillSample(store);
        ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
        const std::string current = temp.readFile("Test.kvt");
        temp.writeFile("Test.kvt", current.substr(512, c.oldSize));

        VaultStore reopened(prompts);
        reopened.setDBLoc(temp.path());
        reopened.setDBFname("Test");
        ASSERT_TRUE(open(reopened, "pw"));
        const std::string upgraded = temp.readFile("Test.kvt");
        ASSERT_EQ(upgraded.size(), 784u);
        EXPECT_EQ(upgraded.substr(0, 8), current.substr(0, 8));
        EXPECT_EQ(upgraded.substr(24, 744), current.substr(24, 744));
        EXPECT_EQ(slice(upgraded, 8, 16), md5Times(vaultKey, c.idDigests));
        EXPECT_EQ(Bytes(reopened.vaultID(), reopened.vaultID() + 16), md5Times(vaultKey, c.idDigests));
        Bytes chain = slice(upgraded, 768, 16);
        decryptBuffer(chain.data(), chain.data(), 16, vaultKey.data());
        EXPECT_EQ(chain, md5Times(vaultKey, c.idDigests - 1));

        VaultStore third(prompts);
        third.setDBLoc(temp.path());
        third.setDBFname("Test");
        ASSERT_TRUE(open(third, "pw"));
        EXPECT_EQ(temp.readFile("Test.kvt"), upgraded);
    }
}

TEST_F(VaultStoreTest, WrongPasswordNeverUpgradesAnOlderKeyFile) {
    VaultStore store(prompts);
    create(store, "pw");
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string old = temp.readFile("Test.kvt").substr(512, 256);
    temp.writeFile("Test.kvt", old);
    VaultStore reopened(prompts);
    reopened.setDBLoc(temp.path());
    reopened.setDBFname("Test");
    EXPECT_FALSE(open(reopened, "not it"));
    EXPECT_EQ(temp.readFile("Test.kvt"), old);
}

TEST_F(VaultStoreTest, FileKeyChainAndDataKeys) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    const Bytes vaultId(store.vaultID(), store.vaultID() + 16);
    const std::string kvt = temp.readFile("Test.kvt");
    ASSERT_EQ(kvt.size(), 784u);

    std::vector<Bytes> keys;
    for (int i = 0; i < 3; ++i) {
        unsigned char key[16];
        ASSERT_TRUE(store.nextDataKey(key));
        keys.emplace_back(key, key + 16);
        EXPECT_EQ(temp.readFile("Test.kvt").size(), 784u);
    }
    // The chain went T3, MD5(T3), MD5(MD5(T3)); each data key is MD5(chain || vault key).
    Bytes chain = vaultId;
    for (int i = 0; i < 3; ++i) {
        Bytes input = chain;
        input.insert(input.end(), vaultKey.begin(), vaultKey.end());
        EXPECT_EQ(keys[i], md5(input)) << i;
        chain = md5(chain);
    }
    Bytes stored = slice(temp.readFile("Test.kvt"), 768, 16);
    decryptBuffer(stored.data(), stored.data(), 16, vaultKey.data());
    EXPECT_EQ(stored, md5Times(vaultId, 2));
    EXPECT_EQ(temp.readFile("Test.kvt").substr(0, 768), kvt.substr(0, 768));

    // None is the public vault ID or one of its first MD5 iterates.
    for (const Bytes& key : keys) {
        Bytes guess = vaultId;
        for (int i = 0; i <= 10; ++i, guess = md5(guess)) EXPECT_NE(key, guess);
    }
    EXPECT_NE(keys[0], keys[1]);
    EXPECT_NE(keys[1], keys[2]);

    // The chain value in memory was zeroed when it was stored: storing again seals zeros, in place.
    ASSERT_TRUE(store.storeFileKeyChain());
    const std::string after = temp.readFile("Test.kvt");
    ASSERT_EQ(after.size(), 784u);
    Bytes sealed = slice(after, 768, 16);
    decryptBuffer(sealed.data(), sealed.data(), 16, vaultKey.data());
    EXPECT_EQ(sealed, Bytes(16, 0));

    DeleteFileA(temp.file("Test.kvt").c_str());
    unsigned char key[16] = {1};
    EXPECT_FALSE(store.nextDataKey(key));
    EXPECT_EQ(Bytes(key, key + 16), Bytes(16, 0));
    EXPECT_EQ(store.lastFileError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(VaultStoreTest, ChainValueIsAppendedToShortKeyFilesAndReplacedInLongOnes) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    const std::string current = temp.readFile("Test.kvt");
    struct Case {
        const char* what;
        std::string before;
        size_t sizeAfter;
    };
    const Case cases[] = {
        {"key block alone", current.substr(512, 256), 272},
        {"header and key block", current.substr(0, 768), 784},
        {"current layout", current, 784},
        {"a longer file", current + std::string(16, '\x33'), 800},
    };
    for (const Case& c : cases) {
        temp.writeFile("Test.kvt", c.before);
        Bytes previous = slice(c.before, c.before.size() - 16, 16);
        previous = blowfishCBC(false, vaultKey, previous);
        ASSERT_TRUE(store.advanceFileKeyChain()) << c.what;
        ASSERT_TRUE(store.storeFileKeyChain()) << c.what;
        const std::string after = temp.readFile("Test.kvt");
        ASSERT_EQ(after.size(), c.sizeAfter) << c.what;
        const size_t kept = c.sizeAfter - 16;
        EXPECT_EQ(after.substr(0, kept), c.before.substr(0, kept)) << c.what;
        EXPECT_EQ(blowfishCBC(false, vaultKey, slice(after, kept, 16)), md5(previous)) << c.what;
    }
}

TEST_F(VaultStoreTest, FailedWritesLeaveTheOldFilesByteIdentical) {
    DiskFullWriter disk;
    VaultStore store(prompts, nullptr, disk);
    create(store, "pw");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string vlt = temp.readFile("Test.vlt"), kvt = temp.readFile("Test.kvt");
    store.content().userCategories->insertRow({"New", "entry"});

    struct Case {
        const char* what;
        std::function<bool()> operation;  // true when it reported success
    };
    const Case cases[] = {
        {"save", [&] { return store.writeDatabase(store.vaultFilePath()) == srSaved; }},
        {"chain store", [&] { return store.storeFileKeyChain(); }},
        {"data key", [&] {
             unsigned char key[16];
             return store.nextDataKey(key);
         }},
    };
    for (size_t limit : {size_t(0), size_t(100), size_t(150)}) {
        for (const Case& c : cases) {
            prompts.fileErrors.clear();
            disk.limit = limit;
            EXPECT_FALSE(c.operation()) << c.what << " " << limit;
            disk.limit.reset();
            EXPECT_EQ(temp.readFile("Test.vlt"), vlt) << c.what;
            EXPECT_EQ(temp.readFile("Test.kvt"), kvt) << c.what;
            if (std::string(c.what) == "save") {
                ASSERT_EQ(prompts.fileErrors.size(), 1u);
                EXPECT_EQ(prompts.fileErrors[0], (std::pair<DWORD, std::string>{ERROR_DISK_FULL, "your vault"}));
            } else {
                EXPECT_EQ(store.lastFileError(), static_cast<DWORD>(ERROR_DISK_FULL));
            }
        }
    }
    // The upgrade of an older key file, failing: the old file stays and the vault still opens.
    const std::string old = kvt.substr(512, 256);
    temp.writeFile("Test.kvt", old);
    VaultStore reopened(prompts, nullptr, disk);
    reopened.setDBLoc(temp.path());
    reopened.setDBFname("Test");
    prompts.fileErrors.clear();
    disk.limit = 300;
    EXPECT_TRUE(open(reopened, "pw"));
    disk.limit.reset();
    EXPECT_EQ(temp.readFile("Test.kvt"), old);
    ASSERT_EQ(prompts.fileErrors.size(), 1u);
    EXPECT_EQ(prompts.fileErrors[0].second, "your key");
}

TEST_F(VaultStoreTest, LockedFilesAreReportedAndLeftAsTheyWere) {
    VaultStore store(prompts);
    create(store, "pw");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string vlt = temp.readFile("Test.vlt"), kvt = temp.readFile("Test.kvt");
    store.content().userCategories->insertRow({"New", "entry"});

    // Another program holds the file: not shared at all, or shared for reading only.
    for (DWORD share : {DWORD(0), DWORD(FILE_SHARE_READ)}) {
        SCOPED_TRACE(share);
        for (const char* name : {"Test.vlt", "Test.kvt"}) {
            HANDLE held = CreateFileA(temp.file(name).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            prompts.fileErrors.clear();
            const bool vault = std::string(name) == "Test.vlt";
            brimtest::MessageBoxScript boxes(vault && share == 0 ? std::vector<int>{mbrOk} : std::vector<int>{});
            if (vault) {
                EXPECT_EQ(store.writeDatabase(store.vaultFilePath()), srNotSaved);
                ASSERT_EQ(prompts.fileErrors.size(), 1u);
                EXPECT_EQ(prompts.fileErrors[0].second, "your vault");
                if (share == 0) {
                    EXPECT_FALSE(store.readDB(store.vaultFilePath()));
                    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"There was a problem opening the vault."});
                }
            } else {
                unsigned char key[16];
                EXPECT_FALSE(store.nextDataKey(key));
                EXPECT_NE(store.lastFileError(), 0u);
                if (share == 0) {
                    EXPECT_EQ(store.setRandKey(), krFailed);
                    ASSERT_EQ(prompts.fileErrors.size(), 1u);
                    EXPECT_EQ(prompts.fileErrors[0].second, "your key");
                }
            }
            CloseHandle(held);
            EXPECT_EQ(temp.readFile("Test.vlt"), vlt) << name;
            EXPECT_EQ(temp.readFile("Test.kvt"), kvt) << name;
        }
    }
    // Released again: the save goes through, and no temporary file was left behind.
    EXPECT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(temp.file("*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST_F(VaultStoreTest, SavingAVaultDeletedBehindTheProgramsBackWritesNothing) {
    VaultStore store(prompts);
    create(store, "pw");
    DeleteFileA(temp.file("Test.vlt").c_str());
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(store.writeDatabase(store.vaultFilePath()), srNotSaved);
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>{"Brimsafe is unable to locate your vault.  It will not be saved at this time."});
    EXPECT_EQ(boxes.shown()[0].icon, mbiInformation);
    EXPECT_FALSE(temp.exists("Test.vlt"));
}

TEST_F(VaultStoreTest, NothingIsSavedBeforeAKeyWasProved) {
    VaultStore store(prompts);
    create(store, "pw");
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    const std::string vault = temp.readFile("Test.vlt");
    VaultStore unopened(prompts);
    unopened.setDBLoc(temp.path());
    unopened.setDBFname("Test");
    EXPECT_FALSE(open(unopened, "wrong"));
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(unopened.writeDatabase(unopened.vaultFilePath()), srNotSaved);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"There was a problem reading your vault key."});
    EXPECT_EQ(temp.readFile("Test.vlt"), vault);
}

TEST_F(VaultStoreTest, AnotherChosenVaultIsNeverWrittenWithTheOpenVaultsKey) {
    VaultStore store(prompts);
    create(store, "pw");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    // A second vault in the same folder, as another run made it.
    {
        ScriptedPrompts otherPrompts;
        VaultStore other(otherPrompts);
        other.setDBLoc(temp.path());
        other.setDBFname("Other");
        CryptoLibrary library;
        CryptoLibrary::RSA rsa = library.newRSA();
        Bytes seed = seedOf(6);
        rsa->GenerateKeys(qzcrypto::KeyBits, seed.data());
        otherPrompts.answer(1, "other");
        ASSERT_EQ(other.createVaultKeys(library, *rsa, seed.data()), crCreated);
        ASSERT_EQ(other.writeDatabase(other.vaultFilePath()), srSaved);
    }
    const std::string otherVault = temp.readFile("Other.vlt"), otherKey = temp.readFile("Other.kvt");

    // The other vault is chosen; its password was not given (yet).
    store.setDBFname("Other");
    {
        brimtest::MessageBoxScript boxes({mbrOk});
        EXPECT_EQ(store.writeDatabase(store.vaultFilePath()), srNotSaved);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{"There was a problem reading your vault key."});
    }
    unsigned char key[16];
    EXPECT_FALSE(store.nextDataKey(key));
    EXPECT_EQ(temp.readFile("Other.vlt"), otherVault);
    EXPECT_EQ(temp.readFile("Other.kvt"), otherKey);

    // Its own password proves its key; then it is saved as usual.
    ASSERT_TRUE(open(store, "other"));
    EXPECT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    EXPECT_TRUE(store.nextDataKey(key));

    // The same vault named with another letter case is the same vault.
    std::string upper = temp.path();
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    store.setDBLoc(upper);
    EXPECT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
}

TEST_F(VaultStoreTest, CancelledFirstPasswordLeavesNoVaultBehind) {
    VaultStore store(prompts);
    store.setDBLoc(temp.path());
    store.setDBFname("Test");
    CryptoLibrary library;
    CryptoLibrary::RSA rsa = library.newRSA();
    Bytes seed = seedOf(3);
    rsa->GenerateKeys(qzcrypto::KeyBits, seed.data());
    prompts.answer(2);
    EXPECT_EQ(store.createVaultKeys(library, *rsa, seed.data()), crFailed);
    EXPECT_FALSE(temp.exists("Test.vlt"));
    EXPECT_FALSE(temp.exists("Test.kvt"));

    store.setDBLoc(temp.file("no such folder"));
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(store.createVaultKeys(library, *rsa, seed.data()), crFailed);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{
                                 "There was a problem creating your new vault.  We were unable to create the vault file."});
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
}

TEST_F(VaultStoreTest, KeyFileThatCannotBeCreatedLeavesNoVaultBehind) {
    VaultStore store(prompts);
    store.setDBLoc(temp.path());
    store.setDBFname("Test");
    ASSERT_TRUE(CreateDirectoryA(temp.file("Test.kvt").c_str(), nullptr));  // no file can take its place
    CryptoLibrary library;
    CryptoLibrary::RSA rsa = library.newRSA();
    Bytes seed = seedOf(4);
    rsa->GenerateKeys(qzcrypto::KeyBits, seed.data());
    prompts.answer(1, "pw");
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(store.createVaultKeys(library, *rsa, seed.data()), crFailed);
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>{"There was a problem creating your new vault.  We were unable to save your key."});
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
    EXPECT_EQ(boxes.shown()[0].title, "Brimsafe");
    EXPECT_FALSE(temp.exists("Test.vlt")) << "no vault file without its key";
    EXPECT_FALSE(store.hasVaultKey());
    RemoveDirectoryA(temp.file("Test.kvt").c_str());
}

TEST_F(VaultStoreTest, ReadVaultIDLeavesTheBufferAloneWhenUnreadable) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    unsigned char id[16] = {};
    store.readVaultID(id);
    EXPECT_EQ(Bytes(id, id + 16), md5Times(vaultKey, 3));
    temp.writeFile("Test.kvt", std::string(20, 'x'));
    unsigned char untouched[16] = {7, 7};
    store.readVaultID(untouched);
    EXPECT_EQ(untouched[0], 7);
}

TEST_F(VaultStoreTest, StoredCategoryIndexChoosesTheCurrentCategory) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    DWORD three = 3;
    RegSetValueExA(key, "currCat", 0, REG_DWORD, reinterpret_cast<BYTE*>(&three), sizeof three);
    RegCloseKey(key);
    VaultStore store(prompts);
    SecretText text("<category name=\"Encrypted Files\"></category><category name=\"A\"></category>"
                    "<category name=\"B\"></category>");
    store.readVaultText(text);
    EXPECT_EQ(store.content().current->getName(), "B");
    EXPECT_TRUE(text.empty());
}

// A file of the given length without writing its bytes (sparse where the file system allows).
void makeLongFile(const std::string& path, const std::string& start, std::uint64_t length) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, start.data(), static_cast<DWORD>(start.size()), &written, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(length);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
}

TEST_F(VaultStoreTest, AVaultBodyBeyondWhatAVaultCanHoldIsRefusedAsDamagedWithoutReadingIt) {
    VaultStore store(prompts);
    create(store, "pw");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), 0);
    const std::string saved = temp.readFile("Test.vlt");
    const std::string backup =
        makeKeyBackup(temp.readFile("Test.kvt"), passwordKeyFor("pw", saved), {1, 2, 3, 4, 5, 6, 7, 8});
    temp.writeFile("Backup.bkv", backup);
    // About 1 GiB: the size of a damaged file that made the reader hold two blocks of that size.
    makeLongFile(store.vaultFilePath(), saved, 136 + (std::uint64_t(1) << 30));

    std::size_t largestWipe = 0;
    setWipeObserverForTesting([&](const void*, std::size_t n) { largestWipe = std::max(largestWipe, n); });
    struct Case {
        const char* what;
        std::function<bool()> accepted;
    };
    const Case cases[] = {
        {"readDB", [&] { return store.readDB(store.vaultFilePath()).has_value(); }},
        {"verifyKeyFile", [&] { return store.verifyKeyFile(temp.file("Backup.bkv")) == 1; }},
    };
    for (const Case& c : cases) {
        brimtest::MessageBoxScript boxes({mbrOk});
        EXPECT_FALSE(c.accepted()) << c.what;
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{damagedFileText(store.vaultFilePath())}) << c.what;
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
    }
    setWipeObserverForTesting(nullptr);
    EXPECT_LT(largestWipe, std::size_t(1) << 20) << "no buffer of the body's length was ever allocated";
}

TEST_F(VaultStoreTest, TheSmallestLegalBodyOpensToAnEmptyVault) {
    VaultStore store(prompts);
    Bytes vaultKey = create(store, "pw");
    const std::string head = temp.readFile("Test.vlt");
    // The digest of the empty text, its length "0", the space and six filler bytes: 24 bytes.
    std::string plain = stringOf(md5(Bytes())) + "0 " + std::string(6, '\0');
    ASSERT_EQ(plain.size(), MinimumBodyBytes);
    Bytes body = bytesOf(plain);
    encryptBuffer(body.data(), body.data(), body.size(), vaultKey.data());
    temp.writeFile("Test.vlt", head + stringOf(body));

    std::optional<SecretText> text = store.readDB(store.vaultFilePath());
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->empty());
    store.readVaultText(*text);
    EXPECT_EQ(store.content().userCategories, nullptr);
    EXPECT_EQ(store.content().encryptedFiles, nullptr);
    EXPECT_EQ(store.content().current, nullptr);
}

TEST_F(VaultStoreTest, TheDecryptedTextIsWipedInPlaceAfterReading) {
    VaultStore store(prompts);
    create(store, "pw");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), 0);
    std::optional<SecretText> text = store.readDB(store.vaultFilePath());
    ASSERT_TRUE(text);
    const char* storage = text->data();
    const std::size_t length = text->size();
    ASSERT_GT(length, 100u);
    store.readVaultText(*text);
    EXPECT_TRUE(text->empty());
    ASSERT_EQ(text->data(), storage) << "emptying keeps the buffer, so the bytes it held can be looked at";
    std::size_t left = 0;
    for (std::size_t i = 0; i < length; ++i) left += storage[i] != 0;
    EXPECT_EQ(left, 0u) << "every byte the text occupied is zero, not only the string emptied";
    EXPECT_EQ(store.content().userCategories->getName(), "Passwords");
}

TEST_F(VaultStoreTest, ASaveWhoseFlushFailsReportsItAndLeavesTheVaultAsItWas) {
    FlushFailingWriter failing;
    VaultStore store(prompts, nullptr, failing);
    create(store, "pw");
    fillSample(store);
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), 0);
    const std::string vlt = temp.readFile("Test.vlt");
    store.content().userCategories->insertRow({"New", "entry"});

    failing.error = ERROR_IO_DEVICE;
    EXPECT_EQ(store.writeDatabase(store.vaultFilePath()), srNotSaved);
    ASSERT_EQ(prompts.fileErrors.size(), 1u);
    EXPECT_EQ(prompts.fileErrors[0], (std::pair<DWORD, std::string>{ERROR_IO_DEVICE, "your vault"}));
    EXPECT_EQ(temp.readFile("Test.vlt"), vlt) << "the vault is byte for byte what it was";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(temp.file("*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "no temporary file is left: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace
