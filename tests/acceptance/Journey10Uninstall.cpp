// Journey: the user uninstalls Brimsafe. Tried while Brimsafe runs with a vault open, the uninstaller
// refuses and changes nothing; once Brimsafe is closed it asks, removes the program files, the
// shortcuts, the settings, the uninstall entry and the file types the installer made, and keeps every
// vault and backup byte for byte: the one Brimsafe made and others the user keeps elsewhere.
//
// Tricky points:
// - Uninstall.exe copies itself to the temp folder, starts the copy and ends: the boxes the user answers
//   are the copy's, found by its process id (the child of the first one), never by title alone.
// - What the install made is read from the machine itself (the shell folders, the classes key) before
//   anything runs, so the removal checks test what was really there.
#include "framework/Win32Handles.h"
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/Prompts.h"
#include "tests/acceptance/UserSteps.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

using namespace acc;

constexpr char SettingsKey[] = "Software\\Quarrendel\\Brimsafe";
constexpr char MakerKey[] = "Software\\Quarrendel";
constexpr char UninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{2F8B6D14-90AE-4C53-B7E2-31A4C9D05E68}";
constexpr char ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const ClassKeys[] = {".bvt",
                                 ".vltenc",
                                 ".vlt",
                                 ".kvt",
                                 ".bkv",
                                 ".mvk",
                                 ".pde",
                                 "Brimsafe.Backup",
                                 "Brimsafe.EncryptedFile",
                                 "Brimsafe.DatabaseFile",
                                 "Brimsafe.DatabaseKeyFile",
                                 "Brimsafe.BackupKey"};
const char* const StartMenuLinks[] = {"Brimsafe.lnk", "Uninstall Brimsafe.lnk", "Tutorial.lnk"};

const char* const RunningText =
    "Brimsafe is currently running.  Please exit all copies of Brimsafe before continuing.";
const char* const QuestionText = "Are you sure you want to uninstall Brimsafe?";
const char* const CompleteText =
    "Uninstallation complete.  Your vault has not been deleted and will be available if you reinstall Brimsafe.";

bool keyExists(HKEY root, const std::string& path) {
    win32::RegistryKeyHandle key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

std::string readText(HKEY root, const std::string& path, const char* name) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return "";
    return buffer;
}

DWORD readMarker() {
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    RegGetValueA(HKEY_CLASSES_ROOT, "pmTni", nullptr, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

std::string join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

bool folderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    win32::FileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        failStep("cannot write " + path);
}

// Every file and folder below `folder` with its size, one line each ("" when it is missing).
std::string folderListing(const std::string& folder) {
    std::string listing;
    WIN32_FIND_DATAA found;
    win32::FindHandle search(FindFirstFileA(join(folder, "*").c_str(), &found));
    if (!search) return listing;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listing += join(folder, name) + "\\\n" + folderListing(join(folder, name));
        else
            listing += join(folder, name) + " " + std::to_string(found.nFileSizeLow) + "\n";
    } while (FindNextFileA(search.get(), &found));
    return listing;
}

// What the installer made on this machine, read back before the uninstall runs.
struct Installed {
    std::string programFolder;  // the install folder
    std::string makerFolder;    // its parent, "...\Quarrendel"
    std::string desktop;        // the user's desktop folder
    std::string startMenu;      // the user's Start-menu programs folder
    std::vector<std::string> programFiles;

    std::string desktopLink() const { return join(desktop, "Brimsafe.lnk"); }
    std::string menuFolder() const { return join(startMenu, "Quarrendel\\Brimsafe"); }

    // Everything an uninstall could touch, to compare before and after a refusal.
    std::string snapshot() const {
        std::string all = folderListing(programFolder) + folderListing(join(startMenu, "Quarrendel"));
        all += std::to_string(fileExists(desktopLink())) + "\n";
        for (const char* key : ClassKeys) all += std::string(key) + " " + readText(HKEY_CLASSES_ROOT, key, nullptr) + "\n";
        all += readText(HKEY_LOCAL_MACHINE, UninstallEntryKey, "UninstallString") + "\n";
        all += readText(HKEY_CURRENT_USER, SettingsKey, "UIL") + "\n";
        return all;
    }
};

