// Compressed streams and stream fields: fixed bytes of the documented layouts,
// round trips, a table of corrupt streams that must raise the read error, and
// a fixed-seed fuzz loop over the readers.
#include "components/runtime/qclprocs.h"
#include "components/runtime/qclstreamutils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes fromHex(const std::string& hex) {
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes contents(TMemoryStream& s) {
    const auto* p = static_cast<const uint8_t*>(s.Memory());
    return Bytes(p, p + s.Size);
}

void load(TMemoryStream& s, const Bytes& data) {
    s.SetSize(0);
    if (!data.empty())
        s.WriteBuffer(data.data(), static_cast<int>(data.size()));
    s.Position = 0;
}

Bytes compressToStream(const Bytes& data) {
    TMemoryStream source, dest;
    load(source, data);
    SaveCompressedStream(&source, &dest, source.Size);
    EXPECT_EQ(dest.Position, dest.Size);
    return contents(dest);
}

Bytes expandStream(const Bytes& stream) {
    TMemoryStream source, dest;
    load(source, stream);
    LoadCompressedStream(&source, &dest);
    return contents(dest);
}

int32_t int32At(const Bytes& b, size_t at) {
    int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void putInt32(Bytes& b, size_t at, int32_t v) { std::memcpy(b.data() + at, &v, 4); }

Bytes textBytes(size_t n) {
    std::string s;
    for (size_t i = 0; s.size() < n; ++i)
        s += "line " + std::to_string(i % 37) + " of the record list\r\n";
    s.resize(n);
    return Bytes(s.begin(), s.end());
}

TEST(CompressedStream, HundredZerosGiveFixedBytes) {
    EXPECT_EQ(compressToStream(Bytes(100, 0)), fromHex("0b000000" "07000000" "40800000005400"));
    EXPECT_EQ(compressToStream(Bytes()), fromHex("00000000"));
    EXPECT_EQ(expandStream(fromHex("00000000")), Bytes());
}

TEST(CompressedStream, SeventyThousandBytesMakeThreeChunks) {
    std::mt19937 rng(3);
    Bytes data(70000);
    for (auto& b : data)
        b = static_cast<uint8_t>(rng() % 4 == 0 ? rng() : 'a');
    const Bytes stream = compressToStream(data);

    std::vector<int> blockLengths;
    size_t at = 4;
    while (at < stream.size()) {
        blockLengths.push_back(int32At(stream, at));
        at += 4 + static_cast<size_t>(blockLengths.back());
    }
    ASSERT_EQ(at, stream.size());
    ASSERT_EQ(blockLengths.size(), 3u);
    EXPECT_EQ(int32At(stream, 0), blockLengths[0] + blockLengths[1] + blockLengths[2] + 12);

    // each chunk holds 32,781, 32,781 and 4,438 input bytes
    std::vector<uint8_t> out(QCLLZRWMaxInput);
    size_t pos = 4;
    const int expected[] = {32781, 32781, 4438};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QCLLZRWDecompress(stream.data() + pos + 4, out.data(), static_cast<uint16_t>(blockLengths[i])),
                  expected[i]);
        pos += 4 + static_cast<size_t>(blockLengths[i]);
    }
    EXPECT_EQ(expandStream(stream), data);
}

TEST(CompressedStream, RoundTripsAndAppendsAfterExistingData) {
    std::mt19937 rng(4);
    Bytes random(40000);
    for (auto& b : random)
        b = static_cast<uint8_t>(rng());
    for (const Bytes& data : {textBytes(100000), random, Bytes{1}, Bytes(QCLLZRWMaxInput, 9)})
        EXPECT_EQ(expandStream(compressToStream(data)), data);

    TMemoryStream source, dest;
    load(source, textBytes(5000));
    dest.WriteBuffer("HEAD", 4);
    SaveCompressedStream(&source, &dest, source.Size);
    stWriteByte(&dest, 0x5A);
    dest.Position = 4;
    TMemoryStream expanded;
    LoadCompressedStream(&dest, &expanded);
    EXPECT_EQ(contents(expanded), textBytes(5000));
    EXPECT_EQ(stReadByte(&dest), 0x5A);  // the reader stops right after the stream
}

