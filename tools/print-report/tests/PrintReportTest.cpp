#include "db/testing/FreshDatabase.h"
#include "platform/workbook/testing/ReadWorkbook.h"
#include "reports/testing/ProductionData.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using qtmv::db::test::FreshDatabase;

namespace {

class PrintReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_.exec("insert into COMPANY (COMPANY) values ('朗瑜彩色印刷')");
        db_.exec("insert into 預排資料 (ID, [DATE]) values ('1131204001', '1131204')");
        db_.exec("insert into CUST (ID, SNAME) values ('C001', '大華食品')");
        db_.exec("insert into PWORK (PO, CUST, [DESC]) values ('1131200001', 'C001', '彩色型錄')");
        db_.exec("insert into VENDER (ID, SNAME, RATE) values ('V01', '聿禾紙業', 5)");
        db_.exec("insert into PRINTING_S (ID, INO, PO, [NO], VENDER, QTY, PRICE, AMT, 順序) values "
                 "('1131204001', 1, '1131200001', 1, 'V01', 1000, 2, 2000, '1')");
    }
    // The tool's exit code; its stderr goes to err, its stdout to out.
    // shell runs before it (a limit, say).
    int run(const std::string& args, std::string& err, std::string* out = nullptr, const std::string& shell = "")
    {
        return runOn(db_.path(), args, err, out, shell);
    }
    // The same on another database.
    int runOn(const std::string& database, const std::string& args, std::string& err, std::string* out = nullptr,
              const std::string& shell = "")
    {
        const std::string errFile = db_.folder() + "err.txt", outFile = db_.folder() + "out.txt";
        const std::string tool = std::string(PRINT_REPORT) + " --database '" + database + "' " + args + " 2>'" +
                                 errFile + "' >'" + outFile + "'";
        const int status = std::system((shell.empty() ? tool : "sh -c \"" + shell + "; exec " + tool + "\"").c_str());
        err = read(errFile);
        if (out)
            *out = read(outFile);
        std::remove(errFile.c_str());
        std::remove(outFile.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The names in the database's folder other than the database's own files.
    std::vector<std::string> outputs() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(db_.folder()))
            if (e.path() != db_.path() && !e.path().string().starts_with(db_.path() + "-"))
                names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string read(const std::string& file)
    {
        std::ifstream in(file);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    FreshDatabase db_;
};

TEST_F(PrintReport, WritesTheOrderAsPdfAndPng)
{
    const std::string pdf = db_.folder() + "o.pdf", png = db_.folder() + "o.png";
    std::string err;
    ASSERT_EQ(run("--report rpt外發單_印刷_xp --set number-from=1131204001 --set kind=D-印刷 --pdf '" + pdf +
                      "' --png '" + png + "'",
                  err),
              0)
        << err;
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
    const std::string text = read(pdf + ".txt");
    for (const char* w : {"朗瑜彩色印刷", "印刷外發單", "RM-04-011", "聿禾紙業", "大華食品", "彩色型錄", "2,100"})
        EXPECT_NE(text.find(w), std::string::npos) << w;
    EXPECT_FALSE(read(png).empty());
}

// Without a number the order of the first pre-schedule number within the
// ranges that has rows is printed, and the tool says which; where it wrote
// is said as a full path.
TEST_F(PrintReport, WithoutANumberTheFirstOrderInTheRangesIsPrinted)
{
    db_.exec("insert into 預排資料 (ID, [DATE]) values ('1131203001', '1131203')");   // no printing rows
    db_.exec("insert into 預排資料 (ID, [DATE]) values ('1131205001', '1131205')");
    db_.exec("insert into PWORK (PO, CUST, [DESC]) values ('1131200002', 'C001', '月曆')");
    db_.exec("insert into PRINTING_S (ID, INO, PO, [NO], VENDER, QTY, PRICE, AMT, 順序) values "
             "('1131205001', 1, '1131200002', 1, 'V01', 500, 2, 1000, '1')");
    const std::string pdf = db_.folder() + "o.pdf";
    std::string err, out;
    ASSERT_EQ(run("--report rpt外發單_印刷_xp --pdf '" + pdf + "'", err, &out), 0) << err;
    EXPECT_EQ(out, "rpt外發單_印刷_xp: number-from=1131204001\n" + pdf + ": 1 page(s)\n");
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
    EXPECT_NE(read(pdf + ".txt").find("彩色型錄"), std::string::npos);
    EXPECT_EQ(read(pdf + ".txt").find("月曆"), std::string::npos);

    ASSERT_EQ(run("--report rpt外發單_印刷_xp --set schedule-from=1131205 --pdf '" + pdf + "'", err, &out), 0) << err;
    EXPECT_EQ(out.rfind("rpt外發單_印刷_xp: number-from=1131205001\n", 0), 0u) << out;
    EXPECT_EQ(run("--report rpt外發單_印刷_xp --set schedule-from=1131206 --pdf '" + pdf + "'", err, &out), 1);
    EXPECT_NE(err.find("查無任何資料!"), std::string::npos);
}

// The README's examples on the demo plant as scripts/run-demo.sh writes it
// (dated today, so no fixed pre-schedule number is in it): each one writes.
TEST_F(PrintReport, TheReadmeExamplesPrintOnTheDemoPlant)
{
    const std::string folder = db_.folder() + "demo/";
    std::filesystem::create_directories(folder);
    ASSERT_EQ(std::system((std::string(DEMO_DB) + " '" + folder + "QTMV.mdb' >/dev/null").c_str()), 0);
    std::string err, out;
    ASSERT_EQ(runOn(folder + "QTMV.mdb",
                    "--report rpt外發單_印刷_xp --pdf '" + folder + "order.pdf' --png '" + folder + "order.png'", err,
                    &out),
              0)
        << err;
    EXPECT_NE(out.find(folder + "order.png: page 1\n"), std::string::npos) << out;
    ASSERT_EQ(runOn(folder + "QTMV.mdb",
                    "--report rpt不良分析1_工務預排 --set kind=D-印刷 --set done-from=1131201 --pdf '" + folder +
                        "analysis.pdf'",
                    err),
              0)
        << err;
    ASSERT_EQ(std::system(("pdftotext -layout '" + folder + "analysis.pdf' '" + folder + "analysis.txt'").c_str()), 0);
    const std::string analysis = read(folder + "analysis.txt");
    // The open end of the completion range reads as open.
    EXPECT_NE(analysis.find("113/12/01 起"), std::string::npos) << analysis;
    EXPECT_EQ(analysis.find("9999999"), std::string::npos) << analysis;
    ASSERT_EQ(runOn(folder + "QTMV.mdb",
                    "--report frm產值分析明細轉Excel --set choice=2 --xlsx '" + folder + "summary.xlsx'", err),
              0)
        << err;
    EXPECT_FALSE(qtmv::xlsx::testing::ReadWorkbook(folder + "summary.xlsx").empty());
}

TEST_F(PrintReport, NothingToPrintAndBadArgumentsFail)
{
    const std::string pdf = db_.folder() + "o.pdf";
    std::string err;
    EXPECT_EQ(run("--report rpt外發單_印刷_xp --set number-from=1131299999 --pdf '" + pdf + "'", err), 1);
    EXPECT_NE(err.find("查無任何資料!"), std::string::npos);
    EXPECT_EQ(run("--report rpt生產明細表 --pdf '" + pdf + "'", err), 1);
    EXPECT_EQ(run("--report rpt其他表 --pdf '" + pdf + "'", err), 2);
    EXPECT_EQ(run("--report rpt外發單_印刷_xp --set colour=red --pdf '" + pdf + "'", err), 2);
    EXPECT_EQ(run("--report rpt外發單_印刷_xp --set origin=x --pdf '" + pdf + "'", err), 2);
    EXPECT_TRUE(read(pdf).empty());
}

TEST_F(PrintReport, AnalysesAsPdfAndWorkbooks)
{
    qtmv::reports::test::SeedProduction(db_);
    const std::string pdf = db_.folder() + "a.pdf", xlsx = db_.folder() + "a.xlsx";
    std::string err;
    ASSERT_EQ(run("--report rpt不良分析1_工務預排 --set kind=D-印刷 --pdf '" + pdf + "'", err), 0) << err;
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
    const std::string text = read(pdf + ".txt");
    for (const char* w : {"產能及不良分析", "海德堡二號", "2,575"})
        EXPECT_NE(text.find(w), std::string::npos) << w;

    // Choice 2 builds the analysis table first, then groups it.
    ASSERT_EQ(run("--report frm產值分析明細轉Excel --set choice=2 --set kind=J-裝訂 --xlsx '" + xlsx + "'", err), 0)
        << err;
    const auto sheets = qtmv::xlsx::testing::ReadWorkbook(xlsx);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "J-裝訂");
    EXPECT_EQ(db_.value("select count(*) from [不良分析_tmp]"), "2");

    EXPECT_EQ(run("--report frm產值分析明細轉Excel --set choice=7 --xlsx '" + xlsx + "'", err), 2);
    EXPECT_EQ(run("--report rpt不良分析1_工務預排 --xlsx '" + xlsx + "'", err), 2);
    EXPECT_EQ(run("--report frm生產明細表轉Excel --set kind=K-刀模 --xlsx '" + xlsx + "'", err), 1);
    EXPECT_NE(err.find("查無任何資料!"), std::string::npos);
}

