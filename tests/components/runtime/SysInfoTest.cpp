// System information: the documented conversions as tables, and each query
// compared with what the system itself reports.
#include "components/runtime/qclsysin.h"

#include "framework/Forms.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(SysInfo, Conversions) {
    EXPECT_DOUBLE_EQ(QCLSIVersionNrOf(4, 10), 4.1);
    EXPECT_DOUBLE_EQ(QCLSIVersionNrOf(5, 0), 5.0);
    EXPECT_DOUBLE_EQ(QCLSIVersionNrOf(5, 1), 5.1);
    EXPECT_DOUBLE_EQ(QCLSIVersionNrOf(6, 123), 6.123);

    struct Drive { uint32_t type; const char* text; } drives[] = {
        {0, "(Unknown)"}, {1, "no root directory"}, {3, "fixed drive"}, {5, "CD-ROM"}, {7, "(Unknown)"}};
    for (const auto& d : drives)
        EXPECT_EQ(QCLSIDriveTypeStr(d.type), d.text) << d.type;

    EXPECT_EQ(QCLSIPlatformStrOf(0), "Win32s");
    EXPECT_EQ(QCLSIPlatformStrOf(2), "Windows NT");
    EXPECT_EQ(QCLSIPlatformStrOf(3), "(Unknown)");
    EXPECT_EQ(QCLSIProcessorTypeStrOf(586), "Intel Pentium");
    EXPECT_EQ(QCLSIProcessorTypeStrOf(4000), "Mips R4000");
    EXPECT_EQ(QCLSIProcessorTypeStrOf(8664), "8664");

    EXPECT_EQ(QCLSIInfoToString(itUser), "Username");
    EXPECT_EQ(QCLSIInfoToString(itMemFree32), "Memory free");
    EXPECT_EQ(QCLSIInfoToString(itCPUSpeed), "CPU Speed");
    EXPECT_EQ(QCLGetLocalInfo(28), "Hallo");
    EXPECT_EQ(QCLGetLocalInfo(-1), "Hallo");
}

TEST(SysInfo, InfoStringsDivideByTheDivisor) {
    const auto total = QCLSIMemTotal();
    EXPECT_EQ(GetSystemInfoString(itMemSize, 1024, ""), std::to_string(total / 1024));
    EXPECT_EQ(GetSystemInfoString(itMemSize, 0, ""), std::to_string(total));
    EXPECT_EQ(GetSystemInfoString(itMemSize, -1024, ""), "-" + std::to_string(total / 1024));
    EXPECT_EQ(GetSystemInfoString(itDOSVersion, -1, ""), "Win32");
    EXPECT_EQ(GetSystemInfoString(itDOSVersion, 1, ""), "Win32");
    const bool numLock = (GetKeyState(VK_NUMLOCK) & 1) != 0;
    EXPECT_EQ(GetSystemInfoString(itNumLock, 1, ""), numLock ? "On" : "Off");
    EXPECT_EQ(GetSystemInfoString(itProgCompany, 1, ""), "");  // no version resource
    WORD year = 0, month = 0, day = 0;
    DecodeDate(Now(), year, month, day);
    EXPECT_EQ(GetSystemInfoString(itCurrentDateTime, 1, "yyyy"), std::to_string(year));
}

