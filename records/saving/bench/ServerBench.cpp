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
//   BM_Plant50     the shape of a working plant: fifty workstation processes
//                  for $QTMV_PLANT_SECONDS (30) seconds, spread over six kinds
//                  (14 printing, 9 die-cutting, 8 varnishing, 7 gluing, 7
//                  cutting, 5 binding; $QTMV_PLANT_WORKSTATIONS scales the
//                  fifty, each kind keeping its share and one workstation at
//                  least, counted in "workstations"), after one untimed load of
//                  each kind. Each round a workstation saves a new completion
//                  remark in 5 to 20 pieces, mostly on work-order lines only it
//                  writes, about one in five on the kind's first 20 lines,
//                  which all of the kind's workstations write, and waits 1 to 4
//                  seconds (all drawn from a generator seeded by the
//                  workstation's number). It loads its kind's whole grid before
//                  its first round and then every reload_every-th round. With 1
//                  it loads before every save, and all start at once. With 5
//                  the grid is refreshed now and then and kept in between with
//                  what was saved, as the window keeps it; the workstations
//                  start within 4 seconds of each other. Counters: "median_ms",
//                  "p95_ms", "p99_ms" of every save's time (the SaveDailyReport
//                  call, all workstations together), "saves_per_second",
//                  "errors" and "lost" as in BM_Contention (a failed load
//                  counts as an error too), and "connections": on the server
//                  the most connections to the database at once besides the
//                  sampler's, sampled every 100 ms from pg_stat_activity
//                  (autovacuum's included); on the file the opens per save
//                  (jet::Connection::opensSoFar counts opens, not the
//                  connections held at the same time). The machine's load
//                  beside them: "busy_cores", how many of its cores were busy
//                  on average during the run (all its processes, the server's
//                  included), and "workstation_cores", how many of them the
//                  workstation processes used; on one machine the rest is
//                  mostly the server's. The messages behind the errors, and
//                  questions asked without their list because the preview
//                  failed, go to stderr with their counts.
//
// The demo plant (27,000 work orders) is generated once into
// $QTMV_SERVER_BENCH_DB or /tmp/qtmv-server-bench/QTMV.mdb and reused; each
// run works on a copy with more pieces open (every ninth of each kind the
// benchmark works on, with its work order, and for BM_Plant50 its
// work-order line), copied to the server.
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
#include "tools/demo-db/Random.h"

#include "platform/bench/RunBenchmarks.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

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

// Which pieces a plant opens again: every ninth of these kinds, with its
// work order. Their work-order lines stay marked finished unless `lines`
// opens them too; then the first save of a kind repairs them all (its
// write-back opens every line marked finished that has an open piece: some
// 4,000 printing lines, in the question's preview and again in the save).
struct Reopened {
    std::vector<const ProcessKind*> kinds{&Printing()};
    bool lines = false;
};

// The demo plant on the engine the benchmark's argument names (0 file, 1 server).
class Plant {
public:
    explicit Plant(bool server, const Reopened& reopened = {})
    {
        file_ = std::make_unique<db::test::FreshDatabase>(db::test::CopyOf(PlantFile()));
        // Every ninth piece and its work order open again: some 10,500 open
        // printing pieces in all.
        for (const ProcessKind* kind : reopened.kinds) {
            const std::string pieces(kind->scheduledTable);
            file_->exec("update PWORK set FDATE = '' where PO in (select PO from " + pieces + " where rowid % 9 = 0)");
            file_->exec("update " + pieces + " set FDATE = '' where rowid % 9 = 0");
            if (reopened.lines) {
                const std::string lines(kind->detailTable);
                file_->exec("update " + lines + " set FDATE = '', ACT = '' where exists (select 1 from " + pieces +
                            " where " + pieces + ".PO = " + lines + ".PO and " + pieces + ".[NO] = " + lines +
                            ".[NO] and (" + pieces + ".FDATE = '' or " + pieces + ".FDATE is null))");
            }
        }
        connection_ = file_->connectionString();
        if (server) {
            if (!jet::testing::TestServer())
                throw std::runtime_error(jet::testing::kNoTestServer);
            server_ = std::make_unique<jet::testing::ServerDatabase>();
            db::CopyDatabase(connection_, server_->connectionString());
            connection_ = server_->connectionString();
            // A working plant's tables, not ones just copied: the server's
            // autovacuum and checkpoint would otherwise visit the new rows
            // during the first runs, on the cores they run on (loads took
            // 180 to 250 ms by turns).
            jet::Connection c;
            c.open(connection_);
            c.executeNative("vacuum analyze");
            c.executeNative("checkpoint");
        }
    }
    const std::string& connectionString() const { return connection_; }

private:
    std::unique_ptr<db::test::FreshDatabase> file_;
    std::unique_ptr<jet::testing::ServerDatabase> server_;
    std::string connection_;
};

