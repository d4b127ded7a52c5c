#include "production_export/core/ExcelExport.h"

#include "printing/OrderParams.h"
#include "printing/OutputName.h"
#include "printing/PrintJob.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/text/Text.h"
#include "platform/workbook/Workbook.h"
#include "production_export/core/ValueListings.h"
#include "reports/AnalysisLayout.h"

#include <functional>
#include <map>
#include <variant>

namespace qtmv::production {

namespace {

using Cell = std::variant<std::monostate, std::string, double>;

// A column of a sheet. A summed column gets a SUM formula in the total
// row; a rate column (per and of: column indexes) is per × 100 ÷ of,
// shown only where of is not 0.
struct XColumn {
    const char* heading;
    double width;
    std::string format;
    bool summed = false;
    int per = -1, of = -1;
};

const std::string kInt = "#,##0";
const std::string kRate = "0.00";
const std::string kPrice = "#,##0.00##";
const std::string kSigned = "+#,##0;-#,##0;0";

template <class Row>
void WriteSheet(xlsx::Workbook& book, const std::string& name, const std::vector<XColumn>& cols,
                const std::vector<const Row*>& rows, const std::function<Cell(const Row&, int)>& cell)
{
    xlsx::Sheet& s = book.AddSheet(name);
    std::vector<std::string> headings;
    for (std::size_t c = 0; c < cols.size(); ++c) {
        headings.push_back(cols[c].heading);
        s.ColumnWidth(static_cast<int>(c), cols[c].width);
    }
    s.Header(0, headings);
    std::vector<double> sums(cols.size(), 0.0);
    int r = 1;
    for (const Row* row : rows) {
        for (std::size_t c = 0; c < cols.size(); ++c) {
            const XColumn& col = cols[c];
            const xlsx::Style style{col.format, false};
            Cell v = cell(*row, static_cast<int>(c));
            if (col.per >= 0) {
                const double of = std::get<double>(cell(*row, col.of));
                v = of == 0 ? Cell{} : Cell{*reports::DefectRate(std::get<double>(cell(*row, col.per)), of)};
            }
            if (const auto* t = std::get_if<std::string>(&v))
                s.Text(r, static_cast<int>(c), *t, style);
            else if (const auto* d = std::get_if<double>(&v)) {
                s.Number(r, static_cast<int>(c), *d, style);
                sums[c] += *d;
            }
        }
        ++r;
    }
    // The total row: formulas over the rows above, so an edited cell
    // updates them.
    const int last = r; // 1-based number of the last data row
    s.Text(r, 0, "合計", {"", true});
    for (std::size_t c = 0; c < cols.size(); ++c) {
        const XColumn& col = cols[c];
        const std::string letters = xlsx::Workbook::ColumnLetters(static_cast<int>(c));
        const xlsx::Style style{col.format, true};
        if (col.summed && last >= 2)
            s.Formula(r, static_cast<int>(c), "=SUM(" + letters + "2:" + letters + std::to_string(last) + ")", sums[c],
                      style);
        else if (col.per >= 0 && sums[static_cast<std::size_t>(col.of)] != 0) {
            const std::string per = xlsx::Workbook::ColumnLetters(col.per) + std::to_string(r + 1);
            const std::string of = xlsx::Workbook::ColumnLetters(col.of) + std::to_string(r + 1);
            s.Formula(r, static_cast<int>(c), "=ROUND(" + per + "/" + of + "*100,2)",
                      *reports::DefectRate(sums[static_cast<std::size_t>(col.per)],
                                                  sums[static_cast<std::size_t>(col.of)]),
                      style);
        }
    }
}

// Rows by kind, in the order the kinds first come.
template <class Row>
std::vector<std::pair<std::string, std::vector<const Row*>>> ByKind(const std::vector<Row>& rows)
{
    std::vector<std::pair<std::string, std::vector<const Row*>>> out;
    std::map<std::string, std::size_t> index;
    for (const Row& r : rows) {
        auto [it, added] = index.try_emplace(r.kind, out.size());
        if (added)
            out.push_back({r.kind, {}});
        out[it->second].second.push_back(&r);
    }
    return out;
}

std::string TimeText(const std::string& t)
{
    // "yyymmddHHMM" as "113/12/04 08:30".
    if (t.size() != 11)
        return t;
    return reports::SlashedDate(t.substr(0, 7)).toStdString() + " " + t.substr(7, 2) + ":" + t.substr(9, 2);
}

} // namespace

Export ExportOfChoice(int choice)
{
    return choice == 2 ? Export::ValueSummary : choice == 7 ? Export::ProductionDetail : Export::ValueDetail;
}

std::string ExportTitle(Export e)
{
    switch (e) {
    case Export::ValueDetail: return "產值分析明細";
    case Export::ValueSummary: return "產值分析總表";
    case Export::ProductionDetail: break;
    }
    return "生產明細表";
}

std::string ExcelPath(const std::string& folder, const std::string& extension, Export e, const DateTime& now)
{
    std::string ext = Trim(extension);
    if (AsciiLower(ext) == "xlsx")
        ext = "." + ext;
    if (AsciiLower(ext) != ".xlsx")
        ext = ".xlsx";
    return daily::printing::NewOutputPath(folder, ExportTitle(e), ext, now);
}

std::vector<SummaryLine> ReadSummary(jet::Connection& conn, const std::string& sql)
{
    jet::Recordset rs;
    rs.open(sql, conn);
    auto text = [&rs](const char* c) { return rs.fieldIndex(c) < 0 ? std::string() : rs.text(c); };
    std::vector<SummaryLine> out;
    for (; !rs.eof(); rs.moveNext())
        out.push_back({text("種類"), text("機別"), text("經辦代號"), text("經辦"), text("完成日期"),
                       rs.field("筆數").number(), rs.field("完成數").number(), rs.field("耗時").number(),
                       rs.field("不良數").number(), rs.field("產值").number()});
    return out;
}

void WriteValueDetail(const std::string& path, const std::vector<reports::ProductionRecord>& records,
                      xlsx::Workbook::Existing existing)
{
    using R = reports::ProductionRecord;
    const std::vector<XColumn> cols = {
        {"機別", 14, ""},       {"經辦代號", 9, ""},      {"經辦", 9, ""},       {"完成日期", 11, ""},
        {"工單單號", 12, ""},   {"序", 5, "0"},           {"印件名稱", 24, ""},  {"製作說明", 16, ""},
        {"完成數", 11, kInt, true}, {"耗時(分)", 9, kInt, true}, {"時標準量", 9, kInt},
        {"差異(分)", 9, kSigned, true}, {"不良數", 9, kInt, true}, {"不良率(%)", 9, kRate, false, 12, 8},
        {"單價", 10, kPrice},   {"產值", 12, kInt, true}};
    const std::function<Cell(const R&, int)> cell = [](const R& r, int c) -> Cell {
        switch (c) {
        case 0: return r.machine;
        case 1: return r.handlerId;
        case 2: return r.handler;
        case 3: return reports::SlashedDate(r.endDate).toStdString();
        case 4: return r.po;
        case 5: return r.no;
        case 6: return r.product;
        case 7: return r.remark;
        case 8: return r.completed;
        case 9: return r.minutes;
        case 10: return r.standardPerHour;
        case 11: return r.deviation;
        case 12: return r.defects;
        case 14: return r.priced ? Cell{r.unitPrice} : Cell{};
        case 15: return r.value;
        default: return {};
        }
    };
    xlsx::Workbook book(path, existing);
    for (const auto& [kind, rows] : ByKind(records))
        WriteSheet<R>(book, kind.empty() ? "未分類" : kind, cols, rows, cell);
    if (records.empty())
        WriteSheet<R>(book, ExportTitle(Export::ValueDetail), cols, {}, cell);
    book.Close();
}

void WriteProductionDetail(const std::string& path, const std::vector<reports::ProductionRecord>& records,
                           xlsx::Workbook::Existing existing)
{
    using R = reports::ProductionRecord;
    const std::vector<XColumn> cols = {
        {"種類", 9, ""},          {"機別", 14, ""},         {"經辦代號", 9, ""},      {"經辦", 9, ""},
        {"開始", 16, ""},         {"結束", 16, ""},         {"工單單號", 12, ""},     {"序", 5, "0"},
        {"印件名稱", 24, ""},     {"製作說明", 16, ""},     {"完成數", 11, kInt, true}, {"耗時(分)", 9, kInt, true},
        {"時標準量", 9, kInt},    {"實際時產量", 10, kInt}, {"不良數", 9, kInt, true}, {"產值", 12, kInt, true}};
    const std::function<Cell(const R&, int)> cell = [](const R& r, int c) -> Cell {
        switch (c) {
        case 0: return r.kind;
        case 1: return r.machine;
        case 2: return r.handlerId;
        case 3: return r.handler;
        case 4: return TimeText(r.start);
        case 5: return TimeText(r.end);
        case 6: return r.po;
        case 7: return r.no;
        case 8: return r.product;
        case 9: return r.remark;
        case 10: return r.completed;
        case 11: return r.minutes;
        case 12: return r.standardPerHour;
        case 13: return PerHour(r.completed, r.minutes);
        case 14: return r.defects;
        default: return r.value;
        }
    };
    std::vector<const R*> rows;
    for (const R& r : records)
        rows.push_back(&r);
    xlsx::Workbook book(path, existing);
    WriteSheet<R>(book, ExportTitle(Export::ProductionDetail), cols, rows, cell);
    book.Close();
}

void WriteValueSummary(const std::string& path, const std::vector<SummaryLine>& lines, bool byDate,
                       xlsx::Workbook::Existing existing)
{
    using L = SummaryLine;
    std::vector<XColumn> cols = {{"機別", 14, ""}};
    if (byDate)
        cols.push_back({"完成日期", 11, ""});
    else
        cols.insert(cols.end(), {{"經辦代號", 9, ""}, {"經辦", 9, ""}});
    const int first = static_cast<int>(cols.size()); // 筆數
    cols.insert(cols.end(), {{"筆數", 7, kInt, true},
                             {"完成數", 11, kInt, true},
                             {"耗時(分)", 9, kInt, true},
                             {"不良數", 9, kInt, true},
                             {"不良率(%)", 9, kRate, false, first + 3, first + 1},
                             {"產值", 12, kInt, true}});
    const std::function<Cell(const L&, int)> cell = [byDate, first](const L& l, int c) -> Cell {
        if (c == 0)
            return l.machine;
        if (c < first)
            return byDate ? reports::SlashedDate(l.date).toStdString() : c == 1 ? l.handlerId : l.handler;
        switch (c - first) {
        case 0: return l.count;
        case 1: return l.completed;
        case 2: return l.minutes;
        case 3: return l.defects;
        case 5: return l.value;
        default: return {};
        }
    };
    xlsx::Workbook book(path, existing);
    for (const auto& [kind, rows] : ByKind(lines))
        WriteSheet<L>(book, kind.empty() ? "未分類" : kind, cols, rows, cell);
    if (lines.empty())
        WriteSheet<L>(book, ExportTitle(Export::ValueSummary), cols, {}, cell);
    book.Close();
}

long long ExportAnalysis(Export e, const daily::printing::PrintParams& p, const std::string& key,
                         const std::string& connectionString, const std::string& path, bool writeEmpty,
                         xlsx::Workbook::Existing existing)
{
    jet::Connection conn;
    conn.open(connectionString);
    if (e == Export::ValueSummary) {
        const auto lines = ReadSummary(conn, daily::printing::CheckQuery(2, p, daily::printing::kExcelMode, key));
        if (lines.empty() && !writeEmpty)
            return 0;
        WriteValueSummary(path, lines, p.completionGrouping == 2, existing);
        return static_cast<long long>(lines.size());
    }
    reports::PrintParams rp = daily::printing::OrderParams(p);
    const auto records = reports::ReadRecords(conn, reports::ListingQuery(rp));
    if (records.empty() && !writeEmpty)
        return 0;
    if (e == Export::ValueDetail)
        WriteValueDetail(path, records, existing);
    else
        WriteProductionDetail(path, records, existing);
    return static_cast<long long>(records.size());
}

} // namespace qtmv::production
