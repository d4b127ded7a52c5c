#include "platform/report/Report.h"
#include "platform/ui/tests/TestApp.h"

#include <gtest/gtest.h>

#include <utility>

using namespace qtmv::report;

namespace {

// Page header 20 mm, detail 10 mm, page footer 10 mm on A4 with 10 mm
// margins: the body runs from 30 to 277 mm, 24 detail lines a page.
Layout ListingLayout()
{
    Layout l;
    l.pageHeader.height = 20;
    l.pageHeader.items = {Item::text({0, 0, 190, 10}, "外發單", Align::Center),
                          Item::line({0, 19}, {190, 19})};
    l.detail.height = 10;
    l.detail.items = {Item::field({0, 0, 30, 8}, "PO"), Item::field({40, 0, 60, 8}, "DESC1"),
                      Item::field({150, 0, 40, 8}, "AMT", Align::Right)};
    l.pageFooter.height = 10;
    l.pageFooter.items = {Item::text({0, 0, 190, 8}, "第 {page} 頁 / 共 {pages} 頁", Align::Center)};
    return l;
}

// A listing grouped by work order: rows (PO, DESC1, AMT).
DataTable Orders(const std::vector<std::pair<std::string, double>>& poAmt)
{
    DataTable t({"PO", "DESC1", "AMT"});
    int n = 0;
    for (const auto& [po, amt] : poAmt)
        t.addRow({po, "品名" + std::to_string(++n), amt});
    return t;
}

// n rows of one work order, each of the same amount.
std::vector<std::pair<std::string, double>> RowsOf(int n, const std::string& po = "W1", double amt = 1.0)
{
    return std::vector<std::pair<std::string, double>>(static_cast<std::size_t>(n), {po, amt});
}

// A total of AMT shown between two labels.
Item LabelledTotal(QRectF r, Aggregate agg, const QString& before, const QString& after = {})
{
    return Item::total(r, "AMT", agg, Align::Right, {}, [=](const FormatContext& c) {
        return before + QString::fromStdString(c.value.text()) + after;
    });
}

} // namespace

// The text's width in its font, in mm (TextExtentTest.cpp).
double WidthMm(const PlacedText& t);

TEST(ReportPaging, DetailLinesFlowOverPagesWithHeaderAndPageNOfM)
{
    Layout l = ListingLayout();
    l.pageFooter.items.push_back(LabelledTotal({150, 0, 40, 8}, Aggregate::Count, QStringLiteral("本頁 ")));
    const PageDocument doc = Paginate(l, Orders(RowsOf(50)));
    ASSERT_EQ(doc.pages.size(), 3u);   // 24 + 24 + 2
    EXPECT_EQ(doc.pagesWith("外發單"), (std::vector<int>{0, 1, 2}));
    for (int p = 0; p < 3; ++p) {
        const QString footer = QStringLiteral("第 %1 頁 / 共 3 頁").arg(p + 1);
        const PlacedText* t = doc.find(p, footer);
        ASSERT_NE(t, nullptr) << p;
        EXPECT_DOUBLE_EQ(t->rect.top(), 297 - 10 - 10);
    }
    // First line right under the page header, at the left margin.
    const PlacedText* first = doc.find(0, "品名1");
    ASSERT_NE(first, nullptr);
    EXPECT_DOUBLE_EQ(first->rect.top(), 10 + 20);
    EXPECT_DOUBLE_EQ(first->rect.left(), 10 + 40);
    EXPECT_EQ(doc.pagesWith("品名24"), std::vector<int>{0});
    EXPECT_EQ(doc.pagesWith("品名25"), std::vector<int>{1});
    EXPECT_DOUBLE_EQ(doc.find(1, "品名25")->rect.top(), 30);
    EXPECT_EQ(doc.pagesWith("品名50"), std::vector<int>{2});
    // Page footer totals count the lines of their own page.
    EXPECT_EQ(doc.pagesWith("本頁 24"), (std::vector<int>{0, 1}));
    EXPECT_EQ(doc.pagesWith("本頁 2"), std::vector<int>{2});
    // No data: one page with its header and footer.
    const PageDocument empty = Paginate(ListingLayout(), Orders({}));
    ASSERT_EQ(empty.pages.size(), 1u);
    EXPECT_NE(empty.find(0, "外發單"), nullptr);
    EXPECT_NE(empty.find(0, "第 1 頁 / 共 1 頁"), nullptr);
}

