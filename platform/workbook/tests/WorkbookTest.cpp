// A workbook as another program reads it back, and the files it refuses.
#include "platform/text/UserError.h"
#include "platform/workbook/Workbook.h"
#include "platform/workbook/testing/ReadWorkbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace qtmv;
using namespace qtmv::xlsx;
namespace fs = std::filesystem;

namespace {

class WorkbookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("workbook_test_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

} // namespace

TEST_F(WorkbookTest, CellsFormatsHeaderAndWidthsReadBack)
{
    const std::string path = (dir_ / "產值.xlsx").string();
    {
        Workbook book(path);
        Sheet& s = book.AddSheet("D-印刷");
        s.Header(0, {"機別", "完成數"});
        s.Text(1, 0, "海德堡四色");
        s.Number(1, 1, 1234.5, {.numberFormat = "#,##0.00", .bold = false});
        s.Number(2, 1, 10);
        s.Formula(3, 1, "=SUM(B2:B3)", 1244.5, {.numberFormat = "#,##0", .bold = true});
        s.ColumnWidth(0, 18);
        book.AddSheet("D-印刷"); // same name again
        book.AddSheet("a/b:c[d]*e?f\\g'一二三四五六七八九十一二三四五六七八九十");
        book.Close();
    }
    EXPECT_FALSE(fs::exists(path + ".part"));
    const auto sheets = xlsx::testing::ReadWorkbook(path);
    ASSERT_EQ(sheets.size(), 3u);
    const auto& s = sheets[0];
    EXPECT_EQ(s.name, "D-印刷");
    EXPECT_EQ(s.frozen, "A2");
    EXPECT_TRUE(s.At("A1").bold);
    EXPECT_EQ(s.Text("B1"), "完成數");
    EXPECT_EQ(s.Text("A2"), "海德堡四色");
    EXPECT_FALSE(s.At("A2").bold);
    EXPECT_DOUBLE_EQ(s.Number("B2"), 1234.5);
    EXPECT_EQ(s.At("B2").format, "#,##0.00");
    EXPECT_EQ(s.At("B4").type, "f");
    EXPECT_EQ(s.Text("B4"), "=SUM(B2:B3)");
    EXPECT_TRUE(s.At("B4").bold);
    EXPECT_NEAR(s.widths.at("A"), 18, 1); // the file holds the width with its padding
    EXPECT_EQ(sheets[1].name, "D-印刷(2)");
    // 31 characters at most, none of the forbidden ones
    EXPECT_EQ(sheets[2].name, "a_b_c_d__e_f_g'一二三四五六七八九十一二三四五六");
}

TEST_F(WorkbookTest, FailuresNameThePathAndLeaveNoFile)
{
    // A folder that does not exist is refused before anything is built.
    const std::string missing = (dir_ / "沒有" / "x.xlsx").string();
    try {
        Workbook book(missing);
        FAIL() << "no error";
    } catch (const UserError& e) {
        EXPECT_NE(std::string(e.what()).find((dir_ / "沒有").string()), std::string::npos) << e.what();
    }

    // What the output may not replace (the output's own cases) is refused
    // before anything is built, naming the file, and stays as it is.
    const std::string readOnly = (dir_ / "唯讀.xlsx").string();
    std::ofstream(readOnly) << "kept";
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    try {
        Workbook book(readOnly);
        FAIL() << "no error";
    } catch (const UserError& e) {
        EXPECT_NE(std::string(e.what()).find(readOnly), std::string::npos) << e.what();
    }
    EXPECT_EQ(fs::file_size(readOnly), 4u);

    // Abandoned without Close: nothing is left behind.
    const std::string abandoned = (dir_ / "abandoned.xlsx").string();
    {
        Workbook open(abandoned);
        open.AddSheet("x").Number(0, 0, 1);
    }
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1); // 唯讀
}

