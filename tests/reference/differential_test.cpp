// Product against reference over generated projects. A failure prints the
// seed and a shrunken project; `lintrel_differential --cases 1 --seed S`
// reproduces it.
#include <gtest/gtest.h>

#include <map>

#include "reference/differential.h"
#include "reference/reference_build.h"

namespace lintrel::reference {
namespace {

constexpr std::uint64_t kFirstSeed = 1;
constexpr int kCases = 300;

TEST(Differential, GeneratedProjectsAgree) {
    int mismatches = 0;
    int built = 0;
    for (std::uint64_t seed = kFirstSeed; seed < kFirstSeed + kCases; ++seed) {
        const GeneratedProject project = generateProject(seed);
        const auto difference = compareWithProduct(project);
        if (difference) {
            // Shrinking costs many builds; the first few reports are enough.
            if (++mismatches <= 3) ADD_FAILURE() << describeMismatch(seed, project, *difference);
            else ADD_FAILURE() << "seed " << seed << ": " << *difference;
        }
        if (!reference::build(project.lines, project.options).error) ++built;
    }
    // A generator that only produced errors would compare next to nothing.
    EXPECT_GT(built, kCases / 3) << "generated projects that build: " << built;
}

TEST(Differential, GeneratorIsDeterministic) {
    EXPECT_EQ(generateProject(42).lines, generateProject(42).lines);
    EXPECT_NE(generateProject(42).lines, generateProject(43).lines);
}

// Cases the generator found once; kept so they stay fixed.
TEST(Differential, KnownCornerCases) {
    const std::vector<GeneratedProject> cases = {
        {{"&P=HL2", "\\x1", "\\long GOTO \\x\\long"}, {}},
        {{"&P=HT", "\\a\\b", "GOTO \\a\\b:GOTO \\a"}, {}},
        {{"&P=PRIMO", "DATA \"A:B\",C:PRINT 'x", "' REM \"DATA\""}, {false}},
        {{"&P=TVC", "FOR D=1 TO 9:print \"\xE1\xDB\"", "A(1)=B$"}, {}},
        {{"&P=HL3", "A$=INKEY$:X=EXP((1)+FSW((2)", "PRINT \"rem\" rem \"x"}, {}},
        {{"PRINT {41}{{41}}{4", "&P=BASIC", "\\ PRINT \\"}, {}},
    };
    for (const auto& project : cases) {
        const auto difference = compareWithProduct(project);
        EXPECT_FALSE(difference) << describeMismatch(0, project, difference.value_or(""));
    }
}

}  // namespace
}  // namespace lintrel::reference
