#pragma once
// The main window's actions that reach beyond its grids: the work-order
// query that positions a grid, the hand-off of a work order to the suite's
// work-order program, and the die lookup.
#include <functional>
#include <string>

class QWidget;

namespace qtmv {
struct Session;
class SpreadGrid;
}

namespace qtmv::daily {

// Asks for a work-order number and puts the grid's current cell on its
// first record row (1..records), or says it is not there; then moves on as
// Enter would. grid may be nullptr (no kind chosen).
void QueryWorkOrder(QWidget* window, SpreadGrid* grid, int records);

// Writes the hand-off file for the work order (may be "") and the kind, and
// starts the work-order program; endProgram runs when the maintenance check
// ends the program. Refused without the work-order right or a kind.
void HandOffWorkOrder(Session& s, const std::string& kindText, const std::string& workOrder,
                      const std::function<void()>& endProgram);

// Opens the die lookup on the filter; the picked die code, "" when none.
std::string PickDie(QWidget* window, const std::string& filter);

} // namespace qtmv::daily
