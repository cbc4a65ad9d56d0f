// Build benchmarks: product against reference on a 10,000-line HL2 program,
// throughput of build + output file per platform, and time per source byte
// as programs grow. Source bytes are those of the project file (CR LF lines).
// A 10,000-line program is larger than any of the machines can hold, so the
// side-by-side comparison times the build (the finished lines) and checks
// that both sides give the same lines and the same output-file answer.
#include <benchmark/benchmark.h>

#include "export/export.h"
#include "reference/reference_build.h"
#include "sample_program.h"

namespace {

using lintrel::bench::SampleShape;

std::vector<unsigned char> productImage(const std::vector<std::string>& lines) {
    const auto result = lintrel::build(lines, {});
    const auto file = lintrel::makeOutputFile(result);
    return (result.ok() && file.ok()) ? file.file.bytes : std::vector<unsigned char>{};
}

// The output file's bytes, or its error message.
std::string outputOf(const lintrel::BuildResult& result) {
    const auto file = lintrel::makeOutputFile(result);
    if (!file.ok()) return "error: " + file.error->message;
    return std::string(file.file.bytes.begin(), file.file.bytes.end());
}

const std::vector<std::string>& hl2Program() {
    static const auto lines = lintrel::bench::sampleProgram("HL2", SampleShape{10000, 1, true});
    return lines;
}

// Both sides must give the same finished lines and output before either is timed.
bool sameOutput() {
    static const bool same = [] {
        const auto product = lintrel::build(hl2Program(), {});
        const auto reference = lintrel::reference::build(hl2Program(), {});
        const std::string referenceOutput = reference.error ? "error: " + reference.error->message
                                                            : std::string(reference.image.begin(), reference.image.end());
        return product.ok() && !product.program.empty() && product.program.size() == reference.lines.size() &&
               outputOf(product) == referenceOutput;
    }();
    return same;
}

void BM_Hl2Product(benchmark::State& state) {
    if (!sameOutput()) state.SkipWithError("product and reference differ");
    for (auto _ : state) benchmark::DoNotOptimize(lintrel::build(hl2Program(), {}));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lintrel::bench::projectBytes(hl2Program())));
}
BENCHMARK(BM_Hl2Product)->Name("Hl2_10000_lines/product")->Unit(benchmark::kMillisecond);

void BM_Hl2Reference(benchmark::State& state) {
    if (!sameOutput()) state.SkipWithError("product and reference differ");
    for (auto _ : state) benchmark::DoNotOptimize(lintrel::reference::build(hl2Program(), {}));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lintrel::bench::projectBytes(hl2Program())));
}
BENCHMARK(BM_Hl2Reference)->Name("Hl2_10000_lines/reference")->Unit(benchmark::kMillisecond)->Iterations(1);

// The whole pipeline, build and output file, on 1,500 lines: as large as a
// program gets while every machine's image still fits its 64 KB.
void BM_Pipeline(benchmark::State& state, const char* platform) {
    const auto lines = lintrel::bench::sampleProgram(platform, SampleShape{1500, 1, true});
    if (productImage(lines).empty()) state.SkipWithError("the program does not build into a file");
    for (auto _ : state) {
        const auto result = lintrel::build(lines, {});
        benchmark::DoNotOptimize(lintrel::makeOutputFile(result));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lintrel::bench::projectBytes(lines)));
}
BENCHMARK_CAPTURE(BM_Pipeline, HL2, "HL2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pipeline, HL3, "HL3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pipeline, PRIMO, "PRIMO")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pipeline, HT, "HT")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pipeline, TVC, "TVC")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pipeline, ABC80, "ABC80")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pipeline, BASIC, "BASIC")->Unit(benchmark::kMillisecond);

// Time per source byte of the build as the program grows (beyond 64 KB of
// image no machine takes the file, so the writers are left out). HT numbers
// up to 65529 lines; "late" programs name HL2 on their last line, so their
// lines carry no number and 100,000 lines fit while every pass of HL2 runs.
void BM_Scaling(benchmark::State& state, const char* platform, bool numbered) {
    const auto lines = lintrel::bench::sampleProgram(platform, SampleShape{static_cast<int>(state.range(0)), 1, numbered});
    if (lintrel::build(lines, {}).error) state.SkipWithError("the program does not build");
    for (auto _ : state) benchmark::DoNotOptimize(lintrel::build(lines, {}));
    const auto bytes = static_cast<double>(lintrel::bench::projectBytes(lines));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["ns_per_byte"] = benchmark::Counter(
        bytes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_Scaling, HT, "HT", true)->Arg(1000)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Scaling, HL2_late, "HL2", false)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Looking for warnings against a build that looks for none, side by side:
// the 10,000-line HL2 program and a 10 MB BASIC project (92,000 lines of
// four statements; BASIC numbers lines without a limit).
const std::vector<std::string>& tenMegabytes() {
    static const auto lines = lintrel::bench::sampleProgram("BASIC", SampleShape{92000, 4, true});
    return lines;
}

void BM_Warnings(benchmark::State& state, bool big, bool warnings) {
    const auto& lines = big ? tenMegabytes() : hl2Program();
    lintrel::BuildOptions options;
    options.warnings.enabled = warnings;
    if (lintrel::build(lines, options).program.empty()) state.SkipWithError("the program does not build");
    for (auto _ : state) benchmark::DoNotOptimize(lintrel::build(lines, options));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lintrel::bench::projectBytes(lines)));
}
BENCHMARK_CAPTURE(BM_Warnings, Hl2_10000_lines/without, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Warnings, Hl2_10000_lines/with, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Warnings, Basic_10MB/without, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Warnings, Basic_10MB/with, true, true)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
