// The folders of projects with their expected results beside them, and the
// switch that makes the tests write those results instead of checking them
// (tests/golden/regenerate.sh sets it).
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace lintrel::testing {

namespace fs = std::filesystem;

inline fs::path goldenFolder() { return LINTREL_GOLDEN_DIR; }
inline fs::path examplesFolder() { return LINTREL_EXAMPLES_DIR; }

inline bool regenerating() {
    const char* value = std::getenv("LINTREL_REGENERATE");
    return value != nullptr && std::string(value) == "1";
}

inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Creates the folder where needed; false when the file could not be written.
inline bool writeBytes(const fs::path& path, const std::string& bytes) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out.flush());
}

// One project and where its expected results lie: `expected` with the
// extension of the result added ("hello" -> "hello.hex").
struct GoldenCase {
    std::string name;  // a test name: letters, digits and underscores
    fs::path project;
    fs::path expected;
};

// Names the row in failure reports instead of dumping its bytes.
inline void PrintTo(const GoldenCase& golden, std::ostream* out) { *out << golden.project.string(); }

inline std::string testName(const fs::path& relative) {
    std::string name = relative.string();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

// Every .lpj under `projects`, sorted; the expected results mirror the
// folder layout under `results`.
inline std::vector<GoldenCase> casesIn(const fs::path& projects, const fs::path& results, const std::string& prefix) {
    std::vector<GoldenCase> cases;
    if (!fs::is_directory(projects)) return cases;
    for (const auto& entry : fs::recursive_directory_iterator(projects)) {
        if (entry.path().extension() != ".lpj") continue;
        const fs::path relative = fs::relative(entry.path(), projects).replace_extension();
        cases.push_back({prefix + testName(relative), entry.path(), results / relative});
    }
    std::sort(cases.begin(), cases.end(), [](const GoldenCase& a, const GoldenCase& b) { return a.name < b.name; });
    return cases;
}

inline fs::path withExtension(fs::path path, const std::string& extension) { return path += extension; }

}  // namespace lintrel::testing
