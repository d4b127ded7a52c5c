// Saving on a plant of realistic size: 2,000 open printing pieces loaded,
// or the full printing grid of the largest plant, 200 of them stamped
// finished, saved with the write-back of every loaded line (the save
// includes the preview its question shows). Every iteration starts from a
// fresh copy of the same database, flushed to the disk before the timing,
// so each save really changes what it writes and pays only for its own
// writes.
//
// The demo databases (4,000 and 100,000 work orders) are generated once
// into $QTMV_SAVE_BENCH_DB or /tmp/qtmv-save-bench/QTMV.mdb and
// $QTMV_BENCH_DB or /tmp/qtmv-load-bench/QTMV.mdb and reused afterwards.
#include "app/core/Session.h"
#include "common/Clock.h"
#include "records/core/ChangeFlags.h"
#include "records/core/GridLayout.h"
#include "records/core/GridLoader.h"
#include "records/saving/Saving.h"
#include "records/saving/WriteBack.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/os/MessageBox.h"
#include "tools/demo-db/DemoPlant.h"

#include "platform/os/Host.h"
#include "platform/bench/RunBenchmarks.h"

#include <benchmark/benchmark.h>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

constexpr std::size_t kLoadedRows = 2000;
constexpr int kFlaggedCells = 200;

const std::string& TemplateDatabase()
{
    static const std::string path = demo::KeptDemoPlant("QTMV_SAVE_BENCH_DB", "/tmp/qtmv-save-bench/QTMV.mdb", 4000);
    return path;
}

// The largest plant of the load benchmarks (100,000 work orders).
const std::string& PlantDatabase()
{
    static const std::string path = demo::KeptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
    return path;
}

// The copy written through to the disk, so that a save's own writes are
// not timed together with flushing the pages the copy left in the cache.
void FlushToDisk(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0)
        throw std::runtime_error("cannot flush " + path);
    ::close(fd);
}

// A fresh working copy of a template in a folder of its own, its first
// `loaded` open printing pieces (0: all of them, a full grid) and 200 of
// them, spread over the grid, stamped.
struct Workload {
    db::test::FreshDatabase db;
    GridRows rows;
    ChangeFlags flags;

    explicit Workload(const std::string& from = TemplateDatabase(), std::size_t loaded = kLoadedRows)
        : db(db::test::CopyOf(from))
    {
        FlushToDisk(db.path());
        const ProcessKind& printing = *KindByDisplayName("D-印刷");
        const GridLayout& l = GridLayoutOf(printing);
        rows = LoadGrid(db.connectionString(), printing, "", SortOption::WorkOrder);
        if (loaded != 0) {
            if (rows.size() < loaded)
                throw std::runtime_error("the demo plant has fewer open printing pieces than the workload loads");
            rows.resize(loaded);
        }
        flags = ChangeFlags(l.columnCount(), static_cast<int>(rows.size()));
        const int step = std::max(1, static_cast<int>(rows.size()) / kFlaggedCells);
        for (int r = 1, n = 0; r <= static_cast<int>(rows.size()) && n < kFlaggedCells; r += step, ++n) {
            rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(l.finishDateCol - 1)] = "1204-14";
            flags.set(r, l.finishDateCol);
        }
    }
};

// Arg 0: 2,000 rows of the 4,000-work-order plant; Arg 1: the full
// printing grid of the 100,000-work-order plant (about 10,100 rows), as a
// clerk really has it open.
void BM_SaveWithWriteBack(benchmark::State& state)
{
    const ProcessKind& printing = *KindByDisplayName("D-印刷");
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    ScriptedMessages answers;   // "Yes" to the question
    const bool fullGrid = state.range(0) == 1;
    std::unique_ptr<Workload> w;
    for (auto _ : state) {
        state.PauseTiming();
        w.reset();   // the last copy goes outside the timing
        w = fullGrid ? std::make_unique<Workload>(PlantDatabase(), 0) : std::make_unique<Workload>();
        state.counters["rows"] = static_cast<double>(w->rows.size());
        Session& s = w->db.session();
        s.IdentityEstablished = s.RightsEstablished = true;
        SaveContext ctx{s, clock, [] {}};
        state.ResumeTiming();
        if (!SaveDailyReport(printing, w->rows, w->flags, ctx, w->rows).complete())
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SaveWithWriteBack)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The share of the write-back: every distinct line of the 2,000 rows.
void BM_WriteBackOnly(benchmark::State& state)
{
    const ProcessKind& printing = *KindByDisplayName("D-印刷");
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    std::unique_ptr<Workload> w;
    for (auto _ : state) {
        state.PauseTiming();
        w.reset();
        w = std::make_unique<Workload>();
        state.ResumeTiming();
        jet::Connection conn;
        conn.open(w->db.connectionString());
        jet::Transaction tx(conn);
        state.counters["lines"] = WriteBackLines(conn, printing, w->rows, clock);
        tx.commit();
    }
}
BENCHMARK(BM_WriteBackOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

// The list in the question before saving, worked out by reading alone for
// the same workload. Nothing is written, so one copy serves every
// iteration. Args as for BM_SaveWithWriteBack.
void BM_Preview(benchmark::State& state)
{
    const ProcessKind& printing = *KindByDisplayName("D-印刷");
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    Workload w = state.range(0) == 1 ? Workload(PlantDatabase(), 0) : Workload();
    SaveSummary summary;
    // On the save's connection, open already when the question is built.
    jet::Connection conn;
    conn.open(w.db.connectionString());
    for (auto _ : state)
        summary = PreviewSave(conn, printing, w.rows, w.rows, w.flags, clock);
    state.counters["cells"] = summary.cells();
    state.counters["closed"] = static_cast<double>(summary.closed.size());
}
BENCHMARK(BM_Preview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns<>(argc, argv); }
