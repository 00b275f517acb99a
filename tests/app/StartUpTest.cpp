// The main window's start-up with its dialogs scripted: the trace it leaves, the update check,
// the placement, the vault folder, and what an opened vault publishes.
#include "tests/app/MainWindowTestSupport.h"

#include "vault/logger.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace mainwintest {
namespace {

// The texts of the trace log's lines, without their time prefix.
std::vector<std::string> traceTexts(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t prefix = line.find(" - ", line.find(" - ") + 3);
        texts.push_back(prefix == std::string::npos ? line : line.substr(prefix + 3));
    }
    return texts;
}

bool inOrder(const std::vector<std::string>& all, const std::vector<std::string>& wanted) {
    auto at = all.begin();
    for (const std::string& w : wanted) {
        at = std::find(at, all.end(), w);
        if (at == all.end()) return false;
        ++at;
    }
    return true;
}

std::string text(const AnsiString& s) { return std::string(s.c_str()); }

class StartUpTest : public MainWindowTest {};

TEST_F(StartUpTest, OpensTheRememberedVaultLogsEachStepAndPublishesTheVaultId) {
    settings::RegistryKey key;
    ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath));
    key.writeString("UIL", "C:\\Program Files\\Brimsafe");
    key.close();

    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(temp.path().c_str());
    {
        brimtest::MessageBoxScript boxes({mbrOk, mbrOk});  // logging on, logging off
        traceLog.toggle();
        openForm();
        traceLog.toggle();
    }
    SetCurrentDirectoryA(previous);

    const std::vector<std::string> lines = traceTexts(temp.file("Brimsafe.log"));
    EXPECT_TRUE(inOrder(lines, {"Set up...", "getting settings key", "Getting install location...",
                                "C:\\Program Files\\Brimsafe", "getting location for vault", temp.path(),
                                "loading the vault...", "loaded vault, update combo box", "closing settings key",
                                "moving window", "populate form"}))
        << ::testing::PrintToString(lines);
    EXPECT_EQ(form->InstallLocation, "C:\\Program Files\\Brimsafe");

    EXPECT_TRUE(form->vaultOpen());
    EXPECT_EQ(text(form->Caption), vaultId);
    EXPECT_EQ(text(form->MessageTitle->Caption), "Brimsafe - Home");
    EXPECT_TRUE(mutexExists(vaultId));
    EXPECT_EQ(FindWindowA(nullptr, vaultId.c_str()), form->Handle);

    // A first run: 757 x 500, centred on the work area's size, each half truncated.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(form->Width, 757);
    EXPECT_EQ(form->Height, 500);
    EXPECT_EQ(form->Top, (work.bottom - work.top) / 2 - 250);
    EXPECT_EQ(form->Left, (work.right - work.left) / 2 - 757 / 2);
    EXPECT_EQ(form->SplitterLeft, 445);
    EXPECT_EQ(form->WindowStateFlag, 'v');
}

TEST_F(StartUpTest, ADueUpdateCheckRunsOnceBeforeTheVaultIsLoadedAndAPresetOneNever) {
    for (bool due : {true, false}) {
        SCOPED_TRACE(due);
        dialogs.calls.clear();
        dialogs.checkDue = due;
        openForm();
        const std::vector<std::string> expected =
            due ? std::vector<std::string>{"update check", "select", "password"}
                : std::vector<std::string>{"select", "password"};
        EXPECT_EQ(dialogs.calls, expected);
        form->Free();
        form = nullptr;
    }
}

TEST_F(StartUpTest, StoredMaximisedPlacementIsTakenWithItsOldBounds) {
    settings::WindowSettings stored;
    stored.Top = 0;
    stored.Left = 0;
    stored.Width = 1000;
    stored.Height = 700;
    stored.Splitter = 300;
    stored.WindowState = '^';
    stored.OldTop = 11, stored.OldLeft = 12, stored.OldWidth = 800, stored.OldHeight = 600, stored.OldSplitter = 222;
    stored.DBLoc = temp.path();
    stored.DBFname = "Home";
    ASSERT_TRUE(settings::writeWindowSettings(stored));
    openForm();
    EXPECT_EQ(form->WindowStateFlag, '^');
    EXPECT_EQ(form->Width, 1000);
    EXPECT_EQ(form->Height, 700);
    EXPECT_EQ(form->SplitterLeft, 300);
    EXPECT_EQ((std::vector<int>{form->OldTop, form->OldLeft, form->OldWidth, form->OldHeight, form->OldSplitter}),
              (std::vector<int>{11, 12, 800, 600, 222}));
}

TEST_F(StartUpTest, ACancelledPasswordEndsTheRunWithNoVaultPublished) {
    makeForm();
    dialogs.selection(1);
    dialogs.password(2);
    EXPECT_EQ(form->startUp(), suEndProcess);
    EXPECT_FALSE(form->vaultOpen());
    EXPECT_FALSE(mutexExists(vaultId));
    EXPECT_EQ(text(form->Caption), "Brimsafe");
}

