#pragma once
// frm下游廠商 and its printing variant frm下游廠商_印刷: the downstream and
// upstream vendor of one scheduled piece, and its single-row outsourcing
// order.
//
// Opened modally from a process grid with a VendorRequest (the row's
// fields, its key and the print options to start from). A confirm stores
// the fields and the print options; vendorResult() then holds the fields to
// take into the row, whether they were stored, and the stored options code.
#include "vendors/core/DownstreamVendor.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frm下游廠商 : public QDialog {
public:
    frm下游廠商(const qtmv::vendors::VendorRequest& request, QWidget* parent);

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
    // What the window hands back (nothing returned until a confirm).
    const qtmv::vendors::VendorResult& vendorResult() const { return result_; }

protected:
    frm下游廠商(const qtmv::vendors::VendorRequest& request, QWidget* parent, bool printingVariant);
    // The window's values as the confirm and the print take them.
    qtmv::vendors::ConfirmInput input() const;

private:
    void buildUi(bool printingVariant);
    void load();
    void showFields(const qtmv::vendors::VendorFields& f);
    void takePick(bool downstream);

    const qtmv::vendors::VendorRequest request_;
    const qtmv::ProcessKind* kind_ = nullptr;
    qtmv::vendors::VendorFields fields_;   // as shown when the window opened
    qtmv::vendors::VendorResult result_;
};

class frm下游廠商_印刷 : public frm下游廠商 {
public:
    frm下游廠商_印刷(const qtmv::vendors::VendorRequest& request, QWidget* parent);
};
