// The dialogs' pictures: each linked one is what the generator makes now (a
// stale committed file fails here), at the size its dialog lays out.
#include <gtest/gtest.h>

#include "skin/art/DialogArt.h"
#include "skin/art/DialogArtwork.h"

#include <windows.h>

#include <set>

namespace {

std::string linkedBytes(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    if (!found) return std::string();
    HGLOBAL loaded = LoadResource(nullptr, found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

TEST(DialogArt, LinkedPicturesAreTheGeneratorsAtTheirLaidOutSizes) {
    const struct {
        int id, width, height;
    } sizes[] = {
        {IDB_DIALOG_TOOLS_PASSWORD, DialogArtToolsSize, DialogArtToolsSize},
        {IDB_DIALOG_TOOLS_BACKUP, DialogArtToolsSize, DialogArtToolsSize},
        {IDB_DIALOG_TOOLS_UPDATE, DialogArtToolsSize, DialogArtToolsSize},
        {IDB_DIALOG_TOOLS_HIDE, DialogArtToolsSize, DialogArtToolsSize},
        {IDB_DIALOG_HELP_EMBLEM, 154, 69},
        {IDB_DIALOG_SORT_TIP, DialogArtSortTipWidth, DialogArtSortTipHeight},
        {IDB_DIALOG_WELCOME_BAND, DialogArtWelcomeWidth, DialogArtWelcomeHeight},
    };
    std::set<int> ids;
    for (const skinart::ArtItem& item : skinart::dialogArtItems()) {
        EXPECT_TRUE(ids.insert(item.resourceId).second) << item.fileName;
        const skinart::Picture picture = item.make();
        for (const auto& size : sizes) {
            if (size.id != item.resourceId) continue;
            EXPECT_EQ(picture.width, size.width) << item.fileName;
            EXPECT_EQ(picture.height, size.height) << item.fileName;
        }
        EXPECT_EQ(linkedBytes(item.resourceId), skinart::bmpFile(picture).substr(14))
            << item.fileName << " differs from the generator: run skin/art/regenerate";
    }
    EXPECT_EQ(ids.size(), std::size(sizes));
}

}  // namespace
