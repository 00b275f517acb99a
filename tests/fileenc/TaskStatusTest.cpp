// The job record in the registry, the job lock and the clean-up of an interrupted job:
// whatever point a job dies at, the clean-up at the next start leaves the user's data whole.
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobStages.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/CleanUpInterruptedJob.h"
#include "fileenc/TaskStatus.h"

#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <thread>

using namespace fileenctest;

namespace {

std::string rawText(const char* name) {
    brimtest::RawValue value = brimtest::readRawValue(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, name);
    EXPECT_TRUE(value.exists) << name;
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
    std::string text(value.bytes.begin(), value.bytes.end());
    // Wine's registry keeps a terminator on every string value, whatever count it is given.
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

class TaskRecord : public brimtest::FreshRegistry {
protected:
    void TearDown() override {
        SetFileJobStageHookForTesting(nullptr);
        FreshRegistry::TearDown();
    }
    brimtest::TempFolder temp;
};

TEST_F(TaskRecord, IsStoredWithoutTerminatorAndDoneKeepsTheFile) {
    ASSERT_EQ(SetTaskStatus("encrypting", "C:\\a\\b.txt.vltenc"), ERROR_SUCCESS);
    EXPECT_EQ(rawText("currTask"), "encrypting");
    EXPECT_EQ(rawText("currFile"), "C:\\a\\b.txt.vltenc");
    SetTaskStatus("done", "C:\\other.txt");
    EXPECT_EQ(rawText("currTask"), "done");
    EXPECT_EQ(rawText("currFile"), "C:\\a\\b.txt.vltenc");
    SetTaskStatus("Done", "C:\\third.txt");  // only the exact word leaves the file alone
    EXPECT_EQ(rawText("currFile"), "C:\\third.txt");

    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, KEY_SET_VALUE, &key);
    RegSetValueExA(key, "currTask", 0, REG_SZ, reinterpret_cast<const BYTE*>("wiping\0"), 7);
    RegCloseKey(key);
    EXPECT_EQ(*ReadTaskStatus().currTask, "wiping") << "a stored terminator is not part of the text";
}

TEST_F(TaskRecord, CleanUpActsOnlyOnAnUnfinishedRecordWithAFile) {
    const std::string path = temp.file("victim.bin");
    struct Case {
        const char* name;
        const char* task;  // null: no record
        bool withFile;
        CleanUpResult result;
        bool fileStays;
    };
    const Case cases[] = {
        {"no record", nullptr, true, CleanUpResult::NothingToDo, true},
        {"done", "done", true, CleanUpResult::NothingToDo, true},
        {"no file named", "encrypting", false, CleanUpResult::NothingToDo, true},
        {"encrypting", "encrypting", true, CleanUpResult::Wiped, false},
        {"decrypting", "decrypting", true, CleanUpResult::Wiped, false},
        {"wiping", "wiping", true, CleanUpResult::Wiped, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        brimtest::clearProductRegistry();
        writeAll(path, "at risk");
        if (c.task) {
            HKEY key;
            RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr);
            RegSetValueExA(key, "currTask", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.task),
                           static_cast<DWORD>(strlen(c.task)));
            if (c.withFile)
                RegSetValueExA(key, "currFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                               static_cast<DWORD>(path.size()));
            RegCloseKey(key);
        }
        EXPECT_EQ(CleanUpInterruptedJob(), c.result);
        EXPECT_EQ(fileExists(path), c.fileStays);
        if (c.result == CleanUpResult::Wiped) {
            EXPECT_EQ(*ReadTaskStatus().currTask, "done");
        }
    }
    SetTaskStatus("encrypting", temp.file("gone.bin"));
    EXPECT_EQ(CleanUpInterruptedJob(), CleanUpResult::WipeFailed);
    EXPECT_EQ(*ReadTaskStatus().currTask, "done");
}

// Holds the job lock on a thread of its own, as a running job of another process does.
class LockHolder {
public:
    LockHolder() : held_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] {
            FileJobLock lock;
            lock.tryAcquire();
            SetEvent(held_);
            WaitForSingleObject(release_, 30000);
        });
        WaitForSingleObject(held_, 30000);
    }
    ~LockHolder() {
        SetEvent(release_);
        thread_.join();
        CloseHandle(held_);
        CloseHandle(release_);
    }

private:
    HANDLE held_, release_;
    std::thread thread_;
};

TEST_F(TaskRecord, CleanUpLeavesARunningJobAlone) {
    const std::string path = temp.file("running.bin.vltenc");
    writeAll(path, "being written");
    SetTaskStatus("encrypting", path);
    {
        LockHolder otherProcessJob;
        EXPECT_EQ(CleanUpInterruptedJob(), CleanUpResult::JobStillRunning);
        EXPECT_EQ(readAll(path), "being written");
        EXPECT_EQ(*ReadTaskStatus().currTask, "encrypting");
    }
    EXPECT_EQ(CleanUpInterruptedJob(), CleanUpResult::Wiped);
    EXPECT_FALSE(fileExists(path));
}

TEST_F(TaskRecord, CleanUpTakesOverTheLockOfAJobThatDied) {
    const std::string path = temp.file("orphan.bin.vltenc");
    writeAll(path, "half written");
    SetTaskStatus("encrypting", path);
    // A thread that ends while owning the mutex leaves it abandoned, as a killed process does.
    std::thread dead([] {
        HANDLE mutex = CreateMutexA(nullptr, FALSE, FileJobMutexName);
        WaitForSingleObject(mutex, 0);
    });
    dead.join();
    EXPECT_EQ(CleanUpInterruptedJob(), CleanUpResult::Wiped);
    EXPECT_FALSE(fileExists(path));
}

