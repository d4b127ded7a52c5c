#pragma once
// Shared set-up of the window tests: the daily report window on the small
// plant database, and the record side alone on a saving fixture for the
// cells that open another window from a row.
#include "app/core/Session.h"
#include "common/Clock.h"
#include "records/core/GridLayout.h"
#include "records/saving/tests/SavingFixture.h"
#include "daily_report/ui/MainWindow.h"
#include "daily_report/ui/ProcessPage.h"
#include "daily_report/ui/RecordFilters.h"
#include "daily_report/ui/RecordSide.h"
#include "daily_report/ui/tests/TestData.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/SpreadGrid.h"
#include "platform/ui/tests/TestApp.h"
#include "platform/ui/tests/TypeKeys.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace qtmv::daily::uitest {

// Lets `open` bring up a modal Dialog and `drive` work it once it is up, then
// closes it if still open. Polled: checks before a window may let events run.
// Whether the dialog came up.
template <class Dialog>
bool DriveModal(const std::function<void()>& open, const std::type_identity_t<std::function<void(Dialog&)>>& drive)
{
    bool driven = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* w = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if (!w || !w->isVisible() || driven)
            return;
        driven = true;
        poll.stop();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        drive(*w);
        if (w->isVisible())
            w->reject();
    });
    poll.start(0);
    open();
    return driven;
}

// Where each control stands in its window, as "name x,y wxh", once pending
// layout requests have run.
inline std::vector<std::string> PlacesOf(std::initializer_list<QWidget*> controls)
{
    QApplication::processEvents();
    std::vector<std::string> r;
    for (const QWidget* w : controls) {
        const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
        r.push_back(w->objectName().toStdString() + " " + std::to_string(at.x()) + "," + std::to_string(at.y()) + " "
                    + std::to_string(w->width()) + "x" + std::to_string(w->height()));
    }
    return r;
}

// Whether exactly one message was shown since the last check and it said
// `text` (or, not whole, held it), under `title` when one is given; the next
// check starts afresh.
inline ::testing::AssertionResult ToldOnce(ScriptedMessages& messages, std::string_view text, bool whole = true,
                                           std::string_view title = {})
{
    const std::vector<MessageRequest> shown = messages.shown();
    messages.clear();
    if (shown.size() != 1)
        return ::testing::AssertionFailure() << shown.size() << " messages, not one saying " << text;
    if (whole ? shown[0].text != text : shown[0].text.find(text) == std::string::npos)
        return ::testing::AssertionFailure() << "told \"" << shown[0].text << "\", not \"" << text << "\"";
    if (!title.empty() && shown[0].title != title)
        return ::testing::AssertionFailure() << "titled \"" << shown[0].title << "\", not \"" << title << "\"";
    return ::testing::AssertionSuccess();
}

// A mouse click on a grid cell (both from 1), scrolled into view first.
inline void ClickCell(SpreadGrid& g, int row, int col)
{
    QTableView* v = g.tableView();
    const QModelIndex idx = v->model()->index(row - 1, col - 1);
    v->scrollTo(idx);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(idx).center());
}

// Types text into a cell as the keyboard does and commits it with Enter.
inline void TypeInto(SpreadGrid& g, int row, int col, const QString& text)
{
    g.setActiveCell(row, col);
    qtmv::test::TypeIntoCell(g.tableView(), text);
}

