/*
 * TFrm_DontShowAgain, the one-time tip: a word-wrapped message, the sort
 * picture for the sorting tip, the box "Do not show me again" and "Ok".
 * RaiseTip runs the whole calling pattern every raiser uses (ask the
 * registry, show, suppress on a ticked "Ok").
 *
 * Tricky points:
 * - The form fits its height to the message when shown (and the picture for
 *   the sorting tip), with a new window region; a one-line message is centred.
 * - The space bar toggles the box wherever the focus is, also on the focused
 *   "Ok", which clicks on the same key's release: Space there both ticks the
 *   box and closes the tip with it ticked.
 */
#pragma once

#include "components/controls/QCLCheckBox.h"
#include "dialogs/DialogSkeleton.h"
#include "dialogs/TipSettings.h"

#include <string>

class TFrm_DontShowAgain : public TSkinnedDialog {
public:
    static constexpr int OneLineHeight = 23;
    static constexpr int MessageWidth = 289;

    explicit TFrm_DontShowAgain(TComponent* AOwner);

    static bool IsTipEnabled(int tipId, const std::string& valueName) { return tips::IsTipEnabled(tipId, valueName); }
    static void DisableTip(int tipId, const std::string& valueName) { tips::DisableTip(tipId, valueName); }
    void SetTip(const std::string& title, const std::string& message, int tipId);

    DialogLabel* Message;
    TImage* Image2;
    TQCLCheckBox* CheckBox1;
    TxpButton* xpOkButton;

private:
    void FormShow(TObject* Sender);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void OkClick(TObject* Sender);
};

// Shows the tip when it is enabled and suppresses it when "Ok" is pressed with the box ticked:
// 0 not shown, else the dialog's modal result.
int RaiseTip(TComponent* owner, int tipId, const std::string& text);
inline int RaiseTip(TComponent* owner, const tips::Tip& tip) { return RaiseTip(owner, tip.id, tip.text); }
