// The data-access layer's costs: translating statement texts, the locator
// query-and-update cycle of saving, and reading a large joined result (the
// printing grid's load statement on the 100,000-work-order demo plant,
// $QTMV_BENCH_DB or /tmp/qtmv-load-bench/QTMV.mdb) side by side with plain
// SQLite reading the same rows the fastest way (bench/PlainSqlite.h).
#include "app/core/DatabaseLocation.h"
#include "records/core/GridLayout.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Translator.h"
#include "tools/demo-db/DemoPlant.h"

#include "bench/PlainSqlite.h"
#include "platform/bench/RunBenchmarks.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Po(int i)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "P%07d", i);
    return buf;
}

// The printing grid's load statement as the program builds it.
std::string LoadQuery(const std::string& machine, qtmv::daily::SortOption sort = qtmv::daily::SortOption::Sequence)
{
    return qtmv::daily::BuildLoadQuery(qtmv::KindOf(qtmv::KindId::Printing), machine, sort);
}

void BM_TranslateCacheHit(benchmark::State& state)
{
    const std::string sql = LoadQuery("M01");
    for (auto _ : state)
        benchmark::DoNotOptimize(jet::Translate(sql));
    state.SetLabel(std::to_string(sql.size()) + " bytes");
}
BENCHMARK(BM_TranslateCacheHit);

void BM_TranslateCacheMiss(benchmark::State& state)
{
    // More distinct texts than the cache holds: every translation is new.
    std::vector<std::string> texts;
    for (int i = 0; i < 4096; ++i) {
        std::string machine = std::to_string(i);
        machine.insert(machine.begin(), 'M'); // ("M" + s trips a false -Wrestrict at -O3)
        texts.push_back(LoadQuery(machine));
    }
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(jet::Translate(texts[i++ % texts.size()]));
    state.SetLabel(std::to_string(texts[0].size()) + " bytes");
}
BENCHMARK(BM_TranslateCacheMiss);

void BM_TranslateLocatorMiss(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (int i = 0; i < 4096; ++i)
        texts.push_back("select PO, [NO], FDATE, ACT from [PRINTING] where PO = '" + Po(i) + "' and [NO] = 1");
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(jet::Translate(texts[i++ % texts.size()]));
}
BENCHMARK(BM_TranslateLocatorMiss);

// ---- databases -----------------------------------------------------------

void Exec(sqlite3* db, const std::string& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string m = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error(m + " in " + sql);
    }
}

