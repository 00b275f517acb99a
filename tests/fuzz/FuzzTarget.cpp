// The target table and the failure of a broken invariant, for both builds.
#include "tests/fuzz/FuzzTarget.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace brimfuzz {

std::vector<Target>& targets() {
    static std::vector<Target> table;
    return table;
}

void fail(const char* what) {
#ifdef BRIM_FUZZ_NATIVE
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
#else
    throw std::logic_error(what);
#endif
}

}  // namespace brimfuzz
