#pragma once
// frm品檢: the inspection lines of one process step of a work order.
//
// Opened modally from the time-consumption window for its record's kind,
// work order and process sequence. A step
// without lines starts from its kind's phrases. result() tells the caller
// whether a save stored the record and whether lines were kept.
//
// fml明細 columns: 主要檢查項目, 檢查標準, 權責單位, 檢驗數量, 不良數量,
// 不良率 (computed), 判定 ("OK"/"NG", proposed from the kind's acceptable
// defect rate, see Inspection.h).
//
// Left with typed lines (Esc, 回前畫面, the close button), it asks first
// (askBeforeLeaving, EntryGrid.h). Typed: the kept lines differ from those
// it showed on opening, the kind's phrases for a step without lines (a line
// added, changed or deleted, or phrases imported over other lines).
#include "common/Clock.h"
#include "quality/core/Inspection.h"
#include "quality/ui/EntryGrid.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace qtmv {
class SpreadGrid;
}

class frm品檢 : public QDialog {
public:
    enum Column { c主要檢查項目 = 1, c檢查標準, c權責單位, c檢驗數量, c不良數量, c不良率, c判定, kColumns = c判定 };

    frm品檢(QWidget* caller, qtmv::quality::InspectionKey key, const qtmv::Clock& clock = qtmv::TheSystemClock());
    ~frm品檢() override;

    QLabel* lbl製程 = nullptr;
    QLabel* lbl單號 = nullptr;
    QLabel* lbl單號序 = nullptr;
    qtmv::SpreadGrid* fml明細 = nullptr;
    QPushButton* scmd確定 = nullptr;
    QPushButton* ssc回前畫面 = nullptr;
    QPushButton* scmd匯入片語 = nullptr;
    QPushButton* scmd輔助 = nullptr;
    QPushButton* scmd刪除 = nullptr;

    // Runs when the maintenance check finds a lock; empty: std::exit(0).
    std::function<void()> endProgram;

    // What the window hands back: a save stored the record (`saved`),
    // keeping lines (`hasLines`).
    struct Result {
        bool saved = false;
        bool hasLines = false;
    };
    const Result& result() const { return result_; }

    // Loads the lines, or the phrases when there are none (done on the first
    // show; callable directly).
    void start();
    void importPhrases();   // scmd匯入片語: asks first
    void confirm();         // scmd確定
    void deleteLine();      // scmd刪除
    void lookup();          // scmd輔助 / F9: the active text cell's phrase list
    // Whether the grid holds lines it did not show on opening or save.
    bool typed() const;

    // Asks before typed lines are thrown away; closes without them when told.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    Result result_;
    void buildUi();
    void showLines(const std::vector<qtmv::quality::InspectionLine>& lines);
    bool lineEmpty(int row) const;
    bool endEdit(int row, int col, QString& text);
    void updateRate(int row);
    qtmv::quality::InspectionLine gridLine(int row) const;
    std::vector<qtmv::quality::InspectionLine> gridLines() const;
    qtmv::quality::KeptLines keptLines() const;
    void warnIfContradicting(const std::vector<int>& rows);

    qtmv::quality::InspectionKey key_;
    const qtmv::Clock& clock_;
    bool started_ = false;
    std::optional<double> acceptable_;
    // Per row: the verdict proposed by the rule ("" when the cell is the user's).
    std::vector<std::string> proposed_;
    // The record as stored when loaded (or as last saved or found changed).
    qtmv::quality::StoredRecord stored_;
    // The lines as shown on opening or last saved.
    qtmv::quality::KeptLines loaded_;
};
