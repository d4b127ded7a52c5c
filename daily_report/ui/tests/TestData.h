#pragma once
// A small plant database for the window tests: one open scheduled piece per
// process kind (two for printing, one of them on a finished work order),
// machine phrases, an employee with his own press and a customer.
#include "common/ProcessKind.h"
#include "db/testing/FreshDatabase.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qtmv::daily::uitest {

class TestDatabase : public db::test::FreshDatabase {
public:
    // A copy of the seeded database: building the schema once per test
    // program keeps the tests quick.
    TestDatabase() : FreshDatabase(db::test::CopyOf(seeded())) {}

    // Work order of the piece of kind k: "P0" + letter ("P0D" for printing).
    static std::string workOrder(const ProcessKind& k) { return std::string("P0") + k.letter; }

private:
    static const std::string& seeded()
    {
        static FreshDatabase db;
        static const std::string path = (seed(db), db.path());
        return path;
    }

    static void seed(db::test::Db& db)
    {
        db.exec("insert into CUST (ID, SNAME) values ('C001', '大華紙業')");
        db.exec("insert into EMPLOYEE (ID, NAME, 車別) values ('A001', '王大明', '二號機')");
        db.exec("insert into PHRASE (ID, KIND, ITEM, [DESC], MSG) values "
                "(1, 'Z-雜項', '機別', '一號機', '印刷,上光'), (2, 'Z-雜項', '機別', '二號機', ''), "
                "(3, 'Z-雜項', '機別', '軋台A', '軋工'), (4, 'Z-雜項', '停工說明', '缺紙', '')");
        db.exec("insert into 刀模管理資料 (序, 刀模代號, 規格, 品名, 客戶簡稱, 作廢) values "
                "(1, 'K-001', '30*40', '彩色型錄G', '大華紙業', 'N'), (2, 'K-002', '', '舊盒', '大華紙業', 'Y'), "
                "(3, 'K-010', '20*20', '禮盒', '新光', '')");
        db.exec("insert into 預排資料 (ID, [DATE]) values ('1131201001', '1131201')");
        for (const auto& k : ProcessKinds()) {
            const std::string po = workOrder(k);
            const std::string d = std::string(k.detailTable), s = std::string(k.scheduledTable);
            db.exec("insert into PWORK (PO, CUST, ODATE, PDATE, [DESC], 包裝) values ('" + po +
                    "', 'C001', '1131125', '1131220', '彩色型錄" + std::string(1, k.letter) + "', '紙箱')");
            db.exec("insert into [" + d + "] (PO, [NO]) values ('" + po + "', 1)");
            db.exec("insert into [" + s + "] (ID, INO, PO, [NO], 順序, 車別, ODATE, REM) values ('1131201001', " +
                 std::to_string(k.number) + ", '" + po + "', 1, '1', '二號機', '1131201', '')");
            db.exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO]) values ('1131201001', " +
                 std::to_string(k.number) + ", '" + std::string(k.spacedName) + "', '" + po + "', 1)");
            db.exec("insert into VENDERAC (PO, [NO], KIND, ODATE, EAMT) values ('" + po + "', 1, '" +
                 std::string(k.spacedName) + "', '', 0)");
            db.exec("insert into PRINTFLOW (PO) values ('" + po + "')");
        }
        // A second printing piece on the first press, and one whose work
        // order is already finished (never listed).
        db.exec("insert into PWORK (PO, CUST, [DESC]) values ('P0D2', 'C001', '月曆')");
        db.exec("insert into PRINTING (PO, [NO]) values ('P0D2', 1)");
        db.exec("insert into PRINTING_S (ID, INO, PO, [NO], 順序, 車別, ODATE) values "
                "('1131201001', 20, 'P0D2', 1, '2', '一號機', '1131202')");
        db.exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO]) values ('1131201001', 20, '印 刷', 'P0D2', 1)");
        db.exec("insert into PWORK (PO, CUST, FDATE) values ('P0DX', 'C001', '1131130')");
        db.exec("insert into PRINTING_S (ID, INO, PO, [NO], 順序) values ('1131201001', 21, 'P0DX', 1, '3')");
    }
};

// The bytes of a file, as written.
inline std::string ReadFile(const std::filesystem::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

} // namespace qtmv::daily::uitest
