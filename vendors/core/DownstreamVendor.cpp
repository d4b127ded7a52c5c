#include "vendors/core/DownstreamVendor.h"

#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "common/EntryText.h"
#include "records/saving/ChangeHistory.h"
#include "records/saving/SaveSupport.h"
#include "records/saving/SaveRun.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"


namespace qtmv::vendors {

namespace {

constexpr const char* kTitle = "下游廠商";

std::string Q(std::string_view s) { return jet::SqlText(s); }

VendorFields Trimmed(const VendorFields& f, const ProcessKind& k)
{
    VendorFields t = f;
    for (std::string* s : {&t.downCode, &t.downName, &t.address, &t.phone, &t.note, &t.upCode, &t.upName,
                           &t.recipient})
        *s = qtmv::Trim(*s);
    if (!ShowsRecipient(k))
        t.recipient.clear();
    if (!HasPaperQuantities(k))
        t.reams = t.sheets = 0;
    return t;
}

// Writes the fields into the one scheduled row of the key; false when there
// is not exactly one.
// Writes the fields the user changed in the window (f against in.loaded),
// so a field another workstation changed meanwhile keeps that change.
// Each field written is added to `history` with the value the window
// showed and the value stored.
bool StoreRow(jet::Connection& conn, const ConfirmInput& in, const VendorFields& f,
              std::vector<daily::HistoryRow>& history)
{
    const VendorFields was = Trimmed(in.loaded, *in.kind);
    const ProcessKind& k = *in.kind;
    std::string sql = "select ID, INO, PO, [NO], 下游廠商代號, 下游廠商, 地址, 電話, 注意事項, 上游廠商代號, 上游廠商 ";
    if (ShowsRecipient(k))
        sql += ", 收件人 ";
    if (HasPaperQuantities(k))
        sql += ", 用紙令數, 用紙張數 ";
    sql += "from [" + std::string(k.scheduledTable) + "] " + "where ID = '" + Q(qtmv::Trim(in.preScheduleNo)) +
           "' and " + "PO = '" + Q(qtmv::Trim(in.po)) + "' and " + "[NO] = " + jet::SqlNumber(in.seq);
    return daily::EditSingleRow(conn, sql, [&](jet::Recordset& rs) {
        bool changed = false;
        auto record = [&](const char* column, const std::string& before, const std::string& now) {
            history.push_back({qtmv::Trim(in.preScheduleNo), static_cast<long long>(rs.field("INO").number()),
                               qtmv::Trim(in.po), in.seq, column, before, now});
        };
        auto text = [&](const char* column, const std::string& now, const std::string& before) {
            if (now != before) {
                changed |= daily::SetText(rs, column, now);
                record(column, before, now);
            }
        };
        auto number = [&](const char* column, double now, double before) {
            if (now != before) {
                rs.set(column, jet::Value(now));
                changed = true;
                record(column, jet::RealText(before), jet::RealText(now));
            }
        };
        text("下游廠商代號", f.downCode, was.downCode);
        text("下游廠商", f.downName, was.downName);
        text("地址", f.address, was.address);
        text("電話", f.phone, was.phone);
        text("注意事項", f.note, was.note);
        text("上游廠商代號", f.upCode, was.upCode);
        text("上游廠商", f.upName, was.upName);
        if (ShowsRecipient(k))
            text("收件人", f.recipient, was.recipient);
        if (HasPaperQuantities(k)) {
            number("用紙令數", f.reams, was.reams);
            number("用紙張數", f.sheets, was.sheets);
        }
        return changed;
    });
}

void StoreOptions(jet::Connection& conn, const std::string& code)
{
    jet::Recordset rs;
    rs.open("select PNAME, CODE from [SYSDB] where PNAME = '" + Q(kOptionsName) + "' ", conn,
            jet::CursorLocation::Client, jet::CursorType::Dynamic, jet::LockType::Optimistic);
    if (rs.eof()) {
        rs.addNew();
        rs.set("PNAME", jet::Value(kOptionsName));
    }
    rs.set("CODE", jet::Value(code));
    rs.update();
}

} // namespace

bool ShowsRecipient(const ProcessKind& k) { return k.is(KindId::Delivery); }
bool PrintsBySheet(const ProcessKind& k) { return k.is(KindId::Paper); }
bool HasPaperQuantities(const ProcessKind& k) { return k.is(KindId::Printing); }

std::optional<std::string> FieldsProblem(const VendorFields& typed, const VendorFields& shown, const ProcessKind& k)
{
    const VendorFields now = Trimmed(typed, k), was = Trimmed(shown, k);
    struct Field {
        const char* heading;
        const std::string VendorFields::*value;
        std::size_t maxBytes;
    };
    static const Field fields[] = {
        {"下游廠商代號", &VendorFields::downCode, kCodeBytes}, {"地址", &VendorFields::address, kAddressBytes},
        {"電話", &VendorFields::phone, kPhoneBytes},           {"注意事項", &VendorFields::note, kNoteBytes},
        {"上游廠商代號", &VendorFields::upCode, kCodeBytes},   {"收件人", &VendorFields::recipient, kRecipientBytes},
    };
    for (const Field& f : fields)
        if (now.*f.value != was.*f.value)
            if (auto problem = EntryTextProblem(f.heading, now.*f.value, f.maxBytes))
                return problem;
    return std::nullopt;
}

VendorFields FieldsToShow(const ProcessKind& k, const VendorFields& given)
{
    VendorFields f = given;
    if (!ShowsRecipient(k))
        f.recipient.clear();
    return f;
}

bool FindVendor(jet::Connection& conn, const std::string& text)
{
    ClearPick();
    jet::Recordset rs;
    rs.open("select ID, SNAME, RATE, TEL1, NAM2, FAX, MEMO, ADD1 " + std::string("from [VENDER] ") + "where ID = '" +
                Q(text) + "' or " + "SNAME = '" + Q(text) + "' ",
            conn);
    if (rs.eof())
        return false;
    for (int i = 0; i < 8; ++i)
        gPick[static_cast<std::size_t>(i)] = rs.field(i).text();
    return true;
}

bool FindVendor(const Session& s, const std::string& text)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    return FindVendor(conn, text);
}

