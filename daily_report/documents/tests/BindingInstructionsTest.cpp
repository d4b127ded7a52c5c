// The binding instructions without the window: reading the line, the rights
// positions, checking typed fields and saving them against a database that
// another workstation writes too.
#include "daily_report/documents/BindingInstructions.h"

#include "daily_report/documents/tests/BindingDb.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

class Binding : public ::testing::Test {
protected:
    Binding() { db.signIn(s); }

    BindingRecord load(int no = 1) { return LoadBinding(s.ConnectionString, "P0001", no); }
    BindingSaveOutcome save(const BindingRecord& r, const BindingFields& f, bool overwrite = false)
    {
        return SaveBinding(s, r, f, overwrite, [this] { ++ended; });
    }

    test::BindingDb db;
    Session s;
    ScriptedMessages messages;
    int ended = 0;
};

} // namespace

TEST_F(Binding, ReadsTheLineItsWorkOrderAndThePhrases)
{
    const BindingRecord r = load();
    EXPECT_TRUE(r.stored);
    EXPECT_EQ(r.fields, (BindingFields{"32", "2", "16", "膠裝", "依頁序裝訂\n書背平整"}));
    EXPECT_EQ(r.customer + "/" + r.product + "/" + r.lineItem + "/" + r.lineQty, "大同文化/年度型錄/型錄膠裝/3000本");
    const BindingRecord empty = load(2);
    EXPECT_FALSE(empty.stored);
    EXPECT_EQ(empty.fields, BindingFields{});
    EXPECT_EQ(empty.lineItem, "騎馬釘");
    EXPECT_EQ(LoadBindingPhrases(s.ConnectionString), (std::vector<std::string>{"膠裝", "騎馬釘"}));
}

TEST_F(Binding, RightsPositionsNineThirteenAndFortyFour)
{
    struct Case {
        int position;
        bool open, change, print;
    };
    for (const Case c : {Case{9, false, false, false}, Case{13, true, false, true}, Case{44, true, true, false}}) {
        s.WorkOrderRights = std::string(50, '1');
        s.WorkOrderRights[static_cast<std::size_t>(c.position - 1)] = '0';
        const BindingRights r = ReadBindingRights(s);
        EXPECT_EQ((std::array{r.open, r.change, r.print}), (std::array{c.open, c.change, c.print}))
            << "open, change, print with position " << c.position;
    }
}

// Only the fields the user changed are written: another workstation's change
// to one of them stops the save, naming it, unless the user says to overwrite;
// its change to another field is kept.
TEST_F(Binding, WritesOnlyTheChangedFieldsAndOverwritesAnotherWorkstationsOnlyWhenTold)
{
    const BindingRecord r = load();
    BindingFields f = r.fields;
    f.method = " 穿線膠裝 ";
    f.notes = "依頁序裝訂\n書背平整\n附書腰";
    f.folds = "8";
    db.exec("update 工單頁數 set 頁數 = 40, 裝訂說明 = '改為精裝' where PO = 'P0001'");   // the other workstation
    const BindingSaveOutcome refused = save(r, f);
    EXPECT_EQ(refused.result, SaveStatus::Changed);
    EXPECT_EQ(refused.conflicts, std::vector<std::string>{"裝訂說明"});
    EXPECT_EQ(db.line(), "40.0|2.0|16.0|膠裝|改為精裝");   // nothing written, not even 折數

    const BindingSaveOutcome out = save(r, f, true);
    ASSERT_EQ(out.result, SaveStatus::Saved);
    EXPECT_EQ(db.line(), "40.0|2.0|8.0|穿線膠裝|依頁序裝訂\r\n書背平整\r\n附書腰");
    // Numbers compare by value: "40.0" for 40 is no change.
    BindingFields same = out.record.fields;
    same.pages = "40.0";
    EXPECT_EQ(save(out.record, same).result.why, Refusal::Unchanged);
}

TEST_F(Binding, ALineWithoutARowGetsOneAndARowCreatedMeanwhileIsAConflict)
{
    const BindingRecord r = load(2);
    BindingFields f;
    f.pages = "16";
    f.method = "騎馬釘";
    db.exec("insert into 工單頁數 (PO, [NO], 頁數) values ('P0001', 2, 24)");
    EXPECT_EQ(save(r, f).result, SaveStatus::Changed);
    EXPECT_EQ(db.line(2), "24.0|0.0|0.0||");

    db.exec("delete from 工單頁數 where [NO] = 2");
    ASSERT_EQ(save(r, f).result, SaveStatus::Saved);
    EXPECT_EQ(db.line(2), "16.0|0.0|0.0|騎馬釘|");
}

TEST_F(Binding, RefusedUsersBadFieldsAndMaintenanceWriteNothing)
{
    const BindingRecord r = load();
    BindingFields f = r.fields;
    f.notes = "新說明";
    const std::string before = db.line();

    s.WorkOrderRights[12] = '0';
    EXPECT_EQ(save(r, f).result.why, Refusal::Rights);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "您的權限僅可以查詢！");
    s.WorkOrderRights[12] = '1';

    s.RightsEstablished = false;
    s.EmployeeName = "沒有這個人";   // the rights row cannot be read again either
    EXPECT_EQ(save(r, f).result.why, Refusal::Rights);
    db.signIn(s);

    messages.clear();
    BindingFields bad = f;
    bad.notes = std::string(kBindingNotesMaxChars + 1, 'x');
    EXPECT_EQ(save(r, bad).result.why, Refusal::Invalid);
    bad = f;
    bad.method = "膠\t裝";
    EXPECT_EQ(save(r, bad).result.why, Refusal::Invalid);
    EXPECT_EQ(messages.shown().size(), 2u);

    db.exec("insert into SYSLOCK ([USER]) values ('PC1\\ADMIN')");
    EXPECT_EQ(save(r, f).result, SaveStatus::Ended);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(db.line(), before);
}

TEST(BindingSheet, EscapesEveryText)
{
    BindingRecord r;
    r.po = "P<1>";
    r.no = 1;
    r.customer = "A&B";
    const std::string html = BindingSheetHtml(r, {"32", "", "", "膠裝", "第一行\n<b>第二行</b>"}, "宏昌\"印刷\"");
    for (const char* escaped : {"P&lt;1&gt; - 1", "A&amp;B", "第一行<br>&lt;b&gt;第二行&lt;/b&gt;", "宏昌&quot;印刷&quot;"})
        EXPECT_NE(html.find(escaped), std::string::npos) << escaped;
    EXPECT_EQ(html.find("<b>"), std::string::npos);
}
