// The road of a daily record on the demo plant, without the window: load a
// grid, edit it through the editing rules, save, and read what reached the
// work order. Every case runs on an SQLite file and on a server database.
#include "records/saving/tests/SavingFixture.h"

#include "records/saving/SaveSupport.h"
#include "records/saving/WriteBack.h"
#include "db/testing/EngineFreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/os/MessageBox.h"
#include "tools/demo-db/DemoPlant.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>
#include <functional>
#include <map>
#include <random>

using namespace qtmv;
using namespace qtmv::daily;
using namespace qtmv::daily::test;

namespace {

using qtmv::db::test::Engine;
using qtmv::db::test::EngineFreshDatabase;

class EndToEnd : public ::testing::TestWithParam<Engine> {
protected:
    // One demo plant for the suite; every test works on a copy of its own.
    static std::string demo()
    {
        static const FreshDatabase plant(
            [](const std::string& path) { qtmv::demo::WriteDemoPlant(path, {.workOrders = 80}); });
        return plant.path();
    }

    void SetUp() override
    {
        QTMV_SKIP_WITHOUT_TEST_SERVER(GetParam());
        // The server's copy is made once, as a template.
        db = std::make_unique<EngineFreshDatabase>(GetParam(), qtmv::db::test::CopyOf(demo()), "demo80");
        session().IdentityEstablished = session().RightsEstablished = true;
    }

    Session& session() { return db->session(); }
    GridRows load(const ProcessKind& k) { return LoadGrid(session().ConnectionString, k, "", SortOption::WorkOrder); }
    std::string value(const std::string& sql) { return db->value(sql); }
    long long count(const std::string& sql) { return db->count(sql); }

    // The first loaded row for which the condition holds; 0 when none.
    static int firstRow(const GridRows& rows, const std::function<bool(int)>& ok)
    {
        for (int r = 1; r <= static_cast<int>(rows.size()); ++r)
            if (ok(r))
                return r;
        return 0;
    }
    // "where PO = '..' and [NO] = n" of a loaded row.
    static std::string lineKey(const GridRows& rows, int r)
    {
        return "where PO = '" + CellAt(rows, r, 1) + "' and [NO] = " + CellAt(rows, r, 2);
    }
    // "where ID = '..' and INO = n" of a loaded row's piece.
    std::string pieceKey(const GridRows& rows, int r, const GridLayout* l = nullptr) const
    {
        const GridLayout& layout = l ? *l : pl;
        return "where ID = '" + CellAt(rows, r, layout.idCol) + "' and INO = " + CellAt(rows, r, layout.inoCol);
    }
    // Rows of two printing lines of different work orders with no finish
    // marked, which no save's write-back has to repair (it would claim
    // them too); b is 0 when the plant has none.
    std::pair<int, int> twoUnmarkedLines(const GridRows& rows)
    {
        auto unmarked = [&](int r) {
            return count("select * from PRINTING " + lineKey(rows, r) + " and (FDATE <> '' or ACT <> '')") == 0;
        };
        const int a = firstRow(rows, unmarked);
        return {a, firstRow(rows, [&](int r) { return a > 0 && CellAt(rows, r, 1) != CellAt(rows, a, 1) && unmarked(r); })};
    }
    long long openPieces(const ProcessKind& k, const GridRows& rows, int r)
    {
        return count("select * from [" + std::string(k.scheduledTable) + "] " + lineKey(rows, r) +
                     " and (FDATE = '' or FDATE is null)");
    }

    void click(const GridLayout& l, GridRows& rows, ChangeFlags& flags, int r, int c) { ApplyClick(l, rows, flags, r, c, clock_); }

    bool save(const ProcessKind& k, const GridRows& rows, const ChangeFlags& flags)
    {
        ScriptedMessages msgs;
        msgs.answer(MsgAnswer::Yes);
        SaveContext ctx{session(), clock_, [] {}};
        const bool r = SaveDailyReport(k, rows, flags, ctx, rows).complete();
        for (const auto& m : msgs.shown())
            EXPECT_NE(m.icon, MsgIcon::Critical) << m.text;
        return r;
    }

