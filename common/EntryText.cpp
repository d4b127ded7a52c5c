#include "common/EntryText.h"

#include "platform/text/Big5.h"

namespace qtmv {

bool HasControlCharacter(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

std::string ControlCharacterMessage(std::string_view heading)
{
    return "「" + std::string(heading) + "」含有無法儲存的控制字元，請重新輸入!";
}

std::string TooLongMessage(std::size_t maxBytes)
{
    return "最多只可輸入" + std::to_string(maxBytes) + "個字元!";
}

std::optional<std::string> EntryTextProblem(std::string_view heading, std::string_view text, std::size_t maxBytes)
{
    if (HasControlCharacter(text))
        return ControlCharacterMessage(heading);
    if (maxBytes > 0 && Big5ByteLength(text) > maxBytes)
        return TooLongMessage(maxBytes);
    return std::nullopt;
}

} // namespace qtmv
