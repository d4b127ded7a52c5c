#pragma once
// frm工務預排作業_耗時 ("耗時"): the time lines of one scheduled piece.
//
// Opened modally from a process grid with a TimeRequest (TimeEntry.h): the
// piece, its record number (a new record gets its TMP number when first
// saved) and what the row shows. A confirm saves and closes the window;
// timeResult() then says so, with the total time, the completion date, the
// completion remark ("完工數量: n" where the row's remark was empty or such
// a text, else the row's remark) and a TMP number the save took.
//
// The record's lock is released when the window closes and, through
// HoldRecordLock, before the program ends on the maintenance check. An
// administrator may take over a lock of another computer older than
// kLockTakeOverHours after a question.
//
// fml明細 columns: 製作 (machine name, as 印刷產能資料 holds it; F9 picks
// one in 廠商輔助畫面5), 開始, 結束, 耗時 (hours), 時分 (display), 完工數量,
// 不良數, 不良率 (none negative; the rate follows 不良數 / 完工數量 with one
// decimal, as the inspection window shows it), 經辦 (operator code), 經辦人員, 說明,
// 產值, 標準數量, 點數; hidden: 令數, 色數, 面數, 單價, 合計 (the figures of
// frm印刷產值, which fills 產值 for printing lines).
//
// Left with typed work (Esc, 回前畫面, the close button), it asks first
// (askBeforeLeaving, quality/ui/EntryGrid.h). Typed: the kept lines differ
// from those it loaded in a column the user or frm印刷產值 fills (not the
// figures worked out of them: 耗時, 時分, 標準數量, 點數), or 完工日期 or
// 完工數量 differ from what the window showed on opening. A read-only
// window has nothing it could save and closes without a question.
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "prescheduling/core/TimeEntry.h"
#include "quality/ui/EntryGrid.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QAction;

namespace qtmv {
class SpreadGrid;
struct Session;
}

class frm工務預排作業_耗時 : public QDialog {
public:
    enum Column {
        c製作 = 1, c開始, c結束, c耗時, c時分, c完工數量, c不良數, c不良率, c經辦, c經辦人員, c說明, c產值,
        c標準數量, c點數, c令數, c色數, c面數, c單價, c合計, kColumns = c合計
    };

    frm工務預排作業_耗時(const qtmv::presched::TimeRequest& request, QWidget* parent,
                       const qtmv::Clock& clock = qtmv::TheSystemClock());
    ~frm工務預排作業_耗時() override;

    QLabel* lbl標題 = nullptr;
    QLabel* lbl記錄 = nullptr;   // beside the toolbar: inspection lines / printing data exist
    QLineEdit* txt完工日期 = nullptr;
    QPushButton* cmd日期 = nullptr;
    QLineEdit* txt完工數量 = nullptr;
    QLineEdit* txt總耗時 = nullptr;
    QLabel* lbl時標準量 = nullptr;
    QLabel* lbl標準數量 = nullptr;
    QLabel* lbl實際數量 = nullptr;
    QLabel* lbl差異 = nullptr;
    QLabel* lbl點數 = nullptr;
    qtmv::SpreadGrid* fml明細 = nullptr;
    QPushButton* scmd確定 = nullptr;
    QPushButton* ssc回前畫面 = nullptr;
    QPushButton* scmd刪除 = nullptr;
    QPushButton* scmd輔助 = nullptr;
    QPushButton* scmd印刷數據 = nullptr;   // printing records only
    QAction* act品檢 = nullptr;

    // How a modal child (lookup, calendar) is shown; tests replace it.
    std::function<void(QDialog&)> runModal = [](QDialog& d) { d.exec(); };
    // Runs when the maintenance check finds a lock; empty: std::exit(0).
    std::function<void()> endProgram;

    // Settles the record, takes its lock and loads the lines (done on the
    // first show; callable directly).
    void start();
    bool readOnly() const { return readOnly_; }
    const std::string& recordNumber() const { return key_.number; }
    // What the window hands back; returned only after a confirmed save.
    const qtmv::presched::TimeResult& timeResult() const { return result_; }

    void confirm();         // scmd確定
    void deleteLine();      // scmd刪除
    void lookup();          // scmd輔助 / F9 on the active cell
    void pickDate();        // cmd日期
    void openInspection();   // toolbar 品檢: frm品檢 for the record's step
    void openPrintingData(); // scmd印刷數據: frm工單印刷數據 (printing)
    // frm印刷產值 for a line of a printing record (a click or Enter on 產值).
    void openValue(int row);
    // Whether the lines or the fields hold what the window did not load.
    bool typed() const;

    // Asks before typed work is thrown away; closes without it when told.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void buildUi();
    void setReadOnly(bool readOnly);
    void loadLines();
    bool lineEmpty(int row) const;
    bool startEdit(int row, int col);
    bool endEdit(int row, int col, QString& text);
    // Says why the entry is refused; the cell keeps its old text and the cursor.
    bool refuse(int row, int col, const std::string& message);
    void updateRate(int row);   // 不良率 of 不良數 and 完工數量
    void recompute();
    void lookupAt(int row, int col);
    std::vector<qtmv::presched::TimeLine> gridLines() const;
    qtmv::quality::KeptLines keptLines() const;   // the lines, then 完工日期 and 完工數量
    void holdLock(const std::string& lockId);
    void releaseOwnLock();

    const qtmv::presched::TimeRequest request_;
    qtmv::presched::TimeResult result_;
    const qtmv::Clock& clock_;
    qtmv::presched::RecordKey key_;
    std::string lockId_;
    int lockToken_ = 0;            // HoldRecordLock's token for lockId_
    bool started_ = false;
    bool readOnly_ = false;
    bool busy_ = false;
    std::string loadedDate_;       // the finish date the window opened with
    std::string previousTotal_;    // the piece's time consumed before this window
    bool quantityTyped_ = false;   // txt完工數量 follows the lines until the user types in it
    qtmv::presched::Capacities capacities_;
    qtmv::presched::RelatedRecords related_;   // what the indicator lbl記錄 shows
    qtmv::quality::KeptLines loaded_;          // KeptLinesOf() as the window opened
};
