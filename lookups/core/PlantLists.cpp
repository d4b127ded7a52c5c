#include "lookups/core/PlantLists.h"

#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

namespace qtmv::lookups {

std::vector<std::string> PhraseList(jet::Connection& conn, const std::string& item)
{
    jet::Recordset rs;
    rs.open("select [DESC] from [PHRASE] where [KIND] = 'Z-雜項' and [ITEM] = '" + jet::SqlText(item) + "' order by ID", conn);
    std::vector<std::string> out;
    for (; !rs.eof(); rs.moveNext())
        if (!rs.text("DESC").empty())
            out.push_back(rs.text("DESC"));
    return out;
}

std::optional<std::pair<std::string, std::string>> FindEmployee(jet::Connection& conn, const std::string& text)
{
    const std::string t = jet::SqlText(qtmv::Trim(text));
    jet::Recordset rs;
    rs.open(std::string("select ID, NAME ") + "from [EMPLOYEE] " + "where ID = '" + t + "' or " + "NAME = '" + t +
                "' ",
            conn);
    if (rs.eof())
        return std::nullopt;
    return std::make_pair(rs.text("ID"), rs.text("NAME"));
}

std::optional<std::pair<std::string, std::string>> FindEmployee(const Session& s, const std::string& text)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    return FindEmployee(conn, text);
}

double CapacityPerHour(jet::Connection& conn, const std::string& machine)
{
    if (qtmv::Trim(machine).empty())
        return 0;
    jet::Recordset rs;
    rs.open(std::string("select * ") + "from [印刷產能資料] " + "where 機別 = '" + jet::SqlText(qtmv::Trim(machine)) + "' " +
                "order by 機別",
            conn);
    return rs.eof() ? 0 : rs.field("每時產能").number();
}

} // namespace qtmv::lookups
