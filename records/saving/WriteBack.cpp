#include "records/saving/WriteBack.h"
#include "records/saving/SaveRun.h"

#include "app/core/Session.h"
#include "common/RocDate.h"
#include "records/core/GridLayout.h"
#include "records/saving/ChangeHistory.h"
#include "records/saving/KeyedRows.h"
#include "records/saving/SaveSupport.h"
#include "records/saving/Saving.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace qtmv::daily {

using namespace detail;

namespace {

constexpr const char* kWriteBackTitle = "回存工單";

// The kind as the user names the process: "印刷" for "D-印刷".
std::string ProcessName(const ProcessKind& kind)
{
    const std::string_view name = kind.displayName;
    const std::size_t dash = name.find('-');
    return std::string(dash == std::string_view::npos ? name : name.substr(dash + 1));
}

// The PRINTFLOW column of a kind's line; "" when the line has none.
std::string PrintFlowColumn(const ProcessKind& kind, double line)
{
    if (kind.is(KindId::Printing) || kind.is(KindId::Varnishing)) {
        if (line == 1)
            return kind.is(KindId::Printing) ? "ITEM4" : "ITEM5";
        if (line == 2)
            return kind.is(KindId::Printing) ? "ITEM32" : "ITEM33";
        return "";
    }
    return "ITEM" + std::to_string(kind.number);
}

bool MarksPaperArrived(const ProcessKind& kind)
{
    return kind.is(KindId::Paper) || kind.is(KindId::Mounting) || kind.is(KindId::Other);
}

// The piece finished last among finish texts in the order the scheduled
// table lists them (FDATE desc, [NO] desc, val(順序) desc): the latest by
// the moment its text means, FinishMoment (the text order would put every
// stamp after every date); ties keep the order given. 0 when none means a
// moment.
std::size_t LatestFinish(const std::vector<std::string>& finishes, const DateTime& today)
{
    std::size_t latest = 0;
    DateTime best{};
    bool found = false;
    for (std::size_t i = 0; i < finishes.size(); ++i) {
        const std::optional<DateTime> moment = FinishMoment(finishes[i], today);
        if (moment && (!found || *moment > best)) {
            best = *moment;
            found = true;
            latest = i;
        }
    }
    return latest;
}

// The paper purchase lines of a line that are not marked arrived yet.
std::string UnmarkedPaperSql(const ProcessKind& kind, const std::string& po, const std::string& no)
{
    return "select 紙品採購明細.紙到 from [紙品採購明細] inner join [紙品採購資料] on 紙品採購明細.採購單號 = "
           "紙品採購資料.採購單號 where 紙品採購明細.PO = '" + po + "' and 紙品採購明細.[NO] = " + no +
           " and 紙品採購資料.[KIND] = '" + Q(kind.spacedName) + "' and (紙品採購明細.紙到 <> 'Y' or "
           "紙品採購明細.紙到 is null) ";
}

// The rows the walk reads, each table read once for all the lines walked:
// the lines' scheduled pieces (in the scheduled table's order: FDATE desc,
// [NO] desc, val(順序) desc), the lines, their outsourcing lines and the
// work orders' PRINTFLOW rows. The walk keeps them as it writes them.
struct WalkTables {
    WalkTables(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const std::vector<int>& walk)
    {
        std::vector<std::pair<std::string, std::string>> keys;
        std::vector<std::string> columns;
        for (const int r : walk) {
            keys.emplace_back(CellAt(rows, r, kWorkOrderCol), CellAt(rows, r, kLineCol));
            const std::string column = PrintFlowColumn(kind, qtmv::Val(CellAt(rows, r, kLineCol)));
            if (!column.empty() && std::find(columns.begin(), columns.end(), column) == columns.end())
                columns.push_back(column);
        }
        if (keys.empty())
            return;
        const std::string x = std::string(kind.detailTable);
        const std::string xs = std::string(kind.scheduledTable);
        pieces = KeyedRows(conn,
                           {"[" + xs + "]", "PO", "[NO]", {"ID", "INO", "FDATE", "完工說明", "順序"}, "",
                            "FDATE desc, [NO] desc, val(順序) desc"},
                           keys);
        lines = KeyedRows(conn, {"[" + x + "]", "PO", "[NO]", {"FDATE", "ACT", "完工說明"}, "", ""}, keys);
        orders = KeyedRows(
            conn, {"[VENDERAC]", "PO", "[NO]", {"ODATE"}, "KIND = '" + Q(kind.spacedName) + "' and EAMT = 0", ""},
            keys);
        if (!columns.empty())
            flow = KeyedRows(conn, {"[PRINTFLOW]", "PO", "", columns, "", ""}, keys);
    }
    KeyedRows pieces, lines, orders, flow;
    // The walk's updates not run yet, in order; a preview has none.
    std::vector<std::string> writes;
    void flush(jet::Connection& conn)
    {
        conn.executeAll(writes);
        writes.clear();
    }
};

// One line's write-back. With `preview` (the finish texts a save gives its
// pieces, standing in for the stored ones), nothing is written: the summary
// says what the write-back would do, and the rows read keep what it would
// write, for the lines after it.
void WalkLine(jet::Connection& conn, const ProcessKind& kind, const std::string& poCell, const std::string& noCell,
              const DateTime& today, WalkTables& t, SaveSummary& summary, const PieceFinishes* preview)
{
    const WorkLine workLine{qtmv::Trim(poCell), static_cast<long long>(qtmv::Val(noCell))};
    std::vector<std::string>* writes = preview ? nullptr : &t.writes;

    struct Piece {
        std::string finish;
        std::string remark;
        double order = 0;
    };
    std::vector<Piece> pieces;
    bool open = false;
    for (const KeyedRows::Row& row : t.pieces.rows(poCell, noCell)) {
        Piece p;
        const jet::Value& stored = t.pieces.value(row, "FDATE");
        const auto saved =
            preview ? preview->find(PieceOf(t.pieces.value(row, "ID").text(), t.pieces.value(row, "INO").text()))
                    : PieceFinishes::const_iterator();
        if (preview && saved != preview->end()) {
            p.finish = saved->second;
            open = open || p.finish.empty();
        } else {
            p.finish = stored.trimmed();
            open = open || stored.isNull() || stored.text().empty();
        }
        p.remark = t.pieces.value(row, "完工說明").trimmed();
        p.order = qtmv::Val(t.pieces.value(row, "順序").text());
        pieces.push_back(std::move(p));
    }

    KeyedRows::Row* line = t.lines.only(poCell, noCell);
    if (open) {
        if (line && !t.lines.value(*line, "FDATE").trimmed().empty())
            summary.reopened.push_back(workLine);
        t.lines.set(poCell, noCell, {{"FDATE", ""}, {"ACT", ""}}, writes);
        if (t.writes.size() >= kWritesAtOnce)
            t.flush(conn);
        return;
    }
    if (pieces.empty())
        return;
    if (preview) {
        // The scheduled table's order, with the save's finish texts in it.
        std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
            const std::string fa = qtmv::AsciiLower(a.finish), fb = qtmv::AsciiLower(b.finish);
            if (fa != fb)
                return fa > fb;
            return a.order > b.order;
        });
    }
    std::vector<std::string> finishes;
    for (const Piece& p : pieces)
        finishes.push_back(p.finish);
    const Piece& latest = pieces[LatestFinish(finishes, today)];
    const std::string& finish = latest.finish;

    if (line) {
        if (!finish.empty() && t.lines.value(*line, "FDATE").trimmed() != finish)
            summary.closed.push_back(workLine);
        std::vector<std::pair<std::string, std::string>> values{{"FDATE", finish}, {"ACT", finish}};
        // The quantity the time window notes in a piece never replaces a
        // remark a clerk typed on the work-order line.
        constexpr std::string_view quantityNote = "完工數量: ";
        const std::string current = t.lines.value(*line, "完工說明").trimmed();
        const bool typed = !qtmv::Trim(current).empty() && !current.starts_with(quantityNote);
        if (!latest.remark.empty() && !(typed && latest.remark.starts_with(quantityNote)))
            values.emplace_back("完工說明", latest.remark);
        t.lines.set(poCell, noCell, values, writes);
    }
    if (t.orders.set(poCell, noCell, {{"ODATE", finish}}, writes))
        ++summary.ordersDated;
    if (MarksPaperArrived(kind) && !finish.empty()) {
        const std::string po = Q(qtmv::Trim(poCell));
        const std::string no = Num(noCell);
        // Listed only when a purchase line is not marked yet.
        t.flush(conn);
        jet::Recordset unmarked;
        unmarked.open(UnmarkedPaperSql(kind, po, no), conn);
        if (!unmarked.eof())
            summary.paperArrived.push_back(workLine);
        unmarked.close();
        if (writes)
            conn.execute("update [紙品採購明細] inner join [紙品採購資料] on 紙品採購明細.採購單號 = "
                         "紙品採購資料.採購單號 set 紙品採購明細.紙到 = 'Y' where 紙品採購明細.PO = '" +
                         po + "' and 紙品採購明細.[NO] = " + no + " and 紙品採購資料.[KIND] = '" +
                         Q(kind.spacedName) + "' ");
    }
    const std::string column = PrintFlowColumn(kind, qtmv::Val(noCell));
    if (!column.empty() && t.flow.set(poCell, {}, {{column, finish}}, writes))
        summary.flowStamps.push_back({workLine, ProcessName(kind), column});
    if (t.writes.size() >= kWritesAtOnce)
        t.flush(conn);
}


