// The per-workstation analysis table: every finished record of the range
// once, with minutes and production value, under this workstation's key
// only; a cancel or an error keeps the key's earlier rows.
#include "printing/AnalysisTable.h"
#include "reports/testing/ProductionData.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace qtmv;
using namespace qtmv::daily::printing;

namespace {

class AnalysisTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reports::test::SeedProduction(db);
        db.exec("insert into [不良分析_tmp] (ID, 種類, 產值) values ('PC1', 'OLD', '1'), ('PC2', 'D-印刷', '99')");
    }
    db::test::FreshDatabase db;
};

} // namespace

TEST_F(AnalysisTableTest, OneRowPerFinishedRecordWithMinutesAndCappedValue)
{
    db.exec("insert into BIND (PO, [NO], QTY, AMT) values ('P09', 1, 3000, 10000)");
    db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量, 經辦代號, 耗時) "
            "values ('T1', 'P09', 1, 1, 'J-裝訂', '騎馬釘機', '1131204 0800', '1131204 0900', 1660, 'A002', '1')");
    PrintParams p; // every record
    ASSERT_TRUE(BuildAnalysisTable(db.connectionString(), p, "PC1"));
    // In the order of the production key (kind, machine, handler), then time.
    const std::vector<std::vector<std::string>> expected = {
        {"C-紙品", "裁紙機", "A003", "陳阿土", "0", "30", "0", "1131203", "0"},
        {"D-印刷", "海德堡", "A001", "王大明", "1000", "90", "10", "1131202", "0"},    // QTY1 0
        {"D-印刷", "海德堡", "A001", "王大明", "2000", "120", "20", "1131202", "1500"},
        {"D-印刷", "海德堡", "A001", "王大明", "50", "30", "0", "1131202", "0"},       // no process line
        {"D-印刷", "海德堡", "A002", "李小華", "400", "60", "4", "1131203", "1000"},   // 1332 above the amount
        {"D-印刷", "海德堡二號", "A001", "王大明", "100", "60", "1", "1131203", "75"},
        {"E-上光", "UV上光", "A001", "王大明", "100", "60", "2", "1131203", "124"},    // 1.2345 at 3 places
        {"I-裁摺", "大裁刀", "A001", "王大明", "300", "60", "3", "1131203", "0"},      // QTY 0
        {"J-裝訂", "騎馬釘機", "A002", "李小華", "500", "60", "5", "1131203", "0"},    // QTY 0
        {"J-裝訂", "騎馬釘機", "A002", "李小華", "2", "15", "0", "1131203", "7"},
        {"J-裝訂", "騎馬釘機", "A002", "李小華", "1660", "60", "0", "1131204", "5533"}, // 3.3333, as printed
    };
    EXPECT_EQ(db.rows("select 種類, 機別, 經辦代號, 經辦, 完成數, 耗時, 不良數, 完成日期, 產值 from [不良分析_tmp] "
                      "where ID = 'PC1' order by rowid"),
              expected);
}

// Each workstation's rows are its own: a build replaces only its key's rows,
// and a cancel or an error keeps them as they were.
TEST_F(AnalysisTableTest, EachWorkstationKeepsItsOwnRowsAlsoThroughACancelOrAnError)
{
    PrintParams printing;
    printing.kind = "D-印刷";
    printing.workOrderFrom = "P02";
    PrintParams binding;
    binding.kind = "J-裝訂";
    binding.completionGrouping = 2;
    ASSERT_TRUE(BuildAnalysisTable(db.connectionString(), printing, "PC1"));
    ASSERT_TRUE(BuildAnalysisTable(db.connectionString(), binding, "PC2"));
    const auto values = [this](const std::string& quotedKey) {
        return db.value("select group_concat(種類 || ':' || 產值) from [不良分析_tmp] where ID = '" + quotedKey + "'");
    };
    const std::string printingValues = "D-印刷:1500,D-印刷:0,D-印刷:1000,D-印刷:75";
    EXPECT_EQ(values("PC1"), printingValues);
    EXPECT_EQ(values("PC2"), "J-裝訂:0,J-裝訂:7");
    // A key with a quote is data, not SQL.
    ASSERT_TRUE(BuildAnalysisTable(db.connectionString(), binding, "PC'3"));
    EXPECT_EQ(values("PC''3"), "J-裝訂:0,J-裝訂:7");

    long long reported = 0;
    EXPECT_FALSE(BuildAnalysisTable(db.connectionString(), {}, "PC1", [&](long long done, long long total) {
        reported = total;
        return done < total; // cancelled on the last record
    }));
    EXPECT_EQ(reported, 10);
    EXPECT_EQ(values("PC1"), printingValues);
    EXPECT_THROW(BuildAnalysisTable(db.connectionString(), {}, "PC1",
                                    [](long long, long long) -> bool { throw std::runtime_error("disk full"); }),
                 std::runtime_error);
    EXPECT_EQ(values("PC1"), printingValues);
    EXPECT_EQ(db.value("select count(*) from [不良分析_tmp]"), "8");
}
