// The key seed, the cursor sampler and the system sources; see KeySeed.h.
#include "dialogs/KeySeed.h"

namespace keyseed {

int KeySeed::appendPair(unsigned value) {
    std::lock_guard<std::mutex> hold(lock_);
    int n = count_.load();
    if (n >= SeedBits) return n;
    int shift = 6 - n % 8;
    unsigned char& byte = bytes_[n / 8];
    byte = static_cast<unsigned char>(byte & static_cast<unsigned char>(0xFC << shift));
    byte = static_cast<unsigned char>(byte | (value & 3) << shift);
    count_ = n + 2;
    return n + 2;
}

void KeySeed::copyTo(unsigned char out[SeedBytes]) const {
    std::lock_guard<std::mutex> hold(lock_);
    for (int i = 0; i < SeedBytes; ++i) out[i] = bytes_[i];
}

bool CursorSampler::accept(POINT position) {
    long dx = position.x - last_.x, dy = position.y - last_.y;
    if (dx < 0) dx = -dx;
    if (dy < 0) dy = -dy;
    if (dx < 50 || dy < 50) return false;
    last_ = position;
    return true;
}

EntropySources EntropySources::system() {
    EntropySources sources;
    sources.cursorPosition = [] {
        POINT p = {0, 0};
        GetCursorPos(&p);
        return p;
    };
    sources.milliseconds = [] {
        SYSTEMTIME now;
        GetSystemTime(&now);
        return static_cast<int>(now.wMilliseconds);
    };
    sources.pollWait = [] { Sleep(100); };
    return sources;
}

}  // namespace keyseed
