// Runs the differential comparison over many generated projects:
//   lintrel_differential [--cases N] [--seed S]
// Exit status 1 when any project builds differently in product and reference.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reference/differential.h"
#include "reference/reference_build.h"

int main(int argc, char** argv) {
    std::uint64_t first = 1;
    long long cases = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cases") == 0) cases = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0) first = std::strtoull(argv[i + 1], nullptr, 10);
        else {
            std::fprintf(stderr, "usage: %s [--cases N] [--seed S]\n", argv[0]);
            return 2;
        }
    }
    long long mismatches = 0;
    for (long long n = 0; n < cases; ++n) {
        const std::uint64_t seed = first + static_cast<std::uint64_t>(n);
        const auto project = lintrel::reference::generateProject(seed);
        const auto difference = lintrel::reference::compareWithProduct(project);
        if (!difference) continue;
        ++mismatches;
        if (mismatches <= 5) {
            std::printf("%s\n", lintrel::reference::describeMismatch(seed, project, *difference).c_str());
        } else {
            std::printf("seed %llu: %s\n", static_cast<unsigned long long>(seed), difference->c_str());
        }
        std::fflush(stdout);
    }
    std::printf("%lld cases from seed %llu: %lld mismatches\n", cases, static_cast<unsigned long long>(first),
                mismatches);
    return mismatches == 0 ? 0 : 1;
}
