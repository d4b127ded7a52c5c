// A workbook as another program reads it back, and the files it refuses.
#include "platform/text/UserError.h"
#include "platform/workbook/Workbook.h"
#include "platform/workbook/testing/ReadWorkbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace qtmv;
using namespace qtmv::xlsx;
namespace fs = std::filesystem;

namespace {

// `build` is refused with a user error naming `named`.
void ExpectRefusedNaming(const std::function<void()>& build, const std::string& named)
{
    try {
        build();
        ADD_FAILURE() << "no error";
    } catch (const UserError& e) {
        EXPECT_NE(std::string(e.what()).find(named), std::string::npos) << e.what();
    }
}

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
    ExpectRefusedNaming([&] { Workbook book(missing); }, (dir_ / "沒有").string());

    // What the output may not replace (the output's own cases) is refused
    // before anything is built, naming the file, and stays as it is.
    const std::string readOnly = (dir_ / "唯讀.xlsx").string();
    std::ofstream(readOnly) << "kept";
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ExpectRefusedNaming([&] { Workbook book(readOnly); }, readOnly);
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

namespace {

// Output value by machine as bars on the left axis, the defect rate as a
// line on the right one.
Chart ValueAndRate(const std::string& sheet, int last)
{
    using K = ChartSeries::Kind;
    const CellRange machines{sheet, 1, 0, last, 0};
    return {.title = "各機產值",
            .series = {{K::Column, "產值", machines, {sheet, 1, 1, last, 1}, false},
                       {K::Line, "不良率", machines, {sheet, 1, 27, last, 27}, true}}, // on the right
            .categoryAxis = {"機別", {}},
            .valueAxis = {"產值", "#,##0"},
            .secondaryAxis = {"不良率(%)", "0.00"},
            .legend = true};
}

// A chart read back, a line each: where it is and its title and legend;
// each series (type|name|categories|values|its value axis' side, format and
// title); its axes' count and the titles of the category axes shown.
std::string Described(const xlsx::testing::ChartContent& c)
{
    std::string out = c.sheet + (c.chartSheet ? "|chart sheet|" : "|in sheet|") + c.title + "|" + c.legend;
    for (const auto& s : c.series)
        out += "\n" + s.type + "|" + s.name + "|" + s.categories + "|" + s.values + "|" + s.valueAxis.position + " "
               + s.valueAxis.format + " " + s.valueAxis.title;
    out += "\n" + std::to_string(c.axes.size()) + " axes, category shown:";
    for (const auto& a : c.axes)
        out += a.kind == "cat" && !a.deleted ? " " + a.title : "";
    return out;
}

} // namespace

TEST_F(WorkbookTest, ChartsReferToTheirCellsWithTheirAxesAndOpenInOpenpyxl)
{
    const std::string path = (dir_ / "圖表.xlsx").string();
    std::string again;
    {
        Workbook book(path);
        // The chart sheet comes before the sheet it draws from.
        EXPECT_EQ(book.AddChartSheet("產值圖", ValueAndRate("產值'分析", 3)), "產值圖");
        book.AddSheet("產值'分析").Number(1, 1, 1000);
        Chart inSheet;
        inSheet.legend = false;
        inSheet.series = {{.kind = ChartSeries::Kind::Line, .name = "完成數", .categories = {"Data", 0, 0, 0, 3},
                           .values = {"Data", 1, 0, 1, 3}, .secondaryAxis = false}};
        book.AddSheet("Data").InsertChart(3, 1, inSheet);
        again = book.AddSheet("產值圖").Name(); // a chart sheet's name
        book.Close();
    }
    // openpyxl reads the charts with the workbook: a part it cannot parse
    // fails the read.
    EXPECT_EQ(xlsx::testing::ReadWorkbook(path).size(), 3u);
    EXPECT_EQ(again, "產值圖(2)");

    const auto charts = xlsx::testing::ReadCharts(path);
    ASSERT_EQ(charts.size(), 2u);
    // One category axis shown, titled, under both series; no secondary pair
    // in the chart that has none.
    EXPECT_EQ(Described(charts[0]), "產值圖|chart sheet|各機產值|b\n"
                                    "column|產值|'產值''分析'!$A$2:$A$4|'產值''分析'!$B$2:$B$4|l #,##0 產值\n"
                                    "line|不良率|'產值''分析'!$A$2:$A$4|'產值''分析'!$AB$2:$AB$4|r 0.00 不良率(%)\n"
                                    "4 axes, category shown: 機別");
    EXPECT_EQ(Described(charts[1]), "Data|in sheet||\n"
                                    "line|完成數|'Data'!$A$1:$D$1|'Data'!$A$2:$D$2|l General \n"
                                    "2 axes, category shown: ");
}
