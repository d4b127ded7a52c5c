#pragma once
// Loading the open scheduled pieces of a kind into grid rows, without any
// window: the main window copies the rows into its grid as they are.
#include "records/core/GridLayout.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv::daily {

// One inner vector per grid row, exactly columnCount() texts; column n of the
// grid is row[n - 1]. Working columns are empty.
using GridRows = std::vector<std::vector<std::string>>;

// Runs BuildLoadQuery() on an open connection (read-only, stepped forward)
// and turns every field into its grid text: the field joined
// with "" (null is "", numbers as the database shows them). For "D-印刷" the
// printing extras below are applied. Throws jet::Error on data-access errors.
GridRows LoadGrid(jet::Connection& conn, const ProcessKind& kind, std::string_view machine, SortOption sort);
// The same on a connection of the load's own, closed again before returning.
GridRows LoadGrid(const std::string& connectionString, const ProcessKind& kind, std::string_view machine,
                  SortOption sort);

// The capacity record of a press for the printing estimate.
struct PressCapacity {
    double perHour = 0;        // 每時產能: sheets per hour
    double minutesPerPlate = 0; // 每版耗時
    double changeover = 0;      // 銜接時間: minutes
};

// The "預估" cell: machine hours for the quantities and plates of a row,
// "0.00" form; "0" without a capacity record or with a capacity of 0.
std::string PrintingEstimate(const PressCapacity* capacity, double qty1, double qty2, double plates);

// Looks up 印刷產能資料_工單 for the printing kind, once per press within one
// load; a press without a record is remembered as such too.
class PressCapacityCache {
public:
    explicit PressCapacityCache(jet::Connection& conn) : conn_(conn) {}
    const PressCapacity* find(const std::string& press);   // nullptr: no record
    int lookups() const { return lookups_; }                // queries sent so far

private:
    jet::Connection& conn_;
    std::map<std::string, std::pair<bool, PressCapacity>, std::less<>> cache_;
    int lookups_ = 0;
};

// The printing grid's extras on loaded rows: "正"/"反" in the thousands format
// with "0" shown blank, "濃度" marked "V" where "表格" is filled, "預估" from
// the press capacity.
void ApplyPrintingExtras(GridRows& rows, PressCapacityCache& capacities);

} // namespace qtmv::daily
