// The main window's shortcuts, idle lock and Unlock: the shortcut table, keys typed on the real
// window (consumed Ctrl keys still reach edits as characters, the editing keys edit the editor
// rows and open no entry, Alt+F4 exits once), the lock after 60 still ticks, every way out of
// Unlock (a key restored leaves it locked), command 103 while locked, and dropped files waiting
// for a modal dialog like commands.
#include "tests/app/MainWindowTestSupport.h"

#include "app/componentList.h"
#include "components/runtime/qclclass.h"
#include "framework/ExtCtrls.h"
#include "framework/Win32Handles.h"
#include "skin/xpButton.h"
#include "tests/skin/SkinFixture.h"
#include "vault/logger.h"

#include <fstream>
#include <shlobj.h>

namespace mainwintest {
namespace {

using brimtest::MessageBoxScript;
using skintest::pressKeys;
using skintest::tapKey;

std::string text(const AnsiString& s) { return std::string(s.c_str()); }

void pumpFor(int rounds) {
    for (int i = 0; i < rounds; ++i) fwtest::pumpIdle();
}

std::string clipboardText() {
    std::string result;
    if (!OpenClipboard(nullptr)) return "<not opened>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) result = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return result;
}

// The texts of the trace log's lines, without their time prefix.
std::vector<std::string> traceTexts(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t prefix = line.find(" - ", line.find(" - ") + 3);
        texts.push_back(prefix == std::string::npos ? line : line.substr(prefix + 3));
    }
    return texts;
}

// A drop handle as the shell makes it: DROPFILES followed by the ANSI names, each ended by a
// zero, and one more zero.
HGLOBAL makeDrop(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += name + '\0';
    list += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return memory;
}

// Records every box and answers it with its first button.
class RecordingBoxes {
public:
    RecordingBoxes()
        : scope_([this](const MessageBoxRequest& request) {
              texts_.push_back(request.text);
              return request.buttons == mbsYesNo ? int(mbrYes) : int(mbrOk);
          }) {}
    const std::vector<std::string>& texts() const { return texts_; }

private:
    std::vector<std::string> texts_;
    brimtest::ScopedMessageBoxHandler scope_;
};

class KeysTest : public MainWindowTest {
protected:
    void showOpenForm() {
        openForm();
        form->SetBounds(40, 40, 757, 500);
        ASSERT_TRUE(skintest::bringToForeground(form));
        SetFocus(form->Handle);
        pumpFor(3);
    }
    // Runs the idle check `ticks` times with the cursor standing still at `at`.
    void tick(int ticks, POINT at = {123, 45}) {
        form->CursorPositionForTesting = [at] { return at; };
        for (int i = 0; i < ticks; ++i) form->Timer1Timer(form->Timer1);
    }
};

// ---- the table ----

TEST(ShortcutTable, KeysWithTheirModifiersGiveTheirCommands) {
    const TShiftState none{}, ctrl{ssCtrl}, shift{ssShift}, ctrlShift{ssCtrl, ssShift}, alt{ssAlt},
        ctrlAlt{ssCtrl, ssAlt};
    struct Case {
        WORD key;
        TShiftState shift;
        MainShortcut expected;       // elsewhere
        MainShortcut expectedInEdit;  // with an edit or memo focused
    };
    const Case cases[] = {
        {VK_INSERT, none, MainShortcut::NewEntry, MainShortcut::NewEntry},
        {VK_INSERT, ctrl, MainShortcut::NewEntry, MainShortcut::None},   // copies in an edit
        {VK_INSERT, shift, MainShortcut::NewEntry, MainShortcut::None},  // pastes in an edit
        {VK_DELETE, shift, MainShortcut::None, MainShortcut::None},      // cuts in an edit
        {VK_RETURN, none, MainShortcut::EditEntry, MainShortcut::EditEntry},
        {VK_RETURN, ctrl, MainShortcut::EditEntry, MainShortcut::EditEntry},
        {VK_UP, ctrl, MainShortcut::CategoryUp, MainShortcut::CategoryUp},
        {VK_DOWN, ctrl, MainShortcut::CategoryDown, MainShortcut::CategoryDown},
        {VK_UP, none, MainShortcut::None, MainShortcut::None},
        {'E', ctrl, MainShortcut::EditCategories, MainShortcut::EditCategories},
        {'F', ctrl, MainShortcut::Search, MainShortcut::Search},
        {'L', ctrl, MainShortcut::QuickLock, MainShortcut::QuickLock},
        {'L', ctrlShift, MainShortcut::ToggleLog, MainShortcut::ToggleLog},
        {'N', ctrl, MainShortcut::NewEntry, MainShortcut::NewEntry},
        {'Q', ctrl, MainShortcut::Exit, MainShortcut::Exit},
        {'S', ctrl, MainShortcut::Save, MainShortcut::Save},
        {'T', ctrl, MainShortcut::Tools, MainShortcut::Tools},
        {'W', ctrl, MainShortcut::SwitchVault, MainShortcut::SwitchVault},
        {'A', ctrl, MainShortcut::Consume, MainShortcut::None},
        {'C', ctrl, MainShortcut::Consume, MainShortcut::None},
        {'V', ctrl, MainShortcut::Consume, MainShortcut::None},
        {'X', ctrl, MainShortcut::Consume, MainShortcut::None},
        {VK_HOME, ctrl, MainShortcut::Consume, MainShortcut::None},
        {VK_LEFT, ctrlShift, MainShortcut::Consume, MainShortcut::None},
        {VK_CONTROL, ctrl, MainShortcut::Consume, MainShortcut::None},
        {VK_F4, alt, MainShortcut::Exit, MainShortcut::Exit},
        {VK_F4, none, MainShortcut::None, MainShortcut::None},
        {'E', none, MainShortcut::None, MainShortcut::None},
        {'E', ctrlAlt, MainShortcut::None, MainShortcut::None},  // AltGr+E types a character on many keyboards
        {'Q', ctrlAlt, MainShortcut::None, MainShortcut::None},
        {VK_DELETE, none, MainShortcut::None, MainShortcut::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "key " << c.key << (c.shift.Contains(ssCtrl) ? " ctrl" : "")
                                          << (c.shift.Contains(ssAlt) ? " alt" : "")
                                          << (c.shift.Contains(ssShift) ? " shift" : ""));
        EXPECT_EQ(mainShortcut(c.key, c.shift, false), c.expected);
        EXPECT_EQ(mainShortcut(c.key, c.shift, true), c.expectedInEdit);
    }
}

// ---- the idle lock ----

TEST_F(KeysTest, SixtyStillTicksLockAMovedCursorRestartsTheCountAndUnlockingResetsIt) {
    showOpenForm();
    ASSERT_TRUE(fillClipboard("copied elsewhere"));
    tick(1);  // the first tick only learns where the cursor is
    tick(59);
    EXPECT_FALSE(form->locked());
    EXPECT_EQ(form->IdleTicks, 59);
    tick(1, {124, 45});  // moved
    EXPECT_EQ(form->IdleTicks, 0);
    tick(59, {124, 45});
    EXPECT_FALSE(form->locked());
    tick(1, {124, 45});
    EXPECT_TRUE(form->locked());
    EXPECT_TRUE(form->Panel8->Visible);
    EXPECT_FALSE(form->xpLockButton->Visible);
    EXPECT_FALSE(form->xpCloseButton->Visible);
    EXPECT_FALSE(form->Timer1->Enabled);
    EXPECT_EQ(clipboardFormats(), 0);

    dialogs.password(1, Password);
    form->xpUnlockButtonClick(form->xpUnlockButton);
    EXPECT_FALSE(form->locked());
    EXPECT_TRUE(form->Timer1->Enabled);
    EXPECT_EQ(form->IdleTicks, 0);
    tick(1, {124, 45});  // the mouse has not moved since: the count starts again all the same
    EXPECT_FALSE(form->locked());
}

TEST_F(KeysTest, AKeyPressResetsTheIdleCount) {
    showOpenForm();
    tick(30);
    ASSERT_EQ(form->IdleTicks, 29);
    tapKey(VK_SHIFT);
    ASSERT_TRUE(pumpUntil([&] { return form->IdleTicks == 0; }));
}

// ---- Unlock ----

TEST_F(KeysTest, EveryWayOutOfUnlockButTheRightPasswordKeepsTheLockAndTheKey) {
    showOpenForm();
    const std::string keyFile = temp.readFile("Home.kvt");
    const std::string backup = temp.file("key backup.kbk");
    ASSERT_EQ(form->flows().backupKey(backup, false), 0);
    struct Case {
        const char* what;
        std::function<void()> script;
        bool lockKeyFile;  // another program holds it: it cannot be read (a damaged one is named instead)
        std::vector<std::string> calls;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"cancelled", [&] { dialogs.password(2); }, false, {"password"}, {}},
        {"a key restored through the forgotten password",
         [&] {
             dialogs.password(7);
             dialogs.keyBackup = backup;
             dialogs.password(1, "brand new");
         },
         false,
         {"password", "key restore", "password"},
         {"Your key has been restored."}},
        {"the key unreadable",
         [&] { dialogs.password(1, Password); },
         true,
         {"password"},
         {"There was a problem reading your key.  You may need to restore it."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->quickLock();
        dialogs.calls.clear();
        c.script();
        RecordingBoxes boxes;
        {
            win32::FileHandle lock;
            if (c.lockKeyFile)
                lock = win32::FileHandle(CreateFileA(temp.file("Home.kvt").c_str(), GENERIC_READ, 0, nullptr,
                                                     OPEN_EXISTING, 0, nullptr));
            form->xpUnlockButtonClick(form->xpUnlockButton);
        }
        EXPECT_TRUE(form->locked());
        EXPECT_TRUE(form->Panel8->Visible);
        EXPECT_EQ(dialogs.calls, c.calls);
        const std::vector<std::string> shown = boxes.texts();
        for (const std::string& box : c.boxes)
            EXPECT_NE(std::find(shown.begin(), shown.end(), box), shown.end()) << ::testing::PrintToString(shown);
        if (c.boxes.empty()) {
            EXPECT_TRUE(shown.empty()) << ::testing::PrintToString(shown);
        }
        EXPECT_TRUE(dialogs.answeredAll());
        dialogs.keyBackup.clear();
        // The vault key in memory is the vault's own: the vault still saves and opens.
        temp.writeFile("Home.kvt", keyFile);
        EXPECT_EQ(form->store().writeDatabase(form->store().vaultFilePath()), srSaved);
        EXPECT_FALSE(savedNotes(temp.path(), "Home", Password).empty());
    }
}

// "Forgot your Password?" restores the key under a new password and leaves the window locked;
// that new password then unlocks it.
TEST_F(KeysTest, AfterAKeyRestoredAtUnlockTheNewPasswordUnlocks) {
    showOpenForm();
    const std::string backup = temp.file("key backup.kbk");
    ASSERT_EQ(form->flows().backupKey(backup, false), 0);
    form->quickLock();
    dialogs.password(7);
    dialogs.keyBackup = backup;
    dialogs.password(1, "brand new");
    {
        RecordingBoxes boxes;
        form->xpUnlockButtonClick(form->xpUnlockButton);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your key has been restored."});
    }
    EXPECT_TRUE(form->locked());
    dialogs.password(1, "brand new");
    form->xpUnlockButtonClick(form->xpUnlockButton);
    EXPECT_FALSE(form->locked());
    EXPECT_TRUE(dialogs.answeredAll());
    EXPECT_EQ(savedNotes(temp.path(), "Home", "brand new"), std::vector<std::string>{"kept Home"});
}

TEST_F(KeysTest, AnUnreadableVaultFileAtUnlockSaysSoAndKeepsTheLock) {
    showOpenForm();
    form->quickLock();
    ASSERT_TRUE(MoveFileA(temp.file("Home.vlt").c_str(), temp.file("Home.moved").c_str()));
    dialogs.calls.clear();
    {
        RecordingBoxes boxes;
        form->xpUnlockButtonClick(form->xpUnlockButton);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{"There was a problem opening your vault."});
    }
    EXPECT_TRUE(dialogs.calls.empty()) << ::testing::PrintToString(dialogs.calls);
    EXPECT_TRUE(form->locked());
    ASSERT_TRUE(MoveFileA(temp.file("Home.moved").c_str(), temp.file("Home.vlt").c_str()));
    dialogs.password(1, Password);
    form->xpUnlockButtonClick(form->xpUnlockButton);
    EXPECT_FALSE(form->locked());
}

// A vault or key file damaged while the window was locked: Enter asks the password once, the damage
// is reported naming the file, and no invalid-password notice or key message follows. The lock stays;
// with the files mended the same password unlocks.
TEST_F(KeysTest, ADamagedVaultAtUnlockIsNamedOnceAndKeepsTheLock) {
    showOpenForm();
    const std::string vault = temp.readFile("Home.vlt"), key = temp.readFile("Home.kvt");
    struct Case {
        const char* what;
        std::string vault, key;
        const char* damaged;  // the file named
    };
    const Case cases[] = {
        {"vault cut in half, at a block", vault.substr(0, 136 + (vault.size() - 136) / 16 * 8), key, "Home.vlt"},
        {"vault shorter than its head", vault.substr(0, 100), key, "Home.vlt"},
        {"key file shorter than its header says", vault, key.substr(0, 700), "Home.kvt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->quickLock();
        temp.writeFile("Home.vlt", c.vault);
        temp.writeFile("Home.kvt", c.key);
        dialogs.calls.clear();
        dialogs.password(1, Password);
        RecordingBoxes boxes;
        tapKey(VK_RETURN);
        ASSERT_TRUE(pumpUntil([&] { return !boxes.texts().empty(); }));
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{damagedFileText(temp.file(c.damaged))});
        EXPECT_EQ(dialogs.calls, std::vector<std::string>{"password"});
        EXPECT_TRUE(dialogs.answeredAll());
        EXPECT_TRUE(form->locked());
        EXPECT_TRUE(form->Panel8->Visible);
    }
    temp.writeFile("Home.vlt", vault);
    temp.writeFile("Home.kvt", key);
    dialogs.password(1, Password);
    tapKey(VK_RETURN);
    EXPECT_TRUE(pumpUntil([&] { return !form->locked(); }));
}

// Unlock asked while the program is minimised (as a file handed over by another start asks it): the
// window is back on the work area before the prompt, which is centred on it, is shown.
TEST_F(KeysTest, UnlockAskedWhileMinimisedBringsTheWindowBackFirst) {
    showOpenForm();
    form->quickLock();
    ShowWindow(form->Handle, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(form->Handle));
    bool minimisedWhileAsked = true;
    RECT placed{};
    dialogs.password(1, Password, [&] {
        minimisedWhileAsked = IsIconic(form->Handle) != FALSE;
        GetWindowRect(form->Handle, &placed);
    });
    form->xpUnlockButtonClick(form->xpUnlockButton);
    EXPECT_FALSE(minimisedWhileAsked);
    RECT work{}, overlap{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(IntersectRect(&overlap, &placed, &work) && EqualRect(&overlap, &placed))
        << placed.left << "," << placed.top << " on the work area";
    EXPECT_FALSE(form->locked());
}

// Opening a vault proves its password: the window that was locked shows the opened vault unlocked.
TEST_F(KeysTest, AVaultOpenedByCommandWhileLockedShowsUnlocked) {
    showOpenForm();
    form->quickLock();
    dialogs.calls.clear();
    dialogs.password(1, Password);
    {
        RecordingBoxes boxes;
        sendCommand(form->Handle, 101, temp.file("Home.vlt"));
    }
    EXPECT_TRUE(form->vaultOpen());
    EXPECT_TRUE(dialogs.answeredAll()) << ::testing::PrintToString(dialogs.calls);
    EXPECT_FALSE(form->locked());
    EXPECT_FALSE(form->Panel8->Visible);
    EXPECT_TRUE(form->Panel3->Enabled);
}

TEST_F(KeysTest, CtrlLLocksEnterAsksUntilThePasswordIsRightAndTheTraceSaysSo) {
    showOpenForm();
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(temp.path().c_str());
    {
        MessageBoxScript boxes({mbrOk, mbrOk});  // logging on, logging off
        traceLog.toggle();
        ASSERT_TRUE(fillClipboard("copied elsewhere"));
        pressKeys({{VK_CONTROL, true}, {'L', true}, {'L', false}, {VK_CONTROL, false}});
        EXPECT_TRUE(pumpUntil([&] { return form->locked(); }));
        EXPECT_EQ(clipboardFormats(), 0);
        // Locked, other keys do nothing.
        pressKeys({{VK_CONTROL, true}, {'W', true}, {'W', false}, {VK_CONTROL, false}});
        pumpFor(4);
        EXPECT_TRUE(dialogs.calls.size() == 2);  // only the opening's selection and password

        dialogs.password(1, "wrong");
        dialogs.password(1, Password);
        tapKey(VK_RETURN);
        EXPECT_TRUE(pumpUntil([&] { return !form->locked(); }));
        traceLog.toggle();
    }
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"select", "password", "password", "password again"}));
    EXPECT_FALSE(form->Panel8->Visible);
    EXPECT_TRUE(form->xpCloseButton->Visible);
    const std::vector<std::string> lines = traceTexts(temp.file("Brimsafe.log"));
    // Unlock's own lines (the vault reading between them has its own).
    const std::vector<std::string> own{"set hash", "check res", "set randkey", "readDB", "try again", "got it", "!res", "fogot"};
    std::vector<std::string> unlockLines;
    for (const std::string& line : lines)
        if (std::find(own.begin(), own.end(), line) != own.end()) unlockLines.push_back(line);
    EXPECT_EQ(unlockLines, (std::vector<std::string>{"set hash", "check res", "set randkey", "readDB", "try again",
                                                     "set hash", "check res", "set randkey", "readDB", "got it"}));

    // Unlocked again, the shortcuts work: Ctrl+L locks once more.
    pressKeys({{VK_CONTROL, true}, {'L', true}, {'L', false}, {VK_CONTROL, false}});
    EXPECT_TRUE(pumpUntil([&] { return form->locked(); }));
}

