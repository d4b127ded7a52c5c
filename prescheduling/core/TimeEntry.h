#pragma once
// What the time window (frm工務預排作業_耗時) and the output-value window
// it opens (frm印刷產值) are opened with and hand back, and what the time
// window reads from the database. A caller builds the request from its own
// row and applies the result to it: neither window reads or writes another
// window's controls.
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "prescheduling/core/TimeRecord.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qtmv {
struct Session;
}

namespace qtmv::presched {

// The piece the time window opens for, as the caller's row shows it.
struct TimeRequest {
    std::string po;                     // work order
    int seq = 0;                        // process sequence (工單序)
    const ProcessKind* kind = nullptr;  // the row's kind; none: the default kind
    std::string completionDate;         // the row's finish date
    std::string timeConsumed;           // the row's 耗時: kept while the record has no line
    std::string quantity;               // the row's quantity, shown in the heading
    // The record: the row's own pre-schedule number, else the one the caller
    // works on; "" for a record not stored yet (a TMP number on its first save).
    std::string recordNumber;
    // The row's completion remark as shown: a remark a clerk typed there is
    // handed back unchanged.
    std::string completionRemark;
};

// What the time window hands back.
struct TimeResult {
    bool returned = false;          // confirmed: the caller takes the values into its row
    // The window stored the lines, the piece's time, finish date and remark
    // (確 定 saves before it closes): the caller has nothing left to store
    // for the record itself.
    bool stored = false;
    std::string total;              // the record's 耗時, hours with two decimals
    std::string completionDate;     // as typed in the window
    std::string completionRemark;   // for the row: "完工數量: n", or the row's own remark
    std::string newNumber;          // the TMP number the save took for a record without one
};

// The figures of one printing line the output-value window opens with
// (the line's stored ones).
struct PrintValueRequest {
    double quantity = 0;   // completed sheets
    double reams = 0;      // 0: the quantity / 500
    double colours = 0;
    double sides = 0;      // 0: one side
    double unitPrice = 0;  // per ream and colour
};

// What the output-value window hands back, as the line's cells take them.
struct PrintValueResult {
    bool returned = false;
    std::string value;      // also the line's 合計
    std::string reams;
    std::string colours;
    std::string sides;
    std::string unitPrice;
};

// Whether the record is claimed in SYSPOLOCK1 while a window edits it: a
// stored record that is not a TMP record.
bool NeedsLock(const RecordKey& key);

// What the time window shows for a record.
struct OpenedRecord {
    std::vector<std::string> machines;   // phrase list 機別, offered in 製作
    std::vector<std::string> remarks;    // phrase list 停工說明, offered in 說明
    RelatedRecords related;
    std::vector<TimeLine> lines;
    std::string lockRefusal;   // the lock could not be had: why, for the caller to say
};

// Reads the record for the window and, when it needsLock, takes its lock
// first. An administrator may take over a lock old enough when `takeOver`
// answers yes to the question it is given; a lock that cannot be had comes
// back in lockRefusal. `locked` gets the lock's ID as soon as it is taken,
// so that the caller releases it even when a later read fails.
OpenedRecord OpenRecord(const Session& s, const Clock& clock, const RecordKey& key,
                        const std::function<void(const std::string& lockId)>& locked,
                        const std::function<bool(const std::string& question)>& takeOver);

// Releases a lock taken through openRecord, on a connection of its own.
void ReleaseLock(const std::string& connectionString, const RecordKey& key, const std::string& lockId);

// Machines' hourly capacities already read, by machine name.
using Capacities = std::map<std::string, double, std::less<>>;
// Reads the capacities of the lines' machines not in `known` yet; opens a
// connection only when there is one.
void AddCapacities(const std::string& connectionString, const std::vector<TimeLine>& lines, Capacities& known);

} // namespace qtmv::presched
