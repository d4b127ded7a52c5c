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
using qtmv::test::LogLines;

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
    const QString logged = LogLines(path).join(QLatin1Char('\n'));
    EXPECT_TRUE(logged.contains("database is locked"));
    EXPECT_TRUE(logged.contains("update [PRINTING_S]"));

    // Anything that is not a data-access error: no engine text on screen either.
    EXPECT_FALSE(Guarded("載入資料", [] { throw std::out_of_range("vector::_M_range_check"); }));
    ASSERT_EQ(msgs.shown().size(), 2u);
    EXPECT_EQ(msgs.shown()[1].text.rfind("程式發生未預期的錯誤。", 0), 0u);
    EXPECT_EQ(msgs.shown()[1].text.find("range_check"), std::string::npos);
    EXPECT_TRUE(LogLines(path).last().contains("vector::_M_range_check"));
    EXPECT_TRUE(Guarded("載入資料", [] {}));
}

// The log says what sort of failure it was in words, never a compiler's
// mangled type name.
TEST_F(LogFile, TheLogNamesTheKindOfFailureInWords)
{
    ScriptedMessages msgs;
    class ArgumentError : public UserError {
    public:
        using UserError::UserError;
        std::string kind() const override { return "引數錯誤"; }
    };
    // The message field of the record a report wrote last (the small test
    // log rotates, so each is read as it is written).
    auto logged = [this](const std::string& operation, const std::exception& e) {
        ReportFailure(operation, e);
        const QString line = LogLines(path).last();
        EXPECT_FALSE(line.contains(QStringLiteral("St12")) || line.contains(QStringLiteral("N4qtmv")))
            << line.toStdString();
        return line.split(QLatin1Char('\t')).value(6).toStdString();
    };
    EXPECT_EQ(logged("取得系統相關設定資料錯誤", ArgumentError("啟動參數錯誤：找不到「-NAME=」")),
              "引數錯誤：啟動參數錯誤：找不到「-NAME=」");
    EXPECT_EQ(logged("轉Excel", FileError("Excel檔 /srv/a.xlsx 無法寫入：磁碟已滿。")),
              "檔案錯誤：Excel檔 /srv/a.xlsx 無法寫入：磁碟已滿。");
    EXPECT_EQ(logged("列印", UserError("文字「𠀋」無法以Big5碼寫入")), "作業錯誤：文字「𠀋」無法以Big5碼寫入");
    EXPECT_EQ(logged("載入資料", std::out_of_range("vector::_M_range_check")), "程式錯誤：vector::_M_range_check");
    EXPECT_EQ(logged("儲存資料", jet::Error(jet::Error::Kind::Busy, "資料庫忙碌中，請稍後再試。", "database is locked")),
              "資料庫錯誤：資料庫忙碌中，請稍後再試。");
    // The user's messages are as they were: the kind is for the log.
    ASSERT_EQ(msgs.shown().size(), 5u);
    EXPECT_EQ(msgs.shown()[0].text.rfind("啟動參數錯誤：找不到「-NAME=」\n", 0), 0u) << msgs.shown()[0].text;
}
