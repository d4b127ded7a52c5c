#include "prescheduling/core/TimeRecord.h"

#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "common/EntryText.h"
#include "common/RocDate.h"
#include "lookups/core/PlantLists.h"
#include "records/core/GridLayout.h"
#include "records/saving/ChangeHistory.h"
#include "records/saving/SaveSupport.h"
#include "records/saving/Saving.h"
#include "records/saving/WriteBack.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Retry.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "platform/os/Host.h"
#include "platform/os/Log.h"
#include "platform/text/Text.h"

#include <cstdio>
#include <fstream>
#include <exception>

namespace qtmv::presched {

namespace {

constexpr const char* kTitle = "耗時";
constexpr const char* kTable = "[預排資料耗時明細] ";
constexpr std::string_view kQuantityRemark = "完工數量: ";
// The fields whose remark a save may replace (see remarkReplaceable).
constexpr const char* kReplaceableRemark =
    " and (trim(完工說明) = '' or 完工說明 is null or 完工說明 like '完工數量: %')";

// Thrown inside the save's transaction when the window's lock was taken over.

std::string Q(std::string_view s) { return jet::SqlText(s); }

std::string KeyWhere(const RecordKey& k)
{
    return "where 單號 = '" + Q(k.number) + "' And " + "工單單號 = '" + Q(k.po) + "' And " + "工單序 = " +
           jet::SqlNumber(k.seq);
}

// Whether lines stored without 製程 belong to the key's kind: to the kind of
// the record's first piece, or to any kind when it has none.
bool OwnsUnmarkedLines(jet::Connection& conn, const RecordKey& k)
{
    jet::Recordset rs;
    rs.open("select top 1 [KIND] from [預排資料明細] where ID = '" + Q(k.number) + "' and PO = '" + Q(k.po) +
                "' and [NO] = " + jet::SqlNumber(k.seq) + " order by INO, [KIND]",
            conn);
    return rs.eof() || rs.text("KIND") == k.kind->spacedName;
}

std::string KindFilter(jet::Connection& conn, const RecordKey& k)
{
    std::string f = " and (製程 = '" + Q(k.kind->displayName) + "'";
    if (OwnsUnmarkedLines(conn, k))
        f += " or 製程 = '' or 製程 is null";
    return f + ")";
}

int NextLockSerial()
{
    static int n = 0;
    return ++n;
}

// The process id in a lock ID of this program's form; -1 otherwise.
long long LockPid(const std::string& id)
{
    const auto a = id.find('|');
    const auto b = a == std::string::npos ? a : id.find('|', a + 1);
    if (b == std::string::npos || b == a + 1)
        return -1;
    long long pid = 0;
    for (std::size_t i = a + 1; i < b; ++i) {
        if (id[i] < '0' || id[i] > '9')
            return -1;
        pid = pid * 10 + (id[i] - '0');
    }
    return pid;
}

std::string ComputerOf(const std::string& workstationUser)
{
    return workstationUser.substr(0, workstationUser.find('\\'));
}

} // namespace

bool TimeLine::empty() const
{
    return qtmv::Trim(machine).empty() && qtmv::Trim(start).empty() && qtmv::Trim(end).empty() && quantity == 0 &&
           qtmv::Trim(operatorId).empty() && qtmv::Trim(operatorName).empty() && qtmv::Trim(remark).empty() &&
           value == 0 && defects == 0 && defectRate == 0 && reams == 0 && colours == 0 && sides == 0 &&
           unitPrice == 0 && total == 0;
}

// --- Record numbers ---------------------------------------------------------

bool IsTmpNumber(std::string_view number)
{
    const std::string n = qtmv::AsciiUpper(qtmv::Trim(number));
    return n.starts_with("TMP");
}

std::string NextTmpNumber(jet::Connection& conn)
{
    // Compared as numbers, not as text: "TMP9999" sorts after "TMP10000".
    jet::Recordset rs;
    rs.open("select 單號 from [預排資料耗時明細] where 單號 Like 'TMP%' ", conn);
    long long greatest = 0;
    for (; !rs.eof(); rs.moveNext()) {
        const std::string n = rs.text("單號");
        long long v = 0;
        bool digits = n.size() > 3;
        for (std::size_t i = 3; i < n.size() && digits; ++i) {
            digits = n[i] >= '0' && n[i] <= '9';
            v = v * 10 + (n[i] - '0');
        }
        if (digits && v > greatest)
            greatest = v;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "TMP%04lld", greatest + 1);
    return buf;
}

// --- Locks ------------------------------------------------------------------

LockHolder ThisHolder(const Session& s, const Clock& clock)
{
    LockHolder h;
    h.workstationUser = s.WorkstationUser;
    const std::string user = s.WorkstationUser.substr(s.WorkstationUser.find('\\') + 1);
    h.name = !qtmv::Trim(s.EmployeeName).empty() ? qtmv::Trim(s.EmployeeName) : user;
    h.pid = os::CurrentProcessId();
    h.time = FormatRocDateTime(clock.now());
    return h;
}

bool ProcessRunning(long long pid)
{
    // The launcher's "window handle" test is the same question about a
    // process id; it also answers yes for a zombie, which holds nothing.
    if (!os::IsWindow(static_cast<double>(pid)))
        return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text))
        return true;
    // "pid (name) state ...": the name may hold blanks and parentheses.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos || close + 2 >= text.size())
        return true;
    const char state = text[close + 2];
    return state != 'Z' && state != 'X';
}

