#pragma once
// Key-press filtering of entry fields. A key is the Unicode code of the
// typed character (what a key-press handler receives); the filter returns
// the code to type instead, or 0 to drop the key. Backspace (8) and Enter
// (13) always pass, so the field can be corrected and left in every mode.
//
// Modes and the fields that use them:
//   Upper         letters upper-cased, every other key passes: the shared
//                 upper-case filter of code fields that may hold any
//                 character (print-range numbers, the work-order query,
//                 lookup filter boxes).
//   Digits        0-9: dates (yyymmdd) and times (HHMM) of the print range,
//                 printing dates.
//   Decimal       0-9 and ".": numeric cells such as printing "正"/"反",
//                 quantities, defect counts.
//   SignedDecimal 0-9, "." and "-": values that may be negative
//                 (differences, corrections).
//   Code          A-Z (upper-cased), 0-9, "-" and "_": work-order,
//                 pre-schedule, vendor and employee codes typed in full.
//   DateTime      0-9 and a blank: the "yyymmdd HHMM" start and end cells
//                 of the time-consumption lines.
//   NoTyping      nothing else: grid columns that are not edited by typing.
//
// In every mode but Upper, full-width forms (０-９, Ａ-Ｚ, ．, －, the
// full-width blank) typed through an input method are taken as their ASCII
// forms, and other control characters than 8 and 13 are dropped.
namespace qtmv {

enum class KeyFilterMode : int {
    Upper = 1,
    Digits = 2,
    Decimal = 3,
    SignedDecimal = 4,
    Code = 5,
    DateTime = 6,
    NoTyping = 7,
};

inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;

// The upper-case form of a letter (a-z and full-width ａ-ｚ); any other code
// is returned unchanged.
int UpperCaseKey(int keyCode);

// The key to use under the mode, or 0 to drop it.
int KeyFilter(int keyCode, KeyFilterMode mode);

} // namespace qtmv
