// Looking for a secret in the process's memory; see MemoryScan.h.
#include "tests/dialogs/MemoryScan.h"

#include "tests/dialogs/DialogDriver.h"

#include <windows.h>

namespace dialogtest {

namespace {

// In the image's zero-filled data, which the scan skips, so reading into it never makes a copy that
// a later region would show.
char chunk[1 << 16];

bool readable(const MEMORY_BASIC_INFORMATION& region) {
    if (region.State != MEM_COMMIT || region.Type != MEM_PRIVATE) return false;
    if (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
    return (region.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}

bool pieceAt(const MaskedSecret& secret, std::size_t i, std::size_t from) {
    for (std::size_t k = 0; k < FragmentLength; ++k)
        if (chunk[i + k] != secret.at(from + k)) return false;
    return true;
}

int piecesInChunk(const MaskedSecret& secret, std::size_t length) {
    bool starts[256] = {};
    for (std::size_t from = 0; from + FragmentLength <= secret.size(); ++from)
        starts[static_cast<unsigned char>(secret.at(from))] = true;
    int pieces = 0;
    for (std::size_t i = 0; i + FragmentLength <= length; ++i) {
        if (!starts[static_cast<unsigned char>(chunk[i])]) continue;
        for (std::size_t from = 0; from + FragmentLength <= secret.size(); ++from) {
            if (pieceAt(secret, i, from)) {
                ++pieces;
                break;
            }
        }
    }
    return pieces;
}

}  // namespace

MaskedSecret::MaskedSecret(const char* plainLiteral) {
    for (const char* c = plainLiteral; *c; ++c) masked_.push_back(static_cast<char>(*c ^ Mask));
}

bool MaskedSecret::matches(const char* data, std::size_t n) const {
    if (n != size()) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (data[i] != at(i)) return false;
    return true;
}

void typeMasked(const MaskedSecret& secret) {
    for (std::size_t i = 0; i < secret.size(); ++i) typeText(std::string(1, secret.at(i)));
}

int secretPiecesInPrivateMemory(const MaskedSecret& secret) {
    int pieces = 0;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const char* address = static_cast<const char*>(system.lpMinimumApplicationAddress);
    const char* end = static_cast<const char*>(system.lpMaximumApplicationAddress);
    MEMORY_BASIC_INFORMATION region;
    while (address < end && VirtualQuery(address, &region, sizeof region) == sizeof region) {
        const char* base = static_cast<const char*>(region.BaseAddress);
        const char* regionEnd = base + region.RegionSize;
        if (readable(region)) {
            // Chunks overlap by one byte less than a piece, so no piece is split between two.
            for (const char* at = base; at < regionEnd;) {
                std::size_t want = std::min<std::size_t>(sizeof chunk, static_cast<std::size_t>(regionEnd - at));
                SIZE_T got = 0;
                if (!ReadProcessMemory(GetCurrentProcess(), at, chunk, want, &got) || got == 0) break;
                pieces += piecesInChunk(secret, got);
                if (at + got >= regionEnd || got < FragmentLength) break;
                at += got - (FragmentLength - 1);
            }
        }
        address = regionEnd;
    }
    return pieces;
}

}  // namespace dialogtest
