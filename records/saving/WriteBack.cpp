#include "records/saving/WriteBack.h"
#include "records/saving/SaveRun.h"

#include "app/core/Session.h"
#include "common/RocDate.h"
#include "records/core/GridLayout.h"
#include "records/saving/ChangeHistory.h"
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

void WriteBackLine(jet::Connection& conn, const ProcessKind& kind, const std::string& poCell,
                   const std::string& noCell, const DateTime& today, SaveSummary& summary)
{
    const WorkLine workLine{qtmv::Trim(poCell), static_cast<long long>(qtmv::Val(noCell))};
    const std::string po = Q(qtmv::Trim(poCell));
    const std::string no = Num(noCell);
    const std::string x = std::string(kind.detailTable);
    const std::string xs = std::string(kind.scheduledTable);
    const std::string key = "where PO = '" + po + "' and [NO] = " + no;

    jet::Recordset open;
    open.open("select PO, [NO], FDATE from [" + xs + "] " + key + " and (FDATE = '' or FDATE is null) ", conn);
    if (open.recordCount() > 0) {
        open.close();
        EditSingleRow(conn, "select PO, [NO], FDATE, ACT from [" + x + "] " + key, [&](jet::Recordset& rs) {
            if (!rs.text("FDATE").empty())
                summary.reopened.push_back(workLine);
            const bool a = SetText(rs, "FDATE", "");
            const bool b = SetText(rs, "ACT", "");
            return a || b;
        });
        return;
    }
    open.close();

    jet::Recordset latest;
    latest.open("select PO, [NO], FDATE, 完工說明 from [" + xs + "] " + key +
                    " order by FDATE desc, [NO] desc, val(順序) desc ",
                conn);
    // The column holds the grid's stamps and the time window's dates.
    std::vector<std::string> finishes, remarks;
    for (; !latest.eof(); latest.moveNext()) {
        finishes.push_back(latest.text("FDATE"));
        remarks.push_back(latest.text("完工說明"));
    }
    latest.close();
    if (finishes.empty())
        return;
    const std::size_t last = LatestFinish(finishes, today);
    const std::string finish = finishes[last];
    const std::string remark = remarks[last];

    EditSingleRow(conn, "select PO, [NO], FDATE, ACT, 完工說明 from [" + x + "] " + key, [&](jet::Recordset& rs) {
        if (!finish.empty() && rs.text("FDATE") != finish)
            summary.closed.push_back(workLine);
        bool changed = SetText(rs, "FDATE", finish);
        changed = SetText(rs, "ACT", finish) || changed;
        // The quantity the time window notes in a piece never replaces a
        // remark a clerk typed on the work-order line.
        constexpr std::string_view quantityNote = "完工數量: ";
        const std::string current = rs.text("完工說明");
        const bool typed = !qtmv::Trim(current).empty() && !current.starts_with(quantityNote);
        if (!remark.empty() && !(typed && remark.starts_with(quantityNote)))
            changed = SetText(rs, "完工說明", remark) || changed;
        return changed;
    });
    EditSingleRow(conn,
                  "select PO, [NO], KIND, ODATE from [VENDERAC] " + key + " and KIND = '" + Q(kind.spacedName) +
                      "' and EAMT = 0 ",
                  [&](jet::Recordset& rs) {
                      const bool dated = SetText(rs, "ODATE", finish);
                      summary.ordersDated += dated ? 1 : 0;
                      return dated;
                  });
    if (MarksPaperArrived(kind) && !finish.empty()) {
        // Listed only when a purchase line is not marked yet.
        jet::Recordset unmarked;
        unmarked.open(UnmarkedPaperSql(kind, po, no), conn);
        if (!unmarked.eof())
            summary.paperArrived.push_back(workLine);
        unmarked.close();
        conn.execute("update [紙品採購明細] inner join [紙品採購資料] on 紙品採購明細.採購單號 = "
                     "紙品採購資料.採購單號 set 紙品採購明細.紙到 = 'Y' where 紙品採購明細.PO = '" +
                     po + "' and 紙品採購明細.[NO] = " + no + " and 紙品採購資料.[KIND] = '" + Q(kind.spacedName) +
                     "' ");
    }
    const std::string column = PrintFlowColumn(kind, qtmv::Val(noCell));
    if (!column.empty())
        EditSingleRow(conn, "select * from [PRINTFLOW] where PO = '" + po + "'", [&](jet::Recordset& rs) {
            const bool stamped = SetText(rs, column, finish);
            if (stamped)
                summary.flowStamps.push_back({workLine, ProcessName(kind), column});
            return stamped;
        });
}


// The column values of PRINTFLOW rows as the walk leaves them, by work
// order (letters folded) and column; a work order without exactly one row
// is not here.
using FlowTexts = std::map<std::pair<std::string, std::string>, std::optional<std::string>>;