    std::unique_ptr<EngineFreshDatabase> db;
    FixedClock clock_{{2024, 12, 4, 14, 5, 0}};
    const ProcessKind& printing = KindNamed("D-印刷");
    const GridLayout& pl = GridLayoutOf(printing);
};

} // namespace

TEST_P(EndToEnd, OnlyTheLastPieceFinishedClosesThePrintingLine)
{
    for (int lineNo : {1, 2, 3}) {
        SCOPED_TRACE("line " + std::to_string(lineNo));
        auto [rows, flags] = Editable(printing, load(printing));
        const int r = firstRow(rows, [&](int r) {
            return CellAt(rows, r, 2) == std::to_string(lineNo) && openPieces(printing, rows, r) == 1;
        });
        ASSERT_GT(r, 0) << "the demo plant has no such line";
        const std::string key = lineKey(rows, r);
        const std::string po = CellAt(rows, r, 1);
        // One outsourcing line still to be dated, one settled with the vendor.
        db->exec("delete from VENDERAC " + key + " and KIND = '印 刷'");
        const std::string line = "'" + po + "', " + std::to_string(lineNo) + ", '印 刷', ";
        db->exec("insert into VENDERAC (PO, [NO], KIND, EAMT, ODATE) values (" + line + "0, ''), (" + line + "800, '1120-10')");
        db->exec("update PRINTFLOW set ITEM4 = 'old4', ITEM32 = 'old32' where PO = '" + po + "'");

        click(pl, rows, flags, r, pl.finishDateCol);
        ASSERT_TRUE(save(printing, rows, flags));

        // The piece's own dates (PRINTING_S, 預排資料明細): SaveSafetyTest.
        EXPECT_EQ(value("select FDATE || '/' || ACT from PRINTING " + key), "1204-14/1204-14");
        EXPECT_EQ(value("select ODATE from VENDERAC " + key + " and KIND = '印 刷' and EAMT = 0"), "1204-14");
        EXPECT_EQ(value("select ODATE from VENDERAC " + key + " and KIND = '印 刷' and EAMT <> 0"), "1120-10");
        const std::string flow = value("select ITEM4 || '/' || ITEM32 from PRINTFLOW where PO = '" + po + "'");
        EXPECT_EQ(flow, lineNo == 1 ? "1204-14/old32" : lineNo == 2 ? "old4/1204-14" : "old4/old32");

        // The stamp cleared (as Delete does: EditRulesTest) and saved again
        // opens the piece, and so the line, once more.
        SetCell(rows, flags, r, pl.finishDateCol, "");
        ASSERT_TRUE(save(printing, rows, flags));
        EXPECT_EQ(value("select FDATE || '/' || ACT from PRINTING " + key), "/");
    }

    // One of two open pieces finished: the line stays open (a finish marked
    // on it meanwhile is undone), its flow untouched.
    auto [rows, flags] = Editable(printing, load(printing));
    const int r = firstRow(rows, [&](int r) { return openPieces(printing, rows, r) >= 2; });
    ASSERT_GT(r, 0);
    const std::string key = lineKey(rows, r);
    const std::string flowSql = "select * from PRINTFLOW where PO = '" + CellAt(rows, r, 1) + "'";
    const auto flowBefore = db->rows(flowSql);
    db->exec("update PRINTING set FDATE = '1111-11', ACT = '1111-11' " + key);   // drifted

    click(pl, rows, flags, r, pl.finishDateCol);
    ASSERT_TRUE(save(printing, rows, flags));
    EXPECT_EQ(value("select FDATE || '/' || ACT from PRINTING " + key), "/");
    EXPECT_EQ(db->rows(flowSql), flowBefore);
}

