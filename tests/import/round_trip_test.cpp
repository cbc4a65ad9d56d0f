// The round trip, one row per file: every example and golden project builds
// to an image; reading that image and writing it again gives the same bytes,
// and reading, listing, unnumbering and building again gives the same image
// (with space removal off where the program keeps spaces outside strings).
// Every classic listing under listings/<machine>/ imports to a project whose
// image imports and builds to that image again. Generated projects of the
// differential test that build go the same way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "golden/compile_project.h"
#include "golden/golden_files.h"
#include "import/import.h"
#include "reference/project_generator.h"

namespace lintrel::testing {
namespace {

fs::path listingsFolder() { return LINTREL_LISTINGS_DIR; }

struct Trip {
    std::string name;
    fs::path file;
    bool listing = false;  // a classic listing (its machine is its folder's name)
};

void PrintTo(const Trip& trip, std::ostream* out) { *out << trip.file.string(); }

std::vector<Trip> trips() {
    std::vector<Trip> rows;
    for (const auto& golden : casesIn(goldenFolder() / "images", goldenFolder() / "images", "golden_"))
        rows.push_back({golden.name, golden.project});
    for (const auto& example : casesIn(examplesFolder(), examplesFolder(), "example_"))
        rows.push_back({example.name, example.project});
    for (const auto& entry : fs::recursive_directory_iterator(listingsFolder())) {
        if (entry.path().extension() != ".bas") continue;
        const fs::path relative = fs::relative(entry.path(), listingsFolder()).replace_extension();
        rows.push_back({"listing_" + testName(relative), entry.path(), true});
    }
    std::sort(rows.begin(), rows.end(), [](const Trip& a, const Trip& b) { return a.name < b.name; });
    return rows;
}

const Platform* platformOfFile(const std::string& fileName) {
    for (const Platform& platform : acceptedPlatforms()) {
        if (platform.fileName == fileName) return &platform;
    }
    return nullptr;
}

std::string asText(const std::vector<unsigned char>& bytes) { return {bytes.begin(), bytes.end()}; }


// The image of a built project goes through the reader and the writer, and
// through import and a second build; `what` names the project in messages.
// `quiet`: the project imported must build with no warning (--werror).
void expectRoundTrip(const CompiledProject& built, const std::string& what, bool quiet = true) {
    ASSERT_FALSE(built.error) << what << ": " << built.error->message;
    const Platform* platform = platformOfFile(built.fileName);
    ASSERT_NE(platform, nullptr) << built.fileName;
    ImportRequest request;
    const std::string image = asText(built.bytes);
    request.bytes = image;
    request.fileName = built.fileName;
    if (platform->reader != nullptr) {
        const ImageReading reading = platform->reader(built.bytes);
        ASSERT_TRUE(reading.ok()) << what << ": " << describeFault(*reading.fault);
        EXPECT_EQ(platform->writer(reading.program, platform->id).bytes, built.bytes)
            << what << ": read and written again";
    } else {
        request.platform = platform;  // a listing
    }
    const ImportedProject imported = importProgram(request);
    ASSERT_TRUE(imported.ok()) << what << ": " << imported.error->text;
    if (quiet) {
        BuildOptions options;
        options.removeSpaces = !imported.keepsSpaces;
        // Only a jump to a line the program does not have warns, as the import did.
        const BuildResult again = buildText(imported.text, options);
        std::vector<std::string> others;
        for (const Diagnostic& warning : again.warnings) {
            if (!warning.message.ends_with("does not exist in this program.")) others.push_back(warning.message);
        }
        EXPECT_EQ(others, std::vector<std::string>{}) << what << "\n" << imported.text;
        EXPECT_EQ(again.warningCount - (again.warnings.size() - others.size()), others.size());
        EXPECT_EQ(again.warnings.size() - others.size(), imported.warnings.size()) << what;
    }
    const CompiledProject rebuilt = compileProject(imported.text, !imported.keepsSpaces);
    ASSERT_FALSE(rebuilt.error) << what << ": the import does not build: " << rebuilt.error->message << "\n"
                                << imported.text;
    EXPECT_EQ(rebuilt.bytes, built.bytes) << what << ": the import builds another image\n" << imported.text;
}

class RoundTrip : public ::testing::TestWithParam<Trip> {};

TEST_P(RoundTrip, GivesTheSameImage) {
    const Trip& trip = GetParam();
    const std::string bytes = readBytes(trip.file);
    if (!trip.listing) {
        for (const bool removeSpaces : {true, false}) {
            const CompiledProject built = compileProject(bytes, removeSpaces);
            if (built.fileName == "Compiled_BASIC.bas" && bytes.find("&P=BASIC") == std::string::npos) continue;
            expectRoundTrip(built, trip.file.string() + (removeSpaces ? "" : " (spaces kept)"));
        }
        return;
    }
    ImportRequest request;
    request.bytes = bytes;
    request.fileName = trip.file.filename().string();
    std::string machine = trip.file.parent_path().filename().string();
    for (char& c : machine) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    request.platform = findPlatform(machine);
    ASSERT_NE(request.platform, nullptr) << machine;
    const ImportedProject imported = importProgram(request);
    ASSERT_TRUE(imported.ok()) << describeImportMessage(trip.file.string(), *imported.error, "error");
    EXPECT_GT(imported.labels, 0) << "a classic listing jumps somewhere";
    expectRoundTrip(compileProject(imported.text, !imported.keepsSpaces), trip.file.string() + " imported");
}

INSTANTIATE_TEST_SUITE_P(Files, RoundTrip, ::testing::ValuesIn(trips()),
                         [](const auto& info) { return info.param.name; });

TEST(RoundTripFolders, HaveRows) {
    const auto rows = trips();
    EXPECT_GE(std::count_if(rows.begin(), rows.end(), [](const Trip& t) { return t.listing; }), 10);
    EXPECT_GE(rows.size(), 40u);
}

// Line numbers that ascend within the machine's range, and no line that is
// its number alone (typing a number alone deletes a line on the machines).
bool holdsAMachinesProgram(const Platform& platform, const std::vector<unsigned char>& image) {
    long previous = 0;
    const ImageReading reading = platform.reader(image);
    const Program& lines = reading.program;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines.number(i) <= previous || lines.number(i) > platform.reportedMaximum || lines.bytes(i).empty())
            return false;
        previous = lines.number(i);
    }
    return true;
}

