#pragma once
// Excel workbooks (.xlsx) written with libxlsxwriter: sheets of typed cells
// (text, number, formula), number formats, a bold frozen header row and
// column widths, and native charts drawn from cells of the workbook, on a
// chart sheet or in a sheet. No Qt. Every failure is a UserError that names
// the file.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qtmv::files { class AtomicFile; }

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;
struct lxw_chart;

namespace qtmv::xlsx {

// How a cell looks: an Excel number format ("#,##0", "0.00"; empty for
// General) and bold.
struct Style {
    std::string numberFormat;
    bool bold = false;
};

class Workbook;

// A block of cells of a sheet of the same workbook, rows and columns from 0,
// both ends included. sheet is the name the sheet got (Sheet::Name()).
struct CellRange {
    std::string sheet;
    int firstRow = 0, firstCol = 0, lastRow = 0, lastCol = 0;
};

// One series of a chart: bars (columns) or a line with markers, its values
// and categories (texts: machines, dates) read from cells, so that Excel and
// LibreOffice draw what the cells hold, also after an edit.
struct ChartSeries {
    enum class Kind { Column, Line };
    Kind kind = Kind::Column;
    std::string name; // the legend's text
    CellRange categories;
    CellRange values;
    bool secondaryAxis = false; // on the right-hand value axis
};

// An axis: its title (none when empty) and the number format of its labels
// (empty: the format of the cells).
struct ChartAxis {
    std::string title;
    std::string numberFormat;
};

struct Chart {
    std::string title; // none when empty
    std::vector<ChartSeries> series;
    ChartAxis categoryAxis, valueAxis;
    ChartAxis secondaryAxis; // drawn only when a series is on it
    bool legend = true;      // below the plot
};

// One worksheet. Rows and columns count from 0; a sheet belongs to its
// workbook and is valid while the workbook is.
class Sheet {
public:
    void Text(int row, int col, const std::string& text, const Style& style = {});
    void Number(int row, int col, double value, const Style& style = {});
    // formula with its leading "=" ("=SUM(C2:C9)"); cached is the value a
    // reader that does not recalculate shows.
    void Formula(int row, int col, const std::string& formula, double cached, const Style& style = {});
    // Bold headings in row, and everything above and including it frozen.
    void Header(int row, const std::vector<std::string>& headings);
    void ColumnWidth(int col, double width);
    // chart with its top left corner on the cell, in Excel's default size
    // (about 8 columns by 15 rows).
    void InsertChart(int row, int col, const Chart& chart);
    const std::string& Name() const { return name_; }

private:
    friend class Workbook;
    Sheet(Workbook& book, lxw_worksheet* sheet, std::string name);
    void Check(int result, int row, int col) const;
    Workbook& book_;
    lxw_worksheet* sheet_;
    std::string name_;
};

class Workbook {
public:
    // What the workbook does with a file already at its path.
    enum class Existing { Replace, Refuse };
    // A new workbook to be written to path by Close(). Throws when the
    // folder of path does not exist or path may not be replaced (not a
    // regular file, read-only); with Refuse, when anything is at path, now
    // or when Close() puts the workbook there.
    explicit Workbook(std::string path, Existing existing = Existing::Replace);
    ~Workbook(); // without Close() nothing is written
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // A sheet named name, made legal for Excel: at most 31 characters,
    // none of []:*?/\ , unique in the workbook.
    Sheet& AddSheet(const std::string& name);
    // A chart sheet: chart filling a sheet of its own, named as AddSheet
    // names sheets. Returns the name it got. Its ranges may refer to sheets
    // added later; Close() refuses a range of a sheet the workbook lacks.
    std::string AddChartSheet(const std::string& name, const Chart& chart);
    // Writes the file (through a temporary name in the same folder, synced
    // and renamed only when complete, so a failed write never leaves half a
    // workbook under path nor harms the file there).
    void Close();
    const std::string& Path() const { return path_; }

    // A sheet name Excel accepts for name (the rule of AddSheet, without
    // the uniqueness).
    static std::string LegalSheetName(const std::string& name);
    // A column's letters: 0 is "A", 26 is "AA".
    static std::string ColumnLetters(int col);
    // range as a formula refers to it: 'sheet'!$A$2:$A$9, the name always
    // quoted (Chinese names too) and an apostrophe in it doubled.
    static std::string RangeFormula(const CellRange& range);

private:
    friend class Sheet;
    lxw_format* Format(const Style& style);
    std::string UniqueName(const std::string& name) const;
    lxw_chart* NewChart(const Chart& chart);
    void CheckCharts() const;
    [[noreturn]] void Fail(const std::string& reason) const;

    std::string path_;
    std::unique_ptr<files::AtomicFile> file_;
    lxw_workbook* book_ = nullptr;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    std::vector<std::string> chartSheets_;
    // Each chart of the workbook, in the order added, with its plot area's
    // XML (see NewChart).
    std::vector<std::pair<Chart, std::unique_ptr<std::string>>> charts_;
    std::map<std::pair<std::string, bool>, lxw_format*> formats_;
};

} // namespace qtmv::xlsx
