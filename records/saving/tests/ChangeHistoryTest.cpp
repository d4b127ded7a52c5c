// What a save will do and did: the preview, worked out by reading, lists
// what the save and its write-back then do and leaves nothing behind, and
// the history holds each saved cell with its loaded and its written value.
#include "records/saving/tests/SavingFixture.h"

#include "records/saving/ChangeHistory.h"
#include "records/saving/WriteBack.h"
#include "platform/jet/Connection.h"
#include "platform/os/MessageBox.h"

using namespace qtmv;
using namespace qtmv::daily;
using namespace qtmv::daily::test;

namespace {

using ChangeHistoryTest = SavingFixture;

TEST_F(ChangeHistoryTest, ThePreviewIsWhatTheSaveThenDoesAndLeavesNothingBehind)
{
    const ProcessKind& printing = KindNamed("D-印刷");
    const GridLayout& l = GridLayoutOf(printing);
    session_.EmployeeName = "王大明";
    // P1 line 1: one piece finished, one open (the row edited below).
    // P1 line 2: two open pieces; only a remark changes there.
    workOrder("P1");
    line(printing, "P1", 1);
    line(printing, "P1", 2);
    piece(printing, "A1", 1, "P1", 1, "1203-09");
    piece(printing, "A1", 2, "P1", 1);
    piece(printing, "A1", 3, "P1", 2);
    piece(printing, "A1", 4, "P1", 2);
    db_.exec("insert into VENDERAC (PO, [NO], KIND, EAMT) values ('P1', 1, '印 刷', 0)");
    const GridRows loaded = load(printing);
    auto [rows, flags] = Editable(printing, loaded);
    const int last = RowOf(rows, printing, "A1", 2), other = RowOf(rows, printing, "A1", 3);
    jet::Connection conn;
    conn.open(session_.ConnectionString);
    auto preview = [&] {
        return PreviewSave(conn, printing, rows, loaded, flags, clock_);
    };
    ScriptedMessages msgs;
    auto saveAnswering = [&](MsgAnswer a) {
        msgs.answer(a);
        SaveContext ctx{session_, clock_, [] {}};
        return SaveDailyReport(printing, rows, flags, ctx, loaded);
    };

    ApplyClick(l, rows, flags, last, l.finishDateCol, clock_);
    SetCell(rows, flags, other, l.remarkCol, "換紙");
    const std::string stamp = CellAt(rows, last, l.finishDateCol);
    const std::string untouched = dump();

    const SaveSummary p = preview();
    EXPECT_EQ(dump(), untouched);
    EXPECT_EQ(p.cells(), 2);
    EXPECT_EQ(p.pieces, 2);
    EXPECT_EQ(p.closed, (std::vector<WorkLine>{{"P1", 1}}));
    EXPECT_TRUE(p.reopened.empty());
    EXPECT_EQ(p.ordersDated, 1);
    EXPECT_EQ(p.flowStamps, (std::vector<FlowStamp>{{{"P1", 1}, "印刷", "ITEM4"}}));
    // The user reads the process, not the column.
    EXPECT_NE(SummaryText(p).find("製程流程表蓋日期：P1 序1 印刷"), std::string::npos);
    EXPECT_EQ(SummaryText(p).find("ITEM"), std::string::npos);
    // A long list shows its first eight and how many in all: the question
    // box keeps its buttons on the screen.
    SaveSummary many;
    for (int i = 1; i <= 10; ++i)
        many.closed.push_back({"W" + std::to_string(i), 1});
    EXPECT_NE(SummaryText(many).find("、W8 序1 …等 10 項"), std::string::npos) << SummaryText(many);

    // "No" to the question leaves the database as it was; "Yes" asks with the
    // preview, saves and writes back on one connection, and the history holds
    // each cell with its loaded and its written value.
    EXPECT_EQ(saveAnswering(MsgAnswer::No).result.why, Refusal::Declined);
    EXPECT_EQ(dump(), untouched);
    const long long before = jet::Connection::opensSoFar();
    EXPECT_TRUE(saveAnswering(MsgAnswer::Yes).complete());
    EXPECT_EQ(jet::Connection::opensSoFar() - before, 1);
    ASSERT_EQ(msgs.shown().size(), 3u);
    EXPECT_NE(msgs.shown()[1].text.find(SummaryText(p)), std::string::npos) << msgs.shown()[1].text;
    EXPECT_EQ(value("select FDATE from PRINTING where PO = 'P1' and [NO] = 1"), stamp);
    EXPECT_EQ(db_.count("select * from [日報異動紀錄]"), 2);
    EXPECT_EQ(value("select 時間 || '|' || 使用者 || '|' || 電腦 || '|' || 種類 || '|' || ID || '|' || INO || '|' || "
                    "PO || '|' || [NO] || '|' || 舊值 || '|' || 新值 from [日報異動紀錄] where 欄位 = '完工日'"),
              "1131204 1405|王大明|PC1|D-印刷|A1|2|P1|1||" + stamp);
    EXPECT_EQ(value("select 新值 from [日報異動紀錄] where 欄位 = '" + l.heading(l.remarkCol) + "' and INO = 3"),
              "換紙");

    // The history of the piece and of its line, newest first.
    db_.exec("update [日報異動紀錄] set 時間 = '1131201 0800' where 欄位 = '完工日'");
    const auto h = LoadHistory(conn, printing, "A1", 3, "P1", 1);
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].after, "換紙");
    EXPECT_EQ(h[1].field, "完工日");
    EXPECT_TRUE(LoadHistory(conn, KindNamed("G-軋工"), "A1", 3, "P1", 1).empty());

    // A line marked finished meanwhile with its pieces still open is listed
    // as reopened; the line closed above is not listed again.
    db_.exec("update PRINTING set FDATE = '1201-10', ACT = '1201-10' where PO = 'P1' and [NO] = 2");
    const SaveSummary again = preview();
    EXPECT_EQ(again.reopened, (std::vector<WorkLine>{{"P1", 2}}));
    EXPECT_TRUE(again.closed.empty());
}

