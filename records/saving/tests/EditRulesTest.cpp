#include "records/saving/EditRules.h"

#include "common/EntryText.h"
#include "common/ProcessKind.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

const GridLayout& LayoutOf(const char* kind) { return GridLayoutOf(*KindByDisplayName(kind)); }

int Col(const GridLayout& l, const char* heading, int nth = 1)
{
    const int c = l.column(heading, nth);
    EXPECT_GT(c, 0) << heading;
    return c;
}

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

// The changes of a click as "col=text " each; texts holds the row's cells.
std::string Clicks(const GridLayout& l, int row, int c, std::map<int, std::string> texts, const Clock& clock)
{
    std::string out;
    for (const CellChange& ch : CellClick(l, row, c, [&texts](int col) { return texts[col]; }, clock).changes)
        out += std::to_string(ch.col) + "=" + ch.text + " ";
    return out;
}

std::string Change(int c, const std::string& text) { return std::to_string(c) + "=" + text + " "; }

} // namespace

// Which cells take an edit, and with what text the edit starts.
TEST(EditRules, EditableColumnsAndTheTextAnEditStartsWith)
{
    const GridLayout& p = LayoutOf("D-印刷");
    // The printing colour counts, not the second "正"/"反" pair.
    EXPECT_EQ(EditableHeadings(p), (std::vector<std::string>{"正", "反", "說明", "完工日", "完工說明"}));
    EXPECT_EQ(ColumnEditOf(p, 0), ColumnEdit::ReadOnly);
    EXPECT_EQ(ColumnEditOf(p, p.columnCount() + 1), ColumnEdit::ReadOnly);

    EXPECT_EQ(EditStartText(p, Col(p, "數量"), "12,000"), std::optional<std::string>("12,000"));
    EXPECT_FALSE(EditStartText(p, Col(p, "說明"), "x"));
    const GridLayout& a = LayoutOf("A-印前");
    EXPECT_FALSE(EditStartText(a, Col(a, "數量"), "5"));
}

TEST(EditRules, KeysPressedAndKeysDown)
{
    const GridLayout& p = LayoutOf("D-印刷");
    const GridLayout& g = LayoutOf("G-軋工");
    const int qty = Col(p, "數量"), remark = Col(p, "說明"), front = Col(p, "正");

    // Anywhere else only Backspace and Enter pass, and nothing is flagged.
    EXPECT_EQ(KeyPressOf(p, qty, kKeyBackspace).key, kKeyBackspace);
    EXPECT_EQ(KeyPressOf(p, qty, kKeyEnter).key, kKeyEnter);
    EXPECT_FALSE(KeyPressOf(p, qty, kKeyBackspace).flag);

    // Editable text: every key, flagged (also a Chinese character).
    EXPECT_TRUE(KeyPressOf(p, remark, 'a').flag);
    EXPECT_TRUE(KeyPressOf(p, remark, 0x4E2D).flag);
    EXPECT_TRUE(KeyPressOf(p, Col(p, "完工日"), '1').flag);

    // Numeric only: digits and the point pass and flag; a full-width digit
    // is taken as its ASCII form; a letter is dropped unflagged.
    EXPECT_TRUE(KeyPressOf(p, front, '.').flag);
    EXPECT_EQ(KeyPressOf(p, front, 0xFF15).key, '5');
    EXPECT_FALSE(KeyPressOf(p, front, 'x').pass());
    EXPECT_FALSE(KeyPressOf(p, front, 'x').flag);
    EXPECT_TRUE(KeyPressOf(p, front, kKeyBackspace).flag);
    EXPECT_FALSE(KeyPressOf(p, front, kKeyEnter).flag);
    EXPECT_FALSE(KeyPressOf(p, Col(p, "正", 2), '7').pass());

    EXPECT_EQ(KeyDownOf(p, Col(p, "反"), kKeyDelete), KeyDown::ClearAndFlag);
    EXPECT_EQ(KeyDownOf(p, p.finishDateCol, kKeyDelete), KeyDown::ClearAndFlag);
    EXPECT_EQ(KeyDownOf(p, Col(p, "數量"), kKeyDelete), KeyDown::Swallow);
    EXPECT_EQ(KeyDownOf(g, Col(g, "刀模代號"), kKeyDelete), KeyDown::ClearAndFlag);
    for (const auto* l : {&p, &g, &LayoutOf("A-印前")})
        EXPECT_EQ(KeyDownOf(*l, 1, kKeyF2), KeyDown::Swallow);
    EXPECT_EQ(KeyDownOf(g, Col(g, "刀模代號"), kKeyF9), KeyDown::OpenDieLookup);
    EXPECT_EQ(KeyDownOf(g, Col(g, "完工日"), kKeyF9), KeyDown::Default);
    EXPECT_EQ(KeyDownOf(p, Col(p, "單筆"), kKeyF9), KeyDown::Default);   // the vendor cell opens on a click only
    EXPECT_EQ(KeyDownOf(p, Col(p, "說明"), 'A'), KeyDown::Default);
    // Space stamps only on "完工日".
    EXPECT_EQ(KeyDownOf(g, Col(g, "完工說明"), kKeySpace), KeyDown::Default);
}

