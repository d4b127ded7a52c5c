// What a save must never do: write half, lose a colleague's save, replace a
// real form by the density mark, let a cell a statement cannot take reach
// one, mangle a text, pass over a piece or a line that drifted.
#include "records/saving/tests/SavingFixture.h"

#include "app/core/SessionSettings.h"
#include "platform/os/Log.h"
#include "platform/os/MessageBox.h"

#include <barrier>
#include <thread>
#include <tuple>
#include <utility>

using namespace qtmv;
using namespace qtmv::daily;
using namespace qtmv::daily::test;

namespace {

class SaveSafety : public SavingFixture {
protected:
    SaveSafety() { sharedLine(printing); }
    const ProcessKind& printing = KindNamed("D-印刷");
    const GridLayout& pl = GridLayoutOf(printing);
};

} // namespace

TEST_F(SaveSafety, FailureHalfWayLeavesTheDatabaseAsItWas)
{
    auto [rows, flags] = Editable(printing, load(printing));
    ASSERT_EQ(rows.size(), 2u);
    for (int r = 1; r <= 2; ++r) {
        SetCell(rows, flags, r, pl.finishDateCol, "1204-14");
        SetCell(rows, flags, r, pl.remarkCol, "趕工");
    }
    // The second piece's detail row is written after everything of the first
    // piece and after the second piece's own scheduled row.
    db().exec("create trigger fail_mid before update on 預排資料明細 when old.ID = 'D2' "
              "begin select raise(abort, 'disk full'); end");
    const std::string before = dump();

    ScriptedMessages msgs;
    const std::string logFile = log::Open(db().folder(), kLogFileName);
    EXPECT_EQ(save(printing, rows, flags).result, SaveStatus::Failed);
    log::Close();

    EXPECT_EQ(dump(), before);
    ASSERT_EQ(msgs.shown().size(), 2u);   // the question, then the error; no write-back
    // The question, worked out by reading, lists what the save would do;
    // the error says that the data was not saved and where the details
    // are (the log, whose record FailureTest reads), never the engine's words.
    EXPECT_NE(msgs.shown()[0].text.find("寫入 4 格（2 筆日報）"), std::string::npos) << msgs.shown()[0].text;
    const std::string& text = msgs.shown()[1].text;
    EXPECT_NE(text.find("資料沒有儲存"), std::string::npos) << text;
    EXPECT_NE(text.find(logFile), std::string::npos) << text;
    EXPECT_EQ(text.find("disk full"), std::string::npos) << text;

    // A question that cannot be worked out says so, and where the details
    // are; the save then fails alike, writing nothing.
    db().exec("drop trigger fail_mid");
    db().exec("alter table 預排資料明細 rename to 預排資料明細_gone");
    const std::string renamed = dump();
    msgs.clear();
    log::Open(db().folder(), kLogFileName);
    EXPECT_EQ(save(printing, rows, flags).result, SaveStatus::Failed);
    log::Close();
    EXPECT_EQ(dump(), renamed);
    ASSERT_EQ(msgs.shown().size(), 2u);
    const std::string& question = msgs.shown()[0].text;
    EXPECT_NE(question.find("無法預先算出這次儲存的內容"), std::string::npos) << question;
    EXPECT_NE(question.find(logFile), std::string::npos) << question;
}

