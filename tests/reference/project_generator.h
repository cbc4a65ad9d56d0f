// Seeded generator of projects that walk the corners of the source notation:
// several "&P=" in one project, directives inside strings, labels that are
// prefixes of each other, broken token literals, accented letters, stray bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/build.h"

namespace lintrel::reference {

struct GeneratedProject {
    std::vector<std::string> lines;  // no CR or LF inside a line, as the editor gives them
    BuildOptions options;
};

// The same seed gives the same project on every machine and compiler.
GeneratedProject generateProject(std::uint64_t seed);

// Project lines as C string literals, one per line, for a failure report.
std::string describeProject(const GeneratedProject& project);

// Tiny deterministic generator (splitmix64), so sequences do not depend on the
// standard library's distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    int below(int bound);  // 0 .. bound-1
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

}  // namespace lintrel::reference
