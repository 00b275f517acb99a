// Gallery entries of the skinned window kit: the coloured tree of files and
// folders, and one sheet of the skin's controls in their states with the
// skin's own pictures.
#include "framework/Framework.h"
#include "skin/ClrTreeView.h"
#include "skin/ImagePanel.h"
#include "skin/KTransButton.h"
#include "skin/Tranimag.h"
#include "skin/art/SkinArt.h"
#include "skin/xpButton.h"
#include "tests/gallery/Gallery.h"

namespace {

constexpr TColor navy = 0x733F25, cream = 0xEFFBFC;

class TSheet : public TForm {
public:
    TSheet(int width, int height) : TForm(nullptr) {
        BorderStyle = bsNone;
        Color = cream;
        SetBounds(40, 40, width, height);
    }
};

TLabel* caption(TWinControl* parent, int x, int y, const char* text) {
    auto* label = new TLabel(parent);
    label->Parent = parent;
    label->Transparent = true;
    label->SetBounds(x, y, 300, 14);
    label->Caption = text;
    return label;
}

TImagePanel* panel(TWinControl* parent, int x, int y, int w, int h, int picture, TImageDrawStyle style) {
    auto* p = new TImagePanel(parent);
    p->Parent = parent;
    p->SetBounds(x, y, w, h);
    p->DrawingStyle = style;
    p->Bitmap->LoadFromResourceID(HInstance, picture);
    return p;
}

TxpButton* button(TWinControl* parent, int x, int y, const char* text) {
    auto* b = new TxpButton(parent);
    b->Parent = parent;
    b->SetBounds(x, y, 75, 23);
    b->Caption = text;
    return b;
}

}  // namespace

BRIM_GALLERY_ENTRY("clrtreeview") {
    auto* form = new TSheet(300, 240);
    form->Color = clWhite;
    auto* tree = new TClrTreeView(form);
    tree->Parent = form;
    tree->SetBounds(8, 8, 284, 224);
    tree->HighlightColor = RGB(0, 128, 0);
    TTreeNode* documents = tree->Items->AddChild(nullptr, "C:\\Documents");
    TTreeNode* report = tree->Items->AddChild(documents, "report.doc");
    tree->Items->AddChild(documents, "budget.xls");
    TTreeNode* letters = tree->Items->AddChild(documents, "Letters");
    TTreeNode* bank = tree->Items->AddChild(letters, "bank.txt");
    tree->Items->AddChild(letters, "landlord.txt");
    TTreeNode* photos = tree->Items->AddChild(nullptr, "D:\\Photos");
    tree->Items->AddChild(photos, "passport.jpg");
    tree->FullExpand();
    tree->SetColored(report, true);
    tree->SetColored(bank, true);
    tree->Select(letters);
    tree->Select(photos, TShiftState{ssCtrl});
    shot.form(form);
    form->Free();
}

BRIM_GALLERY_ENTRY("skin-kit") {
    auto* form = new TSheet(520, 330);

    // A window frame built from the skin's pictures: title bar, corners, edges.
    panel(form, 13, 8, 230, 35, IDB_SKIN_TITLE_TILE, ipTile);
    // Corner panels one pixel larger all round: a panel draws inside a 1-pixel margin.
    for (auto [left, picture] : {std::pair<int, int>{7, IDB_SKIN_CORNER_TL}, {234, IDB_SKIN_CORNER_TR}}) {
        TImagePanel* corner = panel(form, left, 7, 15, 15, picture, ipSingle);
        corner->XPosition = 1;
        corner->YPosition = 1;
    }
    caption(form, 20, 48, "ImagePanel: tile, single, stretch");
    panel(form, 14, 66, 60, 40, IDB_SKIN_EDGE_LEFT, ipTile);
    // An image panel draws its picture whole, with no key colour: the keyed icons belong in
    // transparent images (the title icons below), so a button face shows the single and stretched modes.
    panel(form, 84, 66, 60, 40, IDB_SKIN_FACE_NORMAL, ipSingle);
    panel(form, 154, 66, 60, 40, IDB_SKIN_FACE_NORMAL, ipStretch);

    // Title icons on the title bar, keyed.
    const int icons[] = {IDB_SKIN_ICON_INFO, IDB_SKIN_ICON_ERROR, IDB_SKIN_ICON_CAUTION, IDB_SKIN_ICON_QUESTION};
    int x = 30;
    for (int id : icons) {
        auto* icon = new TTranImage(form);
        icon->Parent = form;
        TBitmap picture;
        picture.LoadFromResourceID(HInstance, id);
        icon->TransparentColor = id == IDB_SKIN_ICON_CAUTION ? clWhite : clLime;
        icon->BitMap = &picture;
        icon->SetBounds(x, 17, icon->Width(), icon->Height());
        x += 26;
    }

    caption(form, 270, 10, "Picture button faces");
    const int faces[] = {IDB_SKIN_FACE_NORMAL, IDB_SKIN_FACE_ACTIVE, IDB_SKIN_FACE_PRESSED};
    for (int i = 0; i < 3; ++i) {
        auto* face = new KTransButton(form);
        face->Parent = form;
        TBitmap picture;
        picture.LoadFromResourceID(HInstance, faces[i]);
        face->BitMap = &picture;
        face->SetLeft(270 + 85 * (i % 2));
        face->SetTop(30 + 30 * (i / 2));
    }

    caption(form, 20, 120, "XP buttons: normal, hot, pressed, focused, disabled");
    TxpButton* normal = button(form, 20, 140, "&Open");
    TxpButton* hot = button(form, 105, 140, "Hot");
    hot->Perform(CM_MOUSEENTER, 0, 0);
    TxpButton* pressed = button(form, 190, 140, "Pressed");
    pressed->Perform(CM_MOUSEENTER, 0, 0);
    pressed->Downed = true;
    TxpButton* focused = button(form, 275, 140, "Focused");
    TxpButton* disabled = button(form, 360, 140, "&Disabled");
    disabled->Enabled = false;
    (void)normal;

    // The same buttons on the navy frame colour, as in a dialog's body.
    auto* strip = new TPanel(form);
    strip->Parent = form;
    strip->SetBounds(10, 180, 500, 140);
    strip->BevelOuter = bvNone;
    strip->Color = navy;
    auto* body = new TPanel(strip);
    body->Parent = strip;
    body->SetBounds(8, 8, 484, 124);
    body->BevelOuter = bvNone;
    body->Color = cream;
    auto* text = caption(body, 15, 16, "Switching vaults will close your current vault.");
    text->Font->Name = "Arial";
    button(body, 300, 90, "Yes");
    button(body, 385, 90, "No");

    form->Show();
    focused->SetFocus();
    shot.form(form);
    form->Free();
}
