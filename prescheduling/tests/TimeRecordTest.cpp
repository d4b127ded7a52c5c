// The stored time record: numbers, locks, loading and the save with its
// consequences, read back from the database.
#include "prescheduling/core/TimeRecord.h"

#include "common/EntryText.h"
#include "records/saving/tests/SavingFixture.h"
#include "db/testing/EngineFreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Retry.h"
#include "platform/jet/testing/SqliteOpenCounter.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include "platform/os/Host.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <thread>

namespace qtmv::presched {
namespace {

using daily::test::KindNamed;

// A line of machine H1.
TimeLine Stint(const char* start, const char* end, double quantity = 0)
{
    TimeLine l;
    l.machine = "H1";
    l.start = start;
    l.end = end;
    l.quantity = quantity;
    return l;
}

class TimeRecordTest : public daily::test::SavingFixture {
protected:
    TimeRecordTest()
    {
        session_.WorkstationUser = "PC1\\amy";
        session_.EmployeeName = "王小美";
        workOrder("P001");
        line(printing, "P001", 1);
        piece(printing, "D001", 1, "P001", 1);
        db().exec("insert into [印刷產能資料] (機別, 每時產能) values ('H1', 6000)");
        conn.open(session_.ConnectionString);
    }

    void timeLine(const std::string& number, int seq, const std::string& kindName, const std::string& start = "")
    {
        db().exec("insert into [預排資料耗時明細] (單號, 工單單號, 工單序, 序, 製程, 開始) values ('" + number +
                  "', 'P001', 1, " + std::to_string(seq) + ", '" + kindName + "', '" + start + "')");
    }

    SaveInput input(const std::string& number = "D001")
    {
        SaveInput in;
        in.key = {number, "P001", 1, &printing};
        TimeLine a = Stint("1131204 0830", "1131204 1015", 9450);
        a.operatorId = "E01";
        a.operatorName = "陳大文";
        in.lines = {a, TimeLine{}, Stint("1131204 2330", "1131205 0115", 550)};
        in.completionDate = "1131205";
        in.completedQuantity = 10000;
        return in;
    }

    SaveOutcome save(const SaveInput& in)
    {
        daily::SaveContext ctx{session_, clock_, [this] { ++programEnded_; }};
        return SaveRecord(in, ctx);
    }

    // A lock row as an older program, or another of the suite, writes it:
    // without 製程 and without time.
    void bareLock(const std::string& id, const std::string& computer, const std::string& user,
                  const std::string& number = "D001")
    {
        db().exec("insert into SYSPOLOCK1 (ID, COMPUTER, [USER], 工單單號, 工單序, 單號) values ('" + id + "', '" +
                  computer + "', '" + user + "', 'P001', 1, '" + number + "')");
    }

