// Pixel effects on 24-bit bitmaps.
#include "components/runtime/qclbmp.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

void requireFormat(TBitmap* bitmap, const char* role) {
    if (!bitmap || bitmap->GetPixelFormat() != pf24bit)
        throw EQCLWrongPixelFormat(AnsiString("Wrong PixelFormat in ") + role + " bitmap!");
}

// A block of pixels, 3 bytes each (blue, green, red), row after row.
struct Block {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bytes;
    std::uint8_t* at(int x, int y) { return bytes.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

// The part of an area of size (w, h) at `origin` that lies inside a bitmap;
// the clipped amounts at the left and top are returned in `cut`.
void clipTo(const TBitmap* bitmap, TPoint& origin, int& w, int& h, TPoint& cut) {
    cut = TPoint(0, 0);
    if (origin.x < 0) { cut.x = -origin.x; w += origin.x; origin.x = 0; }
    if (origin.y < 0) { cut.y = -origin.y; h += origin.y; origin.y = 0; }
    w = std::min(w, bitmap->GetWidth() - origin.x);
    h = std::min(h, bitmap->GetHeight() - origin.y);
}

// The area of the operation in both bitmaps: the source rectangle clipped
// to the source, then the target area clipped to the target.
struct Area {
    TPoint source, target;
    int width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

Area areaOf(TBitmap* source, const TRect& rect, TBitmap* target, const TPoint& point) {
    Area a;
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return a;
    a.source = TPoint(rect.Left, rect.Top);
    a.target = point;
    a.width = rect.Right - rect.Left;
    a.height = rect.Bottom - rect.Top;
    TPoint cut;
    clipTo(source, a.source, a.width, a.height, cut);
    a.target.x += cut.x;
    a.target.y += cut.y;
    clipTo(target, a.target, a.width, a.height, cut);
    a.source.x += cut.x;
    a.source.y += cut.y;
    return a;
}

Block readBlock(TBitmap* bitmap, const TPoint& origin, int width, int height) {
    Block b;
    b.width = width;
    b.height = height;
    b.bytes.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(bitmap->GetScanLine(origin.y + y));
        std::memcpy(b.at(0, y), row + origin.x * 3, static_cast<size_t>(width) * 3);
    }
    return b;
}

// Writes the block; `skip` tells which pixels stay as they are.
template <class Skip>
void writeBlock(TBitmap* bitmap, const TPoint& origin, Block& b, Skip skip) {
    for (int y = 0; y < b.height; ++y) {
        auto* row = static_cast<std::uint8_t*>(bitmap->GetScanLine(origin.y + y)) + origin.x * 3;
        for (int x = 0; x < b.width; ++x)
            if (!skip(x, y)) std::memcpy(row + x * 3, b.at(x, y), 3);
    }
    bitmap->SetModified(true);
}

void writeBlock(TBitmap* bitmap, const TPoint& origin, Block& b) {
    writeBlock(bitmap, origin, b, [](int, int) { return false; });
}

// Runs a per-byte or per-pixel effect over the area.
template <class Effect>
void applyEffect(TBitmap* source, const TRect& rect, TBitmap* target, const TPoint& point, Effect effect) {
    requireFormat(source, "Source");
    requireFormat(target, "Target");
    Area a = areaOf(source, rect, target, point);
    if (a.empty()) return;
    Block b = readBlock(source, a.source, a.width, a.height);
    effect(b);
    writeBlock(target, a.target, b);
}

std::uint8_t clampByte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

struct GrayTables {
    std::array<std::uint8_t, 256> red, green, blue;
    GrayTables() {
        for (int i = 0; i < 256; ++i) {
            red[i] = static_cast<std::uint8_t>(RoundHalfEven(i * 30, 100));
            green[i] = static_cast<std::uint8_t>(RoundHalfEven(i * 59, 100));
            blue[i] = static_cast<std::uint8_t>(RoundHalfEven(i * 11, 100));
        }
    }
};

const GrayTables& grayTables() {
    static const GrayTables tables;
    return tables;
}

}  // namespace

int QCLGrayValue(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const GrayTables& t = grayTables();
    return t.red[red] + t.green[green] + t.blue[blue];
}

void QCLBMPGrayScale(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point) {
    applyEffect(Source, Rect, Target, Point, [](Block& b) {
        for (size_t i = 0; i < b.bytes.size(); i += 3) {
            auto grey = static_cast<std::uint8_t>(QCLGrayValue(b.bytes[i + 2], b.bytes[i + 1], b.bytes[i]));
            b.bytes[i] = b.bytes[i + 1] = b.bytes[i + 2] = grey;
        }
    });
}

void QCLBMPInvert(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point) {
    applyEffect(Source, Rect, Target, Point, [](Block& b) {
        for (auto& c : b.bytes) c = static_cast<std::uint8_t>(255 - c);
    });
}

void QCLBMPBrightness(TBitmap* Source, const TRect& Rect, TBitmap* Target, std::int16_t Brightness,
                      const TPoint& Point) {
    applyEffect(Source, Rect, Target, Point, [Brightness](Block& b) {
        for (auto& c : b.bytes) c = clampByte(c + Brightness);
    });
}

void QCLBmpBrightnessEC(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point,
                        std::int16_t Brightness, TColor ExceptionColor) {
    requireFormat(Source, "Source");
    requireFormat(Target, "Target");
    Area a = areaOf(Source, Rect, Target, Point);
    if (a.empty()) return;
    const COLORREF rgb = ColorToRGB(ExceptionColor);
    const std::uint8_t key[3] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb)};
    Block b = readBlock(Source, a.source, a.width, a.height);
    std::vector<bool> spared(static_cast<size_t>(a.width) * a.height);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            std::uint8_t* p = b.at(x, y);
            if (std::memcmp(p, key, 3) == 0) {
                spared[static_cast<size_t>(y) * b.width + x] = true;
                continue;
            }
            for (int i = 0; i < 3; ++i) p[i] = clampByte(p[i] + Brightness);
        }
    writeBlock(Target, a.target, b, [&](int x, int y) { return spared[static_cast<size_t>(y) * b.width + x]; });
}

