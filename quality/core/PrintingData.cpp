#include "quality/core/PrintingData.h"

#include "common/EntryText.h"
#include "common/RocDate.h"
#include "app/core/Session.h"
#include "lookups/core/PlantLists.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

#include <algorithm>

namespace qtmv::quality {

namespace {

constexpr const char* kTitle = "工單印刷數據";

std::string Q(std::string_view s) { return jet::SqlText(s); }

std::string KeyWhere(const PrintingKey& k)
{
    return "where 工單單號 = '" + Q(k.po) + "' And " + "工單序 = " + jet::SqlNumber(k.seq) + "  And " + "製程 = '" +
           Q(k.kind) + "' ";
}

RecordKey RecordKeyOf(const PrintingKey& k) { return {"工單印刷數據", k.kind, k.po, k.seq}; }

std::vector<std::string> RecordSelects(const PrintingKey& key)
{
    return {"select * from [工單印刷數據] " + KeyWhere(key) + "order by 序"};
}

std::string InkColumn(std::size_t i) { return "油墨" + std::to_string(i + 1); }
std::string MeasureColumn(std::size_t i) { return "測量" + std::to_string(i + 1); }

} // namespace

std::optional<double> NullableNumber(const jet::Value& v)
{
    return v.isNull() ? std::nullopt : std::optional<double>(v.number());
}

namespace {

} // namespace

bool PrintingLine::empty() const
{
    bool blank = Trim(colour).empty() && Trim(recorderId).empty() && Trim(recorder).empty() && Trim(date).empty();
    for (const std::string& s : inks)
        blank = blank && Trim(s).empty();
    for (const std::string& s : measures)
        blank = blank && Trim(s).empty();
    return blank;
}

std::string PaperLabel(jet::Connection& conn, const std::string& po, int seq)
{
    jet::Recordset rs;
    rs.open(std::string("select [ITEM] ") + "from [PAPER] " + "where PO = '" + Q(po) + "' And " + "[NO] = " +
                jet::SqlNumber(seq) + " ",
            conn);
    std::string items;
    for (; !rs.eof(); rs.moveNext()) {
        const std::string item = rs.text("ITEM");
        if (item.empty())
            continue;
        if (!items.empty())
            items += kPaperSeparator;
        items += item;
    }
    return kPaperPrefix + items;
}

std::optional<std::string> PrintingLineProblem(const PrintingLine& l)
{
    if (auto p = EntryTextProblem("色號", Trim(l.colour), kColourBytes))
        return p;
    for (std::size_t i = 0; i < l.inks.size(); ++i)
        if (auto p = EntryTextProblem(InkColumn(i), Trim(l.inks[i]), kInkBytes))
            return p;
    static const char* const measures[] = {"L", "A", "B", "△", "濃度"};
    for (std::size_t i = 0; i < l.measures.size(); ++i)
        if (auto p = EntryTextProblem(measures[i], Trim(l.measures[i]), kMeasureBytes))
            return p;
    if (auto p = EntryTextProblem("記錄員代號", Trim(l.recorderId), 0))
        return p;
    if (auto p = EntryTextProblem("記錄員", Trim(l.recorder), kRecorderBytes))
        return p;
    return EntryTextProblem("印刷日期", Trim(l.date), kDateChars);
}

PrintingRecord LoadPrintingData(jet::Connection& conn, const PrintingKey& key)
{
    PrintingRecord record;
    record.stored = ReadStoredRecord(conn, RecordKeyOf(key), RecordSelects(key));
    jet::Recordset rs;
    rs.open("select * from [工單印刷數據] " + KeyWhere(key) + "order by 序", conn);
    std::vector<PrintingLine>& lines = record.lines;
    for (; !rs.eof(); rs.moveNext()) {
        PrintingLine l;
        l.colour = rs.text("色號");
        for (std::size_t i = 0; i < l.inks.size(); ++i)
            l.inks[i] = rs.text(InkColumn(i));
        for (std::size_t i = 0; i < l.measures.size(); ++i)
            l.measures[i] = rs.text(MeasureColumn(i));
        l.recorderId = rs.text("記錄員代號");
        l.recorder = rs.text("記錄員");
        l.date = rs.text("印刷日期");
        lines.push_back(std::move(l));
    }
    return record;
}

std::string ColourKey(std::string_view colour) { return AsciiUpper(Trim(colour)); }


ColourTargets LoadColourTargets(jet::Connection& conn)
{
    jet::Recordset rs;
    rs.open("select 色號, L, A, B, 容許色差, 濃度目標, 濃度容許 from [色號目標值] ", conn);
    ColourTargets out;
    for (; !rs.eof(); rs.moveNext())
        out.emplace(ColourKey(rs.text("色號")),
                    TargetColour{{rs.field("L").number(), rs.field("A").number(), rs.field("B").number()},
                                 {NullableNumber(rs.field("容許色差")), NullableNumber(rs.field("濃度目標")),
                                  NullableNumber(rs.field("濃度容許"))}});
    return out;
}

std::optional<std::string> ComputedDifference(const PrintingLine& line, const ColourTargets& targets)
{
    const auto target = targets.find(ColourKey(line.colour));
    if (target == targets.end())
        return std::nullopt;
    const auto measured = LabFromTexts(line.measures[0], line.measures[1], line.measures[2]);
    if (!measured)
        return std::nullopt;
    return DifferenceText(Ciede2000(target->second.lab, *measured));
}

ToleranceCheck LineTolerance(const PrintingLine& line, const ColourTargets& targets)
{
    const auto target = targets.find(ColourKey(line.colour));
    if (target == targets.end())
        return {};
    const auto& m = line.measures;
    return CheckTolerance(MeasuredOf(m[0], m[1], m[2], m[3], m[4]), target->second);
}

std::string LineStatus(int row, const PrintingLine& line, const ToleranceCheck& check)
{
    if (!check.checked())
        return {};
    return "第" + std::to_string(row) + "列 " + Trim(line.colour) + (check.out() ? " 超出容許：" : "：") +
           ToleranceText(check);
}

int LinesOutOfTolerance(const std::vector<PrintingLine>& lines, const ColourTargets& targets)
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const PrintingLine& l) {
        return !l.empty() && LineTolerance(l, targets).out();
    }));
}

