/*
 * The main window's layout, built in code: the skinned frame (title bar,
 * corners, edges, grips, title buttons), the command strip, the left panel
 * Panel2 and the editor panel Panel1 in ScrollBoxInfoPanel either side of
 * SplitterMain, the status strip with the web-site label, and the lock panel
 * Panel8. The records side and the Encrypted Files side fill Panel2 and Panel1
 * afterwards (buildRecordsSide, buildFilesSide).
 *
 * Tricky points:
 * - Paint order is creation order among windowless controls, and the mouse
 *   goes to the topmost one: the edge pictures are made first and the
 *   invisible grip shapes over them, the corners last so that they win where
 *   a corner meets an edge.
 * - The title bar's controls sit on the form itself (not in a panel), so
 *   their mouse positions stay fixed while the outline moves: the resize
 *   rectangle works on differences only.
 * - Panel3 holds the body; the lock panel covers exactly Panel3's place and
 *   is brought to the front when shown.
 */
#include "app/QZ_Frm_Main.h"

#include "base/ProductNames.h"
#include "components/runtime/QCLFMDrop.h"
#include "components/runtime/qclcont.h"
#include "framework/ExtCtrls.h"
#include "framework/ScrollBox.h"
#include "skin/ImagePanel.h"
#include "skin/KTransButton.h"
#include "skin/Tranimag.h"
#include "skin/art/ButtonPictureList.h"
#include "skin/art/MainWindowArt.h"
#include "skin/art/SkinArt.h"
#include "skin/xpButton.h"

namespace {

constexpr TColor kFrameNavy = static_cast<TColor>(0x733F25);  // RGB(37, 63, 115)
constexpr TColor kBodyCream = static_cast<TColor>(0xEFFBFC);  // RGB(252, 251, 239)
constexpr TColor kPanelBlue = static_cast<TColor>(0xE8DED6);  // RGB(214, 222, 232)
constexpr TColor kRuleBlue = static_cast<TColor>(0xC4A08C);  // RGB(140, 160, 196)
constexpr TColor kLinkBlue = static_cast<TColor>(0x904A1E);   // RGB(30, 74, 144)
constexpr int kWidth = 757, kHeight = 500;
constexpr int kTitleHeight = 35, kLeftEdge = 8, kRightEdge = 9, kBottomEdge = 7, kCorner = 13;
constexpr int kCommandsHeight = 58, kStatusHeight = 20;

TImage* makeImage(TComponent* owner, TWinControl* parent, int id, const TRect& at, TAnchors anchors, bool stretch) {
    auto* image = new TImage(owner);
    image->SetParent(parent);
    image->SetBoundsRect(at);
    image->SetStretch(stretch);
    image->GetPicture()->GetBitmap()->LoadFromResourceID(HInstance, id);
    image->SetAnchors(anchors);
    return image;
}

// An invisible grip over an edge picture.
TShape* makeGrip(TComponent* owner, TWinControl* parent, const TRect& at, TAnchors anchors, TCursor cursor) {
    auto* shape = new TShape(owner);
    shape->SetParent(parent);
    shape->SetBoundsRect(at);
    shape->GetBrush()->SetStyle(bsClear);
    shape->GetPen()->SetStyle(psClear);
    shape->SetAnchors(anchors);
    shape->SetCursor(cursor);
    return shape;
}

// A picture button with its three faces from consecutive resources.
KTransButton* makePictureButton(TComponent* owner, TWinControl* parent, int normal, int active, int pressed,
                                int left, int top, const char* hint) {
    auto* button = new KTransButton(owner);
    button->SetParent(parent);
    TBitmap picture;
    picture.LoadFromResourceID(HInstance, normal);
    button->SetBitMap(&picture);
    picture.LoadFromResourceID(HInstance, active);
    button->SetBitmapOnActive(&picture);
    picture.LoadFromResourceID(HInstance, pressed);
    button->SetBitmapOnDown(&picture);
    button->SetLeft(left);
    button->SetTop(top);
    button->SetCursor(crHandPoint);
    button->SetHint(hint);
    button->SetShowHint(true);
    return button;
}

TLabel* makeLabel(TComponent* owner, TWinControl* parent, const TRect& at, const char* text, int height,
                  TColor color, bool bold, TAlignment alignment) {
    auto* label = new TLabel(owner);
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->SetBoundsRect(at);
    label->SetTransparent(true);
    label->SetAlignment(alignment);
    label->GetFont()->SetName("Tahoma");
    label->GetFont()->SetHeight(height);
    label->GetFont()->SetColor(color);
    if (bold) label->GetFont()->SetStyle(TFontStyles{fsBold});
    label->SetText(text);
    return label;
}

TPanel* makePanel(TComponent* owner, TWinControl* parent, TColor color) {
    auto* panel = new TPanel(owner);
    panel->SetParent(parent);
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvNone);
    panel->SetText("");
    panel->SetParentColor(false);
    panel->SetColor(color);
    return panel;
}

