// The help dialog and the welcome page on their real windows: the version
// line with and without the installer's build, the extra about text shown or
// the form 50 pixels lower with a new region, the three choices (the tutorial
// started or its failure told and logged, the help file at context 1 through
// the framework's help call, the online page through the shell routine) and
// the welcome page's three results.
#include <gtest/gtest.h>

#include "base/BrandingText.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_Help.h"
#include "dialogs/QZ_Frm_RestoreVault.h"
#include "dialogs/QZ_Frm_Welcome.h"
#include "dialogs/ShellOpen.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/WhenUp.h"
#include "tests/dialogs/ToolsHost.h"
#include "tests/dialogs/TraceLogCapture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestEnvironment.h"

namespace {

using dialogtest::click;
using dialogtest::showModal;

void storeSetting(const char* name, DWORD type, const std::string& bytes) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

class HelpTest : public dialogtest::SettingsDialogTest {
protected:
    dialogtest::ToolsHost host;
    brimtest::TempFolder temp;
};

TEST_F(HelpTest, TheVersionLineCarriesTheInstalledBuildAsItIs) {
    const struct {
        const char* what;
        bool stored;
        std::string bytes;
        const char* line;
    } cases[] = {
        {"no build", false, "", "Version 1 (Build 04.03.10)"},
        {"a build without its zero", true, "3.0.5 (Build 26.12.01)", "Version 3 3.0.5 (Build 26.12.01)"},
        {"a build with its zero", true, std::string("3.1.0\0", 6), "Version 3 3.1.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::clearProductRegistry();
        if (c.stored) storeSetting("Dliubruc", REG_SZ, c.bytes);
        TFrm_Help* help = MakeForm<TFrm_Help>(nullptr, host);
        EXPECT_EQ(std::string(help->Label8->Caption), c.line);
        EXPECT_EQ(std::string(help->Label7->Caption), "About Brimsafe");
        EXPECT_EQ(std::string(help->MessageTitle->Caption), "Brimsafe Help");
        EXPECT_EQ(std::string(help->Label11->Caption), GetBrandingText(brWebSite));
        help->Free();
    }
}

TEST_F(HelpTest, WithoutAnAboutTextTheFormIs50PixelsLowerWithANewRegion) {
    const struct {
        const char* what;
        std::string aboutText;  // empty: no override
        int height;
    } cases[] = {{"no about text", "", 427 - 50}, {"an about text", "Licensed to Example Bank", 427}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::clearProductRegistry();
        if (!c.aboutText.empty()) storeSetting("Local5", REG_BINARY, scrambleBrandingText(c.aboutText));
        TFrm_Help* help = MakeForm<TFrm_Help>(nullptr, host);
        EXPECT_EQ(help->Height, c.height);
        EXPECT_EQ(help->Label10->Visible, !c.aboutText.empty());
        if (!c.aboutText.empty()) {
            EXPECT_EQ(std::string(help->Label10->Caption), c.aboutText);
        }
        showModal(help, [&] {
            ASSERT_TRUE(dialogtest::bringUp(help));
            dialogtest::RegionShape shape = dialogtest::regionOf(help->Handle());
            EXPECT_EQ(shape.box.bottom - shape.box.top, c.height);
            EXPECT_TRUE(shape.cornerCut);
            // "Ok" moved up with the bottom edge and still closes.
            click(help->xpOkButton);
        });
        EXPECT_EQ(help->GetModalResult(), 1);
        help->Free();
    }
}

TEST_F(HelpTest, TheTutorialStartsFromTheInstallFolder) {
    const std::string install = temp.file("Brim safe");
    ASSERT_TRUE(CreateDirectoryA(install.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((brimtest::binaryFolder() + "\\Tutorial.exe").c_str(), (install + "\\Tutorial.exe").c_str(),
                          FALSE));
    host.install = install;
    TFrm_Help* help = MakeForm<TFrm_Help>(nullptr, host);
    int result = showModal(help, [&] {
        ASSERT_TRUE(dialogtest::bringUp(help));
        click(help->xpTutorialButton);
    });
    EXPECT_EQ(result, 1);
    HWND tutorial = nullptr;
    ASSERT_TRUE(fwtest::pumpUntil([&] { return (tutorial = FindWindowA(nullptr, "Brimsafe Tutorial")) != nullptr; },
                                  15000));
    COPYDATASTRUCT data = {100, 0, nullptr};
    SendMessageA(tutorial, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    EXPECT_TRUE(fwtest::pumpUntil([&] { return !IsWindow(tutorial); }, 10000));
    help->Free();
}

TEST_F(HelpTest, AMissingTutorialIsToldAndLoggedAndTheDialogStillCloses) {
    host.install = temp.file("nowhere");
    dialogtest::TraceLogCapture log(temp);
    brimtest::MessageBoxScript boxes({mbrOk});
    TFrm_Help* help = MakeForm<TFrm_Help>(nullptr, host);
    int result = showModal(help, [&] {
        ASSERT_TRUE(dialogtest::bringUp(help));
        click(help->xpTutorialButton);
    });
    help->Free();
    EXPECT_EQ(result, 1);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "There was a problem launching the tutorial.  Reboot and try again, or reinstall Brimsafe.");
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
    std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Problem launching the tutorial");
    EXPECT_FALSE(lines[1].empty());
    EXPECT_LE(lines[1].size(), 100u) << "the system's text, cut at 100 characters";
}

TEST_F(HelpTest, HelpFileAndOnlineHelpGoThroughTheirReplaceableCalls) {
    struct HelpCall {
        std::string file;
        UINT command;
        ULONG_PTR data;
    };
    std::vector<HelpCall> helpCalls;
    TApplication::SetHelpHandlerForTesting([&](HWND, const char* file, UINT command, ULONG_PTR data) {
        helpCalls.push_back({file, command, data});
        return TRUE;
    });
    const AnsiString previousFile = Application->HelpFile;
    Application->HelpFile = "C:\\Help\\BRIMSAFEHELP.HLP";
    struct ShellCall {
        std::string verb, address;
        int show;
    };
    std::vector<ShellCall> shellCalls;
    ShellOpenRoutine previousShell = SetShellOpenForTesting(
        [&](HWND, const std::string& verb, const std::string& address, int show) {
            shellCalls.push_back({verb, address, show});
        });

    TFrm_Help* help = MakeForm<TFrm_Help>(nullptr, host);
    for (TxpButton* button : {help->xpHelpFileButton, help->xpOnlineHelpButton}) {
        int result = showModal(help, [&] {
            ASSERT_TRUE(dialogtest::bringUp(help));
            click(button);
        });
        EXPECT_EQ(result, 1) << std::string(button->Caption);
    }
    help->Free();
    SetShellOpenForTesting(previousShell);
    TApplication::SetHelpHandlerForTesting(
        [](HWND window, const char* file, UINT command, ULONG_PTR data) { return WinHelpA(window, file, command, data); });
    Application->HelpFile = previousFile;

    ASSERT_EQ(helpCalls.size(), 1u);
    EXPECT_EQ(helpCalls[0].file, "C:\\Help\\BRIMSAFEHELP.HLP");
    EXPECT_EQ(helpCalls[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(helpCalls[0].data, 1u);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].verb, "open");
    EXPECT_EQ(shellCalls[0].address, GetBrandingText(brOnlineHelp));
    EXPECT_EQ(shellCalls[0].show, SW_HIDE);
}

// ---- welcome ----

class WelcomeTest : public HelpTest {};

TEST_F(WelcomeTest, NewVaultAndCancelGiveTheirResults) {
    TFrm_RestoreVault* restore = MakeForm<TFrm_RestoreVault>(nullptr, host);
    TFrm_Welcome* welcome = MakeForm<TFrm_Welcome>(nullptr, host, *restore);
    EXPECT_EQ(showModal(welcome, [&] {
                  ASSERT_TRUE(dialogtest::bringUp(welcome));
                  click(welcome->xpNewVaultButton);
              }),
              1);
    EXPECT_EQ(showModal(welcome, [&] {
                  ASSERT_TRUE(dialogtest::bringUp(welcome));
                  click(welcome->xpCancelButton);
              }),
              2);
    welcome->Free();
    restore->Free();
}

TEST_F(WelcomeTest, RestoreVaultGives9OnlyWhenTheRestoreDialogRestored) {
    host.folder = temp.path();
    host.restoreAnswer = [](const dialogtest::ToolsHost::Restore&) { return 0; };
    TFrm_RestoreVault* restore = MakeForm<TFrm_RestoreVault>(nullptr, host);
    restore->SetSource(temp.file("Home Backup.bvt"));
    TFrm_Welcome* welcome = MakeForm<TFrm_Welcome>(nullptr, host, *restore);
    brimtest::MessageBoxScript boxes({mbrOk});
    int restoreRuns = 0;
    int result = showModal(welcome, [&] {
        ASSERT_TRUE(dialogtest::bringUp(welcome));
        // First the restore dialog is cancelled: the page stays.
        dialogtest::whenUp<TFrm_RestoreVault>("Frm_RestoreVault", [&](TFrm_RestoreVault*) {
            ++restoreRuns;
            EXPECT_EQ(restore->GetDestination(), temp.path()) << "the vault folder is the location";
            if (dialogtest::bringUp(restore)) click(restore->xpCancelButton);
        });
        click(welcome->xpRestoreVaultButton);
        EXPECT_EQ(welcome->GetModalResult(), 0);
        // Then a vault is restored under a typed name.
        dialogtest::whenUp<TFrm_RestoreVault>(
            "Frm_RestoreVault",
            [&](TFrm_RestoreVault*) {
            ++restoreRuns;
            if (!dialogtest::bringUp(restore)) return;
            dialogtest::whenUp<TFrm_ChooseName>("Frm_ChooseName", [&](TFrm_ChooseName* prompt) {
                if (!dialogtest::bringUp(prompt)) return;
                click(prompt->Edit1);
                dialogtest::typeText("Family");
                click(prompt->xpOkButton);
            });
            click(restore->xpRestoreButton);
        });
        ASSERT_TRUE(dialogtest::bringUp(welcome));
        click(welcome->xpRestoreVaultButton);
    });
    EXPECT_EQ(result, 9);
    EXPECT_EQ(restoreRuns, 2);
    ASSERT_EQ(host.restores.size(), 1u);
    EXPECT_EQ(host.restores[0].folder, temp.path());
    EXPECT_EQ(host.restores[0].name, "Family");
    EXPECT_EQ(host.restores[0].backupFile, temp.file("Home Backup.bvt"));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your vault has been restored."});
    welcome->Free();
    restore->Free();
}

}  // namespace
