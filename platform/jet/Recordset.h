#pragma once
// Our stand-in for the recordset of the Jet provider.
//
// Reading: open(sql, conn) with the defaults (client-side, static, read-only)
// reads all rows at once; recordCount(), eof(), moveNext(), field("NAME").
// A server-side forward-only read-only recordset steps through the rows as
// they come (recordCount() is -1 there, bof() tells whether a row exists).
//
// Editing: open with CursorType::Dynamic and LockType::Optimistic on a
// single-table select ("select * from [T] where ...", "select top 1 * ...",
// "select ID, INO, REM from [T_S] where ..."). set() changes fields of the
// current row, update() writes only the changed fields of that row, and fails
// with Error::Kind::RowChanged when the row changed or vanished since it was
// read. addNew() + set() + update() inserts a row.
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

    long long recordCount() const;   // -1 on a server-side forward-only cursor
    bool eof() const;
    bool bof() const;
    void moveNext();
    void moveFirst();                // not on a forward-only cursor
    void movePrevious();
    void moveLast();
    long long absolutePosition() const;   // 0-based index of the current row

    int fieldCount() const;
    const std::string& fieldName(int index) const;
    int fieldIndex(const std::string& name) const;   // -1 when absent; case-insensitive
    const Value& field(const std::string& name) const;   // throws Error when absent
    const Value& field(int index) const;
    // The field joined with an empty string and trimmed: null reads as "".
    std::string text(const std::string& name) const;

    // All rows read so far (the whole result on a client-side cursor), in
    // field order; for copying into a grid without per-field lookups.
    const std::vector<std::vector<Value>>& rows() const;

    // Editing (Dynamic/Keyset + Optimistic only).
    void addNew();
    void set(const std::string& name, Value v);
    void update();
    void cancelUpdate();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace jet
