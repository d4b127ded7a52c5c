// The one save sequence every window's write goes through: what it runs in
// which order, and that a write that stops or fails leaves the database as
// it was (read back).
#include "records/saving/SaveRun.h"

#include "records/saving/tests/SavingFixture.h"
#include "platform/jet/Connection.h"
#include "platform/jet/testing/SqliteOpenCounter.h"
#include "platform/os/MessageBox.h"

#include <stdexcept>
#include <string>
#include <vector>

using namespace qtmv;
using namespace qtmv::daily;
using namespace qtmv::daily::test;

namespace {

class SaveRunTest : public SavingFixture {
protected:
    SaveRunTest() { workOrder("W1"); }

    SaveResult run(const std::function<void(jet::Connection&)>& write, const SaveSteps& steps = {})
    {
        SaveContext ctx{session_, clock_, [this] { ++programEnded_; }};
        return RunSave(ctx, "測試儲存", write, steps);
    }
    std::vector<std::string> steps_;
    void rename(jet::Connection& conn, const std::string& to)
    {
        steps_.push_back("write");
        conn.execute("update PWORK set [DESC] = '" + to + "' where PO = 'W1'");
    }
};

} // namespace

TEST_F(SaveRunTest, MaintenanceThenRightsThenTheWindowsCheckThenOneTransaction)
{
    SaveSteps steps;
    steps.check = [&] { steps_.push_back("check"); return std::string(); };
    steps.question = [&](jet::Connection&) { steps_.push_back("confirm"); return std::string("存?"); };
    steps.afterCommit = [&](jet::Connection&) { steps_.push_back("after"); return Notice{"完畢"}; };

    // A maintenance lock ends the program before anything else runs.
    db().exec("insert into SYSLOCK ([USER]) values ('PC1\\ADMIN')");
    EXPECT_EQ(run([&](jet::Connection& c) { rename(c, "A"); }, steps), SaveStatus::Ended);
    EXPECT_EQ(programEnded_, 1);
    EXPECT_TRUE(steps_.empty());
    db().exec("delete from SYSLOCK");

    // Rights that could not be established refuse before the window's check.
    session_.IdentityEstablished = session_.RightsEstablished = false;
    session_.RightsProblem = "啟動參數不完整，無法確認使用者身分。";
    {
        ScriptedMessages msgs;
        const SaveResult r = run([&](jet::Connection& c) { rename(c, "A"); }, steps);
        EXPECT_EQ(r, SaveStatus::Refused);
        EXPECT_EQ(r.why, Refusal::Rights);
        ASSERT_EQ(msgs.shown().size(), 1u);
        EXPECT_EQ(r.told, msgs.shown()[0].text);
    }
    EXPECT_TRUE(steps_.empty());
    session_.IdentityEstablished = session_.RightsEstablished = true;

    // The window's check refuses with the message it returns, shown once
    // under its title.
    SaveSteps refusing = steps;
    refusing.check = [&] { steps_.push_back("check"); return std::string("數量不可為負數"); };
    {
        ScriptedMessages msgs;
        const SaveResult r = run([&](jet::Connection& c) { rename(c, "A"); }, refusing);
        EXPECT_EQ(r.why, Refusal::Invalid);
        EXPECT_EQ(r.told, "數量不可為負數");
        ASSERT_EQ(msgs.shown().size(), 1u);
        EXPECT_EQ(msgs.shown()[0].title, "訊息");
    }
    EXPECT_EQ(steps_, std::vector<std::string>{"check"});

    // "No" to the question declines: nothing written, nothing told.
    steps_.clear();
    ScriptedMessages answers;
    answers.answer(MsgAnswer::No);
    const SaveResult declined = run([&](jet::Connection& c) { rename(c, "A"); }, steps);
    EXPECT_EQ(declined.why, Refusal::Declined);
    EXPECT_TRUE(declined.told.empty());
    EXPECT_EQ((steps_), (std::vector<std::string>{"check", "confirm"}));
    EXPECT_EQ(value("select [DESC] from PWORK"), "月曆");

    steps_.clear();
    answers.answer(MsgAnswer::Yes);
    const SaveResult saved = run([&](jet::Connection& c) { rename(c, "A"); }, steps);
    EXPECT_EQ(saved, SaveStatus::Saved);
    EXPECT_EQ(saved.told, "完畢");
    // Asked once each time under "詢問", the closing notice shown once.
    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_EQ(answers.shown()[0].title, "詢問");
    EXPECT_EQ(answers.shown()[0].text, "存?");
    EXPECT_EQ(answers.shown()[2].text, "完畢");
    EXPECT_EQ((steps_), (std::vector<std::string>{"check", "confirm", "write", "after"}));
    EXPECT_EQ(value("select [DESC] from PWORK"), "A");
}