// --- The die register -------------------------------------------------------

std::string LabelText(const jet::Recordset& rs, const std::string& field)
{
    return rs.fieldIndex(field) >= 0 ? rs.text(field) : std::string();
}

jet::Value LabelValue(const jet::Recordset& rs, const std::string& field)
{
    return rs.fieldIndex(field) >= 0 ? rs.field(field) : jet::Value();
}

void RegisterNewDie(jet::Connection& conn, const std::string& po, const std::string& noCell,
                    const std::string& today)
{
    const std::string key = "where PO = '" + Q(po) + "' and [NO] = " + Num(noCell);
    jet::Recordset line;
    line.open("select * from CROWD " + key, conn);
    if (line.recordCount() != 1 || line.text("新舊刀") != "新刀")
        return;
    const std::string code = line.text("REM");
    if (code.empty())
        return;

    jet::Recordset last;
    last.open("select top 1 序 from [刀模管理資料] order by 序 desc", conn);
    const double next = 1 + (last.recordCount() > 0 ? last.field("序").number() : 0);
    last.close();

    jet::Recordset head;
    head.open("select PWORK.PO, PWORK.ODATE, PWORK.[KIND], PWORK.FSPEC, PWORK.CUST, CUST.SNAME, PWORK.EMPNO, "
              "EMPLOYEE.NAME as EMPNAME, PWORK.CODE, PWORK.[DESC], PWORK.貼紙 from (CUST INNER JOIN PWORK ON "
              "CUST.ID = PWORK.CUST) LEFT JOIN EMPLOYEE ON PWORK.EMPNO = EMPLOYEE.ID where PO = '" +
                  Q(po) + "' ",
              conn);
    auto h = [&](const std::string& f) { return head.recordCount() > 0 ? head.text(f) : std::string(); };

    // The label row of this line, else the work order's first label row.
    jet::Recordset label;
    label.open("select * from 工單lable where PO = '" + Q(po) + "' ", conn);
    while (!label.eof() && qtmv::Val(LabelText(label, "工單序")) != qtmv::Val(noCell))
        label.moveNext();
    if (label.eof() && label.recordCount() > 0)
        label.moveFirst();
    const bool hasLabel = label.recordCount() > 0;
    auto lb = [&](const std::string& f) { return hasLabel ? LabelValue(label, f) : jet::Value(); };

    jet::Recordset reg;
    reg.open("select * from [刀模管理資料] where 刀模代號 = '" + Q(code) + "' ", conn, jet::CursorLocation::Client,
             jet::CursorType::Dynamic, jet::LockType::Optimistic);
    if (reg.recordCount() != 0)
        return;   // registered already
    reg.addNew();
    reg.set("序", jet::Value(static_cast<long long>(next)));
    reg.set("作廢", jet::Value(""));
    reg.set("日期", jet::Value(today));
    reg.set("REM", jet::Value(h("貼紙")));
    reg.set("刀模代號", jet::Value(code));
    reg.set("規格", jet::Value(line.text("OPEN")));
    reg.set("模數", line.field("MEMB"));
    reg.set("MEMB", line.field("MEMB"));
    reg.set("ITEM", jet::Value(line.text("ITEM")));
    const std::string note = lb("說明").trimmed();
    reg.set("說明", jet::Value(note.empty() ? h("FSPEC") : note));
    reg.set("客戶代號", jet::Value(h("CUST")));
    reg.set("客戶簡稱", jet::Value(h("SNAME")));
    reg.set("業務員代號", jet::Value(h("EMPNO")));
    reg.set("業務員名稱", jet::Value(h("EMPNAME")));
    reg.set("工單單號", jet::Value(po));
    reg.set("工單序", jet::Value(static_cast<long long>(qtmv::Val(noCell))));
    reg.set("產品代號", jet::Value(h("CODE")));
    reg.set("品名", jet::Value(h("DESC")));
    reg.set("廠商代號", jet::Value(line.text("VENDER")));
    reg.set("VENDER", jet::Value(line.text("VENDER")));
    reg.set("廠商簡稱", jet::Value(line.text("SVENDER")));
    reg.set("SVENDER", jet::Value(line.text("SVENDER")));
    for (const char* f : {"尺寸1", "尺寸2", "尺寸3", "左右尺寸", "上下尺寸", "R角", "左右模數", "上下模數",
                          "左右模距", "上下模距"})
        reg.set(f, lb(f).isNull() ? jet::Value(0) : lb(f));
    const double across = lb("左右模數").number();
    const double down = lb("上下模數").number();
    reg.set("總模數", across > 0 && down > 0 ? jet::Value(across * down) : line.field("MEMB"));
    reg.update();
}

