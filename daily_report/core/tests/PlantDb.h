#pragma once
// A fresh database with the plant's schema in a folder of its own, and short
// hands for the rows the loading tests need.
#include "db/Database.h"
#include "platform/jet/Connection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace qtmv::daily::test {

inline std::string connectionStringFor(const std::string& path)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Jet OLEDB:Database Password=kvoz2851kvoz2851";
}

class PlantDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> counter{0};
        dir_ = std::filesystem::temp_directory_path() /
               ("daily-core-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "QTMV.mdb").string();
        qtmv::db::createDatabase(path_);
        conn.open(connectionString());
    }
    void TearDown() override
    {
        conn.close();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string connectionString() const { return connectionStringFor(path_); }

    void insert(const std::string& table, const std::string& columns, const std::string& values)
    {
        conn.execute("insert into [" + table + "] (" + columns + ") values (" + values + ")");
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

    jet::Connection conn;

private:
    std::filesystem::path dir_;
    std::string path_;
    bool customer_ = false;
};

} // namespace qtmv::daily::test
