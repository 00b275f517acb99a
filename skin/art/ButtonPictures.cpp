// The main window's button pictures; see ButtonPictures.h. Each glyph is a
// shape test on integer coordinates, painted in the state's colours on the
// picture's key colour.
#include "skin/art/ButtonPictures.h"

namespace skinart {
namespace {

constexpr int size = 24;
// Key colours as 0x00RRGGBB (their system colour values are 0x16FF00 and 0x18FF00).
constexpr Rgb keyFirst = rgb(0x00, 0xFF, 0x16), keyRest = rgb(0x00, 0xFF, 0x18);
constexpr Rgb navy = rgb(37, 63, 115), navyDark = rgb(22, 38, 72), cream = rgb(252, 251, 239);
constexpr Rgb gold = rgb(214, 170, 58), goldDark = rgb(150, 112, 30), red = rgb(186, 48, 48);
constexpr Rgb green = rgb(54, 150, 78), sky = rgb(122, 154, 210);

enum State { Normal, Active, Pressed };

Rgb lighter(Rgb c) {
    auto up = [&](int shift) { int v = static_cast<int>((c >> shift) & 0xFF); return v + (255 - v) / 3; };
    return rgb(up(16), up(8), up(0));
}
Rgb darker(Rgb c) {
    auto down = [&](int shift) { return static_cast<int>((c >> shift) & 0xFF) * 3 / 4; };
    return rgb(down(16), down(8), down(0));
}

struct Paint {
    Rgb fill, outline;
};
Paint paintFor(State s, Rgb fill) {
    if (s == Active)
        return {lighter(fill), navy};
    if (s == Pressed)
        return {darker(fill), navyDark};
    return {fill, navyDark};
}

Picture keyed(int w, int h, Rgb key) {
    Picture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(static_cast<size_t>(w * h), key);
    return p;
}

void put(Picture& p, int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < p.width && y < p.height)
        p.pixels[static_cast<size_t>(y * p.width + x)] = c;
}

// Fills the shape, outlined where a 4-neighbour lies outside it. Pressed
// pictures move one pixel right and down. The bottom-left pixel stays key.
template <class Inside>
void shape(Picture& p, State s, const Paint& paint, Inside inside) {
    const int shift = s == Pressed ? 1 : 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            int sx = x - shift, sy = y - shift;
            if (!inside(sx, sy))
                continue;
            bool edge = !inside(sx - 1, sy) || !inside(sx + 1, sy) || !inside(sx, sy - 1) || !inside(sx, sy + 1);
            if (x == 0 && y == p.height - 1)
                continue;
            put(p, x, y, edge ? paint.outline : paint.fill);
        }
}

bool inBox(int x, int y, int l, int t, int r, int b) { return x >= l && x < r && y >= t && y < b; }

Picture copy(State s) {
    Picture p = keyed(size, size, keyFirst);
    Paint paper = paintFor(s, cream);
    shape(p, s, paper, [](int x, int y) { return inBox(x, y, 3, 2, 15, 17); });
    shape(p, s, paper, [](int x, int y) { return inBox(x, y, 8, 7, 20, 22); });
    Paint lines = paintFor(s, sky);
    for (int row = 11; row <= 17; row += 3)
        shape(p, s, lines, [row](int x, int y) { return inBox(x, y, 10, row, 18, row + 1); });
    return p;
}

// A padlock: a body box and a ring above it, open when `open`.
Picture padlock(State s, bool open) {
    Picture p = keyed(size, size, keyRest);
    Paint ring = paintFor(s, rgb(160, 166, 178));
    const int shiftRing = open ? 5 : 0;
    shape(p, s, ring, [shiftRing](int x, int y) {
        int dx2 = 2 * x + 1 - 2 * (12 + shiftRing), dy2 = 2 * y + 1 - 20;
        int d = dx2 * dx2 + dy2 * dy2;
        bool band = d <= 14 * 14 && d >= 8 * 8 && y <= 10;
        bool legs = y > 10 && y <= 12 && ((x >= 5 + shiftRing && x < 8 + shiftRing) || (x >= 16 + shiftRing && x < 19 + shiftRing));
        return band || legs;
    });
    Paint body = paintFor(s, open ? green : gold);
    shape(p, s, body, [](int x, int y) { return inBox(x, y, 4, 11, 20, 22); });
    Paint hole = paintFor(s, open ? darker(green) : goldDark);
    shape(p, s, hole, [](int x, int y) { return inBox(x, y, 11, 14, 13, 19); });
    return p;
}