void TakeDownstream(VendorFields& f, const ProcessKind& k)
{
    f.downCode = gPick[0];
    f.downName = gPick[1];
    f.phone = gPick[3];
    if (ShowsRecipient(k))
        f.recipient = gPick[4];
    f.address = gPick[7];
}

void TakeUpstream(VendorFields& f)
{
    f.upCode = gPick[0];
    f.upName = gPick[1];
}

std::string OptionsCode(const MainPrintOptions& m, const PrintOptions& p)
{
    std::string s;
    for (bool b : {m.noCompanyName, m.noSalesperson, m.scheduleNoAmounts, p.noCustomer, p.noProductName, p.noAmounts,
                   p.bySheet})
        s += b ? '1' : '0';
    return s;
}

void ReadOptionsCode(const std::string& code, MainPrintOptions& m, PrintOptions& p)
{
    bool* flags[] = {&m.noCompanyName, &m.noSalesperson, &m.scheduleNoAmounts, &p.noCustomer,
                     &p.noProductName, &p.noAmounts,    &p.bySheet};
    for (std::size_t i = 0; i < std::size(flags); ++i)
        *flags[i] = i < code.size() && code[i] == '1';
}

std::string StoredOptionsCode(jet::Connection& conn)
{
    jet::Recordset rs;
    rs.open("select CODE from [SYSDB] where PNAME = '" + Q(kOptionsName) + "' ", conn);
    return rs.eof() ? std::string() : rs.text("CODE");
}

std::string StoredOptionsCode(const Session& s)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    return StoredOptionsCode(conn);
}

ConfirmOutcome Confirm(const ConfirmInput& in, daily::SaveContext& ctx)
{
    ConfirmOutcome out;
    out.fields = Trimmed(in.fields, *in.kind);
    const std::string code = OptionsCode(in.mainOptions, in.options);
    bool stored = false;
    daily::SaveSteps steps;
    steps.check = [&] { return FieldsProblem(in.fields, in.loaded, *in.kind).value_or(std::string()); };
    // The options are stored either way; a row that is gone is told and
    // nothing is handed back.
    steps.afterCommit = [&](jet::Connection&) {
        return stored ? daily::Notice{kSavedMessage, "訊息", MsgIcon::Information}
                      : daily::Notice{kRowMissingMessage, "訊息", MsgIcon::Exclamation};
    };
    out.result = daily::RunSave(
        ctx, kTitle,
        [&](jet::Connection& conn) {
            std::vector<daily::HistoryRow> history;
            stored = StoreRow(conn, in, out.fields, history);
            daily::WriteHistory(conn, *in.kind, history, daily::HistoryAuthorOf(ctx.session, ctx.clock));
            StoreOptions(conn, code);
        },
        steps);
    if (!out.result.saved())
        return out;
    out.optionsCode = code;
    out.returned = stored;
    return out;
}

reports::PrintParams SingleOrderParams(const ConfirmInput& in)
{
    reports::PrintParams p;
    p.numberFrom = qtmv::Trim(in.preScheduleNo);
    p.numberTo = std::to_string(in.seq);
    p.poFrom = qtmv::Trim(in.po);
    p.kind = std::string(in.kind->displayName);
    p.origin = 2;
    p.noCustomer = in.options.noCustomer ? "1" : "0";
    p.noProductName = in.options.noProductName;
    p.noAmounts = in.options.noAmounts;
    p.bySheet = in.options.bySheet && PrintsBySheet(*in.kind);
    p.noSalesperson = in.mainOptions.noSalesperson;
    p.noCompanyName = in.mainOptions.noCompanyName;
    p.fillDefaults();
    return p;
}

SingleOrderOutcome SingleOrder(const ConfirmInput& in, const Session& s)
{
    if (qtmv::Trim(in.preScheduleNo).empty())
        return {std::nullopt, kSaveFirstMessage};
    const reports::OrderLayout layout{in.kind->id(), true};
    const reports::PrintParams p = SingleOrderParams(in);
    if (!reports::HasOrderData(layout, p, s))
        return {std::nullopt, kNothingFoundMessage};
    return {reports::OutsourcingOrder(layout, p, s), {}};
}

} // namespace qtmv::vendors
