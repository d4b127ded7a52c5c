#pragma once
// A fresh plant database, a connection of the program's to it, and short
// hands for the rows the loading tests need.
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace qtmv::daily::test {

class PlantDb : public ::testing::Test {
protected:
    PlantDb() { conn.open(db.connectionString()); }

    void insert(const std::string& table, const std::string& columns, const std::string& values)
    {
        db.exec("insert into [" + table + "] (" + columns + ") values (" + values + ")");
    }
    // Several rows of the same columns.
    void insert(const std::string& table, const std::string& columns, std::initializer_list<const char*> rows)
    {
        for (const char* values : rows)
            insert(table, columns, values);
    }
    // A work order of customer C1 ("大華") with its pre-schedule documents D1..D3.
    void workOrder(const std::string& po, const std::string& fdate = "")
    {
        if (!customer_) {
            insert("CUST", "ID, SNAME", "'C1', '大華'");
            for (const char* id : {"D1", "D2", "D3"})
                insert("預排資料", "ID", std::string("'") + id + "'");
            customer_ = true;
        }
        insert("PWORK", "PO, CUST, [DESC], PDATE, FDATE", "'" + po + "', 'C1', '月曆', '1131220', '" + fdate + "'");
    }

    db::test::FreshDatabase db;
    jet::Connection conn;

private:
    bool customer_ = false;
};

} // namespace qtmv::daily::test