// A save of every loaded row: each piece and its detail row hold their
// row's remark, each line the remark of its last row in the grid (a later
// row of a line writes after an earlier one, also back to the value stored
// before), and the history has every cell.
TEST_P(EndToEnd, ASaveOfEveryRowWritesEachCellAndItsHistory)
{
    db->exec("update PWORK set FDATE = ''");   // every printing piece open
    db->exec("update PRINTING_S set FDATE = ''");
    auto [rows, flags] = Editable(printing, load(printing));
    const int n = static_cast<int>(rows.size());
    ASSERT_GT(n, 100) << "too few rows to write the history in several statements";
    std::map<std::string, std::vector<int>> rowsOfLine;
    for (int r = 1; r <= n; ++r)
        rowsOfLine[lineKey(rows, r)].push_back(r);
    const auto shared = std::find_if(rowsOfLine.begin(), rowsOfLine.end(), [](const auto& l) { return l.second.size() > 1; });
    ASSERT_NE(shared, rowsOfLine.end()) << "no line has two pieces";
    const int again = shared->second.back();   // the last row of a line with an earlier one
    db->exec("update PRINTING set 完工說明 = 'stored' " + shared->first);
    std::map<std::string, std::string> lastOfLine;
    for (int r = 1; r <= n; ++r) {
        const std::string remark = r == again ? "stored" : "R" + std::to_string(r);
        SetCell(rows, flags, r, pl.finishRemarkCol, remark);
        lastOfLine[lineKey(rows, r)] = remark;
    }
    ASSERT_TRUE(save(printing, rows, flags));

    for (int r = 1; r <= n; ++r) {
        const std::string key = pieceKey(rows, r);
        ASSERT_EQ(value("select 完工說明 from PRINTING_S " + key), CellAt(rows, r, pl.finishRemarkCol)) << r;
        ASSERT_EQ(value("select 完工說明 from 預排資料明細 " + key + " and KIND = '印 刷'"),
                  CellAt(rows, r, pl.finishRemarkCol)) << r;
    }
    for (const auto& [key, remark] : lastOfLine)
        ASSERT_EQ(value("select 完工說明 from PRINTING " + key), remark) << key;
    EXPECT_EQ(count("select * from [日報異動紀錄] where 欄位 = '完工說明'"), n);
}

TEST_P(EndToEnd, PaperFinishedMarksItsPurchaseLinesArrived)
{
    const ProcessKind& paper = KindNamed("C-紙品");
    const GridLayout& l = GridLayoutOf(paper);
    auto [rows, flags] = Editable(paper, load(paper));
    // The paper purchases of a row's line not yet marked arrived.
    auto notArrived = [&](int r) {
        return count("select * from 紙品採購明細 D join 紙品採購資料 H on H.採購單號 = D.採購單號 where D.PO = '" +
                     CellAt(rows, r, 1) + "' and D.[NO] = " + CellAt(rows, r, 2) + " and H.KIND = '紙 品' and D.紙到 <> 'Y'");
    };
    const int r = firstRow(rows, [&](int r) { return openPieces(paper, rows, r) == 1 && notArrived(r) > 0; });
    ASSERT_GT(r, 0);
    // A purchase of another kind for the same line stays as it is.
    db->exec("insert into 紙品採購資料 (採購單號, KIND) values ('PX', '裱 紙')");
    db->exec("insert into 紙品採購明細 (採購單號, 序, PO, [NO], 紙到) values ('PX', 1, '" + CellAt(rows, r, 1) + "', " +
              CellAt(rows, r, 2) + ", '')");

    click(l, rows, flags, r, l.finishDateCol);
    ASSERT_TRUE(save(paper, rows, flags));
    EXPECT_EQ(notArrived(r), 0);
    EXPECT_EQ(value("select 紙到 from 紙品採購明細 where 採購單號 = 'PX'"), "");
}

