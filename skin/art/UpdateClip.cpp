// The update dialog's waiting animation; see UpdateClip.h.
#include "skin/art/UpdateClip.h"

#include <cstdint>
#include <vector>

namespace skinart {

namespace {

constexpr int DotCount = 12;
constexpr int TailLength = 5;
// Palette: 0 the body's cream, 1..TailLength+1 the dot shades from the head (navy) to the
// resting dots (pale blue-grey). Stored as blue, green, red, 0.
const uint8_t Palette[][3] = {
    {252, 251, 239},  // cream (r, g, b)
    {37, 63, 115}, {66, 94, 148}, {96, 124, 176}, {130, 154, 198}, {162, 182, 214}, {198, 208, 226},
};
constexpr int PaletteSize = sizeof Palette / sizeof Palette[0];

// The dots' centres on a ring of radius 24 around (35, 35): 1000 x cos and sin of each 30 degrees.
const int Cos1000[DotCount] = {1000, 866, 500, 0, -500, -866, -1000, -866, -500, 0, 500, 866};

int dotX(int dot) { return 35 + Cos1000[dot] * 24 / 1000; }
int dotY(int dot) { return 35 + Cos1000[(dot + 9) % DotCount] * 24 / 1000; }

void putLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putChunk(std::string& out, const char* id, const std::string& body) {
    out.append(id, 4);
    putLE(out, static_cast<uint32_t>(body.size()), 4);
    out += body;
    if (body.size() % 2) out.push_back('\0');
}


constexpr uint32_t RowBytes = (UpdateClipSize + 3) / 4 * 4;
constexpr uint32_t FrameBytes = RowBytes * UpdateClipSize;
constexpr uint32_t MicrosecondsPerFrame = 80000;

std::string mainHeader() {
    std::string h;
    putLE(h, MicrosecondsPerFrame, 4);
    putLE(h, 0, 4);                 // max bytes per second
    putLE(h, 0, 4);                 // padding granularity
    putLE(h, 0x10, 4);              // has an index
    putLE(h, UpdateClipFrames, 4);
    putLE(h, 0, 4);                 // initial frames
    putLE(h, 1, 4);                 // streams
    putLE(h, FrameBytes, 4);        // suggested buffer size
    putLE(h, UpdateClipSize, 4);
    putLE(h, UpdateClipSize, 4);
    putLE(h, 0, 16);
    return h;
}

std::string streamHeader() {
    std::string h("vidsDIB ", 8);
    putLE(h, 0, 4);  // flags
    putLE(h, 0, 4);  // priority, language
    putLE(h, 0, 4);  // initial frames
    putLE(h, 1, 4);  // scale
    putLE(h, 1000000 / MicrosecondsPerFrame, 4);  // rate
    putLE(h, 0, 4);  // start
    putLE(h, UpdateClipFrames, 4);
    putLE(h, FrameBytes, 4);
    putLE(h, 0xFFFFFFFF, 4);  // quality: default
    putLE(h, 0, 4);           // sample size
    putLE(h, 0, 4);           // frame rectangle: left, top
    putLE(h, UpdateClipSize, 2);
    putLE(h, UpdateClipSize, 2);
    return h;
}

std::string streamFormat() {
    std::string f;
    putLE(f, 40, 4);
    putLE(f, UpdateClipSize, 4);
    putLE(f, UpdateClipSize, 4);  // bottom-up rows
    putLE(f, 1, 2);
    putLE(f, 8, 2);
    putLE(f, 0, 4);  // uncompressed
    putLE(f, FrameBytes, 4);
    putLE(f, 0, 8);  // resolution
    putLE(f, PaletteSize, 4);
    putLE(f, PaletteSize, 4);
    for (const auto& c : Palette) {
        f.push_back(static_cast<char>(c[2]));
        f.push_back(static_cast<char>(c[1]));
        f.push_back(static_cast<char>(c[0]));
        f.push_back('\0');
    }
    return f;
}

}  // namespace

std::string updateClipFrame(int frame) {
    std::string pixels(static_cast<size_t>(UpdateClipSize * UpdateClipSize), '\0');
    const int head = frame * DotCount / UpdateClipFrames;
    for (int dot = 0; dot < DotCount; ++dot) {
        const int behind = (head - dot + DotCount) % DotCount;  // 0: the head
        const int shade = 1 + (behind < TailLength ? behind : TailLength);
        const int radius2 = behind == 0 ? 36 : behind < TailLength ? 25 : 16;  // squared radii
        for (int y = 0; y < UpdateClipSize; ++y)
            for (int x = 0; x < UpdateClipSize; ++x) {
                const int dx = x - dotX(dot), dy = y - dotY(dot);
                if (dx * dx + dy * dy <= radius2) pixels[static_cast<size_t>(y * UpdateClipSize + x)] = static_cast<char>(shade);
            }
    }
    return pixels;
}

std::string updateClipFile() {
    std::string movi = "movi";
    std::string index;
    for (int frame = 0; frame < UpdateClipFrames; ++frame) {
        const std::string pixels = updateClipFrame(frame);
        std::string rows;
        for (int y = UpdateClipSize - 1; y >= 0; --y) {
            rows.append(pixels, static_cast<size_t>(y * UpdateClipSize), UpdateClipSize);
            rows.append(RowBytes - UpdateClipSize, '\0');
        }
        index += "00db";
        putLE(index, 0x10, 4);  // a key frame
        putLE(index, static_cast<uint32_t>(movi.size()), 4);
        putLE(index, FrameBytes, 4);
        putChunk(movi, "00db", rows);
    }
    std::string strl = "strl";
    putChunk(strl, "strh", streamHeader());
    putChunk(strl, "strf", streamFormat());
    std::string hdrl = "hdrl";
    putChunk(hdrl, "avih", mainHeader());
    putChunk(hdrl, "LIST", strl);
    std::string body = "AVI ";
    putChunk(body, "LIST", hdrl);
    putChunk(body, "LIST", movi);
    putChunk(body, "idx1", index);
    std::string file;
    putChunk(file, "RIFF", body);
    return file;
}

}  // namespace skinart