using LineKey = std::pair<std::string, double>;

// Which of the lines none of whose grid rows changed the write-back may
// skip. Such a line is walked only when its walk would write something:
// when it is marked finished (FDATE or ACT) while a piece of it is open, or
// has no open piece left (finished elsewhere since the load, or emptied).
// Every other line is open with its marks empty, and its walk writes
// nothing. A few lines are read by their keys; for many (a whole grid of a
// kind) one statement over the kind's open pieces costs less.
class IdleLines {
public:
    IdleLines() = default;
    IdleLines(jet::Connection& conn, const ProcessKind& kind, const std::vector<std::pair<std::string, std::string>>& keys)
    {
        std::set<LineKey> distinct;
        for (const auto& [po, no] : keys)
            distinct.insert(Folded(po, no));
        const std::string x = std::string(kind.detailTable);
        const std::string xs = std::string(kind.scheduledTable);
        if (distinct.size() <= kLinesReadByKey) {
            lines_ = KeyedRows(conn, {"[" + x + "]", "PO", "[NO]", {"FDATE", "ACT"}, "", ""}, keys);
            open_ = KeyedRows(conn, {"[" + xs + "]", "PO", "[NO]", {}, "FDATE = '' or FDATE is null", ""}, keys);
            return;
        }
        kindWide_ = true;
        // One statement: each open piece with its line's marks (a line with
        // several rows is marked when any of them is).
        jet::Recordset rs;
        rs.open("select [" + xs + "].PO, [" + xs + "].[NO], [" + x + "].FDATE, [" + x + "].ACT from [" + xs +
                    "] left join [" + x + "] on ([" + x + "].PO = [" + xs + "].PO and [" + x + "].[NO] = [" + xs +
                    "].[NO]) where ([" + xs + "].FDATE = '' or [" + xs + "].FDATE is null)",
                conn);
        const auto marked = [](const jet::Value& v) { return !v.isNull() && !v.text().empty(); };
        for (; !rs.eof(); rs.moveNext()) {
            const LineKey key = Folded(rs.field(0).text(), rs.field(1).text());
            openLines_.insert(key);
            if (marked(rs.field(2)) || marked(rs.field(3)))
                marked_.insert(key);
        }
    }

