// The print page of the daily report window driven with keys and clicks:
// its defaults, the kind and report-choice rules, the range fields, the
// lookups and the print operation up to the layout it opens. Which choice
// shows what is the page rules' (PrintingTest); here, that the widgets follow.
#include "common/HandOver.h"
#include "common/ProcessKind.h"
#include "common/RocDate.h"
#include "printing/OrderParams.h"
#include "printing/PrintJob.h"
#include "daily_report/ui/PrintPage.h"
#include "daily_report/ui/Toolbars.h"
#include "daily_report/ui/tests/WindowFixture.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/ui/tests/TypeKeys.h"
#include "production_export/core/ValueListings.h"
#include "production_export/ui/ExcelWindows.h"
#include "reports/testing/PageLines.h"

#include <filesystem>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QRadioButton>

using namespace qtmv;
using Status = qtmv::daily::printing::Outcome::Status;

namespace {

class PrintPageTest : public daily::uitest::WindowFixture {
protected:
    // The window with its print page opened by the toolbar "產值表".
    daily::PrintPage& openPage()
    {
        w = open();
        w->toolbars().actPrint->trigger();
        return w->printPage();
    }
    // Back to the grids and the page opened again.
    void reopen()
    {
        QTest::mouseClick(w->printPage().ssc回前畫面_列印, Qt::LeftButton);
        w->toolbars().actPrint->trigger();
    }
    template <class T = QWidget>
    T* named(const char* name) const { return w->findChild<T*>(QString::fromUtf8(name)); }
    QLineEdit* range(int i) const { return w->printPage().txt列印範圍[static_cast<std::size_t>(i)]; }
    QRadioButton* choice(int i) const { return w->printPage().sopt選擇報表[static_cast<std::size_t>(i)]; }
    bool shown(const char* name) const { return named(name)->isVisible(); }
    void click(QWidget* x) const { QTest::mouseClick(x, Qt::LeftButton); }
    void click(const char* name) const { click(named(name)); }
    // "預覽列印": the status of the operation.
    Status preview() const
    {
        click("ssc預覽列印");
        return w->printPage().lastOutcome().status;
    }
    // The order of pre-schedule 1131201001 chosen.
    void chooseOrder()
    {
        click(choice(0));
        replaceText(range(2), QStringLiteral("1131201001"));
        replaceText(range(3), QStringLiteral("1131201001"));
    }

    // Types text over whatever the field holds.
    static void replaceText(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        qtmv::test::TypeKeys(field, text);
    }

    // The page document of the report the last print operation opened, as
    // the page's parameters make it.
    report::PageDocument lastDocument() const
    {
        const auto& o = w->printPage().lastOutcome();
        const reports::PrintParams p = daily::printing::OrderParams(o.params);
        if (o.dispatch.target == daily::printing::Target::OutsourcingOrder)
            return reports::OutsourcingOrder(o.dispatch.layout, p, CurrentSession());
        return production::AnalysisReport(o.dispatch.layout, p, CurrentSession());
    }
    bool documentSays(const char* text) const { return !lastDocument().pagesWith(QString::fromUtf8(text)).empty(); }
    // A finished printing stint of today on a machine.
    void finishedStint(int line, const std::string& machine, int completed)
    {
        const std::string today = TodayRoc7(TheSystemClock());
        db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量, 經辦代號, 耗時) "
                "values ('1131201001', 'P0D', 1, " + std::to_string(line) + ", 'D-印刷', '" + machine + "', '" + today +
                " 0000', '" + today + " 0000', " + std::to_string(completed) + ", 'A001', '1')");
    }

};

} // namespace

