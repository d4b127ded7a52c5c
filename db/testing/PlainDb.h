#pragma once
// Plain SQLite access to a database file for tests and benchmarks: no custom
// functions, the way any sqlite3 client sees the file. Seeds what the program
// reads and reads back what it wrote.
#include <sqlite3.h>

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace qtmv::db::test {

// A fresh path in the temporary folder, removed again with the object.
class TempPath {
public:
    explicit TempPath(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++) + ".db"))
    {
        std::filesystem::remove(path_);
    }
    ~TempPath() { std::filesystem::remove(path_); }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;
    std::string str() const { return path_.string(); }

private:
    static int& counter()
    {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

class Db {
public:
    explicit Db(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
        exec("PRAGMA synchronous = OFF"); // test files need no durability
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;
    sqlite3* get() const { return db_; }

    void exec(const std::string& sql)
    {
        char* msg = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
            std::string m = msg ? msg : "";
            sqlite3_free(msg);
            throw std::runtime_error(m + " in: " + sql);
        }
    }
    // All rows, every value as text ("<null>" for NULL).
    std::vector<std::vector<std::string>> rows(const std::string& sql)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
        std::vector<std::vector<std::string>> out;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* t = sqlite3_column_text(st, c);
                row.emplace_back(t ? reinterpret_cast<const char*>(t) : "<null>");
            }
            out.push_back(std::move(row));
        }
        const std::string err = sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(err + " in: " + sql);
        return out;
    }
    // The first value of the first row ("" without rows).
    std::string value(const std::string& sql)
    {
        const auto r = rows(sql);
        return r.empty() || r[0].empty() ? std::string() : r[0][0];
    }
    long long count(const std::string& sql) { return std::stoll(value("select count(*) from (" + sql + ")")); }
    // Every row of every table as text, tables by name, rows as stored: two
    // equal contents mean nothing was written.
    std::string contents()
    {
        std::string all;
        for (const auto& t : rows("select name from sqlite_master where type = 'table' and name not like 'sqlite_%' "
                                  "order by name")) {
            all += "#" + t[0] + "\n";
            for (const auto& row : rows("select * from [" + t[0] + "] order by rowid")) {
                for (const auto& v : row)
                    all += v + "\t";
                all += "\n";
            }
        }
        return all;
    }
    // The result column names of a statement.
    std::vector<std::string> columns(const std::string& sql)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
        std::vector<std::string> out;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            out.emplace_back(sqlite3_column_name(st, c));
        sqlite3_finalize(st);
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};

} // namespace qtmv::db::test