// The write-back runs nested in the save's transaction: when it fails it
// is undone alone (the lines it closed before failing too), the save stays
// stored with its history, and the user is told under "回存工單" that the
// work order was not written back.
TEST_F(SaveSafety, AWriteBackThatFailsKeepsTheSave)
{
    line(printing, "W1", 2);
    piece(printing, "D3", 1, "W1", 2);
    auto [rows, flags] = Editable(printing, load(printing));
    ASSERT_EQ(rows.size(), 3u);
    for (int r = 1; r <= 3; ++r)
        SetCell(rows, flags, r, pl.finishDateCol, "1204-14");
    // Line 1 is closed before closing line 2 fails.
    db().exec("create trigger no_close before update on PRINTING when new.FDATE <> '' and new.[NO] = 2 "
              "begin select raise(abort, 'line locked'); end");

    ScriptedMessages msgs;
    const SaveOutcome out = save(printing, rows, flags);
    EXPECT_EQ(out.result, SaveStatus::Saved);
    EXPECT_FALSE(out.writtenBack);
    EXPECT_EQ(value("select group_concat(FDATE) from PRINTING_S"), "1204-14,1204-14,1204-14");
    EXPECT_EQ(value("select count(*) from [日報異動紀錄]"), "3");
    EXPECT_EQ(value("select count(*) from PRINTING where FDATE <> ''"), "0");
    ASSERT_FALSE(msgs.shown().empty());
    const MessageRequest& told = msgs.shown().back();
    EXPECT_EQ(told.title, "回存工單");
    EXPECT_EQ(told.icon, MsgIcon::Critical);
    EXPECT_NE(told.text.find("日報資料已經儲存，但工單沒有回存"), std::string::npos) << told.text;
}

TEST_F(SaveSafety, TwoWorkstationsSavingTheSameWorkOrderBothLand)
{
    line(printing, "W1", 2);
    piece(printing, "D3", 1, "W1", 2);
    db().exec("update PRINTING set COLOR1 = 4, COLOR2 = 1, [COUNT] = 5");
    db().exec("update PRINTING_S set COLOR1 = 4, COLOR2 = 1, [COUNT] = 5, [DESC] = '海報'");
    // Another kind's piece of the same number, whose product the counts must not touch.
    db().exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO], [DESC]) values ('D1', 1, '上 光', 'W9', 1, '封面')");
    const GridRows loaded = load(printing);
    ASSERT_EQ(loaded.size(), 3u);

    SharedMessages messages;
    std::barrier start(2);
    SaveOutcome results[2];
    // Each finishes its pieces and types one colour count on the first of
    // them: A 正 = 1,077 (a thousands comma) on D1, B 反 on D2 of that line.
    auto workstation = [&](int which, std::vector<std::string> ids, int countCol, std::string count) {
        Session own = session_;
        FixedClock clock({2024, 12, 4, which == 0 ? 9 : 10, 0, 0});
        SaveContext ctx{own, clock, [] {}};
        GridRows rows = loaded;
        ChangeFlags flags = FlagsFor(printing, rows);
        for (const auto& id : ids)
            SetCell(rows, flags, RowOf(rows, printing, id, 1), pl.finishDateCol, which == 0 ? "1204-09" : "1204-10");
        SetCell(rows, flags, RowOf(rows, printing, ids[0], 1), countCol, count);
        start.arrive_and_wait();
        results[which] = SaveDailyReport(printing, rows, flags, ctx, rows);
    };
    std::thread a(workstation, 0, std::vector<std::string>{"D1", "D3"}, pl.column("正"), "1,077");
    std::thread b(workstation, 1, std::vector<std::string>{"D2"}, pl.column("反"), "");
    a.join();
    b.join();

    EXPECT_TRUE(results[0].complete());
    EXPECT_TRUE(results[1].complete());
    EXPECT_EQ(messages.troubles(), std::vector<std::string>{});
    EXPECT_EQ(value("select group_concat(FDATE) from (select FDATE from PRINTING_S order by ID)"),
              "1204-09,1204-10,1204-09");
    EXPECT_EQ(value("select PDATE from 預排資料明細 where ID = 'D2'"), "1204-10");
    // Whichever write-back ran last saw both pieces of line 1 finished.
    EXPECT_EQ(value("select group_concat(FDATE) from (select FDATE from PRINTING order by [NO])"), "1204-10,1204-09");
    EXPECT_EQ(value("select ITEM4 || '/' || ITEM32 from PRINTFLOW where PO = 'W1'"), "1204-10/1204-09");
    // Only the counts typed were written, on the line and on every piece of
    // it (which the grid loads: GridLoaderTest), not on another line's; a
    // cleared count is the number 0, as the grid shows it.
    EXPECT_EQ(value("select group_concat(COLOR1 || '/' || COLOR2 || '/' || [COUNT]) from PRINTING where [NO] = 1"),
              "1077.0/0.0/5.0");
    EXPECT_EQ(value("select group_concat(COLOR1 || '/' || COLOR2 || '/' || [COUNT]) from PRINTING_S where [NO] = 1"),
              "1077.0/0.0/5.0,1077.0/0.0/5.0");
    EXPECT_EQ(value("select COLOR1 from PRINTING_S where [NO] = 2"), "4.0");
    EXPECT_EQ(value("select group_concat(KIND || '=' || [DESC]) from (select * from 預排資料明細 where ID = 'D1' "
                    "order by KIND)"),
              "上 光=封面,印 刷=海報");
}

