#include "production_export/ui/ExcelWindows.h"

#include "printing/ExportWindows.h"

#include "app/core/Session.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/BusyScope.h"
#include "platform/text/Text.h"
#include "platform/ui/QtText.h"
#include "reports/AnalysisLayout.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qtmv::production {

namespace {

// One end of the completion range: its date, with the time where the time
// narrows the day; empty where the end is open.
QString CompletionEnd(const std::string& date, const std::string& time, const char* openDate, const char* openTime)
{
    const std::string d = Trim(date), t = Trim(time);
    if (d.empty() || d == openDate)
        return QString();
    QString text = reports::SlashedDate(d);
    if (t.size() == 4 && t != openTime)
        text += U8(" " + t.substr(0, 2) + ":" + t.substr(2));
    return text;
}

// What the window exports, its ranges as the user reads them: an open end
// is said to be open, not shown as the stand-in that opens it.
QString RangeTextOf(Export e, const daily::printing::PrintParams& p)
{
    const std::string kind = p.kind.empty() ? "全部" : p.kind;
    const std::string poTo = Trim(p.workOrderTo);
    return U8(ExportTitle(e) + "\n種類：" + kind + "　完成日期：")
           + reports::RangeText(CompletionEnd(p.completionDateFrom, p.completionTimeFrom, "0000000", "0000"),
                                CompletionEnd(p.completionDateTo, p.completionTimeTo, "9999999", "9999"))
           + U8("\n工單單號：")
           + reports::RangeText(U8(Trim(p.workOrderFrom)), poTo == "zzzzzzzzz" ? QString() : U8(poTo));
}

// The full path, as the user finds the file again.
std::string FullPath(const std::string& path)
{
    return QFileInfo(U8(path)).absoluteFilePath().toStdString();
}

} // namespace

ExcelExportWindow::ExcelExportWindow(Export e, const daily::printing::PrintParams& p, const std::string& key,
                                     const Session& s, const Clock& clock, QWidget* parent)
    : QDialog(parent), export_(e), params_(p), key_(key), connectionString_(s.ConnectionString),
      folder_(s.ExcelFolder), extension_(s.ExcelExtension), clock_(clock),
      path_(ExcelPath(folder_, extension_, e, clock.now()))
{
    setModal(true);
    setWindowTitle(QStringLiteral("轉Excel"));
    auto* layout = new QVBoxLayout(this);
    lbl說明 = new QLabel(RangeTextOf(e, p), this);
    lbl說明->setObjectName(QStringLiteral("lbl說明"));
    layout->addWidget(lbl說明);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("檔案："), this));
    txt檔案 = new QLineEdit(U8(path_), this);
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
        // A file that has come to the name since the window opened (another
        // export this minute) stays: the workbook takes the next free name,
        // and one that appears while it is written is not replaced either.
        if (QFileInfo::exists(U8(path_)) || QFileInfo(U8(path_)).isSymLink()) {
            path_ = ExcelPath(folder_, extension_, export_, clock_.now());
            txt檔案->setText(U8(path_));
        }
        done = Guarded(
            "轉Excel",
            [this] {
                ExportAnalysis(export_, params_, key_, connectionString_, path_, true,
                               xlsx::Workbook::Existing::Refuse);
            },
            "Excel檔沒有寫入。");
    }
    if (!done)
        return; // the window stays open: the user may cancel or try again
    written_ = true;
    MsgBox("轉Excel成功\n檔案：" + FullPath(path_), "訊息", MsgIcon::Information);
    accept();
}

} // namespace qtmv::production

frm產值分析明細轉Excel::frm產值分析明細轉Excel(int choice, const qtmv::daily::printing::PrintParams& p, const std::string& key,
                                       const qtmv::Session& s, const qtmv::Clock& clock, QWidget* parent)
    : ExcelExportWindow(qtmv::production::ExportOfChoice(choice == 2 ? 2 : 1), p, key, s, clock, parent)
{
    setObjectName(QString::fromUtf8(qtmv::daily::printing::kValueExcelWindow));
}

frm生產明細表轉Excel::frm生產明細表轉Excel(const qtmv::daily::printing::PrintParams& p, const qtmv::Session& s, const qtmv::Clock& clock,
                                     QWidget* parent)
    : ExcelExportWindow(qtmv::production::Export::ProductionDetail, p, {}, s, clock, parent)
{
    setObjectName(QString::fromUtf8(qtmv::daily::printing::kDetailExcelWindow));
}
