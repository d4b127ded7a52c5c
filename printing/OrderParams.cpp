#include "printing/OrderParams.h"

namespace qtmv::daily::printing {

reports::PrintParams OrderParams(const PrintParams& p)
{
    reports::PrintParams r;
    r.scheduleFrom = p.scheduleDateFrom;
    r.scheduleTo = p.scheduleDateTo;
    r.numberFrom = p.preScheduleFrom;
    r.numberTo = p.preScheduleTo;
    r.doneFrom = p.completionDateFrom;
    r.doneTimeFrom = p.completionTimeFrom;
    r.doneTo = p.completionDateTo;
    r.doneTimeTo = p.completionTimeTo;
    r.poFrom = p.workOrderFrom;
    r.poTo = p.workOrderTo;
    r.machine = p.machineGroup;
    r.handler = p.handler;
    r.description = p.description;
    r.vendor = p.vendor;
    r.kind = p.kind;
    r.choice = p.reportChoice;
    r.noCustomer = p.suppressCustomer;
    r.titleChoice = p.reportTitle;
    r.grouping = p.completionGrouping;
    r.origin = p.printOrigin;
    r.companyTitle = p.companyTitle;
    r.fillDefaults();
    return r;
}

} // namespace qtmv::daily::printing
