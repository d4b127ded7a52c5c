#include "common/Big5Text.h"
#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>

using namespace qtmv;

TEST(Big5, LengthsCountChineseTwice)
{
    EXPECT_EQ(Big5ByteLength(""), 0u);
    EXPECT_EQ(Big5ByteLength("AB12"), 4u);
    EXPECT_EQ(Big5ByteLength("印刷"), 4u);
    EXPECT_EQ(Big5ByteLength("完工數量: 12"), 12u);
    EXPECT_EQ(Big5ByteLength("　"), 2u); // full-width blank
    // Characters Big5 lacks count as the two-byte replacement they are stored as.
    EXPECT_FALSE(IsBig5Encodable(U'😀'));
    EXPECT_FALSE(IsBig5Encodable(U'为'));
    EXPECT_TRUE(IsBig5Encodable(U'為'));
    EXPECT_EQ(Big5ByteLength("😀"), 2u);
    EXPECT_EQ(Big5ByteLength("为A"), 3u);
    EXPECT_EQ(Big5ByteLength("\xFF" "A"), 3u); // malformed byte
}

TEST(Big5, CutNeverSplitsACharacter)
{
    EXPECT_EQ(CutToBytes("印刷機", 5), "印刷");
    EXPECT_EQ(CutToBytes("印刷機", 6), "印刷機");
    EXPECT_EQ(CutToBytes("印刷機", 1), "");
    EXPECT_EQ(CutToBytes("A印B刷", 4), "A印B");
    EXPECT_EQ(CutToBytes("A印B刷", 5), "A印B");
    EXPECT_EQ(CutToBytes("AB印", 3), "AB");
    EXPECT_EQ(CutToBytes("😀😀", 3), "😀");
    EXPECT_EQ(CutToBytes("abc", 0), "");
    EXPECT_EQ(CutToBytes("abc", -5), "");
    // A 51-character remark is cut to the 100-byte column.
    std::string remark;
    for (int i = 0; i < 51; ++i)
        remark += "字";
    EXPECT_EQ(Big5ByteLength(remark), 102u);
    EXPECT_EQ(Big5ByteLength(CutToBytes(remark, 100)), 100u);
}

TEST(FormatAmount, ThousandsAndDecimals)
{
    EXPECT_EQ(FormatAmount("1234567"), "1,234,567");
    EXPECT_EQ(FormatAmount("1234.5"), "1,234.5");
    EXPECT_EQ(FormatAmount("1234.50"), "1,234.5");
    EXPECT_EQ(FormatAmount("-1234567.125"), "-1,234,567.125");
    EXPECT_EQ(FormatAmount("123"), "123");
    EXPECT_EQ(FormatAmount("0"), "0");
    EXPECT_EQ(FormatAmount("-0.00"), "0");
    EXPECT_EQ(FormatAmount("0.5"), "0.5");
    EXPECT_EQ(FormatAmount(".5"), "0.5");
    EXPECT_EQ(FormatAmount(" 001000 "), "1,000");
    EXPECT_EQ(FormatAmount("1,234,567"), "1,234,567"); // formatted again
    EXPECT_EQ(FormatAmount("1.5E3"), "1,500");
    EXPECT_EQ(FormatAmount("+12E-2"), "0.12");
}

TEST(FormatAmount, NonNumbersUnchanged)
{
    EXPECT_EQ(FormatAmount(""), "");
    EXPECT_EQ(FormatAmount("abc"), "abc");
    EXPECT_EQ(FormatAmount("12abc"), "12abc");
    EXPECT_EQ(FormatAmount("  "), "  ");
    EXPECT_EQ(FormatAmount("."), ".");
    EXPECT_EQ(FormatAmount("-"), "-");
    EXPECT_EQ(FormatAmount("1e"), "1e");
    EXPECT_EQ(FormatAmount("1.2.3"), "1.2.3");
}

TEST(FormatFixed, HalfAwayFromZeroWithoutBinaryArtifacts)
{
    EXPECT_EQ(FormatFixed(2.675, 2), "2.68");
    EXPECT_EQ(FormatFixed(1.005, 2), "1.01");
    EXPECT_EQ(FormatFixed(-2.675, 2), "-2.68");
    EXPECT_EQ(FormatFixed(0.5, 0), "1");
    EXPECT_EQ(FormatFixed(1.5, 0), "2");
    EXPECT_EQ(FormatFixed(2.5, 0), "3"); // not banker's rounding
    EXPECT_EQ(FormatFixed(-0.5, 0), "-1");
    EXPECT_EQ(FormatFixed(-0.004, 2), "0.00");
    EXPECT_EQ(FormatFixed(9.9996, 3), "10.000");
    EXPECT_EQ(FormatFixed(0.1 + 0.2, 5), "0.30000");
    EXPECT_EQ(FormatFixed(1234567.891, 1), "1234567.9");
    EXPECT_EQ(FormatFixed(0.000123456, 4), "0.0001");
    EXPECT_EQ(FormatFixed(1e20, 0), "100000000000000000000");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 2), "0.00");
    EXPECT_DOUBLE_EQ(RoundNumber(1.75 * 60, 0), 105);
    EXPECT_DOUBLE_EQ(RoundNumber(3.0 / 200 * 100, 1), 1.5);
    EXPECT_DOUBLE_EQ(RoundNumber(1.23456789, 5), 1.23457);
}

TEST(Sizes, SizeNumberPicksAPart)
{
    EXPECT_DOUBLE_EQ(SizeNumber("31*43", "1"), 31);
    EXPECT_DOUBLE_EQ(SizeNumber("31*43", "2"), 43);
    EXPECT_DOUBLE_EQ(SizeNumber("31*43", ""), 43);
    EXPECT_DOUBLE_EQ(SizeNumber("31.5＊43cm", "1"), 31.5);
    EXPECT_DOUBLE_EQ(SizeNumber("31.5＊43cm", "2"), 43);
    EXPECT_DOUBLE_EQ(SizeNumber("25", "1"), 25);
    EXPECT_DOUBLE_EQ(SizeNumber("25", "2"), 25);
    EXPECT_DOUBLE_EQ(SizeNumber("", "1"), 0);
}

TEST(Sizes, SplitSizeAtEverySeparator)
{
    EXPECT_EQ(SplitSize("31*43"), (std::vector<double>{31, 43}));
    EXPECT_EQ(SplitSize("31 x 43 x 2"), (std::vector<double>{31, 43, 2}));
    EXPECT_EQ(SplitSize("31×43＊5"), (std::vector<double>{31, 43, 5}));
    EXPECT_EQ(SplitSize("31X43cm"), (std::vector<double>{31, 43}));
    EXPECT_EQ(SplitSize("31cm x 43.5cm"), (std::vector<double>{31, 43.5}));
    EXPECT_EQ(SplitSize("1*2*3*4"), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(SplitSize("3.1.4"), (std::vector<double>{3.1}));
    EXPECT_TRUE(SplitSize("").empty());
    EXPECT_TRUE(SplitSize("大度").empty());
}
