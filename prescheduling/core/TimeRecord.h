#pragma once
// The stored time record of a scheduled piece (預排資料耗時明細): its
// number, its lock in SYSPOLOCK1, loading its lines and saving them together
// with the schedule, the work-order line and the write-back.
//
// - Record numbers "TMP" + at least four digits: the next one follows the
//   greatest number in use, compared as a number (TMP10000 follows TMP9999,
//   so numbers never repeat once four digits are used up). A new number is
//   taken inside the save's write transaction, when the first lines are
//   stored: two workstations saving at the same moment are serialised by the
//   transaction and cannot store the same number, and a window closed
//   without saving uses up no number.
// - A record's lines belong to one process kind (製程, the display name):
//   loading, deleting and rewriting touch only that kind's lines. Older
//   lines without 製程 belong to the kind of the record's first piece
//   (預排資料明細 by INO, KIND), or to any kind when the record has no piece
//   (TMP records); saving stores them with 製程.
// - Locks (SYSPOLOCK1): a claim on the work-order line of a kind (工單單號,
//   工單序, 製程): a save rewrites that line's remark and carries its finish
//   over, so two pieces of one line in different schedule documents are
//   one claim. 單號 still names the record. Rows without 製程 (written
//   before it existed, or by another program of the suite) claim the line
//   for every kind. ID = workstation user + "|" + process id + "|" + a
//   running number of this process, COMPUTER = the computer name, USER = the
//   holder's name shown to others, 鎖定時間 = since when ("yyymmdd HHMM",
//   this computer's clock). A lock of the same computer whose process is no
//   longer running (or is a zombie not yet reaped) is left over from a
//   program that ended abnormally: it is removed and does not block. Locks
//   of other computers block (their processes cannot be seen from here), as
//   do rows whose ID is not of this form; one older than kLockTakeOverHours
//   may be taken over by an administrator after a question, which the log
//   and the change history record. A blocking row without 鎖定時間 gets the
//   time it was first seen, so that its age is known from then on. Taking
//   a lock runs in a write transaction, so two workstations cannot both take
//   it.
// - A lock taken or released, or a save, that a database server cancels as
//   it collided with another workstation's is made again a few times
//   (jet::retryOnConflict); a save then takes its new number afresh.
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "prescheduling/core/TimeMath.h"
#include "records/saving/SaveRun.h"

#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv {
struct Session;
}

namespace qtmv::presched {

// Which time record: the record number (may be "" for a record not stored
// yet), the work-order line and the kind.
struct RecordKey {
    std::string number;
    std::string po;
    int seq = 0;
    const ProcessKind* kind = nullptr;
};

// One grid line as stored.
struct TimeLine {
    std::string machine;      // 機別
    std::string start;        // 開始 "yyymmdd HHMM"
    std::string end;          // 結束
    double quantity = 0;      // 完工數量
    std::string operatorId;   // 經辦代號
    std::string operatorName; // 經辦人員
    std::string hours;        // 耗時 "1.75"
    double value = 0;         // 產值
    std::string remark;       // 製作說明
    double standard = 0;      // 標準數量
    double points = 0;        // 點數
    double reams = 0;         // 令數
    double colours = 0;       // 色數
    double sides = 0;         // 面數
    double unitPrice = 0;     // 單價
    double total = 0;         // 合計
    double defects = 0;       // 不良數
    double defectRate = 0;    // 不良率

