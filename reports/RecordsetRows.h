#pragma once
// The rows of a query as a report's data: the report engine reads rows
// through its own table (platform/report/Report.h), which knows nothing of
// the data layer; this fills one from an open recordset.
#include "platform/report/Report.h"

namespace jet { class Recordset; }

namespace qtmv::reports {

// Every row of an open recordset (a client-side one holds them all), the
// columns named as the recordset names its fields; null, whole and real
// numbers and texts stay what they are.
report::DataTable TableOf(const jet::Recordset& rs);

} // namespace qtmv::reports
