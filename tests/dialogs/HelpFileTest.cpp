// The built help file: read back by a small reader of the file's parts (the
// internal directory, the title in |SYSTEM, the context-number map, the
// topics' titles in their order), and opened in the system's help viewer at
// context 1 through the help dialog's "Help File" button, centred on the work
// area, then closed with HELP_QUIT.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_Help.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/ToolsHost.h"
#include "tests/support/TestEnvironment.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

std::string helpFilePath() { return brimtest::binaryFolder() + "\\BRIMSAFEHELP.HLP"; }

std::uint32_t u32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    if (at + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + at, 4);
    return value;
}
std::uint16_t u16(const std::string& bytes, std::size_t at) {
    std::uint16_t value = 0;
    if (at + 2 <= bytes.size()) std::memcpy(&value, bytes.data() + at, 2);
    return value;
}

// The parts of a help file with a one-page directory, by name; each without its 9-byte header.
std::map<std::string, std::string> internalFiles(const std::string& file) {
    std::map<std::string, std::string> files;
    if (u32(file, 0) != 0x00035F3F || u32(file, 12) != file.size()) return files;
    const std::size_t directory = u32(file, 4) + 9;
    if (u16(file, directory) != 0x293B || std::string(file.c_str() + directory + 6) != "z4") return files;
    const std::size_t page = directory + 38;
    const int entries = static_cast<std::int16_t>(u16(file, page + 2));
    std::size_t at = page + 8;
    for (int i = 0; i < entries && at < file.size(); ++i) {
        const std::string name = file.c_str() + at;
        at += name.size() + 1;
        const std::size_t offset = u32(file, at);
        at += 4;
        files[name] = file.substr(offset + 9, u32(file, offset + 4));
    }
    return files;
}

TEST(HelpFile, ItsTitleContextMapAndTopicsReadBack) {
    std::ifstream in(helpFilePath(), std::ios::binary);
    ASSERT_TRUE(in) << helpFilePath();
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::string, std::string> parts = internalFiles(file);
    for (const char* name : {"|SYSTEM", "|FONT", "|TOPIC", "|CONTEXT", "|CTXOMAP"})
        EXPECT_EQ(parts.count(name), 1u) << name;

    const std::string& system = parts["|SYSTEM"];
    EXPECT_EQ(u16(system, 0), 0x036C);
    EXPECT_EQ(u16(system, 2), 21) << "a 3.1 help file";
    EXPECT_EQ(u16(system, 10), 0) << "uncompressed topics";
    ASSERT_EQ(u16(system, 12), 1) << "the title comes first";
    EXPECT_EQ(std::string(system.c_str() + 16), "Brimsafe Help");

    // The topics, in file order, by their headers' titles; the first is at topic offset 0.
    const std::string& topic = parts["|TOPIC"];
    std::vector<std::string> titles;
    for (std::uint32_t pos = u32(topic, 4); pos != 0xFFFFFFFF && pos < topic.size();) {
        const std::size_t at = (pos >> 14) * 4096 + (pos & 0x3FFF);
        if (at + 21 > topic.size()) break;
        if (static_cast<unsigned char>(topic[at + 20]) == 2) titles.push_back(topic.c_str() + at + u32(topic, at + 16));
        pos = u32(topic, at + 12);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Brimsafe Help", "Vaults and Passwords", "Categories and Entries",
                                                "Searching and Sorting", "Encrypted Files",
                                                "Backups and Forgot your Password?", "Locking", "Common Questions"}));

    const std::string& map = parts["|CTXOMAP"];
    ASSERT_EQ(u16(map, 0), 1) << "one context number";
    EXPECT_EQ(u32(map, 2), 1u) << "context 1";
    EXPECT_EQ(u32(map, 6), 0u) << "the contents, the first topic";
}

// The system help viewer's window (of another process): titled as the file by the viewer of
// Windows, "Wine Help" by Wine's when started for a program.
struct ViewerSearch {
    HWND found = nullptr;
    std::string title;
};
BOOL CALLBACK matchViewer(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ViewerSearch*>(parameter);
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    const std::string title = text;
    if (IsWindowVisible(window) && (title.rfind("Brimsafe Help", 0) == 0 || title == "Wine Help")) {
        search->found = window;
        search->title = title;
        return FALSE;
    }
    return TRUE;
}

// The texts of a window's children, asked across processes as the system allows for WM_GETTEXT.
BOOL CALLBACK collectText(HWND child, LPARAM texts) {
    char text[4096] = {};
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    reinterpret_cast<std::string*>(texts)->append(text).append("\n");
    return TRUE;
}

class HelpViewerTest : public dialogtest::DialogTest {};

TEST_F(HelpViewerTest, HelpFileOpensTheViewerAtTheContentsAndHelpQuitClosesIt) {
    const AnsiString previous = Application->HelpFile;
    Application->HelpFile = helpFilePath();
    dialogtest::ToolsHost host;
    TFrm_Help* help = MakeForm<TFrm_Help>(nullptr, host);
    int result = dialogtest::showModal(help, [&] {
        ASSERT_TRUE(dialogtest::bringUp(help));
        dialogtest::click(help->xpHelpFileButton);
    });
    EXPECT_EQ(result, 1);
    ViewerSearch viewer;
    EXPECT_TRUE(fwtest::pumpUntil(
        [&] {
            viewer.found = nullptr;
            EnumWindows(matchViewer, reinterpret_cast<LPARAM>(&viewer));
            return viewer.found != nullptr;
        },
        20000))
        << "the viewer's window";
    if (viewer.found) {
        // Centred on the work area, not in the screen's corner where the viewer puts itself.
        RECT placed{}, work{};
        GetWindowRect(viewer.found, &placed);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_LE(std::abs((placed.left - work.left) - (work.right - placed.right)), 1)
            << placed.left << " to " << placed.right;
        EXPECT_LE(std::abs((placed.top - work.top) - (work.bottom - placed.bottom)), 1)
            << placed.top << " to " << placed.bottom;
        // At context 1: the contents topic's text is on the page.
        std::string texts;
        EXPECT_TRUE(fwtest::pumpUntil(
            [&] {
                texts.clear();
                EnumChildWindows(viewer.found, collectText, reinterpret_cast<LPARAM>(&texts));
                return texts.find("Brimsafe keeps your passwords") != std::string::npos;
            },
            10000))
            << texts;
        Application->HelpCommand(HELP_QUIT, 0);
        EXPECT_TRUE(fwtest::pumpUntil([&] { return !IsWindow(viewer.found); }, 15000)) << viewer.title;
        // A viewer left open would cover the next tests' windows.
        if (IsWindow(viewer.found)) PostMessageA(viewer.found, WM_CLOSE, 0, 0);
    }
    help->Free();
    Application->HelpFile = previous;
}

}  // namespace
