#pragma once
// The outsourcing order family: one layout per process kind, all built by
// the same code with the kind as data. The print page opens
// `rpt外發單_<kind>_xp`; the downstream vendor windows open the "1" variants
// (`rpt外發單_<kind>1_xp`), which print the one row they are given.
#include "common/ProcessKind.h"
#include "platform/report/Report.h"

#include <optional>
#include <string>

namespace qtmv {
struct Session;
}

namespace qtmv::reports {

// The print parameters the print page fills, trimmed; fillDefaults() puts the
// defaults in place of empty fields.
struct PrintParams {
    std::string scheduleFrom;
    std::string scheduleTo;       // "9999999"
    std::string numberFrom;       // pre-schedule number
    std::string numberTo;         // "zzzzzzzzzz"; a single row's [NO] when origin != 1
    std::string doneFrom;         // "0000000"
    std::string doneTimeFrom;     // "0000"
    std::string doneTo;           // "9999999"
    std::string doneTimeTo;       // "9999"
    std::string poFrom;           // work order; a single row's PO when origin != 1
    std::string poTo;             // "zzzzzzzzz"
    std::string machine;
    std::string handler;
    std::string description;
    std::string descriptionFilter; // product ([DESC]) pattern of the analyses; the page leaves it empty
    std::string vendor;
    std::string kind;             // "D-印刷"
    int choice = 0;
    std::string noCustomer = "0"; // "1": the customer is not printed
    std::string titleChoice = "1"; // "2": titled "<kind>委外加工單"
    int grouping = 1;
    int origin = 1;               // 1: the whole pre-schedule number

    // The company title the order is printed for; empty: the session's
    // CompanyName.
    std::string companyTitle;
    // The date printed in the heading (ROC, slashed); empty: today.
    std::string printDate;

    // Options of the downstream vendor windows ("1" variants).
    bool noProductName = false;
    bool noAmounts = false;
    bool bySheet = false;         // quantities in sheets
    bool noSalesperson = false;
    bool noCompanyName = false;

    void fillDefaults();
};

// A member of the family by layout name.
struct OrderLayout {
    KindId kind;
    bool single = false;   // a "1" variant
};
std::optional<OrderLayout> OrderLayoutByName(const std::string& layoutName);
std::string OrderLayoutName(KindId kind, bool single = false);

// "rpt外發單_裁工_xp" is the cutting kind's: layout names use the second name.
// The order's title under the company line: "<kind>外發單", or
// "<kind>委外加工單" for title choice "2". The company is not repeated in
// it: the line above names the company the order is printed for.
std::string OrderTitle(const ProcessKind& kind, const PrintParams& p);
// "RM-04-011" for the company titles containing "朗瑜", else "".
std::string FormNumber(const std::string& companyTitle);
// Tax of an order: amounts × rate ÷ 100, rounded half away from zero.
double OrderTax(double amounts, double ratePercent);

// The layout's own data query.
std::string OrderQuery(const OrderLayout& layout, const PrintParams& p);
// The print page's check query for the kind (choices 0, 3, 4, 5).
std::string CheckQuery(KindId kind, const PrintParams& p);

// Whether the order has anything to print: the check query (print origin 1)
// and the layout's own query both find rows. The caller tells the user
// "查無任何資料!" when not. Database errors throw.
bool HasOrderData(const OrderLayout& layout, const PrintParams& p, const Session& s);

// Reads the rows and lays out the order on the half-sheet paper of the
// session's workstation user, the layout followed by `progress` (which
// cancels it with report::Cancelled). Database errors throw.
report::PageDocument OutsourcingOrder(const OrderLayout& layout, const PrintParams& p, const Session& s,
                                      const report::Progress& progress = {});
// By layout name; throws std::invalid_argument for a name outside the family.
report::PageDocument OutsourcingOrder(const std::string& layoutName, const PrintParams& p, const Session& s,
                                      const report::Progress& progress = {});

} // namespace qtmv::reports
