#pragma once
// The capacity and defect analyses ("產能及不良分析"): per kind and
// production key the records, completed quantity, minutes, deviation from
// the standard output, defects, defect rate and production value.
//   rpt不良分析1_工務預排          one line per kind, machine and handler
//   rpt不良分析2_工務預排          one line per kind, machine and completion date
//   rpt不良分析_工務預排個人總表   per handler, one line per kind and machine
#include "reports/ProductionAnalysis.h"

namespace qtmv {
struct Session;
}

namespace qtmv::reports {

// Lays out records read with the layout's query (SummaryQuery, in its
// order), followed by `progress` (which cancels it with report::Cancelled).
report::PageDocument CapacityDefectReport(SummaryLayout l, const std::vector<ProductionRecord>& records,
                                          const PrintParams& p, const QString& company,
                                          const report::Progress& progress = {});
// Reads the layout's rows and lays them out. Data errors throw.
report::PageDocument CapacityDefectReport(SummaryLayout l, const PrintParams& p, const Session& s,
                                          const report::Progress& progress = {});

} // namespace qtmv::reports