TEST(CompressedStream, CorruptStreamsRaiseTheReadError) {
    const Bytes good = compressToStream(textBytes(40000));  // two chunks
    const size_t secondChunkAt = 4 + 4 + static_cast<size_t>(int32At(good, 4));
    struct Case { const char* name; Bytes stream; } cases[] = {
        {"empty", Bytes()},
        {"total cut short", fromHex("0b00")},
        {"total -4", [&] { Bytes b = good; putInt32(b, 0, -4); return b; }()},
        {"total beyond the stream", [&] { Bytes b = good; putInt32(b, 0, int32At(b, 0) + 1); return b; }()},
        {"total 0x7FFFFFFF", [&] { Bytes b = good; putInt32(b, 0, 0x7FFFFFFF); return b; }()},
        {"total too small for a chunk size", fromHex("02000000" "0700")},
        {"chunk size -4", [&] { Bytes b = good; putInt32(b, 4, -4); return b; }()},
        {"chunk size 0", [&] { Bytes b = good; putInt32(b, 4, 0); return b; }()},
        {"chunk size above a block", [&] { Bytes b = good; putInt32(b, 4, QCLLZRWMaxBlock + 1); return b; }()},
        {"chunk size beyond the total", fromHex("0b000000" "08000000" "4080000000540000")},
        {"second chunk size 0x7FFFFFFF", [&] { Bytes b = good; putInt32(b, secondChunkAt, 0x7FFFFFFF); return b; }()},
        {"chunk cut short", [&] { Bytes b = good; b.resize(b.size() - 1); putInt32(b, 0, int32At(b, 0) - 1); return b; }()},
        {"corrupt block", fromHex("0b000000" "07000000" "40800000100000")},
    };
    for (const auto& c : cases)
        EXPECT_THROW(expandStream(c.stream), EReadError) << c.name;
}

// A block of 35 bytes expanding to a whole chunk (32,781 bytes) of one byte: eight run items.
Bytes bombChunk(std::uint8_t fill) {
    Bytes chunk = fromHex("23000000" "40ff00");
    for (int i = 0; i < 8; ++i) {
        const int count = (i < 7 ? 4111 : QCLLZRWMaxInput - 7 * 4111) - 16;
        chunk.insert(chunk.end(), {0, static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count), fill});
    }
    return chunk;
}

Bytes bombStream(int chunks, std::uint8_t fill) {
    const Bytes chunk = bombChunk(fill);
    Bytes stream(4);
    for (int i = 0; i < chunks; ++i) stream.insert(stream.end(), chunk.begin(), chunk.end());
    putInt32(stream, 0, static_cast<int32_t>(stream.size() - 4));
    return stream;
}

TEST(CompressedStream, ExpansionIsBoundedByTheStatedCap) {
    ASSERT_EQ(expandStream(bombStream(1, 'z')), Bytes(QCLLZRWMaxInput, 'z')) << "the chunk is what it claims";
    struct Case {
        const char* what;
        int chunks;
        int64_t cap;
    };
    const Case cases[] = {
        {"four chunks past a cap of 100,000 bytes", 4, 100000},
        {"a cap met exactly, then one byte more", 3, 3 * int64_t(QCLLZRWMaxInput) - 1},
        {"past the default cap of 64 MiB", static_cast<int>(QCLMaxExpandedStream / QCLLZRWMaxInput) + 1,
         QCLMaxExpandedStream},
    };
    for (const Case& c : cases) {
        TMemoryStream source, dest;
        load(source, bombStream(c.chunks, 'z'));
        if (c.cap == QCLMaxExpandedStream)
            EXPECT_THROW(LoadCompressedStream(&source, &dest), EReadError) << c.what;
        else
            EXPECT_THROW(LoadCompressedStream(&source, &dest, c.cap), EReadError) << c.what;
        EXPECT_LE(dest.Size, c.cap) << "nothing is written beyond the cap: " << c.what;
    }
    TMemoryStream source, dest;
    load(source, bombStream(3, 'z'));
    LoadCompressedStream(&source, &dest, 3 * int64_t(QCLLZRWMaxInput));
    EXPECT_EQ(dest.Size, 3 * int64_t(QCLLZRWMaxInput)) << "a stream of exactly the cap reads";
}

TEST(CompressedStream, AChunkSizeOneAboveTheBlockLimitIsRefusedBeforeAnyChunkByteIsRead) {
    // Incompressible bytes behind the size: only the size check stands between them and the
    // block buffer, which is exactly one block long.
    Bytes stream(8);
    std::mt19937 rng(5);
    for (int i = 0; i < QCLLZRWMaxBlock + 1; ++i) stream.push_back(static_cast<std::uint8_t>(rng()));
    stream[8] = 0x80;  // a stored block
    putInt32(stream, 0, static_cast<int32_t>(stream.size() - 4));
    putInt32(stream, 4, QCLLZRWMaxBlock + 1);
    TMemoryStream source, dest;
    load(source, stream);
    EXPECT_THROW(LoadCompressedStream(&source, &dest), EReadError);
    EXPECT_EQ(source.Position, 8) << "no chunk byte was read";
    EXPECT_EQ(dest.Size, 0);
}

