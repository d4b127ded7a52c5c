#pragma once
// Our stand-in for the recordset of the Jet provider.
//
// Reading: open(sql, conn) with the defaults (client-side, static, read-only)
// reads all rows at once; recordCount(), eof(), moveNext(), field("NAME").
// A server-side forward-only read-only recordset steps through the rows as
// they come and holds only the current one (recordCount() is -1 there, bof()
// tells whether a row exists); it keeps the database's read lock until its
// last row is read or it is closed, so keep it short-lived. Both bof() and
// eof() are true on an empty recordset.
//
// Fields are named as Jet names result columns: an alias by its alias, an
// unaliased column (also a qualified one, "PWORK.PO") by its column name;
// when two columns share a name they are named "table.column". Lookup by
// name ignores case and brackets and also accepts "table.column" for a
// column named by its column name. A statement that returns no rows (an
// update, say) runs and leaves the recordset closed; recordsAffected() then
// tells how many rows it changed.
//
// Editing: open with LockType::Optimistic (CursorType::Dynamic or Keyset)
// on a single-table select ("select * from [T] where ...", "select top 1 *
// ...", "select ID, INO, REM from [T_S] where ..."). set() changes fields of
// the current row, update() writes only the changed fields of that row, and
// fails with Error::Kind::RowChanged when the row changed (a changed field no
// longer holds the value read) or vanished since it was read; the edit then
// stays pending until cancelUpdate() or another set()/update(). addNew() +
// set() + update() inserts a row (fields not set take the table's defaults)
// and makes it the current row. Moving to another row, or addNew(), writes a
// pending edit first, as the provider does; close() discards one. Editing a
// select over several tables, with grouping, or of a computed field throws
// Error(Kind::Usage) with the reason.
#include "Connection.h"
#include "Value.h"

#include <memory>
#include <string>
#include <vector>

namespace jet {

enum class CursorLocation { Client, Server };
enum class CursorType { ForwardOnly, Keyset, Dynamic, Static };
enum class LockType { ReadOnly, Optimistic };

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void open(const std::string& jetSql, Connection& conn,
              CursorLocation location = CursorLocation::Client,
              CursorType cursor = CursorType::Static,
              LockType lock = LockType::ReadOnly);
    void close();
    bool isOpen() const;
    // Rows changed by a statement without result rows that open() ran; -1
    // when the statement returned rows.
    long long recordsAffected() const;

    long long recordCount() const;   // -1 on a server-side forward-only cursor
    bool eof() const;
    bool bof() const;
    void moveNext();
    void moveFirst();                // not on a server-side forward-only cursor
    void movePrevious();
    void moveLast();
    long long absolutePosition() const;   // 0-based index of the current row; -1 when none

    int fieldCount() const;
    const std::string& fieldName(int index) const;
    int fieldIndex(const std::string& name) const;   // -1 when absent; case-insensitive
    const Value& field(const std::string& name) const;   // throws Error when absent
    const Value& field(int index) const;
    // The field joined with an empty string and trimmed: null reads as "".
    std::string text(const std::string& name) const;

    // The rows held, in field order, for copying without per-field lookups:
    // the whole result on a client-side cursor, only the row last read on a
    // server-side forward-only one.
    const std::vector<std::vector<Value>>& rows() const;

    // Editing (Optimistic only).
    void addNew();
    void set(const std::string& name, Value v);
    void update();
    void cancelUpdate();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace jet
