// The main window's own pictures: title bar buttons, command buttons, the splitter grip, the
// resize tab and the lock panel's padlock. Integer geometry only, as every picture of the skin.
#include "skin/art/MainWindowArt.h"

#include "skin/art/SkinArtwork.h"

#include <string>
#include <vector>

namespace skinart {

namespace {

constexpr Rgb navy = rgb(37, 63, 115), navyDark = rgb(22, 38, 72), navyLight = rgb(58, 88, 144);
constexpr Rgb cream = rgb(252, 251, 239), panelBlue = rgb(214, 222, 232), frameBlue = rgb(140, 160, 196);
constexpr Rgb silver = rgb(192, 192, 192), white = rgb(255, 255, 255);
constexpr Rgb red = rgb(178, 40, 36), green = rgb(36, 132, 56), orange = rgb(230, 140, 30);
constexpr Rgb greyFace = rgb(226, 226, 226), greyLine = rgb(168, 168, 168), greyGlyph = rgb(150, 150, 150);

Picture blank(int w, int h, Rgb color) {
    Picture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(static_cast<size_t>(w * h), color);
    return p;
}

void put(Picture& p, int x, int y, Rgb color) {
    if (x >= 0 && y >= 0 && x < p.width && y < p.height) p.pixels[static_cast<size_t>(y * p.width + x)] = color;
}

int channel(Rgb c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

Rgb blend(Rgb a, Rgb b, int step, int steps) {
    auto mix = [&](int shift) { return channel(a, shift) + (channel(b, shift) - channel(a, shift)) * step / steps; };
    return rgb(mix(16), mix(8), mix(0));
}

// Squared distance, in half pixels, from pixel (x, y)'s centre to (cx2, cy2) given in half pixels.
int distance2(int x, int y, int cx2, int cy2) {
    const int dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
    return dx * dx + dy * dy;
}

// Inside a w x h rectangle with corners rounded by radius r (pixels).
bool inRounded(int x, int y, int w, int h, int r) {
    const int cx = x < r ? r : (x >= w - r ? w - r : x), cy = y < r ? r : (y >= h - r ? h - r : y);
    if (cx == x || cy == y) return x >= 0 && y >= 0 && x < w && y < h;
    return distance2(x, y, 2 * cx, 2 * cy) <= 4 * r * r;
}

// A rounded face on silver: a vertical blend from top to bottom inside a one-pixel outline.
Picture roundedFace(int size, int radius, Rgb top, Rgb bottom, Rgb outline) {
    Picture p = blank(size, size, silver);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (!inRounded(x, y, size, size, radius)) continue;
            const bool edge = !inRounded(x - 1, y, size, size, radius) || !inRounded(x + 1, y, size, size, radius) ||
                              !inRounded(x, y - 1, size, size, radius) || !inRounded(x, y + 1, size, size, radius);
            put(p, x, y, edge ? outline : blend(top, bottom, y, size - 1));
        }
    return p;
}

void fillRect(Picture& p, int left, int top, int right, int bottom, Rgb color) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) put(p, x, y, color);
}

void frameRect(Picture& p, int left, int top, int right, int bottom, Rgb color) {
    for (int x = left; x < right; ++x) put(p, x, top, color), put(p, x, bottom - 1, color);
    for (int y = top; y < bottom; ++y) put(p, left, y, color), put(p, right - 1, y, color);
}

void stamp(Picture& p, int left, int top, const std::vector<std::string>& rows, Rgb color) {
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            if (rows[y][x] == '#') put(p, left + static_cast<int>(x), top + static_cast<int>(y), color);
}

// Title bar buttons ------------------------------------------------------------------

enum TitleGlyph { tgMinimise, tgMaximise, tgRestore, tgClose };
enum FaceState { fsNormal, fsActive, fsPressed };

template <int Glyph, int State>
Picture titleButton() {
    static const Rgb tops[] = {rgb(88, 124, 190), rgb(118, 156, 222), rgb(30, 52, 96)};
    static const Rgb bottoms[] = {navy, rgb(52, 84, 146), rgb(70, 104, 166)};
    Picture p = roundedFace(19, 4, tops[State], bottoms[State], State == fsActive ? orange : navyDark);
    const int o = State == fsPressed ? 1 : 0;
    switch (Glyph) {
    case tgMinimise:
        fillRect(p, 5 + o, 12 + o, 14 + o, 14 + o, white);
        break;
    case tgMaximise:
        frameRect(p, 5 + o, 5 + o, 14 + o, 14 + o, white);
        fillRect(p, 5 + o, 6 + o, 14 + o, 7 + o, white);
        break;
    case tgClose:
        // Two strokes two pixels wide from corner to corner of a 9 x 9 box.
        for (int i = 0; i < 9; ++i) {
            fillRect(p, 5 + o + i, 5 + o + i, 7 + o + i, 6 + o + i, white);
            fillRect(p, 12 + o - i, 5 + o + i, 14 + o - i, 6 + o + i, white);
        }
        break;
    default:
        frameRect(p, 7 + o, 4 + o, 15 + o, 11 + o, white);
        fillRect(p, 7 + o, 5 + o, 15 + o, 6 + o, white);
        fillRect(p, 4 + o, 8 + o, 12 + o, 15 + o, navyLight);
        frameRect(p, 4 + o, 8 + o, 12 + o, 15 + o, white);
        fillRect(p, 4 + o, 9 + o, 12 + o, 10 + o, white);
        break;
    }
    return p;
}

