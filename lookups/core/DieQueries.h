#pragma once
// The die register (刀模管理資料) as the die-mold lookup lists it: by die
// code, newest registration first, filtered by code, product, customer and
// salesperson; void dies (作廢 "Y") only on request.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qtmv {
struct Session;
}

namespace qtmv::lookups {

struct DieFilter {
    std::string code;          // part of the die code
    std::string product;       // part of the product name or product code
    std::string customerId;    // a customer code, exactly ("" for all)
    std::string salespersonId; // a salesperson code, exactly ("" for all)
    bool includeVoid = false;
};

std::string DieQuery(const DieFilter& f);

// The columns of the list; gPick(0) is the die code.
inline constexpr std::array<std::string_view, 13> kDieHeadings = {
    "刀模代號", "規格", "模數", "客戶簡稱", "業務員名稱", "品名", "產品代號",
    "工單單號", "日期", "說明", "客戶代號", "業務員代號", "作廢"};
inline constexpr int kDieVoidColumn = 12;   // 0-based column of 作廢
// Column widths in twips.
inline constexpr std::array<int, 13> kDieWidths = {1300, 1600, 600, 1300, 1000, 2400, 1000,
                                                   1100, 900, 1600, 0, 0, 500};

// The customer and salesperson names shown beside their code fields.
std::string CustomerNameQuery(std::string_view customerId);
std::string EmployeeNameQuery(std::string_view employeeId);
// The short name of a customer (SNAME) or the name of an employee (NAME)
// by code; nullopt when there is none.
std::optional<std::string> CustomerOrEmployeeName(const Session& s, bool customer, std::string_view code);

} // namespace qtmv::lookups
