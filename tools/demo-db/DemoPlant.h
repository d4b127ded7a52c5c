#pragma once
// The demo plant: a database file filled with the master data, work orders,
// schedules and daily records of a printing plant, for trying the program
// out and for tests that need realistic data.
#include "Calendar.h"

#include <cstdint>
#include <iosfwd>
#include <string>

namespace qtmv::demo {

struct DemoOptions {
    long long workOrders = 300;
    std::uint64_t seed = 1;
    // The plant's "today": work orders lead up to it, the newest are open.
    // The same seed, size and date always give the same database.
    Date today{2024, 12, 4};
    // Further outside vendors, beyond the plant's own, for measuring the
    // vendor lookups on a large vendor table. They take no part in the work
    // orders, so the rest of the plant is the same with or without them.
    long long extraVendors = 0;
    // At least this many time lines, for measuring the production analyses
    // (0: the plant's own); see fillTimeLines.
    long long timeLines = 0;
};

struct DemoSummary {
    long long workOrders = 0;
    long long openWorkOrders = 0;
    long long processLines = 0;
    long long pieces = 0;
    long long openPieces = 0;        // own and work order's finish date empty
    long long openPrintingPieces = 0;
    long long timeLines = 0;
};

// Writes a new database file at path. Refuses (qtmv::db::Error) when the file
// exists; on any other failure the unfinished file is removed and the error
// passed on.
DemoSummary WriteDemoPlant(const std::string& path, const DemoOptions& options);

// A demo plant kept between runs (benchmarks): the file named by the
// environment variable envVariable, else defaultPath; generated with
// workOrders work orders when it does not exist yet. Returns its path.
std::string KeptDemoPlant(const char* envVariable, const std::string& defaultPath, long long workOrders);

// The command line "demo-db [--work-orders N] [--seed S] [--date YYYY-MM-DD]
// [--time-lines N] PATH"; the date defaults to the current date. Returns the exit code.
int RunDemoDb(int argc, const char* const argv[], std::ostream& out, std::ostream& err);

} // namespace qtmv::demo
