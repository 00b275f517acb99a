/*
 * Shared pieces of the vault-flow tests: the dialogs of the flows scripted (selection, restore,
 * key page, name prompt, key restore) on top of the scripted password prompt, and a saved vault
 * made in a folder for the flows to open.
 */
#pragma once

#include "tests/vault/VaultTestSupport.h"
#include "vault/VaultFlows.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace vaulttest {

class FlowPrompts : public ScriptedPrompts {
public:
    // ---- selection dialog ----
    struct Selection {
        int result;
        VaultChoice choice;
    };
    void select(int result, const std::string& folder = "", const std::string& name = "") {
        selections_.push_back({result, {folder, name}});
    }
    int selectVault(VaultChoice& choice) override {
        preselected.push_back(choice);
        if (selections_.empty()) {
            ADD_FAILURE() << "unexpected selection dialog";
            return 2;
        }
        Selection next = selections_.front();
        selections_.pop_front();
        if (next.result != 2) choice = next.choice;
        return next.result;
    }
    // FindVaultById finds `listed` when its ID is `listedId`.
    bool findVaultById(const unsigned char id[16], VaultChoice& found) override {
        searchedIds.push_back(vaultIdText(id));
        if (listedId.empty() || vaultIdText(id) != listedId) return false;
        found = listed;
        return true;
    }
    // ---- restore dialog ----
    int restoreVaultDialog(const std::string& location, const std::string& source) override {
        restoreAsked.push_back({location, source});
        return restoreResult;
    }
    // ---- key page: 1 makes the key pair from seedOf(seedByte), 2 cancels ----
    void keyPage(int result, unsigned char seedByte = 1) { keyPages_.push_back({result, seedByte}); }
    int createKeys(qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) override {
        if (keyPages_.empty()) {
            ADD_FAILURE() << "unexpected key page";
            return 2;
        }
        auto [result, seedByte] = keyPages_.front();
        keyPages_.pop_front();
        keyBitsAsked = keyBits;
        if (result == 2) return 2;
        Bytes s = seedOf(seedByte);
        rsa.GenerateKeys(keyBits, s.data());
        std::memcpy(seed, s.data(), s.size());
        return result;
    }
    // ---- name prompt ----
    void name(int result, const std::string& text = "") { names_.push_back({result, text}); }
    int chooseName(std::string& name) override {
        ++namePrompts;
        if (names_.empty()) {
            ADD_FAILURE() << "unexpected name prompt";
            return 2;
        }
        auto [result, text] = names_.front();
        names_.pop_front();
        if (result == 1) name = text;
        return result;
    }
    // ---- key-restore dialog ----
    int keyRestoreDialog(std::string& keyFilePath) override {
        ++keyRestoreDialogs;
        keyFilePath = keyRestorePath;
        return keyRestoreResult;
    }
    void vaultShown(const std::string& title) override { titles.push_back(title); }

    bool flowsAnswered() const { return allAnswered() && selections_.empty() && keyPages_.empty() && names_.empty(); }

    std::vector<VaultChoice> preselected;
    std::vector<std::string> searchedIds;
    std::string listedId;
    VaultChoice listed;
    std::vector<std::pair<std::string, std::string>> restoreAsked;
    int restoreResult = 2;
    int keyBitsAsked = 0;
    int namePrompts = 0;
    int keyRestoreDialogs = 0;
    int keyRestoreResult = 2;
    std::string keyRestorePath;
    std::vector<std::string> titles;

private:
    std::deque<Selection> selections_;
    std::deque<std::pair<int, unsigned char>> keyPages_;
    std::deque<std::pair<int, std::string>> names_;
};

// A hand-off that never finds another process (tests of the hand-off itself use the real one).
inline bool noHandOff(const std::string&) { return false; }

// A saved vault folder\name with one "Notes" category holding one row; returns its vault ID as text.
inline std::string makeSavedVault(const std::string& folder, const std::string& name, const std::string& password,
                                  unsigned char seedByte = 1) {
    ScriptedPrompts prompts;
    VaultStore store(prompts);
    store.setDBLoc(folder);
    store.setDBFname(name);
    CryptoLibrary library;
    CryptoLibrary::RSA rsa = library.newRSA();
    Bytes seed = seedOf(seedByte);
    rsa->GenerateKeys(qzcrypto::KeyBits, seed.data());
    prompts.answer(1, password);
    EXPECT_EQ(store.createVaultKeys(library, *rsa, seed.data()), crCreated);
    category* notes = store.content().addCategory("Notes");
    notes->addHeader("Text", htOneLine, hsShown, 100);
    notes->insertRow({"kept " + name});
    EXPECT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    return vaultIdText(store.vaultID());
}

}  // namespace vaulttest
