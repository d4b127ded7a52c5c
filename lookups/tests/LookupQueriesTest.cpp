// The lookups' statements run on a small database whose answers are known:
// which vendors, staff, customers and dies each list holds, and that typed
// filters find what the user means.
#include "app/core/Session.h"
#include "db/testing/FreshDatabase.h"
#include "lookups/core/DieQueries.h"
#include "lookups/core/LookupRows.h"
#include "lookups/core/LookupSql.h"
#include "lookups/core/PeopleQueries.h"
#include "lookups/core/VendorQueries.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::lookups;
using Codes = std::vector<std::string>;

namespace {

class Queries : public ::testing::Test {
protected:
    Queries()
    {
        admin.LoginUser = "Y";
        // Vendors: code, short name, kind flags, machine, disabled flag.
        db.exec("insert into VENDER (ID, SNAME, ITEM4, 製作, 停用, 付款方式) values "
                "('V01', '宏達印刷', '1', 0, '0', '月結30天'), ('V02', '金龍彩印', '1', 0, '', ''), "
                "('V03', '老字號印刷', '1', 0, '1', ''), ('M01', '海德堡四色機', '1', 1, null, ''), "
                "('M05', '上光機', '', 1, '0', ''), ('V09', '利通裁切', '', 0, '0', ''), "
                "('V10', '100%再生紙', '', 0, '0', ''), ('V11', '100號紙行', '', 0, '0', ''), "
                "('V12', 'Mary''s設計', '', 0, '0', ''), ('V13', 'A_1快印', '', 0, '0', ''), "
                "('V14', 'AB1快印', '', 0, '0', ''), ('V15', '5%_\\工作室', '', 0, '0', '')");
        db.exec("update VENDER set ITEM9 = '1' where ID = 'V09'");
        db.exec("update VENDER set ITEM3 = '1' where ID = 'V10'");
        db.exec("update VENDER set ITEM6 = '1' where ID = 'V11'");
        db.exec("update VENDER set ITEM14 = '1' where ID = 'V12'");
        db.exec("update VENDER set ITEM5 = '1' where ID in ('M05', 'V13', 'V14')");
        // Staff: sales, a planner without department, delivery, a driver, one who left.
        db.exec("insert into EMPLOYEE (ID, NAME, 部門, ODATE, [GROUP]) values "
                "('A01', '陳志明', '業務部', '', 'G1'), ('A02', '林淑芬', '業務部', null, 'G2'), "
                "('A03', '吳雅婷', '業務部', '1130101', 'G1'), ('A04', '方美惠', null, null, ''), "
                "('A05', '江文雄', '運送部', '', ''), ('A06', '孫國華', '物流課', '', ''), "
                "('A07', '鍾志強', '司機', '1120505', '')");
        // Customers: with and without salesperson, one disabled, one of another group.
        db.exec("insert into CUST (ID, SNAME, EMPNO, 停用) values "
                "('C01', '大同紙器', 'A01', '0'), ('C02', '華新食品', 'A02', ''), ('C03', '無主商行', '', null), "
                "('C04', '停業公司', 'A01', '1'), ('C05', '另組電子', 'A02', '0'), ('C06', '老客戶', 'A03', '0'), "
                "('C07', '空值商行', null, '0')");
        db.exec("insert into CUSTE (ID, EMPNO) values ('C05', 'A01')");
        // Dies.
        db.exec("insert into 刀模管理資料 (序, 作廢, 刀模代號, 品名, 產品代號, 客戶代號, 業務員代號) values "
                "(1, '', 'K00001', '禮盒', 'P1', 'C01', 'A01'), (2, 'Y', 'K00002', '禮盒', 'P2', 'C01', 'A01'), "
                "(3, null, 'K00003', '手提袋', 'P3', 'C02', 'A02'), (4, 'N', 'K00001', '禮盒改版', 'P1', 'C01', 'A01')");
    }

    LookupRows run(const LookupQuery& q) { return LoadLookup(db.connectionString(), q); }
    static Codes codes(const LookupRows& r)
    {
        Codes out;
        for (const auto& row : r.rows)
            out.push_back(row.at(0));
        return out;
    }
    Codes vendors1(const std::string& kind, const std::string& filter, bool equipment = false, int entry = 0)
    {
        return codes(run(VendorQuery1({kind, filter, equipment, entry})));
    }

