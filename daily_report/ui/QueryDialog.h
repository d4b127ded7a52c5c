#pragma once
// 工單查詢: asks for a work-order number; the main window then puts its grid
// on that work order. The number comes back in gQueryOrderNo, the
// confirmation in gReturned (HandOver.h).
#include <QDialog>

class QLineEdit;
class QPushButton;

class frm工務預排明細查詢 : public QDialog {
public:
    explicit frm工務預排明細查詢(QWidget* parent = nullptr);

    QLineEdit* txt訂單單號 = nullptr;
    QPushButton* scmd確定 = nullptr;
    QPushButton* scmd取消 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void confirm();
};
