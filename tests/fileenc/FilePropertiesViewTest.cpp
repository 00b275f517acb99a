// The properties panel: sizes, times and paths as written, the panel and buttons for each kind of
// selection, and Open File through the shell with a test file type whose program records what it
// was asked to open.
#include "fileenc/EncryptedFile.h"
#include "skin/ClrTreeView.h"
#include "skin/xpButton.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "tests/fileenc/FileViewTestSupport.h"
#include "vault/category.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace fileviewtest;
using fileenctest::fileExists;
using fileenctest::readAll;
using fileenctest::writeAll;

namespace {

using Strings = std::vector<std::string>;

TEST(FileText, SizesAreGroupedByThousands) {
    const std::vector<std::pair<unsigned long long, const char*>> cases = {
        {0, "0"},
        {7, "7 Bytes"},
        {999, "999 Bytes"},
        {1000, "1,000 Bytes"},
        {1001, "1,001 Bytes"},
        {1234567, "1,234,567 Bytes"},
        {5000000123ull, "5,000,000,123 Bytes"},  // above 4 GB: all 64 bits
    };
    for (const auto& c : cases) EXPECT_EQ(fileview::formatSize(c.first), c.second) << c.first;
}

TEST(FileText, TimesUseTheTwelveHourClockWithMidnightAndNoonAsTwelve) {
    struct Case {
        WORD hour, minute;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0, 5, "3/7/2009 12:05 AM"}, {12, 5, "3/7/2009 12:05 PM"}, {13, 0, "3/7/2009 1:00 PM"},
        {11, 59, "3/7/2009 11:59 AM"}, {23, 9, "3/7/2009 11:09 PM"},
    };
    for (const Case& c : cases) {
        SYSTEMTIME time{};
        time.wYear = 2009;
        time.wMonth = 3;
        time.wDay = 7;
        time.wHour = c.hour;
        time.wMinute = c.minute;
        EXPECT_EQ(fileview::formatDate(time), c.text);
    }
}

