#pragma once
// The salesperson and customer lookups:
//  - 業務員輔助視窗1: employees with their production-staff contact
//    (gPick: 0 code, 1 name, 2 工務人員代號, 3 工務人員);
//  - 業務員輔助視窗: employees, code and name;
//  - 客戶輔助視窗: customers with their salesperson (gPick: 0 code, 1 short
//    name, 2 salesperson code, 3 salesperson, 4 telephone, 5 tax rate,
//    6 PAYDATE, 7 delivery address, 8 contact, 9 tax number, 10 fax,
//    11 ADD1, 12 不附回郵, 13 full name).
// The employee lookups list the delivery staff when gLookupStaffGroup is not
// empty, everybody else otherwise; nobody who has left.
#include "lookups/ui/LookupWindow.h"

class frm業務員輔助視窗1 : public qtmv::lookups::LookupWindow {
public:
    explicit frm業務員輔助視窗1(QWidget* parent = nullptr);

protected:
    qtmv::lookups::LookupQuery query() const override;
};

class frm業務員輔助視窗 : public qtmv::lookups::LookupWindow {
public:
    explicit frm業務員輔助視窗(QWidget* parent = nullptr);

protected:
    qtmv::lookups::LookupQuery query() const override;
};

class frm客戶輔助視窗 : public qtmv::lookups::LookupWindow {
public:
    explicit frm客戶輔助視窗(QWidget* parent = nullptr);

protected:
    qtmv::lookups::LookupQuery query() const override;
};
