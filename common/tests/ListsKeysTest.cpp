#include "common/CodeLists.h"
#include "common/KeyFilter.h"
#include "common/ProcessKind.h"
#include "common/SendKeys.h"

#include <gtest/gtest.h>

using namespace qtmv;
using Items = std::vector<std::string>;

TEST(CodeLists, YesNoLists)
{
    EXPECT_EQ(BuildCodeList("D-印刷", "YN", "Y", {}).items, (Items{"Y", "N"}));
    EXPECT_EQ(BuildCodeList("D-印刷", "YN", " N ", {}).items, (Items{"N", "Y"}));
    EXPECT_EQ(BuildCodeList("D-印刷", "YN", "", {}).items, (Items{"", "Y", "N"}));
    EXPECT_EQ(BuildCodeList("D-印刷", "YN1", "Y", {}).items, (Items{"", "Y", "N"}));
    EXPECT_EQ(BuildCodeList("D-印刷", "YN1", "X", {}).items, (Items{"", "Y", "N"}));
    EXPECT_EQ(BuildCodeList("", "判定", "NG", {}).items, (Items{"NG", "OK"}));
}

TEST(CodeLists, KindsAndDataRows)
{
    const Items kinds = BuildCodeList("", "製程種類", "D-印刷", {}).items;
    ASSERT_EQ(kinds.size(), 14u);
    EXPECT_EQ(kinds[0], "D-印刷");
    EXPECT_EQ(kinds[1], "A-印前");
    EXPECT_EQ(kinds[13], "N-其它");

    const CodeRows rows = {{" 1號機 ", "x"}, {"2號機"}, {}, {"  "}, {"1號機"}, {"3號機"}};
    EXPECT_EQ(BuildCodeList("D-印刷", "機別", "2號機", rows).items,
              (Items{"2號機", "1號機", "3號機"}));
}

TEST(CodeLists, PrintSizeCarriesItsSecondValue)
{
    const CodeRows rows = {{"31*43", "菊全"}, {"25*35", "四六"}};
    const std::string pad(100, ' ');
    const CodeList empty = BuildCodeList(" D-印刷 ", "印刷尺寸", "", rows);
    EXPECT_EQ(empty.items, (Items{"", "31*43" + pad + "||菊全", "25*35" + pad + "||四六"}));
    // The current size heads the list with its second value, and only once.
    const CodeList chosen = BuildCodeList("D-印刷", "印刷尺寸", "25*35", rows);
    EXPECT_EQ(chosen.items, (Items{"25*35" + pad + "||四六", "31*43" + pad + "||菊全"}));
    EXPECT_EQ(SplitPrintSizeItem(chosen.items[0]), (std::pair<std::string, std::string>{"25*35", "四六"}));
    // Other kinds get the plain values.
    EXPECT_EQ(BuildCodeList("E-上光", "印刷尺寸", "", rows).items, (Items{"", "31*43", "25*35"}));
}

TEST(CodeLists, UnknownListKeepsOnlyTheCurrentValue)
{
    const CodeList l = BuildCodeList("D-印刷", "不存在", " Y ", {{"a"}});
    EXPECT_FALSE(l.known);
    EXPECT_EQ(l.items, (Items{"Y"}));
}

TEST(ProcessKinds, TableNameNeedsTheExactDisplayName)
{
    EXPECT_EQ(ProcessTableName(" D-印刷 "), "PRINTING");
    EXPECT_EQ(ProcessTableName("D-印 刷"), "");
    EXPECT_EQ(ProcessTableName("印刷"), "");
}

TEST(Colours, SettingsAndLockColours)
{
    EXPECT_EQ(ColourSettings(), (Items{"12632064", "15728381", "14221312", "16777215", "16747326",
                                       "16777215", "4868863"}));
    EXPECT_EQ(kLockedYellow, VbColour(255, 255, 192));
    EXPECT_EQ(kLockedGrey, VbColour(192, 192, 192));
}

TEST(KeyFilter, EveryModeLetsBackspaceAndEnterPass)
{
    for (int m = 1; m <= 7; ++m) {
        EXPECT_EQ(KeyFilter(8, KeyFilterMode(m)), 8);
        EXPECT_EQ(KeyFilter(13, KeyFilterMode(m)), 13);
    }
}