// Command buttons --------------------------------------------------------------------

enum CommandGlyph { cgNew, cgDelete, cgSave, cgSearch, cgTools, cgHelp, cgAddFile, cgRemoveFile };

// A plus of bars `thick` wide in a size x size box (odd sizes for odd bars).
void plusGlyph(Picture& p, int ox, int oy, int size, int thick, Rgb color) {
    const int from = (size - thick) / 2;
    fillRect(p, ox + from, oy + 1, ox + from + thick, oy + size - 1, color);
    fillRect(p, ox + 1, oy + from, ox + size - 1, oy + from + thick, color);
}

void minusGlyph(Picture& p, int ox, int oy, int size, int thick, Rgb color) {
    const int from = (size - thick) / 2;
    fillRect(p, ox + 1, oy + from, ox + size - 1, oy + from + thick, color);
}

void crossGlyph(Picture& p, int ox, int oy, Rgb color) {
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x) {
            const int a = x - y, b = x + y - 15;
            if ((a >= -1 && a <= 1) || (b >= -1 && b <= 1)) put(p, ox + x, oy + y, color);
        }
}

void magnifierGlyph(Picture& p, int ox, int oy, Rgb color) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int d = distance2(x, y, 13, 13);  // centre (6.5, 6.5)
            const bool ring = d >= 4 * 16 && d <= 4 * 36;
            const bool handle = x >= 10 && y >= 10 && x - y >= -1 && x - y <= 1;
            if (ring || handle) put(p, ox + x, oy + y, color);
        }
}

void gearGlyph(Picture& p, int ox, int oy, Rgb color) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int d = distance2(x, y, 16, 16);  // centre (8, 8)
            const int dx = 2 * x + 1 - 16, dy = 2 * y + 1 - 16;
            const bool body = d >= 4 * 6 && d <= 4 * 30;
            const bool tooth = d > 4 * 30 && d <= 4 * 56 &&
                               (dx * dx <= 4 || dy * dy <= 4 || (dx - dy) * (dx - dy) <= 8 || (dx + dy) * (dx + dy) <= 8);
            if (body || tooth) put(p, ox + x, oy + y, color);
        }
}

void questionGlyph(Picture& p, int ox, int oy, Rgb color) {
    stamp(p, ox, oy,
          {"    ######    ", "   ########   ", "  ###    ###  ", "  ###    ###  ", "         ###  ", "        ###   ",
           "       ###    ", "      ###     ", "      ###     ", "      ###     ", "              ", "      ###     ",
           "      ###     ", "      ###     "},
          color);
}

void documentGlyph(Picture& p, int ox, int oy, Rgb line) {
    fillRect(p, ox + 1, oy, ox + 11, oy + 15, white);
    for (int y = 0; y < 15; ++y) put(p, ox + 1, oy + y, line);
    for (int x = 1; x < 11; ++x) put(p, ox + x, oy + 14, line);
    for (int x = 1; x < 8; ++x) put(p, ox + x, oy, line);
    for (int y = 3; y < 15; ++y) put(p, ox + 10, oy + y, line);
    for (int i = 0; i < 4; ++i) put(p, ox + 7 + i, oy + i, line);  // the folded corner
    for (int i = 0; i < 3; ++i) put(p, ox + 7, oy + i, line), put(p, ox + 7 + i, oy + 3, line);
    for (int y = 6; y < 12; y += 2) fillRect(p, ox + 3, oy + y, ox + 8, oy + y + 1, frameBlue);
}

// A diskette: body, shutter at the top, label below.
void disketteGlyph(Picture& p, int ox, int oy, Rgb color) {
    fillRect(p, ox + 1, oy + 1, ox + 15, oy + 15, color);
    fillRect(p, ox + 4, oy + 1, ox + 11, oy + 6, panelBlue);
    fillRect(p, ox + 8, oy + 2, ox + 10, oy + 5, color);
    fillRect(p, ox + 3, oy + 8, ox + 13, oy + 15, white);
    for (int y = 10; y < 14; y += 2) fillRect(p, ox + 4, oy + y, ox + 12, oy + y + 1, frameBlue);
}

