// The print page of the daily report window driven with keys and clicks:
// its defaults, the kind and report-choice rules, the range fields, the
// lookups and the print operation up to the layout it opens.
#include "common/HandOver.h"
#include "common/ProcessKind.h"
#include "common/RocDate.h"
#include "printing/OrderParams.h"
#include "printing/PrintJob.h"
#include "daily_report/ui/PrintPage.h"
#include "daily_report/ui/Toolbars.h"
#include "daily_report/ui/tests/WindowFixture.h"
#include "platform/report/ui/PreviewDialog.h"
#include "production_export/core/ValueListings.h"
#include "production_export/ui/ExcelWindows.h"
#include "reports/testing/PageLines.h"

#include <filesystem>
#include <utility>
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
    template <class T>
    T* named(const char* name) const { return w->findChild<T*>(QString::fromUtf8(name)); }
    QLineEdit* range(int i) const { return w->printPage().txt列印範圍[static_cast<std::size_t>(i)]; }
    QRadioButton* choice(int i) const { return w->printPage().sopt選擇報表[static_cast<std::size_t>(i)]; }
    bool shown(const char* name) const { return named<QWidget>(name)->isVisible(); }

    static void typeInto(QWidget* field, const QString& text)
    {
        field->setFocus();
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), {});
    }
    static void replaceText(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        typeInto(field, text);
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
    // A finished printing stint of today on a machine.
    void finishedStint(int line, const std::string& machine, int completed)
    {
        const std::string today = TodayRoc7(TheSystemClock());
        db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量, 經辦代號, 耗時) "
                "values ('1131201001', 'P0D', 1, " + std::to_string(line) + ", 'D-印刷', '" + machine + "', '" + today +
                " 0000', '" + today + " 0000', " + std::to_string(completed) + ", 'A001', '1')");
    }
    static QStringList items(const QComboBox* c)
    {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }

    std::unique_ptr<frm日報登錄作業_工單> w;
};

} // namespace

TEST_F(PrintPageTest, OpensWithDefaultsChoiceOneAndTheAnalysisPanel)
{
    daily::PrintPage& page = openPage();
    const std::string today = TodayRoc7(TheSystemClock());
    EXPECT_TRUE(page.isVisible());
    EXPECT_FALSE(w->toolbars().actSave->isEnabled());
    EXPECT_EQ(page.cbo種類列印->currentText(), QStringLiteral("D-印刷"));
    EXPECT_TRUE(choice(1)->isChecked());
    for (int i : {0, 3, 4, 5})
        EXPECT_FALSE(choice(i)->isVisible()) << i;
    for (int i : {1, 2, 6, 7})
        EXPECT_TRUE(choice(i)->isVisible()) << i;
    EXPECT_EQ(range(1)->text().toStdString(), today);
    EXPECT_TRUE(shown("pic列印2"));
    EXPECT_TRUE(shown("ssc轉Excel檔"));

    // Choice 6 covers all kinds; choice 2 offers the completion grouping.
    QTest::mouseClick(choice(6), Qt::LeftButton);
    EXPECT_FALSE(page.cbo種類列印->isVisible());
    EXPECT_FALSE(shown("ssc轉Excel檔"));
    QTest::mouseClick(choice(2), Qt::LeftButton);
    EXPECT_TRUE(shown("chk列印完成日期"));

    // Back and open again: the defaults return, whatever was chosen.
    QTest::mouseClick(page.ssc回前畫面_列印, Qt::LeftButton);
    EXPECT_FALSE(page.isVisible());
    w->toolbars().actPrint->trigger();
    EXPECT_TRUE(choice(1)->isChecked());
    EXPECT_FALSE(choice(0)->isVisible());
}

