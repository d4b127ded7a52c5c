#pragma once
// The statements of the salesperson and customer lookups: 業務員輔助視窗1
// (employees with their production-staff contact), 業務員輔助視窗 (code and
// name) and 客戶輔助視窗 (customers with their salesperson).
//
// Employees who have left (ODATE set) are never listed; a null ODATE or
// department counts as empty, as everywhere in the suite. Disabled
// customers are never listed. A user whose rights say so sees only the
// customers he may serve (ownCustomersOnly).
#include "lookups/core/LookupRows.h"

#include <array>
#include <string>
#include <string_view>

namespace qtmv {
struct Session;
}

namespace qtmv::lookups {

struct EmployeeFilter {
    std::string filter;            // the trimmed filter box
    bool deliveryStaff = false;    // gLookupStaffGroup not empty: the delivery staff
    bool withPlanner = false;      // 業務員輔助視窗1: also 工務人員代號 and 工務人員
};
// With no hit: the same staff group without the filter.
LookupQuery EmployeeQuery(const EmployeeFilter& f);

// Whether the signed-in user sees only his own customers: "1" at position 15
// of his ProductionRights, or rights that could not be established.
// Administrators are never restricted.
bool OwnCustomersOnly(const Session& s);

// The restriction appended for such a user: customers without a
// salesperson, his own, those CUSTE lists for him, and those of the
// salespeople who share one of his rights groups.
std::string OwnCustomerCondition(const Session& s);

// The customer list, filtered by code or short name; with no hit the whole
// list (the restriction stays).
LookupQuery CustomerQuery(const Session& s, const std::string& filter);

// Column widths in twips (0 hides a column; its text still reaches gPick).
inline constexpr std::array<int, 4> kEmployeeWidths1 = {1200, 1500, 1200, 1200};
inline constexpr std::array<int, 2> kEmployeeWidths = {1200, 1500};
// 客戶代號, 客戶簡稱, 業務員代號, 業務員, 電話, 發票稅率, PAYDATE, 送貨地址,
// 聯絡人, 統一編號, 傳真電話, ADD1, 不附回郵, 客戶名稱.
inline constexpr std::array<int, 14> kCustomerWidths = {1200, 1800, 0, 1000, 1500, 0, 0, 0, 1000, 0, 0, 0, 0, 3000};

} // namespace qtmv::lookups
