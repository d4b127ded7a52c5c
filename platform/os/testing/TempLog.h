#pragma once
// A log opened in a throw-away folder for a test, and its lines as written.
#include "platform/os/Log.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qtmv::test {

inline QStringList LogLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

// Opens <temp>/Temp/<fileName> (400-byte files, two kept) as 王大明 on PC1.
class TempLog : public ::testing::Test {
protected:
    explicit TempLog(const char* fileName) : fileName_(fileName) {}
    void SetUp() override
    {
        path = QString::fromStdString(log::Open(dir.path().toStdString() + "/Temp", fileName_, 400, 2));
        log::SetIdentity("PC1\\wang", "王大明");
    }
    void TearDown() override { log::Close(); }
    QTemporaryDir dir;
    QString path;

private:
    const char* fileName_;
};

} // namespace qtmv::test
