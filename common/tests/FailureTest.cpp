// The way failures reach the log and the user: details to the file, a
// short Chinese message to the screen.
#include "common/Failure.h"

#include "platform/jet/Error.h"
#include "platform/os/Log.h"
#include "platform/os/testing/TempLog.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

using namespace qtmv;
using qtmv::test::logLines;

namespace {

class LogFile : public test::TempLog {
protected:
    LogFile() : TempLog("failures.log") {}
};

} // namespace

TEST_F(LogFile, FailuresShowTheUserChineseAndTheLogTheDetails)
{
    ScriptedMessages msgs;
    ReportFailure("儲存資料",
                  jet::Error(jet::Error::Kind::Busy, "資料庫忙碌中，請稍後再試。", "database is locked",
                             "update [PRINTING_S] set FDATE ='1204-14'"),
                  "資料沒有儲存。");
    ASSERT_EQ(msgs.shown().size(), 1u);
    const MessageRequest& m = msgs.shown()[0];
    EXPECT_EQ(m.title, "儲存資料");
    EXPECT_EQ(m.icon, MsgIcon::Critical);
    EXPECT_EQ(m.text, "資料庫忙碌中，請稍後再試。\n資料沒有儲存。\n\n詳細內容已記錄在：" + path.toStdString());
    const QString logged = logLines(path).join(QLatin1Char('\n'));
    EXPECT_TRUE(logged.contains("database is locked"));
    EXPECT_TRUE(logged.contains("update [PRINTING_S]"));

    // Anything that is not a data-access error: no engine text on screen either.
    EXPECT_FALSE(Guarded("載入資料", [] { throw std::out_of_range("vector::_M_range_check"); }));
    ASSERT_EQ(msgs.shown().size(), 2u);
    EXPECT_EQ(msgs.shown()[1].text.rfind("程式發生未預期的錯誤。", 0), 0u);
    EXPECT_EQ(msgs.shown()[1].text.find("range_check"), std::string::npos);
    EXPECT_TRUE(logLines(path).last().contains("vector::_M_range_check"));
    EXPECT_TRUE(Guarded("載入資料", [] {}));
}
