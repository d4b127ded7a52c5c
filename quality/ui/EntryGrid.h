#pragma once
// The checks the quality windows run when a cell is left: length limits
// counted in Big5 bytes (a Chinese character counts two) or in characters,
// and numbers.
#include <QString>

#include <cstddef>
#include <string_view>

namespace qtmv::quality {

// Over the limit: tells the user "最多只可輸入N個字元!" (title "訊息") and
// gives true; the caller refuses the cell.
bool overLimit(const QString& text, std::size_t limit, bool big5);
// The same, cutting the text to the limit instead.
void cutToLimit(QString& text, std::size_t limit, bool big5);

// A plain decimal number (an optional leading "-", digits, one "."), or "".
bool isNumberText(std::string_view text);

} // namespace qtmv::quality
