// The skinned message box: its layout built in code, the message laid out per call,
// the button sets and their results, dragging by the title, and the two entry points.
#include "skin/ZM_MessageBox.h"

#include <memory>
#include <string>

#include "components/controls/QCLSimpleLabel.h"
#include "framework/ExtCtrls.h"
#include "skin/ImagePanel.h"
#include "skin/LabelWindow.h"
#include "skin/Tranimag.h"
#include "skin/ZM_ResizeRect.h"
#include "skin/art/SkinArt.h"
#include "skin/xpButton.h"

TZMMessageBox* ZMMessageBox = nullptr;

namespace {

constexpr TColor kFrameNavy = static_cast<TColor>(0x733F25);
constexpr TColor kBodyCream = static_cast<TColor>(0xEFFBFC);
constexpr TColor kBodyTextLight = static_cast<TColor>(0xEAEAEA);
constexpr int kFormWidth = 373, kFormHeight = 221;
constexpr int kButtonTop = 187;

TImage* makeImage(TComponent* owner, TWinControl* parent, int id, int left, int top, int width, int height,
                  TAnchors anchors, bool stretch) {
    auto* image = new TImage(owner);
    image->SetParent(parent);
    image->SetBounds(left, top, width, height);
    image->SetStretch(stretch);
    image->GetPicture()->GetBitmap()->LoadFromResourceID(HInstance, id);
    image->SetAnchors(anchors);
    return image;
}

TTranImage* makeIcon(TComponent* owner, TWinControl* parent, const char* name, int id, int width, int height,
                     TColor key) {
    auto* icon = new TTranImage(owner);
    icon->SetName(name);  // which icon shows is told by the control map
    icon->SetParent(parent);
    icon->SetBounds(11, 9, width, height);
    icon->GetBitMap()->LoadFromResourceID(HInstance, id);
    icon->SetTransparentColor(key);
    icon->SetVisible(false);
    return icon;
}

TLabelWindow* makeLabelWindow(TComponent* owner, TWinControl* parent, const char* name, TControl* label) {
    auto* window = new TLabelWindow(owner);
    window->SetName(name);
    window->SetParent(parent);
    window->Follow(label);
    return window;
}

}  // namespace

TZMMessageBox::TZMMessageBox(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsNone);
    SetKeyPreview(true);
    SetColor(kFrameNavy);
    SetDoubleBuffered(true);
    SetBounds(0, 0, kFormWidth, kFormHeight);
    SetPosition(AOwner ? poOwnerFormCenter : poScreenCenter);
    buildFrame();
    buildBody();
    buildButtons();
    OnCanResize = [this](TObject* s, int& w, int& h, bool& r) { FormCanResize(s, w, h, r); };
    ResizeRect = new ZM_ResizeRect(this, 0, 0);
    setRegion();
}

TZMMessageBox::~TZMMessageBox() { delete ResizeRect; }

