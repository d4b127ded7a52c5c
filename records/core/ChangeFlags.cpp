#include "ChangeFlags.h"

namespace qtmv::daily {

namespace {
const std::string kNone;
}

ChangeFlags::ChangeFlags(int columns, int rows) : columns_(columns < 0 ? 0 : columns), rows_(rows < 0 ? 0 : rows) {}

bool ChangeFlags::set(int row, int col, std::string flag)
{
    if (!inside(row, col))
        return false;
    const std::size_t i = index(row, col);
    const auto it = flags_.find(i);
    if (it != flags_.end()) {
        flagged_ -= it->second == kChanged ? 1 : 0;
        flags_.erase(it);
    }
    if (!flag.empty()) {
        flagged_ += flag == kChanged ? 1 : 0;
        flags_.emplace(i, std::move(flag));
    }
    return true;
}

const std::string& ChangeFlags::get(int row, int col) const
{
    if (!inside(row, col))
        return kNone;
    const auto it = flags_.find(index(row, col));
    return it == flags_.end() ? kNone : it->second;
}

bool ChangeFlags::rowFlagged(int row) const
{
    if (row < 1 || row > rows_ || columns_ == 0)
        return false;
    const auto end = flags_.lower_bound(index(row + 1, 1));
    for (auto it = flags_.lower_bound(index(row, 1)); it != end; ++it)
        if (it->second == kChanged)
            return true;
    return false;
}

} // namespace qtmv::daily