TEST_F(KeysTest, LockedNoKeyReachesAnEditBehindThePanel) {
    showOpenForm();
    auto* edit = new TEdit(form);
    edit->Parent = form->Panel1;
    edit->SetBounds(10, 10, 200, 22);
    edit->Text = "kept";
    edit->SetFocus();
    pumpFor(2);
    form->quickLock();
    pumpFor(2);
    tapKey('X');
    tapKey(VK_BACK);
    pumpFor(4);
    EXPECT_EQ(text(edit->Text), "kept");
    dialogs.password(1, Password);
    tapKey(VK_RETURN);
    EXPECT_TRUE(pumpUntil([&] { return !form->locked(); }));
}

// ---- keys on the unlocked window ----

TEST_F(KeysTest, ConsumedCtrlKeysStillCopyAndPasteInAnEdit) {
    showOpenForm();
    auto* edit = new TEdit(form);
    edit->Parent = form->Panel1;
    edit->SetBounds(10, 10, 200, 22);
    edit->Text = "secret value";
    edit->SetFocus();
    edit->SelectAll();
    pumpFor(2);
    pressKeys({{VK_CONTROL, true}, {'C', true}, {'C', false}, {VK_CONTROL, false}});
    EXPECT_TRUE(pumpUntil([] { return clipboardText() == "secret value"; })) << clipboardText();
    tapKey(VK_END);
    pressKeys({{VK_CONTROL, true}, {'V', true}, {'V', false}, {VK_CONTROL, false}});
    EXPECT_TRUE(pumpUntil([&] { return text(edit->Text) == "secret valuesecret value"; })) << text(edit->Text);
}

