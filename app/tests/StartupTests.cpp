// Command line, DSN file, connection string, rights and group filter.
#include "app/core/CommandLine.h"
#include "app/core/DatabaseLocation.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fstream>

using namespace qtmv;

namespace {
Session cut(const std::string& line)
{
    Session s;
    CutLaunchParameters(line, s);
    return s;
}
} // namespace

TEST(CommandLine, CutsValuesByPositionKeepingBlanksAndEmptyValues)
{
    Session s = cut("-kvo2851 -AD=王大明 -NAME=王大明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=4242");
    EXPECT_EQ(s.LoginUser + "|" + s.EmployeeName + "|" + s.EmployeeId + "|" + s.ExcelExtension + "|" + s.WordExtension,
              "王大明|王大明|A001|.xlsx|.docx");
    EXPECT_EQ(s.LauncherProcessId, 4242);

    s = cut("-kvo2851 -AD= -NAME=王 大 明 -ID=A 01 -XLS= -DOC=.doc x -PID=7");
    EXPECT_EQ(s.LoginUser + "|" + s.EmployeeName + "|" + s.EmployeeId + "|" + s.ExcelExtension + "|" + s.WordExtension,
              "|王 大 明|A 01||.doc x");

    EXPECT_EQ(cut("-kvo2851 -AD=a -NAME=b -ID=c -XLS=d -DOC=e -PID=").LauncherProcessId, 0);
    EXPECT_EQ(cut("-kvo2851 -AD=a -NAME=b -ID=c -XLS=d -DOC=e -PID=abc").LauncherProcessId, 0);
    EXPECT_EQ(cut("-kvo2851 -AD=a -NAME=b -ID=c -XLS=d -DOC=e -PID= 123").LauncherProcessId, 123);
}

TEST(CommandLine, MissingOrMisplacedKeyStopsAfterWhatWasRead)
{
    Session s;
    EXPECT_THROW(CutLaunchParameters("-kvo2851 -AD=admin -ID=A001 -XLS=.xlsx -DOC=.docx -PID=1", s),
                 CommandLineError);
    EXPECT_EQ(s.LoginUser, "admin");
    EXPECT_EQ(s.EmployeeId, "");

    Session t; // keys out of order: nothing is cut backwards
    EXPECT_THROW(CutLaunchParameters("-kvo2851 -NAME=n -AD=a -ID=i -XLS=x -DOC=d -PID=1", t), CommandLineError);
    EXPECT_EQ(t.LoginUser, "a");
    EXPECT_EQ(t.EmployeeName, "");

    Session u;
    EXPECT_THROW(CutLaunchParameters("-kvo2851", u), CommandLineError);
    EXPECT_THROW(CutLaunchParameters("-kvo2851 -AD=root", u), CommandLineError);
    EXPECT_EQ(u.LoginUser, "root");
}

TEST(CommandLine, JoinsArgumentsWithSingleBlanksAndFindsTheToken)
{
    const char* argv[] = {"/opt/app/daily-report", "-kvo2851", "-AD=王 大明", "-PID=5"};
    EXPECT_EQ(JoinCommandLine(4, argv), "-kvo2851 -AD=王 大明 -PID=5");
    EXPECT_EQ(JoinCommandLine(1, argv), "");
    EXPECT_TRUE(HasLaunchToken("x-kvo2851y"));
    EXPECT_FALSE(HasLaunchToken("-kvo285 -AD=a"));
}

TEST(Dsn, KeysAreFoundInAnyCaseAndTheFolderKeepsItsCase)
{
    DsnSettings d = ParseDsnText("[ODBC]\r\nsite=c\r\ndbq=/srv/Share/Data/qtmv.mdb\r\nDriverId=25\r\n");
    EXPECT_EQ(d.siteCode, "C");
    EXPECT_EQ(d.dbqFolder.value_or("<none>"), "/srv/Share/Data/");
    d = ParseDsnText("SITE=C\nDBQ=\\\\SERVER\\SHARE\\DATA\\QTMV.MDB");
    EXPECT_EQ(d.dbqFolder.value_or("<none>"), "\\\\SERVER\\SHARE\\DATA\\");
    EXPECT_EQ(ParseDsnText("SITE=\nDBQ=/d/QTMV.MDB").siteCode, "");
}

class Locate : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        host = {"PC1", "admin", dir.path().toStdString() + "/App/", dir.path().toStdString() + "/home"};
        QDir().mkpath(QString::fromStdString(host.programFolder));
    }
    Session locate(const std::optional<std::string>& dsn)
    {
        if (dsn)
            std::ofstream(host.programFolder + kDsnFileName, std::ios::binary | std::ios::trunc) << *dsn;
        Session s;
        LocateDatabase(s, host);
        BuildConnectionString(s);
        return s;
    }
    QTemporaryDir dir;
    HostInfo host;
};

