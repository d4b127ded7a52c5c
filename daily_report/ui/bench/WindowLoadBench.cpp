// From the click on "確 定" until the printing grid is ready, in the real
// window, on a 100,000-work-order demo plant ($QTMV_BENCH_DB or
// /tmp/qtmv-load-bench/QTMV.mdb, generated when missing).
#include "app/core/DatabaseLocation.h"
#include "app/core/Session.h"
#include "daily_report/ui/MainWindow.h"
#include "daily_report/ui/RecordFilters.h"
#include "platform/os/Host.h"
#include "platform/ui/SpreadGrid.h"
#include "tools/demo-db/DemoPlant.h"
#include "bench/RunBenchmarks.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::string benchDatabase()
{
    return qtmv::demo::keptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
}

void BM_WindowLoadPrinting(benchmark::State& state)
{
    qtmv::Session& s = qtmv::session();
    s.ConnectionString = qtmv::ConnectionStringFor(benchDatabase());
    s.EmployeeId = "A001";
    frm日報登錄作業_工單 w;
    w.show();
    QApplication::processEvents();
    w.filters().cbo種類->setCurrentIndex(w.filters().cbo種類->findText(QStringLiteral("D-印刷")));
    w.filters().cbo車別->setCurrentIndex(0);
    QApplication::processEvents();
    int rows = 0;
    for (auto _ : state) {
        w.filters().scmd顯示資料->click();
        QApplication::processEvents();   // the grid paints its first screen
        rows = w.currentGrid()->maxRow();
    }
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK(BM_WindowLoadPrinting)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

int main(int argc, char** argv) { return qtmv::bench::runAsTheProgramRuns<QApplication>(argc, argv); }
