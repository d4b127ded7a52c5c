#include "daily_report/ui/MainWindowFactory.h"
#include "daily_report/ui/MainWindow.h"

std::unique_ptr<QMainWindow> CreateMainWindow()
{
    return std::make_unique<frm日報登錄作業_工單>();
}
