// The log file the plant's IT reads: one record a line, rotated by size.
#include "platform/os/Log.h"
#include "platform/os/testing/TempLog.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace qtmv;
using qtmv::test::LogLines;

namespace {

class LogFile : public test::TempLog {
protected:
    LogFile() : TempLog("daily-report.log") {}
};

} // namespace

TEST_F(LogFile, OneLinePerRecordWithEveryField)
{
    ASSERT_EQ(path, dir.path() + "/Temp/daily-report.log");
    log::Warning(log::Data(), "儲存資料", "寫入失敗", "update [PRINTING] set REM ='a\tb'\nwhere 1", "disk full");
    qWarning("not ours");   // other messages stay out of the file
    const QStringList lines = LogLines(path);
    ASSERT_EQ(lines.size(), 1);
    const QStringList f = lines[0].split(QLatin1Char('\t'));
    ASSERT_EQ(f.size(), 9) << lines[0].toStdString();
    EXPECT_TRUE(f[0].startsWith(QString::number(QDate::currentDate().year())));
    EXPECT_EQ(f.mid(1, 8), (QStringList{"warning", "qtmv.data", "PC1\\wang", "王大明", "儲存資料", "寫入失敗",
                                        "sql=update [PRINTING] set REM ='a\\tb'\\nwhere 1", "engine=disk full"}));
}

TEST_F(LogFile, RotatesBySizeKeepingTheNewest)
{
    for (int i = 0; i < 12; ++i)
        log::Info(log::Locks(), "載入資料", "第 " + std::to_string(i) + " 筆");
    EXPECT_TRUE(QFile::exists(path + ".1"));
    EXPECT_TRUE(QFile::exists(path + ".2"));
    EXPECT_FALSE(QFile::exists(path + ".3"));
    EXPECT_LE(QFile(path).size(), 400);
    EXPECT_TRUE(LogLines(path).last().endsWith(QStringLiteral("第 11 筆")));
}
