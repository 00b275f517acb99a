// Files: the user drops a file and a folder on Brimsafe, which encrypts them in place (the plain
// copies wiped, each .vltenc holding exactly the original bytes under the vault's key), runs the
// encrypted file with its program, decrypts a file of the folder, removes the folder from the list
// (which decrypts what is still encrypted in it) and leaves with the file still listed.
#include "tests/acceptance/FileReaders.h"
#include "tests/acceptance/FileSteps.h"
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/acceptance/VaultReaders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

struct UserFile {
    std::string path;
    std::string bytes;
    FILETIME modified{};  // as the user's program left it
};

FILETIME lastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool sameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// A file of the user's, written with a modification time of its own (a day in 2019).
UserFile userFile(const std::string& path, std::size_t size, unsigned seed, WORD day) {
    UserFile file{path, acc::patternBytes(size, seed)};
    acc::writeFileBytes(path, file.bytes);
    SYSTEMTIME when{2019, 3, 0, day, 10, 30, 0, 0};
    SystemTimeToFileTime(&when, &file.modified);
    HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(handle, nullptr, nullptr, &file.modified);
    CloseHandle(handle);
    return file;
}

// Every file ends up plain again with exactly its first bytes and modification time, and no
// encrypted copy is left.
void expectPlainAsBefore(const std::vector<UserFile>& files) {
    for (const UserFile& file : files) {
        EXPECT_TRUE(acc::fileExists(file.path)) << file.path;
        EXPECT_TRUE(acc::readFileBytes(file.path) == file.bytes) << file.path << " changed";
        EXPECT_TRUE(sameTime(lastWriteTime(file.path), file.modified)) << file.path << " has another modified time";
        EXPECT_FALSE(acc::fileExists(file.path + ".vltenc")) << file.path << ".vltenc is left";
    }
}

