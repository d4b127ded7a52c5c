#pragma once
// The printing data listing (frm印刷數據明細表): the rows of 工單印刷數據 that
// pass its filters, its printed report, and the colour targets the listing
// maintains.
//
// - Filters, each left out when empty: work order from/to (inclusive, as
//   text), printing date from/to (seven digits, inclusive), colour number
//   (contained, case-insensitive), customer (the work order's customer
//   code), recorder (code, or a part of the name); and, when asked, only the
//   lines out of their colour number's tolerances (ColourTolerance.h).
// - Rows are ordered by work order, sequence, kind and line. Each carries
//   how far it is out of its tolerances: 色差超出 (ΔE00 beyond 容許色差),
//   濃度超出 (beyond the density band, above +, below -), both null within
//   or unchecked, and 超出容許 in words (ExcessText).
// - The .xlsx export has one sheet "印刷數據明細表": the filter line in row 1,
//   bold frozen headings in row 3, one row per listed row below; L, a, b, △
//   and 濃度 are numbers when they were typed as numbers, text otherwise;
//   the excess follows 濃度 as the two numbers and the words.
// - Colour targets are saved row by row: of a loaded row only the fields
//   whose values differ from what was loaded are written, new rows are
//   added, rows removed from the list are deleted.
#include "platform/report/Report.h"
#include "quality/core/ColourDifference.h"
#include "quality/core/ColourTolerance.h"
#include "quality/core/SaveRun.h"

#include <string>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv {
struct Session;
}

namespace qtmv::quality {

struct ListingFilter {
    std::string poFrom, poTo;
    std::string dateFrom, dateTo;
    std::string colour;
    std::string customer;   // CUST.ID
    std::string recorder;
    bool outOfToleranceOnly = false;
};

// Columns: 工單單號, 工單序, 製程, 序, 印刷日期, 客戶代號, 客戶, 品名, 色號,
// 油墨1..油墨7, 測量1..測量5, 記錄員代號, 記錄員 (LoadListing adds the
// excess columns and applies the tolerance filter).
std::string ListingSql(const ListingFilter& f);
report::DataTable LoadListing(jet::Connection& conn, const ListingFilter& f);
report::DataTable LoadListing(const Session& s, const ListingFilter& f);

inline constexpr const char* kListingTitle = "印刷數據明細表";
// The printed listing (A4 landscape); `conditions` is the filter line under
// the title. `progress` follows the layout (and cancels it with
// report::Cancelled).
report::PageDocument ListingReport(const report::DataTable& rows, const std::string& conditions,
                                   const report::Progress& progress = {});
// A seven-digit printing date as the listing shows it ("113/12/04");
// anything else as it is.
std::string ListedDate(const std::string& roc7);
// The filter line: the filled filters in words, "全部" when none is.
std::string ConditionsText(const ListingFilter& f);

// Writes the listed rows to an .xlsx file; failures (UserError) name the file.
void ExportListing(const report::DataTable& rows, const std::string& conditions, const std::string& path);

// --- Colour targets ---------------------------------------------------------

struct ColourTarget {
    std::string colour;
    Lab lab;
    std::string note;
    Tolerances tolerances;
};
std::vector<ColourTarget> LoadTargets(jet::Connection& conn);
std::vector<ColourTarget> LoadTargets(const Session& s);

// Writes the edited list over the loaded one; rights and maintenance as
// every save. Rows with an empty colour number are ignored; a colour number
// listed twice is refused (told, nothing written).
daily::SaveResult SaveTargets(const std::vector<ColourTarget>& loaded, const std::vector<ColourTarget>& edited,
                              daily::SaveContext& ctx);

} // namespace qtmv::quality
