// Every project under images/ and every shipped example builds to exactly the
// image beside it: <name>.hex with spaces removed, and <name>.keep-spaces.hex
// where keeping them gives another image (otherwise <name>.hex holds for both).
// The reference build must make the same images, so a dump that goes wrong
// on regeneration shows which side moved.
#include <gtest/gtest.h>

#include "golden/compile_project.h"
#include "golden/golden_files.h"
#include "golden/hex_dump.h"
#include "reference/reference_build.h"

namespace lintrel::testing {
namespace {

std::vector<GoldenCase> imageCases() {
    std::vector<GoldenCase> cases = casesIn(goldenFolder() / "images", goldenFolder() / "images", "");
    const auto examples = casesIn(examplesFolder(), goldenFolder() / "examples", "example_");
    cases.insert(cases.end(), examples.begin(), examples.end());
    return cases;
}

std::string byteAt(const std::vector<unsigned char>& bytes, std::size_t offset) {
    if (offset >= bytes.size()) return "the end";
    char text[3];
    std::snprintf(text, sizeof text, "%02X", bytes[offset]);
    return text;
}

// The first difference, or nothing when the image matches.
std::string difference(const HexDump& expected, const HexDump& actual) {
    if (expected.fileName != actual.fileName) return "file name " + actual.fileName + ", expected " + expected.fileName;
    const auto& a = actual.bytes;
    const auto& e = expected.bytes;
    for (std::size_t i = 0; i < a.size() || i < e.size(); ++i) {
        if (i < a.size() && i < e.size() && a[i] == e[i]) continue;
        return std::to_string(a.size()) + " bytes, expected " + std::to_string(e.size()) + "; at offset " +
               std::to_string(i) + ": " + byteAt(a, i) + ", expected " + byteAt(e, i);
    }
    return {};
}

HexDump compile(const GoldenCase& golden, bool removeSpaces) {
    const CompiledProject compiled = compileProject(readBytes(golden.project), removeSpaces);
    EXPECT_FALSE(compiled.error) << golden.project << ": " << compiled.error->message;
    return {compiled.fileName, compiled.bytes};
}

HexDump compileWithReference(const GoldenCase& golden, bool removeSpaces) {
    BuildOptions options;
    options.removeSpaces = removeSpaces;
    const reference::Result built = reference::build(reference::splitLines(readBytes(golden.project)), options);
    EXPECT_FALSE(built.error) << golden.project << ": " << built.error->message;
    return {built.fileName, built.image};
}

void regenerate(const GoldenCase& golden) {
    const std::string removed = formatHexDump(compile(golden, true));
    const std::string kept = formatHexDump(compile(golden, false));
    EXPECT_TRUE(writeBytes(withExtension(golden.expected, ".hex"), removed));
    const fs::path keptPath = withExtension(golden.expected, ".keep-spaces.hex");
    if (kept != removed) EXPECT_TRUE(writeBytes(keptPath, kept));
    else fs::remove(keptPath);
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, ImageMatchesTheDumpBesideIt) {
    const GoldenCase& golden = GetParam();
    if (regenerating()) return regenerate(golden);
    const fs::path removedPath = withExtension(golden.expected, ".hex");
    const fs::path keptPath = withExtension(golden.expected, ".keep-spaces.hex");
    for (const bool removeSpaces : {true, false}) {
        const fs::path path = removeSpaces || !fs::exists(keptPath) ? removedPath : keptPath;
        SCOPED_TRACE(path.string() + (removeSpaces ? " (spaces removed)" : " (spaces kept)"));
        const auto expected = parseHexDump(readBytes(path));
        ASSERT_TRUE(expected) << "missing or malformed; tests/golden/regenerate.sh writes it";
        EXPECT_EQ(difference(*expected, compile(golden, removeSpaces)), "") << "product";
        EXPECT_EQ(difference(*expected, compileWithReference(golden, removeSpaces)), "") << "reference";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Golden, ::testing::ValuesIn(imageCases()),
                         [](const auto& info) { return info.param.name; });

// An empty or misplaced folder would otherwise pass with no rows at all.
TEST(GoldenFolders, EveryMachineAndEveryExampleHasRows) {
    const auto cases = imageCases();
    for (const char* machine : {"hl2", "hl3", "primo", "ht", "tvc", "abc80", "basic"}) {
        EXPECT_TRUE(std::any_of(cases.begin(), cases.end(),
                                [&](const GoldenCase& c) { return c.name.starts_with(std::string(machine) + "_"); }))
            << machine;
        EXPECT_TRUE(std::any_of(cases.begin(), cases.end(), [&](const GoldenCase& c) {
            return c.name.starts_with("example_" + std::string(machine) + "_");
        })) << machine;
    }
}

}  // namespace
}  // namespace lintrel::testing
