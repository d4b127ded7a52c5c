#pragma once
// A small production history for the analyses' tests: finished time lines
// of several kinds, machines and operators, with the process lines that
// price them, and the edge cases of the value rule.
#include "db/testing/FreshDatabase.h"

namespace qtmv::reports::test {

// Seeds db. Per record (PO/[NO], kind, machine, operator, completed,
// hours, defects; the process line's figures):
//   P01/1 D 海德堡 A001 1000 1.5h 10  PRINTING QTY1 0, AMT 5000        -> value 0
//   P02/1 D 海德堡 A001 2000 2h   20  PRINTING QTY1 1000 PLAT 4 AMT 3000 -> 0.75, 1500
//   P99/1 D 海德堡 A001   50 0.5h  0  no process line                  -> 0
//   P03/1 D 海德堡 A002  400 1h    4  PRINTING QTY1 300 AMT 1000       -> 3.33, 1332 capped to 1000
//   P02/1 D 海德堡二號 A001 100 1h 1  (the line of P02/1)              -> 75
//   P04/2 J 騎馬釘機 A002 500 1h  5  BIND QTY 0, AMT 800               -> 0
//   P05/1 J 騎馬釘機 A002   2 0.25h 0 BIND QTY 3, AMT 10                -> 3.33, 7
//   P06/1 I 大裁刀 A001   300 1h   3  TRIM QTY 0, PLAT 2, AMT 500      -> 0
//   P07/1 E UV上光 A001   100 1h   2  GLAZE PRICE 1.2345, AMT 99999    -> 123 (1.235 -> 124 printed)
//   P08/1 C 裁紙機 A003     0 0.5h 0  PAPER PRICE 2, AMT 100          -> 0
// and one unfinished line (no end), which no analysis reads. 海德堡 has a
// standard output of 600 an hour; the others none. Ended 2024-12-02/03
// (1131202, 1131203).
inline void SeedProduction(db::test::FreshDatabase& db)
{
    db.exec("insert into EMPLOYEE (ID, NAME) values ('A001', '王大明'), ('A002', '李小華'), ('A003', '陳阿土')");
    db.exec("insert into 印刷產能資料 (機別, 每時產能) values ('海德堡', 600)");
    db.exec("insert into PWORK (PO, [DESC]) values ('P01', '彩色型錄'), ('P02', '月曆'), ('P03', '紙盒')");
    db.exec("insert into PRINTING (PO, [NO], QTY1, PLAT, AMT, QTY) values ('P01', 1, 0, 0, 5000, 100), "
            "('P02', 1, 1000, 4, 3000, 1000), ('P03', 1, 300, 0, 1000, 300)");
    db.exec("insert into BIND (PO, [NO], QTY, AMT) values ('P04', 2, 0, 800), ('P05', 1, 3, 10)");
    db.exec("insert into TRIM (PO, [NO], QTY, PLAT, AMT) values ('P06', 1, 0, 2, 500)");
    db.exec("insert into GLAZE (PO, [NO], PRICE, AMT) values ('P07', 1, 1.2345, 99999)");
    db.exec("insert into PAPER (PO, [NO], PRICE, AMT) values ('P08', 1, 2, 100)");
    db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量, 經辦代號, 耗時, 不良數) values "
            "('T1', 'P01', 1, 1, 'D-印刷', '海德堡', '1131202 0800', '1131202 0930', 1000, 'A001', '1.5', 10), "
            "('T1', 'P02', 1, 1, 'D-印刷', '海德堡', '1131202 1000', '1131202 1200', 2000, 'A001', '2', 20), "
            "('T1', 'P99', 1, 1, 'D-印刷', '海德堡', '1131202 1300', '1131202 1330', 50, 'A001', '0.5', 0), "
            "('T1', 'P03', 1, 1, 'D-印刷', '海德堡', '1131203 0800', '1131203 0900', 400, 'A002', '1', 4), "
            "('T1', 'P02', 1, 2, 'D-印刷', '海德堡二號', '1131203 0800', '1131203 0900', 100, 'A001', '1', 1), "
            "('T1', 'P04', 2, 1, 'J-裝訂', '騎馬釘機', '1131203 0800', '1131203 0900', 500, 'A002', '1', 5), "
            "('T1', 'P05', 1, 1, 'J-裝訂', '騎馬釘機', '1131203 1000', '1131203 1015', 2, 'A002', '0.25', 0), "
            "('T1', 'P06', 1, 1, 'I-裁摺', '大裁刀', '1131203 0800', '1131203 0900', 300, 'A001', '1', 3), "
            "('T1', 'P07', 1, 1, 'E-上光', 'UV上光', '1131203 1300', '1131203 1400', 100, 'A001', '1', 2), "
            "('T1', 'P08', 1, 1, 'C-紙品', '裁紙機', '1131203 1300', '1131203 1330', 0, 'A003', '0.5', 0), "
            "('T1', 'P01', 1, 2, 'D-印刷', '海德堡', '1131203 1500', '', 70, 'A001', '', 0)");
}

} // namespace qtmv::reports::test
