#include "Render.h"

#include "platform/files/AtomicFile.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <functional>

namespace qtmv::report {

namespace {

QRectF ToDevice(const QRectF& r, double k)
{
    return QRectF(r.left() * k, r.top() * k, r.width() * k, r.height() * k);
}

} // namespace

void PaintPage(QPainter& painter, const PageDocument& doc, int page, double k)
{
    if (page < 0 || static_cast<std::size_t>(page) >= doc.pages.size())
        return;
    const Page& p = doc.pages[static_cast<std::size_t>(page)];
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const auto& l : p.lines) {
        painter.setPen(QPen(Qt::black, l.penWidth * k));
        painter.drawLine(l.from * k, l.to * k);
    }
    for (const auto& b : p.boxes) {
        painter.setPen(QPen(Qt::black, b.penWidth * k));
        painter.drawRect(ToDevice(b.rect, k));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const auto& bc : p.barcodes)
        for (const auto& bar : bc.bars)
            painter.drawRect(ToDevice(bar, k));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    for (const auto& t : p.texts) {
        painter.setFont(ToQFont(t.font));
        const QRectF r = ToDevice(t.rect, k);
        if (t.clip) {
            painter.save();
            painter.setClipRect(r);
            painter.drawText(r, TextFlags(t), t.text);
            painter.restore();
        } else {
            painter.drawText(r, TextFlags(t) | Qt::TextDontClip, t.text);
        }
    }
    painter.restore();
}

QByteArray PdfBytes(const PageDocument& doc, int from, int to, const Progress& progress)
{
    const int last = static_cast<int>(doc.pages.size()) - 1;
    if (to < 0 || to > last)
        to = last;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(doc.pageSize, QPageSize::Millimeter),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        const double k = writer.resolution() / 25.4;
        from = std::max(from, 0);
        const int pages = std::max(to - from + 1, 0);
        const auto advance = [&](int done) {
            if (progress && !progress(done, pages))
                throw Cancelled();   // the writer and its buffer go with the stack
        };
        advance(0);
        for (int i = from; i <= to; ++i) {
            if (i > from)
                writer.newPage();
            PaintPage(painter, doc, i, k);
            advance(i - from + 1);
        }
        if (!painter.end())
            return {};
    }
    return buffer.data();
}

namespace {

// bytes (made once the target is found replaceable) written to path through
// a part file.
bool WriteFile(const QString& path, const std::function<QByteArray()>& bytes, QString* why)
{
    try {
        files::AtomicFile file(QFile::encodeName(path).toStdString());
        const QByteArray b = bytes();
        if (b.isEmpty())
            throw files::OutputError("無法產生檔案內容");
        file.write(std::string_view(b.constData(), static_cast<std::size_t>(b.size())));
        file.commit();
        return true;
    } catch (const files::OutputError& e) {
        if (why)
            *why = QString::fromStdString(e.what());
        return false;
    }
}

} // namespace

bool WritePdf(const PageDocument& doc, const QString& path, QString* why, int from, int to, const Progress& progress)
{
    // A cancel leaves through the part file's owner, which removes it.
    return WriteFile(path, [&] { return PdfBytes(doc, from, to, progress); }, why);
}

bool WritePng(const PageDocument& doc, int page, double dpi, const QString& path, QString* why)
{
    return WriteFile(path, [&] { return PngBytes(doc, page, dpi); }, why);
}

QImage RenderPageImage(const PageDocument& doc, int page, double dpi)
{
    const double k = dpi / 25.4;
    QImage img(qRound(doc.pageSize.width() * k), qRound(doc.pageSize.height() * k),
               QImage::Format_RGB32);
    const int dpm = qRound(dpi / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintPage(painter, doc, page, k);
    return img;
}

QByteArray PngBytes(const PageDocument& doc, int page, double dpi)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!RenderPageImage(doc, page, dpi).save(&buffer, "PNG"))
        return {};
    return buffer.data();
}

} // namespace qtmv::report
