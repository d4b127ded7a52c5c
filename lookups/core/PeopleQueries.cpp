#include "lookups/core/PeopleQueries.h"

#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "lookups/core/LookupSql.h"
#include "platform/jet/Sql.h"

namespace qtmv::lookups {

namespace {

// A null department or leaving date reads as empty, so staff whose rows the
// suite's other programs left null are listed like the others.
constexpr std::string_view kEmployed = "iif(EMPLOYEE.ODATE is null,'',EMPLOYEE.ODATE) = '' ";
constexpr std::string_view kUsualStaff = "iif(EMPLOYEE.部門 is null,'',EMPLOYEE.部門) <> '運送部' and ";
constexpr std::string_view kDeliveryStaff =
    "( EMPLOYEE.部門 like '運送%' or EMPLOYEE.部門 like '司機%' or "
    "EMPLOYEE.部門 like '貨運%' or EMPLOYEE.部門 like '物流%' or "
    "EMPLOYEE.部門 like '出貨%' or EMPLOYEE.部門 like '送貨%' or "
    "iif(EMPLOYEE.部門 is null,'',EMPLOYEE.部門) = '' ) and ";

constexpr std::string_view kCustomerSelect =
    "select CUST.ID as 客戶代號, CUST.SNAME as 客戶簡稱, "
    "CUST.EMPNO as 業務員代號, EMPLOYEE.NAME as 業務員, CUST.TEL1 as 電話, "
    "CUST.RATE as 發票稅率, CUST.PAYDATE, CUST.ADD3 as 送貨地址, CUST.NAM2 as 聯絡人, "
    "CUST.TNO as 統一編號, CUST.FAX as 傳真電話, CUST.ADD1, CUST.不附回郵, CUST.NAME as 客戶名稱 "
    "from [CUST] left join [EMPLOYEE] on CUST.EMPNO = EMPLOYEE.ID ";
constexpr std::string_view kCustomerActive = "CUST.停用 = '0' or CUST.停用 = '' or CUST.停用 is null) ";

} // namespace

LookupQuery EmployeeQuery(const EmployeeFilter& f)
{
    std::string select = "select EMPLOYEE.ID as 業務員代號, EMPLOYEE.NAME as 業務員名稱";
    select += f.withPlanner ? ", EMPLOYEE.工務人員代號, EMPLOYEE.工務人員 " : " ";
    select += "from EMPLOYEE ";
    const std::string_view group = f.deliveryStaff ? kDeliveryStaff : kUsualStaff;
    const LikeText t = LikeContains(f.filter);
    LookupQuery q;
    q.filtered = select + "Where (" + ContainsCondition("EMPLOYEE.ID", t, "Like") + " or " +
                 ContainsCondition("EMPLOYEE.NAME", t, "Like") + (f.deliveryStaff ? ")  and " : ") and ") +
                 std::string(group) + std::string(kEmployed) + "Order By EMPLOYEE.ID";
    q.unfiltered = select + "where " + std::string(group) + std::string(kEmployed) + "order by EMPLOYEE.ID";
    return q;
}

bool OwnCustomersOnly(const Session& s)
{
    // Rights that could not be read restrict, as every rights test fails closed.
    if (s.LoginUser.empty() && !s.RightsEstablished)
        return true;
    return RightsRestricted(s, s.ProductionRights, kOwnCustomersOnly);
}

std::string OwnCustomerCondition(const Session& s)
{
    const std::string me = jet::SqlText(s.EmployeeId);
    return " and (iif(CUST.EMPNO is null,'',CUST.EMPNO) = '' or "
           "CUST.ID in (select ID from [CUSTE] where EMPNO ='" + me + "' group by ID) " +
           "or EMPLOYEE.ID = '" + me + "' " + BuildGroupFilter("", "EMPLOYEE", s) + " ) ";
}

LookupQuery CustomerQuery(const Session& s, const std::string& filter)
{
    const std::string own = OwnCustomersOnly(s) ? OwnCustomerCondition(s) : std::string();
    const LikeText t = LikeContains(filter);
    LookupQuery q;
    q.filtered = std::string(kCustomerSelect) + "where (" + ContainsCondition("CUST.ID", t) + " OR " +
                 ContainsCondition("CUST.SNAME", t) + ") and ( " + std::string(kCustomerActive) + own +
                 " order by CUST.ID";
    q.unfiltered = std::string(kCustomerSelect) + "where (" + std::string(kCustomerActive) + own + " order by CUST.ID";
    return q;
}

} // namespace qtmv::lookups