    bool operator()(const std::string& po, const std::string& no)
    {
        if (kindWide_) {
            const LineKey key = Folded(po, no);
            return openLines_.count(key) && !marked_.count(key);
        }
        if (open_.rows(po, no).empty())
            return false;
        const KeyedRows::Row* line = lines_.only(po, no);
        const auto marked = [&](const char* field) {
            const jet::Value& v = lines_.value(*line, field);
            return !v.isNull() && !v.text().empty();
        };
        return !line || (!marked("FDATE") && !marked("ACT"));
    }

private:
    // Lines read by their keys, at most: beyond, reading them costs more
    // than reading the kind's open pieces (measured on a 27,000-work-order
    // plant, on a server).
    static constexpr std::size_t kLinesReadByKey = 256;

    static LineKey Folded(std::string_view po, std::string_view no)
    {
        return {qtmv::AsciiLower(qtmv::Trim(po)), qtmv::Val(no)};
    }

    bool kindWide_ = false;
    KeyedRows lines_, open_;
    std::set<LineKey> openLines_, marked_;
};

} // namespace

std::vector<int> LinesToWalk(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows,
                             const ChangeFlags* changed)
{
    IdleLines idle;
    if (changed) {
        std::vector<std::pair<std::string, std::string>> keys;
        for (int r = 1; r <= static_cast<int>(rows.size()); ++r)
            if (!changed->rowFlagged(r) && !qtmv::Trim(CellAt(rows, r, kWorkOrderCol)).empty())
                keys.emplace_back(CellAt(rows, r, kWorkOrderCol), CellAt(rows, r, kLineCol));
        idle = IdleLines(conn, kind, keys);
    }
    std::set<LineKey> done;
    std::vector<int> walk;
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        const std::string& po = CellAt(rows, r, kWorkOrderCol);
        if (qtmv::Trim(po).empty())
            continue;
        const LineKey key{qtmv::Trim(po), qtmv::Val(CellAt(rows, r, kLineCol))};
        if (done.count(key))
            continue;
        if (changed && !changed->rowFlagged(r) && idle(po, CellAt(rows, r, kLineCol)))
            continue;   // its walk would write nothing; a later flagged row of the line still walks it
        done.insert(key);
        walk.push_back(r);
    }
    return walk;
}