// A line that drifts while the question is on the screen (marked finished
// with its piece open) is left to the next save: a save walks the lines
// its question's list was worked out for, so the closing list is the
// question's.
TEST_F(ChangeHistoryTest, ALineThatDriftsWhileTheQuestionIsAskedIsLeftToTheNextSave)
{
    const ProcessKind& printing = KindNamed("D-印刷");
    const GridLayout& l = GridLayoutOf(printing);
    workOrder("P1");
    line(printing, "P1", 1);
    line(printing, "P1", 2);
    piece(printing, "A1", 1, "P1", 1);
    piece(printing, "A1", 2, "P1", 2);
    auto [rows, flags] = Editable(printing, load(printing));
    SetCell(rows, flags, RowOf(rows, printing, "A1", 1), l.remarkCol, "趕");
    std::vector<std::string> shown;
    const MessageHandler old = SetMessageHandler([&](const MessageRequest& r) {
        shown.push_back(r.text);
        if (shown.size() == 1)
            db_.exec("update PRINTING set FDATE = '1201-10', ACT = '1201-10' where PO = 'P1' and [NO] = 2");
        return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    });
    const std::string lineTwo = "select FDATE || '/' || ACT from PRINTING where PO = 'P1' and [NO] = 2";
    EXPECT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value(lineTwo), "1201-10/1201-10");
    EXPECT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value(lineTwo), "/");
    SetMessageHandler(old);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[1].find("重新開啟"), std::string::npos) << shown[1];
    EXPECT_NE(shown[2].find("重新開啟"), std::string::npos) << shown[2];
    EXPECT_NE(shown[3].find("重新開啟"), std::string::npos) << shown[3];
}

} // namespace
