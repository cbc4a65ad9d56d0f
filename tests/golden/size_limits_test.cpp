// Every size limit of the image formats at its exact boundary: the largest
// program that fits and the first that does not. Programs are lines of the
// digit 1, so a line of n bytes (its two line-number bytes included) is
// n - 2 digits. Each row is held against the product (through the project
// build) and against the reference's own image writers.
#include <gtest/gtest.h>

#include "golden/compile_project.h"
#include "reference/reference_build.h"

namespace lintrel::testing {
namespace {

constexpr const char* kAddresses = "its addresses would pass FFFF!";

struct Lines {
    int count;
    int bytes;  // decoded bytes of each line, line number included
};

struct Row {
    const char* platform;
    std::vector<Lines> program;
    std::size_t fileSize;  // the whole file when it fits; 0 when it does not
    std::string message;   // when it does not fit
    int line = 0;          // editor line (from 1) the error names
};

// Project lines 1 to 3 are "&P=", "&C=10" and a comment, so the program's
// first line is editor line 4 and BASIC line 10.
const std::vector<Row> kRows = {
    // Homelab: E + 2 <= FFFF, E = 40A0 + the program bytes (each line and its 60).
    {"HL2", {{1, 48988}}, 48989 + 420, ""},
    {"HL2", {{1, 48989}}, 0, std::string("The program is too large for HL2: ") + kAddresses, 4},
    {"HL3", {{1, 4}, {1, 48983}}, 48989 + 420, ""},
    {"HL3", {{1, 4}, {1, 48984}}, 0, std::string("The program is too large for HL3: ") + kAddresses, 5},
    // Primo: records of n + 3 bytes from 43EA; the last next-line address is
    // where the two-byte end link lies, so it may be FFFE but not FFFF.
    {"PRIMO", {{186, 255}, {1, 157}}, 5 + 0xFFFE - 0x43EA + 3, ""},
    {"PRIMO", {{186, 255}, {1, 158}}, 0, std::string("The program is too large for PRIMO: ") + kAddresses, 190},
    // HT: the same records from 42E9.
    {"HT", {{1, 0xFFFE - 0x42E9 - 3}}, 260 + 0xFFFE - 0x42E9 + 2, ""},
    {"HT", {{1, 0xFFFF - 0x42E9 - 3}}, 0, std::string("The program is too large for HT: ") + kAddresses, 4},
    // TVC: a record (n + 2) holds at most 255 bytes ...
    {"TVC", {{1, 4}, {1, 253}}, 144 + 6 + 255 + 1, ""},
    {"TVC", {{1, 4}, {1, 254}}, 0, "Line 11 is too long for TVC: a line record holds at most 255 bytes!", 5},
    // ... and the program (the records and the end byte) at most FFFF.
    {"TVC", {{256, 253}, {1, 252}}, 144 + 0xFFFF, ""},
    {"TVC", {{256, 253}, {1, 253}}, 0, "The program is too large for TVC: its length would pass FFFF!", 260},
};

std::string projectText(const Row& row) {
    std::string text = "&P=" + std::string(row.platform) + "\r\n&C=10\r\n| the program\r\n";
    for (const Lines& lines : row.program) {
        const std::string line = std::string(static_cast<std::size_t>(lines.bytes - 2), '1') + "\r\n";
        for (int i = 0; i < lines.count; ++i) text += line;
    }
    return text;
}

// The same program as finished lines, for the reference's writers.
std::vector<std::string> finishedLines(const Row& row) {
    const auto pair = [](int byte) {
        return std::string{static_cast<char>(0x80 + (byte >> 4)), static_cast<char>(0x80 + (byte & 15))};
    };
    std::vector<std::string> lines;
    int number = 10;
    for (const Lines& group : row.program) {
        for (int i = 0; i < group.count; ++i, ++number) {
            const bool highFirst = std::string_view(row.platform).starts_with("HL");
            std::string line = highFirst ? pair(number >> 8) + pair(number & 255) : pair(number & 255) + pair(number >> 8);
            for (int k = 2; k < group.bytes; ++k) line += pair('1');
            lines.push_back(line);
        }
    }
    return lines;
}

std::string describe(const Row& row) {
    std::string text = row.platform;
    for (const Lines& lines : row.program) text += " " + std::to_string(lines.count) + "x" + std::to_string(lines.bytes);
    return text;
}

void expectProduct(const Row& row) {
    const CompiledProject product = compileProject(projectText(row), true);
    if (row.fileSize != 0) {
        EXPECT_FALSE(product.error) << "product: " << product.error->message;
        EXPECT_EQ(product.bytes.size(), row.fileSize) << "product";
        return;
    }
    ASSERT_TRUE(product.error) << "the product writes " << product.bytes.size() << " bytes";
    EXPECT_EQ(product.error->message, row.message);
    EXPECT_EQ(product.error->line + 1, row.line);
    EXPECT_EQ(product.error->column, 0);
    EXPECT_EQ(product.error->length, 0);
    EXPECT_FALSE(product.error->selects);
    EXPECT_TRUE(product.bytes.empty());
}

void expectReference(const Row& row) {
    const reference::Image reference = reference::writeImage(row.platform, finishedLines(row));
    if (row.fileSize != 0) {
        EXPECT_FALSE(reference.stoppedAt) << "reference: " << reference.message;
        EXPECT_EQ(reference.bytes.size(), row.fileSize) << "reference";
        return;
    }
    ASSERT_TRUE(reference.stoppedAt) << "the reference writes " << reference.bytes.size() << " bytes";
    EXPECT_EQ(reference.message, row.message);
    EXPECT_EQ(static_cast<int>(*reference.stoppedAt) + 4, row.line);
}

TEST(SizeLimits, LargestProgramFitsAndOneByteMoreDoesNot) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(describe(row));
        expectProduct(row);
        expectReference(row);
    }
}

}  // namespace
}  // namespace lintrel::testing
