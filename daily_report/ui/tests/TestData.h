#pragma once
// A small plant database for the window tests: one open scheduled piece per
// process kind (two for printing, one of them on a finished work order),
// machine phrases, an employee with his own press and a customer.
#include "common/ProcessKind.h"
#include "db/Database.h"
#include "db/tests/TestDb.h"

#include <iconv.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace qtmv::daily::uitest {

class TestDatabase {
public:
    // A copy of the seeded database: building the schema once per test
    // program keeps the tests quick.
    TestDatabase()
        : path_(std::filesystem::temp_directory_path() /
                ("daily-ui-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++) + ".db"))
    {
        std::filesystem::remove(path_);
        std::filesystem::copy_file(seededTemplate(), path_);
        db_ = std::make_unique<db::test::Db>(path_.string());
    }
    ~TestDatabase()
    {
        db_.reset();
        std::filesystem::remove(path_);
    }
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    std::string connectionString() const
    {
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path_.string() +
               ";Jet OLEDB:Database Password=kvoz2851kvoz2851";
    }

    void exec(const std::string& sql) { db_->exec(sql); }
    // The first column of the first row, "" when there is none or it is null.
    std::string value(const std::string& sql)
    {
        const std::string v = db_->value(sql);
        return v == "<null>" ? std::string() : v;
    }

    // Work order of the piece of kind k: "P0" + letter ("P0D" for printing).
    static std::string workOrder(const ProcessKind& k) { return std::string("P0") + k.letter; }

private:
    explicit TestDatabase(const std::filesystem::path& path) : path_(path)
    {
        std::filesystem::remove(path_);
        db::createDatabase(path_.string());
        db_ = std::make_unique<db::test::Db>(path_.string());
        seed();
        // Closed, so the file is complete (journal folded in) before copies are made.
        db_.reset();
    }

    static const std::filesystem::path& seededTemplate()
    {
        static const TestDatabase seeded(std::filesystem::temp_directory_path() /
                                         ("daily-ui-seed-" + std::to_string(::getpid()) + ".db"));
        return seeded.path_;
    }

    void seed()
    {
        exec("insert into CUST (ID, SNAME) values ('C001', '大華紙業')");
        exec("insert into EMPLOYEE (ID, NAME, 車別) values ('A001', '王大明', '二號機')");
        exec("insert into PHRASE (ID, KIND, ITEM, [DESC], MSG) values "
             "(1, 'Z-雜項', '機別', '一號機', '印刷,上光'), (2, 'Z-雜項', '機別', '二號機', ''), "
             "(3, 'Z-雜項', '機別', '軋台A', '軋工'), (4, 'Z-雜項', '停工說明', '缺紙', '')");
        exec("insert into 刀模管理資料 (序, 刀模代號, 規格, 品名, 客戶簡稱, 作廢) values "
             "(1, 'K-001', '30*40', '彩色型錄G', '大華紙業', 'N'), (2, 'K-002', '', '舊盒', '大華紙業', 'Y'), "
             "(3, 'K-010', '20*20', '禮盒', '新光', '')");
        exec("insert into 預排資料 (ID, [DATE]) values ('1131201001', '1131201')");
        for (const auto& k : processKinds()) {
            const std::string po = workOrder(k);
            const std::string d = std::string(k.detailTable), s = std::string(k.scheduledTable);
            exec("insert into PWORK (PO, CUST, ODATE, PDATE, [DESC], 包裝) values ('" + po +
                 "', 'C001', '1131125', '1131220', '彩色型錄" + std::string(1, k.letter) + "', '紙箱')");
            exec("insert into [" + d + "] (PO, [NO]) values ('" + po + "', 1)");
            exec("insert into [" + s + "] (ID, INO, PO, [NO], 順序, 車別, ODATE, REM) values ('1131201001', " +
                 std::to_string(k.number) + ", '" + po + "', 1, '1', '二號機', '1131201', '')");
            exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO]) values ('1131201001', " +
                 std::to_string(k.number) + ", '" + std::string(k.spacedName) + "', '" + po + "', 1)");
            exec("insert into VENDERAC (PO, [NO], KIND, ODATE, EAMT) values ('" + po + "', 1, '" +
                 std::string(k.spacedName) + "', '', 0)");
            exec("insert into PRINTFLOW (PO) values ('" + po + "')");
        }
        // A second printing piece on the first press, and one whose work
        // order is already finished (never listed).
        exec("insert into PWORK (PO, CUST, [DESC]) values ('P0D2', 'C001', '月曆')");
        exec("insert into PRINTING (PO, [NO]) values ('P0D2', 1)");
        exec("insert into PRINTING_S (ID, INO, PO, [NO], 順序, 車別, ODATE) values "
             "('1131201001', 20, 'P0D2', 1, '2', '一號機', '1131202')");
        exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO]) values ('1131201001', 20, '印 刷', 'P0D2', 1)");
        exec("insert into PWORK (PO, CUST, FDATE) values ('P0DX', 'C001', '1131130')");
        exec("insert into PRINTING_S (ID, INO, PO, [NO], 順序) values ('1131201001', 21, 'P0DX', 1, '3')");
    }

    static int& counter()
    {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
    std::unique_ptr<db::test::Db> db_;
};

// The bytes of a file, as written.
inline std::string readFile(const std::filesystem::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Big5 bytes as UTF-8; "<not Big5>" when they are not Big5.
inline std::string fromBig5(const std::string& bytes)
{
    iconv_t cd = iconv_open("UTF-8", "CP950");
    std::string out(bytes.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    char* o = out.data();
    const bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return ok ? out : "<not Big5>";
}

} // namespace qtmv::daily::uitest
