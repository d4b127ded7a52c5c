#pragma once
// Benchmarks run as the program runs: start-up keeps freed memory for the
// next load (app/ui/Main.cpp), so every benchmark does too; window
// benchmarks get an application object on the offscreen platform unless a
// display is chosen.
#include "platform/os/Host.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <type_traits>

namespace qtmv::bench {

inline int RunBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// App is QApplication for window benchmarks; the header needs no Qt itself.
template <class App = void>
int RunAsTheProgramRuns(int argc, char** argv)
{
    os::KeepFreedMemoryForReuse();
    if constexpr (std::is_void_v<App>) {
        return RunBenchmarks(argc, argv);
    } else {
        if (!std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        App app(argc, argv);
        return RunBenchmarks(argc, argv);
    }
}

} // namespace qtmv::bench