TEST_F(PrintPageTest, OrderOfPrintingPreviewsThroughTheOrderLayout)
{
    daily::PrintPage& page = openPage();
    // Down and up again in the kind box: back on "D-印刷" with its orders.
    page.cbo種類列印->setFocus();
    QTest::keyClick(page.cbo種類列印, Qt::Key_Down);
    EXPECT_EQ(page.cbo種類列印->currentText(), QStringLiteral("E-上光"));
    EXPECT_TRUE(choice(0)->isChecked());
    EXPECT_FALSE(choice(3)->isVisible());
    QTest::keyClick(page.cbo種類列印, Qt::Key_Up);

    QTest::mouseClick(choice(0), Qt::LeftButton);
    EXPECT_TRUE(shown("pic列印1"));
    EXPECT_FALSE(shown("ssc轉Excel檔"));

    replaceText(range(2), QStringLiteral("1131201001"));
    replaceText(range(3), QStringLiteral("1131201001"));
    int previews = 0;
    bool windowEnabled = false;
    page.runModal = [&](QDialog& d) {
        if (dynamic_cast<report::PreviewDialog*>(&d)) {
            ++previews;
            windowEnabled = w->isEnabled() && d.isEnabled();
        }
    };
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    const auto& o = page.lastOutcome();
    ASSERT_EQ(o.status, daily::printing::Outcome::Ready);
    EXPECT_EQ(o.params.preScheduleFrom, "1131201001");
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(windowEnabled); // the preview can be used
    EXPECT_TRUE(messages.shown().empty());

    // Even "列印" previews the order (it prints from the preview).
    QTest::mouseClick(named<QPushButton>("ssc列印"), Qt::LeftButton);
    EXPECT_EQ(previews, 2);

    // A vendor that has no order: nothing opens.
    typeInto(range(12), QStringLiteral("x9"));
    EXPECT_EQ(range(12)->text(), QStringLiteral("x9")); // the vendor field is not filtered
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "查無任何資料!");
    EXPECT_EQ(previews, 2);
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
    EXPECT_EQ(range(2)->text(), record);
    EXPECT_EQ(range(3)->text(), record);

    QString documentName;
    page.runModal = [&](QDialog& d) {
        if (auto* preview = dynamic_cast<report::PreviewDialog*>(&d))
            documentName = preview->documentName();
    };
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    ASSERT_EQ(page.lastOutcome().status, daily::printing::Outcome::Ready);
    EXPECT_EQ(page.lastOutcome().params.preScheduleFrom, record.toStdString());
    // Named for the print job and a print to a file.
    EXPECT_EQ(documentName, QStringLiteral("印刷外發單"));

    // "產值表" itself still opens on the analyses.
    QTest::mouseClick(page.ssc回前畫面_列印, Qt::LeftButton);
    w->toolbars().actPrint->trigger();
    EXPECT_TRUE(choice(1)->isChecked());
    EXPECT_FALSE(choice(0)->isVisible());
}

TEST_F(PrintPageTest, RangeFieldsFilterKeysAndCheckDates)
{
    openPage();
    typeInto(range(8), QStringLiteral("p0d"));
    EXPECT_EQ(range(8)->text(), QStringLiteral("P0D"));
    replaceText(range(5), QStringLiteral("08a3印0"));
    EXPECT_EQ(range(5)->text(), QStringLiteral("0830"));

    replaceText(range(4), QStringLiteral("991204"));
    QTest::keyClick(range(4), Qt::Key_Tab);
    EXPECT_EQ(range(4)->text(), QStringLiteral("0991204"));
    EXPECT_TRUE(messages.shown().empty());
    replaceText(range(6), QStringLiteral("1130230"));
    QTest::keyClick(range(6), Qt::Key_Tab);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "日期錯誤!");
}

TEST_F(PrintPageTest, LookupsFillVendorAndClerk)
{
    daily::PrintPage& page = openPage();
    QTest::mouseClick(choice(0), Qt::LeftButton);
    typeInto(range(12), QStringLiteral("大"));
    std::string kindAsked, filterAsked;
    page.runModal = [&](QDialog&) {
        kindAsked = gLookupKind;
        filterAsked = gLookupFilter;
        gPick[0] = "1";
        gPick[1] = "V01";
        gPick[2] = "A001";
    };
    QTest::mouseClick(named<QPushButton>("scmd廠商列印"), Qt::LeftButton);
    EXPECT_EQ(kindAsked, "印刷");
    EXPECT_EQ(filterAsked, "大");
    EXPECT_EQ(range(12)->text(), QStringLiteral("V01"));

    page.cbo種類列印->setEditText(QString());
    page.cbo種類列印->setCurrentIndex(-1);
    QTest::mouseClick(named<QPushButton>("scmd廠商列印"), Qt::LeftButton);
    EXPECT_EQ(kindAsked, "所有廠商");

    QTest::mouseClick(choice(1), Qt::LeftButton);
    page.runModal = [](QDialog&) { gPick[0] = "A001"; gPick[1] = "王大明"; };
    QTest::mouseClick(named<QPushButton>("scmd經辦"), Qt::LeftButton);
    EXPECT_EQ(range(10)->text(), QStringLiteral("A001"));
    EXPECT_TRUE(gPick[0].empty());
}