// The page opens with its defaults, choice one and the analysis panel; the
// personal summary hides the kind and the export without moving the fields
// below; the Excel button follows the choice each time.
TEST_F(PrintPageTest, OpensWithDefaultsAndTheKindAndExportFollowTheChoice)
{
    daily::PrintPage& page = openPage();
    EXPECT_FALSE(w->toolbars().actSave->isEnabled());
    EXPECT_EQ(page.cbo種類列印->currentText(), QStringLiteral("D-印刷"));
    EXPECT_TRUE(choice(1)->isChecked());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(choice(i)->isVisible(), i == 1 || i == 2 || i == 6 || i == 7) << i;
    EXPECT_EQ(range(1)->text().toStdString(), TodayRoc7(TheSystemClock()));
    EXPECT_TRUE(shown("pic列印2"));
    EXPECT_TRUE(shown("ssc轉Excel檔"));

    // The personal summary.
    auto places = [&] {
        return daily::uitest::PlacesOf({named("pic列印2"), range(4), range(8), range(10), page.cbo車別_列印, named("fra列印選項")});
    };
    const std::vector<std::string> withKind = places();

    click(choice(6));
    ASSERT_TRUE(choice(6)->isChecked());
    ASSERT_FALSE(page.cbo種類列印->isVisible());
    ASSERT_FALSE(shown("lbl種類列印"));
    EXPECT_FALSE(shown("ssc轉Excel檔"));
    EXPECT_EQ(places(), withKind);

    // And back: the kind is there again, nothing moved.
    click(choice(1));
    EXPECT_TRUE(page.cbo種類列印->isVisible());
    EXPECT_EQ(places(), withKind);

    // The Excel button.
    auto* excel = named<QPushButton>("ssc轉Excel檔");
    // "表2" of the printing value detail has no export.
    click("opt報表_1");
    EXPECT_FALSE(excel->isEnabled());
    click(choice(2));   // the completion grouping
    EXPECT_TRUE(shown("chk列印完成日期"));
    EXPECT_TRUE(excel->isEnabled());
    click(choice(1));
    EXPECT_FALSE(excel->isEnabled());
    // Another kind has a single value detail, which exports.
    page.cbo種類列印->setFocus();
    QTest::keyClick(page.cbo種類列印, Qt::Key_Down);
    click(choice(1));
    EXPECT_TRUE(excel->isEnabled());

    // Back to the grids and opened again: the summary exports. (The defaults
    // returning on the next opening are the single print entry's case.)
    click(page.ssc回前畫面_列印);
    EXPECT_FALSE(page.isVisible());
    w->toolbars().actPrint->trigger();
    click(choice(7));
    finishedStint(1, "一號機", 100);
    bool exported = false;
    page.runModal = [&](QDialog& d) { exported = dynamic_cast<production::ExcelExportWindow*>(&d) != nullptr; };
    click(excel);
    EXPECT_TRUE(exported);
}

TEST_F(PrintPageTest, OrderOfPrintingPreviewsThroughTheOrderLayoutRetitledWhenTicked)
{
    CurrentSession().CompanyName = "岱恆印刷";
    daily::PrintPage& page = openPage();
    // Down and up again in the kind box: back on "D-印刷" with its orders.
    page.cbo種類列印->setFocus();
    QTest::keyClick(page.cbo種類列印, Qt::Key_Down);
    EXPECT_EQ(page.cbo種類列印->currentText(), QStringLiteral("E-上光"));
    EXPECT_TRUE(choice(0)->isChecked());
    EXPECT_FALSE(choice(3)->isVisible());
    QTest::keyClick(page.cbo種類列印, Qt::Key_Up);

    chooseOrder();   // (the export button following the choice: the first case)
    EXPECT_TRUE(shown("pic列印1"));
    int previews = 0;
    bool windowEnabled = false;
    page.runModal = [&](QDialog& d) {
        if (dynamic_cast<report::PreviewDialog*>(&d)) {
            ++previews;
            windowEnabled = w->isEnabled() && d.isEnabled();
        }
    };
    ASSERT_EQ(preview(), Status::Ready);
    EXPECT_EQ(page.lastOutcome().params.preScheduleFrom, "1131201001");
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(windowEnabled); // the preview can be used
    // Even "列印" previews the order (it prints from the preview).
    click("ssc列印");
    EXPECT_EQ(previews, 2);

    // A vendor that has no order: nothing opens, and that is the only message.
    replaceText(range(12), QStringLiteral("x9"));
    EXPECT_EQ(range(12)->text(), QStringLiteral("x9")); // the vendor field is not filtered
    preview();
    EXPECT_TRUE(toldOnce("查無任何資料!"));
    EXPECT_EQ(previews, 2);

    // Ticked, the order is titled as outsourced processing; the instruction
    // sheet does not offer the tick and keeps its title.
    replaceText(range(12), QString());
    auto* retitle = named<QCheckBox>("chk報表名稱");
    ASSERT_TRUE(retitle->isVisible());
    click(retitle);
    ASSERT_EQ(preview(), Status::Ready);
    EXPECT_TRUE(documentSays("印刷委外加工單"));
    EXPECT_FALSE(documentSays("印刷外發單"));
    click(choice(4));
    EXPECT_FALSE(retitle->isVisible());
    ASSERT_EQ(preview(), Status::Ready);
    EXPECT_TRUE(documentSays("印刷外發單"));
}

