#include "records/core/LoadedTexts.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace qtmv::daily {
namespace {

TEST(LoadedTexts, ReadsBackEveryCellAndNothingOutside)
{
    const GridRows rows{{"A12001", "1", "", "大華印刷　股份有限公司"}, {}, {"B7", "", "x"}};
    const LoadedTexts t(rows);
    ASSERT_EQ(t.rows(), 3);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            EXPECT_EQ(t.at(static_cast<int>(r) + 1, static_cast<int>(c) + 1), rows[r][c]) << r << "," << c;
    // Rows are as long as they were loaded: a short one's missing cells, a
    // row or column beyond the table and row or column 0 read "".
    for (const auto& [r, c] : std::initializer_list<std::pair<int, int>>{{2, 1}, {3, 4}, {1, 5}, {4, 1}, {0, 1}, {1, 0}})
        EXPECT_EQ(t.at(r, c), "") << r << "," << c;

    EXPECT_TRUE(LoadedTexts().empty());
    EXPECT_EQ(LoadedTexts().at(1, 1), "");
    EXPECT_TRUE(LoadedTexts(GridRows{}).empty());
}

} // namespace
} // namespace qtmv::daily