// The plant for the benchmark's argument; none (the benchmark skipped, saying why) without a server.
std::unique_ptr<Plant> PlantFor(benchmark::State& state, const Reopened& reopened = {})
{
    try {
        return std::make_unique<Plant>(state.range(0) == 1, reopened);
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
// stored remarks the history lacks (or has more of): `cells` is how many
// remarks the saves that were stored wrote.
long long LostUpdates(const std::string& connectionString, long long cells)
{
    jet::Connection c;
    c.open(connectionString);
    jet::Recordset rs;
    rs.open("select 種類, ID, INO, 新值 from [日報異動紀錄] where 欄位 = '完工說明' order by 序", c);
    std::map<std::tuple<std::string, std::string, long long>, std::string> last;
    for (const auto& row : rs.rows())
        last[{row[0].text(), row[1].text(), static_cast<long long>(row[2].number())}] = row[3].text();
    long long lost = std::llabs(static_cast<long long>(rs.rows().size()) - cells);
    for (const auto& [key, value] : last) {
        const auto& [kindName, id, ino] = key;
        const ProcessKind* kind = KindByDisplayName(kindName);
        if (!kind) {
            ++lost;
            continue;
        }
        jet::Recordset piece;
        piece.open("select 完工說明 from [" + std::string(kind->scheduledTable) + "] where ID = '" + id +
                       "' and INO = " + std::to_string(ino),
                   c);
        if (piece.eof() || piece.text("完工說明") != value)
            ++lost;
    }
    return lost;
}

// Starts `count` workstation processes, numbered from 1: each runs
// work(number, fd), which writes its result into the pipe `fd`, and exits
// (status 1 when the result could not be written). Returns each child's pid
// with the pipe's reading end.
template <class Work>
std::vector<std::pair<pid_t, int>> ForkWorkstations(int count, Work&& work)
{
    std::vector<std::pair<pid_t, int>> children;
    for (int number = 1; number <= count; ++number) {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe");
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            ::_exit(work(number, fds[1]) ? 0 : 1);
        }
        ::close(fds[1]);
        children.emplace_back(pid, fds[0]);
    }
    return children;
}

// After its result was read: the pipe closed, the process waited for.
void EndWorkstation(pid_t pid, int fd)
{
    ::close(fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
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
        const auto children = ForkWorkstations(kProcesses, [&](int number, int fd) {
            WorkstationResult r{0, 1, 0};
            try {
                r = Workstation(plant->connectionString(), number, seconds);
            } catch (...) {
            }
            return ::write(fd, &r, sizeof r) == static_cast<ssize_t>(sizeof r);
        });
        WorkstationResult all;
        for (const auto& [pid, fd] : children) {
            WorkstationResult r{0, 1, 0};
            if (::read(fd, &r, sizeof r) != static_cast<ssize_t>(sizeof r))
                r = {0, 1};
            EndWorkstation(pid, fd);
            all.saves += r.saves;
            all.errors += r.errors;
            all.written += r.written;
        }
        state.PauseTiming();
        state.counters["saves_per_s"] = static_cast<double>(all.saves) / seconds;
        state.counters["cells_per_s"] = static_cast<double>(all.saves * static_cast<long long>(kCells)) / seconds;
        state.counters["errors"] = static_cast<double>(all.errors);
        state.counters["lost"] =
            static_cast<double>(LostUpdates(plant->connectionString(), all.written * static_cast<long long>(kCells)));
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
    // also reads the file into the page cache.
    std::size_t rows = LoadGrid(plant->connectionString(), Printing(), "", SortOption::WorkOrder).size();
    for (auto _ : state)
        rows = LoadGrid(plant->connectionString(), Printing(), "", SortOption::WorkOrder).size();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_Load)->ArgName("server")->Arg(0)->Arg(1)->MinTime(2.0)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- BM_Plant50 ---------------------------------------------------------------

// How the fifty workstations are spread over the kinds; a kind's workstations
// share its grid.
struct KindShare {
    std::string_view kind;
    int workstations;
};
constexpr KindShare kPlantShares[] = {
    {"D-印刷", 14}, {"G-軋工", 9}, {"E-上光", 8}, {"H-糊工", 7}, {"I-裁摺", 7}, {"J-裝訂", 5},
};
// The first lines of a kind's grid, which every workstation of the kind writes.
constexpr std::size_t kSharedLines = 20;

std::vector<const ProcessKind*> PlantKinds()
{
    std::vector<const ProcessKind*> kinds;
    for (const KindShare& k : kPlantShares)
        kinds.push_back(KindByDisplayName(k.kind));
    return kinds;
}

// A kind's workstations in this run: $QTMV_PLANT_WORKSTATIONS (50) scales
// every kind's share of the fifty alike, each keeping one at least, to see
// up to how many workstations one machine keeps the saves quick.
int KindWorkstations(const KindShare& k)
{
    static const int plant = [] {
        const char* env = std::getenv("QTMV_PLANT_WORKSTATIONS");
        return env ? std::max(1, std::atoi(env)) : 50;
    }();
    return std::max(1, static_cast<int>(std::lround(k.workstations * plant / 50.0)));
}

int PlantWorkstations()
{
    int n = 0;
    for (const KindShare& k : kPlantShares)
        n += KindWorkstations(k);
    return n;
}

// Workstation `number` (from 1): its kind, and which of the kind's
// workstations it is (share, from 0, of shares).
struct Post {
    const ProcessKind* kind = nullptr;
    int share = 0;
    int shares = 1;
};
Post PostOf(int number)
{
    int first = 1;
    for (const KindShare& k : kPlantShares) {
        const int workstations = KindWorkstations(k);
        if (number < first + workstations)
            return {KindByDisplayName(k.kind), number - first, workstations};
        first += workstations;
    }
    throw std::out_of_range("no such workstation");
}

struct PlantResult {
    struct Counts {
        long long saves = 0;  // complete, no warning shown
        long long errors = 0; // saves that were not, and failed loads
        long long cells = 0;  // remarks written by saves that were stored
        long long opens = 0;  // connections opened during the saves
    } counts;
    std::vector<double> latencies;         // ms, every SaveDailyReport call
    std::map<std::string, long long> seen; // what made the errors, and how often
};

// One workstation's rounds, in a process of its own.
PlantResult PlantWorkstation(const std::string& connectionString, int number, double seconds, int reloadEvery)
{
    PlantResult out;
    const Post post = PostOf(number);
    const ProcessKind& kind = *post.kind;
    Session s;
    s.ConnectionString = connectionString;
    s.WorkstationUser = "PC" + std::to_string(number) + "\\bench";
    s.IdentityEstablished = s.RightsEstablished = true;
    const GridLayout& l = GridLayoutOf(kind);
    const int remark = l.finishRemarkCol;
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    ScriptedMessages messages;
    messages.setDefaultAnswer(MsgAnswer::Yes);
    demo::Random dice(static_cast<std::uint64_t>(number));   // the same rounds on every run
    const std::chrono::steady_clock::time_point end =
        std::chrono::steady_clock::now() +
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
    // The grid as the workstation has it: loaded every `reloadEvery`-th
    // round, and between loads kept with what it saved, as the window keeps
    // it.
    GridRows rows;
    LoadedTexts loaded;
    std::vector<std::vector<int>> lines; // each work-order line's row numbers, in grid order
    std::vector<std::size_t> shared, own;
    // Refreshing workstations come to work one by one, not all fifty in
    // the same second as the benchmark's start would have them, and so
    // refresh at their own times.
    if (reloadEvery > 1)
        std::this_thread::sleep_for(std::chrono::milliseconds(dice.between(0, 4000)));
    for (long long round = 0; std::chrono::steady_clock::now() < end; ++round) {
        const auto pause = std::chrono::milliseconds(dice.between(1000, 4000));
        try {
            if (round % reloadEvery == 0 || rows.empty()) {
                rows = LoadGrid(connectionString, kind, "", SortOption::WorkOrder);
                loaded = LoadedTexts(rows);
                // The load sorts by line, so a line's pieces are adjacent.
                lines.clear();
                for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
                    const auto& row = rows[static_cast<std::size_t>(r - 1)];
                    const auto& before = rows[static_cast<std::size_t>(std::max(r - 2, 0))];
                    if (r == 1 || row[kWorkOrderCol - 1] != before[kWorkOrderCol - 1] ||
                        row[kLineCol - 1] != before[kLineCol - 1])
                        lines.emplace_back();
                    lines.back().push_back(r);
                }
                shared.clear();
                own.clear();
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    if (i < kSharedLines)
                        shared.push_back(i);
                    else if (static_cast<int>((i - kSharedLines) % static_cast<std::size_t>(post.shares)) ==
                             post.share)
                        own.push_back(i);
                }
            }
            std::set<int> chosen;
            const int wanted = dice.between(5, 20);
            for (int tries = 0; !lines.empty() && static_cast<long long>(chosen.size()) < wanted && tries < 1000;
                 ++tries) {
                const std::vector<std::size_t>& pool = own.empty() || dice.between(1, 5) == 1 ? shared : own;
                const std::vector<int>& line = lines[pool[static_cast<std::size_t>(
                    dice.below(static_cast<int>(pool.size())))]];
                chosen.insert(line[static_cast<std::size_t>(dice.below(static_cast<int>(line.size())))]);
            }
            ChangeFlags flags(l.columnCount(), static_cast<int>(rows.size()));
            for (const int r : chosen) {
                rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(remark - 1)] =
                    "W" + std::to_string(number) + "#" + std::to_string(round);
                flags.set(r, remark);
            }
            messages.clear();
            SaveContext ctx{s, clock, [] {}};
            const long long opens = jet::Connection::opensSoFar();
            const auto start = std::chrono::steady_clock::now();
            const SaveOutcome r = SaveDailyReport(kind, rows, flags, ctx, loaded);
            out.latencies.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            out.counts.opens += jet::Connection::opensSoFar() - opens;
            bool told = false;
            for (const auto& m : messages.shown()) {
                if (m.icon == MsgIcon::Critical || m.icon == MsgIcon::Exclamation) {
                    told = true;
                    ++out.seen[m.text];
                } else if (m.icon == MsgIcon::Question && m.text.find("無法預先算出") != std::string::npos) {
                    // The question came without its list, the save went on.
                    ++out.seen["(asked, not an error) " + m.text];
                }
            }
            if (r.complete() && !told) {
                ++out.counts.saves;
            } else {
                ++out.counts.errors;
                if (!told)
                    ++out.seen[r.result.saved() ? "save: the write-back did not go through" : "save: not saved"];
            }
            if (r.result.saved()) {
                out.counts.cells += static_cast<long long>(chosen.size());
                loaded = LoadedTexts(rows);
            }
        } catch (const std::exception& e) {
            ++out.counts.errors;
            ++out.seen[std::string("thrown: ") + e.what()];
        }
        std::this_thread::sleep_until(std::min(end, std::chrono::steady_clock::now() + pause));
    }
    return out;
}

