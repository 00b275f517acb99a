// The journeys' own readers against what the program's writer really makes: files encrypted by
// the file-job worker read back whole, damaged ones refused with the reason, and the job record
// as the program stores it.
#include "tests/acceptance/FileReaders.h"

#include "fileenc/FileEncryptionJob.h"
#include "fileenc/TaskStatus.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace fileenctest;

struct SizeCase {
    std::size_t size;
    std::uint32_t chunk;  // what the layout gives for that size
};

// Sizes around the body's special endings and the chunk-size steps.
const SizeCase Sizes[] = {
    {0, 1024},         // empty body
    {13, 1024},        // short last chunk, zero-filled to a block
    {16, 1024},        // whole-block last chunk: 8 bytes follow that carry nothing
    {2048, 1024},      // whole chunks only
    {40959, 1024},     // last size with the smallest chunk
    {40960, 2048},     // first size with the next chunk
    {300000, 14336},   // many chunks and a short last one
};

TEST(FileReaders, ReadBackWhatTheWorkerWrites) {
    brimtest::TempFolder folder;
    for (const SizeCase& c : Sizes) {
        SCOPED_TRACE("plain size " + std::to_string(c.size));
        const std::string plainPath = folder.file("plain" + std::to_string(c.size) + ".bin");
        const std::string original = patternBytes(c.size, static_cast<unsigned>(c.size) + 7);
        writeAll(plainPath, original);
        const JobResult job = encryptFile(plainPath);
        ASSERT_TRUE(job.finished);
        ASSERT_EQ(job.last.message, WM_FILEJOB_DONE);

        const std::string encrypted = plainPath + ".vltenc";
        acc::EncryptedFileHeader header;
        std::string why;
        ASSERT_TRUE(acc::readEncryptedFileHeader(encrypted, header, why)) << why;
        EXPECT_EQ(header.plainSize, c.size);
        EXPECT_EQ(header.chunkSize, c.chunk);
        EXPECT_EQ(acc::layoutChunkSize(static_cast<std::uint32_t>(c.size)), c.chunk);
        EXPECT_EQ(header.algorithm, 0u);
        EXPECT_EQ(std::memcmp(header.vaultID, TestVaultID, 16), 0);
        EXPECT_EQ(header.vaultName, "My Vault");
        const std::uint64_t fileLength = readAll(encrypted).size();
        EXPECT_EQ(fileLength, 512 + acc::layoutBodyLength(c.size, c.chunk));
        EXPECT_EQ(header.encryptedLength, fileLength);

        std::string plain;
        ASSERT_TRUE(acc::decryptEncryptedFile(encrypted, TestVaultKey, plain, why)) << why;
        EXPECT_TRUE(plain == original);
    }
}

TEST(FileReaders, RefuseDamagedFilesWithTheReason) {
    brimtest::TempFolder folder;
    const std::string plainPath = folder.file("damaged.bin");
    writeAll(plainPath, patternBytes(5000, 3));
    ASSERT_EQ(encryptFile(plainPath).last.message, WM_FILEJOB_DONE);
    const std::string good = readAll(plainPath + ".vltenc");

    struct Damage {
        const char* name;
        std::string bytes;
        const unsigned char* vaultKey;
        const char* reason;
    };
    std::string flipped = good;
    flipped[600] ^= 0x01;
    std::string noMagic = good;
    noMagic[0] = 0;
    std::string longName = good;
    longName.replace(104, 4, "\xFF\xFF\xFF\xFF");
    const Damage damages[] = {
        {"a flipped body byte", flipped, TestVaultKey, "does not match its stored digest"},
        {"another vault's key", good, TestDataKey, "does not match its stored digest"},
        {"a body cut short", good.substr(0, good.size() - 8), TestVaultKey, "has a body of"},
        {"a header cut at 300", good.substr(0, 300), TestVaultKey, "shorter than the 512-byte header"},
        {"no magic", noMagic, TestVaultKey, "magic"},
        {"a name length beyond the header", longName, TestVaultKey, "vault-name length"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        const std::string path = folder.file("damaged.vltenc");
        writeAll(path, damage.bytes);
        std::string plain, why;
        EXPECT_FALSE(acc::decryptEncryptedFile(path, damage.vaultKey, plain, why));
        EXPECT_NE(why.find(damage.reason), std::string::npos) << why;
        EXPECT_TRUE(plain.empty());
    }
}

class JobRecordReader : public brimtest::FreshRegistry {};

TEST_F(JobRecordReader, ReadsTheRecordAsTheProgramStoresIt) {
    EXPECT_FALSE(acc::readJobRecord().hasTask);

    ASSERT_EQ(SetTaskStatus(taskstatus::Encrypting, "C:\\data\\a.txt.vltenc"), ERROR_SUCCESS);
    acc::JobRecord record = acc::readJobRecord();
    EXPECT_TRUE(record.hasTask);
    EXPECT_EQ(record.task, "encrypting");
    EXPECT_EQ(record.file, "C:\\data\\a.txt.vltenc");

    // "done" leaves the file of the last job in place.
    ASSERT_EQ(SetTaskStatus(taskstatus::Done, "C:\\data\\other.txt"), ERROR_SUCCESS);
    record = acc::readJobRecord();
    EXPECT_EQ(record.task, "done");
    EXPECT_EQ(record.file, "C:\\data\\a.txt.vltenc");
}

}  // namespace
