#pragma once
// Reads a written workbook back cell by cell, as another program sees it:
// through openpyxl (python3-openpyxl). For tests only.
#include <map>
#include <string>
#include <vector>

namespace qtmv::xlsx::testing {

struct Cell {
    std::string type;   // "s" text, "n" number, "f" formula
    std::string value;  // the text, the number as Python prints it, or the formula with "="
    std::string cached; // a formula's value as saved with it (what a reader that does not calculate shows)
    std::string format; // number format ("General" when none)
    bool bold = false;
};

struct SheetContent {
    std::string name;
    std::string frozen;                      // top-left cell of the unfrozen area ("A2"), empty when none
    std::map<std::string, double> widths;    // by column letters
    std::map<std::string, Cell> cells;       // by reference ("B3")
    int maxRow = 0;                          // last used row, 1-based

    const Cell& At(const std::string& ref) const; // an empty cell when absent
    std::string Text(const std::string& ref) const { return At(ref).value; }
    double Number(const std::string& ref) const;
};

// The sheets in workbook order (chart sheets are not among them). Throws
// std::runtime_error when the file cannot be read, its charts too.
std::vector<SheetContent> ReadWorkbook(const std::string& path);

// A chart's axis as the chart part (xl/charts/chartN.xml) holds it.
struct AxisContent {
    std::string kind;     // "cat" or "val"
    std::string position; // "b", "l", "r"
    std::string format;   // number format code
    std::string title;
    bool deleted = false;
};

struct SeriesContent {
    std::string type; // "column", "bar" or "line"
    std::string name;
    std::string categories, values; // range formulas, as '產值'!$B$2:$B$9
    AxisContent valueAxis;          // the value axis the series is drawn against
};

struct ChartContent {
    std::string sheet;       // the sheet it is on
    bool chartSheet = false; // a chart sheet of its own, not a chart in a worksheet
    std::string title;
    std::string legend;      // the legend's position ("b"), empty when none
    std::vector<SeriesContent> series;
    std::vector<AxisContent> axes;
};

// The charts of the workbook, read from its parts (through the sheets'
// drawings), in sheet order. Throws std::runtime_error when the file
// cannot be read.
std::vector<ChartContent> ReadCharts(const std::string& path);

} // namespace qtmv::xlsx::testing