TEST_F(KeysTest, EnterIsConsumedAsAKeyButStillMakesANewLineInAMemo) {
    showOpenForm();
    auto* memo = new TMemo(form);
    memo->Parent = form->Panel1;
    memo->SetBounds(10, 10, 200, 60);
    memo->Text = "first";
    memo->SetFocus();
    pumpFor(2);
    tapKey(VK_END);
    tapKey(VK_RETURN);
    tapKey('X');
    EXPECT_TRUE(pumpUntil([&] { return text(memo->Text) == "first\r\nx"; })) << text(memo->Text);
}

// ---- editing keys in the editor rows ----

// Records the entry dialogs that keys open, answered Cancel.
class EntryDialogs : public ScriptedDialogs {
public:
    int editEntry(TForm*, bool newEntry, category&, RowValues&) override {
        calls.push_back(newEntry ? "new entry" : "edit entry");
        return 2;
    }
};

using KeyStrokes = std::vector<std::pair<WORD, bool>>;

void press(const KeyStrokes& keys) {
    std::vector<INPUT> inputs;
    for (const auto& k : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = k.first;
        input.ki.dwFlags = k.second ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

KeyStrokes chord(WORD modifier, WORD key) { return {{modifier, true}, {key, true}, {key, false}, {modifier, false}}; }

KeyStrokes operator+(KeyStrokes first, const KeyStrokes& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// A category "Card" with a one-line field and a paragraph, one entry, shown in the editor rows.
class EditorKeysTest : public KeysTest {
protected:
    void SetUp() override {
        KeysTest::SetUp();
        QCLInitApplication();
        QCLApplication->SetEditMode(TQCLEditMode{emInsert});
    }
    void TearDown() override {
        KeysTest::TearDown();
        QCLDoneApplication();
    }
    void openCard() {
        form = MakeForm<TFormMain>(nullptr, entries, files, "Brimsafe.exe", &noHandOff);
        entries.selection(1);
        entries.password(1, Password);
        ASSERT_EQ(form->startUp(), suGoOn);
        form->SetBounds(40, 40, 757, 500);
        ASSERT_TRUE(skintest::bringToForeground(form));
        VaultContent& content = form->store().content();
        card = content.addCategory("Card");
        card->addHeader("Name", htOneLine, hsShown, 100);
        card->addHeader("Notes", htParagraph, hsEditorOnly, 100);
        card->insertRow({"alpha beta", "first line"});
        content.current = card;
        content.currCat = 3;
        form->fillCategoryBox();
        form->populateForm(false, true);
    }
    TWinControl* field(int index) {
        componentList* r = form->EditorList;
        for (int i = 0; r && i < index; ++i) r = r->next;
        if (!r) return nullptr;
        return r->getKind() == 0 ? static_cast<TWinControl*>(r->edit) : static_cast<TWinControl*>(r->memo);
    }

    EntryDialogs entries;
    category* card = nullptr;
};

TEST_F(EditorKeysTest, EditingKeysEditTheFocusedFieldAndOpenNoEntry) {
    openCard();
    const std::string start[] = {"alpha beta", "first line"};
    const KeyStrokes selectAll = chord(VK_CONTROL, 'A'), typeX = {{'X', true}, {'X', false}};
    struct Case {
        const char* what;
        int field;  // 0 the edit, 1 the memo; the caret starts at the end
        KeyStrokes keys;
        std::string value;
        std::string clipboard;  // "clip" before
    };
    const Case cases[] = {
        {"Ctrl+A, Ctrl+C copies", 0, selectAll + chord(VK_CONTROL, 'C'), "alpha beta", "alpha beta"},
        {"Ctrl+A, Ctrl+X cuts", 0, selectAll + chord(VK_CONTROL, 'X'), "", "alpha beta"},
        {"Ctrl+V pastes", 0, chord(VK_CONTROL, 'V'), "alpha betaclip", "clip"},
        {"Shift+Insert pastes", 0, chord(VK_SHIFT, VK_INSERT), "alpha betaclip", "clip"},
        {"Ctrl+Insert copies", 0, selectAll + chord(VK_CONTROL, VK_INSERT), "alpha beta", "alpha beta"},
        {"Shift+Delete cuts", 0, selectAll + chord(VK_SHIFT, VK_DELETE), "", "alpha beta"},
        {"Ctrl+Home goes to the start", 0, chord(VK_CONTROL, VK_HOME) + typeX, "xalpha beta", "clip"},
        {"Ctrl+End goes to the end", 0, KeyStrokes{{VK_HOME, true}, {VK_HOME, false}} + chord(VK_CONTROL, VK_END) + typeX,
         "alpha betax", "clip"},
        {"memo: Ctrl+C copies", 1, chord(VK_SHIFT, VK_HOME) + chord(VK_CONTROL, 'C'), "first line", "first line"},
        {"memo: Ctrl+A, Ctrl+X cuts", 1, selectAll + chord(VK_CONTROL, 'X'), "", "first line"},
        {"memo: Shift+Insert pastes", 1, chord(VK_SHIFT, VK_INSERT), "first lineclip", "clip"},
        {"memo: Ctrl+Home goes to the start", 1, chord(VK_CONTROL, VK_HOME) + typeX, "xfirst line", "clip"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 0; i < 2; ++i) card->setItemText(start[i], 0, i);
        form->populateForm(false, false);
        ASSERT_TRUE(fillClipboard("clip"));
        entries.calls.clear();
        field(c.field)->SetFocus();
        tapKey(VK_END);
        pumpFor(2);
        press(c.keys);
        const bool arrived =
            pumpUntil([&] { return card->itemText(0, c.field) == c.value && clipboardText() == c.clipboard; });
        EXPECT_TRUE(arrived) << "value \"" << card->itemText(0, c.field) << "\", clipboard \"" << clipboardText()
                             << "\"";
        pumpFor(2);
        EXPECT_EQ(std::count(entries.calls.begin(), entries.calls.end(), "new entry"), 0)
            << ::testing::PrintToString(entries.calls);
    }
    // Insert alone is the table's New Entry, in a field as elsewhere.
    entries.calls.clear();
    field(0)->SetFocus();
    tapKey(VK_INSERT);
    EXPECT_TRUE(pumpUntil([&] { return !entries.calls.empty(); }));
    EXPECT_EQ(entries.calls, std::vector<std::string>{"new entry"});
}

TEST_F(KeysTest, CtrlSWritesTheVaultAndLeavesModifiedAlone) {
    showOpenForm();
    form->flows().Modified = true;
    FILETIME old{};
    SYSTEMTIME longAgo{2001, 1, 0, 1, 0, 0, 0, 0};
    SystemTimeToFileTime(&longAgo, &old);
    {
        HANDLE file = CreateFileA(temp.file("Home.vlt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        SetFileTime(file, nullptr, nullptr, &old);
        CloseHandle(file);
    }
    auto written = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(temp.file("Home.vlt").c_str(), GetFileExInfoStandard, &data);
        return CompareFileTime(&data.ftLastWriteTime, &old) != 0;
    };
    pressKeys({{VK_CONTROL, true}, {'S', true}, {'S', false}, {VK_CONTROL, false}});
    EXPECT_TRUE(pumpUntil(written));
    EXPECT_TRUE(form->flows().Modified);
    EXPECT_FALSE(savedNotes(temp.path(), "Home", Password).empty());
}

TEST_F(KeysTest, AltF4RunsTheExitOnceAndNeverTheSystemClose) {
    showOpenForm();
    // A save that fails asks whether to quit; answered No the window stays. Had the key gone on
    // to the system close as well, the question would come twice.
    form->store().setDBLoc(temp.file("gone"));
    std::vector<std::string> shown;
    brimtest::ScopedMessageBoxHandler boxes([&](const MessageBoxRequest& request) {
        shown.push_back(request.text);
        return request.buttons == mbsYesNo ? int(mbrNo) : int(mbrOk);
    });
    pressKeys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
    EXPECT_TRUE(pumpUntil([&] {
        return std::count(shown.begin(), shown.end(), std::string(mainwin::ExitSaveFailed)) == 1;
    })) << ::testing::PrintToString(shown);
    pumpFor(6);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), std::string(mainwin::ExitSaveFailed)), 1)
        << ::testing::PrintToString(shown);
    EXPECT_FALSE(form->runEnded());
    EXPECT_TRUE(IsWindowVisible(form->Handle));
    form->store().setDBLoc(temp.path());
}

// ---- commands and drops ----

TEST_F(KeysTest, CommandOpenFileWhileLockedAsksThePasswordFirst) {
    showOpenForm();
    CreateDirectoryA(temp.file("Folder").c_str(), nullptr);
    const std::string folder = temp.file("Folder");
    form->quickLock();
    dialogs.calls.clear();
    dialogs.password(2);
    sendCommand(form->Handle, 103, folder);
    EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"password"}));
    EXPECT_TRUE(files.calls.empty()) << ::testing::PrintToString(files.calls);
    EXPECT_TRUE(form->locked());

    dialogs.password(1, Password);
    sendCommand(form->Handle, 103, folder);
    EXPECT_FALSE(form->locked());
    EXPECT_EQ(files.calls, (std::vector<std::string>{"show encrypted files", "add folder " + folder, "tree images"}));

    // Adding a file asks nothing, locked or not.
    form->quickLock();
    files.calls.clear();
    sendCommand(form->Handle, 104, folder);
    EXPECT_EQ(files.calls, (std::vector<std::string>{"show encrypted files", "add folder " + folder}));
    EXPECT_TRUE(form->locked());
}

