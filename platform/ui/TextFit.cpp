#include "platform/ui/TextFit.h"

#include "platform/ui/QtText.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <QStringList>

#include <algorithm>
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

QString FitTextToWidth(const QString& text, double widthPixels, const TextWidth& width)
{
    // A text this short is measured whole first: in a grid it nearly always
    // fits, and one measurement settles it.
    constexpr qsizetype kShortText = 64;
    const QString t = text.trimmed();
    const qsizetype n = t.size();
    const auto fits = [&](qsizetype length) { return width(t.left(length)) <= widthPixels; };
    // Lengths that do not split a surrogate pair: the one at or below, the next above.
    const auto pairAt = [&](qsizetype i) { return i > 0 && i < n && t[i].isLowSurrogate() && t[i - 1].isHighSurrogate(); };
    const auto down = [&](qsizetype length) { return pairAt(length) ? length - 1 : length; };
    const auto after = [&](qsizetype length) { return pairAt(length + 1) ? length + 2 : length + 1; };

    qsizetype lo = 0; // the longest length known to fit (nothing always does)
    qsizetype hi = 0; // the shortest known not to
    if (n <= kShortText) {
        if (n == 0 || fits(n))
            return t;
        hi = n;
    } else {
        // 1, 2, 4, ... characters until one does not fit: a long text is
        // never measured much beyond what its field holds.
        for (qsizetype length = after(0);;) {
            if (!fits(length)) {
                hi = length;
                break;
            }
            lo = length;
            if (length == n)
                return t;
            length = std::max(down(std::min(2 * length, n)), after(length));
        }
    }
    while (after(lo) < hi) {
        qsizetype mid = down(lo + (hi - lo) / 2);
        if (mid <= lo)
            mid = after(lo);
        (fits(mid) ? lo : hi) = mid;
    }
    return t.left(lo);
}

QString FitTextToField(const QString& text, const QFont& font, double widthPixels,
                       const QPaintDevice* device)
{
    // QFontMetricsF wants a non-const device; it only reads its resolution.
    const QFontMetricsF metrics = device
        ? QFontMetricsF(font, const_cast<QPaintDevice*>(device))
        : QFontMetricsF(font);
    return FitTextToWidth(text, widthPixels, [&metrics](const QString& s) { return metrics.horizontalAdvance(s); });
}

std::string FitTextToField(std::string_view utf8Text, const QFont& font, double widthPixels,
                           const QPaintDevice* device)
{
    return FitTextToField(U8(utf8Text), font, widthPixels, device).toStdString();
}

} // namespace qtmv
