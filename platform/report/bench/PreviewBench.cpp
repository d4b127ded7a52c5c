// The preview of a 1,000-line report: from the finished page document to
// the first page painted on the screen (the layout itself is measured by
// report_bench); and that layout followed by the windows' progress dialog,
// against report_bench's unfollowed one.
#include "platform/bench/RunBenchmarks.h"
#include "platform/report/Report.h"
#include "platform/report/bench/ThousandLines.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/report/ui/WorkProgress.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

using namespace qtmv::report;
using namespace qtmv::report::bench;

namespace {

void BM_PreviewFirstPageShown(benchmark::State& state)
{
    const PageDocument doc = Paginate(ListingLayout(), ThousandLines());
    for (auto _ : state) {
        PreviewDialog preview(doc);
        preview.show();
        benchmark::DoNotOptimize(preview.grab());   // painted, as the user sees it
    }
    state.counters["pages"] = static_cast<double>(doc.pages.size());
}
BENCHMARK(BM_PreviewFirstPageShown)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ThousandLinesLayoutUnderWorkProgress(benchmark::State& state)
{
    const DataTable rows = ThousandLines();
    const Layout layout = ListingLayout();
    QWidget window;
    for (auto _ : state) {
        WorkProgress watch(QStringLiteral("列印"), QStringLiteral("排版中…"), &window);
        benchmark::DoNotOptimize(Paginate(layout, rows, watch.progress()));
    }
}
BENCHMARK(BM_ThousandLinesLayoutUnderWorkProgress)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return qtmv::bench::RunAsTheProgramRuns<QApplication>(argc, argv);
}
