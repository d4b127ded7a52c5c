// The window's logic without widgets: the machine list, the phrases,
// the hand-off file, the clock.
#include "daily_report/ui/WindowLogic.h"
#include "daily_report/ui/tests/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace qtmv::daily;
using qtmv::KindByLetter;

using uitest::ReadFile;

TEST(MachineList, KindMachinesAndMachinesOfEveryKindWithTheUsersOwnPress)
{
    uitest::TestDatabase db;
    const MachineList printing = LoadMachineList(db.connectionString(), *KindByLetter('D'), "A001");
    EXPECT_EQ(printing.items, (std::vector<std::string>{"", "一號機", "二號機"}));
    EXPECT_EQ(printing.own, "二號機");

    const MachineList cutting = LoadMachineList(db.connectionString(), *KindByLetter('G'), "nobody");
    EXPECT_EQ(cutting.items, (std::vector<std::string>{"", "二號機", "軋台A"}));
    EXPECT_EQ(cutting.own, "");

    db.exec("insert into EMPLOYEE (ID, NAME, 車別) values ('O''Neil', '歐尼爾', '軋台A')");
    EXPECT_EQ(LoadMachineList(db.connectionString(), *KindByLetter('G'), "O'Neil").own, "軋台A");
}

TEST(Phrases, LoadedInIdOrderAndListedByItem)
{
    uitest::TestDatabase db;
    const PhraseTable t = LoadPhrases(db.connectionString());
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.list("機別"), (std::vector<std::string>{"一號機", "二號機", "軋台A"}));
    EXPECT_EQ(t.list("停工說明"), (std::vector<std::string>{"缺紙"}));
    EXPECT_TRUE(t.list("儲位").empty());
}

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
