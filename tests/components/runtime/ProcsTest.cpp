// General procedures: numbers, bits, folders and the shortening of paths.
#include "components/runtime/qclprocs.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Procs, ExtremesOverArraysPassedWithHigh) {
    const int numbers[] = {3, -7, 12, 0};
    EXPECT_EQ(QCLMax(numbers, 3), 12);
    EXPECT_EQ(QCLMin(numbers, 3), -7);
    EXPECT_EQ(QCLMax(numbers, 1), 3);   // High 1 covers two elements
    EXPECT_EQ(QCLMin(numbers, 0), 3);
    const long double reals[] = {1.5L, -2.25L, 0.0L};
    EXPECT_EQ(QCLMaxR(reals, 2), 1.5L);
    EXPECT_EQ(QCLMinR(reals, 2), -2.25L);
}

TEST(Procs, Arithmetic) {
    EXPECT_EQ(QCLMidI(3, 4), 3);
    EXPECT_EQ(QCLMidI(-3, -4), -3);  // toward zero
    EXPECT_EQ(QCLMidI(2147483647, 2147483647), 2147483647);
    EXPECT_EQ(QCLExp(2, 10), 1024);
    EXPECT_EQ(QCLExp(5, 0), 1);
    EXPECT_EQ(QCLExp(5, -1), 1);
    EXPECT_EQ(QCLExp(-3, 3), -27);
    int a = 1, b = 2;
    QCLSwapInt(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    std::string s = "x", t = "yz";
    QCLSwapString(s, t);
    EXPECT_EQ(s, "yz");
    EXPECT_EQ(t, "x");
}

TEST(Procs, Bits) {
    struct Case { std::uint8_t before; int bit; bool value; std::uint8_t after; } cases[] = {
        {0x00, 3, true, 0x08},
        {0x08, 3, true, 0x08},
        {0x00, 3, false, 0x08},  // false toggles: a clear bit becomes set
        {0x08, 3, false, 0x00},
        {0x00, 8, true, 0x00},
    };
    for (const auto& c : cases) {
        std::uint8_t b = c.before;
        QCLSetBit(b, c.bit, c.value);
        EXPECT_EQ(b, c.after) << int(c.before) << ' ' << c.bit << ' ' << c.value;
    }
    std::uint8_t b = 0x80;
    QCLSetBitUpTo(b, 2);
    EXPECT_EQ(b, 0x87);
    EXPECT_TRUE(QCLGetBit(0x80, 7));
    EXPECT_FALSE(QCLGetBit(0x80, 6));
    EXPECT_FALSE(QCLGetBit(0xFF, 8));
}

TEST(Procs, FoldersOfTheSystemAndTheProgram) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string exePath = exe;
    const std::string folder = exePath.substr(0, exePath.rfind('\\') + 1);
    EXPECT_EQ(QCLAppPath(), folder);
    EXPECT_EQ(QCLAppIniName(), "SOFTWARE\\runtime_tests");
    EXPECT_EQ(QCLExtractFileName("C:\\a.b\\name.ext"), "name");
    EXPECT_EQ(QCLExtractFileName("name"), "name");

    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(QCLWindowsDirectory(), windows);
    EXPECT_EQ(QCLCreatePathPrefix(ppWindows, true), std::string(windows) + "\\");
    EXPECT_EQ(QCLCreatePathPrefix(ppWindows, false), windows);
    EXPECT_EQ(QCLCreatePathPrefix(ppProgram, true), folder);
    EXPECT_EQ(QCLCreatePathPrefix(ppProgram, false), folder.substr(0, folder.size() - 1));
    EXPECT_EQ(QCLCreatePathPrefix(ppSystem, true), QCLSystemDirectory() + "\\");
    EXPECT_EQ(QCLCreatePathPrefix(ppFixed, true), "");
}

TEST(Procs, ShrunkFileName) {
    struct Case { std::string path; int max; std::string shown; } cases[] = {
        {"C:\\Program Files\\Common Files\\Microsoft Shared\\Stationery\\Folder", 40,
         "C:\\...\\Stationery\\Folder"},
        {"C:\\short\\file.txt", 40, "C:\\short\\file.txt"},
        {"C:\\a\\b\\c\\file.txt", 18, "C:\\a\\b\\c\\file.txt"},
        {"C:\\a\\b\\c\\file.txt", 16, "C:\\...\\file.txt"},  // each step first grows by "..."
        {"C:\\aaaa\\bbbb\\c\\file.txt", 20, "C:\\...\\c\\file.txt"},
        {"C:\\first\\second\\file.txt", 14, "...\\file.txt"},
        {"C:\\first\\second\\file.txt", 5, "file.txt"},
        {"\\\\server\\share\\projects\\2026\\report.doc", 30, "\\...\\projects\\2026\\report.doc"},
        {"\\\\server\\share\\projects\\2026\\report.doc", 25, "\\...\\2026\\report.doc"},
        {"file.txt", 3, "file.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QCLShrunkFileName(c.path, c.max), c.shown) << c.path << " / " << c.max;
}

TEST(Procs, DelayWaitsAtLeastTheGivenTime) {
    const DWORD start = GetTickCount();
    QCLDelay(0);
    QCLDelay(30);
    EXPECT_GE(GetTickCount() - start, 30u);
}

}  // namespace

namespace {

std::string menuLabels(HMENU menu) {
    std::string labels;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[8] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        labels += text;
    }
    return labels;
}

TEST(Procs, CheckSystemMenuDeletesByPosition) {
    struct Case { TQCLSysMenuEntries entries; bool shortLayout; const char* left; } cases[] = {
        {{smRestore, smMove, smSize, smMinimize, smMaximize, smClose, smSwitch}, false, "012345678"},
        {{smClose}, false, "678"},
        {{}, false, "78"},
        {{smRestore, smMove, smClose}, false, "015678"},
        {{smClose}, true, "345678"},
        {{smMinimize}, true, "145678"},
    };
    for (const auto& c : cases) {
        HMENU menu = CreatePopupMenu();
        for (char label = '0'; label <= '8'; ++label)
            AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(label), std::string(1, label).c_str());
        QCLCheckSystemMenu(c.entries, menu, c.shortLayout);
        EXPECT_EQ(menuLabels(menu), c.left) << c.entries.Bits() << ' ' << c.shortLayout;
        DestroyMenu(menu);
    }
    QCLCheckSystemMenu({}, nullptr, false);
}

}  // namespace
