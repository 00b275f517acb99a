/*
 * The generator of the dialogs' own pictures (skin/art/DialogArt.h): the four
 * Tools section pictures, the help dialog's emblem, the sorting tip's list
 * heading and the welcome band. Made like the skin's pictures (SkinArtwork.h):
 * integer geometry and the theme's colours only, the same bytes on every run.
 */
#pragma once

#include "skin/art/SkinArtwork.h"

#include <vector>

namespace skinart {

// Every dialog picture, in resource order.
const std::vector<ArtItem>& dialogArtItems();

}  // namespace skinart
