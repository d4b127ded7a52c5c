#pragma once
// What a save did (or, run in a transaction that is rolled back, would do)
// and the change history it leaves in 日報異動紀錄.
//
// The save and the write-back fill a SaveSummary as they go: the cells they
// write, with the value as loaded and the value written (the history rows),
// and what the write-back did to the work order. The question before saving
// and the message after it show the same list (summaryText), so the clerk
// sees beforehand exactly what a save will carry over.
//
// History rows are written in the transaction of the save that wrote the
// cells, so a failed save leaves none. 種類 is the kind's display name
// ("D-印刷"), 欄位 the heading the user saw, 時間 "yyymmdd HHMM". The user is
// the employee's name (the Windows user when start-up found none), the
// computer the first part of the workstation user.
#include "common/Clock.h"
#include "common/ProcessKind.h"

#include <string>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv {
struct Session;
}

namespace qtmv::daily {

// A work-order line: PO and [NO].
struct WorkLine {
    std::string po;
    long long no = 0;
    bool operator==(const WorkLine&) const = default;
};

// One written field: which piece and line, the heading, before and after.
struct HistoryRow {
    std::string id;     // the piece: ID, INO
    long long ino = 0;
    std::string po;     // its work-order line: PO, [NO]
    long long no = 0;
    std::string field;  // 欄位
    std::string before; // 舊值: as loaded
    std::string after;  // 新值: as written
};

// A PRINTFLOW stamp: the work order's column that got the finish text.
// A stamp in the work order's process flow (PRINTFLOW): the line, the
// process as the user names it ("印刷") and the column it went into.
struct FlowStamp {
    WorkLine line;
    std::string process;
    std::string column;
    bool operator==(const FlowStamp&) const = default;
};

struct SaveSummary {
    std::vector<HistoryRow> history; // every cell written
    int pieces = 0;                  // pieces those cells belong to
    std::vector<WorkLine> closed;    // work-order lines that get a finish date
    std::vector<WorkLine> reopened;  // lines whose finish date is emptied
    int ordersDated = 0;             // VENDERAC lines that get ODATE
    std::vector<WorkLine> paperArrived; // lines whose paper purchase lines get 紙到 'Y'
    std::vector<FlowStamp> flowStamps;

    int cells() const { return static_cast<int>(history.size()); }
};

// The list below "確定儲存資料?" and "資料儲存完畢!": one line per item,
// long lists cut after a few entries with their count.
std::string SummaryText(const SaveSummary& s);

// Who writes history, and when.
struct HistoryAuthor {
    std::string time;     // "yyymmdd HHMM"
    std::string user;
    std::string computer;
};
HistoryAuthor HistoryAuthorOf(const Session& s, const Clock& clock);

// Adds the rows to 日報異動紀錄 on a connection whose transaction the caller
// holds. Throws jet::Error.
void WriteHistory(jet::Connection& conn, const ProcessKind& kind, const std::vector<HistoryRow>& rows,
                  const HistoryAuthor& author);

// A stored history row.
struct HistoryEntry {
    std::string time, user, computer, kind, id;
    long long ino = 0;
    std::string po;
    long long no = 0;
    std::string field, before, after;
};

// The history of a piece (ID, INO) and of its work-order line (PO, [NO])
// for the kind, newest first. Throws jet::Error.
std::vector<HistoryEntry> LoadHistory(jet::Connection& conn, const ProcessKind& kind, const std::string& id,
                                      long long ino, const std::string& po, long long no);
std::vector<HistoryEntry> LoadHistory(const Session& s, const ProcessKind& kind, const std::string& id, long long ino,
                                      const std::string& po, long long no);

} // namespace qtmv::daily