TEST(ReportGroups, TotalsOnlyInGroupFootersAndReportFooterOnLastPage)
{
    Layout l = ListingLayout();
    Group g;
    g.keyColumn = "PO";
    g.header.height = 10;
    g.header.items = {Item::field({0, 0, 60, 8}, "PO")};
    g.footer.height = 10;
    g.footer.items = {Item::text({100, 0, 40, 8}, "小計"),
                      Item::total({150, 0, 40, 8}, "AMT", Aggregate::Sum),
                      LabelledTotal({60, 0, 30, 8}, Aggregate::Count, {}, QStringLiteral(" 筆"))};
    l.groups.push_back(g);
    l.reportFooter.height = 10;
    l.reportFooter.items = {Item::text({100, 0, 40, 8}, "總計"),
                            Item::total({150, 0, 40, 8}, "AMT", Aggregate::Sum)};

    auto data = RowsOf(30, "W1", 2.5);       // W1: 30 x 2.5 = 75
    data.push_back({"W2", 100});
    data.push_back({"W2", 20});              // W2: 120
    const PageDocument doc = Paginate(l, Orders(data));
    ASSERT_GE(doc.pages.size(), 2u);
    const int last = static_cast<int>(doc.pages.size()) - 1;

    EXPECT_EQ(doc.pagesWith("75").size(), 1u);
    EXPECT_EQ(doc.pagesWith("120"), std::vector<int>{last});
    EXPECT_EQ(doc.pagesWith("30 筆").size(), 1u);
    EXPECT_EQ(doc.pagesWith("2 筆"), std::vector<int>{last});
    EXPECT_EQ(doc.pagesWith("195"), std::vector<int>{last});
    // The W1 footer comes after its last line and before the W2 header.
    const int w1Footer = doc.pagesWith("75").front();
    const PlacedText* lastW1 = doc.find(w1Footer, "品名30");
    ASSERT_NE(lastW1, nullptr);
    EXPECT_GT(doc.find(w1Footer, "75")->rect.top(), lastW1->rect.top());
    // Report footer below the last group footer.
    EXPECT_GT(doc.find(last, "195")->rect.top(), doc.find(last, "120")->rect.top());
}

TEST(ReportGroups, NestedGroupsCloseInnerBeforeOuter)
{
    Layout l = ListingLayout();
    Group outer, inner;
    outer.key = [](const RowView& r) { return r.value("PO").text().substr(0, 1); };
    outer.footer.height = 10;
    outer.footer.items = {LabelledTotal({150, 0, 40, 8}, Aggregate::Sum, QStringLiteral("外"))};
    inner.keyColumn = "PO";
    inner.footer.height = 10;
    inner.footer.items = {LabelledTotal({150, 0, 40, 8}, Aggregate::Sum, QStringLiteral("內"))};
    l.groups = {outer, inner};
    const PageDocument doc = Paginate(l, Orders({{"A1", 1}, {"A1", 2}, {"A2", 4}, {"B1", 8}}));
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto top = [&](const char* s) {
        const PlacedText* t = doc.find(0, QString::fromUtf8(s));
        EXPECT_NE(t, nullptr) << s;
        return t ? t->rect.top() : -1.0;
    };
    EXPECT_LT(top("內3"), top("品名3"));
    EXPECT_LT(top("品名3"), top("內4"));
    EXPECT_LT(top("內4"), top("外7"));
    EXPECT_LT(top("外7"), top("品名4"));
    EXPECT_LT(top("內8"), top("外8"));
}

