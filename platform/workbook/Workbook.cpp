#include "platform/workbook/Workbook.h"

#include "platform/files/AtomicFile.h"
#include "platform/workbook/ChartXml.h"
#include "platform/text/UserError.h"
#include "platform/workbook/LibXlsxWriter.h"
#include "platform/text/Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>

namespace qtmv::xlsx {

namespace fs = std::filesystem;

namespace {

// The plot area of each chart being written, by the library's chart. The
// library writes a chart's part through the chart's own function pointer
// for the plot area (lxw_chart in chart.h); pointed at PlotArea, it writes
// the XML the workbook made from the Chart, and the library writes the rest
// (title, legend, the chart sheet or drawing, relations, content types).
std::mutex plotAreasMutex;
std::map<const lxw_chart*, const std::string*> plotAreas;

void PlotArea(lxw_chart* chart)
{
    std::lock_guard lock(plotAreasMutex);
    const auto it = plotAreas.find(chart);
    std::fputs(it == plotAreas.end() ? "<c:plotArea><c:layout/></c:plotArea>" : it->second->c_str(), chart->file);
}

} // namespace

Workbook::Workbook(std::string path, Existing existing) : path_(std::move(path))
{
    const fs::path folder = fs::path(path_).parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec))
        throw FileError("Excel檔無法寫入：資料夾 " + folder.string() + " 不存在。");
    try {
        Xlsxwriter();
    } catch (const std::runtime_error& e) {
        Fail(e.what());
    }
    // The library writes its zip under the output's part name, so a
    // half-written workbook never sits under the name the user will open.
    try {
        file_ = std::make_unique<files::AtomicFile>(
            path_, existing == Existing::Refuse ? files::Existing::Refuse : files::Existing::Replace);
    } catch (const files::OutputError& e) {
        Fail(e.what());
    }
    book_ = Xlsxwriter().workbook_new(file_->partPath().c_str());
    if (!book_)
        Fail("無法建立活頁簿");
}

Workbook::~Workbook()
{
    if (book_)
        Xlsxwriter().lxw_workbook_free(book_);
    // Only this workbook's own entries: a freed chart's address may be
    // another workbook's chart by now.
    std::lock_guard lock(plotAreasMutex);
    for (auto it = plotAreas.begin(); it != plotAreas.end();) {
        bool ours = false;
        for (const auto& c : charts_)
            ours = ours || it->second == c.second.get();
        it = ours ? plotAreas.erase(it) : std::next(it);
    }
    // file_ removes the part file unless it was committed
}

void Workbook::Fail(const std::string& reason) const
{
    throw FileError("Excel檔 " + path_ + " 無法寫入：" + reason + "。");
}

std::string Workbook::LegalSheetName(const std::string& name)
{
    std::string legal;
    int characters = 0;
    for (std::size_t i = 0; i < name.size() && characters < 31; ++characters) {
        const std::size_t n = std::min(Utf8SequenceLength(static_cast<unsigned char>(name[i])), name.size() - i);
        std::string ch = name.substr(i, n);
        if (ch.size() == 1 && std::strchr("[]:*?/\\", ch[0]))
            ch = "_";
        legal += ch;
        i += n;
    }
    // Excel refuses a name that begins or ends with an apostrophe.
    if (!legal.empty() && legal.front() == '\'')
        legal.front() = '_';
    if (!legal.empty() && legal.back() == '\'')
        legal.back() = '_';
    return legal.empty() ? "Sheet" : legal;
}

