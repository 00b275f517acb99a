// Leaving the program and switching vaults: what is saved, asked, written and emptied.
#include "tests/app/MainWindowTestSupport.h"

#include "tests/support/VaultHolderProcess.h"

#include <algorithm>

namespace mainwintest {
namespace {

using brimtest::MessageBoxScript;

std::string text(const AnsiString& s) { return std::string(s.c_str()); }

class ExitSwitchTest : public MainWindowTest {
protected:
    // An editor change that leaving must not lose.
    void editVault() {
        form->store().content().userCategories->insertRow({"added before leaving"});
        form->flows().Modified = true;
    }
    std::vector<std::string> expectedNotes() const { return {"kept Home", "added before leaving"}; }
};

TEST_F(ExitSwitchTest, ExitSavesEmptiesTheClipboardWritesSettingsInOrderAndRegistersTheVault) {
    openForm();
    editVault();
    ASSERT_TRUE(fillClipboard("a copied secret"));
    std::vector<std::pair<std::string, std::string>> writes;
    settings::setRegistryWriteObserverForTesting(
        [&](const std::string& name, DWORD, const std::string& bytes) { writes.push_back({name, bytes}); });
    {
        MessageBoxScript boxes;  // no box at all
        form->exitProgram();
    }
    settings::setRegistryWriteObserverForTesting(nullptr);

    EXPECT_TRUE(form->runEnded());
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password), expectedNotes());
    EXPECT_EQ(clipboardFormats(), 0);
    EXPECT_FALSE(mutexExists(vaultId));
    EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"select", "password", "tip 1"}));

    std::vector<std::string> names;
    for (const auto& w : writes) names.push_back(w.first);
    EXPECT_EQ(names, (std::vector<std::string>{"Top", "Left", "Width", "Height", "Splitter", "WindowState", "OldTop",
                                               "OldLeft", "OldWidth", "OldHeight", "OldSplitter", "currCat", "DBLoc",
                                               "DBFname", "Home"}));
    ASSERT_EQ(writes.size(), 15u);
    EXPECT_EQ(writes[5].second, "v");                      // one byte
    EXPECT_EQ(writes[12].second, temp.path());             // no terminating zero
    EXPECT_EQ(writes[14].second, temp.path() + "\\Home");  // the known vault
}

TEST_F(ExitSwitchTest, AVaultKnownUnderAnotherCaseIsNotAddedAgain) {
    ASSERT_TRUE(settings::addKnownVault("HOME", temp.path() + "\\HOME"));
    openForm();
    MessageBoxScript boxes;
    form->exitProgram();
    EXPECT_EQ(settings::knownVaults(),
              (std::vector<std::pair<std::string, std::string>>{{"HOME", temp.path() + "\\HOME"}}));
}

TEST_F(ExitSwitchTest, AClipboardHeldByAnotherProgramIsReportedAndTheExitGoesOn) {
    openForm();
    brimtest::HolderRequest request;
    request.holdClipboard = true;
    brimtest::VaultHolderProcess holder(request);
    ASSERT_TRUE(holder.running());
    MessageBoxScript boxes({mbrOk});
    form->exitProgram();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, mainwin::ClipboardNotCleared);
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
    EXPECT_TRUE(form->runEnded());
}

TEST_F(ExitSwitchTest, ListedPlainFilesAskOnceAndNoKeepsTheSavedProgramRunning) {
    openForm();
    category* files = form->store().content().addEncryptedFilesCategory();
    temp.writeFile("plain one.txt", "1");
    temp.writeFile("plain two.txt", "2");
    for (const char* name : {"plain one.txt", "plain two.txt"}) {
        RowValues row(static_cast<std::size_t>(std::max(1, files->headerCount())));
        row[0] = temp.file(name);
        files->insertRow(row);
    }
    editVault();
    MessageBoxScript boxes({mbrNo});
    form->exitProgram();
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{mainwin::PlainFilesListed});
    EXPECT_FALSE(form->runEnded());
    EXPECT_TRUE(form->vaultOpen());
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password), expectedNotes());
}

TEST_F(ExitSwitchTest, AFailedSaveAtSwitchAsksAndNoKeepsTheVaultTheWindowAndTheEdit) {
    openForm();
    form->Show();
    editVault();
    brimtest::HolderRequest request;
    request.heldFile = temp.file("Home.vlt");
    brimtest::VaultHolderProcess holder(request);
    ASSERT_TRUE(holder.running());
    // Yes to the switch; the reason of the failed save; No to switching anyway.
    MessageBoxScript boxes({mbrYes, mbrOk, mbrNo});
    form->xpCloseButtonClick(nullptr);
    const std::vector<std::string> texts = boxes.texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), mainwin::SwitchQuestion);
    EXPECT_EQ(texts.back(), mainwin::SwitchSaveFailed);
    EXPECT_TRUE(form->vaultOpen());
    EXPECT_TRUE(form->Visible);
    EXPECT_TRUE(form->Timer1->Enabled);
    EXPECT_TRUE(form->flows().Modified);
    EXPECT_TRUE(mutexExists(vaultId));
    EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"select", "password"}));
}

