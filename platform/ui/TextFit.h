#pragma once
// Text measuring shared by the grids and the printed reports. Needs QtGui
// only (a QGuiApplication must exist), no widgets.
#include <QFont>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QPaintDevice;

namespace qtmv {

// The family the grids and reports ask for first.
inline constexpr const char* kGridFontFamily = "新細明體";
// The Ming typeface installed on our machines, used when the first is absent.
inline constexpr const char* kFallbackMingFamily = "AR PL UMing TW";

// "新細明體" at the given size, falling back to the installed Ming typeface;
// for the screen (see ScreenFont).
QFont MingFont(double pointSize = 10.0);

// The font as text on screen is drawn in it. AR PL UMing carries bitmaps
// drawn by hand for 11 to 16 pixels, the sizes of a window's text, as the
// Windows Ming typeface does: at those sizes it is drawn from them, sharp,
// without smoothing (and without loading and hinting outlines, several
// times faster); at every other size, and in any other typeface, from the
// smoothed outlines as before. Applied again whenever the size changes.
QFont ScreenFont(QFont font);

// The longest beginning of the text (trimmed) whose width in the font is not
// more than widthPixels, as cutting it from the end one character at a time
// until it fits would leave it; an empty text when not even one character
// fits. A text that fits is returned as it is. A surrogate pair counts as one
// character. Measured for `device` (a printer, an image) when given,
// otherwise for the screen. The cut is searched for in halving steps, so the
// number of measurements grows with the logarithm of the length: a text of
// 100,000 characters takes a few dozen, none much longer than twice what
// the field holds.
QString FitTextToField(const QString& text, const QFont& font, double widthPixels,
                       const QPaintDevice* device = nullptr);
std::string FitTextToField(std::string_view utf8Text, const QFont& font, double widthPixels,
                           const QPaintDevice* device = nullptr);

// The same search with any measure of a text's width (the fonts' own is the
// one above). Widths must not shrink as a text grows.
using TextWidth = std::function<double(const QString&)>;
QString FitTextToWidth(const QString& text, double widthPixels, const TextWidth& width);

} // namespace qtmv
