#pragma once
// Numbers as the plant's lists and reports show them: thousands separators,
// fixed decimals rounded half away from zero, and the sizes typed as
// "31*43" or "31 x 43 x 2".
#include <string>
#include <string_view>
#include <vector>

namespace qtmv {

// "###,###,##0" with as many decimals as the value has: "1234567" gives
// "1,234,567", "1234.5" "1,234.5", "-1234.50" "-1,234.5". Empty text stays
// empty; text that is not a number (blanks around a number, a sign, a
// decimal point, thousands separators and an exponent are allowed) is
// returned unchanged.
std::string FormatAmount(std::string_view text);

// The value rounded half away from zero to `decimals` places (0..10) and
// written with exactly that many: FormatFixed(2.675, 2) is "2.68",
// FormatFixed(-0.5, 0) "-1", FormatFixed(1.75, 0) "2" - the formats "0",
// "0.00", "0.000", "0.0000". The value is first taken at 15 significant
// digits, so binary artifacts (2.675 is stored as 2.67499999...) do not
// decide the rounding. A result of zero carries no sign; a value that is
// not finite gives zero.
std::string FormatFixed(double value, int decimals);

// The value of FormatFixed as a number: the rounding helper of amounts,
// unit prices and minutes.
double RoundNumber(double value, int decimals);

// For a size "31*43" (separator "*" or "＊"): selector "1" gives the first
// number (31), any other selector the second (43). A text without a
// separator gives its own leading number. Numbers are read by their leading
// number (blanks skipped; "43cm" is 43; no number is 0).
double SizeNumber(std::string_view sizeText, std::string_view selector);

// Splits a size at "*", "＊", "×", "x", "X" or blanks into up to three
// numbers; other characters than digits and "." inside a part are skipped
// ("31cm" is 31). Parts without a digit are left out, so "31 x 43 cm"
// gives 31, 43.
std::vector<double> SplitSize(std::string_view sizeText);

} // namespace qtmv
