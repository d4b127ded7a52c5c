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

StartupState& State()
{
    static StartupState st;
    return st;
}

// What was not done, after the database it was not done in.
std::string NotDoneText(const Session& s, const std::vector<std::string>& what)
{
    std::string text = "資料庫忙碌中（其他工作站正在使用「" + jet::DatabaseShownName(s.ConnectionString) + "」），以下工作沒有完成：\n";
    for (const std::string& w : what)
        text += "\n・" + w;
    return text;
}

} // namespace

void BeginStartupWaits(WaitNotice notice)
{
    StartupState& st = State();
    st.on = true;
    st.notice = std::move(notice);
    st.notDone.clear();
    jet::SetBusyWaitBudget(std::chrono::milliseconds(kStartupWaitBudgetMs));
    jet::SetBusyWaitObserver([] {
        const StartupState& now = State();
        if (now.on && now.notice)
            now.notice(true);
    });
}

bool InStartupWaits() { return State().on; }

void ReportNotDoneWhileBusy(const Session& s, const std::string& what)
{
    StartupState& st = State();
    if (st.on)
        st.notDone.push_back(what);
    else
        MsgBox(NotDoneText(s, {what}), kNotDoneTitle, MsgIcon::Exclamation);
}

void EndStartupWaits(const Session& s)
{
    StartupState& st = State();
    if (!st.on)
        return;
    st.on = false;
    jet::ClearBusyWaitBudget();
    jet::SetBusyWaitObserver({});
    const WaitNotice notice = std::move(st.notice);
    st.notice = {};
    if (notice)
        notice(false);
    const std::vector<std::string> notDone = std::move(st.notDone);
    st.notDone.clear();
    if (!notDone.empty())
        MsgBox(NotDoneText(s, notDone), kNotDoneTitle, MsgIcon::Exclamation);
}

} // namespace qtmv