TEST(CompressedStream, FuzzedStreamsRaiseOnlyTheReadError) {
    std::mt19937 rng(99);
    const Bytes seeds[] = {compressToStream(textBytes(40000)), compressToStream(Bytes(300, 1)),
                           compressToStream(fromHex("00010203"))};
    int raised = 0;
    for (int i = 0; i < 2500; ++i) {
        Bytes stream = seeds[i % 3];
        const int edits = 1 + static_cast<int>(rng() % 3);
        for (int e = 0; e < edits && !stream.empty(); ++e) {
            const size_t at = rng() % stream.size();
            switch (rng() % 4) {
            case 0: stream[at] = static_cast<uint8_t>(rng()); break;
            case 1: stream.resize(at); break;
            case 2: if (at + 4 <= stream.size()) putInt32(stream, at, static_cast<int32_t>(rng())); break;
            default: stream.erase(stream.begin() + static_cast<long>(at));
            }
        }
        try {
            expandStream(stream);
        } catch (const EReadError&) {
            ++raised;
        }
    }
    EXPECT_GT(raised, 0);
}

TEST(StreamFields, FixedWidthLittleEndian) {
    TMemoryStream s;
    stWriteInteger(&s, -2);
    stWriteWord(&s, 0x1234);
    stWriteByte(&s, 0xAB);
    stWriteString(&s, "abc");
    stWriteString(&s, "");
    EXPECT_EQ(contents(s), fromHex("feffffff" "3412" "ab" "03616263" "00"));
    s.Position = 0;
    EXPECT_EQ(stReadInteger(&s), -2);
    EXPECT_EQ(stReadWord(&s), 0x1234);
    EXPECT_EQ(stReadByte(&s), 0xAB);
    EXPECT_EQ(stReadString(&s), "abc");
    EXPECT_EQ(stReadString(&s), "");
}

TEST(StreamFields, StringLengthIsTakenModulo256) {
    TMemoryStream s;
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<char>('A' + i % 26);
    stWriteString(&s, text);
    ASSERT_EQ(s.Size, 45);
    EXPECT_EQ(contents(s)[0], 44);
    s.Position = 0;
    EXPECT_EQ(stReadString(&s), text.substr(0, 44));
}

TEST(StreamFields, ShortReadsRaise) {
    struct Case { const char* name; Bytes data; void (*read)(TStream*); } cases[] = {
        {"integer", fromHex("010203"), [](TStream* s) { stReadInteger(s); }},
        {"word", fromHex("01"), [](TStream* s) { stReadWord(s); }},
        {"byte", Bytes(), [](TStream* s) { stReadByte(s); }},
        {"string body", fromHex("05616263"), [](TStream* s) { stReadString(s); }},
    };
    for (const auto& c : cases) {
        TMemoryStream s;
        load(s, c.data);
        EXPECT_THROW(c.read(&s), EReadError) << c.name;
    }
}

TEST(StreamFields, StringListPlainAndCompressed) {
    TStringList list;
    list.Add("first");
    list.Add("");
    list.Add("third line");

    TMemoryStream plain;
    stWriteStringList(&plain, &list, false);
    const std::string text = "first\r\n\r\nthird line\r\n";
    Bytes expected = fromHex("15000000");
    expected.insert(expected.end(), text.begin(), text.end());
    EXPECT_EQ(contents(plain), expected);
    for (bool compressed : {false, true}) {
        TMemoryStream s;
        stWriteInteger(&s, 7);
        stWriteStringList(&s, &list, compressed);
        stWriteInteger(&s, 8);
        s.Position = 0;
        TStringList back;
        EXPECT_EQ(stReadInteger(&s), 7);
        stReadStringList(&s, &back, compressed);
        EXPECT_EQ(back.Text(), list.Text()) << compressed;
        EXPECT_EQ(stReadInteger(&s), 8) << compressed;
    }
}

TEST(StreamFields, StringListsAreBoundedInTextAndLines) {
    // 1,000 chunks of 39 bytes, each 32,781 line breaks: 32.8 million lines from 39 KB.
    struct Case {
        const char* what;
        Bytes field;
        bool compressed;
    };
    const Bytes lineBreaks = bombStream(1000, '\n');
    Bytes plainBreaks(4);
    plainBreaks.resize(4 + QCLMaxStringListLines + 1, '\r');
    putInt32(plainBreaks, 0, static_cast<int32_t>(plainBreaks.size() - 4));
    const Case cases[] = {
        {"compressed line breaks", lineBreaks, true},
        {"compressed text past 16 MiB", bombStream(static_cast<int>(QCLMaxStringListBytes / QCLLZRWMaxInput) + 1, 'a'),
         true},
        {"plain field of more lines than a list holds", plainBreaks, false},
    };
    for (const Case& c : cases) {
        TMemoryStream stream;
        load(stream, c.field);
        TStringList list;
        EXPECT_THROW(stReadStringList(&stream, &list, c.compressed), EReadError) << c.what;
        EXPECT_EQ(list.Count, 0) << c.what;
    }
    // Up to the bounds a list reads: a thousand lines, compressed.
    TMemoryStream stream;
    load(stream, bombStream(1, '\n'));
    TStringList list;
    stReadStringList(&stream, &list, true);
    EXPECT_EQ(list.Count, QCLLZRWMaxInput);
}