TEST(Journey, Files) {
    ACC_STEP("prepare a letter and a folder of pictures");
    const std::string home = acc::journeyFolder();
    const std::string pictures = home + "\\Pictures";
    CreateDirectoryA(pictures.c_str(), nullptr);
    const UserFile letter = userFile(home + "\\letter.brimjourney", 123457, 1, 4);
    const UserFile beach = userFile(pictures + "\\beach.raw", 300001, 2, 5);
    const UserFile hills = userFile(pictures + "\\hills.raw", 4100, 3, 6);
    acc::RecordingFileType letterType(".brimjourney", home + "\\opened.txt");

    ACC_STEP("start Brimsafe and create a vault");
    acc::Program brimsafe = acc::Program::start("Brimsafe.exe");
    const acc::NewVault vault{home, "Household", "Sandpiper 42"};
    HWND main = acc::createVaultWithWizard(brimsafe.pid(), vault);
    EXPECT_TRUE(acc::controlShowing(main, "Brimsafe - " + vault.name)) << "the title names the new vault";
    const acc::OpenedVault opened = acc::openVaultFiles(vault.folder, vault.name, vault.password);
    ASSERT_TRUE(opened.ok()) << opened.problems.front();

    ACC_STEP("drop the letter and the folder on the main window");
    acc::dropOnWindow(main, {letter.path, pictures});
    acc::dismissTip(brimsafe.pid());  // how dropped files are kept, shown once the drop is done
    acc::waitUntil(
        [&] {
            for (const UserFile& file : {letter, beach, hills})
                if (acc::fileExists(file.path) || !acc::fileExists(file.path + ".vltenc")) return false;
            return true;
        },
        "the three files encrypted", 60000);
    acc::waitForFileJobsToEnd(main);

    ACC_STEP("the encrypted copies hold the originals under the vault's key");
    for (const UserFile& file : {letter, beach, hills}) {
        SCOPED_TRACE(file.path);
        acc::EncryptedFileHeader header;
        std::string why, plain;
        ASSERT_TRUE(acc::readEncryptedFileHeader(file.path + ".vltenc", header, why)) << why;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(header.vaultID), 16), opened.vaultId);
        EXPECT_EQ(header.vaultName, vault.name);
        EXPECT_EQ(header.plainSize, file.bytes.size());
        EXPECT_TRUE(sameTime(header.lastWriteTime, file.modified)) << "the header keeps the modified time";
        EXPECT_EQ(header.encryptedLength, acc::readFileBytes(file.path + ".vltenc").size());
        ASSERT_TRUE(acc::decryptEncryptedFile(file.path + ".vltenc",
                                              reinterpret_cast<const unsigned char*>(opened.vaultKey.data()), plain,
                                              why))
            << why;
        EXPECT_TRUE(plain == file.bytes) << "the decrypted copy differs from the original";
    }
    // Root, the folder with its two pictures, the letter.
    EXPECT_EQ(acc::treeNodeCount(main), 5);

    ACC_STEP("run the encrypted letter with its program");
    // Folders come first: root, Pictures, its two pictures, then the letter.
    acc::selectTreeRow(main, 4);
    acc::waitUntil([&] { return acc::filePropertiesText(main).find(acc::sizeText(letter.bytes.size())) !=
                                std::string::npos; },
                   "the letter's properties shown");
    acc::click(main, "Open File");
    acc::answerMessage(brimsafe.pid(),
                       "The file will be decrypted in order to run it.  Be sure to encrypt it again when you are done!",
                       "Ok");
    const std::string ran = letterType.waitForOpenedPath();
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, ran.c_str(), -1, letter.path.c_str(), -1),
              CSTR_EQUAL)
        << "the program was asked to open " << ran;
    acc::waitForFileJobsToEnd(main);
    expectPlainAsBefore({letter});

    ACC_STEP("decrypt the first picture of the folder");
    acc::selectTreeRow(main, 2);
    std::string shown;
    acc::waitUntil([&] { return (shown = acc::filePropertiesText(main)).find("File Size:") == 0; },
                   "the picture's properties shown");
    const bool beachFirst = shown.find(acc::sizeText(beach.bytes.size())) != std::string::npos;
    const UserFile& first = beachFirst ? beach : hills;
    const UserFile& second = beachFirst ? hills : beach;
    acc::click(main, "Decrypt");
    acc::waitUntil([&] { return acc::fileExists(first.path) && !acc::fileExists(first.path + ".vltenc"); },
                   "the picture decrypted", 60000);
    acc::waitForFileJobsToEnd(main);
    expectPlainAsBefore({first});
    EXPECT_TRUE(acc::fileExists(second.path + ".vltenc")) << "the other picture stays encrypted";

    ACC_STEP("remove the folder from the list");
    acc::selectTreeRow(main, 1);
    acc::click(main, "KTransRemoveFileButton");
    acc::dismissTip(brimsafe.pid());  // removing decrypts and keeps the files
    acc::waitUntil([&] { return acc::treeNodeCount(main) == 2; }, "the folder gone from the tree", 60000);
    acc::waitForFileJobsToEnd(main);
    expectPlainAsBefore({beach, hills});

    ACC_STEP("leave Brimsafe with the letter listed but plain");
    acc::exitLeavingPlainFiles(brimsafe, main);

    ACC_STEP("check the files, the vault and the job record");
    expectPlainAsBefore({letter, beach, hills});
    const acc::OpenedVault after = acc::openVaultFiles(vault.folder, vault.name, vault.password);
    ASSERT_TRUE(after.ok()) << after.problems.front();
    const acc::VaultRecords records = acc::parseVaultText(after.text);
    const acc::VaultCategory* files = records.find("Encrypted Files");
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->rows.size(), 1u);
    EXPECT_EQ(files->rows[0].at(0), letter.path);
    const acc::JobRecord job = acc::readJobRecord();
    EXPECT_EQ(job.task, "done");
}

}  // namespace
