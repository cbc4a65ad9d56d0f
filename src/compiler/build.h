// The build pipeline: project lines in, finished lines (or one error) out.
// Works on 8-bit strings only; every one of the 256 byte values survives.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/diagnostic.h"
#include "images/program.h"
#include "platforms/platforms.h"

namespace lintrel {

// Which warnings a build looks for; the output does not depend on them.
struct WarningOptions {
    bool enabled = true;        // off: none is looked for
    bool unusedLabels = false;  // also labels that nothing references
    bool asErrors = false;      // compileProject writes nothing when there is any
};

struct BuildOptions {
    bool removeSpaces = true;  // "Removing unnecessary SPACEs"
    WarningOptions warnings{};
};

// The warnings a build result keeps; more are only counted.
inline constexpr std::size_t kKeptWarnings = 1000;

// Progress for the two bars; both callbacks may be empty.
struct BuildProgress {
    std::function<void(int position, int maximum)> pass;   // per-pass bar
    std::function<void(int position, int maximum)> stage;  // stage bar (4, 5 or 6 steps)
};

struct BuildResult {
    std::optional<Diagnostic> error;                // set when the build stopped
    const Platform* platform = &noPlatform();       // in force after the last line; never null
    std::string emulatorCommand;      // value of the last "&E=", may be empty
    Program program;                  // the finished lines; each line's origin is its 0-based editor line
    std::vector<std::string> labelNames;    // label table after the resolver (sorted)
    std::vector<std::string> labelNumbers;  // decimal text, row for row with labelNames
    // The first kKeptWarnings warnings, sorted by place (line, then column),
    // and how many there were. A build that stopped keeps those found before.
    std::vector<Diagnostic> warnings;
    std::size_t warningCount = 0;

    bool ok() const { return !error.has_value(); }
};

// Runs every pass in order and stops at the first error.
BuildResult build(const std::vector<std::string>& projectLines, const BuildOptions& options,
                  const BuildProgress& progress = {});

// The same from the project file's bytes, split into lines at CR LF, LF or a
// lone CR as the project loader splits them; no copy of the lines is made, so
// a large project needs little more memory than its finished lines.
BuildResult buildText(std::string_view projectText, const BuildOptions& options,
                      const BuildProgress& progress = {});

}  // namespace lintrel