TEST_F(ExitSwitchTest, SwitchSavesClosesTheVaultAndOpensTheChosenOne) {
    brimtest::TempFolder other;
    const std::string workId = vaulttest::makeSavedVault(other.path(), "Work", "other words", 2);
    openForm();
    form->Show();
    editVault();
    dialogs.selection(1, other.path(), "Work");
    dialogs.password(1, "other words");
    {
        MessageBoxScript boxes({mbrYes});
        form->xpCloseButtonClick(nullptr);
    }
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password), expectedNotes());
    EXPECT_FALSE(mutexExists(vaultId));
    EXPECT_TRUE(mutexExists(workId));
    EXPECT_EQ(text(form->Caption), workId);
    EXPECT_EQ(text(form->MessageTitle->Caption), "Brimsafe - Work");
    EXPECT_TRUE(form->Visible);
    EXPECT_TRUE(form->vaultOpen());
    // The closed vault's location was written before the other one opened.
    EXPECT_EQ(settings::readStoredDBFname().value_or(""), "Home");
}

// Whether a saved vault keeps its passwords hidden, read back apart from the window.
bool savedHidden(const std::string& folder, const std::string& name, const std::string& password) {
    vaulttest::FlowPrompts prompts;
    VaultStore store(prompts);
    VaultFlows flows(store, prompts, &noHandOff);
    store.setDBLoc(folder);
    store.setDBFname(name);
    prompts.answer(1, password);
    EXPECT_EQ(flows.openVault(store.vaultFilePath()), ovOpen);
    return store.content().hidePwords;
}

// Hide passwords is each vault's own: the vault opened next shows its setting, a new vault starts
// with passwords shown, and neither saves the previous vault's.
TEST_F(ExitSwitchTest, HiddenPasswordsBelongToTheVaultOpenedInTheSameRun) {
    brimtest::TempFolder other, fresh;
    vaulttest::makeSavedVault(other.path(), "Work", "other words", 2);
    openForm();
    form->Show();
    form->hidePasswords();
    ASSERT_EQ(form->flows().saveVault(), srSaved);
    ASSERT_TRUE(savedHidden(temp.path(), "Home", Password));

    struct Step {
        const char* name;
        int selection;
        std::string folder, vault, password;
        bool hidden;
    };
    const Step steps[] = {
        {"a vault that shows them", 1, other.path(), "Work", "other words", false},
        {"the vault that hides them", 1, temp.path(), "Home", Password, true},
        {"a new vault", 16, fresh.path(), "Fresh", "new words", false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        dialogs.selection(step.selection, step.folder, step.vault);
        dialogs.password(1, step.password);
        {
            MessageBoxScript boxes({mbrYes});
            form->xpCloseButtonClick(nullptr);
        }
        ASSERT_TRUE(form->vaultOpen());
        ASSERT_EQ(form->store().getDBFname(), step.vault);
        EXPECT_EQ(form->store().content().hidePwords, step.hidden);
        ASSERT_EQ(form->flows().saveVault(), srSaved);
        EXPECT_EQ(savedHidden(step.folder, step.vault, step.password), step.hidden);
    }
    EXPECT_TRUE(dialogs.answeredAll());
}

TEST_F(ExitSwitchTest, DecliningTheSwitchChangesNothingAndACancelledStartUpEndsTheRun) {
    openForm();
    {
        MessageBoxScript boxes({mbrNo});
        form->xpCloseButtonClick(nullptr);
    }
    EXPECT_TRUE(form->vaultOpen());
    EXPECT_EQ(text(form->Caption), vaultId);

    dialogs.selection(2);
    {
        MessageBoxScript boxes({mbrYes});
        form->xpCloseButtonClick(nullptr);
    }
    EXPECT_TRUE(form->runEnded());
    EXPECT_FALSE(form->vaultOpen());
    EXPECT_FALSE(mutexExists(vaultId));
}

TEST_F(ExitSwitchTest, ACloseMessageRunsTheExitSequence) {
    openForm();
    editVault();
    ASSERT_TRUE(fillClipboard("secret"));
    MessageBoxScript boxes;
    PostMessageA(form->Handle, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return form->runEnded(); }));
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password), expectedNotes());
    EXPECT_EQ(clipboardFormats(), 0);
    EXPECT_EQ(dialogs.calls.back(), "tip 1");
}

TEST_F(ExitSwitchTest, LogOffSavesWithoutAnyQuestionAndEmptiesTheClipboard) {
    openForm();
    editVault();
    ASSERT_TRUE(fillClipboard("secret"));
    MessageBoxScript boxes;  // any box fails the test
    EXPECT_EQ(SendMessageA(form->Handle, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password), expectedNotes());
    EXPECT_EQ(clipboardFormats(), 0);
    EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"select", "password"}));
}

struct HungTutorial {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

DWORD WINAPI hungTutorialThread(void* p) {
    auto* h = static_cast<HungTutorial*>(p);
    HWND window =
        CreateWindowA("STATIC", mainwin::TutorialTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetEvent(h->created);
    WaitForSingleObject(h->release, 30000);  // never pumps its messages meanwhile
    DestroyWindow(window);
    return 0;
}

// A tutorial window that never answers must not hold the exit for good.
TEST_F(ExitSwitchTest, AHungTutorialWindowDoesNotHoldTheExit) {
    HungTutorial hung;
    HANDLE thread = CreateThread(nullptr, 0, hungTutorialThread, &hung, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(hung.created, 10000), WAIT_OBJECT_0);
    openForm();
    MessageBoxScript boxes;
    const DWORD start = GetTickCount();
    form->exitProgram();
    EXPECT_TRUE(form->runEnded());
    EXPECT_LT(GetTickCount() - start, 15000u);
    SetEvent(hung.release);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(hung.release);
    CloseHandle(hung.created);
}

}  // namespace
}  // namespace mainwintest
