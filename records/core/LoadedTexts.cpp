#include "records/core/LoadedTexts.h"

#include <limits>
#include <stdexcept>

namespace qtmv::daily {

LoadedTexts::LoadedTexts(const GridRows& rows)
{
    std::size_t cells = 0, bytes = 0;
    for (const auto& row : rows) {
        cells += row.size();
        for (const std::string& t : row)
            bytes += t.size();
    }
    if (bytes > std::numeric_limits<std::uint32_t>::max() || cells >= std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("表格的資料太多，無法保留載入時的內容。");
    text_.reserve(bytes);
    cellStart_.reserve(cells + 1);
    rowFirstCell_.reserve(rows.size() + 1);
    for (const auto& row : rows) {
        rowFirstCell_.push_back(static_cast<std::uint32_t>(cellStart_.size()));
        for (const std::string& t : row) {
            cellStart_.push_back(static_cast<std::uint32_t>(text_.size()));
            text_ += t;
        }
    }
    rowFirstCell_.push_back(static_cast<std::uint32_t>(cellStart_.size()));
    cellStart_.push_back(static_cast<std::uint32_t>(text_.size()));
}

std::string_view LoadedTexts::at(int row, int col) const
{
    if (row < 1 || row > rows() || col < 1)
        return {};
    const std::size_t first = rowFirstCell_[static_cast<std::size_t>(row - 1)];
    const std::size_t cell = first + static_cast<std::size_t>(col - 1);
    if (cell >= rowFirstCell_[static_cast<std::size_t>(row)])
        return {};
    return std::string_view(text_).substr(cellStart_[cell], cellStart_[cell + 1] - cellStart_[cell]);
}

} // namespace qtmv::daily