std::string Workbook::ColumnLetters(int col)
{
    std::string letters;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

std::string Workbook::RangeFormula(const CellRange& range)
{
    std::string quoted = "'";
    for (char c : range.sheet)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'!$" + ColumnLetters(range.firstCol) + "$" + std::to_string(range.firstRow + 1) + ":$"
           + ColumnLetters(range.lastCol) + "$" + std::to_string(range.lastRow + 1);
}

std::string Workbook::UniqueName(const std::string& name) const
{
    std::set<std::string> taken;
    for (const auto& s : sheets_)
        taken.insert(AsciiUpper(s->Name()));
    for (const auto& s : chartSheets_)
        taken.insert(AsciiUpper(s));
    std::string legal = LegalSheetName(name);
    for (int n = 2; taken.count(AsciiUpper(legal)); ++n) {
        const std::string suffix = "(" + std::to_string(n) + ")";
        legal = LegalSheetName(LegalSheetName(name).substr(0, 31 - suffix.size()) + suffix);
    }
    return legal;
}

Sheet& Workbook::AddSheet(const std::string& name)
{
    const std::string legal = UniqueName(name);
    lxw_worksheet* sheet = Xlsxwriter().workbook_add_worksheet(book_, legal.c_str());
    if (!sheet)
        Fail("工作表名稱「" + legal + "」無效");
    sheets_.push_back(std::unique_ptr<Sheet>(new Sheet(*this, sheet, legal)));
    return *sheets_.back();
}

lxw_chart* Workbook::NewChart(const Chart& chart)
{
    const std::string what = chart.title.empty() ? "圖表" : "圖表「" + chart.title + "」";
    if (chart.series.empty())
        Fail(what + "沒有數列");
    bool primary = false;
    for (const ChartSeries& s : chart.series) {
        primary = primary || !s.secondaryAxis;
        for (const CellRange* r : {&s.categories, &s.values})
            if (r->firstRow < 0 || r->firstCol < 0 || r->lastRow < r->firstRow || r->lastCol < r->firstCol)
                Fail(what + "的數列「" + s.name + "」範圍 " + RangeFormula(*r) + " 無效");
    }
    // The secondary axis is drawn against the primary one.
    if (!primary)
        Fail(what + "只有副座標軸的數列");

    const auto& x = Xlsxwriter();
    const ChartSeries& first = chart.series.front();
    lxw_chart* c = x.workbook_add_chart(book_, first.kind == ChartSeries::Kind::Line ? LXW_CHART_LINE
                                                                                        : LXW_CHART_COLUMN);
    if (!c)
        Fail("無法建立" + what);
    // The library refuses a chart without series; these are never written
    // (PlotArea writes the series), nor read for a cache.
    for (const ChartSeries& s : chart.series) {
        lxw_chart_series* series = x.chart_add_series(c, nullptr, nullptr);
        if (!series)
            Fail("無法建立" + what);
        x.chart_series_set_values(series, s.values.sheet.c_str(), static_cast<lxw_row_t>(s.values.firstRow),
                                  static_cast<lxw_col_t>(s.values.firstCol), static_cast<lxw_row_t>(s.values.lastRow),
                                  static_cast<lxw_col_t>(s.values.lastCol));
        series->values->ignore_cache = LXW_TRUE;
    }
    if (chart.title.empty())
        x.chart_title_off(c);
    else
        x.chart_title_set_name(c, chart.title.c_str());
    x.chart_legend_set_position(c, chart.legend ? LXW_CHART_LEGEND_BOTTOM : LXW_CHART_LEGEND_NONE);

    charts_.emplace_back(chart, std::make_unique<std::string>(PlotAreaXml(chart)));
    c->write_plot_area = PlotArea;
    std::lock_guard lock(plotAreasMutex);
    plotAreas[c] = charts_.back().second.get();
    return c;
}

std::string Workbook::AddChartSheet(const std::string& name, const Chart& chart)
{
    const std::string legal = UniqueName(name);
    lxw_chartsheet* sheet = Xlsxwriter().workbook_add_chartsheet(book_, legal.c_str());
    if (!sheet)
        Fail("圖表工作表名稱「" + legal + "」無效");
    chartSheets_.push_back(legal);
    // A chart is wider than high: printed across the page, it fills it.
    Xlsxwriter().chartsheet_set_landscape(sheet);
    if (const lxw_error result = Xlsxwriter().chartsheet_set_chart(sheet, NewChart(chart)); result != LXW_NO_ERROR)
        Fail("圖表工作表「" + legal + "」：" + Xlsxwriter().lxw_strerror(result));
    return legal;
}

void Workbook::CheckCharts() const
{
    std::set<std::string> names;
    for (const auto& s : sheets_)
        names.insert(s->Name());
    for (const auto& [chart, xml] : charts_)
        for (const ChartSeries& s : chart.series)
            for (const CellRange* r : {&s.categories, &s.values})
                if (!names.count(r->sheet))
                    Fail((chart.title.empty() ? "圖表" : "圖表「" + chart.title + "」") + "的數列「" + s.name
                         + "」所引用的工作表「" + r->sheet + "」不存在");
}

lxw_format* Workbook::Format(const Style& style)
{
    if (style.numberFormat.empty() && !style.bold)
        return nullptr;
    auto& format = formats_[{style.numberFormat, style.bold}];
    if (!format) {
        format = Xlsxwriter().workbook_add_format(book_);
        if (!style.numberFormat.empty())
            Xlsxwriter().format_set_num_format(format, style.numberFormat.c_str());
        if (style.bold)
            Xlsxwriter().format_set_bold(format);
    }
    return format;
}

void Workbook::Close()
{
    if (!book_)
        return;
    if (sheets_.empty())
        AddSheet("Sheet1");
    CheckCharts();
    errno = 0;
    const lxw_error result = Xlsxwriter().workbook_close(book_); // frees the workbook
    book_ = nullptr;
    if (result != LXW_NO_ERROR) {
        const int savedErrno = errno;
        file_.reset();
        std::string reason = Xlsxwriter().lxw_strerror(result);
        if (savedErrno)
            reason += " (" + std::string(std::strerror(savedErrno)) + ")";
        Fail(reason);
    }
    try {
        file_->commit();
    } catch (const files::OutputError& e) {
        Fail(e.what());
    }
}

Sheet::Sheet(Workbook& book, lxw_worksheet* sheet, std::string name)
    : book_(book), sheet_(sheet), name_(std::move(name))
{
}

void Sheet::Check(int result, int row, int col) const
{
    if (result != LXW_NO_ERROR)
        book_.Fail("工作表「" + name_ + "」儲存格 " + Workbook::ColumnLetters(col) + std::to_string(row + 1) + "："
                   + Xlsxwriter().lxw_strerror(static_cast<lxw_error>(result)));
}

void Sheet::Text(int row, int col, const std::string& text, const Style& style)
{
    // The library writes nothing for an empty string; a blank cell is what
    // an empty text means in a listing anyway.
    if (text.empty())
        return;
    Check(Xlsxwriter().worksheet_write_string(sheet_, row, col, text.c_str(), book_.Format(style)), row, col);
}

void Sheet::Number(int row, int col, double value, const Style& style)
{
    Check(Xlsxwriter().worksheet_write_number(sheet_, row, col, value, book_.Format(style)), row, col);
}

void Sheet::Formula(int row, int col, const std::string& formula, double cached, const Style& style)
{
    Check(Xlsxwriter().worksheet_write_formula_num(sheet_, row, col, formula.c_str(), book_.Format(style), cached),
          row, col);
}

void Sheet::Header(int row, const std::vector<std::string>& headings)
{
    for (std::size_t c = 0; c < headings.size(); ++c)
        Text(row, static_cast<int>(c), headings[c], Style{.numberFormat = {}, .bold = true});
    Xlsxwriter().worksheet_freeze_panes(sheet_, row + 1, 0);
}

void Sheet::InsertChart(int row, int col, const Chart& chart)
{
    Check(Xlsxwriter().worksheet_insert_chart(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                              book_.NewChart(chart)),
          row, col);
}

void Sheet::ColumnWidth(int col, double width)
{
    Check(Xlsxwriter().worksheet_set_column(sheet_, col, col, width, nullptr), 0, col);
}

} // namespace qtmv::xlsx
