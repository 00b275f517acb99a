// The main window as the host of the file jobs, over a real saved vault and the real crypto
// library: the clean-up of an interrupted job at construction, a key file another process holds,
// a round trip through the window's own keys and progress dialog, and one job at a time.
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobStages.h"
#include "fileenc/QZ_Frm_FileEncryption.h"
#include "fileenc/TaskStatus.h"
#include "tests/app/MainWindowTestSupport.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/VaultHolderProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>

namespace {

using mainwintest::MainWindowTest;

std::string bodyOf(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 29 + (i >> 9));
    return bytes;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool isZero(const unsigned char* bytes) {
    for (int i = 0; i < 16; ++i)
        if (bytes[i]) return false;
    return true;
}

class FileJobHostTest : public MainWindowTest {
protected:
    void SetUp() override {
        InitFramework();
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        fwtest::pumpIdle();
    }
};

// A job record left by a run that ended mid-job names a half-written file: the window's
// construction wipes it and records "done", unless another process holds the job lock, when the
// record and the file are left alone.
TEST_F(FileJobHostTest, TheConstructorCleansUpAnInterruptedJobUnlessOneIsRunning) {
    struct Case {
        const char* name;
        bool lockHeld;
        bool fileKept;
        const char* taskAfter;
    };
    const Case cases[] = {
        {"interrupted", false, false, "done"},
        {"another process running a job", true, true, "encrypting"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        temp.writeFile("half.txt.vltenc", bodyOf(3000));
        const std::string half = temp.file("half.txt.vltenc");
        ASSERT_EQ(SetTaskStatus("encrypting", half), ERROR_SUCCESS);
        std::unique_ptr<brimtest::VaultHolderProcess> holder;
        if (c.lockHeld) {
            brimtest::HolderRequest request;
            request.mutexName = FileJobMutexName;
            holder = std::make_unique<brimtest::VaultHolderProcess>(request);
            ASSERT_TRUE(holder->running());
        }
        makeForm();
        EXPECT_EQ(exists(half), c.fileKept);
        TaskStatusRecord record = ReadTaskStatus();
        ASSERT_TRUE(record.currTask.has_value());
        EXPECT_EQ(*record.currTask, c.taskAfter);
        holder.reset();
        form->Free();
        form = nullptr;
        DeleteFileA(half.c_str());
    }
}

// The key file is needed to advance the key chain before every encryption: while another program
// holds it, the file is not encrypted and the user reads why.
TEST_F(FileJobHostTest, AKeyFileHeldElsewhereStopsTheEncryptionWithItsError) {
    openForm();
    const std::string body = bodyOf(5000);
    temp.writeFile("plan.txt", body);
    const std::string plain = temp.file("plan.txt");
    const std::string keyFile = temp.file("Home.kvt");
    const std::string keyBefore = temp.readFile("Home.kvt");
    brimtest::MessageBoxScript script({mbrOk});
    {
        brimtest::HolderRequest request;
        request.heldFile = keyFile;
        brimtest::VaultHolderProcess holder(request);
        ASSERT_TRUE(holder.running());
        EXPECT_EQ(form->fileJobs().encryptSingleFile(plain), fsSkipped);
    }
    EXPECT_EQ(script.texts(),
              std::vector<std::string>{"Brimsafe cannot access plan.txt because it is being used by another program."});
    EXPECT_EQ(temp.readFile("plan.txt"), body);
    EXPECT_FALSE(exists(plain + ".vltenc"));
    EXPECT_EQ(temp.readFile("Home.kvt"), keyBefore);
}

// Encrypted and decrypted through the window's own keys and the progress dialog: the header names
// this vault, each file gets a data key of its own, the key copies are gone after each job, and
// the file comes back byte for byte.
TEST_F(FileJobHostTest, ARoundTripThroughTheWindowsOwnKeys) {
    openForm();
    brimtest::MessageBoxScript script;  // no box is expected
    const std::string body = bodyOf(70000);
    std::string wrappedKeys[2];
    for (int i = 0; i < 2; ++i) {
        temp.writeFile("letter.txt", body);
        const std::string plain = temp.file("letter.txt");
        ASSERT_EQ(form->fileJobs().encryptSingleFile(plain), fsDone);
        EXPECT_FALSE(exists(plain));
        const std::string encrypted = temp.readFile("letter.txt.vltenc");
        ASSERT_GE(encrypted.size(), 512u);
        wrappedKeys[i] = encrypted.substr(28, 16);
        unsigned char id[16] = {};
        TFrm_FileEncryption::ReadVaultID(plain + ".vltenc", id);
        EXPECT_EQ(std::memcmp(id, form->store().vaultID(), 16), 0);
        EXPECT_EQ(TFrm_FileEncryption::ReadVaultName(plain + ".vltenc").value_or(""), "Home");
        EXPECT_TRUE(isZero(TFrm_FileEncryption::Job().VaultKey.data()));
        EXPECT_TRUE(isZero(TFrm_FileEncryption::Job().FileKey.data()));
        EXPECT_FALSE(form->fileJobRunning());

        ASSERT_EQ(form->fileJobs().decryptSingleFile(plain), fsDone);
        EXPECT_EQ(temp.readFile("letter.txt"), body);
        EXPECT_FALSE(exists(plain + ".vltenc"));
        EXPECT_TRUE(isZero(TFrm_FileEncryption::Job().VaultKey.data()));
    }
    EXPECT_NE(wrappedKeys[0], wrappedKeys[1]);
    EXPECT_TRUE(script.texts().empty());
}

// A job asked for while one runs (as a command handled inside the job's modal loop would) is
// refused at once and leaves the running job's record as it was.
TEST_F(FileJobHostTest, ASecondJobIsRefusedWhileOneRuns) {
    openForm();
    brimtest::MessageBoxScript script;
    const std::string body = bodyOf(200 * 1024);
    temp.writeFile("first.bin", body);
    temp.writeFile("second.bin", body);
    const std::string first = temp.file("first.bin"), second = temp.file("second.bin");

    auto reached = std::make_shared<std::atomic<bool>>(false);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    FileJobStageHook previous = SetFileJobStageHookForTesting(
        [reached, release](FileJobStage stage, const std::string&, HANDLE) {
            if (stage != FileJobStage::EncryptChunkWritten || reached->exchange(true)) return;
            WaitForSingleObject(release, 20000);
        });
    FileJobReport refused;
    std::string recordSource;
    bool checked = false;
    fwtest::runLater([&] {
        if (!fwtest::pumpUntil([&] { return reached->load(); }, 20000)) {
            SetEvent(release);
            return;
        }
        FileJobSetup setup;
        setup.sourcePath = second;
        setup.destPath = second + encfile::Extension;
        refused = form->runFileJob(setup);
        recordSource = TFrm_FileEncryption::Job().SourcePath;
        checked = true;
        SetEvent(release);
    });
    EXPECT_EQ(form->fileJobs().encryptSingleFile(first), fsDone);
    SetFileJobStageHookForTesting(previous);
    CloseHandle(release);

    ASSERT_TRUE(checked);
    EXPECT_EQ(refused.modalResult, 2);
    EXPECT_EQ(refused.failKind, static_cast<std::uint32_t>(fjoAnotherJobRunning));
    EXPECT_EQ(recordSource, first);
    EXPECT_EQ(temp.readFile("second.bin"), body);
    EXPECT_FALSE(exists(second + encfile::Extension));
    EXPECT_TRUE(exists(first + encfile::Extension));
    EXPECT_TRUE(script.texts().empty());
}

}  // namespace
