// The real Install.exe and Uninstall.exe on a throwaway install: what is removed, what is kept,
// every box the user meets, and the refusals, each checked on disk and in the registry.
#include "tests/support/MessageBoxReader.h"
#include "tests/support/TempFolder.h"
#include "tests/uninstall/UninstallBoxes.h"
#include "tests/uninstall/UninstallLayout.h"

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>

namespace {

using namespace uninstalltest;
using brimtest::binaryFolder;

constexpr DWORD ProcessDeadlineMs = 30000;
const char* const InstalledNames[12] = {"Brimsafe.exe",     "BrimsafeLite.exe", "QZ_Cryptography.dll",
                                        "Uninstall.exe",    "Tutorial.exe",     "INETWH32.dll",
                                        "Brimsafe.log",     "BrimsafeHelp.cnt", "BRIMSAFEHELP.HLP",
                                        "BRIMSAFEHELP.GID", "ROBOEX32.DLL",     "lockedfile.ico"};
const char* const StartMenuLinks[3] = {"Brimsafe.lnk", "Uninstall Brimsafe.lnk", "Tutorial.lnk"};

struct Expected {
    const char* title;
    const char* text;
    std::vector<std::string> buttons;
    int icon;
};
const Expected Question{"Brimsafe Uninstall", "Are you sure you want to uninstall Brimsafe?", {"yes", "no"}, 1};
const Expected Complete{"Brimsafe Uninstall",
                        "Uninstallation complete.  Your vault has not been deleted and will be available if you "
                        "reinstall Brimsafe.",
                        {"ok"},
                        0};
const Expected Running{"Brimsafe",
                       "Brimsafe is currently running.  Please exit all copies of Brimsafe before continuing.",
                       {"ok"},
                       0};
const Expected Problem{"Brimsafe", "There was a problem running the uninstaller.", {"ok"}, 1};

// The program a shell link starts ("" when it is no readable link).
std::string linkTarget(const std::string& linkPath) {
    std::string target;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t widePath[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
            char path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(widePath, STGM_READ)) && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
                target = path;
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}

void expectBox(const BoxSeen& seen, const Expected& expected) {
    ASSERT_TRUE(seen.found) << "no box for: " << expected.text;
    EXPECT_EQ(seen.title, expected.title);
    EXPECT_EQ(seen.text, expected.text);
    EXPECT_EQ(seen.buttons, expected.buttons) << expected.text;
    EXPECT_EQ(seen.icon, expected.icon) << expected.text;
}

// One run of the uninstaller: the first process from the install folder, then the copy it starts.
class UninstallRun {
public:
    explicit UninstallRun(const Layout& layout, const std::string& program = "") {
        first_ = startWithTemp(program.empty() ? join(layout.installFolder, "Uninstall.exe") : program,
                               layout.tempFolder, layout.installFolder);
        firstId_ = first_ ? GetProcessId(first_.get()) : 0;
    }
    ~UninstallRun() {
        for (HANDLE process : {first_.get(), copy_.get()})
            if (process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 99);
    }
    bool started() const { return firstId_ != 0; }
    DWORD firstId() const { return firstId_; }
    // The first process ends once its copy runs, as a user's reading time would outlast it.
    long firstExit() { return waitForExit(first_.get(), ProcessDeadlineMs); }
    // Waits for the first process, then finds the copy it started (0 when there is none).
    DWORD copyId() {
        if (!copy_ && firstExit() != -1) copy_ = findChildProcess(firstId_, "Uninstall.exe");
        return copy_ ? GetProcessId(copy_.get()) : 0;
    }
    long copyExit() { return copy_ ? waitForExit(copy_.get(), ProcessDeadlineMs) : -1; }

private:
    win32::KernelHandle first_, copy_;
    DWORD firstId_ = 0;
};

// The companion program: a window titled "Brimsafe" that is not the installed program.
class Companion {
public:
    Companion(const std::string& folder, const std::string& watched, bool hung) {
        static int started = 0;
        const std::string tag = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++started);
        record_ = join(folder, "companion_" + tag + ".txt");
        win32::KernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, ("BrimCompanionReady_" + tag).c_str()));
        release_.reset(CreateEventA(nullptr, TRUE, FALSE, ("BrimCompanionRelease_" + tag).c_str()));
        std::string arguments = "--ready BrimCompanionReady_" + tag + " --record \"" + record_ + "\" --watch \"" +
                                watched + "\"";
        if (hung) arguments += " --hung BrimCompanionRelease_" + tag;
        process_ = startWithTemp(join(binaryFolder(), "uninstall_companion.exe"), folder, folder, arguments);
        HANDLE waits[2] = {ready.get(), process_.get()};
        running_ = process_ && WaitForMultipleObjects(2, waits, FALSE, ProcessDeadlineMs) == WAIT_OBJECT_0;
    }
    ~Companion() {
        if (!process_) return;
        SetEvent(release_.get());
        HWND window = FindWindowA("BrimUninstallCompanion", "Brimsafe");
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 99);
    }
    bool running() const { return running_; }
    // One line per WM_COPYDATA: dwData, cbData, lpData null, wParam, the installed Brimsafe.exe existed.
    std::string received() const { return readFile(record_); }