// Pipes carry whole results: the counts, the latencies (how many, then each)
// and the messages (how many, then each: length, text, times).
// Moves size bytes through fd with `io` (::read or ::write), however many
// calls it takes; false when the pipe ended or failed first.
template <typename Io, typename Bytes>
bool Whole(Io io, int fd, Bytes* p, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = io(fd, p, size);
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
bool WriteAll(int fd, const void* data, std::size_t size)
{
    return Whole(::write, fd, static_cast<const char*>(data), size);
}
bool ReadAll(int fd, void* data, std::size_t size) { return Whole(::read, fd, static_cast<char*>(data), size); }

bool SendResult(int fd, const PlantResult& r)
{
    std::uint64_t n = r.latencies.size();
    bool ok = WriteAll(fd, &r.counts, sizeof r.counts) && WriteAll(fd, &n, sizeof n) &&
              WriteAll(fd, r.latencies.data(), n * sizeof(double));
    n = r.seen.size();
    ok = ok && WriteAll(fd, &n, sizeof n);
    for (const auto& [text, times] : r.seen) {
        const std::uint64_t length = text.size();
        ok = ok && WriteAll(fd, &length, sizeof length) && WriteAll(fd, text.data(), length) &&
             WriteAll(fd, &times, sizeof times);
    }
    return ok;
}

bool ReceiveResult(int fd, PlantResult& r)
{
    std::uint64_t n = 0;
    if (!ReadAll(fd, &r.counts, sizeof r.counts) || !ReadAll(fd, &n, sizeof n))
        return false;
    r.latencies.resize(n);
    if (!ReadAll(fd, r.latencies.data(), n * sizeof(double)) || !ReadAll(fd, &n, sizeof n))
        return false;
    for (std::uint64_t i = 0; i < n; ++i) {
        std::uint64_t length = 0;
        long long times = 0;
        if (!ReadAll(fd, &length, sizeof length))
            return false;
        std::string text(length, '\0');
        if (!ReadAll(fd, text.data(), length) || !ReadAll(fd, &times, sizeof times))
            return false;
        r.seen[text] += times;
    }
    return true;
}

// The nearest-rank percentile of sorted values; 0 for none.
double Percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty())
        return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