// LINTREL_ROUND_TRIP_SEEDS sets how many generated projects are tried.
int seeds() {
    const char* value = std::getenv("LINTREL_ROUND_TRIP_SEEDS");
    return value != nullptr ? std::atoi(value) : 300;
}

TEST(RoundTripGenerated, ProjectsThatBuildComeBackTheSame) {
    std::map<std::string, int> trips;
    for (int seed = 1; seed <= seeds(); ++seed) {
        const reference::GeneratedProject project = reference::generateProject(static_cast<std::uint64_t>(seed));
        std::string text;
        for (const std::string& line : project.lines) text += line + "\r\n";
        const CompiledProject built = compileProject(text, project.options.removeSpaces);
        // The listings of "BASIC" and the empty platform carry no tokenizer and
        // may hold anything; the byte images are the subject here.
        const Platform* platform = built.error ? nullptr : platformOfFile(built.fileName);
        if (platform == nullptr || platform->reader == nullptr) continue;
        // A project that changes its platform midway may store numbers in
        // another machine's byte order, and a line of removed spaces is its
        // number alone: no machine holds such a program, and the import
        // refuses it.
        if (!holdsAMachinesProgram(*platform, built.bytes)) {
            ++trips["(no machine's program: " + built.fileName + ")"];
            continue;
        }
        expectRoundTrip(built, "seed " + std::to_string(seed), false);
        if (::testing::Test::HasFailure()) return;
        ++trips[built.fileName];
    }
    std::string counts;
    for (const auto& [file, count] : trips) counts += " " + file + " " + std::to_string(count);
    RecordProperty("trips", counts);
    std::printf("round trips:%s\n", counts.c_str());
    EXPECT_GE(trips.size(), 5u) << "every byte image among the generated projects";
    for (const auto& [file, count] : trips) EXPECT_GT(count, 0) << file;
}

}  // namespace
}  // namespace lintrel::testing