private:
    win32::KernelHandle process_, release_;
    std::string record_;
    bool running_ = false;
};

class UninstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        layout = std::make_unique<Layout>(temp.path() + "\\layout");
        ASSERT_TRUE(layout->installWithPlaceholders()) << "Install.exe did not lay Brimsafe out";
        // Install.exe makes the user's shortcuts; the all-users ones are put beside them.
        CopyFileA(join(layout->desktop, "Brimsafe.lnk").c_str(), join(layout->commonDesktop, "Brimsafe.lnk").c_str(),
                  FALSE);
        CreateDirectoryA(join(layout->commonPrograms, "Quarrendel").c_str(), nullptr);
        CreateDirectoryA(join(layout->commonPrograms, "Quarrendel\\Brimsafe").c_str(), nullptr);
        for (const char* link : StartMenuLinks)
            CopyFileA(join(userMenu(), link).c_str(), join(commonMenu(), link).c_str(), FALSE);
        // Removal checks below mean nothing unless every shortcut was there to remove.
        for (const std::string* desktop : {&layout->commonDesktop, &layout->desktop})
            ASSERT_TRUE(exists(join(*desktop, "Brimsafe.lnk"))) << *desktop;
        for (const std::string& menu : {userMenu(), commonMenu()})
            for (const char* link : StartMenuLinks) ASSERT_TRUE(exists(join(menu, link))) << menu << " " << link;
    }

    std::string userMenu() const { return join(layout->programs, "Quarrendel\\Brimsafe"); }
    std::string commonMenu() const { return join(layout->commonPrograms, "Quarrendel\\Brimsafe"); }

    // Everything an uninstall could touch, to compare before and after.
    std::string snapshot() const {
        std::string all;
        for (const std::string* folder : {&layout->installFolder, &layout->commonDesktop, &layout->desktop,
                                          &layout->commonPrograms, &layout->programs})
            all += "<" + *folder + ">\n" + folderTree(*folder);
        all += registryTree(HKEY_CURRENT_USER, ProductKey);
        all += registryTree(HKEY_LOCAL_MACHINE, UninstallEntryKey);
        for (const char* key : ClassKeys) all += registryTree(HKEY_CLASSES_ROOT, key);
        return all;
    }

    void expectRegistryRemoved() const {
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, SettingsKey));
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, UninstallEntryKey));
        for (const char* key : ClassKeys)
            if (std::string(key) != ".pde") {
                EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, key)) << key;
            }
    }

    void expectShortcutsRemoved() const {
        for (const std::string* desktop : {&layout->commonDesktop, &layout->desktop})
            EXPECT_FALSE(exists(join(*desktop, "Brimsafe.lnk"))) << *desktop;
        for (const std::string* programs : {&layout->commonPrograms, &layout->programs}) {
            EXPECT_FALSE(exists(join(*programs, "Quarrendel"))) << *programs;
            EXPECT_TRUE(exists(*programs));
        }
    }

    // Runs an uninstall answered "Yes" and "Ok"; checks both boxes and both exit codes.
    void uninstallAnsweringYes() {
        UninstallRun run(*layout);
        ASSERT_TRUE(run.started());
        EXPECT_EQ(run.firstExit(), 1);
        DWORD copy = run.copyId();
        ASSERT_NE(copy, 0u) << "the copy in the temp folder did not start";
        expectBox(answerBox(copy, "Yes"), Question);
        expectBox(answerBox(copy, "OK"), Complete);
        EXPECT_EQ(run.copyExit(), 1);
    }

    brimtest::TempFolder temp;
    std::unique_ptr<Layout> layout;
};

