#include "common/Failure.h"

#include "platform/jet/Error.h"
#include "platform/os/Log.h"
#include "platform/os/MessageBox.h"


namespace qtmv {

namespace {

std::string UserDescription(const std::exception& e)
{
    if (const auto* j = dynamic_cast<const jet::Error*>(&e))
        return j->description();
    if (dynamic_cast<const UserError*>(&e))
        return e.what();
    return "程式發生未預期的錯誤。";
}

void WriteFailureToLog(const std::string& operation, const std::exception& e)
{
    if (const auto* j = dynamic_cast<const jet::Error*>(&e)) {
        log::Warning(log::Data(), operation, FailureKind(e) + "：" + j->description(), j->sql(), j->engineMessage());
        return;
    }
    log::Warning(log::Ui(), operation, FailureKind(e) + "：" + e.what());
}

} // namespace

std::string FailureKind(const std::exception& e)
{
    if (dynamic_cast<const jet::Error*>(&e))
        return "資料庫錯誤";
    if (const auto* u = dynamic_cast<const UserError*>(&e))
        return u->kind();
    return "程式錯誤";
}

std::string FailureText(const std::exception& e, const std::string& outcome)
{
    std::string text = UserDescription(e);
    if (!outcome.empty())
        text += "\n" + outcome;
    const std::string where = log::Path();
    if (!where.empty())
        text += "\n\n詳細內容已記錄在：" + where;
    return text;
}

std::string LogFailure(const std::string& operation, const std::exception& e, const std::string& outcome)
{
    WriteFailureToLog(operation, e);
    return FailureText(e, outcome);
}

void ReportFailure(const std::string& operation, const std::exception& e, const std::string& outcome)
{
    MsgBox(LogFailure(operation, e, outcome), operation, MsgIcon::Critical);
}

void LogSilentOutcome(const std::string& operation, const std::string& message)
{
    log::Info(log::Locks(), operation, message);
}

} // namespace qtmv
