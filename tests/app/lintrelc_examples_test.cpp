#include <gtest/gtest.h>

#include <map>

#include "golden/hex_dump.h"
#include "run_lintrelc.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

// Every bundled example builds as it is shipped and writes its platform's
// file, byte for byte the image in tests/golden/examples.
TEST(Examples, EveryExampleBuildsWithLintrelc) {
    const std::map<std::string, std::string> fileOfFolder = {
        {"hl2", "Compiled_HL2.htp"},     {"hl3", "Compiled_HL3.htp"}, {"primo", "Compiled_PRIMO.pri"},
        {"ht", "Compiled_HT.cas"},       {"tvc", "Compiled_TVC.cas"}, {"abc80", "Compiled_ABC80.bas"},
        {"basic", "Compiled_BASIC.bas"},
    };
    const fs::path folder = makeTemporaryFolder();
    ASSERT_FALSE(folder.empty());
    std::size_t built = 0;
    for (const auto& [name, fileName] : fileOfFolder) {
        const fs::path examples = fs::path(LINTREL_EXAMPLES_DIR) / name;
        ASSERT_TRUE(fs::is_directory(examples)) << examples;
        for (const auto& entry : fs::directory_iterator(examples)) {
            if (entry.path().extension() != ".lpj") continue;
            SCOPED_TRACE(entry.path().string());
            const fs::path exports = folder / (name + "-" + entry.path().stem().string());
            fs::create_directory(exports);
            const ProgramRun result = runProgram(
                lintrelcBinary(), {"--exports", exports.string(), "--space-removal", "on", entry.path().string()}, folder);
            EXPECT_EQ(result.exitCode, 0) << result.err;
            EXPECT_EQ(result.err, "");
            EXPECT_TRUE(result.out.starts_with((exports / fileName).string() + "\n")) << result.out;
            const auto expected = parseHexDump(
                readAll(fs::path(LINTREL_GOLDEN_DIR) / "examples" / name / (entry.path().stem().string() + ".hex")));
            ASSERT_TRUE(expected);
            EXPECT_EQ(expected->fileName, fileName);
            const std::string written = readAll(exports / fileName);
            EXPECT_TRUE(std::vector<unsigned char>(written.begin(), written.end()) == expected->bytes);
            ++built;
        }
    }
    EXPECT_GE(built, fileOfFolder.size());
    fs::remove_all(folder);
}

// Shipped projects keep the project file form: code page 1250, CR LF.
TEST(Examples, ProjectsUseCrLfLineEnds) {
    for (const auto& entry : fs::recursive_directory_iterator(LINTREL_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".lpj") continue;
        const std::string bytes = readAll(entry.path());
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << entry.path() << " at " << i;
            }
            if (bytes[i] == '\r') {
                EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << entry.path() << " at " << i;
            }
        }
    }
}

}  // namespace
}  // namespace lintrel
