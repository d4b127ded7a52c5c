#pragma once
// Jet SQL -> the SQL of the database engine. The statement texts of the
// windows stay Jet SQL; this is the one place that knows the difference.
//
// What changes for SQLite: [bracketed] and `quoted` names become "quoted"
// names; "double-quoted" and #dated# literals become 'single-quoted' ones;
// select top N ... becomes ... limit N (also in sub-selects); a & b becomes
// jet_concat(a, b) (Jet text of each operand, a null counts as "", all null
// gives null); IsNull(x) becomes ((x) is null), Nz(x, y) ifnull(x, y),
// UCase/LCase/Len/Mid/CStr their SQLite counterparts, Mod %, DistinctRow
// distinct; update A inner join B on X set A.c = e where W becomes
// update A set c = e from B where (X) and (W); delete * from / delete T.* from
// lose their column list. val() and iif() run as they are (val() is a
// function registered on every connection). Keywords may be in any case.
// Quoted literals are never touched.
#include <string>
#include <string_view>

namespace jet {

// PostgreSQL differs from the SQLite form above in this: names fold to lower
// case ("NO" for [NO]; the server database is created with lower-case names)
// and the few that PostgreSQL reserves (USER) are quoted; iif(c, a, b)
// becomes (case when c then a else b end); & and CStr become concat() (a null
// counts as "", all null gives ""); Nz and ifnull become coalesce; like
// becomes ilike, as Jet's like ignores case; the editable row identity is the
// jet_rowid column every server table carries.
enum class Dialect { SQLite, PostgreSQL };

// Translates one Jet statement. Throws Error(Kind::Syntax) on a text it
// cannot translate (unbalanced parentheses or quotes, parameter markers,
// several statements, forms the engine has no equivalent for). Results are
// cached: repeated texts cost a lookup.
std::string Translate(std::string_view jetSql, Dialect dialect = Dialect::SQLite);

// A select prepared for an editing recordset.
struct EditableSelect {
    // The translated select; when editable, with the row identity (rowid for
    // SQLite) as an extra first column.
    std::string sql;
    // The one table the select reads, as the database names it.
    std::string table;
    // Why the rows cannot be edited (several tables, grouping, ...); empty
    // when they can.
    std::string notEditable;
};
EditableSelect TranslateEditable(std::string_view jetSql, Dialect dialect = Dialect::SQLite);

// A table or column name quoted for the engine ("NO" for [NO]).
std::string QuoteIdentifier(std::string_view name, Dialect dialect = Dialect::SQLite);

} // namespace jet