namespace {

constexpr const char* kLockOperation = "耗時鎖定";

std::string LockWhere(const RecordKey& key)
{
    return "where 工單單號 = '" + Q(key.po) + "' And 工單序 = " + jet::SqlNumber(key.seq) + " And (製程 = '" +
           Q(key.kind->displayName) + "' or 製程 = '' or 製程 is null)";
}

// Minutes from the lock's time to now; -1 when either is not a time.
long long LockAge(const std::string& since, const std::string& now)
{
    const auto from = ParseRocDateTime(since);
    const auto to = ParseRocDateTime(now);
    return from && to ? MinutesBetween(*from, *to) : -1;
}

std::string Describe(const LockOutcome& held)
{
    return held.holder + "（" + held.computer + "，" + held.since + " 起，" + held.heldId + "）";
}

// The lock, in the caller's transaction: a blocking row, or taken.
// `takeOver` names the row the administrator agreed to take over.
LockOutcome Claim(jet::Connection& conn, const RecordKey& key, const LockHolder& me, const ProcessAlive& alive,
                  const LockOutcome* takeOver, std::vector<std::string>& logged, bool& stamped)
{
    const std::string computer = ComputerOf(me.workstationUser);
    jet::Recordset rs;
    rs.open("select ID, COMPUTER, [USER], 鎖定時間 from [SYSPOLOCK1] " + LockWhere(key), conn);
    for (; !rs.eof(); rs.moveNext()) {
        LockOutcome held;
        held.heldId = rs.field("ID").text();
        held.computer = rs.text("COMPUTER");
        held.holder = rs.text("USER");
        held.since = qtmv::Trim(rs.text("鎖定時間"));
        const std::string rowWhere = "where ID = '" + Q(held.heldId) + "' and COMPUTER = '" +
                                     Q(rs.field("COMPUTER").text()) + "'";
        const long long pid = LockPid(held.heldId);
        const bool sameComputer = qtmv::AsciiUpper(held.computer) == qtmv::AsciiUpper(computer);
        if (sameComputer && pid > 0 && (pid == me.pid || !alive(pid))) {
            // Left over by a window of a program that is gone (or by this
            // process when its unload could not remove it).
            conn.execute("delete from [SYSPOLOCK1] " + rowWhere);
            if (pid != me.pid)
                logged.push_back("移除已結束程式的鎖定：" + Describe(held));
            continue;
        }
        if (held.since.empty() && !me.time.empty()) {
            // Its age is counted from now on.
            conn.execute("update [SYSPOLOCK1] set 鎖定時間 = '" + Q(me.time) + "' " + rowWhere +
                         " and (鎖定時間 = '' or 鎖定時間 is null)");
            held.since = me.time;
            stamped = true;
        }
        const long long age = LockAge(held.since, me.time);
        held.mayTakeOver = age >= static_cast<long long>(kLockTakeOverHours) * 60;
        if (takeOver && held.mayTakeOver && held.heldId == takeOver->heldId &&
            qtmv::AsciiUpper(held.computer) == qtmv::AsciiUpper(takeOver->computer) &&
            held.since == takeOver->since) {
            conn.execute("delete from [SYSPOLOCK1] " + rowWhere);
            daily::HistoryRow h{key.number, 0, key.po, key.seq, "鎖定", Describe(held), me.name + "（" + computer + "）"};
            daily::WriteHistory(conn, *key.kind, {h}, {me.time, me.name, computer});
            logged.push_back("系統管理員接手鎖定：" + Describe(held) + " → " + me.name + "（" + computer + "）");
            continue;
        }
        return held;
    }
    LockOutcome out;
    out.lockId = me.workstationUser + "|" + std::to_string(me.pid) + "|" + std::to_string(NextLockSerial());
    conn.execute("insert into [SYSPOLOCK1] (ID, COMPUTER, [USER], 工單單號, 工單序, 單號, 製程, 鎖定時間) values ('" +
                 Q(out.lockId) + "', '" + Q(computer) + "', '" + Q(me.name) + "', '" + Q(key.po) + "', " +
                 jet::SqlNumber(key.seq) + ", '" + Q(key.number) + "', '" + Q(key.kind->displayName) + "', '" +
                 Q(me.time) + "')");
    out.taken = true;
    return out;
}

LockOutcome ClaimOnce(jet::Connection& conn, const RecordKey& key, const LockHolder& me, const ProcessAlive& alive,
                      const LockOutcome* takeOver)
{
    std::vector<std::string> logged;
    bool stamped = false;
    jet::Transaction tx(conn);
    LockOutcome out = Claim(conn, key, me, alive, takeOver, logged, stamped);
    // Blocked: nothing removed while another holds it; only the first
    // sighting of a row without time is kept.
    if (!out.taken && !stamped)
        return out;
    tx.commit();
    for (const std::string& m : logged)
        log::Info(log::Locks(), kLockOperation, m + "；工單 " + key.po + "-" + std::to_string(key.seq) + " " +
                                                    std::string(key.kind->displayName) + "，單號 " + key.number);
    return out;
}

} // namespace