// Quotes reach the database as typed; a piece missing from 預排資料明細 is
// still saved in its scheduled table.
TEST_F(SaveSafety, TextsWithQuotesAndAPieceWithoutItsDetailRowAreSaved)
{
    const std::string remark = "O'Brien's \"rush\" job'; drop table PWORK; --";
    auto [rows, flags] = Editable(printing, load(printing));
    const int r = RowOf(rows, printing, "D1", 1), missing = RowOf(rows, printing, "D2", 1);
    SetCell(rows, flags, r, pl.remarkCol, remark);
    SetCell(rows, flags, r, pl.finishRemarkCol, "說'明'");
    SetCell(rows, flags, missing, pl.finishDateCol, "1204-14");
    SetCell(rows, flags, missing, pl.remarkCol, "ok");
    db().exec("delete from 預排資料明細 where ID = 'D2'");
    ScriptedMessages msgs;
    ASSERT_TRUE(save(printing, rows, flags).complete());
    for (const auto& m : msgs.shown())
        EXPECT_NE(m.icon, MsgIcon::Critical) << m.text;
    EXPECT_EQ(value("select REM from PRINTING_S where ID = 'D1'"), remark);
    EXPECT_EQ(value("select REM from 預排資料明細 where ID = 'D1'"), remark);
    EXPECT_EQ(value("select 完工說明 from PRINTING where PO = 'W1'"), "說'明'");
    EXPECT_EQ(value("select count(*) from PWORK"), "1");   // the table is still there
    EXPECT_EQ(value("select FDATE || '/' || REM from PRINTING_S where ID = 'D2'"), "1204-14/ok");
}

// With nothing typed a save still writes back a line whose pieces were all
// finished elsewhere meanwhile; the line takes the piece finished last.
TEST_F(SaveSafety, SavingWithoutChangesWritesBackThePieceFinishedLast)
{
    const auto [rows, flags] = Editable(printing, load(printing));
    ScriptedMessages msgs;
    // Equal finish texts: the greater 順序 (numerically, 10 after 9) is the latest.
    db().exec("update PRINTING_S set FDATE = '1203-11', 順序 = '10', 完工說明 = '十' where ID = 'D1'");
    db().exec("update PRINTING_S set FDATE = '1203-11', 順序 = '9', 完工說明 = '九' where ID = 'D2'");
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select FDATE || '/' || ACT || '/' || 完工說明 from PRINTING where PO = 'W1'"), "1203-11/1203-11/十");
    ASSERT_EQ(msgs.shown().size(), 2u);
    EXPECT_EQ(msgs.shown()[1].text.rfind("資料儲存完畢!\n\n寫入 0 格", 0), 0u) << msgs.shown()[1].text;
    EXPECT_NE(msgs.shown()[1].text.find("結案：W1 序1"), std::string::npos) << msgs.shown()[1].text;

    // D1 dated by the time window on 31 December, D2 stamped in the grid on
    // 5 January: as texts "1151231" sorts after "0105-10", yet D2 is the latest.
    db().exec("update PRINTING set FDATE = '', ACT = ''");
    db().exec("update PRINTING_S set FDATE = '1151231', 完工說明 = '完工數量: 10' where ID = 'D1'");
    db().exec("update PRINTING_S set FDATE = '0105-10', 完工說明 = '' where ID = 'D2'");
    clock_.set({2027, 1, 6, 8, 0, 0});
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select FDATE || '/' || ACT from PRINTING where PO = 'W1'"), "0105-10/0105-10");
}