    const ProcessKind& printing = KindNamed("D-印刷");
    const ProcessKind& varnishing = KindNamed("E-上光");
    const RecordKey key{"D001", "P001", 1, &printing};
    const ProcessAlive alive = [](long long) { return true; };
    jet::Connection conn;
    ScriptedMessages messages_;
};

TEST_F(TimeRecordTest, TmpNumbersFollowTheGreatestNumberNumerically)
{
    EXPECT_EQ(NextTmpNumber(conn), "TMP0001");
    timeLine("TMP0009", 1, "D-印刷");
    timeLine("TMPX", 1, "D-印刷");
    EXPECT_EQ(NextTmpNumber(conn), "TMP0010");
    timeLine("TMP9999", 1, "D-印刷");
    EXPECT_EQ(NextTmpNumber(conn), "TMP10000");
    timeLine("TMP10000", 1, "D-印刷");
    EXPECT_EQ(NextTmpNumber(conn), "TMP10001");
    EXPECT_TRUE(IsTmpNumber(" tmp0001"));
    EXPECT_FALSE(IsTmpNumber("D001"));

    // A save with nothing to store uses up no number. (Distinct numbers for
    // stored records: the engines test below, with workstations at once.)
    piece(printing, "D002", 1, "P001", 1);
    SaveInput in = input("");
    in.lines.assign(2, TimeLine{});
    EXPECT_EQ(save(in).number, "");
    EXPECT_EQ(NextTmpNumber(conn), "TMP10001");
}

TEST_F(TimeRecordTest, LockClaimsTheLineOfTheKindUntilReleasedOrItsProgramIsGone)
{
    const LockHolder amy{"PC1\\amy", "王小美", 4001, "1131204 0800"};
    const LockHolder bob{"PC2\\bob", "李大同", 4001, "1131204 0900"};
    const LockOutcome mine = TakeLock(conn, key, amy, alive);
    ASSERT_TRUE(mine.taken);
    EXPECT_EQ(value("select COMPUTER || '/' || [USER] || '/' || 單號 || '/' || 製程 || '/' || 鎖定時間 from SYSPOLOCK1"),
              "PC1/王小美/D001/D-印刷/1131204 0800");

    const LockOutcome theirs = TakeLock(conn, key, bob, alive);
    EXPECT_FALSE(theirs.taken);
    EXPECT_FALSE(theirs.mayTakeOver);
    EXPECT_EQ(LockedMessage(theirs), "另一個使用者正在修改，您暫時無法修改資料！\n\n被【王小美 】鎖定。\n"
                                     "電腦：PC1，鎖定時間：113/12/04 08:00。");
    // Another piece of the same line, in another schedule document: its save
    // rewrites the same work-order line.
    EXPECT_EQ(TakeLock(conn, {"D002", "P001", 1, &printing}, bob, alive).holder, "王小美");

    // Another line, and the same line of another kind, are free.
    EXPECT_TRUE(TakeLock(conn, {"D001", "P001", 2, &printing}, bob, alive).taken);
    EXPECT_TRUE(TakeLock(conn, {"D001", "P001", 1, &varnishing}, bob, alive).taken);

    ReleaseLock(conn, key, mine.lockId);
    EXPECT_TRUE(TakeLock(conn, key, bob, alive).taken);

    // A row written without 製程 (before it existed, or by another program)
    // claims the line for every kind; without time it is aged from when it
    // was first seen, and taken over as any old lock (below).
    db().exec("delete from SYSPOLOCK1");
    bareLock("PC2\\bob|77|1", "PC2", "李大同", "D009");
    const LockOutcome bare =
        TakeLock(conn, {"D001", "P001", 1, &varnishing}, {"PC1\\amy", "王大明", 4002, "1131204 0800"}, alive);
    EXPECT_EQ(bare.holder, "李大同");
    EXPECT_FALSE(bare.mayTakeOver);
    EXPECT_EQ(value("select 鎖定時間 from SYSPOLOCK1"), "1131204 0800");
    EXPECT_TRUE(TakeLock(conn, key, {"PC1\\amy", "王大明", 4002, "1131204 2000"}, alive).mayTakeOver);

    // A lock of this computer whose program has ended holds nothing, also when
    // the program is a zombie its parent has not reaped (it still answers
    // kill(pid, 0)).
    db().exec("delete from SYSPOLOCK1");
    EXPECT_TRUE(ProcessRunning(os::CurrentProcessId()));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(0);
    siginfo_t info{};
    // Waits for the end without reaping: the child stays a zombie.
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
    const LockHolder earlier{"PC1\\amy", "王小美", child, "1131204 0800"};
    const LockHolder now{"PC1\\amy", "王小美", os::CurrentProcessId(), "1131204 0900"};
    ASSERT_TRUE(TakeLock(conn, key, earlier, alive).taken);

    // Still running on this computer: it blocks.
    EXPECT_FALSE(TakeLock(conn, key, now, alive).taken);
    // Gone, but seen from another computer: its process cannot be checked, so it blocks.
    const LockHolder otherPc{"PC2\\bob", "李大同", 4003, "1131204 0900"};
    EXPECT_FALSE(TakeLock(conn, key, otherPc, [](long long) { return false; }).taken);
    // Gone, on this computer: the leftover is removed and the lock taken.
    const LockOutcome out = TakeLock(conn, key, now);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(out.taken);
    EXPECT_EQ(value("select ID from SYSPOLOCK1"), out.lockId);

    // A lock written by another program of the suite is never judged stale.
    db().exec("delete from SYSPOLOCK1");
    bareLock("PC1\\amy", "PC1", "工務");
    EXPECT_EQ(TakeLock(conn, key, now, [](long long) { return false; }).holder, "工務");
}

TEST_F(TimeRecordTest, OldLockOfAnotherComputerIsTakenOverAndTheFormerHolderCannotSave)
{
    const LockHolder bob{"PC2\\bob", "李大同", 4001, "1131204 0800"};
    const LockOutcome bobs = TakeLock(conn, key, bob, alive);
    ASSERT_TRUE(bobs.taken);

    // Younger than the set age: it blocks, and may not be taken over.
    const LockOutcome young = TakeLock(conn, key, {"PC1\\amy", "王小美", 4002, "1131204 1959"}, alive);
    EXPECT_FALSE(young.mayTakeOver);
    EXPECT_FALSE(TakeOverLock(conn, key, {"PC1\\amy", "王小美", 4002, "1131204 1959"}, young, alive).taken);

    const LockHolder amy{"PC1\\amy", "王大明", 4002, "1131204 2000"};
    const LockOutcome old = TakeLock(conn, key, amy, alive);
    ASSERT_FALSE(old.taken);
    EXPECT_TRUE(old.mayTakeOver);
    EXPECT_NE(TakeOverQuestion(old).find("電腦：PC2，鎖定時間：113/12/04 08:00"), std::string::npos);
    EXPECT_NE(LockedMessage(old).find("可請系統管理員開啟本筆資料接手"), std::string::npos);
    const LockOutcome mine = TakeOverLock(conn, key, amy, old, alive);
    ASSERT_TRUE(mine.taken);
    EXPECT_EQ(db().rows("select ID, COMPUTER, 鎖定時間 from SYSPOLOCK1"),
              (std::vector<std::vector<std::string>>{{mine.lockId, "PC1", "1131204 2000"}}));
    EXPECT_EQ(db().rows("select 使用者, 電腦, 種類, ID, PO, [NO], 欄位, 舊值, 新值 from [日報異動紀錄]"),
              (std::vector<std::vector<std::string>>{{"王大明", "PC1", "D-印刷", "D001", "P001", "1", "鎖定",
                                                      "李大同（PC2，1131204 0800 起，" + bobs.lockId + "）",
                                                      "王大明（PC1）"}}));

    // The former holder's window saves after all: refused, nothing written.
    const std::string before = dump();
    SaveInput late = input();
    late.lockId = bobs.lockId;
    EXPECT_EQ(save(late).status, SaveStatus::Refused);
    EXPECT_EQ(messages_.shown().back().text, kLockTakenOver);
    EXPECT_EQ(dump(), before);
}

TEST_F(TimeRecordTest, SaveStoresLinesScheduleRemarkAndWritesBackTheFinishedLine)
{
    const jet::testing::SqliteOpenCounter opens;
    const SaveOutcome out = save(input());
    ASSERT_EQ(out.status, SaveStatus::Saved);
    EXPECT_EQ(opens.mainDatabases(), 1);   // the checks, the lines, the schedule and the write-back
    EXPECT_EQ(out.total, "3.50");
    EXPECT_EQ(out.remark, "完工數量: 10000");

    // The blank grid line is not stored; lines are numbered as stored.
    EXPECT_EQ(db().rows("select 序, 製程, 機別, 耗時, 標準數量, 點數, 經辦人員 from [預排資料耗時明細] order by 序"),
              (std::vector<std::vector<std::string>>{{"1", "D-印刷", "H1", "1.75", "10500.0", "90.0", "陳大文"},
                                                      {"2", "D-印刷", "H1", "1.75", "10500.0", "5.24", ""}}));
    // The piece, then the schedule's line of it.
    EXPECT_EQ(db().rows("select 耗時, FDATE, 完工說明 from PRINTING_S where ID = 'D001' union all "
                        "select 耗時, PDATE, 完工說明 from 預排資料明細 where ID = 'D001'"),
              (std::vector<std::vector<std::string>>(2, {"3.50", "1131205", "完工數量: 10000"})));
    // No piece is left open: the work-order line is finished and the flow stamped.
    EXPECT_EQ(value("select FDATE || '/' || 完工說明 from PRINTING where PO = 'P001'"), "1131205/完工數量: 10000");
    EXPECT_NE(value("select ITEM4 from PRINTFLOW where PO = 'P001'"), "");
    // The piece's fields in the history: the window's values before, those stored.
    EXPECT_EQ(db().rows("select 欄位, 舊值, 新值, 使用者, 電腦, ID, INO from [日報異動紀錄] order by 序"),
              (std::vector<std::vector<std::string>>{{"耗時", "", "3.50", "王小美", "PC1", "D001", "1"},
                                                      {"完工日", "", "1131205", "王小美", "PC1", "D001", "1"},
                                                      {"完工說明", "", "完工數量: 10000", "王小美", "PC1", "D001", "1"}}));

    // Saving again rewrites the lines instead of adding to them.
    ASSERT_EQ(save(input()).status, SaveStatus::Saved);
    EXPECT_EQ(value("select count(*) from [預排資料耗時明細]"), "2");
}

TEST_F(TimeRecordTest, RefusedSavesTellWhyAndWriteNothing)
{
    // A piece whose ID is blank: a save without number must not reach it.
    piece(printing, "", 1, "P001", 1);
    const std::string before = dump();
    const std::string row1 = "第 1 列：", row3 = "第 3 列：";
    const std::vector<std::pair<std::function<void(SaveInput&)>, std::string>> refusals = {
        {[](SaveInput& in) { in.key.number = ""; in.lines.assign(1, TimeLine{}); }, kNoRecordNumber},
        {[](SaveInput& in) { in.lines[2].defects = -3; }, row3 + kNegativeFigure},
        {[](SaveInput& in) { in.completedQuantity = -807; }, kNegativeFigure},
        {[](SaveInput& in) { in.lines[0].remark = "夜班\r\n完成"; }, row1 + ControlCharacterMessage("說明")},
        {[](SaveInput& in) { in.lines[2].end = ""; }, kOpenLineWithDate},
        {[](SaveInput& in) { in.lines[2].end = "1131204 2300"; }, row3 + kEndBeforeStart},
        {[](SaveInput& in) { in.completionDate = "1131332"; }, kBadCompletionDate},
        {[this](SaveInput&) { session_.ProductionRights = "000000000001"; }, "您的權限僅可以查詢！"}};
    for (const auto& [change, why] : refusals) {
        SCOPED_TRACE(why);
        messages_.clear();
        SaveInput in = input();
        change(in);
        EXPECT_EQ(save(in).status, SaveStatus::Refused);
        ASSERT_EQ(messages_.shown().size(), 1u);
        EXPECT_EQ(messages_.shown()[0].text, why);
        EXPECT_EQ(dump(), before);
    }
}

TEST_F(TimeRecordTest, LinesOfAnotherKindInTheSameRecordAreKeptApart)
{
    line(varnishing, "P001", 1);
    piece(varnishing, "D001", 1, "P001", 1);
    timeLine("D001", 1, "E-上光", "1131201 0800");
    ASSERT_EQ(save(input()).status, SaveStatus::Saved);

    EXPECT_EQ(value("select 開始 from [預排資料耗時明細] where 製程 = 'E-上光'"), "1131201 0800");
    EXPECT_EQ(LoadLines(conn, {"D001", "P001", 1, &varnishing}).size(), 1u);
    EXPECT_EQ(LoadLines(conn, key).size(), 2u);
    // Only the printing piece of the document is finished.
    EXPECT_EQ(value("select PDATE from 預排資料明細 where ID = 'D001' and KIND = '印 刷'"), "1131205");
    EXPECT_EQ(value("select PDATE from 預排資料明細 where ID = 'D001' and KIND = '上 光'"), "");
}

// Unmarked lines belong to the record's first piece. The indicator shows the
// line's and kind's inspection and printing data (the texts as saves change
// them: through the windows, in QualityWindowTest).
TEST_F(TimeRecordTest, UnmarkedLinesAndTheIndicatorAreFoundByLineAndKind)
{
    db().exec("insert into [預排資料耗時明細] (單號, 工單單號, 工單序, 序, 開始) values ('D001', 'P001', 1, 1, "
              "'1131201 0800')");
    EXPECT_EQ(LoadLines(conn, key).size(), 1u);
    EXPECT_EQ(LoadLines(conn, {"D001", "P001", 1, &varnishing}).size(), 0u);
    EXPECT_EQ(LoadLines(conn, {"", "P001", 1, &printing}).size(), 0u);

    db().exec("insert into [工單印刷數據] (工單單號, 工單序, 製程, 序) values ('P001', 1, 'D-印刷', 1)");
    db().exec("insert into [工單品檢明細] (工單單號, 工單序, 製程, 序) values ('P001', 1, 'E-上光', 1)");
    EXPECT_EQ(RelatedText(LoadRelatedRecords(conn, key)), "有印刷數據");
    EXPECT_EQ(RelatedText(LoadRelatedRecords(conn, {"D001", "P001", 1, &varnishing})), "有品檢資料");
}

TEST_F(TimeRecordTest, DataErrorRollsEverythingBack)
{
    // The work-order line refuses the update, after the lines and the
    // schedule have been written.
    db().exec("create trigger fail after update on PRINTING begin select raise(abort, 'disk full'); end");
    const std::string before = dump();
    EXPECT_EQ(save(input()).status, SaveStatus::Failed);
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(messages_.shown().size(), 1u);
}

TEST_F(TimeRecordTest, FinishDateRemarkAndTimeAreWrittenOnlyWhenGiven)
{
    SaveInput in = input();
    in.completionDate = "";
    in.completedQuantity = 0;
    in.lines[2].end = ""; // still running: allowed without a completion date
    ASSERT_EQ(save(in).status, SaveStatus::Saved);
    EXPECT_EQ(value("select count(*) from [預排資料耗時明細]"), "2");
    EXPECT_EQ(value("select 耗時 || '/' || FDATE || '/' || 完工說明 from PRINTING_S"), "1.75//");
    // The piece is still open: the work-order line is not finished.
    EXPECT_EQ(value("select FDATE from PRINTING where PO = 'P001'"), "");

    // Finished on another workstation after this window opened without a date.
    db().exec("update PRINTING_S set FDATE = '1131206'");
    in = input();
    in.completionDate = "";
    ASSERT_EQ(save(in).status, SaveStatus::Saved);
    EXPECT_EQ(value("select FDATE from PRINTING_S"), "1131206");
    in.completionDate = "1131207";
    ASSERT_EQ(save(in).status, SaveStatus::Saved);
    EXPECT_EQ(value("select FDATE || '/' || (select PDATE from 預排資料明細) from PRINTING_S"), "1131207/1131207");

    // A record without lines keeps the piece's time.
    db().exec("update PRINTING_S set 耗時 = '0.50'");
    in.lines.assign(1, TimeLine{});
    in.previousTotal = "0.50";
    in.completionDate = "1131208";
    const SaveOutcome out = save(in);
    ASSERT_EQ(out.status, SaveStatus::Saved);
    EXPECT_EQ(out.total, "0.50");
    EXPECT_EQ(value("select 耗時 || '/' || FDATE from PRINTING_S"), "0.50/1131208");
}

// Records saved from several workstations at once, on both engines: the
// server's copy of the plant as well as the file.
class TimeRecordEngines : public ::testing::TestWithParam<db::test::Engine> {
protected:
    void SetUp() override
    {
        QTMV_SKIP_WITHOUT_TEST_SERVER(GetParam());
        db = std::make_unique<db::test::EngineFreshDatabase>(GetParam());
        Session& s = db->session();
        s.IdentityEstablished = s.RightsEstablished = true;
        s.WorkstationUser = "PC1\\amy";
        db->exec("insert into [CUST] (ID, SNAME) values ('C01', '大同紙器')");
        db->exec("insert into [PWORK] (PO, CUST) values ('P001', 'C01')");
        db->exec("insert into [PRINTING] (PO, [NO]) values ('P001', 1)");
        // An open piece of the line: saving a record does not finish the line.
        db->exec("insert into [PRINTING_S] (ID, INO, PO, [NO], FDATE) values ('D001', 1, 'P001', 1, '')");
    }

