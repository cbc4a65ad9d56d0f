// Bringing programs in: reading and listing a 64 KB HT image, importing a
// 1 MB numbered listing (reading, unnumbering and the check build; each half
// alone too), and a
// build with its output file with and without the read-back check, side by
// side in one run.
#include <benchmark/benchmark.h>

#include "export/export.h"
#include "import/import.h"
#include "import/listing.h"
#include "import/numbered_listing.h"
#include "sample_program.h"

namespace {

// An HT program whose image is close to the machine's 64 KB: the most lines
// of the sample program, in steps of 100, that still make an image.
const std::vector<std::string>& htProgram() {
    static const std::vector<std::string> program = [] {
        std::vector<std::string> fits;
        for (int lines = 100;; lines += 100) {
            auto candidate = lintrel::bench::sampleProgram("HT", {lines, 1, true});
            const auto built = lintrel::build(candidate, {});
            if (!built.ok() || !lintrel::makeOutputFile(built).ok()) return fits;
            fits = std::move(candidate);
        }
    }();
    return program;
}

const lintrel::BuildResult& htBuild() {
    static const lintrel::BuildResult result = lintrel::build(htProgram(), {});
    return result;
}

const std::vector<unsigned char>& htImage() {
    static const std::vector<unsigned char> bytes = lintrel::makeOutputFile(htBuild()).file.bytes;
    return bytes;
}

void BM_ReadAndList(benchmark::State& state) {
    const lintrel::Platform& ht = *lintrel::findPlatform("HT");
    lintrel::LineLister lister(ht);
    lintrel::ListedLine listed;
    if (htImage().empty()) state.SkipWithError("no image");
    for (auto _ : state) {
        const lintrel::ImageReading reading = ht.reader(htImage());
        for (std::size_t i = 0; i < reading.program.size(); ++i) lister.list(reading.program.bytes(i), listed);
        benchmark::DoNotOptimize(listed.text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * htImage().size()));
    state.counters["image_bytes"] = static_cast<double>(htImage().size());
}
BENCHMARK(BM_ReadAndList)->Name("Import/read_and_list_HT_image")->Unit(benchmark::kMillisecond);

// About 1 MB: a menu of GOSUBs, subroutines named by remarks, loops back.
const std::string& listing() {
    static const std::string text = [] {
        std::string out;
        for (long number = 1; out.size() < 1024 * 1024; ++number) {
            out += std::to_string(number) + " ";
            switch (number % 4) {
                case 0: out += "REM DRAW PART " + std::to_string(number) + "\r\n"; break;
                case 1: out += "GOSUB " + std::to_string(number + 3) + ":PRINT \"SCORE\";S\r\n"; break;
                case 2: out += "IF S>10 THEN " + std::to_string(number > 10 ? number - 10 : 1) + "\r\n"; break;
                default: out += "S=S+1:PRINT S:RETURN\r\n"; break;
            }
        }
        return out;
    }();
    return text;
}

lintrel::ImportRequest listingRequest() {
    lintrel::ImportRequest request;
    request.bytes = listing();
    request.fileName = "listing.bas";
    request.platform = lintrel::findPlatform("HT");
    return request;
}

// The whole import: reading the listing, unnumbering, and the build that proves it.
void BM_ImportListing(benchmark::State& state) {
    const lintrel::ImportRequest request = listingRequest();
    if (!lintrel::importProgram(request).ok()) state.SkipWithError("the listing does not import");
    for (auto _ : state) benchmark::DoNotOptimize(lintrel::importProgram(request));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * listing().size()));
}
BENCHMARK(BM_ImportListing)->Name("Import/import_1MB_listing")->Unit(benchmark::kMillisecond);

// Its two halves: the numbered lines stored as typed lines, then unnumbering
// (listing, labels, numbering and the build that proves the project).
void BM_ReadListing(benchmark::State& state) {
    const lintrel::Platform& ht = *lintrel::findPlatform("HT");
    for (auto _ : state) benchmark::DoNotOptimize(lintrel::readNumberedListing(listing(), ht, false));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * listing().size()));
}
BENCHMARK(BM_ReadListing)->Name("Import/read_1MB_listing")->Unit(benchmark::kMillisecond);

void BM_Unnumber(benchmark::State& state) {
    const lintrel::ListingReading read = lintrel::readNumberedListing(listing(), *lintrel::findPlatform("HT"), false);
    lintrel::UnnumberOptions options;
    options.sourceName = "listing.bas";
    if (read.error || !lintrel::unnumber(read.program, options).ok()) state.SkipWithError("the listing does not import");
    for (auto _ : state) benchmark::DoNotOptimize(lintrel::unnumber(read.program, options));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * listing().size()));
}
BENCHMARK(BM_Unnumber)->Name("Import/unnumber_1MB_listing")->Unit(benchmark::kMillisecond);

// Build and output file of the same project; the second without the reader,
// so the check is skipped.
void BM_BuildChecked(benchmark::State& state) {
    const auto& lines = htProgram();
    if (!lintrel::makeOutputFile(lintrel::build(lines, {})).ok()) state.SkipWithError("no image");
    for (auto _ : state) benchmark::DoNotOptimize(lintrel::makeOutputFile(lintrel::build(lines, {})));
}
BENCHMARK(BM_BuildChecked)->Name("Import/build_HT_with_read_back")->Unit(benchmark::kMillisecond);

void BM_BuildUnchecked(benchmark::State& state) {
    const auto& lines = htProgram();
    lintrel::Platform unchecked = *lintrel::findPlatform("HT");
    unchecked.reader = nullptr;
    for (auto _ : state) {
        lintrel::BuildResult result = lintrel::build(lines, {});
        result.platform = &unchecked;
        benchmark::DoNotOptimize(lintrel::makeOutputFile(result));
    }
}
BENCHMARK(BM_BuildUnchecked)->Name("Import/build_HT_without_read_back")->Unit(benchmark::kMillisecond);

}  // namespace
