#include "platform/report/ui/PreviewDialog.h"
#include "platform/report/ui/WorkProgress.h"
#include "platform/ui/tests/TestApp.h"

#include "platform/os/MessageBox.h"
#include "platform/text/UserError.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace qtmv::report;

namespace {

PageDocument ThreePages()
{
    Layout l;
    l.pageHeader.height = 10;
    l.pageHeader.items = {Item::text({0, 0, 100, 8}, "第 {page} 頁")};
    l.detail.height = 100;
    l.detail.items = {Item::field({0, 0, 100, 8}, "N")};
    DataTable t({"N"});
    for (int i = 0; i < 6; ++i)
        t.addRow({i});
    return Paginate(l, t);
}

} // namespace

TEST(ReportPreview, PagesWithKeysAndButtonsAndZooms)
{
    const PageDocument doc = ThreePages();
    ASSERT_EQ(doc.pages.size(), 3u);
    PreviewDialog dlg(doc);
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    auto* status = dlg.findChild<QLabel*>("lblPage");
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("第 1 頁 / 共 3 頁")));

    // Each key and the page it leaves shown; PageDown on the last page stays there.
    const std::pair<Qt::Key, int> walk[] = {{Qt::Key_PageDown, 1}, {Qt::Key_End, 2}, {Qt::Key_PageDown, 2},
                                            {Qt::Key_PageUp, 1}, {Qt::Key_Home, 0}};
    for (const auto& [key, shown] : walk) {
        QTest::keyClick(&dlg, key);
        EXPECT_EQ(dlg.currentPage(), shown) << QKeySequence(key).toString().toStdString();
        EXPECT_TRUE(status->text().startsWith(QStringLiteral("第 %1 頁").arg(shown + 1))) << status->text().toStdString();
    }
    QTest::mouseClick(dlg.findChild<QPushButton*>("btnLast"), Qt::LeftButton);
    EXPECT_EQ(dlg.currentPage(), 2);

    auto* page = dynamic_cast<QLabel*>(dlg.findChild<QScrollArea*>()->widget());
    ASSERT_NE(page, nullptr);
    const int width = page->pixmap().width();
    EXPECT_EQ(width, 794);
    QTest::keyClick(&dlg, Qt::Key_Plus);
    EXPECT_GT(dlg.zoom(), 1.0);
    EXPECT_GT(page->pixmap().width(), width);
    QTest::keyClick(&dlg, Qt::Key_Minus);
    QTest::keyClick(&dlg, Qt::Key_Minus);
    EXPECT_LT(page->pixmap().width(), width);

    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

// A print that fails is told, naming the file, through the failure report
// the program installed, or, without one, in a critical message box. A print
// the user cancelled half-way is told to nobody; followed to the end, the
// chosen pages are printed, as our own PDF. (What a failed or cancelled PDF
// leaves on disk is the PDF writer's, tested with it.)
TEST(ReportPreview, PrintReportingTellsAFailureButNotACancel)
{
    PreviewDialog dlg(ThreePages());
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    const QString unwritable = dir.filePath("missing/print.pdf");
    printer.setOutputFileName(unwritable);
    struct Told {
        std::string operation, what, outcome;
        bool userError;   // the user's to mend, not a fault of the program
    };
    std::vector<Told> told;
    PreviewDialog::setFailureReport(
        [&](const std::string& operation, const std::exception& e, const std::string& outcome) {
            told.push_back({operation, e.what(), outcome, dynamic_cast<const qtmv::UserError*>(&e) != nullptr});
        });
    qtmv::ScriptedMessages msgs;
    EXPECT_FALSE(dlg.printReporting(printer, 0, 2));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].operation, "列印");
    EXPECT_NE(told[0].what.find(unwritable.toStdString()), std::string::npos) << told[0].what;
    EXPECT_EQ(told[0].outcome, "沒有列印。");
    EXPECT_TRUE(told[0].userError);

    // Cancelled half-way: nobody is told.
    const QString fresh = dir.filePath("fresh.pdf");
    printer.setOutputFileName(fresh);
    std::vector<std::pair<int, int>> steps;
    EXPECT_FALSE(dlg.printReporting(printer, 1, 2, [&](int done, int total) {
        steps.emplace_back(done, total);
        return done < 1;
    }));
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}}));
    EXPECT_EQ(told.size(), 1u);
    EXPECT_TRUE(dlg.printReporting(printer, 1, 2, [](int, int) { return true; }));
    QFile f(fresh);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
    if (const QString pdftotext = QStandardPaths::findExecutable("pdftotext"); !pdftotext.isEmpty()) {
        QProcess p;
        p.start(pdftotext, {fresh, "-"});
        ASSERT_TRUE(p.waitForFinished(20000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(text.contains(QStringLiteral("第 2 頁")) && text.contains(QStringLiteral("第 3 頁"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("第 1 頁")));
    }
    PreviewDialog::setFailureReport({});
    EXPECT_TRUE(msgs.shown().empty());

    // No report installed: a message box.
    printer.setOutputFileName(unwritable);
    EXPECT_FALSE(dlg.printReporting(printer, 0, 2));
    ASSERT_EQ(msgs.shown().size(), 1u);
    EXPECT_EQ(msgs.shown()[0].title, "列印");
    EXPECT_EQ(msgs.shown()[0].icon, qtmv::MsgIcon::Critical);
    EXPECT_NE(msgs.shown()[0].text.find(unwritable.toStdString()), std::string::npos) << msgs.shown()[0].text;
    EXPECT_NE(msgs.shown()[0].text.find("沒有列印。"), std::string::npos) << msgs.shown()[0].text;
}
