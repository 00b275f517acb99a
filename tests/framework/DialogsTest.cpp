// The file dialogs: parsing of the system's result buffer, the filter and
// option translation, and one real run answered by finding the dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/DialogAnswerer.h"
#include "framework/Dialogs.h"
#include "tests/support/TempFolder.h"

namespace {

std::vector<AnsiString> parse(const std::string& buffer) { return ParseOpenDialogResult(buffer.data(), buffer.size()); }

TEST(OpenDialogResult, ParsesSingleAndMultipleSelections) {
    struct Case {
        const char* name;
        std::string buffer;
        std::vector<AnsiString> files;
    };
    const Case cases[] = {
        {"one full path", std::string("C:\\data\\a.txt\0\0", 16), {"C:\\data\\a.txt"}},
        {"folder and names", std::string("C:\\data\0a.txt\0b c.doc\0\0", 24), {"C:\\data\\a.txt", "C:\\data\\b c.doc"}},
        {"root folder keeps one backslash", std::string("C:\\\0x\0y\0\0", 9), {"C:\\x", "C:\\y"}},
        {"nothing chosen", std::string("\0\0", 2), {}},
        {"buffer filled to its end without NULs", std::string("C:\\d\0a\0bc", 9), {"C:\\d\\a", "C:\\d\\bc"}},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.buffer), c.files) << c.name;
    EXPECT_TRUE(ParseOpenDialogResult(nullptr, 0).empty());
}

TEST(OpenDialogResult, FilterAndOptionsBecomeSystemForm) {
    EXPECT_EQ(MakeDialogFilter("All|*.*|Text (*.txt)|*.txt"), std::string("All\0*.*\0Text (*.txt)\0*.txt\0\0", 28));
    EXPECT_EQ(MakeDialogFilter(""), "");
    DWORD flags = OpenOptionsToFlags({ofAllowMultiSelect, ofFileMustExist, ofNoChangeDir});
    EXPECT_EQ(flags, DWORD(OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER));
    EXPECT_EQ(OpenOptionsToFlags({ofOldStyleDialog}) & OFN_EXPLORER, 0u);
}

// Types a name into the dialog's file-name box and presses OK.
std::function<bool(HWND)> chooseFile(const std::string& name) {
    return [name](HWND dialog) {
        const int fileNameCombo = 0x47C, fileNameEdit = 0x480;
        HWND box = GetDlgItem(dialog, fileNameCombo);
        if (!box) box = GetDlgItem(dialog, fileNameEdit);
        if (!box) return false;
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    };
}

class FileDialogRun : public brimtest::TempFolderTest {};

TEST_F(FileDialogRun, OpenDialogReturnsTheChosenExistingFile) {
    temp.writeFile("chosen.txt", "x");
    std::string file = temp.file("chosen.txt");

    TOpenDialog dialog(nullptr);
    dialog.Title = "Pick A Test File";
    dialog.Filter = "Text (*.txt)|*.txt|All files (*.*)|*.*";
    dialog.InitialDir = temp.path();
    dialog.Options = TOpenOptions{ofFileMustExist, ofAllowMultiSelect, ofNoChangeDir};
    brimtest::DialogAnswerer answerer(std::vector<brimtest::DialogAnswer>{{"Pick A Test File", "", chooseFile(file)}});
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(answerer.finished());
    ASSERT_EQ(dialog.Files->Count(), 1);
    EXPECT_TRUE(SameText(dialog.Files->Strings[0], file)) << dialog.Files->Strings[0]();
    EXPECT_TRUE(SameText(dialog.FileName(), file));
}

TEST_F(FileDialogRun, CancelledSaveDialogKeepsTheFileName) {
    TSaveDialog dialog(nullptr);
    dialog.Title = "Save A Test File";
    dialog.FileName = "keep.vlt";
    dialog.InitialDir = temp.path();
    brimtest::DialogAnswerer answerer(std::vector<brimtest::DialogAnswer>{{"Save A Test File", "Cancel", nullptr}});
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(answerer.finished());
    EXPECT_EQ(dialog.FileName(), "keep.vlt");
}

}  // namespace
