#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

using namespace qtmv;

TEST(FormatAmount, ThousandsAndDecimalsNonNumbersUnchanged)
{
    // Input, output; "1,234,567" is formatted again.
    const std::pair<const char*, const char*> cases[] = {
        {"1234567", "1,234,567"}, {"1234.5", "1,234.5"}, {"1234.50", "1,234.5"}, {"-1234567.125", "-1,234,567.125"},
        {"123", "123"}, {"0", "0"}, {"-0.00", "0"}, {"0.5", "0.5"}, {".5", "0.5"}, {" 001000 ", "1,000"},
        {"1,234,567", "1,234,567"}, {"1.5E3", "1,500"}, {"+12E-2", "0.12"}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(FormatAmount(in), out) << "input \"" << in << '"';
    for (const char* text : {"", "abc", "12abc", "  ", ".", "-", "1e", "1.2.3"})
        EXPECT_EQ(FormatAmount(text), text) << "not a number: \"" << text << '"';
}

TEST(FormatFixed, HalfAwayFromZeroWithoutBinaryArtifacts)
{
    // 2.5 gives "3": not banker's rounding.
    const struct { double value; int decimals; const char* text; } cases[] = {
        {2.675, 2, "2.68"}, {1.005, 2, "1.01"}, {-2.675, 2, "-2.68"}, {0.5, 0, "1"}, {1.5, 0, "2"}, {2.5, 0, "3"},
        {-0.5, 0, "-1"}, {-0.004, 2, "0.00"}, {9.9996, 3, "10.000"}, {0.1 + 0.2, 5, "0.30000"},
        {1234567.891, 1, "1234567.9"}, {0.000123456, 4, "0.0001"}, {1e20, 0, "100000000000000000000"},
        {std::numeric_limits<double>::quiet_NaN(), 2, "0.00"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text) << c.value << " to " << c.decimals;
    EXPECT_DOUBLE_EQ(RoundNumber(1.75 * 60, 0), 105);
    EXPECT_DOUBLE_EQ(RoundNumber(3.0 / 200 * 100, 1), 1.5);
    EXPECT_DOUBLE_EQ(RoundNumber(1.23456789, 5), 1.23457);
}

TEST(Sizes, SizeNumberPicksAPartSplitSizeCutsAtEverySeparator)
{
    const struct { const char* size; const char* part; double number; } picked[] = {
        {"31*43", "1", 31},       {"31*43", "2", 43}, {"31*43", "", 43}, {"31.5＊43cm", "1", 31.5},
        {"31.5＊43cm", "2", 43}, {"25", "1", 25},    {"25", "2", 25},   {"", "1", 0}};
    for (const auto& c : picked)
        EXPECT_DOUBLE_EQ(SizeNumber(c.size, c.part), c.number) << c.size << " part " << c.part;
    const std::pair<const char*, std::vector<double>> split[] = {
        {"31*43", {31, 43}},          {"31 x 43 x 2", {31, 43, 2}}, {"31×43＊5", {31, 43, 5}}, {"31X43cm", {31, 43}},
        {"31cm x 43.5cm", {31, 43.5}}, {"1*2*3*4", {1, 2, 3}},      {"3.1.4", {3.1}},         {"", {}},
        {"大度", {}}};
    for (const auto& [size, parts] : split)
        EXPECT_EQ(SplitSize(size), parts) << size;
}
