#pragma once
// The production analyses written into Excel workbooks: the value detail
// (a sheet per kind), the value summary grouped from the analysis table (a
// sheet per kind) and the production detail (one sheet). Each sheet has a
// bold frozen header row, number formats, column widths and a total row of
// formulas. Each workbook with rows ends in a per-machine summary sheet
// (completed, defects, defect rate and output value of each machine, as
// formulas over the listed rows) and a chart sheet drawn from it: output
// value in bars against the left axis, the defect rate as a line against
// the right one. The summary by date also charts, day by day from its rows,
// the machine with the largest output of the period.
#include "common/Clock.h"
#include "platform/workbook/Workbook.h"
#include "printing/PrintParams.h"
#include "reports/ProductionAnalysis.h"

#include <string>
#include <vector>

namespace qtmv {
struct Session;
}

namespace qtmv::production {

enum class Export {
    ValueDetail,      // choice 1
    ValueSummary,     // choice 2, from [不良分析_tmp]
    ProductionDetail, // choice 7
};
// The export of a report choice (1, 2 or 7).
Export ExportOfChoice(int choice);
// What the file holds, as its name and the window say it.
std::string ExportTitle(Export e);

// folder/<title>_<yyyymmdd>-<HHMM><extension>, never a name that is taken
// (daily::printing::NewOutputPath). The extension is the session's when it
// names an .xlsx file ("xlsx" or ".xlsx" in any case), else ".xlsx": the
// file is always an Excel 2007 workbook, and a ".xls" name would make Excel
// warn that the content does not match.
std::string ExcelPath(const std::string& folder, const std::string& extension, Export e, const DateTime& now);

// One line of the value summary: the grouped rows of the analysis table.
struct SummaryLine {
    std::string kind, machine, handlerId, handler, date;
    double count = 0, completed = 0, minutes = 0, defects = 0, value = 0;
};
std::vector<SummaryLine> ReadSummary(jet::Connection& conn, const std::string& sql);

// With Refuse a file already at path stays, and the write fails.
void WriteValueDetail(const std::string& path, const std::vector<reports::ProductionRecord>& records,
                      xlsx::Workbook::Existing existing = xlsx::Workbook::Existing::Replace);
void WriteProductionDetail(const std::string& path, const std::vector<reports::ProductionRecord>& records,
                           xlsx::Workbook::Existing existing = xlsx::Workbook::Existing::Replace);
void WriteValueSummary(const std::string& path, const std::vector<SummaryLine>& lines, bool byDate,
                       xlsx::Workbook::Existing existing = xlsx::Workbook::Existing::Replace);

// Reads the rows of the export (the listing query; for the summary the
// analysis table of key, which the caller has built) and writes them to
// path. Returns the number of rows written. Data errors throw; a file that
// cannot be written throws a UserError naming it. Without writeEmpty nothing
// is written when no row is found (the file at path stays as it was); with
// Refuse a file at path is never replaced.
long long ExportAnalysis(Export e, const daily::printing::PrintParams& p, const std::string& key,
                         const std::string& connectionString, const std::string& path, bool writeEmpty = true,
                         xlsx::Workbook::Existing existing = xlsx::Workbook::Existing::Replace);

} // namespace qtmv::production