void QCLBMPFlipVertical(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point) {
    applyEffect(Source, Rect, Target, Point, [](Block& b) {
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width / 2; ++x) std::swap_ranges(b.at(x, y), b.at(x, y) + 3, b.at(b.width - 1 - x, y));
    });
}

void QCLBMPFlipHorizonzal(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point) {
    applyEffect(Source, Rect, Target, Point, [](Block& b) {
        const size_t rowBytes = static_cast<size_t>(b.width) * 3;
        for (int y = 0; y < b.height / 2; ++y)
            std::swap_ranges(b.at(0, y), b.at(0, y) + rowBytes, b.at(0, b.height - 1 - y));
    });
}

void QCLBMPAlphaBlend(TBitmap* Source1, TBitmap* Source2, const TRect& Rect, const TPoint& Point2, TBitmap* Target,
                      float Strength, const TPoint& TargetPoint) {
    requireFormat(Source1, "Source 1");
    requireFormat(Source2, "Source 2");
    requireFormat(Target, "Target");
    // Clip to source 1 and the target first, then to source 2.
    Area a = areaOf(Source1, Rect, Target, TargetPoint);
    if (a.empty()) return;
    TPoint second(Point2.x + (a.source.x - Rect.Left), Point2.y + (a.source.y - Rect.Top));
    TPoint cut;
    clipTo(Source2, second, a.width, a.height, cut);
    if (a.width <= 0 || a.height <= 0) return;
    a.source.x += cut.x;
    a.source.y += cut.y;
    a.target.x += cut.x;
    a.target.y += cut.y;

    std::array<int, 511> table;
    for (int d = -255; d <= 255; ++d)
        table[static_cast<size_t>(d + 255)] = static_cast<int>(Round(static_cast<double>(d) * static_cast<double>(Strength)));
    Block one = readBlock(Source1, a.source, a.width, a.height);
    Block two = readBlock(Source2, second, a.width, a.height);
    for (size_t i = 0; i < one.bytes.size(); ++i) {
        const int s1 = one.bytes[i], s2 = two.bytes[i];
        two.bytes[i] = static_cast<std::uint8_t>(s2 + table[static_cast<size_t>(s1 - s2 + 255)]);
    }
    writeBlock(Target, a.target, two);
}