TEST(KeyFilter, ModesAcceptTheirKeys)
{
    EXPECT_EQ(UpperCaseKey('a'), 'A');
    EXPECT_EQ(UpperCaseKey(U'ｂ'), int(U'Ｂ'));
    EXPECT_EQ(UpperCaseKey('1'), '1');

    EXPECT_EQ(KeyFilter('a', KeyFilterMode::Upper), 'A');
    EXPECT_EQ(KeyFilter('/', KeyFilterMode::Upper), '/');
    EXPECT_EQ(KeyFilter(U'印', KeyFilterMode::Upper), int(U'印'));

    EXPECT_EQ(KeyFilter('7', KeyFilterMode::Digits), '7');
    EXPECT_EQ(KeyFilter(U'７', KeyFilterMode::Digits), '7');
    EXPECT_EQ(KeyFilter('.', KeyFilterMode::Digits), 0);
    EXPECT_EQ(KeyFilter('a', KeyFilterMode::Digits), 0);
    EXPECT_EQ(KeyFilter(22, KeyFilterMode::Digits), 0); // Ctrl+V as a key code

    EXPECT_EQ(KeyFilter('.', KeyFilterMode::Decimal), '.');
    EXPECT_EQ(KeyFilter('-', KeyFilterMode::Decimal), 0);
    EXPECT_EQ(KeyFilter('-', KeyFilterMode::SignedDecimal), '-');
    EXPECT_EQ(KeyFilter('e', KeyFilterMode::SignedDecimal), 0);

    EXPECT_EQ(KeyFilter('q', KeyFilterMode::Code), 'Q');
    EXPECT_EQ(KeyFilter(U'ｑ', KeyFilterMode::Code), 'Q');
    EXPECT_EQ(KeyFilter('-', KeyFilterMode::Code), '-');
    EXPECT_EQ(KeyFilter(' ', KeyFilterMode::Code), 0);
    EXPECT_EQ(KeyFilter(U'印', KeyFilterMode::Code), 0);

    EXPECT_EQ(KeyFilter(' ', KeyFilterMode::DateTime), ' ');
    EXPECT_EQ(KeyFilter(U'　', KeyFilterMode::DateTime), ' ');
    EXPECT_EQ(KeyFilter(':', KeyFilterMode::DateTime), 0);

    EXPECT_EQ(KeyFilter('1', KeyFilterMode::NoTyping), 0);
}

TEST(SendKeys, Notation)
{
    const auto k = ParseSendKeys("{TAB}~{f9}{ESC}a+b^c{+}{TAB 2}印");
    ASSERT_TRUE(k);
    ASSERT_EQ(k->size(), 11u);
    EXPECT_EQ((*k)[0].key, NamedKey::Tab);
    EXPECT_EQ((*k)[1].key, NamedKey::Enter);
    EXPECT_EQ((*k)[2], (KeyStroke{NamedKey::Function, 0, 9}));
    EXPECT_EQ((*k)[3].key, NamedKey::Escape);
    EXPECT_EQ((*k)[4], (KeyStroke{NamedKey::None, U'a'}));
    EXPECT_EQ((*k)[5], (KeyStroke{NamedKey::None, U'b', 0, true}));
    EXPECT_EQ((*k)[6], (KeyStroke{NamedKey::None, U'c', 0, false, true}));
    EXPECT_EQ((*k)[7], (KeyStroke{NamedKey::None, U'+'}));
    EXPECT_EQ((*k)[8].key, NamedKey::Tab);
    EXPECT_EQ((*k)[9].key, NamedKey::Tab);
    EXPECT_EQ((*k)[10], (KeyStroke{NamedKey::None, U'印'}));

    const auto group = ParseSendKeys("+(ab)c{}}");
    ASSERT_TRUE(group);
    EXPECT_EQ(*group, (std::vector<KeyStroke>{{NamedKey::None, U'a', 0, true},
                                              {NamedKey::None, U'b', 0, true},
                                              {NamedKey::None, U'c'},
                                              {NamedKey::None, U'}'}}));

    for (const char* broken : {"{TAB", "{NOSUCHKEY}", "{F17}", "(ab", "ab)", "a+", "}", "{}"})
        EXPECT_FALSE(ParseSendKeys(broken)) << broken;
}
