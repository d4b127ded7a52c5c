#include "lookups/ui/PeopleLookups.h"

#include "app/core/Session.h"
#include "common/HandOver.h"
#include "lookups/core/PeopleQueries.h"
#include "lookups/core/Placement.h"

using namespace qtmv;
using namespace qtmv::lookups;

namespace {

LookupQuery Employees(bool withPlanner)
{
    EmployeeFilter f;
    f.filter = gLookupFilter;
    f.deliveryStaff = !gLookupStaffGroup.empty();
    f.withPlanner = withPlanner;
    return EmployeeQuery(f);
}

} // namespace

frm業務員輔助視窗1::frm業務員輔助視窗1(QWidget* parent)
    : LookupWindow(parent, {"frm業務員輔助視窗1", "業務員輔助視窗", kEmployeeWidths1, kSkipDownstream})
{
}

LookupQuery frm業務員輔助視窗1::query() const { return Employees(true); }

frm業務員輔助視窗::frm業務員輔助視窗(QWidget* parent)
    : LookupWindow(parent, {"frm業務員輔助視窗", "業務員輔助視窗", kEmployeeWidths, kSkipDownstream})
{
}

LookupQuery frm業務員輔助視窗::query() const { return Employees(false); }

frm客戶輔助視窗::frm客戶輔助視窗(QWidget* parent)
    : LookupWindow(parent, {"frm客戶輔助視窗", "客戶輔助視窗", kCustomerWidths, kSkipDownstream})
{
    resize(760, 440);
}

LookupQuery frm客戶輔助視窗::query() const { return CustomerQuery(CurrentSession(), gLookupFilter); }