std::vector<std::string> WalkClaims(const GridRows& rows, const std::vector<int>& walk)
{
    std::vector<std::string> claims;
    for (const int r : walk) {
        const std::string& po = CellAt(rows, r, kWorkOrderCol);
        claims.push_back(LineClaim(po, qtmv::Val(CellAt(rows, r, kLineCol))));
        claims.push_back(OrderClaim(po));
    }
    return claims;
}

int WalkLines(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const std::vector<int>& walk,
              const Clock& clock, SaveSummary* summary)
{
    const DateTime today = clock.now();
    SaveSummary unused;
    WalkTables tables(conn, kind, rows, walk);
    for (const int r : walk)
        WalkLine(conn, kind, CellAt(rows, r, kWorkOrderCol), CellAt(rows, r, kLineCol), today, tables,
                 summary ? *summary : unused, nullptr);
    tables.flush(conn);
    return static_cast<int>(walk.size());
}

PieceKey PieceOf(std::string_view idCell, std::string_view inoCell)
{
    return {qtmv::AsciiLower(qtmv::Trim(idCell)), static_cast<long long>(qtmv::Val(inoCell))};
}

void PreviewWalk(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const std::vector<int>& walk,
                 const Clock& clock, const PieceFinishes& finishes, SaveSummary& summary)
{
    const DateTime today = clock.now();
    WalkTables tables(conn, kind, rows, walk);
    for (const int r : walk)
        WalkLine(conn, kind, CellAt(rows, r, kWorkOrderCol), CellAt(rows, r, kLineCol), today, tables, summary,
                 &finishes);
}