TEST(FileText, PathsBreakAfterTheLastBackslashThatFitsOrWhereALongNameFills) {
    const auto sevenEach = [](const std::string& s) { return static_cast<int>(s.size()) * 7; };
    struct Case {
        const char* path;
        int width;
        const char* text;
    };
    const std::vector<Case> cases = {
        {"C:\\a\\b.txt", 200, "C:\\a\\b.txt"},
        {"C:\\docs\\work\\report.doc", 70, "C:\\docs\\\r\nwork\\\r\nreport.doc"},
        {"C:\\docs\\work\\report.doc", 98, "C:\\docs\\work\\\r\nreport.doc"},
        {"C:\\averyveryverylongname.txt", 70, "C:\\\r\naveryveryv\r\nerylongnam\r\ne.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(fileview::breakPath(c.path, c.width, sevenEach), c.text) << c.path;
}

TEST(FileText, FolderHoldsIsAWholeComponentPrefixWithoutCase) {
    EXPECT_TRUE(fileview::folderHolds("C:\\data", "C:\\data\\x"));
    EXPECT_TRUE(fileview::folderHolds("c:\\Data", "C:\\data\\sub\\x"));
    EXPECT_TRUE(fileview::folderHolds("C:\\data\\", "C:\\data\\x"));
    EXPECT_FALSE(fileview::folderHolds("C:\\data", "C:\\database\\x"));
    EXPECT_FALSE(fileview::folderHolds("C:\\data", "C:\\data"));
    EXPECT_FALSE(fileview::folderHolds("C:\\data", "D:\\C:\\data\\x"));
    EXPECT_EQ(fileview::droppedFileName("C:\\r.doc.VLTENC"), "C:\\r.doc");
    EXPECT_EQ(fileview::droppedFileName("C:\\a.vltenc.d\\x.txt"), "C:\\a.vltenc.d\\x.txt");
}

class Properties : public ViewTest {
protected:
    std::string path(const std::string& name) { return temp->file(name); }
    TTreeNode* root() { return view->rootNode(); }
    TTreeNode* node(const std::string& text) {
        for (TTreeNode* n = root(); n; n = n->GetNext())
            if (std::string(n->Text) == text) return n;
        return nullptr;
    }
    Strings memoLines() {
        Strings lines;
        for (int i = 0; i < view->Memo1->Lines->Count; ++i) lines.push_back(view->Memo1->Lines->Strings[i]);
        return lines;
    }
    static void setTimes(const std::string& file, WORD hour, WORD minute) {
        SYSTEMTIME local{2010, 6, 0, 15, hour, minute, 0, 0}, utc{};
        TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
        FILETIME stamp{};
        SystemTimeToFileTime(&utc, &stamp);
        HANDLE h = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        SetFileTime(h, &stamp, nullptr, &stamp);
        CloseHandle(h);
    }
};

// Panel, captions and buttons for each kind of selection.
TEST_F(Properties, PanelAndButtonsFollowTheSelection) {
    writeAll(path("plain.txt"), std::string(1234567, 'p'));
    setTimes(path("plain.txt"), 12, 5);
    makeEncryptedFile(path("secret.doc"));
    CreateDirectoryA(path("folder").c_str(), nullptr);
    writeAll(path("folder\\in.txt"), "x");
    for (const char* name : {"plain.txt", "secret.doc", "folder", "missing.txt"}) addRow(path(name));
    view->buildFileTree();

    struct Case {
        const char* what;
        std::vector<std::string> select;
        bool encrypt, decrypt, open;
        const char* panel;  // "properties", "missing", "none"
        const char* heading;
        const char* openCaption;
    };
    const std::vector<Case> cases = {
        {"plain", {"plain.txt"}, true, false, true, "properties", "File Location", "Open File"},
        {"encrypted", {"secret.doc"}, false, true, true, "properties", "File Location", "Open File"},
        {"folder", {"folder"}, true, true, true, "properties", "Folder Location", "Open Folder"},
        {"root", {"Encrypted File List"}, true, true, false, "properties", nullptr, nullptr},
        {"several", {"plain.txt", "secret.doc"}, true, true, false, "properties", nullptr, nullptr},
        {"missing", {"missing.txt"}, false, false, true, "missing", nullptr, nullptr},
        {"none", {}, false, false, true, "none", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<TTreeNode*> nodes;
        for (const std::string& text : c.select) nodes.push_back(node(text));
        selectOnly(nodes);
        view->ClrTreeView1Change(nullptr, nullptr);
        EXPECT_EQ(view->xpEncryptButton->Enabled, c.encrypt);
        EXPECT_EQ(view->xpDecryptButton->Enabled, c.decrypt);
        const std::string panel = std::string(c.panel);
        EXPECT_EQ(view->Panel7->Visible, panel == "properties");
        EXPECT_EQ(view->PanelFileMissing->Visible, panel == "missing");
        EXPECT_EQ(view->Panel10->Visible, panel == "none");
        if (panel != "properties") continue;
        EXPECT_EQ(view->xpOpenFileButton->Enabled, c.open);
        if (!c.heading) {
            EXPECT_EQ(std::string(view->Label16->Caption), "N/A");
            EXPECT_EQ(memoLines(), (Strings{"N/A"}));
            continue;
        }
        EXPECT_EQ(std::string(view->Label23->Caption), c.heading);
        EXPECT_EQ(std::string(view->xpOpenFileButton->Caption), c.openCaption);
        EXPECT_EQ(view->xpOpenFileButton->Top, view->Label16->Top + view->Label16->Height + 8);
        EXPECT_EQ(view->Label24->Top, view->xpOpenFileButton->Top + view->xpOpenFileButton->Height + 16);
        EXPECT_EQ(view->Memo1->Top, view->Label24->Top + view->Label24->Height + 4);
    }
}

TEST_F(Properties, APlainFileShowsItsSizeAndLocalTimes) {
    struct Case {
        std::size_t size;
        WORD hour, minute;
        const char* sizeText;
        const char* timeText;
    };
    const std::vector<Case> cases = {
        {0, 0, 5, "0", "6/15/2010 12:05 AM"},
        {999, 12, 5, "999 Bytes", "6/15/2010 12:05 PM"},
        {1000, 13, 0, "1,000 Bytes", "6/15/2010 1:00 PM"},
    };
    for (const Case& c : cases) {
        const std::string file = path("f" + std::to_string(c.size) + ".txt");
        writeAll(file, std::string(c.size, 'x'));
        setTimes(file, c.hour, c.minute);
        while (window.files->rowCount() > 0) window.files->deleteRow(0);
        addRow(file);
        view->buildFileTree();
        selectOnly({root()->Item[0]});
        view->ClrTreeView1Change(nullptr, nullptr);
        // Wine keeps no creation time: only the modified time is checked exactly.
        const Strings lines = memoLines();
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[0], std::string("File Size:\t\t   ") + c.sizeText);
        EXPECT_EQ(lines[1].rfind("File Creation Time:\t   ", 0), 0u);
        EXPECT_EQ(lines[2], std::string("File Modified Time:\t   ") + c.timeText);
        EXPECT_EQ(lines[3], "");
        EXPECT_EQ(lines[4], "This file is not encrypted");
    }
}

TEST_F(Properties, AnEncryptedFileShowsWhatItsHeaderSays) {
    makeEncryptedFile(path("secret.doc"));
    // A known encryption date, stored as wall time, and a known plain size.
    std::string bytes = readAll(path("secret.doc.vltenc"));
    SYSTEMTIME date{2011, 2, 0, 3, 0, 7, 0, 0};
    FILETIME stored{};
    SystemTimeToFileTime(&date, &stored);
    encfile::putU32(reinterpret_cast<unsigned char*>(&bytes[encfile::OffEncryptionDate]), stored.dwLowDateTime);
    encfile::putU32(reinterpret_cast<unsigned char*>(&bytes[encfile::OffEncryptionDate + 4]), stored.dwHighDateTime);
    writeAll(path("secret.doc.vltenc"), bytes);
    addRow(path("secret.doc"));
    view->buildFileTree();
    selectOnly({root()->Item[0]});
    view->ClrTreeView1Change(nullptr, nullptr);
    const Strings lines = memoLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "File Size:\t\t   100 Bytes");
    EXPECT_EQ(lines[4], "Encryption Algorithm:  Blowfish");
    EXPECT_EQ(lines[5], "Encryption Date:\t   2/3/2011 12:07 AM") << "shown as stored, no zone shift";
    EXPECT_EQ(lines[6], "Encrypted File Size:\t   " + fileview::formatSize(bytes.size()));
}

// The memo's names start where the headings and the location start, and its values in one column.
TEST_F(Properties, TheNamesStandUnderTheHeadingsAndTheValuesInOneColumn) {
    makeEncryptedFile(path("secret.doc"));
    addRow(path("secret.doc"));
    view->buildFileTree();
    selectOnly({root()->Item[0]});
    view->ClrTreeView1Change(nullptr, nullptr);
    HWND memo = view->Memo1->GetHandle();
    const std::string text = view->Memo1->GetText().c_str();
    auto xOf = [&](std::size_t index) {
        const LRESULT at = SendMessageA(memo, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
        return view->Memo1->Left + static_cast<short>(LOWORD(at));
    };
    EXPECT_EQ(xOf(0), view->Label23->Left) << "the first name";
    std::vector<int> valueColumns;
    std::size_t line = 0;
    while (line < text.size()) {
        std::size_t end = text.find("\r\n", line);
        if (end == std::string::npos) end = text.size();
        const std::size_t colon = text.find(':', line);
        if (colon != std::string::npos && colon < end) {
            EXPECT_EQ(xOf(line), view->Label23->Left) << text.substr(line, end - line);
            valueColumns.push_back(xOf(text.find_first_not_of("\t ", colon + 1)));
        }
        line = end + 2;
    }
    ASSERT_EQ(valueColumns.size(), 6u);
    for (int x : valueColumns) EXPECT_NEAR(x, valueColumns.front(), 2) << ::testing::PrintToString(valueColumns);
}

TEST_F(Properties, ALongPathIsBrokenSoThatEachLineFitsTheLabelAsMeasured) {
    std::string folder = temp->path();
    for (const char* part : {"\\first level folder", "\\second level folder", "\\third"}) {
        folder += part;
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    const std::string file = folder + "\\a rather long file name for the label.txt";
    writeAll(file, "x");
    addRow(file);
    view->buildFileTree();
    selectOnly({root()->Item[0]});
    view->ClrTreeView1Change(nullptr, nullptr);
    const std::string shown = view->Label16->Caption;
    std::string joined;
    const int width = view->Panel7->Width - 16;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, view->Label16->Font->GetHandle());
    int lines = 0;
    for (std::size_t start = 0; start <= shown.size();) {
        std::size_t end = shown.find("\r\n", start);
        if (end == std::string::npos) end = shown.size();
        const std::string line = shown.substr(start, end - start);
        SIZE size{};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        EXPECT_LE(size.cx, width) << line;
        if (end < shown.size()) {
            EXPECT_EQ(line.back(), '\\') << "lines end at a backslash here: " << line;
        }
        joined += line;
        ++lines;
        start = end + 2;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(joined, file);
    EXPECT_GT(lines, 1);
}

TEST_F(Properties, AVanishedFileShowsTheMissingPanelAndOpenSaysItDoesNotExist) {
    addRow(path("vanished.txt"));
    view->buildFileTree();
    selectOnly({root()->Item[0]});
    view->ClrTreeView1Change(nullptr, nullptr);
    EXPECT_TRUE(view->PanelFileMissing->Visible);
    EXPECT_FALSE(view->Panel7->Visible);
    std::string shown = view->Label28->Caption;
    for (std::size_t at; (at = shown.find("\r\n")) != std::string::npos;) shown.erase(at, 2);
    EXPECT_EQ(shown, path("vanished.txt"));
    brimtest::MessageBoxScript script({mbrOk});
    view->xpOpenFileButtonClick(nullptr);
    EXPECT_EQ(script.texts(), (Strings{fileview::FileDoesNotExist}));
}

// ---- runFile through the shell ----

class RunFile : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        record = temp->file("opened.txt");
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string recorder = self;
        recorder = recorder.substr(0, recorder.rfind('\\') + 1) + "fileenc_open_recorder.exe";
        const std::string command = "\"" + recorder + "\" \"" + record + "\" \"%1\"";
        // The user's own classes, as the program would meet them on Windows. Wine reads file types
        // only from the machine's classes, so the same type goes there too (removed afterwards).
        registerType(HKEY_CURRENT_USER, "Software\\Classes\\", command);
        registerType(HKEY_CLASSES_ROOT, "", command);
    }
    static void registerType(HKEY root, const std::string& prefix, const std::string& command) {
        HKEY key = nullptr;
        RegCreateKeyExA(root, (prefix + ".brimviewtest").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("BrimViewTest.Document"), 22);
        RegCloseKey(key);
        RegCreateKeyExA(root, (prefix + "BrimViewTest.Document\\shell\\open\\command").c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(key);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\.brimviewtest");
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\BrimViewTest.Document");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".brimviewtest");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "BrimViewTest.Document");
        ViewTest::TearDown();
    }
    bool recorded(DWORD deadlineMs = 20000) {
        return fwtest::pumpUntil([&] { return fileExists(record) && !readAll(record).empty(); }, deadlineMs);
    }
    std::string record;
};

TEST_F(RunFile, AnEncryptedFileIsDecryptedThenOpenedWithItsProgram) {
    const std::string file = temp->file("letter.brimviewtest");
    makeEncryptedFile(file);
    addRow(file);
    view->buildFileTree();
    selectOnly({view->rootNode()->Item[0]});
    brimtest::MessageBoxScript script({mbrOk});
    view->xpOpenFileButtonClick(nullptr);
    EXPECT_EQ(script.texts(), (Strings{fileview::RunDecrypts}));
    ASSERT_TRUE(recorded()) << "the test program was not started";
    std::string opened = readAll(record);
    while (!opened.empty() && (opened.back() == '\n' || opened.back() == '\r')) opened.pop_back();
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, opened.c_str(), -1, file.c_str(), -1), CSTR_EQUAL)
        << opened;
    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(fileExists(file + ".vltenc"));
    EXPECT_EQ(view->rootNode()->Item[0]->ImageIndex, 0);
}

