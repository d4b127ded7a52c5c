#include "daily_report/saving/EditRules.h"

#include "common/ProcessKind.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

const GridLayout& layoutOf(const char* kind) { return gridLayout(*kindByDisplayName(kind)); }

int col(const GridLayout& l, const char* heading, int nth = 1)
{
    const int c = l.column(heading, nth);
    EXPECT_GT(c, 0) << heading;
    return c;
}

std::string repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

TEST(EditRules, EditableHeadingsPerGrid)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(editableHeadings(layoutOf("A-印前")), (V{"備註", "完工日", "完工說明"}));
    EXPECT_EQ(editableHeadings(layoutOf("M-運送")), (V{"備註", "完工日", "完工說明"}));
    EXPECT_EQ(editableHeadings(layoutOf("C-紙品")), (V{"說明", "完工日", "完工說明"}));
    EXPECT_EQ(editableHeadings(layoutOf("G-軋工")), (V{"刀模代號", "完工日", "完工說明"}));
    // The printing colour counts, not the second "正"/"反" pair.
    EXPECT_EQ(editableHeadings(layoutOf("D-印刷")), (V{"正", "反", "說明", "完工日", "完工說明"}));
    const GridLayout& p = layoutOf("D-印刷");
    EXPECT_EQ(columnEdit(p, col(p, "正")), ColumnEdit::Numeric);
    EXPECT_EQ(columnEdit(p, col(p, "正", 2)), ColumnEdit::ReadOnly);
    EXPECT_EQ(columnEdit(p, 0), ColumnEdit::ReadOnly);
    EXPECT_EQ(columnEdit(p, p.columnCount() + 1), ColumnEdit::ReadOnly);
}

TEST(EditRules, KeyFilter)
{
    const GridLayout& p = layoutOf("D-印刷");
    const int qty = col(p, "數量"), remark = col(p, "說明"), front = col(p, "正");

    // Anywhere else only Backspace and Enter pass, and nothing is flagged.
    EXPECT_FALSE(keyPress(p, qty, 'a').pass());
    EXPECT_FALSE(keyPress(p, qty, '5').pass());
    EXPECT_FALSE(keyPress(p, qty, 'a').flag);
    EXPECT_EQ(keyPress(p, qty, kKeyBackspace).key, kKeyBackspace);
    EXPECT_EQ(keyPress(p, qty, kKeyEnter).key, kKeyEnter);
    EXPECT_FALSE(keyPress(p, qty, kKeyBackspace).flag);

    // Editable text: every key, flagged (also a Chinese character).
    EXPECT_EQ(keyPress(p, remark, 'a').key, 'a');
    EXPECT_TRUE(keyPress(p, remark, 'a').flag);
    EXPECT_TRUE(keyPress(p, remark, 0x4E2D).flag);
    EXPECT_TRUE(keyPress(p, col(p, "完工日"), '1').flag);

    // Numeric only: digits and the point pass and flag; a full-width digit
    // is taken as its ASCII form; a letter is dropped unflagged.
    EXPECT_EQ(keyPress(p, front, '7').key, '7');
    EXPECT_TRUE(keyPress(p, front, '.').flag);
    EXPECT_EQ(keyPress(p, front, 0xFF15).key, '5');
    EXPECT_FALSE(keyPress(p, front, 'x').pass());
    EXPECT_FALSE(keyPress(p, front, 'x').flag);
    EXPECT_TRUE(keyPress(p, front, kKeyBackspace).flag);
    EXPECT_FALSE(keyPress(p, front, kKeyEnter).flag);
    EXPECT_FALSE(keyPress(p, col(p, "正", 2), '7').pass());
}

TEST(EditRules, KeyDown)
{
    const GridLayout& p = layoutOf("D-印刷");
    const GridLayout& g = layoutOf("G-軋工");
    EXPECT_EQ(keyDown(p, col(p, "完工日"), kKeyDelete), KeyDown::ClearAndFlag);
    EXPECT_EQ(keyDown(p, col(p, "反"), kKeyDelete), KeyDown::ClearAndFlag);
    EXPECT_EQ(keyDown(p, col(p, "數量"), kKeyDelete), KeyDown::Swallow);
    EXPECT_EQ(keyDown(g, col(g, "刀模代號"), kKeyDelete), KeyDown::ClearAndFlag);
    for (const auto* l : {&p, &g, &layoutOf("A-印前")})
        EXPECT_EQ(keyDown(*l, 1, kKeyF2), KeyDown::Swallow);
    EXPECT_EQ(keyDown(g, col(g, "刀模代號"), kKeyF9), KeyDown::OpenDieLookup);
    EXPECT_EQ(keyDown(g, col(g, "完工日"), kKeyF9), KeyDown::Default);
    EXPECT_EQ(keyDown(p, col(p, "說明"), kKeyF9), KeyDown::Default);
    EXPECT_EQ(keyDown(p, col(p, "說明"), 'A'), KeyDown::Default);
}