// With nothing to print no workbook is written, and one already there stays
// as it was; a date that is no date is refused naming its parameter.
TEST_F(PrintReport, NothingFoundWritesNoWorkbookAndDatesAreChecked)
{
    qtmv::reports::test::SeedProduction(db_);
    const std::string xlsx = db_.folder() + "none.xlsx", kept = db_.folder() + "kept.xlsx";
    std::string err;
    EXPECT_EQ(run("--report frm生產明細表轉Excel --set kind=K-刀模 --xlsx '" + xlsx + "'", err), 1);
    EXPECT_EQ(run("--report frm產值分析明細轉Excel --set choice=1 --set kind=K-刀模 --xlsx '" + xlsx + "'", err), 1);
    std::ofstream(kept) << "kept";
    EXPECT_EQ(run("--report frm產值分析明細轉Excel --set choice=2 --set kind=K-刀模 --xlsx '" + kept + "'", err), 1);
    EXPECT_EQ(read(kept), "kept");
    EXPECT_EQ(outputs(), std::vector<std::string>{"kept.xlsx"});

    for (const char* bad : {"done-from=1139999", "schedule-to=abc", "done-to=1130230"}) {
        EXPECT_EQ(run("--report rpt生產明細表 --set " + std::string(bad) + " --pdf '" + db_.folder() + "a.pdf'", err), 2)
            << bad;
        EXPECT_NE(err.find("--set " + std::string(bad) + ": not a date"), std::string::npos) << err;
    }
    // The print page's two-digit year is padded, as the page pads it.
    EXPECT_EQ(run("--report rpt不良分析1_工務預排 --set kind=D-印刷 --set done-from=991201 --pdf '" + db_.folder() +
                      "a.pdf'",
                  err),
              0)
        << err;
}

