/*
 * The records side's test fixture: a main window on scripted entry, category and search dialogs
 * and a recording file view, categories made in the open vault, the list's lines and selection
 * read back, and real keys and mouse moves through SendInput.
 */
#pragma once

#include "tests/app/MainWindowTestSupport.h"

#include "app/componentList.h"
#include "components/controls/QCLListBox.h"
#include "components/runtime/qclclass.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace mainwintest {

inline std::string text(const AnsiString& s) { return std::string(s.c_str()); }

class RecordDialogs : public ScriptedDialogs {
public:
    int editEntry(TForm*, bool newEntry, category& cat, RowValues& values) override {
        calls.push_back(newEntry ? "new entry" : "edit entry");
        return entry ? entry(cat, values) : 2;
    }
    void editCategories(TForm*, category* current, category*& head, int& selected) override {
        calls.push_back("categories");
        selected = -1;
        if (categories) categories(current, head, selected);
    }
    bool search(TForm*, category* chain, category* files, bool hideSecrets, category*& found, int& foundRow) override {
        calls.push_back(hideSecrets ? "search, secrets hidden" : "search");
        return searcher ? searcher(chain, files, found, foundRow) : false;
    }
    std::function<int(category&, RowValues&)> entry;
    std::function<void(category*, category*&, int&)> categories;
    std::function<bool(category*, category*, category*&, int&)> searcher;
};

class RecordFiles : public RecordingFiles {
public:
    void removeSelectedFiles() override { calls.push_back("remove selected files"); }
    void selectFileRow(int rowId) override { calls.push_back("select file row " + std::to_string(rowId)); }
};

struct HeaderSpec {
    const char* name;
    int type;
    int show;
};

// Real input through SendInput.
inline void sendKeys(std::initializer_list<std::pair<WORD, bool>> list) {
    std::vector<INPUT> inputs;
    for (auto& k : list) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = k.first;
        input.ki.dwFlags = k.second ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

inline void typeKey(WORD vk) { sendKeys({{vk, true}, {vk, false}}); }

inline void mouseTo(TWinControl* control, int x, int y) {
    POINT p{x, y};
    ClientToScreen(control->GetHandle(), &p);
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((p.x * 65535 + w / 2) / w);
    input.mi.dy = static_cast<LONG>((p.y * 65535 + h / 2) / h);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(INPUT));
}

inline void mouseButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(INPUT));
}

inline void pumpAWhile() {
    int rounds = 0;
    pumpUntil([&] { return ++rounds > 5; });
}

class RecordsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        QCLInitApplication();
        QCLApplication->SetEditMode(TQCLEditMode{emInsert});
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        QCLDoneApplication();
    }
    TFormMain* openRecords() {
        form = MakeForm<TFormMain>(nullptr, rdialogs, rfiles, "Brimsafe.exe", &noHandOff);
        rdialogs.selection(1);
        rdialogs.password(1, Password);
        EXPECT_EQ(form->startUp(), suGoOn);
        return form;
    }
    VaultContent& content() { return form->store().content(); }
    // A user category appended to the chain, made current.
    category* addCategory(const std::string& name, const std::vector<HeaderSpec>& headers,
                          const std::vector<RowValues>& rows) {
        category* cat = content().addCategory(name);
        for (const HeaderSpec& h : headers) cat->addHeader(h.name, h.type, h.show, 90);
        for (const RowValues& r : rows) cat->insertRow(r);
        int position = 0;
        for (category* c = content().userCategories; c != cat; c = c->next) ++position;
        content().currCat = position + 2;
        return cat;
    }
    category* passwords(const std::vector<RowValues>& rows = {{"Bank", "jsmith", "pw1", "line1\r\nline2", "tail"}}) {
        return addCategory("Passwords",
                           {{"Name", htOneLine, hsShown},
                            {"Login ID", htOneLine, hsShown},
                            {"Password", htOneLine, hsSecret},
                            {"Notes", htParagraph, hsEditorOnly},
                            {"After", htOneLine, hsEditorOnly}},
                           rows);
    }
    category* notes() {
        content().current = content().userCategories;
        content().currCat = 2;
        return content().userCategories;
    }
    void show() {
        form->fillCategoryBox();
        form->populateForm(false, true);
    }
    componentList* editorRow(int index) {
        componentList* r = form->EditorList;
        for (int i = 0; r && i < index; ++i) r = r->next;
        return r;
    }
    TQCLListBox* list() { return form->QCLListBox2; }
    int lines() { return list()->GetItems()->GetCount(); }
    std::vector<std::string> column(int c) {
        std::vector<std::string> out;
        for (int i = 0; i < lines(); ++i) out.push_back(text(list()->ItemPart(i, c)));
        return out;
    }
    std::vector<int> selectedLines() {
        std::vector<int> out;
        for (int i = 0; i < lines(); ++i)
            if (list()->GetSelected(i)) out.push_back(i);
        return out;
    }
    void select(std::initializer_list<int> selected, int caret) {
        for (int i = 0; i < lines(); ++i) list()->Selected[i] = false;
        for (int i : selected) list()->Selected[i] = true;
        list()->SetInteger(1, caret);
    }
    // The saved vault as the fixture made it, for a test that opens it again.
    void freshVault() {
        DeleteFileA((temp.path() + "\\Home.vlt").c_str());
        DeleteFileA((temp.path() + "\\Home.kvt").c_str());
        vaultId = vaulttest::makeSavedVault(temp.path(), "Home", Password);
    }
    // The form shown in front, for real input.
    void showInFront() {
        form->Show();
        SetForegroundWindow(form->Handle);
        pumpAWhile();
    }

    RecordDialogs rdialogs;
    RecordFiles rfiles;
};

}  // namespace mainwintest
