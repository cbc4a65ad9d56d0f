// Build benchmarks: product against reference on a 10,000-line HL2 program,
// throughput of build + output file per platform, and time per source byte
// as programs grow. Source bytes are those of the project file (CR LF lines).
#include <benchmark/benchmark.h>

#include "images/export.h"
#include "reference/reference_build.h"
#include "sample_program.h"

namespace {

using lintrel::bench::SampleShape;

std::vector<unsigned char> productImage(const std::vector<std::string>& lines) {
    const auto result = lintrel::build(lines, {});
    const auto file = lintrel::makeOutputFile(result);
    return (result.ok() && file.ok()) ? file.file.bytes : std::vector<unsigned char>{};
}

const std::vector<std::string>& hl2Program() {
    static const auto lines = lintrel::bench::sampleProgram("HL2", SampleShape{10000, 1, true});
    return lines;
}

// Both sides must give the same, non-empty image before either is timed.
bool sameImages() {
    static const bool same = [] {
        const auto product = productImage(hl2Program());
        const auto reference = lintrel::reference::build(hl2Program(), {});
        if (!reference.ok() || product.empty()) return false;
        const auto file = lintrel::makeOutputFile(reference);
        return file.ok() && file.file.bytes == product;
    }();
    return same;
}

void BM_Hl2Product(benchmark::State& state) {
    if (!sameImages()) state.SkipWithError("product and reference images differ");
    for (auto _ : state) benchmark::DoNotOptimize(productImage(hl2Program()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lintrel::bench::projectBytes(hl2Program())));
}
BENCHMARK(BM_Hl2Product)->Name("Hl2_10000_lines/product")->Unit(benchmark::kMillisecond);

void BM_Hl2Reference(benchmark::State& state) {
    if (!sameImages()) state.SkipWithError("product and reference images differ");
    for (auto _ : state) {
        const auto result = lintrel::reference::build(hl2Program(), {});
        benchmark::DoNotOptimize(lintrel::makeOutputFile(result));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lintrel::bench::projectBytes(hl2Program())));
}
BENCHMARK(BM_Hl2Reference)->Name("Hl2_10000_lines/reference")->Unit(benchmark::kMillisecond)->Iterations(1);

// The whole pipeline on 9,000 lines (TVC stops at 9999).
void BM_Pipeline(benchmark::State& state, const char* platform) {
    const auto lines = lintrel::bench::sampleProgram(platform, SampleShape{9000, 1, true});
    if (productImage(lines).empty() && lintrel::build(lines, {}).error) state.SkipWithError("the program does not build");
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

// Time per source byte as the program grows. HT numbers up to 65529 lines;
// "late" programs name HL2 on their last line, so their lines carry no number
// and 100,000 lines fit while every pass of HL2 still runs.
void BM_Scaling(benchmark::State& state, const char* platform, bool numbered) {
    const auto lines = lintrel::bench::sampleProgram(platform, SampleShape{static_cast<int>(state.range(0)), 1, numbered});
    if (lintrel::build(lines, {}).error) state.SkipWithError("the program does not build");
    for (auto _ : state) {
        const auto result = lintrel::build(lines, {});
        benchmark::DoNotOptimize(lintrel::makeOutputFile(result));
    }
    const auto bytes = static_cast<double>(lintrel::bench::projectBytes(lines));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["ns_per_byte"] = benchmark::Counter(
        bytes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_Scaling, HT, "HT", true)->Arg(1000)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Scaling, HL2_late, "HL2", false)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
