// The one trim and the Big5 text the suite's other programs read.
#include "platform/text/Big5.h"
#include "platform/text/Text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace qtmv;

TEST(Val, LeadingNumberOfOddTexts)
{
    // "1e": an exponent without digits is not one; "2D3": Jet's D exponent;
    // "&HFFFF": 16-bit values read signed, as in Jet.
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12}, {"", 0},    {" 1 2 3", 123},  {"-3.5e2x", -350}, {"abc", 0},   {"1.2.3", 1.2},   {"  -  7", -7},
        {".5", 0.5},   {"1e", 1},  {"2D3", 2000},    {"1,000", 1},      {"&H1F", 31}, {"&HFFFF", -1},   {"&O17", 15}};
    for (const auto& [text, number] : cases)
        EXPECT_EQ(Val(text), number) << text;
    EXPECT_TRUE(std::isinf(Val("1e999")));
    EXPECT_FALSE(std::signbit(Val("-0")));
}

TEST(Text, PlainNumbersAreWhatAQuantityCellTakes)
{
    for (const char* ok : {"", "  ", "0", " 12.5 ", "-3", ".5", "7."})
        EXPECT_TRUE(IsPlainNumber(ok)) << ok;
    for (const char* bad : {"-", ".", "1.2.3", "1-2", "1,000", "12a", "+4", "1e3"})
        EXPECT_FALSE(IsPlainNumber(bad)) << bad;
}

// A text taken as it is must be exactly what converting it would give, and
// every plain text RealText writes must be taken (or nothing is gained).
TEST(Text, RealTextIsKeptOnlyWhenConvertingItWouldGiveItBack)
{
    std::mt19937_64 random(7);
    std::vector<double> numbers = {0, -0.0, 9450, 0.5, -12.25, 0.0001, 0.00001, 1e15, 999999999999999,
                                   123456789012345.6, 0.1 + 0.2, 1.0 / 3, 5e-324, 1.7976931348623157e308};
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any))
            numbers.push_back(any);
        numbers.push_back(static_cast<double>(static_cast<long long>(bits % 1000000000000ULL)) /
                          std::pow(10.0, static_cast<double>(bits % 9)));
    }
    int taken = 0;
    for (const double d : numbers) {
        // The forms a server may send: shortest, shortest without an
        // exponent, and 17 digits.
        char buf[400];
        std::vector<std::string> texts;
        for (const auto format : {std::chars_format::general, std::chars_format::fixed})
            texts.emplace_back(buf, std::to_chars(buf, buf + sizeof buf, d, format).ptr);
        texts.emplace_back(buf, std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 17).ptr);
        for (const std::string& t : texts) {
            if (IsRealText(t)) {
                ++taken;
                ASSERT_EQ(RealText(std::strtod(t.c_str(), nullptr)), t) << t;
            }
        }
        const std::string written = RealText(d);
        if (written.find('E') == std::string::npos) {
            ASSERT_TRUE(IsRealText(written)) << written;
        }
    }
    EXPECT_GT(taken, 10000);
    for (const char* odd : {"", "-", ".5", "5.", "1.50", "00", "01", "+1", "-0", "-0.0", "1e5", "1,5", " 1"})
        EXPECT_FALSE(IsRealText(odd)) << odd;
}

TEST(Text, TrimTakesEveryBlankTheUsersType)
{
    EXPECT_EQ(Trim(" \t 王大明\r\n"), "王大明");
    EXPECT_EQ(Trim("\xE3\x80\x80" "印 刷" "\xE3\x80\x80 "), "印 刷");
    EXPECT_EQ(Trim("a b"), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(TrimView("  x  ").size(), 1u);
    EXPECT_EQ(CharacterAt("權1限", 2), "1");
    EXPECT_EQ(CharacterAt("權1限", 3), "限");
    EXPECT_EQ(CharacterAt("ab", 3), "");
    EXPECT_EQ(AsciiUpper("dbq=資料"), "DBQ=資料");
}

TEST(Text, Big5FileTextNamesWhatItCannotHold)
{
    std::string out, bad;
    ASSERT_TRUE(ToBig5("預排\r\nA1", out, &bad));
    EXPECT_EQ(out, std::string("\xB9\x77\xB1\xC6\r\nA1"));
    EXPECT_FALSE(ToBig5("工單😀", out, &bad));
    EXPECT_EQ(bad, "😀");
}

TEST(Big5, LengthsCountChineseTwice)
{
    // "　" is the full-width blank. Characters Big5 lacks count as the two-byte
    // replacement they are stored as; so does a malformed byte.
    const std::pair<const char*, std::size_t> lengths[] = {{"", 0},   {"AB12", 4}, {"印刷", 4}, {"完工數量: 12", 12},
                                                           {"　", 2}, {"😀", 2},   {"为A", 3},  {"\xFF" "A", 3}};
    for (const auto& [text, bytes] : lengths)
        EXPECT_EQ(Big5ByteLength(text), bytes) << text;
    EXPECT_FALSE(IsBig5Encodable(U'😀'));
    EXPECT_FALSE(IsBig5Encodable(U'为'));
    EXPECT_TRUE(IsBig5Encodable(U'為'));
}

TEST(Big5, CutNeverSplitsACharacter)
{
    const struct { const char* text; long long limit; const char* cut; } cases[] = {
        {"印刷機", 5, "印刷"}, {"印刷機", 6, "印刷機"}, {"印刷機", 1, ""}, {"A印B刷", 4, "A印B"}, {"A印B刷", 5, "A印B"},
        {"AB印", 3, "AB"},     {"😀😀", 3, "😀"},       {"abc", 0, ""},    {"abc", -5, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(CutToBytes(c.text, c.limit), c.cut) << c.text << " to " << c.limit;
}
