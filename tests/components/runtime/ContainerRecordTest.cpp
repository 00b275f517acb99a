// Item records, container streams and container files: the documented bytes
// written and read back, random access by offset, and the type tables.
#include "components/runtime/qclcont.h"
#include "components/runtime/qclprocs.h"
#include "components/runtime/qclstreamutils.h"
#include "components/runtime/qclwave.h"
#include "tests/components/runtime/ContainerTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace containertest;

namespace {

Bytes recordOf(TQCLListItem& item) {
    TMemoryStream s;
    item.WriteData(&s);
    return bytesOf(s);
}

template <class Item>
void readRecord(Item& item, const Bytes& bytes) {
    TMemoryStream s;
    loadBytes(s, bytes);
    item.ReadData(&s);
    EXPECT_EQ(s.Position, s.Size) << "the reader stops at the record's end";
}

// A 2 × 2 picture: red, lime / blue, white.
void sample(TBitmap& bitmap) { paint(bitmap, 2, 2, {clRed, clLime, clBlue, clWhite}); }

Bytes bmpImageOf(TBitmap& bitmap) {
    TMemoryStream s;
    bitmap.SaveToStream(&s);
    return bytesOf(s);
}

void expectSample(TBitmap* bitmap) {
    ASSERT_EQ(bitmap->Width, 2);
    ASSERT_EQ(bitmap->Height, 2);
    EXPECT_EQ(bitmap->Canvas->GetPixel(0, 0), clRed);
    EXPECT_EQ(bitmap->Canvas->GetPixel(1, 0), clLime);
    EXPECT_EQ(bitmap->Canvas->GetPixel(0, 1), clBlue);
    EXPECT_EQ(bitmap->Canvas->GetPixel(1, 1), clWhite);
}

}  // namespace

