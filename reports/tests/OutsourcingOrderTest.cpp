#include "reports/OutsourcingOrder.h"

#include "db/testing/FreshDatabase.h"
#include "platform/ui/tests/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qtmv;
using namespace qtmv::reports;
using qtmv::db::test::FreshDatabase;

namespace {

const char* kId = "1131204001";

class Order : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_.exec("insert into 預排資料 (ID, [DATE]) values ('1131204001', '1131204')");
        db_.exec("insert into CUST (ID, SNAME) values ('C001', '大華食品')");
        db_.exec("insert into PWORK (PO, CUST, [DESC]) values ('1131200001', 'C001', '彩色型錄')");
        db_.exec("insert into VENDER (ID, SNAME, TEL1, RATE) values ('V01', '聿禾紙業', '02-2222', 5)");
        db_.session().CompanyName = "朗瑜彩色印刷";
        db_.session().EmployeeName = "王小明";
        p_.numberFrom = kId;
    }
    // A line of the kind's scheduled table under the order, finished on fdate.
    void line(const ProcessKind& k, int ino, const std::string& vendor, double amt, const std::string& fdate = "")
    {
        db_.exec("insert into " + std::string(k.scheduledTable) +
                 " (ID, INO, PO, [NO], VENDER, SVENDER, QTY, PRICE, AMT, 順序, [DESC], FDATE) values ('" + kId + "', " +
                 std::to_string(ino) + ", '1131200001', " + std::to_string(ino) + ", '" + vendor + "', '下游甲', 100, 1, "
                 + std::to_string(amt) + ", '" + std::to_string(ino) + "', '內容', '" + fdate + "')");
    }
    report::PageDocument print(KindId k, bool single = false)
    {
        return OutsourcingOrder(OrderLayout{k, single}, p_, db_.session());
    }

    FreshDatabase db_;
    PrintParams p_;
};

TEST(OrderNames, EveryKindHasBothLayoutsAndNothingElseIsOne)
{
    for (const ProcessKind& k : ProcessKinds()) {
        for (bool single : {false, true}) {
            const auto l = OrderLayoutByName(OrderLayoutName(k.id(), single));
            ASSERT_TRUE(l);
            EXPECT_EQ(l->kind, k.id());
            EXPECT_EQ(l->single, single);
        }
    }
    EXPECT_FALSE(OrderLayoutByName("rpt外發單_裁摺_xp"));
    EXPECT_FALSE(OrderLayoutByName("rpt生產明細表"));
}

// Every kind's order from the demo plant: PageTextsTest.cpp (CheckEveryOrder).
TEST_F(Order, EveryKindPrintsItsHeadingLinesAndTotals)
{
    EXPECT_EQ(OrderTax(1009, 5), 50);   // 50.45: half up from .5 only, as 50.5 below
    for (const ProcessKind& k : ProcessKinds()) {
        SCOPED_TRACE(std::string(k.displayName));
        line(k, 1, "V01", 1000);
        line(k, 2, "V01", 10);
        const auto doc = print(k.id());
        ASSERT_EQ(doc.pages.size(), 1u);
        EXPECT_TRUE(doc.find(0, QString::fromStdString(std::string(k.name) + "外發單")));
        EXPECT_TRUE(doc.find(0, "製程：" + QString::fromStdString(std::string(k.name))));
        // Amounts 1,010, tax 50.5 rounded half up, grand total with the printed tax.
        for (const char* s : {"單號：1131204001", "廠商：V01 聿禾紙業", "RM-04-011", "大華食品", "彩色型錄", "下游甲",
                              "王小明", "1,010", "51", "1,061"})
            EXPECT_TRUE(doc.find(0, QString::fromUtf8(s))) << s;
        ASSERT_EQ(doc.pages[0].barcodes.size(), 1u);
        EXPECT_EQ(doc.pages[0].barcodes[0].data, "1131204001");
        EXPECT_TRUE(HasOrderData({k.id(), false}, p_, db_.session()));
    }
}

TEST_F(Order, ChosenCompanyPrintedOnceAndNoDataCheck)
{
    const ProcessKind& k = KindOf(KindId::Printing);
    line(k, 1, "V01", 100);
    db_.session().CompanyName1 = "聿禾印刷";
    p_.companyTitle = "聿禾印刷";
    const auto doc = print(k.id());
    // The chosen company heads the order once; the title under it is the kind's.
    const auto& texts = doc.pages[0].texts;
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& t) { return t.text.contains("聿禾印刷"); }), 1);
    EXPECT_TRUE(doc.find(0, "印刷外發單"));
    EXPECT_FALSE(doc.find(0, "RM-04-011"));

    // No data: another number, a quote in it (which must not break the
    // statement), a vendor of none of the lines, a kind without lines.
    const std::pair<const char*, const char*> none[] = {{"1131204999", ""}, {"O'Neil", ""}, {kId, "nobody"}};
    for (const auto& [number, vendor] : none) {
        PrintParams other = p_;
        other.numberFrom = number;
        other.vendor = vendor;
        EXPECT_FALSE(HasOrderData({k.id(), false}, other, db_.session())) << number << " " << vendor;
    }
    EXPECT_FALSE(HasOrderData({KindId::Gluing, false}, p_, db_.session()));
}

