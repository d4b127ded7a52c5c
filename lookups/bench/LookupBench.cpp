// The vendor lookup over a large vendor table: from construction until the
// list is shown, and a new search, in the real window. The demo plant with
// 20,000 extra vendors is kept at $QTMV_LOOKUP_BENCH_DB or
// /tmp/qtmv-lookup-bench/QTMV.mdb (generated when missing).
#include "app/core/DatabaseLocation.h"
#include "app/core/Session.h"
#include "common/HandOver.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/os/Host.h"
#include "platform/ui/SpreadGrid.h"
#include "tools/demo-db/DemoPlant.h"
#include "platform/bench/RunBenchmarks.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

constexpr long long kVendors = 20000;

std::string BenchDatabase()
{
    const char* env = std::getenv("QTMV_LOOKUP_BENCH_DB");
    const std::filesystem::path path = env && *env ? env : "/tmp/qtmv-lookup-bench/QTMV.mdb";
    if (!std::filesystem::exists(path)) {
        std::filesystem::create_directories(path.parent_path());
        qtmv::demo::DemoOptions o;
        o.workOrders = 50;
        o.extraVendors = kVendors;
        qtmv::demo::WriteDemoPlant(path.string(), o);
    }
    return path.string();
}

void UseBenchDatabase(const char* kind)
{
    qtmv::Session& s = qtmv::CurrentSession();
    s.ConnectionString = qtmv::ConnectionStringFor(BenchDatabase());
    s.LoginUser = "王大明";
    qtmv::gLookupKind = kind;
    qtmv::gLookupFilter.clear();
    qtmv::gLookupContext.clear();
}

// Opening: the window is built, placed, filled and paints its first screen.
// Closing it after the pick is not part of it (the user has moved on).
void BM_VendorLookupOpen(benchmark::State& state, const char* kind)
{
    UseBenchDatabase(kind);
    int rows = 0;
    for (auto _ : state) {
        auto w = std::make_unique<frm廠商輔助畫面1>();
        w->show();
        QApplication::processEvents();
        rows = w->listedRows();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}

// A new search in an open window: the statement runs again and the list is
// replaced. Searching with the same text each time keeps the list's size.
void BM_VendorLookupSearch(benchmark::State& state, const char* kind, const char* filter)
{
    UseBenchDatabase(kind);
    frm廠商輔助畫面1 w;
    w.show();
    QApplication::processEvents();
    w.txt篩選->setText(QString::fromUtf8(filter));
    int rows = 0;
    for (auto _ : state) {
        w.scmd確定->click();
        QApplication::processEvents();
        rows = w.listedRows();
    }
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK_CAPTURE(BM_VendorLookupOpen, all_vendors, "所有廠商")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_VendorLookupOpen, printing, "印刷")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_VendorLookupSearch, all_vendors, "所有廠商", "")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_VendorLookupSearch, all_vendors_filtered, "所有廠商", "電子")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_VendorLookupSearch, printing, "印刷", "")->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns<QApplication>(argc, argv); }
