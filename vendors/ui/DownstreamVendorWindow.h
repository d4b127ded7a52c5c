#pragma once
// frm下游廠商 and its printing variant frm下游廠商_印刷: the downstream and
// upstream vendor of one scheduled piece, and its single-row outsourcing
// order.
//
// Opened modally from a process grid. In: gDownstream (the row's fields),
// gPick 0 work order, 1 process sequence ([NO]), 2 the row's 順序, 3 the
// row's own pre-schedule number (when empty: the caller's txt預排單號, so
// the record is the row's whatever the filter box holds). Read from the
// caller by name: cbo種類, txt預排單號, the property "Sstr_操作模式"
// ("新增" while a record is being added), the check boxes
// chk單筆不印客戶/品名/金額 (this window's starting options),
// chk單筆不印業務員, chk單筆不印公司名稱, chk預排表不印金額. After a
// confirm gReturned is set and gDownstream holds the values; a direct save
// also sets the caller's property "Sstr_系統預設_列印" and gSaveMark "S".
#include "vendors/core/DownstreamVendor.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qtmv::vendors {
// Puts stored print options (the SYSDB code) on the main window: its
// property "Sstr_系統預設_列印" and its check boxes chk單筆不印公司名稱,
// chk單筆不印業務員, chk預排表不印金額, chk單筆不印客戶, chk單筆不印品名 and
// chk單筆不印金額, which the window starts from the next time.
void applyPrintOptions(QWidget* mainWindow, const std::string& code);
// Reads the stored code and applies it; nothing when there is none.
void loadPrintOptions(QWidget* mainWindow);
} // namespace qtmv::vendors

class frm下游廠商 : public QDialog {
public:
    explicit frm下游廠商(QWidget* caller);

    QLineEdit* txt工單單號 = nullptr;
    QLineEdit* txt序 = nullptr;
    QLineEdit* txt順序 = nullptr;
    QLineEdit* txt廠商代號 = nullptr;
    QLabel* lbl廠商簡稱 = nullptr;
    QLineEdit* txt地址 = nullptr;
    QLineEdit* txt電話 = nullptr;
    QLineEdit* txt注意事項 = nullptr;
    QLineEdit* txt廠商代號1 = nullptr;
    QLabel* lbl廠商簡稱1 = nullptr;
    QLabel* lbl收件人 = nullptr;
    QLineEdit* txt收件人 = nullptr;
    QCheckBox* chk以張印 = nullptr;
    QCheckBox* chk不印客戶 = nullptr;
    QCheckBox* chk不印品名 = nullptr;
    QCheckBox* chk不印金額 = nullptr;
    QPushButton* scmd確定 = nullptr;
    QPushButton* ssc回前畫面 = nullptr;
    QPushButton* scmd列印 = nullptr;
    QPushButton* scmd列印1 = nullptr;
    QPushButton* scmd廠商代號 = nullptr;
    QPushButton* scmd廠商代號1 = nullptr;
    QLineEdit* txt用紙令數 = nullptr;   // the printing variant only
    QLineEdit* txt用紙張數 = nullptr;

    // How a modal child (lookup, preview) is shown; tests replace it.
    std::function<void(QDialog&)> runModal = [](QDialog& d) { d.exec(); };
    // Runs when the maintenance check finds a lock; empty: std::exit(0).
    std::function<void()> endProgram;

    void enterCode(bool downstream);   // Enter in txt廠商代號 / txt廠商代號1
    void lookUpCode(bool downstream);  // scmd廠商代號 / scmd廠商代號1
    void confirm();                    // scmd確定
    void print();                      // scmd列印

    const qtmv::ProcessKind& kind() const { return *kind_; }

protected:
    frm下游廠商(QWidget* caller, bool printingVariant);
    // The window's values as the confirm and the print take them.
    qtmv::vendors::ConfirmInput input() const;

private:
    void buildUi(bool printingVariant);
    void load();
    void showFields(const qtmv::vendors::VendorFields& f);
    void takePick(bool downstream);

    QWidget* caller_;
    const qtmv::ProcessKind* kind_ = nullptr;
    bool adding_ = false;
    std::string rowNumber_;
    qtmv::vendors::MainPrintOptions mainOptions_;
    qtmv::vendors::VendorFields fields_;
};

class frm下游廠商_印刷 : public frm下游廠商 {
public:
    explicit frm下游廠商_印刷(QWidget* caller);
};