TEST_F(SaveRunTest, AStoppedOrFailedWriteLeavesNothingAndTellsOnce)
{
    ScriptedMessages msgs;
    // Stopped after a first statement: rolled back, the message shown under
    // the given title after the rollback.
    EXPECT_EQ(run([&](jet::Connection& c) {
                  rename(c, "B");
                  throw SaveStopped(SaveStatus::Changed, "已被變更", "訊息");
              }),
              SaveStatus::Changed);
    EXPECT_EQ(value("select [DESC] from PWORK"), "月曆");
    ASSERT_EQ(msgs.shown().size(), 1u);
    EXPECT_EQ(msgs.shown()[0].title, "訊息");
    EXPECT_EQ(msgs.shown()[0].text, "已被變更");

    // A stop without a message says nothing: the caller tells.
    msgs.clear();
    EXPECT_EQ(run([&](jet::Connection& c) {
                  rename(c, "B");
                  throw SaveStopped(SaveStatus::Refused, "", "");
              }),
              SaveStatus::Refused);
    EXPECT_TRUE(msgs.shown().empty());

    // A failing statement: rolled back and reported under the save's title.
    SaveSteps steps;
    steps.failureOutcome = "工單沒有回存任何資料。";
    EXPECT_EQ(run(
                  [&](jet::Connection& c) {
                      rename(c, "C");
                      c.execute("update NO_SUCH_TABLE set X = 1");
                  },
                  steps),
              SaveStatus::Failed);
    EXPECT_EQ(value("select [DESC] from PWORK"), "月曆");
    ASSERT_EQ(msgs.shown().size(), 1u);
    EXPECT_EQ(msgs.shown()[0].title, "測試儲存");
    EXPECT_NE(msgs.shown()[0].text.find("工單沒有回存任何資料。"), std::string::npos);
}

TEST_F(SaveRunTest, EveryStepOfASaveRunsOnOneConnection)
{
    const jet::testing::SqliteOpenCounter opens;
    EXPECT_EQ(run([&](jet::Connection& c) { rename(c, "D"); }), SaveStatus::Saved);
    EXPECT_EQ(opens.mainDatabases(), 1);   // the maintenance check, the rights and the write
    EXPECT_EQ(value("select [DESC] from PWORK"), "D");
}

TEST_F(SaveRunTest, TheMainSaveWithItsQuestionAndWriteBackOpensOneConnection)
{
    const ProcessKind& printing = *KindByDisplayName("D-印刷");
    line(printing, "W1", 1);
    piece(printing, "P1", 1, "W1", 1);
    auto [rows, flags] = Editable(printing, load(printing));
    SetCell(rows, flags, 1, GridLayoutOf(printing).finishDateCol, "1204-09");

    const long long before = jet::Connection::opensSoFar();
    ScriptedMessages msgs;
    const SaveOutcome out = save(printing, rows, flags);
    ASSERT_TRUE(out.complete());
    EXPECT_EQ(jet::Connection::opensSoFar() - before, 1);   // question, save and write-back
    // The question named the line it would close; the write-back closed it.
    ASSERT_EQ(msgs.shown().size(), 2u);
    EXPECT_NE(msgs.shown()[0].text.find("W1"), std::string::npos);
    EXPECT_EQ(out.result.told, msgs.shown()[1].text);
    EXPECT_EQ(value("select FDATE from PRINTING where PO = 'W1' and [NO] = 1"), "1204-09");
}