TEST_F(PrintPageTest, SinglePrintEntryOpensThePageOnTheCurrentRowsOrder)
{
    w = open();
    load(*w, "D-印刷", "二號機");
    const QString record = QString::fromStdString(w->currentRecordNo());
    ASSERT_FALSE(record.isEmpty());
    w->toolbars().actPrint1->trigger();   // "產值表" ▸ "單筆列印"
    daily::PrintPage& page = w->printPage();
    ASSERT_TRUE(page.isVisible());
    EXPECT_TRUE(choice(0)->isVisible());
    EXPECT_TRUE(choice(0)->isChecked());
    EXPECT_TRUE(named<QRadioButton>("sopt條件設定_0")->isChecked());
    EXPECT_TRUE(shown("pic列印1"));
    EXPECT_EQ(named<QLabel>("lbl列印單筆")->text(), record);
    EXPECT_EQ(range(3)->text(), record);   // the start is in the parameters below

    QString documentName;
    page.runModal = [&](QDialog& d) {
        if (auto* preview = dynamic_cast<report::PreviewDialog*>(&d))
            documentName = preview->documentName();
    };
    ASSERT_EQ(preview(), Status::Ready);
    EXPECT_EQ(page.lastOutcome().params.preScheduleFrom, record.toStdString());
    EXPECT_EQ(documentName, QStringLiteral("印刷外發單"));   // for the print job and a print to a file

    // "產值表" itself still opens on the analyses.
    reopen();
    EXPECT_TRUE(choice(1)->isChecked());
    EXPECT_FALSE(choice(0)->isVisible());
}

// The range fields filter keys and check dates; the lookups fill the vendor
// and the clerk.
TEST_F(PrintPageTest, RangeFieldsFilterKeysCheckDatesAndLookUp)
{
    daily::PrintPage& page = openPage();
    replaceText(range(8), QStringLiteral("p0d"));
    EXPECT_EQ(range(8)->text(), QStringLiteral("P0D"));
    replaceText(range(5), QStringLiteral("08a3印0"));
    EXPECT_EQ(range(5)->text(), QStringLiteral("0830"));

    replaceText(range(4), QStringLiteral("991204"));
    QTest::keyClick(range(4), Qt::Key_Tab);
    EXPECT_EQ(range(4)->text(), QStringLiteral("0991204"));
    EXPECT_TRUE(messages.shown().empty());
    replaceText(range(6), QStringLiteral("1130230"));
    QTest::keyClick(range(6), Qt::Key_Tab);
    EXPECT_TRUE(toldOnce("日期錯誤!"));

    // The lookups fill the vendor and the clerk.
    click(choice(0));
    replaceText(range(12), QStringLiteral("大"));
    std::string kindAsked, filterAsked;
    page.runModal = [&](QDialog&) {
        kindAsked = gLookupKind;
        filterAsked = gLookupFilter;
        gPick[0] = "1";
        gPick[1] = "V01";
        gPick[2] = "A001";
    };
    click("scmd廠商列印");
    EXPECT_EQ(kindAsked, "印刷");
    EXPECT_EQ(filterAsked, "大");
    EXPECT_EQ(range(12)->text(), QStringLiteral("V01"));

    page.cbo種類列印->setEditText(QString());
    page.cbo種類列印->setCurrentIndex(-1);
    click("scmd廠商列印");
    EXPECT_EQ(kindAsked, "所有廠商");

    click(choice(1));
    page.runModal = [](QDialog&) { gPick[0] = "A001"; gPick[1] = "王大明"; };
    click("scmd經辦");
    EXPECT_EQ(range(10)->text(), QStringLiteral("A001"));
    EXPECT_TRUE(gPick[0].empty());
}

