// Small helpers of the container tests: bytes of streams, little-endian
// fields, and sample pictures and waves.
#pragma once

#include "framework/Graphics.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace containertest {

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const TMemoryStream& s) {
    const auto* p = static_cast<const uint8_t*>(s.Memory());
    return Bytes(p, p + s.GetSize());
}

inline void loadBytes(TMemoryStream& s, const Bytes& data) {
    s.SetSize(0);
    if (!data.empty())
        s.WriteBuffer(data.data(), static_cast<int>(data.size()));
    s.Position = 0;
}

inline int32_t int32At(const Bytes& b, size_t at) {
    int32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

inline void putInt32(Bytes& b, size_t at, int32_t v) { std::memcpy(b.data() + at, &v, 4); }

inline Bytes le32(int32_t v) {
    Bytes b(4);
    putInt32(b, 0, v);
    return b;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A w × h 24-bit picture whose pixel (x, y) is colours[(x + y * w) % n].
inline void paint(TBitmap& bitmap, int w, int h, const std::vector<TColor>& colours) {
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bitmap.GetCanvas()->SetPixel(x, y, colours[static_cast<size_t>(x + y * w) % colours.size()]);
}

// A RIFF WAVE image: 44-byte header and `samples` bytes of data.
inline Bytes waveImage(uint16_t formatTag, uint16_t channels, int32_t rate, uint16_t blockAlign, int samples) {
    Bytes b = concat({text("RIFF"), le32(36 + samples), text("WAVEfmt "), le32(16)});
    auto put16 = [&b](uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
    put16(formatTag);
    put16(channels);
    b = concat({b, le32(rate), le32(rate * blockAlign)});
    put16(blockAlign);
    put16(16);
    b = concat({b, text("data"), le32(samples)});
    for (int i = 0; i < samples; ++i)
        b.push_back(uint8_t(i * 7));
    return b;
}

}  // namespace containertest
