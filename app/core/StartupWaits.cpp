#include "app/core/StartupWaits.h"

#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/os/MessageBox.h"

#include <chrono>
#include <vector>

namespace qtmv {

namespace {

constexpr const char* kNotDoneTitle = "警告";

struct StartupState {
    bool on = false;
    WaitNotice notice;
    std::vector<std::string> notDone;
};

StartupState& state()
{
    static StartupState st;
    return st;
}

// What was not done, after the database it was not done in.
std::string notDoneText(const Session& s, const std::vector<std::string>& what)
{
    std::string text = "資料庫忙碌中（其他工作站正在使用「" + jet::databaseShownName(s.ConnectionString) + "」），以下工作沒有完成：\n";
    for (const std::string& w : what)
        text += "\n・" + w;
    return text;
}

} // namespace

void BeginStartupWaits(WaitNotice notice)
{
    StartupState& st = state();
    st.on = true;
    st.notice = std::move(notice);
    st.notDone.clear();
    jet::setBusyWaitBudget(std::chrono::milliseconds(kStartupWaitBudgetMs));
    jet::setBusyWaitObserver([] {
        const StartupState& now = state();
        if (now.on && now.notice)
            now.notice(true);
    });
}

bool InStartupWaits() { return state().on; }

void ReportNotDoneWhileBusy(const Session& s, const std::string& what)
{
    StartupState& st = state();
    if (st.on)
        st.notDone.push_back(what);
    else
        MsgBox(notDoneText(s, {what}), kNotDoneTitle, MsgIcon::Exclamation);
}

void EndStartupWaits(const Session& s)
{
    StartupState& st = state();
    if (!st.on)
        return;
    st.on = false;
    jet::clearBusyWaitBudget();
    jet::setBusyWaitObserver({});
    const WaitNotice notice = std::move(st.notice);
    st.notice = {};
    if (notice)
        notice(false);
    const std::vector<std::string> notDone = std::move(st.notDone);
    st.notDone.clear();
    if (!notDone.empty())
        MsgBox(notDoneText(s, notDone), kNotDoneTitle, MsgIcon::Exclamation);
}

} // namespace qtmv
