// System information of the component library.
//
// Every query falls back to "(Unknown)", 0 or "" when the system refuses it.
// The free-resources figures come from "RSRC32.DLL", loaded for each call and
// absent on the NT family, which then reports 100 percent.
#include "components/runtime/qclsysin.h"

#include "components/runtime/qclerrors.h"
#include "components/runtime/qclprocs.h"
#include "components/runtime/qclstrings.h"

#include "framework/Forms.h"
#include "framework/LocaleConv.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

AnsiString unknown() { return QCLLoadStr(65178, "(Unknown)"); }

OSVERSIONINFOA versionInfo() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    return info;
}


struct PlatformFlags {
    PlatformFlags() {
        const OSVERSIONINFOA v = versionInfo();
        if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
            QCLSIWindows95 = true;
            QCLSIWindows98 = v.dwMinorVersion >= 10;
            BOOL extension = FALSE;
            SystemParametersInfoA(92, 0, &extension, 0);
            QCLSIWindowsExtension = extension != FALSE;
        } else {
            QCLSIWindowsNT = v.dwPlatformId == VER_PLATFORM_WIN32_NT;
            QCLSIWindows2000 = (v.dwMajorVersion & 0xFF) >= 5;
            QCLSIWindowsExtension = true;
        }
    }
};

MEMORYSTATUSEX memoryStatus() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return status;
}

int freeResources(int kind) {
#ifdef _WIN64
    // "RSRC32.DLL" is a 32-bit library of Windows 95/98 reporting 16-bit heap
    // figures; a 64-bit process can neither load it nor have such heaps.
    (void)kind;
    return 100;
#else
    HMODULE library = LoadLibraryA("RSRC32.DLL");
    if (!library)
        return 100;
    using Query = int(WINAPI*)(int);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(library, "_MyGetFreeSystemResources32@4")));
    const int result = query ? query(kind) : 100;
    FreeLibrary(library);
    return result;
#endif
}

AnsiString registryText(const char* name) {
    const char* key = QCLSIWindowsNT ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                                     : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return unknown();
    char buffer[512] = {};
    DWORD size = sizeof(buffer) - 1, type = 0;
    AnsiString value;
    if (RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
        value = AnsiString(buffer);
    RegCloseKey(handle);
    return value;
}

AnsiString onOff(bool on) { return on ? "On" : "Off"; }

AnsiString formatNow(const AnsiString& format) {
    return format.empty() ? DateTimeToStr(Now()) : FormatDateTime(format, Now());
}

struct InfoLabel {
    int ident;
    const char* text;
};

const InfoLabel kInfoLabels[] = {
    {65469, "Username"}, {65470, "Windows directory"}, {65471, "Current directory"},
    {65440, "Free space on current disk"}, {65441, "Disk size of current Disk"}, {65442, "System directory"},
    {65443, "Registered owner"}, {65444, "Registered company"}, {65445, "Version"},
    {65446, "Colordepth (in bits)"}, {65447, "Screensaver delay"}, {65448, "Memory size"},
    {65449, "Free system resources"}, {65450, "Free GDI resources"}, {65451, "Free user resources"},
    {65452, "Computername"}, {65453, "Major version"}, {65454, "Build"}, {65455, "Memory loaded"},
    {65424, "Memory free"}, {65425, "Free memory pages"}, {65426, "Total memory pages"},
    {65427, "Free virtual memory"}, {65428, "Total virtual memory"}, {65429, "Platform ID"},
    {65430, "Platform"}, {65431, "Number of processors"}, {65432, "Processor"}, {65433, "Temp path"},
    {65434, "DOS version"}, {65435, "NumLock"}, {65436, "CapsLock"}, {65437, "ScrollLock"},
    {65438, "Date and time"}, {65439, "CompanyName"}, {65408, "ProductName"}, {65409, "ProductVersion"},
    {65410, "LegalCopyright"}, {65411, "LegalTrademark"}, {65412, "FileDescription"}, {65413, "Comments"},
    {65414, "CPU Speed"},
};

}  // namespace

bool QCLSIWindows95 = false;
bool QCLSIWindows98 = false;
bool QCLSIWindowsNT = false;
bool QCLSIWindows2000 = false;
bool QCLSIWindowsExtension = false;

static const PlatformFlags platformFlags;

