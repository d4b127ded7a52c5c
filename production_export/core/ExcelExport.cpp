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
#include <stdexcept>
#include <string_view>
#include <tuple>
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

// The column of cols headed heading (from 0); the headings are this file's
// own, so one missing is a mistake here.
int ColumnOf(const std::vector<XColumn>& cols, std::string_view heading)
{
    for (std::size_t c = 0; c < cols.size(); ++c)
        if (cols[c].heading == heading)
            return static_cast<int>(c);
    throw std::logic_error("no column " + std::string(heading));
}

// Writes the rows as a sheet named name; returns the name it got.
template <class Row>
std::string WriteSheet(xlsx::Workbook& book, const std::string& name, const std::vector<XColumn>& cols,
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
    return s.Name();
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

// The rows of a listing sheet that the per-machine totals add up: data rows
// 1..rows, and the columns they read, found by their headings.
struct Listed {
    Listed(std::string sheetName, std::size_t rowCount, const std::vector<XColumn>& cols, bool kinds)
        : sheet(std::move(sheetName)), rows(static_cast<int>(rowCount)), kindCol(kinds ? ColumnOf(cols, "種類") : -1),
          machineCol(ColumnOf(cols, "機別")), completedCol(ColumnOf(cols, "完成數")),
          defectsCol(ColumnOf(cols, "不良數")), valueCol(ColumnOf(cols, "產值"))
    {
    }
    std::string sheet;
    int rows;
    int kindCol; // when the sheet holds several kinds
    int machineCol, completedCol, defectsCol, valueCol;
};

// A machine's figures over the period, from the rows of one listing sheet.
struct MachineTotal {
    std::size_t listed = 0; // which sheet
    std::string kind, machine;
    double completed = 0, defects = 0, value = 0;
};

// Totals per machine, in the order the machines first come. Machines are
// told apart as Excel's "=" tells texts apart (ignoring case), so the
// formulas of the summary sheet add up what the cached values do.
class MachineTotals {
public:
    std::size_t List(Listed l)
    {
        listed_.push_back(std::move(l));
        return listed_.size() - 1;
    }
    void Add(std::size_t listed, const std::string& kind, const std::string& machine, double completed, double defects,
             double value)
    {
        const auto [it, added] = index_.try_emplace({listed, AsciiUpper(kind), AsciiUpper(machine)}, totals_.size());
        if (added)
            totals_.push_back({.listed = listed, .kind = kind, .machine = machine, .completed = 0, .defects = 0,
                               .value = 0});
        MachineTotal& t = totals_[it->second];
        t.completed += completed;
        t.defects += defects;
        t.value += value;
    }
    // The summary sheet and the chart sheet drawn from it; nothing when no
    // machine has a row.
    void Write(xlsx::Workbook& book) const;

private:
    std::vector<Listed> listed_;
    std::vector<MachineTotal> totals_;
    std::map<std::tuple<std::size_t, std::string, std::string>, std::size_t> index_;
};

// text as a string constant of a formula.
std::string FormulaText(const std::string& text)
{
    std::string q = "\"";
    for (char c : text)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

std::string ColumnRange(const Listed& l, int col)
{
    return xlsx::Workbook::RangeFormula({l.sheet, 1, col, l.rows, col});
}

// The sum of column col over the machine's rows of its listing sheet.
std::string MachineSum(const Listed& l, const MachineTotal& t, int col)
{
    std::string f = "=SUMPRODUCT(";
    if (l.kindCol >= 0)
        f += "(" + ColumnRange(l, l.kindCol) + "=" + FormulaText(t.kind) + ")*";
    return f + "(" + ColumnRange(l, l.machineCol) + "=" + FormulaText(t.machine) + ")*" + ColumnRange(l, col) + ")";
}

// Output value in bars on the left axis, the defect rate as a line on the
// right, over categories.
xlsx::Chart ValueAndRateChart(const std::string& title, const std::string& categoryTitle,
                              const xlsx::CellRange& categories, const xlsx::CellRange& values,
                              const xlsx::CellRange& rates)
{
    xlsx::Chart c;
    c.title = title;
    c.categoryAxis = {.title = categoryTitle, .numberFormat = {}};
    c.valueAxis = {.title = "產值", .numberFormat = kInt};
    c.secondaryAxis = {.title = "不良率(%)", .numberFormat = kRate};
    c.series = {{.kind = xlsx::ChartSeries::Kind::Column, .name = "產值", .categories = categories, .values = values,
                 .secondaryAxis = false},
                {.kind = xlsx::ChartSeries::Kind::Line, .name = "不良率(%)", .categories = categories,
                 .values = rates, .secondaryAxis = true}};
    return c;
}

void MachineTotals::Write(xlsx::Workbook& book) const
{
    if (totals_.empty())
        return;
    const std::vector<XColumn> cols = {{"種類", 9, ""},     {"機別", 14, ""},        {"完成數", 11, kInt},
                                       {"不良數", 9, kInt}, {"不良率(%)", 9, kRate}, {"產值", 12, kInt}};
    xlsx::Sheet& s = book.AddSheet("各機台產值");
    std::vector<std::string> headings;
    for (std::size_t c = 0; c < cols.size(); ++c) {
        headings.push_back(cols[c].heading);
        s.ColumnWidth(static_cast<int>(c), cols[c].width);
    }
    s.Header(0, headings);
    int r = 1;
    for (const MachineTotal& t : totals_) {
        const Listed& l = listed_[t.listed];
        s.Text(r, 0, t.kind.empty() ? "未分類" : t.kind);
        s.Text(r, 1, t.machine.empty() ? "(未填機別)" : t.machine);
        s.Formula(r, 2, MachineSum(l, t, l.completedCol), t.completed, {kInt, false});
        s.Formula(r, 3, MachineSum(l, t, l.defectsCol), t.defects, {kInt, false});
        // 0 when nothing was completed: the line then stays on its axis.
        const std::string row = std::to_string(r + 1);
        s.Formula(r, 4, "=IF(C" + row + "=0,0,ROUND(D" + row + "/C" + row + "*100,2))",
                  reports::DefectRate(t.defects, t.completed).value_or(0), {kRate, false});
        s.Formula(r, 5, MachineSum(l, t, l.valueCol), t.value, {kInt, false});
        ++r;
    }
    const std::string sheet = s.Name();
    book.AddChartSheet("產值圖", ValueAndRateChart("各機台產值與不良率", "機別", {sheet, 1, 1, r - 1, 1},
                                                   {sheet, 1, 5, r - 1, 5}, {sheet, 1, 4, r - 1, 4}));
}

// rows with each machine's rows together, machines in the order they first
// come, a machine's rows in their order.
template <class Row>
std::vector<const Row*> ByMachine(const std::vector<const Row*>& rows)
{
    std::vector<std::vector<const Row*>> groups;
    std::map<std::string, std::size_t> index;
    for (const Row* r : rows) {
        const auto [it, added] = index.try_emplace(AsciiUpper(r->machine), groups.size());
        if (added)
            groups.emplace_back();
        groups[it->second].push_back(r);
    }
    std::vector<const Row*> out;
    for (const auto& g : groups)
        out.insert(out.end(), g.begin(), g.end());
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
    MachineTotals totals;
    for (const auto& [kind, rows] : ByKind(records)) {
        const std::string sheet = WriteSheet<R>(book, kind.empty() ? "未分類" : kind, cols, rows, cell);
        const std::size_t listed = totals.List(Listed(sheet, rows.size(), cols, false));
        for (const R* r : rows)
            totals.Add(listed, kind, r->machine, r->completed, r->defects, r->value);
    }
    if (records.empty())
        WriteSheet<R>(book, ExportTitle(Export::ValueDetail), cols, {}, cell);
    totals.Write(book);
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
    MachineTotals totals;
    const std::string sheet = WriteSheet<R>(book, ExportTitle(Export::ProductionDetail), cols, rows, cell);
    const std::size_t listed = totals.List(Listed(sheet, rows.size(), cols, true));
    for (const R& r : records)
        totals.Add(listed, r.kind, r.machine, r.completed, r.defects, r.value);
    totals.Write(book);
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
    MachineTotals totals;
    // By date, the run of rows of the machine with the largest output of
    // the period: a second chart draws its days.
    struct Run {
        std::string sheet, machine;
        int first = 0, last = 0;
        double value = -1; // none yet
    } top;
    for (auto& [kind, rows] : ByKind(lines)) {
        // A machine's days as one run of rows, which the chart draws from;
        // the summary query lists them so already.
        if (byDate)
            rows = ByMachine(rows);
        const std::string sheet = WriteSheet<L>(book, kind.empty() ? "未分類" : kind, cols, rows, cell);
        const std::size_t listed = totals.List(Listed(sheet, rows.size(), cols, false));
        for (const L* l : rows)
            totals.Add(listed, kind, l->machine, l->completed, l->defects, l->value);
        for (std::size_t i = 0, j = 0; byDate && i < rows.size(); i = j) {
            double value = 0;
            for (j = i; j < rows.size() && AsciiUpper(rows[j]->machine) == AsciiUpper(rows[i]->machine); ++j)
                value += rows[j]->value;
            if (value > top.value)
                top = {sheet, rows[i]->machine, static_cast<int>(i) + 1, static_cast<int>(j), value};
        }
    }
    if (lines.empty())
        WriteSheet<L>(book, ExportTitle(Export::ValueSummary), cols, {}, cell);
    totals.Write(book);
    const int date = byDate ? ColumnOf(cols, "完成日期") : 0, value = ColumnOf(cols, "產值"),
              rate = ColumnOf(cols, "不良率(%)");
    if (top.value >= 0)
        book.AddChartSheet("每日產值圖",
                           ValueAndRateChart((top.machine.empty() ? "(未填機別)" : top.machine) + " 每日產值與不良率",
                                             "完成日期", {top.sheet, top.first, date, top.last, date},
                                             {top.sheet, top.first, value, top.last, value},
                                             {top.sheet, top.first, rate, top.last, rate}));
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