Installed findTheInstall() {
    Installed installed;
    installed.programFolder = installFolder();
    installed.makerFolder = installed.programFolder.substr(0, installed.programFolder.find_last_of('\\'));
    installed.desktop = readText(HKEY_CURRENT_USER, ShellFoldersKey, "Desktop");
    installed.startMenu = readText(HKEY_CURRENT_USER, ShellFoldersKey, "Programs");
    if (installed.desktop.empty() || installed.startMenu.empty()) failStep("the user has no desktop or Start menu");

    for (const char* name : {"Brimsafe.exe", "Uninstall.exe", "QZ_Cryptography.dll", "Tutorial.exe",
                             "BRIMSAFEHELP.HLP"}) {
        const std::string path = join(installed.programFolder, name);
        EXPECT_TRUE(fileExists(path)) << path;
        installed.programFiles.push_back(path);
    }
    EXPECT_TRUE(fileExists(installed.desktopLink()));
    for (const char* link : StartMenuLinks) EXPECT_TRUE(fileExists(join(installed.menuFolder(), link))) << link;
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, SettingsKey));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, UninstallEntryKey));
    for (const char* key : ClassKeys) EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, key)) << key;
    if (::testing::Test::HasFailure()) failStep("the install is not laid out as the installer makes it");
    return installed;
}

struct KeptFile {
    std::string path;
    std::string bytes;
};

// The vault Brimsafe makes, in the usual place: the Brimsafe folder of the user's documents.
NewVault usualVault() {
    const std::string documents = readText(HKEY_CURRENT_USER, ShellFoldersKey, "Personal");
    if (documents.empty()) failStep("the user has no documents folder");
    const std::string folder = join(documents, "Brimsafe");
    CreateDirectoryA(folder.c_str(), nullptr);
    return NewVault{folder, "My Vault", "Kept after 9 uninstalls"};
}

// A vault of its own folder and backups the user keeps elsewhere, each with contents no other file has.
std::vector<KeptFile> keepOtherVaultsAndBackups() {
    const std::string household = join(journeyFolder(), "Household");
    const std::string backups = join(journeyFolder(), "Backups");
    for (const std::string& folder : {household, backups}) CreateDirectoryA(folder.c_str(), nullptr);

    std::vector<KeptFile> kept;
    int n = 0;
    for (const std::string& path : {join(household, "Household.vlt"), join(household, "Household.kvt"),
                                    join(backups, "My Vault.bvt"), join(backups, "My Vault.bkv"),
                                    join(backups, "Household.bvt")}) {
        std::string bytes = "vault file " + std::to_string(++n) + std::string("\0\x01\xfe\xff", 4);
        for (int i = 0; i < 600; ++i) bytes += static_cast<char>((i * 37 + n) & 0xFF);
        writeFileBytes(path, bytes);
        kept.push_back({path, bytes});
    }
    // The second vault is known to the program, as its vault dialogs list it.
    const std::string path = join(household, "Household");
    if (RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(SettingsKey) + "\\Vaults").c_str(), "Household", REG_SZ,
                        path.data(), static_cast<DWORD>(path.size())) != ERROR_SUCCESS)
        failStep("cannot list the second vault");
    return kept;
}

// One start of "Uninstall Brimsafe": the process from the install folder, and the copy it starts in the
// temp folder, which carries on once the first has ended.
struct UninstallRun {
    Program first;
    DWORD copy;
    win32::KernelHandle copyProcess;

    // The copy ends by itself once the user has answered its last box, always with exit code 1.
    void waitForTheEnd() const {
        if (WaitForSingleObject(copyProcess.get(), 30000) != WAIT_OBJECT_0) failStep("the uninstaller did not end");
        DWORD code = 0;
        GetExitCodeProcess(copyProcess.get(), &code);
        EXPECT_EQ(code, 1u) << "the uninstaller's exit code";
    }
};

