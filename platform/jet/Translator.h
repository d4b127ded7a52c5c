#pragma once
// Jet SQL -> the SQL of the database engine. The statement texts of the
// windows stay Jet SQL; this is the one place that knows the difference.
#include <string>
#include <string_view>

namespace jet {

enum class Dialect { SQLite /*, PostgreSQL */ };

// Translates one Jet statement. Throws Error(Kind::Syntax) on a text it
// cannot translate. Results are cached: repeated texts cost a lookup.
std::string translate(std::string_view jetSql, Dialect dialect = Dialect::SQLite);

} // namespace jet
