/*
 * Resource number of the component library's glyph strip (resource script
 * skin/art/LibraryGlyphs.rc, made by the generator in skin/art/SkinArtwork.cpp):
 * eight 13 x 14 cells, 4 bits per pixel with the 16 standard colours, in the
 * order ellipsis, file, folder, calculator, calendar, search, colour, font.
 * Each cell's bottom-left pixel is its background (silver). #define lines only.
 */
#pragma once

#define IDB_QCL_GLYPH_KINDS 16546