// A finished line stamps its kind's column of the work order's process flow
// (varnishing one per line, as printing) and, for the kinds that buy paper,
// marks the line's purchases of the kind arrived. A piece whose finish is
// null, as other programs of the suite leave it, is open: its line stays
// open and the flow keeps its stamp.
TEST_F(SaveSafety, AFinishedLineStampsItsKindsFlowColumnAndTheKindsPaperArrives)
{
    struct Case {
        char kind;
        int no;
        const char* column;
        const char* arrived;
    };
    ScriptedMessages msgs;
    int n = 0;
    for (const Case& c : {Case{'E', 1, "ITEM5", ""}, {'E', 2, "ITEM33", ""}, {'F', 1, "ITEM6", "Y"},
                          {'N', 1, "ITEM14", "Y"}, {'G', 1, "ITEM7", ""}}) {
        const ProcessKind& k = *KindByLetter(c.kind);
        SCOPED_TRACE(k.displayName);
        const std::string po = "K" + std::to_string(++n), id = "P" + std::to_string(n);
        workOrder(po);
        line(k, po, c.no);
        piece(k, id, 1, po, c.no);
        db().exec("insert into 紙品採購資料 (採購單號, KIND) values ('" + id + "', '" + std::string(k.spacedName) + "')");
        db().exec("insert into 紙品採購明細 (採購單號, 序, PO, [NO]) values ('" + id + "', 1, '" + po + "', " +
                  std::to_string(c.no) + ")");
        auto [rows, flags] = Editable(k, load(k));
        SetCell(rows, flags, RowOf(rows, k, id, 1), GridLayoutOf(k).finishDateCol, "1204-14");
        ASSERT_TRUE(save(k, rows, flags).complete());
        EXPECT_EQ(value("select " + std::string(c.column) + " from PRINTFLOW where PO = '" + po + "'"), "1204-14");
        EXPECT_EQ(value("select 紙到 from 紙品採購明細 where 採購單號 = '" + id + "'"), c.arrived);
    }

    db().exec("update PRINTING_S set FDATE = null where ID = 'D2'");
    db().exec("update PRINTFLOW set ITEM4 = 'old' where PO = 'W1'");
    auto [rows, flags] = Editable(printing, load(printing));
    SetCell(rows, flags, RowOf(rows, printing, "D1", 1), pl.finishDateCol, "1204-14");
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select FDATE from PRINTING where PO = 'W1'"), "");
    EXPECT_EQ(value("select ITEM4 from PRINTFLOW where PO = 'W1'"), "old");
}

// The line's finish remark is the one of the piece finished last, except
// that the quantity the time window notes in a piece never replaces a
// remark a clerk typed on the line (an earlier note is no such remark).
TEST_F(SaveSafety, APiecesQuantityNoteNeverReplacesARemarkTypedOnTheLine)
{
    ScriptedMessages msgs;
    db().exec("update PRINTING_S set FDATE = '1203-11' where ID = 'D2'");
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"趕工", "完工數量: 10", "趕工"},
        {"趕工", "改色", "改色"},
        {"完工數量: 5", "完工數量: 10", "完工數量: 10"},
    };
    for (const auto& [onLine, ofPiece, kept] : cases) {
        SCOPED_TRACE(onLine + " / " + ofPiece);
        db().exec("update PRINTING set FDATE = '', 完工說明 = '" + onLine + "'");
        db().exec("update PRINTING_S set FDATE = '', 完工說明 = '" + ofPiece + "' where ID = 'D1'");
        auto [rows, flags] = Editable(printing, load(printing));
        SetCell(rows, flags, RowOf(rows, printing, "D1", 1), pl.finishDateCol, "1204-14");
        ASSERT_TRUE(save(printing, rows, flags).complete());
        EXPECT_EQ(value("select 完工說明 from PRINTING where PO = 'W1'"), kept);
    }
}