TEST_F(PrintReport, HelpAndTheOutputsThatGoTogether)
{
    std::string err, out;
    EXPECT_EQ(run("--help", err, &out), 0);
    EXPECT_NE(out.find("usage: print-report"), std::string::npos) << out;
    EXPECT_NE(out.find("--png adds the first page"), std::string::npos) << out;
    EXPECT_NE(out.find("alone, not with --pdf or --png"), std::string::npos) << out;
    // Every report it prints by name, with what each reads.
    for (const char* name :
         {"rpt外發單_印前_xp", "rpt外發單_印刷_xp", "rpt外發單_裁工_xp", "rpt外發單_其他_xp", "rpt不良分析1_工務預排",
          "rpt不良分析2_工務預排", "rpt不良分析_工務預排個人總表", "rpt產值分析表_印刷", "rpt產值分析表_印刷_1",
          "rpt產值分析表1", "rpt生產明細表", "frm產值分析明細轉Excel", "frm生產明細表轉Excel"})
        EXPECT_NE(out.find(std::string("    ") + name), std::string::npos) << name << "\n" << out;
    EXPECT_NE(out.find("rpt外發單_印前1_xp"), std::string::npos) << out;
    for (const char* param : {"number-from", "number-to", "schedule-from", "schedule-to", "vendor", "title-choice",
                              "no-customer", "origin=2", "po-from", "done-from", "done-to", "done-time-from",
                              "done-time-to", "po-to", "machine", "handler", "description", "kind", "choice=1",
                              "choice=2", "grouping=2"})
        EXPECT_NE(out.find(param), std::string::npos) << param;
    EXPECT_EQ(std::system((std::string(PRINT_REPORT) + " --help >/dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(run("--report frm生產明細表轉Excel --xlsx a.xlsx --png a.png", err), 2);
    EXPECT_NE(err.find("--png goes with --pdf only"), std::string::npos) << err;

    // The image cannot be written (a folder stands in its place): neither
    // the PDF nor the image is.
    const std::string pdf = db_.folder() + "o.pdf", png = db_.folder() + "o.png";
    std::filesystem::create_directories(png);
    EXPECT_EQ(run("--report rpt外發單_印刷_xp --set number-from=1131204001 --set kind=D-印刷 --pdf '" + pdf +
                      "' --png '" + png + "'",
                  err),
              1);
    EXPECT_NE(err.find("cannot write " + png), std::string::npos) << err;
    EXPECT_EQ(outputs(), std::vector<std::string>{"o.png"});
}

// Writes fail past 4 KiB (as on a full disk), or at once (/dev/full): the
// tool says so and exits 1, and the PDF written before is there, whole.
TEST_F(PrintReport, AFailedWriteIsAFailureAndKeepsTheEarlierPdf)
{
    const std::string pdf = db_.folder() + "o.pdf";
    const std::string args = "--report rpt外發單_印刷_xp --set number-from=1131204001 --set kind=D-印刷 --pdf ";
    std::string err;
    ASSERT_EQ(run(args + "'" + pdf + "'", err), 0) << err;
    const std::string earlier = read(pdf);
    ASSERT_GT(earlier.size(), 4096u);
    EXPECT_EQ(run(args + "'" + pdf + "'", err, nullptr, "trap '' XFSZ; ulimit -f 8"), 1);
    EXPECT_NE(err.find("cannot write " + pdf + ": 寫入失敗"), std::string::npos) << err;
    EXPECT_EQ(read(pdf), earlier);
    EXPECT_EQ(outputs(), std::vector<std::string>{"o.pdf"});
    EXPECT_EQ(run(args + "/dev/full", err), 1);
    EXPECT_NE(err.find("cannot write /dev/full"), std::string::npos) << err;
}

} // namespace
