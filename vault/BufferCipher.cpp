// The cipher on Crypto++'s CBC modes. The mode objects keep their key schedules in wiping
// buffers, cleared when they go.
#include "vault/BufferCipher.h"

#include "framework/Win32Handles.h"

#include <cryptopp/blowfish.h>
#include <cryptopp/modes.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const unsigned char FixedVector[8] = {0x5C, 0x2E, 0x91, 0x07, 0xD4, 0x6A, 0xB3, 0x18};

using Encryptor = CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Encryption;
using Decryptor = CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Decryption;

template <typename Mode>
void runChain(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key) {
    if (length % CryptoPP::Blowfish::BLOCKSIZE != 0 || length == 0) return;
    Mode mode(key, VaultKeyBytes, FixedVector);
    mode.ProcessData(out, in, length);
}

}  // namespace

void encryptBuffer(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key) {
    runChain<Encryptor>(in, out, length, key);
}

void decryptBuffer(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key) {
    runChain<Decryptor>(in, out, length, key);
}

std::size_t cipherBlockSize() { return CryptoPP::Blowfish::BLOCKSIZE; }

namespace {

// Below this a piece is not worth a thread (its start costs about a key schedule and a wake-up).
constexpr std::size_t SpreadPieceBytes = 512 * 1024;
constexpr unsigned MostThreads = 8;

struct Piece {
    const unsigned char* in;
    unsigned char* out;
    std::size_t length;
    const unsigned char* key;
    unsigned char before[8];  // the cipher block before the piece (the fixed vector for the first)
};

void decipherPiece(Piece& piece) {
    Decryptor mode(piece.key, VaultKeyBytes, piece.before);
    mode.ProcessData(piece.out, piece.in, piece.length);
}

DWORD WINAPI pieceThread(LPVOID piece) {
    decipherPiece(*static_cast<Piece*>(piece));
    return 0;
}

}  // namespace

void decryptBufferSpread(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key) {
    if (length % CryptoPP::Blowfish::BLOCKSIZE != 0 || length == 0) return;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const std::size_t blocks = length / 8;
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(
        {std::max<DWORD>(system.dwNumberOfProcessors, 1), MostThreads, length / SpreadPieceBytes}));
    if (threads < 2) return decryptBuffer(in, out, length, key);
    // Every piece's block before is copied first: in place, the piece before overwrites it.
    std::vector<Piece> pieces(threads);
    for (unsigned k = 0; k < threads; ++k) {
        const std::size_t first = blocks * k / threads, end = blocks * (k + 1) / threads;
        pieces[k] = Piece{in + first * 8, out + first * 8, (end - first) * 8, key, {}};
        std::memcpy(pieces[k].before, k == 0 ? FixedVector : in + first * 8 - 8, 8);
    }
    std::vector<win32::KernelHandle> started;
    std::vector<Piece*> here{&pieces[0]};  // the pieces no thread could be made for stay on this one
    for (unsigned k = 1; k < threads; ++k) {
        win32::KernelHandle thread(CreateThread(nullptr, 0, pieceThread, &pieces[k], 0, nullptr));
        if (thread)
            started.push_back(std::move(thread));
        else
            here.push_back(&pieces[k]);
    }
    for (Piece* piece : here) decipherPiece(*piece);
    for (const auto& thread : started) WaitForSingleObject(thread.get(), INFINITE);
}

struct CipherChain::Mode {
    explicit Mode(Direction direction, const unsigned char* key) {
        if (direction == Encrypt)
            cipher.reset(new Encryptor(key, VaultKeyBytes, FixedVector));
        else
            cipher.reset(new Decryptor(key, VaultKeyBytes, FixedVector));
    }
    std::unique_ptr<CryptoPP::CipherModeBase> cipher;
};

CipherChain::CipherChain(Direction direction, const unsigned char key[VaultKeyBytes])
    : mode_(new Mode(direction, key)) {}

CipherChain::~CipherChain() = default;

void CipherChain::process(const unsigned char* in, unsigned char* out, std::size_t length) {
    if (length) mode_->cipher->ProcessData(out, in, length);
}
