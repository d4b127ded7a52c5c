#include "platform/report/Render.h"
#include "platform/report/Report.h"
#include "platform/ui/tests/TestApp.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <utility>
#include <vector>

using namespace qtmv::report;

namespace {

// A small outsourcing-order-like report in Chinese, its amounts real numbers
// as a database hands them out.
PageDocument ChineseOrder(const PageSetup& page = {})
{
    DataTable rows({"ID", "PO", "SNAME", "DESC1", "AMT"});
    rows.addRow({"P001", "W1130001", "朗瑜印刷", "彩色海報", 1200.0});
    rows.addRow({"P001", "W1130002", "聿禾紙業", "精裝目錄", 800.5});

    Layout l;
    l.page = page;
    l.pageHeader.height = 30;
    l.pageHeader.items = {
        Item::text({0, 0, 120, 10}, "印前外發單", Align::Center, {kMingFamily, 16, true}),
        Item::barcodeOf({130, 0, 60, 10}, "ID"),
        Item::text({0, 15, 30, 8}, "客戶"), Item::text({40, 15, 40, 8}, "印件名稱"),
        Item::text({150, 15, 40, 8}, "小計", Align::Right), Item::box({0, 14, 190, 10})};
    l.detail.height = 8;
    l.detail.items = {Item::field({0, 0, 38, 7}, "SNAME"), Item::field({40, 0, 60, 7}, "DESC1"),
                      Item::field({150, 0, 40, 7}, "AMT", Align::Right)};
    l.reportFooter.height = 10;
    l.reportFooter.items = {Item::line({0, 1}, {190, 1}), Item::text({100, 2, 40, 7}, "總計"),
                            Item::total({150, 2, 40, 7}, "AMT", Aggregate::Sum)};
    return Paginate(l, rows);
}

// The file's bytes; empty when it cannot be read.
QByteArray Contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(ReportPdf, ChineseTextsReadBackExactly)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("order.pdf");
    const PageDocument doc = ChineseOrder();
    ASSERT_TRUE(WritePdf(doc, pdf));
    QProcess p;
    p.start(pdftotext, {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* s : {"印前外發單", "客戶", "印件名稱", "朗瑜印刷", "彩色海報", "聿禾紙業",
                          "精裝目錄", "800.5", "總計", "2000.5"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
    EXPECT_FALSE(WritePdf(doc, dir.filePath("missing/folder/order.pdf")));
}

// A PDF that cannot be written is reported with the output's reason, and
// what stood under its name stays (the reasons themselves are the output's,
// tested with it).
TEST(ReportPdf, AFileThatCannotBeWrittenIsReportedAndKept)
{
    const PageDocument doc = ChineseOrder();
    QString why;
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.pdf");
    std::ofstream(kept.toStdString()) << "kept";
    QFile::setPermissions(kept, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_FALSE(WritePdf(doc, kept, &why));
    EXPECT_EQ(why, QStringLiteral("檔案是唯讀的，不會覆蓋"));
    EXPECT_EQ(Contents(kept), QByteArray("kept"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.pdf"});
}

// Writing a PDF tells the pages drawn; a cancel half-way leaves no file, or
// the one that was there as it was.
TEST(ReportPdf, ACancelledPdfLeavesNoFileAndKeepsTheEarlierOne)
{
    DataTable rows({"N"});
    for (int i = 0; i < 6; ++i)
        rows.addRow({i});
    Layout l;
    l.detail.height = 100;
    l.detail.items = {Item::field({0, 0, 100, 8}, "N")};
    const PageDocument doc = Paginate(l, rows);
    ASSERT_EQ(doc.pages.size(), 3u);

    QTemporaryDir dir;
    const QString pdf = dir.filePath("pages.pdf");
    std::vector<std::pair<int, int>> steps;
    ASSERT_TRUE(WritePdf(doc, pdf, nullptr, 0, -1, [&](int done, int total) {
        steps.emplace_back(done, total);
        return true;
    }));
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));

    const auto halfWay = [](int done, int) { return done < 2; };
    const QString fresh = dir.filePath("fresh.pdf");
    EXPECT_THROW(WritePdf(doc, fresh, nullptr, 0, -1, halfWay), Cancelled);
    EXPECT_FALSE(QFile::exists(fresh));

    const QByteArray earlier = Contents(pdf);
    ASSERT_FALSE(earlier.isEmpty());
    EXPECT_THROW(WritePdf(doc, pdf, nullptr, 0, -1, [](int, int) { return false; }), Cancelled);
    EXPECT_THROW(WritePdf(doc, pdf, nullptr, 0, -1, halfWay), Cancelled);
    EXPECT_EQ(Contents(pdf), earlier);
    // No part file is left beside them either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"pages.pdf"});
}
