#include "db/Database.h"
#include "db/testing/FreshDatabase.h"

#include "common/ProcessKind.h"
#include "platform/jet/Sql.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using qtmv::db::test::Db;
using qtmv::db::test::FreshDatabase;
using qtmv::db::test::TempPath;

namespace {

class Schema : public ::testing::Test {
protected:
    FreshDatabase db_;
};

TEST(CreateDatabase, RefusesAnExistingFileOrUnwritableFolderLeavingNoTrace)
{
    TempPath path("exists");
    std::ofstream(path.str()) << "not a database";
    EXPECT_THROW(qtmv::db::CreateDatabase(path.str()), qtmv::db::Error);
    std::ifstream in(path.str());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not a database");

    const std::string unwritable = "/nonexistent-folder-qtmv/QTMV.mdb";
    EXPECT_THROW(qtmv::db::CreateDatabase(unwritable), qtmv::db::Error);
    EXPECT_FALSE(std::filesystem::exists(unwritable));

    // The schema on a database that has part of it fails whole: nothing is
    // left half made, no transaction left open.
    Db half(":memory:");
    half.exec("create table [預排資料明細] (x)");
    EXPECT_THROW(qtmv::db::CreateSchema(half.get()), qtmv::db::Error);
    EXPECT_EQ(half.count("select * from sqlite_master"), 1);
    EXPECT_EQ(sqlite3_get_autocommit(half.get()), 1);
}

TEST_F(Schema, HasEveryProcessTableAndViewWithTheSharedColumnsAndKeys)
{
    for (const auto& k : qtmv::ProcessKinds()) {
        const std::string x(k.detailTable), s(k.scheduledTable), v(k.preScheduleTable);
        for (const auto& [name, type] : {std::pair{x, "table"}, std::pair{s, "table"}, std::pair{v, "view"}})
            EXPECT_EQ(db_.value("select type from sqlite_master where name = '" + jet::SqlText(name) + "'"), type) << name;
        // The scheduled table holds the line's columns plus its own key.
        auto pieceCols = db_.columns("select * from [" + x + "]");
        pieceCols.insert(pieceCols.begin(), {"ID", "INO"});
        EXPECT_EQ(db_.columns("select * from [" + s + "]"), pieceCols) << s;
        // Text, work orders too, compares without regard to case; unset text
        // reads '' (an open piece's finish date), numbers 0.
        db_.exec("insert into [" + s + "] (ID, INO, PO, [NO]) values ('D1', 1, 'P1', 1)");
        EXPECT_EQ(db_.value("select FDATE || '|' || REM || '|' || QTY from [" + s + "] where PO = 'p1' and [NO] = 1"),
                  "||0.0") << s;
        // Keys are unique, also across case.
        db_.exec("insert into [" + x + "] (PO, [NO]) values ('p1', 1)");
        for (const std::string& again : {"insert into [" + s + "] (ID, INO, PO, [NO]) values ('d1', 1, 'X', 1)",
                                         "insert into [" + x + "] (PO, [NO]) values ('P1', 1)"})
            EXPECT_THROW(db_.exec(again), std::runtime_error) << again;
    }
    EXPECT_EQ(db_.value("pragma integrity_check"), "ok");
}

// The pre-schedule's pieces: one per document line and kind. The label data
// reads its work order as PO, which is not a column of its own.
TEST_F(Schema, PieceKeyAndLabelDataByWorkOrderNumber)
{
    db_.exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO]) values ('1131204001', 1, '印 刷', 'A', 1)");
    db_.exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO]) values ('1131204001', 1, '上 光', 'A', 1)");
    EXPECT_THROW(db_.exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO]) values ('1131204001', 1, '印 刷', 'B', 1)"),
                 std::runtime_error);
    db_.exec("insert into 工單lable (工單單號, 工單序, 序, 內容8) values ('1131200001', 1, 1, '重工 刀模修改')");
    EXPECT_EQ(db_.value("select 內容8 from 工單lable where PO = '1131200001' "), "重工 刀模修改");
    EXPECT_THROW(db_.exec("insert into 工單lable (工單單號, 工單序, 序, PO) values ('X', 1, 1, 'Y')"),
                 std::runtime_error);
}

