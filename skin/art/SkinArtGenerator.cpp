// Writes every picture of the skin as a BMP file into the folder given on the
// command line (skin/art/regenerate runs it for skin/art/bitmaps/).
#include <cstdio>
#include <fstream>
#include <string>

#include "skin/art/SkinArtwork.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: SkinArtGenerator <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const skinart::ArtItem& item : skinart::artItems()) {
        const std::string path = folder + "/" + item.fileName;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string bytes = skinart::bmpFile(item.make());
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
