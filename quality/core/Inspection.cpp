#include "quality/core/Inspection.h"

#include "common/EntryText.h"
#include "common/NumberFormat.h"
#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

#include <algorithm>

namespace qtmv::quality {

namespace {

constexpr const char* kTitle = "品檢";
// Which verdicts the program proposed (see Inspection.h).
constexpr const char* kProposals = "[品檢建議判定]";

std::string Q(std::string_view s) { return jet::SqlText(s); }

std::string KeyWhere(const InspectionKey& k)
{
    return "where 製程 = '" + Q(k.kind) + "' And " + "工單單號 = '" + Q(k.po) + "' And " + "工單序 = " +
           jet::SqlNumber(k.seq);
}

} // namespace

bool InspectionLine::empty() const
{
    return Trim(item).empty() && Trim(standard).empty() && Trim(unit).empty() && inspected == 0 &&
           defective == 0 && rate == 0 && Trim(verdict).empty();
}

std::optional<std::string> InspectionLineProblem(const InspectionLine& l)
{
    if (auto p = EntryTextProblem("主要檢查項目", Trim(l.item), kItemBytes))
        return p;
    if (auto p = EntryTextProblem("檢查標準", Trim(l.standard), kStandardBytes))
        return p;
    if (auto p = EntryTextProblem("權責單位", Trim(l.unit), kUnitBytes))
        return p;
    return EntryTextProblem("判定", l.verdict, 0);
}

namespace {

RecordKey RecordKeyOf(const InspectionKey& k) { return {"工單品檢明細", k.kind, k.po, k.seq}; }

// The lines and which of their verdicts were proposed.
std::vector<std::string> RecordSelects(const InspectionKey& key)
{
    return {"select * from [工單品檢明細] " + KeyWhere(key) + " order by 序",
            std::string("select * from ") + kProposals + " " + KeyWhere(key) + " order by 序"};
}

} // namespace

InspectionRecord LoadInspection(jet::Connection& conn, const InspectionKey& key)
{
    InspectionRecord record;
    record.stored = ReadStoredRecord(conn, RecordKeyOf(key), RecordSelects(key));
    std::vector<std::pair<int, std::string>> proposals;
    {
        jet::Recordset rs;
        rs.open(std::string("select 序, 判定 from ") + kProposals + " " + KeyWhere(key), conn);
        for (; !rs.eof(); rs.moveNext())
            proposals.emplace_back(static_cast<int>(rs.field("序").number()), rs.text("判定"));
    }
    jet::Recordset rs;
    rs.open("select * from [工單品檢明細] " + KeyWhere(key) + " " + "order by 序 ", conn);
    std::vector<InspectionLine>& lines = record.lines;
    for (; !rs.eof(); rs.moveNext()) {
        InspectionLine l;
        l.item = rs.field("主要檢查項目").text();
        l.standard = rs.field("檢查標準").text();
        l.unit = rs.field("權責單位").text();
        l.inspected = rs.field("檢驗數量").number();
        l.defective = rs.field("不良數量").number();
        l.rate = rs.field("不良率").number();
        l.verdict = rs.text("判定");
        // A verdict changed since it was proposed (by another program) is a choice.
        const int seq = static_cast<int>(rs.field("序").number());
        l.proposed = !l.verdict.empty() &&
                     std::find(proposals.begin(), proposals.end(), std::make_pair(seq, l.verdict)) != proposals.end();
        lines.push_back(std::move(l));
    }
    return record;
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

InspectionPhrases LoadInspectionPhrases(jet::Connection& conn, const std::string& kind)
{
    auto list = [&](const char* item) {
        jet::Recordset rs;
        rs.open(std::string("select * from [片語資料_品檢] ") + "where [KIND] = '" + Q(kind) + "' and " +
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

std::optional<double> DefectRate(double inspected, double defective)
{
    if (inspected == 0)
        return std::nullopt;
    return defective / inspected * 100.0;
}

std::optional<double> AcceptableRate(jet::Connection& conn, const std::string& kind)
{
    jet::Recordset rs;
    rs.open("select 允收率 from [品檢允收不良率] where [KIND] = '" + Q(kind) + "'", conn);
    if (rs.eof() || rs.field("允收率").isNull())
        return std::nullopt;
    return rs.field("允收率").number();
}

std::string ProposedVerdict(double rate, std::optional<double> acceptable)
{
    if (!acceptable)
        return {};
    return RoundNumber(rate, 1) <= RoundNumber(*acceptable, 1) ? "OK" : "NG";
}

void FollowProposals(std::vector<InspectionLine>& lines, std::optional<double> acceptable)
{
    for (InspectionLine& l : lines) {
        if (!l.proposed || l.inspected == 0)
            continue;
        const std::string now = ProposedVerdict(l.rate, acceptable);
        if (!now.empty())
            l.verdict = now;
    }
}

bool ContradictsRule(const InspectionLine& l, std::optional<double> acceptable)
{
    if (l.proposed || l.inspected == 0 || Trim(l.verdict).empty())
        return false;
    const std::string rule = ProposedVerdict(l.rate, acceptable);
    return !rule.empty() && rule != Trim(l.verdict);
}

std::string ContradictionMessage(const std::vector<int>& rows, double acceptable)
{
    std::string lines;
    for (const int r : rows)
        lines += (lines.empty() ? "" : "、") + std::to_string(r);
    return "第" + lines + "列的判定與不良率不符：允收不良率為 " + FormatFixed(acceptable, 1) +
           "%，不良率在其內為 OK，超過為 NG。請確認判定!";
}

InspectionSaved SaveInspection(const InspectionKey& key, const std::vector<InspectionLine>& lines,
                               const StoredRecord& loaded, daily::SaveContext& ctx)
{
    auto problem = [&]() -> std::optional<std::string> {
        for (const InspectionLine& l : lines)
            if (!l.empty())
                if (auto why = InspectionLineProblem(l))
                    return why;
        return std::nullopt;
    };
    return SaveWholeRecord(ctx, kTitle, RecordKeyOf(key), RecordSelects(key), loaded, "品檢資料", problem,
                           [&](jet::Connection& conn) {
        conn.execute("delete from [工單品檢明細] " + KeyWhere(key));
        conn.execute(std::string("delete from ") + kProposals + " " + KeyWhere(key));
        int seq = 0;
        for (const InspectionLine& l : lines) {
            if (l.empty())
                continue;
            auto t = [](std::string_view s) { return "'" + Q(s) + "'"; };
            conn.execute("insert into [工單品檢明細] (主要檢查項目, 檢查標準, 權責單位, 檢驗數量, 不良數量, 不良率, 判定, "
                         "工單單號, 製程, 工單序, 序) values (" +
                         t(Trim(l.item)) + ", " + t(Trim(l.standard)) + ", " + t(Trim(l.unit)) + ", " +
                         jet::SqlNumber(l.inspected) + ", " + jet::SqlNumber(l.defective) + ", " +
                         jet::SqlNumber(l.rate) + ", " + t(Trim(l.verdict)) + ", " + t(key.po) + ", " + t(key.kind) +
                         ", " + jet::SqlNumber(key.seq) + ", " + jet::SqlNumber(++seq) + ")");
            if (l.proposed && !Trim(l.verdict).empty())
                conn.execute(std::string("insert into ") + kProposals + " (製程, 工單單號, 工單序, 序, 判定) values (" +
                             t(key.kind) + ", " + t(key.po) + ", " + jet::SqlNumber(key.seq) + ", " +
                             jet::SqlNumber(seq) + ", " + t(Trim(l.verdict)) + ")");
        }
        return seq;
    });
}

InspectionOpened OpenInspection(const Session& s, const InspectionKey& key)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    InspectionOpened o;
    o.acceptable = AcceptableRate(conn, key.kind);
    o.phrases = LoadInspectionPhrases(conn, key.kind);
    o.record = LoadInspection(conn, key);
    return o;
}

InspectionPhrases LoadInspectionPhrases(const Session& s, const std::string& kind)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    return LoadInspectionPhrases(conn, kind);
}

} // namespace qtmv::quality
