// Writes every picture of the skin as a BMP file into the folder given on the
// command line (skin/art/regenerate runs it for skin/art/bitmaps/), and the
// update dialog's waiting clip and the main window's button picture stream
// beside them.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "skin/art/ButtonPictureList.h"
#include "skin/art/ButtonPictures.h"
#include "skin/art/DialogArtwork.h"
#include "skin/art/SkinArtwork.h"
#include "skin/art/UpdateClip.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: SkinArtGenerator <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<skinart::ArtItem> items = skinart::artItems();
    items.insert(items.end(), skinart::dialogArtItems().begin(), skinart::dialogArtItems().end());
    for (const skinart::ArtItem& item : items) {
        const std::string path = folder + "/" + item.fileName;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string bytes = skinart::bmpFile(item.make());
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    for (const skinart::ButtonPicture& picture : skinart::buttonPictures()) {
        const std::string path = folder + "/" + picture.fileName;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string bytes = skinart::bmpFile(picture.make());
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const std::string listPath = folder + "/" + skinart::ButtonListFileName;
    std::ofstream list(listPath, std::ios::binary | std::ios::trunc);
    const std::string listBytes = skinart::buttonPictureStream();
    list.write(listBytes.data(), static_cast<std::streamsize>(listBytes.size()));
    if (!list) {
        std::fprintf(stderr, "cannot write %s\n", listPath.c_str());
        return 1;
    }
    const std::string clipPath = folder + "/update-check.avi";
    std::ofstream clip(clipPath, std::ios::binary | std::ios::trunc);
    const std::string clipBytes = skinart::updateClipFile();
    clip.write(clipBytes.data(), static_cast<std::streamsize>(clipBytes.size()));
    if (!clip) {
        std::fprintf(stderr, "cannot write %s\n", clipPath.c_str());
        return 1;
    }
    return 0;
}
