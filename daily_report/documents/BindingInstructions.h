#pragma once
// The binding instructions of a work-order line of the binding kind: pages
// (頁數), sheets (台數), folds (折數), the binding method (裝訂方式) and the
// instructions text (裝訂說明), kept in 工單頁數 under the work order and
// line (PO, [NO]). Reading, checking, saving and the printed sheet; no
// widgets (message boxes go through qtmv::MsgBox).
//
// Rights (WorkOrderRights, Rights.h): "0" at 9 keeps the instructions
// closed, "0" at 13 makes them read-only, "0" at 44 refuses printing.
//
// Saving writes only the fields the user changed, in one transaction. The
// window may stay open a long time while another workstation edits the same
// line; a field the user changed that someone else changed since it was
// read is not overwritten silently: the save stops and names those fields,
// and only a second save with overwrite set (the user said so) replaces
// them. Fields the user did not change keep whatever is stored.
#include "records/saving/SaveResult.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qtmv {
struct Session;
}

namespace qtmv::daily {

// The fields as the window shows and the user types them.
struct BindingFields {
    std::string pages;    // 頁數
    std::string sheets;   // 台數
    std::string folds;    // 折數
    std::string method;   // 裝訂方式
    std::string notes;    // 裝訂說明, lines separated by "\n"
    bool operator==(const BindingFields&) const = default;
};

// The columns of 工單頁數 in field order.
inline constexpr std::array<std::string_view, 5> kBindingColumns = {"頁數", "台數", "折數", "裝訂方式", "裝訂說明"};

// Longest texts, in characters.
inline constexpr int kBindingMethodMaxChars = 20;
inline constexpr int kBindingNotesMaxChars = 250;
inline constexpr double kBindingNumberMax = 99999;

struct BindingRecord {
    std::string po;
    int no = 0;
    bool stored = false;       // 工單頁數 has the row
    BindingFields fields;      // as stored; all "" while there is no row
    // What the line is, for the window's heading and the printed sheet.
    bool workOrderFound = false;
    std::string customer;      // CUST.SNAME of the work order
    std::string product;       // PWORK.[DESC]
    std::string lineItem;      // BIND.[DESC], or BIND.[ITEM] when it has none
    std::string lineQty;       // BIND.QTY and UNIT
};

// Throws jet::Error.
BindingRecord LoadBinding(const std::string& connectionString, const std::string& po, int no);
// The phrases of the PHRASE list "裝訂說明", in ID order. Throws jet::Error.
std::vector<std::string> LoadBindingPhrases(const std::string& connectionString);

struct BindingRights {
    bool open = true;
    bool change = true;
    bool print = true;
};
BindingRights ReadBindingRights(const Session& s);

// The first problem of the typed fields, in the user's words; "" when none.
// Numbers: empty (0) or a number from 0 to 99999; texts: no control
// characters (line breaks allowed in the instructions), not too long.
std::string CheckBindingFields(const BindingFields& f);

// Indexes (into kBindingColumns) of the fields whose typed value differs
// from the stored one: numbers by value, texts without the blanks at their
// ends.
std::vector<int> ChangedBindingFields(const BindingFields& stored, const BindingFields& typed);

// Refused with Unchanged when nothing differs from the loaded line (nothing
// told); Changed when another workstation changed a field the user changed
// (nothing written, nothing told: the window asks whether to overwrite).
struct BindingSaveOutcome {
    SaveResult result{SaveStatus::Refused, Refusal::Unchanged};
    std::vector<std::string> conflicts;   // the columns of a Changed result
    BindingRecord record;                 // after Saved: the row as now stored
};

// Saves the changed fields of the line (see above) through the save
// sequence: a failure of the write is reported there (Failed, nothing
// written); reading the saved line back may still throw jet::Error.
BindingSaveOutcome SaveBinding(Session& s, const BindingRecord& loaded, const BindingFields& typed, bool overwrite,
                               const std::function<void()>& endProgram);

// The printed sheet of the line with the given fields, as HTML for a text
// document; every text is escaped.
std::string BindingSheetHtml(const BindingRecord& r, const BindingFields& f, const std::string& company);

} // namespace qtmv::daily
