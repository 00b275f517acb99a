/*
 * The main window's "Encrypted Files" side as the rest of the window meets it:
 * the commands, the start-up and the records side reach it as MainWindowFiles,
 * and the file view (fileenc/EncryptedFilesView.h) reaches the window through
 * it as its EncryptedFilesHost (the open vault's category, saving, tips, the
 * category box).
 *
 * Tricky point: showEncryptedFiles both switches to the category (when a
 * command or a drop needs it) and shows the file side (when the records side
 * has switched); the switch comes back to it through populateForm, by then
 * with the category current, and only shows.
 */
#pragma once

#include "app/MainWindowDialogs.h"
#include "fileenc/EncryptedFilesView.h"

class TFormMain;

class FilesSide : public MainWindowFiles, public EncryptedFilesHost {
public:
    explicit FilesSide(TFormMain& form) : form_(form) {}

    // ---- MainWindowFiles ----
    void showEncryptedFiles() override;
    int decryptSingleFile(const std::string& plainPath) override;
    int encryptSingleFile(const std::string& path) override;
    void addFileRow(const std::string& path, bool withMessages) override;
    void addFolder(const std::string& path) override;
    void runFile(const std::string& path) override;
    void updateTreeImages() override;
    void removeSelectedFiles() override;
    void selectFileRow(int rowId) override;

    // ---- EncryptedFilesHost ----
    category* filesCategory() override;
    bool vaultModified() override;
    void saveVault() override;
    void showFilesCategory() override;
    void tip(int id, const std::string& text) override;

    // A user category is shown: the tree, its panels and the file buttons step aside.
    void hideEncryptedFiles();

private:
    TFormMain& form_;
};
