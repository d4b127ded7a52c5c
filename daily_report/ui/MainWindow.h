#pragma once
// 日報登錄作業: the main window of the daily report program. One grid per
// process kind, stacked; the kind chosen in cbo種類 is shown, loaded with
// "確 定", edited in place and saved with F8 or "儲存".
//
// Control arrays of the suite's forms are single widgets named
// "<array>_<index>" (opt排序方式_0 .. opt排序方式_5, Timer1_0, Timer1_1,
// txt列印範圍_0 ..) that also carry their index in the dynamic property
// "index". Toolbar buttons are QActions whose objectName and data are the
// button's key ("save", "refresh", "明細查詢", "print", "exit", "工單").
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "daily_report/core/ChangeFlags.h"
#include "daily_report/core/GridLoader.h"
#include "daily_report/ui/WindowLogic.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QStatusBar;
class QTimer;
class QToolBar;

namespace qtmv {
class SpreadGrid;
namespace daily {
struct SaveContext;
}
}

class frm日報登錄作業_工單 : public QMainWindow {
public:
    frm日報登錄作業_工單();
    ~frm日報登錄作業_工單() override;

    // --- What tests and the windows opened from here use --------------------
    qtmv::SpreadGrid* grid(const qtmv::ProcessKind& kind) const;
    // The grid of the kind in cbo種類; nullptr when no kind is chosen.
    qtmv::SpreadGrid* currentGrid() const;
    const qtmv::ProcessKind* currentKind() const;
    std::string kindText() const;
    // Records loaded into the kind's grid by the last load (0: none).
    int loadedRecords(const qtmv::ProcessKind& kind) const;
    const qtmv::daily::ChangeFlags& changeFlags(const qtmv::ProcessKind& kind) const;
    // The kind name of the grid last clicked ("印刷", "軋工", ...).
    const std::string& currentGridName() const { return currentGridName_; }
    // The pre-schedule number of the current record ("" when none).
    const std::string& currentRecordNo() const { return currentRecordNo_; }
    const qtmv::daily::PhraseTable& phrases() const { return phrases_; }

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

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Building (MainWindowBuild.cpp).
    void buildToolbars();
    void buildRecordSide(QWidget* parent);
    QWidget* buildFilterRows(QWidget* parent);
    QWidget* buildDetailsPanel(QWidget* parent);
    void buildPrintPage(QWidget* parent);
    void buildStatusBar();

    // Lifecycle.
    void formLoad();
    void formActivate();
    void formUnload();
    void setUpGrids();

    // Handlers.
    void kindChanged();
    void toolbar1Click(QAction* action);
    void runToolbarAction(const QString& key);
    void clockTick();
    void flashTick();
    void endProgram();
    void openDieHelper();
    void writeBackCurrentRow();
    void withLoadedRows(const std::function<void(const qtmv::ProcessKind&, std::size_t,
                                                 const qtmv::daily::GridRows&,
                                                 qtmv::daily::SaveContext&)>& operation);

    // Grids (MainWindowGrids.cpp).
    void wireGrid(int index);
    void clearAllGrids();
    void clearDetails();
    void showDetails(int index, int row);
    void rowSelected(int index, int row, int col);
    bool isRecordRow(int index, int row) const;
    void flagCell(int index, int row, int col);
    void finishAllEdits();
    void openDieLookup(int index, int row, int col);

    // --- Controls ------------------------------------------------------------
public:
    QToolBar* Toolbar1 = nullptr;
    QToolBar* Toolbar2 = nullptr;
    QAction* actSave = nullptr;
    QAction* actRefresh = nullptr;
    QAction* actQuery = nullptr;
    QAction* actPrint = nullptr;
    QAction* actPrint1 = nullptr;      // menu entry "單筆列印"
    QAction* actExit = nullptr;
    QAction* actWorkOrder = nullptr;   // Toolbar2 " 查工單 "

