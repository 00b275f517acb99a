// LZRW blocks: the documented examples as fixed bytes, round trips, corrupt
// blocks that must raise, and a fixed-seed fuzz loop over the decompressor
// with guard pages behind its buffers.
#include "components/runtime/qclprocs.h"

#include "tests/support/GuardedBuffer.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes fromHex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes compress(const Bytes& input) {
    Bytes out(input.size() + 6);
    const auto length = QCLLZRWCompress(input.data(), out.data(), static_cast<std::uint16_t>(input.size()));
    out.resize(length);
    return out;
}

// Decompresses from a guarded copy of the block into a guarded output buffer
// of exactly the documented size, so any stray access faults.
Bytes decompress(const Bytes& block) {
    GuardedBuffer in(block);
    GuardedBuffer out(QCLLZRWMaxInput);
    const auto length = QCLLZRWDecompress(in.data(), out.data(), static_cast<std::uint16_t>(block.size()));
    return Bytes(out.data(), out.data() + length);
}

// A text of nine letters from a linear congruential generator: compressible,
// with many hash collisions; reproducible by any implementation.
Bytes lcgText(std::size_t n, std::uint32_t seed) {
    static const char letters[] = "abcdefgh ";
    Bytes out;
    for (std::size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        out.push_back(static_cast<std::uint8_t>(letters[(seed >> 16) % 9]));
    }
    return out;
}

std::uint32_t fnv1a(const Bytes& data) {
    std::uint32_t h = 2166136261u;
    for (auto b : data)
        h = (h ^ b) * 16777619u;
    return h;
}

Bytes randomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

TEST(LZRWBlock, DocumentedExamplesGiveFixedBytes) {
    struct Case { const char* name; Bytes input; Bytes block; } cases[] = {
        {"100 zero bytes: one run", Bytes(100, 0), fromHex("40800000005400")},
        {"15 equal bytes: literal and copy", Bytes(15, 'a'), fromHex("40400061001b")},
        {"empty input: stored", Bytes(), fromHex("80")},
        {"repeat found by hashing", bytesOf("abcabcabcX"), fromHex("401000616263003358")},
        {"literals, copies, run across three groups",
         bytesOf("The quick brown fox jumps over the lazy dog. The quick brown fox jumps over the lazy cat! " +
                 std::string(40, '=') + "abcabcabcabc"),
         fromHex("40000054686520717569636b2062726f776e200000666f78206a756d7073206f7665722074801c01f06c617a79"
                 "20646f672e2002df02df02d1636111007421200000183d6162630036")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compress(c.input), c.block) << c.name;
        EXPECT_EQ(decompress(c.block), c.input) << c.name;
    }
}

TEST(LZRWBlock, IncompressibleInputIsStored) {
    const Bytes data = randomBytes(1000, 1);
    const Bytes block = compress(data);
    ASSERT_EQ(block.size(), 1001u);
    EXPECT_EQ(block[0], 0x80);
    EXPECT_EQ(Bytes(block.begin() + 1, block.end()), data);
    EXPECT_EQ(decompress(block), data);
}

TEST(LZRWBlock, FullChunkMatchesReferenceDigest) {
    // Digests from an independent implementation of the same format; they pin
    // the hash, the 16-bit position table and the group layout over a whole chunk.
    struct Case { std::size_t n; std::uint32_t seed; std::size_t length; std::uint32_t digest; } cases[] = {
        {32781, 7, 23447, 0xfb88ae61u},
        {5000, 1, 3723, 0x4cf5fb41u},
    };
    for (const auto& c : cases) {
        const Bytes data = lcgText(c.n, c.seed);
        const Bytes block = compress(data);
        EXPECT_EQ(block.size(), c.length) << c.n;
        EXPECT_EQ(fnv1a(block), c.digest) << c.n;
        EXPECT_EQ(decompress(block), data) << c.n;
    }
}

