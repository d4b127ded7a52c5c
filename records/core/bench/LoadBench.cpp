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
const std::string& database(const benchmark::State& state)
{
    static const std::string large = demo::keptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
    if (state.range(1) != 200000)
        return large;
    static const std::string largest =
        demo::keptDemoPlant("QTMV_BENCH_DB_200K", "/tmp/qtmv-load-bench-200k/QTMV.mdb", 200000);
    return largest;
}

const ProcessKind& printing() { return kindOf(KindId::Printing); }

std::string loadStatement(const benchmark::State& state)
{
    return jet::translate(buildLoadQuery(printing(), "", static_cast<SortOption>(state.range(0))));
}

void report(benchmark::State& state, std::size_t rows, std::size_t peak, long faultsBefore)
{
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peakMB"] = bench::megabytes(peak);
    state.counters["faults"] = benchmark::Counter(static_cast<double>(bench::pageFaults() - faultsBefore),
                                                  benchmark::Counter::kAvgIterations);
}

void BM_SqliteStep(benchmark::State& state)
{
    const std::string sql = loadStatement(state);
    database(state);   // made before the timing, the first time
    std::size_t rows = 0, peak = 0;
    const long faults = bench::pageFaults();
    for (auto _ : state) {
        bench::resetHeapPeak();
        rows = bench::stepThrough(bench::PlainStatement(database(state), sql));
        peak = bench::heapPeakSinceReset();
    }
    report(state, rows, peak, faults);
}

void BM_SqliteCopy(benchmark::State& state)
{
    const std::string sql = loadStatement(state);
    database(state);   // made before the timing, the first time
    const auto width = static_cast<std::size_t>(gridLayout(printing()).columnCount());
    std::size_t rows = 0, peak = 0;
    const long faults = bench::pageFaults();
    for (auto _ : state) {
        bench::resetHeapPeak();
        GridRows out = bench::copyTexts(bench::PlainStatement(database(state), sql), width);
        rows = out.size();
        peak = bench::heapPeakSinceReset();
        benchmark::DoNotOptimize(out);
    }
    report(state, rows, peak, faults);
}

void BM_Loader(benchmark::State& state)
{
    const auto sort = static_cast<SortOption>(state.range(0));
    const std::string cs = ConnectionStringFor(database(state));
    std::size_t rows = 0, peak = 0;
    const long faults = bench::pageFaults();
    for (auto _ : state) {
        bench::resetHeapPeak();
        GridRows r = loadGrid(cs, printing(), "", sort);
        rows = r.size();
        peak = bench::heapPeakSinceReset();
        benchmark::DoNotOptimize(r);
    }
    report(state, rows, peak, faults);
}

} // namespace

// Sort options 0 (work order) and 4 (schedule order).
// Arguments: the sort option, the plant's work orders.
void plants(benchmark::internal::Benchmark* b)
{
    b->Args({0, 100000})->Args({4, 100000})->Args({0, 200000})->Unit(benchmark::kMillisecond)->MinTime(2.0);
}
BENCHMARK(BM_SqliteStep)->Apply(plants);
BENCHMARK(BM_SqliteCopy)->Apply(plants);
BENCHMARK(BM_Loader)->Apply(plants);

int main(int argc, char** argv) { return qtmv::bench::runAsTheProgramRuns<>(argc, argv); }
