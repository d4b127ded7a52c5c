#include "printing/PrintParams.h"

#include "platform/text/Text.h"

namespace qtmv::daily::printing {

namespace {

std::string OrDefault(const std::string& text, const std::string& fallback)
{
    std::string t = Trim(text);
    return t.empty() ? fallback : t;
}

} // namespace

PrintParams FillParams(const PageInput& page)
{
    const PrintParams d;
    PrintParams p;
    const auto& r = page.ranges;
    p.printOrigin = 1;
    p.scheduleDateFrom = OrDefault(r[0], d.scheduleDateFrom);
    p.scheduleDateTo = OrDefault(r[1], d.scheduleDateTo);
    p.preScheduleFrom = OrDefault(r[2], d.preScheduleFrom);
    p.preScheduleTo = OrDefault(r[3], d.preScheduleTo);
    p.completionDateFrom = OrDefault(r[4], d.completionDateFrom);
    p.completionTimeFrom = OrDefault(r[5], d.completionTimeFrom);
    p.completionDateTo = OrDefault(r[6], d.completionDateTo);
    p.completionTimeTo = OrDefault(r[7], d.completionTimeTo);
    p.workOrderFrom = OrDefault(r[8], d.workOrderFrom);
    p.workOrderTo = OrDefault(r[9], d.workOrderTo);
    p.machineGroup = Trim(page.machineGroup);
    p.handler = Trim(r[10]);
    p.description = Trim(r[11]);
    p.vendor = Trim(r[12]);
    p.kind = Trim(page.kind);
    switch (page.choice) {
    case 0: p.reportChoice = 1; break;
    case 3: p.reportChoice = 2; break;
    case 4: p.reportChoice = 3; break;
    case 5: p.reportChoice = 4; break;
    default: p.reportChoice = 0; break;
    }
    p.suppressCustomer = page.suppressCustomer ? "1" : "0";
    p.reportTitle = page.retitle ? "2" : "1";
    p.completionGrouping = page.groupByCompletion ? 2 : 1;
    return p;
}

} // namespace qtmv::daily::printing
