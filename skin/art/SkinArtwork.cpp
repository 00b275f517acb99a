// The picture generator; see SkinArtwork.h.
#include "skin/art/SkinArtwork.h"

#include <algorithm>
#include <stdexcept>

#include "skin/art/LibraryGlyphs.h"
#include "skin/art/SkinArt.h"

namespace skinart {

namespace {

// Theme colours.
constexpr Rgb navy = rgb(37, 63, 115), navyDark = rgb(22, 38, 72), navyLight = rgb(58, 88, 144);
constexpr Rgb titleHighlight = rgb(122, 154, 210), titleTop = rgb(78, 114, 178);
constexpr Rgb cream = rgb(252, 251, 239), bodyOuter = rgb(140, 160, 196), bodyInner = rgb(214, 222, 232);
constexpr Rgb lime = rgb(0, 255, 0), white = rgb(255, 255, 255), silver = rgb(192, 192, 192);
constexpr int titleHeight = 35;

Picture blank(int w, int h, Rgb color) {
    Picture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(static_cast<size_t>(w * h), color);
    return p;
}

void put(Picture& p, int x, int y, Rgb color) { p.pixels[static_cast<size_t>(y * p.width + x)] = color; }

int channel(Rgb c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// a at step 0, b at step `steps`, truncated in between.
Rgb blend(Rgb a, Rgb b, int step, int steps) {
    auto mix = [&](int shift) { return channel(a, shift) + (channel(b, shift) - channel(a, shift)) * step / steps; };
    return rgb(mix(16), mix(8), mix(0));
}

Picture mirrored(const Picture& source) {
    Picture p = source;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) put(p, x, y, source.at(p.width - 1 - x, y));
    return p;
}

Picture flipped(const Picture& source) {
    Picture p = source;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) put(p, x, y, source.at(x, p.height - 1 - y));
    return p;
}

// Inside the ellipse inscribed in the w x h box, judged at the pixel's centre.
bool inEllipse(int x, int y, int w, int h) {
    long long dx = 2 * x + 1 - w, dy = 2 * y + 1 - h;
    return dx * dx * h * h + dy * dy * w * w <= static_cast<long long>(w) * w * h * h;
}

// Squared distance in half pixels from the pixel's centre to a point given in half pixels.
int distance2(int x, int y, int cx2, int cy2) {
    int dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
    return dx * dx + dy * dy;
}

// Pixels of `inside` that have a 4-neighbour outside it (or lie on the picture's border).
template <class Inside>
bool onOutline(int x, int y, int w, int h, Inside inside) {
    if (!inside(x, y)) return false;
    const int nx[] = {x - 1, x + 1, x, x}, ny[] = {y, y, y - 1, y + 1};
    for (int i = 0; i < 4; ++i)
        if (nx[i] < 0 || ny[i] < 0 || nx[i] >= w || ny[i] >= h || !inside(nx[i], ny[i])) return true;
    return false;
}

// Draws a glyph map: '#' in `color`, anything else left alone.
void stamp(Picture& p, int left, int top, const std::vector<std::string>& rows, Rgb color) {
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            if (rows[y][x] == '#') put(p, left + static_cast<int>(x), top + static_cast<int>(y), color);
}

// Title bar, edges, corners --------------------------------------------------

Rgb titleRow(int y) {
    if (y == 0) return titleHighlight;
    return blend(titleTop, navy, y - 1, titleHeight - 2);
}

Picture titleTile() {
    Picture p = blank(8, titleHeight, navy);
    for (int y = 0; y < titleHeight; ++y)
        for (int x = 0; x < 8; ++x) put(p, x, y, titleRow(y));
    return p;
}

Picture titleLeft() {
    Picture p = blank(6, titleHeight, navy);
    for (int y = 0; y < titleHeight; ++y)
        for (int x = 0; x < 6; ++x) put(p, x, y, x == 0 ? navyDark : titleRow(y));
    return p;
}

Picture titleRight() { return mirrored(titleLeft()); }

// A 13 x 13 window corner whose rounded edge follows the window region's 15 x 15
// corner ellipse, centred at (cx2, cy2) half pixels; the pixels beyond the
// centre on the corner's side (left or right, top or bottom) are cut round.
// The region reaches one pixel past the window's right and bottom edges, so
// the right and bottom corners have their centre one pixel further out.
template <class Fill>
Picture corner(bool right, bool bottom, Rgb outline, Fill fill) {
    const int size = 13, radius2 = 15;  // 7.5 pixels in half pixels
    const int cx2 = right ? 2 * (size + 1) - radius2 : radius2, cy2 = bottom ? 2 * (size + 1) - radius2 : radius2;
    Picture p = blank(size, size, navy);
    auto inside = [&](int x, int y) {
        bool beyondX = right ? 2 * x + 1 > cx2 : 2 * x + 1 < cx2;
        bool beyondY = bottom ? 2 * y + 1 > cy2 : 2 * y + 1 < cy2;
        return !(beyondX && beyondY) || distance2(x, y, cx2, cy2) <= radius2 * radius2;
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (!inside(x, y)) continue;
            bool arc = distance2(x, y, cx2, cy2) > (radius2 - 2) * (radius2 - 2) && onOutline(x, y, size, size, inside);
            bool beyond = (right ? 2 * x + 1 > cx2 : 2 * x + 1 < cx2) && (bottom ? 2 * y + 1 > cy2 : 2 * y + 1 < cy2);
            put(p, x, y, arc && beyond ? outline : fill(y));
        }
    return p;
}

Rgb frameFill(int) { return navy; }

Picture cornerTopLeft() { return corner(false, false, titleHighlight, titleRow); }
Picture cornerTopRight() { return corner(true, false, titleHighlight, titleRow); }
Picture cornerBottomLeft() { return corner(false, true, navyDark, frameFill); }
Picture cornerBottomRight() { return corner(true, true, navyDark, frameFill); }

Picture edgeLeft() {
    Picture p = blank(8, 4, navy);
    for (int y = 0; y < 4; ++y) {
        put(p, 0, y, navyDark);
        put(p, 7, y, navyLight);
    }
    return p;
}

Picture edgeRight() {
    Picture p = blank(9, 4, navy);
    for (int y = 0; y < 4; ++y) {
        put(p, 0, y, navyLight);
        put(p, 8, y, navyDark);
    }
    return p;
}

Picture edgeBottom() {
    Picture p = blank(4, 7, navy);
    for (int x = 0; x < 4; ++x) {
        put(p, x, 0, navyLight);
        put(p, x, 6, navyDark);
    }
    return p;
}

// Body panel: from the navy frame to the cream body in three steps.

Picture bodyTop() {
    Picture p = blank(4, 3, cream);
    for (int x = 0; x < 4; ++x) {
        put(p, x, 0, bodyOuter);
        put(p, x, 1, bodyInner);
    }
    return p;
}

Picture bodyBottom() { return flipped(bodyTop()); }

Picture bodyLeft() {
    Picture p = blank(3, 4, cream);
    for (int y = 0; y < 4; ++y) {
        put(p, 0, y, bodyOuter);
        put(p, 1, y, bodyInner);
    }
    return p;
}

Picture bodyRight() { return mirrored(bodyLeft()); }

Picture bodyCornerTopLeft() {
    Picture p = blank(6, 6, navy);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            int d = distance2(x, y, 12, 12);
            if (d > 144) continue;
            put(p, x, y, d > 100 ? bodyOuter : d > 64 ? bodyInner : cream);
        }
    return p;
}