TxpButton* makeXpButton(TComponent* owner, TWinControl* parent, const TRect& at, const char* caption) {
    auto* button = new TxpButton(owner);
    button->SetParent(parent);
    button->SetBoundsRect(at);
    button->SetCursor(crHandPoint);
    button->GetFont()->SetName("Tahoma");
    button->GetFont()->SetHeight(-12);
    button->SetCaption(caption);
    return button;
}

}  // namespace

void TFormMain::buildLayout() {
    SetBorderStyle(bsNone);
    SetKeyPreview(true);
    SetColor(kFrameNavy);
    SetDoubleBuffered(true);
    SetBounds(0, 0, kWidth, kHeight);
    Caption = product::Title;

    QCLBitmapList1 = new TQCLBitmapList(this);
    skinart::LoadButtonPictures(QCLBitmapList1);

    buildFrame();
    buildBody();
    buildCommands();
    buildLockPanel();

    Timer1 = new TTimer(this);
    Timer1->Name = "Timer1";  // the idle timer, as automation tools find it through the control map
    Timer1->SetEnabled(false);
    Timer1->SetInterval(10000);
    Timer1->OnTimer = TNotifyEvent(this, &TFormMain::Timer1Timer);

    OnKeyDown = TKeyEvent(this, &TFormMain::FormKeyDown);
    OnKeyUp = TKeyEvent(this, &TFormMain::FormKeyUp);
    OnCanResize = TCanResizeEvent(this, &TFormMain::FormCanResize);

    QCLFMDrop1 = new TQCLFMDrop(this);
    QCLFMDrop1->OnFMDragDrop = TQCLFMDragDropEvent(this, &TFormMain::filesDropped);  // hooked in FormCreate

    buildRecordsSide();
    buildFilesSide();
    // The size change fits the help texts to the width it expects; the panel's own resize fits
    // them to the width alignment gave it, which also follows the splitter.
    if (Panel5) Panel5->OnResize = [this](TObject*) { fitHelpLabels(Panel5->GetWidth()); };
}