// The machine's busy CPU time and the reaped children's, in seconds.
struct CpuTimes {
    double busy = 0, children = 0;
};
CpuTimes CpuNow()
{
    CpuTimes t;
    if (std::FILE* f = std::fopen("/proc/stat", "r")) {
        unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
        if (std::fscanf(f, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &user, &nice, &system, &idle, &iowait, &irq,
                        &softirq, &steal) == 8)
            t.busy = static_cast<double>(user + nice + system + irq + softirq + steal) /
                     static_cast<double>(::sysconf(_SC_CLK_TCK));
        std::fclose(f);
    }
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    const auto seconds = [](const timeval& v) { return static_cast<double>(v.tv_sec) + v.tv_usec / 1e6; };
    t.children = seconds(children.ru_utime) + seconds(children.ru_stime);
    return t;
}

// The most connections to the server database at once, besides its own,
// looked at every 100 ms until stopped.
class ConnectionSampler {
public:
    explicit ConnectionSampler(const std::string& connectionString)
        : thread_([this, connectionString] {
              try {
                  jet::Connection c;
                  c.open(connectionString);
                  while (!stop_) {
                      jet::Recordset rs;
                      rs.open("select count(*) as N from pg_stat_activity where datname = current_database()", c);
                      most_ = std::max(most_.load(), static_cast<long long>(rs.field("N").number()) - 1);
                      std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  }
              } catch (const std::exception& e) {
                  failure_ = e.what();
              }
          })
    {
    }
    ~ConnectionSampler() { stop(); }
    // The most seen; throws when sampling failed.
    long long stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (!failure_.empty())
            throw std::runtime_error("sampling pg_stat_activity: " + failure_);
        return most_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<long long> most_{0};
    std::string failure_;
    std::thread thread_;
};