int WriteBackLines(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const Clock& clock,
                   SaveSummary* summary, const ChangeFlags* changed)
{
    const std::vector<int> walk = LinesToWalk(conn, kind, rows, changed);
    conn.claim(WalkClaims(rows, walk));
    return WalkLines(conn, kind, rows, walk, clock, summary);
}

bool IsReworkOrder(jet::Connection& conn, const std::string& po)
{
    jet::Recordset label;
    label.open("select * from 工單lable where PO = '" + Q(po) + "' ", conn);
    for (; !label.eof(); label.moveNext())
        for (int i = 8; i <= 15; ++i)
            if (LabelText(label, "內容" + std::to_string(i)).starts_with("重工"))
                return true;
    return false;
}

SaveResult WriteBackCurrentRow(const ProcessKind& kind, const GridRows& rows, int row, SaveContext& ctx)
{
    const GridLayout& layout = GridLayoutOf(kind);
    const std::string po = qtmv::Trim(CellAt(rows, row, kWorkOrderCol));
    const std::string noCell = CellAt(rows, row, kLineCol);
    const std::string remark = qtmv::Trim(CellAt(rows, row, layout.remarkCol));
    const std::string key = "where PO = '" + Q(po) + "' and [NO] = " + Num(noCell);
    SaveSteps steps;
    steps.failureOutcome = "工單沒有回存任何資料。";
    steps.check = [&] { return po.empty() ? std::string("請先選擇要回存的資料列！") : std::string(); };
    steps.afterCommit = [](jet::Connection&) { return Notice{"資料儲存完畢！", "訊息", MsgIcon::Information}; };
    SaveResult out = RunSave(
        ctx, kWriteBackTitle,
        [&](jet::Connection& conn) {
            if (!EditSingleRow(conn, "select PO, [NO], REM from [" + std::string(kind.detailTable) + "] " + key,
                               [&](jet::Recordset& rs) { return SetText(rs, "REM", remark); }))
                throw SaveStopped(SaveStatus::Refused,
                                  "找不到工單 " + po + " 序 " + qtmv::Trim(noCell) + " 的製程資料，未回存任何資料！",
                                  "訊息", Refusal::NotFound);
            if (kind.is(KindId::DieCutting)) {
                const std::string oldNew = qtmv::Trim(CellAt(rows, row, layout.column("新舊刀")));
                const std::string place = qtmv::Trim(CellAt(rows, row, layout.column("儲位")));
                EditSingleRow(conn, "select PO, [NO], 新舊刀, 儲位 from [CROWD] " + key, [&](jet::Recordset& rs) {
                    const bool a = SetText(rs, "新舊刀", oldNew);
                    const bool b = SetText(rs, "儲位", place);
                    return a || b;
                });
                if (!IsReworkOrder(conn, po))
                    RegisterNewDie(conn, po, noCell, TodayRoc7(ctx.clock));
            }
        },
        steps);
    if (out.why == Refusal::Invalid)   // no row chosen
        out.why = Refusal::NotFound;
    return out;
}

} // namespace qtmv::daily
