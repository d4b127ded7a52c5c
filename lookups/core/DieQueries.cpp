#include "lookups/core/DieQueries.h"

#include "app/core/Session.h"
#include "lookups/core/LookupSql.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "platform/text/Text.h"

#include <vector>

namespace qtmv::lookups {

std::string DieQuery(const DieFilter& f)
{
    std::vector<std::string> where;
    if (!f.includeVoid)
        where.emplace_back("iif(作廢 is null,'',作廢) <> 'Y'");
    if (const std::string code = qtmv::Trim(f.code); !code.empty())
        where.push_back(ContainsCondition("刀模代號", LikeContains(code)));
    if (const std::string product = qtmv::Trim(f.product); !product.empty()) {
        const LikeText t = LikeContains(product);
        where.push_back("(" + ContainsCondition("品名", t) + " or " + ContainsCondition("產品代號", t) + ")");
    }
    if (const std::string id = qtmv::Trim(f.customerId); !id.empty())
        where.push_back("客戶代號 = '" + jet::SqlText(id) + "'");
    if (const std::string id = qtmv::Trim(f.salespersonId); !id.empty())
        where.push_back("業務員代號 = '" + jet::SqlText(id) + "'");

    std::string sql = "select ";
    for (std::size_t i = 0; i < kDieHeadings.size(); ++i)
        sql += (i ? ", " : "") + std::string(kDieHeadings[i]);
    sql += " from [刀模管理資料] ";
    for (std::size_t i = 0; i < where.size(); ++i)
        sql += (i ? " and " : "where ") + where[i];
    return sql + (where.empty() ? "" : " ") + "order by 刀模代號, 序 desc";
}

std::string CustomerNameQuery(std::string_view customerId)
{
    return "select SNAME from [CUST] where ID = '" + jet::SqlText(qtmv::Trim(customerId)) + "' ";
}

std::string EmployeeNameQuery(std::string_view employeeId)
{
    return "select NAME from [EMPLOYEE] where ID = '" + jet::SqlText(qtmv::Trim(employeeId)) + "' ";
}

std::optional<std::string> CustomerOrEmployeeName(const Session& s, bool customer, std::string_view code)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    jet::Recordset rs;
    rs.open(customer ? CustomerNameQuery(code) : EmployeeNameQuery(code), conn);
    if (rs.eof())
        return std::nullopt;
    return rs.text(customer ? "SNAME" : "NAME");
}

} // namespace qtmv::lookups