TEST_F(RunFile, AFileTypeWithoutAProgramGivesTheNoAssociationNotice) {
    const std::string file = temp->file("data.brimnoassoc");
    writeAll(file, "x");
    brimtest::MessageBoxScript script({mbrOk});
    EXPECT_EQ(view->runFile(file), 0);
    EXPECT_EQ(script.texts(), (Strings{fileview::NoAssociation}));
}

// A plain copy that nothing opened is not left on disk: it is encrypted again (its plain copy wiped).
TEST_F(RunFile, AnEncryptedFileThatNoProgramOpensIsEncryptedAgain) {
    const std::string file = temp->file("letter.brimnoassoc");
    writeAll(file, "dear bank");
    makeEncryptedFile(file);
    addRow(file);
    view->buildFileTree();
    selectOnly({view->rootNode()->Item[0]});
    brimtest::MessageBoxScript script({mbrOk, mbrOk});
    view->xpOpenFileButtonClick(nullptr);
    EXPECT_EQ(script.texts(), (Strings{fileview::RunDecrypts, fileview::NoAssociation}));
    EXPECT_FALSE(fileExists(file));
    EXPECT_TRUE(fileExists(file + ".vltenc"));
    EXPECT_EQ(view->rootNode()->Item[0]->ImageIndex, fileview::imgEncryptedFile);
}

TEST_F(RunFile, AFailedDecryptionOpensNothing) {
    const std::string file = temp->file("broken.brimviewtest");
    makeEncryptedFile(file);
    std::string bytes = readAll(file + ".vltenc");
    bytes[600] ^= 0x55;
    writeAll(file + ".vltenc", bytes);
    brimtest::MessageBoxScript script({mbrOk, mbrOk});
    EXPECT_EQ(view->runFile(file), 1);
    EXPECT_EQ(script.texts().size(), 2u) << "the run notice, then the failed decryption's";
    EXPECT_TRUE(fileExists(file + ".vltenc"));
    EXPECT_FALSE(fileExists(file)) << "the wiped output of a failed digest is never opened";
}

}  // namespace
