#pragma once
// What the printed production analyses share: the page heading with the
// completion range, page and print date, their column captions, and how
// they write amounts, deviations, rates and dates.
#include "platform/report/Report.h"
#include "reports/OutsourcingOrder.h"

#include <optional>
#include <string>
#include <vector>

namespace qtmv::reports {

struct AnalysisColumn {
    const char* caption;
    double x, w;   // mm on a 190 mm line
    report::Align align;
};

// A number with thousands separators and its own decimals ("1,234.5").
QString AmountText(double v);
// Positive deviations (ahead of the standard) carry a "+"; zero is "0" and
// a negative one keeps its "-".
QString DeviationText(double v);
// "0.00"; empty when there is no rate.
QString RateText(std::optional<double> rate);
// A seven-character date as 113/12/04; other texts as they are.
QString SlashedDate(const std::string& roc7);

// A range as the user reads it: "A ～ B"; an open (empty) end reads as
// open: "A 起", "B 止", "不限" when both are.
QString RangeText(const QString& from, const QString& to);
// A date range so: "113/12/01 ～ 113/12/31", and open, not the stand-in that
// opens it, where from is empty or 0000000 and to empty or 9999999.
QString DateRangeText(const std::string& from, const std::string& to);

// The heading every analysis prints: company title, title, "完成日期："
// range, "頁       次：", "印表日期：" and the captions in a box (no box
// without columns: the heading of a chart page). The
// company title is the parameters' one, else the session's; the print date
// the parameters' one, else today. Returns the layout's page header.
report::Section AnalysisHeading(const QString& company, const QString& title, const PrintParams& p,
                                const std::vector<AnalysisColumn>& columns);
// The company title a report prints.
QString CompanyTitle(const PrintParams& p, const std::string& sessionCompany);

// A text item in column c of a line, fitted (shrunk) into it.
report::Item ColumnItem(const AnalysisColumn& c, double y, report::FormatFn fn, bool bold = false);

inline constexpr double kAnalysisLine = 5.5;   // mm per printed line

} // namespace qtmv::reports
