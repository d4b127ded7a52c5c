#pragma once
// One process kind's page of the main window: its frame (fra<kind>) and grid
// (fml<kind>), the records loaded into it and their change flags, and the
// editing rules wired to the grid's events. The rules themselves are
// decisions of daily_report/saving/EditRules.h; a page only carries them out
// on its grid.
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "daily_report/core/ChangeFlags.h"
#include "daily_report/core/GridLayout.h"
#include "daily_report/core/GridLoader.h"
#include "daily_report/saving/EditRules.h"

#include <functional>
#include <string>

class QFrame;
class QWidget;

namespace qtmv {
class SpreadGrid;
}

namespace qtmv::daily {

class ProcessPage {
public:
    // What the page asks of the window.
    struct Hooks {
        std::function<const Clock&()> clock;                 // finish stamps
        std::function<void(int row, int col)> rowSelected;   // the current cell moved
        std::function<void(int row, int col)> openDieLookup; // F9 in "刀模代號"
        // A click (or F9) on a cell that opens a window ("耗時", "單筆").
        std::function<void(int row, CellWindow window)> openCellWindow;
        std::function<void()> pressed;                       // a mouse press in the grid
    };

    ProcessPage(const ProcessKind& kind, QWidget* parent);
    ProcessPage(const ProcessPage&) = delete;
    ProcessPage& operator=(const ProcessPage&) = delete;

    // Columns, widths, alignment and the editing hooks. companyName selects
    // the installation's own grid rules.
    void setUp(Hooks hooks, std::string_view companyName);

    const ProcessKind& kind() const { return kind_; }
    const GridLayout& layout() const { return layout_; }
    QFrame* frame() const { return frame_; }
    SpreadGrid* grid() const { return grid_; }

    int records() const { return records_; }
    const ChangeFlags& flags() const { return flags_; }
    bool isRecordRow(int row) const { return row >= 1 && row <= records_; }
    void flagCell(int row, int col);

    // No records, no flags, no highlight.
    void clear();
    // The loaded records; an empty load leaves one empty, disabled row.
    void show(GridRows rows);
    // A stable copy of the loaded records (the grid's empty rows beyond them
    // are not records).
    GridRows loadedRows() const;
    // The records as the last load gave them, or as the last save wrote
    // them: the old values of the change history.
    const GridRows& loadedValues() const { return loaded_; }
    void keepAsLoaded(GridRows rows) { loaded_ = std::move(rows); }

    // The row the details panel shows (0: none).
    int detailsRow = 0;

private:
    void wire();

    const ProcessKind& kind_;
    const GridLayout& layout_;
    QFrame* frame_;
    SpreadGrid* grid_;
    Hooks hooks_;
    ChangeFlags flags_;
    int records_ = 0;
    GridRows loaded_;
};

} // namespace qtmv::daily
