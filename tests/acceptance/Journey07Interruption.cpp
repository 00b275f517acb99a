// Interruption: while Brimsafe encrypts a large file, its process is ended outright (no polite
// close) once the job record names a .vltenc that has grown past its header. At the next start
// the half-written .vltenc is gone, the plain file is exactly as it was, the record reads "done",
// and the vault opens as before without the file listed.
#include "tests/acceptance/FileReaders.h"
#include "tests/acceptance/FileSteps.h"
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/acceptance/VaultReaders.h"

#include <gtest/gtest.h>

namespace {

// Big enough that encrypting it takes many chunks, so the job is caught half-way.
constexpr std::size_t ArchiveBytes = 80u * 1024 * 1024 + 4321;

std::uint64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST(Journey, Interruption) {
    ACC_STEP("prepare a large archive");
    const std::string home = acc::journeyFolder();
    const std::string archive = home + "\\archive.bin";
    const std::string encrypted = archive + ".vltenc";
    const std::string original = acc::patternBytes(ArchiveBytes, 7);
    acc::writeFileBytes(archive, original);

    ACC_STEP("create a vault and leave Brimsafe");
    const acc::NewVault vault{home, "Archives", "Kestrel 7"};
    {
        acc::Program first = acc::Program::start("Brimsafe.exe");
        HWND main = acc::createVaultWithWizard(first.pid(), vault);
        acc::exitWithCtrlQ(first, main);
    }

    ACC_STEP("open the vault again and drop the archive on it");
    acc::Program brimsafe = acc::Program::start("Brimsafe.exe");
    HWND main = acc::openRememberedVault(brimsafe.pid(), vault);
    acc::dropOnWindow(main, {archive});

    ACC_STEP("end Brimsafe while the encrypted copy is half written");
    acc::waitUntil(
        [&] {
            const acc::JobRecord job = acc::readJobRecord();
            if (job.task == "done" && !acc::fileExists(archive))
                acc::failStep("the job finished before it could be interrupted");
            return job.task == "encrypting" && job.file == encrypted && fileSize(encrypted) > 512;
        },
        "the job record naming a .vltenc past its header", 60000);
    brimsafe.terminate();
    ASSERT_TRUE(brimsafe.waitForExit(30000)) << "the process did not end";
    ASSERT_TRUE(acc::fileExists(encrypted)) << "the half-written copy is there before the next start";
    ASSERT_EQ(acc::readJobRecord().task, "encrypting") << "the job got past its encryption before it ended";

    ACC_STEP("start Brimsafe again");
    acc::Program again = acc::Program::start("Brimsafe.exe");
    // The clean-up runs before the vault is asked for.
    acc::waitForWindow(acc::SelectVaultWindow, again.pid(), 60000);
    EXPECT_FALSE(acc::fileExists(encrypted)) << "the half-written .vltenc is still there";
    EXPECT_TRUE(acc::readFileBytes(archive) == original) << "the plain archive changed";
    const acc::JobRecord job = acc::readJobRecord();
    EXPECT_EQ(job.task, "done");
    EXPECT_EQ(job.file, encrypted) << "done keeps the name of the file the job was writing";

    ACC_STEP("the vault opens as before, without the archive listed");
    main = acc::openRememberedVault(again.pid(), vault);
    acc::exitWithCtrlQ(again, main);
    const acc::OpenedVault opened = acc::openVaultFiles(vault.folder, vault.name, vault.password);
    ASSERT_TRUE(opened.ok()) << opened.problems.front();
    const acc::VaultCategory* files = acc::parseVaultText(opened.text).find("Encrypted Files");
    ASSERT_NE(files, nullptr);
    EXPECT_TRUE(files->rows.empty());
    EXPECT_TRUE(acc::readFileBytes(archive) == original);
    EXPECT_FALSE(acc::fileExists(encrypted));
}

}  // namespace