TEST(LZRWBlock, RoundTripsTextBinaryAndIncompressibleData) {
    std::string text;
    while (text.size() < 20000)
        text += "Passwords\x01" "Mail\x01" "user@example.org\x01" + std::to_string(text.size()) + "\r\n";
    Bytes binary;
    for (int i = 0; i < 30000; ++i)
        binary.push_back(static_cast<std::uint8_t>((i % 97 < 40) ? 0 : (i * 31) >> 3));
    struct Case { const char* name; Bytes data; } cases[] = {
        {"text", bytesOf(text)},
        {"binary with long runs", binary},
        {"random, full chunk", randomBytes(QCLLZRWMaxInput, 2)},
        {"one byte", Bytes{0x42}},
        {"two bytes", Bytes{0x42, 0x42}},
        {"run of 4095 then more", Bytes(5000, 7)},
        {"run at the very end", [] { Bytes b = bytesOf("head"); b.resize(4 + 4200, 0xEE); return b; }()},
        {"full chunk of one byte", Bytes(QCLLZRWMaxInput, 0xFF)},
        {"text, full chunk", lcgText(QCLLZRWMaxInput, 99)},
    };
    for (const auto& c : cases) {
        const Bytes block = compress(c.data);
        EXPECT_LE(block.size(), c.data.size() + 1) << c.name;
        EXPECT_EQ(decompress(block), c.data) << c.name;
    }
}

TEST(LZRWBlock, CompressorStaysInsideExactBuffers) {
    // Input without spare bytes behind it and an output of exactly the input
    // length + 6: blocks that turn out not to shrink only after a control word
    // and a run item have been written must not touch a byte more.
    std::mt19937 rng(11);
    for (int i = 0; i < 600; ++i) {
        Bytes input(rng() % 400);
        for (std::size_t at = 0; at < input.size();) {
            if (rng() % 8 == 0) {
                const std::size_t run = std::min<std::size_t>(16 + rng() % 8, input.size() - at);
                std::fill_n(input.begin() + static_cast<long>(at), run, static_cast<std::uint8_t>(rng()));
                at += run;
            } else {
                input[at++] = static_cast<std::uint8_t>(rng());
            }
        }
        GuardedBuffer in(input);
        GuardedBuffer out(input.size() + 6);
        const auto length = QCLLZRWCompress(in.data(), out.data(), static_cast<std::uint16_t>(input.size()));
        const Bytes block(out.data(), out.data() + length);
        EXPECT_EQ(block, compress(input)) << i;
        EXPECT_EQ(decompress(block), input) << i;
    }
}

TEST(LZRWBlock, CopyMayOverlapItsOwnOutput) {
    // literal 'x', then offset 1 length 18
    EXPECT_EQ(decompress(fromHex("404000" "78" "001f")), Bytes(19, 'x'));
}

TEST(LZRWBlock, AnyFlagButStoredTakesTheCompressedPath) {
    for (int flag : {0x00, 0x01, 0x40, 0x7F, 0x81, 0xFF}) {
        Bytes block = fromHex("40800000005400");
        block[0] = static_cast<std::uint8_t>(flag);
        EXPECT_EQ(decompress(block), Bytes(100, 0)) << flag;
    }
}

TEST(LZRWBlock, CorruptBlocksRaise) {
    struct Case { const char* name; Bytes block; } cases[] = {
        {"no flag byte", Bytes()},
        {"compressed without control word", fromHex("40")},
        {"compressed with half a control word", fromHex("4080")},
        {"copy item cut short", fromHex("408000" "00")},
        {"run item cut short", fromHex("408000" "000054")},
        {"copy before the start of the output", fromHex("408000" "0010")},
        {"copy reaching further back than produced", fromHex("40400041" "0020")},
        {"next control word cut short", fromHex("400000" "41414141414141414141414141414141" "80")},
        {"control word without an item", fromHex("400000" "41414141414141414141414141414141" "8000")},
        {"runs beyond the output buffer",
         [] { Bytes b = fromHex("40ffff"); for (int i = 0; i < 9; ++i) { auto r = fromHex("000fff41"); b.insert(b.end(), r.begin(), r.end()); } return b; }()},
        {"stored block longer than a chunk", [] { Bytes b(QCLLZRWMaxInput + 2, 0x11); b[0] = 0x80; return b; }()},
    };
    for (const auto& c : cases)
        EXPECT_ANY_THROW(decompress(c.block)) << c.name;
}