    QFrame* pic基本資料 = nullptr;     // the record side
    QComboBox* cbo種類 = nullptr;
    QComboBox* cbo車別 = nullptr;
    QLineEdit* txt機別 = nullptr;
    QLineEdit* txt預排單號 = nullptr;
    QLineEdit* txt預排日期 = nullptr;
    QGroupBox* fra排序方式 = nullptr;
    std::array<QRadioButton*, 6> opt排序方式{};
    QPushButton* scmd顯示資料 = nullptr;
    QFrame* pic回存工單 = nullptr;
    QPushButton* scmd回存工單 = nullptr;
    QPushButton* scmd刀模輔助 = nullptr;
    QPushButton* scmd裝訂說明 = nullptr;

    QLineEdit* txt廠商代號 = nullptr;
    QLabel* lbl廠商簡稱 = nullptr;
    QPushButton* scmd廠商代號 = nullptr;
    QLineEdit* txt廠商代號1 = nullptr;
    QLabel* lbl廠商簡稱1 = nullptr;
    QPushButton* scmd廠商代號1 = nullptr;

    QStackedWidget* stk製程 = nullptr;
    std::array<QFrame*, 14> fra{};             // fra印前 .. fra其他
    std::array<qtmv::SpreadGrid*, 14> fml{};   // fml印前 .. fml其他

    // Quantity-calculation basis beside the printing, varnishing, mounting
    // and paper grids.
    QFrame* pic印刷_選 = nullptr;
    QFrame* pic上光_選 = nullptr;
    QFrame* pic裱紙_選 = nullptr;
    QFrame* pic紙品_選_數量 = nullptr;
    QFrame* pic紙品_選_單價 = nullptr;

    // Details panel of the current row.
    QFrame* pic明細 = nullptr;
    QFrame* pic明細1 = nullptr;
    QFrame* pic用紙 = nullptr;
    QFrame* pic急件 = nullptr;
    QLabel* lbl客戶 = nullptr;
    QLabel* lbl品名 = nullptr;
    QLabel* lbl日期 = nullptr;
    QLabel* lbl交貨日 = nullptr;
    QLabel* lbl預定完工日 = nullptr;
    QLabel* lbl備註 = nullptr;
    QLabel* lbl備註1 = nullptr;
    QLabel* lbl包裝 = nullptr;
    QLabel* lbl包裝1 = nullptr;
    QLabel* lbl紙到 = nullptr;
    QLabel* lbl紙到1 = nullptr;
    QLabel* lbl版到 = nullptr;
    QLabel* lbl版到1 = nullptr;
    QLabel* lbl下游廠商 = nullptr;
    QLabel* lbl用紙 = nullptr;
    QLabel* lbl急件 = nullptr;
    QLabel* lbl廠商 = nullptr;
    QLabel* lbl電話 = nullptr;
    QLabel* lbl說明 = nullptr;
    QLabel* lbl說明1 = nullptr;

    // Print page (shown by the print functions).
    QFrame* pic列印 = nullptr;
    QComboBox* cbo種類列印 = nullptr;
    QCheckBox* chk預排表印金額 = nullptr;

    QStatusBar* StatusBar1 = nullptr;
    QFrame* pic系統時間 = nullptr;
    QLabel* lbl系統時間 = nullptr;
    QLabel* lblDatabasePath = nullptr; // the database file in use, full path
    std::array<QTimer*, 2> Timer1{};

private:
    const qtmv::Clock* clock_;
    std::function<void()> endProgram_;
    qtmv::daily::PhraseTable phrases_;
    qtmv::daily::ClockFlash flash_;

    std::array<qtmv::daily::ChangeFlags, 14> flags_;
    std::array<int, 14> records_{};        // loaded records per grid
    std::array<int, 14> detailsRow_{};     // row the details panel shows
    std::string currentGridName_;
    std::string currentRecordNo_;
    int saveIndicator_ = 0;                // > 0 while the loaded grid can be saved

    bool firstActivation_ = true;
    bool registered_ = false;
    bool leaving_ = false;                 // the leave question was answered Yes
    bool busy_ = false;                    // a load or save is running
};
