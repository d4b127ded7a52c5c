#pragma once
// A larger production history for measuring the production analyses: more
// finished time lines, patterned on the plant's own.
#include "Calendar.h"

#include <sqlite3.h>

#include <cstdint>

namespace qtmv::demo {

// Adds finished time lines to 預排資料耗時明細 until it holds at least
// target rows: copies of the plant's finished lines (same piece, kind,
// machine and operator) on other days of the last three months before
// today, with their own quantities, hours and defects. Nothing is added
// when the table already holds target rows or has no finished line.
// Returns the number of lines added.
long long FillTimeLines(sqlite3* db, long long target, std::uint64_t seed, Date today);

} // namespace qtmv::demo
