#pragma once
// 裝訂說明: the binding instructions of one work-order line of the binding
// kind (work order PO, line NO), opened modally from the binding grid of the
// daily report window. The user edits pages, sheets, folds, the binding
// method and the instructions (the PHRASE list "裝訂說明" offers phrases to
// insert), saves with "儲存" or F8 and prints the sheet with "列印".
//
// exec() refuses to open for a user without the right (WorkOrderRights
// position 9) or for a work order that does not exist; read-only users
// (position 13) see the fields locked; position 44 hides printing. Leaving
// with unsaved changes asks first. A save runs the maintenance check; a lock
// ends the program through the end-program action.
#include "daily_report/documents/BindingInstructions.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

class frm裝訂說明 : public QDialog {
public:
    frm裝訂說明(const std::string& po, int no, QWidget* parent = nullptr);

    // Checks the right to open and loads the line, then shows the window
    // modally; QDialog::Rejected without showing when it may not open.
    int exec() override;
    // What "end the program at once" does (maintenance lock); tests observe it.
    void setEndProgramAction(std::function<void()> action) { endProgram_ = std::move(action); }

    // "儲存", F8: true when the changes are stored.
    bool save();
    // "列印": asks for a printer and prints the sheet.
    void print();
    // Prints the sheet of what the window shows onto the printer.
    void printTo(QPrinter& printer) const;
    bool hasUnsavedChanges() const;
    const qtmv::daily::BindingRecord& record() const { return record_; }

    QLabel* lbl工單單號 = nullptr;
    QLabel* lbl客戶 = nullptr;
    QLabel* lbl品名 = nullptr;
    QLabel* lbl裝訂內容 = nullptr;
    QLineEdit* txt頁數 = nullptr;
    QLineEdit* txt台數 = nullptr;
    QLineEdit* txt折數 = nullptr;
    QLineEdit* txt裝訂方式 = nullptr;
    QPlainTextEdit* txt裝訂說明 = nullptr;
    QListWidget* lst片語 = nullptr;
    QPushButton* scmd儲存 = nullptr;
    QPushButton* scmd列印 = nullptr;
    QPushButton* scmd離開 = nullptr;
    QLabel* lbl狀態 = nullptr;

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool load();
    void showRecord();
    qtmv::daily::BindingFields typed() const;
    void insertPhrase(QListWidgetItem* item);
    void applyRights();

    std::string po_;
    int no_ = 0;
    qtmv::daily::BindingRecord record_;
    qtmv::daily::BindingRights rights_;
    std::function<void()> endProgram_;
    bool busy_ = false;
    bool leaving_ = false;
};