// The analysis view: each time line becomes a row under its own kind, or
// under the kind and machine of the document's piece for its line.
TEST_F(Schema, AnalysisViewTakesTimeLinesUnderTheirKindOrThatOfThePiece)
{
    db_.exec("insert into PWORK (PO, [DESC]) values ('1131200001', '食品彩盒 350g白銅')");
    db_.exec("insert into EMPLOYEE (ID, NAME) values ('A013', '林建宏')");
    db_.exec("insert into 印刷產能資料 (機別, 每時產能) values ('海德堡四色機', 8000)");
    db_.exec("insert into PRINTING (PO, [NO], QTY, AMT) values ('1131200001', 1, 5000, 12000)");
    db_.exec("insert into GLAZE (PO, [NO], QTY, AMT) values ('1131200001', 1, 5000, 3000)");
    // One document holds line 1 of the work order in two kinds.
    db_.exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO], 機別) values "
             "('1131204001', 1, '印 刷', '1131200001', 1, '海德堡四色機'), "
             "('1131204001', 1, '上 光', '1131200001', 1, 'UV上光機'), "
             "('1131204001', 2, '印 刷', '1131200001', 2, '小森五色機')");
    db_.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量, 經辦代號, 耗時, "
             "不良數) values ('1131204001', '1131200001', 1, 1, 'D-印刷', '海德堡四色機', '1131204 0830', "
             "'1131204 1015', 2500, 'A013', '1.75', 12), ('1131204001', '1131200001', 1, 1, 'E-上光', 'UV上光機', "
             "'1131205 0900', '1131205 1000', 2500, 'A013', '1', 12), ('1131204001', '1131200001', 2, 1, '', '', "
             "'1131204 0830', '', 2500, 'A013', '0', 12)");
    const auto rows = db_.rows("select KIND, 機別, 經辦代號, 經辦, 完成數, 耗時, 不良數量, 結束1, PO, [NO], 開始時間, "
                               "結束時間, PKEY, PKEY1, [DESC], 時標準量, QTY, SUM from [不良分析4] where [NO] = 1 "
                               "order by PKEY");
    ASSERT_EQ(rows.size(), 2u); // each line once, under its own kind
    EXPECT_EQ(rows[0], (std::vector<std::string>{"D-印刷", "海德堡四色機", "A013", "林建宏", "2500.0", "1.75", "12.0",
                                                 "1131204", "1131200001", "1", "11312040830", "11312041015",
                                                 "D-印刷|海德堡四色機|A013", "D-印刷|海德堡四色機|1131204",
                                                 "食品彩盒 350g白銅", "8000.0", "5000.0", "12000.0"}));
    EXPECT_EQ(rows[1][0], "E-上光");
    EXPECT_EQ(rows[1][15], "0"); // no capacity record
    EXPECT_EQ(rows[1][17], "3000.0");
    // A line without kind or machine takes them from the document's piece for that line.
    EXPECT_EQ(db_.rows("select KIND, 機別, 結束1, 開始時間, 結束時間 from [不良分析4] where [NO] = 2"),
              (std::vector<std::vector<std::string>>{{"D-印刷", "小森五色機", "", "11312040830", ""}}));
    // A line of an unknown record has no kind, but still reads as text.
    db_.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序) values ('TMP0001', '1131200009', 1, 1)");
    EXPECT_EQ(db_.rows("select KIND, 機別, 經辦, 製作說明, 時標準量, QTY from [不良分析4] where PO = '1131200009'"),
              (std::vector<std::vector<std::string>>{{"", "", "", "", "0", "0"}}));
    // The kind's own machine is found when the line names its kind.
    db_.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程) values "
             "('1131204001', '1131200001', 1, 2, 'E-上光')");
    EXPECT_EQ(db_.value("select 機別 from [不良分析4] where KIND = 'E-上光' and 結束1 = ''"), "UV上光機");
}

} // namespace