    db::test::FreshDatabase db;
    Session admin;
};

} // namespace

// Window 1 lists the active vendors of the kind and falls back without the filter.
TEST_F(Queries, VendorWindowsListTheirOwnWayAndTypedQuotesAndWildcardsFindWhatTheUserMeans)
{
    EXPECT_EQ(vendors1("印刷", ""), (Codes{"M01", "V01", "V02"}));   // V03 disabled
    EXPECT_EQ(vendors1("印刷", "金龍"), Codes{"V02"});
    EXPECT_EQ(vendors1("印刷", "", true), Codes{"M01"});
    for (const char* kind : {"裁工", "裁摺"})
        EXPECT_EQ(vendors1(kind, ""), Codes{"V09"}) << kind;
    for (const char* kind : {"其他", "其它"})
        EXPECT_EQ(vendors1(kind, ""), Codes{"V12"}) << kind;
    EXPECT_EQ(vendors1("紙品採購", ""), (Codes{"V10", "V11", "V12"}));
    // Any other word names no kind: every active vendor.
    for (const char* other : {"不明", " 印刷", "D-印刷", "", "印"})
        EXPECT_EQ(vendors1(other, "").size(), 11u) << other;

    // Only a disabled vendor matches: the whole active list of the kind.
    const LookupRows r = run(VendorQuery1({"印刷", "老字號", false, 0}));
    EXPECT_TRUE(r.fellBack);
    EXPECT_EQ(codes(r), (Codes{"M01", "V01", "V02"}));
    EXPECT_EQ(r.rows[1][8], "月結30天");

    // Every kind, by the kind combo's entry.
    EXPECT_EQ(vendors1("所有廠商", "", false, 5), (Codes{"M05", "V13", "V14"}));   // E-上光
    EXPECT_EQ(vendors1("所有廠商", "機", true, 5), Codes{"M05"});
    const LookupRows all = run(VendorQuery1({"所有廠商", "沒有這家", true, 0}));
    EXPECT_TRUE(all.fellBack);
    EXPECT_EQ(codes(all), (Codes{"M01", "M05"}));

    // Window 3 shows disabled vendors and has no fall-back; window 5 adds every
    // machine to the kind.
    EXPECT_EQ(codes(run(VendorQuery3({"D-印刷", "", false, 0}))), (Codes{"M01", "V01", "V02", "V03"}));
    EXPECT_EQ(codes(run(VendorQuery3({"I-裁摺", "", false, 0}))), Codes{"V09"});
    const LookupRows none = run(VendorQuery3({"D-印刷", "沒有", false, 0}));
    EXPECT_FALSE(none.fellBack);
    EXPECT_TRUE(none.rows.empty());

    EXPECT_EQ(codes(run(VendorQuery5({"裁摺", "", false, 0}))), (Codes{"M01", "M05", "V09"}));
    const LookupRows fallback5 = run(VendorQuery5({"裁摺", "宏達", false, 0}));
    EXPECT_TRUE(fallback5.fellBack);
    EXPECT_EQ(codes(fallback5), (Codes{"M01", "M05", "V09"}));

    // Typed quotes and wildcards find what the user means.
    const std::pair<const char*, const char*> typed[] = {
        {"100%", "V10"}, {"A_1", "V13"}, {"Mary's", "V12"}, {"mary", "V12"}, {"5%_\\", "V15"}};
    for (const auto& [filter, code] : typed)
        EXPECT_EQ(vendors1("所有廠商", filter), Codes{code}) << filter;
    EXPECT_EQ(codes(run(VendorQuery3({"E-上光", "1", false, 0}))), (Codes{"V13", "V14"}));
    // A quote ends no literal: the filter simply matches nothing.
    EXPECT_TRUE(run(EmployeeQuery({"' or ''='", false, false})).fellBack);
    EXPECT_TRUE(run(CustomerQuery(admin, "'_%")).fellBack);
}

