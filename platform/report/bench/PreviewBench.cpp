// The preview of a 1,000-line report: from the finished page document to
// the first page painted on the screen (the layout itself is measured by
// report_bench).
#include "platform/bench/RunBenchmarks.h"
#include "platform/report/Report.h"
#include "platform/report/bench/ThousandLines.h"
#include "platform/report/ui/PreviewDialog.h"

#include <QApplication>
#include <QPixmap>

using namespace qtmv::report;
using namespace qtmv::report::bench;

namespace {

void BM_PreviewFirstPageShown(benchmark::State& state)
{
    const PageDocument doc = run(listing(), thousandLines());
    for (auto _ : state) {
        PreviewDialog preview(doc);
        preview.show();
        benchmark::DoNotOptimize(preview.grab());   // painted, as the user sees it
    }
    state.counters["pages"] = static_cast<double>(doc.pages.size());
}
BENCHMARK(BM_PreviewFirstPageShown)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return qtmv::bench::runAsTheProgramRuns<QApplication>(argc, argv);
}
