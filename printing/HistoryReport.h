#pragma once
// The printed change history of a piece and its work-order line: the
// entries the history window lists, newest first, one line each (time,
// user, computer, piece, line, field, old and new value).
#include "records/saving/ChangeHistory.h"
#include "platform/report/Report.h"

#include <string>
#include <vector>

namespace qtmv::daily {

// The heading's subject, e.g. "D-印刷　工單 P1130001 序 1　確認單號 A0001 序 1".
std::string HistorySubject(const ProcessKind& kind, const std::string& id, long long ino, const std::string& po,
                           long long no);

report::PageDocument HistoryReport(const std::string& subject, const std::vector<HistoryEntry>& entries);

} // namespace qtmv::daily