Picture bodyCornerTopRight() { return mirrored(bodyCornerTopLeft()); }
Picture bodyCornerBottomLeft() { return flipped(bodyCornerTopLeft()); }
Picture bodyCornerBottomRight() { return mirrored(flipped(bodyCornerTopLeft())); }

// Icons ------------------------------------------------------------------------

// A round badge filling the picture, outlined, on the key colour, with a glyph.
Picture badge(int w, int h, Rgb key, Rgb fill, Rgb outline, int glyphLeft, int glyphTop,
              const std::vector<std::string>& glyph, Rgb ink) {
    Picture p = blank(w, h, key);
    auto inside = [&](int x, int y) { return inEllipse(x, y, w, h); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (inside(x, y)) put(p, x, y, onOutline(x, y, w, h, inside) ? outline : fill);
    stamp(p, glyphLeft, glyphTop, glyph, ink);
    return p;
}

Picture iconInfo() {
    return badge(18, 16, lime, rgb(30, 90, 200), rgb(16, 48, 120), 7, 3,
                 {".##.", ".##.", "....", "###.", ".##.", ".##.", ".##.", ".##.", "####"}, white);
}

Picture iconError() {
    return badge(16, 17, lime, rgb(200, 30, 30), rgb(120, 10, 10), 4, 4,
                 {"##....##", "###..###", ".######.", "..####..", "..####..", ".######.", "###..###", "##....##"},
                 white);
}

Picture iconQuestion() {
    return badge(16, 16, lime, rgb(30, 90, 200), rgb(16, 48, 120), 5, 3,
                 {".####.", "##..##", "....##", "...##.", "..##..", "..##..", "......", "..##..", "..##.."}, white);
}

Picture iconCaution() {
    const int size = 18;
    Picture p = blank(size, size, white);
    // A triangle with its apex at the top centre, in half pixels.
    const int ax = 18, ay = 1, bx = 1, by = 34, cx = 35, cy = 34;
    auto side = [](int x1, int y1, int x2, int y2, int px, int py) {
        return (x2 - x1) * (py - y1) - (y2 - y1) * (px - x1);
    };
    auto inside = [&](int x, int y) {
        int px = 2 * x + 1, py = 2 * y + 1;
        int s1 = side(ax, ay, bx, by, px, py), s2 = side(bx, by, cx, cy, px, py), s3 = side(cx, cy, ax, ay, px, py);
        return (s1 <= 0 && s2 <= 0 && s3 <= 0) || (s1 >= 0 && s2 >= 0 && s3 >= 0);
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (inside(x, y)) put(p, x, y, onOutline(x, y, size, size, inside) ? rgb(120, 80, 0) : rgb(250, 200, 40));
    stamp(p, 8, 6, {"##", "##", "##", "##", "##", "##", "..", "##", "##"}, rgb(0, 0, 0));
    return p;
}

// Picture button faces ------------------------------------------------------------

Picture face(Rgb top, Rgb bottom, bool highlight) {
    const int w = 75, h = 23, r2 = 8;  // corner radius 4 pixels, in half pixels
    Picture p = blank(w, h, silver);
    auto inside = [&](int x, int y) {
        int cx2 = 2 * x + 1 < r2 ? r2 : 2 * x + 1 > 2 * w - r2 ? 2 * w - r2 : 2 * x + 1;
        int cy2 = 2 * y + 1 < r2 ? r2 : 2 * y + 1 > 2 * h - r2 ? 2 * h - r2 : 2 * y + 1;
        return distance2(x, y, cx2, cy2) <= r2 * r2;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!inside(x, y)) continue;
            Rgb color = blend(top, bottom, y, h - 1);
            if (highlight && y == 2) color = blend(color, white, 1, 2);
            put(p, x, y, onOutline(x, y, w, h, inside) ? navyDark : color);
        }
    return p;
}

Picture faceNormal() { return face(rgb(88, 124, 190), navy, true); }
Picture faceActive() { return face(rgb(118, 156, 222), rgb(52, 84, 146), true); }
Picture facePressed() { return face(rgb(30, 52, 96), rgb(70, 104, 166), false); }

// The library's glyph strip ----------------------------------------------------------

Rgb paletteColor(char code) {
    static const std::string codes = "kmGobptsgrlyBfcw";  // in palette order
    size_t index = codes.find(code);
    if (code == '.' || index == std::string::npos) return silver;
    return standardPalette()[index];
}

Picture glyphKinds() {
    static const std::vector<std::vector<std::string>> cells = {
        // ellipsis
        {".............", ".............", ".............", ".............", ".............", ".............",
         ".............", ".............", ".............", "..kk..kk..kk.", "..kk..kk..kk.", ".............",
         ".............", "............."},
        // file
        {".............", "..kkkkkk.....", "..kwwwwkk....", "..kwwwwkwk...", "..kwwwwkkkk..", "..kwwwwwwwk..",
         "..kwgggggwk..", "..kwwwwwwwk..", "..kwgggggwk..", "..kwwwwwwwk..", "..kwgggggwk..", "..kwwwwwwwk..",
         "..kkkkkkkkk..", "............."},
        // folder
        {".............", ".............", ".oooo........", "oyyyyo.......", "oyyyyyoooooo.", "oywwwwwwwwwo.",
         "oyyyyyyyyyyo.", "oyyyyyyyyyyo.", "oyyyyyyyyyyo.", "oyyyyyyyyyyo.", "oyyyyyyyyyyo.", "oooooooooooo.",
         ".............", "............."},
        // calculator
        {".............", "..kkkkkkkkk..", "..kgggggggk..", "..kgcccccgk..", "..kgcccccgk..", "..kgggggggk..",
         "..kgkgkgkgk..", "..kgggggggk..", "..kgkgkgkgk..", "..kgggggggk..", "..kgkgkgrgk..", "..kgggggggk..",
         "..kkkkkkkkk..", "............."},
        // calendar
        {".............", ".kkkkkkkkkkk.", ".krrrrrrrrrk.", ".krrrrrrrrrk.", ".kkkkkkkkkkk.", ".kwwwwwwwwwk.",
         ".kwgwgwgwgwk.", ".kwwwwwwwwwk.", ".kwgwgwgwgwk.", ".kwwwwwwwwwk.", ".kwgwgwBwgwk.", ".kwwwwwwwwwk.",
         ".kkkkkkkkkkk.", "............."},
        // search
        {".............", "...kkk.......", "..kcwck......", ".kcwccck.....", ".kccccck.....", ".kccccck.....",
         "..kccck......", "...kkkgk.....", "......kgk....", ".......kgk...", "........kgk..", ".........kk..",
         ".............", "............."},
        // colour
        {".............", ".kkkkk.kkkkk.", ".krrrk.klllk.", ".krrrk.klllk.", ".krrrk.klllk.", ".kkkkk.kkkkk.",
         ".............", ".kkkkk.kkkkk.", ".kBBBk.kyyyk.", ".kBBBk.kyyyk.", ".kBBBk.kyyyk.", ".kkkkk.kkkkk.",
         ".............", "............."},
        // font
        {".............", "......k......", ".....kkk.....", ".....kkk.....", "....kk.kk....", "....kk.kk....",
         "...kk...kk...", "...kkkkkkk...", "..kk.....kk..", "..kk.....kk..", ".kkk.....kkk.", ".............",
         ".bbbbbbbbbbb.", "............."},
    };
    const int cellWidth = 13, cellHeight = 14;
    Picture p = blank(cellWidth * static_cast<int>(cells.size()), cellHeight, silver);
    p.bitsPerPixel = 4;
    for (size_t c = 0; c < cells.size(); ++c) {
        if (cells[c].size() != static_cast<size_t>(cellHeight)) throw std::logic_error("glyph cell height");
        for (int y = 0; y < cellHeight; ++y) {
            const std::string& row = cells[c][static_cast<size_t>(y)];
            if (row.size() != static_cast<size_t>(cellWidth)) throw std::logic_error("glyph cell width");
            for (int x = 0; x < cellWidth; ++x)
                put(p, static_cast<int>(c) * cellWidth + x, y, paletteColor(row[static_cast<size_t>(x)]));
        }
    }
    return p;
}

// Encoding -------------------------------------------------------------------------

void putLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

const std::vector<Rgb>& standardPalette() {
    static const std::vector<Rgb> palette = {
        rgb(0, 0, 0),     rgb(128, 0, 0),   rgb(0, 128, 0),   rgb(128, 128, 0), rgb(0, 0, 128),   rgb(128, 0, 128),
        rgb(0, 128, 128), rgb(192, 192, 192), rgb(128, 128, 128), rgb(255, 0, 0), rgb(0, 255, 0), rgb(255, 255, 0),
        rgb(0, 0, 255),   rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255),
    };
    return palette;
}