void commandGlyph(Picture& p, int glyph, int ox, int oy, bool inactive) {
    const Rgb main = inactive ? greyGlyph : navy;
    switch (glyph) {
    case cgNew:
        plusGlyph(p, ox, oy, 16, 4, inactive ? greyGlyph : green);
        break;
    case cgDelete:
        crossGlyph(p, ox, oy, inactive ? greyGlyph : red);
        break;
    case cgSave:
        disketteGlyph(p, ox, oy, main);
        break;
    case cgSearch:
        magnifierGlyph(p, ox, oy, main);
        break;
    case cgTools:
        gearGlyph(p, ox, oy, main);
        break;
    case cgHelp:
        questionGlyph(p, ox + 1, oy + 1, main);
        break;
    case cgAddFile:
        documentGlyph(p, ox - 1, oy, main);
        fillRect(p, ox + 7, oy + 7, ox + 17, oy + 17, white);
        plusGlyph(p, ox + 7, oy + 7, 10, 2, green);
        break;
    default:
        documentGlyph(p, ox - 1, oy, main);
        fillRect(p, ox + 7, oy + 9, ox + 17, oy + 15, white);
        minusGlyph(p, ox + 7, oy + 7, 10, 2, red);
        break;
    }
}

template <int Glyph, int State>
Picture commandButton() {
    static const Rgb tops[] = {white, rgb(255, 248, 228), rgb(196, 208, 226)};
    static const Rgb bottoms[] = {panelBlue, rgb(250, 214, 140), rgb(236, 241, 247)};
    static const Rgb outlines[] = {frameBlue, orange, navy};
    Picture p = roundedFace(32, 6, tops[State], bottoms[State], outlines[State]);
    const int o = State == fsPressed ? 1 : 0;
    commandGlyph(p, Glyph, 8 + o, 8 + o, false);
    return p;
}

template <int Glyph>
Picture inactiveButton() {
    Picture p = roundedFace(32, 6, greyFace, greyFace, greyLine);
    commandGlyph(p, Glyph, 8, 8, true);
    return p;
}

// Splitter grip, resize tab, padlock --------------------------------------------------

Picture splitterGrip() {
    Picture p = blank(4, 32, panelBlue);
    for (int y = 1; y < 31; y += 3) fillRect(p, 1, y, 3, y + 2, navyLight);
    return p;
}

Picture resizeTab() {
    Picture p = blank(12, 12, cream);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (x + y >= 11 && x % 3 != 2 && y % 3 != 2) put(p, x, y, (x % 3 == 0 && y % 3 == 0) ? navyLight : frameBlue);
    return p;
}

Picture padlock() {
    Picture p = blank(48, 48, silver);
    const Rgb gold = rgb(224, 178, 64), goldDark = rgb(150, 104, 24), goldLight = rgb(246, 216, 128);
    for (int y = 2; y < 24; ++y)
        for (int x = 8; x < 40; ++x) {
            const int d = distance2(x, y, 48, 40);  // centre (24, 20)
            const bool arc = y < 20 ? (d >= 4 * 64 && d <= 4 * 169) : ((x >= 11 && x <= 15) || (x >= 32 && x <= 36));
            if (arc) put(p, x, y, y < 20 && d >= 4 * 144 ? goldDark : rgb(120, 128, 140));
        }
    for (int y = 20; y < 45; ++y)
        for (int x = 6; x < 42; ++x) {
            const bool edge = y == 20 || y == 44 || x == 6 || x == 41;
            put(p, x, y, edge ? goldDark : blend(goldLight, gold, y - 20, 24));
        }
    for (int y = 26; y < 40; ++y)
        for (int x = 20; x < 28; ++x) {
            const bool hole = distance2(x, y, 48, 60) <= 4 * 9 || (y >= 30 && y < 38 && x >= 23 && x <= 24);
            if (hole) put(p, x, y, navyDark);
        }
    return p;
}

}  // namespace