int QCLNCBITMAPHEIGHT() { return GetSystemMetrics(SM_CYSIZE); }
int QCLNCBITMAPWIDTH() { return GetSystemMetrics(SM_CXSIZE); }
int QCLNCCAPTIONHEIGHT() { return GetSystemMetrics(SM_CYCAPTION); }
int QCLNCDLGBORDERWIDTH() { return GetSystemMetrics(SM_CXDLGFRAME); }
int QCLNCDLGBORDERHEIGHT() { return GetSystemMetrics(SM_CYDLGFRAME); }
int QCLNCFIXBORDERWIDTH() { return GetSystemMetrics(SM_CXBORDER); }
int QCLNCFIXBORDERHEIGHT() { return GetSystemMetrics(SM_CYBORDER); }
int QCLNCSIZEBORDERWIDTH() { return GetSystemMetrics(SM_CXFRAME); }
int QCLNCSIZEBORDERHEIGHT() { return GetSystemMetrics(SM_CYFRAME); }
int QCLNCBORDERWIDTH() { return QCLNCFIXBORDERWIDTH() + QCLNCSIZEBORDERWIDTH() - 1; }
int QCLNCBORDERHEIGHT() { return QCLNCFIXBORDERHEIGHT() + QCLNCSIZEBORDERHEIGHT() - 1; }
int QCLNCSMALLCAPTIONHEIGHT() { return NewStyleControls ? GetSystemMetrics(SM_CYSMCAPTION) : QCLNCCAPTIONHEIGHT(); }
int QCLNCSMALLBITMAPHEIGHT() { return NewStyleControls ? GetSystemMetrics(SM_CYSMSIZE) : QCLNCBITMAPHEIGHT(); }
int QCLNCSMALLBITMAPWIDTH() { return NewStyleControls ? GetSystemMetrics(SM_CXSMSIZE) : QCLNCBITMAPWIDTH(); }
int QCLNCCAPTIONICONHEIGHT() { return NewStyleControls ? GetSystemMetrics(SM_CYSMICON) : QCLNCBITMAPHEIGHT(); }
int QCLNCCAPTIONICONWIDTH() { return NewStyleControls ? GetSystemMetrics(SM_CXSMICON) : QCLNCBITMAPWIDTH(); }
int QCLSIIconWidth() { return GetSystemMetrics(SM_CXICON); }
int QCLSIIconHeight() { return GetSystemMetrics(SM_CYICON); }
int QCLSISmallIconHeight() { return GetSystemMetrics(SM_CYSMICON); }
int QCLSISmallIconWidth() { return GetSystemMetrics(SM_CXSMICON); }

namespace {

constexpr int kSmallCaption = 4, kIconArea = 8, kMinimised = 0x10, kCallerIcon = 0x20;

struct FrameMetrics {
    int b = GetSystemMetrics(SM_CXBORDER), bh = GetSystemMetrics(SM_CYBORDER);
    int sizeW = GetSystemMetrics(SM_CXFRAME), sizeH = GetSystemMetrics(SM_CYFRAME);
    int dlgW = GetSystemMetrics(SM_CXDLGFRAME), dlgH = GetSystemMetrics(SM_CYDLGFRAME);
};

void moveCaptionInsideFrame(TRect& c, LONG style, LONG exStyle, int flags, const FrameMetrics& m) {
    // The first rule that applies wins: an old-style tool window with a sizing
    // frame is framed like any sizing window.
    const TRect thin(c.Left + m.b, c.Top + m.bh, c.Right - m.b, c.Bottom - m.b);
    if (!NewStyleControls && (flags & kCallerIcon)) {
        c = thin;
    } else if (style & WS_THICKFRAME) {
        c = TRect(c.Left + m.sizeW, c.Top + m.sizeH, c.Right - m.sizeW, c.Bottom + m.sizeH - m.bh - (NewStyleControls ? 0 : m.b));
    } else if (exStyle & WS_EX_DLGMODALFRAME) {
        c = TRect(c.Left + m.dlgW, c.Top + m.dlgH, c.Right - m.dlgW, c.Bottom + m.dlgH - m.bh - (NewStyleControls ? 0 : m.b));
    } else if (!NewStyleControls && (exStyle & WS_EX_TOOLWINDOW)) {
        c = thin;
    } else {
        c = TRect(c.Left + 3 * m.b, c.Top + 3 * m.bh, c.Right - 3 * m.b, c.Bottom + 2 * m.bh);
    }
}

void computeTextArea(HWND window, TRect& t, LONG style, LONG exStyle, int& flags, const FrameMetrics& m) {
    const bool small = (flags & kSmallCaption) != 0;
    const bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
    const bool minimised = IsIconic(window) != FALSE;
    const int bw = small ? GetSystemMetrics(SM_CXSMSIZE) : GetSystemMetrics(SM_CXSIZE);
    const int boxes = ((style & WS_MINIMIZEBOX) ? 1 : 0) + ((style & WS_MAXIMIZEBOX) ? 1 : 0);
    if (!(style & WS_SYSMENU)) {
        t.Left += 2 * m.b;
        if (!NewStyleControls)
            t.Right -= m.b + bw * boxes;
        return;
    }
    if (!NewStyleControls)
        t.Right -= 2 * m.b;
    else if (!minimised)
        t.Right -= 3 * m.b + bw;
    const bool reserveIcon = ((style & WS_THICKFRAME) && !small) || (flags & kCallerIcon) ||
                             (!NewStyleControls && ((static_cast<DWORD>(style) & 0x80880000u) == 0x80880000u || tool));
    if (reserveIcon) {
        flags |= kIconArea;
        if (NewStyleControls) {
            t.Left += QCLNCCAPTIONICONWIDTH() + m.sizeW;
            if (minimised)
                flags |= kMinimised;
            else
                t.Left += m.b;
        } else {
            t.Left += QCLNCCAPTIONICONWIDTH() + 2 * m.b;  // a caption button's width in the old style
        }
    }
    if (boxes > 0) {
        t.Right -= NewStyleControls ? 2 * bw : bw * boxes;
    } else if (exStyle & WS_EX_CONTEXTHELP) {
        if (NewStyleControls)
            t.Right -= m.b;
        t.Right -= bw;
    }
    if (NewStyleControls && tool)
        t = TRect(t.Left + 4 * m.b, t.Top + 3 * m.b, t.Right - 2 * m.b, t.Bottom);
}

}  // namespace

