#pragma once
// A small production history for the analyses' tests: finished time lines
// of several kinds, machines and operators, with the process lines that
// price them, and the edge cases of the value rule.
#include "db/testing/FreshDatabase.h"

#include <gtest/gtest.h>

namespace qtmv::reports::test {

// Seeds db. Per record (PO/[NO], kind, machine, operator, completed,
// hours, defects; the process line's figures):
//   P01/1 D 海德堡 A001 1000 1.5h 10  PRINTING QTY1 0, AMT 5000        -> value 0
//   P02/1 D 海德堡 A001 2000 2h   20  PRINTING QTY1 1000 PLAT 4 AMT 3000 -> 0.75, 1500
//   P99/1 D 海德堡 A001   50 0.5h  0  no process line                  -> 0
//   P03/1 D 海德堡 A002  400 1h    4  PRINTING QTY1 300 AMT 1000       -> 3.33, 1332 capped to 1000
//   P02/1 D 海德堡二號 A001 100 1h 1  (the line of P02/1)              -> 75
//   P04/2 J 騎馬釘機 A002 500 1h  5  BIND QTY 0, AMT 800               -> 0
//   P05/1 J 騎馬釘機 A002   2 0.25h 0 BIND QTY 3, AMT 10                -> 3.3333, 7
//   P06/1 I 大裁刀 A001   300 1h   3  TRIM QTY 0, PLAT 2, AMT 500      -> 0
//   P07/1 E UV上光 A001   100 1h   2  GLAZE PRICE 1.2345, AMT 99999    -> 1.235, 124
//   P08/1 C 裁紙機 A003     0 0.5h 0  PAPER PRICE 2, AMT 100          -> 0
// and one unfinished line (no end), which no analysis reads. 海德堡 has a
// standard output of 600 an hour; the others none. Ended 2024-12-02/03
// (1131202, 1131203).
void SeedProduction(db::test::FreshDatabase& db);

// A fresh database with that history, for the analyses' test suites.
class ProductionHistory : public ::testing::Test {
protected:
    void SetUp() override { SeedProduction(db_); }
    db::test::FreshDatabase db_;
};

} // namespace qtmv::reports::test