void TZMMessageBox::buildFrame() {
    const TAnchors topWide{akLeft, akTop, akRight};
    ImagePanelTitleBar = new TImagePanel(this);
    ImagePanelTitleBar->SetParent(this);
    ImagePanelTitleBar->SetBounds(4, -1, 368, 35);
    ImagePanelTitleBar->GetBitmap()->LoadFromResourceID(HInstance, IDB_SKIN_TITLE_TILE);
    ImagePanelTitleBar->SetImageStyle(ipTile);
    ImagePanelTitleBar->SetAnchors(topWide);

    Image1 = makeImage(this, this, IDB_SKIN_TITLE_LEFT, 0, 0, 6, 35, {akLeft, akTop}, false);
    Image3 = makeImage(this, this, IDB_SKIN_TITLE_RIGHT, kFormWidth - 6, 0, 6, 35, {akTop, akRight}, false);
    const int sideHeight = kFormHeight - 35 - 13;
    ImagePanelLeftSide = makeImage(this, this, IDB_SKIN_EDGE_LEFT, 0, 35, 8, sideHeight, {akLeft, akTop, akBottom}, true);
    ImagePanelRightSide =
        makeImage(this, this, IDB_SKIN_EDGE_RIGHT, kFormWidth - 9, 35, 9, sideHeight, {akTop, akRight, akBottom}, true);
    ImagePanelBottomSide = makeImage(this, this, IDB_SKIN_EDGE_BOTTOM, 13, kFormHeight - 7, kFormWidth - 26, 7,
                                     {akLeft, akRight, akBottom}, true);
    ImageTL = makeImage(this, this, IDB_SKIN_CORNER_TL, 0, 0, 13, 13, {akLeft, akTop}, false);
    ImageTR = makeImage(this, this, IDB_SKIN_CORNER_TR, kFormWidth - 13, 0, 13, 13, {akTop, akRight}, false);
    ImageBL = makeImage(this, this, IDB_SKIN_CORNER_BL, 0, kFormHeight - 13, 13, 13, {akLeft, akBottom}, false);
    ImageBR = makeImage(this, this, IDB_SKIN_CORNER_BR, kFormWidth - 13, kFormHeight - 13, 13, 13,
                        {akRight, akBottom}, false);

    ImageInfo = makeIcon(this, this, "ImageInfo", IDB_SKIN_ICON_INFO, 18, 16, clLime);
    ImageError = makeIcon(this, this, "ImageError", IDB_SKIN_ICON_ERROR, 16, 17, clLime);
    ImageCaution = makeIcon(this, this, "ImageCaution", IDB_SKIN_ICON_CAUTION, 18, 18, clWhite);
    ImageQuestion = makeIcon(this, this, "ImageQuestion", IDB_SKIN_ICON_QUESTION, 16, 16, clLime);

    MessageTitle = new TQCLSimpleLabel(this);
    MessageTitle->SetParent(this);
    MessageTitle->SetAutoSize(false);
    MessageTitle->SetMultiLine(true);
    MessageTitle->SetBounds(32, 10, 329, 17);
    MessageTitle->SetAnchors(topWide);
    MessageTitle->GetFont()->SetName("MS Sans Serif");
    MessageTitle->GetFont()->SetHeight(-13);
    MessageTitle->GetFont()->SetStyle(TFontStyles{fsBold});
    MessageTitle->GetFont()->SetColor(clWhite);
    MessageTitle->GetFont3D()->SetStyle(tdSunken);
    MessageTitle->GetFont3D()->SetLightColor(clBlack);
    MessageTitle->GetFont3D()->SetShadowColor(clBlack);
    MessageTitle->SetText("Message Title");
    MessageTitleWindow = makeLabelWindow(this, this, "MessageTitleWindow", MessageTitle);

    // The title bar, the title and the icons all start a move of the box.
    TControl* dragSources[] = {ImagePanelTitleBar, MessageTitle, ImageInfo, ImageError, ImageCaution, ImageQuestion};
    for (TControl* source : dragSources) {
        source->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            ImagePanelTitleBarMouseDown(s, b, sh, x, y);
        };
        source->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { ImagePanelTitleBarMouseMove(s, sh, x, y); };
        source->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            ImagePanelTitleBarMouseUp(s, b, sh, x, y);
        };
    }
}

void TZMMessageBox::buildBody() {
    PanelMessageWindow = new TPanel(this);
    PanelMessageWindow->SetParent(this);
    PanelMessageWindow->SetBounds(5, 29, 364, 150);
    PanelMessageWindow->SetBevelOuter(bvNone);
    PanelMessageWindow->SetBevelInner(bvNone);
    PanelMessageWindow->SetText("");
    PanelMessageWindow->SetParentColor(false);
    PanelMessageWindow->SetColor(kBodyCream);
    PanelMessageWindow->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});

    TWinControl* body = PanelMessageWindow;
    const int w = 364, h = 150;
    ImagePanel2 = makeImage(this, body, IDB_SKIN_BODY_TOP, 6, 0, w - 12, 3, {akLeft, akTop, akRight}, true);
    ImagePanel3 = makeImage(this, body, IDB_SKIN_BODY_BOTTOM, 6, h - 3, w - 12, 3, {akLeft, akRight, akBottom}, true);
    ImagePanel4 = makeImage(this, body, IDB_SKIN_BODY_LEFT, 0, 6, 3, h - 12, {akLeft, akTop, akBottom}, true);
    ImagePanel5 = makeImage(this, body, IDB_SKIN_BODY_RIGHT, w - 3, 6, 3, h - 12, {akTop, akRight, akBottom}, true);
    Image5 = makeImage(this, body, IDB_SKIN_BODY_CORNER_TL, 0, 0, 6, 6, {akLeft, akTop}, false);
    Image6 = makeImage(this, body, IDB_SKIN_BODY_CORNER_TR, w - 6, 0, 6, 6, {akTop, akRight}, false);
    Image7 = makeImage(this, body, IDB_SKIN_BODY_CORNER_BL, 0, h - 6, 6, 6, {akLeft, akBottom}, false);
    Image8 = makeImage(this, body, IDB_SKIN_BODY_CORNER_BR, w - 6, h - 6, 6, 6, {akRight, akBottom}, false);

    MessageBody = new TQCLSimpleLabel(this);
    MessageBody->SetParent(body);
    MessageBody->GetConstraints()->SetMinWidth(332);
    MessageBody->GetConstraints()->SetMaxWidth(332);
    MessageBody->SetMultiLine(true);
    MessageBody->SetAutoSize(true);
    MessageBody->SetBounds(15, 16, 332, 17);
    MessageBody->GetFont()->SetName("Arial");
    MessageBody->GetFont()->SetHeight(-13);
    MessageBody->GetFont()->SetColor(clBlack);
    MessageBody->GetFont3D()->SetStyle(tdSunken);
    MessageBody->GetFont3D()->SetLightColor(kBodyTextLight);
    MessageBodyWindow = makeLabelWindow(this, body, "MessageBodyWindow", MessageBody);
}