UninstallRun startUninstall() {
    Program first = Program::start("Uninstall.exe");
    if (!first.waitForExit()) failStep("the uninstaller started from the install folder did not hand over");
    EXPECT_EQ(first.exitCode(), 1u);
    DWORD copy = 0;
    win32::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (entry.th32ParentProcessID == first.pid() && _stricmp(entry.szExeFile, "Uninstall.exe") == 0)
            copy = entry.th32ProcessID;
    win32::KernelHandle process(copy ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copy)
                                     : nullptr);
    if (!process) failStep("the uninstaller's copy in the temp folder is not running");
    return UninstallRun{std::move(first), copy, std::move(process)};
}

TEST(Journey, Uninstall) {
    ACC_STEP("Brimsafe is installed");
    // The journey plays the user's shell, which does not sit in the install folder: a process whose
    // current folder it is keeps the folder from being removed.
    SetCurrentDirectoryA(journeyFolder().c_str());
    const Installed installed = findTheInstall();

    ACC_STEP("the user keeps a vault and backups of Brimsafe's elsewhere");
    std::vector<KeptFile> kept = keepOtherVaultsAndBackups();

    ACC_STEP("the user makes a vault with Brimsafe and keeps it open");
    const NewVault vault = usualVault();
    Program brimsafe = Program::start("Brimsafe.exe");
    HWND mainWindow = createVaultWithWizard(brimsafe.pid(), vault);

    ACC_STEP("uninstalling while Brimsafe has the vault open is refused");
    const std::string before = installed.snapshot();
    const UninstallRun refused = startUninstall();
    answerBox(refused.copy, {"Brimsafe", RunningText, {"ok"}}, "OK");
    refused.waitForTheEnd();
    EXPECT_EQ(installed.snapshot(), before) << "a refused uninstall changed the install";
    EXPECT_TRUE(brimsafe.running()) << "the refusal ended Brimsafe";
    EXPECT_EQ(readMarker(), 0u);

    ACC_STEP("the user exits Brimsafe");
    exitWithCtrlQ(brimsafe, mainWindow);
    for (const char* extension : {".vlt", ".kvt"}) {
        const std::string path = join(vault.folder, vault.name + extension);
        if (!fileExists(path)) failStep("Brimsafe left no " + path);
        kept.push_back({path, readFileBytes(path)});
    }

    ACC_STEP("the user uninstalls Brimsafe and confirms");
    const UninstallRun uninstall = startUninstall();
    answerBox(uninstall.copy, {"Brimsafe Uninstall", QuestionText, {"yes", "no"}}, "Yes");
    answerBox(uninstall.copy, {"Brimsafe Uninstall", CompleteText, {"ok"}}, "OK");
    uninstall.waitForTheEnd();

    ACC_STEP("the program files and their folders are gone");
    for (const std::string& path : installed.programFiles) EXPECT_FALSE(fileExists(path)) << path;
    EXPECT_FALSE(folderExists(installed.programFolder)) << "left in it:\n" << folderListing(installed.programFolder);
    EXPECT_FALSE(folderExists(installed.makerFolder)) << "the maker's folder was left empty";
    EXPECT_TRUE(folderExists(installed.makerFolder.substr(0, installed.makerFolder.find_last_of('\\'))));

    ACC_STEP("the shortcuts are gone");
    EXPECT_FALSE(fileExists(installed.desktopLink()));
    EXPECT_FALSE(folderExists(join(installed.startMenu, "Quarrendel")));
    EXPECT_TRUE(folderExists(installed.startMenu));

    ACC_STEP("the settings, the uninstall entry and the file types are gone");
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, SettingsKey));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, MakerKey)) << "the maker's empty key was left";
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, UninstallEntryKey));
    for (const char* key : ClassKeys) EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_EQ(readMarker(), 0u);

    ACC_STEP("every vault and backup is kept byte for byte");
    for (const KeptFile& file : kept) EXPECT_EQ(readFileBytes(file.path), file.bytes) << file.path;
}

}  // namespace
