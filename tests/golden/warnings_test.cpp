// Every project under warnings/ builds with exactly the warnings beside it:
// <name>.expected holds one "LINE:COLUMN: message" per warning (counted from
// 1, in place order, the message in code page 1250 bytes); an empty file
// means none. Projects whose name begins with "unused_label" are built with
// the unused-label warning on. Warnings never change what is written: each
// project gives the same file with them looked for and without.
#include <gtest/gtest.h>

#include "compiler/build.h"
#include "compiler/build_test_support.h"
#include "golden/golden_files.h"

namespace lintrel::testing {
namespace {

std::vector<GoldenCase> warningCases() {
    return casesIn(goldenFolder() / "warnings", goldenFolder() / "warnings", "");
}

std::string describe(const std::vector<Diagnostic>& warnings) {
    std::string text;
    for (const Diagnostic& warning : warnings) {
        text += std::to_string(warning.line + 1) + ":" + std::to_string(warning.column + 1) + ": " +
                warning.message + "\n";
    }
    return text;
}

BuildOptions optionsFor(const GoldenCase& project, bool warnings) {
    BuildOptions options;
    options.warnings.enabled = warnings;
    options.warnings.unusedLabels = project.name.starts_with("unused_label");
    return options;
}

class Warnings : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Warnings, AreTheOnesBesideTheProject) {
    const GoldenCase& project = GetParam();
    const std::string bytes = readBytes(project.project);
    const BuildResult built = buildText(bytes, optionsFor(project, true));
    ASSERT_TRUE(built.ok()) << project.project << ": " << built.error->message;
    EXPECT_EQ(built.warningCount, built.warnings.size());
    const fs::path expected = withExtension(project.expected, ".expected");
    if (regenerating()) {
        EXPECT_TRUE(writeBytes(expected, describe(built.warnings))) << expected;
        return;
    }
    ASSERT_TRUE(fs::exists(expected)) << expected << " is missing; tests/golden/regenerate.sh writes it";
    EXPECT_EQ(describe(built.warnings), readBytes(expected));
    const BuildResult quiet = buildText(bytes, optionsFor(project, false));
    EXPECT_TRUE(quiet.warnings.empty());
    EXPECT_EQ(testing::storedLines(quiet), testing::storedLines(built)) << "warnings changed the program";
}

INSTANTIATE_TEST_SUITE_P(Files, Warnings, ::testing::ValuesIn(warningCases()),
                         [](const auto& info) { return info.param.name; });

TEST(WarningsFolder, HasRows) { EXPECT_GE(warningCases().size(), 12u); }

}  // namespace
}  // namespace lintrel::testing
