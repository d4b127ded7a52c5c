// The coordination tables shared by the workstations (the maintenance lock,
// the register of functions in use) on both engines.
#include "app/core/Locks.h"
#include "app/core/Session.h"
#include "app/core/StartupWaits.h"
#include "db/testing/EngineFreshDatabase.h"
#include "platform/os/Host.h"
#include "platform/os/MessageBox.h"
#include "platform/os/tests/DeadProcess.h"

#include <gtest/gtest.h>

#include <thread>

using namespace qtmv;
using qtmv::db::test::Engine;
using qtmv::db::test::EngineFreshDatabase;

namespace {

class Coordination : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        QTMV_SKIP_WITHOUT_TEST_SERVER(GetParam());
        db = std::make_unique<EngineFreshDatabase>(GetParam());
    }
    std::unique_ptr<EngineFreshDatabase> db;
};

TEST_P(Coordination, MaintenanceLockHolderIsToldAndWhatWasNotDoneWhileBusyNamesTheDatabase)
{
    Session& s = db->session();
    ScriptedMessages messages;
    EXPECT_EQ(CheckMaintenanceLock(s), MaintenanceFree);
    EXPECT_TRUE(messages.shown().empty());
    db->exec("insert into [SYSLOCK] ([USER]) values (' PC1\\ADMIN ')");
    EXPECT_EQ(CheckMaintenanceLock(s), MaintenanceLocked);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "PC1\\ADMIN\n\n正在維護軟體中，請稍後再登入！");
    EXPECT_EQ(s.MaintenanceHolder, "PC1\\ADMIN");

    // What could not be done while the database was busy names the database:
    // the file, or the server's host:port/database.
    messages.clear();
    ReportNotDoneWhileBusy(s, "設定沒有讀取。");
    ASSERT_EQ(messages.shown().size(), 1u);
    const std::string& text = messages.shown()[0].text;
    EXPECT_TRUE(text.starts_with("資料庫忙碌中（其他工作站正在使用「")) << text;
    // The file's path, or the test server's database (qtmv_t_...).
    EXPECT_NE(text.find(db->server() ? ":5432/qtmv_t_" : "QTMV.mdb」"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("」），以下工作沒有完成：\n\n・設定沒有讀取。")) << text;
}

// One row per workstation user and function, also when several programs
// register at once and in another case; none while the launcher is gone.
TEST_P(Coordination, OneRowPerUserAndFunctionWhileTheLauncherLives)
{
    const Session& s = db->session();
    const double alive = static_cast<double>(os::CurrentProcessId());
    RegisterFunctionUse(s, "PC1\\admin", os::test::DeadProcessId(), 111, kApplicationTitle);
    EXPECT_EQ(db->count("select * from [SYSUSER1] "), 0);
    std::vector<std::thread> programs;
    for (int i = 0; i < 4; ++i)
        programs.emplace_back([&, i] {
            EXPECT_TRUE(RegisterFunctionUse(s, i % 2 ? "PC1\\ADMIN" : "PC1\\admin", alive, 100 + i, kApplicationTitle));
        });
    for (auto& p : programs)
        p.join();
    RegisterFunctionUse(s, "PC1\\admin", alive, 222, kApplicationTitle);
    EXPECT_EQ(db->value("select [LPID] from [SYSUSER1] where [ID] = 'PC1\\admin'"), "222");
    RegisterFunctionUse(s, "PC1\\admin", alive, 333, "其他功能");
    RegisterFunctionUse(s, "PC2\\o'neil", alive, 444, kApplicationTitle);
    EXPECT_EQ(db->count("select * from [SYSUSER1] "), 3);

    UnregisterFunctionUse(s, "PC1\\admin", kApplicationTitle, false);
    EXPECT_EQ(db->count("select * from [SYSUSER1] where [ID] = 'PC1\\admin'"), 1);
    RegisterFunctionUse(s, "PC1\\admin", alive, 555, kApplicationTitle);
    UnregisterFunctionUse(s, "PC1\\admin", "", true);
    EXPECT_EQ(db->count("select * from [SYSUSER1] where [ID] = 'PC1\\admin'"), 0);
    UnregisterFunctionUse(s, "PC2\\o'neil", kApplicationTitle, false);
    EXPECT_EQ(db->count("select * from [SYSUSER1] "), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, Coordination, ::testing::Values(Engine::SQLite, Engine::Server),
                         db::test::EngineName);

} // namespace
