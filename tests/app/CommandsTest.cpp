// The commands of other processes as the open main window runs them, and their waiting turn
// while a modal dialog is open.
#include "tests/app/MainWindowTestSupport.h"

#include "fileenc/EncryptedFile.h"
#include "fileenc/EncryptedFilesView.h"

namespace mainwintest {
namespace {

using brimtest::MessageBoxScript;

std::string text(const AnsiString& s) { return std::string(s.c_str()); }

class CommandsTest : public MainWindowTest {
protected:
    // A file that passes as encrypted: the header's magic, the rest zeros.
    void writeEncrypted(const std::string& name) {
        std::string header(encfile::HeaderSize, '\0');
        const std::uint32_t magic = encfile::Magic;
        std::memcpy(&header[0], &magic, 4);
        temp.writeFile(name, header);
    }
};

TEST_F(CommandsTest, FileCommandsReachTheFileViewAsTheirPathsSay) {
    openForm();
    writeEncrypted("report.doc.vltenc");
    writeEncrypted("letter.txt.vltenc");  // its plain name is sent below
    temp.writeFile("plain.txt", "p");
    CreateDirectoryA(temp.file("Folder").c_str(), nullptr);
    const std::string report = temp.file("report.doc"), letter = temp.file("letter.txt");
    const std::string plain = temp.file("plain.txt"), folder = temp.file("Folder");
    struct Case {
        ULONG_PTR command;
        std::string path;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {103, report + ".vltenc",
         {"show encrypted files", "decrypt " + report, "list quietly " + report, "run " + report, "tree images"}},
        // only a real ending is cut: a plain name sent with 103 stays whole
        {103, letter,
         {"show encrypted files", "decrypt " + letter, "list quietly " + letter, "run " + letter, "tree images"}},
        {103, folder, {"show encrypted files", "add folder " + folder, "tree images"}},
        {103, plain, {"show encrypted files", "tree images"}},
        {104, plain, {"show encrypted files", "encrypt " + plain, "list " + plain}},
        {104, folder, {"show encrypted files", "add folder " + folder}},
        {104, report + ".vltenc", {"show encrypted files"}},
        {105, plain, {}},
    };
    MessageBoxScript boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.command) + " " + c.path);
        files.calls.clear();
        sendCommand(form->Handle, c.command, c.path);
        EXPECT_EQ(files.calls, c.calls);
    }
    EXPECT_TRUE(form->vaultOpen());
}

// A command arriving while a modal dialog is open runs after the dialog has closed, not under it.
TEST_F(CommandsTest, ACommandDuringAModalDialogWaitsForItsEnd) {
    openForm();
    form->Show();
    const std::string plain = temp.file("plain.txt");
    temp.writeFile("plain.txt", "p");
    TForm* dialog = MakeForm<TForm>(form);
    dialog->SetBounds(10, 10, 200, 100);
    std::vector<std::string> seenWhileOpen{"not run"};
    auto* timer = new TTimer(dialog);
    timer->Interval = 10;
    timer->OnTimer = [&](TObject*) {
        timer->Enabled = false;
        sendCommand(form->Handle, 104, plain);
        seenWhileOpen = files.calls;
        dialog->ModalResult = 2;
    };
    MessageBoxScript boxes;
    dialog->ShowModal();
    EXPECT_TRUE(seenWhileOpen.empty()) << ::testing::PrintToString(seenWhileOpen);
    EXPECT_TRUE(pumpUntil([&] { return !files.calls.empty(); }));
    EXPECT_EQ(files.calls, (std::vector<std::string>{"show encrypted files", "encrypt " + plain, "list " + plain}));
    dialog->Free();
}