TEST_F(UninstallTest, InstallLaysOutTheProgramsSettingsEntryAndAssociations) {
    for (const char* name : {"Brimsafe.exe", "Uninstall.exe", "QZ_Cryptography.dll", "Tutorial.exe"})
        EXPECT_EQ(readFile(join(layout->installFolder, name)), readFile(join(binaryFolder(), name))) << name;
    EXPECT_EQ(readString(HKEY_CURRENT_USER, SettingsKey, "UIL"), layout->installFolder);
    EXPECT_FALSE(readString(HKEY_CURRENT_USER, SettingsKey, "Dliubruc").empty());
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, UninstallEntryKey, "DisplayName"), "Brimsafe");
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, UninstallEntryKey, "UninstallString"),
              "\"" + join(layout->installFolder, "Uninstall.exe") + "\"");
    const std::pair<const char*, const char*> associations[] = {
        {".bvt", "Brimsafe.Backup"},       {".vltenc", "Brimsafe.EncryptedFile"},
        {".vlt", "Brimsafe.DatabaseFile"}, {".kvt", "Brimsafe.DatabaseKeyFile"},
        {".bkv", "Brimsafe.BackupKey"},    {".mvk", "Brimsafe.DatabaseKeyFile"},
        {".pde", "Brimsafe.DatabaseFile"},
    };
    const std::string open = "\"" + join(layout->installFolder, "Brimsafe.exe") + "\" \"%1\"";
    for (const auto& [extension, identifier] : associations) {
        EXPECT_EQ(readString(HKEY_CLASSES_ROOT, extension, nullptr), identifier) << extension;
        EXPECT_EQ(readString(HKEY_CLASSES_ROOT, std::string(identifier) + "\\shell\\open\\command", nullptr), open)
            << identifier;
    }
    const std::pair<std::string, const char*> links[] = {
        {join(layout->desktop, "Brimsafe.lnk"), "Brimsafe.exe"},
        {join(userMenu(), "Brimsafe.lnk"), "Brimsafe.exe"},
        {join(userMenu(), "Uninstall Brimsafe.lnk"), "Uninstall.exe"},
        {join(userMenu(), "Tutorial.lnk"), "Tutorial.exe"},
    };
    for (const auto& [link, program] : links)
        EXPECT_EQ(_stricmp(linkTarget(link).c_str(), join(layout->installFolder, program).c_str()), 0)
            << link << " starts " << linkTarget(link);
}

struct RemovalCase {
    const char* name;
    const char* otherProductKey;    // a subkey of Software\Quarrendel left by another product, or null
    const char* otherProductValue;  // a value of Software\Quarrendel, or null
    bool vaultInInstallFolder;      // the user keeps a vault pair inside the install folder
};

class FullRemovalTest : public UninstallTest, public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(FullRemovalTest, RemovesTheInstallAndKeepsTheUsersVaultsAndOthersKeys) {
    const RemovalCase& removal = GetParam();
    const std::string vaults = removal.vaultInInstallFolder ? layout->installFolder : join(layout->root, "Vaults");
    CreateDirectoryA(vaults.c_str(), nullptr);
    const std::string vaultBytes("BSV\x01\x00\xff vault body", 17), keyBytes("BSK\x02\x00\x80 key body", 15);
    ASSERT_TRUE(writeFile(join(vaults, "Household.vlt"), vaultBytes));
    ASSERT_TRUE(writeFile(join(vaults, "Household.kvt"), keyBytes));
    writeString(HKEY_CURRENT_USER, SettingsKey, "Vaults", vaults + "\\Household");
    // Another program took ".pde" over; ".mvk" was left pointing at nothing.
    writeString(HKEY_CLASSES_ROOT, ".pde", nullptr, "Other.Sketch");
    writeString(HKEY_CLASSES_ROOT, ".mvk", nullptr, "");
    if (removal.otherProductKey) writeString(HKEY_CURRENT_USER, removal.otherProductKey, "Build", "7");
    if (removal.otherProductValue) writeString(HKEY_CURRENT_USER, ProductKey, removal.otherProductValue, "x");