TEST_F(Order, VendorWithoutVendorRowPrintsNoTaxAndALongProductNameIsFitted)
{
    const ProcessKind& k = KindOf(KindId::Binding);
    line(k, 1, "X99", 1234);
    const auto doc = print(k.id());
    EXPECT_TRUE(doc.find(0, "廠商：X99"));
    // The line amount, the sum and the grand total all show 1,234.
    const auto& texts = doc.pages[0].texts;
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& t) { return t.text == "1,234"; }), 3);

    // A long product name is fitted into its column.
    const ProcessKind& printing = KindOf(KindId::Printing);
    db_.exec("update PWORK set [DESC] = '特大號彩色海報雙面印刷加亮膜處理另附精裝目錄與手提紙袋一式三份' ");
    line(printing, 1, "V01", 100);
    const auto printed = print(printing.id());
    const report::PlacedText* caption = printed.find(0, "印件名稱");
    ASSERT_TRUE(caption);
    const auto& named = printed.pages[0].texts;
    const auto isName = [](const report::PlacedText& t) { return t.text.startsWith("特大號"); };
    ASSERT_EQ(std::count_if(named.begin(), named.end(), isName), 1);
    const auto name = std::find_if(named.begin(), named.end(), isName);
    EXPECT_LE(name->rect.right(), caption->rect.right() + 0.6);
    EXPECT_LT(name->text.size(), 31);   // cut, or shrunk to fit
    EXPECT_FALSE(name->wrap);
}

TEST_F(Order, FinishDatesPrintAsTheyMeanAndTheSingleRowVariantHonoursThePrintOptions)
{
    const ProcessKind& k = KindOf(KindId::Binding);
    // A grid stamp (no year) and a date of the time window.
    line(k, 1, "V01", 100, "1203-15");
    line(k, 2, "V01", 100, "1131202");
    p_.printDate = "113/12/04";
    const auto doc = print(k.id());
    EXPECT_TRUE(doc.find(0, "1131203"));
    EXPECT_TRUE(doc.find(0, "1131202"));
    EXPECT_FALSE(doc.find(0, "1203-15"));

    // The single-row variant honours the print options.
    const ProcessKind& paper = KindOf(KindId::Paper);
    line(paper, 1, "V01", 300);
    line(paper, 2, "V01", 700);
    p_.origin = 2;
    p_.numberTo = "2";
    p_.poFrom = "1131200001";
    p_.noCustomer = "1";
    p_.noProductName = true;
    p_.noAmounts = true;
    p_.bySheet = true;
    const auto single = print(paper.id(), true);
    ASSERT_EQ(single.pages.size(), 1u);
    EXPECT_TRUE(single.find(0, "100張"));
    EXPECT_FALSE(single.find(0, "大華食品"));
    EXPECT_FALSE(single.find(0, "彩色型錄"));
    EXPECT_FALSE(single.find(0, "700"));
    EXPECT_FALSE(single.find(0, "總計"));
    EXPECT_EQ(single.pagesWith("下游甲").size(), 1u);
    EXPECT_TRUE(HasOrderData({paper.id(), true}, p_, db_.session()));
}

TEST_F(Order, SeveralPagesTotalsOnlyOnTheLast)
{
    const ProcessKind& k = KindOf(KindId::Printing);
    for (int i = 1; i <= 40; ++i)
        line(k, i, "V01", 100);
    const auto doc = print(k.id());
    ASSERT_GE(doc.pages.size(), 3u);
    const int last = static_cast<int>(doc.pages.size()) - 1;
    EXPECT_EQ(doc.pagesWith("總計"), std::vector<int>{last});
    EXPECT_EQ(doc.pagesWith("4,200"), std::vector<int>{last});   // 4,000 + 200 tax
    EXPECT_EQ(doc.pagesWith("印刷外發單").size(), doc.pages.size());
    EXPECT_TRUE(doc.find(last, QString("第 %1 頁 / 共 %1 頁").arg(last + 1)));
}

} // namespace
