// Start-up: from starting the program until its main window has painted
// its first screen, side by side with a minimal Qt window that uses the same
// font (startup_minimal, a program of its own that links Qt Widgets only:
// the floor any Qt program pays, loading the libraries, the platform plugin
// and the font). Each iteration starts a fresh process and times it until
// the child says its window painted.
//
// The program side is startup_program, linked as the program is, on the
// 100,000-work-order demo plant ($QTMV_BENCH_DB or
// /tmp/qtmv-load-bench/QTMV.mdb), found through a QTMV.DSN beside a copy
// of it in a folder of its own.
#include "tools/demo-db/DemoPlant.h"

#include <benchmark/benchmark.h>

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

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Folder {
    fs::path dir;
    fs::path exe;
};

// A copy of startup_program beside a QTMV.DSN that names the demo plant.
const Folder& programFolder()
{
    static const Folder f = [] {
        const std::string db =
            qtmv::demo::keptDemoPlant("QTMV_BENCH_DB", "/tmp/qtmv-load-bench/QTMV.mdb", 100000);
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
double timeChild(const fs::path& exe, const char* mode, bool program)
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

void BM_StartMinimalWindow(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(timeChild(QTMV_STARTUP_MINIMAL_EXE, "minimal", false));
}

void BM_StartMainWindow(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(timeChild(programFolder().exe, "main", true));
}

BENCHMARK(BM_StartMinimalWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_StartMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

} // namespace

int main(int argc, char** argv)
{
    // Both children on the offscreen platform with a screen wide enough for
    // the start-up check, and with a home of their own.
    const fs::path config = fs::temp_directory_path() / ("qtmv-startup-screen-" + std::to_string(::getpid()) + ".json");
    std::ofstream(config) << R"({"screens":[{"name":"OffscreenScreen","x":0,"y":0,"width":1280,"height":1024,)"
                          << R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})";
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
    setenv("HOME", (programFolder().dir / "home").c_str(), 1);
    fs::create_directories(programFolder().dir / "run");
    fs::permissions(programFolder().dir / "run", fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (programFolder().dir / "run").c_str(), 1);
    setenv("QTMV_MESSAGES", "stderr", 1);
    unsetenv("USERPROFILE");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(programFolder().dir, ec);
    fs::remove(config, ec);
    return 0;
}
