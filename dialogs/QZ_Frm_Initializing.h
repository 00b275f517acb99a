/*
 * TFrm_Initializing, step 2 of the new-vault wizard: 512 bits gathered from
 * cursor movements (a sampling thread) and key releases (the page itself),
 * then the RSA key pair generated from them on a worker thread watched by a
 * supervisor thread; the page closes with 1 once the worker has ended.
 *
 * Tricky points:
 * - Each showing gets its own seed (keyseed::KeySeed), shared with its
 *   threads by reference count; the threads are given this page's window
 *   handle when they start and post only to it, never to a window found by
 *   its caption, so another page (or process) never gets their messages.
 * - Closing the page cancels sampling; a sampling thread still waiting ends
 *   on its own and can only touch its own seed.
 * - While collecting, the focus sits on an edit the content panel hides, so
 *   typing goes nowhere visible; Escape, Enter, Tab and the arrows are key
 *   releases like any other (each adds a pair): none cancels or moves the
 *   focus to a button.
 * - The meter shows the percentage of the 512 bits, truncated.
 * - Once generation started, the page cannot be closed until the worker has
 *   ended: the caller frees the RSA object as soon as the page returns.
 * - Positions, times and the poll pause come from the sources given at
 *   construction (the system's by default).
 */
#pragma once

#include "components/controls/QCLProgress.h"
#include "cryptolib/QZ_Cryptography.h"
#include "dialogs/DialogSkeleton.h"
#include "dialogs/KeySeed.h"

#include <memory>

class TFrm_Initializing : public TSkinnedDialog {
public:
    static constexpr UINT WM_KEYGEN_PROGRESS = WM_USER + 1;
    static constexpr UINT WM_KEYGEN_DONE = WM_USER + 2;
    static constexpr UINT WM_KEYGEN_SEEDFULL = WM_USER + 3;

    explicit TFrm_Initializing(TComponent* AOwner,
                               keyseed::EntropySources sources = keyseed::EntropySources::system());
    ~TFrm_Initializing() override;

    void SetKeyGenerator(qzcrypto::RSAEngine* engine) { engine_ = engine; }
    void SetKeyBits(int bits) { keyBits_ = bits; }
    // A copy of the 64 seed bytes.
    void GetSeed(unsigned char out[keyseed::SeedBytes]) const { seed_->copyTo(out); }

    int SeedBitCount() const { return seed_->bitCount(); }
    bool KeyCreationStarted() const { return keyCreationStarted_; }
    // The seed of the current showing, watched without keeping it alive.
    std::weak_ptr<keyseed::KeySeed> SeedForTesting() const { return seed_; }

    DialogLabel* MeterCaption;
    TQCLProgress* QCLProgress1;
    TQCLEdit* CoveredEdit;
    TxpButton* xpNextButton;
    TxpButton* xpCancelButton;

protected:
    void Dispatch(TMessage& Message) override;

private:
    void FormShow(TObject* Sender);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void CancelClick(TObject* Sender);
    void ShowProgress();
    void StartKeyCreation();
    void KeyCreated();

    keyseed::EntropySources sources_;
    std::shared_ptr<keyseed::KeySeed> seed_;
    qzcrypto::RSAEngine* engine_ = nullptr;
    int keyBits_ = 1024;
    int previousKeyMs_ = 0;
    bool keyCreationStarted_ = false;
    bool keysDone_ = false;
    bool keysIgnored_ = false;
};
