#pragma once
// The production value analyses and the production detail listing: one
// line per finished production record, grouped by machine and operator,
// with subtotals per operator and per machine and a grand total. Values
// follow the production value rule of the analysis table.
//   rpt產值分析表_印刷     printing, "表1": quantities, time, unit price, value, value per hour
//   rpt產值分析表_印刷_1   printing, "表2": time against the machine's standard output
//   rpt產值分析表1         the other kinds (or all): as "表1" with the kind
//   rpt生產明細表          the production detail: start and end, output, defects, value
#include "reports/CapacityDefect.h"

#include <optional>
#include <string>

namespace qtmv {
struct Session;
}

namespace qtmv::production {

enum class Listing { PrintingValue, PrintingOutput, KindValue, ProductionDetail };
std::optional<Listing> ListingByName(const std::string& layoutName);
std::string ListingName(Listing l);

// Lays out records read with reports::ListingQuery, followed by `progress`
// (which cancels it with report::Cancelled).
report::PageDocument ValueListing(Listing l, const std::vector<reports::ProductionRecord>& records,
                                  const reports::PrintParams& p, const QString& company,
                                  const report::Progress& progress = {});

// Any analysis layout by name (the listings above and the capacity and
// defect analyses): reads its rows and lays them out, as valueListing
// follows the layout. Throws std::invalid_argument for another name; data
// errors throw.
report::PageDocument AnalysisReport(const std::string& layoutName, const reports::PrintParams& p, const Session& s,
                                    const report::Progress& progress = {});
bool IsAnalysisReport(const std::string& layoutName);
// The title an analysis layout prints ("印刷產值分析表(表1)", "產能及不良分析"),
// by which a preview names it (a print to a file, say); "" for another name.
std::string AnalysisTitle(const std::string& layoutName);
// Whether the analysis layout's own query finds a record.
bool HasAnalysisData(const std::string& layoutName, const reports::PrintParams& p, const Session& s);

// Output per hour: quantity per minute × 60, whole; 0 without minutes.
double PerHour(double quantity, double minutes);

} // namespace qtmv::production
