// The checks and questions before a file job, the messages after it, and the error sentences.
// Each case: files and flags in, scripted answers in; sentences shown, result and flags out.
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobChecks.h"
#include "fileenc/FileJobStages.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/TaskStatus.h"
#include "fileenc/WindowsErrorMessages.h"

#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using namespace fileenctest;

namespace {

const unsigned char DataKeyGiven[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};

// The main window's share, with the real worker behind the "dialog".
class TestHost : public FileJobHost {
public:
    TForm* messageOwner() override { return nullptr; }
    void readVaultID(unsigned char vaultID[16]) override { std::memcpy(vaultID, TestVaultID, 16); }
    std::string vaultName() override { return "My Vault"; }
    std::vector<std::string> vaultFiles() override { return openVaultFiles; }
    bool nextDataKey(unsigned char dataKey[16], DWORD& error) override {
        if (chainFails) {
            error = chainError;
            return false;
        }
        std::memcpy(dataKey, DataKeyGiven, 16);
        return true;
    }
    void copyVaultKey(unsigned char key[16]) override { std::memcpy(key, vaultKey, 16); }
    FileJobReport runFileJob(const FileJobSetup& setup) override {
        ++jobs;
        JobWindow window;
        job.prepare(setup, window.handle());
        job.FinishPauseMs = 0;
        running = &job;
        window.run(setup.encrypting ? EncryptFunc : DecryptFunc, job);
        running = nullptr;
        RecordedMessage last = window.last();
        return {last.message == WM_FILEJOB_DONE ? 1 : 2, static_cast<std::uint32_t>(last.lParam),
                static_cast<DWORD>(last.wParam)};
    }

