// Loading a process grid: 10,000 rows of 90 text columns moved into the grid
// and painted once, as a load of the largest kind would.
#include "platform/ui/GridHelpers.h"
#include "platform/bench/RunBenchmarks.h"

#include <QApplication>
#include <QPixmap>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

qtmv::CellTable MakeRows(int rows, int cols)
{
    qtmv::CellTable table(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        auto& row = table[static_cast<std::size_t>(r)];
        row.reserve(static_cast<std::size_t>(cols));
        for (int c = 0; c < cols; ++c)
            row.push_back(c % 3 == 0 ? "工單" + std::to_string(r * 100 + c) : "1234.50 " + std::to_string(c));
    }
    return table;
}

void Prepare(qtmv::SpreadGrid& grid, int cols)
{
    std::vector<std::string> headings;
    for (int c = 1; c <= cols; ++c)
        headings.push_back("欄" + std::to_string(c));
    qtmv::SetupGrid(grid, 500, headings);
    grid.setFrozenColumns(3);
    grid.resize(1200, 800);
    grid.show();
    QApplication::processEvents();
}

void BM_LoadAndShow(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const int cols = static_cast<int>(state.range(1));
    qtmv::SpreadGrid grid;
    Prepare(grid, cols);
    for (auto _ : state) {
        state.PauseTiming();
        qtmv::CellTable table = MakeRows(rows, cols);
        state.ResumeTiming();
        qtmv::CopyRowsToGrid(grid, std::move(table));
        grid.setActiveCell(1, 1);
        // Paint the visible part, as showing the loaded grid does.
        QPixmap shot = grid.grab();
        benchmark::DoNotOptimize(shot);
    }
    state.counters["rows"] = rows;
    state.counters["cols"] = cols;
}
BENCHMARK(BM_LoadAndShow)->Args({10000, 90})->Args({500, 90})->Unit(benchmark::kMillisecond);

void BM_ReadAllCells(benchmark::State& state)
{
    qtmv::SpreadGrid grid;
    Prepare(grid, 90);
    qtmv::CopyRowsToGrid(grid, MakeRows(10000, 90));
    for (auto _ : state) {
        qtmv::CellTable cells = qtmv::ReadGridCells(grid);
        benchmark::DoNotOptimize(cells);
    }
}
BENCHMARK(BM_ReadAllCells)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns<QApplication>(argc, argv); }
