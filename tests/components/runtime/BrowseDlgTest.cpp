// The folder browser: its flag and folder tables, path parsing, the callback
// rules the browser never exercises under Wine (validation), and the real
// browser window found and answered as a user would.
#include "components/runtime/QCLBrowseDlg.h"
#include "components/runtime/qclprocs.h"

#include "tests/support/DialogAnswerer.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(BrowseDlgTables, OptionsGiveTheShellFlags) {
    const struct {
        TQCLBrowseDlgOptions options;
        UINT flags;
    } cases[] = {
        {{doReturnFileSysDirs, doAllowEdit, doShowPath}, 0x31},
        {{doReturnFileSysDirs, doShowPath}, 0x01},
        {{doShowPath, doEnableOK}, 0x00},
        {{doBrowseForComputer, doBrowseForPrinter, doDontGoBelowDomain, doReturnFileSysAncestors, doReturnFileSysDirs,
          doStatusText, doShowFiles, doAllowEdit, doShowPath, doEnableOK},
         0x703F},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QCLBrowseDlgFlags(c.options), c.flags) << std::hex << c.flags;
}

TEST(BrowseDlgTables, StartFoldersGiveTheShellNumbers) {
    const std::pair<TQCLSystemFolders, int> cases[] = {
        {bfoDesktop, 0},          {bfoDesktopExpanded, 0xFEFE}, {bfoInternet, 1},      {bfoDesktopDirectory, 16},
        {bfoNetworkNeighborhood, 19}, {bfoAltStartup, 29},      {bfoInternetChache, 32}, {bfoHistory, 34},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QCLSystemFolderNumber(c.first), c.second) << c.first;
}

TEST(BrowseDlgPaths, OnlyExistingFoldersParse) {
    brimtest::TempFolder temp;
    temp.writeFile("plain.txt", "x");
    LPITEMIDLIST item = nullptr;
    ASSERT_TRUE(TQCLBrowseDlg::ConvertPathToItemIDList(temp.path(), item));
    char back[MAX_PATH] = {};
    ASSERT_TRUE(SHGetPathFromIDListA(item, back));
    EXPECT_EQ(lstrcmpiA(back, temp.path().c_str()), 0) << back;
    CoTaskMemFree(item);

    for (const std::string& path : {temp.file("missing"), temp.file("plain.txt"), std::string()}) {
        item = reinterpret_cast<LPITEMIDLIST>(1);
        EXPECT_FALSE(TQCLBrowseDlg::ConvertPathToItemIDList(path, item)) << path;
        EXPECT_EQ(item, nullptr);
    }
}

TEST(BrowseDlgCallback, ValidationKeepsTheBrowserOpenOnlyWhenCancelled) {
    TQCLBrowseDlg dlg(nullptr);
    const LPARAM self = reinterpret_cast<LPARAM>(static_cast<TObject*>(&dlg));
    char typed[] = "no such place";
    std::string seen;
    for (bool cancel : {false, true}) {
        dlg.OnValidate = [&](TObject* sender, const AnsiString& path, bool& Cancel) {
            EXPECT_EQ(sender, &dlg);
            EXPECT_FALSE(Cancel) << "Cancel starts false";
            seen = path;
            Cancel = cancel;
        };
        EXPECT_EQ(TQCLBrowseDlg::CallbackForTesting(nullptr, BFFM_VALIDATEFAILEDA, reinterpret_cast<LPARAM>(typed), self),
                  cancel ? 1 : 0);
        EXPECT_EQ(seen, typed);
    }
    // Any other notification, and any object that is no browser, answer 0.
    EXPECT_EQ(TQCLBrowseDlg::CallbackForTesting(nullptr, 99, 0, self), 0);
    TQCLCustomComponent other(nullptr);
    EXPECT_EQ(TQCLBrowseDlg::CallbackForTesting(nullptr, BFFM_VALIDATEFAILEDA, reinterpret_cast<LPARAM>(typed),
                                                reinterpret_cast<LPARAM>(static_cast<TObject*>(&other))),
              0);
}

