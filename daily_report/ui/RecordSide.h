#pragma once
// The record side of the daily report window (pic基本資料): the filter
// rows, one page per process kind (stacked, the kind in cbo種類 shown) and
// the details panel of the current row, with the operations on them: the
// kind switch, loading, the current row, saving, the manual write-back and
// the die lookup.
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "records/saving/Saving.h"
#include "daily_report/ui/WindowLogic.h"
#include "vendors/core/DownstreamVendor.h"

#include <QFrame>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QStackedWidget;

namespace qtmv::daily {

class DetailsPanel;
class ProcessPage;
class RecordFilters;

class RecordSide : public QFrame {
public:
    // What the record side asks of its window.
    struct Hooks {
        std::function<const Clock&()> clock;    // finish and die stamps
        std::function<void()> endProgram;       // the maintenance lock ends the program
        // After a kind switch or a load: the status text and whether the
        // shown grid has anything to save.
        std::function<void(const QString& status, bool canSave)> shown;
        // The cells of the shown grid flagged and not yet saved.
        std::function<void(int cells)> pendingChanged;
        // What the edited cell uses of its limit, or what a cut took off.
        std::function<void(const QString& hint)> editHint;
        // Why the database cannot be used ("" when it can; empty hook: it can).
        std::function<std::string()> databaseProblem;
        // A kind's page has just been built (its grid set up): the window
        // gives it the user's view settings.
        std::function<void(ProcessPage&)> pageBuilt;
        // The print options the downstream vendor window starts from, as
        // the stored code (vendors::optionsCode); empty hook: none ticked.
        std::function<std::string()> vendorPrintOptions;
        // The vendor window stored these options: the next one starts from them.
        std::function<void(const std::string& code)> vendorPrintOptionsStored;
        // An edit gesture in a grid: true when the session may only look
        // (the user has been told); empty hook: edits are allowed.
        std::function<bool()> editRefused;
    };

    RecordSide(QWidget* parent, Hooks hooks, std::string_view companyName);
    ~RecordSide() override;

    RecordFilters& filters() const { return *filters_; }
    DetailsPanel& details() const { return *details_; }
    QStackedWidget* stack() const { return stk製程; }
    // The kind's page, built when first asked for.
    ProcessPage& page(const ProcessKind& kind) const;
    // The pages built so far, in kind order.
    std::vector<ProcessPage*> builtPages() const;
    ProcessPage* currentPage() const;   // nullptr when no kind is chosen
    const ProcessKind* currentKind() const;

    // A load or save is running.
    bool busy() const { return busy_; }
    // The kind name of the grid last clicked ("印刷", "軋工", ...).
    const std::string& currentGridName() const { return currentGridName_; }
    // The pre-schedule number of the current record ("" when none).
    const std::string& currentRecordNo() const { return currentRecordNo_; }

    void kindChanged();
    void load();
    void save();
    // Saves the page's flagged cells; after a save nothing is pending there.
    SaveOutcome save(ProcessPage& page);
    // Flagged cells of the shown grid.
    int pendingCells() const;
    // Before the page's flagged cells would be thrown away: asks, and saves
    // on Yes. True when the caller may go on (saved, nothing pending, or
    // discarded on No).
    bool settlePending(ProcessPage& page);
    void writeBackCurrentRow();
    // The change history of the current row of the shown grid (its piece and
    // work-order line), in its window.
    void openHistory();
    void openDieHelper();
    void openBindingInstructions();   // for the current row of the binding grid
    // The time-consumption window for a record row of the page; a confirmed
    // result goes into the row's 耗時, 完工日 and 完工說明 cells, flagged.
    void openTimeWindow(ProcessPage& page, int row);
    // Opens the downstream vendor window (frm下游廠商_印刷 for printing) for
    // the row; a confirmed result goes into the row's vendor cells, flagged,
    // and options it stored go to vendorPrintOptionsStored.
    void openVendorWindow(ProcessPage& page, int row);
    // What the downstream vendor window is opened with for the row.
    vendors::VendorRequest vendorRequest(ProcessPage& page, int row) const;
    void finishEdits();

private:
    ProcessPage& buildPage(const ProcessKind& kind);
    SaveOutcome onLoadedRows(ProcessPage* page, const char* operation, const char* outcome,
                             const std::function<SaveOutcome(ProcessPage&, const GridRows&, SaveContext&)>& run);
    void kindChosen();
    // False, after saying why, when the database cannot be used.
    bool databaseReady() const;
    std::string databaseProblem() const { return hooks_.databaseProblem ? hooks_.databaseProblem() : std::string(); }
    void clearAllPages();
    void rowSelected(ProcessPage& page, int row, int col);
    void showDetails(ProcessPage& page, int row);
    void openDieLookup(ProcessPage& page, int row, int col);
    // The time and vendor windows open only on a usable database out of maintenance.
    bool mayOpenPieceWindow() const;
    // The pre-schedule record a piece window opens for the row.
    std::string recordNumberOf(ProcessPage& page, int row) const;

    Hooks hooks_;
    RecordFilters* filters_ = nullptr;
    QStackedWidget* stk製程 = nullptr;
    DetailsPanel* details_ = nullptr;
    std::string companyName_;               // selects the grid rules of a page built later
    std::array<std::unique_ptr<ProcessPage>, 14> pages_;   // null until first used
    std::string currentGridName_;
    std::string currentRecordNo_;
    bool busy_ = false;
    const ProcessKind* shownKind_ = nullptr;   // the kind whose page is shown
    int shownSort_ = 0;                        // the sort option of the last load
};

} // namespace qtmv::daily
