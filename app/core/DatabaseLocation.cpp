#include "app/core/DatabaseLocation.h"

#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/os/Host.h"
#include "platform/text/Text.h"

#include <QDir>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qtmv {

namespace {

// Reads a whole regular file. Anything else (a folder, a named pipe, a
// device) is not read at all: opening a named pipe would wait for a writer.
bool ReadRegularFile(const std::string& path, std::string& text)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char buf[8192];
    while (ok) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok;
}

} // namespace

HostInfo CurrentHost()
{
    return HostInfo{os::GetComputerName(), os::GetWindowsUserName(), os::ProgramFolder(),
                    os::UserProfileFolder()};
}

DsnSettings ParseDsnText(std::string_view text)
{
    DsnSettings result;
    if (text.empty() || text.front() == '\'')
        return result;
    const std::string upper = AsciiUpper(text);

    if (const std::size_t at = upper.find("SITE="); at != std::string::npos) {
        const std::size_t from = at + 5;
        if (from < upper.size() && !IsBlank(upper[from]))
            result.siteCode = upper.substr(from, Utf8SequenceLength(static_cast<unsigned char>(upper[from])));
    }

    if (const std::size_t at = upper.find("DBQ="); at != std::string::npos) {
        const std::size_t from = at + 4;
        std::size_t end = upper.find_first_of("\r\n", from);
        if (end == std::string::npos)
            end = upper.size();
        result.dbqValue = std::string(TrimView(text.substr(from, end - from)));
        // The folder ends where the file name starts, whatever follows it.
        const std::size_t name = upper.find("QTMV.MDB", from);
        if (name != std::string::npos && name < end) {
            const std::string_view folder = TrimView(text.substr(from, name - from));
            if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
                result.dbqFolder = std::string(folder);
        }
    }

    // The server keys count only at the start of a line, so that "USER="
    // inside another key's value names nobody.
    for (std::size_t line = 0; line < upper.size();) {
        std::size_t end = upper.find_first_of("\r\n", line);
        if (end == std::string::npos)
            end = upper.size();
        std::size_t key = line;
        while (key < end && IsBlank(upper[key]))
            ++key;
        const std::string_view u(upper.data() + key, end - key);
        auto valueOf = [&](std::string_view name) -> std::optional<std::string> {
            if (u.substr(0, name.size()) != name)
                return std::nullopt;
            return std::string(TrimView(text.substr(key + name.size(), end - key - name.size())));
        };
        if (auto v = valueOf("SERVER="))
            result.server.host = *v;
        else if (auto p = valueOf("PORT="))
            result.server.port = *p;
        else if (auto d = valueOf("DATABASE="))
            result.server.database = *d;
        else if (auto n = valueOf("USER="))
            result.server.user = *n;
        line = end + 1;
    }
    return result;
}

LocatedDatabase LocateDatabase(Session& s, const HostInfo& host)
{
    s.WorkstationUser = host.computerName + "\\" + host.userName;
    s.ProgramFolder = host.programFolder;
    if (s.ProgramFolder.empty() || s.ProgramFolder.back() != '/')
        s.ProgramFolder += '/';
    s.TempFolder = s.ProgramFolder;
    s.SiteCode.clear();

    if (!host.userProfile.empty()) {
        std::string profile = host.userProfile;
        while (profile.size() > 1 && profile.back() == '/')
            profile.pop_back();
        s.TempFolder = (profile == "/" ? std::string() : profile) + "/Temp/";
        QDir().mkpath(QString::fromStdString(s.TempFolder)); // failure ignored
    }

    s.DatabaseFolder = s.ProgramFolder;
    LocatedDatabase where;
    const std::string dsnPath = s.ProgramFolder + kDsnFileName;
    std::string text;
    if (!ReadRegularFile(dsnPath, text))
        return where;
    const DsnSettings settings = ParseDsnText(text);
    s.SiteCode = settings.siteCode;
    if (!settings.server.host.empty()) {
        where.server = settings.server;
        return where;
    }
    if (s.SiteCode != "C" || !settings.dbqValue)
        return where;
    where.client = true;
    if (settings.dbqFolder)
        s.DatabaseFolder = *settings.dbqFolder;
    else
        where.problem = "本工作站設定為用戶端（QTMV.DSN 的 SITE=C），但 DBQ= 的內容不是「資料夾/QTMV.MDB」，"
                        "無法得知資料庫所在的資料夾：\n"
                        + dsnPath + "\nDBQ=" + *settings.dbqValue
                        + "\n\n程式不會改用其他資料庫。請修正 QTMV.DSN 後再重新啟動程式。";
    return where;
}

std::string ClientDatabaseProblem(const Session& s, const LocatedDatabase& where)
{
    if (!where.client || !where.problem.empty())
        return where.problem;
    const std::string problem = DatabaseOpenProblem(s);
    if (problem.empty())
        return problem;
    return "無法開啟本工作站（QTMV.DSN 的 SITE=C）所指定的資料庫：\n" + s.DatabaseFolder + "QTMV.mdb\n\n" + problem
           + "\n\n程式不會改用其他資料庫。請確認網路上的資料夾與檔案可以存取後，再重新啟動程式。";
}

std::string DatabaseOpenProblem(const Session& s)
{
    try {
        jet::Connection conn;
        conn.open(s.ConnectionString);
    } catch (const jet::Error& e) {
        // Busy means the file is there and in use: the operation waits for
        // it and says so itself.
        if (e.kind() == jet::Error::Kind::Busy)
            return std::string();
        return e.description();
    }
    return std::string();
}

std::string ConnectionStringFor(const std::string& databaseFile)
{
    return std::string("Provider=Microsoft.Jet.OLEDB.4.0;") + "Data Source=" + jet::QuoteConnectionValue(databaseFile)
           + ";" + "Jet OLEDB:Database Password=" + kDatabasePassword;
}

void BuildConnectionString(Session& s)
{
    s.ConnectionString = ConnectionStringFor(s.DatabaseFolder + "QTMV.mdb");
}

std::string ExpectedConnectionString(const Session& located, const LocatedDatabase& where)
{
    if (!where.server.host.empty() || !where.problem.empty())
        return std::string();
    return ConnectionStringFor(located.DatabaseFolder + "QTMV.mdb");
}

void ResetTempMarker(const Session& s)
{
    const std::string path = s.TempFolder + kTempMarkerFileName;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0)
        ::close(fd);
}

} // namespace qtmv
