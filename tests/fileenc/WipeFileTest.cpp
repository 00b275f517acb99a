// The wipe (zeros in whole blocks, flushed, then deleted) and the cluster size behind its block.
#include "fileenc/ClusterSize.h"
#include "fileenc/FileEncryptionJob.h"
#include "fileenc/FileJobStages.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "fileenc/TaskStatus.h"
#include "fileenc/WipeFile.h"

#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace fileenctest;

namespace {

class Wipe : public brimtest::FreshRegistry {
protected:
    void TearDown() override {
        SetFileJobStageHookForTesting(nullptr);
        FreshRegistry::TearDown();
    }
    brimtest::TempFolder temp;
};

TEST_F(Wipe, OverwritesWholeBlocksFlushesThenDeletes) {
    struct Case {
        std::size_t size;
        std::uint32_t block;
        std::size_t overwritten;
        std::vector<WPARAM> progress;
    };
    const Case cases[] = {
        {0, 4096, 0, {100}},
        {1, 4096, 4096, {0, 100}},
        {4096, 4096, 4096, {0, 100}},
        {8192, 4096, 8192, {0, 49, 100}},
        {1, 512, 512, {0, 100}},
        {1300, 512, 1536, {0, 38, 77, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " bytes in blocks of " + std::to_string(c.block));
        const std::string path = temp.file("wipe.bin");
        writeAll(path, patternBytes(c.size));
        std::vector<FileJobStage> stages;
        std::string beforeDelete = "unread";
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string& file, HANDLE) {
            stages.push_back(stage);
            if (stage == FileJobStage::BeforeDelete) beforeDelete = readAll(file);
        });
        JobWindow window;
        WipeReporting reporting{window.handle(), 0, nullptr};
        DWORD error = 12345;
        EXPECT_TRUE(overwriteAndDelete(path, c.block, reporting, &error));
        EXPECT_EQ(error, 0u);
        window.pumpPending();
        EXPECT_FALSE(fileExists(path));
        EXPECT_EQ(beforeDelete, std::string(c.overwritten, '\0')) << "grown to whole blocks of zeros";
        EXPECT_EQ(window.progress(), c.progress);
        ASSERT_GE(stages.size(), 2u);
        EXPECT_EQ(stages[stages.size() - 2], FileJobStage::WipeFlushed) << "flushed before the close and delete";
        EXPECT_EQ(stages.back(), FileJobStage::BeforeDelete);
        EXPECT_EQ(stages.size(), 2 + c.overwritten / c.block);
    }
}

// Where an open file's pointer stands: after a write of the wipe, the end of that write.
std::uint64_t filePointer(HANDLE handle) {
    LARGE_INTEGER zero = {}, at = {};
    SetFilePointerEx(handle, zero, &at, FILE_CURRENT);
    return static_cast<std::uint64_t>(at.QuadPart);
}

TEST_F(Wipe, WritesLargeBlocksOfWholeClustersAndRoundsToACluster) {
    struct Case {
        std::size_t size;
        std::uint32_t cluster, block;
        std::vector<std::uint64_t> ends;  // the file pointer after each write
    };
    const Case cases[] = {
        {9000, 512, 2048, {2048, 4096, 6144, 8192, 9216}},  // last write: two clusters
        {8192, 512, 2048, {2048, 4096, 6144, 8192}},
        {2049, 512, 2048, {2048, 2560}},
        {100, 512, 2048, {512}},
        {5000, 1024, 2500, {2048, 4096, 5120}},             // the block is taken down to whole clusters
        {3000, 4096, 1000, {4096}},                         // never less than a cluster
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " bytes, cluster " + std::to_string(c.cluster) + ", block " +
                     std::to_string(c.block));
        const std::string path = temp.file("blocks.bin");
        writeAll(path, patternBytes(c.size));
        std::vector<std::uint64_t> ends;
        std::string beforeDelete = "unread";
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string& file, HANDLE handle) {
            if (stage == FileJobStage::WipeBlockWritten) ends.push_back(filePointer(handle));
            if (stage == FileJobStage::BeforeDelete) beforeDelete = readAll(file);
        });
        JobPause pause;
        EXPECT_TRUE(overwriteInBlocks(path, c.cluster, c.block, WipeReporting{nullptr, 0, &pause}));
        EXPECT_EQ(ends, c.ends);
        EXPECT_EQ(beforeDelete, std::string(c.ends.back(), '\0'));
        EXPECT_FALSE(fileExists(path));
    }
}

