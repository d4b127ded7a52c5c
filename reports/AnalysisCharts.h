#pragma once
// The chart pages that close the capacity and defect analyses: the
// production value of each machine as bars on the left axis and its defect
// rate as a line on the right one, over the report's records. The by-date
// layout charts each machine by day instead, a page per machine.
#include "platform/report/Report.h"
#include "reports/ProductionAnalysis.h"

#include <vector>

namespace qtmv::reports {

// At most this many categories share a chart; more go on further pages.
inline constexpr std::size_t kMachinesPerChart = 20;
inline constexpr std::size_t kDaysPerChart = 31;

// The charts of the records, in the order their pages print: one chart of
// every machine (kind, then machine), or for the by-date layout one chart
// per machine of the days from the report's first completion date to its
// last (a day without records of that machine left open).
std::vector<report::Chart> AnalysisCharts(SummaryLayout l, const std::vector<ProductionRecord>& records);

// Those charts as closing sections of a layout, each a page of its own
// under the analyses' heading without column captions.
std::vector<report::Section> AnalysisChartPages(SummaryLayout l, const std::vector<ProductionRecord>& records,
                                                const PrintParams& p, const QString& company,
                                                const QString& title);

} // namespace qtmv::reports
