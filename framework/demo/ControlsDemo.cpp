/*
 * The standard controls on one form built in code, to look at: header with
 * an owner-drawn section, a multi-select tree and an owner-drawn multi-select
 * list on the left, a splitter with a painted grip, and on the right a panel
 * with label, edit (with a popup menu offering the file dialogs), memo, combo
 * box, check and radio buttons, shapes, an image and a scroll box of rows.
 * "--close-after <ms>" closes it on its own (for screenshots).
 */
#include <windows.h>

#include "framework/Framework.h"

namespace {

class TControlsDemoForm : public TForm {
public:
    explicit TControlsDemoForm(TComponent* owner) : TForm(owner) {
        Caption = "Standard controls";
        BorderStyle = bsSingle;
        Position = poScreenCenter;
        SetBounds(0, 0, 780, 540);
        Color = clBtnFace;
        KeyPreview = true;
        OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
            if (key == VK_ESCAPE) Close();
        };
        buildHeader();
        buildLeftSide();
        auto* splitter = new TSplitter(this);
        splitter->Left = 260;
        splitter->Width = 7;
        splitter->MinSize = 120;
        splitter->Parent = this;
        splitter->OnPaint = [splitter](TObject*) {
            TCanvas* c = splitter->Canvas;
            c->Brush->Color = clBtnShadow;
            int middle = splitter->Height / 2;
            for (int i = -2; i <= 2; ++i) c->FillRect(Bounds(2, middle + i * 6, 3, 3));
        };
        buildRightSide();
    }

private:
    void buildHeader() {
        auto* header = new THeaderControl(this);
        header->Parent = this;
        header->Height = 20;
        const char* names[] = {"Name", "Size", "Modified"};
        for (const char* name : names) {
            THeaderSection* section = header->Sections->Add();
            section->Text = name;
            section->Width = 120;
        }
        header->Sections->Items[1]->Style = hsOwnerDraw;
        header->OnDrawSection = [](THeaderControl* h, THeaderSection* s, const TRect& r, bool pressed) {
            TCanvas* c = h->Canvas;
            c->Brush->Color = pressed ? clBtnShadow : clBtnFace;
            c->FillRect(r);
            c->Brush->Style = bsClear;
            c->TextOut(r.Left + 6, r.Top + 2, s->Text() + " (owner-drawn)");
            c->Pen->Color = clBtnShadow;
            c->MoveTo(r.Right - 14, r.Top + 6);
            c->LineTo(r.Right - 6, r.Top + 6);
            c->LineTo(r.Right - 10, r.Top + 12);
            c->LineTo(r.Right - 14, r.Top + 6);
        };
    }

    void buildLeftSide() {
        auto* left = new TPanel(this);
        left->Align = alLeft;
        left->Width = 260;
        left->BevelOuter = bvNone;
        left->Parent = this;

        auto* tree = new TTreeView(this);
        tree->Align = alTop;
        tree->Height = 230;
        tree->ReadOnly = true;
        tree->HideSelection = false;
        tree->Parent = left;
        TTreeNode* root = tree->Items->AddChild(nullptr, "Encrypted File List");
        TTreeNode* folder = tree->Items->AddChildObject(root, "Reports", reinterpret_cast<void*>(1));
        tree->Items->AddChildObject(folder, "march.doc", reinterpret_cast<void*>(-1));
        tree->Items->AddChildObject(folder, "april.doc", reinterpret_cast<void*>(-1));
        TTreeNode* notes = tree->Items->AddChildObject(root, "notes.txt", reinterpret_cast<void*>(2));
        TTreeNode* budget = tree->Items->AddChildObject(root, "budget.xls", reinterpret_cast<void*>(3));
        root->Expand(true);
        tree->Select(notes);
        tree->Select(budget, TShiftState{ssCtrl});

        auto* list = new TListBox(this);
        list->Align = alClient;
        list->Style = lbOwnerDrawFixed;
        list->ItemHeight = 20;
        list->MultiSelect = true;
        list->Parent = left;
        list->Items->Text = "Passwords\nContacts\nTo Do\nBank accounts\nSoftware keys\nNotes";
        list->Selected[1] = true;
        list->Selected[3] = true;
        list->OnDrawItem = [list](TWinControl*, int index, TRect rect, TOwnerDrawState state) {
            TCanvas* c = list->Canvas;
            bool odd = index % 2 != 0;
            c->Brush->Color = state.Contains(odSelected) ? clHighlight
                                                          : (odd ? static_cast<TColor>(RGB(240, 244, 250)) : clWindow);
            c->FillRect(rect);
            c->Font->Color = state.Contains(odSelected) ? clHighlightText : clWindowText;
            c->Brush->Style = bsClear;
            c->TextOut(rect.Left + 6, rect.Top + 3, list->Items->Strings[index]);
            if (state.Contains(odFocused)) c->DrawFocusRect(rect);
        };
    }