LockOutcome TakeLock(jet::Connection& conn, const RecordKey& key, const LockHolder& me, const ProcessAlive& alive)
{
    // A server may cancel the transaction when it collides with another
    // workstation's; the lock rows are read afresh in each attempt.
    return jet::RetryOnConflict(conn, [&] { return ClaimOnce(conn, key, me, alive, nullptr); });
}

LockOutcome TakeOverLock(jet::Connection& conn, const RecordKey& key, const LockHolder& me, const LockOutcome& held,
                         const ProcessAlive& alive)
{
    return jet::RetryOnConflict(conn, [&] { return ClaimOnce(conn, key, me, alive, &held); });
}

void ReleaseLock(jet::Connection& conn, const RecordKey& key, const std::string& lockId)
{
    jet::RetryOnConflict(conn, [&] {
        conn.execute("delete from [SYSPOLOCK1] " + std::string("where ID = '") + Q(lockId) + "' and " + "單號 = '" +
                     Q(key.number) + "' And " + "工單單號 = '" + Q(key.po) + "' And " + "工單序 = " +
                     jet::SqlNumber(key.seq));
    });
}

namespace {

// "1131204 1405" as "113/12/04 14:05".
std::string SinceText(const std::string& since)
{
    if (since.size() != 12)
        return since;
    return since.substr(0, 3) + "/" + since.substr(3, 2) + "/" + since.substr(5, 2) + " " + since.substr(8, 2) + ":" +
           since.substr(10, 2);
}

std::string HeldText(const LockOutcome& held)
{
    return "另一個使用者正在修改，您暫時無法修改資料！\n\n被【" + held.holder + " 】鎖定。\n電腦：" + held.computer +
           "，鎖定時間：" + (held.since.empty() ? std::string("不明") : SinceText(held.since)) + "。";
}

} // namespace

std::string LockedMessage(const LockOutcome& held)
{
    if (!held.mayTakeOver)
        return HeldText(held);
    return HeldText(held) + "\n這筆鎖定已超過 " + std::to_string(kLockTakeOverHours) + " 小時，可請系統管理員開啟本筆資料接手。";
}

std::string TakeOverQuestion(const LockOutcome& held)
{
    return HeldText(held) + "\n\n這筆鎖定已超過 " + std::to_string(kLockTakeOverHours) +
           " 小時，持有的程式可能已經結束。\n確定由您接手鎖定？對方的視窗將無法再儲存。";
}

// --- Loading ----------------------------------------------------------------

