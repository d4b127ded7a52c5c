#include "Render.h"

#include "platform/files/AtomicFile.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygonF>

#include <algorithm>
#include <functional>

namespace qtmv::report {

namespace {

QRectF ToDevice(const QRectF& r, double k)
{
    return QRectF(r.left() * k, r.top() * k, r.width() * k, r.height() * k);
}

void DrawText(QPainter& painter, const PlacedText& t, double k)
{
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

void DrawMarker(QPainter& painter, Marker m, QPointF at, double r)
{
    switch (m) {
    case Marker::Circle: painter.drawEllipse(at, r, r); return;
    case Marker::Square: painter.drawRect(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r)); return;
    case Marker::Triangle:
        painter.drawPolygon(QPolygonF({at + QPointF(0, -r * 1.2), at + QPointF(r * 1.1, r * 0.8), at + QPointF(-r * 1.1, r * 0.8)}));
        return;
    case Marker::Diamond:
        painter.drawPolygon(QPolygonF({at + QPointF(0, -r * 1.3), at + QPointF(r * 1.3, 0), at + QPointF(0, r * 1.3), at + QPointF(-r * 1.3, 0)}));
        return;
    }
}

// A bar's fill: its colour, under its pattern when it has one; patterns
// are scaled so their hatching looks alike on a screen and at 600 dpi.
void FillBar(QPainter& painter, const PlacedSeries& s, const QRectF& r, double k)
{
    if (s.fill == Qt::SolidPattern) {
        painter.fillRect(r, s.colour);
        return;
    }
    painter.fillRect(r, s.colour.lighter(170));
    QBrush hatch(s.colour.darker(130), s.fill);
    const double scale = std::max(1.0, k / (96.0 / 25.4) * 1.5);
    hatch.setTransform(QTransform::fromScale(scale, scale));
    painter.fillRect(r, hatch);
}

void DrawChart(QPainter& painter, const PlacedChart& c, double k)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(200, 200, 200), 0.1 * k));
    for (const auto& l : c.grid)
        painter.drawLine(l.from * k, l.to * k);
    for (const PlacedBar& b : c.bars) {
        const QRectF r = ToDevice(b.rect, k);
        FillBar(painter, c.series[static_cast<std::size_t>(b.series)], r, k);
        painter.setPen(QPen(Qt::black, 0.15 * k));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
    }
    for (const auto& l : c.axes) {
        painter.setPen(QPen(Qt::black, l.penWidth * k));
        painter.drawLine(l.from * k, l.to * k);
    }
    if (c.zeroY) {
        painter.setPen(QPen(Qt::black, 0.35 * k));
        painter.drawLine(QPointF(c.plot.left(), *c.zeroY) * k, QPointF(c.plot.right(), *c.zeroY) * k);
    }
    for (const PlacedReference& r : c.references) {
        painter.setPen(QPen(Qt::black, r.line.penWidth * k, Qt::DashLine));
        painter.drawLine(r.line.from * k, r.line.to * k);
    }
    const double markerR = 0.8 * k;
    for (const PlacedPolyline& l : c.polylines) {
        const PlacedSeries& s = c.series[static_cast<std::size_t>(l.series)];
        for (const auto& run : l.runs) {
            QPolygonF poly;
            for (const QPointF& p : run)
                poly << p * k;
            painter.setPen(QPen(s.colour, 0.45 * k, s.dashes, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(poly);
            painter.setPen(QPen(s.colour, 0.25 * k));
            painter.setBrush(s.colour);
            for (const QPointF& p : poly)
                DrawMarker(painter, s.marker, p, markerR);
        }
    }
    for (const PlacedLegendEntry& e : c.legend) {
        const PlacedSeries& s = c.series[static_cast<std::size_t>(e.series)];
        const QRectF r = ToDevice(e.swatch, k);
        if (s.kind == SeriesKind::Bars) {
            FillBar(painter, s, r, k);
            painter.setPen(QPen(Qt::black, 0.15 * k));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
        } else {
            painter.setPen(QPen(s.colour, 0.45 * k, s.dashes));
            painter.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
            painter.setPen(QPen(s.colour, 0.25 * k));
            painter.setBrush(s.colour);
            DrawMarker(painter, s.marker, r.center(), markerR);
        }
    }
    // A reference's label stays legible over the bars and lines it crosses.
    for (const PlacedReference& r : c.references)
        if (const QRectF e = TextExtent(r.label); !e.isEmpty())
            painter.fillRect(ToDevice(e.adjusted(-0.5, 0, 0.5, 0), k), Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    for (const PlacedText& t : c.texts())
        DrawText(painter, t, k);
    painter.restore();
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
    for (const auto& c : p.charts)
        DrawChart(painter, c, k);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    for (const auto& t : p.texts)
        DrawText(painter, t, k);
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
