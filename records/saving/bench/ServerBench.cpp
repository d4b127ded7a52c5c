// Many workstations on one database, on an SQLite file and on a PostgreSQL
// server database (the server of scripts/with-postgres.sh: run as
//     sh scripts/with-postgres.sh build/records/saving/bench/server_bench
// ). Both engines hold the same demo plant.
//
//   BM_Contention  eight processes, each loading the same first 200 open
//                  printing pieces and saving a new completion remark in all
//                  200 (with the write-back of their lines) again and again
//                  for $QTMV_CONTENTION_SECONDS (30) seconds. Counters: saves
//                  and cells per second in all, "errors" (a save that did not
//                  succeed or a message a user would have seen) and "lost"
//                  (pieces whose stored remark is not the last one the
//                  change history says was saved, plus saves missing from
//                  the history).
//   BM_Load        loading the open printing pieces (10,000 and more), after
//                  one load that is not timed.
//
// The demo plant (27,000 work orders) is generated once into
// $QTMV_SERVER_BENCH_DB or /tmp/qtmv-server-bench/QTMV.mdb and reused; each
// run works on a copy with more printing pieces open, copied to the server.
#include "app/core/Session.h"
#include "common/Clock.h"
#include "records/core/ChangeFlags.h"
#include "records/core/GridLayout.h"
#include "records/core/GridLoader.h"
#include "records/saving/Saving.h"
#include "db/Copy.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/testing/ServerDatabase.h"
#include "platform/os/MessageBox.h"
#include "tools/demo-db/DemoPlant.h"

#include "platform/bench/RunBenchmarks.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

constexpr int kProcesses = 8;
constexpr std::size_t kCells = 200;

const ProcessKind& Printing() { return *KindByDisplayName("D-印刷"); }

const std::string& PlantFile()
{
    static const std::string path =
        demo::KeptDemoPlant("QTMV_SERVER_BENCH_DB", "/tmp/qtmv-server-bench/QTMV.mdb", 27000);
    return path;
}

// The demo plant on the engine the benchmark's argument names (0 file, 1 server).
class Plant {
public:
    explicit Plant(bool server)
    {
        file_ = std::make_unique<db::test::FreshDatabase>(db::test::CopyOf(PlantFile()));
        // Every ninth printing piece and its work order open again: some
        // 10,500 open printing pieces in all.
        file_->exec("update PWORK set FDATE = '' where PO in (select PO from PRINTING_S where rowid % 9 = 0)");
        file_->exec("update PRINTING_S set FDATE = '' where rowid % 9 = 0");
        connection_ = file_->connectionString();
        if (server) {
            if (!jet::testing::TestServer())
                throw std::runtime_error(jet::testing::kNoTestServer);
            server_ = std::make_unique<jet::testing::ServerDatabase>();
            db::CopyDatabase(connection_, server_->connectionString());
            connection_ = server_->connectionString();
        }
    }
    const std::string& connectionString() const { return connection_; }

private:
    std::unique_ptr<db::test::FreshDatabase> file_;
    std::unique_ptr<jet::testing::ServerDatabase> server_;
    std::string connection_;
};

// The plant for the benchmark's argument; none (the benchmark skipped, saying why) without a server.
std::unique_ptr<Plant> PlantFor(benchmark::State& state)
{
    try {
        return std::make_unique<Plant>(state.range(0) == 1);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return nullptr;
    }
}

struct WorkstationResult {
    long long saves = 0;
    long long errors = 0;
    long long written = 0; // saves whose cells were stored (a failed write-back after them is an error)
};