void QCLNCCalcDrawingArea(HWND Window, TRect& Caption, TRect& Text, int& Flags) {
    const FrameMetrics m;
    const LONG style = GetWindowLongA(Window, GWL_STYLE), exStyle = GetWindowLongA(Window, GWL_EXSTYLE);
    RECT bounds{};
    GetWindowRect(Window, &bounds);
    Caption = TRect(0, 0, bounds.right - bounds.left, GetSystemMetrics(SM_CYCAPTION));
    if (NewStyleControls && (exStyle & WS_EX_TOOLWINDOW)) {
        Caption.Bottom = GetSystemMetrics(SM_CYSMCAPTION);
        Flags |= kSmallCaption;
    }
    moveCaptionInsideFrame(Caption, style, exStyle, Flags, m);
    if (IsWindow(Window) && IsWindowVisible(Window)) {
        Text = Caption;
        computeTextArea(Window, Text, style, exStyle, Flags, m);
        if (Text.Left == Caption.Left)
            Text.Left += 2 * m.b;
    }
    if (Flags & kMinimised)
        Caption.Bottom -= m.bh;
    Text.Bottom = Caption.Bottom;
    if (Flags & 1)
        Caption.Right = Text.Right;
    if ((Flags & kIconArea) && ((Flags & 2) || !NewStyleControls)) {
        Caption.Left = Text.Left;
        Text.Left += 2 * m.b;
    }
}

HIMAGELIST QCLSISystemIconListHandle(bool Large) {
    SHFILEINFOA info{};
    char windows[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(windows, 0, &info, sizeof(info),
                                                       SHGFI_SYSICONINDEX | (Large ? SHGFI_LARGEICON : SHGFI_SMALLICON)));
}

namespace {
uint8_t colorDepthForTesting = 0;
}

void QCLSISetColorDepthForTesting(uint8_t depth) { colorDepthForTesting = depth; }

uint8_t QCLSIColorDepth() {
    if (colorDepthForTesting != 0)
        return colorDepthForTesting;
    HDC dc = GetDC(nullptr);
    if (!dc)
        return 0;
    const int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    return static_cast<uint8_t>(depth);
}

bool QCLSIStretchBltPossible() {
    HDC dc = GetDC(nullptr);
    if (!dc)
        return false;
    const bool possible = (GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHBLT) != 0;
    ReleaseDC(nullptr, dc);
    return possible;
}

int QCLSIScreenSaverDelay() {
    int seconds = 0;
    return SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0) ? seconds / 60 : 0;
}

