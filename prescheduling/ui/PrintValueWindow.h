#pragma once
// frm印刷產值 ("印刷產值"): the output value of one printing line, opened
// from the 產值 cell of the time window.
//
// Opened with the line's stored figures (PrintValueRequest, TimeEntry.h);
// reams default to the quantity / 500 only when the line has none, sides to
// one. After 確定 valueResult() holds the value and the figures as the
// line's cells take them. The formula is the help text shown in the window
// (TimeMath.h).
#include "prescheduling/core/TimeEntry.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frm印刷產值 : public QDialog {
public:
    explicit frm印刷產值(const qtmv::presched::PrintValueRequest& request, QWidget* parent = nullptr);

    QLineEdit* txt完工數量 = nullptr;
    QLineEdit* txt令數 = nullptr;
    QLineEdit* txt色數 = nullptr;
    QLineEdit* txt面數 = nullptr;
    QLineEdit* txt單價 = nullptr;
    QLabel* lbl合計 = nullptr;
    QLabel* lbl說明 = nullptr;
    QPushButton* scmd確定 = nullptr;
    QPushButton* ssc回前畫面 = nullptr;

    void confirm();
    const qtmv::presched::PrintValueResult& valueResult() const { return result_; }

private:
    void recompute();
    bool figures(double& reams, double& colours, double& sides, double& price) const;

    qtmv::presched::PrintValueResult result_;
};
