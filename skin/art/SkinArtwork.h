/*
 * The generator of the program's own pictures: every picture is computed from
 * geometry and colour constants (no fonts, no outside images) and encoded as
 * a BMP file with the same bytes on every run and every build. The files are
 * committed in skin/art/bitmaps/ and linked through the resource scripts
 * skin/art/SkinArt.rc and skin/art/LibraryGlyphs.rc; skin/art/regenerate
 * writes them again, and a test compares the linked resources with what the
 * generator makes now.
 *
 * Tricky points:
 * - Only integer arithmetic decides a pixel, so no floating-point mode of any
 *   compiler can move an edge.
 * - Icons have hard edges and never use their key colour inside the picture:
 *   every key-coloured pixel is reached from the border through key pixels.
 * - The glyph strip is 4 bits per pixel with the 16 standard colours; every
 *   colour it uses must be one of them.
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skinart {

// 0x00RRGGBB
using Rgb = uint32_t;
constexpr Rgb rgb(int r, int g, int b) { return (static_cast<Rgb>(r) << 16) | (static_cast<Rgb>(g) << 8) | b; }

struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;  // 24, or 4 with the standard 16-colour palette
    std::vector<Rgb> pixels;  // rows from the top
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

struct ArtItem {
    int resourceId;
    const char* fileName;  // in skin/art/bitmaps/
    Picture (*make)();
};

// Every picture the generator makes, in resource order.
const std::vector<ArtItem>& artItems();
// The main window's own pictures (MainWindowArt.cpp); artItems() ends with them.
const std::vector<ArtItem>& mainWindowArtItems();
// The BMP file of a picture (file header, info header, palette, bottom-up rows).
std::string bmpFile(const Picture& picture);
// The 16 standard colours of 4-bit pictures, in palette order.
const std::vector<Rgb>& standardPalette();

}  // namespace skinart
