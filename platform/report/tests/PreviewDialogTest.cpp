#include "platform/report/ui/PreviewDialog.h"
#include "platform/report/ui/WorkProgress.h"
#include "platform/ui/tests/TestApp.h"

#include "platform/os/MessageBox.h"
#include "platform/text/UserError.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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

    QTest::keyClick(&dlg, Qt::Key_PageDown);
    EXPECT_EQ(dlg.currentPage(), 1);
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("第 2 頁")));
    QTest::keyClick(&dlg, Qt::Key_End);
    EXPECT_EQ(dlg.currentPage(), 2);
    QTest::keyClick(&dlg, Qt::Key_PageDown);   // stays on the last page
    EXPECT_EQ(dlg.currentPage(), 2);
    QTest::keyClick(&dlg, Qt::Key_PageUp);
    EXPECT_EQ(dlg.currentPage(), 1);
    QTest::keyClick(&dlg, Qt::Key_Home);
    EXPECT_EQ(dlg.currentPage(), 0);
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

// Printing to a file writes the chosen pages as a PDF; a file that may not be
// replaced is told, naming it, and stays as it was.
TEST(ReportPreview, PrintToFileWritesTheChosenPagesOrFailsAloud)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    PreviewDialog dlg(ThreePages());
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(dir.filePath("pages.pdf"));
    dlg.printTo(printer, 1, 2);
    QProcess p;
    p.start(pdftotext, {dir.filePath("pages.pdf"), "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("第 2 頁")) && text.contains(QStringLiteral("第 3 頁"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("第 1 頁")));

    const QString kept = dir.filePath("kept.pdf");
    {
        QFile f(kept);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("kept");
    }
    QFile::setPermissions(kept, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    printer.setOutputFileName(kept);
    try {
        dlg.printTo(printer, 0, 2);
        ADD_FAILURE() << "no error";
    } catch (const qtmv::UserError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(kept)) << e.what();
    }
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("kept"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"kept.pdf", "pages.pdf"}));
}

// A print that fails is told through the failure report the program
// installed, or, without one, in a critical message box; the pages are not
// printed either way.
TEST(ReportPreview, AFailedPrintIsToldThroughTheInstalledReport)
{
    PreviewDialog dlg(ThreePages());
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.pdf");
    {
        QFile f(kept);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("kept");
    }
    QFile::setPermissions(kept, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(kept);

    struct Told {
        std::string operation, what, outcome;
    };
    std::vector<Told> told;
    PreviewDialog::setFailureReport(
        [&](const std::string& operation, const std::exception& e, const std::string& outcome) {
            told.push_back({operation, e.what(), outcome});
        });
    qtmv::ScriptedMessages msgs;
    EXPECT_FALSE(dlg.printReporting(printer, 0, 2));
    PreviewDialog::setFailureReport({});
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].operation, "列印");
    EXPECT_NE(told[0].what.find(kept.toStdString()), std::string::npos) << told[0].what;
    EXPECT_EQ(told[0].outcome, "沒有列印。");
    EXPECT_TRUE(msgs.shown().empty());

    EXPECT_FALSE(dlg.printReporting(printer, 0, 2));
    ASSERT_EQ(msgs.shown().size(), 1u);
    EXPECT_EQ(msgs.shown()[0].title, "列印");
    EXPECT_EQ(msgs.shown()[0].icon, qtmv::MsgIcon::Critical);
    EXPECT_NE(msgs.shown()[0].text.find(kept.toStdString()), std::string::npos) << msgs.shown()[0].text;
    EXPECT_NE(msgs.shown()[0].text.find("沒有列印。"), std::string::npos) << msgs.shown()[0].text;

    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("kept"));
}

// The print dialog proposes the file the installed namer gives for the
// document, not print.pdf in the home folder every time.
TEST(ReportPreview, APrintToAFileProposesTheNamersFile)
{
    PreviewDialog dlg(ThreePages());
    dlg.setDocumentName(QStringLiteral("產值分析表"));
    QTemporaryDir dir;
    QStringList asked;
    PreviewDialog::setPrintFileNamer([&](const QString& name) {
        asked << name;
        return dir.filePath(name + QStringLiteral("_20261207-1530.pdf"));
    });
    QString proposed;
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto* print = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!print)
            return;
        dialogSeen = true;
        if (auto* file = print->findChild<QLineEdit*>(QStringLiteral("filename")))
            proposed = file->text();
        print->reject();
    });
    dlg.printWithDialog();
    PreviewDialog::setPrintFileNamer({});
    ASSERT_TRUE(dialogSeen);
    EXPECT_EQ(asked, QStringList{QStringLiteral("產值分析表")});
    EXPECT_EQ(proposed, dir.filePath(QStringLiteral("產值分析表_20261207-1530.pdf")));
    EXPECT_TRUE(QDir(dir.path()).isEmpty()); // nothing printed, nothing written
}

// A print to a file follows its pages; cancelled half-way it leaves no file
// (and the one there as it was), and printReporting tells nobody: the user
// chose it.
TEST(ReportPreview, ACancelledPrintToAFileLeavesNoFileAndTellsNothing)
{
    PreviewDialog dlg(ThreePages());
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    const QString fresh = dir.filePath("fresh.pdf");
    printer.setOutputFileName(fresh);
    std::vector<std::pair<int, int>> steps;
    const auto halfWay = [&](int done, int total) {
        steps.emplace_back(done, total);
        return done < 1;
    };
    EXPECT_THROW(dlg.printTo(printer, 0, 2, halfWay), Cancelled);
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}}));
    EXPECT_FALSE(QFile::exists(fresh));

    const QString kept = dir.filePath("kept.pdf");
    {
        QFile f(kept);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("kept");
    }
    printer.setOutputFileName(kept);
    std::vector<std::string> told;
    PreviewDialog::setFailureReport([&](const std::string& operation, const std::exception& e, const std::string&) {
        told.push_back(operation + ": " + e.what());
    });
    qtmv::ScriptedMessages msgs;
    steps.clear();
    EXPECT_FALSE(dlg.printReporting(printer, 1, 2, halfWay));
    PreviewDialog::setFailureReport({});
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}}));
    EXPECT_TRUE(told.empty()) << told.front();
    EXPECT_TRUE(msgs.shown().empty());
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("kept"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.pdf"});

    // Followed to the end, the pages are printed.
    EXPECT_TRUE(dlg.printReporting(printer, 0, 2, [](int, int) { return true; }));
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
}

// The progress the windows show: a modal dialog that moves with the steps
// and, once 取消 is pressed, answers false.
TEST(ReportWorkProgress, MovesWithTheStepsAndAnswersFalseOnceCancelled)
{
    QWidget window;
    window.show();
    WorkProgress watch(QStringLiteral("列印"), QStringLiteral("列印中…"), &window);
    QProgressDialog& dialog = watch.dialog();
    EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
    EXPECT_GT(dialog.minimumDuration(), 0);   // short work shows nothing
    dialog.setMinimumDuration(0);              // here: shown with the first step
    const Progress progress = watch.progress();
    EXPECT_TRUE(progress(0, 400));
    EXPECT_TRUE(progress(100, 400));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.value(), 25);
    auto* cancel = dialog.findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(progress(101, 400));
}
