#pragma once
// The vendor lookups (vendors and the plant's own machines, rows of VENDER):
//  - 廠商輔助畫面1: the vendors of the caller's kind (gLookupKind), or of
//    every kind with a kind combo when the kind is "所有廠商"; the box
//    chk只秀設備 (machines only) when the caller's context is "設備".
//  - 廠商輔助畫面3: outsourcing vendors of one of ten kinds chosen in the
//    window; disabled vendors too; the caller's filter is not used.
//  - 廠商輔助畫面5: the vendors of the caller's kind and every machine.
// gPick: 0 code, 1 short name, 2 rate, 3 telephone, 4 contact, 5 fax,
// 6 memo, 7 address, 8 payment terms (window 1 only).
#include "lookups/ui/LookupWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;

class frm廠商輔助畫面1 : public qtmv::lookups::LookupWindow {
public:
    explicit frm廠商輔助畫面1(QWidget* parent = nullptr);

    QLabel* lbl種類 = nullptr;
    QComboBox* cbo種類 = nullptr;       // shown for "所有廠商": empty entry, then A..N
    QCheckBox* chk只秀設備 = nullptr;   // shown for the context "設備"

protected:
    qtmv::lookups::LookupQuery query() const override;
    void firstActivation() override;

private:
    bool allVendors_ = false;
};

class frm廠商輔助畫面3 : public qtmv::lookups::LookupWindow {
public:
    explicit frm廠商輔助畫面3(QWidget* parent = nullptr);

    QComboBox* cbo種類 = nullptr;       // the ten outsourcing kinds

protected:
    qtmv::lookups::LookupQuery query() const override;
    void firstActivation() override;
};

class frm廠商輔助畫面5 : public qtmv::lookups::LookupWindow {
public:
    explicit frm廠商輔助畫面5(QWidget* parent = nullptr);

protected:
    qtmv::lookups::LookupQuery query() const override;
};
