// General procedures of the component library (the LZRW part of this unit is
// in qclprocs_lzrw.cpp).
//
// Paths are ANSI; the folder functions ask the system with 260-character
// buffers. QCLShrunkFileName shortens a path for a status line by replacing
// leading folders with "...", keeping a UNC path's leading backslash.
#include "components/runtime/qclprocs.h"

#include "components/runtime/qclstrings.h"

#include "framework/Forms.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

std::string exePath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, n);
}

// Up to and including the last backslash or colon; the rest is the file name.
std::string::size_type fileNameStart(const std::string& path) {
    const auto pos = path.find_last_of("\\:");
    return pos == std::string::npos ? 0 : pos + 1;
}

std::string folderFromSystem(UINT (WINAPI* query)(LPSTR, UINT)) {
    char buffer[MAX_PATH + 1] = {};
    const UINT n = query(buffer, MAX_PATH);
    return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

// One shortening step of a folder part: the first remaining folder name is
// replaced by "...\", a leading backslash (UNC, root) survives.
std::string shortenFolder(std::string folder) {
    if (folder == "\\")
        return {};
    const bool leadingBackslash = !folder.empty() && folder[0] == '\\';
    if (leadingBackslash)
        folder.erase(0, 1);
    if (folder.compare(0, 4, "...\\") == 0)
        folder.erase(0, 4);
    const auto slash = folder.find('\\');
    folder = slash == std::string::npos ? std::string() : "...\\" + folder.substr(slash + 1);
    return leadingBackslash ? "\\" + folder : folder;
}

constexpr double kPi = 3.14159265358979323846;

double radians(int degrees) { return degrees * kPi / 180.0; }

// Nearest integer, halves to even.
int rnd(double x) { return static_cast<int>(std::nearbyint(x)); }

}  // namespace

// An empty array (High below 0) has no extreme; 0 is returned instead of
// reading outside it.
int QCLMax(const int* values, int high) { return high < 0 ? 0 : *std::max_element(values, values + high + 1); }
int QCLMin(const int* values, int high) { return high < 0 ? 0 : *std::min_element(values, values + high + 1); }
long double QCLMaxR(const long double* values, int high) {
    return high < 0 ? 0 : *std::max_element(values, values + high + 1);
}
long double QCLMinR(const long double* values, int high) {
    return high < 0 ? 0 : *std::min_element(values, values + high + 1);
}

int QCLMidI(int a, int b) { return static_cast<int>((static_cast<long long>(a) + b) / 2); }

int QCLExp(int a, int n) {
    std::uint32_t result = 1;  // wraps like the 32-bit multiplication it stands for
    for (int i = 0; i < n; ++i)
        result *= static_cast<std::uint32_t>(a);
    return static_cast<int>(result);
}

void QCLSwapInt(int& a, int& b) { std::swap(a, b); }
void QCLSwapString(std::string& a, std::string& b) { a.swap(b); }

void QCLSetBit(std::uint8_t& byte, int bit, bool value) {
    if (bit < 0 || bit > 7)
        return;
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    byte = value ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte ^ mask);
}

void QCLSetBitUpTo(std::uint8_t& byte, int n) {
    for (int bit = 0; bit <= n && bit < 8; ++bit)
        byte = static_cast<std::uint8_t>(byte | (1u << bit));
}

bool QCLGetBit(std::uint8_t byte, int bit) { return bit >= 0 && bit < 8 && (byte >> bit) & 1; }

std::string QCLAppPath() {
    const std::string path = exePath();
    return path.substr(0, fileNameStart(path));
}

std::string QCLAppIniName() { return "SOFTWARE\\" + QCLExtractFileName(exePath()); }

std::string QCLExtractFileName(const std::string& path) {
    std::string name = path.substr(fileNameStart(path));
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string QCLWindowsDirectory() { return folderFromSystem(GetWindowsDirectoryA); }
std::string QCLSystemDirectory() { return folderFromSystem(GetSystemDirectoryA); }

std::string QCLCreatePathPrefix(TQCLPathPrefix prefix, bool trailingBackslash) {
    std::string folder;
    switch (prefix) {
    case ppWindows: folder = QCLWindowsDirectory(); break;
    case ppSystem: folder = QCLSystemDirectory(); break;
    case ppProgram: folder = QCLAppPath(); break;
    case ppFixed: return {};
    }
    return trailingBackslash ? QCLSlashAdd(folder) : QCLSlashRemove(folder);
}

std::string QCLShrunkFileName(const std::string& path, int maxLength) {
    const auto nameStart = fileNameStart(path);
    const std::string fileName = path.substr(nameStart);
    std::string folder = path.substr(0, nameStart);
    std::string drive;
    if (folder.size() >= 2 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }
    auto joined = [&] { return drive + folder + fileName; };
    while ((!folder.empty() || !drive.empty()) && static_cast<int>(joined().size()) > maxLength) {
        if (folder == "\\...\\") {
            drive.clear();
            folder = "...\\";
        } else if (!folder.empty()) {
            folder = shortenFolder(folder);
        } else {
            drive.clear();
        }
    }
    return joined();
}

void QCLDelay(unsigned milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
    }
}

