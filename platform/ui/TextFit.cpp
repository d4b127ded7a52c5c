#include "platform/ui/TextFit.h"

#include "platform/ui/QtText.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <QStringList>

#include <cmath>

namespace qtmv {

QFont MingFont(double pointSize)
{
    QFont font;
    font.setFamilies(QStringList{QString::fromUtf8(kGridFontFamily),
                                 QString::fromUtf8(kFallbackMingFamily)});
    font.setPointSizeF(pointSize);
    return ScreenFont(font);
}

QFont ScreenFont(QFont font)
{
    // The pixel sizes of uming.ttc's bitmap strikes; FreeType takes one
    // when the size rounds to it.
    constexpr int kFirstBitmapSize = 11;
    constexpr int kLastBitmapSize = 16;
    font.setStyleStrategy(QFont::PreferDefault);
    const QScreen* screen = QGuiApplication::primaryScreen();
    double pixels = font.pixelSize();
    if (pixels <= 0)
        pixels = font.pointSizeF() * (screen ? std::round(screen->logicalDotsPerInchY()) : 96.0) / 72.0;
    // A scaled screen draws glyphs at its device pixels: 13 pixels at 150%
    // are 20, where the typeface has no bitmaps.
    if (screen)
        pixels *= screen->devicePixelRatio();
    const long rounded = std::lround(pixels);
    if (rounded < kFirstBitmapSize || rounded > kLastBitmapSize)
        return font;
    // Which typeface the family list comes to is asked of the font as it
    // will be drawn: the font engine Qt loads to answer is then the one the
    // widgets draw with, not a second one for the same face at the same size.
    QFont bitmaps = font;
    bitmaps.setStyleStrategy(QFont::NoAntialias);
    return QFontInfo(bitmaps).family().startsWith(QStringLiteral("AR PL UMing")) ? bitmaps : font;
}

QString FitTextToField(const QString& text, const QFont& font, double widthPixels,
                       const QPaintDevice* device)
{
    // QFontMetricsF wants a non-const device; it only reads its resolution.
    const QFontMetricsF metrics = device
        ? QFontMetricsF(font, const_cast<QPaintDevice*>(device))
        : QFontMetricsF(font);
    QString fitted = text.trimmed();
    while (!fitted.isEmpty() && metrics.horizontalAdvance(fitted) > widthPixels) {
        qsizetype cut = 1;
        if (fitted.size() >= 2 && fitted.back().isLowSurrogate()
            && fitted.at(fitted.size() - 2).isHighSurrogate())
            cut = 2;
        fitted.chop(cut);
    }
    return fitted;
}

std::string FitTextToField(std::string_view utf8Text, const QFont& font, double widthPixels,
                           const QPaintDevice* device)
{
    return FitTextToField(u8(utf8Text), font, widthPixels, device).toStdString();
}

} // namespace qtmv
