#include "platform/os/Log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>

#include <mutex>

namespace qtmv::log {

Q_LOGGING_CATEGORY(data, "qtmv.data")
Q_LOGGING_CATEGORY(startup, "qtmv.startup")
Q_LOGGING_CATEGORY(locks, "qtmv.locks")
Q_LOGGING_CATEGORY(ui, "qtmv.ui")

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

State& state()
{
    static State s;
    return s;
}

std::string escaped(std::string_view field)
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

const char* levelName(QtMsgType type)
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
void rotate(State& s)
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

void handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    State& s = state();
    const bool ours = context.category && std::string_view(context.category).rfind("qtmv.", 0) == 0;
    {
        std::lock_guard lock(s.mutex);
        if (ours && s.file.isOpen()) {
            QByteArray fields = message.toUtf8();
            fields.replace(kFieldBreak, '\t');
            const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + '\t'
                                    + levelName(type) + '\t' + context.category + '\t'
                                    + QByteArray::fromStdString(escaped(s.workstation)) + '\t'
                                    + QByteArray::fromStdString(escaped(s.user)) + '\t' + fields + '\n';
            if (s.maxBytes > 0 && static_cast<std::size_t>(s.file.size() + line.size()) > s.maxBytes
                && s.file.size() > 0)
                rotate(s);
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

QString record(std::string_view operation, std::string_view message, std::string_view sql, std::string_view engine)
{
    std::string r = escaped(operation) + kFieldBreak + escaped(message);
    if (!sql.empty())
        r += kFieldBreak + ("sql=" + escaped(sql));
    if (!engine.empty())
        r += kFieldBreak + ("engine=" + escaped(engine));
    return QString::fromStdString(r);
}

} // namespace

std::string open(const std::string& folder, const std::string& fileName, std::size_t maxBytes, int keep)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.file.close();
    s.path.clear();
    s.maxBytes = maxBytes;
    s.keep = keep < 0 ? 0 : keep;
    if (!s.installed) {
        s.before = qInstallMessageHandler(handler);
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

void close()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.file.close();
    s.path.clear();
    if (s.installed) {
        qInstallMessageHandler(s.before);
        s.before = nullptr;
        s.installed = false;
    }
}

std::string path()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.file.isOpen() ? s.path.toStdString() : std::string();
}

void setIdentity(const std::string& workstation, const std::string& user)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.workstation = workstation;
    s.user = user;
}

void warning(const QLoggingCategory& cat, std::string_view operation, std::string_view message,
             std::string_view sql, std::string_view engine)
{
    qCWarning(cat).noquote() << record(operation, message, sql, engine);
}

void info(const QLoggingCategory& cat, std::string_view operation, std::string_view message, std::string_view sql,
          std::string_view engine)
{
    qCInfo(cat).noquote() << record(operation, message, sql, engine);
}

} // namespace qtmv::log