void QCLAdjustRect(TRect& r, int dx, int dy) {
    r.Right += dx;
    r.Bottom += dy;
}

void QCLAdjustRectExt(TRect& r, int dl, int dt, int dr, int db) {
    r.Left += dl;
    r.Top += dt;
    r.Right += dr;
    r.Bottom += db;
}

TRect QCLExpandRect(const TRect& r, int n) { return TRect(r.Left - n, r.Top - n, r.Right + n, r.Bottom + n); }

void QCLGetRectWH(const TRect& r, int& w, int& h) {
    w = r.Right - r.Left;
    h = r.Bottom - r.Top;
}

bool QCLRectinRect(const TRect& a, const TRect& b) {
    const RECT outer = b;
    return PtInRect(&outer, POINT{a.Left, a.Top}) && PtInRect(&outer, POINT{a.Right, a.Bottom});
}

void QCLAffineRect(const TRect& source, const TRect& target, TRect& result) {
    const int sw = source.Width(), sh = source.Height();
    if (sw == 0 || sh == 0) {
        result = TRect(target.Left, target.Top, target.Left, target.Top);
        return;
    }
    const double f = std::min(static_cast<double>(target.Width()) / sw, static_cast<double>(target.Height()) / sh);
    result = TRect(target.Left, target.Top, target.Left + static_cast<int>(std::trunc(sw * f)),
                   target.Top + static_cast<int>(std::trunc(sh * f)));
}

void QCLCalcRotRect(TRect& r, int angle) {
    if (angle == 0)
        return;
    const int hw = (r.Right - r.Left) / 2, hh = (r.Bottom - r.Top) / 2;
    const int cx = r.Left + hw, cy = r.Top + hh;
    const double s = std::sin(radians(angle)), c = std::cos(radians(angle));
    const int p = rnd(hw * c - hh * s), q = rnd(hw * c + hh * s);
    const int t = rnd(hw * s - hh * c), u = rnd(hw * s + hh * c);
    const int xs[] = {cx - p, cx - q, cx + q, cx + p};
    const int ys[] = {cy + t, cy + u, cy - u, cy - t};
    const auto [minX, maxX] = std::minmax_element(std::begin(xs), std::end(xs));
    const auto [minY, maxY] = std::minmax_element(std::begin(ys), std::end(ys));
    r = TRect(0, 0, *maxX - *minX, *maxY - *minY);
}

int QCLRotatedXPos(int angle, int a, int b) {
    int base = 0;
    if (angle >= 91 && angle <= 180)
        base = rnd(a * std::sin(radians(angle - 90)));
    else if (angle >= 181 && angle <= 270)
        base = a;
    else if (angle >= 271 && angle <= 359)
        base = a + rnd(a * std::sin(radians(angle - 90)));
    return rnd(b * std::sin(radians(angle)) + base);
}

int QCLRotatedYPos(int angle, int /*a*/, int b) {
    const double s = std::sin(radians(angle));
    int base = 0;
    if (angle >= 0 && angle <= 90)
        base = rnd(b * s);
    else if (angle >= 91 && angle <= 180)
        base = b;
    else if (angle >= 181 && angle <= 270)
        base = b + rnd(b * s);
    return rnd(b * std::cos(radians(angle)) + base);
}

void QCLMidpoint(const TPoint* points, int high, TPoint& result) {
    if (!points || high < 0)
        return;
    long long sx = 0, sy = 0;
    for (int i = 0; i <= high; ++i) {
        sx += points[i].x;
        sy += points[i].y;
    }
    result = TPoint(static_cast<int>(sx / (high + 1)), static_cast<int>(sy / (high + 1)));
}

void QCLOffsetPoints(TPoint* points, int high, int dx, int dy) {
    for (int i = 0; i <= high; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
}

void QCLNullPoints(TPoint* points, int high) {
    for (int i = 0; i <= high; ++i)
        points[i] = TPoint(0, 0);
}

void QCLCheckSystemMenu(TQCLSysMenuEntries entries, HMENU menu, bool shortLayout) {
    if (!menu)
        return;
    const int nsc = NewStyleControls ? 1 : 0;
    auto remove = [menu](int position) { DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION); };
    const bool onlyClose = entries == TQCLSysMenuEntries{smClose};
    if (shortLayout) {
        if (!entries.Contains(smSwitch) && !nsc) {
            remove(6);
            remove(5);
        }
        if (!entries.Contains(smClose)) {
            remove(4 - nsc);
            remove(3 - nsc);
        }
        if (onlyClose)
            remove(3 - nsc);
        if (!entries.Contains(smMinimize))
            remove(2 - nsc);
        if (!entries.Contains(smMove) && !nsc)
            remove(1);
    } else {
        if (!entries.Contains(smSwitch) && !nsc) {
            remove(8);
            remove(7);
        }
        if (!entries.Contains(smClose)) {
            remove(6);
            remove(5);
        }
        if (onlyClose)
            remove(5);
        if (!entries.Contains(smMaximize))
            remove(4);
        if (!entries.Contains(smMinimize))
            remove(3);
        if (!entries.Contains(smSize))
            remove(2);
        if (!entries.Contains(smMove))
            remove(1);
    }
    if (!entries.Contains(smRestore))
        remove(0);
}
