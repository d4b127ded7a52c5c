// Every layout of reports/, printed from the demo plant, prints what it is
// asked for and keeps its texts apart: no two texts of a page overlap or
// stand so close that they read as one (report::crowdedTexts, measured at
// the texts' fonts, not by their rectangles).
#include "reports/CapacityDefect.h"
#include "reports/OutsourcingOrder.h"

#include "db/testing/FreshDatabase.h"
#include "platform/ui/tests/TestApp.h"
#include "tools/demo-db/DemoPlant.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qtmv;
using namespace qtmv::reports;
using qtmv::db::test::FreshDatabase;

namespace {

std::string RectText(const QRectF& r)
{
    const auto mm = [](double v) { return QString::number(v, 'f', 2).toStdString(); };
    return "(" + mm(r.left()) + ", " + mm(r.top()) + ") to (" + mm(r.right()) + ", " + mm(r.bottom()) + ")";
}

// The texts of the document that run into each other, one pair a line; empty
// when none do.
std::string Crowding(const report::PageDocument& doc)
{
    std::string out;
    for (std::size_t p = 0; p < doc.pages.size(); ++p) {
        const report::Page& page = doc.pages[p];
        for (const report::CrowdedTexts& c : report::FindCrowdedTexts(page)) {
            const report::PlacedText& a = page.texts[c.first];
            const report::PlacedText& b = page.texts[c.second];
            out += "page " + std::to_string(p + 1) + ": \"" + a.text.toStdString() + "\" "
                   + RectText(report::TextExtent(a)) + " and \"" + b.text.toStdString() + "\" "
                   + RectText(report::TextExtent(b)) + "\n";
        }
    }
    return out;
}

class DemoPlantPages : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        plant_ = std::make_unique<FreshDatabase>(
            [](const std::string& path) { demo::WriteDemoPlant(path, demo::DemoOptions{}); });
    }
    static void TearDownTestSuite() { plant_.reset(); }

    // The session of a plant printing under one company title.
    static Session session()
    {
        Session s = plant_->session();
        s.CompanyName = "宏昌彩色印刷股份有限公司";
        s.EmployeeName = "王小明";
        return s;
    }

    static std::unique_ptr<FreshDatabase> plant_;
};

std::unique_ptr<FreshDatabase> DemoPlantPages::plant_;

// Every order of every kind, in the plain form and in the forms that print
// more (the company titled before the kind, the outsourced-processing title)
// or less (the vendor windows' options); the number of orders printed. The
// plain form shows every work order of its lines (its title and number, and
// that it has data: OutsourcingOrderTest).
int CheckEveryOrder(FreshDatabase& plant, const Session& s)
{
    Session several = s;
    several.CompanyName1 = "宏昌紙器股份有限公司";
    int orders = 0;
    for (const ProcessKind& k : ProcessKinds()) {
        SCOPED_TRACE(std::string(k.displayName));
        const std::string table = "[" + std::string(k.scheduledTable) + "]";
        const auto ids = plant.rows("select distinct ID from " + table + " order by ID");
        for (const auto& id : ids) {
            PrintParams p;
            p.numberFrom = id[0];
            const OrderLayout order{k.id(), false};
            const report::PageDocument doc = OutsourcingOrder(order, p, s);
            for (const auto& po : plant.rows("select distinct PO from " + table + " where ID = '" + id[0] + "'"))
                EXPECT_FALSE(doc.pagesWith(QString::fromStdString(po[0])).empty()) << id[0] << " " << po[0];
            EXPECT_EQ(Crowding(doc), "") << id[0];
            PrintParams titled = p;
            titled.titleChoice = "2";
            EXPECT_EQ(Crowding(OutsourcingOrder(order, titled, several)), "") << id[0] << " titled";
            ++orders;
        }
        // The vendor windows' one-row order of the kind's first line, with
        // and without what their options leave out.
        const auto first =
            plant.rows("select ID, [NO], PO from " + table + " where VENDER <> '' order by ID, [NO] limit 1");
        if (first.empty())
            continue;
        PrintParams one;
        one.numberFrom = first[0][0];
        one.origin = 2;
        one.numberTo = first[0][1];
        one.poFrom = first[0][2];
        const OrderLayout single{k.id(), true};
        EXPECT_EQ(Crowding(OutsourcingOrder(single, one, s)), "") << first[0][0];
        one.noCustomer = "1";
        one.noProductName = one.noAmounts = one.bySheet = one.noSalesperson = one.noCompanyName = true;
        EXPECT_EQ(Crowding(OutsourcingOrder(single, one, s)), "") << first[0][0] << " with options";
    }
    return orders;
}

// A caption shrunk into a column too narrow for it is smaller than its
// neighbours and crowds them: every column caption in the heading's box
// keeps the heading's size.
void ExpectCaptionsUnshrunk(const report::PageDocument& doc, const std::string& name)
{
    const report::Page& page = doc.pages.at(0);
    ASSERT_FALSE(page.boxes.empty()) << name;
    int captions = 0;
    for (const report::PlacedText& t : page.texts) {
        if (!t.text.isEmpty() && page.boxes[0].rect.contains(t.rect)) {
            ++captions;
            EXPECT_DOUBLE_EQ(t.font.size, 9) << name << ": " << t.text.toStdString();
        }
    }
    EXPECT_GE(captions, 10) << name;
}

// Every order, then again within wider side margins: they narrow the line
// the order's columns are scaled to, while the fonts keep their size: the
// captions too, in the narrowest columns they are printed in. The margins
// are another workstation user's.
TEST_F(DemoPlantPages, OutsourcingOrdersPrintTheirWorkOrdersAndKeepTheirTextsApartAlsoWithinWideMargins)
{
    EXPECT_GT(CheckEveryOrder(*plant_, session()), 100);   // the plant's orders were printed, not skipped

    Session s = session();
    s.WorkstationUser = "寬邊界";
    plant_->exec("insert into [邊界設定_半張紙] (ID, 上邊界, 下邊界, 左邊界, 右邊界) values ('" + s.WorkstationUser
                 + "', 567, 567, 1134, 1134)");   // 10 mm, 20 mm at each side
    PrintParams p;
    p.numberFrom = plant_->value("select min(ID) from [印刷預排表]");
    const report::PageDocument doc = OutsourcingOrder(OrderLayout{KindId::Printing, false}, p, s);
    ASSERT_FALSE(doc.pages.empty());
    for (const report::PlacedText& t : doc.pages[0].texts)
        EXPECT_GE(t.rect.left(), 20 - 1e-6) << t.text.toStdString();
    ExpectCaptionsUnshrunk(doc, "order");
    EXPECT_GT(CheckEveryOrder(*plant_, s), 100);
}

// Every analysis of the plant's autumn, its captions unshrunk.
TEST_F(DemoPlantPages, CapacityDefectAnalysesKeepTheirTextsApartAndTheirCaptionsUnshrunk)
{
    PrintParams p;
    p.doneFrom = "1130901";
    p.doneTo = "1131231";
    for (SummaryLayout l : {SummaryLayout::ByKey, SummaryLayout::ByDate, SummaryLayout::Personal}) {
        const report::PageDocument doc = CapacityDefectReport(l, p, session());
        std::size_t texts = 0;
        for (const auto& page : doc.pages)
            texts += page.texts.size();
        EXPECT_GT(texts, 100u) << SummaryLayoutName(l);   // lines of the plant, not an empty report
        ExpectCaptionsUnshrunk(doc, SummaryLayoutName(l));
        EXPECT_EQ(Crowding(doc), "") << SummaryLayoutName(l);
    }
}

} // namespace
