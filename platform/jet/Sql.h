#pragma once
// Composing statement texts. Every value that a statement places between
// single quotes goes through sqlText(), so no typed text can end the literal
// early and change what the statement does:
//     "where ID = '" + jet::sqlText(id) + "' "
#include <string>
#include <string_view>

namespace jet {

// The value with each single quote doubled, to stand between the statement's
// own quotes.
std::string sqlText(std::string_view value);

// A number for a place where the statement has a bare numeric literal
// ("[NO] = " + sqlNumber(val(cell))). Always a valid literal, never text:
// whole numbers without ".0", others in plain decimal notation without an
// exponent. Throws Error(Kind::Usage) for infinity and NaN, which have no
// literal.
std::string sqlNumber(double value);
std::string sqlNumber(int value);
std::string sqlNumber(long value);
std::string sqlNumber(long long value);

} // namespace jet