// While the password is still asked no vault is open: a command to quit ends the run without
// saving anything, and a file sent to be encrypted is left alone.
TEST_F(StartUpTest, CommandsDuringThePasswordPromptNeverTouchTheVaultOrTheFile) {
    temp.writeFile("letter.txt", "dear");
    const std::string before = vaultBytes();
    makeForm();
    const HWND window = form->Handle;
    dialogs.selection(1);
    dialogs.password(2, "", [&] {
        sendCommand(window, 104, temp.file("letter.txt"));
        sendCommand(window, 103, temp.file("letter.txt"));
        sendCommand(window, 101, temp.file("Home.vlt"));
        EXPECT_FALSE(form->runEnded());
        sendCommand(window, 100, "");
        EXPECT_TRUE(form->runEnded());
    });
    EXPECT_EQ(form->startUp(), suEndProcess);
    EXPECT_TRUE(files.calls.empty()) << ::testing::PrintToString(files.calls);
    EXPECT_EQ(vaultBytes(), before);
    EXPECT_EQ(temp.readFile("letter.txt"), "dear");
}

// A vault made in this run is written, its key offered for backup, the password key wiped, and
// the completion page shown, before the vault is published.
TEST_F(StartUpTest, ANewVaultIsWrittenBackedUpAndCompletedBeforeItIsPublished) {
    brimtest::TempFolder other;
    makeForm();
    dialogs.selection(16, other.path(), "Fresh");
    dialogs.password(1, "new words");
    brimtest::MessageBoxScript boxes;
    EXPECT_EQ(form->startUp(), suGoOn);
    EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"select", "key page", "password", "backup key page", "done page"}));
    const Secret16 zero;
    EXPECT_EQ(std::memcmp(form->store().passwordKey().bytes, zero.bytes, 16), 0);
    EXPECT_TRUE(other.exists("Fresh.vlt"));
    EXPECT_TRUE(other.exists("Fresh.kvt"));
    const std::string freshId = vaultIdText(form->store().vaultID());
    EXPECT_EQ(text(form->Caption), freshId);
    EXPECT_TRUE(mutexExists(freshId));
}

TEST_F(StartUpTest, ARefusedConversionOfAnOlderVaultEndsTheRunAndKeepsItsFolder) {
    brimtest::TempFolder older;
    older.writeFile("pk.enc", "older key");
    older.writeFile("default.pde", "older vault");
    settings::RegistryKey key;
    ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath));
    key.writeString("UGV", older.path());
    makeForm();
    brimtest::MessageBoxScript boxes({mbrCancel, mbrOk});  // the conversion notice, then the refusal
    EXPECT_EQ(form->startUp(), suEndProcess);
    EXPECT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(key.readString("UGV").value_or(""), older.path());
    EXPECT_FALSE(form->vaultOpen());
}

// A restore into the open vault may bring another vault ID: the caption follows it.
TEST_F(StartUpTest, AnotherVaultShownWhileOpenRepublishesItsId) {
    openForm();
    const unsigned char otherId[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};
    form->store().setVaultID(otherId);
    form->vaultShown("Brimsafe - Restored");
    EXPECT_EQ(text(form->Caption), vaultIdText(otherId));
    EXPECT_EQ(text(form->MessageTitle->Caption), "Brimsafe - Restored");
}

// The documents folder of the user's shell folders, put back after the test.
class PersonalFolder {
public:
    PersonalFolder() {
        key_.openOrCreate(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
        saved_ = key_.readString("Personal");
    }
    ~PersonalFolder() {
        if (saved_)
            key_.writeString("Personal", *saved_);
        else
            RegDeleteValueA(key_.get(), "Personal");
    }
    void set(const std::string& path) { key_.writeString("Personal", path); }

private:
    settings::RegistryKey key_;
    std::optional<std::string> saved_;
};

TEST_F(StartUpTest, WithoutAStoredFolderTheDocumentsFolderGetsABrimsafeFolder) {
    PersonalFolder personal;
    const std::string docs = temp.file("Docs");
    CreateDirectoryA(docs.c_str(), nullptr);
    for (const std::string& stored : {docs, docs + "\\"}) {
        personal.set(stored);
        EXPECT_EQ(TFormMain::defaultVaultFolder(HKEY_CURRENT_USER), docs + "\\Brimsafe");
    }

    settings::RegistryKey key;
    ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath));
    RegDeleteValueA(key.get(), "DBLoc");
    RegDeleteValueA(key.get(), "DBFname");
    key.close();
    makeForm();
    dialogs.selection(2);
    EXPECT_EQ(form->startUp(), suEndProcess);
    EXPECT_EQ(form->store().getDBLoc(), docs + "\\Brimsafe");
    EXPECT_EQ(form->store().getDBFname(), "My Vault");
    const DWORD attributes = GetFileAttributesA((docs + "\\Brimsafe").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace
}  // namespace mainwintest