TEST_F(Locate, OnlySiteCTakesTheDbqFolder)
{
    EXPECT_EQ(locate("SITE=S\r\nDBQ=/data/QTMV.MDB\r\n").DatabaseFolder, host.programFolder);
    const Session s = locate("SITE=C\r\nDBQ=/data/QTMV.MDB\r\n");
    EXPECT_EQ(s.SiteCode, "C");
    EXPECT_EQ(s.ConnectionString,
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/QTMV.mdb;Jet OLEDB:Database Password=kvoz2851kvoz2851");
}

TEST_F(Locate, BadDsnFilesFallBackToTheProgramFolder)
{
    for (const std::string text : {"'SITE=C\nDBQ=/data/QTMV.MDB\n", "", "SITE=C\n", "SITE=C\nDATA=/data/QTMV.MDB\n",
                                   "SITE=C\nDBQ=/data/db.mdb\n", "SITE=C\nDBQ=/data/QTMV.MDB.bak\n",
                                   "SITE=C\nDBQ=/data/OLDQTMV.MDB\n", "SITE=C\nDBQ=/data/x.mdb\nREM=/d/QTMV.MDB\n"})
        EXPECT_EQ(locate(text).DatabaseFolder, host.programFolder) << text;
    QFile::remove(QString::fromStdString(host.programFolder + kDsnFileName));
    EXPECT_EQ(locate(std::nullopt).DatabaseFolder, host.programFolder);
    // A folder of that name cannot be read as a file.
    QDir().mkpath(QString::fromStdString(host.programFolder + kDsnFileName));
    const Session s = locate(std::nullopt);
    EXPECT_EQ(s.DatabaseFolder, host.programFolder);
    EXPECT_EQ(s.SiteCode, "");
}

TEST_F(Locate, FoldersWorkstationUserAndConnectionString)
{
    Session s = locate(std::nullopt);
    EXPECT_EQ(s.WorkstationUser, "PC1\\admin");
    EXPECT_EQ(s.TempFolder, host.userProfile + "/Temp/");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(s.TempFolder)).isDir());
    // The marker is created empty, and emptied when it exists.
    std::ofstream(s.TempFolder + kTempMarkerFileName) << "old";
    ResetTempMarker(s);
    EXPECT_EQ(QFileInfo(QString::fromStdString(s.TempFolder + kTempMarkerFileName)).size(), 0);

    host.userProfile = "";
    host.programFolder = "/opt/qtmv"; // no separator: one is appended
    s = locate(std::nullopt);
    EXPECT_EQ(s.TempFolder, "/opt/qtmv/");
    EXPECT_EQ(s.ConnectionString,
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/qtmv/QTMV.mdb;Jet OLEDB:Database Password=kvoz2851kvoz2851");
}

TEST(Rights, PositionsCountFromOneAndShortStringsNeverRestrict)
{
    Session s;
    const std::string eleven = "11111111111";
    EXPECT_FALSE(RightsRestricted(s, eleven, 12, "1"));
    EXPECT_TRUE(RightsRestricted(s, eleven + "1", 12, "1"));
    EXPECT_FALSE(RightsRestricted(s, eleven + "0", 12, "1"));
    EXPECT_TRUE(RightsRestricted(s, "0", 1, "0"));
    EXPECT_FALSE(RightsRestricted(s, "", 1, "0"));
    EXPECT_FALSE(RightsRestricted(s, "1", 0, "1"));
    EXPECT_TRUE(RightsRestricted(s, "權1", 2, "1")); // characters, not bytes
    s.LoginUser = "admin";
    EXPECT_FALSE(RightsRestricted(s, eleven + "1", 12, "1"));
}

TEST(Rights, GroupFilterHasTwentyConditionsPerGroup)
{
    Session s;
    EXPECT_EQ(BuildGroupFilter("where 1=0", "C", s), "where 1=0");
    s.RightsGroups[0] = "G1";
    s.RightsGroups[5] = "O'K";
    std::string expected = "x";
    for (const std::string g : {"G1", "O''K"})
        for (int i = 0; i < 20; ++i)
            expected += " or C.[GROUP" + (i ? std::to_string(i) : std::string()) + "] = '" + g + "' ";
    EXPECT_EQ(BuildGroupFilter("x", "C", s), expected);

    const std::string plain = BuildGroupFilter("", "", s);
    EXPECT_EQ(plain.substr(0, 22), " or [GROUP] = 'G1'  or");
    EXPECT_NE(plain.find(" or [GROUP19] = 'O''K' "), std::string::npos);
    EXPECT_EQ(plain.find("."), std::string::npos);
}