TEST(ReportGroups, HeaderKeptWithItsFirstDetailLine)
{
    // The W1 header and 22 lines leave room for one 10 mm section on page 1.
    Layout l = ListingLayout();
    Group g;
    g.keyColumn = "PO";
    g.header.height = 10;
    g.header.items = {Item::computed({0, 0, 60, 8}, [](const FormatContext& c) {
        return "單號 " + c.row.text("PO");
    })};
    l.groups.push_back(g);
    auto data = RowsOf(22, "W1");
    data.push_back({"W2", 1});
    const PageDocument kept = Paginate(l, Orders(data));
    EXPECT_EQ(kept.pagesWith("單號 W2"), std::vector<int>{1});
    EXPECT_EQ(kept.pagesWith("品名23"), std::vector<int>{1});
    EXPECT_DOUBLE_EQ(kept.find(1, "單號 W2")->rect.top(), 30);
    l.groups[0].keepTogether = false;
    const PageDocument apart = Paginate(l, Orders(data));
    EXPECT_EQ(apart.pagesWith("單號 W2"), std::vector<int>{0});
    EXPECT_EQ(apart.pagesWith("品名23"), std::vector<int>{1});
    // A header that can never share a page with its line does not leave the
    // first page blank.
    l.groups[0].keepTogether = true;
    l.groups[0].header.height = 200;
    l.detail.height = 100;
    const PageDocument tall = Paginate(l, Orders(RowsOf(1)));
    ASSERT_EQ(tall.pages.size(), 2u);
    EXPECT_EQ(tall.pagesWith("單號 W1"), std::vector<int>{0});
    EXPECT_EQ(tall.pagesWith("品名1"), std::vector<int>{1});
}

TEST(ReportText, LongTextShrinksThenCutsWithinItsField)
{
    Layout l;
    l.detail.height = 10;
    const QString longName = QStringLiteral("特大號彩色海報雙面印刷加亮膜處理精裝版本");
    Item shrink = Item::field({0, 0, 30, 8}, "DESC1", Align::Left, {kMingFamily, 12, false}, Fit::Shrink);
    shrink.minFontSize = 8;
    Item cut = Item::field({40, 0, 30, 8}, "DESC1", Align::Left, {kMingFamily, 12, false}, Fit::Cut);
    Item fits = Item::field({80, 0, 60, 8}, "PO", Align::Left, {kMingFamily, 12, false});
    Item slightly = Item::field({150, 0, 30, 8}, "MID", Align::Left, {kMingFamily, 12, false});
    l.detail.items = {shrink, cut, fits, slightly};
    DataTable t({"PO", "DESC1", "MID"});
    const std::string mid = "彩色海報雙面印刷";   // a little too wide at 12 points
    t.addRow({"W1", longName.toStdString(), mid});
    const PageDocument doc = Paginate(l, t);
    const auto& texts = doc.pages.at(0).texts;
    ASSERT_EQ(texts.size(), 4u);

    const PlacedText& s = texts[0];
    EXPECT_DOUBLE_EQ(s.font.size, 8);                 // shrunk to the floor, still too long
    EXPECT_TRUE(longName.startsWith(s.text));
    EXPECT_LE(WidthMm(s), s.rect.width());

    const PlacedText& c = texts[1];
    EXPECT_DOUBLE_EQ(c.font.size, 12);
    EXPECT_TRUE(longName.startsWith(c.text));
    EXPECT_LT(c.text.size(), s.text.size());          // the larger font keeps fewer characters
    EXPECT_LE(WidthMm(c), c.rect.width());

    EXPECT_EQ(texts[2].text, "W1");                   // a text that fits is untouched
    EXPECT_DOUBLE_EQ(texts[2].font.size, 12);

    const PlacedText& m = texts[3];                   // shrinking alone is enough
    EXPECT_EQ(m.text.toStdString(), mid);
    EXPECT_LT(m.font.size, 12);
    EXPECT_GT(m.font.size, 6);
    EXPECT_LE(WidthMm(m), m.rect.width());
}