TEST_F(Wipe, TheRecordedWipeWritesAboutAMebibyteAtATime) {
    struct Case {
        std::uint32_t cluster, block;
    };
    const Case cases[] = {{0, 1048576}, {512, 1048576}, {4096, 1048576}, {3000, 1047000}, {2097152, 2097152}};
    for (const Case& c : cases) EXPECT_EQ(WipeWriteBlock(c.cluster), c.block) << c.cluster;

    // A file one byte past the block: a whole block, then one cluster.
    const std::string path = temp.file("large.bin");
    const std::uint32_t cluster = WipeBlockSize(path);
    const std::uint32_t block = WipeWriteBlock(cluster);
    writeAll(path, patternBytes(block + 1));
    std::vector<std::uint64_t> ends;
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE handle) {
        if (stage == FileJobStage::WipeBlockWritten) ends.push_back(filePointer(handle));
    });
    EXPECT_TRUE(WipeFile(path));
    EXPECT_EQ(ends, (std::vector<std::uint64_t>{block, std::uint64_t{block} + cluster}));
    EXPECT_FALSE(fileExists(path));
}

TEST_F(Wipe, RecordsWipingWhileItRunsAndDoneAfter) {
    const std::string path = temp.file("record.bin");
    writeAll(path, patternBytes(10000));
    TaskStatusRecord during;
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
        if (stage == FileJobStage::WipeBlockWritten) during = ReadTaskStatus();
    });
    EXPECT_TRUE(WipeFile(path));
    EXPECT_EQ(*during.currTask, "wiping");
    EXPECT_EQ(*during.currFile, path);
    EXPECT_EQ(*ReadTaskStatus().currTask, "done");
    EXPECT_EQ(*ReadTaskStatus().currFile, path);
}

TEST_F(Wipe, WithoutAWindowPostsNothingToTheCallingThread) {
    // At start-up the wipe runs on the user-interface thread, before any job window exists.
    const std::string path = temp.file("startup.bin");
    writeAll(path, patternBytes(9000));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_TRUE(WipeFile(path));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_FILEJOB_DONE, WM_FILEJOB_FINISHING, PM_REMOVE))
        << "message " << msg.message << " reached the thread's queue";
}