    uninstallAnsweringYes();

    for (const char* name : InstalledNames) EXPECT_FALSE(exists(join(layout->installFolder, name))) << name;
    const std::string parent = join(layout->root, "Programs\\Quarrendel");
    if (removal.vaultInInstallFolder) {
        EXPECT_TRUE(exists(layout->installFolder));
        EXPECT_TRUE(exists(parent));
    } else {
        EXPECT_FALSE(exists(layout->installFolder));
        EXPECT_FALSE(exists(parent));
        EXPECT_TRUE(exists(join(layout->root, "Programs")));
    }
    EXPECT_EQ(readFile(join(vaults, "Household.vlt")), vaultBytes);
    EXPECT_EQ(readFile(join(vaults, "Household.kvt")), keyBytes);
    expectShortcutsRemoved();
    expectRegistryRemoved();
    EXPECT_EQ(readString(HKEY_CLASSES_ROOT, ".pde", nullptr), "Other.Sketch");
    EXPECT_EQ(keyExists(HKEY_CURRENT_USER, ProductKey), removal.otherProductKey || removal.otherProductValue);
    if (removal.otherProductKey) {
        EXPECT_EQ(readString(HKEY_CURRENT_USER, removal.otherProductKey, "Build"), "7");
    }
    EXPECT_EQ(readMarker(), 0);
    EXPECT_TRUE(exists(join(layout->tempFolder, "Uninstall.exe")));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FullRemovalTest,
    ::testing::Values(RemovalCase{"Alone", nullptr, nullptr, false},
                      RemovalCase{"BesideAnotherProduct", "Software\\Quarrendel\\Sketcher", nullptr, false},
                      RemovalCase{"BesideAMakerValue", nullptr, "Owner", false},
                      RemovalCase{"VaultInsideTheInstallFolder", nullptr, nullptr, true}),
    [](const ::testing::TestParamInfo<RemovalCase>& info) { return std::string(info.param.name); });

TEST_F(UninstallTest, AnsweringNoChangesNothingAndSendsNoExitCommand) {
    Companion companion(temp.path(), join(layout->installFolder, "Brimsafe.exe"), false);
    ASSERT_TRUE(companion.running());
    const std::string before = snapshot();
    UninstallRun run(*layout);
    ASSERT_TRUE(run.started());
    EXPECT_EQ(run.firstExit(), 1);
    DWORD copy = run.copyId();
    ASSERT_NE(copy, 0u);
    expectBox(answerBox(copy, "No"), Question);
    EXPECT_EQ(run.copyExit(), 1);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(readMarker(), 0);
    EXPECT_EQ(companion.received(), "");
}

// Closing the question without an answer (its close button or Alt+F4, or a close from elsewhere)
// is a No: nothing is removed.
TEST_F(UninstallTest, ClosingTheQuestionWithoutAnAnswerChangesNothing) {
    const struct {
        const char* how;
        UINT message;
        WPARAM wParam;
    } closes[] = {
        {"close button or Alt+F4", WM_SYSCOMMAND, SC_CLOSE},
        {"close message", WM_CLOSE, 0},
    };
    const std::string before = snapshot();
    for (const auto& close : closes) {
        SCOPED_TRACE(close.how);
        UninstallRun run(*layout);
        ASSERT_TRUE(run.started());
        EXPECT_EQ(run.firstExit(), 1);
        DWORD copy = run.copyId();
        ASSERT_NE(copy, 0u);
        expectBox(answerBox(copy, ""), Question);
        HWND box = brimtest::waitForMessageBox(copy, ProcessDeadlineMs);
        ASSERT_TRUE(box);
        PostMessageA(box, close.message, close.wParam, 0);
        EXPECT_EQ(run.copyExit(), 1);
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(readMarker(), 0);
    }
}

TEST_F(UninstallTest, ExitCommandReachesARunningBrimsafeAfterYesAndBeforeAnyDeletion) {
    Companion companion(temp.path(), join(layout->installFolder, "Brimsafe.exe"), false);
    ASSERT_TRUE(companion.running());
    uninstallAnsweringYes();
    // Command 100, no data, wParam 0, sent while the installed Brimsafe.exe was still there.
    EXPECT_EQ(companion.received(), "100 0 1 0 1\n");
    EXPECT_FALSE(exists(layout->installFolder));
}

