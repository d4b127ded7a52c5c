// Writes a sample outsourcing order (two vendors' work orders, group
// subtotals, a barcode) as a PNG of page 1 and, when asked, as a PDF:
//   report-sample OUT.png [OUT.pdf]
#include "platform/report/Render.h"
#include "platform/report/Report.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

using namespace qtmv::report;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: report-sample OUT.png [OUT.pdf]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    DataTable rows({"ID", "PO", "SNAME", "DESC1", "QTY", "AMT"});
    const char* jobs[] = {"彩色海報", "精裝目錄", "特大號彩色海報雙面印刷加亮膜處理", "手提紙袋"};
    for (int i = 0; i < 12; ++i)
        rows.addRow({"P1130001", i < 7 ? "W1130005" : "W1130009", i < 7 ? "朗瑜印刷" : "聿禾紙業",
                     jobs[i % 4], Value(500 * (i + 1)), Value(1.5 * 500 * (i + 1))});

    Layout l;
    const Font title{kMingFamily, 16, true};
    l.pageHeader.height = 34;
    l.pageHeader.items = {
        Item::text({0, 0, 190, 10}, "印前外發單", Align::Center, title),
        Item::computed({0, 12, 80, 7}, [](const FormatContext& c) { return "單號：" + c.row.text("ID"); }),
        Item::barcodeOf({130, 11, 60, 10}, "ID", BarcodeType::Code128),
        Item::box({0, 25, 190, 8}),
        Item::text({2, 26, 28, 6}, "客戶"), Item::text({32, 26, 60, 6}, "印件名稱"),
        Item::text({110, 26, 30, 6}, "數量", Align::Right), Item::text({150, 26, 38, 6}, "小計", Align::Right)};
    Group byOrder;
    byOrder.keyColumn = "PO";
    byOrder.header.height = 8;
    byOrder.header.items = {Item::computed({2, 1, 80, 6}, [](const FormatContext& c) {
        return "工單單號 " + c.row.text("PO");
    }, Align::Left, {kMingFamily, 10, true})};
    byOrder.footer.height = 9;
    byOrder.footer.items = {Item::line({110, 0.5}, {188, 0.5}), Item::text({110, 2, 30, 6}, "合計", Align::Right),
                            Item::total({150, 2, 38, 6}, "AMT", Aggregate::Sum)};
    l.groups.push_back(byOrder);
    l.detail.height = 7;
    l.detail.items = {Item::field({2, 0, 28, 6}, "SNAME"), Item::field({32, 0, 60, 6}, "DESC1"),
                      Item::field({110, 0, 30, 6}, "QTY", Align::Right),
                      Item::field({150, 0, 38, 6}, "AMT", Align::Right)};
    l.reportFooter.height = 12;
    l.reportFooter.items = {Item::line({0, 1}, {190, 1}, 0.4), Item::text({110, 3, 30, 7}, "總計", Align::Right),
                            Item::total({150, 3, 38, 7}, "AMT", Aggregate::Sum, Align::Right, {kMingFamily, 10, true})};
    l.pageFooter.height = 8;
    l.pageFooter.items = {Item::text({0, 1, 190, 6}, "第 {page} 頁 / 共 {pages} 頁", Align::Center)};

    const PageDocument doc = Paginate(l, rows);
    QString why;
    if (!WritePng(doc, 0, 96, QString::fromLocal8Bit(argv[1]), &why)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], qPrintable(why));
        return 1;
    }
    if (argc > 2 && !WritePdf(doc, QString::fromLocal8Bit(argv[2]), &why)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[2], qPrintable(why));
        return 1;
    }
    return 0;
}
