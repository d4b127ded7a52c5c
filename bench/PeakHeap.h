#pragma once
// The heap a benchmark uses: every block malloc hands out, to C++, Qt and
// SQLite alike, counted by this binary's own malloc and free (PeakHeap.cpp
// wraps glibc's). Link PeakHeap.cpp only into benchmarks.
#include <cstddef>

namespace qtmv::bench {

// Starts a new peak from the bytes in use now.
void ResetHeapPeak();
// The most bytes in use since ResetHeapPeak(), above what was in use then.
std::size_t HeapPeakSinceReset();

// Page faults the process has taken so far (pages mapped afresh, each
// zeroed or read in by the kernel).
long PageFaults();

// Megabytes (10^6 bytes), as the figures are quoted.
inline double Megabytes(std::size_t bytes) { return static_cast<double>(bytes) / 1e6; }

} // namespace qtmv::bench
