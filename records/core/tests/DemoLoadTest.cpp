#include "records/core/GridLoader.h"
#include "records/core/RowDetails.h"
#include "db/testing/EngineFreshDatabase.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/jet/testing/ServerDatabase.h"
#include "tools/demo-db/DemoPlant.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::daily;

TEST(DemoPlant, EveryKindAndSortOptionLoads)
{
    demo::DemoSummary summary;
    db::test::FreshDatabase db([&summary](const std::string& path) { summary = demo::WriteDemoPlant(path, {}); });
    jet::Connection conn;
    conn.open(db.connectionString());

    long long open = 0;
    for (const auto& k : ProcessKinds()) {
        std::size_t first = 0;
        for (int s = 0; s < 6; ++s) {
            SCOPED_TRACE(std::string(k.displayName) + " sort " + std::to_string(s));
            const GridRows rows = LoadGrid(conn, k, "", static_cast<SortOption>(s));
            for (const auto& r : rows)
                ASSERT_FALSE(r[0].empty());
            if (s == 0) {
                first = rows.size();
                ASSERT_FALSE(rows.empty()) << "the plant has open pieces of every kind";
                EXPECT_TRUE(LoadRowDetails(conn, k, rows[0]).found);
            }
            EXPECT_EQ(rows.size(), first);   // the order never changes what is listed
        }
        open += static_cast<long long>(first);
        if (k.letter == 'D') {
            EXPECT_EQ(static_cast<long long>(first), summary.openPrintingPieces);
        }
    }
    EXPECT_EQ(open, summary.openPieces);
}

// On a server the workstation matches the other processes' lines to the
// pieces, and sorts the rows for the work-order and sequence orders (the
// server the others): every kind in every order lists the same rows and
// cells in the order the file gives them. Among them pieces told apart only
// by 順序 (null, empty, a word, numbers of two lengths), work orders whose
// letters differ in case ("a100" before "B050" with the letters folded,
// after it byte by byte; lines of other processes spelt in another case
// than their pieces' work orders),
// and a finished mounting line read through a missing die-cutting line.
TEST(DemoPlant, TheServerListsThePiecesInTheFilesOrder)
{
    if (!jet::testing::TestServer())
        GTEST_SKIP() << jet::testing::kNoTestServer;
    const auto make = [](const std::string& path) {
        demo::DemoOptions o;
        o.workOrders = 80;
        demo::WriteDemoPlant(path, o);
        db::test::Db d(path);
        const auto open = d.rows("select PRINTING_S.PO, PRINTING_S.ID from PRINTING_S inner join PWORK on "
                                 "PRINTING_S.PO = PWORK.PO where (PRINTING_S.FDATE = '' or PRINTING_S.FDATE is null) "
                                 "and (PWORK.FDATE = '' or PWORK.FDATE is null) order by PRINTING_S.PO");
        ASSERT_GE(open.size(), 2u);
        d.exec("create temp table t as select * from PRINTING_S where ID = '" + open[0][1] + "' limit 1");
        int ino = 100;
        for (const char* order : {"''", "'abc'", "'10'", "'9'", "null"})
            d.exec("update t set INO = " + std::to_string(ino++) + ", 順序 = " + order +
                   "; insert into PRINTING_S select * from t");
        const std::string other = open.back()[0];
        const auto tables = d.rows("select m.name from sqlite_master m, pragma_table_info(m.name) c "
                                   "where m.type = 'table' and c.name = 'PO'");
        for (const auto& [po, renamed] : {std::pair{open[0][0], std::string("a100")}, std::pair{other, std::string("B050")}})
            for (const auto& t : tables)
                d.exec("update [" + t[0] + "] set PO = '" + renamed + "' where PO = '" + po + "'");
        // The other processes' lines of "a100" spelt "A100", and of an open
        // work order "C200" with paper and varnish lines spelt "c200": they
        // belong to its pieces all the same.
        const auto lined = d.rows("select s.PO from PRINTING_S s inner join PAPER p on s.PO = p.PO and s.[NO] = "
                                  "p.[NO] inner join GLAZE g on s.PO = g.PO and s.[NO] = g.[NO] inner join PWORK w "
                                  "on s.PO = w.PO where (w.FDATE = '' or w.FDATE is null) and s.PO not in ('a100', "
                                  "'B050') and (s.FDATE = '' or s.FDATE is null) limit 1");
        ASSERT_EQ(lined.size(), 1u);
        for (const auto& t : tables)
            d.exec("update [" + t[0] + "] set PO = 'C200' where PO = '" + lined[0][0] + "'");
        for (const auto& k : ProcessKinds())
            d.exec("update [" + std::string(k.detailTable) + "] set PO = upper(PO) || '' where PO = 'a100'; update [" +
                   std::string(k.detailTable) + "] set PO = lower(PO) || '' where PO = 'C200'");
        d.exec("update GLAZE set ITEM = 'UV' || rowid");
        // Two open die-cutting pieces whose mounting is finished, the second
        // without its die-cutting line: its mounting flag reads empty.
        const auto mounted = d.rows("select s.PO, s.[NO] from CROWD_S s inner join MOUNT m on s.PO = m.PO and "
                                    "s.[NO] = m.[NO] where s.FDATE = '' or s.FDATE is null order by s.ID limit 2");
        ASSERT_EQ(mounted.size(), 2u);
        for (const auto& line : mounted)
            d.exec("update MOUNT set FDATE = '2024/11/30' where PO = '" + line[0] + "' and [NO] = " + line[1]);
        d.exec("delete from CROWD where PO = '" + mounted[1][0] + "' and [NO] = " + mounted[1][1]);
    };
    db::test::EngineFreshDatabase file(db::test::Engine::SQLite, make), server(db::test::Engine::Server, make);
    jet::Connection onFile, onServer;
    onFile.open(file.session().ConnectionString);
    onServer.open(server.session().ConnectionString);
    for (const auto& k : ProcessKinds())
        for (int s = 0; s < 6; ++s) {
            SCOPED_TRACE(std::string(k.displayName) + " sort " + std::to_string(s));
            const GridRows rows = LoadGrid(onFile, k, "", static_cast<SortOption>(s));
            EXPECT_EQ(LoadGrid(onServer, k, "", static_cast<SortOption>(s)), rows);
            if (k.is(KindId::Printing) && s == 0) {
                // The renamed work orders, letters folded.
                std::vector<std::string> seen;
                for (const auto& r : rows)
                    if ((r[0] == "a100" || r[0] == "B050") && (seen.empty() || seen.back() != r[0]))
                        seen.push_back(r[0]);
                EXPECT_EQ(seen, (std::vector<std::string>{"a100", "B050"}));
            }
        }
}
