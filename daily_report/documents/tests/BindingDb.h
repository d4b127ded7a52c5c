#pragma once
// A fresh database with one booklet work order and its binding line, the
// session that points at it, and plain SQLite access to play the other
// workstation and to read back what a save left.
#include "app/core/Session.h"
#include "db/testing/FreshDatabase.h"

#include <string>

namespace qtmv::daily::test {

class BindingDb : public db::test::FreshDatabase {
public:
    BindingDb()
    {
        exec("insert into CUST (ID, SNAME) values ('C01', '大同文化')");
        exec("insert into PWORK (PO, CUST, [DESC]) values ('P0001', 'C01', '年度型錄')");
        exec("insert into BIND (PO, [NO], [ITEM], [DESC], QTY, UNIT) values ('P0001', 1, '膠裝', '型錄膠裝', 3000, '本')");
        exec("insert into BIND (PO, [NO], [ITEM]) values ('P0001', 2, '騎馬釘')");
        exec("insert into 工單頁數 (PO, [NO], 頁數, 台數, 折數, 裝訂方式, 裝訂說明) values "
             "('P0001', 1, 32, 2, 16, '膠裝', '依頁序裝訂' || char(13) || char(10) || '書背平整')");
        exec("insert into PHRASE (ID, KIND, [ITEM], [DESC]) values (2, 'Z-雜項', '裝訂說明', '騎馬釘'), "
             "(1, 'Z-雜項', '裝訂說明', '膠裝'), (3, 'Z-雜項', '儲位', 'A-01')");
    }

    // A session of an ordinary user with every right of the binding window.
    void signIn(Session& s)
    {
        s = session();
        s.EmployeeId = "A001";
        s.EmployeeName = "王大明";
        s.WorkOrderRights = std::string(50, '1');
        s.ProductionRights = std::string(20, '0');
        s.IdentityEstablished = s.RightsEstablished = true;
    }

    // The stored line as "頁數|台數|折數|裝訂方式|裝訂說明" (line breaks as \r\n), "" without one.
    std::string line(int no = 1)
    {
        return value("select 頁數 || '|' || 台數 || '|' || 折數 || '|' || 裝訂方式 || '|' || 裝訂說明 from 工單頁數 "
                     "where PO = 'P0001' and [NO] = " + std::to_string(no));
    }
};

} // namespace qtmv::daily::test