TEST_P(EndToEnd, DieCuttingDieFlagKeepsItsFirstStamp)
{
    const ProcessKind& cutting = KindNamed("G-軋工");
    const GridLayout& l = GridLayoutOf(cutting);
    const int dieFlag = l.column("刀", 2);
    auto [rows, flags] = Editable(cutting, load(cutting));
    const int r = firstRow(rows, [&](int r) {
        return count("select * from KNIFE " + lineKey(rows, r)) == 1 &&
               count("select * from VENDERAC " + lineKey(rows, r) + " and KIND = '刀 模'") == 1;
    });
    ASSERT_GT(r, 0);
    const std::string key = lineKey(rows, r);
    db->exec("update KNIFE set FDATE = '1101-09' " + key);
    db->exec("update VENDERAC set ODATE = '' " + key + " and KIND = '刀 模'");
    CellAt(rows, r, dieFlag) = "V";

    click(l, rows, flags, r, l.column("紙"));
    ASSERT_TRUE(save(cutting, rows, flags));
    EXPECT_EQ(value("select FDATE from KNIFE " + key), "1101-09");
    EXPECT_EQ(value("select ODATE from VENDERAC " + key + " and KIND = '刀 模'"), "1204-14");

    // Saved again an hour later: both stamps stay.
    clock_.set({2024, 12, 4, 15, 0, 0});
    ASSERT_TRUE(save(cutting, rows, flags));
    EXPECT_EQ(value("select ODATE from VENDERAC " + key + " and KIND = '刀 模'"), "1204-14");

    // A die flag that was empty at loading time does not undo a die made
    // since; clearing the flag itself opens the die-making line again.
    CellAt(rows, r, dieFlag) = "";
    ASSERT_TRUE(save(cutting, rows, flags));
    EXPECT_EQ(value("select FDATE from KNIFE " + key), "1101-09");
    flags.set(r, dieFlag);
    ASSERT_TRUE(save(cutting, rows, flags));
    EXPECT_EQ(value("select FDATE from KNIFE " + key), "");
    EXPECT_EQ(value("select ODATE from VENDERAC " + key + " and KIND = '刀 模'"), "");
}

TEST_P(EndToEnd, ManualWriteBackRegistersANewDieOnceAndCopiesAPlainRemark)
{
    const ProcessKind& cutting = KindNamed("G-軋工");
    const GridLayout& l = GridLayoutOf(cutting);
    GridRows rows = load(cutting);
    ASSERT_GE(rows.size(), 2u);
    const int first = 1;
    const int second = firstRow(rows, [&](int r) { return CellAt(rows, r, 1) != CellAt(rows, first, 1); });
    ASSERT_GT(second, 0);
    auto prepare = [&](int r, const std::string& code, const std::string& rework) {
        CellAt(rows, r, l.remarkCol) = code;
        CellAt(rows, r, l.column("新舊刀")) = "新刀";
        CellAt(rows, r, l.column("儲位")) = "A-01";
        db->exec("update 工單lable set 內容8 = '" + rework + "', 內容12 = '' where PO = '" + CellAt(rows, r, 1) + "'");
    };
    prepare(first, "K-NEW-1", "一般生產");
    prepare(second, "K-NEW-2", "一般生產");
    db->exec("update 工單lable set 內容12 = ' 重工：色差' where PO = '" + CellAt(rows, second, 1) + "'");
    const std::string top = value("select max(序) from 刀模管理資料");

    ScriptedMessages msgs;
    SaveContext ctx{session(), clock_, [] {}};
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(WriteBackCurrentRow(cutting, rows, first, ctx), SaveStatus::Saved);
    ASSERT_EQ(WriteBackCurrentRow(cutting, rows, second, ctx), SaveStatus::Saved);
    EXPECT_EQ(msgs.shown().back().text, "資料儲存完畢！");

    const std::string key = lineKey(rows, first);
    EXPECT_EQ(value("select REM || '/' || 新舊刀 || '/' || 儲位 from CROWD " + key), "K-NEW-1/新刀/A-01");
    EXPECT_EQ(count("select * from 刀模管理資料 where 刀模代號 = 'K-NEW-2'"), 0);   // rework order
    const auto reg = db->rows("select 序, 日期, 工單單號, 工單序, 客戶代號, 作廢, 模數 = (select MEMB from CROWD " +
                               key + ") from 刀模管理資料 where 刀模代號 = 'K-NEW-1'");
    ASSERT_EQ(reg.size(), 1u);
    EXPECT_EQ(reg[0], (std::vector<std::string>{std::to_string(std::stoll(top) + 1), "1131204", CellAt(rows, first, 1),
                                                CellAt(rows, first, 2),
                                                value("select CUST from PWORK where PO = '" + CellAt(rows, first, 1) + "'"),
                                                "", "1"}));

    // A line that is gone: the user hears that nothing was written.
    db->exec("delete from CROWD " + key);
    const std::string before = value("select count(*) from 刀模管理資料");
    EXPECT_EQ(WriteBackCurrentRow(cutting, rows, first, ctx).why, Refusal::NotFound);
    EXPECT_NE(msgs.shown().back().text.find("未回存任何資料"), std::string::npos);
    EXPECT_EQ(value("select count(*) from 刀模管理資料"), before);

    // A plain kind copies the remark, trimmed, quotes and all.
    const ProcessKind& gluing = KindNamed("H-糊工");
    GridRows glued = load(gluing);
    ASSERT_FALSE(glued.empty());
    CellAt(glued, 1, GridLayoutOf(gluing).remarkCol) = "  加急 '今日' ";
    ASSERT_EQ(WriteBackCurrentRow(gluing, glued, 1, ctx), SaveStatus::Saved);
    EXPECT_EQ(value("select REM from PASTE " + lineKey(glued, 1)), "加急 '今日'");
}

