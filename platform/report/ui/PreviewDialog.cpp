#include "PreviewDialog.h"

#include "platform/os/MessageBox.h"
#include "platform/report/Render.h"
#include "platform/report/ui/WorkProgress.h"
#include "platform/text/UserError.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace qtmv::report {

namespace {

constexpr double kScreenDpi = 96.0;

PreviewDialog::FailureReport& MakeFailureReport()
{
    static PreviewDialog::FailureReport report;
    return report;
}

PreviewDialog::PrintFileNamer& MakePrintFileNamer()
{
    static PreviewDialog::PrintFileNamer namer;
    return namer;
}

} // namespace

void PreviewDialog::setFailureReport(FailureReport report) { MakeFailureReport() = std::move(report); }

void PreviewDialog::setPrintFileNamer(PrintFileNamer namer) { MakePrintFileNamer() = std::move(namer); }

PreviewDialog::PreviewDialog(PageDocument doc, QWidget* parent) : QDialog(parent), doc_(std::move(doc))
{
    setWindowTitle(QStringLiteral("預覽列印"));
    setModal(true);
    auto* bar = new QHBoxLayout;
    auto button = [&](const QString& text, const char* name, auto fn) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);   // keys stay with the dialog
        connect(b, &QPushButton::clicked, this, fn);
        bar->addWidget(b);
    };
    button(QStringLiteral("列印"), "btnPrint", [this] { printWithDialog(); });
    button(QStringLiteral("第一頁"), "btnFirst", [this] { showPage(0); });
    button(QStringLiteral("上一頁"), "btnPrev", [this] { showPage(page_ - 1); });
    button(QStringLiteral("下一頁"), "btnNext", [this] { showPage(page_ + 1); });
    button(QStringLiteral("最後頁"), "btnLast", [this] { showPage(int(doc_.pages.size()) - 1); });
    button(QStringLiteral("放大"), "btnZoomIn", [this] { setZoom(zoom_ * 1.25); });
    button(QStringLiteral("縮小"), "btnZoomOut", [this] { setZoom(zoom_ / 1.25); });
    button(QStringLiteral("關閉"), "btnClose", [this] { reject(); });
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblPage"));
    bar->addWidget(status_);
    bar->addStretch();

    image_ = new QLabel;
    image_->setAlignment(Qt::AlignCenter);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(image_);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll_, 1);
    resize(900, 760);
    refresh();
}

void PreviewDialog::showPage(int page)
{
    const int last = std::max(0, int(doc_.pages.size()) - 1);
    page_ = std::clamp(page, 0, last);
    refresh();
}

void PreviewDialog::setZoom(double zoom)
{
    zoom_ = std::clamp(zoom, 0.25, 4.0);
    refresh();
}

void PreviewDialog::refresh()
{
    const QImage img = RenderPageImage(doc_, page_, kScreenDpi * zoom_);
    image_->setPixmap(QPixmap::fromImage(img));
    image_->resize(img.size());
    status_->setText(QStringLiteral("第 %1 頁 / 共 %2 頁  %3%")
                         .arg(page_ + 1)
                         .arg(doc_.pages.size())
                         .arg(qRound(zoom_ * 100)));
}

void PreviewDialog::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_PageDown: showPage(page_ + 1); return;
    case Qt::Key_PageUp: showPage(page_ - 1); return;
    case Qt::Key_Home: showPage(0); return;
    case Qt::Key_End: showPage(int(doc_.pages.size()) - 1); return;
    case Qt::Key_Plus:
    case Qt::Key_Equal: setZoom(zoom_ * 1.25); return;
    case Qt::Key_Minus: setZoom(zoom_ / 1.25); return;
    default: QDialog::keyPressEvent(e);
    }
}

void PreviewDialog::printWithDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(doc_.pageSize, QPageSize::Millimeter));
    printer.setFullPage(true);
    printer.setDocName(documentName_);
    if (MakePrintFileNamer()) {
        // The name fills the dialog's file field; the printer stays the
        // system's default (a file name alone would choose the PDF printer).
        // Without any printer, the PDF printer is the one there is.
        printer.setOutputFileName(MakePrintFileNamer()(documentName_));
        printer.setOutputFormat(QPrinter::NativeFormat);
    }
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, int(doc_.pages.size()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    int from = 0, to = int(doc_.pages.size()) - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage() - 1;
        to = std::min(to, printer.toPage() - 1);
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        from = to = page_;
    }
    WorkProgress watch(QStringLiteral("列印"), QStringLiteral("列印中…"), this);
    printReporting(printer, from, to, watch.progress());
}

bool PreviewDialog::printReporting(QPrinter& printer, int from, int to, const Progress& progress) const
{
    const std::string operation = "列印", outcome = "沒有列印。";
    auto report = [&](const std::exception& e) {
        if (MakeFailureReport())
            MakeFailureReport()(operation, e, outcome);
        else
            MsgBox(std::string(e.what()) + "\n" + outcome, operation, MsgIcon::Critical);
    };
    // An exception must not leave a button's handler.
    try {
        printTo(printer, from, to, progress);
        return true;
    } catch (const Cancelled&) {
        return false;
    } catch (const std::exception& e) {
        report(e);
    } catch (...) {
        report(std::runtime_error("non-standard exception"));
    }
    return false;
}

void PreviewDialog::printTo(QPrinter& printer, int from, int to, const Progress& progress) const
{
    const QString file = printer.outputFileName();
    if (!file.isEmpty()) {
        // Printing to a file: our own PDF of the pages, through a part file,
        // so that a failed write is told and never leaves a damaged file, and
        // a cancelled one leaves none.
        QString why;
        if (!WritePdf(doc_, file, &why, from, to, progress))
            throw FileError(("PDF檔 " + file + " 無法寫入：" + why + "。").toStdString());
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const double k = printer.resolution() / 25.4;
    const int pages = std::max(to - from + 1, 0);
    const auto goOn = [&](int done) { return !progress || progress(done, pages); };
    bool cancelled = !goOn(0);
    for (int p = from; p <= to && !cancelled; ++p) {
        if (p > from)
            printer.newPage();
        PaintPage(painter, doc_, p, k);
        cancelled = !goOn(p - from + 1);
    }
    if (cancelled)
        printer.abort();   // where it cannot, ending sends what was drawn
    painter.end();
    if (cancelled)
        throw Cancelled();
}

} // namespace qtmv::report