// Work-order lines for the locator cycles, written to by them: a database
// of its own, dropped at the end.
class BenchDatabase {
public:
    BenchDatabase()
    {
        dir_ = fs::temp_directory_path() / ("jet-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        path_ = (dir_ / "QTMV.mdb").string();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        Exec(db, "begin");
        fill(db);
        Exec(db, "commit");
        sqlite3_close(db);
    }
    ~BenchDatabase()
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string connectionString() const
    {
        return qtmv::ConnectionStringFor(path_);
    }
    const std::string& path() const { return path_; }

    static constexpr int printingLines = 100000;

private:
    static void fill(sqlite3* db)
    {
        // Work-order lines: 100,000 rows keyed by (PO, [NO]).
        std::string cols;
        for (int i = 0; i < 16; ++i)
            cols += ", C" + std::to_string(i) + " text";
        Exec(db, "create table PRINTING (PO text collate nocase, \"NO\" integer, FDATE text collate nocase, ACT text "
                 "collate nocase" + cols + ")");
        Exec(db, "create index PRINTING_KEY on PRINTING (PO, \"NO\")");
        Exec(db, "with recursive n(i) as (select 0 union all select i + 1 from n where i < " +
                     std::to_string(printingLines - 1) + ") insert into PRINTING (PO, \"NO\", FDATE, ACT, C0, C1, C2) "
                     "select printf('P%07d', i), 1 + i % 2, '', '', 'c0', 'c1', 'c2' from n");

        Exec(db, "analyze");
    }

    fs::path dir_;
    std::string path_;
};

const BenchDatabase& TheBenchDatabase()
{
    static const BenchDatabase db;
    return db;
}

// 10,000 locator query + optimistic update cycles in one transaction, as a
// save of 10,000 rows does.
void BM_LocatorUpdateCycles(benchmark::State& state)
{
    const BenchDatabase& db = TheBenchDatabase();
    std::vector<int> order(10000);
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> pick(0, BenchDatabase::printingLines / 2 - 1);
    for (int& o : order)
        o = pick(rng) * 2; // lines with [NO] = 1
    int round = 0;
    for (auto _ : state) {
        jet::Connection conn;
        conn.open(db.connectionString());
        jet::Transaction t(conn);
        const std::string stamp = "11301" + std::to_string(10 + round++ % 80);
        for (const int i : order) {
            jet::Recordset rs;
            rs.open("select PO, [NO], FDATE, ACT from [PRINTING] where PO = '" + jet::SqlText(Po(i)) +
                        "' and [NO] = 1",
                    conn, jet::CursorLocation::Client, jet::CursorType::Dynamic, jet::LockType::Optimistic);
            if (rs.recordCount() != 1)
                throw std::runtime_error("locator found no row");
            rs.set("FDATE", stamp);
            rs.update();
        }
        t.commit();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(order.size()));
}
BENCHMARK(BM_LocatorUpdateCycles)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- Reading the load statement --------------------------------------------
// On one open connection, as an operation reading it again would: the data
// layer prepares the statement once and keeps it; plain SQLite the same.

const std::string& DemoPlant()
{
    static const std::string path =
        qtmv::demo::KeptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
    return path;
}

void Label(benchmark::State& state, std::size_t rows, std::size_t cols)
{
    state.SetLabel(std::to_string(rows) + " rows x " + std::to_string(cols) + " columns");
}

// A client-side static recordset: every row kept.
void BM_JoinReadRecordset(benchmark::State& state)
{
    const std::string sql = LoadQuery("");
    jet::Connection conn;
    conn.open(qtmv::ConnectionStringFor(DemoPlant()));
    std::size_t rows = 0, cols = 0;
    for (auto _ : state) {
        jet::Recordset rs;
        rs.open(sql, conn);
        rows = rs.rows().size();
        cols = static_cast<std::size_t>(rs.fieldCount());
        benchmark::DoNotOptimize(rs.rows().data());
    }
    Label(state, rows, cols);
}
BENCHMARK(BM_JoinReadRecordset)->Unit(benchmark::kMillisecond);

// Its floor: the statement stepped with typed reads into the same kind of
// rows, all kept.
void BM_JoinReadDirect(benchmark::State& state)
{
    const qtmv::bench::PlainStatement st(DemoPlant(), jet::Translate(LoadQuery("")));
    sqlite3_stmt* s = st.get();
    const int n = sqlite3_column_count(s);
    std::size_t rows = 0;
    for (auto _ : state) {
        std::vector<std::vector<jet::Value>> out;
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::vector<jet::Value>& row = out.emplace_back(static_cast<std::size_t>(n));
            for (int c = 0; c < n; ++c)
                row[static_cast<std::size_t>(c)] = qtmv::bench::TypedValue(s, c);
        }
        sqlite3_reset(s);
        rows = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    Label(state, rows, static_cast<std::size_t>(n));
}
BENCHMARK(BM_JoinReadDirect)->Unit(benchmark::kMillisecond);

// A forward-only recordset stepped through, each value looked at once.
void BM_JoinStreamRecordset(benchmark::State& state)
{
    const std::string sql = LoadQuery("");
    jet::Connection conn;
    conn.open(qtmv::ConnectionStringFor(DemoPlant()));
    std::size_t rows = 0, bytes = 0;
    for (auto _ : state) {
        jet::Recordset rs;
        rs.open(sql, conn, jet::CursorLocation::Server, jet::CursorType::ForwardOnly, jet::LockType::ReadOnly);
        rows = bytes = 0;
        for (; !rs.eof(); rs.moveNext(), ++rows)
            for (const jet::Value& v : rs.rows().front())
                bytes += v.textIf() ? v.textIf()->size() : 1;
        benchmark::DoNotOptimize(bytes);
    }
    state.SetLabel(std::to_string(rows) + " rows");
}
BENCHMARK(BM_JoinStreamRecordset)->Unit(benchmark::kMillisecond);

// Its floor: typed reads straight from the statement, nothing kept.
void BM_JoinStreamDirect(benchmark::State& state)
{
    const qtmv::bench::PlainStatement st(DemoPlant(), jet::Translate(LoadQuery("")));
    sqlite3_stmt* s = st.get();
    const int n = sqlite3_column_count(s);
    std::size_t rows = 0, bytes = 0;
    for (auto _ : state) {
        rows = bytes = 0;
        for (; sqlite3_step(s) == SQLITE_ROW; ++rows)
            for (int c = 0; c < n; ++c)
                switch (sqlite3_column_type(s, c)) {
                case SQLITE_INTEGER: bytes += static_cast<std::size_t>(sqlite3_column_int64(s, c) & 1); break;
                case SQLITE_FLOAT: bytes += sqlite3_column_double(s, c) > 0 ? 1 : 0; break;
                case SQLITE_NULL: bytes += 1; break;
                default:
                    benchmark::DoNotOptimize(sqlite3_column_text(s, c));
                    bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, c));
                }
        sqlite3_reset(s);
        benchmark::DoNotOptimize(bytes);
    }
    Label(state, rows, static_cast<std::size_t>(n));
}
BENCHMARK(BM_JoinStreamDirect)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns<>(argc, argv); }
