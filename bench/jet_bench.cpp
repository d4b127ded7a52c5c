// The data-access layer's costs: translating statement texts, the locator
// query-and-update cycle of saving, and reading a large joined result.
#include "app/core/DatabaseLocation.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Translator.h"
#include "platform/text/Text.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string po(int i)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "P%07d", i);
    return buf;
}

// The printing grid's load query shape: five left joins in Jet's nesting.
std::string loadQuery(const std::string& machine)
{
    const std::string s = "PRINTING_S";
    std::string cols;
    for (const char* c : {"PO", "[NO]", "SVENDER", "[DESC]", "COLOR1", "COLOR2", "[COUNT]", "MEMB", "PLAT", "[SIZE]",
                          "SIZEA", "OPT", "QTY", "UNIT", "PRICE", "BPRICE", "AMT", "BM", "COLOR", "REM", "ACT",
                          "VENDER", "OPRICE", "OAMT", "[RIGHT]", "OPPOS", "QTY1", "QTY2", "CQTY", "CPRICE", "CAMT",
                          "ODATE", "FDATE", "ACTYN", "EAMTYN", "EAMT", "PDATE", "ID", "INO", "順序", "車別"})
        cols += s + "." + c + ", ";
    cols += "CUST.SNAME, PWORK.[DESC], PWORK.PDATE, PAPER.ITEM, GLAZE.ITEM, PAPER.FDATE, GLAZE.FDATE, ";
    cols += "預排資料.ODATE, ";
    for (int i = 1; i <= 4; ++i)
        cols += "預排資料.PS" + std::to_string(i) + ", ";
    for (int i = 1; i <= 13; ++i)
        cols += "PWORK.PW" + std::to_string(i) + ", ";
    for (int i = 1; i <= 9; ++i)
        cols += "CUST.CU" + std::to_string(i) + ", ";
    for (const char* t : {"IMPRINT", "PLATE", "PAPER", "TRIM"})
        cols += "iif(" + std::string(t) + ".FDATE is null or " + t + ".FDATE = '', '', 'V') as F" + t + ", ";
    cols += "'' as 預估";
    std::string from = "[預排資料] inner join [" + s + "] on 預排資料.ID = " + s + ".ID";
    from = "(" + from + ") inner join [PWORK] on " + s + ".PO = PWORK.PO";
    from = "(" + from + ") inner join [CUST] on PWORK.CUST = CUST.ID";
    for (const char* t : {"IMPRINT", "PLATE", "PAPER", "GLAZE", "TRIM"})
        from = "(" + from + ") left join [" + t + "] on (" + s + ".PO = " + t + ".PO and " + s + ".[NO] = " + t
            + ".[NO])";
    return "select " + cols + " from " + from + " where (" + s + ".FDATE = '' or " + s
        + ".FDATE is null) and (PWORK.FDATE = '' or PWORK.FDATE is null) and " + s + ".車別 = '"
        + jet::sqlText(machine) + "' order by val(" + s + ".順序), " + s + ".ID desc, " + s + ".PO, " + s + ".[NO], "
        + s + ".INO";
}

void BM_TranslateCacheHit(benchmark::State& state)
{
    const std::string sql = loadQuery("M01");
    for (auto _ : state)
        benchmark::DoNotOptimize(jet::translate(sql));
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
        texts.push_back(loadQuery(machine));
    }
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(jet::translate(texts[i++ % texts.size()]));
    state.SetLabel(std::to_string(texts[0].size()) + " bytes");
}
BENCHMARK(BM_TranslateCacheMiss);

void BM_TranslateLocatorMiss(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (int i = 0; i < 4096; ++i)
        texts.push_back("select PO, [NO], FDATE, ACT from [PRINTING] where PO = '" + po(i) + "' and [NO] = 1");
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(jet::translate(texts[i++ % texts.size()]));
}
BENCHMARK(BM_TranslateLocatorMiss);

// ---- databases -----------------------------------------------------------

