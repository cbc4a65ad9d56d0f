// Every project under failing/ stops with exactly the error beside it:
// <name>.expected holds "LINE:COLUMN: message" (both counted from 1, as
// lintrelc prints them), the message in the project's code page 1250 bytes.
// The projects build with spaces removed; the reference build must stop
// with the same error. The reference takes seconds over the large projects
// that pass the image limits; its limits are held to the size-limit table.
#include <gtest/gtest.h>

#include "golden/compile_project.h"
#include "golden/golden_files.h"
#include "reference/reference_build.h"

namespace lintrel::testing {
namespace {

constexpr std::size_t kLargestForTheReference = 8 * 1024;

std::vector<GoldenCase> failingCases() {
    return casesIn(goldenFolder() / "failing", goldenFolder() / "failing", "");
}

std::string describe(const Diagnostic& error) {
    return std::to_string(error.line + 1) + ":" + std::to_string(error.column + 1) + ": " + error.message + "\n";
}

class Failing : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Failing, StopsWithTheErrorBesideIt) {
    const GoldenCase& failing = GetParam();
    const std::string project = readBytes(failing.project);
    const CompiledProject compiled = compileProject(project, true);
    ASSERT_TRUE(compiled.error) << failing.project << " builds " << compiled.fileName;
    const fs::path expected = withExtension(failing.expected, ".expected");
    if (regenerating()) {
        EXPECT_TRUE(writeBytes(expected, describe(*compiled.error))) << expected;
        return;
    }
    ASSERT_TRUE(fs::exists(expected)) << expected << " is missing; tests/golden/regenerate.sh writes it";
    EXPECT_EQ(describe(*compiled.error), readBytes(expected)) << "product";
    if (project.size() > kLargestForTheReference) return;
    const reference::Result built = reference::build(reference::splitLines(project), {});
    ASSERT_TRUE(built.error) << "the reference builds " << built.fileName;
    EXPECT_EQ(describe(*built.error), readBytes(expected)) << "reference";
}

INSTANTIATE_TEST_SUITE_P(Files, Failing, ::testing::ValuesIn(failingCases()),
                         [](const auto& info) { return info.param.name; });

TEST(FailingFolder, HasRows) { EXPECT_GE(failingCases().size(), 20u); }

}  // namespace
}  // namespace lintrel::testing
