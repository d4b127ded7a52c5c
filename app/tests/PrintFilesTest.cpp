// A print to a file proposes a file of its own in the export folder.
#include "app/core/Session.h"
#include "app/ui/PrintFiles.h"
#include "common/Clock.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/ui/tests/TestApp.h"

#include <QApplication>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qtmv;

namespace {

class PrintFiles : public ::testing::Test, protected qtmv::test::WithApp {
protected:
    void TearDown() override { report::PreviewDialog::setPrintFileNamer({}); }
};

report::PageDocument OnePage()
{
    report::Layout l;
    l.detail.height = 10;
    l.detail.items = {report::Item::text({0, 0, 100, 8}, "產值")};
    report::DataTable t({"N"});
    t.addRow({1});
    return report::Paginate(l, t);
}

// The file the print dialog proposes for a document of that name.
QString ProposedFile(const QString& documentName)
{
    report::PreviewDialog dlg(OnePage());
    dlg.setDocumentName(documentName);
    QString proposed;
    QTimer::singleShot(0, [&] {
        if (auto* print = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            if (auto* file = print->findChild<QLineEdit*>(QStringLiteral("filename")))
                proposed = file->text();
            print->reject();
        }
    });
    dlg.printWithDialog();
    return proposed;
}

} // namespace

TEST_F(PrintFiles, InTheExportFolderAfterTheDocumentAndTheTime)
{
    QTemporaryDir dir;
    CurrentSession().ExcelFolder = dir.path().toStdString() + "/";
    static const FixedClock clock({2026, 12, 7, 15, 30, 12});
    InstallPrintFileNamer(clock);
    // The name itself, never over an earlier file, and for a document
    // nobody named: OutputName in the print page's tests.
    EXPECT_EQ(ProposedFile(QStringLiteral("生產明細表")), dir.filePath(QStringLiteral("生產明細表_20261207-1530.pdf")));
}
