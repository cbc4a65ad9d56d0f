// A broken promise of the code under test stops the fuzzer with the promise
// named, so the saved input says what went wrong.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace lintrel::fuzz {

inline void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

}  // namespace lintrel::fuzz
