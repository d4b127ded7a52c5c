// The window's logic without widgets: the hand-off file, the clock.
#include "daily_report/ui/WindowLogic.h"
#include "daily_report/ui/tests/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qtmv::daily;

using uitest::ReadFile;

TEST(HandOff, ThreeTrimmedLinesInBig5WithCrLfOrNothingAtAll)
{
    const auto dir = std::filesystem::temp_directory_path() / ("handoff-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    // Text outside Big5, or a folder that is not there: refused, nothing written.
    EXPECT_THROW(WriteHandOffFile(dir.string(), "P1\xF0\x9F\x98\x80", "D-印刷"), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    EXPECT_THROW(WriteHandOffFile((dir / "missing").string(), "P1", "D-印刷"), std::runtime_error);

    const std::string path = WriteHandOffFile(dir.string(), "  P1130001 ", " D-印刷 ");
    EXPECT_EQ(path, (dir / "QTMVTMP.TXT").string());
    // "預排" and "印刷" in Big5.
    EXPECT_EQ(ReadFile(path), "\xB9\x77\xB1\xC6\r\nP1130001\r\nD-\xA6\x4C\xA8\xEA\r\n");
    // A second hand-off replaces the first as a whole.
    WriteHandOffFile(dir.string() + "/", "", "N-其它");
    EXPECT_EQ(ReadFile(path), "\xB9\x77\xB1\xC6\r\n\r\nN-\xA8\xE4\xA5\xA6\r\n");
    std::filesystem::remove_all(dir);
}