TEST(ContainerTypes, SuffixesAndSignatures) {
    struct Row {
        TQCLListItemClassType type;
        const char* signature;
        const char* suffix;
        const char* itemSuffix;
    };
    const Row rows[] = {
        {icImageList, "QCLIML30", "iml", "iml"}, {icBitmap, "QCLBML30", "bml", "bmp"},
        {icWave, "QCLWVL30", "wvl", "wav"},      {icStringList, "QCLSLL30", "sll", "txt"},
        {icGeneric, "QCLGLL50", "gll", "*"},     {icRTF, "QCLRTL50", "rtl", "rtf"},
        {icInvalid, "", "", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(QCLICGetSignature(r.type), r.signature);
        EXPECT_EQ(QCLICGetSuffix(r.type, false), r.suffix);
        EXPECT_EQ(QCLICGetItemSuffix(r.type, false), r.itemSuffix);
        EXPECT_EQ(QCLICGetSuffix(r.type, true), *r.suffix ? std::string(".") + r.suffix : "");
        EXPECT_EQ(QCLICGetItemSuffix(r.type, true), *r.itemSuffix ? std::string(".") + r.itemSuffix : "");
    }
}

TEST(BitmapItemRecord, CommonPartBytes) {
    TQCLBitmapListItem item(nullptr);
    EXPECT_EQ(recordOf(item), Bytes{0x00});
    item.Compressed = true;
    EXPECT_EQ(recordOf(item), Bytes{0x01});

    TQCLBitmapListItem ident(nullptr);
    ident.Ident = 65535;
    EXPECT_EQ(recordOf(ident), concat({{0x04}, le32(65535)}));

    TQCLBitmapListItem described(nullptr);
    const std::string longText(300, 'd');
    described.Description = longText;
    const Bytes written = recordOf(described);
    ASSERT_EQ(written.size(), 2u + 44u);
    EXPECT_EQ(written[0], 0x02);
    EXPECT_EQ(written[1], 44);

    TQCLBitmapListItem back(nullptr);
    readRecord(back, written);
    EXPECT_EQ(back.GetDescription(), longText.substr(0, 44));
}

TEST(BitmapItemRecord, ReadingKeepsSixteenBitsAndLeavesPictureWithoutDataBit) {
    TQCLBitmapListItem item(nullptr);
    TBitmap picture;
    sample(picture);
    item.SetBitmap(&picture);
    readRecord(item, concat({{0x05}, le32(65536)}));
    EXPECT_EQ(item.Ident, 0);
    EXPECT_TRUE(item.Compressed);
    expectSample(item.GetBitmap());  // no data bit: the picture stays

    readRecord(item, concat({{0x04}, le32(0x12345)}));
    EXPECT_EQ(item.Ident, 0x2345);
    EXPECT_FALSE(item.Compressed);
}

TEST(BitmapItemRecord, PlainAndCompressedRecordsOfASmallPicture) {
    TBitmap picture;
    sample(picture);
    const Bytes image = bmpImageOf(picture);
    ASSERT_EQ(image.size(), 14u + 40u + 2 * 8u);

    TQCLBitmapListItem plain(nullptr);
    plain.SetBitmap(&picture);
    plain.Ident = 7;
    EXPECT_EQ(recordOf(plain), concat({{0x0C}, le32(7), le32(int32_t(image.size())), image}));

    TQCLBitmapListItem packed(nullptr);
    packed.SetBitmap(&picture);
    packed.Compressed = true;
    const Bytes record = recordOf(packed);
    ASSERT_EQ(record[0], 0x09);
    TMemoryStream compressed, expanded;
    loadBytes(compressed, Bytes(record.begin() + 1, record.end()));
    LoadCompressedStream(&compressed, &expanded);
    EXPECT_EQ(bytesOf(expanded), image);
    EXPECT_EQ(compressed.Position, compressed.Size);

    for (const Bytes& bytes : {recordOf(plain), record}) {
        TQCLBitmapListItem back(nullptr);
        readRecord(back, bytes);
        expectSample(back.GetBitmap());
    }
}

TEST(BitmapItemRecord, PixelFormatBitsAndColourCounts) {
    struct Row {
        TQCLSavePixelFormat format;
        uint8_t flag;
        uint16_t bitsInImage;
    };
    const Row rows[] = {{spfMono, 0x18, 1}, {spf4bit, 0x28, 4}, {spf8bit, 0x48, 8}};
    TBitmap picture;
    sample(picture);
    for (const Row& r : rows) {
        TQCLBitmapListItem item(nullptr);
        item.SetBitmap(&picture);
        item.PixelFormat = r.format;
        const Bytes record = recordOf(item);
        EXPECT_EQ(record[0], r.flag);
        EXPECT_EQ(record[5 + 28] | record[5 + 29] << 8, r.bitsInImage);  // biBitCount
        TQCLBitmapListItem back(nullptr);
        readRecord(back, record);
        EXPECT_EQ(back.PixelFormat, r.format);
    }
}

TEST(ContainerStream, CountThenRecordsAndEmptyWaveEx) {
    TQCLBitmapList list(nullptr);
    list.Add();
    TQCLBitmapListItem* second = list.GetArrayItem(list.Add());
    second->Ident = 3;
    TMemoryStream s;
    list.SaveToStream(&s);
    EXPECT_EQ(bytesOf(s), concat({le32(2), {0x00}, {0x04}, le32(3)}));

    TQCLWave empty;
    TMemoryStream ex;
    empty.SaveToStreamEx(&ex);
    EXPECT_EQ(bytesOf(ex), le32(0));
}

TEST(ContainerFile, EmptyAndTwoItemLayouts) {
    brimtest::TempFolder temp;
    TQCLBitmapList list(nullptr);
    list.SaveToFile(temp.file("empty.bml"));
    EXPECT_EQ(text(temp.readFile("empty.bml")), concat({{0x08}, text("QCLBML30"), le32(0)}));

    list.Add();
    list.GetArrayItem(0)->Description = "first";
    list.GetArrayItem(list.Add())->Ident = 9;
    list.SaveToFile(temp.file("two.bml"));
    const Bytes file = text(temp.readFile("two.bml"));
    const Bytes firstRecord = concat({{0x02, 5}, text("first")});
    EXPECT_EQ(int32At(file, 9), 2);
    EXPECT_EQ(int32At(file, 13), 21);
    EXPECT_EQ(int32At(file, 17), int32_t(21 + firstRecord.size()));
    EXPECT_EQ(Bytes(file.begin() + 21, file.begin() + 21 + 7), firstRecord);

    TQCLBitmapList back(nullptr);
    back.Add();
    back.LoadFromFile(temp.file("empty.bml"));
    EXPECT_EQ(back.Count, 0);
    back.LoadFromFile(temp.file("two.bml"));
    ASSERT_EQ(back.Count, 2);
    EXPECT_EQ(back.GetArrayItem(0)->GetDescription(), "first");
    EXPECT_EQ(back.GetArrayItem(1)->Ident, 9);
}

TEST(ContainerFile, ForeignSignatureChangesNothing) {
    brimtest::TempFolder temp;
    TQCLStringList strings(nullptr);
    strings.SaveToFile(temp.file("list.sll"));
    temp.writeFile("short.bml", "\x08QCL");

    TQCLBitmapList list(nullptr);
    list.GetArrayItem(list.Add())->Description = "kept";
    for (const char* name : {"list.sll", "short.bml"}) {
        try {
            list.LoadFromFile(temp.file(name));
            ADD_FAILURE() << name;
        } catch (const EQCLContainerOpenError& e) {
            EXPECT_EQ(e.Message, "Cannot open file " + temp.file(name) + ": TQCLBitmapList");
        }
        ASSERT_EQ(list.Count, 1);
        EXPECT_EQ(list.GetArrayItem(0)->GetDescription(), "kept");
    }
    EXPECT_THROW(list.LoadFromFile(temp.file("missing.bml")), EFOpenError);
}

TEST(ContainerFile, RandomAccessByOffset) {
    brimtest::TempFolder temp;
    TQCLBitmapList list(nullptr);
    TBitmap picture;
    sample(picture);
    list.Add();
    list.GetArrayItem(list.Add())->SetBitmap(&picture);
    list.SaveToFile(temp.file("pics.bml"));

    int32_t count = 0;
    std::vector<int32_t> offsets{99};
    EXPECT_EQ(QCLListGetFileType(temp.file("pics.bml"), count, &offsets), icBitmap);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(offsets, (std::vector<int32_t>{21, 22}));

    TBitmap read;
    EXPECT_TRUE(QCLBMLGetItem(temp.file("pics.bml"), 1, &read));
    expectSample(&read);
    EXPECT_THROW(QCLBMLGetItem(temp.file("pics.bml"), 2, &read), EListError);
    EXPECT_THROW(QCLBMLGetItem(temp.file("pics.bml"), -1, &read), EListError);

    TQCLBitmapListItem item(nullptr);
    TFileStream file(temp.file("pics.bml"), fmOpenRead);
    EXPECT_FALSE(QCLListGetItemFromStream(&file, nullptr, 0, &item));
    EXPECT_TRUE(QCLListGetItemFromStream(&file, &offsets, 1, &item));
    expectSample(item.GetBitmap());

    // Another list type is refused without a caller's offsets.
    TQCLWave wave;
    try {
        QCLWVLGetItem(temp.file("pics.bml"), 0, &wave);
        ADD_FAILURE();
    } catch (const EQCLContainerOpenError& e) {
        EXPECT_NE(e.Message.find("pics.bml"), std::string::npos);
    }

    // No signature: icInvalid, the count still read, the offsets untouched.
    temp.writeFile("foreign.bin", std::string("\x08QCLXXX30") + std::string("\x05\x00\x00\x00", 4));
    offsets = {42};
    EXPECT_EQ(QCLListGetFileType(temp.file("foreign.bin"), count, &offsets), icInvalid);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(offsets, std::vector<int32_t>{42});
}

TEST(ListRecords, StringGenericAndWaveBytes) {
    TQCLStringListItem strings(nullptr);
    strings.GetList()->Add("ab");
    strings.GetList()->Add("c");
    EXPECT_EQ(recordOf(strings), concat({{0x08}, le32(7), text("ab\r\nc\r\n")}));

    TQCLGenericListItem generic(nullptr);
    EXPECT_EQ(recordOf(generic), (Bytes{0x00, 0x00}));  // no data: the file name still follows
    TMemoryStream raw;
    loadBytes(raw, {1, 2, 3});
    generic.LoadFromStream(&raw);
    generic.Ident = 2;
    EXPECT_EQ(recordOf(generic), concat({{0x0C}, le32(2), le32(3), {1, 2, 3}, {0x00}}));

    TQCLWaveListItem wave(nullptr);
    EXPECT_EQ(recordOf(wave), Bytes{0x00});
    const Bytes image = waveImage(1, 1, 8000, 1, 4);
    TMemoryStream imageStream;
    loadBytes(imageStream, image);
    wave.GetWave()->LoadFromStream(&imageStream);
    EXPECT_EQ(recordOf(wave), concat({{0x08}, le32(int32_t(image.size())), image}));

    for (bool compressed : {false, true}) {
        strings.Compressed = compressed;
        generic.Compressed = compressed;
        wave.Compressed = compressed;
        TQCLStringListItem stringsBack(nullptr);
        readRecord(stringsBack, recordOf(strings));
        EXPECT_EQ(stringsBack.GetList()->GetTextStr(), "ab\r\nc\r\n");
        TQCLGenericListItem genericBack(nullptr);
        readRecord(genericBack, recordOf(generic));
        EXPECT_EQ(bytesOf(*genericBack.GetData()), (Bytes{1, 2, 3}));
        TQCLWaveListItem waveBack(nullptr);
        readRecord(waveBack, recordOf(wave));
        EXPECT_EQ(bytesOf(*waveBack.GetWave()->GetData()), image);
    }

    // Without the data bit each item empties its data.
    readRecord(strings, Bytes{0x00});
    EXPECT_EQ(strings.GetList()->Count, 0);
    readRecord(generic, concat({{0x00, 3}, text("a.b")}));
    EXPECT_EQ(generic.GetData()->Size, 0);
    EXPECT_EQ(generic.GetDataFileName(), "a.b");
    readRecord(wave, Bytes{0x00});
    EXPECT_TRUE(wave.GetWave()->Empty);
}

TEST(ListRecords, InternalPropertyRoundTripsThroughTheFiler) {
    TQCLBitmapListItem item(nullptr);
    TBitmap picture;
    sample(picture);
    item.SetBitmap(&picture);
    item.Description = "pic";
    TMemoryStream layout;
    WriteDefinedProperties(&layout, &item);
    layout.Position = 0;
    TQCLBitmapListItem back(nullptr);
    ReadDefinedProperties(&layout, &back);
    EXPECT_EQ(back.GetDescription(), "pic");
    expectSample(back.GetBitmap());
}
