/*
 * A DialogHost for the Tools, backup, restore, help and welcome tests: it
 * records every call of the calls it answers (passwords hidden, update checks,
 * restores) and lets the test choose the answers; the automatic-check switch
 * goes to a real update dialog when one is given, so the schedule lands in the
 * registry as in the program.
 */
#pragma once

#include "download/QZ_Frm_Update.h"
#include "tests/dialogs/FakeHost.h"

#include <functional>
#include <string>
#include <vector>

namespace dialogtest {

class ToolsHost : public FakeHost {
public:
    bool hidden = false;
    std::vector<bool> hiddenSet;
    bool autoCheck = false;
    std::vector<std::pair<bool, int>> autoCheckSet;
    TFrm_Update* update = nullptr;  // when set, the switch is the update dialog's
    int updateChecks = 0;
    std::function<void()> duringUpdateCheck;
    struct Restore {
        std::string folder, name, backupFile;
    };
    std::vector<Restore> restores;
    std::function<int(const Restore&)> restoreAnswer = [](const Restore&) { return 1; };

    bool passwordsHidden() const override { return hidden; }
    void setPasswordsHidden(bool value) override {
        hidden = value;
        hiddenSet.push_back(value);
    }
    bool autoCheckEnabled() const override { return update ? update->AutoCheckEnabled() : autoCheck; }
    void setAutoCheck(bool enabled, int seconds) override {
        autoCheckSet.push_back({enabled, seconds});
        if (update) update->SetAutoCheck(enabled, seconds);
        else autoCheck = enabled;
    }
    void checkForUpdate() override {
        ++updateChecks;
        if (duringUpdateCheck) duringUpdateCheck();
    }
    int restoreVault(const std::string& folder, const std::string& name, const std::string& backupFile) override {
        restores.push_back({folder, name, backupFile});
        return restoreAnswer(restores.back());
    }
};

}  // namespace dialogtest