// WriteBackLine's summary without its writes: the same reads, with the
// save's finish texts in place of the stored ones of its pieces.
void PreviewLine(jet::Connection& conn, const ProcessKind& kind, const std::string& poCell,
                 const std::string& noCell, const DateTime& today, const PieceFinishes& saved, FlowTexts& flow,
                 SaveSummary& summary)
{
    const WorkLine workLine{qtmv::Trim(poCell), static_cast<long long>(qtmv::Val(noCell))};
    const std::string po = Q(qtmv::Trim(poCell));
    const std::string no = Num(noCell);
    const std::string key = "where PO = '" + po + "' and [NO] = " + no;

    struct Piece {
        std::string finish;
        bool open = false;
        double no = 0;
        double order = 0;
    };
    std::vector<Piece> pieces;
    jet::Recordset rs;
    rs.open("select ID, INO, FDATE, [NO], 順序 from [" + std::string(kind.scheduledTable) + "] " + key +
                " order by FDATE desc, [NO] desc, val(順序) desc ",
            conn);
    for (; !rs.eof(); rs.moveNext()) {
        Piece p;
        if (const auto it = saved.find(PieceOf(rs.text("ID"), rs.text("INO"))); it != saved.end()) {
            p.finish = it->second;
        } else {
            p.finish = rs.text("FDATE");
            p.open = rs.field("FDATE").isNull();
        }
        p.open = p.open || p.finish.empty();
        p.no = rs.field("NO").number();
        p.order = qtmv::Val(rs.text("順序"));
        pieces.push_back(std::move(p));
    }
    rs.close();
    if (pieces.empty())
        return;
    jet::Recordset line;
    line.open("select FDATE from [" + std::string(kind.detailTable) + "] " + key, conn);
    const bool oneLine = line.recordCount() == 1;
    const std::string lineFinish = oneLine ? line.text("FDATE") : std::string();
    line.close();
    if (std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) { return p.open; })) {
        if (oneLine && !lineFinish.empty())
            summary.reopened.push_back(workLine);
        return;
    }

    // The scheduled table's order, with the save's finish texts in it.
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        const std::string fa = qtmv::AsciiLower(a.finish), fb = qtmv::AsciiLower(b.finish);
        if (fa != fb)
            return fa > fb;
        if (a.no != b.no)
            return a.no > b.no;
        return a.order > b.order;
    });
    std::vector<std::string> finishes;
    for (const Piece& p : pieces)
        finishes.push_back(p.finish);
    const std::string finish = finishes[LatestFinish(finishes, today)];
    if (oneLine && !finish.empty() && lineFinish != finish)
        summary.closed.push_back(workLine);

    jet::Recordset order;
    order.open("select ODATE from [VENDERAC] " + key + " and KIND = '" + Q(kind.spacedName) + "' and EAMT = 0 ", conn);
    if (order.recordCount() == 1 && (order.field("ODATE").isNull() || order.text("ODATE") != finish))
        ++summary.ordersDated;
    order.close();
    if (MarksPaperArrived(kind) && !finish.empty()) {
        jet::Recordset unmarked;
        unmarked.open(UnmarkedPaperSql(kind, po, no), conn);
        if (!unmarked.eof())
            summary.paperArrived.push_back(workLine);
    }
    const std::string column = PrintFlowColumn(kind, qtmv::Val(noCell));
    if (column.empty())
        return;
    const std::pair<std::string, std::string> flowKey{qtmv::AsciiLower(workLine.po), column};
    auto it = flow.find(flowKey);
    if (it == flow.end()) {
        jet::Recordset f;
        f.open("select [" + column + "] from [PRINTFLOW] where PO = '" + po + "'", conn);
        if (f.recordCount() != 1)
            return;
        it = flow.emplace(flowKey, f.field(column).isNull() ? std::nullopt : std::optional(f.text(column))).first;
    }
    if (!it->second || *it->second != finish) {
        summary.flowStamps.push_back({workLine, ProcessName(kind), column});
        it->second = finish;
    }
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

// The lines whose walk writes something although no row of theirs changed:
// a line marked finished (FDATE or ACT) that has an open piece, and a line
// without an open piece (finished elsewhere since the load, or emptied).
// Every other line is open with its marks empty, and its walk writes
// nothing. `openLines` receives the lines with an open piece.
std::set<LineKey> MarkedButOpen(jet::Connection& conn, const ProcessKind& kind, std::set<LineKey>& openLines)
{
    const std::string x = std::string(kind.detailTable);
    const std::string xs = std::string(kind.scheduledTable);
    jet::Recordset open;
    open.open("select PO, [NO] from [" + xs + "] where (FDATE = '' or FDATE is null)", conn);
    for (; !open.eof(); open.moveNext())
        openLines.emplace(qtmv::Trim(open.text("PO")), open.field("NO").number());
    open.close();
    std::set<LineKey> marked;
    jet::Recordset rs;
    rs.open("select [" + x + "].PO, [" + x + "].[NO] from [" + x + "] inner join [" + xs + "] on ([" + x +
                "].PO = [" + xs + "].PO and [" + x + "].[NO] = [" + xs + "].[NO]) where ([" + xs +
                "].FDATE = '' or [" + xs + "].FDATE is null) and (([" + x + "].FDATE <> '' and [" + x +
                "].FDATE is not null) or ([" + x + "].ACT <> '' and [" + x + "].ACT is not null))",
            conn);
    for (; !rs.eof(); rs.moveNext())
        marked.emplace(qtmv::Trim(rs.text("PO")), rs.field("NO").number());
    return marked;
}

} // namespace

std::vector<int> LinesToWalk(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows,
                             const ChangeFlags* changed)
{
    std::set<LineKey> done, open, marked;
    if (changed)
        marked = MarkedButOpen(conn, kind, open);
    std::vector<int> walk;
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        const std::string& po = CellAt(rows, r, kWorkOrderCol);
        if (qtmv::Trim(po).empty())
            continue;
        const LineKey key{qtmv::Trim(po), qtmv::Val(CellAt(rows, r, kLineCol))};
        if (done.count(key))
            continue;
        if (changed && !changed->rowFlagged(r) && open.count(key) && !marked.count(key))
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
    for (const int r : walk)
        WriteBackLine(conn, kind, CellAt(rows, r, kWorkOrderCol), CellAt(rows, r, kLineCol), today,
                      summary ? *summary : unused);
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
    FlowTexts flow;
    for (const int r : walk)
        PreviewLine(conn, kind, CellAt(rows, r, kWorkOrderCol), CellAt(rows, r, kLineCol), today, finishes, flow,
                    summary);
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
