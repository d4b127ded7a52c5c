#pragma once
// 日報登錄作業: the main window of the daily report program, composed of its
// parts: the toolbars, the record side (RecordSide: the filter rows, one
// page per process kind and the details of the current row), the print page
// (PrintPage) that takes its place for printing, and the status bar with the
// database in use and the clock (StatusClock). The window itself runs the
// lifecycle, the keyboard and the toolbar commands.
//
// Control arrays of the suite's forms are single widgets named
// "<array>_<index>" (opt排序方式_0 .. opt排序方式_5, Timer1_0, Timer1_1,
// txt列印範圍_0 ..) that also carry their index in the dynamic property
// "index"; every control has the object name of the suite's form.
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "lookups/core/PlantLists.h"
#include "records/core/ChangeFlags.h"
#include "daily_report/ui/Toolbars.h"
#include "daily_report/ui/WindowLogic.h"

#include <QMainWindow>

#include <functional>
#include <string>

class QLabel;
class QStatusBar;

namespace qtmv {
class SpreadGrid;
}

namespace qtmv::daily {
class DetailsPanel;
class PrintPage;
class ProcessPage;
class RecordFilters;
class RecordSide;
class StatusClock;
}

class frm日報登錄作業_工單 : public QMainWindow {
public:
    frm日報登錄作業_工單();
    ~frm日報登錄作業_工單() override;

    // --- Parts -----------------------------------------------------------------
    const qtmv::daily::Toolbars& toolbars() const { return toolbars_; }
    qtmv::daily::RecordSide& recordSide() const { return *recordSide_; }
    qtmv::daily::RecordFilters& filters() const;
    qtmv::daily::DetailsPanel& details() const;
    qtmv::daily::PrintPage& printPage() const { return *printPage_; }
    qtmv::daily::StatusClock& statusClock() const { return *clockPanel_; }
    qtmv::daily::ProcessPage& page(const qtmv::ProcessKind& kind) const;
    // The page of the kind in cbo種類; nullptr when no kind is chosen.
    qtmv::daily::ProcessPage* currentPage() const;

    // --- What tests and the windows opened from here use --------------------
    qtmv::SpreadGrid* grid(const qtmv::ProcessKind& kind) const;
    qtmv::SpreadGrid* currentGrid() const;
    const qtmv::ProcessKind* currentKind() const;
    std::string kindText() const;
    // Records loaded into the kind's grid by the last load (0: none).
    int loadedRecords(const qtmv::ProcessKind& kind) const;
    const qtmv::daily::ChangeFlags& changeFlags(const qtmv::ProcessKind& kind) const;
    // The kind name of the grid last clicked ("印刷", "軋工", ...).
    const std::string& currentGridName() const;
    // The pre-schedule number of the current record ("" when none).
    const std::string& currentRecordNo() const;
    const qtmv::lookups::PhraseTable& phrases() const { return phrases_; }

    // The clock for finish stamps and the status clock (the system clock
    // unless a test sets another; it must outlive the window).
    void setClock(const qtmv::Clock& clock) { clock_ = &clock; }
    // What "end the program at once" does (maintenance lock); tests observe it.
    void setEndProgramAction(std::function<void()> action) { endProgram_ = std::move(action); }

    // The operations behind the buttons, also for tests.
    void loadCurrentKind();            // "確 定", "刷新", a sort option
    void saveCurrentKind();            // "儲存", F8
    void handOffWorkOrder();           // Toolbar2 "工單"
    void queryWorkOrder();             // Toolbar1 "明細查詢"

    QStatusBar* StatusBar1 = nullptr;
    QLabel* lblDatabasePath = nullptr; // the database file in use, full path
    QLabel* lbl未儲存 = nullptr;       // how many cells are flagged and not saved
    QLabel* lbl輸入提示 = nullptr;     // the edited cell's length, or what a cut took off
    QLabel* lbl僅可查詢 = nullptr;     // shown while the session may only look; the reason as tooltip

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildStatusBar();
    // The title and the status bar say "僅可查詢" while the session may
    // only look, and stop saying it once edits are allowed.
    void showEditRights();
    void connectControls();
    // Runs a handler: a failure of any kind is reported under the
    // operation's title and leaves the window usable.
    void handle(const char* operation, const std::function<void()>& handler);

    void formLoad();
    void formActivate();
    void formUnload();
    void endProgram();

    void runToolbarAction(const QString& key);
    void pressToolbarKey(QAction* button);   // F8, Ctrl+H
    void showPrintPage(bool show);
    // Why no database can be used, as the operations say it ("" when one
    // can); the status bar shows the state.
    std::string databaseProblem();
    bool databaseReady();
    // The window's size, place and maximised state as this user left it
    // (Qt's settings, per user); a place no screen shows any more is moved
    // onto the screen.
    void restorePlace();
    void storePlace();
    // The entry view and the dragged column widths per grid, and the grid
    // font, as this user left them (Qt's settings, per user).
    void applyViewSettings(qtmv::daily::ProcessPage& page);
    void setEntryView(bool on);
    void setLargeFont(bool on);
    // The grid's font, and its columns widened to show their headings in it.
    static void setGridFontLarge(qtmv::daily::ProcessPage& page, bool on);
    // Ctrl+Tab and Ctrl+Shift+Tab: the focus leaves the grid to the next or
    // previous control.
    void leaveGrid(qtmv::SpreadGrid& grid, bool forward);

    const qtmv::Clock* clock_;
    std::function<void()> endProgram_;
    qtmv::lookups::PhraseTable phrases_;

    qtmv::daily::Toolbars toolbars_;
    qtmv::daily::RecordSide* recordSide_ = nullptr;
    qtmv::daily::PrintPage* printPage_ = nullptr;
    qtmv::daily::StatusClock* clockPanel_ = nullptr;

    bool firstActivation_ = true;
    bool registered_ = false;
    bool leaving_ = false;                 // the leave question was answered Yes
    bool databaseOpened_ = false;          // the database has opened once
};
