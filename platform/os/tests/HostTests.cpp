// Process liveness, the instance lock and detached starts.
#include "platform/os/Host.h"
#include "platform/os/tests/DeadProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

using namespace qtmv::os;

using qtmv::os::test::DeadProcessId;

TEST(Host, IsWindowMeansTheProcessIsAlive)
{
    EXPECT_TRUE(IsWindow(static_cast<double>(CurrentProcessId())));
    EXPECT_TRUE(IsWindow(1)); // init: alive, possibly owned by another user
    EXPECT_FALSE(IsWindow(DeadProcessId()));
    for (double bad : {0.0, -1.0, 1.5, double(INT_MAX) + 1, std::nan(""), HUGE_VAL})
        EXPECT_FALSE(IsWindow(bad)) << bad;
}

TEST(Host, ProgramFolderEndsWithASeparator)
{
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());
}

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        saved = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        setenv("TMPDIR", tmp.path().toLocal8Bit().constData(), 1);
    }
    void TearDown() override
    {
        if (saved.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", saved.c_str(), 1);
    }
    QTemporaryDir tmp;
    std::string saved;
};

TEST_F(InstanceLockTest, SecondHolderSeesThePreviousInstanceUntilItEnds)
{
    {
        InstanceLock first("qtmv-test");
        EXPECT_FALSE(first.previousInstance());
        EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(first.path())));
        InstanceLock second("qtmv-test");
        EXPECT_TRUE(second.previousInstance());
        InstanceLock other("qtmv-other");
        EXPECT_FALSE(other.previousInstance());
    }
    InstanceLock again("qtmv-test");
    EXPECT_FALSE(again.previousInstance());
}

TEST_F(InstanceLockTest, LockOfACrashedInstanceIsTakenOver)
{
    const pid_t child = fork();
    if (child == 0) {
        InstanceLock lock("qtmv-crash");
        _exit(lock.previousInstance() ? 2 : 0); // no destructor: the lock file stays
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    InstanceLock lock("qtmv-crash");
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(lock.path())));
    EXPECT_FALSE(lock.previousInstance());
}

TEST_F(InstanceLockTest, NoWritableTemporaryFolderIsNoPreviousInstance)
{
    setenv("TMPDIR", (tmp.path() + "/missing/deeper").toLocal8Bit().constData(), 1);
    // Run from a folder of its own: the lock must not land in the working folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    InstanceLock lock("qtmv-test");
    EXPECT_FALSE(lock.previousInstance());
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files).isEmpty());
    QDir::setCurrent(before);
}

TEST(Host, StartDetachedReportsAProgramThatCannotStart)
{
    QTemporaryDir tmp;
    std::string error;
    EXPECT_FALSE(StartDetached(tmp.path().toStdString() + "/no-such-program", {}, tmp.path().toStdString(), &error));
    EXPECT_FALSE(error.empty());
    // A program that starts, in the folder given with its arguments: the
    // launcher's test (SessionDatabaseTests, Launching).
}