bool QCLSINumLock() { return (GetKeyState(VK_NUMLOCK) & 1) != 0; }
bool QCLSICapsLock() { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
bool QCLSIScrollLock() { return (GetKeyState(VK_SCROLL) & 1) != 0; }

uint64_t QCLSIMemTotal() { return memoryStatus().ullTotalPhys; }
uint64_t QCLSIMemFree() { return memoryStatus().ullAvailPhys; }
uint64_t QCLSIMemPageTotal() { return memoryStatus().ullTotalPageFile; }
uint64_t QCLSIMemPageFree() { return memoryStatus().ullAvailPageFile; }
uint64_t QCLSIMemVirtTotal() { return memoryStatus().ullTotalVirtual; }
uint64_t QCLSIMemVirtFree() { return memoryStatus().ullAvailVirtual; }
int QCLSIMemLoaded() { return static_cast<int>(memoryStatus().dwMemoryLoad); }
int QCLSIFreeSysRes() { return freeResources(0); }
int QCLSIFreeGDIRes() { return freeResources(1); }
int QCLSIFreeUserRes() { return freeResources(2); }

uint16_t QCLSIMajorVersionNr() { return static_cast<uint16_t>(versionInfo().dwMajorVersion); }
uint16_t QCLSIMinorVersionNr() { return static_cast<uint16_t>(versionInfo().dwMinorVersion); }
uint16_t QCLSIBuildNr() { return static_cast<uint16_t>(versionInfo().dwBuildNumber & 0xFFFF); }
AnsiString QCLSIVersionString() { return versionInfo().szCSDVersion; }

AnsiString QCLSIVersionStr() {
    char text[32];
    std::snprintf(text, sizeof(text), "%d.%d", QCLSIMajorVersionNr(), QCLSIMinorVersionNr());
    return text;
}

double QCLSIVersionNrOf(int major, int minor) {
    double scale = 10;
    for (int rest = minor / 10; rest > 0; rest /= 10)
        scale *= 10;
    return major + minor / scale;
}

double QCLSIVersionNr() { return QCLSIVersionNrOf(QCLSIMajorVersionNr(), QCLSIMinorVersionNr()); }

int QCLSIPlatformID() { return static_cast<int>(versionInfo().dwPlatformId); }

AnsiString QCLSIPlatformStrOf(int platformId) {
    switch (platformId) {
    case 0: return "Win32s";
    case 1: return "Windows 95";
    case 2: return "Windows NT";
    default: return unknown();
    }
}

AnsiString QCLSIPlatformStr() { return QCLSIPlatformStrOf(QCLSIPlatformID()); }

bool QCLSIOLDWindowsNT() { return QCLSIWindowsNT && QCLSIMajorVersionNr() < 4; }

int QCLSIProcessorCount() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return static_cast<int>(info.dwNumberOfProcessors);
}

AnsiString QCLSIProcessorTypeStrOf(DWORD processorType) {
    switch (processorType) {
    case 386: return "Intel 386";
    case 486: return "Intel 486";
    case 586: return "Intel Pentium";
    case 2000: case 3000: case 4000: return "Mips R" + std::to_string(processorType);
    case 21064: return "Alpha 21064";
    default: return std::to_string(processorType);
    }
}

AnsiString QCLSIProcessorTypeStr() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return QCLSIProcessorTypeStrOf(info.dwProcessorType);
}

TQCLDriveInfo QCLSIDriveInfo(const AnsiString& Path) {
    TQCLDriveInfo info;
    const AnsiString root = Path.size() >= 2 && Path[1] == ':' ? Path.substr(0, 2) + "\\" : Path;
    info.DriveType = GetDriveTypeA(root.c_str());
    if (info.DriveType <= DRIVE_NO_ROOT_DIR)
        return info;
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree)) {
        info.Size = total.QuadPart;
        info.Free = available.QuadPart;
    }
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    if (GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &freeClusters, &clusters)) {
        info.SectorsPerCluster = sectors;
        info.BytesPerSector = bytes;
    }
    return info;
}

void QCLSIDriveList(TStrings* List) {
    List->Clear();
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (drives & (1u << i))
            List->Add(AnsiString(1, static_cast<char>('A' + i)) + ":\\");
}

AnsiString QCLSIDriveTypeStr(uint32_t DriveType) {
    static const InfoLabel kTypes[] = {{65463, "no root directory"}, {65464, "removable"},
                                       {65465, "fixed drive"},       {65466, "remote (network) drive"},
                                       {65467, "CD-ROM"},            {65468, "ramdisk"}};
    if (DriveType >= 1 && DriveType <= 6)
        return QCLLoadStr(kTypes[DriveType - 1].ident, kTypes[DriveType - 1].text);
    return unknown();
}

