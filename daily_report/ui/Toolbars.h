#pragma once
// The two toolbars of the daily report window. Toolbar buttons are QActions
// whose objectName and data are the button's key ("save", "refresh",
// "明細查詢", "print", "exit", "工單"); the print button carries the menu
// entry "單筆列印" (key "print1").
class QAction;
class QMainWindow;
class QToolBar;

namespace qtmv::daily {

struct Toolbars {
    QToolBar* Toolbar1 = nullptr;
    QToolBar* Toolbar2 = nullptr;
    QAction* actSave = nullptr;
    QAction* actRefresh = nullptr;
    QAction* actQuery = nullptr;
    QAction* actHistory = nullptr;     // "異動紀錄" of the current row, Ctrl+H
    QAction* actPrint = nullptr;
    QAction* actPrint1 = nullptr;
    QAction* actExit = nullptr;
    QAction* actWorkOrder = nullptr;   // Toolbar2 " 查工單 "
    QAction* actEntryView = nullptr;   // Toolbar2 "輸入檢視": only the columns a clerk fills (checkable)
    QAction* actLargeFont = nullptr;   // Toolbar2 "大字": a larger font in the grids (checkable)
};

// Adds both toolbars to the window.
Toolbars BuildToolbars(QMainWindow* window);

} // namespace qtmv::daily
