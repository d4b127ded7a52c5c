#include "records/core/ChangeFlags.h"
#include "records/core/GridLayout.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::daily;

// Saving finds its columns by heading: each must name the cell it writes,
// once, and the working columns no query fills close every grid.
TEST(GridLayout, SavingColumnsOfEveryKind)
{
    for (const auto& k : ProcessKinds()) {
        SCOPED_TRACE(std::string(k.displayName));
        const GridLayout& l = GridLayoutOf(k);
        const char* remark = k.letter == 'C' || k.letter == 'D' ? "說明" : k.letter == 'G' ? "刀模代號" : "備註";
        EXPECT_EQ(l.heading(l.remarkCol), remark);
        EXPECT_EQ(l.column("完工日", 2), 0);
        EXPECT_EQ(l.column("完工說明", 2), 0);
        EXPECT_EQ(l.heading(l.columnCount()), "拆台");
        EXPECT_EQ(l.queriedColumnCount(), l.columnCount() - (k.letter == 'D' || k.letter == 'N' ? 1 : 2));
        // One "單筆"; in the other-kind grid the query fills it, before "完工說明".
        EXPECT_EQ(l.column("單筆", 2), 0);
        EXPECT_EQ(l.column("單筆") + 1 == l.finishRemarkCol, k.letter == 'N');
    }
}

// Only "1" counts as changed; the count follows flagging, re-flagging and
// undoing, and a row's flags never leak into its neighbours at the row edges.
TEST(ChangeFlags, FlagsCountAndClearFollowTheEdits)
{
    ChangeFlags f(79, 3);
    EXPECT_TRUE(f.set(2, 43));
    EXPECT_TRUE(f.isFlagged(2, 43));
    EXPECT_FALSE(f.isFlagged(3, 43));
    EXPECT_TRUE(f.set(2, 43, ""));
    EXPECT_FALSE(f.isFlagged(2, 43));
    // Heading cells and cells beyond the loaded rows hold no flag.
    EXPECT_FALSE(f.set(0, 1));
    EXPECT_FALSE(f.set(4, 1));
    EXPECT_FALSE(f.set(1, 80));
    EXPECT_EQ(f.get(0, 0), "");
    EXPECT_FALSE(ChangeFlags().isFlagged(1, 1));

    f.set(1, 79);
    f.set(3, 1);
    f.set(3, 1);
    f.set(2, 5, "x");
    EXPECT_EQ(f.flaggedCount(), 2);
    EXPECT_EQ(f.get(2, 5), "x");
    EXPECT_FALSE(f.isFlagged(2, 5));
    EXPECT_FALSE(f.rowFlagged(2));
    EXPECT_TRUE(f.rowFlagged(1));
    EXPECT_TRUE(f.rowFlagged(3));
    f.set(3, 1, "x");
    EXPECT_EQ(f.flaggedCount(), 1);
    f.clear(1, 79);
    f.clear(1, 79);
    f.clear(9, 9);
    EXPECT_EQ(f.flaggedCount(), 0);
    EXPECT_FALSE(f.rowFlagged(1));
    EXPECT_EQ(f.get(1, 79), "");
}
