// What a save must never do: write half, write what was not confirmed, lose
// a colleague's save, mangle a text.
#include "records/saving/tests/SavingFixture.h"

#include "app/core/SessionSettings.h"
#include "platform/os/Log.h"
#include "platform/os/MessageBox.h"

#include <fstream>

#include <barrier>
#include <mutex>
#include <thread>

using namespace qtmv;
using namespace qtmv::daily;
using namespace qtmv::daily::test;

namespace {

class SaveSafety : public SavingFixture {
protected:
    SaveSafety()
    {
        sharedLine(printing);
    }
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
    // The question says it cannot list what the save would do, and the
    // error, that the data was not saved; both say where the details are.
    // The engine's words and the SQL are in the log only.
    const std::string& question = msgs.shown()[0].text;
    EXPECT_NE(question.find("無法預先算出這次儲存的內容"), std::string::npos) << question;
    const std::string& text = msgs.shown()[1].text;
    EXPECT_NE(text.find("資料沒有儲存"), std::string::npos) << text;
    for (const std::string& shown : {question, text}) {
        EXPECT_NE(shown.find(logFile), std::string::npos) << shown;
        EXPECT_EQ(shown.find("disk full"), std::string::npos) << shown;
    }
    std::ifstream in(logFile);
    const std::string logged((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find("engine=disk full"), std::string::npos) << logged;
    EXPECT_NE(logged.find("sql=update"), std::string::npos) << logged;
}

TEST_F(SaveSafety, TwoWorkstationsSavingTheSameWorkOrderBothLand)
{
    line(printing, "W1", 2);
    piece(printing, "D3", 1, "W1", 2);
    const GridRows loaded = load(printing);
    ASSERT_EQ(loaded.size(), 3u);

    std::mutex m;
    std::vector<MessageRequest> shown;
    const MessageHandler old = SetMessageHandler([&](const MessageRequest& r) {
        std::lock_guard lock(m);
        shown.push_back(r);
        return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    });

    std::barrier start(2);
    SaveOutcome results[2];
    auto workstation = [&](int which, std::vector<std::string> ids) {
        Session own = session_;
        FixedClock clock({2024, 12, 4, which == 0 ? 9 : 10, 0, 0});
        SaveContext ctx{own, clock, [] {}};
        GridRows rows = loaded;
        ChangeFlags flags = FlagsFor(printing, rows);
        for (const auto& id : ids)
            SetCell(rows, flags, RowOf(rows, printing, id, 1), pl.finishDateCol, which == 0 ? "1204-09" : "1204-10");
        start.arrive_and_wait();
        results[which] = SaveDailyReport(printing, rows, flags, ctx, rows);
    };
    std::thread a(workstation, 0, std::vector<std::string>{"D1", "D3"});
    std::thread b(workstation, 1, std::vector<std::string>{"D2"});
    a.join();
    b.join();
    SetMessageHandler(old);

    EXPECT_TRUE(results[0].complete());
    EXPECT_TRUE(results[1].complete());
    for (const auto& r : shown)
        EXPECT_NE(r.icon, MsgIcon::Critical) << r.text;
    EXPECT_EQ(value("select FDATE from PRINTING_S where ID = 'D1'"), "1204-09");
    EXPECT_EQ(value("select FDATE from PRINTING_S where ID = 'D2'"), "1204-10");
    EXPECT_EQ(value("select FDATE from PRINTING_S where ID = 'D3'"), "1204-09");
    EXPECT_EQ(value("select PDATE from 預排資料明細 where ID = 'D2'"), "1204-10");
    // Whichever write-back ran last saw both pieces of line 1 finished.
    EXPECT_EQ(value("select FDATE from PRINTING where PO = 'W1' and [NO] = 1"), "1204-10");
    EXPECT_EQ(value("select FDATE from PRINTING where PO = 'W1' and [NO] = 2"), "1204-09");
    EXPECT_EQ(value("select ITEM4 || '/' || ITEM32 from PRINTFLOW where PO = 'W1'"), "1204-10/1204-09");
}

TEST_F(SaveSafety, TextsWithQuotesAreStoredUnchanged)
{
    const std::string remark = "O'Brien's \"rush\" job'; drop table PWORK; --";
    auto [rows, flags] = Editable(printing, load(printing));
    const int r = RowOf(rows, printing, "D1", 1);
    SetCell(rows, flags, r, pl.remarkCol, remark);
    SetCell(rows, flags, r, pl.finishRemarkCol, "說'明'");
    ScriptedMessages msgs;
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select REM from PRINTING_S where ID = 'D1'"), remark);
    EXPECT_EQ(value("select REM from 預排資料明細 where ID = 'D1'"), remark);
    EXPECT_EQ(value("select 完工說明 from PRINTING where PO = 'W1'"), "說'明'");
    EXPECT_EQ(value("select count(*) from PWORK"), "1");   // the table is still there
}

TEST_F(SaveSafety, NothingIsWrittenWithoutConsentOrEstablishedRights)
{
    auto [rows, flags] = Editable(printing, load(printing));
    SetCell(rows, flags, 1, pl.finishDateCol, "1204-14");
    const std::string before = dump();

    {   // "No" to the question.
        ScriptedMessages msgs;
        msgs.answer(MsgAnswer::No);
        EXPECT_EQ(save(printing, rows, flags).result.why, Refusal::Declined);
        ASSERT_EQ(msgs.shown().size(), 1u);
    }
    {   // Maintenance: the program ends, nothing is written.
        db().exec("insert into SYSLOCK ([USER]) values ('PC1\\ADMIN')");
        ScriptedMessages msgs;
        EXPECT_EQ(save(printing, rows, flags).result, SaveStatus::Ended);
        EXPECT_EQ(programEnded_, 1);
        db().exec("delete from SYSLOCK");
    }
    EXPECT_EQ(dump(), before);

    // A launch line cut short: even an -AD= value grants nothing.
    session_.LoginUser = "王大明";
    session_.IdentityEstablished = session_.RightsEstablished = false;
    session_.RightsProblem = "啟動參數不完整，無法確認使用者身分。";
    ScriptedMessages msgs;
    EXPECT_EQ(save(printing, rows, flags).result, SaveStatus::Refused);
    EXPECT_EQ(save(printing, rows, flags).result, SaveStatus::Refused);
    ASSERT_EQ(msgs.shown().size(), 2u);
    EXPECT_EQ(msgs.shown()[0].text.rfind(session_.RightsProblem, 0), 0u);   // why, once
    EXPECT_EQ(msgs.shown()[1].text, "您的權限僅可以查詢！");
    EXPECT_EQ(dump(), before);

    // Known user whose rights were unreadable at start-up: read again at the
    // next save, and a read-only row still refuses.
    session_.LoginUser.clear();
    session_.EmployeeName = "李小華";
    session_.IdentityEstablished = true;
    db().exec("insert into 使用者資料明細 (使用者, 生產管理細部) values ('李小華', '000000000001')");
    msgs.clear();
    EXPECT_EQ(save(printing, rows, flags).result, SaveStatus::Refused);
    EXPECT_TRUE(session_.RightsEstablished);
    ASSERT_EQ(msgs.shown().size(), 1u);
    EXPECT_EQ(msgs.shown()[0].text, "您的權限僅可以查詢！");
    EXPECT_EQ(value("select FDATE from PRINTING_S where ID = 'D1'"), "");

    db().exec("update 使用者資料明細 set 生產管理細部 = '000000000000'");
    session_.RightsEstablished = false;
    EXPECT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select FDATE from PRINTING_S where ID = 'D1'"), "1204-14");
}

TEST_F(SaveSafety, SavingWithoutChangesStillWritesBack)
{
    auto [rows, flags] = Editable(printing, load(printing));
    // Meanwhile both pieces were finished elsewhere; the line is still open.
    // Equal finish texts: the greater 順序 (numerically, 10 after 9) is the latest.
    db().exec("update PRINTING_S set FDATE = '1203-11', 順序 = '10', 完工說明 = '十' where ID = 'D1'");
    db().exec("update PRINTING_S set FDATE = '1203-11', 順序 = '9', 完工說明 = '九' where ID = 'D2'");
    ScriptedMessages msgs;
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select FDATE || '/' || ACT || '/' || 完工說明 from PRINTING where PO = 'W1'"), "1203-11/1203-11/十");
    ASSERT_EQ(msgs.shown().size(), 2u);
    EXPECT_EQ(msgs.shown()[1].text.rfind("資料儲存完畢!\n\n寫入 0 格", 0), 0u) << msgs.shown()[1].text;
    EXPECT_NE(msgs.shown()[1].text.find("結案：W1 序1"), std::string::npos) << msgs.shown()[1].text;
}

TEST_F(SaveSafety, PieceMissingFromTheDetailTableStillSaved)
{
    auto [rows, flags] = Editable(printing, load(printing));
    const int r = RowOf(rows, printing, "D1", 1);
    SetCell(rows, flags, r, pl.finishDateCol, "1204-14");
    SetCell(rows, flags, r, pl.remarkCol, "ok");
    db().exec("delete from 預排資料明細 where ID = 'D1'");
    ScriptedMessages msgs;
    ASSERT_TRUE(save(printing, rows, flags).complete());
    EXPECT_EQ(value("select FDATE || '/' || REM from PRINTING_S where ID = 'D1'"), "1204-14/ok");
    for (const auto& m : msgs.shown())
        EXPECT_NE(m.icon, MsgIcon::Critical) << m.text;
}
