#pragma once
// frm印刷產值 ("印刷產值"): the output value of one printing line, opened
// from the 產值 cell of the time window.
//
// In: gPick 0 the line's completed quantity (sheets), 1 reams, 2 colours,
// 3 sides, 4 price per ream-colour (the line's stored figures; reams
// default to the quantity / 500 only when the line has none). Out, after
// 確定: gReturned and gPick 0 the value, 1 reams, 2 colours, 3 sides, 4 the
// price. The formula is the help text shown in the window (TimeMath.h).
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frm印刷產值 : public QDialog {
public:
    explicit frm印刷產值(QWidget* parent = nullptr);

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

private:
    void recompute();
    bool figures(double& reams, double& colours, double& sides, double& price) const;
};
