// Reads and answers the uninstaller's boxes in its own process.
#include "tests/uninstall/UninstallBoxes.h"

#include "framework/Win32Handles.h"
#include "tests/support/MessageBoxReader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace uninstalltest {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct IconSearch {
    HWND found = nullptr;
};

BOOL CALLBACK findIconStatic(HWND child, LPARAM data) {
    char kind[64] = {};
    GetClassNameA(child, kind, sizeof kind);
    if (_stricmp(kind, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        reinterpret_cast<IconSearch*>(data)->found = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK childToPaint(HWND child, LPARAM data) {
    if (GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(data) = true;
        return FALSE;
    }
    return TRUE;
}

bool anyChildToPaint(HWND box) {
    bool pending = false;
    EnumChildWindows(box, childToPaint, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

// The pixels of a screen rectangle, 32x32 from its top-left corner.
std::vector<COLORREF> grab(HDC source, int x, int y) {
    std::vector<COLORREF> pixels;
    win32::MemoryDC memory(CreateCompatibleDC(source));
    win32::BitmapHandle bitmap(CreateCompatibleBitmap(source, 32, 32));
    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, 32, 32, source, x, y, SRCCOPY);
    for (int row = 0; row < 32; ++row)
        for (int column = 0; column < 32; ++column) pixels.push_back(GetPixel(memory.get(), column, row));
    SelectObject(memory.get(), old);
    return pixels;
}

long distance(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    long total = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        total += std::abs(GetRValue(a[i]) - GetRValue(b[i])) + std::abs(GetGValue(a[i]) - GetGValue(b[i])) +
                 std::abs(GetBValue(a[i]) - GetBValue(b[i]));
    return total;
}

// The system icon a plain box shows: the nearer of the two the uninstaller uses, drawn on the box's own background.
int systemBoxIcon(HWND box) {
    IconSearch search;
    EnumChildWindows(box, findIconStatic, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return -1;
    RECT shown;
    GetWindowRect(search.found, &shown);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> seen = grab(screen, shown.left, shown.top);
    ReleaseDC(nullptr, screen);
    const COLORREF background = seen.front();
    auto rendered = [&](LPCSTR icon) {
        HDC screenDc = GetDC(nullptr);
        win32::MemoryDC memory(CreateCompatibleDC(screenDc));
        win32::BitmapHandle bitmap(CreateCompatibleBitmap(screenDc, 32, 32));
        ReleaseDC(nullptr, screenDc);
        HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
        win32::BrushHandle fill(CreateSolidBrush(background));
        RECT all{0, 0, 32, 32};
        FillRect(memory.get(), &all, fill.get());
        DrawIcon(memory.get(), 0, 0, LoadIconA(nullptr, icon));
        std::vector<COLORREF> pixels = grab(memory.get(), 0, 0);
        SelectObject(memory.get(), old);
        return pixels;
    };
    long information = distance(seen, rendered(IDI_INFORMATION));
    long caution = distance(seen, rendered(IDI_WARNING));
    if (information == caution) return -1;
    return caution < information ? 1 : 0;
}

}  // namespace

BoxSeen answerBox(DWORD processId, const std::string& button, DWORD deadlineMs) {
    BoxSeen seen;
    HWND box = brimtest::waitForMessageBox(processId, deadlineMs);
    if (!box) return seen;
    brimtest::MessageBoxContents contents;
    // A box just made may not have its text windows yet: read again until it has or the deadline passes.
    const DWORD start = GetTickCount();
    while (!brimtest::readMessageBox(box, contents) && GetTickCount() - start < deadlineMs)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    seen.found = true;
    seen.title = contents.title;
    seen.text = contents.text;
    for (const std::string& caption : contents.buttons) seen.buttons.push_back(lower(caption));
    if (contents.skinned) {
        seen.icon = contents.icon;
    } else {
        // The screen may still show the box before this one at the same place until this one has
        // painted: read only once nothing of it waits to be painted, and take a reading seen twice.
        int previous = -1;
        while (GetTickCount() - start < deadlineMs) {
            if (!GetUpdateRect(box, nullptr, FALSE) && !anyChildToPaint(box)) {
                const int icon = systemBoxIcon(box);
                if (icon != -1 && icon == previous) {
                    seen.icon = icon;
                    break;
                }
                previous = icon;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
    }
    if (button.empty()) return seen;
    // The next box must not be taken for this one: wait until it has gone. A click that came
    // before the box took input is given again, while the box is still there to receive it.
    DWORD clicked = 0;
    const DWORD answerStart = GetTickCount();
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - answerStart < deadlineMs) {
        if (clicked == 0 || GetTickCount() - clicked > 3000) {
            brimtest::clickMessageBoxButton(box, button);
            clicked = GetTickCount();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return seen;
}

}  // namespace uninstalltest
