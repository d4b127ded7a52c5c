// The downstream vendor logic: what a row shows, vendor code entry, the
// confirm read back from the database, the stored print options.
#include "vendors/core/DownstreamVendor.h"

#include "common/EntryText.h"
#include "platform/jet/Connection.h"
#include "vendors/tests/VendorFixture.h"

#include <gtest/gtest.h>

namespace qtmv::vendors {
namespace {

class DownstreamVendorTest : public test::VendorFixture {
protected:
    DownstreamVendorTest() { conn_.open(session_.ConnectionString); }

    ConfirmOutcome run(const ConfirmInput& in)
    {
        daily::SaveContext ctx{session_, clock_, [this] { ++programEnded_; }};
        return Confirm(in, ctx);
    }

    jet::Connection conn_;
};

// Only delivery shows and takes the recipient.
TEST_F(DownstreamVendorTest, VendorFoundByCodeOrShortNameAndOnlyChangedFieldsChecked)
{
    VendorFields given;
    given.recipient = "林先生";
    EXPECT_EQ(FieldsToShow(delivery, given).recipient, "林先生");
    EXPECT_EQ(FieldsToShow(varnishing, given).recipient, "");

    gPick[20] = "old";
    ASSERT_TRUE(FindVendor(conn_, "V01"));
    EXPECT_EQ(gPick[20], "");
    VendorFields f;
    TakeDownstream(f, varnishing);
    EXPECT_EQ(f.downCode + "/" + f.downName + "/" + f.phone + "/" + f.address + "/" + f.recipient,
              "V01/永豐上光/02-2222/台北市中山路1號/");
    TakeDownstream(f, delivery);
    EXPECT_EQ(f.recipient, "林先生");

    ASSERT_TRUE(FindVendor(conn_, "大華裝訂"));
    TakeUpstream(f);
    EXPECT_EQ(f.upCode + "/" + f.upName + "/" + f.downCode, "V02/大華裝訂/V01");
    EXPECT_FALSE(FindVendor(conn_, "大華"));
    EXPECT_EQ(gPick[0], "");

    // Typed fields keep to their bytes, also the recipient only delivery
    // stores; a stored value the window shows unchanged is neither checked nor
    // written.
    ConfirmInput in = input(delivery);
    in.fields.recipient = "林先生林先生林先生林先生";   // 24 bytes
    const std::string before = dump();
    const ConfirmOutcome o = run(in);
    EXPECT_EQ(o.result, daily::SaveStatus::Refused);
    EXPECT_FALSE(o.returned);
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(told(), std::vector<std::string>{TooLongMessage(kRecipientBytes)});

    db().exec("update [CONVEY_S] set 注意事項 = 'line 1' || char(13, 10) || 'line 2'");
    in = input(delivery);
    in.fields.note = in.loaded.note = "line 1\r\nline 2";
    const ConfirmOutcome saved = run(in);
    EXPECT_TRUE(saved.result.saved() && saved.returned);
    EXPECT_EQ(saved.fields.recipient, "林先生");
    EXPECT_EQ(column(delivery, "下游廠商代號 || '/' || 收件人 || '/' || length(注意事項)"), "V01/林先生/14");
}

// The options are one SYSDB row, stored also when the scheduled row is gone
// (the vendor is then not stored, and the user is told so).
TEST_F(DownstreamVendorTest, PrintOptionsStoredInOneRowAlsoWithoutTheScheduledRowWhichAConfirmFillsTrimmed)
{
    ConfirmInput in = input(varnishing);
    in.preScheduleNo = "D999";
    EXPECT_EQ(StoredOptionsCode(conn_), "");
    const ConfirmOutcome o = run(in);
    EXPECT_TRUE(o.result.saved() && !o.returned);
    EXPECT_EQ(o.optionsCode, "0100010");
    EXPECT_EQ(column(varnishing, "下游廠商代號"), "");
    EXPECT_EQ(value("select CODE from SYSDB where PNAME = '工務預排'"), "0100010");
    EXPECT_EQ(told(), std::vector<std::string>{kRowMissingMessage});

    in.mainOptions = {true, false, true};
    in.options = {true, true, false, true};
    run(in);
    EXPECT_EQ(value("select count(*) from SYSDB"), "1");
    EXPECT_EQ(StoredOptionsCode(conn_), "1011101");

    MainPrintOptions m;
    PrintOptions p;
    ReadOptionsCode("1011101", m, p);
    EXPECT_EQ(OptionsCode(m, p), "1011101");
    // The six characters an older row holds read the last as 0.
    ReadOptionsCode("111111", m, p);
    EXPECT_EQ(OptionsCode(m, p), "1111110");

    // A confirm stores the trimmed fields in the scheduled row; printing stores
    // its paper quantities too, as numbers.
    told();
    const ConfirmOutcome stored = run(input(varnishing));
    EXPECT_TRUE(stored.result.saved() && stored.returned);
    EXPECT_EQ(stored.fields.downCode + "/" + stored.fields.recipient, "V01/");
    EXPECT_EQ(column(varnishing, "下游廠商代號 || '/' || 下游廠商 || '/' || 地址 || '/' || 電話 || '/' || 注意事項 || '/' || "
                                 "上游廠商代號 || '/' || 上游廠商"),
              "V01/永豐上光/台北市中山路1號/02-2222/小心輕放/V02/大華裝訂");
    // Only the kind's own row.
    EXPECT_EQ(column(printing, "下游廠商代號"), "");
    EXPECT_EQ(told(), std::vector<std::string>{"資料儲存完畢!"});

    // A second window, opened before another workstation changed the
    // address, changes only the phone: the address stays the other's.
    ConfirmInput second = input(varnishing);
    second.loaded = second.fields;
    second.fields.phone = "02-9999";
    db().exec("update [GLAZE_S] set 地址 = '新竹市東大路3號'");
    const ConfirmOutcome again = run(second);
    ASSERT_TRUE(again.result.saved() && again.returned);
    EXPECT_EQ(column(varnishing, "地址 || '/' || 電話"), "新竹市東大路3號/02-9999");
    // The history has every field the first confirm wrote and the one field
    // of the second, as the window showed it and as stored.
    EXPECT_EQ(value("select group_concat(欄位, ',') from (select 欄位 from [日報異動紀錄] order by 序)"),
              "下游廠商代號,下游廠商,地址,電話,注意事項,上游廠商代號,上游廠商,電話");
    EXPECT_EQ(value("select 種類 || '/' || ID || '/' || INO || '/' || PO || '/' || [NO] || '/' || 舊值 || '/' || 新值 "
                    "from [日報異動紀錄] where 欄位 = '電話' order by 序 desc"),
              "E-上光/D001/1/P001/1/02-2222/02-9999");

    run(input(printing));
    EXPECT_EQ(value("select typeof(用紙令數) || ' ' || 用紙令數 from PRINTING_S where ID = 'D001'"), "real 12.5");
    EXPECT_EQ(value("select 用紙張數 + 0 from PRINTING_S where ID = 'D001'"), "250.0");
}

} // namespace
} // namespace qtmv::vendors
