// A missing or broken crypto library is reported the same way by every vault operation, and the
// trace log shows what an operation did.
#include "vault/VaultStore.h"
#include "tests/vault/VaultTestSupport.h"

#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"
#include "vault/logger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace vaulttest;

// Switches the program's trace log on in the temp folder for one test and hands back its lines
// without their time prefix.
class TraceLogCapture {
public:
    explicit TraceLogCapture(const brimtest::TempFolder& folder) : folder_(folder) {
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        previous_ = previous;
        SetCurrentDirectoryA(folder.path().c_str());
        brimtest::MessageBoxScript boxes({mbrOk});
        traceLog.toggle();
    }
    ~TraceLogCapture() { stop(); }
    std::vector<std::string> lines() {
        stop();
        std::vector<std::string> result;
        std::string text = folder_.exists("Brimsafe.log") ? folder_.readFile("Brimsafe.log") : "";
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = text.substr(start, end - start);
            size_t prefix = line.find(" - ", line.find(" - ") + 3);
            result.push_back(prefix == std::string::npos ? line : line.substr(prefix + 3));
        }
        return result;
    }

private:
    void stop() {
        if (!traceLog.isEnabled()) return;
        brimtest::MessageBoxScript boxes({mbrOk});
        traceLog.toggle();
        SetCurrentDirectoryA(previous_.c_str());
    }
    const brimtest::TempFolder& folder_;
    std::string previous_;
};

class CryptoFailureTest : public brimtest::TempFolderTest {
protected:
    ScriptedPrompts prompts;
};

TEST_F(CryptoFailureTest, EveryOperationReportsAMissingLibrary) {
    VaultStore store(prompts);
    createVault(store, prompts, temp.path(), "pw");
    temp.writeFile("Backup.bkv", std::string(796, 'x'));
    struct Case {
        const char* operation;
        std::function<bool()> succeeded;
    };
    const unsigned char salt[8] = {};
    const Case cases[] = {
        {"writeDatabase", [&] { return store.writeDatabase(store.vaultFilePath()) == srSaved; }},
        {"readDB", [&] { return store.readDB(store.vaultFilePath()).has_value(); }},
        {"setPasswordHash", [&] { return store.setPasswordHash(0, false, false, salt) != prCancelled; }},
        {"setRandKey", [&] { return store.setRandKey() != krFailed; }},
        {"verifyKeyFile", [&] { return store.verifyKeyFile(temp.file("Backup.bkv")) != krFailed; }},
        {"advanceFileKeyChain", [&] { return store.advanceFileKeyChain(); }},
        {"advanceFileKeyChain", [&] {
             unsigned char key[16];
             return store.nextDataKey(key);
         }},
    };
    const std::string vault = temp.readFile("Test.vlt"), key = temp.readFile("Test.kvt");
    store.setCryptoLibraryNameForTesting("NoSuchCryptography.dll");
    for (const Case& c : cases) {
        TraceLogCapture log(temp);
        brimtest::MessageBoxScript boxes({mbrOk});
        EXPECT_FALSE(c.succeeded()) << c.operation;
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{Reinstall}) << c.operation;
        if (!boxes.shown().empty()) {
            EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
            EXPECT_EQ(boxes.shown()[0].title, "Brimsafe");
        }
        std::vector<std::string> lines = log.lines();
        ASSERT_EQ(lines.size(), 2u) << c.operation;
        EXPECT_EQ(lines[0], std::string("failed to load dll in ") + c.operation);
        EXPECT_FALSE(lines[1].empty()) << "the system's text for the error";
        EXPECT_LE(lines[1].size(), 100u);
        DeleteFileA(temp.file("Brimsafe.log").c_str());
    }
    EXPECT_TRUE(prompts.asked.size() == 1) << "no password is asked without the library";
    EXPECT_EQ(temp.readFile("Test.vlt"), vault);
    EXPECT_EQ(temp.readFile("Test.kvt"), key);
}

TEST_F(CryptoFailureTest, BrokenLibrariesAreReportedLikeAMissingOne) {
    VaultStore store(prompts);
    createVault(store, prompts, temp.path(), "pw");
    // A key backup whose layout is sound (its key material need not be).
    std::string backup = std::string(12, '\1') + temp.readFile("Test.kvt");
    temp.writeFile("Backup.bkv", backup);
    for (const char* stub : {"StubCryptoNoRSA.dll", "StubCryptoNullRSA.dll", "StubCryptoNullBuffers.dll"}) {
        store.setCryptoLibraryNameForTesting(stub);
        brimtest::MessageBoxScript boxes({mbrOk, mbrOk});
        EXPECT_EQ(store.setRandKey(), krFailed) << stub;
        EXPECT_EQ(store.verifyKeyFile(temp.file("Backup.bkv")), krFailed) << stub;
        EXPECT_EQ(boxes.texts(), std::vector<std::string>(2, Reinstall)) << stub;
    }
}

TEST_F(CryptoFailureTest, ReadingTheVaultLeavesItsTraceInOrder) {
    VaultStore store(prompts);
    createVault(store, prompts, temp.path(), "pw");
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    TraceLogCapture log(temp);
    ASSERT_TRUE(store.readDB(store.vaultFilePath()));
    std::string damaged = temp.readFile("Test.vlt");
    damaged[136 + 20] ^= 0x40;
    temp.writeFile("Bad.vlt", damaged);
    {
        brimtest::MessageBoxScript boxes({mbrOk});  // the body fails its digest under the vault's own key
        ASSERT_FALSE(store.readDB(temp.file("Bad.vlt")));
    }
    const std::vector<std::string> read = {
        "reading entire vault file (past the salt)", "Decrypting vault file", "done decrypting vault file",
        "close inf", "new dbBuffer", "memset it", "memset hash", "terminate filehash", "scanf", "look for space",
        "add *dbsize to floc", "memcpy into dbbuffer", "memcpy into textouttotal", "and delete it", "md5",
        "free library", "memcmp"};
    std::vector<std::string> expected = read;
    expected.insert(expected.end(), read.begin(), read.end());
    expected.push_back("delete dbBuffer");
    expected.push_back("damaged: " + temp.file("Bad.vlt"));
    EXPECT_EQ(log.lines(), expected);
}

TEST_F(CryptoFailureTest, SecretBuffersAreWipedBeforeTheyAreFreed) {
    VaultStore store(prompts);
    createVault(store, prompts, temp.path(), "pw");
    VaultContent& content = store.content();
    category* c = content.addCategory("Passwords");
    c->addHeader("Password", htOneLine, hsSecret);
    for (int i = 0; i < 50; ++i) c->insertRow({"secret number " + std::to_string(i)});
    const size_t textLength = store.buildVaultText().size();

    std::vector<size_t> wiped;
    setWipeObserverForTesting([&](const void*, size_t n) { wiped.push_back(n); });
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    auto wipedAtLeast = [&](size_t n) {
        for (size_t w : wiped)
            if (w >= n) return true;
        return false;
    };
    EXPECT_TRUE(std::find(wiped.begin(), wiped.end(), vaultfile::bodyLength(textLength)) != wiped.end())
        << "the plain body";
    EXPECT_TRUE(wipedAtLeast(textLength)) << "the vault text";
    wiped.clear();
    ASSERT_TRUE(store.readDB(store.vaultFilePath()));
    EXPECT_TRUE(std::find(wiped.begin(), wiped.end(), vaultfile::bodyLength(textLength)) != wiped.end())
        << "the decrypted body";
    setWipeObserverForTesting(nullptr);
}

}  // namespace
