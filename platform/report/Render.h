#pragma once
// Drawing a page document: onto any QPainter (printer, preview), into a PDF
// file, or into an image of one page. QtGui only.
#include "Report.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class QPainter;

namespace qtmv::report {

// Draws page `page` with the painter's origin at the paper's top-left corner,
// `pxPerMm` device pixels per millimetre. Fonts keep their point sizes on the
// painter's device.
void PaintPage(QPainter& painter, const PageDocument& doc, int page, double pxPerMm);

// Pages from..to (0-based; to < 0 means the last) as the bytes of a PDF file
// of the document's page size; empty when they cannot be drawn. `progress`
// follows the pages drawn; Cancelled is thrown when it answers false.
QByteArray PdfBytes(const PageDocument& doc, int from = 0, int to = -1, const Progress& progress = {});

// Writes pages from..to (every page by default) into a PDF file of the
// document's page size, through a part file renamed only when complete: on
// any failure the file at path is as it was. False when the file cannot be
// written, the reason in *why. Cancelled, by `progress` answering false
// while the pages are drawn, is thrown with the file as it was too.
bool WritePdf(const PageDocument& doc, const QString& path, QString* why = nullptr, int from = 0, int to = -1,
              const Progress& progress = {});

// Page `page` on white at `dpi` dots per inch.
QImage RenderPageImage(const PageDocument& doc, int page, double dpi = 96.0);
// The same as the bytes of a PNG file; empty when it cannot be encoded.
QByteArray PngBytes(const PageDocument& doc, int page, double dpi = 96.0);
// Writes that PNG file as writePdf writes its file.
bool WritePng(const PageDocument& doc, int page, double dpi, const QString& path, QString* why = nullptr);

} // namespace qtmv::report
