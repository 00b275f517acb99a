// The main window's picture resource: the container stream linked as
// "QCLBitmapList1" reads back as 19 pictures with their record kinds, sizes
// and key colours, and is byte for byte what the generator builds now.
#include "skin/art/ButtonPictureList.h"

#include "framework/Forms.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string resourceBytes() {
    HRSRC found = FindResourceA(HInstance, skinart::ButtonListResource, MAKEINTRESOURCEA(10));
    if (!found)
        return std::string();
    HGLOBAL loaded = LoadResource(HInstance, found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(HInstance, found));
}

TEST(ButtonPictureResource, NineteenPicturesOfTwoRecordKindsWithTheirKeys) {
    const std::string bytes = resourceBytes();
    ASSERT_FALSE(bytes.empty());
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
    stream.Position = 0;
    int count = 0;
    stream.ReadBuffer(&count, 4);
    ASSERT_EQ(count, 19);

    // Record by record, so each record's flag byte is seen where it starts.
    TQCLBitmapList list(nullptr);
    for (int i = 0; i < count; ++i) {
        const auto flag = static_cast<unsigned char>(bytes[static_cast<size_t>(stream.GetPosition())]);
        TQCLBitmapListItem* item = list.GetArrayItem(list.Add());
        item->LoadFromStream(&stream);
        SCOPED_TRACE(i);
        EXPECT_EQ(flag, i < 3 ? 0x09 : 0x0C);
        EXPECT_EQ(item->GetIdent(), i < 3 ? 0 : i);
        EXPECT_EQ(item->GetCompressed(), i < 3);
        TBitmap* picture = item->GetBitmap();
        const int side = i == 3 ? 32 : 24;
        EXPECT_EQ(picture->GetWidth(), side);
        EXPECT_EQ(picture->GetHeight(), side);
        EXPECT_EQ(static_cast<unsigned>(picture->GetTransparentColor()) & 0xFFFFFFu, i <= 3 ? 0x16FF00u : 0x18FF00u);
    }
    EXPECT_EQ(stream.GetPosition(), static_cast<int64_t>(bytes.size())) << "nothing after the last record";

    // The program's own loader gives the same list.
    TQCLBitmapList loaded(nullptr);
    ASSERT_TRUE(skinart::LoadButtonPictures(&loaded));
    EXPECT_EQ(loaded.GetCount(), 19);
}

TEST(ButtonPictureResource, RegeneratedStreamIsIdentical) {
    const std::string linked = resourceBytes();
    const std::string fresh = skinart::buttonPictureStream();
    ASSERT_EQ(fresh.size(), linked.size());
    EXPECT_TRUE(fresh == linked) << "run skin/art/regenerate and commit the pictures";
}

}  // namespace