TEST_F(KeysTest, FilesDroppedDuringAModalDialogArriveInOrderAfterIt) {
    showOpenForm();
    std::vector<std::vector<std::string>> drops;
    std::vector<int> counts;
    form->OnFilesDropped = [&](const std::vector<std::string>& names, int fcount) {
        drops.push_back(names);
        counts.push_back(fcount);
    };
    const std::vector<std::string> first{"C:\\a\\one.txt", "C:\\b\\two words.doc"}, second{"C:\\c\\three"};

    PostMessageA(form->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(first)), 0);
    ASSERT_TRUE(pumpUntil([&] { return drops.size() == 1; }));
    EXPECT_EQ(drops[0], first);

    drops.clear();
    TForm* dialog = MakeForm<TForm>(form);
    dialog->SetBounds(10, 10, 200, 100);
    size_t seenWhileOpen = 99;
    auto* timer = new TTimer(dialog);
    timer->Interval = 10;
    int stage = 0;
    timer->OnTimer = [&](TObject*) {
        if (stage == 0) {
            PostMessageA(form->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(first)), 0);
            PostMessageA(form->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(second)), 0);
        } else if (stage == 3) {
            seenWhileOpen = drops.size();
            timer->Enabled = false;
            dialog->ModalResult = 2;
        }
        ++stage;
    };
    dialog->ShowModal();
    EXPECT_EQ(seenWhileOpen, 0u);
    ASSERT_TRUE(pumpUntil([&] { return drops.size() == 2; }));
    EXPECT_EQ(drops[0], first);
    EXPECT_EQ(drops[1], second);
    EXPECT_EQ(counts, (std::vector<int>{2, 2, 1}));
    dialog->Free();
}

}  // namespace
}  // namespace mainwintest
