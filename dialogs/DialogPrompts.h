/*
 * The vault store's prompts answered by this folder's windows: the password
 * dialog (a new one per attempt, freed after) or the wizard's first-password
 * page, the selection dialog, the key-creation page and the name prompt. The
 * main window has its own implementation with the dialogs of other folders;
 * tests use this one over a real vault store.
 *
 * Tricky point: the first-password page lives as long as this object (like the
 * page the program creates at start) and gives its password up when taken.
 */
#pragma once

#include "dialogs/KeySeed.h"
#include "vault/VaultStore.h"

class TForm;
class TFrm_FirstPassword;

class DialogPrompts : public VaultPrompts {
public:
    explicit DialogPrompts(TForm* owner, keyseed::EntropySources sources = keyseed::EntropySources::system());
    ~DialogPrompts() override;
    DialogPrompts(const DialogPrompts&) = delete;
    DialogPrompts& operator=(const DialogPrompts&) = delete;

    int askPassword(int mode, bool retry, bool firstPasswordPage, SecretText& password) override;
    bool forgotPassword() override { return false; }
    void showFileError(DWORD code, const std::string& name) override;
    int selectVault(VaultChoice& choice) override;
    bool findVaultById(const unsigned char id[16], VaultChoice& found) override;
    int createKeys(qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) override;
    int chooseName(std::string& name) override;

    TFrm_FirstPassword* firstPasswordPage() const { return firstPassword_; }

private:
    TForm* owner_;
    keyseed::EntropySources sources_;
    TFrm_FirstPassword* firstPassword_;
};
