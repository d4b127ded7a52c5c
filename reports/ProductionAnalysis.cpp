#include "reports/ProductionAnalysis.h"

#include "common/NumberFormat.h"
#include "common/ProcessKind.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

namespace qtmv::reports {

double UnitPrice(const std::string& kind, const LineFigures& l)
{
    double price = 0;
    if (kind == "D-印刷") {
        if (l.qty1 == 0)
            return 0;
        price = l.plat != 0 ? l.amt / l.qty1 / l.plat : l.amt / l.qty1;
    } else if (kind == "I-裁摺") {
        // No quantity: no price, as for binding (a division by zero otherwise).
        if (l.qty == 0)
            return 0;
        price = l.plat != 0 ? l.amt / l.qty / l.plat : l.amt / l.qty;
    } else if (kind == "J-裝訂") {
        if (l.qty == 0)
            return 0;
        price = l.amt / l.qty;
    } else {
        price = l.price;
    }
    // Rounded once: a division rounded to 2 places first would make the
    // 4 places of binding 3.3300 instead of 3.3333.
    return RoundNumber(price, UnitPriceDecimals(kind));
}

int UnitPriceDecimals(const std::string& kind)
{
    for (const char* k : {"A-印前", "C-紙品", "H-糊工", "J-裝訂"})
        if (kind == k)
            return 4;
    for (const char* k : {"E-上光", "F-裱紙", "G-軋工", "L-燙金"})
        if (kind == k)
            return 3;
    return 2;
}

double ProductionValue(double completed, double unitPrice, double amount)
{
    const double value = RoundNumber(completed * unitPrice, 0);
    return value > amount ? amount : value;
}

double MinutesOf(double hours) { return RoundNumber(hours * 60, 0); }

double Deviation(double completed, double standardPerHour, double minutes)
{
    if (standardPerHour == 0)
        return 0 - minutes;
    return RoundNumber(completed / standardPerHour * 60 - minutes, 0);
}

std::string LinePrices::key(const std::string& kind, const std::string& po, double no)
{
    return kind + '\x1f' + AsciiUpper(po) + '\x1f' + jet::SqlNumber(no);
}

LineFigures LinePrices::figures(const jet::Recordset& rs)
{
    auto number = [&rs](const char* column) { return rs.fieldIndex(column) < 0 ? 0.0 : Val(rs.field(column).trimmed()); };
    return LineFigures{number("QTY1"), number("QTY"), number("PLAT"), number("AMT"), number("PRICE")};
}

std::optional<LineFigures> LinePrices::find(const std::string& kind, const std::string& po, double no)
{
    const ProcessKind* k = KindByDisplayName(kind);
    if (!k)
        return std::nullopt;
    auto [it, added] = cache_.try_emplace(key(kind, po, no));
    // A work order read by prefetch has all its lines in the cache.
    if (!added || fetched_.count(kind + '\x1f' + AsciiUpper(po)))
        return it->second;
    jet::Recordset rs;
    rs.open("select * from [" + std::string(k->detailTable) + "] where PO = '" + jet::SqlText(po) + "' And [NO] = "
                + jet::SqlNumber(no),
            conn_);
    if (!rs.eof())
        it->second = figures(rs);
    return it->second;
}

void LinePrices::prefetch(const std::vector<std::pair<std::string, std::string>>& kindAndPo)
{
    std::map<std::string, std::vector<std::string>> byKind;
    for (const auto& [kind, po] : kindAndPo)
        if (KindByDisplayName(kind) && fetched_.try_emplace(kind + '\x1f' + AsciiUpper(po), true).second)
            byKind[kind].push_back(po);
    constexpr std::size_t kChunk = 400;
    for (const auto& [kind, pos] : byKind) {
        const std::string table(KindByDisplayName(kind)->detailTable);
        for (std::size_t from = 0; from < pos.size(); from += kChunk) {
            std::string in;
            for (std::size_t i = from; i < std::min(pos.size(), from + kChunk); ++i)
                in += (in.empty() ? "'" : ", '") + jet::SqlText(pos[i]) + "'";
            jet::Recordset rs;
            rs.open("select * from [" + table + "] where PO in (" + in + ")", conn_);
            for (; !rs.eof(); rs.moveNext())
                cache_[key(kind, rs.text("PO"), rs.field("NO").number())] = figures(rs);
        }
    }
}

std::string AnalysisCondition(const PrintParams& p)
{
    using jet::SqlText;
    return "select * from [不良分析4] where 開始時間 >= '" + SqlText(p.doneFrom + p.doneTimeFrom)
           + "' and 結束時間 <= '" + SqlText(p.doneTo + p.doneTimeTo) + "' and PO between '" + SqlText(p.poFrom)
           + "' and '" + SqlText(p.poTo) + "' and 機別 like '%" + SqlText(p.machine) + "%' and ( 經辦代號 like '%"
           + SqlText(p.handler) + "%' or 經辦 like '%" + SqlText(p.handler) + "%') and 製作說明 like '%"
           + SqlText(p.description) + "%' and 結束1 <> '' ";
}

std::string ListingQuery(const PrintParams& p)
{
    std::string q = AnalysisCondition(p);
    if (!p.kind.empty())
        q += " and KIND = '" + jet::SqlText(p.kind) + "' ";
    return q + " order by PKEY, 經辦代號, 開始時間, 結束時間, PO ";
}

std::optional<SummaryLayout> SummaryLayoutByName(const std::string& name)
{
    for (SummaryLayout l : {SummaryLayout::ByKey, SummaryLayout::ByDate, SummaryLayout::Personal})
        if (name == SummaryLayoutName(l))
            return l;
    return std::nullopt;
}

std::string SummaryLayoutName(SummaryLayout l)
{
    switch (l) {
    case SummaryLayout::ByKey: return "rpt不良分析1_工務預排";
    case SummaryLayout::ByDate: return "rpt不良分析2_工務預排";
    case SummaryLayout::Personal: break;
    }
    return "rpt不良分析_工務預排個人總表";
}

std::string SummaryQuery(SummaryLayout l, const PrintParams& p)
{
    using jet::SqlText;
    std::string q = "select * from [不良分析4] where 開始時間 >= '" + SqlText(p.doneFrom + p.doneTimeFrom)
                    + "' and 結束時間 <= '" + SqlText(p.doneTo + p.doneTimeTo) + "' and PO between '"
                    + SqlText(p.poFrom) + "' and '" + SqlText(p.poTo);
    q += l == SummaryLayout::Personal ? "' and 機別 like '%" + SqlText(p.machine) + "%' and ( " : std::string("' and ( ");
    q += "經辦代號 like '%" + SqlText(p.handler) + "%' or 經辦 like '%" + SqlText(p.handler)
         + "%') and 製作說明 like '%" + SqlText(p.description) + "%' and [DESC] like '%" + SqlText(p.descriptionFilter)
         + "%' and 結束1 <> '' ";
    if (l == SummaryLayout::Personal)
        return q + " order by 經辦代號, KIND, 機別, 開始時間, 結束時間, PO ";
    // The summaries match the machine exactly, unlike the print page's check.
    if (!p.machine.empty())
        q += " and 機別 = '" + SqlText(p.machine) + "' ";
    if (!p.kind.empty())
        q += " and KIND = '" + SqlText(p.kind) + "' ";
    return q + (l == SummaryLayout::ByKey ? " order by PKEY, 開始時間, 結束時間, PO " : " order by PKEY1, 開始時間, 結束時間, PO ");
}

std::vector<ProductionRecord> ReadRecords(jet::Connection& conn, const std::string& sql)
{
    jet::Recordset rs;
    rs.open(sql, conn);
    auto col = [&rs](const char* name) { return rs.fieldIndex(name); };
    const int kind = col("KIND"), machine = col("機別"), handlerId = col("經辦代號"), handler = col("經辦"),
              completed = col("完成數"), hours = col("耗時"), defects = col("不良數量"), endDate = col("結束1"),
              po = col("PO"), no = col("NO"), start = col("開始時間"), end = col("結束時間"), remark = col("製作說明"),
              pkey = col("PKEY"), pkey1 = col("PKEY1"), product = col("DESC"), standard = col("時標準量");
    auto text = [](const std::vector<jet::Value>& row, int c) { return c < 0 ? std::string() : row[c].trimmed(); };
    auto number = [](const std::vector<jet::Value>& row, int c) { return c < 0 ? 0.0 : row[c].number(); };

    std::vector<ProductionRecord> out;
    out.reserve(rs.rows().size());
    for (const auto& row : rs.rows()) {
        ProductionRecord r;
        r.kind = text(row, kind);
        r.machine = text(row, machine);
        r.handlerId = text(row, handlerId);
        r.handler = text(row, handler);
        r.po = text(row, po);
        r.endDate = text(row, endDate);
        r.start = text(row, start);
        r.end = text(row, end);
        r.remark = text(row, remark);
        r.product = text(row, product);
        r.pkey = text(row, pkey);
        r.pkey1 = text(row, pkey1);
        r.no = number(row, no);
        r.completed = number(row, completed);
        r.hours = number(row, hours);
        r.defects = number(row, defects);
        r.standardPerHour = number(row, standard);
        r.minutes = MinutesOf(r.hours);
        r.deviation = Deviation(r.completed, r.standardPerHour, r.minutes);
        out.push_back(std::move(r));
    }
    rs.close();

    LinePrices prices(conn);
    std::vector<std::pair<std::string, std::string>> lines;
    lines.reserve(out.size());
    for (const ProductionRecord& r : out)
        lines.emplace_back(r.kind, r.po);
    prices.prefetch(lines);
    for (ProductionRecord& r : out) {
        if (const auto line = prices.find(r.kind, r.po, r.no)) {
            r.priced = true;
            r.unitPrice = UnitPrice(r.kind, *line);
            r.value = ProductionValue(r.completed, r.unitPrice, line->amt);
        }
    }
    return out;
}

void Totals::add(const ProductionRecord& r)
{
    ++count;
    completed += r.completed;
    minutes += r.minutes;
    deviation += r.deviation;
    defects += r.defects;
    value += r.value;
}

std::optional<double> DefectRate(double defects, double completed)
{
    if (completed == 0)
        return std::nullopt;
    return RoundNumber(defects / completed * 100, 2);
}

std::optional<double> Totals::defectRate() const { return DefectRate(defects, completed); }

} // namespace qtmv::reports
