#pragma once
// 刀模輔助視窗: picks a die of the die register (刀模管理資料) for the
// die-cutting grid. Filters: part of the die code (the box starts with
// gLookupFilter, the grid cell's text), part of the product name or code,
// the customer (客戶輔助視窗 picks one) and the salesperson (業務員輔助視窗);
// void dies only when 含作廢 is ticked, and picking one asks first.
// A pick fills gPick (0 the die code, then the other listed columns, see
// kDieHeadings) and sets gReturned; Esc closes with gReturned false and
// gPick empty.
#include "lookups/ui/LookupWindow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frm刀模輔助視窗 : public qtmv::lookups::LookupWindow {
public:
    explicit frm刀模輔助視窗(QWidget* parent = nullptr);

    qtmv::SpreadGrid* fml刀模 = nullptr;   // the list (MSHFlexGrid1)
    QLineEdit* txt品名 = nullptr;
    QLineEdit* txt客戶代號 = nullptr;
    QPushButton* scmd客戶 = nullptr;
    QLabel* lbl客戶簡稱 = nullptr;
    QLineEdit* txt業務員代號 = nullptr;
    QPushButton* scmd業務員 = nullptr;
    QLabel* lbl業務員 = nullptr;
    QCheckBox* chk含作廢 = nullptr;

    // Opens the customer or salesperson lookup and filters by its pick.
    void chooseCustomer();
    void chooseSalesperson();

protected:
    qtmv::lookups::LookupQuery query() const override;
    bool acceptPick(int row) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Enter in a code box: a known code shows its name and filters; an
    // unknown text opens the lookup with it as the lookup's filter.
    void codeEntered(QLineEdit* box, QLabel* name, bool customer);
    // Runs a nested lookup; its pick (code, name) goes to the box.
    template <class Lookup>
    void choose(QLineEdit* box, QLabel* name);
};
