#include "daily_report/documents/BindingInstructions.h"

#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "common/Clock.h"
#include "records/saving/SaveRun.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "common/Failure.h"
#include "platform/text/Text.h"

#include <cctype>

namespace qtmv::daily {

namespace {

constexpr int kNumberFields = 3;   // 頁數, 台數, 折數 come first
constexpr const char* kQueryOnlyMessage = "您的權限僅可以查詢！";

std::string& Field(BindingFields& f, int i)
{
    switch (i) {
    case 0: return f.pages;
    case 1: return f.sheets;
    case 2: return f.folds;
    case 3: return f.method;
    default: return f.notes;
    }
}
const std::string& Field(const BindingFields& f, int i) { return Field(const_cast<BindingFields&>(f), i); }

// Stored line breaks are CR LF, as the suite's other programs show them;
// the window edits "\n".
std::string ToEditorLines(std::string_view stored)
{
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (!(stored[i] == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n'))
            out += stored[i];
    return out;
}
std::string ToStoredLines(std::string_view edited)
{
    std::string out;
    out.reserve(edited.size() + 8);
    for (const char c : edited) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// A stored value as the window shows it.
std::string Shown(const jet::Value& v, int i)
{
    if (i < kNumberFields)
        return v.isNull() ? std::string() : v.trimmed();
    return qtmv::Trim(ToEditorLines(v.text()));
}

// A field as compared: numbers by value, texts trimmed.
std::string Comparable(const std::string& text, int i)
{
    if (i < kNumberFields)
        return jet::SqlNumber(qtmv::Val(qtmv::Trim(text)));
    return qtmv::Trim(text);
}

bool IsNumberText(std::string_view t)
{
    bool digits = false, point = false;
    for (const char c : t) {
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

std::size_t Characters(std::string_view t)
{
    std::size_t n = 0;
    for (const char c : t)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

bool HasControl(std::string_view t, bool lineBreaks)
{
    for (const char c : t) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && !(lineBreaks && c == '\n')) || u == 0x7F)
            return true;
    }
    return false;
}

std::string Html(std::string_view t)
{
    std::string out;
    for (const char c : t) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\n': out += "<br>"; break;
        default: out += c;
        }
    }
    return out;
}

std::string RowLocator(const std::string& po, int no)
{
    return "select * from [工單頁數] where PO = '" + jet::SqlText(po) + "' and [NO] = " + jet::SqlNumber(no);
}

} // namespace

BindingRecord LoadBinding(const std::string& connectionString, const std::string& po, int no)
{
    BindingRecord r;
    r.po = po;
    r.no = no;
    jet::Connection conn;
    conn.open(connectionString);
    jet::Recordset rs;
    rs.open(RowLocator(po, no), conn);
    if (!rs.eof()) {
        r.stored = true;
        for (int i = 0; i < static_cast<int>(kBindingColumns.size()); ++i)
            Field(r.fields, i) = Shown(rs.field(std::string(kBindingColumns[static_cast<std::size_t>(i)])), i);
    }
    rs.close();
    rs.open("select CUST.SNAME, PWORK.[DESC] from [PWORK] left join [CUST] on PWORK.CUST = CUST.ID "
            "where PWORK.PO = '" + jet::SqlText(po) + "' ",
            conn);
    if (!rs.eof()) {
        r.workOrderFound = true;
        r.customer = rs.text("SNAME");
        r.product = rs.text("DESC");
    }
    rs.close();
    rs.open("select [ITEM], [DESC], QTY, UNIT from [BIND] where PO = '" + jet::SqlText(po) +
                "' and [NO] = " + jet::SqlNumber(no),
            conn);
    if (!rs.eof()) {
        r.lineItem = rs.text("DESC").empty() ? rs.text("ITEM") : rs.text("DESC");
        r.lineQty = rs.text("QTY") + rs.text("UNIT");
    }
    return r;
}

std::vector<std::string> LoadBindingPhrases(const std::string& connectionString)
{
    jet::Connection conn;
    conn.open(connectionString);
    jet::Recordset rs;
    rs.open("select [DESC] from [PHRASE] where [ITEM] = '裝訂說明' order by ID", conn);
    std::vector<std::string> out;
    for (; !rs.eof(); rs.moveNext())
        if (std::string p = rs.text("DESC"); !p.empty())
            out.push_back(std::move(p));
    return out;
}

BindingRights ReadBindingRights(const Session& s)
{
    BindingRights r;
    r.open = !RightsRestricted(s, s.WorkOrderRights, kNoBindingInstructions);
    r.change = r.open && !RightsRestricted(s, s.WorkOrderRights, kBindingReadOnly);
    r.print = r.open && !RightsRestricted(s, s.WorkOrderRights, kNoBindingPrint);
    return r;
}

std::string CheckBindingFields(const BindingFields& f)
{
    for (int i = 0; i < kNumberFields; ++i) {
        const std::string t = qtmv::Trim(Field(f, i));
        if (!t.empty() && (!IsNumberText(t) || qtmv::Val(t) > kBindingNumberMax))
            return std::string(kBindingColumns[static_cast<std::size_t>(i)]) + "必須是 0 到 99999 的數字。";
    }
    if (HasControl(f.method, false))
        return "裝訂方式不可含有控制字元。";
    if (Characters(qtmv::Trim(f.method)) > kBindingMethodMaxChars)
        return "裝訂方式最多 " + std::to_string(kBindingMethodMaxChars) + " 個字。";
    if (HasControl(f.notes, true))
        return "裝訂說明不可含有控制字元。";
    if (Characters(qtmv::Trim(f.notes)) > kBindingNotesMaxChars)
        return "裝訂說明最多 " + std::to_string(kBindingNotesMaxChars) + " 個字。";
    return {};
}

std::vector<int> ChangedBindingFields(const BindingFields& stored, const BindingFields& typed)
{
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(kBindingColumns.size()); ++i)
        if (Comparable(Field(stored, i), i) != Comparable(Field(typed, i), i))
            out.push_back(i);
    return out;
}

BindingSaveOutcome SaveBinding(Session& s, const BindingRecord& loaded, const BindingFields& typed, bool overwrite,
                               const std::function<void()>& endProgram)
{
    BindingSaveOutcome out;
    out.record = loaded;
    const std::vector<int> changed = ChangedBindingFields(loaded.fields, typed);
    daily::SaveSteps steps;
    steps.rights = [&] { return ReadBindingRights(s).change ? std::string() : std::string(kQueryOnlyMessage); };
    steps.check = [&] { return CheckBindingFields(typed); };
    daily::SaveContext ctx{s, TheSystemClock(), endProgram};
    out.result = daily::RunSave(ctx, "裝訂說明", [&](jet::Connection& conn) {
        if (changed.empty())
            throw daily::SaveStopped(daily::SaveStatus::Refused, "", "", daily::Refusal::Unchanged);
        jet::Recordset rs;
        rs.open(RowLocator(loaded.po, loaded.no), conn, jet::CursorLocation::Client, jet::CursorType::Dynamic,
                jet::LockType::Optimistic);
        const bool present = !rs.eof();
        // What this window read is the base: a changed field that no longer
        // holds it was changed elsewhere in the meantime.
        for (const int i : changed) {
            const std::string column(kBindingColumns[static_cast<std::size_t>(i)]);
            const std::string now = present ? Shown(rs.field(column), i) : std::string();
            if (Comparable(now, i) != Comparable(Field(loaded.fields, i), i))
                out.conflicts.push_back(column);
        }
        if (!out.conflicts.empty() && !overwrite)
            throw daily::SaveStopped(daily::SaveStatus::Changed, "", "");
        if (!present) {
            rs.addNew();
            rs.set("PO", jet::Value(loaded.po));
            rs.set("NO", jet::Value(loaded.no));
        }
        for (const int i : changed) {
            const std::string column(kBindingColumns[static_cast<std::size_t>(i)]);
            const std::string t = qtmv::Trim(Field(typed, i));
            if (i < kNumberFields)
                rs.set(column, jet::Value(qtmv::Val(t)));
            else
                rs.set(column, jet::Value(i == 4 ? ToStoredLines(t) : t));
        }
        rs.update();
    }, steps);
    if (!out.result.saved())
        return out;
    out.conflicts.clear();
    out.record = LoadBinding(s.ConnectionString, loaded.po, loaded.no);
    return out;
}

std::string BindingSheetHtml(const BindingRecord& r, const BindingFields& f, const std::string& company)
{
    auto row = [](std::string_view label, const std::string& value) {
        return "<tr><th align=\"left\" width=\"20%\">" + Html(label) + "</th><td>" + Html(value) + "</td></tr>";
    };
    std::string out = "<html><body>";
    if (!company.empty())
        out += "<p align=\"center\">" + Html(company) + "</p>";
    out += "<h2 align=\"center\">裝訂說明</h2><table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">";
    out += row("工單單號", r.po + " - " + std::to_string(r.no));
    out += row("客戶", r.customer);
    out += row("品名", r.product);
    out += row("裝訂內容", r.lineItem + (r.lineQty.empty() ? "" : "  " + r.lineQty));
    for (int i = 0; i < static_cast<int>(kBindingColumns.size()); ++i)
        out += row(kBindingColumns[static_cast<std::size_t>(i)], qtmv::Trim(Field(f, i)));
    return out + "</table></body></html>";
}

} // namespace qtmv::daily