// The daily report window, signed in with every work-order right.
class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Session& s = CurrentSession();
        s = db.session();
        s.EmployeeId = "A001";
        s.EmployeeName = "王大明";
        s.LauncherProcessId = static_cast<double>(::getpid());
        s.WorkOrderRights = "1111111111";
        s.ProductionRights = "00000000000000000000";
        s.IdentityEstablished = s.RightsEstablished = true;
        // Each test's own user settings, beside its database.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(db.folder()));
    }

    // A shown, activated window (first activation done).
    std::unique_ptr<frm日報登錄作業_工單> open()
    {
        auto w = std::make_unique<frm日報登錄作業_工單>();
        w->setEndProgramAction([this] { ended = true; });
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        for (int i = 0; i < 50 && w->filters().cbo種類->count() == 0; ++i)
            QTest::qWait(10);
        EXPECT_EQ(w->filters().cbo種類->count(), 14);
        return w;
    }

    static void choose(frm日報登錄作業_工單& w, const char* kind, const char* machine = "")
    {
        w.filters().cbo種類->setCurrentIndex(w.filters().cbo種類->findText(QString::fromUtf8(kind)));
        w.filters().cbo車別->setCurrentIndex(w.filters().cbo車別->findText(QString::fromUtf8(machine)));
    }
    // Chooses a kind and machine and loads its grid as "顯示資料" does.
    static void load(frm日報登錄作業_工單& w, const char* kind, const char* machine = "")
    {
        choose(w, kind, machine);
        w.filters().scmd顯示資料->click();
    }
    ::testing::AssertionResult toldOnce(std::string_view text, bool whole = true, std::string_view title = {})
    {
        return ToldOnce(messages, text, whole, title);
    }

    // Opens `w` on the printing grid of the user's own press: P0D line 1
    // alone, on `clock`.
    void openPrinting()
    {
        w = open();
        w->setClock(clock);
        load(*w, "D-印刷", "二號機");
        EXPECT_EQ(w->loadedRecords(printing), 1);
        g = w->currentGrid();
        v = g->tableView();
    }

    TestDatabase db;
    ScriptedMessages messages;
    bool ended = false;
    // The printing kind most tests work on, and its grid's columns.
    const ProcessKind& printing = *KindByLetter('D');
    const daily::GridLayout& pl = daily::GridLayoutOf(printing);
    FixedClock clock{{2024, 12, 4, 14, 5, 0}};
    std::unique_ptr<frm日報登錄作業_工單> w;
    SpreadGrid* g = nullptr;
    QTableView* v = nullptr;
};

// The record side of the window alone, on a saving fixture's database.
class RecordSideFixture : public test::SavingFixture, qtmv::test::WithApp {
protected:
    RecordSideFixture()
    {
        session_.WorkstationUser = "PC1\\amy";
        session_.ProductionRights = std::string(20, '0');
        saved_ = CurrentSession();
        CurrentSession() = session_;
        RecordSide::Hooks hooks;
        hooks.clock = [this]() -> const Clock& { return clock_; };
        hooks.endProgram = [] {};
        hooks.shown = [](const QString&, bool) {};
        side = std::make_unique<RecordSide>(nullptr, hooks, "");
        side->filters().fillKinds();
        side->resize(1200, 700);
        side->show();
    }
    ~RecordSideFixture() override
    {
        side.reset();
        CurrentSession() = saved_;
    }

    ProcessPage& loadKind(std::string_view name)
    {
        side->filters().cbo種類->setCurrentIndex(
            side->filters().cbo種類->findText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
        side->load();
        EXPECT_NE(side->currentPage(), nullptr);
        return *side->currentPage();
    }

    // Work order `po` with line `no` of kind k and its piece `id` (its
    // scheduled row then `set` as given), loaded alone.
    ProcessPage& loadOnePiece(const ProcessKind& k, const std::string& po, int no, const std::string& id,
                              const std::string& set = "")
    {
        workOrder(po);
        line(k, po, no);
        piece(k, id, 1, po, no);
        if (!set.empty())
            db().exec("update [" + std::string(k.scheduledTable) + "] set " + set + " where ID = '" + id + "'");
        ProcessPage& p = loadKind(k.displayName);
        EXPECT_EQ(p.records(), 1);
        return p;
    }

    // Opens a Dialog by a click on (or F9 in) the row's cell under `heading`
    // and, once it is up, lets `drive` work it.
    template <class Dialog>
    void openAndDrive(ProcessPage& p, int row, const char* heading,
                      const std::type_identity_t<std::function<void(Dialog&)>>& drive, bool byF9 = false)
    {
        const int col = p.layout().column(heading);
        ASSERT_GT(col, 0) << heading;
        p.grid()->setActiveCell(row, col);
        QTableView* v = p.grid()->tableView();
        EXPECT_TRUE(DriveModal<Dialog>([&] {
            if (byF9) {
                v->setFocus();
                QTest::keyClick(v, Qt::Key_F9);
            } else {
                ClickCell(*p.grid(), row, col);
            }
        }, drive));
    }

    Session saved_;
    std::unique_ptr<RecordSide> side;
    ScriptedMessages messages;
};

} // namespace qtmv::daily::uitest
