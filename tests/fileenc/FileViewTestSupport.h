/*
 * What the "Encrypted Files" view tests share: a visible test form with the
 * two parents the main window gives the view (the file area and the panel
 * area), a host that runs every file job on the real worker without a dialog,
 * a host standing for the main window (its category, saves and tips), and a
 * drop made the way the shell makes one: a hand-built HDROP posted as
 * WM_DROPFILES to the form that the drop target watches.
 */
#pragma once

#include "fileenc/EncryptedFilesView.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <memory>
#include <string>
#include <vector>

class category;
class TQCLFMDrop;

namespace fileviewtest {

// The main window's share of the file jobs, with the real worker behind the "dialog".
class WorkerHost : public FileJobHost {
public:
    TForm* messageOwner() override { return owner; }
    void readVaultID(unsigned char vaultID[16]) override;
    std::string vaultName() override { return "My Vault"; }
    std::vector<std::string> vaultFiles() override { return {}; }
    bool nextDataKey(unsigned char dataKey[16], DWORD& error) override;
    void copyVaultKey(unsigned char key[16]) override;
    FileJobReport runFileJob(const FileJobSetup& setup) override;

    TForm* owner = nullptr;
    int jobs = 0;
    std::vector<std::string> jobSources;
    // A job on this source ends as one the user stopped in the dialog, without running.
    std::string stopAt;
    FileEncryptionJob job;
};

// The main window's side: one "Encrypted Files" category, saves and tips counted.
class WindowHost : public EncryptedFilesHost {
public:
    WindowHost();
    ~WindowHost() override;
    category* filesCategory() override { return files; }
    bool vaultModified() override { return modified; }
    void saveVault() override {
        ++saves;
        modified = false;
    }
    void showFilesCategory() override { ++categoryShown; }
    void tip(int id, const std::string& text) override { tips.push_back({id, text}); }

    category* files;
    bool modified = false;
    int saves = 0;
    int categoryShown = 0;
    std::vector<std::pair<int, std::string>> tips;
};

// A file of 100 bytes encrypted by the real worker under the test vault's keys; the plain file is gone.
void makeEncryptedFile(const std::string& plainPath);
// The same file as another vault made it: its ID differs, its header names `vaultName` (empty: no name).
void makeForeignEncryptedFile(const std::string& plainPath, const std::string& vaultName);

class ViewTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a row of the category.
    int addRow(const std::string& path);
    // Drops the names on the form as the shell would, and waits until the drop was handled.
    void drop(const std::vector<std::string>& names);
    // The texts of a node's children, in order.
    std::vector<std::string> childTexts(TTreeNode* node);
    std::vector<int> childImages(TTreeNode* node);
    TTreeNode* child(TTreeNode* node, const std::string& text);
    // Rows of the category, in order.
    std::vector<std::string> rows();
    // Selects exactly these nodes as the user would (click, then Ctrl+click).
    void selectOnly(std::vector<TTreeNode*> nodes);

    std::unique_ptr<brimtest::TempFolder> temp;
    TForm* form = nullptr;
    TPanel* filesArea = nullptr;
    TPanel* panelArea = nullptr;
    TQCLFMDrop* dropTarget = nullptr;
    WorkerHost jobs;
    WindowHost window;
    std::unique_ptr<FileJobChecks> checks;
    std::unique_ptr<EncryptedFilesView> view;
    int dropsHandled = 0;
};

}  // namespace fileviewtest
