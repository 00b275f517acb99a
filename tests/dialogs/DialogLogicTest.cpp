// The window-free parts of the vault dialogs: the seed's bit layout and cap
// under two appending threads, the cursor sampler's threshold, the known-vault
// list in the registry, the key-file probes and the vault-name checks, the
// password checks' order, and the shortening of the completion page's folder.
#include <gtest/gtest.h>

#include "dialogs/KeySeed.h"
#include "dialogs/KnownVaults.h"
#include "dialogs/PasswordChecks.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VaultHolderProcess.h"

#include <array>
#include <thread>

namespace {

using keyseed::KeySeed;

std::array<unsigned char, 64> seedBytes(const KeySeed& seed) {
    std::array<unsigned char, 64> bytes{};
    seed.copyTo(bytes.data());
    return bytes;
}

TEST(KeySeedTest, PairsFillEachByteFromTheTopDown) {
    struct Case {
        const char* what;
        std::vector<unsigned> pairs;
        std::vector<unsigned char> expected;  // the first bytes
    } cases[] = {
        {"first pair in the two top bits", {3}, {0xC0}},
        {"four pairs make the first byte", {1, 2, 3, 0}, {0x6C}},
        {"the fifth pair starts the second byte", {3, 3, 3, 3, 2}, {0xFF, 0x80}},
        {"only the low two bits count", {7, 0xFD}, {0xD0}},
    };
    for (const Case& c : cases) {
        KeySeed seed;
        for (unsigned pair : c.pairs) seed.appendPair(pair);
        auto bytes = seedBytes(seed);
        for (std::size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(bytes[i], c.expected[i]) << c.what << " byte " << i;
        EXPECT_EQ(seed.bitCount(), static_cast<int>(2 * c.pairs.size())) << c.what;
    }
}

TEST(KeySeedTest, NothingIsAppendedPastFiveHundredTwelveBitsAndThePercentTruncates) {
    KeySeed seed;
    const std::pair<int, int> meter[] = {{2, 0}, {4, 0}, {6, 1}, {256, 50}, {510, 99}, {512, 100}};
    std::size_t next = 0;
    for (int pair = 0; pair < 256; ++pair) {
        int count = seed.appendPair(pair % 4);
        if (next < std::size(meter) && count == meter[next].first) {
            EXPECT_EQ(seed.percent(), meter[next].second) << "at " << count << " bits";
            ++next;
        }
    }
    EXPECT_EQ(next, std::size(meter));
    auto before = seedBytes(seed);
    EXPECT_EQ(seed.appendPair(3), 512);
    EXPECT_EQ(seed.bitCount(), 512);
    EXPECT_EQ(seedBytes(seed), before);
    EXPECT_TRUE(seed.full());
}

TEST(KeySeedTest, TwoThreadsAppendingEndAtFiveHundredTwelveBitsWithOnlyTheirPairs) {
    KeySeed seed;
    auto appender = [&](unsigned pair) {
        for (int i = 0; i < 1000; ++i) seed.appendPair(pair);
    };
    std::thread a(appender, 1u), b(appender, 2u);
    a.join();
    b.join();
    EXPECT_EQ(seed.bitCount(), 512);
    for (unsigned char byte : seedBytes(seed))
        for (int shift = 0; shift < 8; shift += 2) {
            unsigned pair = byte >> shift & 3;
            EXPECT_TRUE(pair == 1 || pair == 2) << "pair " << pair << " in byte " << int(byte);
        }
}

TEST(KeySeedTest, TheSamplerWantsFiftyPixelsOnBothAxesFromTheLastAcceptedPosition) {
    keyseed::CursorSampler sampler;
    const struct {
        POINT at;
        bool accepted;
    } moves[] = {
        {{49, 200}, false}, {{200, 49}, false}, {{50, 50}, true},  {{99, 100}, false},
        {{100, 100}, true}, {{50, 150}, true},  {{0, 100}, true},  {{-50, 50}, true},
    };
    for (const auto& move : moves)
        EXPECT_EQ(sampler.accept(move.at), move.accepted) << move.at.x << "," << move.at.y;
}

TEST(KeySeedTest, KeyReleasePairsComeFromTheMillisecondDifference) {
    EXPECT_EQ(keyseed::keyReleasePair(500, 500), 0u);
    EXPECT_EQ(keyseed::keyReleasePair(998, 1), 1u);  // 997 & 3
    EXPECT_EQ(keyseed::keyReleasePair(3, 10), 3u);
    EXPECT_EQ(keyseed::keyReleasePair(10, 3), 3u);
}

TEST(PasswordChecksTest, AMismatchIsReportedBeforeABlankPassword) {
    using passwordchecks::NewPasswordCheck;
    const struct {
        const char *first, *second;
        NewPasswordCheck expected;
    } cases[] = {
        {"", "", NewPasswordCheck::AskBlank},
        {"", "x", NewPasswordCheck::Mismatch},
        {"Secret", "secret", NewPasswordCheck::Mismatch},
        {"Secret ", "Secret", NewPasswordCheck::Mismatch},
        {"Secret", "Secret", NewPasswordCheck::Accept},
    };
    for (const auto& c : cases)
        EXPECT_EQ(passwordchecks::checkNewPassword(c.first, c.second), c.expected) << c.first << "|" << c.second;
}

TEST(VaultNamesTest, PathsNamesAndExtensions) {
    using namespace knownvaults;
    EXPECT_EQ(stripVaultExtension("C:\\v\\notes.vlt"), "C:\\v\\notes");
    EXPECT_EQ(stripVaultExtension("C:\\v\\notes.VLT"), "C:\\v\\notes");
    EXPECT_EQ(stripVaultExtension("C:\\v\\notes.vltx"), "C:\\v\\notes.vltx");
    EXPECT_EQ(stripVaultExtension("C:\\v.vlt\\notes.pde"), "C:\\v.vlt\\notes.pde");
    EXPECT_TRUE(sameVaultName("Home", "home"));
    EXPECT_FALSE(sameVaultName("Home", "Homes"));
    EXPECT_EQ(folderOf("C:\\a b\\My Vault"), "C:\\a b");
    EXPECT_EQ(nameOf("C:\\a b\\My Vault"), "My Vault");
    EXPECT_EQ(cutExtension("C:\\a.b\\vault.vlt"), "C:\\a.b\\vault");
    for (const char* bad : {"a\\b", "a/b", "c:", "a*", "what?", "\"q\"", "<x", "x>", "a|b", "..\\up"})
        EXPECT_FALSE(isValidVaultName(bad)) << bad;
    for (const char* good : {"My Vault", "home.2024", "Ünïcode-ish", ".."})
        EXPECT_TRUE(isValidVaultName(good)) << good;
}

TEST(VaultNamesTest, TheCompletionFolderKeepsItsLastPartWhole) {
    // One character is one unit wide here; the room is 20 units.
    auto fitsIn20 = [](const std::string& text) { return text.size() <= 20; };
    const struct {
        const char *path, *shown;
    } cases[] = {
        {"D:", "D:\\"},
        {"C:\\Vaults", "C:\\Vaults"},
        {"C:\\Documents\\Private\\Vaults", "C:\\Documen...\\Vaults"},
        {"C:\\x\\AVeryLongFolderNameIndeed", "...\\AVeryLongFolderNameIndeed"},
    };
    for (const auto& c : cases) EXPECT_EQ(knownvaults::fitFolderText(c.path, fitsIn20), c.shown) << c.path;
}

class KnownVaultsTest : public brimtest::FreshRegistry {
protected:
    brimtest::TempFolder temp;
    void writeValue(const std::string& name, const std::string& data) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    // A vault file and a key file whose ID is sixteen times `idByte` and whose magic is right.
    std::string makeVault(const std::string& name, unsigned char idByte) {
        temp.writeFile(name + ".vlt", std::string(136, 'v'));
        std::string key(784, '\0');
        for (int i = 8; i < 24; ++i) key[i] = static_cast<char>(idByte);
        const unsigned char magic[4] = {0x11, 0x07, 0xEA, 0x3D};
        for (int i = 0; i < 4; ++i) key[24 + i] = static_cast<char>(magic[i]);
        temp.writeFile(name + ".kvt", key);
        return temp.file(name);
    }
};

TEST_F(KnownVaultsTest, TheListShowsExistingVaultsAndLeavesMissingOnesInTheRegistry) {
    const std::string home = makeVault("Home", 1), work = makeVault("Work", 2), fallback = makeVault("Old", 3);
    writeValue("Home", home);
    writeValue("Gone", temp.file("Gone"));
    writeValue("", fallback);
    writeValue("Work", work);
    std::vector<std::pair<std::string, std::string>> listed;
    for (const auto& vault : knownvaults::readKnownVaults()) listed.emplace_back(vault.displayName, vault.path);
    std::sort(listed.begin(), listed.end());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Default", fallback}, {"Home", home}, {"Work", work}};
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(brimtest::readRawValue(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", "Gone").exists);
}

TEST_F(KnownVaultsTest, RegisteringWritesTheTextWithoutATerminatingZero) {
    const std::string path = temp.file("Family Vault");
    knownvaults::registerVault(path);
    brimtest::RawValue value =
        brimtest::readRawValue(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", "Family Vault");
    ASSERT_TRUE(value.exists);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    std::string bytes(value.bytes.begin(), value.bytes.end());
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();  // the registry may add one of its own
    EXPECT_EQ(bytes, path);
}

TEST_F(KnownVaultsTest, KeyFilesAreFoundByIdAndCheckedByMagic) {
    const std::string home = makeVault("Home", 0x11), work = makeVault("Work", 0x22);
    temp.writeFile("Broken.kvt", std::string(40, 'x'));
    std::vector<knownvaults::KnownVault> vaults = {{"Missing", temp.file("Missing")}, {"Home", home}, {"Work", work}};
    unsigned char id[16];
    std::fill(std::begin(id), std::end(id), 0x22);
    auto found = knownvaults::findVaultById(vaults, id);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, work);
    std::fill(std::begin(id), std::end(id), 0x33);
    EXPECT_FALSE(knownvaults::findVaultById(vaults, id));

    using knownvaults::KeyFileCheck;
    EXPECT_EQ(knownvaults::checkKeyFile(home + ".kvt"), KeyFileCheck::Valid);
    EXPECT_EQ(knownvaults::checkKeyFile(temp.file("Broken.kvt")), KeyFileCheck::WrongMagic);
    EXPECT_EQ(knownvaults::checkKeyFile(temp.file("Missing.kvt")), KeyFileCheck::Unreadable);
}

TEST_F(KnownVaultsTest, TheOpenVaultProbeSeesAnotherProcessAndLeavesNoMutex) {
    unsigned char id[16];
    for (int i = 0; i < 16; ++i) id[i] = static_cast<unsigned char>(0xA0 + i);
    const std::string name = knownvaults::mutexNameOf(id);
    EXPECT_EQ(name, "a0a1a2a3a4a5a6a7a8a9aaabacadaeaf");
    EXPECT_FALSE(knownvaults::vaultIsOpenElsewhere(id));
    HANDLE left = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    EXPECT_EQ(left, nullptr) << "the probe left its mutex behind";
    if (left) CloseHandle(left);
    {
        brimtest::VaultHolderProcess holder({name, "", "", false});
        ASSERT_TRUE(holder.running());
        EXPECT_TRUE(knownvaults::vaultIsOpenElsewhere(id));
    }
}

}  // namespace