TEST_F(Wipe, AFileThatCannotBeOpenedForWritingStays) {
    const std::string readOnly = temp.file("readonly.bin");
    writeAll(readOnly, "keep me");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    DWORD error = 0;
    EXPECT_FALSE(WipeFile(readOnly, {}, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(readAll(readOnly), "keep me");
    EXPECT_EQ(*ReadTaskStatus().currTask, "done");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_FALSE(WipeFile(temp.file("missing.bin"), {}, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(WipeBlock, ComesFromTheBootSectorOrElseTheFileSystem) {
    brimtest::TempFolder temp;
    const std::string path = temp.file("x.bin");
    ClusterSize reader;
    reader.SetDrive(path[0]);
    const std::uint32_t raw = reader.GetClusterSize();
    char root[] = "a:\\";
    root[0] = path[0];
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters));
    const std::uint32_t expected = raw ? raw : sectorsPerCluster * bytesPerSector;
    std::printf("note: boot sector %s; the wipe uses %u-byte blocks\n", raw ? "read" : "not readable here",
                static_cast<unsigned>(expected));
    EXPECT_EQ(WipeBlockSize(path), expected);
    EXPECT_GE(expected, 512u);
    EXPECT_EQ(WipeBlockSize("\\\\server\\share\\file.txt"), 512u);
    EXPECT_EQ(WipeBlockSize("relative.txt"), 512u);
}

TEST(ClusterSizeReader, TakesOnlyLettersAsDrives) {
    ClusterSize reader;
    EXPECT_EQ(reader.SetDrive('1'), 0);
    EXPECT_EQ(reader.driveLetter(), 0);
    EXPECT_EQ(reader.GetClusterSize(), 0u);
    reader.SetDrive('c');
    EXPECT_EQ(reader.driveLetter(), 'C');
    EXPECT_EQ(reader.method(), ClusterSize::rmNT) << "the NT family reads the raw volume";
}

// A boot sector with the fields the recognition looks at.
std::vector<unsigned char> bootSector(std::uint16_t bytesPerSector, unsigned char sectorsPerCluster,
                                      unsigned char fats, std::uint16_t totalSectors, const char* label16,
                                      const char* label32) {
    std::vector<unsigned char> sector(512, 0);
    sector[11] = static_cast<unsigned char>(bytesPerSector);
    sector[12] = static_cast<unsigned char>(bytesPerSector >> 8);
    sector[13] = sectorsPerCluster;
    sector[16] = fats;
    sector[19] = static_cast<unsigned char>(totalSectors);
    sector[20] = static_cast<unsigned char>(totalSectors >> 8);
    if (label16) std::memcpy(&sector[54], label16, 8);
    if (label32) std::memcpy(&sector[82], label32, 8);
    return sector;
}

TEST(ClusterSizeReader, RecognisesBootSectors) {
    struct Case {
        const char* name;
        std::vector<unsigned char> sector;
        const char* fileSystem;
        int recognised;
        unsigned char type;
        std::uint32_t cluster;
    };
    const Case cases[] = {
        {"NTFS", bootSector(512, 8, 0, 0, nullptr, nullptr), "NTFS", 1, ClusterSize::fsNTFS, 4096},
        {"ntfs in lower case", bootSector(4096, 1, 0, 0, nullptr, nullptr), "ntfs", 1, ClusterSize::fsNTFS, 4096},
        {"FAT32", bootSector(512, 16, 2, 0, nullptr, "FAT32   "), "FAT32", 1, ClusterSize::fsFAT32, 8192},
        {"FAT16", bootSector(512, 4, 2, 0, "FAT16   ", nullptr), "FAT", 1, ClusterSize::fsFAT16, 2048},
        {"FAT12", bootSector(512, 1, 2, 2880, "FAT12   ", nullptr), "FAT", 1, ClusterSize::fsFAT12, 512},
        {"FAT12 with one FAT", bootSector(512, 1, 1, 2880, nullptr, nullptr), "FAT", 0, ClusterSize::fsUnknown, 512},
        {"FAT12 with no small count", bootSector(512, 2, 2, 0, nullptr, nullptr), "FAT", 0, ClusterSize::fsUnknown,
         1024},
        {"FAT12 at the count limit", bootSector(512, 2, 2, 32680, nullptr, nullptr), "FAT", 0,
         ClusterSize::fsUnknown, 1024},
        {"FAT12 with 1024-byte sectors", bootSector(1024, 1, 2, 2880, nullptr, nullptr), "FAT", 0,
         ClusterSize::fsUnknown, 1024},
        {"unknown file system", bootSector(0, 0, 0, 0, nullptr, nullptr), "exFAT", 0, ClusterSize::fsUnknown, 0},
    };
    for (const Case& c : cases) {
        ClusterSize reader;
        EXPECT_EQ(reader.RecogniseBootSector(c.sector.data(), c.fileSystem), c.recognised) << c.name;
        EXPECT_EQ(reader.fileSystemType(), c.type) << c.name;
        EXPECT_EQ(reader.GetClusterSize(), c.cluster) << c.name;
    }
}

}  // namespace
