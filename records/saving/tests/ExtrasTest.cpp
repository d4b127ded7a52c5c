// The printing and die-cutting extras and the gate in front of every save,
// checked by reading the database back: what they write, what they must
// leave alone (a colleague's field, a real form text), and what never gets
// as far as a statement.
#include "records/saving/WriteBack.h"
#include "records/saving/tests/SavingFixture.h"
#include "platform/jet/Connection.h"

#include <tuple>
#include <utility>

using namespace qtmv;
using namespace qtmv::daily;
using namespace qtmv::daily::test;

namespace {

class Extras : public SavingFixture {
protected:
    Extras()
    {
        sharedLine(printing);
        line(printing, "W1", 2);
        piece(printing, "D3", 1, "W1", 2);
        db().exec("update PRINTING set COLOR1 = 4, COLOR2 = 1, [COUNT] = 5");
        db().exec("update PRINTING_S set COLOR1 = 4, COLOR2 = 1, [COUNT] = 5");
    }

    void click(const GridLayout& l, GridRows& rows, ChangeFlags& flags, int r, int c) { ApplyClick(l, rows, flags, r, c, clock_); }

    const ProcessKind& printing = KindNamed("D-印刷");
    const GridLayout& pl = GridLayoutOf(printing);
    const int density = pl.column("濃度");
    const int front = pl.column("正");
    const int back = pl.column("反");
};

} // namespace

TEST_F(Extras, DensityMarkNeverReplacesTheWorkOrdersForm)
{
    db().exec("update PRINTING set 表格 = 'A1' where [NO] = 1");
    db().exec("update PRINTING_S set 表格 = 'A1' where [NO] = 1");
    ScriptedMessages msgs;

    auto [rows, flags] = Editable(printing, load(printing));
    const int r = RowOf(rows, printing, "D1", 1);
    ASSERT_EQ(CellAt(rows, r, density), "V");
    click(pl, rows, flags, r, density);   // refused: "A1" is not the mark
    click(pl, rows, flags, r, density);
    SetCell(rows, flags, r, pl.remarkCol, "趕");
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select 表格 from PRINTING where [NO] = 1"), "A1");
    EXPECT_EQ(value("select group_concat(表格) from PRINTING_S where [NO] = 1"), "A1,A1");

    // On a line without a form the mark creates "V" and takes it away again.
    const int r3 = RowOf(rows, printing, "D3", 1);
    click(pl, rows, flags, r3, density);
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select 表格 || '/' || (select 表格 from PRINTING_S where ID = 'D3') from PRINTING where [NO] = 2"),
              "V/V");
    std::tie(rows, flags) = Editable(printing, load(printing));
    click(pl, rows, flags, r3, density);
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select 表格 || '/' || (select 表格 from PRINTING_S where ID = 'D3') from PRINTING where [NO] = 2"),
              "/");
    EXPECT_EQ(value("select 表格 from PRINTING where [NO] = 1"), "A1");
}

TEST_F(Extras, TwoWorkstationsSavingDifferentFieldsOfOneLineBothLand)
{
    const GridRows loaded = load(printing);
    const int r = RowOf(loaded, printing, "D1", 1);
    ScriptedMessages msgs;

    // Workstation A: 正 = 1,077, a count with a thousands comma.
    GridRows a = loaded;
    ChangeFlags fa = FlagsFor(printing, a);
    SetCell(a, fa, r, front, "1,077");
    ASSERT_TRUE(save(printing, a, fa).complete());
    // Workstation B, loaded before A saved: only 反.
    GridRows b = loaded;
    ChangeFlags fb = FlagsFor(printing, b);
    SetCell(b, fb, r, back, "2");
    ASSERT_TRUE(save(printing, b, fb).complete());

    for (const char* table : {"PRINTING", "PRINTING_S"})
        EXPECT_EQ(value("select group_concat(COLOR1 || '/' || COLOR2 || '/' || [COUNT]) from " + std::string(table) +
                        " where [NO] = 1"),
                  std::string(table) == "PRINTING" ? "1077.0/2.0/5.0" : "1077.0/2.0/5.0,1077.0/2.0/5.0")
            << table;
    // Every scheduled piece of the line, not another line's; the next load shows what was typed.
    EXPECT_EQ(value("select COLOR1 from PRINTING_S where [NO] = 2"), "4.0");
    const GridRows again = load(printing);
    EXPECT_EQ(CellAt(again, RowOf(again, printing, "D2", 1), front), "1,077");

    // Die-cutting: a click on "紙" writes 紙 alone; the 刀 mark that another
    // workstation set since loading survives.
    const ProcessKind& cutting = KindNamed("G-軋工");
    const GridLayout& gl = GridLayoutOf(cutting);
    line(cutting, "W1", 3);
    piece(cutting, "G1", 1, "W1", 3);
    db().exec("update CROWD set 留 = 'V', 新舊刀 = '新刀', 儲位 = 'B-2'");
    db().exec("update CROWD_S set 留 = 'V', 新舊刀 = '新刀', 儲位 = 'B-2'");
    auto [g, fg] = Editable(cutting, load(cutting));
    db().exec("update CROWD set 刀 = 'V', 儲位 = 'C-7'");
    db().exec("update CROWD_S set 刀 = 'V', 儲位 = 'C-7'");
    click(gl, g, fg, 1, gl.column("紙"));
    ASSERT_TRUE(save(cutting, g, fg).complete());
    for (const char* table : {"CROWD", "CROWD_S"})
        EXPECT_EQ(value("select 留 || 紙 || 刀 || '/' || 新舊刀 || '/' || 儲位 from " + std::string(table)), "VVV/新刀/C-7")
            << table;
}

TEST_F(Extras, CellsAStatementCannotTakeNeverReachOne)
{
    const std::string before = dump();
    struct Case {
        int col;
        std::string text;
    };
    // Not a count, a control byte, longer than the column holds (50 bytes).
    for (const Case& c : {Case{front, "abc"}, Case{back, "1.2.3"}, Case{pl.remarkCol, std::string("趕\0工", 7)},
                          Case{pl.finishRemarkCol, "ok\x1b"}, Case{pl.finishRemarkCol, std::string(51, 'y')}}) {
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

TEST_F(Extras, TheLineTakesThePieceFinishedLastWhicheverFormItsDateHas)
{
    // D1 dated by the time window on 31 December, D2 stamped in the grid on
    // 5 January: as texts "1151231" sorts after "0105-10".
    db().exec("update PRINTING_S set FDATE = '1151231', 完工說明 = '完工數量: 10' where ID = 'D1'");
    db().exec("update PRINTING_S set FDATE = '0105-10', 完工說明 = '' where ID = 'D2'");
    const FixedClock jan6({2027, 1, 6, 8, 0, 0});
    jet::Connection conn;
    conn.open(session_.ConnectionString);
    jet::Transaction tx(conn);
    WriteBackLines(conn, printing, GridRows{{"W1", "1"}}, jan6);
    tx.commit();
    EXPECT_EQ(value("select FDATE || '/' || ACT from PRINTING where PO = 'W1' and [NO] = 1"), "0105-10/0105-10");
}
