#include "daily_report/core/ChangeFlags.h"
#include "daily_report/core/GridLayout.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

const GridLayout& L(char letter) { return gridLayout(*kindByLetter(letter)); }

struct SaveColumns {
    char kind;
    const char* remarkHeading;
    int remark, finishDate, finishRemark, id, ino;
    int count;   // columns of the grid
};

// The numbers saving writes by; they must not move.
constexpr SaveColumns kSave[] = {
    {'A', "備註", 18, 29, 59, 42, 43, 63},     {'B', "備註", 16, 36, 58, 41, 42, 62},
    {'C', "說明", 19, 39, 70, 53, 54, 74},     {'D', "說明", 25, 43, 75, 53, 54, 79},
    {'E', "備註", 16, 28, 50, 33, 34, 54},     {'F', "備註", 16, 29, 51, 34, 35, 55},
    {'G', "刀模代號", 18, 35, 57, 40, 41, 61}, {'H', "備註", 14, 25, 47, 30, 31, 51},
    {'I', "備註", 18, 28, 50, 33, 34, 54},     {'J', "備註", 20, 30, 52, 35, 36, 56},
    {'K', "備註", 14, 24, 46, 29, 30, 50},     {'L', "備註", 14, 24, 46, 29, 30, 50},
    {'M', "備註", 14, 24, 47, 29, 30, 51},     {'N', "備註", 14, 24, 48, 30, 31, 51},
};

} // namespace

TEST(GridLayout, SavingColumnsOfEveryKind)
{
    for (const auto& s : kSave) {
        SCOPED_TRACE(std::string(1, s.kind));
        const GridLayout& l = L(s.kind);
        EXPECT_EQ(l.kind, kindByLetter(s.kind));
        EXPECT_EQ(l.remarkCol, s.remark);
        EXPECT_EQ(l.heading(s.remark), s.remarkHeading);
        EXPECT_EQ(l.finishDateCol, s.finishDate);
        EXPECT_EQ(l.heading(s.finishDate), "完工日");
        EXPECT_EQ(l.finishRemarkCol, s.finishRemark);
        EXPECT_EQ(l.heading(s.finishRemark), "完工說明");
        EXPECT_EQ(l.idCol, s.id);
        EXPECT_EQ(l.heading(s.id), "確認單號");
        EXPECT_EQ(l.inoCol, s.ino);
        EXPECT_EQ(l.heading(s.ino), "序");
        EXPECT_EQ(l.columnCount(), s.count);
    }
}

TEST(GridLayout, CommonHeadAndTail)
{
    for (const auto& k : processKinds()) {
        SCOPED_TRACE(std::string(k.displayName));
        const GridLayout& l = gridLayout(k);
        const char* head[] = {"工單單號", "序", "客戶", "廠商", "品名"};
        for (int c = 1; c <= 5; ++c)
            EXPECT_EQ(l.heading(c), head[c - 1]);
        // The run from "確認單號" to "注意事項" is the same everywhere.
        const char* run[] = {"確認單號", "序", "排序", "車別", "耗時", "開始時間_時", "開始時間_分", "結束時間_時",
                             "結束時間_分", "生產量", "產值", "機別", "下游廠商代號", "下游廠商", "地址", "電話",
                             "注意事項"};
        for (int i = 0; i < 17; ++i)
            EXPECT_EQ(l.heading(l.idCol + i), run[i]);
        EXPECT_EQ(l.heading(l.finishDateCol - 2), "預排日");
        EXPECT_EQ(l.heading(l.finishDateCol - 1), "交貨日");
        // The grid ends with the working column no query fills.
        EXPECT_EQ(l.heading(l.columnCount()), "拆台");
        EXPECT_EQ(l.queriedColumnCount(), l.columnCount() - (k.letter == 'D' || k.letter == 'N' ? 1 : 2));
        // One "單筆"; in the other-kind grid the query fills it, before "完工說明".
        EXPECT_EQ(l.column("單筆", 2), 0);
        EXPECT_EQ(l.column("單筆") + 1 == l.finishRemarkCol, k.letter == 'N');
    }
}

TEST(GridLayout, PrintingColumnsTheOtherWindowsUse)
{
    const GridLayout& p = L('D');
    const std::pair<const char*, int> named[] = {
        {"正", 7},         {"反", 8},         {"計", 9},      {"數量", 17},    {"說明", 25},  {"數量1", 32},
        {"數量2", 33},     {"完工日", 43},    {"確認單號", 53}, {"車別", 56},  {"耗時", 57},  {"上游廠商", 73},
        {"預估", 74},      {"完工說明", 75},  {"表格", 76},   {"濃度", 77},    {"單筆", 78},  {"拆台", 79},
    };
    for (const auto& [h, n] : named)
        EXPECT_EQ(p.column(h), n) << h;
    EXPECT_EQ(p.column("正", 2), 30);
    EXPECT_EQ(p.column("反", 2), 31);
    EXPECT_EQ(p.heading(15), "");   // SIZEA
    // V-flags of the other processes of the line.
    EXPECT_EQ(p.column("調"), 37);
    EXPECT_EQ(p.column("裁"), 40);
}

TEST(ChangeFlags, CellsStartEmptyAndFlagOneByOne)
{
    ChangeFlags f(79, 3);
    EXPECT_EQ(f.columns(), 79);
    EXPECT_EQ(f.rows(), 3);
    EXPECT_FALSE(f.rowFlagged(2));
    EXPECT_TRUE(f.set(2, 43));
    EXPECT_TRUE(f.isFlagged(2, 43));
    EXPECT_EQ(f.get(2, 43), "1");
    EXPECT_FALSE(f.isFlagged(3, 43));
    EXPECT_FALSE(f.isFlagged(2, 42));
    EXPECT_TRUE(f.rowFlagged(2));
    EXPECT_FALSE(f.rowFlagged(1));
    EXPECT_TRUE(f.set(2, 43, ""));
    EXPECT_FALSE(f.isFlagged(2, 43));
    // Heading cells and cells beyond the loaded rows hold no flag.
    EXPECT_FALSE(f.set(0, 1));
    EXPECT_FALSE(f.set(4, 1));
    EXPECT_FALSE(f.set(1, 80));
    EXPECT_EQ(f.get(0, 0), "");
    EXPECT_FALSE(ChangeFlags().isFlagged(1, 1));
}