TEST_F(PrintPageTest, SummaryExportBuildsTheTableAndWritesTheWorkbook)
{
    daily::PrintPage& page = openPage();
    CurrentSession().ExcelFolder = db.folder();
    db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量, 經辦代號, 耗時) "
            "values ('1131201001', 'P0D', 1, 1, 'D-印刷', '一號機', '1131201 0800', '1131201 0930', 500, 'A001', '1.5')");
    QTest::mouseClick(choice(2), Qt::LeftButton);
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
    QTest::mouseClick(named<QPushButton>("ssc轉Excel檔"), Qt::LeftButton);
    ASSERT_EQ(page.lastOutcome().status, daily::printing::Outcome::Ready);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.rfind(db.folder() + "產值分析總表_", 0), 0u) << written;
    EXPECT_TRUE(std::filesystem::exists(written));
    ASSERT_FALSE(messages.shown().empty());
    // The message says where the workbook went.
    EXPECT_EQ(messages.shown().back().text, "轉Excel成功\n檔案：" + written);
    EXPECT_EQ(db.value("select 耗時 || '/' || 完成數 from [不良分析_tmp] where ID = '" + CurrentSession().WorkstationUser + "'"),
              "90/500");
}

TEST_F(PrintPageTest, MachineListFollowsTheKindAndLimitsTheAnalyses)
{
    finishedStint(1, "一號機", 100);
    finishedStint(2, "二號機", 200);
    daily::PrintPage& page = openPage();
    auto* machine = named<QComboBox>("cbo車別_列印");
    EXPECT_EQ(items(machine), (QStringList{QString(), QStringLiteral("一號機"), QStringLiteral("二號機")}));
    EXPECT_EQ(machine->currentText(), QString());
    page.cbo種類列印->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(page.cbo種類列印, Qt::Key_Down);
    EXPECT_EQ(page.cbo種類列印->currentText(), QStringLiteral("G-軋工"));
    EXPECT_EQ(items(machine), (QStringList{QString(), QStringLiteral("二號機"), QStringLiteral("軋台A")}));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(page.cbo種類列印, Qt::Key_Up);

    // The summary of the printing kind on the first press only.
    QTest::mouseClick(choice(2), Qt::LeftButton);
    machine->setFocus();
    QTest::keyClick(machine, Qt::Key_Down);
    EXPECT_EQ(machine->currentText(), QStringLiteral("一號機"));
    page.runModal = [](QDialog&) {};
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    ASSERT_EQ(page.lastOutcome().status, daily::printing::Outcome::Ready);
    EXPECT_EQ(reports::test::LinesStarting(lastDocument(), "總        計："),
              std::vector<std::string>{"總        計：|1|100|60|-60|0|0.00|0"});

    // A press can be typed as well.
    replaceText(machine->lineEdit(), QStringLiteral("二號機"));
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    ASSERT_EQ(page.lastOutcome().status, daily::printing::Outcome::Ready);
    EXPECT_EQ(page.lastOutcome().params.machineGroup, "二號機");
    EXPECT_EQ(reports::test::LinesStarting(lastDocument(), "D-印刷|"),
              std::vector<std::string>{"D-印刷|二號機|王大明|1|200|60|0|-60|0|0.00|0"});

    // Opened again: every machine.
    QTest::mouseClick(page.ssc回前畫面_列印, Qt::LeftButton);
    w->toolbars().actPrint->trigger();
    EXPECT_EQ(machine->currentText(), QString());
}

TEST_F(PrintPageTest, OrderIsRetitledAsOutsourcedProcessingWhenTicked)
{
    CurrentSession().CompanyName = "岱恆印刷";
    daily::PrintPage& page = openPage();
    QTest::mouseClick(choice(0), Qt::LeftButton);
    replaceText(range(2), QStringLiteral("1131201001"));
    replaceText(range(3), QStringLiteral("1131201001"));
    page.runModal = [](QDialog&) {};
    auto* retitle = named<QCheckBox>("chk報表名稱");
    ASSERT_TRUE(retitle->isVisible());
    QTest::mouseClick(retitle, Qt::LeftButton);
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    ASSERT_EQ(page.lastOutcome().status, daily::printing::Outcome::Ready);
    EXPECT_FALSE(lastDocument().pagesWith(QStringLiteral("印刷委外加工單")).empty());
    EXPECT_TRUE(lastDocument().pagesWith(QStringLiteral("印刷外發單")).empty());

    // The instruction sheet does not offer the tick: it keeps its title.
    QTest::mouseClick(choice(4), Qt::LeftButton);
    EXPECT_FALSE(retitle->isVisible());
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    EXPECT_FALSE(lastDocument().pagesWith(QStringLiteral("印刷外發單")).empty());
}

