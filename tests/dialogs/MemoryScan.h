/*
 * Looking for a secret in the process's memory, as someone reading a memory
 * dump would: every committed private page (heaps and stacks of all threads)
 * is read and searched for pieces of the secret's plain bytes.
 *
 * A piece is any FragmentLength consecutive bytes of the secret, not the
 * whole: a freed block's first bytes are overwritten by the heap's own
 * bookkeeping and a cleared string zeroes its first byte, so a search for the
 * whole secret would miss the copies that matter most.
 *
 * Tricky points:
 * - Secrets for the scan mix digits and signs into their words, so no piece
 *   of one is a word that other memory (fonts, locale tables) may hold.
 * - The test must never hold the secret whole in plain bytes
 *   itself, or the scan would find the test's own copy. A MaskedSecret keeps
 *   its bytes masked, is typed one character at a time, and is compared
 *   against memory byte by byte without being unmasked. Its plain text is a
 *   literal, which lives in the program's image, not in private memory.
 */
#pragma once

#include <cstddef>
#include <string>

namespace dialogtest {

class MaskedSecret {
public:
    explicit MaskedSecret(const char* plainLiteral);
    std::size_t size() const { return masked_.size(); }
    char at(std::size_t i) const { return static_cast<char>(masked_[i] ^ Mask); }
    // True when the bytes equal the secret.
    bool matches(const char* data, std::size_t n) const;
    template <typename Text>
    bool matches(const Text& text) const {
        return matches(text.data(), text.size());
    }

    static constexpr unsigned char Mask = 0xA5;

private:
    std::string masked_;
};

// Types the secret with real key presses into the focused control, one character at a time.
void typeMasked(const MaskedSecret& secret);

// Short enough for the few characters a string leaves in its inline buffer when it grows out of it.
constexpr std::size_t FragmentLength = 7;

// How many places of the committed private memory of this process begin a piece of the secret
// (a whole copy of a secret of n bytes counts n - FragmentLength + 1 times).
int secretPiecesInPrivateMemory(const MaskedSecret& secret);

// Where the pieces are, for a failure's message: each region holding some, with its base address,
// how many, and whether it is a thread's stack.
std::string secretPiecesReport(const MaskedSecret& secret);

}  // namespace dialogtest