AnsiString QCLSITempPath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(MAX_PATH, buffer);
    return n > 0 && n <= MAX_PATH ? AnsiString(buffer, n) : AnsiString();
}

AnsiString QCLSIWindowsDirectory() { return QCLWindowsDirectory(); }
AnsiString QCLSISystemDirectory() { return QCLSystemDirectory(); }

AnsiString QCLSITempFile() {
    char name[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(QCLSITempPath().c_str(), "tmp", 0, name))
        return AnsiString();
    return name;
}

void QCLSIEnvironment(TStrings* List) {
    List->Clear();
    char* block = GetEnvironmentStringsA();
    if (!block)
        return;
    for (const char* entry = block; *entry; entry += std::strlen(entry) + 1)
        List->Add(entry);
    FreeEnvironmentStringsA(block);
}

AnsiString QCLSIComputerName() {
    char buffer[16 + 1] = {};
    DWORD size = 16;
    return GetComputerNameA(buffer, &size) ? AnsiString(buffer, size) : unknown();
}

AnsiString QCLSIUserName() {
    char buffer[63 + 1] = {};
    DWORD size = 63;
    if (!GetUserNameA(buffer, &size) || size == 0)
        return unknown();
    return AnsiString(buffer, size - 1);  // the reported length counts the terminating zero
}

AnsiString QCLSIRegisteredOwner() { return registryText("RegisteredOwner"); }
AnsiString QCLSIRegisteredCompany() { return registryText("RegisteredOrganization"); }
LANGID QCLSISystemDefaultLanguageID() { return GetSystemDefaultLangID(); }

AnsiString QCLSIGetTimeZone() {
    TIME_ZONE_INFORMATION zone{};
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
        return AnsiString();
    char name[64] = {};
    WideCharToMultiByte(CP_ACP, 0, zone.StandardName, -1, name, sizeof(name) - 1, nullptr, nullptr);
    return name;
}

int QCLSIGetTimeZoneBias() {
    TIME_ZONE_INFORMATION zone{};
    return GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID ? 0 : static_cast<int>(zone.Bias);
}

AnsiString QCLGetLocalInfo(int Index) {
    static const LCTYPE kTypes[] = {0x1009, 0x19, 0x1B, 0x11, 0x100C, 0x100D, 0x12, 0x0D, 0x1C, 0x1010,
                                    0x23,   0x28, 0x29, 0x14, 0x1D,   0x0E,   0x10, 0x0C, 0x20, 0x16,
                                    0x18,   0x17, 0x51, 0x50, 0x1F,   0x0F,   0x1E, 0x1003};
    const LCTYPE type = Index >= 0 && Index < 28 ? kTypes[Index] : 0;
    char buffer[256] = {};
    if (type == 0 || GetLocaleInfoA(GetThreadLocale(), type, buffer, sizeof(buffer)) == 0)
        return "Hallo";
    return buffer;
}

AnsiString QCLSIVersionInfo(TQCLVersionInfoType Kind) {
    static const InfoLabel kKeys[] = {{65439, "CompanyName"},    {65408, "ProductName"},
                                      {65409, "ProductVersion"}, {65410, "LegalCopyright"},
                                      {65411, "LegalTrademark"}, {65412, "FileDescription"},
                                      {65413, "Comments"}};
    char exe[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe, &ignored);
    if (size == 0)
        return AnsiString();
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(exe, 0, size, data.data()))
        return AnsiString();
    AnsiString prefix = "\\StringFileInfo\\040904E4\\";
    void* translation = nullptr;
    UINT length = 0;
    if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &translation, &length) && length >= 4) {
        const auto* words = static_cast<const WORD*>(translation);
        char text[32];
        std::snprintf(text, sizeof(text), "\\StringFileInfo\\%04X%04X\\", words[0], words[1]);
        prefix = text;
    }
    const auto& key = kKeys[Kind];
    const AnsiString query = prefix + QCLLoadStr(key.ident, key.text);
    void* value = nullptr;
    if (!VerQueryValueA(data.data(), query.c_str(), &value, &length) || !value || length == 0)
        return AnsiString();
    return AnsiString(static_cast<const char*>(value));
}

