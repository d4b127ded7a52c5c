#include "records/core/LoadedTexts.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(t.at(2, 1), "");
    EXPECT_EQ(t.at(3, 4), "");
    EXPECT_EQ(t.at(1, 5), "");
    EXPECT_EQ(t.at(4, 1), "");
    EXPECT_EQ(t.at(0, 1), "");
    EXPECT_EQ(t.at(1, 0), "");

    EXPECT_TRUE(LoadedTexts().empty());
    EXPECT_EQ(LoadedTexts().at(1, 1), "");
    EXPECT_TRUE(LoadedTexts(GridRows{}).empty());
}

} // namespace
} // namespace qtmv::daily