std::string bmpFile(const Picture& picture) {
    const bool indexed = picture.bitsPerPixel == 4;
    const uint32_t stride = ((static_cast<uint32_t>(picture.width) * picture.bitsPerPixel + 31) / 32) * 4;
    const uint32_t imageSize = stride * static_cast<uint32_t>(picture.height);
    const uint32_t paletteSize = indexed ? 16 * 4 : 0;
    const uint32_t offset = 14 + 40 + paletteSize;
    std::string out;
    out += "BM";
    putLE(out, offset + imageSize, 4);
    putLE(out, 0, 4);
    putLE(out, offset, 4);
    putLE(out, 40, 4);
    putLE(out, static_cast<uint32_t>(picture.width), 4);
    putLE(out, static_cast<uint32_t>(picture.height), 4);  // bottom-up rows
    putLE(out, 1, 2);
    putLE(out, static_cast<uint32_t>(picture.bitsPerPixel), 2);
    putLE(out, 0 /* BI_RGB */, 4);
    putLE(out, imageSize, 4);
    putLE(out, 0, 4);
    putLE(out, 0, 4);
    putLE(out, indexed ? 16 : 0, 4);
    putLE(out, 0, 4);
    if (indexed)
        for (Rgb c : standardPalette()) putLE(out, c, 4);  // blue, green, red, 0
    for (int y = picture.height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < picture.width; ++x) {
            Rgb c = picture.at(x, y);
            if (indexed) {
                auto& palette = standardPalette();
                auto it = std::find(palette.begin(), palette.end(), c);
                if (it == palette.end()) throw std::logic_error("a 4-bit picture uses a colour outside its palette");
                int index = static_cast<int>(it - palette.begin());
                if (x % 2 == 0) row.push_back(static_cast<char>(index << 4));
                else row.back() = static_cast<char>(row.back() | index);
            } else {
                putLE(row, c, 3);  // blue, green, red
            }
        }
        row.resize(stride, '\0');
        out += row;
    }
    return out;
}

