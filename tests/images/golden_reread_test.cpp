// Every golden image, read back and written again, gives the same bytes: one
// row per .hex file of the five machines with tape images.
#include <gtest/gtest.h>

#include "golden/golden_files.h"
#include "golden/hex_dump.h"
#include "platforms/platforms.h"

namespace lintrel::testing {
namespace {

struct GoldenImage {
    std::string name;
    fs::path file;
};

void PrintTo(const GoldenImage& row, std::ostream* out) { *out << row.file.string(); }

std::vector<GoldenImage> goldenImages() {
    std::vector<GoldenImage> rows;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(LINTREL_GOLDEN_DIR) / "images")) {
        if (entry.path().extension() != ".hex") continue;
        const std::string machine = entry.path().parent_path().filename().string();
        if (machine == "basic" || machine == "abc80") continue;  // text listings: nothing to read back
        const fs::path relative = fs::relative(entry.path(), fs::path(LINTREL_GOLDEN_DIR) / "images");
        rows.push_back({testName(fs::path(relative).replace_extension()), entry.path()});
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return rows;
}

const Platform* platformOfFile(std::string_view fileName) {
    for (const Platform& platform : acceptedPlatforms()) {
        if (platform.fileName == fileName) return &platform;
    }
    return nullptr;
}

class GoldenImageReread : public ::testing::TestWithParam<GoldenImage> {};

TEST_P(GoldenImageReread, WritesTheSameBytesAgain) {
    const auto dump = parseHexDump(readBytes(GetParam().file));
    ASSERT_TRUE(dump.has_value());
    const Platform* platform = platformOfFile(dump->fileName);
    ASSERT_NE(platform, nullptr) << dump->fileName;
    ASSERT_NE(platform->reader, nullptr);
    const ImageReading reading = platform->reader(dump->bytes);
    ASSERT_TRUE(reading.ok()) << describeFault(*reading.fault);
    EXPECT_EQ(reading.platform, platform->id);
    const ImageOutcome written = platform->writer(reading.program, platform->id);
    ASSERT_FALSE(written.error);
    EXPECT_EQ(written.bytes, dump->bytes);
}

INSTANTIATE_TEST_SUITE_P(Folder, GoldenImageReread, ::testing::ValuesIn(goldenImages()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lintrel::testing
