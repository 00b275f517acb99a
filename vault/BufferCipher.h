/*
 * Blowfish-CBC over whole 8-byte blocks with a 16-byte key and a fixed
 * initialisation vector, a fresh chain on every call. A length that is not a
 * multiple of the block size is ignored and out is left untouched: callers
 * always pass whole blocks. No state is kept, so any thread may call these.
 * in and out may be the same buffer.
 */
#pragma once

#include <cstddef>

constexpr std::size_t VaultKeyBytes = 16;

void encryptBuffer(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key);
void decryptBuffer(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key);
// The cipher's block size, 8.
std::size_t cipherBlockSize();
