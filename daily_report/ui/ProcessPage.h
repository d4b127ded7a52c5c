#pragma once
// One process kind's page of the main window: its frame (fra<kind>) and grid
// (fml<kind>), the records loaded into it and their change flags, and the
// editing rules wired to the grid's events. The rules themselves are
// decisions of records/saving/EditRules.h; a page only carries them out
// on its grid.
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "records/core/ChangeFlags.h"
#include "records/core/GridLayout.h"
#include "records/core/GridLoader.h"
#include "records/core/LoadedTexts.h"
#include "records/saving/EditRules.h"

#include <QMetaObject>

#include <functional>
#include <string>
#include <vector>

class QFrame;
class QString;
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
        std::function<void()> flagsChanged;                  // a cell was flagged or unflagged
        // What the edited cell uses of its byte limit, or what a cut took
        // off; "" clears it.
        std::function<void(const QString&)> editHint;
        // Every edit gesture in the grid (typing, Delete, a stamp, a lookup
        // into a cell, opening the cell editor) asks this first: true when
        // the session may only look, after telling the user. Empty: allowed.
        std::function<bool()> editRefused;
    };

    ProcessPage(const ProcessKind& kind, QWidget* parent);
    ~ProcessPage();
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
    // Cells changed by the window (a stamp, a lookup, a window's result):
    // written and flagged as one step that Ctrl+Z takes back.
    void changeCells(int row, const std::vector<CellChange>& changes);
    // Cells another window has already stored in the database (the time and
    // vendor windows save on 確 定): shown as stored, that is neither flagged
    // nor undoable, and the old values of the next change history.
    void takeStored(int row, const std::vector<CellChange>& stored);
    // The cells flagged and not yet saved.
    int pendingCells() const { return flags_.flaggedCount(); }
    // The entry view (only the columns a clerk fills) or the full layout;
    // column numbers stay the same either way.
    void setEntryView(bool on);
    bool entryView() const { return entryView_; }
    // Widens the columns whose heading the grid's font no longer shows
    // whole (after a font change); a width the user dragged stays.
    void fitHeadings();

    // After a save: nothing is pending, nothing to take back.
    void clearFlags();
    // Takes back the last change (texts and flags); false when there is none.
    bool undo();

    // No records, no flags, no highlight.
    void clear();
    // The loaded records; an empty load leaves one empty, disabled row.
    void show(GridRows rows);
    // A stable copy of the loaded records (the grid's empty rows beyond them
    // are not records).
    GridRows loadedRows() const;
    // The records as the last load gave them, or as the last save wrote
    // them: the old values of the change history.
    const LoadedTexts& loadedValues() const { return loaded_; }
    void keepAsLoaded(const GridRows& rows) { loaded_ = LoadedTexts(rows); }

    // The row the details panel shows (0: none).
    int detailsRow = 0;

private:
    void wire();
    // The edit gate: true when the gesture is refused (and the user told).
    bool editRefused() const { return hooks_.editRefused && hooks_.editRefused(); }
    // A cell's text and flag before a change, restored by undo; the cells
    // of one change share a step number.
    struct UndoEntry {
        int step = 0;
        int row = 0;
        int col = 0;
        std::string text;
        std::string flag;
    };
    void remember(int row, int col);
    void beginEditStep(int row, int col);
    void endEditStep(int row, int col, const std::string& text);
    void setFlag(int row, int col, const std::string& flag);
    void trackEditor(int row, int col);

    const ProcessKind& kind_;
    const GridLayout& layout_;
    QFrame* frame_;
    SpreadGrid* grid_;
    Hooks hooks_;
    ChangeFlags flags_;
    int records_ = 0;
    LoadedTexts loaded_;
    std::vector<UndoEntry> undo_;
    int undoStep_ = 0;
    bool editStepOpen_ = false;   // the step of the cell being typed into is taken
    int editStepRow_ = 0;
    int editStepCol_ = 0;
    bool lengthHintShown_ = false;
    bool entryView_ = false;
    std::vector<bool> baseHidden_;   // hidden in the full layout (site rules), by column - 1
    std::vector<int> designedWidth_; // the layout's width (site rules), by column - 1
    std::vector<int> fittedWidth_;   // the width fitHeadings gave, by column - 1
    // The open editor's ties to the page, cut when the page goes first.
    QMetaObject::Connection editorText_;
    QMetaObject::Connection editorGone_;
};

} // namespace qtmv::daily
