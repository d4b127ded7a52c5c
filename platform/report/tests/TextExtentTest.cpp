// Which texts of a page run into each other, measured at the texts' fonts.
#include "platform/report/Render.h"
#include "platform/report/Report.h"
#include "platform/ui/tests/TestApp.h"

#include <QFontMetricsF>
#include <QImage>

#include <gtest/gtest.h>

using namespace qtmv::report;

// The text's width in its font, in mm, measured at 1200 dpi as the printer
// lays it out (ReportLayoutTest.cpp uses it too).
double WidthMm(const PlacedText& t)
{
    QImage dev(1, 1, QImage::Format_Mono);
    dev.setDotsPerMeterX(qRound(1200 / 0.0254));
    dev.setDotsPerMeterY(qRound(1200 / 0.0254));
    return QFontMetricsF(ToQFont(t.font), &dev).horizontalAdvance(t.text) * 25.4 / 1200;
}

namespace {

PlacedText Placed(const QString& text, QRectF rect, Align a = Align::Left, double size = 10)
{
    PlacedText t;
    t.text = text;
    t.rect = rect;
    t.font = Font{kMingFamily, size, false};
    t.align = a;
    return t;
}

std::vector<std::pair<std::size_t, std::size_t>> Pairs(const Page& page)
{
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (const CrowdedTexts& c : FindCrowdedTexts(page))
        out.emplace_back(c.first, c.second);
    return out;
}

} // namespace

// Texts read as one when their ink overlaps, or sits on a line with too
// little room between; their boxes do not count.
TEST(ReportCrowding, TextsThatOverlapOrTouchByTheirInkNotByTheirBoxes)
{
    Page page;
    // A label whose ink fills its box, its value starting where the box ends:
    // "電　　話分機200".
    PlacedText label = Placed("電　　話", {0, 0, 0, 5});
    label.rect.setWidth(WidthMm(label));
    page.texts.push_back(label);
    page.texts.push_back(Placed("分機200", {label.rect.right(), 0, 30, 5}));
    // A long unclipped text running over the next one.
    PlacedText over = Placed("特大號彩色海報雙面印刷", {0, 20, 10, 5});
    over.clip = false;
    page.texts.push_back(over);
    page.texts.push_back(Placed("菊對", {20, 20, 20, 5}));
    // Half an em apart at 10 points: room enough.
    PlacedText a = Placed("數量", {0, 40, 0, 5});
    a.rect.setWidth(WidthMm(a));
    page.texts.push_back(a);
    page.texts.push_back(Placed("規格", {a.rect.right() + 10 * 25.4 / 72 / 2, 40, 20, 5}));
    // A tenth of an em apart: too close, whatever the other's font.
    PlacedText b = Placed("數量", {0, 50, 0, 5});
    b.rect.setWidth(WidthMm(b));
    page.texts.push_back(b);
    page.texts.push_back(Placed("預定日", {b.rect.right() + 10 * 25.4 / 72 / 10, 50.5, 20, 5}, Align::Left, 8));
    // None of the rest: a short label in a box that reaches under its value,
    // its ink ending far before the value begins;
    page.texts.push_back(Placed("電話", {0, 100, 30, 5}));
    page.texts.push_back(Placed("(02)2853-9173", {20, 100, 40, 5}));
    // a right-aligned amount and a label before it, boxes overlapping;
    page.texts.push_back(Placed("合計", {100, 100, 40, 5}));
    page.texts.push_back(Placed("1,234", {120, 100, 40, 5}, Align::Right));
    // lines one under another, boxes touching;
    page.texts.push_back(Placed("地址", {0, 105, 30, 5}));
    page.texts.push_back(Placed("備註", {0, 110, 30, 5}));
    // blanks overlapping everything.
    page.texts.push_back(Placed("  ", {0, 0, 190, 115}));
    EXPECT_EQ(Pairs(page), (std::vector<std::pair<std::size_t, std::size_t>>{{0, 1}, {2, 3}, {6, 7}}));
}
