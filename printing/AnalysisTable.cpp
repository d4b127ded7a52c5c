#include "printing/AnalysisTable.h"

#include "common/NumberFormat.h"
#include "printing/PrintJob.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "reports/ProductionAnalysis.h"

namespace qtmv::daily::printing {

std::string AnalysisSourceQuery(const PrintParams& p)
{
    std::string q = AnalysisCondition(p);
    if (!p.kind.empty())
        q += " and KIND = '" + jet::SqlText(p.kind) + "' ";
    return q + (p.completionGrouping == 1 ? " order by PKEY, 開始時間, 結束時間, PO "
                                          : " order by PKEY1, 開始時間, 結束時間, PO ");
}

bool BuildAnalysisTable(const std::string& connectionString, const PrintParams& p, const std::string& key,
                        const BuildProgress& progress)
{
    jet::Connection conn;
    conn.open(connectionString);
    jet::Transaction tx(conn);
    conn.execute("delete from [不良分析_tmp] where ID = '" + jet::SqlText(key) + "' ");
    const auto records = reports::ReadRecords(conn, AnalysisSourceQuery(p));

    // Many rows a statement: one insert per record would dominate the build.
    constexpr std::size_t kBatch = 400;
    const std::string head =
        "insert into [不良分析_tmp] (ID, 種類, 機別, 經辦代號, 經辦, 完成數, 耗時, 不良數, 完成日期, 產值) values ";
    const std::string id = "'" + jet::SqlText(key) + "'";
    auto quoted = [](const std::string& s) { return "'" + jet::SqlText(s) + "'"; };
    std::string sql;
    const long long total = static_cast<long long>(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const reports::ProductionRecord& r = records[i];
        sql += sql.empty() ? head : std::string(", ");
        sql += "(" + id + ", " + quoted(r.kind) + ", " + quoted(r.machine) + ", " + quoted(r.handlerId) + ", "
               + quoted(r.handler) + ", " + quoted(jet::RealText(r.completed)) + ", "
               + quoted(FormatFixed(r.minutes, 0)) + ", " + quoted(jet::RealText(r.defects)) + ", "
               + quoted(r.endDate) + ", " + quoted(jet::RealText(r.value)) + ")";
        if ((i + 1) % kBatch == 0 || i + 1 == records.size()) {
            conn.execute(sql);
            sql.clear();
        }
        // Every few hundred records: the caller repaints its progress.
        const bool report = (i + 1) % 256 == 0 || i + 1 == records.size();
        if (report && progress && !progress(static_cast<long long>(i) + 1, total))
            return false; // the guard rolls back
    }
    tx.commit();
    return true;
}

} // namespace qtmv::daily::printing