    void buildRightSide() {
        auto* right = new TPanel(this);
        right->Align = alClient;
        right->Caption = "";
        right->BevelOuter = bvLowered;
        right->BorderWidth = 4;
        right->Parent = this;

        auto* title = new TLabel(this);
        title->Parent = right;
        title->SetBounds(16, 12, 0, 0);
        title->Caption = "&Vault name:";
        title->Font->Style = TFontStyles{fsBold};

        auto* edit = new TEdit(this);
        edit->Parent = right;
        edit->SetBounds(110, 10, 200, 21);
        edit->Text = "Personal (right-click me)";
        title->FocusControl = edit;
        edit->PopupMenu = buildMenu(edit);

        auto* combo = new TComboBox(this);
        combo->Parent = right;
        combo->Style = csDropDownList;
        combo->SetBounds(330, 10, 150, 21);
        combo->Items->Text = "Add/Edit Categories...\nEncrypted Files\nPasswords\nContacts";
        combo->ItemIndex = 2;

        auto* memo = new TMemo(this);
        memo->Parent = right;
        memo->SetBounds(16, 44, 300, 90);
        memo->ScrollBars = ssVertical;
        memo->MaxLength = 4096;
        memo->SetTabStops({60});
        memo->Lines->Add("File Size:\t1,234,567 Bytes");
        memo->Lines->Add("Encryption Algorithm:  Blowfish");
        memo->Lines->Add("A memo wraps its long lines and keeps Enter for itself.");

        auto* check = new TCheckBox(this);
        check->Parent = right;
        check->SetBounds(330, 44, 150, 18);
        check->Caption = "Show tips";
        check->Checked = true;
        auto* radio1 = new TRadioButton(this);
        radio1->Parent = right;
        radio1->SetBounds(330, 68, 150, 18);
        radio1->Caption = "Back Up Vault";
        radio1->Checked = true;
        auto* radio2 = new TRadioButton(this);
        radio2->Parent = right;
        radio2->SetBounds(330, 90, 150, 18);
        radio2->Caption = "Back Up Key";

        const TShapeType shapes[] = {stRectangle, stRoundRect, stEllipse, stCircle};
        const TColor colours[] = {clTeal, clMaroon, clNavy, clOlive};
        for (int i = 0; i < 4; ++i) {
            auto* shape = new TShape(this);
            shape->Parent = right;
            shape->SetBounds(16 + i * 52, 146, 44, 32);
            shape->Shape = shapes[i];
            shape->Brush->Color = colours[i];
            shape->Pen->Color = clBlack;
        }

        auto* image = new TImage(this);
        image->Parent = right;
        image->SetBounds(230, 140, 80, 44);
        image->Center = true;
        TBitmap picture;
        picture.SetSize(60, 36);
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 60; ++x)
                picture.Canvas->Pixels[x][y] = static_cast<TColor>(RGB(x * 4, 120 + y * 3, 200 - x * 3));
        image->Picture->Bitmap = &picture;

        auto* caption = new TLabel(this);
        caption->Parent = right;
        caption->SetBounds(330, 120, 170, 60);
        caption->AutoSize = false;
        caption->WordWrap = true;
        caption->Caption = "A label that wraps its words inside a fixed box, drawn without a window.";

        auto* box = new TScrollBox(this);
        box->Parent = right;
        box->SetBounds(16, 194, 470, 260);
        box->Color = clWindow;
        for (int row = 0; row < 14; ++row) {
            auto* name = new TLabel(this);
            name->Parent = box;
            name->SetBounds(8, 10 + row * 28, 0, 0);
            name->Caption = "Field " + IntToStr(row + 1) + ":";
            auto* value = new TEdit(this);
            value->Parent = box;
            value->SetBounds(90, 6 + row * 28, 340, 21);
            value->Text = "row " + IntToStr(row + 1) + " of a scroll box";
        }
        box->VertScrollBar->Position = 56;
    }

    TPopupMenu* buildMenu(TEdit* edit) {
        auto* menu = new TPopupMenu(this);
        menu->Items->Add(NewItem("&Undo", true, [edit](TObject*) { edit->Undo(); }));
        menu->Items->Add(NewLine());
        menu->Items->Add(NewItem("Select all", true, [edit](TObject*) { edit->SelectAll(); }));
        menu->Items->Add(NewItem("Open file...", true, [this, edit](TObject*) {
            TOpenDialog dialog(this);
            dialog.Title = "Open";
            dialog.Filter = "(*.*) All Files|*.*|(*.txt) Text Documents|*.txt";
            dialog.Options = TOpenOptions{ofAllowMultiSelect, ofFileMustExist, ofNoChangeDir};
            if (dialog.Execute()) edit->Text = dialog.Files->CommaText;
        }));
        menu->Items->Add(NewItem("Save file...", true, [this, edit](TObject*) {
            TSaveDialog dialog(this);
            dialog.Title = "Save";
            dialog.DefaultExt = "vlt";
            dialog.FileName = "Brimsafe.vlt";
            dialog.Options = TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir};
            if (dialog.Execute()) edit->Text = dialog.FileName;
        }));
        return menu;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitFramework();
    Application->Initialize();
    Application->Title = "Controls Demo";
    TControlsDemoForm* form = nullptr;
    Application->CreateForm(form);
    if (ParamStr(1) == "--close-after") {
        auto* timer = new TTimer(form);
        timer->Interval = static_cast<unsigned>(StrToIntDef(ParamStr(2), 5000));
        timer->OnTimer = [form](TObject*) { form->Close(); };
    }
    Application->Run();
    return 0;
}
