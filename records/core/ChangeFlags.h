#pragma once
// The change-flag table of a loaded grid: one text flag per cell, "1" for a
// cell the user changed. Saving writes exactly the flagged cells; the next
// load builds a fresh table. Only non-empty flags are stored, so building the
// table for a large load costs nothing and memory follows the user's edits.
#include <cstddef>
#include <map>
#include <string>

namespace qtmv::daily {

class ChangeFlags {
public:
    ChangeFlags() = default;
    // All flags empty. Rows and columns are the grid's, 1-based.
    ChangeFlags(int columns, int rows);

    int columns() const { return columns_; }
    int rows() const { return rows_; }

    // False (and nothing stored) outside the table, e.g. for a heading cell.
    // An empty flag unflags the cell.
    bool set(int row, int col, std::string flag = "1");
    // Makes the cell's flag empty again (an undone edit); nothing outside the table.
    void clear(int row, int col) { set(row, col, std::string()); }
    // "" outside the table.
    const std::string& get(int row, int col) const;
    bool isFlagged(int row, int col) const { return get(row, col) == kChanged; }
    // Whether any cell of the row is flagged.
    bool rowFlagged(int row) const;
    // How many cells are flagged "1".
    int flaggedCount() const { return flagged_; }

private:
    static constexpr const char* kChanged = "1";

    bool inside(int row, int col) const { return row >= 1 && row <= rows_ && col >= 1 && col <= columns_; }
    std::size_t index(int row, int col) const
    {
        return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(col - 1);
    }

    int columns_ = 0;
    int rows_ = 0;
    int flagged_ = 0;
    // Non-empty flags by cell index, in row order so a row's flags sit together.
    std::map<std::size_t, std::string> flags_;
};

} // namespace qtmv::daily
