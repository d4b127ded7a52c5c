#include "printing/PrintJob.h"

#include "printing/ExportWindows.h"

#include "common/ProcessKind.h"
#include "printing/OrderParams.h"
#include "reports/ProductionAnalysis.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

namespace qtmv::daily::printing {

std::string MachineCopySql()
{
    // One work-order line of a document may be scheduled in several kinds:
    // a line takes the machine of its own kind's piece only. The piece's
    // KIND is spaced ("印 刷"); cutting and other also have a second
    // spelling ("裁 工", "其 他").
    auto spaced = [](std::string_view name) {
        // Two Chinese characters of three UTF-8 bytes each.
        return std::string(name.substr(0, 3)) + " " + std::string(name.substr(3));
    };
    std::string kinds;
    for (const ProcessKind& k : ProcessKinds()) {
        std::string names = "'" + std::string(k.spacedName) + "'";
        if (k.secondName != k.name)
            names += ", '" + spaced(k.secondName) + "'";
        kinds += std::string(kinds.empty() ? "" : " or ") + "(預排資料耗時明細.製程 = '" + std::string(k.displayName)
                 + "' and 預排資料明細.KIND in (" + names + "))";
    }
    // Only a missing machine is filled: a blank one is missing too (the
    // time window stores "" for a line without a machine), a typed one is
    // never replaced, and a piece without a machine has nothing to give.
    return "update [預排資料耗時明細] inner join [預排資料明細] on 預排資料耗時明細.單號 = 預排資料明細.ID and "
           "預排資料耗時明細.工單單號 = 預排資料明細.PO and "
           "預排資料耗時明細.工單序 = 預排資料明細.[NO] "
           "set 預排資料耗時明細.機別 = 預排資料明細.機別 "
           "where (預排資料耗時明細.機別 is null or trim(預排資料耗時明細.機別) = '') and "
           "trim(預排資料明細.機別) <> '' and (" + kinds + ") ";
}

std::string AnalysisCondition(const PrintParams& p)
{
    return reports::AnalysisCondition(OrderParams(p));
}

std::string CheckQuery(int choice, const PrintParams& p, const std::string& mode, const std::string& key)
{
    switch (choice) {
    case 0: case 3: case 4: case 5: {
        const ProcessKind* k = KindByDisplayName(p.kind);
        return k ? reports::CheckQuery(k->id(), OrderParams(p)) : std::string();
    }
    case 1: case 7: {
        std::string q = AnalysisCondition(p);
        if (!p.kind.empty())
            q += " and KIND = '" + jet::SqlText(p.kind) + "' ";
        return q + " order by PKEY, 經辦代號, 開始時間, 結束時間, PO ";
    }
    case 2:
        if (mode.empty())
            return AnalysisCondition(p) + (p.kind.empty() ? "" : " and KIND = '" + jet::SqlText(p.kind) + "' ") + " "
                   + (p.completionGrouping == 2 ? "order by PKEY1, 開始時間, 結束時間, PO "
                                                : "order by PKEY, 開始時間, 結束時間, PO ");
        if (p.completionGrouping == 2)
            return "select ID, 種類, 機別, 完成日期, sum(val(完成數)) as 完成數, "
                   "sum(val(耗時)) as 耗時, sum(val(不良數)) as 不良數, "
                   "sum(val(產值)) as 產值, count(*) as 筆數 from [不良分析_tmp] where ID = '" + jet::SqlText(key) + "' "
                   "group by ID, 種類, 機別, 完成日期 order by 種類, 機別, 完成日期 ";
        return "select ID, 種類, 機別, 經辦代號, 經辦, sum(val(完成數)) as 完成數, "
               "sum(val(耗時)) as 耗時, sum(val(不良數)) as 不良數, "
               "sum(val(產值)) as 產值, count(*) as 筆數 from [不良分析_tmp] where ID = '" + jet::SqlText(key) + "' "
               "group by ID, 種類, 機別, 經辦代號, 經辦 order by 種類, 機別, 經辦代號 ";
    case 6:
        return AnalysisCondition(p) + " order by 經辦代號, KIND, 機別, 開始時間, 結束時間, PO ";
    default:
        return {};
    }
}

Dispatch Decide(int choice, const PrintParams& p, const std::string& mode, bool table1, bool preview)
{
    Dispatch d;
    d.preview = preview;
    switch (choice) {
    case 0: case 3: case 4: case 5: {
        const ProcessKind* k = KindByDisplayName(p.kind);
        d.target = Target::OutsourcingOrder;
        d.layout = "rpt外發單_" + std::string(k ? k->secondName : std::string_view()) + "_xp";
        d.preview = true;
        break;
    }
    case 1:
        if (!mode.empty())
            d = {Target::ValueExcel, std::string(kValueExcelWindow), true};
        else if (p.kind == "D-印刷")
            d.layout = table1 ? "rpt產值分析表_印刷" : "rpt產值分析表_印刷_1";
        else
            d.layout = "rpt產值分析表1";
        break;
    case 2:
        if (!mode.empty())
            d = {Target::ValueExcel, std::string(kValueExcelWindow), true};
        else
            d.layout = p.completionGrouping == 2 ? "rpt不良分析2_工務預排" : "rpt不良分析1_工務預排";
        break;
    case 6:
        d.layout = "rpt不良分析_工務預排個人總表";
        break;
    default:
        if (!mode.empty())
            d = {Target::DetailExcel, std::string(kDetailExcelWindow), true};
        else
            d.layout = "rpt生產明細表";
        break;
    }
    return d;
}

Outcome RunPrint(const std::string& connectionString, const PageInput& page, bool preview, const std::string& mode,
                 const std::string& key, const std::function<bool(const PrintParams&)>& buildAnalysis)
{
    Outcome out;
    out.params = FillParams(page);
    const PrintParams& p = out.params;
    out.dispatch = Decide(page.choice, p, mode, page.table1, preview);

    if (page.choice == 2 && !mode.empty() && !(buildAnalysis && buildAnalysis(p))) {
        out.status = Outcome::Cancelled;
        return out;
    }
    jet::Connection conn;
    conn.open(connectionString);
    // The analyses attribute a line without a machine to its piece's machine
    // themselves, so a preview shows the same figures without writing; the
    // machines are stored when the user prints or exports.
    if (!preview || !mode.empty()) {
        jet::Transaction tx(conn);
        conn.execute(MachineCopySql());
        tx.commit();
    }
    const std::string check = CheckQuery(page.choice, p, mode, key);
    bool any = false;
    if (!check.empty()) {
        jet::Recordset rs;
        rs.open(check, conn);
        any = !rs.eof();
    }
    if (!any) {
        out.status = Outcome::NoData;
        return out;
    }
    {
        jet::Recordset rs;
        rs.open("select * from [COMPANY]", conn);
        if (!rs.eof())
            out.params.companyTitle = Trim(rs.text("COMPANY"));
    }
    {
        jet::Recordset rs;
        rs.open("select * from [排程表尾預設]", conn);
        if (!rs.eof()) {
            out.params.footer1 = rs.text("REM");
            out.params.footer2 = rs.text("REM1");
            out.params.footer3 = rs.text("REM2");
        }
    }
    out.status = Outcome::Ready;
    return out;
}

} // namespace qtmv::daily::printing
