#include "daily_report/ui/WorkOrderActions.h"

#include "app/core/Launch.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "records/core/GridLayout.h"
#include "common/HandOver.h"
#include "lookups/ui/DieLookup.h"
#include "daily_report/ui/QueryDialog.h"
#include "daily_report/ui/WindowLogic.h"
#include "platform/text/Text.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/SpreadGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTableView>

namespace qtmv::daily {

void QueryWorkOrder(QWidget* window, SpreadGrid* grid, int records)
{
    gQueryOrderNo.clear();
    gReturned = false;
    {
        frm工務預排明細查詢 dlg(window);
        dlg.exec();
    }
    if (!gReturned)
        return;

    const std::string number = qtmv::Trim(gQueryOrderNo);
    int found = 0;
    if (grid) {
        grid->setFocus();
        for (int r = 1; r <= records && !number.empty() && found == 0; ++r)
            if (qtmv::Trim(grid->text(r, daily::kWorkOrderCol)) == number)
                found = r;
    }
    if (found > 0)
        grid->setActiveCell(found, 1, true);
    else
        MsgBox("找不到工單單號： " + number, "明細查詢", MsgIcon::Exclamation);

    // Then on as if Enter had been pressed in the grid that took the focus
    // (the window may not be active again yet after the modal prompt).
    QWidget* f = grid ? static_cast<QWidget*>(grid->tableView()) : QApplication::focusWidget();
    if (f && f->window() == window) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &enter);
    }
}

void HandOffWorkOrder(Session& s, const std::string& kindText, const std::string& workOrder,
                      const std::function<void()>& endProgram)
{
    if (RightsRestricted(s, s.WorkOrderRights, kNoWorkOrderProgram)) {
        MsgBox("你的權限無法使用該項功能!", "訊息", MsgIcon::Exclamation);
        return;
    }
    const std::string kind = qtmv::Trim(kindText);
    if (kind.empty()) {
        MsgBox("請選擇一項類別!", "警告", MsgIcon::Exclamation);
        return;
    }
    try {
        WriteHandOffFile(s.TempFolder, workOrder, kind);
    } catch (const std::exception& e) {
        ReportFailure("查工單", e, "工單作業系統沒有啟動。");
        return;
    }
    LaunchProgram(s, kWorkOrderProgram, endProgram);
}

std::string PickDie(QWidget* window, const std::string& filter)
{
    gLookupFilter = filter;
    {
        frm刀模輔助視窗 dlg(window);
        dlg.exec();
    }
    gLookupFilter.clear();
    const std::string code = qtmv::Trim(gPick[0]);
    return gReturned ? code : std::string();
}

} // namespace qtmv::daily
