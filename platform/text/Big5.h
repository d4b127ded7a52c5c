#pragma once
// Lengths of texts as the suite stores them: in bytes of the Big5 code page
// (950). ASCII counts 1, a Chinese character 2. A character that Big5
// cannot encode (an emoji, a simplified-only character) also counts 2: the
// suite's other programs store it as a two-byte replacement, so the byte
// budget of a column holds either way. Texts are UTF-8; a malformed byte
// counts as one such unencodable character.
#include <cstddef>
#include <string>
#include <string_view>

namespace qtmv {

// Bytes of the text in Big5.
std::size_t Big5ByteLength(std::string_view text);

// The longest prefix of the text whose Big5 length does not exceed the
// limit; never cuts a character in half. A limit of 0 or less gives "".
std::string CutToBytes(std::string_view text, long long limit);

// True when Big5 (code page 950) has the character.
bool IsBig5Encodable(char32_t codePoint);

// The text in the Big5 code page (950), for files the suite's other
// programs read. When a character has no Big5 form, returns false and puts
// that character (UTF-8) into *unencodable.
bool ToBig5(std::string_view utf8, std::string& out, std::string* unencodable = nullptr);

} // namespace qtmv
