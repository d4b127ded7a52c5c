// A 1,000-line report with groups and totals, laid out and written to PDF.
#include "bench/RunBenchmarks.h"
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
    const DataTable rows = thousandLines();
    const Layout layout = listing();
    const QString path = QDir::temp().filePath(QStringLiteral("report_bench.pdf"));
    for (auto _ : state) {
        const PageDocument doc = run(layout, rows);
        benchmark::DoNotOptimize(writePdf(doc, path));
    }
    QFile::remove(path);
}
BENCHMARK(BM_ThousandLinesToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return qtmv::bench::runAsTheProgramRuns<QGuiApplication>(argc, argv);
}
