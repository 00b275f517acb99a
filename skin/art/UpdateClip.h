/*
 * The update dialog's waiting animation, made like the skin's pictures: from
 * integer geometry and the theme's colours, the same bytes on every run. It
 * is a 70 x 70 clip of 25 frames: twelve dots on a ring over the body's
 * cream, a navy head going round with a fading tail.
 *
 * The file is an uncompressed AVI (one video stream of 8-bit frames with a
 * palette, an index of key frames), which the system's animation control
 * plays without a decompressor.
 */
#pragma once

#include <string>

namespace skinart {

constexpr int UpdateClipSize = 70;
constexpr int UpdateClipFrames = 25;
constexpr int UpdateClipResourceId = 129;

// The palette index of each pixel of one frame (0-based), rows from the top.
std::string updateClipFrame(int frame);
// The whole clip as an AVI file.
std::string updateClipFile();

}  // namespace skinart