// A named callback: a lambda has no stdcall conversion in the 32-bit build.
BOOL CALLBACK collectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A left click at the middle of a window, as the mouse gives it.
void clickWithMouse(HWND target) {
    RECT r;
    GetWindowRect(target, &r);
    INPUT inputs[3] = {};
    for (auto& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dx = MulDiv((r.left + r.right) / 2, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    inputs[0].mi.dy = MulDiv((r.top + r.bottom) / 2, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

void listOnce(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    while (FindNextFileA(search, &found)) {
    }
    FindClose(search);
}

// The browser finds a preselected folder by comparing shell identities, which
// carry each folder's times: the fixture's folder lives away from the
// temporary folder that parallel tests keep changing.
class BrowseDlgWindowTest : public ::testing::Test {
protected:
    brimtest::TempFolder temp{brimtest::quietParentForShellTests()};

    void SetUp() override {
        deep = temp.path() + "\\a folder deep enough for the status line";
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
        // The browser finds the preselected folder by comparing the shell's identities of each
        // folder on the path, which hold its access time too. The first listing of a folder
        // changed since it was last read moves that time: list both now, so the identity the
        // browser parses and the one it enumerates a moment later agree.
        listOnce(temp.path());
        listOnce(deep);
        dlg.CaptionTitle = "Restore into";
        dlg.Caption = "Choose the folder for the restored vault";
        dlg.Options = TQCLBrowseDlgOptions{doReturnFileSysDirs, doAllowEdit, doShowPath};
        dlg.Position = bpBottomRight;
        dlg.RelatePos = brScreenWorkArea;
        dlg.OnInit = [this](TObject*) { handleAtInit = dlg.GetDialogHandle(); };
    }

    struct Look {
        RECT window{};
        std::vector<std::string> texts;
        bool okEnabled = false;
    };
    static Look look(HWND dialog) {
        Look l;
        GetWindowRect(dialog, &l.window);
        if (HWND ok = brimtest::findChildByText(dialog, "OK"))
            l.okEnabled = IsWindowEnabled(ok) != FALSE;
        for (HWND child : children(dialog))
            l.texts.push_back(brimtest::windowText(child));
        return l;
    }
    bool shows(const std::string& text) const {
        return std::find(seen.texts.begin(), seen.texts.end(), text) != seen.texts.end();
    }

    TQCLBrowseDlg dlg{nullptr};
    std::string deep;
    HWND handleAtInit = nullptr;
    Look seen;
};

TEST_F(BrowseDlgWindowTest, PreselectedFolderIsReturnedOnOk) {
    dlg.Options = dlg.Options + TQCLBrowseDlgOptions{doEnableOK};
    dlg.SelectedFolder = deep;
    // The caption is set before the browser walks to the preselected folder, and the walk takes
    // a while on a busy machine: the user clicks OK once the status line shows where it stands
    // (or after a while, and then the checks below say what was missing).
    const std::string status = QCLShrunkFileName(deep, 40);
    const DWORD firstSeen = GetTickCount();
    brimtest::DialogAnswerer answerer({{"Restore into", "", [&](HWND dialog) {
                                            seen = look(dialog);
                                            HWND ok = brimtest::findChildByText(dialog, "OK");
                                            if (!ok)
                                                return false;
                                            if (!shows(status) && GetTickCount() - firstSeen < 10000)
                                                return false;
                                            SetForegroundWindow(dialog);
                                            clickWithMouse(ok);
                                            return true;
                                        }}});
    ASSERT_TRUE(dlg.ExecuteEnh(nullptr));
    ASSERT_TRUE(answerer.finished());

    EXPECT_EQ(lstrcmpiA(dlg.GetSelectedFolder().c_str(), deep.c_str()), 0) << dlg.GetSelectedFolder();
    EXPECT_FALSE(dlg.GetDisplayName().empty());
    EXPECT_NE(handleAtInit, nullptr);
    EXPECT_EQ(dlg.GetDialogHandle(), nullptr) << "forgotten after the run";
    EXPECT_TRUE(seen.okEnabled);
    EXPECT_TRUE(shows("Choose the folder for the restored vault"));
    EXPECT_LE(status.size(), 40u);
    EXPECT_TRUE(shows(status)) << "status line shows the shortened path " << status;

    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(seen.window.right, work.right);
    EXPECT_EQ(seen.window.bottom, work.bottom);
}

TEST_F(BrowseDlgWindowTest, CancelKeepsTheSelectedFolderAndOkStartsDisabled) {
    dlg.SelectedFolder = deep;
    brimtest::DialogAnswerer answerer({{"Restore into", "", [this](HWND dialog) {
                                            seen = look(dialog);
                                            HWND cancel = brimtest::findChildByText(dialog, "Cancel");
                                            if (!cancel)
                                                return false;
                                            PostMessageA(cancel, BM_CLICK, 0, 0);
                                            return true;
                                        }}});
    EXPECT_FALSE(dlg.ExecuteEnh(nullptr));
    ASSERT_TRUE(answerer.finished());
    EXPECT_EQ(dlg.GetSelectedFolder(), deep);
    EXPECT_FALSE(seen.okEnabled) << "OK is disabled at open without doEnableOK";
    EXPECT_EQ(dlg.GetDialogHandle(), nullptr);
}

}  // namespace
