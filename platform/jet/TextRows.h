#pragma once
// A statement's rows read straight into texts, one row at a time, for a
// reader that wants nothing but the texts of many rows (the grid loader).
// Each text is copied once, from the engine into the caller's string, with
// no Value in between. Forward only: the statement holds its read lock
// until the last row has been read or the reader goes.
#include <memory>
#include <string>
#include <vector>

namespace jet {

class Backend;
class Connection;
class Cursor;

class TextRows {
public:
    // Runs the Jet statement on the connection. Throws Error.
    TextRows(Connection& conn, const std::string& jetSql);
    ~TextRows();
    TextRows(const TextRows&) = delete;
    TextRows& operator=(const TextRows&) = delete;

    int fieldCount() const;
    // The next row's first `width` fields as Value::text() gives them into
    // `row` (fields the statement lacks read ""); false after the last row.
    bool next(std::vector<std::string>& row, std::size_t width);

private:
    std::shared_ptr<Backend> backend_;
    std::unique_ptr<Cursor> cursor_;
};

} // namespace jet
