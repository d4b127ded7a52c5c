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
class CursorSeries;

class TextRows {
public:
    // Runs the Jet statement on the connection. Throws Error.
    TextRows(Connection& conn, const std::string& jetSql);
    ~TextRows();
    TextRows(TextRows&&) noexcept;
    TextRows(const TextRows&) = delete;
    TextRows& operator=(const TextRows&) = delete;

    int fieldCount() const;
    // The next row's first `width` fields as Value::text() gives them into
    // `row` (fields the statement lacks read ""); false after the last row.
    bool next(std::vector<std::string>& row, std::size_t width);

private:
    friend class TextRowsSeries;
    TextRows(std::shared_ptr<Backend> backend, std::unique_ptr<Cursor> cursor);

    std::shared_ptr<Backend> backend_;
    std::unique_ptr<Cursor> cursor_;
};

// Jet statements whose rows are read one after another, each before the
// next. A server receives them at once and runs the next ones while the
// reader still takes the rows of the first, so its work and the reader's
// overlap; a file database runs each when its turn comes. The connection
// runs nothing else until the series is gone.
class TextRowsSeries {
public:
    // Throws Error.
    TextRowsSeries(Connection& conn, const std::vector<std::string>& jetSqls);
    ~TextRowsSeries();
    TextRowsSeries(const TextRowsSeries&) = delete;
    TextRowsSeries& operator=(const TextRowsSeries&) = delete;

    // The next statement's rows. Throws Error for a statement that failed
    // and Usage past the last one.
    TextRows next();

private:
    std::shared_ptr<Backend> backend_;
    std::unique_ptr<CursorSeries> series_;
    std::size_t left_;
};

} // namespace jet