namespace {

// Every part of a summary, lists in full.
std::string Described(const SaveSummary& s)
{
    auto line = [](const WorkLine& l) { return l.po + "/" + std::to_string(l.no) + " "; };
    std::string t = std::to_string(s.pieces) + " pieces, " + std::to_string(s.ordersDated) + " orders dated\n";
    for (const HistoryRow& h : s.history)
        t += h.id + "/" + std::to_string(h.ino) + " " + h.po + "/" + std::to_string(h.no) + " " + h.field + ": " +
             h.before + " -> " + h.after + "\n";
    for (const auto& [label, lines] : {std::pair{"closed: ", &s.closed}, std::pair{"\nreopened: ", &s.reopened},
                                       std::pair{"\npaper: ", &s.paperArrived}}) {
        t += label;
        for (const WorkLine& l : *lines)
            t += line(l);
    }
    t += "\nflow: ";
    for (const FlowStamp& f : s.flowStamps)
        t += line(f.line) + f.process + " " + f.column + ", ";
    return t;
}

// Another workstation inside its save's transaction (on a thread of its
// own, through std::async): `work` runs in a transaction that holds what
// it claims, which is committed when `work` returns. What went wrong,
// empty when nothing did.
std::string ClaimedWork(const std::string& connection, const std::function<void(jet::Connection&)>& work)
{
    try {
        jet::Connection conn;
        conn.open(connection);
        jet::Transaction tx(conn, jet::Writes::Claimed);
        work(conn);
        tx.commit();
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace

// A workstation in the middle of its save holds the lines it writes. On a
// server another workstation's save of other lines goes through meanwhile
// (a file has one writer: it waits); a save of a held line waits on both
// engines, and afterwards every save has landed, two fields of one line
// included.
TEST_P(EndToEnd, ASaveWaitsOnlyForTheWorkstationWritingItsLines)
{
    using namespace std::chrono_literals;
    const GridRows rows = load(printing);
    const auto [a, b] = twoUnmarkedLines(rows);
    ASSERT_GT(b, 0);
    auto saveLater = [&](int r, int col, std::string text) {
        return std::async(std::launch::async, [this, rows, r, col, text] {
            Session own = session();
            SaveContext ctx{own, clock_, [] {}};
            auto [mine, flags] = Editable(printing, rows);
            SetCell(mine, flags, r, col, text);
            return SaveDailyReport(printing, mine, flags, ctx, rows).complete();
        });
    };
    SharedMessages messages;

    std::promise<void> holding, release;
    std::shared_future<void> released = release.get_future().share();
    auto holder = std::async(std::launch::async, ClaimedWork, session().ConnectionString, [&](jet::Connection& conn) {
        conn.claim(std::vector{detail::LineClaim(CellAt(rows, a, 1), Val(CellAt(rows, a, 2)))});
        auto [mine, flags] = Editable(printing, rows);
        SetCell(mine, flags, a, pl.remarkCol, "甲未完");
        WriteFlaggedCells(conn, printing, mine, flags, clock_);
        holding.set_value();
        released.wait();
    });
    holding.get_future().wait();

    auto otherLine = saveLater(b, pl.remarkCol, "乙另一行");
    EXPECT_EQ(otherLine.wait_for(db->server() ? 20s : 500ms) == std::future_status::ready, db->server());
    auto sameLine = saveLater(a, pl.finishRemarkCol, "丙同一行");
    EXPECT_EQ(sameLine.wait_for(500ms), std::future_status::timeout);
    release.set_value();
    EXPECT_EQ(holder.get(), "");
    EXPECT_TRUE(otherLine.get());
    EXPECT_TRUE(sameLine.get());
    EXPECT_EQ(messages.troubles(), std::vector<std::string>{});

    EXPECT_EQ(value("select REM from PRINTING_S " + pieceKey(rows, a)), "甲未完");
    EXPECT_EQ(value("select 完工說明 from PRINTING_S " + pieceKey(rows, a)), "丙同一行");
    EXPECT_EQ(value("select 完工說明 from PRINTING " + lineKey(rows, a)), "丙同一行");
    EXPECT_EQ(value("select REM from PRINTING_S " + pieceKey(rows, b)), "乙另一行");
}

// Two workstations claiming the same two lines in opposite orders: the
// server cancels the one that waited first (a deadlock), and that save
// runs again without a word to its user. On a file the second simply waits.
TEST_P(EndToEnd, ASaveCancelledInADeadlockRunsAgainUnseen)
{
    using namespace std::chrono_literals;
    const GridRows rows = load(printing);
    const auto [a, b] = twoUnmarkedLines(rows);
    ASSERT_GT(b, 0);
    // What the save of rows a and b claims, in the order it takes them.
    std::vector<std::string> claims;
    for (const int r : {a, b}) {
        claims.push_back(detail::LineClaim(CellAt(rows, r, 1), Val(CellAt(rows, r, 2))));
        claims.push_back(detail::OrderClaim(CellAt(rows, r, 1)));
    }
    std::sort(claims.begin(), claims.end(),
              [](const std::string& x, const std::string& y) { return jet::ClaimNumber(x) < jet::ClaimNumber(y); });
    SharedMessages messages;

    // The other workstation holds the save's second claim; once the save
    // waits for it (holding its first), it asks for the first.
    std::promise<void> holding;
    bool tookBoth = false;
    auto other = std::async(std::launch::async, ClaimedWork, session().ConnectionString, [&](jet::Connection& conn) {
        conn.claim(std::vector{claims[1]});
        holding.set_value();
        if (db->server()) {
            for (int i = 0; i < 500 && count("select * from pg_locks where locktype = 'advisory' and not granted") == 0;
                 ++i)
                std::this_thread::sleep_for(20ms);
        } else {
            std::this_thread::sleep_for(300ms);
        }
        conn.claim(std::vector{claims[0]});
        tookBoth = true;
    });
    holding.get_future().wait();

    Session own = session();
    SaveContext ctx{own, clock_, [] {}};
    auto [mine, flags] = Editable(printing, rows);
    SetCell(mine, flags, a, pl.remarkCol, "甲");
    SetCell(mine, flags, b, pl.remarkCol, "乙");
    EXPECT_TRUE(SaveDailyReport(printing, mine, flags, ctx, rows).complete());
    EXPECT_EQ(other.get(), "");
    // The first claim came free while the save still wanted the second:
    // the server had cancelled the save, which then ran again.
    EXPECT_TRUE(tookBoth);
    EXPECT_EQ(messages.troubles(), std::vector<std::string>{});
    EXPECT_EQ(value("select REM from PRINTING_S " + pieceKey(rows, a)), "甲");
    EXPECT_EQ(value("select REM from PRINTING_S " + pieceKey(rows, b)), "乙");
}

// On randomized saves over the demo plant (finish dates that close a whole
// line or not, remarks, printing counts, die-cutting marks, lines drifted
// behind the grid's back: marked finished, or only its ACT, with a piece
// open, a piece finished elsewhere without a write-back):
// - the question's list, worked out without writing, is exactly what the
//   save then does;
// - the write-back, which skips the lines its walk would not change, leaves
//   the same database as walking every row (on a second copy).
TEST_P(EndToEnd, TheQuestionListsWhatTheSaveDoesAndTheWriteBackSkipsOnlyIdleLines)
{
    EngineFreshDatabase every(GetParam(), qtmv::db::test::CopyOf(demo()), "demo80");
    // Null and the empty text both mean "not set" to the suite: walking an
    // open line whose marks are null writes empty texts, skipping it keeps
    // the nulls.
    auto table = [](EngineFreshDatabase& d, const std::string& name) {
        auto r = d.rows("select * from [" + name + "]");
        for (auto& row : r)
            for (auto& v : row)
                if (v == "<null>")
                    v.clear();
        std::sort(r.begin(), r.end());
        return r;
    };
    std::mt19937 random(20261208);
    SaveSummary seen;   // what the saves did in all, so the lists compared were not empty
    for (const char* name : {"D-印刷", "C-紙品", "G-軋工", "H-糊工", "E-上光"}) {
        const ProcessKind& k = KindNamed(name);
        const GridLayout& l = GridLayoutOf(k);
        const std::string x(k.detailTable), xs(k.scheduledTable);
        SCOPED_TRACE(name);
        for (int round = 0; round < 4; ++round) {
            const GridRows fresh = load(k);
            if (fresh.size() < 4)
                break;
            const LoadedTexts loaded(fresh);
            auto [rows, flags] = Editable(k, fresh);
            const auto n = static_cast<unsigned>(rows.size());
            auto any = [&] { return 1 + static_cast<int>(random() % n); };
            const int marked = any(), acted = any(), finished = any(), whole = any();
            for (EngineFreshDatabase* d : {db.get(), &every}) {
                d->exec("update [" + x + "] set FDATE = '1111-11', ACT = '1111-11' " + lineKey(rows, marked));
                d->exec("update [" + x + "] set ACT = '1111-12' " + lineKey(rows, acted));
                d->exec("update [" + xs + "] set FDATE = '1203-09' " + pieceKey(rows, finished, &l));
            }
            // Every loaded piece of one line finished: the line closes
            // unless a piece of it is open that the grid does not show.
            for (int r = 1; r <= static_cast<int>(n); ++r)
                if (lineKey(rows, r) == lineKey(rows, whole))
                    SetCell(rows, flags, r, l.finishDateCol, "1204-0" + std::to_string(random() % 10));
            for (int pick = 1 + static_cast<int>(random() % 8); pick > 0; --pick) {
                const int r = any();
                switch (random() % 5) {
                case 0: SetCell(rows, flags, r, l.finishDateCol, "1204-1" + std::to_string(random() % 10)); break;
                case 1: SetCell(rows, flags, r, l.finishRemarkCol, "第" + std::to_string(round) + "輪"); break;
                case 2: SetCell(rows, flags, r, l.remarkCol, "趕" + std::to_string(pick)); break;
                default:
                    if (k.is(KindId::Printing))
                        SetCell(rows, flags, r, l.column("正"), std::to_string(random() % 3000));
                    else if (k.is(KindId::DieCutting))
                        SetCell(rows, flags, r, random() % 2 ? l.column("新舊刀") : l.column("刀", 2),
                                random() % 2 ? "新刀" : "V");
                    break;
                }
            }
            jet::Connection conn;
            conn.open(session().ConnectionString);
            const SaveSummary preview = PreviewSave(conn, k, rows, loaded, flags, clock_);
            jet::Transaction tx(conn, jet::Writes::Claimed);
            const SaveSummary done = WriteSave(conn, k, rows, loaded, flags, clock_, HistoryAuthorOf(session(), clock_));
            tx.commit();
            ASSERT_EQ(Described(preview), Described(done)) << "round " << round;
            {
                jet::Connection all;
                all.open(every.session().ConnectionString);
                jet::Transaction walk(all);
                WriteFlaggedCells(all, k, rows, flags, clock_);
                WriteBackLines(all, k, rows, clock_);
                walk.commit();
            }
            for (const std::string& t : {x, xs, std::string("VENDERAC"), std::string("紙品採購明細"),
                                         std::string("PRINTFLOW")})
                ASSERT_EQ(table(*db, t), table(every, t)) << t << " after round " << round;
            seen.history.insert(seen.history.end(), done.history.begin(), done.history.end());
            seen.closed.insert(seen.closed.end(), done.closed.begin(), done.closed.end());
            seen.reopened.insert(seen.reopened.end(), done.reopened.begin(), done.reopened.end());
            seen.flowStamps.insert(seen.flowStamps.end(), done.flowStamps.begin(), done.flowStamps.end());
            seen.paperArrived.insert(seen.paperArrived.end(), done.paperArrived.begin(), done.paperArrived.end());
            seen.ordersDated += done.ordersDated;
        }
    }
    EXPECT_GT(seen.history.size(), 20u);
    EXPECT_FALSE(seen.closed.empty());
    EXPECT_FALSE(seen.reopened.empty());
    EXPECT_FALSE(seen.flowStamps.empty());
    EXPECT_FALSE(seen.paperArrived.empty());
    EXPECT_GT(seen.ordersDated, 0);
}

// The lines the write-back walks, on a whole grid of many lines and on a
// few of its rows (read in two ways), against each line's own reading:
// a line none of whose rows changed is walked when it is marked finished
// (or only its ACT) with a piece open, or has no open piece left.
TEST_P(EndToEnd, TheWriteBackSkipsExactlyTheIdleLinesOfAGridLargeOrSmall)
{
    EngineFreshDatabase big(
        GetParam(), [](const std::string& path) { qtmv::demo::WriteDemoPlant(path, {.workOrders = 500}); }, "demo500");
    const GridRows all = LoadGrid(big.session().ConnectionString, printing, "", SortOption::WorkOrder);
    std::vector<std::string> lines;
    for (int r = 1; r <= static_cast<int>(all.size()); ++r)
        if (std::find(lines.begin(), lines.end(), lineKey(all, r)) == lines.end())
            lines.push_back(lineKey(all, r));
    ASSERT_GT(lines.size(), 300u) << "too few lines to read them over the kind";
    big.exec("update PRINTING set FDATE = '1111-11', ACT = '1111-11' " + lines[3]);
    big.exec("update PRINTING set ACT = '1111-12' " + lines[5]);
    big.exec("update PRINTING_S set FDATE = '1203-09' " + lines[8]);   // finished elsewhere
    big.exec("update PRINTING set FDATE = '1111-11' " + lines[300]);
    jet::Connection conn;
    conn.open(big.session().ConnectionString);
    const auto any = [&](const std::string& sql) {
        jet::Recordset rs;
        rs.open(sql, conn);
        return !rs.eof();
    };
    for (const std::size_t size : {all.size(), std::size_t{40}}) {
        SCOPED_TRACE(size);
        const GridRows rows(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(size));
        ChangeFlags flags = FlagsFor(printing, rows);
        for (const int r : {2, 7, 20})
            flags.set(r, pl.remarkCol);
        std::vector<int> expected;
        std::vector<std::string> done;
        for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
            const std::string key = lineKey(rows, r);
            if (std::find(done.begin(), done.end(), key) != done.end())
                continue;
            const bool idle = any("select * from PRINTING_S " + key + " and (FDATE = '' or FDATE is null)") &&
                              !any("select * from PRINTING " + key + " and (FDATE <> '' or ACT <> '')");
            if (!flags.rowFlagged(r) && idle)
                continue;
            done.push_back(key);
            expected.push_back(r);
        }
        EXPECT_GE(expected.size(), 5u);
        EXPECT_EQ(LinesToWalk(conn, printing, rows, &flags), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, EndToEnd, ::testing::Values(Engine::SQLite, Engine::Server),
                         qtmv::db::test::EngineName);