TEST(EditRules, ClickStampsAndToggles)
{
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    // The changes of a click as "col=text " each.
    auto click = [&](const GridLayout& l, int row, int c, const char* text) {
        std::string out;
        for (const CellChange& ch : cellClick(l, row, c, text, clock))
            out += std::to_string(ch.col) + "=" + ch.text + " ";
        return out;
    };
    auto change = [](int c, const std::string& text) { return std::to_string(c) + "=" + text + " "; };
    const GridLayout& p = layoutOf("D-印刷");
    const int finish = col(p, "完工日");

    EXPECT_EQ(click(p, 3, finish, ""), change(finish, "1204-14"));
    clock.set({2025, 1, 9, 8, 59, 0});
    EXPECT_EQ(click(p, 3, finish, "1204-14"), change(finish, "0109-08"));   // already stamped: stamped again
    EXPECT_EQ(click(p, 0, finish, ""), "");   // heading row
    EXPECT_EQ(click(p, 3, 0, ""), "");        // heading column
    EXPECT_EQ(click(p, 3, col(p, "數量"), ""), "");

    // "濃度" toggles and carries the mark into "表格".
    const int density = col(p, "濃度"), form = col(p, "表格");
    EXPECT_EQ(click(p, 2, density, ""), change(density, "V") + change(form, "V"));
    EXPECT_EQ(click(p, 2, density, "V"), change(density, "") + change(form, ""));
    // The printing "紙" is a computed flag, not a toggle.
    EXPECT_EQ(click(p, 2, col(p, "紙"), ""), "");

    const GridLayout& g = layoutOf("G-軋工");
    EXPECT_EQ(click(g, 1, col(g, "紙"), ""), change(col(g, "紙"), "V"));
    EXPECT_EQ(click(g, 1, col(g, "紙"), " V "), change(col(g, "紙"), ""));
    EXPECT_EQ(click(layoutOf("E-上光"), 1, col(layoutOf("E-上光"), "紙"), ""), "");
}

TEST(EditRules, EditStart)
{
    const GridLayout& p = layoutOf("D-印刷");
    EXPECT_EQ(editStartText(p, col(p, "數量"), "12,000"), std::optional<std::string>("12,000"));
    EXPECT_FALSE(editStartText(p, col(p, "說明"), "x"));
    const GridLayout& a = layoutOf("A-印前");
    EXPECT_FALSE(editStartText(a, col(a, "數量"), "5"));
}

TEST(EditRules, LengthLimitsInBig5Bytes)
{
    ScriptedMessages msgs;
    const GridLayout& a = layoutOf("A-印前");
    const int remark = col(a, "完工說明");

    auto ok = editEnd(a, remark, repeat("x", 100));
    EXPECT_TRUE(ok.accepted);
    EXPECT_EQ(ok.text.size(), 100u);
    EXPECT_TRUE(msgs.shown().empty());

    auto cut = editEnd(a, remark, repeat("x", 101));
    EXPECT_FALSE(cut.accepted);
    EXPECT_EQ(cut.text, repeat("x", 100));
    ASSERT_EQ(msgs.shown().size(), 1u);
    EXPECT_EQ(msgs.shown()[0].text, "最多只可輸入100個字元!");
    EXPECT_EQ(msgs.shown()[0].title, "訊息");
    EXPECT_EQ(msgs.shown()[0].icon, MsgIcon::Exclamation);

    // 51 Chinese characters are 102 bytes: refused, 50 characters kept.
    auto chinese = editEnd(a, remark, repeat("說", 51));
    EXPECT_FALSE(chinese.accepted);
    EXPECT_EQ(chinese.text, repeat("說", 50));
    EXPECT_TRUE(editEnd(a, remark, repeat("說", 50)).accepted);
    EXPECT_TRUE(editEnd(a, col(a, "備註"), repeat("說", 50)).accepted);
    EXPECT_FALSE(editEnd(a, col(a, "備註"), repeat("說", 51)).accepted);

    const GridLayout& p = layoutOf("D-印刷");
    const GridLayout& g = layoutOf("G-軋工");
    struct Case {
        const GridLayout* l;
        const char* heading;
        int max;
    };
    for (const Case& k : {Case{&p, "完工日", 7}, Case{&p, "排序", 10}, Case{&p, "完工說明", 50},
                          Case{&p, "說明", 50}, Case{&p, "台", 6}, Case{&p, "色", 2}, Case{&p, "正", 10},
                          Case{&g, "刀模代號", 13}, Case{&g, "完工說明", 50}, Case{&g, "新舊刀", 1},
                          Case{&g, "儲位", 10}, Case{&a, "預排日", 7}}) {
        const int c = col(*k.l, k.heading);
        const auto limit = lengthLimit(*k.l, c);
        ASSERT_TRUE(limit) << k.heading;
        EXPECT_EQ(limit->maxBytes, k.max) << k.heading;
        EXPECT_EQ(limit->message, "最多只可輸入" + std::to_string(k.max) + "個字元!");
        EXPECT_TRUE(editEnd(*k.l, c, repeat("9", k.max)).accepted) << k.heading;
        EXPECT_FALSE(editEnd(*k.l, c, repeat("9", k.max + 1)).accepted) << k.heading;
    }
    // No limit on the second printing "正" nor on a plain quantity.
    EXPECT_FALSE(lengthLimit(p, col(p, "正", 2)));
    EXPECT_FALSE(lengthLimit(a, col(a, "數量")));
}

TEST(EditRules, CurrentGridName)
{
    EXPECT_EQ(currentGridName(layoutOf("D-印刷")), "印刷");
    EXPECT_EQ(currentGridName(layoutOf("I-裁摺")), "裁工");
    EXPECT_EQ(currentGridName(layoutOf("N-其它")), "其他");
}
