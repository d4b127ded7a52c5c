#pragma once
// Our stand-in for the connection object of the Jet provider. One connection
// per operation: open it with the session's connection string, do the work,
// let it go. Statement texts are Jet SQL; they are translated in one place
// (Translator.h) for the database engine behind the connection.
#include "Error.h"

#include <memory>
#include <string>

namespace jet {

class Backend;

class Connection {
public:
    Connection();
    ~Connection();                       // rolls back an open transaction, closes
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "Provider=...;Data Source=<path>;Jet OLEDB:Database Password=..."
    // The Data Source names the database file. Throws Error naming the file
    // when it is missing, is an Access file, or is not a database.
    void open(const std::string& connectionString);
    void close();
    bool isOpen() const;
    const std::string& dataSource() const;

    // Runs a statement that returns no rows; the number of rows it changed.
    long long execute(const std::string& jetSql);

    // Write transactions start immediate: a read-then-write never fails at
    // once on a database that another workstation is writing.
    void beginTrans();
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const;

    Backend& backend();                  // for Recordset

private:
    std::unique_ptr<Backend> backend_;
    std::string dataSource_;
    bool inTransaction_ = false;
};

// Rolls back unless committed. Every transaction goes through this guard.
class Transaction {
public:
    explicit Transaction(Connection& c) : c_(c) { c_.beginTrans(); }
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& c_;
    bool done_ = false;
};

// The Data Source path of a connection string ("" when it has none).
std::string dataSourceOf(const std::string& connectionString);

} // namespace jet
