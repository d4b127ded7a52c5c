#include "lookups/core/LookupSql.h"

#include "platform/jet/Sql.h"

namespace qtmv::lookups {

namespace {
constexpr char kEscape = '\\';
}

LikeText LikeContains(std::string_view typed)
{
    LikeText out;
    const bool wildcard = typed.find_first_of("%_") != std::string_view::npos;
    std::string pattern;
    pattern.reserve(typed.size() + 4);
    for (const char c : typed) {
        if (wildcard && (c == '%' || c == '_' || c == kEscape))
            pattern += kEscape;
        pattern += c;
    }
    out.inner = jet::SqlText(pattern);
    if (wildcard)
        out.escape = " escape '\\'";
    return out;
}

std::string ContainsCondition(std::string_view column, const LikeText& text, std::string_view likeWord)
{
    return std::string(column) + " " + std::string(likeWord) + " '%" + text.inner + "%'" + text.escape;
}

std::string FromCharacter(std::string_view text, int n)
{
    std::size_t i = 0;
    for (int seen = 0; seen < n && i < text.size(); ++seen) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return std::string(text.substr(i));
}

} // namespace qtmv::lookups
