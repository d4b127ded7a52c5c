#include "records/saving/ChangeHistory.h"

#include "app/core/Session.h"
#include "common/RocDate.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

namespace qtmv::daily {

namespace {

// A question box must stay readable with 2,000 loaded rows.
constexpr std::size_t kListed = 8;

template <class T, class Text>
std::string ListLine(const char* caption, const std::vector<T>& items, Text text)
{
    if (items.empty())
        return {};
    std::string line = caption;
    for (std::size_t i = 0; i < items.size() && i < kListed; ++i)
        line += (i ? "、" : "") + text(items[i]);
    if (items.size() > kListed)
        line += " …等 " + std::to_string(items.size()) + " 項";
    return line + "\n";
}

std::string LineText(const WorkLine& l) { return l.po + " 序" + std::to_string(l.no); }

std::string Q(std::string_view s) { return jet::SqlText(s); }

} // namespace

std::string SummaryText(const SaveSummary& s)
{
    std::string t = "寫入 " + std::to_string(s.cells()) + " 格（" + std::to_string(s.pieces) + " 筆日報）\n";
    t += ListLine("工單製程結案：", s.closed, LineText);
    t += ListLine("工單製程重新開啟：", s.reopened, LineText);
    if (s.ordersDated > 0)
        t += "外包單填入日期：" + std::to_string(s.ordersDated) + " 筆\n";
    t += ListLine("紙品採購標示到貨：", s.paperArrived, LineText);
    // The process by name: the column (ITEM4...) means nothing to the user.
    t += ListLine("製程流程表蓋日期：", s.flowStamps,
                  [](const FlowStamp& f) { return LineText(f.line) + " " + f.process; });
    if (!t.empty() && t.back() == '\n')
        t.pop_back();
    return t;
}

HistoryAuthor HistoryAuthorOf(const Session& s, const Clock& clock)
{
    const std::size_t slash = s.WorkstationUser.find('\\');
    const std::string windowsUser = slash == std::string::npos ? s.WorkstationUser : s.WorkstationUser.substr(slash + 1);
    const std::string name = qtmv::Trim(s.EmployeeName);
    return {FormatRocDateTime(clock.now()), name.empty() ? windowsUser : name,
            s.WorkstationUser.substr(0, slash)};
}

void WriteHistory(jet::Connection& conn, const ProcessKind& kind, const std::vector<HistoryRow>& rows,
                  const HistoryAuthor& author)
{
    // Rows go a hundred to a statement: one statement per cell made a
    // large save wait on a server's round trips.
    constexpr std::size_t kRowsPerStatement = 100;
    const std::string head = "insert into [日報異動紀錄] (時間, 使用者, 電腦, 種類, ID, INO, PO, [NO], 欄位, 舊值, 新值) values ";
    const std::string common = "('" + Q(author.time) + "', '" + Q(author.user) + "', '" + Q(author.computer) +
                               "', '" + Q(kind.displayName) + "', '";
    std::string values;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const HistoryRow& r = rows[i];
        values += (values.empty() ? "" : ", ") + common + Q(r.id) + "', " + jet::SqlNumber(r.ino) + ", '" + Q(r.po) +
                  "', " + jet::SqlNumber(r.no) + ", '" + Q(r.field) + "', '" + Q(r.before) + "', '" + Q(r.after) +
                  "')";
        if ((i + 1) % kRowsPerStatement == 0 || i + 1 == rows.size()) {
            conn.execute(head + values);
            values.clear();
        }
    }
}

std::vector<HistoryEntry> LoadHistory(jet::Connection& conn, const ProcessKind& kind, const std::string& id,
                                      long long ino, const std::string& po, long long no)
{
    jet::Recordset rs;
    rs.open("select * from [日報異動紀錄] where 種類 = '" + Q(kind.displayName) + "' and ((ID = '" + Q(id) +
                "' and INO = " + jet::SqlNumber(ino) + ") or (PO = '" + Q(po) + "' and [NO] = " +
                jet::SqlNumber(no) + ")) order by 時間 desc, 序 desc",
            conn);
    std::vector<HistoryEntry> out;
    for (; !rs.eof(); rs.moveNext())
        out.push_back({rs.text("時間"), rs.text("使用者"), rs.text("電腦"), rs.text("種類"), rs.text("ID"),
                       static_cast<long long>(rs.field("INO").number()), rs.text("PO"),
                       static_cast<long long>(rs.field("NO").number()), rs.text("欄位"), rs.text("舊值"),
                       rs.text("新值")});
    return out;
}

std::vector<HistoryEntry> LoadHistory(const Session& s, const ProcessKind& kind, const std::string& id, long long ino,
                                      const std::string& po, long long no)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    return LoadHistory(conn, kind, id, ino, po, no);
}

} // namespace qtmv::daily
