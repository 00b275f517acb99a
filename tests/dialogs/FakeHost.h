/*
 * A DialogHost for tests of single pages: a fixed vault folder and name, an
 * install folder, and a key backup whose answer the test chooses (the paths
 * asked for are recorded).
 */
#pragma once

#include "dialogs/DialogHost.h"

#include <string>
#include <vector>

namespace dialogtest {

class FakeHost : public DialogHost {
public:
    std::string folder = "C:\\Vaults", name = "Home", install = "C:\\Program Files\\Brimsafe";
    int backupAnswer = 0;
    std::vector<std::string> backups;

    std::string vaultFolder() const override { return folder; }
    std::string vaultName() const override { return name; }
    std::string installFolder() const override { return install; }
    int backupKey(const std::string& path) override {
        backups.push_back(path);
        return backupAnswer;
    }
};

}  // namespace dialogtest
