// The printing data listing over a large plant: the query with its grid
// fill in the real window, and the printed listing's layout; and one
// CIEDE2000 difference. The demo plant is kept at $QTMV_QUALITY_BENCH_DB or
// /tmp/qtmv-quality-bench/QTMV.mdb (generated when missing).
#include "app/core/DatabaseLocation.h"
#include "app/core/Session.h"
#include "platform/bench/RunBenchmarks.h"
#include "quality/core/ColourDifference.h"
#include "quality/ui/PrintingListWindow.h"
#include "tools/demo-db/DemoPlant.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

void UseBenchDatabase()
{
    static const std::string path =
        qtmv::demo::KeptDemoPlant("QTMV_QUALITY_BENCH_DB", "/tmp/qtmv-quality-bench/QTMV.mdb", 3000);
    qtmv::Session& s = qtmv::CurrentSession();
    s.ConnectionString = qtmv::ConnectionStringFor(path);
    s.LoginUser = "王大明";
}

// The whole listing, unfiltered: statement, rows and grid.
void BM_ListingQuery(benchmark::State& state)
{
    UseBenchDatabase();
    frm印刷數據明細表 w;
    w.show();
    QApplication::processEvents();
    for (auto _ : state) {
        w.query();
        QApplication::processEvents();
    }
    state.counters["rows"] = static_cast<double>(w.rows().rowCount());
}

// The printed listing of those rows: layout and paging (the preview only draws).
void BM_ListingReport(benchmark::State& state)
{
    UseBenchDatabase();
    frm印刷數據明細表 w;
    w.query();
    std::size_t pages = 0;
    for (auto _ : state)
        pages = w.document().pages.size();
    state.counters["rows"] = static_cast<double>(w.rows().rowCount());
    state.counters["pages"] = static_cast<double>(pages);
}

void BM_Ciede2000(benchmark::State& state)
{
    qtmv::quality::Lab target{55, -37, -50}, measured{54.2, -35.8, -51.3};
    for (auto _ : state) {
        benchmark::DoNotOptimize(qtmv::quality::Ciede2000(target, measured));
        benchmark::ClobberMemory();
        measured.L += 1e-9;
    }
}

} // namespace

BENCHMARK(BM_ListingQuery)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListingReport)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Ciede2000);

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns<QApplication>(argc, argv); }