TEST(EditRules, ClickStampsAndToggles)
{
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    auto click = [&](const GridLayout& l, int row, int c, std::map<int, std::string> texts) {
        return Clicks(l, row, c, std::move(texts), clock);
    };
    const GridLayout& p = LayoutOf("D-印刷");
    const int finish = Col(p, "完工日");

    EXPECT_EQ(click(p, 3, finish, {}), Change(finish, "1204-14"));
    clock.set({2025, 1, 9, 8, 59, 0});
    EXPECT_EQ(click(p, 3, finish, {{finish, "1204-14"}}), Change(finish, "0109-08"));   // stamped again
    EXPECT_EQ(click(p, 0, finish, {}), "");   // heading row
    EXPECT_EQ(click(p, 3, 0, {}), "");        // heading column
    EXPECT_EQ(click(p, 3, Col(p, "數量"), {}), "");
    // The printing "紙" is a computed flag, not a toggle.
    EXPECT_EQ(click(p, 2, Col(p, "紙"), {}), "");

    const GridLayout& g = LayoutOf("G-軋工");
    const int paper = Col(g, "紙");
    EXPECT_EQ(click(g, 1, paper, {}), Change(paper, "V"));
    EXPECT_EQ(click(g, 1, paper, {{paper, " V "}}), Change(paper, ""));
    EXPECT_EQ(click(LayoutOf("E-上光"), 1, Col(LayoutOf("E-上光"), "紙"), {}), "");
    // The density mark over a real form text sets the mark alone.
    const int density = Col(p, "濃度");
    EXPECT_EQ(click(p, 2, density, {{Col(p, "表格"), "A1"}}), Change(density, "V"));
    // Clearing that mark would leave a form that is no density mark: refused,
    // with the reason for the window to show.
    const int form = Col(p, "表格");
    const Click refused = CellClick(p, 2, density, [&](int c) { return std::string(c == density ? "V" : c == form ? "A1" : ""); }, clock);
    EXPECT_TRUE(refused.changes.empty());
    EXPECT_NE(refused.refusal.find("「A1」"), std::string::npos) << refused.refusal;
}

