#pragma once
// The work table [不良分析_tmp] that the production value summary's Excel
// export groups: one row per finished production record of the print
// parameters, under this workstation's key, with its minutes and production
// value. Rebuilt in one transaction; rows of other keys are never touched.
#include "printing/PrintParams.h"

#include <functional>
#include <string>

namespace qtmv::daily::printing {

// The source records of the table, in the table's order.
std::string AnalysisSourceQuery(const PrintParams& p);

// Called after each record with the number done and the total; returning
// false cancels the build.
using BuildProgress = std::function<bool(long long done, long long total)>;

// Deletes the key's rows and writes the records again. True when the table
// was committed; false when progress cancelled (the key's earlier rows are
// then kept). Data errors throw, with the earlier rows kept as well.
bool BuildAnalysisTable(const std::string& connectionString, const PrintParams& p, const std::string& key,
                        const BuildProgress& progress = {});

} // namespace qtmv::daily::printing
