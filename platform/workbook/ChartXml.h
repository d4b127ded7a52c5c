#pragma once
// The plot area of a chart as DrawingML: the bar and line groups on the
// primary and secondary axes, and the axes. libxlsxwriter 1.1 draws neither
// a secondary axis nor bars and lines in one chart, so the workbook writes
// this part of each chart itself (Workbook.cpp says how).
#include "platform/workbook/Workbook.h"

#include <string>

namespace qtmv::xlsx {

// <c:plotArea>…</c:plotArea> for chart. The series refer to their cells by
// formula and carry no cached values: Excel and LibreOffice read the cells.
std::string PlotAreaXml(const Chart& chart);

// text with &, <, > and " as XML entities.
std::string XmlEscaped(const std::string& text);

} // namespace qtmv::xlsx
