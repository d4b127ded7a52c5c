#include "daily_report/ui/DieLookup.h"

#include "app/core/Session.h"
#include "common/ui/KeyEventFilter.h"
#include "daily_report/ui/HandOver.h"
#include "daily_report/ui/WindowLogic.h"
#include "platform/jet/Error.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/GridHelpers.h"
#include "platform/ui/SpreadGrid.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

frm刀模輔助視窗::frm刀模輔助視窗(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm刀模輔助視窗"));
    setWindowTitle(QStringLiteral("刀模輔助視窗"));
    setModal(true);
    resize(760, 460);

    txt篩選 = new QLineEdit(this);
    txt篩選->setObjectName(QStringLiteral("txt篩選"));
    txt篩選->setMaxLength(30);
    auto* lbl = new QLabel(QStringLiteral("刀模代號/品名/客戶:"), this);
    lbl->setBuddy(txt篩選);
    qtmv::InstallKeyFilter(txt篩選, qtmv::KeyFilterMode::Upper);
    scmd確定 = new QPushButton(QStringLiteral("查 詢"), this);
    scmd確定->setObjectName(QStringLiteral("scmd確定"));
    scmd確定->setAutoDefault(false);

    fml刀模 = new qtmv::SpreadGrid(this);
    fml刀模->setObjectName(QStringLiteral("fml刀模"));
    fml刀模->setAccessibleGridName(QStringLiteral("刀模清單"));
    std::vector<qtmv::GridColumnSpec> columns;
    const int widths[] = {110, 90, 50, 90, 180, 90, 70, 160};
    for (std::size_t i = 0; i < qtmv::daily::kDieLookupHeadings.size(); ++i)
        columns.push_back({std::string(qtmv::daily::kDieLookupHeadings[i]), widths[i], false});
    qtmv::SetupGrid(*fml刀模, 1, columns);

    auto* top = new QHBoxLayout;
    top->addWidget(lbl);
    top->addWidget(txt篩選, 1);
    top->addWidget(scmd確定);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(fml刀模, 1);
    auto* hint = new QLabel(QStringLiteral("Enter 或連按兩下選取，Esc 離開"), this);
    v->addWidget(hint);

    connect(scmd確定, &QPushButton::clicked, this, [this] { fill(); });
    connect(fml刀模, &qtmv::SpreadGrid::cellDoubleClicked, this, [this](int row, int) { pick(row); });
    txt篩選->installEventFilter(this);
    fml刀模->tableView()->installEventFilter(this);

    qtmv::gReturned = false;
    qtmv::clearPick();
    txt篩選->setText(QString::fromStdString(qtmv::gLookupFilter));
    fill();
}

void frm刀模輔助視窗::fill()
{
    std::vector<std::vector<std::string>> rows;
    try {
        rows = qtmv::daily::loadDies(qtmv::session().ConnectionString, txt篩選->text().toStdString());
    } catch (const jet::Error& e) {
        qtmv::MsgBox(e.description(), "刀模輔助視窗", qtmv::MsgIcon::Critical);
    }
    rows_ = static_cast<int>(rows.size());
    qtmv::CopyRowsToGrid(*fml刀模, std::move(rows));
    qtmv::EnableGrid(*fml刀模, rows_ > 0);
    if (rows_ > 0) {
        fml刀模->setActiveCell(1, 1);
        fml刀模->setFocus();
    }
}

void frm刀模輔助視窗::pick(int row)
{
    if (row < 1 || row > rows_)
        return;
    qtmv::clearPick();
    const auto texts = fml刀模->rowTexts(row);
    for (std::size_t i = 0; i < texts.size() && i < qtmv::kPickSize; ++i)
        qtmv::gPick[i] = texts[i];
    qtmv::gReturned = true;
    accept();
}

bool frm刀模輔助視窗::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == txt篩選)
                fill();
            else
                pick(fml刀模->activeRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
