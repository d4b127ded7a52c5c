// The one save sequence every window's write goes through: what it runs in
// which order, and that a write that stops or fails leaves the database as
// it was (read back).
#include "records/saving/SaveRun.h"

#include "records/saving/tests/SavingFixture.h"
#include "platform/jet/Connection.h"
#include "platform/os/MessageBox.h"

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
    // A write that renames the work order, noted as a step, then does the rest.
    std::function<void(jet::Connection&)> renaming(const std::string& to,
                                                   const std::function<void(jet::Connection&)>& rest = {})
    {
        return [this, to, rest](jet::Connection& conn) {
            steps_.push_back("write");
            conn.execute("update PWORK set [DESC] = '" + to + "' where PO = 'W1'");
            if (rest)
                rest(conn);
        };
    }
    std::vector<std::string> steps_;
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
    EXPECT_EQ(run(renaming("A"), steps), SaveStatus::Ended);
    EXPECT_EQ(programEnded_, 1);
    EXPECT_TRUE(steps_.empty());
    db().exec("delete from SYSLOCK");

    // Rights that could not be established refuse before the window's check,
    // even with an -AD= login: the reason once, then the short refusal.
    session_.LoginUser = "王大明";
    session_.IdentityEstablished = session_.RightsEstablished = false;
    session_.RightsProblem = "啟動參數不完整，無法確認使用者身分。";
    {
        ScriptedMessages msgs;
        const SaveResult r = run(renaming("A"), steps);
        EXPECT_EQ(r, SaveStatus::Refused);
        EXPECT_EQ(r.why, Refusal::Rights);
        EXPECT_EQ(r.told.rfind(session_.RightsProblem, 0), 0u) << r.told;
        EXPECT_EQ(run(renaming("A"), steps).told, "您的權限僅可以查詢！");
        // A known user whose rights were unreadable at start-up: read again
        // at the next save, where a query-only row still refuses.
        session_.LoginUser.clear();
        session_.EmployeeName = "李小華";
        session_.IdentityEstablished = true;
        db().exec("insert into 使用者資料明細 (使用者, 生產管理細部) values ('李小華', '000000000001')");
        EXPECT_EQ(run(renaming("A"), steps).told, "您的權限僅可以查詢！");
        EXPECT_TRUE(session_.RightsEstablished);
        ASSERT_EQ(msgs.shown().size(), 3u);
        EXPECT_EQ(r.told, msgs.shown()[0].text);
    }
    EXPECT_TRUE(steps_.empty());
    EXPECT_EQ(value("select [DESC] from PWORK"), "月曆");
    // Read again with a row that allows editing: the rest of this walk saves.
    db().exec("update 使用者資料明細 set 生產管理細部 = '000000000000'");
    session_.RightsEstablished = false;

    // The window's check refuses with the message it returns, shown once
    // under its title.
    SaveSteps refusing = steps;
    refusing.check = [&] { steps_.push_back("check"); return std::string("數量不可為負數"); };
    {
        ScriptedMessages msgs;
        const SaveResult r = run(renaming("A"), refusing);
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
    const SaveResult declined = run(renaming("A"), steps);
    EXPECT_EQ(declined.why, Refusal::Declined);
    EXPECT_TRUE(declined.told.empty());
    EXPECT_EQ((steps_), (std::vector<std::string>{"check", "confirm"}));
    EXPECT_EQ(value("select [DESC] from PWORK"), "月曆");

    steps_.clear();
    answers.answer(MsgAnswer::Yes);
    const SaveResult saved = run(renaming("A"), steps);
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
    EXPECT_EQ(run(renaming("B", [](jet::Connection&) { throw SaveStopped(SaveStatus::Changed, "已被變更", "訊息"); })),
              SaveStatus::Changed);
    EXPECT_EQ(value("select [DESC] from PWORK"), "月曆");
    ASSERT_EQ(msgs.shown().size(), 1u);
    EXPECT_EQ(msgs.shown()[0].title, "訊息");
    EXPECT_EQ(msgs.shown()[0].text, "已被變更");

    // A stop without a message says nothing: the caller tells.
    msgs.clear();
    EXPECT_EQ(run(renaming("B", [](jet::Connection&) { throw SaveStopped(SaveStatus::Refused, "", ""); })),
              SaveStatus::Refused);
    EXPECT_TRUE(msgs.shown().empty());

    // A failing statement: rolled back and reported under the save's title.
    SaveSteps steps;
    steps.failureOutcome = "工單沒有回存任何資料。";
    EXPECT_EQ(run(renaming("C", [](jet::Connection& c) { c.execute("update NO_SUCH_TABLE set X = 1"); }), steps),
              SaveStatus::Failed);
    EXPECT_EQ(value("select [DESC] from PWORK"), "月曆");
    ASSERT_EQ(msgs.shown().size(), 1u);
    EXPECT_EQ(msgs.shown()[0].title, "測試儲存");
    EXPECT_NE(msgs.shown()[0].text.find("工單沒有回存任何資料。"), std::string::npos);
}
