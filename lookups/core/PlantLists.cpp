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

std::string MachineListQuery(const ProcessKind& kind)
{
    return "select ID, [DESC] from [PHRASE] where KIND = 'Z-雜項' and ITEM = '機別' and "
           "( MSG = '' or MSG like '%" + jet::SqlText(kind.name) + "%') order by [DESC]";
}

std::string OwnMachineQuery(std::string_view employeeId)
{
    return "select ID, 車別 from [EMPLOYEE] where ID = '" + jet::SqlText(employeeId) + "' ";
}

MachineList LoadMachineList(const Session& s, const ProcessKind& kind, std::string_view employeeId)
{
    MachineList list;
    list.items.emplace_back();
    jet::Connection conn;
    conn.open(s.ConnectionString);
    {
        jet::Recordset rs;
        rs.open(MachineListQuery(kind), conn);
        for (; !rs.eof(); rs.moveNext())
            list.items.push_back(rs.text("DESC"));
    }
    jet::Recordset rs;
    rs.open(OwnMachineQuery(employeeId), conn);
    if (!rs.eof())
        list.own = rs.text("車別");
    return list;
}

std::vector<std::string> PhraseTable::list(std::string_view item) const
{
    std::size_t itemCol = fields.size(), descCol = fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == "ITEM") itemCol = i;
        if (fields[i] == "DESC") descCol = i;
    }
    std::vector<std::string> out;
    if (itemCol == fields.size() || descCol == fields.size())
        return out;
    for (const auto& row : rows)
        if (row[itemCol] == item)
            out.push_back(row[descCol]);
    return out;
}

PhraseTable LoadPhrases(const Session& s)
{
    PhraseTable table;
    jet::Connection conn;
    conn.open(s.ConnectionString);
    jet::Recordset rs;
    rs.open(std::string(kPhraseQuery), conn);
    for (int i = 0; i < rs.fieldCount(); ++i)
        table.fields.push_back(rs.fieldName(i));
    for (; !rs.eof(); rs.moveNext()) {
        std::vector<std::string> row;
        row.reserve(table.fields.size());
        for (const auto& name : table.fields)
            row.push_back(rs.text(name));
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace qtmv::lookups
