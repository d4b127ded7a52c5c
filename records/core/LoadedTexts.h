#pragma once
// The texts of a grid as it was loaded (or last saved), kept beside the
// grid so that a save can record what each cell it writes held before.
// All texts live in one buffer, where a table of strings would spend a
// string object on each of the printing grid's 800,000 cells, most of them a
// few bytes long: the copy costs a third of the grid's own memory.
#include "records/core/GridLoader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qtmv::daily {

class LoadedTexts {
public:
    LoadedTexts() = default;
    // Implicit: a saved grid's rows are what is loaded from then on.
    // Throws std::length_error past 4 GiB of text.
    LoadedTexts(const GridRows& rows);

    // Row and column from 1, as in the grid; "" outside the table.
    std::string_view at(int row, int col) const;
    int rows() const { return static_cast<int>(rowFirstCell_.empty() ? 0 : rowFirstCell_.size() - 1); }
    bool empty() const { return rows() == 0; }

private:
    std::string text_;
    // Cell i is text_[cellStart_[i], cellStart_[i + 1]); row r's cells are
    // rowFirstCell_[r - 1] up to rowFirstCell_[r].
    std::vector<std::uint32_t> cellStart_;
    std::vector<std::uint32_t> rowFirstCell_;
};

} // namespace qtmv::daily
