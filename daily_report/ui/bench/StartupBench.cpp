// Start-up: from starting the program until its main window has painted
// its first screen, side by side with a minimal Qt window that uses the same
// font (startup_minimal, a program of its own that links Qt Widgets only:
// the floor any Qt program pays, loading the libraries, the platform plugin
// and the font). Each iteration starts a fresh process of each, in turns,
// and times it until the child says its window painted; the counters are
// the medians and their ratio.
//
// Two platforms: "offscreen", Qt without a window system, which leaves the
// program's own work alone; and "display", the X display in $DISPLAY, which
// is what a user waits for (connecting to the display, its keyboard and
// drawing surfaces come on top, for both sides). Without $DISPLAY the
// display side is skipped; `xvfb-run -a startup_bench` gives it one.
//
// The program side is startup_program, linked as the program is, on the
// 100,000-work-order demo plant ($QTMV_BENCH_DB or
// /tmp/qtmv-load-bench/QTMV.mdb), found through a QTMV.DSN beside a copy
// of it in a folder of its own.
#include "tools/demo-db/DemoPlant.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Folder {
    fs::path dir;
    fs::path exe;
};

// A copy of startup_program beside a QTMV.DSN that names the demo plant.
const Folder& ProgramFolder()
{
    static const Folder f = [] {
        const std::string db =
            qtmv::demo::KeptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
        Folder out;
        out.dir = fs::temp_directory_path() / ("qtmv-startup-bench-" + std::to_string(::getpid()));
        fs::create_directories(out.dir / "home");
        out.exe = out.dir / "startup_program";
        fs::copy_file(QTMV_STARTUP_PROGRAM_EXE, out.exe, fs::copy_options::overwrite_existing);
        std::ofstream(out.dir / "QTMV.DSN") << "SITE=C\nDBQ=" << fs::absolute(db).string() << "\n";
        return out;
    }();
    return f;
}

// Starts the child, returns the seconds until it reported its window painted.
double TimeChild(const fs::path& exe, const char* mode, bool program)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe");
    const std::string modeArg = std::string("--child=") + mode + ":" + std::to_string(fds[1]);
    std::vector<std::string> args{exe.string(), modeArg};
    if (program)
        for (const char* a : {"-kvo2851", "-AD=", "-NAME=王大明", "-ID=A001", "-XLS=.xlsx", "-DOC=.docx", "-PID=1"})
            args.emplace_back(a);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    setenv("QTMV_STARTUP_T0",
           std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count())
               .c_str(),
           1);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start the child");
    ::close(fds[1]);
    char done = 0;
    const bool painted = ::read(fds[0], &done, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!painted)
        throw std::runtime_error(std::string("the child (") + mode + ") ended without painting");
    return std::chrono::duration<double>(end - start).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The platform of both children: 0 the one main() chose (offscreen unless
// $QT_QPA_PLATFORM names another), 1 the X display.
void BM_StartUp(benchmark::State& state)
{
    static const std::string chosen = std::getenv("QT_QPA_PLATFORM");
    if (state.range(0) == 1) {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            state.SkipWithError("no X display in $DISPLAY (run under xvfb-run -a)");
            return;
        }
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        setenv("QT_QPA_PLATFORM", chosen.c_str(), 1);
    }
    std::vector<double> floor, program;
    for (auto _ : state) {
        // Each first in turns, so that a slower moment of the machine falls
        // on both sides alike.
        const bool floorFirst = program.size() % 2 == 0;
        if (floorFirst)
            floor.push_back(TimeChild(QTMV_STARTUP_MINIMAL_EXE, "minimal", false));
        program.push_back(TimeChild(ProgramFolder().exe, "main", true));
        if (!floorFirst)
            floor.push_back(TimeChild(QTMV_STARTUP_MINIMAL_EXE, "minimal", false));
        state.SetIterationTime(program.back());
    }
    if (program.empty())
        return;
    const double f = Median(floor) * 1e3, p = Median(program) * 1e3;
    state.counters["floor_ms"] = f;
    state.counters["program_ms"] = p;
    state.counters["ratio"] = p / f;
    state.SetLabel(state.range(0) == 1 ? std::string("display") : chosen.substr(0, chosen.find(':')));
}

BENCHMARK(BM_StartUp)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(31);

} // namespace

int main(int argc, char** argv)
{
    // The offscreen platform with a screen wide enough for the start-up
    // check (or the platform given in $QT_QPA_PLATFORM), and a home of
    // their own.
    const fs::path config = fs::temp_directory_path() / ("qtmv-startup-screen-" + std::to_string(::getpid()) + ".json");
    std::ofstream(config) << R"({"screens":[{"name":"OffscreenScreen","x":0,"y":0,"width":1280,"height":1024,)"
                          << R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})";
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
    setenv("HOME", (ProgramFolder().dir / "home").c_str(), 1);
    fs::create_directories(ProgramFolder().dir / "run");
    fs::permissions(ProgramFolder().dir / "run", fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (ProgramFolder().dir / "run").c_str(), 1);
    setenv("QTMV_MESSAGES", "stderr", 1);
    unsetenv("USERPROFILE");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(ProgramFolder().dir, ec);
    fs::remove(config, ec);
    return 0;
}