std::vector<TimeLine> LoadLines(jet::Connection& conn, const RecordKey& key)
{
    std::vector<TimeLine> lines;
    if (qtmv::Trim(key.number).empty())
        return lines;
    jet::Recordset rs;
    rs.open("select * from " + std::string(kTable) + KeyWhere(key) + KindFilter(conn, key) + " order by 序", conn);
    for (; !rs.eof(); rs.moveNext()) {
        TimeLine l;
        l.machine = rs.text("機別");
        l.start = rs.text("開始");
        l.end = rs.text("結束");
        l.quantity = rs.field("完工數量").number();
        l.operatorId = rs.text("經辦代號");
        l.operatorName = rs.text("經辦人員");
        l.hours = rs.text("耗時");
        l.value = rs.field("產值").number();
        l.remark = rs.field("製作說明").text();
        l.standard = rs.field("標準數量").number();
        l.points = rs.field("點數").number();
        l.reams = rs.field("令數").number();
        l.colours = rs.field("色數").number();
        l.sides = rs.field("面數").number();
        l.unitPrice = rs.field("單價").number();
        l.total = rs.field("合計").number();
        l.defects = rs.field("不良數").number();
        l.defectRate = rs.field("不良率").number();
        lines.push_back(std::move(l));
    }
    return lines;
}

RelatedRecords LoadRelatedRecords(jet::Connection& conn, const RecordKey& key)
{
    auto any = [&](const char* table) {
        jet::Recordset rs;
        rs.open(std::string("select top 1 工單單號 from [") + table + "] where 工單單號 = '" + Q(key.po) +
                    "' and 工單序 = " + jet::SqlNumber(key.seq) + " and 製程 = '" + Q(key.kind->displayName) + "'",
                conn);
        return !rs.eof();
    };
    RelatedRecords r;
    r.inspection = any("工單品檢明細");
    r.printingData = key.kind->is(KindId::Printing) && any("工單印刷數據");
    return r;
}

std::string RelatedText(const RelatedRecords& r)
{
    std::string t = r.inspection ? "有品檢資料" : "";
    if (r.printingData)
        t += (t.empty() ? "" : "、") + std::string("有印刷數據");
    return t;
}

// --- Saving -----------------------------------------------------------------

std::string CompletionRemark(double quantity)
{
    return quantity == 0 ? std::string() : std::string(kQuantityRemark) + jet::RealText(quantity);
}

bool RemarkReplaceable(std::string_view remark)
{
    return qtmv::Trim(remark).empty() || remark.starts_with(kQuantityRemark);
}

std::string RemarkAfterSave(std::string_view current, const std::string& completion)
{
    return RemarkReplaceable(current) ? completion : std::string(current);
}

void ComputeFigures(TimeLine& line, double perHour)
{
    const LineTime t = LineTimeOf(line.start, line.end);
    line.hours = LineHours(t);
    line.standard = StandardQuantity(perHour, t.state == LineTime::State::Done ? t.minutes : 0);
    line.points = QuantitiesOf(line.standard, line.quantity).points;
}

long long TotalMinutes(const std::vector<TimeLine>& lines)
{
    long long sum = 0;
    for (const TimeLine& l : lines) {
        const LineTime t = LineTimeOf(l.start, l.end);
        if (t.state == LineTime::State::Done)
            sum += t.minutes;
    }
    return sum;
}

