// Fixed-seed fuzz over every container, item, wave and filer reader: valid
// inputs truncated, with bytes changed, and with each 4-byte field set to
// -4, 0x7FFFFFFF and (bytes remaining + 1). Every reader may only raise the
// stream, picture and wave errors, ends, and never holds memory out of
// proportion to its input.
#include "components/runtime/qclcont.h"
#include "components/runtime/qclwave.h"
#include "tests/components/runtime/ContainerTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <functional>
#include <random>

using namespace containertest;

namespace {

struct Reader {
    const char* name;
    Bytes valid;
    std::function<void(TMemoryStream&)> read;
};

template <class Item>
std::function<void(TMemoryStream&)> itemReader() {
    return [](TMemoryStream& s) {
        Item item(nullptr);
        item.ReadData(&s);
    };
}

template <class List>
std::function<void(TMemoryStream&)> listReader(bool withOffsets) {
    return [withOffsets](TMemoryStream& s) {
        List list(nullptr);
        list.ReadData(&s, withOffsets);
    };
}

Bytes recordOf(TQCLListItem& item) {
    TMemoryStream s;
    item.WriteData(&s);
    return bytesOf(s);
}

Bytes streamOf(TQCLCustomContainer& list, bool withOffsets) {
    TMemoryStream s;
    list.WriteData(&s, withOffsets);
    return bytesOf(s);
}

std::vector<Reader> readers() {
    TBitmap picture;
    paint(picture, 5, 3, {clRed, clLime, clBlue, clWhite, clBlack, clYellow});
    const Bytes wave = waveImage(1, 2, 22050, 4, 40);
    TMemoryStream waveStream;
    loadBytes(waveStream, wave);

    std::vector<Reader> out;
    for (bool compressed : {false, true}) {
        TQCLBitmapListItem bitmap(nullptr);
        bitmap.SetBitmap(&picture);
        bitmap.Description = "picture";
        bitmap.Ident = 12;
        bitmap.Compressed = compressed;
        out.push_back({"bitmap item", recordOf(bitmap), itemReader<TQCLBitmapListItem>()});

        TQCLStringListItem strings(nullptr);
        strings.GetList()->SetTextStr("one\r\ntwo\r\nthree\r\n");
        strings.Compressed = compressed;
        out.push_back({"string item", recordOf(strings), itemReader<TQCLStringListItem>()});

        TQCLGenericListItem generic(nullptr);
        waveStream.Position = 0;
        generic.LoadFromStream(&waveStream);
        generic.Compressed = compressed;
        out.push_back({"generic item", recordOf(generic), itemReader<TQCLGenericListItem>()});

        TQCLWaveListItem waveItem(nullptr);
        waveStream.Position = 0;
        waveItem.GetWave()->LoadFromStream(&waveStream);
        waveItem.Compressed = compressed;
        out.push_back({"wave item", recordOf(waveItem), itemReader<TQCLWaveListItem>()});

        TQCLImageListItem strip(4, 3);
        strip.Compressed = compressed;
        strip.SetMaskedState(compressed);
        TBitmap cells;
        paint(cells, 4, 3, {clRed, clBlue});
        strip.Add(&cells, nullptr);
        strip.Add(&cells, nullptr);
        out.push_back({"strip item", recordOf(strip), itemReader<TQCLImageListItem>()});

        TQCLBitmapList list(nullptr);
        list.Add();
        list.GetArrayItem(list.Add())->SetBitmap(&picture);
        list.GetArrayItem(1)->Compressed = compressed;
        out.push_back({"bitmap list", streamOf(list, compressed), listReader<TQCLBitmapList>(compressed)});
    }

    TQCLWave plain;
    waveStream.Position = 0;
    plain.LoadFromStream(&waveStream);
    TMemoryStream ex, packed;
    plain.SaveToStreamEx(&ex);
    plain.SaveCompressedToStream(&packed);
    out.push_back({"wave", wave, [](TMemoryStream& s) { TQCLWave().LoadFromStream(&s); }});
    out.push_back({"wave ex", bytesOf(ex), [](TMemoryStream& s) { TQCLWave().LoadFromStreamEx(&s); }});
    out.push_back({"wave compressed", bytesOf(packed),
                   [](TMemoryStream& s) { TQCLWave().LoadCompressedFromStream(&s); }});
    out.push_back({"wave header", wave, [](TMemoryStream& s) {
                       TQCLWaveInfo info;
                       QCLGetWaveStreamInfo(&s, info);
                   }});

    TQCLBitmapListItem layoutItem(nullptr);
    layoutItem.SetBitmap(&picture);
    TMemoryStream layout;
    WriteDefinedProperties(&layout, &layoutItem);
    out.push_back({"item layout", bytesOf(layout), [](TMemoryStream& s) {
                       TQCLBitmapListItem item(nullptr);
                       ReadDefinedProperties(&s, &item);
                   }});
    return out;
}

// Runs one reader on one input: true when it ended normally or with one of
// the readers' own errors.
::testing::AssertionResult readsSafely(const Reader& reader, const Bytes& input) {
    TMemoryStream s;
    loadBytes(s, input);
    try {
        reader.read(s);
    } catch (const EStreamError&) {
    } catch (const EInvalidGraphic&) {
    } catch (const EInvalidWave&) {
    } catch (const EErrorCheckingWave&) {
    } catch (const Exception& e) {
        return ::testing::AssertionFailure() << reader.name << ": " << e.ClassName() << " " << e.Message;
    }
    return ::testing::AssertionSuccess();
}

SIZE_T peakCommit() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage;
}

}  // namespace