TEST(ReportText, CanGrowFieldMakesItsSectionTaller)
{
    Layout l;
    l.detail.height = 10;
    Item memo = Item::field({0, 0, 20, 8}, "DESC1");
    memo.canGrow = true;
    l.detail.items = {memo, Item::line({0, 9}, {190, 9})};
    DataTable t({"DESC1"});
    t.addRow({"短"});
    t.addRow({"很長的備註文字需要換成好幾行才放得下"});
    t.addRow({"末"});
    const PageDocument doc = Paginate(l, t);
    const auto& page = doc.pages.at(0);
    ASSERT_EQ(page.texts.size(), 3u);
    EXPECT_DOUBLE_EQ(page.texts[1].rect.top(), 20);
    EXPECT_GT(page.texts[1].rect.height(), 8);
    EXPECT_TRUE(page.texts[1].wrap);
    EXPECT_GT(page.texts[2].rect.top(), 30);                        // pushed down by the growth
    EXPECT_GT(page.lines[1].from.y(), page.texts[1].rect.bottom() - 8);  // the rule moved with it
}

TEST(ReportBarcode, BarsDrawnInsideTheItemForBothSymbologies)
{
    const QRectF r(10, 20, 60, 12);
    const auto c39 = BarcodeBars("P1130001", BarcodeType::Code39, r);
    const auto c128 = BarcodeBars("P1130001", BarcodeType::Code128, r);
    ASSERT_GT(c39.size(), 20u);   // 9 elements per character, 5 of them bars
    ASSERT_GT(c128.size(), 10u);
    EXPECT_NE(c39.size(), c128.size());
    for (const auto& b : c39) {
        EXPECT_TRUE(r.adjusted(-1e-3, -1e-3, 1e-3, 1e-3).contains(b)) << b.x();
        EXPECT_GT(b.width(), 0);
        EXPECT_NEAR(b.height(), 12, 1e-3);
    }
    EXPECT_TRUE(BarcodeBars("", BarcodeType::Code39, r).empty());

    Layout l;
    l.pageHeader.height = 20;
    l.pageHeader.items = {Item::barcodeOf({0, 0, 60, 12}, "ID")};
    DataTable t({"ID"});
    t.addRow({"P1130001"});
    const PageDocument doc = Paginate(l, t);
    ASSERT_EQ(doc.pages.at(0).barcodes.size(), 1u);
    // The page header shows the page's first row, as the order's heading needs.
    const PlacedBarcode& bc = doc.pages[0].barcodes[0];
    EXPECT_EQ(bc.data, "P1130001");
    EXPECT_EQ(bc.bars.size(), c39.size());
    EXPECT_DOUBLE_EQ(bc.rect.left(), 10);
}

// A long layout tells how far it is: each row laid out, from none to all of
// them, and the document is the one laid out without anyone following.
// Answering false stops the layout there: no further row is laid out or
// asked about, and no document comes back, only Cancelled.
TEST(ReportProgress, TheRowsLaidOutUntilAFalseAnswer)
{
    const DataTable rows = Orders(RowsOf(30));
    std::vector<std::pair<int, int>> steps;   // (done, total)
    int formatted = 0;
    Layout l = ListingLayout();
    l.detail.items.push_back(Item::computed({100, 0, 40, 8}, [&](const FormatContext&) {
        ++formatted;
        return QStringLiteral("x");
    }));
    const PageDocument doc = Paginate(l, rows, [&](int done, int total) {
        steps.push_back({done, total});
        return true;
    });
    ASSERT_EQ(steps.size(), 31u);
    for (int i = 0; i <= 30; ++i)
        EXPECT_EQ(steps[static_cast<std::size_t>(i)], std::make_pair(i, 30)) << i;
    const PageDocument plain = Paginate(l, rows);
    ASSERT_EQ(doc.pages.size(), plain.pages.size());   // how many: ReportPaging
    for (std::size_t p = 0; p < doc.pages.size(); ++p)
        EXPECT_EQ(doc.pages[p].texts.size(), plain.pages[p].texts.size()) << p;

    steps.clear();
    formatted = 0;
    EXPECT_THROW(Paginate(l, rows,
                     [&](int done, int total) {
                         steps.push_back({done, total});
                         return done < 10;
                     }),
                 Cancelled);
    ASSERT_EQ(steps.size(), 11u);
    EXPECT_EQ(steps.back(), std::make_pair(10, 30));
    EXPECT_EQ(formatted, 10);

    // Cancelled before the first row: nothing is laid out at all.
    formatted = 0;
    EXPECT_THROW(Paginate(l, rows, [](int, int) { return false; }), Cancelled);
    EXPECT_EQ(formatted, 0);
}
