#pragma once
// The half-sheet paper of the outsourcing orders, with the margins each
// workstation user keeps in [邊界設定_半張紙].
#include "platform/report/Report.h"

#include <string>

namespace jet { class Connection; }

namespace qtmv::reports {

// Half an A4 sheet, landscape.
inline constexpr QSizeF kHalfSheetSize{210.0, 148.5};

// The half-sheet page with the margins of row `id` (stored in twips); the
// default margins when the row is missing. Database errors pass through.
report::PageSetup ReadHalfSheetSetup(jet::Connection& conn, const std::string& id);

} // namespace qtmv::reports