// Line 1 holds a real form: a save of its row leaves it, the click on the
// mark there being refused. On line 2, without one, the mark creates "V" and
// takes it away again.
TEST_F(SaveSafety, DensityMarkNeverReplacesTheWorkOrdersForm)
{
    line(printing, "W1", 2);
    piece(printing, "D3", 1, "W1", 2);
    db().exec("update PRINTING set 表格 = 'A1' where [NO] = 1");
    db().exec("update PRINTING_S set 表格 = 'A1' where [NO] = 1");
    const int density = pl.column("濃度");
    ScriptedMessages msgs;
    for (const char* lineTwo : {"V/V", "/"}) {
        SCOPED_TRACE(lineTwo);
        auto [rows, flags] = Editable(printing, load(printing));
        const int r = RowOf(rows, printing, "D1", 1);
        ApplyClick(pl, rows, flags, r, density, clock_);
        SetCell(rows, flags, r, pl.remarkCol, "趕");
        ApplyClick(pl, rows, flags, RowOf(rows, printing, "D3", 1), density, clock_);
        ASSERT_TRUE(save(printing, rows, flags).complete());
        EXPECT_EQ(value("select 表格 || '/' || (select 表格 from PRINTING_S where ID = 'D3') from PRINTING where [NO] = 2"),
                  lineTwo);
        EXPECT_EQ(value("select 表格 || ',' || (select group_concat(表格) from PRINTING_S where [NO] = 1) from PRINTING "
                        "where [NO] = 1"),
                  "A1,A1,A1");
    }
}

// A click on "紙" writes 紙 alone: the 刀 mark and the storage place that
// another workstation set since loading survive.
TEST_F(SaveSafety, DieCuttingMarkWritesItsOwnFieldAlone)
{
    const ProcessKind& cutting = KindNamed("G-軋工");
    const GridLayout& gl = GridLayoutOf(cutting);
    line(cutting, "W1", 3);
    piece(cutting, "G1", 1, "W1", 3);
    db().exec("update CROWD set 留 = 'V', 新舊刀 = '新刀', 儲位 = 'B-2'");
    db().exec("update CROWD_S set 留 = 'V', 新舊刀 = '新刀', 儲位 = 'B-2'");
    auto [g, fg] = Editable(cutting, load(cutting));
    db().exec("update CROWD set 刀 = 'V', 儲位 = 'C-7'");
    db().exec("update CROWD_S set 刀 = 'V', 儲位 = 'C-7'");
    ScriptedMessages msgs;
    ApplyClick(gl, g, fg, 1, gl.column("紙"), clock_);
    SetCell(g, fg, 1, gl.column("刀", 2), "V");   // the line has no die to make: nothing written, nothing recorded
    ASSERT_TRUE(save(cutting, g, fg).complete());
    for (const char* table : {"CROWD", "CROWD_S"})
        EXPECT_EQ(value("select 留 || 紙 || 刀 || '/' || 新舊刀 || '/' || 儲位 from " + std::string(table)), "VVV/新刀/C-7")
            << table;
    EXPECT_EQ(value("select group_concat(欄位) from [日報異動紀錄]"), "紙");
}

TEST_F(SaveSafety, CellsAStatementCannotTakeNeverReachOne)
{
    const std::string before = dump();
    struct Case {
        int col;
        std::string text;
    };
    // Not a count, a control byte, longer than the column holds (50 bytes).
    for (const Case& c : {Case{pl.column("正"), "abc"}, Case{pl.column("反"), "1.2.3"},
                          Case{pl.remarkCol, std::string("趕\0工", 7)}, Case{pl.finishRemarkCol, "ok\x1b"},
                          Case{pl.finishRemarkCol, std::string(51, 'y')}}) {
        auto [rows, flags] = Editable(printing, load(printing));
        SetCell(rows, flags, 1, pl.finishDateCol, "1204-14");
        SetCell(rows, flags, 2, c.col, c.text);
        ScriptedMessages msgs;
        SCOPED_TRACE(c.col);
        // Refused at the cell with one message, before any question.
        const SaveOutcome o = save(printing, rows, flags);
        EXPECT_EQ(o.result, SaveStatus::Refused);
        EXPECT_EQ(std::pair(o.row, o.col), std::pair(2, c.col));
        EXPECT_EQ(msgs.shown().size(), 1u);
    }
    EXPECT_EQ(dump(), before);
}
