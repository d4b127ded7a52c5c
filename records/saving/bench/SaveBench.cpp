// Saving on a plant of realistic size: 2,000 open printing pieces loaded,
// 200 of them stamped finished, saved with the write-back of every loaded
// line (the save includes the preview its question shows). Every iteration
// starts from a fresh copy of the same database, so each save really
// changes what it writes.
//
// The demo database (4,000 work orders) is generated once into
// $QTMV_SAVE_BENCH_DB or /tmp/qtmv-save-bench/QTMV.mdb and reused afterwards.
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

#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

constexpr std::size_t kLoadedRows = 2000;
constexpr int kFlaggedCells = 200;

const std::string& templateDatabase()
{
    static const std::string path = demo::keptDemoPlant("QTMV_SAVE_BENCH_DB", "/tmp/qtmv-save-bench/QTMV.mdb", 4000);
    return path;
}

// A fresh working copy of the template in a folder of its own, its first
// 2,000 open printing pieces and 200 of them stamped.
struct Workload {
    db::test::FreshDatabase db{db::test::copyOf(templateDatabase())};
    GridRows rows;
    ChangeFlags flags;

    Workload()
    {
        const ProcessKind& printing = *kindByDisplayName("D-印刷");
        const GridLayout& l = gridLayout(printing);
        rows = loadGrid(db.connectionString(), printing, "", SortOption::WorkOrder);
        if (rows.size() < kLoadedRows)
            throw std::runtime_error("the demo plant has fewer than 2,000 open printing pieces");
        rows.resize(kLoadedRows);
        flags = ChangeFlags(l.columnCount(), static_cast<int>(rows.size()));
        const int step = static_cast<int>(kLoadedRows) / kFlaggedCells;
        for (int r = 1; r <= static_cast<int>(rows.size()); r += step) {
            rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(l.finishDateCol - 1)] = "1204-14";
            flags.set(r, l.finishDateCol);
        }
    }
};

void BM_SaveWithWriteBack(benchmark::State& state)
{
    const ProcessKind& printing = *kindByDisplayName("D-印刷");
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    ScriptedMessages answers;   // "Yes" to the question
    std::unique_ptr<Workload> w;
    for (auto _ : state) {
        state.PauseTiming();
        w.reset();   // the last copy goes outside the timing
        w = std::make_unique<Workload>();
        Session& s = w->db.session();
        s.IdentityEstablished = s.RightsEstablished = true;
        SaveContext ctx{s, clock, [] {}};
        state.ResumeTiming();
        if (!saveDailyReport(printing, w->rows, w->flags, ctx, w->rows).complete())
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SaveWithWriteBack)->Unit(benchmark::kMillisecond)->Iterations(5);

// The share of the write-back: every distinct line of the 2,000 rows.
void BM_WriteBackOnly(benchmark::State& state)
{
    const ProcessKind& printing = *kindByDisplayName("D-印刷");
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
        state.counters["lines"] = writeBackLines(conn, printing, w->rows, clock);
        tx.commit();
    }
}
BENCHMARK(BM_WriteBackOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

// The list in the question before saving: the save, its history and the
// write-back of the same workload, rolled back. Nothing stays, so one copy
// serves every iteration.
void BM_Preview(benchmark::State& state)
{
    const ProcessKind& printing = *kindByDisplayName("D-印刷");
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    Workload w;
    const HistoryAuthor author{"1131204 1405", "bench", "PC1"};
    SaveSummary summary;
    // On the save's connection, open already when the question is built.
    jet::Connection conn;
    conn.open(w.db.connectionString());
    for (auto _ : state)
        summary = previewSave(conn, printing, w.rows, w.rows, w.flags, clock, author);
    state.counters["cells"] = summary.cells();
    state.counters["closed"] = static_cast<double>(summary.closed.size());
}
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) { return qtmv::bench::runAsTheProgramRuns<>(argc, argv); }
