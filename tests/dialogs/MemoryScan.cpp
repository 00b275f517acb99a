// Looking for a secret in the process's memory; see MemoryScan.h.
#include "tests/dialogs/MemoryScan.h"

#include "tests/dialogs/DialogDriver.h"

#include <windows.h>

#include <cstdio>

namespace dialogtest {

namespace {

// The scan's own buffer. It is emptied after every scan: it holds the last memory read, which may
// be the secret itself while that is still live, and a later scan reading it would find that copy
// (Wine may map a program's zero-filled data as private memory, which the scan reads).
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

namespace {

// Calls found(region, pieces in it) for every readable private region that holds pieces.
template <typename Found>
int scanPrivateMemory(const MaskedSecret& secret, Found found) {
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
                const int inChunk = piecesInChunk(secret, got);
                if (inChunk) found(region, inChunk);
                pieces += inChunk;
                if (at + got >= regionEnd || got < FragmentLength) break;
                at += got - (FragmentLength - 1);
            }
        }
        address = regionEnd;
    }
    SecureZeroMemory(chunk, sizeof chunk);
    return pieces;
}

}  // namespace

int secretPiecesInPrivateMemory(const MaskedSecret& secret) {
    return scanPrivateMemory(secret, [](const MEMORY_BASIC_INFORMATION&, int) {});
}

std::string secretPiecesReport(const MaskedSecret& secret) {
    // This thread's stack is the reservation that holds a local variable.
    MEMORY_BASIC_INFORMATION stack{};
    const int local = 0;
    VirtualQuery(&local, &stack, sizeof stack);
    std::string report;
    scanPrivateMemory(secret, [&](const MEMORY_BASIC_INFORMATION& region, int pieces) {
        char line[160];
        std::snprintf(line, sizeof line, "%d at region %p size %lu alloc %p type %lx protect %lx (%s)\n", pieces,
                      region.BaseAddress, static_cast<unsigned long>(region.RegionSize), region.AllocationBase,
                      static_cast<unsigned long>(region.Type), static_cast<unsigned long>(region.Protect),
                      region.AllocationBase == stack.AllocationBase ? "this thread's stack" : "not this thread's stack");
        report += line;
    });
    return report;
}

}  // namespace dialogtest
