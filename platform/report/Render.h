#pragma once
// Drawing a page document: onto any QPainter (printer, preview), into a PDF
// file, or into an image of one page. QtGui only.
#include "Report.h"

#include <QImage>
#include <QString>

class QPainter;

namespace qtmv::report {

// Draws page `page` with the painter's origin at the paper's top-left corner,
// `pxPerMm` device pixels per millimetre. Fonts keep their point sizes on the
// painter's device.
void paintPage(QPainter& painter, const PageDocument& doc, int page, double pxPerMm);

// Writes every page into a PDF file of the document's page size; false when
// the file cannot be written.
bool writePdf(const PageDocument& doc, const QString& path);

// Page `page` on white at `dpi` dots per inch.
QImage renderPageImage(const PageDocument& doc, int page, double dpi = 96.0);

} // namespace qtmv::report
