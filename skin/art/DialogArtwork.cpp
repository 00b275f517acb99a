// The dialogs' pictures; see DialogArtwork.h.
#include "skin/art/DialogArtwork.h"

#include "skin/art/DialogArt.h"

#include <cstdlib>

namespace skinart {

namespace {

constexpr Rgb navy = rgb(37, 63, 115), navyDark = rgb(22, 38, 72), navyLight = rgb(58, 88, 144);
constexpr Rgb sky = rgb(122, 154, 210), cream = rgb(252, 251, 239), gold = rgb(214, 166, 48);
constexpr Rgb goldDark = rgb(150, 108, 20), grey = rgb(200, 204, 212), greyDark = rgb(120, 126, 140);
constexpr Rgb white = rgb(255, 255, 255);

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

void fill(Picture& p, int left, int top, int w, int h, Rgb color) {
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x) put(p, x, y, color);
}

int channel(Rgb c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

Rgb blend(Rgb a, Rgb b, int step, int steps) {
    auto mix = [&](int shift) { return channel(a, shift) + (channel(b, shift) - channel(a, shift)) * step / steps; };
    return rgb(mix(16), mix(8), mix(0));
}

// Squared distance in half pixels from the pixel's centre to (cx2, cy2) in half pixels.
int distance2(int x, int y, int cx2, int cy2) {
    int dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
    return dx * dx + dy * dy;
}

// A disc (or a ring when inner > 0) centred at (cx, cy), radii in pixels.
void disc(Picture& p, int cx, int cy, int outer, int inner, Rgb color) {
    for (int y = cy - outer - 1; y <= cy + outer + 1; ++y)
        for (int x = cx - outer - 1; x <= cx + outer + 1; ++x) {
            int d = distance2(x, y, 2 * cx + 1, 2 * cy + 1);
            if (d <= 4 * outer * outer && d >= 4 * inner * inner) put(p, x, y, color);
        }
}

// A shield: flat top, straight sides down to two thirds, then closing to a point.
bool inShield(int x, int y, int left, int top, int w, int h) {
    const int dx = x - left, dy = y - top;
    if (dx < 0 || dy < 0 || dx >= w || dy >= h) return false;
    const int straight = h * 5 / 9;
    if (dy < straight) return true;
    const int half = w / 2, rest = h - straight;
    const int reach = half - half * (dy - straight) / rest;
    return std::abs(2 * dx + 1 - w) <= 2 * reach;
}

void shield(Picture& p, int left, int top, int w, int h, Rgb face, Rgb rim) {
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x) {
            if (!inShield(x, y, left, top, w, h)) continue;
            const bool edge = !inShield(x - 2, y, left, top, w, h) || !inShield(x + 2, y, left, top, w, h) ||
                              !inShield(x, y - 2, left, top, w, h) || !inShield(x, y + 2, left, top, w, h);
            put(p, x, y, edge ? rim : face);
        }
}

void keyhole(Picture& p, int cx, int top, Rgb color) {
    disc(p, cx, top + 4, 4, 0, color);
    for (int y = top + 6; y < top + 16; ++y) {
        const int half = 1 + (y - top - 6) / 4;
        fill(p, cx - half, y, 2 * half + 1, 1, color);
    }
}

// The section pictures: a navy tile with rounded corners holding one sign.
Picture toolsTile() {
    const int s = DialogArtToolsSize;
    Picture p = blank(s, s, cream);
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const int cx = x < 6 ? 6 : (x > s - 7 ? s - 7 : x), cy = y < 6 ? 6 : (y > s - 7 ? s - 7 : y);
            if (distance2(x, y, 2 * cx + 1, 2 * cy + 1) <= 4 * 36) put(p, x, y, blend(navyLight, navyDark, y, s));
        }
    return p;
}

Picture toolsPassword() {
    Picture p = toolsTile();
    disc(p, 15, 22, 8, 4, gold);         // the key's bow
    fill(p, 22, 20, 16, 5, gold);        // the shaft
    fill(p, 31, 25, 3, 6, gold);         // the bit
    fill(p, 36, 25, 3, 4, gold);
    fill(p, 22, 24, 16, 1, goldDark);
    return p;
}

Picture toolsBackup() {
    Picture p = toolsTile();
    for (int layer = 0; layer < 3; ++layer) {  // three stacked disks
        const int top = 27 - layer * 8;
        for (int y = top; y < top + 9; ++y)
            for (int x = 10; x < 35; ++x) {
                const bool rim = y == top + 8 || x == 10 || x == 34;
                put(p, x, y, rim ? navyDark : (layer == 2 ? cream : sky));
            }
    }
    fill(p, 28, 30, 4, 2, gold);  // the drive's light
    return p;
}

