#pragma once
// The SQL functions that translated statements rely on (val, jet_concat),
// for any SQLite connection: the data layer's own, and a benchmark's plain
// connection that must run the same statement.
struct sqlite3;

namespace jet {

void RegisterSqliteFunctions(sqlite3* db);

} // namespace jet
