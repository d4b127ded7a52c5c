// The one trim and the Big5 text the suite's other programs read.
#include "platform/text/Big5.h"
#include "platform/text/Text.h"

#include <gtest/gtest.h>

using namespace qtmv;

TEST(Text, TrimTakesEveryBlankTheUsersType)
{
    EXPECT_EQ(Trim(" \t工單\r\n"), "工單");
    EXPECT_EQ(Trim("\xE3\x80\x80" "A01\xE3\x80\x80"), "A01");   // full-width spaces
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