TxpButton* TZMMessageBox::makeButton(const char* caption, int left, int tabOrder, bool cancel,
                                     void (TZMMessageBox::*handler)(TObject*)) {
    auto* button = new TxpButton(this);
    button->SetParent(this);
    button->SetBounds(left, kButtonTop, 75, 23);
    button->SetAnchors(TAnchors{akRight, akBottom});
    button->SetCursor(crHandPoint);
    button->GetFont()->SetName("Tahoma");
    button->GetFont()->SetHeight(-13);
    button->SetCaption(caption);
    button->SetCancel(cancel);
    button->SetTabOrder(tabOrder);
    button->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
    button->SetVisible(false);
    return button;
}

void TZMMessageBox::buildButtons() {
    // Tab orders as the box has always had them: the first visible one is the leftmost of each set.
    Button_YesB = makeButton("Yes", 17, 1, false, &TZMMessageBox::KTransButtonOkMouseRelease);
    Button_AbortLeft = makeButton("Abort", 61, 2, false, &TZMMessageBox::KTransButtonAbortMouseRelease);
    Button_All = makeButton("Yes to All", 105, 3, false, &TZMMessageBox::KTransButtonAllMouseRelease);
    Button_RetryLeft = makeButton("Retry", 104, 4, false, &TZMMessageBox::KTransButtonRetryMouseRelease);
    Button_Yes = makeButton("Yes", 105, 5, false, &TZMMessageBox::KTransButtonOkMouseRelease);
    Button_Ok = makeButton("Ok", 105, 6, false, &TZMMessageBox::KTransButtonOkMouseRelease);
    Button_Retry = makeButton("Retry", 149, 7, false, &TZMMessageBox::KTransButtonRetryMouseRelease);
    Button_Ack = makeButton("Ok", 149, 8, false, &TZMMessageBox::KTransButtonOkMouseRelease);
    Button_No_Offset = makeButton("No", 193, 9, true, &TZMMessageBox::KTransButtonCancelMouseRelease);
    Button_No = makeButton("No", 193, 10, true, &TZMMessageBox::KTransButtonCancelMouseRelease);
    Button_Cancel = makeButton("Cancel", 193, 11, true, &TZMMessageBox::KTransButtonCancelMouseRelease);
    Button_Ignore = makeButton("Ignore", 237, 12, false, &TZMMessageBox::KTransButtonIgnoreMouseRelease);
    Button_Abort = makeButton("Abort", 281, 13, false, &TZMMessageBox::KTransButtonAbortMouseRelease);
}

void TZMMessageBox::PrepareMessage(const std::string& text, const std::string& title, int buttonSet, int icon) {
    MessageTitle->SetText(title);
    MessageBody->SetText(text);

    TTranImage* icons[] = {ImageInfo, ImageError, ImageCaution, ImageQuestion};
    for (TTranImage* each : icons) each->SetVisible(false);
    TxpButton* buttons[] = {Button_Ack,  Button_Ok,        Button_Cancel, Button_Yes,       Button_No,
                            Button_YesB, Button_All,       Button_No_Offset, Button_Abort, Button_AbortLeft,
                            Button_Retry, Button_Ignore,   Button_RetryLeft};
    for (TxpButton* each : buttons) each->SetVisible(false);

    IconKind = static_cast<BYTE>(icon);
    switch (IconKind) {
    case mbiCaution: ImageCaution->SetVisible(true); break;
    case mbiError: ImageError->SetVisible(true); break;
    case mbiQuestion: ImageQuestion->SetVisible(true); break;
    default: ImageInfo->SetVisible(true); break;
    }

    ButtonSet = static_cast<BYTE>(buttonSet);
    switch (ButtonSet) {
    case 0: Button_Ack->SetVisible(true); break;
    case 1: Button_Ok->SetVisible(true); Button_Cancel->SetVisible(true); break;
    case 2: Button_Yes->SetVisible(true); Button_No->SetVisible(true); break;
    case 3:
        Button_YesB->SetVisible(true);
        Button_All->SetVisible(true);
        Button_No_Offset->SetVisible(true);
        Button_Abort->SetVisible(true);
        break;
    case 4:
        Button_AbortLeft->SetVisible(true);
        Button_Retry->SetVisible(true);
        Button_Ignore->SetVisible(true);
        break;
    case 5: Button_RetryLeft->SetVisible(true); Button_Cancel->SetVisible(true); break;
    default: break;  // an unknown set shows no button
    }

    SetHeight(GetHeight() + MessageBody->GetHeight() + 2 * MessageBody->GetTop() - PanelMessageWindow->GetHeight() - 1);
    MessageBody->SetAlignment(MessageBody->GetHeight() > 23 ? agTopLeft : agTopCenter);
    MessageTitleWindow->Follow(MessageTitle);
    MessageBodyWindow->Follow(MessageBody);
}