TEST(StreamFields, PlainLengthsAreCheckedBeforeReading) {
    for (int32_t length : {-1, 0x7FFFFFFF, 4}) {
        TMemoryStream s;
        stWriteInteger(&s, length);
        s.WriteBuffer("abc", 3);
        s.Position = 0;
        TStringList list;
        EXPECT_THROW(stReadStringList(&s, &list, false), EReadError) << length;
    }
}

}  // namespace

#include "components/runtime/QCLDynLIFOBuffer.h"

namespace {

// Every reader of the library's stream fields over a valid stream cut short or mutated. A cut
// inside a field must give the read error (a cut at a field boundary the format allows reads as
// the shorter stream it is); a mutated copy reads or gives the read error, and nothing else
// (no other exception, no fault, no loop, no allocation from an unchecked size).
TEST(StreamFields, DamagedFieldStreamsGiveTheReadError) {
    TStringList list;
    for (int i = 0; i < 40; ++i)
        list.Add("entry " + IntToStr(i * 7));
    TMemoryStream plainList, packedList, buffer, strings;
    stWriteStringList(&plainList, &list, false);
    stWriteStringList(&packedList, &list, true);
    constexpr int Items = 5, ItemBytes = 8;
    {
        TQCLDynLIFOBuffer source;
        source.OnItemSize = [](TObject*, void*, int& size) { size = ItemBytes; };
        for (int i = 0; i < Items; ++i) {
            void* item = std::malloc(ItemBytes);
            std::memset(item, 'a' + i, ItemBytes);
            source.Put(item);
        }
        source.SaveToStream(&buffer);
    }
    const std::vector<std::string> texts = {"alpha", "", "a longer string of text", "z"};
    for (const std::string& t : texts)
        stWriteString(&strings, t);
    // The buffer's items follow its signature, each a length and its bytes: a cut between two
    // items leaves a buffer of fewer items.
    std::vector<size_t> itemBoundaries;
    for (int k = 0; k <= Items; ++k)
        itemBoundaries.push_back(static_cast<size_t>(buffer.Size) - (Items - k) * (4 + ItemBytes));

    struct Reader {
        const char* name;
        Bytes seed;
        std::vector<size_t> wholeAt;  // shorter lengths that are still whole streams
        std::function<void(TStream*)> read;
    };
    const Reader readers[] = {
        {"plain list", contents(plainList), {}, [](TStream* s) { TStringList l; stReadStringList(s, &l, false); }},
        {"compressed list", contents(packedList), {}, [](TStream* s) { TStringList l; stReadStringList(s, &l, true); }},
        {"buffer", contents(buffer), itemBoundaries, [](TStream* s) { TQCLDynLIFOBuffer b; b.LoadFromStream(s); }},
        {"strings", contents(strings), {},
         [&texts](TStream* s) {
             for (size_t i = 0; i < texts.size(); ++i)
                 stReadString(s);
         }},
    };
    std::mt19937 rng(7);
    for (const Reader& r : readers) {
        SCOPED_TRACE(r.name);
        for (size_t at = 0; at < r.seed.size(); ++at) {
            TMemoryStream s;
            load(s, Bytes(r.seed.begin(), r.seed.begin() + static_cast<long>(at)));
            if (std::find(r.wholeAt.begin(), r.wholeAt.end(), at) != r.wholeAt.end())
                EXPECT_NO_THROW(r.read(&s)) << "cut at " << at << ", a field boundary";
            else
                EXPECT_THROW(r.read(&s), EReadError) << "cut at " << at;
        }
        for (int i = 0; i < 1500; ++i) {
            Bytes data = r.seed;
            for (int e = 0; e < 1 + static_cast<int>(rng() % 3) && !data.empty(); ++e) {
                const size_t at = rng() % data.size();
                switch (rng() % 3) {
                case 0: data[at] = static_cast<uint8_t>(rng()); break;
                case 1: data.resize(at); break;
                default: if (at + 4 <= data.size()) putInt32(data, at, static_cast<int32_t>(rng()));
                }
            }
            TMemoryStream s;
            load(s, data);
            try {
                r.read(&s);
            } catch (const EReadError&) {
                // the one way a reader may refuse
            }
        }
    }
}

}  // namespace
