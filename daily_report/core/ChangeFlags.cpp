#include "ChangeFlags.h"

namespace qtmv::daily {

namespace {
const std::string kNone;
}

ChangeFlags::ChangeFlags(int columns, int rows)
    : columns_(columns < 0 ? 0 : columns), rows_(rows < 0 ? 0 : rows),
      flags_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_))
{
}

bool ChangeFlags::set(int row, int col, std::string flag)
{
    if (!inside(row, col))
        return false;
    flags_[index(row, col)] = std::move(flag);
    return true;
}

const std::string& ChangeFlags::get(int row, int col) const
{
    return inside(row, col) ? flags_[index(row, col)] : kNone;
}

bool ChangeFlags::rowFlagged(int row) const
{
    for (int c = 1; c <= columns_; ++c)
        if (isFlagged(row, c))
            return true;
    return false;
}

} // namespace qtmv::daily
