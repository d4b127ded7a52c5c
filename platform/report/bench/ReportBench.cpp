// A 1,000-line report with groups and totals, laid out and written to PDF
// (also apart, with and without a progress callback following them); a
// field holding a very long text, fitted (shrunk and cut) and written.
#include "platform/bench/RunBenchmarks.h"
#include "platform/report/Render.h"
#include "platform/report/Report.h"
#include "platform/report/bench/ThousandLines.h"

#include <QDir>
#include <QGuiApplication>

using namespace qtmv::report;

namespace {

using namespace qtmv::report::bench;

void BM_ThousandLinesToPdf(benchmark::State& state)
{
    const DataTable rows = ThousandLines();
    const Layout layout = ListingLayout();
    const QString path = QDir::temp().filePath(QStringLiteral("report_bench.pdf"));
    for (auto _ : state) {
        const PageDocument doc = Paginate(layout, rows);
        benchmark::DoNotOptimize(WritePdf(doc, path));
    }
    QFile::remove(path);
}
BENCHMARK(BM_ThousandLinesToPdf)->Unit(benchmark::kMillisecond);

// The layout alone and the PDF alone, unfollowed (0) and followed by a
// progress callback as the windows' (1): what following the work costs.
void BM_ThousandLinesLayout(benchmark::State& state)
{
    const DataTable rows = ThousandLines();
    const Layout layout = ListingLayout();
    long long steps = 0;
    const Progress follow = [&steps](int, int) { return ++steps > 0; };
    for (auto _ : state)
        benchmark::DoNotOptimize(Paginate(layout, rows, state.range(0) ? follow : Progress()));
    state.counters["steps"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ThousandLinesLayout)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ThousandLinesPdf(benchmark::State& state)
{
    const PageDocument doc = Paginate(ListingLayout(), ThousandLines());
    long long steps = 0;
    const Progress follow = [&steps](int, int) { return ++steps > 0; };
    for (auto _ : state)
        benchmark::DoNotOptimize(PdfBytes(doc, 0, -1, state.range(0) ? follow : Progress()));
    state.counters["steps"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ThousandLinesPdf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A recorder's name of state.range(0) characters in a 40 mm field.
void BM_LongTextToPdf(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < state.range(0); ++i)
        text += i % 2 ? "記" : "x";
    DataTable rows({"NAME"});
    rows.addRow({text});
    Layout layout;
    layout.detail.height = 8;
    layout.detail.items = {Item::field({0, 0, 40, 6}, "NAME")};
    const QString path = QDir::temp().filePath(QStringLiteral("report_bench_long.pdf"));
    for (auto _ : state) {
        const PageDocument doc = Paginate(layout, rows);
        benchmark::DoNotOptimize(WritePdf(doc, path));
    }
    QFile::remove(path);
}
BENCHMARK(BM_LongTextToPdf)->Arg(1000)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return qtmv::bench::RunAsTheProgramRuns<QGuiApplication>(argc, argv);
}