const std::vector<ArtItem>& artItems() {
    static const std::vector<ArtItem> items = {
        {IDB_SKIN_TITLE_TILE, "title-tile.bmp", titleTile},
        {IDB_SKIN_TITLE_LEFT, "title-left.bmp", titleLeft},
        {IDB_SKIN_TITLE_RIGHT, "title-right.bmp", titleRight},
        {IDB_SKIN_CORNER_TL, "corner-tl.bmp", cornerTopLeft},
        {IDB_SKIN_CORNER_TR, "corner-tr.bmp", cornerTopRight},
        {IDB_SKIN_CORNER_BL, "corner-bl.bmp", cornerBottomLeft},
        {IDB_SKIN_CORNER_BR, "corner-br.bmp", cornerBottomRight},
        {IDB_SKIN_EDGE_LEFT, "edge-left.bmp", edgeLeft},
        {IDB_SKIN_EDGE_RIGHT, "edge-right.bmp", edgeRight},
        {IDB_SKIN_EDGE_BOTTOM, "edge-bottom.bmp", edgeBottom},
        {IDB_SKIN_BODY_TOP, "body-top.bmp", bodyTop},
        {IDB_SKIN_BODY_BOTTOM, "body-bottom.bmp", bodyBottom},
        {IDB_SKIN_BODY_LEFT, "body-left.bmp", bodyLeft},
        {IDB_SKIN_BODY_RIGHT, "body-right.bmp", bodyRight},
        {IDB_SKIN_BODY_CORNER_TL, "body-corner-tl.bmp", bodyCornerTopLeft},
        {IDB_SKIN_BODY_CORNER_TR, "body-corner-tr.bmp", bodyCornerTopRight},
        {IDB_SKIN_BODY_CORNER_BL, "body-corner-bl.bmp", bodyCornerBottomLeft},
        {IDB_SKIN_BODY_CORNER_BR, "body-corner-br.bmp", bodyCornerBottomRight},
        {IDB_SKIN_ICON_INFO, "icon-info.bmp", iconInfo},
        {IDB_SKIN_ICON_ERROR, "icon-error.bmp", iconError},
        {IDB_SKIN_ICON_CAUTION, "icon-caution.bmp", iconCaution},
        {IDB_SKIN_ICON_QUESTION, "icon-question.bmp", iconQuestion},
        {IDB_SKIN_FACE_NORMAL, "face-normal.bmp", faceNormal},
        {IDB_SKIN_FACE_ACTIVE, "face-active.bmp", faceActive},
        {IDB_SKIN_FACE_PRESSED, "face-pressed.bmp", facePressed},
        {IDB_QCL_GLYPH_KINDS, "glyph-kinds.bmp", glyphKinds},
    };
    static const std::vector<ArtItem> all = [] {
        std::vector<ArtItem> joined = items;
        joined.insert(joined.end(), mainWindowArtItems().begin(), mainWindowArtItems().end());
        return joined;
    }();
    return all;
}

}  // namespace skinart
