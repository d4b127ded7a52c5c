#pragma once
// The downstream vendor of a scheduled piece (frm下游廠商, frm下游廠商_印刷):
// what the window shows for a row, vendor code entry, the confirm that
// stores the fields in the kind's scheduled table, and the print options
// kept in SYSDB.
//
// - The stored print options (SYSDB, PNAME "工務預排", CODE) are seven 0/1
//   characters: the main window's 不印公司名稱, 不印業務員, 預排表不印金額,
//   then this window's 不印客戶, 不印品名, 不印金額, 以張印. A shorter text
//   reads its missing characters as 0.
// - A typed field is checked as every entry window checks it: no control
//   characters, and no more Big5 bytes than its limit below. A field the
//   window shows unchanged is not checked (it is not written either).
// - When the scheduled row is missing or not unique the vendor fields are not
//   stored: the user is told so (the print options are stored all the same)
//   and nothing is handed back, so the caller's row keeps what is stored.
// - The windows are opened with a VendorRequest built from the caller's row
//   and hand back a VendorResult the caller applies to it.
#include "common/HandOver.h"
#include "common/ProcessKind.h"
#include "platform/report/Report.h"
#include "records/saving/SaveResult.h"
#include "reports/OutsourcingOrder.h"

#include <cstddef>
#include <optional>
#include <string>

namespace jet {
class Connection;
}

namespace qtmv {
struct Session;
}

namespace qtmv::daily {
struct SaveContext;
}

namespace qtmv::vendors {

// The fields the window edits (those of the caller's row).
struct VendorFields {
    std::string downCode;   // 下游廠商代號
    std::string downName;   // 下游廠商
    std::string address;    // 地址
    std::string phone;      // 電話
    std::string note;       // 注意事項
    std::string upCode;     // 上游廠商代號
    std::string upName;     // 上游廠商
    std::string recipient;  // 收件人 (M-運送 only)
    double reams = 0;       // 用紙令數 (printing only)
    double sheets = 0;      // 用紙張數 (printing only)
};

// The caller's print options, stored with the window's own.
struct MainPrintOptions {
    bool noCompanyName = false;  // chk單筆不印公司名稱
    bool noSalesperson = false;  // chk單筆不印業務員
    bool scheduleNoAmounts = false; // chk預排表不印金額
};

// The window's own print options.
struct PrintOptions {
    bool noCustomer = false;     // chk不印客戶
    bool noProductName = false;  // chk不印品名
    bool noAmounts = false;      // chk不印金額
    bool bySheet = false;        // chk以張印
};

// Big5 byte limits of the typed fields, the same in both windows.
inline constexpr std::size_t kCodeBytes = 20, kAddressBytes = 100, kPhoneBytes = 30, kNoteBytes = 100,
                             kRecipientBytes = 20;

// Why the typed fields (against those the window showed) cannot be stored,
// or nothing.
std::optional<std::string> FieldsProblem(const VendorFields& typed, const VendorFields& shown, const ProcessKind& k);

inline constexpr const char* kOptionsName = "工務預排";
inline constexpr const char* kSavedMessage = "資料儲存完畢!";
inline constexpr const char* kRowMissingMessage =
    "找不到此筆預排資料(或不只一筆)，下游廠商資料沒有儲存!\n列印選項已儲存。";

bool ShowsRecipient(const ProcessKind& k);  // M-運送
bool PrintsBySheet(const ProcessKind& k);   // C-紙品
bool HasPaperQuantities(const ProcessKind& k); // D-印刷: the printing variant

// The row the window opens for, as the caller's grid shows it.
struct VendorRequest {
    // The row's kind; none: D-印刷 in frm下游廠商_印刷, else N-其它.
    const ProcessKind* kind = nullptr;
    std::string po;             // work order
    int seq = 0;                // [NO] of the row
    std::string order;          // the row's 順序
    // The row's own pre-schedule number, else the one the caller works on;
    // "" before the row is stored (printing asks to save first).
    std::string preScheduleNo;
    VendorFields fields;        // the row's vendor fields
    MainPrintOptions mainOptions;
    PrintOptions options;       // the window's options as it opens
};

// What the window hands back.
struct VendorResult {
    bool returned = false;   // confirmed: the caller copies `fields` into its row
    VendorFields fields;     // trimmed; the recipient only for M-運送
    bool stored = false;     // the window stored the fields in the kind's scheduled row
    // The print options the window stored (also when the row was missing):
    // the caller's next window starts from them. "" when none were stored.
    std::string optionsCode;
};

// What the window shows when it opens: the caller's fields, the recipient
// only for M-運送.
VendorFields FieldsToShow(const ProcessKind& k, const VendorFields& given);

// A vendor typed by its code or its exact short name: gPick(0..7) is set to
// ID, SNAME, RATE, TEL1, NAM2, FAX, MEMO, ADD1 when found, as the vendor
// lookups leave it. The pick is emptied first either way. False when there
// is no such vendor.
bool FindVendor(jet::Connection& conn, const std::string& text);
bool FindVendor(const Session& s, const std::string& text);

// The picked vendor (gPick) as downstream vendor: code, short name,
// telephone, contact as recipient (M-運送 only), address.
void TakeDownstream(VendorFields& f, const ProcessKind& k);
// The picked vendor as upstream vendor: code and short name.
void TakeUpstream(VendorFields& f);

// The stored options text and back.
std::string OptionsCode(const MainPrintOptions& m, const PrintOptions& p);
void ReadOptionsCode(const std::string& code, MainPrintOptions& m, PrintOptions& p);
// CODE of the SYSDB row; "" without one.
std::string StoredOptionsCode(jet::Connection& conn);
std::string StoredOptionsCode(const Session& s);

struct ConfirmInput {
    const ProcessKind* kind = nullptr;
    std::string preScheduleNo;  // VendorRequest::preScheduleNo
    std::string po;             // txt工單單號
    int seq = 0;                // [NO] of the row
    VendorFields fields;        // as typed
    VendorFields loaded;        // as the window showed them: only fields that differ are written
    MainPrintOptions mainOptions;
    PrintOptions options;
};

// Saved: the options are stored, and the row unless it is gone (told,
// `returned` false).
struct ConfirmOutcome {
    daily::SaveResult result;
    bool returned = false;   // the row is stored: the caller copies `fields` into its row
    VendorFields fields;     // trimmed; the recipient only for M-運送
    std::string optionsCode; // the options code when stored
};

// The confirm (scmd確定).
ConfirmOutcome Confirm(const ConfirmInput& in, daily::SaveContext& ctx);

inline constexpr const char* kSaveFirstMessage = "請先儲存此筆資料!";
inline constexpr const char* kNothingFoundMessage = "查無任何資料!";

// The parameters of the kind's single-row outsourcing order ("1" layout)
// for the row: its [NO] in numberTo and its work order in poFrom.
reports::PrintParams SingleOrderParams(const ConfirmInput& in);
// The order of the row, or no document and why (for the window to say): no
// pre-schedule number yet, or no row in the kind's pre-schedule table.
// Database errors throw.
struct SingleOrderOutcome {
    std::optional<report::PageDocument> document;
    std::string notice;
};
SingleOrderOutcome SingleOrder(const ConfirmInput& in, const Session& s);

} // namespace qtmv::vendors