TEST_F(PrintPageTest, ExcelButtonFollowsTheChoiceEachTime)
{
    daily::PrintPage& page = openPage();
    auto* excel = named<QPushButton>("ssc轉Excel檔");
    // "表2" of the printing value detail has no export.
    QTest::mouseClick(named<QRadioButton>("opt報表_1"), Qt::LeftButton);
    EXPECT_FALSE(excel->isEnabled());
    for (int i : {2, 7}) {
        QTest::mouseClick(choice(i), Qt::LeftButton);
        EXPECT_TRUE(excel->isEnabled()) << i;
    }
    QTest::mouseClick(choice(1), Qt::LeftButton);
    EXPECT_FALSE(excel->isEnabled());
    // Another kind has a single value detail, which exports.
    page.cbo種類列印->setFocus();
    QTest::keyClick(page.cbo種類列印, Qt::Key_Down);
    QTest::mouseClick(choice(1), Qt::LeftButton);
    EXPECT_TRUE(excel->isEnabled());

    // Opened again: the summary exports.
    QTest::mouseClick(page.ssc回前畫面_列印, Qt::LeftButton);
    w->toolbars().actPrint->trigger();
    QTest::mouseClick(choice(7), Qt::LeftButton);
    finishedStint(1, "一號機", 100);
    bool exported = false;
    page.runModal = [&](QDialog& d) { exported = dynamic_cast<production::ExcelExportWindow*>(&d) != nullptr; };
    QTest::mouseClick(excel, Qt::LeftButton);
    EXPECT_TRUE(exported);
}

TEST_F(PrintPageTest, ThePersonalSummaryHidesTheKindWithoutMovingTheFieldsBelow)
{
    daily::PrintPage& page = openPage();
    ASSERT_TRUE(choice(1)->isChecked());
    // Where each field stands in the window, as "x,y wxh".
    auto places = [&] {
        QApplication::processEvents();   // pending layout requests
        std::vector<std::string> r;
        for (QWidget* x : std::initializer_list<QWidget*>{named<QWidget>("pic列印2"), range(4), range(8), range(10),
                                                          page.cbo車別_列印, named<QWidget>("fra列印選項")}) {
            const QPoint at = x->mapTo(w.get(), QPoint(0, 0));
            r.push_back(x->objectName().toStdString() + " " + std::to_string(at.x()) + "," + std::to_string(at.y())
                        + " " + std::to_string(x->width()) + "x" + std::to_string(x->height()));
        }
        return r;
    };
    const std::vector<std::string> withKind = places();

    QTest::mouseClick(choice(6), Qt::LeftButton);
    ASSERT_TRUE(choice(6)->isChecked());
    ASSERT_FALSE(page.cbo種類列印->isVisible());
    ASSERT_FALSE(shown("lbl種類列印"));
    EXPECT_EQ(places(), withKind);

    // And back: the kind is there again, nothing moved.
    QTest::mouseClick(choice(1), Qt::LeftButton);
    EXPECT_TRUE(page.cbo種類列印->isVisible());
    EXPECT_EQ(places(), withKind);
}

// The layout of the document to preview or print is followed from none of
// its rows to all of them; stopped, nothing opens and nothing is said: the
// user chose it. Analyses and orders alike.
TEST_F(PrintPageTest, AStoppedLayoutOpensNoPreviewAndSaysNothing)
{
    finishedStint(1, "一號機", 100);
    finishedStint(2, "二號機", 200);
    daily::PrintPage& page = openPage();
    int previews = 0, printed = 0;
    page.runModal = [&](QDialog& d) { previews += dynamic_cast<report::PreviewDialog*>(&d) != nullptr; };
    page.printDocument = [&](report::PreviewDialog&) { ++printed; };
    std::vector<std::pair<int, int>> steps;
    bool goOn = true;
    page.followLayout = [&](int done, int total) {
        steps.emplace_back(done, total);
        return goOn;
    };

    QTest::mouseClick(choice(2), Qt::LeftButton);
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    ASSERT_EQ(page.lastOutcome().status, daily::printing::Outcome::Ready);
    EXPECT_EQ(previews, 1);
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(steps.front().first, 0);
    EXPECT_GT(steps.back().second, 0);
    EXPECT_EQ(steps.back().first, steps.back().second);

    goOn = false;
    steps.clear();
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    EXPECT_EQ(page.lastOutcome().status, daily::printing::Outcome::Cancelled);
    EXPECT_EQ(steps.size(), 1u);   // asked once, before the first row
    QTest::mouseClick(named<QPushButton>("ssc列印"), Qt::LeftButton);
    EXPECT_EQ(page.lastOutcome().status, daily::printing::Outcome::Cancelled);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(printed, 0);

    QTest::mouseClick(choice(0), Qt::LeftButton);
    replaceText(range(2), QStringLiteral("1131201001"));
    replaceText(range(3), QStringLiteral("1131201001"));
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    EXPECT_EQ(page.lastOutcome().status, daily::printing::Outcome::Cancelled);
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(w->isEnabled());

    goOn = true;
    QTest::mouseClick(named<QPushButton>("ssc預覽列印"), Qt::LeftButton);
    EXPECT_EQ(page.lastOutcome().status, daily::printing::Outcome::Ready);
    EXPECT_EQ(previews, 2);
}