TEST_F(Queries, EmployeeListsKeepFormerStaffOutAndCustomersOfARestrictedUserAreHisOwnTheUnassignedAndHisGroups)
{
    EXPECT_EQ(codes(run(EmployeeQuery({"", false, false}))), (Codes{"A01", "A02", "A04", "A06"}));
    EXPECT_EQ(codes(run(EmployeeQuery({"", true, false}))), (Codes{"A04", "A05", "A06"}));
    EXPECT_EQ(codes(run(EmployeeQuery({"陳", false, true}))), Codes{"A01"});
    // No hit: the same staff group, still without those who left.
    const LookupRows r = run(EmployeeQuery({"吳雅婷", false, false}));
    EXPECT_TRUE(r.fellBack);
    EXPECT_EQ(codes(r), (Codes{"A01", "A02", "A04", "A06"}));
    EXPECT_EQ(codes(run(EmployeeQuery({"鍾", true, false}))), (Codes{"A04", "A05", "A06"}));

    // The customers of a restricted user are his own, the unassigned and his groups'.
    EXPECT_EQ(codes(run(CustomerQuery(admin, ""))), (Codes{"C01", "C02", "C03", "C05", "C06", "C07"}));

    Session sales;
    sales.EmployeeId = "A01";
    sales.RightsEstablished = true;
    // "1" at position 15: own customers only. Which flags restrict whom is
    // RightsRestricted's rule (StartupTests); here the query keeps to it.
    sales.ProductionRights = "000000000000001";
    EXPECT_EQ(codes(run(CustomerQuery(sales, ""))), (Codes{"C01", "C03", "C05", "C07"}));   // C05 through CUSTE
    sales.RightsGroups[0] = "G1";   // C06's salesperson left but shares the group
    EXPECT_EQ(codes(run(CustomerQuery(sales, ""))), (Codes{"C01", "C03", "C05", "C06", "C07"}));

    Session unknown;   // rights not established: restricted, only customers without a salesperson
    EXPECT_EQ(codes(run(CustomerQuery(unknown, ""))), (Codes{"C03", "C07"}));

    const LookupRows closed = run(CustomerQuery(sales, "停業"));
    EXPECT_TRUE(closed.fellBack);
    EXPECT_EQ(codes(closed), (Codes{"C01", "C03", "C05", "C06", "C07"}));
    EXPECT_EQ(closed.rows[0][3], "陳志明");
}

TEST_F(Queries, DiesAreValidOnlyUnlessAskedAndFilterByEveryField)
{
    auto dies = [&](DieFilter f) {
        Codes out;
        for (const auto& row : run({DieQuery(f), ""}).rows)
            out.push_back(row.at(0) + "/" + row.at(6));
        return out;
    };
    EXPECT_EQ(dies({}), (Codes{"K00001/P1", "K00001/P1", "K00003/P3"}));
    EXPECT_EQ(dies({"", "", "", "", true}), (Codes{"K00001/P1", "K00001/P1", "K00002/P2", "K00003/P3"}));
    EXPECT_EQ(dies({"k00003", "", "", "", false}), Codes{"K00003/P3"});
    EXPECT_EQ(dies({"", "改版", "", "", false}), Codes{"K00001/P1"});
    EXPECT_EQ(dies({"", "P3", "", "", false}), Codes{"K00003/P3"});
    EXPECT_EQ(dies({"", "", "C02", "", false}), Codes{"K00003/P3"});
    EXPECT_EQ(dies({"", "", "", "A01", true}), (Codes{"K00001/P1", "K00001/P1", "K00002/P2"}));
    EXPECT_EQ(dies({"", "", "C01' or '1'='1", "", false}), Codes{});
}

TEST(EmptyTables, GiveEmptyListsNotErrors)
{
    db::test::FreshDatabase db;
    // With and without the fall-back statement: the headings come without rows.
    for (const LookupQuery& q : {VendorQuery1({"印刷", "x", true, 0}), VendorQuery3({"D-印刷", "", false, 0})}) {
        const LookupRows r = LoadLookup(db.connectionString(), q);
        EXPECT_TRUE(r.rows.empty()) << q.filtered;
        EXPECT_FALSE(r.headings.empty());
    }
}
