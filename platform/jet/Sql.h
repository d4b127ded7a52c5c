#pragma once
// Composing statement texts. Every value that a statement places between
// single quotes goes through SqlText(), so no typed text can end the literal
// early and change what the statement does:
//     "where ID = '" + jet::SqlText(id) + "' "
#include <string>
#include <string_view>

namespace jet {

// The value with each single quote doubled, to stand between the statement's
// own quotes.
std::string SqlText(std::string_view value);

// A number for a place where the statement has a bare numeric literal
// ("[NO] = " + SqlNumber(val(cell))). Always a valid literal, never text:
// whole numbers without ".0", others in plain decimal notation without an
// exponent. Throws Error(Kind::Usage) for infinity and NaN, which have no
// literal.
std::string SqlNumber(double value);
std::string SqlNumber(int value);
std::string SqlNumber(long value);
std::string SqlNumber(long long value);

} // namespace jet