Picture toolsUpdate() {
    Picture p = toolsTile();
    disc(p, 22, 22, 13, 0, sky);
    disc(p, 22, 22, 13, 12, white);
    fill(p, 10, 22, 25, 1, white);  // the equator and a meridian
    for (int y = 10; y < 35; ++y) put(p, 22, y, white);
    for (int y = 10; y < 35; ++y) {  // two curved meridians
        const int d = y - 22, bend = 6 - d * d / 28;
        put(p, 22 - bend, y, white);
        put(p, 22 + bend, y, white);
    }
    return p;
}

Picture toolsHide() {
    Picture p = toolsTile();
    for (int y = 12; y < 33; ++y)
        for (int x = 6; x < 39; ++x) {  // the eye: two arcs meeting at the corners
            const int dx = x - 22, dy = y - 22;
            if (dx * dx <= 256 && 256 * std::abs(dy) <= 9 * (256 - dx * dx)) put(p, x, y, white);
        }
    disc(p, 22, 22, 6, 0, navy);
    disc(p, 22, 22, 2, 0, navyDark);
    for (int i = 0; i < 30; ++i) {  // the stroke across it
        fill(p, 8 + i, 36 - i, 2, 2, gold);
    }
    return p;
}

Picture helpEmblem() {
    const int w = DialogArtHelpWidth, h = DialogArtHelpHeight;
    Picture p = blank(w, h, cream);
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x) put(p, x, y, blend(navyLight, navyDark, y, h));
    fill(p, 2, 2, w - 4, 1, sky);
    shield(p, 14, 9, 40, 52, gold, goldDark);
    keyhole(p, 34, 24, navyDark);
    for (int i = 0; i < 4; ++i) disc(p, 112, h / 2, 10 + i * 9, 9 + i * 9, blend(sky, navy, i, 4));  // rings
    disc(p, 112, h / 2, 5, 0, gold);
    return p;
}

Picture sortTip() {
    const int w = DialogArtSortTipWidth, h = DialogArtSortTipHeight;
    Picture p = blank(w, h, white);
    const int columns[] = {0, 90, 180, w};
    for (int c = 0; c < 3; ++c) {  // the heading sections
        const int left = columns[c], right = columns[c + 1] - 1;
        for (int y = 0; y < 18; ++y)
            for (int x = left; x <= right; ++x)
                put(p, x, y, x == right || y == 17 ? greyDark : (y == 0 || x == left ? white : grey));
        fill(p, left + 8, 7, 36 + c * 6, 4, greyDark);  // the heading's name
    }
    for (int i = 0; i < 5; ++i) fill(p, 160 - i, 6 + i, 2 * i + 1, 1, navy);  // the sort arrow of the second
    for (int row = 0; row < 3; ++row) {  // the entries, sorted by the second column
        const int top = 22 + row * 10;
        if (row == 0) fill(p, 0, top - 1, w, 10, navy);
        const Rgb ink = row == 0 ? white : greyDark;
        for (int c = 0; c < 3; ++c) fill(p, columns[c] + 8, top + 3, 30 + ((row * 7 + c * 11) % 30), 3, ink);
    }
    for (int x = 0; x < w; ++x) put(p, x, h - 1, greyDark);
    for (int y = 0; y < h; ++y) {
        put(p, 0, y, greyDark);
        put(p, w - 1, y, greyDark);
    }
    return p;
}

Picture welcomeBand() {
    const int w = DialogArtWelcomeWidth, h = DialogArtWelcomeHeight;
    Picture p = blank(w, h, navy);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) put(p, x, y, blend(navyLight, navyDark, x + y * 3, w + h * 3));
    for (int i = 0; i < 5; ++i) disc(p, w - 60, h / 2, 18 + i * 12, 17 + i * 12, blend(sky, navy, i, 5));
    shield(p, 16, 6, 40, 52, gold, goldDark);
    keyhole(p, 36, 20, navyDark);
    return p;
}

}  // namespace

const std::vector<ArtItem>& dialogArtItems() {
    static const std::vector<ArtItem> items = {
        {IDB_DIALOG_TOOLS_PASSWORD, "tools-password.bmp", toolsPassword},
        {IDB_DIALOG_TOOLS_BACKUP, "tools-backup.bmp", toolsBackup},
        {IDB_DIALOG_TOOLS_UPDATE, "tools-update.bmp", toolsUpdate},
        {IDB_DIALOG_TOOLS_HIDE, "tools-hide.bmp", toolsHide},
        {IDB_DIALOG_HELP_EMBLEM, "help-emblem.bmp", helpEmblem},
        {IDB_DIALOG_SORT_TIP, "tip-sort.bmp", sortTip},
        {IDB_DIALOG_WELCOME_BAND, "welcome-band.bmp", welcomeBand},
    };
    return items;
}

}  // namespace skinart
