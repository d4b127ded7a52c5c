// 日報登錄作業: started by the suite's launcher with the launch parameters.
#include "app/ui/Main.h"
#include "daily_report/ui/MainWindowFactory.h"

int main(int argc, char* argv[])
{
    return qtmv::Main(argc, argv, [] { return std::unique_ptr<QWidget>(CreateMainWindow()); });
}
