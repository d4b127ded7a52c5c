// The production analyses over a history of 100,000 finished time lines:
// building the analysis table, and the summary report from the database to
// a PDF file. The demo plant is kept between runs (QTMV_ANALYSIS_DEMO names
// it); each benchmark works on its own copy.
#include "platform/bench/RunBenchmarks.h"
#include "printing/AnalysisTable.h"
#include "db/testing/FreshDatabase.h"
#include "platform/report/Render.h"
#include "production_export/core/ExcelExport.h"
#include "reports/CapacityDefect.h"
#include "tools/demo-db/DemoPlant.h"

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>

using namespace qtmv;

namespace {

constexpr long long kTimeLines = 100'000;

std::string Plant()
{
    const char* env = std::getenv("QTMV_ANALYSIS_DEMO");
    const std::filesystem::path path =
        env && *env ? env : std::filesystem::temp_directory_path() / "qtmv-bench" / "analysis-100k.mdb";
    if (!std::filesystem::exists(path)) {
        std::filesystem::create_directories(path.parent_path());
        demo::DemoOptions o;
        o.workOrders = 2000;
        o.timeLines = kTimeLines;
        std::cerr << "generating " << path << " ...\n";
        demo::WriteDemoPlant(path.string(), o);
    }
    return path.string();
}

} // namespace

static void BM_AnalysisTableOf100kRecords(benchmark::State& state)
{
    db::test::FreshDatabase db(db::test::CopyOf(Plant()));
    const daily::printing::PrintParams p; // every record
    for (auto _ : state)
        benchmark::DoNotOptimize(daily::printing::BuildAnalysisTable(db.connectionString(), p, "PC1"));
    state.counters["records"] = std::stod(db.value("select count(*) from [不良分析_tmp] where ID = 'PC1'"));
}
BENCHMARK(BM_AnalysisTableOf100kRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_SummaryReportOf100kRecordsToPdf(benchmark::State& state)
{
    db::test::FreshDatabase db(db::test::CopyOf(Plant()));
    const reports::PrintParams p;
    const QString pdf = QString::fromStdString(db.folder() + "summary.pdf");
    for (auto _ : state) {
        const auto doc = reports::CapacityDefectReport(reports::SummaryLayout::ByKey, p, db.session());
        benchmark::DoNotOptimize(report::WritePdf(doc, pdf));
    }
}
BENCHMARK(BM_SummaryReportOf100kRecordsToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_ValueSummaryWorkbookOf100kRecords(benchmark::State& state)
{
    db::test::FreshDatabase db(db::test::CopyOf(Plant()));
    daily::printing::PrintParams p;
    daily::printing::BuildAnalysisTable(db.connectionString(), p, "PC1");
    for (auto _ : state)
        benchmark::DoNotOptimize(production::ExportAnalysis(production::Export::ValueSummary, p, "PC1",
                                                            db.connectionString(), db.folder() + "summary.xlsx"));
}
BENCHMARK(BM_ValueSummaryWorkbookOf100kRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    return bench::RunAsTheProgramRuns<QGuiApplication>(argc, argv);
}
