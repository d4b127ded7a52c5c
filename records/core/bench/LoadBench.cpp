// Loading the open printing pieces of a large plant, side by side with the
// fastest plain SQLite doing the same work on the same statement, database
// and connection flags:
//   BM_SqliteStep  opens, prepares and steps the statement, reading nothing:
//                  the floor of any load;
//   BM_SqliteCopy  the same, copying every value out by its type into the
//                  grid's texts (text as it is, whole numbers in decimal,
//                  reals as Jet shows them): the bare copy a load is held to;
//   BM_Loader      the loader (connection, translation, forward-only
//                  recordset, grid texts, printing extras).
// Each reports the heap's peak during one load above what was in use before
// it ("peakMB": C++, SQLite and all, see bench/PeakHeap.h) and the page
// faults per load ("faults": memory mapped afresh).
//
// The demo databases (100,000 and 200,000 work orders) are generated once
// into $QTMV_BENCH_DB or /tmp/qtmv-load-bench/QTMV.mdb and $QTMV_BENCH_DB_200K
// or /tmp/qtmv-load-bench-200k/QTMV.mdb and reused afterwards.
#include "app/core/DatabaseLocation.h"
#include "records/core/GridLoader.h"
#include "platform/jet/Translator.h"
#include "tools/demo-db/DemoPlant.h"

#include "bench/PeakHeap.h"
#include "bench/PlainSqlite.h"
#include "platform/bench/RunBenchmarks.h"

#include <benchmark/benchmark.h>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

// The plant of the benchmark's second argument: 100,000 or 200,000 work
// orders.
const std::string& Database(const benchmark::State& state)
{
    static const std::string large = demo::KeptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
    if (state.range(1) != 200000)
        return large;
    static const std::string largest =
        demo::KeptDemoPlant("QTMV_BENCH_DB_200K", "/tmp/qtmv-load-bench-200k/QTMV.mdb", 200000);
    return largest;
}

const ProcessKind& Printing() { return KindOf(KindId::Printing); }

std::string LoadStatement(const benchmark::State& state)
{
    return jet::Translate(BuildLoadQuery(Printing(), "", static_cast<SortOption>(state.range(0))));
}

void Report(benchmark::State& state, std::size_t rows, std::size_t peak, long faultsBefore)
{
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peakMB"] = bench::Megabytes(peak);
    state.counters["faults"] = benchmark::Counter(static_cast<double>(bench::PageFaults() - faultsBefore),
                                                  benchmark::Counter::kAvgIterations);
}

void BM_SqliteStep(benchmark::State& state)
{
    const std::string sql = LoadStatement(state);
    Database(state);   // made before the timing, the first time
    std::size_t rows = 0, peak = 0;
    const long faults = bench::PageFaults();
    for (auto _ : state) {
        bench::ResetHeapPeak();
        rows = bench::StepThrough(bench::PlainStatement(Database(state), sql));
        peak = bench::HeapPeakSinceReset();
    }
    Report(state, rows, peak, faults);
}

void BM_SqliteCopy(benchmark::State& state)
{
    const std::string sql = LoadStatement(state);
    Database(state);   // made before the timing, the first time
    const auto width = static_cast<std::size_t>(GridLayoutOf(Printing()).columnCount());
    std::size_t rows = 0, peak = 0;
    const long faults = bench::PageFaults();
    for (auto _ : state) {
        bench::ResetHeapPeak();
        GridRows out = bench::CopyTexts(bench::PlainStatement(Database(state), sql), width);
        rows = out.size();
        peak = bench::HeapPeakSinceReset();
        benchmark::DoNotOptimize(out);
    }
    Report(state, rows, peak, faults);
}

void BM_Loader(benchmark::State& state)
{
    const auto sort = static_cast<SortOption>(state.range(0));
    const std::string cs = ConnectionStringFor(Database(state));
    std::size_t rows = 0, peak = 0;
    const long faults = bench::PageFaults();
    for (auto _ : state) {
        bench::ResetHeapPeak();
        GridRows r = LoadGrid(cs, Printing(), "", sort);
        rows = r.size();
        peak = bench::HeapPeakSinceReset();
        benchmark::DoNotOptimize(r);
    }
    Report(state, rows, peak, faults);
}

} // namespace

// Sort options 0 (work order) and 4 (schedule order).
// Arguments: the sort option, the plant's work orders.
void Plants(benchmark::internal::Benchmark* b)
{
    b->Args({0, 100000})->Args({4, 100000})->Args({0, 200000})->Unit(benchmark::kMillisecond)->MinTime(2.0);
}
BENCHMARK(BM_SqliteStep)->Apply(Plants);
BENCHMARK(BM_SqliteCopy)->Apply(Plants);
BENCHMARK(BM_Loader)->Apply(Plants);

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns<>(argc, argv); }