TEST(EditRules, LengthLimitsAndTheirHintInBig5Bytes)
{
    const GridLayout& a = LayoutOf("A-印前");
    const int remark = Col(a, "完工說明");

    // 51 Chinese characters are 102 bytes: refused, 50 characters kept.
    auto chinese = CheckEditEnd(a, remark, Repeat("說", 51), "");
    EXPECT_FALSE(chinese.accepted);
    EXPECT_EQ(chinese.text, Repeat("說", 50));
    EXPECT_EQ(chinese.problem, "最多只可輸入100個字元!");
    EXPECT_TRUE(CheckEditEnd(a, Col(a, "備註"), Repeat("說", 50), "").accepted);

    const GridLayout& p = LayoutOf("D-印刷");
    const GridLayout& g = LayoutOf("G-軋工");
    struct Case {
        const GridLayout* l;
        const char* heading;
        int max;
    };
    for (const Case& k : {Case{&p, "預排日", 7}, Case{&p, "完工說明", 50}, Case{&p, "說明", 50}, Case{&p, "色", 2},
                          Case{&p, "正", 10}, Case{&g, "刀模代號", 13}, Case{&g, "新舊刀", 4}, Case{&a, "完工說明", 100}}) {
        const int c = Col(*k.l, k.heading);
        EXPECT_TRUE(CheckEditEnd(*k.l, c, Repeat("9", k.max), "").accepted) << k.heading;
        EXPECT_FALSE(CheckEditEnd(*k.l, c, Repeat("9", k.max + 1), "").accepted) << k.heading;
    }
    // The values the die-cutting line holds fit their column.
    EXPECT_FALSE(CellProblem(g, Col(g, "新舊刀"), "新刀"));
    EXPECT_TRUE(CellProblem(g, Col(g, "新舊刀"), "新刀模"));
    // No limit on the second printing "正" nor on a plain quantity.
    EXPECT_FALSE(LengthLimitOf(p, Col(p, "正", 2)));
    EXPECT_FALSE(LengthLimitOf(a, Col(a, "數量")));

    // The hint counts two bytes a Chinese character: 3 of them and 2 letters
    // use 8 of 100.
    const std::string hint = LengthHint(a, remark, "趕工中ok");
    EXPECT_NE(hint.find("8/100"), std::string::npos) << hint;
    EXPECT_NE(hint.find("50 個中文字"), std::string::npos) << hint;
}

// Counts take digits, thousands commas, one point, or nothing; a NUL or
// another control byte never reaches a statement; the finish date takes a
// stamp of a real day or a seven-digit date. What is refused is refused
// whole: the cell keeps what it held.
TEST(EditRules, CellsRefuseWhatAStatementCannotTake)
{
    const GridLayout& p = LayoutOf("D-印刷");
    const GridLayout& g = LayoutOf("G-軋工");
    struct Rule {
        const GridLayout& l;
        int col;
        std::vector<std::string> ok, bad;
        std::string problem;
    };
    const Rule rules[] = {
        {p, Col(p, "正"), {"", "77", "1,234", "12.5", " 8 "}, {"abc", "7x", "1.2.3", "1.2,3", ".", "-5", "７７"},
         "「正」只可輸入數字!"},
        {p, Col(p, "說明"), {"趕工 OK"}, {std::string("趕\0工", 7), "a\tb", "x\x1b"}, ControlCharacterMessage("說明")},
        {g, Col(g, "完工日"), {"", "1204-14", "0101-00", "0229-23", "1231-23", "1131204", " 1204-09 "},
         {"1304-10", "0230-10", "0431-10", "0000-10", "1204-24", "12/4", "1204 14", "12041", "1204-1a", "1131340", "abc"},
         "「完工日」只可輸入完工時間（月日-時，例如 1204-14，可按空白鍵或 F4 蓋章）或清空!"},
    };
    for (const Rule& rule : rules) {
        SCOPED_TRACE(rule.l.heading(rule.col));
        for (const std::string& ok : rule.ok)
            EXPECT_TRUE(CheckEditEnd(rule.l, rule.col, ok, "3").accepted) << ok;
        for (const std::string& bad : rule.bad) {
            const auto r = CheckEditEnd(rule.l, rule.col, bad, "3");
            EXPECT_FALSE(r.accepted) << bad;
            EXPECT_EQ(r.text, "3") << bad;
            EXPECT_EQ(r.problem, rule.problem) << bad;
        }
    }
}
