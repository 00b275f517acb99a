/*
 * TFrm_Help, "Brimsafe Help": the online questions page, the help file at
 * its contents, the tutorial, and the about area with the installed version,
 * the maker's notice and an optional extra text. Made once at start and
 * shown by the main window's Help button.
 *
 * Tricky points:
 * - The version line is "Version 3 " followed by the installer's build text
 *   as it is; without one the layout's line stays.
 * - Without an extra about text its label goes and the dialog is 50 pixels
 *   lower, with a region of the new size.
 * - A tutorial that cannot start is told and logged, and the dialog still
 *   closes with 1 as after the other two choices.
 * - The help file goes through the framework's help call, the online page
 *   through the dialogs' shell routine (opened hidden, as it always was).
 *   The viewer's window is then centred on the work area, as the viewer
 *   Wine draws opens in the screen's corner.
 */
#pragma once

#include "dialogs/DialogHost.h"
#include "dialogs/DialogSkeleton.h"

#include <string>

class TFrm_Help : public TSkinnedDialog {
public:
    static constexpr int NoAboutTextShrink = 50;

    TFrm_Help(TComponent* AOwner, DialogHost& host);

    // The maker's notice under the version.
    static const char* const MakerNotice;

    TxpButton* xpOnlineHelpButton;
    TxpButton* xpHelpFileButton;
    TxpButton* xpTutorialButton;
    TxpButton* xpOkButton;
    DialogLabel* Label7;
    DialogLabel* Label8;
    DialogLabel* Label9;
    DialogLabel* Label10;
    DialogLabel* Label11;
    TImage* Image2;

private:
    void OnlineHelpClick(TObject* Sender);
    void HelpFileClick(TObject* Sender);
    void TutorialClick(TObject* Sender);
    void section(TxpButton*& button, const char* caption, const char* heading, const char* text, int top,
                 void (TFrm_Help::*handler)(TObject*));

    DialogHost& host_;
};
