#include "quality/core/SaveRun.h"

#include "app/core/Session.h"
#include "records/saving/ChangeHistory.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"

namespace qtmv::quality {

std::string StoredRows(jet::Connection& conn, const std::string& select)
{
    jet::Recordset rs;
    rs.open(select, conn);
    std::string out;
    for (; !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const jet::Value& v = rs.field(i);
            // Length-prefixed, so no value can imitate a boundary; null apart from "".
            const std::string t = v.isNull() ? std::string() : v.text();
            out += rs.fieldName(i) + (v.isNull() ? "=null" : "=" + std::to_string(t.size()) + ":" + t) + ";";
        }
        out += "\n";
    }
    return out;
}

namespace {

std::string StampWhere(const RecordKey& k)
{
    return "where 表 = '" + jet::SqlText(k.table) + "' and 製程 = '" + jet::SqlText(k.kind) + "' and 工單單號 = '" +
           jet::SqlText(k.po) + "' and 工單序 = " + jet::SqlNumber(k.seq);
}

// "1131207 1405" as "113/12/07 14:05"; anything else as it is.
std::string ShownTime(const std::string& t)
{
    if (t.size() != 12 || t[7] != ' ')
        return t;
    return t.substr(0, 3) + "/" + t.substr(3, 2) + "/" + t.substr(5, 2) + " " + t.substr(8, 2) + ":" + t.substr(10, 2);
}

} // namespace

StoredRecord ReadStoredRecord(jet::Connection& conn, const RecordKey& key, const std::vector<std::string>& selects)
{
    StoredRecord r;
    for (const std::string& select : selects)
        r.rows += StoredRows(conn, select) + "|";
    jet::Recordset rs;
    rs.open("select 使用者, 電腦, 時間, 版次 from [品質資料儲存] " + StampWhere(key), conn);
    if (!rs.eof())
        r.savedBy = SavedBy{rs.text("使用者"), rs.text("電腦"), rs.text("時間"),
                            static_cast<long long>(rs.field("版次").number())};
    return r;
}

void CheckAndStamp(jet::Connection& conn, const RecordKey& key, const std::vector<std::string>& selects,
                   const StoredRecord& loaded, const std::string& what, const daily::SaveContext& ctx,
                   StoredRecord& found)
{
    found = ReadStoredRecord(conn, key, selects);
    if (found != loaded)
        throw SaveStopped(SaveStatus::Changed, ChangedMessage(what, found, loaded), "");
    const daily::HistoryAuthor author = daily::HistoryAuthorOf(ctx.session, ctx.clock);
    const SavedBy stamp{author.user, author.computer, author.time, found.savedBy ? found.savedBy->version + 1 : 1};
    conn.execute("delete from [品質資料儲存] " + StampWhere(key));
    conn.execute("insert into [品質資料儲存] (表, 製程, 工單單號, 工單序, 使用者, 電腦, 時間, 版次) values ('" +
                 jet::SqlText(key.table) + "', '" + jet::SqlText(key.kind) + "', '" + jet::SqlText(key.po) + "', " +
                 jet::SqlNumber(key.seq) + ", '" + jet::SqlText(stamp.user) + "', '" + jet::SqlText(stamp.computer) +
                 "', '" + jet::SqlText(stamp.time) + "', " + jet::SqlNumber(stamp.version) + ")");
}

std::string ChangedMessage(const std::string& what, const StoredRecord& now, const StoredRecord& loaded)
{
    const std::string by = now.savedBy && now.savedBy != loaded.savedBy
                               ? "已由" + now.savedBy->user + "（" + now.savedBy->computer + "）於" +
                                     ShownTime(now.savedBy->time) + "儲存"
                               : "已被其他程式變更（沒有記錄由誰、何時變更）";
    return "此筆" + what + "在您開啟之後" + by + "，您的資料沒有儲存，仍保留在畫面上。\n\n" +
           "再按「確 定」會以畫面上的資料取代目前儲存的資料；按「回前畫面」則放棄畫面上的資料。";
}

WholeRecordSaved SaveWholeRecord(daily::SaveContext& ctx, const std::string& title, const RecordKey& key,
                                 const std::vector<std::string>& selects, const StoredRecord& loaded,
                                 const std::string& what, const std::function<std::optional<std::string>()>& problem,
                                 const std::function<int(jet::Connection&)>& rewrite)
{
    WholeRecordSaved out;
    daily::SaveSteps steps;
    steps.check = [&] { return problem().value_or(std::string()); };
    out.status = RunSave(
        ctx, title,
        [&](jet::Connection& conn) {
            // Inside the write transaction: no other save can come between.
            CheckAndStamp(conn, key, selects, loaded, what, ctx, out.stored);
            out.hasLines = rewrite(conn) > 0;
            out.stored = ReadStoredRecord(conn, key, selects);
        },
        steps);
    out.hasLines = out.hasLines && out.status.saved();
    return out;
}

} // namespace qtmv::quality
