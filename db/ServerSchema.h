#pragma once
// The suite's schema on a PostgreSQL server, made from schema.sql (the one
// source of the schema) as SQLite reads it, so that tables added there come
// along unchanged:
//   * names in lower case (the data layer folds the statements' names the
//     same way), their spelling in schema.sql kept as comments, which the
//     data layer reads back for the names of result columns;
//   * TEXT columns as citext, so that = and order by ignore case as Jet's
//     (and schema.sql's COLLATE NOCASE) do; REAL as double precision;
//     INTEGER as bigint; INTEGER PRIMARY KEY as an identity column;
//   * every table with the row identity column jet_rowid;
//   * views with ifnull as coalesce, COLLATE NOCASE as a cast to citext and
//     CAST(x AS REAL) as val(x) (SQLite reads "" and "12ab" as numbers).
#include "platform/jet/Connection.h"

#include <string>
#include <vector>

namespace qtmv::db {

// The key of the server-wide write lock every transaction of the suite's
// programs takes (jet::setServerWriteLockKey). It is the same in every
// program and on every workstation, so that their writers queue behind one
// another: changing it would let a new program write beside an old one.
inline constexpr long long kServerWriteLockKey = 0x51544D56; // "QTMV"

// The statements, in order: support functions, tables, indexes, views.
std::vector<std::string> ServerSchemaStatements();

// Creates the schema in the empty server database of a connection string
// ("Provider=PostgreSQL;Server=...", see jet::serverConnectionString), in
// one transaction. Throws jet::Error naming the server and the statement
// that failed.
void CreateServerSchema(const std::string& connectionString);
// The same on an open server connection, inside the caller's transaction.
void CreateServerSchema(jet::Connection& server);

// The tables of the schema, in the order they are created.
std::vector<std::string> SchemaTables();

// Each table of the schema with the columns a copy writes (all but the
// generated ones), in the order they are created.
struct TableColumns {
    std::string table;
    std::vector<std::string> columns;
};
std::vector<TableColumns> SchemaTableColumns();

// The tables this program keeps for itself in the suite's database (its
// change history, the acceptable defect rates, which inspection verdicts
// were proposed, who saved the inspection and printing data last, the colour
// targets). The suite's other programs never read them.
const std::vector<std::string>& ProgramTables();

// Creates those program tables, with their indexes, that the database of an
// open connection lacks: a plant's database made before they existed (by
// the suite, or by an earlier version of this program) gets them instead of
// every save failing on the missing history table. The columns the program
// keeps in suite tables (SYSPOLOCK1's 製程 and 鎖定時間), and those its own
// tables gained later (色號目標值's tolerances), are added the same way, of
// the type schema.sql gives them, existing rows taking the columns' default
// (or null), and so are the indexes
// the program keeps on suite tables (for its loads) where the table has
// their columns. One transaction; the names added, in order, tables first,
// then columns as "table.column", then indexes; an existing table loses
// nothing.
std::vector<std::string> AddMissingProgramTables(jet::Connection& c);

} // namespace qtmv::db