TEST_F(CommandsTest, OpenVaultCommandSwitchesToThatVaultAndADeclinedOneIsDropped) {
    brimtest::TempFolder other;
    const std::string workId = vaulttest::makeSavedVault(other.path(), "Work", "other words", 2);
    openForm();
    form->Show();
    {
        MessageBoxScript boxes({mbrNo});
        sendCommand(form->Handle, 101, other.file("Work.vlt"));
    }
    EXPECT_EQ(form->flows().PendingVaultFile, "");
    EXPECT_EQ(text(form->Caption), vaultId);

    dialogs.password(1, "other words");
    {
        MessageBoxScript boxes({mbrYes});
        sendCommand(form->Handle, 101, other.file("Work.vlt"));
    }
    EXPECT_EQ(text(form->Caption), workId);
    EXPECT_FALSE(mutexExists(vaultId));
    EXPECT_TRUE(dialogs.answeredAll());
}

TEST_F(CommandsTest, RestoreCommandSavesFirstAndACancelledRestoreEndsTheRun) {
    openForm();
    form->store().content().userCategories->insertRow({"added before the restore"});
    form->flows().Modified = true;
    MessageBoxScript boxes;
    sendCommand(form->Handle, 102, temp.file("backup.bvt"));
    EXPECT_EQ(dialogs.calls.back(), "restore " + temp.file("backup.bvt"));
    EXPECT_TRUE(form->runEnded());
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password),
              (std::vector<std::string>{"kept Home", "added before the restore"}));
}


// A file added by another process while the empty "Encrypted Files" category is shown: the form is
// rebuilt, so the empty-category panel gives way to the listed file.
TEST_F(CommandsTest, AFileAddedByAnotherProcessReplacesTheNoFilesPanel) {
    mainwintest::ForwardingFiles windowFiles;
    form = MakeForm<TFormMain>(nullptr, dialogs, windowFiles, "Brimsafe.exe", &noHandOff);
    windowFiles.to = &form->filesSide();
    dialogs.selection(1);
    dialogs.password(1, Password);
    ASSERT_EQ(form->startUp(), suGoOn);
    form->Show();
    form->filesSide().showEncryptedFiles();
    ASSERT_TRUE(form->FilesView->Panel9->Visible);

    temp.writeFile("added.txt", "from the other process");
    MessageBoxScript boxes;
    sendCommand(form->Handle, cdAddFile, temp.file("added.txt"));
    ASSERT_EQ(form->store().content().encryptedFiles->rowCount(), 1);
    EXPECT_FALSE(form->FilesView->Panel9->Visible);
    EXPECT_TRUE(form->FilesView->Panel10->Visible);  // listed, nothing selected yet
}

// The open vault's own files are never encrypted, however their paths are spelt: the checks
// compare full paths without case, also while the vault's folder is a relative one.
TEST_F(CommandsTest, TheOpenVaultsOwnFilesAreRefusedWhateverTheSpellingOfTheirPaths) {
    openForm();
    CreateDirectoryA(temp.file("sub").c_str(), nullptr);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(temp.path().c_str()));
    form->store().setDBLoc(".");  // the vault's folder as a relative path
    std::string upper = temp.path();
    for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    std::string slashed = temp.path() + "\\Home.KVT";
    for (char& ch : slashed) ch = ch == '\\' ? '/' : ch;
    const std::string vault = vaultBytes(), key = temp.readFile("Home.kvt");
    struct Case {
        const char* what;
        std::string path;
    };
    const Case cases[] = {
        {"key file, upper-case extension", temp.path() + "\\Home.KVT"},
        {"vault file, upper-case path", upper + "\\HOME.VLT"},
        {"key file through another folder", temp.path() + "\\sub\\..\\Home.Kvt"},
        {"key file with forward slashes", slashed},
        {"relative key file", ".\\HOME.KVT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageBoxScript boxes({mbrOk});
        EXPECT_EQ(form->fileJobs().encryptSingleFile(c.path), fsSkipped);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{"You are attempting to encrypt a Brimsafe program file.  "
                                                          "These files cannot be encrypted.  This file will be skipped."});
        EXPECT_EQ(vaultBytes(), vault);
        EXPECT_EQ(temp.readFile("Home.kvt"), key);
        EXPECT_FALSE(temp.exists("Home.kvt.vltenc"));
        EXPECT_FALSE(temp.exists("Home.vlt.vltenc"));
    }
    SetCurrentDirectoryA(previous);
}

}  // namespace
}  // namespace mainwintest
