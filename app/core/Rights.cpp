#include "app/core/Rights.h"

#include "app/core/Session.h"
#include "platform/jet/Sql.h"

namespace qtmv {

namespace {
// The character at a 1-based position of UTF-8 text; empty when the text is shorter.
std::string_view characterAt(std::string_view text, int position)
{
    int n = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = 1;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0) len = 4;
        else if (lead >= 0xE0) len = 3;
        else if (lead >= 0xC0) len = 2;
        if (++n == position)
            return text.substr(i, len);
        i += len;
    }
    return {};
}
} // namespace

bool RightsRestricted(const Session& s, std::string_view rights, int position, std::string_view restrictingValue)
{
    if (!s.LoginUser.empty() || position < 1)
        return false;
    const std::string_view flag = characterAt(rights, position);
    return !flag.empty() && flag == restrictingValue;
}

std::string BuildGroupFilter(const std::string& sql, const std::string& prefix, const Session& s)
{
    std::string out = sql;
    const std::string column = prefix.empty() ? std::string("[GROUP") : prefix + ".[GROUP";
    for (const std::string& group : s.RightsGroups) {
        if (group.empty())
            continue;
        const std::string value = jet::sqlText(group);
        for (int i = 0; i < 20; ++i)
            out += " or " + column + (i == 0 ? std::string() : std::to_string(i)) + "] = '" + value + "' ";
    }
    return out;
}

} // namespace qtmv
