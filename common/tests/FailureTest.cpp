// The way failures reach the log and the user: details to the file, a
// short Chinese message to the screen.
#include "common/Failure.h"

#include "platform/jet/Error.h"
#include "platform/os/testing/TempLog.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace qtmv;
using qtmv::test::LogLines;

namespace {

class LogFile : public test::TempLog {
protected:
    LogFile() : TempLog("failures.log") {}
};

} // namespace

// The user reads what failed in the suite's Chinese; the log gets the
// details and says what sort of failure it was in words, never a compiler's
// mangled type name.
TEST_F(LogFile, FailuresShowTheUserChineseAndTheLogTheKindAndDetails)
{
    ScriptedMessages msgs;
    class ArgumentError : public UserError {
    public:
        using UserError::UserError;
        std::string kind() const override { return "引數錯誤"; }
    };
    // The record a report wrote last (the small test log rotates, so each is
    // read as it is written), and its message field.
    QString line;
    auto logged = [&](const std::string& operation, const std::exception& e) {
        ReportFailure(operation, e, "資料沒有儲存。");
        line = LogLines(path).last();
        EXPECT_FALSE(line.contains(QStringLiteral("St12")) || line.contains(QStringLiteral("N4qtmv")))
            << line.toStdString();
        return line.split(QLatin1Char('\t')).value(6).toStdString();
    };
    EXPECT_EQ(logged("儲存資料", jet::Error(jet::Error::Kind::Busy, "資料庫忙碌中，請稍後再試。", "database is locked",
                                            "update [PRINTING_S] set FDATE ='1204-14'")),
              "資料庫錯誤：資料庫忙碌中，請稍後再試。");
    EXPECT_TRUE(line.contains("database is locked") && line.contains("update [PRINTING_S]")) << line.toStdString();
    EXPECT_EQ(logged("取得系統相關設定資料錯誤", ArgumentError("啟動參數錯誤：找不到「-NAME=」")),
              "引數錯誤：啟動參數錯誤：找不到「-NAME=」");
    EXPECT_EQ(logged("轉Excel", FileError("Excel檔 /srv/a.xlsx 無法寫入：磁碟已滿。")),
              "檔案錯誤：Excel檔 /srv/a.xlsx 無法寫入：磁碟已滿。");
    EXPECT_EQ(logged("列印", UserError("文字「𠀋」無法以Big5碼寫入")), "作業錯誤：文字「𠀋」無法以Big5碼寫入");
    EXPECT_EQ(logged("載入資料", std::out_of_range("vector::_M_range_check")), "程式錯誤：vector::_M_range_check");

    ASSERT_EQ(msgs.shown().size(), 5u);
    const MessageRequest& m = msgs.shown()[0];
    EXPECT_EQ(m.title, "儲存資料");
    EXPECT_EQ(m.icon, MsgIcon::Critical);
    EXPECT_EQ(m.text, "資料庫忙碌中，請稍後再試。\n資料沒有儲存。\n\n詳細內容已記錄在：" + path.toStdString());
    // The kind is for the log; a program fault shows no text of its own.
    EXPECT_EQ(msgs.shown()[1].text.rfind("啟動參數錯誤：找不到「-NAME=」\n", 0), 0u) << msgs.shown()[1].text;
    EXPECT_EQ(msgs.shown()[4].text.rfind("程式發生未預期的錯誤。", 0), 0u) << msgs.shown()[4].text;
    EXPECT_EQ(msgs.shown()[4].text.find("range_check"), std::string::npos);

    // A handler that throws is reported so; one that finishes says nothing.
    EXPECT_FALSE(Guarded("載入資料", [] { throw std::out_of_range("vector::_M_range_check"); }, "資料沒有儲存。"));
    EXPECT_TRUE(LogLines(path).last().contains("vector::_M_range_check"));
    EXPECT_TRUE(Guarded("載入資料", [] {}));
    ASSERT_EQ(msgs.shown().size(), 6u);
    EXPECT_EQ(msgs.shown()[5].text, msgs.shown()[4].text);
}
