#pragma once
// What the quality windows add to the save sequence: records that are
// rewritten whole are checked against what was loaded and stamped.
#include "records/saving/SaveRun.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv::quality {

using daily::RunSave;
using daily::SaveStatus;
using daily::SaveStopped;

// The stored rows a select returns, every column of every row in their
// order, as one text: two reads give the same text exactly when nothing in
// those rows changed in between (a rewrite gives new row identities on the
// server, so it counts as a change there even with the same values).
std::string StoredRows(jet::Connection& conn, const std::string& select);

// --- Records rewritten whole ------------------------------------------------
// The inspection lines and the printing data of a work-order line are saved
// by deleting the record and adding it again. Such a save first reads the
// record inside its transaction and goes on only when it is still as it was
// loaded. Who saved a record last, and when, is kept beside it in
// 品質資料儲存 (the suite's tables have no such columns), so the refusal can
// name them; a change without a new stamp came from another program.

// Which record: 表 the lines' table, then the work-order line.
struct RecordKey {
    std::string table;  // "工單品檢明細", "工單印刷數據"
    std::string kind;   // 製程, "D-印刷"
    std::string po;
    int seq = 0;
};

struct SavedBy {
    std::string user, computer, time;   // time "yyymmdd HHMM"
    long long version = 0;              // counts the saves: no two leave the same stamp
    bool operator==(const SavedBy&) const = default;
};

struct StoredRecord {
    std::string rows;                   // storedRows of the record's selects
    std::optional<SavedBy> savedBy;     // none before this program first saved it
    bool operator==(const StoredRecord&) const = default;
};

StoredRecord ReadStoredRecord(jet::Connection& conn, const RecordKey& key, const std::vector<std::string>& selects);

// Within a save's write: reads the record into `found`; when it is no
// longer `loaded`, throws SaveStopped(Changed) with changedMessage (under
// the save's title), else stamps this save.
void CheckAndStamp(jet::Connection& conn, const RecordKey& key, const std::vector<std::string>& selects,
                   const StoredRecord& loaded, const std::string& what, const daily::SaveContext& ctx,
                   StoredRecord& found);

// What became of a save of a record rewritten whole.
struct WholeRecordSaved {
    daily::SaveResult status{SaveStatus::Refused};
    bool hasLines = false;  // at least one line was kept
    // Saved: the record as now stored; Changed: as the other workstation
    // left it (a save against it replaces that).
    StoredRecord stored;
};

// Saves a record rewritten whole through the save sequence: a line that
// cannot be stored (`problem` says why) refuses the save before anything
// is opened; inside the transaction the record is checked against
// `loaded` and stamped (checkAndStamp), `rewrite` deletes its lines and
// inserts the new ones, returning how many it kept, and the record is read
// back as now stored.
WholeRecordSaved SaveWholeRecord(daily::SaveContext& ctx, const std::string& title, const RecordKey& key,
                                 const std::vector<std::string>& selects, const StoredRecord& loaded,
                                 const std::string& what, const std::function<std::optional<std::string>()>& problem,
                                 const std::function<int(jet::Connection&)>& rewrite);

// "此筆<what>在您開啟之後已由<user>（<computer>）於<yyy/mm/dd HH:MM>儲存，..."
// or, without a new stamp, "...已被其他程式變更（沒有記錄由誰、何時變更），...".
std::string ChangedMessage(const std::string& what, const StoredRecord& now, const StoredRecord& loaded);

} // namespace qtmv::quality