namespace {

// The checks that need no database: why the save is refused, "" when it
// may go on.
std::string InputProblem(const SaveInput& in)
{
    const std::string date = qtmv::Trim(in.completionDate);
    bool anyLine = false;
    int n = 0;
    for (const TimeLine& l : in.lines) {
        ++n;
        if (l.empty())
            continue;
        anyLine = true;
        const std::string row = "第 " + std::to_string(n) + " 列：";
        for (const auto& [heading, text] : {std::pair{"製作", &l.machine}, {"開始", &l.start}, {"結束", &l.end},
                                            {"經辦", &l.operatorId}, {"經辦人員", &l.operatorName},
                                            {"說明", &l.remark}})
            if (HasControlCharacter(*text))
                return row + ControlCharacterMessage(heading);
        if (l.quantity < 0 || l.defects < 0 || l.defectRate < 0)
            return row + kNegativeFigure;
        const LineTime t = LineTimeOf(l.start, l.end);
        if (t.state == LineTime::State::Invalid)
            return row + t.problem;
    }
    if (in.completedQuantity < 0)
        return kNegativeFigure;
    // Without a number the updates would reach pieces whose ID is blank.
    if (qtmv::Trim(in.key.number).empty() && !anyLine)
        return kNoRecordNumber;
    for (const TimeLine& l : in.lines)
        if (!l.empty() && LineTimeOf(l.start, l.end).state == LineTime::State::Open && !date.empty())
            return kOpenLineWithDate;
    if (!date.empty() && (date.size() != 7 || CheckRocDate(date, "7") != 0))
        return kBadCompletionDate;
    return {};
}

void StoreLines(jet::Connection& conn, const RecordKey& key, std::vector<TimeLine> lines)
{
    conn.execute(std::string("delete from [預排資料耗時明細] ") + KeyWhere(key) + KindFilter(conn, key));
    int seq = 0;
    for (TimeLine& l : lines) {
        if (l.empty())
            continue;
        ComputeFigures(l, lookups::CapacityPerHour(conn, l.machine));
        ++seq;
        auto t = [](std::string_view s) { return "'" + Q(s) + "'"; };
        auto n = [](double v) { return jet::SqlNumber(v); };
        conn.execute(
            "insert into [預排資料耗時明細] (機別, 開始, 結束, 完工數量, 經辦代號, 經辦人員, 耗時, 產值, 製作說明, "
            "標準數量, 點數, 令數, 色數, 面數, 單價, 合計, 工單單號, 工單序, 序, 單號, 不良數, 不良率, 製程) values (" +
            t(qtmv::Trim(l.machine)) + ", " + t(qtmv::Trim(l.start)) + ", " + t(qtmv::Trim(l.end)) + ", " +
            n(l.quantity) + ", " + t(qtmv::Trim(l.operatorId)) + ", " + t(qtmv::Trim(l.operatorName)) + ", " +
            t(l.hours) + ", " + n(l.value) + ", " + t(l.remark) + ", " + n(l.standard) + ", " + n(l.points) + ", " +
            n(l.reams) + ", " + n(l.colours) + ", " + n(l.sides) + ", " + n(l.unitPrice) + ", " + n(l.total) + ", " +
            t(key.po) + ", " + jet::SqlNumber(key.seq) + ", " + jet::SqlNumber(seq) + ", " + t(key.number) + ", " +
            n(l.defects) + ", " + n(l.defectRate) + ", " + t(key.kind->displayName) + ")");
    }
}

// The history rows of the save: for each piece of the record on the line,
// the fields whose values change. The finish date and the time consumed are
// compared with what the window opened with, the finish remark (which the
// window does not show) with what the piece holds.
std::vector<daily::HistoryRow> HistoryOf(jet::Connection& conn, const RecordKey& key, bool timeWritten,
                                         const std::string& total, const std::string& loadedTotal,
                                         bool dateChanged, const std::string& date, const std::string& loadedDate,
                                         const std::string& remark)
{
    const daily::GridLayout& layout = daily::GridLayoutOf(*key.kind);
    std::vector<daily::HistoryRow> rows;
    jet::Recordset rs;
    rs.open("select INO, 完工說明 from [" + std::string(key.kind->scheduledTable) + "] where ID ='" + Q(key.number) +
                "' and PO ='" + Q(key.po) + "' and [NO] = " + jet::SqlNumber(key.seq),
            conn);
    for (; !rs.eof(); rs.moveNext()) {
        const daily::HistoryRow piece{key.number, static_cast<long long>(rs.field("INO").number()), key.po, key.seq,
                                      {}, {}, {}};
        auto add = [&](const std::string& field, const std::string& before, const std::string& after) {
            daily::HistoryRow r = piece;
            r.field = field;
            r.before = before;
            r.after = after;
            rows.push_back(std::move(r));
        };
        if (timeWritten && total != loadedTotal)
            add(layout.heading(layout.column("耗時")), loadedTotal, total);
        if (dateChanged)
            add(layout.heading(layout.finishDateCol), loadedDate, date);
        const std::string after = RemarkAfterSave(rs.text("完工說明"), remark);
        if (rs.text("完工說明") != after)
            add(layout.heading(layout.finishRemarkCol), rs.text("完工說明"), after);
    }
    return rows;
}

bool AnyPieceOpen(jet::Connection& conn, const RecordKey& key)
{
    jet::Recordset rs;
    rs.open(std::string("select PO, [NO], FDATE ") + "from [" + std::string(key.kind->scheduledTable) + "] " +
                "where PO = '" + Q(key.po) + "' and " + "[NO] = " + jet::SqlNumber(key.seq) + " and (" +
                "FDATE = '' or FDATE is null) ",
            conn);
    return !rs.eof();
}

// The figures a save writes, worked out once for all its attempts.
struct Stored {
    bool anyLine = false;
    std::string total, date, remark;
};

// Stores the record and its consequences in one transaction of its own;
// the record's number, a new one when it was taken.
std::string StoreRecord(jet::Connection& conn, const SaveInput& in, const Stored& s, daily::SaveContext& ctx)
{
    RecordKey key = in.key;
    key.number = qtmv::Trim(key.number);
    const ProcessKind& kind = *key.kind;
    if (!in.lockId.empty()) {
        jet::Recordset held;
        held.open("select ID from [SYSPOLOCK1] where ID = '" + Q(in.lockId) + "'", conn);
        if (held.eof())
            throw daily::SaveStopped(SaveStatus::Refused, kLockTakenOver, "警告");
    }
    // A new number is taken only when there is something to store under it.
    if (key.number.empty() && s.anyLine)
        key.number = NextTmpNumber(conn);
    if (!key.number.empty())
        StoreLines(conn, key, in.lines);

    const bool dateChanged = s.date != qtmv::Trim(in.loadedCompletionDate);
    daily::WriteHistory(conn, kind,
                        HistoryOf(conn, key, s.anyLine, s.total, qtmv::Trim(in.previousTotal), dateChanged, s.date,
                                  qtmv::Trim(in.loadedCompletionDate), s.remark),
                        daily::HistoryAuthorOf(ctx.session, ctx.clock));
    const std::string piece = "where ID ='" + Q(key.number) + "' and " + "PO ='" + Q(key.po) + "' and " +
                              "[NO] = " + jet::SqlNumber(key.seq);
    // 預排資料明細 holds the pieces of every kind: only this kind's piece is
    // this record's.
    const std::string kindPiece = piece + " and [KIND] = '" + Q(kind.spacedName) + "'";
    std::string set;
    if (s.anyLine)
        set = "耗時 ='" + Q(s.total) + "'";
    auto dated = [&](const char* column) {
        if (!dateChanged)
            return set;
        return set + (set.empty() ? "" : ", ") + column + " ='" + Q(s.date) + "'";
    };
    if (!dated("FDATE").empty()) {
        conn.execute("update [" + std::string(kind.scheduledTable) + "] set " + dated("FDATE") + " " + piece);
        conn.execute("update [預排資料明細] set " + dated("PDATE") + " " + kindPiece);
    }
    // The completion remark only where no clerk's remark is.
    const std::string remark = "set 完工說明 = '" + Q(s.remark) + "' ";
    conn.execute("update [" + std::string(kind.scheduledTable) + "] " + remark + piece + kReplaceableRemark);
    conn.execute("update [預排資料明細] " + remark + kindPiece + kReplaceableRemark);
    conn.execute("update [" + std::string(kind.detailTable) + "] " + remark + "where PO ='" + Q(key.po) + "' and " +
                 "[NO] = " + jet::SqlNumber(key.seq) + kReplaceableRemark);
    if (!AnyPieceOpen(conn, key))
        daily::WriteBackLines(conn, kind, daily::GridRows{{key.po, std::to_string(key.seq)}}, ctx.clock);
    return key.number;
}

} // namespace

SaveOutcome SaveRecord(const SaveInput& in, daily::SaveContext& ctx)
{
    SaveOutcome out;
    Stored s;
    for (const TimeLine& l : in.lines)
        s.anyLine = s.anyLine || !l.empty();
    s.total = s.anyLine ? HoursText(TotalMinutes(in.lines)) : qtmv::Trim(in.previousTotal);
    s.date = qtmv::Trim(in.completionDate);
    s.remark = CompletionRemark(in.completedQuantity);
    // A save that a server cancelled as it collided with another
    // workstation's is made again whole; a new number is then taken afresh,
    // in the transaction that stores it.
    daily::SaveSteps steps;
    steps.check = [&] { return InputProblem(in); };
    steps.checkTitle = "警告";
    steps.retryOnConflict = true;
    out.status = daily::RunSave(
        ctx, kTitle, [&](jet::Connection& conn) { out.number = StoreRecord(conn, in, s, ctx); }, steps);
    if (out.status != SaveStatus::Saved) {
        out.number.clear();
        return out;
    }
    out.total = s.total;
    out.remark = s.remark;
    return out;
}

} // namespace qtmv::presched