uint32_t QCLSIGetCPUSpeed() {
    HANDLE process = GetCurrentProcess(), thread = GetCurrentThread();
    const DWORD priorityClass = GetPriorityClass(process);
    const int threadPriority = GetThreadPriority(thread);
    SetPriorityClass(process, REALTIME_PRIORITY_CLASS);
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    Sleep(10);
    const uint64_t start = __builtin_ia32_rdtsc();
    Sleep(500);
    const uint64_t stop = __builtin_ia32_rdtsc();
    SetThreadPriority(thread, threadPriority);
    SetPriorityClass(process, priorityClass);
    return static_cast<uint32_t>(stop - start) / 500000u;
}

AnsiString QCLSIInfoToString(TQCLInfoType Type) {
    const auto& label = kInfoLabels[Type];
    return QCLLoadStr(label.ident, label.text);
}

AnsiString GetSystemInfoString(TQCLInfoType Type, int Divisor, const AnsiString& Format) {
    // Signed division: a negative divisor gives a negative figure.
    const int64_t d = Divisor == 0 ? 1 : Divisor;
    auto number = [d](uint64_t value) { return std::to_string(static_cast<int64_t>(value) / d); };
    char folder[MAX_PATH + 1] = {};
    AnsiString text;
    switch (Type) {
    case itUser: text = QCLSIUserName(); break;
    case itWinDir: text = QCLSIWindowsDirectory(); break;
    case itCurrentDir32: text = AnsiString(folder, GetCurrentDirectoryA(MAX_PATH, folder)); break;
    case itCurrentDiskFree32: case itCurrentDiskSize32: {
        const TQCLDriveInfo drive = QCLSIDriveInfo(AnsiString(folder, GetCurrentDirectoryA(MAX_PATH, folder)));
        text = number(Type == itCurrentDiskFree32 ? drive.Free : drive.Size);
        break;
    }
    case itSystemDir: text = QCLSISystemDirectory(); break;
    case itReg_Owner32: text = QCLSIRegisteredOwner(); break;
    case itReg_Company32: text = QCLSIRegisteredCompany(); break;
    case itVersion: text = QCLSIVersionStr(); break;
    case itColorDepth: text = number(QCLSIColorDepth()); break;
    case itScreenSaverDelay: text = number(static_cast<uint64_t>(QCLSIScreenSaverDelay())); break;
    case itMemSize: text = number(QCLSIMemTotal()); break;
    case itFreeSysRes: text = number(static_cast<uint64_t>(QCLSIFreeSysRes())); break;
    case itFreeGDIRes: text = number(static_cast<uint64_t>(QCLSIFreeGDIRes())); break;
    case itFreeUserRes: text = number(static_cast<uint64_t>(QCLSIFreeUserRes())); break;
    case itComputerName32: text = QCLSIComputerName(); break;
    case itMajorVerNr32: text = number(QCLSIMajorVersionNr()); break;
    case itBuildNr32: text = number(QCLSIBuildNr()); break;
    case itMemLoaded32: text = number(static_cast<uint64_t>(QCLSIMemLoaded())); break;
    case itMemFree32: text = number(QCLSIMemFree()); break;
    case itMemPageFree32: text = number(QCLSIMemPageFree()); break;
    case itMemPageTotal32: text = number(QCLSIMemPageTotal()); break;
    case itMemVirtFree32: text = number(QCLSIMemVirtFree()); break;
    case itMemVirtTotal32: text = number(QCLSIMemVirtTotal()); break;
    case itPlatformID32: text = number(static_cast<uint64_t>(QCLSIPlatformID())); break;
    case itPlatform32: text = QCLSIPlatformStr(); break;
    case itProcessorCont32: text = number(static_cast<uint64_t>(QCLSIProcessorCount())); break;
    case itProcessor32: text = QCLSIProcessorTypeStr(); break;
    case itTempPath32: text = QCLSITempPath(); break;
    case itDOSVersion: text = "Win32"; break;
    case itNumLock: text = onOff(QCLSINumLock()); break;
    case itCapsLock: text = onOff(QCLSICapsLock()); break;
    case itScroll: text = onOff(QCLSIScrollLock()); break;
    case itCurrentDateTime: text = formatNow(Format); break;
    case itProgCompany: case itProgName: case itProgVersion: case itProgCopyright:
    case itProgTrademark: case itProgDescription: case itProgComments:
        text = QCLSIVersionInfo(static_cast<TQCLVersionInfoType>(Type - itProgCompany));
        break;
    case itCPUSpeed: {
        char speed[32];
        std::snprintf(speed, sizeof(speed), "%g", QCLSIGetCPUSpeed() / static_cast<double>(d));
        text = QCLTrim(speed);
        break;
    }
    }
    return text.substr(0, 2047);
}
