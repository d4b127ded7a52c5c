#include "production_export/ui/ExcelWindows.h"

#include "printing/ExportWindows.h"

#include "app/core/Session.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/BusyScope.h"
#include "platform/ui/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qtmv::production {

namespace {

QString rangeText(Export e, const daily::printing::PrintParams& p)
{
    const std::string kind = p.kind.empty() ? "全部" : p.kind;
    return u8(exportTitle(e) + "\n種類：" + kind + "　完成日期：" + p.completionDateFrom + " " + p.completionTimeFrom
              + " ～ " + p.completionDateTo + " " + p.completionTimeTo + "\n工單單號：" + p.workOrderFrom + " ～ "
              + p.workOrderTo);
}

} // namespace

ExcelExportWindow::ExcelExportWindow(Export e, const daily::printing::PrintParams& p, const std::string& key,
                                     const Session& s, const Clock& clock, QWidget* parent)
    : QDialog(parent), export_(e), params_(p), key_(key), connectionString_(s.ConnectionString),
      path_(excelPath(s.ExcelFolder, s.ExcelExtension, e, clock.now()))
{
    setModal(true);
    setWindowTitle(QStringLiteral("轉Excel"));
    auto* layout = new QVBoxLayout(this);
    lbl說明 = new QLabel(rangeText(e, p), this);
    lbl說明->setObjectName(QStringLiteral("lbl說明"));
    layout->addWidget(lbl說明);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("檔案："), this));
    txt檔案 = new QLineEdit(u8(path_), this);
    txt檔案->setObjectName(QStringLiteral("txt檔案"));
    txt檔案->setReadOnly(true);
    txt檔案->setMinimumWidth(420);
    fileRow->addWidget(txt檔案, 1);
    layout->addLayout(fileRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmd轉Excel = new QPushButton(QStringLiteral("轉Excel"), this);
    cmd轉Excel->setObjectName(QStringLiteral("cmd轉Excel"));
    cmd轉Excel->setDefault(true);
    cmd取消 = new QPushButton(QStringLiteral("取消"), this);
    cmd取消->setObjectName(QStringLiteral("cmd取消"));
    buttons->addWidget(cmd轉Excel);
    buttons->addWidget(cmd取消);
    layout->addLayout(buttons);
    connect(cmd轉Excel, &QPushButton::clicked, this, [this] { write(); });
    connect(cmd取消, &QPushButton::clicked, this, &QDialog::reject);
    cmd轉Excel->setFocus();
}

void ExcelExportWindow::write()
{
    bool done = false;
    {
        BusyScope busy(this, busy_);
        if (!busy.entered())
            return;
        done = Guarded(
            "轉Excel", [this] { exportAnalysis(export_, params_, key_, connectionString_, path_); },
            "Excel檔沒有寫入。");
    }
    if (!done)
        return; // the window stays open: the user may cancel or try again
    written_ = true;
    MsgBox("轉Excel成功", "訊息", MsgIcon::Information);
    accept();
}

frm產值分析明細轉Excel::frm產值分析明細轉Excel(int choice, const daily::printing::PrintParams& p, const std::string& key,
                                       const Session& s, const Clock& clock, QWidget* parent)
    : ExcelExportWindow(exportOfChoice(choice == 2 ? 2 : 1), p, key, s, clock, parent)
{
    setObjectName(QString::fromUtf8(daily::printing::kValueExcelWindow));
}

frm生產明細表轉Excel::frm生產明細表轉Excel(const daily::printing::PrintParams& p, const Session& s, const Clock& clock,
                                     QWidget* parent)
    : ExcelExportWindow(Export::ProductionDetail, p, {}, s, clock, parent)
{
    setObjectName(QString::fromUtf8(daily::printing::kDetailExcelWindow));
}

} // namespace qtmv::production
