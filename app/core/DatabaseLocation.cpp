#include "app/core/DatabaseLocation.h"

#include "app/core/Session.h"
#include "platform/os/Host.h"

#include <QDir>
#include <QFile>
#include <QString>

namespace qtmv {

namespace {

// Upper-cases ASCII letters only: byte positions in the result are those of
// the original, so text found in one can be cut from the other.
std::string asciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The length of the UTF-8 character starting with this byte.
std::size_t utf8Length(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1;
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
    const std::string upper = asciiUpper(text);

    if (const std::size_t at = upper.find("SITE="); at != std::string::npos) {
        const std::size_t from = at + 5;
        if (from < upper.size() && !isBlank(upper[from]))
            result.siteCode = upper.substr(from, utf8Length(static_cast<unsigned char>(upper[from])));
    }

    if (const std::size_t at = upper.find("DBQ="); at != std::string::npos) {
        // The value is the rest of the DBQ line.
        const std::size_t from = at + 4;
        std::size_t end = upper.find_first_of("\r\n", from);
        if (end == std::string::npos)
            end = upper.size();
        const std::string_view value = trimBlanks(text.substr(from, end - from));
        static constexpr std::string_view fileName = "QTMV.MDB";
        if (value.size() > fileName.size()
            && asciiUpper(value.substr(value.size() - fileName.size())) == fileName) {
            const std::string_view folder = value.substr(0, value.size() - fileName.size());
            if (folder.back() == '/' || folder.back() == '\\')
                result.dbqFolder = std::string(folder);
        }
    }
    return result;
}

void LocateDatabase(Session& s, const HostInfo& host)
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
    QFile dsn(QString::fromStdString(s.ProgramFolder + kDsnFileName));
    if (!dsn.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = dsn.readAll();
    if (dsn.error() != QFileDevice::NoError)
        return;
    const DsnSettings settings = ParseDsnText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    s.SiteCode = settings.siteCode;
    if (s.SiteCode == "C" && settings.dbqFolder)
        s.DatabaseFolder = *settings.dbqFolder;
}

void BuildConnectionString(Session& s)
{
    s.ConnectionString = std::string("Provider=Microsoft.Jet.OLEDB.4.0;") + "Data Source=" + s.DatabaseFolder
                         + "QTMV.mdb" + ";" + "Jet OLEDB:Database Password=" + kDatabasePassword;
}

void ResetTempMarker(const Session& s)
{
    QFile marker(QString::fromStdString(s.TempFolder + kTempMarkerFileName));
    if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        marker.close();
}

} // namespace qtmv