void TZMMessageBox::FocusAnswer(int answer) {
    if (answer == mbrNo && ButtonSet == mbsYesNo) SetActiveControl(Button_No);
}

void TZMMessageBox::setRegion() {
    HRGN region = CreateRoundRectRgn(0, 0, GetWidth() + 1, GetHeight() + 1, 15, 15);
    SetWindowRgn(GetHandle(), region, TRUE);  // the window owns the region from here on
}

void TZMMessageBox::FormCanResize(TObject*, int& NewWidth, int& NewHeight, bool& Resize) {
    Resize = true;
    if (!HandleAllocated()) return;
    HRGN region = CreateRoundRectRgn(0, 0, NewWidth + 1, NewHeight + 1, 15, 15);
    SetWindowRgn(GetHandle(), region, TRUE);
}

void TZMMessageBox::DoShow() {
    TForm::DoShow();
    SetForegroundWindow(GetHandle());
    BringWindowToTop(GetHandle());
}

void TZMMessageBox::ImagePanelTitleBarMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int X, int Y) {
    if (Button != mbLeft) return;
    DraggingTitle = true;
    TPoint at = static_cast<TControl*>(Sender)->ClientToScreen(TPoint(X, Y));
    ResizeRect->beginDrag(reMove, at.x, at.y);
}

void TZMMessageBox::ImagePanelTitleBarMouseMove(TObject* Sender, TShiftState, int X, int Y) {
    if (!DraggingTitle) return;
    TPoint at = static_cast<TControl*>(Sender)->ClientToScreen(TPoint(X, Y));
    ResizeRect->trackDrag(at.x, at.y);
}

void TZMMessageBox::ImagePanelTitleBarMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    DraggingTitle = (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
    if (!DraggingTitle) ResizeRect->endDrag(0, 0);
}

void TZMMessageBox::KTransButtonOkMouseRelease(TObject*) {
    SetModalResult(ButtonSet == 2 || ButtonSet == 3 ? mbrYes : mbrOk);
}

void TZMMessageBox::KTransButtonCancelMouseRelease(TObject*) {
    SetModalResult(ButtonSet == 2 || ButtonSet == 3 ? mbrNo : mbrCancel);
}

void TZMMessageBox::KTransButtonAllMouseRelease(TObject*) { SetModalResult(mbrYesToAll); }
void TZMMessageBox::KTransButtonAbortMouseRelease(TObject*) { SetModalResult(mbrAbort); }
void TZMMessageBox::KTransButtonRetryMouseRelease(TObject*) { SetModalResult(mbrRetry); }
void TZMMessageBox::KTransButtonIgnoreMouseRelease(TObject*) { SetModalResult(mbrIgnore); }

namespace {

int showSkinnedBox(const MessageBoxRequest& request) {
    TForm* owner = request.hasOwner && request.owner && request.owner->GetVisible() ? request.owner : nullptr;
    std::unique_ptr<TZMMessageBox, void (*)(TZMMessageBox*)> box(MakeForm<TZMMessageBox>(owner),
                                                                  [](TZMMessageBox* b) { b->Free(); });
    box->PrepareMessage(request.text, request.title, request.buttons, request.icon);
    box->FocusAnswer(request.focusedAnswer);
    return box->ShowModal();
}

int show(const MessageBoxRequest& request) {
    return HasMessageBoxHandler() ? AnswerMessageBox(request) : showSkinnedBox(request);
}

}  // namespace

int ShowMessageBox(TForm* owner, const std::string& text, const std::string& title, int buttons, int icon,
                   int focusedAnswer) {
    MessageBoxRequest request = MessageBoxRequest::owned(owner, text, title, buttons, icon);
    request.focusedAnswer = focusedAnswer;
    return show(request);
}

int ShowMessageBoxNoOwner(const std::string& text, const std::string& title, int buttons, int icon) {
    MessageBoxRequest request = MessageBoxRequest::owned(nullptr, text, title, buttons, icon);
    request.hasOwner = false;
    return show(request);
}

void RegisterMessageBox() { SetMessageBoxHandler(showSkinnedBox); }
