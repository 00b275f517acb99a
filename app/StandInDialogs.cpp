// Plain stand-in dialogs of the main window (see StandInDialogs.h).
#include "app/StandInDialogs.h"

#include "app/RegistrySettings.h"
#include "framework/Framework.h"

#include <windows.h>
#include <ntsecapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A system push button that ends its form's modal loop with its result.
class TPlainButton : public TWinControl {
public:
    TPlainButton(TWinControl* parent, const char* text, int result, TRect bounds) : TWinControl(parent), result_(result) {
        Parent = parent;
        TabStop = true;
        SetBoundsRect(bounds);
        Caption = text;
    }
    // A mouse click (the framework's own click) or the button's notification (the keyboard).
    void Click() override { close(); }
    void Dispatch(TMessage& m) override {
        if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
            close();
            return;
        }
        TWinControl::Dispatch(m);
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.SystemClassName = "BUTTON";
        params.Style |= BS_PUSHBUTTON | WS_TABSTOP;
    }

private:
    void close() {
        if (TCustomForm* form = GetParentForm()) form->ModalResult = result_;
    }
    int result_;
};

class TPlainDialog : public TForm {
public:
    TPlainDialog(TComponent* owner, const char* caption, int height) : TForm(owner) {
        BorderStyle = bsDialog;
        Position = poScreenCenter;
        Caption = caption;
        SetBounds(0, 0, 420, height);
    }
    TLabel* label(const std::string& text, int top) {
        auto* l = new TLabel(this);
        l->Parent = this;
        l->SetBounds(12, top, 390, 18);
        l->Caption = text.c_str();
        return l;
    }
    TEdit* edit(const std::string& text, int top, bool secret) {
        auto* e = new TEdit(this);
        e->Parent = this;
        e->SetBounds(12, top, 390, 22);
        if (secret) e->PasswordChar = '*';
        e->Text = text.c_str();
        return e;
    }
    void button(const char* text, int result, int left, int top, int width = 90) {
        new TPlainButton(this, text, result, Bounds(left, top, width, 26));
    }
};

std::string textOf(TEdit* edit) { return std::string(AnsiString(edit->Text).c_str()); }

}  // namespace

int StandInDialogs::askPassword(TForm* owner, int mode, bool retry, bool firstPasswordPage, SecretText& password) {
    TPlainDialog* dialog = MakeForm<TPlainDialog>(owner, standin::PasswordCaption, 170);
    std::string prompt = mode == 1 || firstPasswordPage ? "Choose the master password of your new vault:"
                                                         : "Enter the master password of your vault:";
    if (retry) prompt = "The password you entered is not valid.  Please try again.";
    dialog->label(prompt, 12);
    TEdit* edit = dialog->edit("", 36, true);
    dialog->button("OK", 1, 12, 80);
    dialog->button("Cancel", 2, 108, 80);
    if (mode == 0 && !firstPasswordPage) dialog->button("Forgot your Password?", 7, 222, 80, 180);
    dialog->ActiveControl = edit;
    const int result = dialog->ShowModal();
    if (result == 1) {
        const int length = GetWindowTextLengthA(edit->Handle);
        SecretText typed(static_cast<std::size_t>(length) + 1, '\0');
        GetWindowTextA(edit->Handle, &typed[0], length + 1);
        typed.resize(static_cast<std::size_t>(length));
        password = typed;
    }
    // The edit's own copy of the password goes before the window does.
    edit->Text = "";
    dialog->Free();
    return result == 1 || result == 7 ? result : 2;
}

int StandInDialogs::selectVault(TForm* owner, VaultChoice& choice) {
    TPlainDialog* dialog = MakeForm<TPlainDialog>(owner, standin::VaultsCaption, 210);
    dialog->label("Folder", 12);
    TEdit* folder = dialog->edit(choice.folder, 32, false);
    dialog->label("Name", 64);
    TEdit* name = dialog->edit(choice.name, 84, false);
    dialog->button("Open", 1, 12, 126);
    dialog->button("Create", 16, 108, 126);
    dialog->button("Cancel", 2, 204, 126);
    dialog->ActiveControl = name;
    const int result = dialog->ShowModal();
    if (result == 1 || result == 16) {
        choice.folder = textOf(folder);
        choice.name = textOf(name);
    }
    dialog->Free();
    return result == 1 || result == 16 ? result : 2;
}

bool StandInDialogs::findVaultById(const unsigned char id[16], VaultChoice& found) {
    for (const auto& [name, folderAndName] : settings::knownVaults()) {
        FILE* key = std::fopen((folderAndName + ".kvt").c_str(), "rb");
        if (!key) continue;
        unsigned char stored[16] = {};
        const bool read = std::fseek(key, 8, SEEK_SET) == 0 && std::fread(stored, 1, 16, key) == 16;
        std::fclose(key);
        if (!read || std::memcmp(stored, id, 16) != 0) continue;
        const std::size_t slash = folderAndName.find_last_of('\\');
        if (slash == std::string::npos) continue;
        found.folder = folderAndName.substr(0, slash);
        found.name = folderAndName.substr(slash + 1);
        return true;
    }
    return false;
}

int StandInDialogs::createKeys(TForm*, qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) {
    if (!RtlGenRandom(seed, 64)) return 2;
    rsa.GenerateKeys(keyBits, seed);
    return 1;
}

// ---- the records side (mainwin-records) ----

int StandInDialogs::editEntry(TForm* owner, bool, category& cat, RowValues& values) {
    const int fields = cat.headerCount();
    values.resize(static_cast<std::size_t>(fields));
    TPlainDialog* dialog = MakeForm<TPlainDialog>(owner, standin::EntryCaption, 110 + 48 * fields);
    std::vector<TEdit*> edits;
    int top = 12, index = 0;
    for (const header* h = cat.headerList(); h; h = h->next, ++index, top += 48) {
        dialog->label(h->name, top);
        edits.push_back(dialog->edit(values[static_cast<std::size_t>(index)], top + 20, h->show == hsSecret));
    }
    dialog->button("OK", 1, 12, top + 8);
    dialog->button("Cancel", 2, 108, top + 8);
    if (!edits.empty()) dialog->ActiveControl = edits.front();
    const int result = dialog->ShowModal();
    if (result == 1)
        for (std::size_t i = 0; i < edits.size(); ++i) values[i] = textOf(edits[i]);
    for (TEdit* e : edits) e->Text = "";  // secrets go before the window does
    dialog->Free();
    return result == 1 ? 1 : 2;
}