// One workstation's loop, in a process of its own.
WorkstationResult Workstation(const std::string& connectionString, int number, double seconds)
{
    WorkstationResult out;
    Session s;
    s.ConnectionString = connectionString;
    s.WorkstationUser = "PC" + std::to_string(number) + "\\bench";
    s.IdentityEstablished = s.RightsEstablished = true;
    const GridLayout& l = GridLayoutOf(Printing());
    const int remark = l.column("完工說明");
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    ScriptedMessages messages;
    messages.setDefaultAnswer(MsgAnswer::Yes);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (long long n = 0; std::chrono::steady_clock::now() < end; ++n) {
        GridRows rows = LoadGrid(connectionString, Printing(), "", SortOption::WorkOrder);
        rows.resize(std::min(rows.size(), kCells));
        ChangeFlags flags(l.columnCount(), static_cast<int>(rows.size()));
        for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
            rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(remark - 1)] =
                "W" + std::to_string(number) + "#" + std::to_string(n);
            flags.set(r, remark);
        }
        messages.clear();
        SaveContext ctx{s, clock, [] {}};
        const SaveOutcome r = SaveDailyReport(Printing(), rows, flags, ctx, rows);
        bool told = false;
        for (const auto& m : messages.shown())
            told = told || m.icon == MsgIcon::Critical || m.icon == MsgIcon::Exclamation;
        if (r.complete() && !told)
            ++out.saves;
        else
            ++out.errors;
        if (r.result.saved())
            ++out.written;
    }
    return out;
}

// Pieces whose stored remark is not the last one the history recorded, and
// stored saves the history lacks (or has more of).
long long LostUpdates(const std::string& connectionString, long long written)
{
    jet::Connection c;
    c.open(connectionString);
    jet::Recordset rs;
    rs.open("select ID, INO, 新值 from [日報異動紀錄] where 欄位 = '完工說明' order by 序", c);
    std::map<std::pair<std::string, long long>, std::string> last;
    for (const auto& row : rs.rows())
        last[{row[0].text(), static_cast<long long>(row[1].number())}] = row[2].text();
    long long lost = std::llabs(static_cast<long long>(rs.rows().size()) - written * static_cast<long long>(kCells));
    for (const auto& [key, value] : last) {
        jet::Recordset piece;
        piece.open("select 完工說明 from [PRINTING_S] where ID = '" + key.first + "' and INO = " + std::to_string(key.second),
                   c);
        if (piece.eof() || piece.text("完工說明") != value)
            ++lost;
    }
    return lost;
}

void BM_Contention(benchmark::State& state)
{
    const char* env = std::getenv("QTMV_CONTENTION_SECONDS");
    const double seconds = env ? std::atof(env) : 30.0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Plant> plant = PlantFor(state);
        if (!plant)
            return;
        state.ResumeTiming();
        std::vector<std::pair<pid_t, int>> children;
        for (int p = 0; p < kProcesses; ++p) {
            int fds[2];
            if (::pipe(fds) != 0)
                throw std::runtime_error("pipe");
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(fds[0]);
                WorkstationResult r{0, 1, 0};
                try {
                    r = Workstation(plant->connectionString(), p + 1, seconds);
                } catch (...) {
                }
                const ssize_t written = ::write(fds[1], &r, sizeof r);
                ::_exit(written == sizeof r ? 0 : 1);
            }
            ::close(fds[1]);
            children.emplace_back(pid, fds[0]);
        }
        WorkstationResult all;
        for (const auto& [pid, fd] : children) {
            WorkstationResult r{0, 1, 0};
            if (::read(fd, &r, sizeof r) != static_cast<ssize_t>(sizeof r))
                r = {0, 1};
            ::close(fd);
            int status = 0;
            ::waitpid(pid, &status, 0);
            all.saves += r.saves;
            all.errors += r.errors;
            all.written += r.written;
        }
        state.PauseTiming();
        state.counters["saves_per_s"] = static_cast<double>(all.saves) / seconds;
        state.counters["cells_per_s"] = static_cast<double>(all.saves * static_cast<long long>(kCells)) / seconds;
        state.counters["errors"] = static_cast<double>(all.errors);
        state.counters["lost"] = static_cast<double>(LostUpdates(plant->connectionString(), all.written));
        plant.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Contention)->ArgName("server")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_Load(benchmark::State& state)
{
    const std::unique_ptr<Plant> plant = PlantFor(state);
    if (!plant)
        return;
    // A working plant's load, not the first one after the copy: that one
    // also reads the file into the page cache, or on the server sets the
    // new rows' visibility hints, which the server's autovacuum otherwise
    // does within a minute of the copy.
    std::size_t rows = LoadGrid(plant->connectionString(), Printing(), "", SortOption::WorkOrder).size();
    for (auto _ : state)
        rows = LoadGrid(plant->connectionString(), Printing(), "", SortOption::WorkOrder).size();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_Load)->ArgName("server")->Arg(0)->Arg(1)->MinTime(2.0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns(argc, argv); }
