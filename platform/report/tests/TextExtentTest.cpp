// Where a placed text falls on the paper, and which texts of a page run into
// each other: measured at the texts' fonts, checked against the ink the
// renderer puts down.
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

// The smallest rectangle (mm) holding the dark pixels of `area` (mm) of an
// image drawn at dpi.
QRectF InkWithin(const QImage& img, const QRectF& area, double dpi)
{
    const double k = dpi / 25.4;
    int left = img.width(), top = img.height(), right = -1, bottom = -1;
    for (int y = std::max(0, int(area.top() * k)); y < std::min(img.height(), int(area.bottom() * k) + 1); ++y)
        for (int x = std::max(0, int(area.left() * k)); x < std::min(img.width(), int(area.right() * k) + 1); ++x)
            if (qGray(img.pixel(x, y)) < 160) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0)
        return {};
    return QRectF(left / k, top / k, (right + 1 - left) / k, (bottom + 1 - top) / k);
}

} // namespace

TEST(ReportTextExtent, TheTextsWidthPlacedAsAlignedAndCutToAClippedBox)
{
    const PlacedText left = Placed("電話", {10, 20, 40, 6});
    const PlacedText right = Placed("1,234", {10, 30, 40, 6}, Align::Right);
    const PlacedText centre = Placed("合計", {10, 40, 40, 6}, Align::Center);
    const QRectF l = TextExtent(left), r = TextExtent(right), c = TextExtent(centre);
    EXPECT_NEAR(l.left(), 10, 1e-3);
    EXPECT_NEAR(l.width(), WidthMm(left), 0.01);
    EXPECT_NEAR(r.right(), 50, 1e-3);
    EXPECT_NEAR(r.width(), WidthMm(right), 0.01);
    EXPECT_NEAR(c.center().x(), 30, 0.01);
    // One line's height, centred in the box.
    EXPECT_NEAR(l.center().y(), 23, 0.01);
    EXPECT_GT(l.height(), 10 * 25.4 / 72 * 0.9);
    EXPECT_LT(l.height(), 6);

    // Too long for its box: drawn cut at the box's edge when clipped, past it
    // when not.
    PlacedText longText = Placed("特大號彩色海報雙面印刷加亮膜處理", {10, 50, 20, 6});
    EXPECT_NEAR(TextExtent(longText).right(), 30, 1e-3);
    longText.clip = false;
    EXPECT_GT(TextExtent(longText).right(), 40);

    // Wrapped: lines from the top of the box, as many as the width needs.
    PlacedText wrapped = Placed("很長的備註文字需要換成好幾行才放得下", {10, 60, 20, 30});
    wrapped.wrap = true;
    const QRectF w = TextExtent(wrapped);
    EXPECT_NEAR(w.top(), 60, 1e-3);
    EXPECT_GT(w.height(), 3 * l.height() - 0.01);
    EXPECT_LE(w.right(), 30 + 1e-3);

    EXPECT_TRUE(TextExtent(Placed("", {10, 20, 40, 6})).isEmpty());
    EXPECT_TRUE(TextExtent(Placed("   ", {10, 20, 40, 6})).isEmpty());
}

TEST(ReportTextExtent, TheInkTheRendererPutsDownLiesWithinIt)
{
    Page page;
    page.texts = {Placed("電　　話", {10, 10, 40, 6}), Placed("(02)2853-9173", {10, 20, 40, 6}, Align::Right),
                  Placed("宏昌彩色印刷", {10, 30, 40, 6}, Align::Center, 13),
                  Placed("特大號彩色海報雙面印刷加亮膜處理", {10, 40, 20, 6})};
    PageDocument doc;
    doc.pageSize = QSizeF(60, 50);
    doc.pages = {page};
    constexpr double dpi = 600;
    const QImage img = RenderPageImage(doc, 0, dpi);
    for (const PlacedText& t : page.texts) {
        const QRectF extent = TextExtent(t);
        const QRectF ink = InkWithin(img, t.rect.adjusted(-5, 0, 5, 0), dpi);
        SCOPED_TRACE(t.text.toStdString());
        ASSERT_FALSE(ink.isEmpty());
        // Within the extent, and filling it but for the side bearings of its
        // first and last glyphs.
        EXPECT_TRUE(extent.adjusted(-0.1, -0.1, 0.1, 0.1).contains(ink))
            << "ink " << ink.left() << "-" << ink.right() << ", extent " << extent.left() << "-" << extent.right();
        EXPECT_GT(ink.width(), extent.width() * 0.9);
    }
}

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