void TFormMain::buildFrame() {
    const TAnchors topWide{akLeft, akTop, akRight};
    const int w = kWidth, h = kHeight;

    ImagePanelTitleBar = new TImagePanel(this);
    ImagePanelTitleBar->SetParent(this);
    ImagePanelTitleBar->SetBounds(5, -1, w - 10, kTitleHeight + 1);
    ImagePanelTitleBar->GetBitmap()->LoadFromResourceID(HInstance, IDB_SKIN_TITLE_TILE);
    ImagePanelTitleBar->SetImageStyle(ipTile);
    ImagePanelTitleBar->SetAnchors(topWide);
    ImagePanelTitleBar->OnDblClick = TNotifyEvent(this, &TFormMain::titleDoubleClick);
    Image1 = makeImage(this, this, IDB_SKIN_TITLE_LEFT, Bounds(0, 0, 6, kTitleHeight), {akLeft, akTop}, false);
    Image3 = makeImage(this, this, IDB_SKIN_TITLE_RIGHT, Bounds(w - 6, 0, 6, kTitleHeight), {akTop, akRight}, false);

    ImageInfo = new TTranImage(this);
    ImageInfo->SetParent(this);
    TBitmap icon;
    icon.LoadFromResourceID(HInstance, IDB_SKIN_ICON_INFO);
    ImageInfo->SetBitMap(&icon);
    ImageInfo->SetTransparentColor(clLime);
    ImageInfo->SetLeft(12);
    ImageInfo->SetTop(9);
    ImageInfo->OnDblClick = TNotifyEvent(this, &TFormMain::titleDoubleClick);

    MessageTitle = new TQCLSimpleLabel(this);
    MessageTitle->SetParent(this);
    MessageTitle->SetAutoSize(false);
    MessageTitle->SetMultiLine(true);
    MessageTitle->SetBoundsRect(Bounds(36, 9, w - 130, 18));
    MessageTitle->GetFont()->SetName("MS Sans Serif");
    MessageTitle->GetFont()->SetHeight(-13);
    MessageTitle->GetFont()->SetColor(clWhite);
    MessageTitle->GetFont()->SetStyle(TFontStyles{fsBold});
    MessageTitle->GetFont3D()->SetStyle(tdSunken);
    MessageTitle->GetFont3D()->SetLightColor(clBlack);
    MessageTitle->GetFont3D()->SetShadowColor(clBlack);
    MessageTitle->SetText(product::Title);
    MessageTitle->SetAnchors(topWide);
    MessageTitle->OnDblClick = TNotifyEvent(this, &TFormMain::titleDoubleClick);

    // The edges: pictures below, invisible grips above them.
    ImagePanelLeftSide = makeImage(this, this, IDB_SKIN_EDGE_LEFT, Bounds(0, kTitleHeight, kLeftEdge, h - kTitleHeight - kCorner),
                                   {akLeft, akTop, akBottom}, true);
    ImagePanelRightSide = makeImage(this, this, IDB_SKIN_EDGE_RIGHT,
                                    Bounds(w - kRightEdge, kTitleHeight, kRightEdge, h - kTitleHeight - kCorner),
                                    {akTop, akRight, akBottom}, true);
    ImagePanelBottomSide = makeImage(this, this, IDB_SKIN_EDGE_BOTTOM,
                                     Bounds(kCorner, h - kBottomEdge, w - 2 * kCorner, kBottomEdge),
                                     {akLeft, akRight, akBottom}, true);
    ShapeTop = makeGrip(this, this, Bounds(kCorner, 0, w - 2 * kCorner, 3), topWide, crSizeNS);
    ShapeBottom = makeGrip(this, this, Bounds(kCorner, h - kBottomEdge, w - 2 * kCorner, kBottomEdge),
                           {akLeft, akRight, akBottom}, crSizeNS);
    ShapeLeft = makeGrip(this, this, Bounds(0, kCorner, kLeftEdge, h - 2 * kCorner), {akLeft, akTop, akBottom}, crSizeWE);
    ShapeRight = makeGrip(this, this, Bounds(w - kRightEdge, kCorner, kRightEdge, h - 2 * kCorner),
                          {akTop, akRight, akBottom}, crSizeWE);
    ImageTL = makeImage(this, this, IDB_SKIN_CORNER_TL, Bounds(0, 0, kCorner, kCorner), {akLeft, akTop}, false);
    ImageTR = makeImage(this, this, IDB_SKIN_CORNER_TR, Bounds(w - kCorner, 0, kCorner, kCorner), {akTop, akRight}, false);
    ImageBL = makeImage(this, this, IDB_SKIN_CORNER_BL, Bounds(0, h - kCorner, kCorner, kCorner), {akLeft, akBottom}, false);
    ImageBR = makeImage(this, this, IDB_SKIN_CORNER_BR, Bounds(w - kCorner, h - kCorner, kCorner, kCorner),
                        {akRight, akBottom}, false);
    ImageTL->SetCursor(crSizeNWSE);
    ImageBR->SetCursor(crSizeNWSE);
    ImageTR->SetCursor(crSizeNESW);
    ImageBL->SetCursor(crSizeNESW);

    KTransButton5 = makePictureButton(this, this, IDB_MAIN_MIN_NORMAL, IDB_MAIN_MIN_ACTIVE, IDB_MAIN_MIN_PRESSED,
                                      w - 81, 8, "Minimize");
    KTransMaxButton = makePictureButton(this, this, IDB_MAIN_MAX_NORMAL, IDB_MAIN_MAX_ACTIVE, IDB_MAIN_MAX_PRESSED,
                                        w - 58, 8, "Maximize");
    KTransRestoreButton = makePictureButton(this, this, IDB_MAIN_RESTORE_NORMAL, IDB_MAIN_RESTORE_ACTIVE,
                                            IDB_MAIN_RESTORE_PRESSED, w - 58, 8, "Restore");
    KTransButton3 = makePictureButton(this, this, IDB_MAIN_CLOSE_NORMAL, IDB_MAIN_CLOSE_ACTIVE, IDB_MAIN_CLOSE_PRESSED,
                                      w - 35, 8, "Close");
    for (KTransButton* b : {KTransButton5, KTransMaxButton, KTransRestoreButton, KTransButton3})
        b->SetAnchors({akTop, akRight});
    KTransRestoreButton->SetVisible(false);
    KTransButton3->SetName("KTransButton3");  // the close button, as automation tools find it
    KTransButton5->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransButton5MouseRelease);
    KTransMaxButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransMaxButtonMouseRelease);
    KTransRestoreButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransMaxButtonMouseRelease);
    KTransButton3->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransButton3MouseRelease);

    wireGrip(ImagePanelTitleBar, DraggingTitle, 5);
    wireGrip(MessageTitle, DraggingTitle, 5);
    wireGrip(ImageInfo, DraggingTitle, 5);
    wireGrip(ImageTL, DraggingTL, 0);
    wireGrip(ImageTR, DraggingTR, 1);
    wireGrip(ImageBL, DraggingBL, 2);
    wireGrip(ImageBR, DraggingBR, 3);
    wireGrip(ShapeTop, DraggingTop, 6);
    wireGrip(ShapeBottom, DraggingBottom, 7);
    wireGrip(ShapeLeft, DraggingLeft, 8);
    wireGrip(ShapeRight, DraggingRight, 9);
}

