#include "daily_report/ui/HistoryWindow.h"

#include "app/core/Session.h"
#include "common/Failure.h"
#include "printing/HistoryReport.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/ui/QtText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

constexpr const char* kTitle = "日報異動紀錄";

QPushButton* Button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frm日報異動紀錄::frm日報異動紀錄(const ProcessKind& kind, std::string id, long long ino, std::string po, long long no,
                           QWidget* parent)
    : QDialog(parent), kind_(kind), id_(std::move(id)), ino_(ino), po_(std::move(po)), no_(no)
{
    setObjectName(QStringLiteral("frm日報異動紀錄"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setModal(true);
    resize(900, 420);

    lbl對象 = new QLabel(U8(HistorySubject(kind_, id_, ino_, po_, no_)), this);
    lbl對象->setObjectName(QStringLiteral("lbl對象"));
    fml異動紀錄 = new QTableWidget(0, 8, this);
    fml異動紀錄->setObjectName(QStringLiteral("fml異動紀錄"));
    fml異動紀錄->setHorizontalHeaderLabels({QStringLiteral("時間"), QStringLiteral("使用者"), QStringLiteral("電腦"),
                                           QStringLiteral("確認單號-序"), QStringLiteral("工單-序"),
                                           QStringLiteral("欄位"), QStringLiteral("舊值"), QStringLiteral("新值")});
    fml異動紀錄->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fml異動紀錄->setSelectionBehavior(QAbstractItemView::SelectRows);
    fml異動紀錄->verticalHeader()->setVisible(false);
    fml異動紀錄->horizontalHeader()->setStretchLastSection(true);
    scmd列印 = Button(this, "scmd列印", "列印");
    ssc回前畫面 = Button(this, "ssc回前畫面", "回前畫面");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(scmd列印);
    buttons->addWidget(ssc回前畫面);
    auto* l = new QVBoxLayout(this);
    l->addWidget(lbl對象);
    l->addWidget(fml異動紀錄, 1);
    l->addLayout(buttons);

    QObject::connect(scmd列印, &QPushButton::clicked, this, [this] { Guarded(kTitle, [this] { print(); }); });
    QObject::connect(ssc回前畫面, &QPushButton::clicked, this, &QDialog::reject);
}

bool frm日報異動紀錄::load()
{
    try {
        entries_ = LoadHistory(CurrentSession(), kind_, id_, ino_, po_, no_);
    } catch (const std::exception& e) {
        ReportFailure(kTitle, e, "沒有顯示異動紀錄。");
        return false;
    }
    fml異動紀錄->setRowCount(static_cast<int>(entries_.size()));
    int r = 0;
    for (const HistoryEntry& e : entries_) {
        const std::string cells[] = {e.time, e.user, e.computer, e.id + "-" + std::to_string(e.ino),
                                     e.po + "-" + std::to_string(e.no), e.field, e.before, e.after};
        int c = 0;
        for (const std::string& text : cells)
            fml異動紀錄->setItem(r, c++, new QTableWidgetItem(U8(text)));
        ++r;
    }
    fml異動紀錄->resizeColumnsToContents();
    return true;
}

int frm日報異動紀錄::exec()
{
    if (!load())
        return QDialog::Rejected;
    return QDialog::exec();
}

void frm日報異動紀錄::print()
{
    report::PreviewDialog dlg(HistoryReport(HistorySubject(kind_, id_, ino_, po_, no_), entries_), this);
    dlg.setDocumentName(QStringLiteral("日報異動紀錄"));
    runModal(dlg);
}