void BM_Plant50(benchmark::State& state)
{
    const char* env = std::getenv("QTMV_PLANT_SECONDS");
    const double seconds = env ? std::atof(env) : 30.0;
    const bool server = state.range(0) == 1;
    const int reloadEvery = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Plant> plant = PlantFor(state, {PlantKinds(), true});
        if (!plant)
            return;
        // A working plant's database, not one just copied: see BM_Load.
        for (const ProcessKind* kind : PlantKinds())
            LoadGrid(plant->connectionString(), *kind, "", SortOption::WorkOrder);
        state.ResumeTiming();
        const CpuTimes cpuBefore = CpuNow();
        const auto started = std::chrono::steady_clock::now();
        const auto children = ForkWorkstations(PlantWorkstations(), [&](int number, int fd) {
            PlantResult r;
            try {
                r = PlantWorkstation(plant->connectionString(), number, seconds, reloadEvery);
            } catch (const std::exception& e) {
                ++r.counts.errors;
                ++r.seen[std::string("workstation ended: ") + e.what()];
            }
            return SendResult(fd, r);
        });
        // Started after the last fork: a child gets no copy of its thread.
        std::unique_ptr<ConnectionSampler> sampler =
            server ? std::make_unique<ConnectionSampler>(plant->connectionString()) : nullptr;
        PlantResult all;
        for (const auto& [pid, fd] : children) {
            PlantResult r;
            if (!ReceiveResult(fd, r)) {
                r = {};
                r.counts.errors = 1;
                r.seen["a workstation sent no result"] = 1;
            }
            EndWorkstation(pid, fd);
            all.counts.saves += r.counts.saves;
            all.counts.errors += r.counts.errors;
            all.counts.cells += r.counts.cells;
            all.counts.opens += r.counts.opens;
            all.latencies.insert(all.latencies.end(), r.latencies.begin(), r.latencies.end());
            for (const auto& [text, times] : r.seen)
                all.seen[text] += times;
        }
        const long long connections = sampler ? sampler->stop() : 0;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const CpuTimes cpuAfter = CpuNow();
        state.PauseTiming();
        state.counters["workstations"] = PlantWorkstations();
        state.counters["busy_cores"] = (cpuAfter.busy - cpuBefore.busy) / wall;
        state.counters["workstation_cores"] = (cpuAfter.children - cpuBefore.children) / wall;
        std::sort(all.latencies.begin(), all.latencies.end());
        state.counters["median_ms"] = Percentile(all.latencies, 0.50);
        state.counters["p95_ms"] = Percentile(all.latencies, 0.95);
        state.counters["p99_ms"] = Percentile(all.latencies, 0.99);
        state.counters["saves_per_second"] = static_cast<double>(all.counts.saves) / seconds;
        state.counters["errors"] = static_cast<double>(all.counts.errors);
        state.counters["lost"] = static_cast<double>(LostUpdates(plant->connectionString(), all.counts.cells));
        state.counters["connections"] =
            server ? static_cast<double>(connections)
                   : (all.latencies.empty() ? 0.0
                                            : static_cast<double>(all.counts.opens) /
                                                  static_cast<double>(all.latencies.size()));
        for (const auto& [text, times] : all.seen)
            std::cerr << "BM_Plant50/server:" << state.range(0) << "/reload_every:" << reloadEvery << ": " << times
                      << " x " << text << "\n";
        plant.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Plant50)
    ->ArgNames({"server", "reload_every"})
    ->ArgsProduct({{0, 1}, {1, 5}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) { return qtmv::bench::RunAsTheProgramRuns(argc, argv); }
