#include "platform/workbook/ChartXml.h"

#include <vector>

namespace qtmv::xlsx {

namespace {

// Axis ids: the primary category and value axes, then the secondary pair
// (whose category axis is hidden; the primary one labels both).
constexpr int kCat = 50010001, kVal = 50010002, kCat2 = 50010003, kVal2 = 50010004;

std::string Val(const char* element, const std::string& value)
{
    return "<c:" + std::string(element) + " val=\"" + value + "\"/>";
}

std::string Title(const std::string& text, bool vertical)
{
    if (text.empty())
        return {};
    return "<c:title><c:tx><c:rich><a:bodyPr" + std::string(vertical ? " rot=\"-5400000\" vert=\"horz\"" : "")
           + "/><a:lstStyle/><a:p><a:pPr><a:defRPr/></a:pPr><a:r><a:t>" + XmlEscaped(text)
           + "</a:t></a:r></a:p></c:rich></c:tx><c:overlay val=\"0\"/></c:title>";
}

std::string NumFmt(const std::string& format)
{
    // Without a format of its own an axis shows its cells' format.
    return format.empty() ? "<c:numFmt formatCode=\"General\" sourceLinked=\"1\"/>"
                          : "<c:numFmt formatCode=\"" + XmlEscaped(format) + "\" sourceLinked=\"0\"/>";
}

std::string Series(const ChartSeries& s, std::size_t index)
{
    const bool line = s.kind == ChartSeries::Kind::Line;
    std::string x = "<c:ser>" + Val("idx", std::to_string(index)) + Val("order", std::to_string(index));
    if (!s.name.empty())
        x += "<c:tx><c:v>" + XmlEscaped(s.name) + "</c:v></c:tx>";
    x += line ? "<c:marker><c:symbol val=\"circle\"/><c:size val=\"6\"/></c:marker>" : Val("invertIfNegative", "0");
    x += "<c:cat><c:strRef><c:f>" + XmlEscaped(Workbook::RangeFormula(s.categories)) + "</c:f></c:strRef></c:cat>";
    x += "<c:val><c:numRef><c:f>" + XmlEscaped(Workbook::RangeFormula(s.values)) + "</c:f></c:numRef></c:val>";
    if (line)
        x += Val("smooth", "0");
    return x + "</c:ser>";
}

// The bars, then the line, of the series on one pair of axes.
std::string Groups(const Chart& chart, bool secondary)
{
    std::string x;
    for (const auto kind : {ChartSeries::Kind::Column, ChartSeries::Kind::Line}) {
        std::string series;
        for (std::size_t i = 0; i < chart.series.size(); ++i)
            if (chart.series[i].kind == kind && chart.series[i].secondaryAxis == secondary)
                series += Series(chart.series[i], i);
        if (series.empty())
            continue;
        const std::string axes = Val("axId", std::to_string(secondary ? kCat2 : kCat))
                                 + Val("axId", std::to_string(secondary ? kVal2 : kVal));
        if (kind == ChartSeries::Kind::Column)
            x += "<c:barChart>" + Val("barDir", "col") + Val("grouping", "clustered") + Val("varyColors", "0") + series
                 + Val("gapWidth", "150") + axes + "</c:barChart>";
        else
            x += "<c:lineChart>" + Val("grouping", "standard") + Val("varyColors", "0") + series + Val("marker", "1")
                 + axes + "</c:lineChart>";
    }
    return x;
}

std::string CategoryAxis(int id, int cross, const ChartAxis& axis, bool hidden)
{
    return "<c:catAx>" + Val("axId", std::to_string(id)) + "<c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
           + Val("delete", hidden ? "1" : "0") + Val("axPos", "b") + Title(axis.title, false)
           + NumFmt(axis.numberFormat)
           + Val("majorTickMark", "out") + Val("minorTickMark", "none") + Val("tickLblPos", "nextTo")
           + Val("crossAx", std::to_string(cross)) + Val("crosses", "autoZero") + Val("auto", "1")
           + Val("lblAlgn", "ctr") + Val("lblOffset", "100") + "</c:catAx>";
}

std::string ValueAxis(int id, int cross, const ChartAxis& axis, bool right)
{
    return "<c:valAx>" + Val("axId", std::to_string(id)) + "<c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
           + Val("delete", "0") + Val("axPos", right ? "r" : "l") + (right ? "" : "<c:majorGridlines/>")
           + Title(axis.title, true) + NumFmt(axis.numberFormat) + Val("majorTickMark", "out")
           + Val("minorTickMark", "none") + Val("tickLblPos", "nextTo") + Val("crossAx", std::to_string(cross))
           // The secondary axis crosses its (hidden) category axis at the
           // far end: it stands on the right.
           + Val("crosses", right ? "max" : "autoZero") + Val("crossBetween", "between") + "</c:valAx>";
}

} // namespace

std::string XmlEscaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string PlotAreaXml(const Chart& chart)
{
    bool secondary = false;
    for (const ChartSeries& s : chart.series)
        secondary = secondary || s.secondaryAxis;
    std::string x = "<c:plotArea><c:layout/>" + Groups(chart, false);
    if (secondary)
        x += Groups(chart, true);
    x += CategoryAxis(kCat, kVal, chart.categoryAxis, false) + ValueAxis(kVal, kCat, chart.valueAxis, false);
    if (secondary)
        x += ValueAxis(kVal2, kCat2, chart.secondaryAxis, true) + CategoryAxis(kCat2, kVal2, {}, true);
    return x + "</c:plotArea>";
}

} // namespace qtmv::xlsx