TEST_F(UninstallTest, HungBrimsafeWindowDoesNotStopTheUninstall) {
    Companion companion(temp.path(), join(layout->installFolder, "Brimsafe.exe"), true);
    ASSERT_TRUE(companion.running());
    uninstallAnsweringYes();
    EXPECT_FALSE(exists(layout->installFolder));
    expectRegistryRemoved();
}

// A process of the real program started by a test, ended by its id when the test is done, whatever
// it shows at start-up.
struct EndedAtTheEnd {
    win32::KernelHandle process;
    ~EndedAtTheEnd() {
        if (!process) return;
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), ProcessDeadlineMs);
    }
};

TEST_F(UninstallTest, RefusesWhileTheInstalledBrimsafeRuns) {
    const EndedAtTheEnd running{startWithTemp(join(layout->installFolder, "Brimsafe.exe"), layout->tempFolder, layout->installFolder)};
    HANDLE brimsafe = running.process.get();
    ASSERT_TRUE(brimsafe);
    WaitForInputIdle(brimsafe, ProcessDeadlineMs);
    ASSERT_EQ(WaitForSingleObject(brimsafe, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "Brimsafe ended by itself";
    const std::string registryBefore = registryTree(HKEY_LOCAL_MACHINE, UninstallEntryKey) +
                                       readString(HKEY_CURRENT_USER, SettingsKey, "UIL");
    std::string classesBefore;
    for (const char* key : ClassKeys) classesBefore += registryTree(HKEY_CLASSES_ROOT, key);
    const std::string linksBefore = folderTree(layout->desktop) + folderTree(layout->programs);

    {
        UninstallRun run(*layout);
        ASSERT_TRUE(run.started());
        EXPECT_EQ(run.firstExit(), 1);
        DWORD copy = run.copyId();
        ASSERT_NE(copy, 0u);
        expectBox(answerBox(copy, "OK"), Running);
        EXPECT_EQ(run.copyExit(), 1);
    }
    for (const char* name : InstalledNames) EXPECT_TRUE(exists(join(layout->installFolder, name))) << name;
    EXPECT_EQ(registryTree(HKEY_LOCAL_MACHINE, UninstallEntryKey) + readString(HKEY_CURRENT_USER, SettingsKey, "UIL"),
              registryBefore);
    std::string classesAfter;
    for (const char* key : ClassKeys) classesAfter += registryTree(HKEY_CLASSES_ROOT, key);
    EXPECT_EQ(classesAfter, classesBefore);
    EXPECT_EQ(folderTree(layout->desktop) + folderTree(layout->programs), linksBefore);
    EXPECT_EQ(readMarker(), 0);
}

TEST_F(UninstallTest, LogHeldOpenStaysWithItsFolderAndEverythingElseGoes) {
    const std::string log = join(layout->installFolder, "Brimsafe.log");
    win32::FileHandle held(CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    uninstallAnsweringYes();
    for (const char* name : InstalledNames)
        EXPECT_EQ(exists(join(layout->installFolder, name)), std::string(name) == "Brimsafe.log") << name;
    expectShortcutsRemoved();
    expectRegistryRemoved();
}

TEST_F(UninstallTest, MissingShortcutsAndAnEmptyShellFolderAreSkippedSilently) {
    for (const std::string* desktop : {&layout->commonDesktop, &layout->desktop})
        DeleteFileA(join(*desktop, "Brimsafe.lnk").c_str());
    for (const std::string& menu : {userMenu(), commonMenu()}) {
        for (const char* link : StartMenuLinks) DeleteFileA(join(menu, link).c_str());
        RemoveDirectoryA(menu.c_str());
        RemoveDirectoryA(menu.substr(0, menu.find_last_of('\\')).c_str());
    }
    ShellFolderRedirect::set(HKEY_LOCAL_MACHINE, "Common Desktop", "");
    uninstallAnsweringYes();
    EXPECT_FALSE(exists(layout->installFolder));
    expectRegistryRemoved();
}

struct RefusalCase {
    const char* name;
    bool missingInstallFolder;  // UIL names a folder that is not there
    bool heldTempTarget;        // the temp folder's Uninstall.exe is open without sharing
    bool noSettingsKey;         // nothing tells where Brimsafe is installed
};

class RefusalBeforeRelaunchTest : public UninstallTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalBeforeRelaunchTest, ReportsTheProblemChangesNothingAndClearsTheMarker) {
    const RefusalCase& refusal = GetParam();
    if (refusal.missingInstallFolder)
        writeString(HKEY_CURRENT_USER, SettingsKey, "UIL", join(layout->root, "Programs\\Quarrendel\\Gone"));
    win32::FileHandle held;
    if (refusal.heldTempTarget) {
        const std::string target = join(layout->tempFolder, "Uninstall.exe");
        ASSERT_TRUE(writeFile(target, "an older copy"));
        held.reset(CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
    }
    if (refusal.noSettingsKey) RegDeleteTreeA(HKEY_CURRENT_USER, ProductKey);
    const std::string before = snapshot();

    UninstallRun run(*layout);
    ASSERT_TRUE(run.started());
    expectBox(answerBox(run.firstId(), "OK"), Problem);
    EXPECT_EQ(run.firstExit(), 1);
    EXPECT_EQ(run.copyId(), 0u) << "a copy was started";
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(readMarker(), 0);
}

INSTANTIATE_TEST_SUITE_P(Causes, RefusalBeforeRelaunchTest,
                         ::testing::Values(RefusalCase{"InstallFolderMissing", true, false, false},
                                           RefusalCase{"TempTargetHeldOpen", false, true, false},
                                           RefusalCase{"SettingsKeyMissing", false, false, true}),
                         [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// With no install folder to look at, a running Brimsafe is still known by its running-program mutex:
// nothing at all is removed, settings, associations and shortcuts included.
TEST_F(UninstallTest, RefusesWhileBrimsafeRunsEvenWithoutAnInstallFolder) {
    const EndedAtTheEnd running{startWithTemp(join(layout->installFolder, "Brimsafe.exe"), layout->tempFolder, layout->installFolder)};
    ASSERT_TRUE(running.process);
    WaitForInputIdle(running.process.get(), ProcessDeadlineMs);
    ASSERT_EQ(WaitForSingleObject(running.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // The uninstaller runs in place, as after an interrupted relaunch, with UIL naming
    // a folder that is not there.
    writeMarker(1);
    writeString(HKEY_CURRENT_USER, SettingsKey, "UIL", join(layout->root, "Programs\\Quarrendel\\Gone"));
    const std::string before = snapshot();

    UninstallRun run(*layout);
    ASSERT_TRUE(run.started());
    expectBox(answerBox(run.firstId(), "OK"), Running);
    EXPECT_EQ(run.firstExit(), 1);
    EXPECT_EQ(snapshot(), before);
}

// Files of the table's names at the drive's root, made for one test and removed after it.
class DriveRootFiles {
public:
    DriveRootFiles() {
        for (const char* name : InstalledNames) {
            const std::string path = std::string("C:\\") + name;
            if (exists(path)) continue;  // someone else's: never touched
            if (writeFile(path, std::string("not Brimsafe's ") + name)) made_.push_back(path);
        }
    }
    ~DriveRootFiles() {
        for (const std::string& path : made_) DeleteFileA(path.c_str());
    }
    const std::vector<std::string>& made() const { return made_; }

private:
    std::vector<std::string> made_;
};

TEST_F(UninstallTest, MarkerLeftAtOneWithNoInstallFolderRunsInPlaceAndSparesTheDriveRoot) {
    DriveRootFiles rootFiles;
    ASSERT_FALSE(rootFiles.made().empty());
    writeMarker(1);
    writeString(HKEY_CURRENT_USER, SettingsKey, "UIL", "");
    const std::string installedBefore = folderTree(layout->installFolder);

    UninstallRun run(*layout);
    ASSERT_TRUE(run.started());
    expectBox(answerBox(run.firstId(), "Yes"), Question);
    expectBox(answerBox(run.firstId(), "OK"), Complete);
    EXPECT_EQ(run.firstExit(), 1);

    for (const std::string& path : rootFiles.made()) EXPECT_TRUE(exists(path)) << path;
    EXPECT_EQ(folderTree(layout->installFolder), installedBefore);
    EXPECT_FALSE(exists(join(layout->tempFolder, "Uninstall.exe")));
    expectShortcutsRemoved();
    expectRegistryRemoved();
    EXPECT_EQ(readMarker(), 0);
}

}  // namespace