void TFormMain::buildBody() {
    Panel3 = makePanel(this, this, kBodyCream);
    Panel3->SetBounds(kLeftEdge, kTitleHeight, kWidth - kLeftEdge - kRightEdge, kHeight - kTitleHeight - kBottomEdge);
    Panel3->SetAnchors({akLeft, akTop, akRight, akBottom});

    // Aligned panels get their first place explicitly, so that the controls anchored in them
    // measure from their real size.
    const int bodyWidth = Panel3->GetWidth(), bodyHeight = Panel3->GetHeight();
    const int middleHeight = bodyHeight - kCommandsHeight - kStatusHeight;
    PanelCommands = makePanel(this, Panel3, kBodyCream);
    PanelCommands->SetBounds(0, 0, bodyWidth, kCommandsHeight);
    PanelCommands->SetAlign(alTop);
    auto* commandsRule = new TShape(this);
    commandsRule->SetParent(PanelCommands);
    commandsRule->SetBounds(0, kCommandsHeight - 1, bodyWidth, 1);
    commandsRule->SetAlign(alBottom);
    commandsRule->GetPen()->SetColor(kRuleBlue);
    commandsRule->GetBrush()->SetColor(kRuleBlue);

    PanelStatus = makePanel(this, Panel3, kBodyCream);
    PanelStatus->SetBounds(0, bodyHeight - kStatusHeight, bodyWidth, kStatusHeight);
    PanelStatus->SetAlign(alBottom);
    Label4 = makeLabel(this, PanelStatus, Bounds(8, 3, 400, 15), "", -11, kLinkBlue, false, taLeftJustify);
    Label4->SetCursor(crHandPoint);
    ImageResizeTab = makeImage(this, PanelStatus, IDB_MAIN_RESIZE_TAB, Bounds(bodyWidth - 13, kStatusHeight - 13, 12, 12),
                               {akRight, akBottom}, false);
    ImageResizeTab->SetCursor(crSizeNWSE);
    wireGrip(ImageResizeTab, DraggingBR, 3);

    Panel2 = makePanel(this, Panel3, kBodyCream);
    Panel2->SetBounds(0, kCommandsHeight, SplitterLeft, middleHeight);
    Panel2->SetAlign(alLeft);

    SplitterMain = new TSplitter(this);
    SplitterMain->SetParent(Panel3);
    SplitterMain->SetBounds(SplitterLeft, kCommandsHeight, 6, middleHeight);
    SplitterMain->SetAlign(alLeft);
    SplitterMain->SetColor(kPanelBlue);
    SplitterMain->SetMinSize(1);
    SplitterMain->SetAutoSnap(false);
    SplitterMain->SetCursor(crHSplit);
    SplitterMain->OnCanResize = TCanResizeSplitterEvent(this, &TFormMain::SplitterMainCanResize);
    SplitterMain->OnPaint = TNotifyEvent(this, &TFormMain::SplitterMainPaint);

    ImageSplitter = makeImage(this, Panel3, IDB_MAIN_SPLITTER, Bounds(0, 0, 4, 32), {akLeft, akTop}, false);
    ImageSplitter->SetVisible(false);

    ScrollBoxInfoPanel = new TScrollBox(this);
    ScrollBoxInfoPanel->SetParent(Panel3);
    ScrollBoxInfoPanel->SetBounds(SplitterLeft + 6, kCommandsHeight, bodyWidth - SplitterLeft - 6, middleHeight);
    ScrollBoxInfoPanel->SetAlign(alClient);
    ScrollBoxInfoPanel->SetParentColor(false);
    ScrollBoxInfoPanel->SetColor(kBodyCream);
    ScrollBoxInfoPanel->SetBorderStyle(bsNone);

    Panel1 = makePanel(this, ScrollBoxInfoPanel, kBodyCream);
    // As wide as the editor area; the records side sets its height to the rows it shows.
    Panel1->SetBounds(0, 0, bodyWidth - SplitterLeft - 6, middleHeight);
    Panel1->SetAlign(alTop);
}

