#include "reports/HalfSheet.h"

#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"

namespace qtmv::reports {

using report::TwipsToMm;

report::PageSetup ReadHalfSheetSetup(jet::Connection& conn, const std::string& id)
{
    report::PageSetup setup;
    setup.size = kHalfSheetSize;
    jet::Recordset rs;
    rs.open("select * from [邊界設定_半張紙] where ID = '" + jet::SqlText(id) + "' ", conn);
    if (!rs.eof()) {
        setup.top = TwipsToMm(rs.field("上邊界").number());
        setup.bottom = TwipsToMm(rs.field("下邊界").number());
        setup.left = TwipsToMm(rs.field("左邊界").number());
        setup.right = TwipsToMm(rs.field("右邊界").number());
    }
    return setup;
}

} // namespace qtmv::reports
