#include "quality/core/Inspection.h"

#include "common/NumberFormat.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

#include <algorithm>

namespace qtmv::quality {

namespace {

constexpr const char* kTitle = "品檢";

std::string q(std::string_view s) { return jet::sqlText(s); }

std::string keyWhere(const InspectionKey& k)
{
    return "where 製程 = '" + q(k.kind) + "' And " + "工單單號 = '" + q(k.po) + "' And " + "工單序 = " +
           jet::sqlNumber(k.seq);
}

} // namespace

bool InspectionLine::empty() const
{
    return Trim(item).empty() && Trim(standard).empty() && Trim(unit).empty() && inspected == 0 &&
           defective == 0 && rate == 0 && Trim(verdict).empty();
}

std::vector<InspectionLine> loadInspection(jet::Connection& conn, const InspectionKey& key)
{
    jet::Recordset rs;
    rs.open("select * from [工單品檢明細] " + keyWhere(key) + " " + "order by 序 ", conn);
    std::vector<InspectionLine> lines;
    for (; !rs.eof(); rs.moveNext()) {
        InspectionLine l;
        l.item = rs.field("主要檢查項目").text();
        l.standard = rs.field("檢查標準").text();
        l.unit = rs.field("權責單位").text();
        l.inspected = rs.field("檢驗數量").number();
        l.defective = rs.field("不良數量").number();
        l.rate = rs.field("不良率").number();
        l.verdict = rs.text("判定");
        lines.push_back(std::move(l));
    }
    return lines;
}

std::vector<InspectionLine> InspectionPhrases::lines() const
{
    const std::size_t n = std::max({items.size(), standards.size(), units.size()});
    std::vector<InspectionLine> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (i < items.size())
            out[i].item = items[i];
        if (i < standards.size())
            out[i].standard = standards[i];
        if (i < units.size())
            out[i].unit = units[i];
    }
    return out;
}

InspectionPhrases inspectionPhrases(jet::Connection& conn, const std::string& kind)
{
    auto list = [&](const char* item) {
        jet::Recordset rs;
        rs.open(std::string("select * from [片語資料_品檢] ") + "where [KIND] = '" + q(kind) + "' and " +
                    "[ITEM] = '" + item + "' " + "order by ID ",
                conn);
        std::vector<std::string> out;
        for (; !rs.eof(); rs.moveNext())
            out.push_back(rs.field("DESC").text());
        return out;
    };
    InspectionPhrases p;
    p.items = list("主要檢查項目");
    p.standards = list("檢查標準");
    p.units = list("權責單位");
    return p;
}

std::optional<double> defectRate(double inspected, double defective)
{
    if (inspected == 0)
        return std::nullopt;
    return defective / inspected * 100.0;
}

std::optional<double> acceptableRate(jet::Connection& conn, const std::string& kind)
{
    jet::Recordset rs;
    rs.open("select 允收率 from [品檢允收不良率] where [KIND] = '" + q(kind) + "'", conn);
    if (rs.eof() || rs.field("允收率").isNull())
        return std::nullopt;
    return rs.field("允收率").number();
}

std::string proposedVerdict(double rate, std::optional<double> acceptable)
{
    if (!acceptable)
        return {};
    return RoundNumber(rate, 1) <= RoundNumber(*acceptable, 1) ? "OK" : "NG";
}

InspectionSaved saveInspection(const InspectionKey& key, const std::vector<InspectionLine>& lines,
                               daily::SaveContext& ctx)
{
    InspectionSaved out;
    out.status = runSave(ctx, kTitle, [&](jet::Connection& conn) {
        conn.execute("delete from [工單品檢明細] " + keyWhere(key));
        int seq = 0;
        for (const InspectionLine& l : lines) {
            if (l.empty())
                continue;
            auto t = [](std::string_view s) { return "'" + q(s) + "'"; };
            conn.execute("insert into [工單品檢明細] (主要檢查項目, 檢查標準, 權責單位, 檢驗數量, 不良數量, 不良率, 判定, "
                         "工單單號, 製程, 工單序, 序) values (" +
                         t(Trim(l.item)) + ", " + t(Trim(l.standard)) + ", " + t(Trim(l.unit)) + ", " +
                         jet::sqlNumber(l.inspected) + ", " + jet::sqlNumber(l.defective) + ", " +
                         jet::sqlNumber(l.rate) + ", " + t(Trim(l.verdict)) + ", " + t(key.po) + ", " + t(key.kind) +
                         ", " + jet::sqlNumber(key.seq) + ", " + jet::sqlNumber(++seq) + ")");
        }
        out.hasLines = seq > 0;
    });
    out.hasLines = out.hasLines && out.status == SaveStatus::Saved;
    return out;
}

} // namespace qtmv::quality
