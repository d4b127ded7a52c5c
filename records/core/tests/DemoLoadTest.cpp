#include "records/core/GridLoader.h"
#include "records/core/RowDetails.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"
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
                if (!rows.empty()) {
                    EXPECT_TRUE(LoadRowDetails(conn, k, rows[0]).found);
                }
            }
            EXPECT_EQ(rows.size(), first);   // the order never changes what is listed
        }
        open += static_cast<long long>(first);
        if (k.letter == 'D') {
            EXPECT_EQ(static_cast<long long>(first), summary.openPrintingPieces);
        }
    }
    EXPECT_EQ(open, summary.openPieces);
    EXPECT_GT(summary.openPrintingPieces, 0);
}
