#include "platform/ui/TextFit.h"
#include "platform/ui/tests/TestApp.h"

#include <QFontMetricsF>
#include <QImage>

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

// Fitted in a number of measurements that grows with the logarithm of the
// length (the cut of one character at a time took as many as there are
// characters), with the same result on every field width: blanks trimmed,
// a surrogate pair never split, an empty text and a field of none.
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
}

} // namespace