void TFormMain::buildCommands() {
    struct Command {
        KTransButton** button;
        TLabel** label;
        int picture;
        const char* caption;
        int left;
        const char* name;  // the framework name other programs find the button by
    };
    // The file buttons join the others while the Encrypted Files category is shown, after Help: New
    // and Delete stay where they are (New answers there too, with its caution). Their captions are
    // longer, so they stand further apart: "Add File" and "Remove File" keep a gap between them.
    const Command commands[] = {
        {&KTransNewButton, &LabelNew, IDB_MAIN_NEW_NORMAL, "New", 12, "KTransNewButton"},
        {&KTransDeleteButton, &LabelDelete, IDB_MAIN_DELETE_NORMAL, "Delete", 58, "KTransDeleteButton"},
        {&KTransSaveButton, &LabelSave, IDB_MAIN_SAVE_NORMAL, "Save", 104, "KTransSaveButton"},
        {&KTransSearchButton, &LabelSearch, IDB_MAIN_SEARCH_NORMAL, "Search", 150, "KTransSearchButton"},
        {&KTransToolsButton, &LabelTools, IDB_MAIN_TOOLS_NORMAL, "Tools", 196, "KTransToolsButton"},
        {&KTransHelpButton, &LabelHelp, IDB_MAIN_HELP_NORMAL, "Help", 242, "KTransHelpButton"},
        {&KTransNewFileButton, &LabelNewFile, IDB_MAIN_ADDFILE_NORMAL, "Add File", 292, "KTransNewFileButton"},
        {&KTransRemoveFileButton, &LabelRemoveFile, IDB_MAIN_REMOVEFILE_NORMAL, "Remove File", 358, "KTransRemoveFileButton"},
    };
    for (const Command& c : commands) {
        *c.button = makePictureButton(this, PanelCommands, c.picture, c.picture + 1, c.picture + 2, c.left + 9, 5, c.caption);
        // Centred under the button, never narrower than its caption: the file buttons' longer
        // captions get the wider labels, the record buttons' short ones narrower labels that stay clear
        // of each other at their closer spacing.
        const bool fileCommand = c.button == &KTransNewFileButton || c.button == &KTransRemoveFileButton;
        const int labelWidth = fileCommand ? 66 : 60;
        *c.label = makeLabel(this, PanelCommands, Bounds(c.left + 25 - labelWidth / 2, 39, labelWidth, 14), c.caption, -11,
                             kFrameNavy, false, taCenter);
        (*c.button)->SetName(c.name);
    }
    KTransNewButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransNewButtonMouseRelease);
    KTransDeleteButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransDeleteButtonMouseRelease);
    KTransSaveButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransSaveButtonMouseRelease);
    KTransSearchButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransSearchButtonMouseRelease);
    KTransToolsButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransToolsButtonMouseRelease);
    KTransHelpButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransHelpButtonMouseRelease);
    // Remove File is the Delete button's work on the selected file.
    KTransRemoveFileButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransDeleteButtonMouseRelease);
    for (TControl* c : std::initializer_list<TControl*>{KTransNewFileButton, LabelNewFile, KTransRemoveFileButton, LabelRemoveFile})
        c->SetVisible(false);

    // Shown over New and Delete while there is no user category.
    auto inactive = [this](int picture, int left) {
        auto* image = new TTranImage(this);
        image->SetParent(PanelCommands);
        TBitmap bitmap;
        bitmap.LoadFromResourceID(HInstance, picture);
        image->SetBitMap(&bitmap);
        image->SetLeft(left);
        image->SetTop(5);
        image->SetVisible(false);
        return image;
    };
    TranImageNewInactive = inactive(IDB_MAIN_NEW_INACTIVE, 21);
    TranImageDeleteInactive = inactive(IDB_MAIN_DELETE_INACTIVE, 67);

    const int right = PanelCommands->GetWidth();
    // Narrow enough that the file buttons stay clear of them at the smallest window.
    xpLockButton = makeXpButton(this, PanelCommands, Bounds(right - 246, 17, 75, 25), "Quick Lock");
    xpCloseButton = makeXpButton(this, PanelCommands, Bounds(right - 165, 17, 75, 25), "Switch Vault");
    xpButton3 = makeXpButton(this, PanelCommands, Bounds(right - 84, 17, 75, 25), "Exit");
    for (TxpButton* b : {xpLockButton, xpCloseButton, xpButton3}) b->SetAnchors({akTop, akRight});
    xpButton3->SetName("xpButton3");
    xpLockButton->OnClick = TNotifyEvent(this, &TFormMain::xpLockButtonClick);
    xpCloseButton->OnClick = TNotifyEvent(this, &TFormMain::xpCloseButtonClick);
    xpButton3->OnClick = TNotifyEvent(this, &TFormMain::xpButton3Click);
}

