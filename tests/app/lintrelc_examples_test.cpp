#include <gtest/gtest.h>

#include <map>

#include "run_lintrelc.h"

namespace lintrel {
namespace {

using namespace lintrel::testing;

// Every bundled example builds as it is shipped and writes its platform's file.
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
            const ProgramRun result = runProgram(lintrelcBinary(), {"--exports", exports.string(), entry.path().string()}, folder);
            EXPECT_EQ(result.exitCode, 0) << result.err;
            EXPECT_EQ(result.err, "");
            EXPECT_TRUE(result.out.starts_with((exports / fileName).string() + "\n")) << result.out;
            EXPECT_GT(fs::file_size(exports / fileName), 0u);
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