// Items that would write past the output's room are refused as they are met: the refusal is the
// read error, and not one byte lands beyond the room (here a canary zone rather than a guard
// page, so a missing check fails the test instead of ending the program).
TEST(LZRWBlock, ItemsBeyondTheOutputRoomAreRefusedBeforeTheyWrite) {
    auto runs = [](int count, const char* item) {
        Bytes b = fromHex("40ffff");
        for (int i = 0; i < count; ++i) {
            Bytes r = fromHex(item);
            b.insert(b.end(), r.begin(), r.end());
        }
        return b;
    };
    struct Case { const char* name; Bytes block; } cases[] = {
        {"the ninth run of 4111 bytes", runs(9, "000fff41")},
        {"a run of 16 after 7 full runs and one of 4004", [&] {
             Bytes b = runs(7, "000fff41");
             for (const char* item : {"000f9442", "00000043"}) {
                 Bytes r = fromHex(item);
                 b.insert(b.end(), r.begin(), r.end());
             }
             return b;
         }()},
        {"a copy of 18 after a full output", [&] {
             Bytes b = runs(7, "000fff41");
             for (const char* item : {"000f9442", "001f"}) {
                 Bytes r = fromHex(item);
                 b.insert(b.end(), r.begin(), r.end());
             }
             return b;
         }()},
    };
    const std::uint8_t canary = 0xCC;
    for (const auto& c : cases) {
        Bytes output(QCLLZRWMaxInput + 8192, canary);
        EXPECT_THROW(QCLLZRWDecompress(c.block.data(), output.data(), static_cast<std::uint16_t>(c.block.size())),
                     EReadError)
            << c.name;
        std::size_t touched = 0;
        for (std::size_t i = QCLLZRWMaxInput; i < output.size(); ++i) touched += output[i] != canary;
        EXPECT_EQ(touched, 0u) << c.name;
    }
}

TEST(LZRWBlock, FuzzedBlocksNeverFaultOrLoop) {
    std::mt19937 rng(20261210);
    const Bytes seeds[] = {
        compress(lcgText(3000, 5)),
        compress(Bytes(9000, 3)),
        compress(bytesOf("The quick brown fox jumps over the lazy dog, the quick brown fox.")),
    };
    int raised = 0, decoded = 0;
    for (int i = 0; i < 4000; ++i) {
        Bytes block;
        if (i % 4 == 0) {
            block = randomBytes(rng() % 300, rng());
        } else {
            block = seeds[i % 3];
            const int edits = 1 + static_cast<int>(rng() % 4);
            for (int e = 0; e < edits && !block.empty(); ++e) {
                switch (rng() % 3) {
                case 0: block[rng() % block.size()] = static_cast<std::uint8_t>(rng()); break;
                case 1: block.resize(rng() % block.size()); break;
                default: block.insert(block.begin() + static_cast<long>(rng() % block.size()),
                                      static_cast<std::uint8_t>(rng()));
                }
            }
        }
        try {
            const Bytes out = decompress(block);
            EXPECT_LE(out.size(), static_cast<std::size_t>(QCLLZRWMaxInput));
            ++decoded;
        } catch (const std::exception&) {
            ++raised;
        }
    }
    EXPECT_EQ(raised + decoded, 4000);
    EXPECT_GT(raised, 0);
    EXPECT_GT(decoded, 0);
}

}  // namespace
