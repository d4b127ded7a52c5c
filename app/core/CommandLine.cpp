#include "app/core/CommandLine.h"

#include "app/core/Session.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <array>

namespace qtmv {

std::string JoinCommandLine(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i] ? argv[i] : "";
    }
    return line;
}

bool HasLaunchToken(std::string_view commandLine)
{
    return commandLine.find(kLaunchToken) != std::string_view::npos;
}

void CutLaunchParameters(std::string_view line, Session& s)
{
    static constexpr std::array<std::string_view, 6> keys{" -AD=", " -NAME=", " -ID=", " -XLS=",
                                                          " -DOC=", " -PID="};
    std::array<std::string*, 5> targets{&s.LoginUser, &s.EmployeeName, &s.EmployeeId,
                                        &s.ExcelExtension, &s.WordExtension};

    std::size_t keyAt = line.find(keys[0]);
    if (keyAt == std::string_view::npos)
        throw CommandLineError("啟動參數錯誤：找不到「" + std::string(keys[0].substr(1)) + "」");
    for (std::size_t k = 0; k < targets.size(); ++k) {
        const std::size_t valueAt = keyAt + keys[k].size();
        // The next key is looked for after this one, so keys out of order are
        // reported rather than cut into a negative length.
        const std::size_t nextAt = line.find(keys[k + 1], valueAt);
        if (nextAt == std::string_view::npos) {
            // The value read so far stays: it ends at any later key, else at the end.
            std::size_t end = line.size();
            for (std::size_t later = k + 2; later < keys.size(); ++later)
                end = std::min(end, line.find(keys[later], valueAt));
            *targets[k] = std::string(line.substr(valueAt, end - valueAt));
            throw CommandLineError("啟動參數錯誤：「" + std::string(keys[k].substr(1)) + "」之後找不到「"
                                   + std::string(keys[k + 1].substr(1)) + "」");
        }
        *targets[k] = std::string(line.substr(valueAt, nextAt - valueAt));
        keyAt = nextAt;
    }
    s.LauncherProcessId = qtmv::Val(line.substr(keyAt + keys.back().size()));
}

bool AsksForHelp(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i] ? argv[i] : "";
        if (a == "--help" || a == "-h" || a == "/?")
            return true;
    }
    return false;
}

std::string LaunchUsage()
{
    return "日報登錄作業（daily-report）由生產管理系統的啟動程式以下列參數啟動：\n"
           "\n"
           "  daily-report -kvo2851 -AD=<登入帳號> -NAME=<員工姓名> -ID=<員工編號> -XLS=<Excel副檔名> -DOC=<Word副檔名> -PID=<啟動程式代號>\n"
           "\n"
           "  -kvo2851  啟動代碼，必須有，否則顯示「引數錯誤」後結束\n"
           "  -AD=      登入帳號（可空白）\n"
           "  -NAME=    員工姓名，權限依此讀取\n"
           "  -ID=      員工編號（EMPLOYEE.ID）\n"
           "  -XLS=     Excel 檔的副檔名，例如 .xlsx\n"
           "  -DOC=     Word 檔的副檔名，例如 .docx\n"
           "  -PID=     啟動程式的代號（數字）\n"
           "\n"
           "參數必須依此順序，以一個空白分隔；值可以含空白，但不可含下一個參數名稱。\n"
           "\n"
           "資料庫：程式資料夾中的 QTMV.DSN 決定使用哪一個 QTMV.mdb。\n"
           "  SITE=S（或沒有 QTMV.DSN）：使用程式資料夾中的 QTMV.mdb。\n"
           "  SITE=C 與 DBQ=<資料夾>/QTMV.MDB：使用該資料夾中的 QTMV.mdb；無法開啟時顯示訊息後結束，不會改用其他資料庫。\n"
           "\n"
           "資料庫伺服器（PostgreSQL）：QTMV.DSN 中以下列名稱開頭的行（大小寫不拘）指定伺服器上的資料庫，\n"
           "不論 SITE= 為何都使用該資料庫；無法連線時顯示訊息後結束，不會改用其他資料庫。\n"
           "  SERVER=    主機名稱、IP 位址，或伺服器 Unix socket 所在的資料夾（必須有）\n"
           "  PORT=      連接埠（省略時為 5432）\n"
           "  DATABASE=  資料庫名稱\n"
           "  USER=      使用者名稱（省略時為作業系統的使用者）\n"
           "  密碼不寫在 QTMV.DSN：由使用者的 ~/.pgpass（或 PGPASSFILE 指定的檔案）提供，\n"
           "  每行 主機:連接埠:資料庫:使用者:密碼，檔案權限 0600。\n"
           "\n"
           "記錄檔：使用者暫存資料夾（$USERPROFILE/Temp，否則 $HOME/Temp）中的 daily-report.log。\n"
           "\n"
           "結束代碼：0 正常結束（或已有一個執行中的程式）；1 啟動時顯示訊息後結束；2 沒有可用的顯示畫面。\n";
}

} // namespace qtmv
