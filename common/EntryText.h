#pragma once
// What every entry window checks before a typed text is kept: no control
// characters (CR, LF, TAB and the rest break the suite's fixed-column
// listings and the other programs' reports) and no more Big5 bytes than the
// column holds. The main grid and the satellite windows give the same
// answer and the same messages.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qtmv {

// True when the text holds a byte below 0x20 or DEL.
bool HasControlCharacter(std::string_view text);

// "「<heading>」含有無法儲存的控制字元，請重新輸入!"
std::string ControlCharacterMessage(std::string_view heading);

// "最多只可輸入<n>個字元!"
std::string TooLongMessage(std::size_t maxBytes);

// Why the text cannot be stored in a field of maxBytes Big5 bytes (0: no
// length limit), or nothing when it can.
std::optional<std::string> EntryTextProblem(std::string_view heading, std::string_view text,
                                            std::size_t maxBytes);

} // namespace qtmv
