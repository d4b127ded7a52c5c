#pragma once
// The colour difference of one colour number over its printing dates, as
// the printing data listing charts it: per date the largest and the average
// ΔE00 of its listed lines, against the colour number's 容許色差 drawn as a
// reference line. A line's ΔE00 is worked out from its L, a, b against the
// colour target, or is its △ cell without them (an instrument's reading).
#include "platform/report/Report.h"
#include "quality/core/PrintingList.h"

#include <string>
#include <vector>

namespace qtmv::quality {

// The chart of `colour` (compared as colour numbers are: blanks and case
// aside) over the listed rows (LoadListing's columns); dates in order, a
// date none of whose lines has a difference left open.
report::Chart DifferenceChart(const report::DataTable& rows, const std::string& colour,
                              const std::vector<ColourTarget>& targets);

// That chart on a page of its own (A4 landscape) under the listing's title
// and the filter line.
report::PageDocument DifferenceChartReport(const report::DataTable& rows, const std::string& colour,
                                           const std::vector<ColourTarget>& targets, const std::string& conditions);

} // namespace qtmv::quality
