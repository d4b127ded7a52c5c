// The printing and die-cutting extras and the gate in front of every save,
// checked by reading the database back: what they write, what they must
// leave alone (a colleague's field, a real form text), and what never gets
// as far as a statement. Colour counts typed on two workstations are in
// SaveSafetyTest.
#include "records/saving/tests/SavingFixture.h"

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
    }

    void click(const GridLayout& l, GridRows& rows, ChangeFlags& flags, int r, int c) { ApplyClick(l, rows, flags, r, c, clock_); }

    const ProcessKind& printing = KindNamed("D-印刷");
    const GridLayout& pl = GridLayoutOf(printing);
    const int density = pl.column("濃度");
    const int front = pl.column("正");
    const int back = pl.column("反");
};

} // namespace

// Line 1 holds a real form: a save of its row leaves it, the click on the
// mark there being refused. On line 2, without one, the mark creates "V" and
// takes it away again.
TEST_F(Extras, DensityMarkNeverReplacesTheWorkOrdersForm)
{
    db().exec("update PRINTING set 表格 = 'A1' where [NO] = 1");
    db().exec("update PRINTING_S set 表格 = 'A1' where [NO] = 1");
    ScriptedMessages msgs;
    for (const char* lineTwo : {"V/V", "/"}) {
        SCOPED_TRACE(lineTwo);
        auto [rows, flags] = Editable(printing, load(printing));
        const int r = RowOf(rows, printing, "D1", 1);
        click(pl, rows, flags, r, density);
        SetCell(rows, flags, r, pl.remarkCol, "趕");
        click(pl, rows, flags, RowOf(rows, printing, "D3", 1), density);
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
TEST_F(Extras, DieCuttingMarkWritesItsOwnFieldAlone)
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
