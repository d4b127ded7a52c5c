// From the click on "確 定" until the printing grid is ready, in the real
// window, on a 100,000-work-order demo plant ($QTMV_BENCH_DB or
// /tmp/qtmv-load-bench/QTMV.mdb, generated when missing), side by side with
// plain SQLite copying the same statement's rows into texts (the bare copy,
// bench/PlainSqlite.h). Both report the heap's peak during one load above
// what was in use before it ("peakMB") and the page faults per load.
#include "app/core/DatabaseLocation.h"
#include "app/core/Session.h"
#include "records/core/GridLoader.h"
#include "daily_report/ui/MainWindow.h"
#include "daily_report/ui/RecordFilters.h"
#include "platform/os/Host.h"
#include "platform/ui/SpreadGrid.h"
#include "tools/demo-db/DemoPlant.h"
#include "bench/PeakHeap.h"
#include "bench/PlainSqlite.h"
#include "platform/bench/RunBenchmarks.h"
#include "platform/jet/Translator.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::string BenchDatabase()
{
    return qtmv::demo::KeptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
}

void BM_WindowLoadPrinting(benchmark::State& state)
{
    qtmv::Session& s = qtmv::CurrentSession();
    s.ConnectionString = qtmv::ConnectionStringFor(BenchDatabase());
    s.EmployeeId = "A001";
    frm日報登錄作業_工單 w;
    w.show();
    QApplication::processEvents();
    w.filters().cbo種類->setCurrentIndex(w.filters().cbo種類->findText(QStringLiteral("D-印刷")));
    w.filters().cbo車別->setCurrentIndex(0);
    QApplication::processEvents();
    int rows = 0;
    // A load first clears the grid of the one before, so the peak is taken
    // above the window with nothing loaded.
    qtmv::bench::ResetHeapPeak();
    const long faults = qtmv::bench::PageFaults();
    for (auto _ : state) {
        w.filters().scmd顯示資料->click();
        QApplication::processEvents();   // the grid paints its first screen
        rows = w.currentGrid()->maxRow();
    }
    state.counters["rows"] = rows;
    state.counters["peakMB"] = qtmv::bench::Megabytes(qtmv::bench::HeapPeakSinceReset());
    state.counters["faults"] = benchmark::Counter(static_cast<double>(qtmv::bench::PageFaults() - faults),
                                                  benchmark::Counter::kAvgIterations);
}

void BM_SqliteCopyPrinting(benchmark::State& state)
{
    const qtmv::ProcessKind& printing = qtmv::KindOf(qtmv::KindId::Printing);
    const std::string sql = jet::Translate(qtmv::daily::BuildLoadQuery(printing, "", qtmv::daily::SortOption::WorkOrder));
    const auto width = static_cast<std::size_t>(qtmv::daily::GridLayoutOf(printing).columnCount());
    const std::string path = BenchDatabase();
    std::size_t rows = 0, peak = 0;
    const long faults = qtmv::bench::PageFaults();
    for (auto _ : state) {
        qtmv::bench::ResetHeapPeak();
        auto out = qtmv::bench::CopyTexts(qtmv::bench::PlainStatement(path, sql), width);
        rows = out.size();
        peak = qtmv::bench::HeapPeakSinceReset();
        benchmark::DoNotOptimize(out);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peakMB"] = qtmv::bench::Megabytes(peak);
    state.counters["faults"] = benchmark::Counter(static_cast<double>(qtmv::bench::PageFaults() - faults),
                                                  benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_SqliteCopyPrinting)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_WindowLoadPrinting)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns<QApplication>(argc, argv); }
