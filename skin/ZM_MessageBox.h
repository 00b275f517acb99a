/*
 * Every message of both programs appears in one skinned box, TZMMessageBox: a
 * borderless navy window with a picture title bar, a cream body, one of four
 * icons and one of six button sets. ShowMessageBox (with an owner form) and
 * ShowMessageBoxNoOwner (centred on the screen) make a fresh box per message,
 * show it modally, free it and return its result.
 *
 * The box is registered at start-up (RegisterMessageBox) as the handler of the
 * window-free notices in base/Notice.h, which the vault store and the file
 * jobs use; both entry points here answer through that handler too, so a test
 * that replaces it (SetMessageBoxHandler) scripts the answers and captures the
 * exact texts of every box. With no handler registered, ShowMessageBox shows
 * the skinned box itself.
 *
 * The title and the text are windowless labels; each has a TLabelWindow laid
 * over it (MessageTitleWindow, MessageBodyWindow), so both are window texts
 * that anyone reads with GetWindowText, and the icons carry their layout names
 * for the framework's control map: the box needs no message of its own to be
 * read.
 *
 * Tricky points:
 * - The window text stays "ZMMessageBox", never the title: other programs look
 *   for a window titled "Brimsafe" (the uninstaller sends the running program
 *   its exit command that way), and a box must never be taken for it.
 * - Escape reaches every Cancel button, hidden ones included; "Ok"/"Yes" mean 6
 *   and "No"/"Cancel" 7 only in the sets 2 and 3.
 * - The box is owned and centred on its owner only while that form is visible;
 *   a hidden owner (the main window before a vault is open) gives a
 *   screen-centred box with no owner.
 * - The height follows the measured text (form = text + 102), and the rounded
 *   region is made anew on every size change.
 */
#pragma once

#include <windows.h>

#include <string>

#include "base/Notice.h"
#include "framework/Forms.h"

class TImage;
class TImagePanel;
class TLabelWindow;
class TTranImage;
class TxpButton;
class TPanel;
class TQCLSimpleLabel;
class ZM_ResizeRect;

class TZMMessageBox : public TForm {
public:
    explicit TZMMessageBox(TComponent* AOwner);
    ~TZMMessageBox() override;

    void PrepareMessage(const std::string& text, const std::string& title, int buttonSet, int icon);
    // Gives the focus at opening to the button of this answer (mbrNo only, in the "Yes" "No" set).
    void FocusAnswer(int answer);

    // Layout, read by the tests.
    TImagePanel* ImagePanelTitleBar = nullptr;
    TQCLSimpleLabel* MessageTitle = nullptr;
    TImage* ImageTL = nullptr;
    TImage* ImageTR = nullptr;
    TImage* ImageBL = nullptr;
    TImage* ImageBR = nullptr;
    TImage* Image1 = nullptr;
    TImage* Image3 = nullptr;
    TImage* ImagePanelLeftSide = nullptr;
    TImage* ImagePanelRightSide = nullptr;
    TImage* ImagePanelBottomSide = nullptr;
    TTranImage* ImageInfo = nullptr;
    TTranImage* ImageError = nullptr;
    TTranImage* ImageCaution = nullptr;
    TTranImage* ImageQuestion = nullptr;
    TPanel* PanelMessageWindow = nullptr;
    TImage* ImagePanel2 = nullptr;
    TImage* ImagePanel3 = nullptr;
    TImage* ImagePanel4 = nullptr;
    TImage* ImagePanel5 = nullptr;
    TImage* Image5 = nullptr;
    TImage* Image6 = nullptr;
    TImage* Image7 = nullptr;
    TImage* Image8 = nullptr;
    TQCLSimpleLabel* MessageBody = nullptr;
    TxpButton* Button_Ack = nullptr;
    TxpButton* Button_Ok = nullptr;
    TxpButton* Button_Cancel = nullptr;
    TxpButton* Button_Yes = nullptr;
    TxpButton* Button_No = nullptr;
    TxpButton* Button_YesB = nullptr;
    TxpButton* Button_All = nullptr;
    TxpButton* Button_No_Offset = nullptr;
    TxpButton* Button_Abort = nullptr;
    TxpButton* Button_AbortLeft = nullptr;
    TxpButton* Button_Retry = nullptr;
    TxpButton* Button_Ignore = nullptr;
    TxpButton* Button_RetryLeft = nullptr;
    // The title's and the text's windows (see the top of this file).
    TLabelWindow* MessageTitleWindow = nullptr;
    TLabelWindow* MessageBodyWindow = nullptr;

    int ButtonSetShown() const { return ButtonSet; }
    int IconShown() const { return IconKind; }
    bool IsDraggingForTesting() const { return DraggingTitle; }

protected:
    void DoShow() override;

private:
    void buildFrame();
    void buildBody();
    void buildButtons();
    TxpButton* makeButton(const char* caption, int left, int tabOrder, bool cancel,
                          void (TZMMessageBox::*handler)(TObject*));
    void setRegion();

    void ImagePanelTitleBarMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImagePanelTitleBarMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ImagePanelTitleBarMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
    void KTransButtonOkMouseRelease(TObject* Sender);
    void KTransButtonCancelMouseRelease(TObject* Sender);
    void KTransButtonAllMouseRelease(TObject* Sender);
    void KTransButtonAbortMouseRelease(TObject* Sender);
    void KTransButtonRetryMouseRelease(TObject* Sender);
    void KTransButtonIgnoreMouseRelease(TObject* Sender);

    ZM_ResizeRect* ResizeRect = nullptr;
    bool DraggingTitle = false;
    BYTE ButtonSet = 0;
    BYTE IconKind = 0;
};

// The one instance the process entries create with their other long-lived forms; no code shows it.
extern TZMMessageBox* ZMMessageBox;

// focusedAnswer: the answer whose button has the focus at first (0: the leftmost; see MessageBoxRequest).
int ShowMessageBox(TForm* owner, const std::string& text, const std::string& title, int buttons, int icon,
                   int focusedAnswer = 0);
int ShowMessageBoxNoOwner(const std::string& text, const std::string& title, int buttons, int icon);

// Makes the skinned box the one every notice goes to; the programs call it at start-up.
void RegisterMessageBox();