    // A line with nothing typed in it is not stored.
    bool empty() const;
};

// --- Record numbers ---------------------------------------------------------

bool IsTmpNumber(std::string_view number);
// The next "TMP" number after the greatest in use; "TMP0001" with none.
// Run it inside the write transaction that stores the number.
std::string NextTmpNumber(jet::Connection& conn);

// --- Locks ------------------------------------------------------------------

// Who takes a lock.
struct LockHolder {
    std::string workstationUser; // computer + "\" + user
    std::string name;            // shown to others in the lock message
    long long pid = 0;
    std::string time;            // now, "yyymmdd HHMM": the new lock's 鎖定時間
};
// The holder for this process and session, at the clock's time.
LockHolder ThisHolder(const Session& s, const Clock& clock);

// Whether a process of this computer is running: a zombie (ended, not yet
// reaped by its parent) is not.
using ProcessAlive = std::function<bool(long long pid)>;
bool ProcessRunning(long long pid);

// A lock of another computer may be taken over once it is this old: longer
// than any shift of the plant, so a window kept open through a whole shift
// is never taken from its user, while a lock left by a computer that broke
// down yesterday can be freed the next morning.
inline constexpr int kLockTakeOverHours = 12;

struct LockOutcome {
    bool taken = false;
    std::string lockId;   // when taken: the ID to release
    // When not taken, the row that blocks:
    std::string holder;   // the name of who holds it
    std::string computer;
    std::string since;    // "yyymmdd HHMM"
    std::string heldId;   // its ID
    bool mayTakeOver = false; // old enough for an administrator to take over
};

// Takes the record's lock (the record must not be a TMP record).
LockOutcome TakeLock(jet::Connection& conn, const RecordKey& key, const LockHolder& me,
                     const ProcessAlive& alive = ProcessRunning);
// Takes over the lock `held` blocked with, after the administrator agreed:
// removes that row when it still blocks and may still be taken over, and
// takes the lock as takeLock does, in one transaction that also writes the
// change history; the log records it. Not taken (with what blocks now) when
// the row changed meanwhile or another blocks.
LockOutcome TakeOverLock(jet::Connection& conn, const RecordKey& key, const LockHolder& me,
                         const LockOutcome& held, const ProcessAlive& alive = ProcessRunning);
void ReleaseLock(jet::Connection& conn, const RecordKey& key, const std::string& lockId);

// The message for a record held by another user: who, on which computer,
// since when, and for a lock old enough that an administrator may take it
// over.
std::string LockedMessage(const LockOutcome& held);
// The administrator's question before taking a lock over.
std::string TakeOverQuestion(const LockOutcome& held);

// --- Loading ----------------------------------------------------------------

// The kind's lines of the record, by 序. A record without number has none.
std::vector<TimeLine> LoadLines(jet::Connection& conn, const RecordKey& key);

// Whether the work-order line has inspection lines of the kind, and (for
// printing) printing data.
struct RelatedRecords {
    bool inspection = false;
    bool printingData = false;
};
RelatedRecords LoadRelatedRecords(jet::Connection& conn, const RecordKey& key);
// The indicator's text: "有品檢資料", "有印刷數據", both, or "".
std::string RelatedText(const RelatedRecords& r);

// --- Saving -----------------------------------------------------------------

struct SaveInput {
    RecordKey key;
    std::vector<TimeLine> lines;   // grid lines in order; empty ones are skipped
    std::string completionDate;    // txt完工日期, "" or seven digits
    // The completion date the window opened with: the piece's finish date is
    // written only when the user changed it, so a piece another workstation
    // finished meanwhile is not reopened by a stint added here.
    std::string loadedCompletionDate;
    double completedQuantity = 0;  // txt完工數量
    // The time consumed the piece had when the window opened: a record
    // without any line leaves it as it is rather than writing 0 over it.
    std::string previousTotal;
    // The lock the window holds ("" for a TMP record): a save after an
    // administrator took it over is refused.
    std::string lockId;
};

// Saved: committed, number, total and remark set; otherwise nothing written
// (Refused: told; Abandoned, Ended: the maintenance check; Failed: shown).
using SaveStatus = daily::SaveStatus;

struct SaveOutcome {
    daily::SaveResult status{SaveStatus::Refused};
    std::string number; // the record number, a new TMP number when one was taken
    std::string total;  // 耗時 of the record: hours with two decimals
    std::string remark; // the completion remark: "完工數量: n", or ""
};

// "完工數量: " + quantity, or "" when it is 0.
std::string CompletionRemark(double quantity);
// Whether a 完工說明 may take the completion remark: it is empty or holds
// one written earlier. A remark a clerk typed is kept.
bool RemarkReplaceable(std::string_view remark);
// What a 完工說明 holding `current` holds after a save of `completion`.
std::string RemarkAfterSave(std::string_view current, const std::string& completion);
// Sets the line's 耗時, 標準數量 and 點數 from its times, its quantity and its
// machine's hourly capacity.
void ComputeFigures(TimeLine& line, double perHour);
// The sum of the lines' time; each open or empty line counts nothing.
long long TotalMinutes(const std::vector<TimeLine>& lines);

inline constexpr const char* kOpenLineWithDate = "因為有填「開始」卻未填「結束」所以不可填「完工日期」!";
inline constexpr const char* kNegativeFigure = "完工數量、不良數與不良率不可為負數!";
inline constexpr const char* kLockTakenOver = "這筆資料的鎖定已被系統管理員接手，資料沒有儲存!";
inline constexpr const char* kNoRecordNumber = "沒有單號，請先輸入耗時明細再存檔!";
inline constexpr const char* kBadCompletionDate = "完工日期錯誤，請輸入七碼的年月日，例如 1131204!";

// Stores the record and its consequences in one transaction, then reports
// what the caller hands back to its row. Tells the user why when nothing is
// saved: besides rights and times, negative figures, control characters in
// a line's texts, and a record without number (nothing to store under one).
SaveOutcome SaveRecord(const SaveInput& in, daily::SaveContext& ctx);

} // namespace qtmv::presched