Picture folder(State s) {
    Picture p = keyed(size, size, keyRest);
    Paint back = paintFor(s, goldDark);
    shape(p, s, back, [](int x, int y) { return inBox(x, y, 2, 4, 10, 8) || inBox(x, y, 2, 6, 22, 20); });
    Paint front = paintFor(s, gold);
    shape(p, s, front, [](int x, int y) {
        if (y < 10 || y >= 20)
            return false;
        int slant = (20 - y) / 3;
        return x >= 2 + slant && x < 22;
    });
    return p;
}

Picture cross(State s) {
    Picture p = keyed(size, size, keyRest);
    shape(p, s, paintFor(s, red), [](int x, int y) {
        if (!inBox(x, y, 3, 3, 21, 21))
            return false;
        int a = x - y, b = x + y - 23;
        return (a >= -2 && a <= 2) || (b >= -2 && b <= 2);
    });
    return p;
}

Picture play(State s) {
    Picture p = keyed(size, size, keyRest);
    shape(p, s, paintFor(s, green), [](int x, int y) {
        if (x < 6 || x >= 20 || y < 3 || y >= 21)
            return false;
        // Right edge falls from the middle row (12) towards both ends.
        int reach = 6 + (9 - (y < 12 ? 12 - y : y - 11)) * 14 / 9;
        return x < reach;
    });
    return p;
}

// The empty-value picture: a dashed rounded frame with a bar across.
Picture emptyValue() {
    Picture p = keyed(32, 32, keyFirst);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool frame = (x == 3 || x == 28 || y == 3 || y == 28) && inBox(x, y, 3, 3, 29, 29);
            bool corner = (x == 3 || x == 28) && (y == 3 || y == 28);
            if (frame && !corner && ((x + y) / 3) % 2 == 0)
                put(p, x, y, navy);
            if (inBox(x, y, 9, 15, 23, 17))
                put(p, x, y, sky);
        }
    return p;
}

template <Picture (*Make)(State), State S>
Picture state() {
    return Make(S);
}
Picture encrypt(State s) { return padlock(s, false); }
Picture decrypt(State s) { return padlock(s, true); }

}  // namespace

const std::vector<ButtonPicture>& buttonPictures() {
    static const std::vector<ButtonPicture> pictures = {
        {"button-copy-normal.bmp", keyFirst, state<copy, Normal>},
        {"button-copy-active.bmp", keyFirst, state<copy, Active>},
        {"button-copy-pressed.bmp", keyFirst, state<copy, Pressed>},
        {"button-empty-value.bmp", keyFirst, emptyValue},
        {"button-encrypt-normal.bmp", keyRest, state<encrypt, Normal>},
        {"button-encrypt-active.bmp", keyRest, state<encrypt, Active>},
        {"button-encrypt-pressed.bmp", keyRest, state<encrypt, Pressed>},
        {"button-decrypt-normal.bmp", keyRest, state<decrypt, Normal>},
        {"button-decrypt-active.bmp", keyRest, state<decrypt, Active>},
        {"button-decrypt-pressed.bmp", keyRest, state<decrypt, Pressed>},
        {"button-browse-normal.bmp", keyRest, state<folder, Normal>},
        {"button-browse-active.bmp", keyRest, state<folder, Active>},
        {"button-browse-pressed.bmp", keyRest, state<folder, Pressed>},
        {"button-remove-normal.bmp", keyRest, state<cross, Normal>},
        {"button-remove-active.bmp", keyRest, state<cross, Active>},
        {"button-remove-pressed.bmp", keyRest, state<cross, Pressed>},
        {"button-run-normal.bmp", keyRest, state<play, Normal>},
        {"button-run-active.bmp", keyRest, state<play, Active>},
        {"button-run-pressed.bmp", keyRest, state<play, Pressed>},
    };
    return pictures;
}

}  // namespace skinart