void exec(sqlite3* db, const std::string& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string m = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error(m + " in " + sql);
    }
}

class BenchDatabase {
public:
    BenchDatabase()
    {
        dir_ = fs::temp_directory_path() / ("jet-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        path_ = (dir_ / "QTMV.mdb").string();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        exec(db, "begin");
        fill(db);
        exec(db, "commit");
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
    static constexpr int scheduledRows = 10000;

private:
    static void fill(sqlite3* db)
    {
        // Work-order lines: 100,000 rows keyed by (PO, [NO]).
        std::string cols;
        for (int i = 0; i < 16; ++i)
            cols += ", C" + std::to_string(i) + " text";
        exec(db, "create table PRINTING (PO text collate nocase, \"NO\" integer, FDATE text collate nocase, ACT text "
                 "collate nocase" + cols + ")");
        exec(db, "create index PRINTING_KEY on PRINTING (PO, \"NO\")");
        exec(db, "with recursive n(i) as (select 0 union all select i + 1 from n where i < " +
                     std::to_string(printingLines - 1) + ") insert into PRINTING (PO, \"NO\", FDATE, ACT, C0, C1, C2) "
                     "select printf('P%07d', i), 1 + i % 2, '', '', 'c0', 'c1', 'c2' from n");

        // The printing grid's tables: 10,000 open scheduled pieces.
        std::string s = "create table PRINTING_S (";
        bool first = true;
        for (const char* c : {"PO", "NO", "SVENDER", "DESC", "COLOR1", "COLOR2", "COUNT", "MEMB", "PLAT", "SIZE",
                              "SIZEA", "OPT", "QTY", "UNIT", "PRICE", "BPRICE", "AMT", "BM", "COLOR", "REM", "ACT",
                              "VENDER", "OPRICE", "OAMT", "RIGHT", "OPPOS", "QTY1", "QTY2", "CQTY", "CPRICE", "CAMT",
                              "ODATE", "FDATE", "ACTYN", "EAMTYN", "EAMT", "PDATE", "ID", "INO", "順序", "車別"}) {
            s += (first ? "\"" : ", \"") + std::string(c) + "\"";
            first = false;
        }
        exec(db, s + ")");
        exec(db, "create index PRINTING_S_KEY on PRINTING_S (PO, \"NO\")");
        auto extra = [](const char* prefix, int n) {
            std::string c;
            for (int i = 1; i <= n; ++i)
                c += std::string(", ") + prefix + std::to_string(i) + " text default '" + prefix + "'";
            return c;
        };
        exec(db, "create table 預排資料 (ID text primary key, ODATE text" + extra("PS", 4) + ")");
        exec(db, "create table PWORK (PO text primary key, CUST text, FDATE text, \"DESC\" text, PDATE text" +
                     extra("PW", 13) + ")");
        exec(db, "create table CUST (ID text primary key, SNAME text" + extra("CU", 9) + ")");
        for (const char* t : {"IMPRINT", "PLATE", "PAPER", "GLAZE", "TRIM"}) {
            exec(db, std::string("create table ") + t + " (PO text, \"NO\" integer, FDATE text, ITEM text)");
            exec(db, std::string("create index ") + t + "_KEY on " + t + " (PO, \"NO\")");
        }
        const std::string n = "with recursive n(i) as (select 0 union all select i + 1 from n where i < " +
                               std::to_string(scheduledRows - 1) + ") ";
        exec(db, n + "insert into 預排資料 (ID, ODATE) select printf('S%05d', i), '1130101' from n where i < 500");
        exec(db, n + "insert into CUST (ID, SNAME) select printf('C%04d', i), '客戶' || i from n where i < 300");
        exec(db, n + "insert into PWORK (PO, CUST, FDATE, \"DESC\", PDATE) select printf('P%07d', i), printf('C%04d', i % 300), '', '產品說明 ' || i, "
                     "'1130301' from n");
        exec(db, n + "insert into PRINTING_S select printf('P%07d', i), 1, '廠商' || (i % 40), '印刷 ' || i, 4, 1, "
                     "2, 1, 8, '787x1092', 'A', '▼', 1000 + i, '張', 1.25, 1.5, 1250.5, 'B', '四色', '說明文字 ' || i, "
                     "'', 'V' || (i % 40), 1.1, 1100, 'R', 'O', 500, 500, 0, 0, 0, '1130201', '', '', '', 0, '', "
                     "printf('S%05d', i % 500), i, cast(i % 37 as text), 'M01' from n");
        exec(db, n + "insert into PAPER select printf('P%07d', i), 1, '1130105', '銅版紙' from n where i % 2 = 0");
        exec(db, n + "insert into IMPRINT select printf('P%07d', i), 1, '', 'x' from n where i % 3 = 0");
        exec(db, n + "insert into GLAZE select printf('P%07d', i), 1, null, '亮光' from n where i % 5 = 0");
        exec(db, "analyze");
    }

    fs::path dir_;
    std::string path_;
};

const BenchDatabase& benchDatabase()
{
    static const BenchDatabase db;
    return db;
}

// 10,000 locator query + optimistic update cycles in one transaction, as a
// save of 10,000 rows does.
void BM_LocatorUpdateCycles(benchmark::State& state)
{
    const BenchDatabase& db = benchDatabase();
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
            rs.open("select PO, [NO], FDATE, ACT from [PRINTING] where PO = '" + jet::sqlText(po(i)) +
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

void BM_JoinReadRecordset(benchmark::State& state)
{
    const BenchDatabase& db = benchDatabase();
    const std::string sql = loadQuery("M01");
    jet::Connection conn;
    conn.open(db.connectionString());
    std::size_t rows = 0, cols = 0;
    for (auto _ : state) {
        jet::Recordset rs;
        rs.open(sql, conn);
        rows = rs.rows().size();
        cols = static_cast<std::size_t>(rs.fieldCount());
        benchmark::DoNotOptimize(rs.rows().data());
    }
    state.SetLabel(std::to_string(rows) + " rows x " + std::to_string(cols) + " columns");
}
BENCHMARK(BM_JoinReadRecordset)->Unit(benchmark::kMillisecond);

// The same translated statement, stepped with the C API and its values
// copied into the same kind of rows: the floor for the Recordset.
void BM_JoinReadDirect(benchmark::State& state)
{
    const BenchDatabase& db = benchDatabase();
    const std::string sql = jet::translate(loadQuery("M01"));
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.path().c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_create_function_v2(
        h, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
        [](sqlite3_context* ctx, int, sqlite3_value** v) {
            if (sqlite3_value_type(v[0]) == SQLITE_NULL)
                sqlite3_result_null(ctx);
            else
                sqlite3_result_double(ctx, qtmv::Val(reinterpret_cast<const char*>(sqlite3_value_text(v[0]))));
        },
        nullptr, nullptr, nullptr);
    std::size_t rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h, sql.c_str(), static_cast<int>(sql.size()), &s, nullptr);
        const int n = sqlite3_column_count(s);
        std::vector<std::vector<jet::Value>> out;
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::vector<jet::Value>& row = out.emplace_back(static_cast<std::size_t>(n));
            for (int c = 0; c < n; ++c) {
                jet::Value& v = row[static_cast<std::size_t>(c)];
                switch (sqlite3_column_type(s, c)) {
                case SQLITE_INTEGER: v = jet::Value(static_cast<long long>(sqlite3_column_int64(s, c))); break;
                case SQLITE_FLOAT: v = jet::Value(sqlite3_column_double(s, c)); break;
                case SQLITE_NULL: break;
                default:
                    v = jet::Value(std::string_view(
                        reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                        static_cast<std::size_t>(sqlite3_column_bytes(s, c))));
                }
            }
        }
        sqlite3_finalize(s);
        rows = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    sqlite3_close(h);
    state.SetLabel(std::to_string(rows) + " rows");
}
BENCHMARK(BM_JoinReadDirect)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