TEST(SysInfo, QueriesMatchTheSystem) {
    EXPECT_TRUE(QCLSIWindowsNT);
    EXPECT_FALSE(QCLSIWindows95);
    EXPECT_EQ(QCLSIIconHeight(), GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(QCLNCBORDERWIDTH(), GetSystemMetrics(SM_CXBORDER) + GetSystemMetrics(SM_CXFRAME) - 1);
    EXPECT_GE(QCLSIColorDepth(), 8);
    EXPECT_EQ(QCLSIFreeSysRes(), 100);  // no RSRC32.DLL on the NT family

    char user[64] = {};
    DWORD size = sizeof(user);
    GetUserNameA(user, &size);
    EXPECT_EQ(QCLSIUserName(), user);
    EXPECT_NE(QCLSIComputerName(), "");

    TStringList drives;
    QCLSIDriveList(&drives);
    EXPECT_GE(drives.IndexOf("C:\\"), 0);
    const TQCLDriveInfo c = QCLSIDriveInfo("C:\\");
    EXPECT_EQ(c.DriveType, static_cast<uint32_t>(DRIVE_FIXED));
    EXPECT_GT(c.Size, 0u);
    EXPECT_GT(c.BytesPerSector, 0u);

    TStringList environment;
    QCLSIEnvironment(&environment);
    EXPECT_GT(environment.Count(), 0);
    EXPECT_NE(environment.Get(0).find('='), std::string::npos);
}

TEST(SysInfo, TempFileIsCreated) {
    const AnsiString name = QCLSITempFile();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(ExtractFileName(name).substr(0, 3), "tmp");
    EXPECT_NE(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(name.c_str());
}

}  // namespace

namespace {

TEST(LibraryResources, StringsAndTheHandCursorAreLinkedIn) {
    char text[128] = {};
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 65495, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "Interval not compatible with MinInterval property!");
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(16548));
    EXPECT_NE(hand, nullptr);
}

}  // namespace

namespace {

TEST(SysInfo, CaptionDrawingAreaOfAFramedWindow) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const int w = bounds.right - bounds.left;
    const int b = GetSystemMetrics(SM_CXBORDER), bh = GetSystemMetrics(SM_CYBORDER);
    const int fw = GetSystemMetrics(SM_CXFRAME), fh = GetSystemMetrics(SM_CYFRAME);
    const int bw = GetSystemMetrics(SM_CXSIZE), cap = GetSystemMetrics(SM_CYCAPTION);

    TRect caption, text;
    int flags = 1;  // ask for the caption to end where the text ends
    QCLNCCalcDrawingArea(window, caption, text, flags);
    const int textRight = w - fw - (3 * b + bw) - 2 * bw;
    EXPECT_EQ(caption, TRect(fw, fh, textRight, cap + fh - bh));
    EXPECT_EQ(text, TRect(fw + GetSystemMetrics(SM_CXSMICON) + fw + b, fh, textRight, cap + fh - bh));
    EXPECT_EQ(flags, 1 | 8);
    DestroyWindow(window);
}

// Without the new window style the icon area is as wide as a caption button,
// and a tool window with a sizing frame is framed like any sizing window.
TEST(SysInfo, CaptionDrawingAreaWithoutNewStyle) {
    struct RestoreStyle {
        bool saved = NewStyleControls;
        ~RestoreStyle() { NewStyleControls = saved; }
    } restore;
    NewStyleControls = false;
    const int b = GetSystemMetrics(SM_CXBORDER), bh = GetSystemMetrics(SM_CYBORDER);
    const int fw = GetSystemMetrics(SM_CXFRAME), fh = GetSystemMetrics(SM_CYFRAME);
    const int bw = GetSystemMetrics(SM_CXSIZE), cap = GetSystemMetrics(SM_CYCAPTION);
    for (DWORD exStyle : {0ul, static_cast<unsigned long>(WS_EX_TOOLWINDOW)}) {
        HWND window = CreateWindowExA(exStyle, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        RECT bounds{};
        GetWindowRect(window, &bounds);
        const int w = bounds.right - bounds.left;

        TRect caption, text;
        int flags = 0;
        QCLNCCalcDrawingArea(window, caption, text, flags);
        const int iconRight = fw + bw + 2 * b;  // the icon area ends where the caption now starts
        const int bottom = cap + fh - bh - b;
        EXPECT_EQ(caption, TRect(iconRight, fh, w - fw, bottom)) << exStyle;
        EXPECT_EQ(text, TRect(iconRight + 2 * b, fh, w - fw - 2 * b - 2 * bw, bottom)) << exStyle;
        EXPECT_EQ(flags, 8) << exStyle;
        DestroyWindow(window);
    }
}

TEST(SysInfo, SystemIconList) {
    EXPECT_NE(QCLSISystemIconListHandle(false), nullptr);
}

}  // namespace
