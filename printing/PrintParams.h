#pragma once
// The print parameters that the report layouts read, filled from the print
// page (range fields, kind, machine group, check boxes) and completed from
// the database (company title, footer texts).
#include <array>
#include <string>

namespace qtmv::daily::printing {

struct PrintParams {
    std::string scheduleDateFrom;
    std::string scheduleDateTo = "9999999";
    std::string preScheduleFrom;
    std::string preScheduleTo = "zzzzzzzzzz";
    std::string completionDateFrom = "0000000";
    std::string completionTimeFrom = "0000";
    std::string completionDateTo = "9999999";
    std::string completionTimeTo = "9999";
    std::string workOrderFrom;
    std::string workOrderTo = "zzzzzzzzz";
    std::string machineGroup;
    std::string handler;
    std::string description;
    std::string vendor;
    std::string kind;                   // "A-印前" .. "N-其它"
    int reportChoice = 0;               // 1 for choice 0, 2..4 for choices 3..5
    std::string suppressCustomer = "0"; // "1": the orders leave the customer out
    std::string reportTitle = "1";      // "2": retitled as an outsourced-processing order
    int completionGrouping = 1;         // 2: grouped by completion date
    int printOrigin = 0;                // 1: a whole pre-schedule number is printed
    std::string descriptionFilter;      // not filled by the print page
    std::string companyTitle;
    std::string footer1, footer2, footer3;
};

// What the print page holds when a print button is pressed.
struct PageInput {
    std::array<std::string, 14> ranges; // txt列印範圍 0..13
    std::string machineGroup;           // cbo車別_列印
    std::string kind;                   // cbo種類列印
    int choice = 1;                     // sopt選擇報表 index
    bool suppressCustomer = false;      // chk單筆不印客戶
    bool retitle = false;               // chk報表名稱
    bool groupByCompletion = false;     // chk列印完成日期
    bool table1 = true;                 // opt報表 "表1"
};

// The parameters of the page: trimmed, an empty field replaced by its
// default, print origin 1.
PrintParams FillParams(const PageInput& page);

} // namespace qtmv::daily::printing
