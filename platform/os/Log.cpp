#include "platform/os/Log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>

#include <mutex>

namespace qtmv::log {

Q_LOGGING_CATEGORY(Data, "qtmv.data")
Q_LOGGING_CATEGORY(Startup, "qtmv.startup")
Q_LOGGING_CATEGORY(Locks, "qtmv.locks")
Q_LOGGING_CATEGORY(Ui, "qtmv.ui")

namespace {

// Separates the fields of a record inside the message Qt hands over; never
// typed by anyone, and escaped out of the fields themselves.
constexpr char kFieldBreak = '\x1f';

struct State {
    std::mutex mutex;
    QFile file;
    QString path;
    std::size_t maxBytes = 0;
    int keep = 0;
    std::string workstation;
    std::string user;
    QtMessageHandler before = nullptr;
    bool installed = false;
};

State& TheState()
{
    static State s;
    return s;
}

std::string Escaped(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case kFieldBreak: out += ' '; break;
        default: out += c;
        }
    }
    return out;
}

const char* LevelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg: return "debug";
    case QtInfoMsg: return "info";
    case QtWarningMsg: return "warning";
    case QtCriticalMsg:
    case QtFatalMsg: return "critical";
    }
    return "warning";
}

// Moves the log to .1, .1 to .2 and so on; the oldest goes.
void Rotate(State& s)
{
    s.file.close();
    QFile::remove(s.path + QLatin1Char('.') + QString::number(s.keep));
    for (int i = s.keep - 1; i >= 1; --i)
        QFile::rename(s.path + QLatin1Char('.') + QString::number(i),
                      s.path + QLatin1Char('.') + QString::number(i + 1));
    if (s.keep > 0)
        QFile::rename(s.path, s.path + QStringLiteral(".1"));
    else
        QFile::remove(s.path);
    s.file.setFileName(s.path);
    if (!s.file.open(QIODevice::Append | QIODevice::WriteOnly))
        s.path.clear();
}

void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    State& s = TheState();
    const bool ours = context.category && std::string_view(context.category).rfind("qtmv.", 0) == 0;
    {
        std::lock_guard lock(s.mutex);
        if (ours && s.file.isOpen()) {
            QByteArray fields = message.toUtf8();
            fields.replace(kFieldBreak, '\t');
            const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + '\t'
                                    + LevelName(type) + '\t' + context.category + '\t'
                                    + QByteArray::fromStdString(Escaped(s.workstation)) + '\t'
                                    + QByteArray::fromStdString(Escaped(s.user)) + '\t' + fields + '\n';
            if (s.maxBytes > 0 && static_cast<std::size_t>(s.file.size() + line.size()) > s.maxBytes
                && s.file.size() > 0)
                Rotate(s);
            if (s.file.isOpen()) {
                s.file.write(line);
                s.file.flush();
                return;
            }
        }
    }
    if (!s.before)
        return;
    if (ours) {
        QString readable = message;
        readable.replace(QLatin1Char(kFieldBreak), QStringLiteral(" | "));
        s.before(type, context, readable);
        return;
    }
    s.before(type, context, message);
}

QString Record(std::string_view operation, std::string_view message, std::string_view sql, std::string_view engine)
{
    std::string r = Escaped(operation) + kFieldBreak + Escaped(message);
    if (!sql.empty())
        r += kFieldBreak + ("sql=" + Escaped(sql));
    if (!engine.empty())
        r += kFieldBreak + ("engine=" + Escaped(engine));
    return QString::fromStdString(r);
}

} // namespace

std::string Open(const std::string& folder, const std::string& fileName, std::size_t maxBytes, int keep)
{
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.file.close();
    s.path.clear();
    s.maxBytes = maxBytes;
    s.keep = keep < 0 ? 0 : keep;
    if (!s.installed) {
        s.before = qInstallMessageHandler(Handler);
        s.installed = true;
    }
    const QString dir = QString::fromStdString(folder);
    if (dir.isEmpty() || fileName.empty() || !QDir().mkpath(dir))
        return {};
    s.path = QDir(dir).filePath(QString::fromStdString(fileName));
    s.file.setFileName(s.path);
    if (!s.file.open(QIODevice::Append | QIODevice::WriteOnly)) {
        s.path.clear();
        return {};
    }
    return s.path.toStdString();
}

void Close()
{
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.file.close();
    s.path.clear();
    if (s.installed) {
        qInstallMessageHandler(s.before);
        s.before = nullptr;
        s.installed = false;
    }
}

std::string Path()
{
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    return s.file.isOpen() ? s.path.toStdString() : std::string();
}

void SetIdentity(const std::string& workstation, const std::string& user)
{
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.workstation = workstation;
    s.user = user;
}

void Warning(const QLoggingCategory& cat, std::string_view operation, std::string_view message,
             std::string_view sql, std::string_view engine)
{
    qCWarning(cat).noquote() << Record(operation, message, sql, engine);
}

void Info(const QLoggingCategory& cat, std::string_view operation, std::string_view message, std::string_view sql,
          std::string_view engine)
{
    qCInfo(cat).noquote() << Record(operation, message, sql, engine);
}

} // namespace qtmv::log
