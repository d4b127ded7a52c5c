#include "platform/ui/TextFit.h"
#include "platform/ui/tests/TestApp.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Measured in the font: text, field width (extra to the width of the
// expected result), expected. Trimming, surrogate pairs and empty fields are
// the search's, checked against cutting one character at a time below.
TEST(FitTextToField, KeepsTheLongestPrefixThatFitsInTheFont)
{
    const QFont font = qtmv::MingFont(10);
    const auto width = [&](const QString& s) { return QFontMetricsF(font).horizontalAdvance(s); };
    const struct { QString text; double extra; QString fitted; } cases[] = {
        {QStringLiteral("彩色印刷 ABC-123"), 0, QStringLiteral("彩色印刷 ABC-123")},
        {QStringLiteral("客戶名稱很長W"), 1, QStringLiteral("客戶名稱很長")},
        {QStringLiteral("Printing plant"), 1, QStringLiteral("Printing plan")},
    };
    for (const auto& c : cases) {
        const QString fitted = qtmv::FitTextToField(c.text, font, width(c.fitted) + c.extra);
        EXPECT_EQ(fitted, c.fitted) << c.text.toStdString();
        if (fitted != c.text) {   // one more character would not fit
            EXPECT_GT(width(c.text.left(fitted.size() + 1)), width(c.fitted) + c.extra) << c.text.toStdString();
        }
    }

    // The UTF-8 form agrees; measured at 600 dpi the same field width holds
    // fewer characters.
    const QString q = QStringLiteral("印刷尺寸說明文字");
    EXPECT_EQ(qtmv::FitTextToField(q.toStdString(), font, width(q) - 0.5),
              qtmv::FitTextToField(q, font, width(q) - 0.5).toStdString());
    QImage page(10, 10, QImage::Format_RGB32);
    page.setDotsPerMeterX(23622);
    page.setDotsPerMeterY(23622);
    EXPECT_LT(qtmv::FitTextToField(q, font, width(q), &page).size(), q.size());
}

// The fit as it was first written: one character off the end at a time,
// the whole rest measured again each time.
QString CutOneAtATime(const QString& text, double field, const qtmv::TextWidth& width)
{
    QString fitted = text.trimmed();
    while (!fitted.isEmpty() && width(fitted) > field)
        fitted.chop(fitted.size() >= 2 && fitted.back().isLowSurrogate() && fitted.at(fitted.size() - 2).isHighSurrogate()
                        ? 2
                        : 1);
    return fitted;
}

// A measure that counts its calls: Latin letters 1 wide, anything else 2.
struct CountingWidth {
    int calls = 0;
    double operator()(const QString& s)
    {
        ++calls;
        double w = 0;
        for (const QChar c : s)
            w += c.isLowSurrogate() ? 0 : c.unicode() < 0x80 ? 1 : 2;
        return w;
    }
};

// Long texts are fitted in a number of measurements that grows with the
// logarithm of the length (the cut of one character at a time took as many
// as there are characters), with the same result on every field width.
TEST(FitTextToWidth, LogarithmicMeasurementsSameResultAsCuttingOneAtATime)
{
    const QString pair = QString::fromUcs4(U"\U00020000");
    QString mixed;
    for (int i = 0; i < 90; ++i)
        mixed += i % 7 == 3 ? pair : i % 3 ? QStringLiteral("印") : QStringLiteral("a");
    for (const QString& text : {mixed, QStringLiteral("印刷") + mixed.left(40), QStringLiteral(" 工單 "), QString()}) {
        CountingWidth probe;
        const double total = probe(text.trimmed());
        for (double field = -1; field <= total + 1; field += 0.5) {
            CountingWidth counted;
            EXPECT_EQ(qtmv::FitTextToWidth(text, field, std::ref(counted)), CutOneAtATime(text, field, probe))
                << text.size() << " " << field;
            EXPECT_LE(counted.calls, 16) << text.size() << " " << field;
        }
    }

    QString longText;
    for (int i = 0; i < 100000; ++i)
        longText += i % 1000 == 999 ? pair : i % 2 ? QStringLiteral("記") : QStringLiteral("x");
    for (const double field : {0.0, 1.0, 2.0, 100.5, 3000.0, 149000.0, 1e9}) {
        CountingWidth counted;
        const QString fitted = qtmv::FitTextToWidth(longText, field, std::ref(counted));
        EXPECT_LE(counted.calls, 40) << field;
        // The longest beginning that fits, a pair never split.
        EXPECT_LE(CountingWidth()(fitted), field);
        if (fitted.size() < longText.size()) {
            const qsizetype next = longText.at(fitted.size()).isHighSurrogate() ? 2 : 1;
            EXPECT_GT(CountingWidth()(longText.left(fitted.size() + next)), field) << field;
        }
    }
}

} // namespace

// The Ming typeface is drawn from its hand-drawn bitmaps at the pixel sizes
// it has them for (11 to 16), from smoothed outlines at any other size and
// in any other typeface; a font made larger is smoothed again.
TEST(ScreenFont, BitmapsExactlyWhereTheTypefaceHasThem)
{
    const auto ming = [](int pixels) {
        QFont f(QStringLiteral("AR PL UMing TW"));
        f.setPixelSize(pixels);
        return qtmv::ScreenFont(f);
    };
    // Grey pixels in "日報登錄" drawn black on white: smoothing.
    const auto greys = [](const QFont& f) {
        QImage img(120, 40, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(f);
        p.drawText(2, 30, QStringLiteral("日報登錄"));
        p.end();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += qGray(img.pixel(x, y)) > 40 && qGray(img.pixel(x, y)) < 215;
        return n;
    };
    for (const int pixels : {10, 11, 13, 16, 17, 24}) {
        const bool bitmaps = pixels >= 11 && pixels <= 16;
        const QFont f = ming(pixels);
        EXPECT_EQ(f.styleStrategy(), bitmaps ? QFont::NoAntialias : QFont::PreferDefault) << pixels;
        if (bitmaps) {
            EXPECT_EQ(greys(f), 0) << pixels;
        } else {
            EXPECT_GT(greys(f), 10) << pixels;
        }
    }
    // Point sizes count at the screen's 96 dpi: 12 points are 16 pixels, 13 are 17.
    QFont points(QStringLiteral("AR PL UMing TW"));
    points.setPointSizeF(12);
    points = qtmv::ScreenFont(points);
    EXPECT_EQ(points.styleStrategy(), QFont::NoAntialias);
    points.setPointSizeF(13);
    EXPECT_EQ(qtmv::ScreenFont(points).styleStrategy(), QFont::PreferDefault);
    // The grids' font at its normal size, and another typeface at a bitmap size.
    EXPECT_EQ(qtmv::MingFont(10).styleStrategy(), QFont::NoAntialias);
    QFont other(QStringLiteral("DejaVu Sans"));
    other.setPixelSize(13);
    EXPECT_EQ(qtmv::ScreenFont(other).styleStrategy(), QFont::PreferDefault);
}
