#pragma once
// Typed filter texts inside the lookups' statements. Every filter reaches a
// statement through here: quotes are doubled (jet::sqlText), and a "%" or
// "_" the user typed stands for itself, not for a wildcard, so "100%" finds
// "100%再生紙" and not every name starting with 100.
#include <string>
#include <string_view>

namespace qtmv::lookups {

// The pieces of a "contains" condition: column + " like '%" + inner + "%'" +
// escape. The escape clause is only there when the text holds a wildcard
// character; otherwise the statement reads exactly as without escaping.
struct LikeText {
    std::string inner;    // quoted and escaped, to stand between '%' and '%'
    std::string escape;   // "" or " escape '\'"
};
LikeText LikeContains(std::string_view typed);

// column like '%typed%' [escape '\'], with the column as given.
std::string ContainsCondition(std::string_view column, const LikeText& text, std::string_view likeWord = "like");

// The text of a UTF-8 string from its nth character on (n counted from 0):
// "D-印刷" from 2 is "印刷".
std::string FromCharacter(std::string_view text, int n);

} // namespace qtmv::lookups
