#include "common/CodeLists.h"
#include "common/KeyFilter.h"
#include "common/ProcessKind.h"
#include "common/SendKeys.h"

#include <gtest/gtest.h>

using namespace qtmv;
using Items = std::vector<std::string>;

TEST(CodeLists, TheCurrentValueHeadsTheList)
{
    const CodeRows machines = {{" 1號機 ", "x"}, {"2號機"}, {}, {"  "}, {"1號機"}, {"3號機"}};
    const CodeRows sizes = {{"31*43", "菊全"}, {"25*35", "四六"}};
    const std::string pad(100, ' ');
    // Kind, list, current value, data rows, the items. Data rows are trimmed
    // and taken once each; the current print size carries its second value
    // and comes only once; other kinds get the plain values.
    const struct { const char* kind; const char* list; const char* current; CodeRows rows; Items items; } cases[] = {
        {"D-印刷", "YN", "Y", {}, {"Y", "N"}},          {"D-印刷", "YN", " N ", {}, {"N", "Y"}},
        {"D-印刷", "YN", "", {}, {"", "Y", "N"}},       {"D-印刷", "YN1", "Y", {}, {"", "Y", "N"}},
        {"D-印刷", "YN1", "X", {}, {"", "Y", "N"}},     {"", "判定", "NG", {}, {"NG", "OK"}},
        {"D-印刷", "機別", "2號機", machines, {"2號機", "1號機", "3號機"}},
        {" D-印刷 ", "印刷尺寸", "", sizes, {"", "31*43" + pad + "||菊全", "25*35" + pad + "||四六"}},
        {"D-印刷", "印刷尺寸", "25*35", sizes, {"25*35" + pad + "||四六", "31*43" + pad + "||菊全"}},
        {"E-上光", "印刷尺寸", "", sizes, {"", "31*43", "25*35"}}};
    for (const auto& c : cases)
        EXPECT_EQ(BuildCodeList(c.kind, c.list, c.current, c.rows).items, c.items)
            << c.kind << " " << c.list << " with \"" << c.current << '"';
    EXPECT_EQ(SplitPrintSizeItem("25*35" + pad + "||四六"), (std::pair<std::string, std::string>{"25*35", "四六"}));
}

TEST(ProcessKinds, TableNameNeedsTheExactDisplayName)
{
    EXPECT_EQ(ProcessTableName(" D-印刷 "), "PRINTING");
    EXPECT_EQ(ProcessTableName("D-印 刷"), "");
    EXPECT_EQ(ProcessTableName("印刷"), "");
}

TEST(KeyFilter, ModesAcceptTheirKeysAndAllLetBackspaceAndEnterPass)
{
    EXPECT_EQ(UpperCaseKey('a'), 'A');
    EXPECT_EQ(UpperCaseKey(U'ｂ'), int(U'Ｂ'));
    EXPECT_EQ(UpperCaseKey('1'), '1');

    using M = KeyFilterMode;
    // Key, mode, what passes (0: dropped). 22 is Ctrl+V as a key code.
    const struct { int key; M mode; int passes; } cases[] = {
        {'a', M::Upper, 'A'},        {'/', M::Upper, '/'},          {U'印', M::Upper, U'印'},   {'7', M::Digits, '7'},
        {U'７', M::Digits, '7'},     {'.', M::Digits, 0},           {'a', M::Digits, 0},        {22, M::Digits, 0},
        {'.', M::Decimal, '.'},      {'-', M::Decimal, 0},          {'-', M::SignedDecimal, '-'},
        {'e', M::SignedDecimal, 0},  {'q', M::Code, 'Q'},           {U'ｑ', M::Code, 'Q'},      {'-', M::Code, '-'},
        {' ', M::Code, 0},           {U'印', M::Code, 0},           {' ', M::DateTime, ' '},    {U'　', M::DateTime, ' '},
        {':', M::DateTime, 0},       {'1', M::NoTyping, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(KeyFilter(c.key, c.mode), c.passes) << c.key << " in mode " << static_cast<int>(c.mode);
    // Every mode lets Backspace and Enter pass.
    for (int m = 1; m <= 7; ++m)
        for (int key : {8, 13})
            EXPECT_EQ(KeyFilter(key, M(m)), key) << key << " in mode " << m;
}

TEST(SendKeys, Notation)
{
    const auto k = ParseSendKeys("{TAB}~{f9}{ESC}a+b^c{+}{TAB 2}印");
    ASSERT_TRUE(k);
    using N = NamedKey;
    EXPECT_EQ(*k, (std::vector<KeyStroke>{{N::Tab}, {N::Enter}, {N::Function, 0, 9}, {N::Escape}, {N::None, U'a'},
                                          {N::None, U'b', 0, true}, {N::None, U'c', 0, false, true}, {N::None, U'+'},
                                          {N::Tab}, {N::Tab}, {N::None, U'印'}}));

    const auto group = ParseSendKeys("+(ab)c{}}");
    ASSERT_TRUE(group);
    EXPECT_EQ(*group, (std::vector<KeyStroke>{{N::None, U'a', 0, true}, {N::None, U'b', 0, true}, {N::None, U'c'},
                                              {N::None, U'}'}}));

    for (const char* broken : {"{TAB", "{NOSUCHKEY}", "{F17}", "(ab", "ab)", "a+", "}", "{}"})
        EXPECT_FALSE(ParseSendKeys(broken)) << broken;
}
