// The dialog skeleton; see DialogSkeleton.h.
#include "dialogs/DialogSkeleton.h"

#include "skin/art/SkinArt.h"

namespace {

TImagePanel* edgePanel(TWinControl* parent, int picture) {
    auto* panel = new TImagePanel(parent);
    panel->Parent = parent;
    panel->DrawingStyle = ipTile;
    panel->Bitmap->LoadFromResourceID(HInstance, picture);
    return panel;
}

}  // namespace

TSkinnedDialog::TSkinnedDialog(TComponent* AOwner, const AnsiString& title, int clientWidth, int clientHeight,
                               DialogPlacement placement, TColor iconKey)
    : TForm(AOwner) {
    BorderStyle = bsNone;
    Color = FormColor;
    Font->Name = "MS Sans Serif";
    Font->Height = -11;
    ClientWidth = clientWidth;
    ClientHeight = clientHeight;
    Position = placement == DialogPlacement::ScreenCentred ? poScreenCenter : poOwnerFormCenter;
    const int w = clientWidth, h = clientHeight;

    Panel1 = new TPanel(this);
    Panel1->Parent = this;
    Panel1->BevelOuter = bvNone;
    Panel1->Color = PanelColor;
    Panel1->SetBounds(8, 29, w - 17, h - 36);
    Panel1->Anchors = TAnchors{akLeft, akTop, akRight, akBottom};

    ImagePanelTitleBar = edgePanel(this, IDB_SKIN_TITLE_TILE);
    ImagePanelTitleBar->SetBounds(0, -2, w, 35);
    ImagePanelTitleBar->Anchors = TAnchors{akLeft, akTop, akRight};
    ImagePanelLeftSide = edgePanel(this, IDB_SKIN_EDGE_LEFT);
    ImagePanelLeftSide->SetBounds(0, 33, 8, h - 33);
    ImagePanelLeftSide->Anchors = TAnchors{akLeft, akTop, akBottom};
    ImagePanelRightSide = edgePanel(this, IDB_SKIN_EDGE_RIGHT);
    ImagePanelRightSide->SetBounds(w - 9, 33, 9, h - 33);
    ImagePanelRightSide->Anchors = TAnchors{akTop, akRight, akBottom};
    ImagePanelBottomSide = edgePanel(this, IDB_SKIN_EDGE_BOTTOM);
    ImagePanelBottomSide->SetBounds(0, h - 7, w, 7);
    ImagePanelBottomSide->Anchors = TAnchors{akLeft, akRight, akBottom};

    Image1 = corner(IDB_SKIN_TITLE_LEFT);
    Image1->SetBounds(0, -2, 6, 35);
    Image3 = corner(IDB_SKIN_TITLE_RIGHT);
    Image3->SetBounds(w - 6, -2, 6, 35);
    Image3->Anchors = TAnchors{akTop, akRight};
    ImageTL = corner(IDB_SKIN_CORNER_TL);
    ImageTL->SetBounds(0, 0, 13, 13);
    ImageTR = corner(IDB_SKIN_CORNER_TR);
    ImageTR->SetBounds(w - 13, 0, 13, 13);
    ImageTR->Anchors = TAnchors{akTop, akRight};
    ImageBL = corner(IDB_SKIN_CORNER_BL);
    ImageBL->SetBounds(0, h - 13, 13, 13);
    ImageBL->Anchors = TAnchors{akLeft, akBottom};
    ImageBR = corner(IDB_SKIN_CORNER_BR);
    ImageBR->SetBounds(w - 13, h - 13, 13, 13);
    ImageBR->Anchors = TAnchors{akRight, akBottom};

    ImageInfo = new TTranImage(this);
    ImageInfo->Parent = this;
    ImageInfo->SetBounds(10, 8, 16, 16);
    ImageInfo->BitMap->LoadFromResourceID(HInstance, IDB_SKIN_ICON_INFO);
    ImageInfo->TransparentColor = iconKey == FormColor ? TColor(clLime) : iconKey;

    MessageTitle = new DialogLabel(this);
    MessageTitle->Parent = this;
    MessageTitle->Transparent = true;
    MessageTitle->AutoSize = false;
    MessageTitle->SetMultiLine(true);
    MessageTitle->SetBounds(30, 8, 272, 17);
    MessageTitle->Font->Color = clWhite;
    MessageTitle->Font->Height = -13;
    MessageTitle->Font->Style = TFontStyles{fsBold};
    MessageTitle->GetFont3D()->SetStyle(tdSunken);
    MessageTitle->GetFont3D()->SetLightColor(clBlack);
    MessageTitle->GetFont3D()->SetShadowColor(clBlack);
    MessageTitle->Caption = title;

    for (TControl* dragger : {static_cast<TControl*>(ImagePanelTitleBar), static_cast<TControl*>(MessageTitle),
                              static_cast<TControl*>(ImageInfo)}) {
        dragger->OnMouseDown = TMouseEvent(this, &TSkinnedDialog::ImagePanelTitleBarMouseDown);
        dragger->OnMouseMove = TMouseMoveEvent(this, &TSkinnedDialog::ImagePanelTitleBarMouseMove);
        dragger->OnMouseUp = TMouseEvent(this, &TSkinnedDialog::ImagePanelTitleBarMouseUp);
    }
    OnCreate = TNotifyEvent(this, &TSkinnedDialog::FormCreate);
    OnDestroy = TNotifyEvent(this, &TSkinnedDialog::FormDestroy);
}

