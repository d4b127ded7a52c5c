#include "platform/ui/TextFit.h"
#include "platform/ui/tests/TestApp.h"

#include <QFontMetricsF>
#include <QImage>

#include <gtest/gtest.h>

namespace {

class FitTextToFieldTest : public ::testing::Test, protected qtmv::test::WithApp {
protected:
    QFont font = qtmv::MingFont(10);
    double width(const QString& s) const { return QFontMetricsF(font).horizontalAdvance(s); }
};

// Text, field width (extra to the width of the expected result), expected.
TEST_F(FitTextToFieldTest, KeepsTheLongestFittingTrimmedPrefix)
{
    const QString pair = QStringLiteral("a") + QString::fromUcs4(U"\U00020000");
    const struct { QString text; double extra; QString fitted; } cases[] = {
        {QStringLiteral("彩色印刷 ABC-123"), 0, QStringLiteral("彩色印刷 ABC-123")},
        {QStringLiteral("彩色印刷 ABC-123"), 50, QStringLiteral("彩色印刷 ABC-123")},
        {QStringLiteral("客戶名稱很長W"), 1, QStringLiteral("客戶名稱很長")},
        {QStringLiteral("Printing plant"), 1, QStringLiteral("Printing plan")},
        {QStringLiteral("一二三四五六七八九十一二三四五"), 1, QStringLiteral("一二三四五")},
        {QStringLiteral("  工單  "), 1000, QStringLiteral("工單")},
        {QString(), 100, QString()},
        {pair, 0.1, QStringLiteral("a")},   // a pair outside the basic plane is cut whole
    };
    for (const auto& c : cases) {
        const QString fitted = qtmv::FitTextToField(c.text, font, width(c.fitted) + c.extra);
        EXPECT_EQ(fitted, c.fitted) << c.text.toStdString();
        const QString more = c.text.left(fitted.size() + 1);   // one more character would not fit
        if (fitted != c.text.trimmed() && !more.back().isHighSurrogate()) {
            EXPECT_GT(width(more), width(c.fitted) + c.extra) << c.text.toStdString();
        }
    }
    EXPECT_EQ(qtmv::FitTextToField(QStringLiteral("工單"), font, 0), QString());
}

TEST_F(FitTextToFieldTest, Utf8OverloadAndPrinterResolutionAgree)
{
    const std::string text = "印刷尺寸說明文字";
    const QString q = QString::fromStdString(text);
    const double field = width(q) - 0.5;
    EXPECT_EQ(qtmv::FitTextToField(text, font, field), qtmv::FitTextToField(q, font, field).toStdString());

    // Measured at 600 dpi the same field width holds fewer characters.
    QImage page(10, 10, QImage::Format_RGB32);
    page.setDotsPerMeterX(23622);
    page.setDotsPerMeterY(23622);
    const QString onPage = qtmv::FitTextToField(q, font, width(q), &page);
    EXPECT_LT(onPage.size(), q.size());
}

} // namespace