std::optional<std::string> PrintingDate(std::string_view typed)
{
    std::string t = Trim(typed);
    if (t.empty())
        return t;
    PadDateText(t);
    if (CheckRocDate(t, "7") != 0)
        return std::nullopt;
    return t;
}

PrintingSaved SavePrintingData(const PrintingKey& key, const std::vector<PrintingLine>& lines,
                               const StoredRecord& loaded, daily::SaveContext& ctx)
{
    auto problem = [&]() -> std::optional<std::string> {
        for (const PrintingLine& l : lines)
            if (!l.empty())
                if (auto why = PrintingLineProblem(l))
                    return why;
        return std::nullopt;
    };
    return SaveWholeRecord(ctx, kTitle, RecordKeyOf(key), RecordSelects(key), loaded, "印刷數據", problem,
                           [&](jet::Connection& conn) {
        conn.execute("delete from [工單印刷數據] " + KeyWhere(key));
        int seq = 0;
        for (const PrintingLine& l : lines) {
            if (l.empty())
                continue;
            auto t = [](std::string_view s) { return ", '" + Q(Trim(s)) + "'"; };
            std::string columns = "色號", values = "'" + Q(Trim(l.colour)) + "'";
            for (std::size_t i = 0; i < l.inks.size(); ++i) {
                columns += ", " + InkColumn(i);
                values += t(l.inks[i]);
            }
            for (std::size_t i = 0; i < l.measures.size(); ++i) {
                columns += ", " + MeasureColumn(i);
                values += t(l.measures[i]);
            }
            columns += ", 記錄員代號, 記錄員, 印刷日期, 工單單號, 工單序, 製程, 序";
            values += t(l.recorderId) + t(l.recorder) + t(l.date) + t(key.po) + ", " + jet::SqlNumber(key.seq) +
                      t(key.kind) + ", " + jet::SqlNumber(++seq);
            conn.execute("insert into [工單印刷數據] (" + columns + ") values (" + values + ")");
        }
        return seq;
    });
}

PrintingDataOpened OpenPrintingData(const Session& s, const PrintingKey& key)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    PrintingDataOpened o;
    o.inks = lookups::PhraseList(conn, "油墨明細");
    o.paper = PaperLabel(conn, key.po, key.seq);
    o.targets = LoadColourTargets(conn);
    o.record = LoadPrintingData(conn, key);
    return o;
}

} // namespace qtmv::quality
