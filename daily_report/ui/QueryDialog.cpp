#include "daily_report/ui/QueryDialog.h"

#include "platform/text/Text.h"

#include "common/ui/KeyEventFilter.h"
#include "common/HandOver.h"
#include "daily_report/ui/WindowLogic.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frm工務預排明細查詢::frm工務預排明細查詢(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm工務預排明細查詢"));
    setWindowTitle(QStringLiteral("工單查詢"));
    setModal(true);

    auto* lbl = new QLabel(QStringLiteral("工單單號:"), this);
    lbl->setObjectName(QStringLiteral("lbl代號"));
    txt訂單單號 = new QLineEdit(this);
    txt訂單單號->setObjectName(QStringLiteral("txt訂單單號"));
    txt訂單單號->setMaxLength(20);
    txt訂單單號->setMinimumWidth(160);
    lbl->setBuddy(txt訂單單號);
    txt訂單單號->installEventFilter(this);
    // Work-order numbers are stored in capitals.
    qtmv::InstallKeyFilter(txt訂單單號, qtmv::KeyFilterMode::Upper);

    scmd確定 = new QPushButton(QStringLiteral(" 確 定"), this);
    scmd確定->setObjectName(QStringLiteral("scmd確定"));
    scmd取消 = new QPushButton(QStringLiteral("取 消"), this);
    scmd取消->setObjectName(QStringLiteral("scmd取消"));
    // Enter belongs to the number field (confirm) or moves on; no button
    // grabs it as the dialog's default.
    scmd確定->setAutoDefault(false);
    scmd取消->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(lbl);
    row->addWidget(txt訂單單號, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(scmd確定);
    buttons->addWidget(scmd取消);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    connect(scmd確定, &QPushButton::clicked, this, [this] { confirm(); });
    connect(scmd取消, &QPushButton::clicked, this, [this] { reject(); });

    qtmv::gReturned = false;
    txt訂單單號->setFocus();
}

void frm工務預排明細查詢::confirm()
{
    qtmv::gReturned = true;
    qtmv::gQueryOrderNo = qtmv::Trim(txt訂單單號->text().toStdString());
    accept();
}

bool frm工務預排明細查詢::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txt訂單單號 && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            confirm();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frm工務預排明細查詢::keyPressEvent(QKeyEvent* event)
{
    // Enter anywhere else moves on, like Tab.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}