TSkinnedDialog::~TSkinnedDialog() = default;

TImage* TSkinnedDialog::corner(int picture) {
    auto* image = new TImage(this);
    image->Parent = this;
    image->Picture->Bitmap->LoadFromResourceID(HInstance, picture);
    return image;
}

void TSkinnedDialog::SetWindowRegion(int width, int height) {
    HRGN region = CreateRoundRectRgn(0, 0, width + 1, height + 1, 15, 15);
    if (SetWindowRgn(Handle, region, TRUE) == 0) DeleteObject(region);  // the system owns it once set
}

void TSkinnedDialog::FormCreate(TObject*) {
    DraggingTitle = false;
    ResizeRect = std::make_unique<ZM_ResizeRect>(this, -1, -1);
    SetWindowRegion(Width, Height);
}

void TSkinnedDialog::FormDestroy(TObject*) { ResizeRect.reset(); }

void TSkinnedDialog::ImagePanelTitleBarMouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
    DraggingTitle = Shift.Contains(ssLeft);
    if (DraggingTitle && ResizeRect) ResizeRect->beginDrag(reMove, X, Y);
}

void TSkinnedDialog::ImagePanelTitleBarMouseMove(TObject*, TShiftState, int X, int Y) {
    if (DraggingTitle && ResizeRect) ResizeRect->trackDrag(X, Y);
}

void TSkinnedDialog::ImagePanelTitleBarMouseUp(TObject*, TMouseButton, TShiftState Shift, int, int) {
    DraggingTitle = Shift.Contains(ssLeft);
    if (!DraggingTitle && ResizeRect) ResizeRect->endDrag(0, 0);
}

TxpButton* TSkinnedDialog::addButton(const char* caption, int left, int top, int width) {
    auto* button = new TxpButton(this);
    button->Parent = Panel1;
    button->SetBounds(left, top, width, 23);
    button->Caption = caption;
    button->Cursor = crHandPoint;
    button->Font->Height = -13;
    return button;
}

DialogLabel* TSkinnedDialog::addLabel(const char* caption, int left, int top, int fontHeight) {
    auto* label = new DialogLabel(this);
    label->Parent = Panel1;
    label->Transparent = true;
    label->Font->Height = fontHeight;
    label->AutoSize = true;
    label->SetBounds(left, top, 10, 10);
    label->Caption = caption;
    return label;
}

DialogLabel* TSkinnedDialog::addText(const char* caption, int left, int top, int width, int fontHeight) {
    auto* label = new DialogLabel(this);
    label->Parent = Panel1;
    label->Transparent = true;
    label->Font->Height = fontHeight;
    label->MultiLine = true;
    label->AutoSize = true;
    label->SetBounds(left, top, width, 10);
    label->Caption = caption;
    // Built inside the dialog's loading bracket, the label would take its
    // height only at Loaded, after the controls below it have been placed.
    label->Height = label->MeasuredSize().cy;
    return label;
}

TQCLEdit* TSkinnedDialog::addEdit(int left, int top, int width) {
    auto* edit = new TQCLEdit(this);
    edit->Parent = Panel1;
    edit->SetBounds(left, top, width, 21);
    return edit;
}

TQCLEdit* TSkinnedDialog::addPasswordEdit(int left, int top, int width) {
    TQCLEdit* edit = addEdit(left, top, width);
    edit->PasswordChar = '*';
    edit->MaxLength = 4096;
    edit->AutoSelect = true;
    return edit;
}

void TSkinnedDialog::placeButtonAtFormLeft(TxpButton* button, int formLeft) { button->Left = formLeft - Panel1->Left; }
