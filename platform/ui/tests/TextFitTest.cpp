#include "platform/ui/TextFit.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QGuiApplication& guiApp()
{
    static int argc = 1;
    static char name[] = "textfit_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication instance(argc, argv);
    return instance;
}

class FitTextToFieldTest : public ::testing::Test {
protected:
    void SetUp() override { guiApp(); }
    QFont font = qtmv::MingFont(10);
    double width(const QString& s) const { return QFontMetricsF(font).horizontalAdvance(s); }
};

TEST_F(FitTextToFieldTest, TextThatFitsIsReturnedUnchanged)
{
    const QString text = QStringLiteral("彩色印刷 ABC-123");
    EXPECT_EQ(qtmv::FitTextToField(text, font, width(text)), text);
    EXPECT_EQ(qtmv::FitTextToField(text, font, width(text) + 50), text);
}

TEST_F(FitTextToFieldTest, OneCharacterTooWideLosesExactlyTheLastCharacter)
{
    const QString text = QStringLiteral("客戶名稱很長W");
    EXPECT_EQ(qtmv::FitTextToField(text, font, width(text) - 0.5), QStringLiteral("客戶名稱很長"));
    const QString latin = QStringLiteral("Printing plant");
    EXPECT_EQ(qtmv::FitTextToField(latin, font, width(latin) - 0.5), QStringLiteral("Printing plan"));
}

TEST_F(FitTextToFieldTest, CutsToTheLongestFittingPrefix)
{
    const QString text = QStringLiteral("一二三四五六七八九十一二三四五");
    const double field = width(QStringLiteral("一二三四五")) + 1;
    const QString fitted = qtmv::FitTextToField(text, font, field);
    EXPECT_EQ(fitted, QStringLiteral("一二三四五"));
    EXPECT_LE(width(fitted), field);
    EXPECT_GT(width(text.left(fitted.size() + 1)), field);
}

TEST_F(FitTextToFieldTest, TrimsAndHandlesEmptyAndNarrowFields)
{
    EXPECT_EQ(qtmv::FitTextToField(QStringLiteral("  工單  "), font, 1000), QStringLiteral("工單"));
    EXPECT_EQ(qtmv::FitTextToField(QStringLiteral("工單"), font, 0), QString());
    EXPECT_EQ(qtmv::FitTextToField(QString(), font, 100), QString());
    // A character outside the basic plane is cut whole, never half a pair.
    const QString pair = QStringLiteral("a") + QString::fromUcs4(U"\U00020000");
    const QString cut = qtmv::FitTextToField(pair, font, width(QStringLiteral("a")) + 0.1);
    EXPECT_EQ(cut, QStringLiteral("a"));
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
