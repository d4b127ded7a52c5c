#pragma once
// Texts as the suite handles them, for every library of the program: the one
// trim, Jet's val(), ASCII upper case and UTF-8 characters. No Qt, no data
// access.
#include <cstddef>
#include <string>
#include <string_view>

namespace qtmv {

// Removes leading and trailing blanks: spaces, tabs, CR, LF and the
// full-width space U+3000 that Chinese input methods type.
std::string Trim(std::string_view s);
// The same, as a view into s.
std::string_view TrimView(std::string_view s);
// A space, tab, CR or LF.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The leading number of a text, as Jet's and Basic's val() read it: blanks
// anywhere are skipped ("1 2 3" is 123), "12abc" is 12, "" and text without
// a number are 0. Accepts a sign, one decimal point and an exponent (E or D),
// and the &H (hexadecimal) and &O (octal) prefixes.
double Val(std::string_view text);

// A number in text as Jet shows it: a real number in its plain decimal form
// (1.5 -> "1.5", 2.0 -> "2"), up to 15 significant digits, an exponent with
// a capital E only from 1E+15 up or below 1E-04; a whole number as plain
// decimal digits.
std::string RealText(double v);
std::string IntegerText(long long v);
// Whether `text` is already what RealText writes for the number it reads
// as: a plain decimal ("-12.5", "0.0001") of at most 15 significant digits,
// without an exponent, a plus sign, leading or trailing zeros or "-0". A
// server sends most of its numbers so, and a reader can then keep the text
// instead of converting it to a number and back.
bool IsRealText(std::string_view text);

// A quantity as the entry grids take it: blanks around it ignored, an
// optional leading "-", digits and at most one "."; an empty text counts
// as a number (the cell left empty).
bool IsPlainNumber(std::string_view text);

// ASCII letters upper-cased, everything else as it is: byte positions in the
// result are those of the original, so text found in one can be cut from
// the other.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

// The length of the UTF-8 sequence this byte starts (1 for a stray byte).
std::size_t Utf8SequenceLength(unsigned char lead);

// The character at a 1-based position of UTF-8 text; empty when the text is
// shorter.
std::string_view CharacterAt(std::string_view text, int position);

} // namespace qtmv