// Where a job dies, and which copy of the data must be there after the clean-up.
enum class Survivor { PlainFile, EncryptedFile, Both };

TEST_F(TaskRecord, AJobInterruptedAtAnyStageLosesNoData) {
    struct Case {
        const char* name;
        bool encrypting;
        FileJobStage stage;
        int occurrence;  // which time the stage is reached
        Survivor survivor;
        CleanUpResult cleanUp;
        const unsigned char* vaultKey;  // of the decryption
    };
    const CleanUpResult wiped = CleanUpResult::Wiped;
    const Case cases[] = {
        {"encryption mid-body", true, FileJobStage::EncryptChunkWritten, 3, Survivor::PlainFile, wiped, TestVaultKey},
        {"encryption before the header", true, FileJobStage::BeforeHeader, 1, Survivor::PlainFile, wiped, TestVaultKey},
        {"encryption before the wipe", true, FileJobStage::BeforeWipe, 1, Survivor::PlainFile, wiped, TestVaultKey},
        {"encryption mid-wipe", true, FileJobStage::WipeBlockWritten, 1, Survivor::EncryptedFile, wiped, TestVaultKey},
        {"encryption before the delete", true, FileJobStage::BeforeDelete, 1, Survivor::EncryptedFile, wiped,
         TestVaultKey},
        {"decryption with its output just made", false, FileJobStage::DecryptTemporaryCreated, 1,
         Survivor::EncryptedFile, wiped, TestVaultKey},
        {"decryption mid-body", false, FileJobStage::DecryptChunkWritten, 2, Survivor::EncryptedFile, wiped,
         TestVaultKey},
        {"decryption after the flush", false, FileJobStage::DecryptOutputFlushed, 1, Survivor::EncryptedFile, wiped,
         TestVaultKey},
        {"decryption of another vault's file, mid-wipe of its output", false, FileJobStage::WipeBlockWritten, 1,
         Survivor::EncryptedFile, wiped, TestVaultID},
        // The record still names the temporary output, which has become the plain file: nothing to wipe.
        {"decryption after the replace, before done", false, FileJobStage::DecryptReplaced, 1, Survivor::Both,
         CleanUpResult::WipeFailed, TestVaultKey},
        {"decryption after done, before the delete", false, FileJobStage::DecryptRecordedDone, 1, Survivor::Both,
         CleanUpResult::NothingToDo, TestVaultKey},
    };
    const std::string plain = patternBytes(30000, 21);  // 29 chunks of 1 KB, several wipe blocks
    const std::string older = patternBytes(40000, 22);  // a plain file the user agreed to replace
    for (const Case& c : cases) {
        for (bool olderPlain : {false, true}) {
            if (c.encrypting && olderPlain) continue;
            SCOPED_TRACE(std::string(c.name) + (olderPlain ? ", over an older plain file" : ""));
            brimtest::clearProductRegistry();
            const std::string path = temp.file("data.bin"), encrypted = path + ".vltenc";
            DeleteFileA(path.c_str());
            DeleteFileA(encrypted.c_str());
            writeAll(path, plain);
            if (!c.encrypting) {
                ASSERT_EQ(encryptFile(path).last.message, WM_FILEJOB_DONE);
                if (olderPlain) writeAll(path, older);
            }
            int reached = 0;
            SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
                if (stage == c.stage && ++reached == c.occurrence) throw FileJobInterrupted();
            });
            JobResult interrupted = c.encrypting ? encryptFile(path) : decryptFile(path, c.vaultKey);
            SetFileJobStageHookForTesting(nullptr);
            ASSERT_TRUE(interrupted.finished);
            ASSERT_EQ(reached, c.occurrence) << "the stage was reached";
            EXPECT_EQ(interrupted.last.message, 0u) << "an interrupted job reports nothing";

            EXPECT_EQ(CleanUpInterruptedJob(), c.cleanUp);
            std::vector<std::string> left = filesIn(temp.path());
            switch (c.survivor) {
            case Survivor::PlainFile:
                EXPECT_EQ(readAll(path), plain);
                EXPECT_EQ(left, std::vector<std::string>{"data.bin"});
                break;
            case Survivor::EncryptedFile:
                if (olderPlain) {
                    EXPECT_EQ(readAll(path), older) << "the older plain file is untouched";
                    EXPECT_EQ(left, (std::vector<std::string>{"data.bin", "data.bin.vltenc"}));
                } else {
                    EXPECT_EQ(left, std::vector<std::string>{"data.bin.vltenc"});
                }
                ASSERT_TRUE(fileExists(encrypted));
                EXPECT_EQ(decryptFile(path).last.message, WM_FILEJOB_DONE);
                EXPECT_EQ(readAll(path), plain);
                break;
            case Survivor::Both:
                EXPECT_EQ(readAll(path), plain);
                EXPECT_EQ(left, (std::vector<std::string>{"data.bin", "data.bin.vltenc"}));
                break;
            }
            EXPECT_EQ(*ReadTaskStatus().currTask, "done");
        }
    }
}

}  // namespace