TEST_F(PrintPageTest, SummaryExportBuildsTheTableAndWritesTheWorkbook)
{
    daily::PrintPage& page = openPage();
    CurrentSession().ExcelFolder = db.folder();
    db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量, 經辦代號, 耗時) "
            "values ('1131201001', 'P0D', 1, 1, 'D-印刷', '一號機', '1131201 0800', '1131201 0930', 500, 'A001', '1.5')");
    click(choice(2));
    replaceText(range(4), QStringLiteral("1131201"));
    std::string written;
    page.runModal = [&](QDialog& d) {
        auto* excel = dynamic_cast<production::ExcelExportWindow*>(&d);
        ASSERT_TRUE(excel);
        EXPECT_EQ(d.objectName(), QStringLiteral("frm產值分析明細轉Excel"));
        d.show();
        QTest::keyClick(&d, Qt::Key_Return);
        written = excel->path();
    };
    click("ssc轉Excel檔");
    ASSERT_EQ(page.lastOutcome().status, Status::Ready);
    EXPECT_EQ(written.rfind(db.folder() + "產值分析總表_", 0), 0u) << written;
    EXPECT_TRUE(std::filesystem::exists(written));
    EXPECT_EQ(db.value("select 耗時 || '/' || 完成數 from [不良分析_tmp] where ID = '" + CurrentSession().WorkstationUser + "'"),
              "90/500");
}

TEST_F(PrintPageTest, MachineListFollowsTheKindLimitsTheAnalysesAndALayoutCanBeStopped)
{
    finishedStint(1, "一號機", 100);
    finishedStint(2, "二號機", 200);
    daily::PrintPage& page = openPage();
    // Which machines a kind has is the machine list's (PlantListsTest); here,
    // that the box follows the kind and starts on every machine.
    auto* machine = named<QComboBox>("cbo車別_列印");
    EXPECT_NE(machine->findText(QStringLiteral("一號機")), -1);
    EXPECT_EQ(machine->currentText(), QString());
    page.cbo種類列印->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(page.cbo種類列印, Qt::Key_Down);
    EXPECT_EQ(page.cbo種類列印->currentText(), QStringLiteral("G-軋工"));
    EXPECT_EQ(machine->findText(QStringLiteral("一號機")), -1);
    EXPECT_NE(machine->findText(QStringLiteral("軋台A")), -1);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(page.cbo種類列印, Qt::Key_Up);

    // The summary of the printing kind on the first press only.
    click(choice(2));
    machine->setFocus();
    QTest::keyClick(machine, Qt::Key_Down);
    EXPECT_EQ(machine->currentText(), QStringLiteral("一號機"));
    page.runModal = [](QDialog&) {};
    ASSERT_EQ(preview(), Status::Ready);
    EXPECT_EQ(reports::test::LinesStarting(lastDocument(), "總        計："),
              std::vector<std::string>{"總        計：|1|100|60|-60|0|0.00|0"});

    // A press can be typed as well (what the report makes of it: above).
    replaceText(machine->lineEdit(), QStringLiteral("二號機"));
    ASSERT_EQ(preview(), Status::Ready);
    EXPECT_EQ(page.lastOutcome().params.machineGroup, "二號機");

    reopen();   // every machine again
    EXPECT_EQ(machine->currentText(), QString());

    // The layout of the document to preview or print is followed (how, row by
    // row: ReportProgress); stopped, nothing opens and nothing is said: the
    // user chose it. Analyses and orders alike.
    int previews = 0, printed = 0;
    page.runModal = [&](QDialog& d) { previews += dynamic_cast<report::PreviewDialog*>(&d) != nullptr; };
    page.printDocument = [&](report::PreviewDialog&) { ++printed; };
    bool goOn = true;
    page.followLayout = [&](int, int) { return goOn; };

    click(choice(2));
    ASSERT_EQ(preview(), Status::Ready);
    EXPECT_EQ(previews, 1);

    goOn = false;
    EXPECT_EQ(preview(), Status::Cancelled);
    click("ssc列印");
    EXPECT_EQ(page.lastOutcome().status, Status::Cancelled);
    chooseOrder();
    EXPECT_EQ(preview(), Status::Cancelled);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(printed, 0);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(w->isEnabled());

    goOn = true;
    EXPECT_EQ(preview(), Status::Ready);
    EXPECT_EQ(previews, 2);
}
