/*
 * One fuzz target per reader of untrusted bytes. A target is written once with
 * BRIM_FUZZ_TARGET(name) { ...data, size... } and built two ways:
 * - natively with clang, libFuzzer and the sanitizers (BRIM_FUZZ_NATIVE): the
 *   body becomes the program's LLVMFuzzerTestOneInput;
 * - into the Wine test suite: the body joins a table by name, and the test
 *   program replays every committed regression input of that target through it.
 *
 * A target lets the readers' own refusals (the exceptions they document)
 * pass quietly; anything else (a crash, a sanitizer report, an unexpected
 * exception, a broken invariant through fuzzCheck) is a finding.
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brimfuzz {

using TargetFunction = void (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;
    TargetFunction run;
};

// The targets linked into this program, in no particular order.
std::vector<Target>& targets();

struct Registration {
    Registration(const char* name, TargetFunction run) { targets().push_back({name, run}); }
};

// A broken invariant: aborts in the fuzzing build, throws in the test build.
[[noreturn]] void fail(const char* what);
inline void check(bool condition, const char* what) {
    if (!condition) fail(what);
}

}  // namespace brimfuzz

#ifdef BRIM_FUZZ_NATIVE
#define BRIM_FUZZ_TARGET(name)                                                            \
    static void brimFuzz_##name(const std::uint8_t* data, std::size_t size);              \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {    \
        brimFuzz_##name(data, size);                                                       \
        return 0;                                                                          \
    }                                                                                      \
    static void brimFuzz_##name(const std::uint8_t* data, std::size_t size)
#else
#define BRIM_FUZZ_TARGET(name)                                                            \
    static void brimFuzz_##name(const std::uint8_t* data, std::size_t size);              \
    static brimfuzz::Registration brimFuzzRegistration_##name(#name, brimFuzz_##name);     \
    static void brimFuzz_##name(const std::uint8_t* data, std::size_t size)
#endif