TEST(ContainerReaderFuzz, OnlyTheReadersErrorsAndBoundedMemory) {
    std::mt19937 random(20261210);
    const SIZE_T peakBefore = peakCommit();
    for (const Reader& reader : readers()) {
        ASSERT_TRUE(readsSafely(reader, reader.valid));
        const Bytes& valid = reader.valid;
        for (size_t length = 0; length < valid.size(); ++length)
            ASSERT_TRUE(readsSafely(reader, Bytes(valid.begin(), valid.begin() + length))) << "cut at " << length;
        for (size_t at = 0; at + 4 <= valid.size(); ++at) {
            for (int64_t value : {int64_t(-4), int64_t(0x7FFFFFFF), int64_t(valid.size() - at - 4 + 1)}) {
                Bytes mutated = valid;
                putInt32(mutated, at, static_cast<int32_t>(value));
                ASSERT_TRUE(readsSafely(reader, mutated)) << "field at " << at << " = " << value;
            }
        }
        for (int round = 0; round < 1000; ++round) {
            Bytes mutated = valid;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i)
                mutated[random() % mutated.size()] = static_cast<uint8_t>(random());
            ASSERT_TRUE(readsSafely(reader, mutated)) << "round " << round << ::testing::PrintToString(mutated);
        }
    }
    EXPECT_LT(peakCommit() - peakBefore, SIZE_T(64) << 20) << "no reader allocates from a claimed size";
}

TEST(ContainerReaderFuzz, ContainerFilesReadByTypeAndOffset) {
    brimtest::TempFolder temp;
    TBitmap picture;
    paint(picture, 3, 2, {clRed, clBlue});
    TQCLBitmapList list(nullptr);
    list.Add();
    list.GetArrayItem(list.Add())->SetBitmap(&picture);
    list.SaveToFile(temp.file("valid.bml"));
    const std::string text = temp.readFile("valid.bml");
    const Bytes valid(text.begin(), text.end());

    std::mt19937 random(777);
    auto readsFileSafely = [&](const Bytes& bytes) -> ::testing::AssertionResult {
        temp.writeFile("case.bml", std::string(bytes.begin(), bytes.end()));
        const AnsiString name = temp.file("case.bml");
        try {
            int32_t count = 0;
            std::vector<int32_t> offsets;
            QCLListGetFileType(name, count, &offsets);
            TBitmap read;
            QCLBMLGetItem(name, 1, &read);
            TQCLBitmapList whole(nullptr);
            whole.LoadFromFile(name);
        } catch (const EStreamError&) {
        } catch (const EInvalidGraphic&) {
        } catch (const EQCLContainerOpenError&) {
        } catch (const EListError&) {
        } catch (const Exception& e) {
            return ::testing::AssertionFailure() << e.ClassName() << " " << e.Message;
        }
        return ::testing::AssertionSuccess();
    };
    for (size_t length = 0; length < valid.size(); length += 3)
        ASSERT_TRUE(readsFileSafely(Bytes(valid.begin(), valid.begin() + length))) << "cut at " << length;
    for (size_t at = 9; at + 4 <= 40; ++at)
        for (int64_t value : {int64_t(-4), int64_t(0x7FFFFFFF), int64_t(valid.size() - at - 4 + 1)}) {
            Bytes mutated = valid;
            putInt32(mutated, at, static_cast<int32_t>(value));
            ASSERT_TRUE(readsFileSafely(mutated)) << "field at " << at << " = " << value;
        }
    for (int round = 0; round < 150; ++round) {
        Bytes mutated = valid;
        mutated[9 + random() % (mutated.size() - 9)] = static_cast<uint8_t>(random());
        ASSERT_TRUE(readsFileSafely(mutated)) << "round " << round;
    }
}
