#pragma once
// The shared design of the modal pick lists (vendors, salespeople,
// customers, dies): a filter box, a search button, a read-only list and a
// status bar. The window that opens a lookup sets the hand-over variables
// (common/HandOver.h), shows it modally and reads the picked row from gPick.
//
// - Load: gPick is emptied, so a lookup closed without a pick reports
//   nothing; the window places itself beside its caller (Placement.h).
// - First activation: the window's starting filter, then the fill. The
//   filter box selects its whole text whenever it gets the focus.
// - Enter in the filter box or the search button: gLookupFilter takes the
//   trimmed box and the list is filled again; the row number that was
//   current stays current when the new list is long enough, else the last.
// - Enter, a right click or a double click on a row: every column of that
//   row, hidden ones included, goes to gPick(0) .. and the window closes.
//   The heading row and the empty space below the rows pick nothing.
// - Esc anywhere closes without a pick.
// - Each wheel notch over the list scrolls it by three rows.
// - A failing fill reports the failure and leaves the list as it was.
//
// A Chinese-named window class cannot carry Q_OBJECT (moc), so neither does
// this base: handlers are connected with lambdas.
#include "lookups/core/LookupRows.h"

#include <QDialog>

#include <span>
#include <string>
#include <string_view>
#include <vector>

class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace qtmv {
class SpreadGrid;
}

namespace qtmv::lookups {

class LookupWindow : public QDialog {
public:
    ~LookupWindow() override;

    QLineEdit* txt篩選 = nullptr;
    QPushButton* scmd確定 = nullptr;
    qtmv::SpreadGrid* MSHFlexGrid1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // gLookupFilter from the box, then the fill.
    void search();
    // Runs the window's statement and shows its rows.
    void fill();
    // The number of rows listed (the heading row not counted).
    int listedRows() const { return listed_; }
    // Picks the row (1-based) when it is listed: gPick takes its columns.
    void pick(int row);

protected:
    struct Design {
        const char* objectName;
        const char* caption;
        std::span<const int> widthsTwips;          // per column; 0 hides
        std::span<const std::string_view> skipped; // callers looked past when placing
        bool emptyFilterOnFallback = true;         // the filter box is emptied when the filter found nothing
        const char* nothingFound = "找不到符合的資料。";
    };
    LookupWindow(QWidget* parent, const Design& design);

    // The statements for the current filter (gLookupFilter is set).
    virtual LookupQuery query() const = 0;
    // First activation, before the first fill: fill combo boxes, put the
    // starting filter into the box.
    virtual void firstActivation();
    // After gPick has the row, before the window closes; false keeps the
    // window open (the row is not taken).
    virtual bool acceptPick(int row);

    // The row of controls above the list, for a window's own controls.
    QHBoxLayout* filterRow() const { return filterRow_; }
    QBoxLayout* mainLayout() const { return mainLayout_; }
    bool activated() const { return activated_; }
    // Gives the list keyboard focus on its current row.
    void focusList();
    // The caption in front of the filter box ("篩選:" unless changed).
    void setFilterCaption(const QString& caption);
    // Whether a filter that found nothing is taken out of the box when the
    // whole list is shown instead.
    void setEmptyFilterOnFallback(bool empty) { design_.emptyFilterOnFallback = empty; }

    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void place();
    void showRows(LookupRows rows);
    void scrollByNotches(int notches);

    Design design_;
    QLabel* lbl篩選_ = nullptr;
    QHBoxLayout* filterRow_ = nullptr;
    QBoxLayout* mainLayout_ = nullptr;
    std::vector<std::string> headings_;
    int listed_ = 0;
    bool activated_ = false;
    bool placed_ = false;
    int wheelRemainder_ = 0;
};

} // namespace qtmv::lookups
