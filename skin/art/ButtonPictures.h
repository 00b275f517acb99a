/*
 * The main window's 19 button pictures, made by the picture generator in the
 * skin's theme, and the container stream that holds them (the RCDATA
 * resource "QCLBitmapList1" the main window loads into its bitmap list).
 *
 * Tricky points:
 * - Order is fixed: 0-2 copy (normal, active, pressed), 3 the 32 x 32
 *   empty-value picture, then encrypt, decrypt, browse, remove and run, three
 *   states each.
 * - Each picture's bottom-left pixel is its key colour (0x16FF00 as a
 *   system colour value for pictures 0-3, 0x18FF00 for the rest), so the
 *   bitmap's automatic transparent colour is the key.
 * - The stream: pictures 0-2 as compressed records, the rest uncompressed
 *   with their index as ident. Built by the runtime's own writer, so the
 *   committed file and a fresh build compare byte for byte.
 */
#pragma once

#include "skin/art/SkinArtwork.h"

#include <string>
#include <vector>

namespace skinart {

struct ButtonPicture {
    const char* fileName;  // in skin/art/bitmaps/
    Rgb key;               // 0x00RRGGBB
    Picture (*make)();
};

const std::vector<ButtonPicture>& buttonPictures();
// The committed file name of the container stream in skin/art/bitmaps/.
constexpr const char* ButtonListFileName = "button-pictures.qcl";

}  // namespace skinart