const std::vector<ArtItem>& mainWindowArtItems() {
    static const std::vector<ArtItem> items = {
        {IDB_MAIN_MIN_NORMAL, "main-min-normal.bmp", titleButton<tgMinimise, fsNormal>},
        {IDB_MAIN_MIN_ACTIVE, "main-min-active.bmp", titleButton<tgMinimise, fsActive>},
        {IDB_MAIN_MIN_PRESSED, "main-min-pressed.bmp", titleButton<tgMinimise, fsPressed>},
        {IDB_MAIN_MAX_NORMAL, "main-max-normal.bmp", titleButton<tgMaximise, fsNormal>},
        {IDB_MAIN_MAX_ACTIVE, "main-max-active.bmp", titleButton<tgMaximise, fsActive>},
        {IDB_MAIN_MAX_PRESSED, "main-max-pressed.bmp", titleButton<tgMaximise, fsPressed>},
        {IDB_MAIN_RESTORE_NORMAL, "main-restore-normal.bmp", titleButton<tgRestore, fsNormal>},
        {IDB_MAIN_RESTORE_ACTIVE, "main-restore-active.bmp", titleButton<tgRestore, fsActive>},
        {IDB_MAIN_RESTORE_PRESSED, "main-restore-pressed.bmp", titleButton<tgRestore, fsPressed>},
        {IDB_MAIN_CLOSE_NORMAL, "main-close-normal.bmp", titleButton<tgClose, fsNormal>},
        {IDB_MAIN_CLOSE_ACTIVE, "main-close-active.bmp", titleButton<tgClose, fsActive>},
        {IDB_MAIN_CLOSE_PRESSED, "main-close-pressed.bmp", titleButton<tgClose, fsPressed>},
        {IDB_MAIN_NEW_NORMAL, "main-new-normal.bmp", commandButton<cgNew, fsNormal>},
        {IDB_MAIN_NEW_NORMAL + 1, "main-new-active.bmp", commandButton<cgNew, fsActive>},
        {IDB_MAIN_NEW_NORMAL + 2, "main-new-pressed.bmp", commandButton<cgNew, fsPressed>},
        {IDB_MAIN_DELETE_NORMAL, "main-delete-normal.bmp", commandButton<cgDelete, fsNormal>},
        {IDB_MAIN_DELETE_NORMAL + 1, "main-delete-active.bmp", commandButton<cgDelete, fsActive>},
        {IDB_MAIN_DELETE_NORMAL + 2, "main-delete-pressed.bmp", commandButton<cgDelete, fsPressed>},
        {IDB_MAIN_SEARCH_NORMAL, "main-search-normal.bmp", commandButton<cgSearch, fsNormal>},
        {IDB_MAIN_SEARCH_NORMAL + 1, "main-search-active.bmp", commandButton<cgSearch, fsActive>},
        {IDB_MAIN_SEARCH_NORMAL + 2, "main-search-pressed.bmp", commandButton<cgSearch, fsPressed>},
        {IDB_MAIN_TOOLS_NORMAL, "main-tools-normal.bmp", commandButton<cgTools, fsNormal>},
        {IDB_MAIN_TOOLS_NORMAL + 1, "main-tools-active.bmp", commandButton<cgTools, fsActive>},
        {IDB_MAIN_TOOLS_NORMAL + 2, "main-tools-pressed.bmp", commandButton<cgTools, fsPressed>},
        {IDB_MAIN_HELP_NORMAL, "main-help-normal.bmp", commandButton<cgHelp, fsNormal>},
        {IDB_MAIN_HELP_NORMAL + 1, "main-help-active.bmp", commandButton<cgHelp, fsActive>},
        {IDB_MAIN_HELP_NORMAL + 2, "main-help-pressed.bmp", commandButton<cgHelp, fsPressed>},
        {IDB_MAIN_ADDFILE_NORMAL, "main-addfile-normal.bmp", commandButton<cgAddFile, fsNormal>},
        {IDB_MAIN_ADDFILE_NORMAL + 1, "main-addfile-active.bmp", commandButton<cgAddFile, fsActive>},
        {IDB_MAIN_ADDFILE_NORMAL + 2, "main-addfile-pressed.bmp", commandButton<cgAddFile, fsPressed>},
        {IDB_MAIN_REMOVEFILE_NORMAL, "main-removefile-normal.bmp", commandButton<cgRemoveFile, fsNormal>},
        {IDB_MAIN_REMOVEFILE_NORMAL + 1, "main-removefile-active.bmp", commandButton<cgRemoveFile, fsActive>},
        {IDB_MAIN_REMOVEFILE_NORMAL + 2, "main-removefile-pressed.bmp", commandButton<cgRemoveFile, fsPressed>},
        {IDB_MAIN_SAVE_NORMAL, "main-save-normal.bmp", commandButton<cgSave, fsNormal>},
        {IDB_MAIN_SAVE_NORMAL + 1, "main-save-active.bmp", commandButton<cgSave, fsActive>},
        {IDB_MAIN_SAVE_NORMAL + 2, "main-save-pressed.bmp", commandButton<cgSave, fsPressed>},
        {IDB_MAIN_NEW_INACTIVE, "main-new-inactive.bmp", inactiveButton<cgNew>},
        {IDB_MAIN_DELETE_INACTIVE, "main-delete-inactive.bmp", inactiveButton<cgDelete>},
        {IDB_MAIN_SPLITTER, "main-splitter.bmp", splitterGrip},
        {IDB_MAIN_RESIZE_TAB, "main-resize-tab.bmp", resizeTab},
        {IDB_MAIN_PADLOCK, "main-padlock.bmp", padlock},
    };
    return items;
}

}  // namespace skinart
