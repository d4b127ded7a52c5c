#pragma once
// Rules that belong to one installation of the suite, recognised by its
// company name (COMPANY.COMPANY in the session). Named here once, so a plant
// that changes its name or a new plant with the same wish changes one line.
#include <string_view>

namespace qtmv::site {

// The plant whose schedule sheets print their amounts unless told otherwise.
inline bool PrintsScheduleAmounts(std::string_view companyName) { return companyName.rfind("岱恆", 0) == 0; }

// The plant whose binding grid leaves out the four binding item columns
// (封, 內, 扉, 其) and gives the descriptions more room.
inline bool HasCompactBindingGrid(std::string_view companyName) { return companyName.rfind("聿禾", 0) == 0; }

} // namespace qtmv::site
