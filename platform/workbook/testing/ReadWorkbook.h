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

// The sheets in workbook order. Throws std::runtime_error when the file
// cannot be read.
std::vector<SheetContent> ReadWorkbook(const std::string& path);

} // namespace qtmv::xlsx::testing