    std::vector<std::string> openVaultFiles;
    bool chainFails = false;
    DWORD chainError = 0;
    const unsigned char* vaultKey = TestVaultKey;
    int jobs = 0;
    FileEncryptionJob job;  // the one record, reused from job to job as the dialog does
    FileEncryptionJob* running = nullptr;
};

std::string fill(std::string pattern, const std::string& name, const std::string& second = "") {
    std::size_t at = pattern.find("%s");
    if (at != std::string::npos) pattern.replace(at, 2, name);
    at = pattern.find("%s");
    if (at != std::string::npos) pattern.replace(at, 2, second);
    return pattern;
}

const char* const SystemQuestion =
    "%s appears to be a system file or executable.  Are you sure you want to encrypt this file?";
const char* const ReadOnlyQuestion = "%s is flagged READ ONLY.  Are you sure you want to encrypt this file?";
const char* const OverwriteEncryptedQuestion =
    "Brimsafe found an encrypted file with the same name as %s.  This could be the result of a previously aborted "
    "attempt to encrypt this file.  If so, select Yes to overwrite it.  Would you like to continue overwrite it?";
const char* const ProgramFileWarning =
    "You are attempting to encrypt a Brimsafe program file.  These files cannot be encrypted.  This file will be "
    "skipped.";
const char* const InstallFolderWarning =
    "You cannot encrypt files within your Brimsafe install folder.  This file will be skipped.";
const char* const OverwritePlainQuestion =
    "You already have a file decrypted with the name %s.  This could be the result of a previous attempt to decrypt "
    "it.  If so, select Yes to overwrite it.  Would you like to overwrite it?";

struct EncryptFlags {
    bool askReadOnly = true, askSystem = true, notifyEncrypted = true, askOverwrite = true;
    bool operator==(const EncryptFlags& o) const {
        return askReadOnly == o.askReadOnly && askSystem == o.askSystem && notifyEncrypted == o.notifyEncrypted &&
               askOverwrite == o.askOverwrite;
    }
};

class Checks : public brimtest::FreshRegistry {
protected:
    void TearDown() override {
        SetFileJobStageHookForTesting(nullptr);
        FreshRegistry::TearDown();
    }
    FileStep encrypt(const std::string& path, EncryptFlags& flags, bool single = false) {
        return checks.encryptFile(path, single, flags.askReadOnly, flags.askSystem, flags.notifyEncrypted,
                                  flags.askOverwrite);
    }
    brimtest::TempFolder temp;
    TestHost host;
    FileJobChecks checks{host};
};

TEST_F(Checks, EncryptQuestionsFollowTheAnswers) {
    struct Case {
        const char* name;
        const char* file;
        DWORD attributes;
        bool encryptedCopy;
        EncryptFlags in;
        std::vector<int> answers;
        std::vector<const char*> questions;
        FileStep result;
        EncryptFlags out;
    };
    auto flags = [](bool readOnly, bool system, bool overwrite) {
        EncryptFlags f;
        f.askReadOnly = readOnly;
        f.askSystem = system;
        f.askOverwrite = overwrite;
        return f;
    };
    const EncryptFlags all;
    const Case cases[] = {
        {"plain file", "notes.txt", 0, false, all, {}, {}, fsDone, all},
        {"executable, Yes", "setup.exe", 0, false, all, {mbrYes}, {SystemQuestion}, fsDone, all},
        {"library, Yes to All", "lib.dll", 0, false, all, {mbrYesToAll}, {SystemQuestion}, fsDone,
         flags(true, false, true)},
        {"executable, No", "tool.exe", 0, false, all, {mbrNo}, {SystemQuestion}, fsSkipped, all},
        {"executable, Abort", "tool.exe", 0, false, all, {mbrAbort}, {SystemQuestion}, fsStopBatch, all},
        {"executable, not asked any more", "tool.exe", 0, false, flags(true, false, true), {}, {}, fsDone,
         flags(true, false, true)},
        {"system attribute", "notes.txt", FILE_ATTRIBUTE_SYSTEM, false, all, {mbrYes}, {SystemQuestion}, fsDone, all},
        {"extension not at the end", "x.exe.txt", 0, false, all, {}, {}, fsDone, all},
        {"read-only, Yes to All, then overwrite", "ro.txt", FILE_ATTRIBUTE_READONLY, true, all, {mbrYesToAll, mbrYes},
         {ReadOnlyQuestion, OverwriteEncryptedQuestion}, fsDone, flags(false, true, true)},
        {"read-only executable, No to the first", "both.exe", FILE_ATTRIBUTE_READONLY, false, all, {mbrNo},
         {SystemQuestion}, fsSkipped, all},
        {"read-only, not asked any more", "ro.txt", FILE_ATTRIBUTE_READONLY, false, flags(false, true, true), {}, {},
         fsDone, flags(false, true, true)},
        {"encrypted copy, No", "copy.txt", 0, true, all, {mbrNo}, {OverwriteEncryptedQuestion}, fsSkipped, all},
        {"encrypted copy, Abort", "copy.txt", 0, true, all, {mbrAbort}, {OverwriteEncryptedQuestion}, fsStopBatch, all},
        {"encrypted copy, Yes to All", "copy.txt", 0, true, all, {mbrYesToAll}, {OverwriteEncryptedQuestion}, fsDone,
         flags(true, true, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.file(c.file), encrypted = path + ".vltenc";
        const std::string content = patternBytes(3000, 31);
        writeAll(path, content);
        if (c.encryptedCopy) writeAll(encrypted, "left from an aborted attempt");
        else DeleteFileA(encrypted.c_str());
        if (c.attributes) SetFileAttributesA(path.c_str(), c.attributes);
        EncryptFlags f = c.in;
        brimtest::MessageBoxScript script(c.answers);
        EXPECT_EQ(encrypt(path, f), c.result);
        std::vector<std::string> expected;
        for (const char* question : c.questions) expected.push_back(fill(question, c.file));
        EXPECT_EQ(script.texts(), expected);
        for (const MessageBoxRequest& box : script.shown()) {
            EXPECT_EQ(box.buttons, mbsYesAllNoAbort);
            EXPECT_EQ(box.icon, mbiInformation);
            EXPECT_EQ(box.title, "Brimsafe");
        }
        EXPECT_TRUE(f == c.out);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (c.result == 0) {
            EXPECT_FALSE(fileExists(path));
            ASSERT_TRUE(fileExists(encrypted));
            DeleteFileA(encrypted.c_str());
        } else {
            EXPECT_EQ(readAll(path), content) << "a skipped file is untouched";
            DeleteFileA(path.c_str());
            DeleteFileA(encrypted.c_str());
        }
    }
}

TEST_F(Checks, YesToAllHoldsForTheRestOfTheBatchOnlyForItsQuestion) {
    for (const char* file : {"a.txt", "b.exe", "c.txt"}) {
        writeAll(temp.file(file), "content");
        SetFileAttributesA(temp.file(file).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    writeAll(temp.file("c.txt.vltenc"), "left over");
    EncryptFlags batch;
    brimtest::MessageBoxScript script({mbrYesToAll, mbrYes, mbrYes});
    EXPECT_EQ(encrypt(temp.file("a.txt"), batch), fsDone);
    EXPECT_EQ(encrypt(temp.file("b.exe"), batch), fsDone);
    EXPECT_EQ(encrypt(temp.file("c.txt"), batch), fsDone);
    EXPECT_EQ(script.texts(), (std::vector<std::string>{fill(ReadOnlyQuestion, "a.txt"), fill(SystemQuestion, "b.exe"),
                                                        fill(OverwriteEncryptedQuestion, "c.txt")}));
    EXPECT_FALSE(batch.askReadOnly);
    EXPECT_TRUE(batch.askSystem);
    EXPECT_TRUE(batch.askOverwrite);
}

// Escape or the close box at the four-button question answers Abort (the box's
// own tests show that on its real window); Abort stops the whole batch.
TEST_F(Checks, AbortAtTheFourButtonQuestionStopsTheWholeBatch) {
    writeAll(temp.file("tool.exe"), "content");
    brimtest::MessageBoxScript script({mbrAbort});
    EncryptFlags batch;
    EXPECT_EQ(encrypt(temp.file("tool.exe"), batch), -1) << "stop the batch, not skip the file";
    EXPECT_EQ(script.texts().size(), 1u);
    EXPECT_EQ(host.jobs, 0);
    EXPECT_EQ(readAll(temp.file("tool.exe")), "content");
    EXPECT_FALSE(fileExists(temp.file("tool.exe.vltenc")));
}

TEST_F(Checks, ProgramFilesInstallFolderAndEncryptedFilesAreRefused) {
    CreateDirectoryA(temp.file("x.vlt").c_str(), nullptr);
    CreateDirectoryA(temp.file("Vaults.vlt").c_str(), nullptr);
    CreateDirectoryA(temp.file("install").c_str(), nullptr);
    CreateDirectoryA(temp.file("install\\sub").c_str(), nullptr);
    host.openVaultFiles = {temp.file("Vaults.vlt\\My.VLT"), temp.file("Vaults.vlt\\My.KVT")};
    std::string install = temp.file("install");
    for (char& ch : install) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "UIL", 0, REG_SZ, reinterpret_cast<const BYTE*>(install.c_str()),
                   static_cast<DWORD>(install.size()));
    RegCloseKey(key);
    writeAll(temp.file("sealed.txt.vltenc"), smallGoldenFile());

    struct Case {
        const char* file;
        bool single;
        std::string message;  // empty: encrypted without a word
        FileStep result;
    };
    const Case cases[] = {
        {"notes.vlt.txt", true, "", fsDone},
        {"x.vlt\\data.kvt", true, "", fsDone},
        {"a.kvt", true, ProgramFileWarning, fsSkipped},
        {"b.bkv", true, ProgramFileWarning, fsSkipped},
        {"Vaults.vlt\\My.KVT", true, ProgramFileWarning, fsSkipped},  // the open vault's key file, in any folder
        {"Vaults.vlt\\my.kvt", true, ProgramFileWarning, fsSkipped},
        {"Vaults.vlt\\Other.KVT", true, "", fsDone},
        {"install\\program.txt", true, InstallFolderWarning, fsSkipped},
        {"install\\sub\\mine.txt", true, "", fsDone},
        {"sealed.txt.vltenc", true, "The file sealed.txt.vltenc is already encrypted.", fsSkipped},
        {"missing.txt", true,
         "The file missing.txt could not be found.  Perhaps it is on a drive that has been removed or the file has "
         "been deleted.",
         fsSkipped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = temp.file(c.file);
        const bool create = std::string(c.file) != "missing.txt" && std::string(c.file) != "sealed.txt.vltenc";
        if (create) writeAll(path, "content");
        brimtest::MessageBoxScript script(c.message.empty() ? std::vector<int>{} : std::vector<int>{mbrOk});
        EXPECT_EQ(checks.encryptSingleFile(path), c.result);
        if (c.message.empty()) {
            EXPECT_TRUE(script.texts().empty());
            EXPECT_FALSE(fileExists(path));
            EXPECT_TRUE(fileExists(path + ".vltenc"));
        } else {
            ASSERT_EQ(script.texts().size(), 1u);
            EXPECT_EQ(script.texts()[0], c.message);
            EXPECT_EQ(script.shown()[0].buttons, mbsOk);
            const bool warning = c.message == ProgramFileWarning || c.message == InstallFolderWarning;
            EXPECT_EQ(script.shown()[0].icon, warning ? mbiCaution : mbiInformation);
            EXPECT_EQ(script.shown()[0].title, "Brimsafe");
            if (create) {
                EXPECT_EQ(readAll(path), "content");
            }
        }
    }
}

TEST_F(Checks, AnEncryptedFileInABatchIsNotedOnce) {
    writeAll(temp.file("one.txt.vltenc"), smallGoldenFile());
    writeAll(temp.file("two.txt.vltenc"), smallGoldenFile());
    EncryptFlags f;
    brimtest::MessageBoxScript script({mbrOk});
    EXPECT_EQ(encrypt(temp.file("one.txt.vltenc"), f), fsSkipped);
    EXPECT_EQ(encrypt(temp.file("two.txt.vltenc"), f), fsSkipped);
    EXPECT_EQ(script.texts(), std::vector<std::string>{"An encrypted file(s) was found in your list and will be skipped."});
    EXPECT_FALSE(f.notifyEncrypted);
}

TEST_F(Checks, JobOutcomesBecomeMessages) {
    const std::string path = temp.file("report.doc");
    const std::string content = patternBytes(40000, 32);
    auto reset = [&] {
        DeleteFileA((path + ".vltenc").c_str());
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        writeAll(path, content);
    };
    {
        SCOPED_TRACE("in use by another program");
        reset();
        HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        brimtest::MessageBoxScript script({mbrOk});
        EXPECT_EQ(checks.encryptSingleFile(path), fsSkipped);
        CloseHandle(writer);
        EXPECT_EQ(script.texts(), std::vector<std::string>{
                                      "Brimsafe cannot access report.doc because it is being used by another program."});
        EXPECT_EQ(readAll(path), content);
    }
    {
        SCOPED_TRACE("wipe failed");
        reset();
        HANDLE reader = INVALID_HANDLE_VALUE;
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string& file, HANDLE) {
            if (stage == FileJobStage::BeforeWipe)
                reader = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        });
        brimtest::MessageBoxScript script({mbrOk});
        EXPECT_EQ(checks.encryptSingleFile(path), fsDone) << "the file counts as encrypted";
        SetFileJobStageHookForTesting(nullptr);
        CloseHandle(reader);
        EXPECT_EQ(script.texts(),
                  std::vector<std::string>{
                      "report.doc was successfully encrypted, but Brimsafe was unable to securely delete the original "
                      "file.  It could be that the file is in use by another program.  You will need to delete the "
                      "unencrypted file manually."});
    }
    {
        SCOPED_TRACE("stopped");
        reset();
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
            if (stage == FileJobStage::EncryptChunkWritten && host.running) host.running->CancelRequested = true;
        });
        brimtest::MessageBoxScript script;
        EXPECT_EQ(checks.encryptSingleFile(path), fsStopBatch);
        SetFileJobStageHookForTesting(nullptr);
        EXPECT_TRUE(script.texts().empty());
        EXPECT_EQ(readAll(path), content);
        EXPECT_FALSE(fileExists(path + ".vltenc"));
    }
    for (DWORD keyFileError : {static_cast<DWORD>(ERROR_SHARING_VIOLATION), 0ul}) {
        SCOPED_TRACE(keyFileError ? "the key file's chain cannot be advanced" : "the crypto library is missing");
        reset();
        host.chainFails = true;
        host.chainError = keyFileError;
        const int jobsBefore = host.jobs;
        brimtest::MessageBoxScript script(keyFileError ? std::vector<int>{mbrOk} : std::vector<int>{});
        EXPECT_EQ(checks.encryptSingleFile(path), fsSkipped);
        host.chainFails = false;
        EXPECT_EQ(host.jobs, jobsBefore) << "no job ran";
        if (keyFileError)
            EXPECT_EQ(script.texts(), std::vector<std::string>{
                                          "Brimsafe cannot access report.doc because it is being used by another "
                                          "program."});
        else
            EXPECT_TRUE(script.texts().empty()) << "the vault store has told the user already";
        EXPECT_EQ(readAll(path), content);
        EXPECT_FALSE(fileExists(path + ".vltenc"));
    }
    {
        SCOPED_TRACE("the next job after a stopped one");
        reset();
        brimtest::MessageBoxScript script;
        EXPECT_EQ(checks.encryptSingleFile(path), fsDone) << "the earlier stop request is gone";
        EXPECT_TRUE(fileExists(path + ".vltenc"));
        EXPECT_FALSE(fileExists(path));
    }
}

TEST_F(Checks, AMissingCryptoLibraryIsAWarningThatNamesTheDirection) {
    const std::string path = temp.file("nolib.txt");
    host.job.CryptoLibraryNameForTesting = "QZ_Missing_Library.dll";
    struct Case {
        bool encrypting;
        const char* text;
    };
    const Case cases[] = {
        {true, "Some of your files are missing or corrupt.  Please reinstall Brimsafe."},
        {false, "Some of the Brimsafe files are missing or corrupt.  Please reinstall Brimsafe."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encrypting ? "encrypting" : "decrypting");
        DeleteFileA(path.c_str());
        if (c.encrypting) writeAll(path, "content");
        else writeAll(path + ".vltenc", smallGoldenFile());
        brimtest::MessageBoxScript script({mbrOk});
        EXPECT_EQ(c.encrypting ? checks.encryptSingleFile(path) : checks.decryptSingleFile(path), fsSkipped);
        ASSERT_EQ(script.texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(script.shown()[0].buttons, mbsOk);
        EXPECT_EQ(script.shown()[0].icon, mbiCaution);
        EXPECT_EQ(script.shown()[0].title, "Brimsafe");
        EXPECT_TRUE(fileExists(c.encrypting ? path : path + ".vltenc")) << "the file the job started from stays";
        DeleteFileA((path + ".vltenc").c_str());
    }
}

TEST_F(Checks, TheJobRunsWithTheGivenDataKeyWrappedUnderTheVaultKey) {
    const std::string path = temp.file("secret.txt");
    const std::string content = patternBytes(5000, 33);
    writeAll(path, content);
    brimtest::MessageBoxScript script;
    ASSERT_EQ(checks.encryptSingleFile(path), fsDone);
    const std::string file = readAll(path + ".vltenc");
    EXPECT_EQ(blowfishCbcDecrypt(file.substr(28, 16), TestVaultKey),
              std::string(reinterpret_cast<const char*>(DataKeyGiven), 16));
    EXPECT_EQ(file.substr(84, 16), std::string(reinterpret_cast<const char*>(TestVaultID), 16));
    EXPECT_EQ(file.substr(108, 8), "My Vault");
    EXPECT_EQ(checks.decryptSingleFile(path), fsDone);
    EXPECT_EQ(readAll(path), content);
}

TEST_F(Checks, DecryptQuestionsAndNotices) {
    const std::string path = temp.file("data.bin"), encrypted = path + ".vltenc";
    const std::string content = patternBytes(7000, 34);
    auto encryptedCopy = [&] {
        writeAll(path, content);
        brimtest::MessageBoxScript quiet;
        ASSERT_EQ(checks.encryptSingleFile(path), fsDone);
    };
    struct Case {
        const char* name;
        bool plain, encrypted;
        std::vector<int> answers;
        std::vector<std::string> texts;
        FileStep result;
        bool decrypted;
    };
    const Case cases[] = {
        {"nothing in the way", false, true, {}, {}, fsDone, true},
        {"overwrite, Yes", true, true, {mbrYes}, {fill(OverwritePlainQuestion, "data.bin")}, fsDone, true},
        {"overwrite, No", true, true, {mbrNo}, {fill(OverwritePlainQuestion, "data.bin")}, fsSkipped, false},
        {"overwrite, Abort", true, true, {mbrAbort}, {fill(OverwritePlainQuestion, "data.bin")}, fsStopBatch, false},
        {"already decrypted", true, false, {mbrOk}, {"The file data.bin is already decrypted."}, fsSkipped, false},
        {"no encrypted file", false, false, {mbrOk},
         {"The encrypted file data.bin could not be found.  Perhaps it is on a drive that has been removed or the "
          "file has been deleted."},
         fsSkipped, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(path.c_str());
        DeleteFileA(encrypted.c_str());
        if (c.encrypted) encryptedCopy();
        if (c.plain) writeAll(path, "stale");
        brimtest::MessageBoxScript script(c.answers);
        EXPECT_EQ(checks.decryptSingleFile(path), c.result);
        EXPECT_EQ(script.texts(), c.texts);
        if (c.decrypted) {
            EXPECT_EQ(readAll(path), content);
            EXPECT_FALSE(fileExists(encrypted));
        } else if (c.encrypted) {
            EXPECT_TRUE(fileExists(encrypted));
        }
    }
}

TEST_F(Checks, DecryptRefusesOtherVaultsAndDamagedFiles) {
    const std::string path = temp.file("data.bin"), encrypted = path + ".vltenc";
    std::string otherVault = smallGoldenFile();
    otherVault[84] ^= 0x5A;
    std::string otherUnnamed = otherVault;
    std::memset(&otherUnnamed[104], 0, 4);
    std::string shortFile = smallGoldenFile().substr(0, 100);  // magic and the right vault ID, nothing more
    struct Case {
        const char* name;
        std::string bytes;
        const unsigned char* vaultKey;
        std::string text;
    };
    const Case cases[] = {
        {"another vault, named", otherVault, TestVaultKey,
         "The file data.bin was encrypted with the vault \"Golden\" and cannot be decrypted by this one."},
        {"another vault, unnamed", otherUnnamed, TestVaultKey,
         "The file data.bin was encrypted with a different vault and cannot be decrypted by this one."},
        {"100 bytes", shortFile, TestVaultKey, "The file data.bin is not a valid Brimsafe encrypted file."},
        {"wrong vault key", smallGoldenFile(), TestDataKey,
         "The contents of the decrypted file did not match the original file.  This could mean that the file has "
         "been corrupted or that the file was not encrypted with this vault."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(path.c_str());
        writeAll(encrypted, c.bytes);
        host.vaultKey = c.vaultKey;
        brimtest::MessageBoxScript script({mbrOk});
        EXPECT_EQ(checks.decryptSingleFile(path), fsSkipped);
        EXPECT_EQ(script.texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(readAll(encrypted), c.bytes);
        EXPECT_FALSE(fileExists(path));
    }
    host.vaultKey = TestVaultKey;
}

// "Yes" to overwriting a plain file is consent to replace it with the decrypted one, not to lose it
// when the encrypted file turns out to be damaged.
TEST_F(Checks, AFailedDecryptionKeepsThePlainFileTheUserAgreedToReplace) {
    const std::string path = temp.file("data.bin"), encrypted = path + ".vltenc";
    struct Case {
        const char* name;
        std::string bytes;
        const unsigned char* vaultKey;
        std::string text;
    };
    const Case cases[] = {
        {"100 bytes", smallGoldenFile().substr(0, 100), TestVaultKey,
         "The file data.bin is not a valid Brimsafe encrypted file."},
        {"wrong vault key", smallGoldenFile(), TestDataKey,
         "The contents of the decrypted file did not match the original file.  This could mean that the file has "
         "been corrupted or that the file was not encrypted with this vault."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path, "the user's own copy");
        writeAll(encrypted, c.bytes);
        host.vaultKey = c.vaultKey;
        brimtest::MessageBoxScript script({mbrYes, mbrOk});
        EXPECT_EQ(checks.decryptSingleFile(path), fsSkipped);
        EXPECT_EQ(script.texts(), (std::vector<std::string>{fill(OverwritePlainQuestion, "data.bin"), c.text}));
        ASSERT_TRUE(fileExists(path));
        EXPECT_EQ(readAll(path), "the user's own copy");
        EXPECT_EQ(readAll(encrypted), c.bytes);
        EXPECT_EQ(filesIn(temp.path()), (std::vector<std::string>{"data.bin", "data.bin.vltenc"}));
    }
    host.vaultKey = TestVaultKey;
}

TEST_F(Checks, ADecryptedFileInABatchIsNotedOnce) {
    writeAll(temp.file("a.txt"), "a");
    writeAll(temp.file("b.txt"), "b");
    bool notifyDecrypted = true, askOverwrite = true;
    brimtest::MessageBoxScript script({mbrOk});
    EXPECT_EQ(checks.decryptFile(temp.file("a.txt"), false, notifyDecrypted, askOverwrite), fsSkipped);
    EXPECT_EQ(checks.decryptFile(temp.file("b.txt"), false, notifyDecrypted, askOverwrite), fsSkipped);
    EXPECT_EQ(script.texts(), std::vector<std::string>{"A decrypted file(s) was found in the selection of files you are "
                                                       "decrypting and will be skipped."});
    EXPECT_FALSE(notifyDecrypted);
}

TEST_F(Checks, ASecondProgramsRunningJobIsWaitedFor) {
    const std::string path = temp.file("later.txt");
    writeAll(path, "later");
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        FileJobLock lock;
        lock.tryAcquire();
        SetEvent(held);
        WaitForSingleObject(release, 30000);
    });
    WaitForSingleObject(held, 30000);
    brimtest::MessageBoxScript script({mbrOk});
    EXPECT_EQ(checks.encryptSingleFile(path), fsSkipped);
    SetEvent(release);
    other.join();
    CloseHandle(held);
    CloseHandle(release);
    EXPECT_EQ(script.texts(), std::vector<std::string>{"Another Brimsafe window is encrypting or decrypting a file.  "
                                                       "Please try again when it has finished."});
    EXPECT_EQ(readAll(path), "later");
}

TEST(FreeSpace, RootsAndQueries) {
    EXPECT_EQ(freeSpaceRoot("C:\\data\\x.txt"), "C:\\");
    EXPECT_EQ(freeSpaceRoot("\\\\server\\share\\dir\\x.txt"), "\\\\server\\share\\");
    EXPECT_EQ(freeSpaceRoot("relative\\x.txt"), "");
    brimtest::TempFolder temp;
    const std::string root = freeSpaceRoot(temp.path());
    EXPECT_TRUE(enoughFreeSpace(root, 0, false));
    EXPECT_TRUE(enoughFreeSpace(root, 4096, false));
    EXPECT_FALSE(enoughFreeSpace(root, 1ull << 60, false)) << "64-bit sizes are measured whole";
    DWORD drives = GetLogicalDrives();
    for (char letter = 'Z'; letter > 'D'; --letter) {
        if (drives & (1u << (letter - 'A'))) continue;
        EXPECT_TRUE(enoughFreeSpace(std::string(1, letter) + ":\\", 1ull << 60, false)) << "a failing query passes";
        break;
    }
}

TEST(ErrorSentences, NameTheFileWhereTheyShould) {
    struct Case {
        DWORD code;
        const char* text;
    };
    const Case cases[] = {
        {2, "Brimsafe cannot find f.txt.  Perhaps it has been deleted or moved."},
        {8, "Your computer does not have enough memory to perform this operation."},
        {14, "Your computer does not have enough memory to perform this operation."},
        {15, "Brimsafe cannot access the disk that f.txt is located on.  Perhaps the drive has been removed?"},
        {19, "The disk you are trying to use appears to be write protected.  Please make the disk writable and try "
             "again."},
        {32, "Brimsafe cannot access f.txt because it is being used by another program."},
        {33, "Brimsafe cannot access f.txt because it is being used by another program."},
        {39, "There is not enough disk space to perform this operation."},
        {112, "There is not enough disk space to perform this operation."},
    };
    for (const Case& c : cases) EXPECT_EQ(WindowsErrorMessages(c.code, "f.txt"), c.text) << c.code;
    for (DWORD code : {53u, 54u, 55u, 57u, 58u, 59u, 60u, 64u, 65u})
        EXPECT_EQ(WindowsErrorMessages(code, "f.txt"),
                  "It appears that f.txt is on a network drive which is currently inaccessible.  Make sure your "
                  "network is working correctly and try again.")
            << code;
    const std::string other = WindowsErrorMessages(5, "f.txt");
    const std::string start = "There was a problem accessing the file f.txt.  Windows responded with the following "
                              "error:\r\n";
    ASSERT_EQ(other.compare(0, start.size(), start), 0) << other;
    const std::string systemText = other.substr(start.size());
    EXPECT_FALSE(systemText.empty());
    EXPECT_LE(systemText.size(), 150u);
    EXPECT_EQ(systemText.find('\n'), std::string::npos);
}

}  // namespace