void TFormMain::buildLockPanel() {
    Panel8 = makePanel(this, this, kBodyCream);
    Panel8->SetBounds(Panel3->Left, Panel3->Top, Panel3->Width, Panel3->Height);
    Panel8->SetAnchors({akLeft, akTop, akRight, akBottom});
    Panel8->SetVisible(false);
    ImagePadlock = new TImage(this);
    ImagePadlock->SetParent(Panel8);
    ImagePadlock->SetBounds(0, 0, 48, 48);
    ImagePadlock->GetPicture()->GetBitmap()->LoadFromResourceID(HInstance, IDB_MAIN_PADLOCK);
    ImagePadlock->SetTransparent(true);
    LabelLocked = makeLabel(this, Panel8, Bounds(0, 0, 10, 24), "Your vault is locked.", -19, kFrameNavy, true, taCenter);
    LabelLockedHint = makeLabel(this, Panel8, Bounds(0, 0, 10, 16),
                                "Press Enter or click Unlock and enter your master password to continue.", -12,
                                clBlack, false, taCenter);
    xpUnlockButton = makeXpButton(this, Panel8, Bounds(0, 0, 95, 25), "Unlock");
    xpUnlockButton->OnClick = TNotifyEvent(this, &TFormMain::xpUnlockButtonClick);
    // The lock's contents stay in the middle of the panel, whatever the window's size.
    Panel8->OnResize = [this](TObject*) {
        const int w = Panel8->GetWidth(), h = Panel8->GetHeight();
        ImagePadlock->SetBounds(w / 2 - 24, h / 2 - 96, 48, 48);
        LabelLocked->SetBounds(0, h / 2 - 36, w, 24);
        LabelLockedHint->SetBounds(0, h / 2 - 6, w, 16);
        xpUnlockButton->SetBounds(w / 2 - 48, h / 2 + 22, 95, 25);
    };
    Panel8->OnResize(Panel8);
}
