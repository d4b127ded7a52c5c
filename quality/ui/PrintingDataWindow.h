#pragma once
// frm工單印刷數據: the colour data of one printing step of a work order.
//
// Opened modally from the time-consumption window with the printing step
// (work order, process sequence, kind) and whether the caller knows of
// lines there; hasLines() is set from the record's lines when it loads and
// when it is saved.
//
// fml明細 columns: 色號, 油墨1 .. 油墨7 (the ink phrases as a list), L, A, B,
// △ (CIEDE2000 to the colour number's target when not typed, see
// PrintingData.h), 濃度, 記錄員代號, 記錄員 (found by code or name, else
// the employee lookup), 印刷日期.
//
// Left with typed lines (Esc, 回前畫面, the close button), it asks first
// (askBeforeLeaving, EntryGrid.h). Typed: the kept lines, every column,
// differ from those it loaded (a line added, changed or deleted).
//
// A line out of its colour number's tolerances (ColourTolerance.h) is shown
// as such as its values are typed: the line coloured light red and
// the words in sbr狀態. It is stored all the same; as the window closes it
// tells how many of the stored lines are out.
#include "common/Clock.h"
#include "quality/core/PrintingData.h"
#include "quality/ui/EntryGrid.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QStatusBar;

namespace qtmv {
class SpreadGrid;
}

class frm工單印刷數據 : public QDialog {
public:
    enum Column {
        c色號 = 1, c油墨1, c油墨7 = c油墨1 + 6, cL, cA, cB, c色差, c濃度, c記錄員代號, c記錄員, c印刷日期,
        kColumns = c印刷日期
    };

    frm工單印刷數據(QWidget* caller, qtmv::quality::PrintingKey key, bool hasLines,
                  const qtmv::Clock& clock = qtmv::TheSystemClock());
    ~frm工單印刷數據() override;

    QLabel* lbl單號 = nullptr;
    QLabel* lbl紙品 = nullptr;
    qtmv::SpreadGrid* fml明細 = nullptr;
    QPushButton* scmd確定 = nullptr;
    QPushButton* ssc回前畫面 = nullptr;
    QPushButton* scmd刪除 = nullptr;
    QPushButton* scmd輔助 = nullptr;
    QPushButton* scmd印刷數據明細表 = nullptr;
    QStatusBar* sbr狀態 = nullptr;

    // How a modal child (employee lookup, listing) is shown; tests replace it.
    std::function<void(QDialog&)> runModal = [](QDialog& d) { d.exec(); };
    // Whether the step has printing data, as last loaded or saved.
    bool hasLines() const { return hasLines_; }
    // Runs when the maintenance check finds a lock; empty: std::exit(0).
    std::function<void()> endProgram;

    void start();              // on the first show; callable directly
    void confirm();            // scmd確定
    void deleteLine();         // scmd刪除
    void lookup();             // scmd輔助 / F9 in 記錄員: the employee lookup
    void openListing();        // scmd印刷數據明細表
    const qtmv::quality::PrintingKey& key() const { return key_; }
    // Whether the grid holds lines it did not load or save.
    bool typed() const;

    // Asks before typed lines are thrown away; closes without them when told.
    void reject() override;
    // Tells how many stored lines are out of tolerance, then closes.
    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void buildUi();
    bool lineEmpty(int row) const;
    bool endEdit(int row, int col, QString& text);
    void lookupRecorder(int row, const std::string& filter);
    void updateDifference(int row);
    void updateTolerance(int row, bool tell);
    qtmv::quality::PrintingLine line(int row) const;
    qtmv::quality::KeptLines keptLines() const;

    const qtmv::Clock& clock_;
    qtmv::quality::PrintingKey key_;
    bool hasLines_ = false;
    bool started_ = false;
    qtmv::quality::ColourTargets targets_;
    // Per row: the △ this window computed ("" when the cell is the user's).
    std::vector<std::string> computed_;
    // The record as stored when loaded (or as last saved or found changed).
    qtmv::quality::StoredRecord stored_;
    // The lines as loaded or last saved.
    qtmv::quality::KeptLines loaded_;
    std::vector<qtmv::quality::PrintingLine> storedLines_;
};