    // A new record of two lines.
    static SaveInput newRecord()
    {
        SaveInput in;
        in.key = {"", "P001", 1, &KindNamed("D-印刷")};
        in.lines = {Stint("1131204 0830", "1131204 1015"), Stint("1131204 1100", "1131204 1200")};
        return in;
    }

    SaveOutcome save(Session& s, const SaveInput& in)
    {
        const FixedClock clock({2024, 12, 4, 14, 5, 0});
        daily::SaveContext ctx{s, clock, [] {}};
        return SaveRecord(in, ctx);
    }

    std::unique_ptr<db::test::EngineFreshDatabase> db;
    ScriptedMessages messages;
};

TEST_P(TimeRecordEngines, WorkstationsSavingNewRecordsAtOnceNeverShareANumber)
{
    constexpr int stations = 3, saves = 3;
    // Each save writes its own slot: the threads share no element.
    std::vector<std::string> handed(stations * saves), expected;
    std::vector<std::thread> threads;
    for (int w = 0; w < stations; ++w)
        threads.emplace_back([&, w] {
            Session s = db->session();
            for (int i = 0; i < saves; ++i) {
                const SaveOutcome out = save(s, newRecord());
                handed[static_cast<std::size_t>(w * saves + i)] =
                    out.status == SaveStatus::Saved ? out.number : "failed";
            }
        });
    for (auto& t : threads)
        t.join();
    // Each number was handed to one save only and holds that save's two lines.
    std::vector<std::vector<std::string>> stored;
    std::sort(handed.begin(), handed.end());
    static_assert(stations * saves < 10, "four-digit numbers below");
    for (int i = 1; i <= stations * saves; ++i) {
        expected.push_back("TMP000" + std::to_string(i));
        stored.push_back({expected.back(), "2"});
    }
    EXPECT_EQ(handed, expected);
    EXPECT_EQ(db->rows("select 單號, count(*) from [預排資料耗時明細] group by 單號 order by 單號"), stored);
}

// The completion remark goes where 完工說明 is blank, null or holds a
// quantity a save wrote before; a clerk's remark stays, in the piece, the
// schedule and the work-order line, also when finishing the piece carries
// its remark over to the line.
TEST_P(TimeRecordEngines, CompletionRemarkTakesOnlyEmptyAndEarlierQuantityRemarks)
{
    db->exec("update [PRINTING_S] set 完工說明 = '夜班完成一半'");
    db->exec("update [PRINTING] set 完工說明 = '完工數量: 500'");
    db->exec("insert into [預排資料明細] (ID, INO, KIND, PO, [NO], 完工說明) values ('D001', 1, '印 刷', 'P001', 1, ' ')");
    auto remarks = [&] {
        return db->value("select s.完工說明 || '/' || d.完工說明 || '/' || w.完工說明 from [PRINTING_S] s, "
                         "[預排資料明細] d, [PRINTING] w");
    };
    SaveInput in = newRecord();
    in.key.number = "D001";
    in.completedQuantity = 807;
    const SaveOutcome out = save(db->session(), in);
    ASSERT_EQ(out.status, SaveStatus::Saved);
    EXPECT_EQ(out.remark, "完工數量: 807");
    EXPECT_EQ(remarks(), "夜班完成一半/完工數量: 807/完工數量: 807");
    EXPECT_EQ(db->value("select count(*) from [日報異動紀錄] where 欄位 = '完工說明'"), "0");

    // A quantity of 0 empties what a save may replace.
    db->exec("update [PRINTING_S] set 完工說明 = null");
    db->exec("update [預排資料明細] set 完工說明 = '夜班完成一半'");
    db->exec("update [PRINTING] set 完工說明 = '客戶要求加印100張'");
    in.completedQuantity = 0;
    ASSERT_EQ(save(db->session(), in).status, SaveStatus::Saved);
    EXPECT_EQ(remarks(), "/夜班完成一半/客戶要求加印100張");

    in.completionDate = "1131205";   // no piece left open: the line is finished
    in.completedQuantity = 807;
    ASSERT_EQ(save(db->session(), in).status, SaveStatus::Saved);
    EXPECT_EQ(db->value("select FDATE || '/' || 完工說明 from [PRINTING]"), "1131205/客戶要求加印100張");
    // A remark of blanks is empty too (what the window hands back and the history compare).
    EXPECT_EQ(RemarkAfterSave(" ", "完工數量: 807"), "完工數量: 807");
}

INSTANTIATE_TEST_SUITE_P(Engines, TimeRecordEngines,
                         ::testing::Values(db::test::Engine::SQLite, db::test::Engine::Server),
                         db::test::EngineName);

// A server cancels a transaction that collides with another workstation's.
// Here a trigger cancels the first `limit` attempts to write a table.
class TimeRecordCollisions : public TimeRecordEngines {
protected:
    void collideOn(const std::string& table, int limit)
    {
        db->exec("create sequence if not exists attempts minvalue 0 start 0");
        db->exec("select setval('attempts', 0)");
        db->exec("create or replace function collide() returns trigger language plpgsql as $$ begin "
                 "if nextval('attempts') <= " + std::to_string(limit) + " then "
                 "raise exception 'could not serialize access' using errcode = '40001'; end if; "
                 "return null; end $$");
        db->exec("create or replace trigger collide before insert on [" + table +
                 "] for each statement execute function collide()");
    }
    void noCollisions(const std::string& table) { db->exec("drop trigger collide on [" + table + "]"); }
    std::string attempts() { return db->value("select last_value from attempts"); }
};

TEST_P(TimeRecordCollisions, CollisionsAreMadeAgainAFewTimesThenReported)
{
    Session& s = db->session();
    collideOn("預排資料耗時明細", 1);
    const SaveOutcome saved = save(s, newRecord());
    ASSERT_EQ(saved.status, SaveStatus::Saved);
    EXPECT_EQ(saved.number, "TMP0001");
    EXPECT_EQ(attempts(), "3"); // the cancelled first line, then both lines again
    EXPECT_EQ(db->value("select count(*) from [預排資料耗時明細] where 單號 = 'TMP0001'"), "2");
    EXPECT_TRUE(messages.shown().empty());

    // A collision that does not pass is reported, after a bounded number of
    // attempts (each cancelled at its first line), and nothing of the save is
    // stored.
    collideOn("預排資料耗時明細", 100);
    EXPECT_EQ(save(s, newRecord()).status, SaveStatus::Failed);
    EXPECT_EQ(attempts(), std::to_string(jet::kConflictAttempts));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find("請再試一次"), std::string::npos) << messages.shown()[0].text;
    EXPECT_EQ(db->value("select count(*) from [預排資料耗時明細]"), "2");
    noCollisions("預排資料耗時明細");

    const RecordKey key{"D001", "P001", 1, &KindNamed("D-印刷")};
    const LockHolder amy{"PC1\\amy", "王小美", 4001, "1131204 0800"};
    collideOn("SYSPOLOCK1", 1);
    jet::Connection c;
    c.open(s.ConnectionString);
    const LockOutcome lock = TakeLock(c, key, amy, [](long long) { return true; });
    EXPECT_TRUE(lock.taken);
    EXPECT_EQ(attempts(), "2");
    EXPECT_EQ(db->value("select [USER] from [SYSPOLOCK1]"), "王小美");
    // Inside a transaction of the caller's, a collision cancelled the
    // caller's work too: it is not run again.
    collideOn("SYSPOLOCK1", 1);
    c.execute("delete from [SYSPOLOCK1]");
    jet::Transaction t(c);
    EXPECT_THROW(TakeLock(c, key, amy, [](long long) { return true; }), jet::Error);
    EXPECT_EQ(attempts(), "1");
}

// Only a server cancels colliding transactions; SQLite's writers queue up.
INSTANTIATE_TEST_SUITE_P(Server, TimeRecordCollisions, ::testing::Values(db::test::Engine::Server),
                         db::test::EngineName);

} // namespace
} // namespace qtmv::presched
