// Hostile project files: each builds or stops with a clear error naming a
// line, and the output file is made or refused with a message; never a crash.
// Sizes are cut where AddressSanitizer makes them slow; bench/ has the full ones.
#include <gtest/gtest.h>

#include "compiler/build_test_support.h"
#include "export/export.h"
#include "reference/project_generator.h"
#include "text/code_page_1250.h"

namespace lintrel {
namespace {

constexpr const char* kPlatforms[] = {"HL2", "HL3", "PRIMO", "HT", "TVC", "ABC80", "BASIC", ""};

// Builds, exports, and checks that any error is a readable, placed message.
BuildResult buildAndExport(const std::vector<std::string>& lines, bool removeSpaces = true) {
    const BuildResult result = build(lines, BuildOptions{removeSpaces});
    if (result.error) {
        EXPECT_FALSE(result.error->message.empty());
        EXPECT_GE(result.error->line, -1);
        EXPECT_LT(result.error->line, static_cast<int>(lines.size()));
        if (result.error->selects && result.error->line >= 0) {
            const auto& line = lines[static_cast<std::size_t>(result.error->line)];
            EXPECT_LE(result.error->column + result.error->length, static_cast<int>(line.size()));
        }
        return result;
    }
    const ExportResult file = makeOutputFile(result);
    if (file.error) {
        EXPECT_FALSE(file.error->message.empty());
    }
    return result;
}

std::vector<std::string> withPlatform(const char* platform, std::vector<std::string> lines) {
    if (*platform) lines.insert(lines.begin(), std::string("&P=") + platform);
    return lines;
}

std::string randomBytes(std::uint64_t seed, std::size_t size) {
    reference::Random random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random.below(256));
    return bytes;
}

TEST(BadInput, BinaryFileOnEveryPlatform) {
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        const auto lines = splitProjectLines(randomBytes(seed, 64 * 1024));
        for (const char* platform : kPlatforms) buildAndExport(withPlatform(platform, lines));
        buildAndExport(lines, false);
    }
}

TEST(BadInput, NulBytesAreKeptOrNamed) {
    const std::string nul(1, '\0');
    const std::vector<std::string> lines = {"PRINT \"" + nul + "\"", nul + "A=1" + nul, "REM " + nul};
    const BuildResult basic = buildAndExport(withPlatform("BASIC", lines));
    ASSERT_FALSE(basic.error);
    EXPECT_EQ(testing::storedLines(basic)[0], "1 PRINT \"" + nul + "\"");
    const BuildResult hl2 = buildAndExport(withPlatform("HL2", lines));
    ASSERT_TRUE(hl2.error);
    EXPECT_EQ(hl2.error->message, "The character \"" + nul + "\" (00) has no code on HL2!");
    EXPECT_EQ(hl2.error->line, 1);
    EXPECT_EQ(hl2.error->column, 7);
}

TEST(BadInput, CrOnlyLineEnds) {
    const auto lines = splitProjectLines("&P=BASIC\rPRINT 1\rPRINT 2\r");
    ASSERT_EQ(lines.size(), 3u);
    const BuildResult result = buildAndExport(lines);
    ASSERT_FALSE(result.error);
    EXPECT_EQ(testing::storedLines(result), (std::vector<std::string>{"1 PRINT 1", "2 PRINT 2"}));
}

TEST(BadInput, OneMegabyteLine) {
    const std::string program(1 << 20, 'A');
    std::string text = "PRINT \"";
    while (text.size() < (1u << 20)) text += "HELLO WORLD ";
    for (const char* platform : kPlatforms) {
        buildAndExport(withPlatform(platform, {program}));
        buildAndExport(withPlatform(platform, {text}));
    }
}

TEST(BadInput, ManyLabels) {
    // 100,000 here; bench/bad_input.sh takes 1,000,000.
    constexpr int kLabels = 100000;
    std::vector<std::string> lines = {"&P=BASIC"};
    for (int i = 0; i < kLabels; ++i) lines.push_back("\\L" + std::to_string(i) + " GOTO \\L" + std::to_string(i + 1));
    const BuildResult result = buildAndExport(lines);
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.labelNames.size(), static_cast<std::size_t>(kLabels));
    EXPECT_EQ(testing::storedLines(result)[0], "1 GOTO 2");
    // "\L100000" names no label, so "\L10000" (line 10001) takes its start.
    EXPECT_EQ(testing::storedLines(result)[kLabels - 1], std::to_string(kLabels) + " GOTO 100010");
}

TEST(BadInput, HundredThousandBraces) {
    const std::string open(100000, '{');
    std::string literals;
    for (int i = 0; i < 100000; ++i) literals += i % 2 ? "{41}" : "{g";
    for (const char* platform : kPlatforms) {
        buildAndExport(withPlatform(platform, {open}));
        buildAndExport(withPlatform(platform, {literals}));
        buildAndExport(withPlatform(platform, {"\"" + open}));
    }
}

}  // namespace
}  // namespace lintrel
