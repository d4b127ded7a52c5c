// Loading the open printing pieces of a large plant: the loader (connection,
// translation, client-side recordset, grid texts, printing extras) against
// the same translated statement run straight on SQLite, copying every value
// into a string.
//
// The demo database (100,000 work orders) is generated once into
// $QTMV_BENCH_DB or /tmp/qtmv-load-bench/QTMV.mdb and reused afterwards.
#include "app/core/DatabaseLocation.h"
#include "daily_report/core/GridLoader.h"
#include "platform/jet/SqliteFunctions.h"
#include "platform/jet/Translator.h"
#include "platform/text/Text.h"
#include "tools/demo-db/DemoPlant.h"

#include "platform/os/Host.h"
#include "bench/RunBenchmarks.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

std::string benchDatabase()
{
    return demo::keptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
}

const std::string& database()
{
    static const std::string path = benchDatabase();
    return path;
}

const ProcessKind& printing() { return kindOf(KindId::Printing); }

void BM_Loader(benchmark::State& state)
{
    const auto sort = static_cast<SortOption>(state.range(0));
    const std::string cs = ConnectionStringFor(database());
    std::size_t rows = 0;
    for (auto _ : state) {
        GridRows r = loadGrid(cs, printing(), "", sort);
        rows = r.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_SqliteAlone(benchmark::State& state)
{
    const auto sort = static_cast<SortOption>(state.range(0));
    const std::string sql = jet::translate(buildLoadQuery(printing(), "", sort));
    const std::string& path = database();
    std::size_t rows = 0;
    for (auto _ : state) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open the bench database");
        // The same SQL functions the data layer gives SQLite, so both sides run the same statement.
        jet::registerSqliteFunctions(db);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        std::vector<std::vector<std::string>> out;
        const int n = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::vector<std::string> row(static_cast<std::size_t>(n));
            for (int c = 0; c < n; ++c) {
                const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                if (t)
                    row[static_cast<std::size_t>(c)].assign(t, static_cast<std::size_t>(sqlite3_column_bytes(st, c)));
            }
            out.push_back(std::move(row));
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        rows = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

} // namespace

// Sort options 0 (work order) and 4 (schedule order).
BENCHMARK(BM_Loader)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SqliteAlone)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) { return qtmv::bench::runAsTheProgramRuns<>(argc, argv); }
