#include "db/testing/FreshDatabase.h"
#include "platform/workbook/testing/ReadWorkbook.h"
#include "reports/testing/ProductionData.h"

#include <QColor>
#include <QImage>

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
        database_ = db_.path();
    }
    // The tool's exit code on database_; its stderr goes to err_, its stdout
    // to out_. shell runs before it (a limit, say).
    int run(const std::string& args, const std::string& shell = "")
    {
        const std::string errFile = db_.folder() + "err.txt", outFile = db_.folder() + "out.txt";
        const std::string tool = std::string(PRINT_REPORT) + " --database '" + database_ + "' " + args + " 2>'" +
                                 errFile + "' >'" + outFile + "'";
        const int status = std::system((shell.empty() ? tool : "sh -c \"" + shell + "; exec " + tool + "\"").c_str());
        err_ = read(errFile);
        out_ = read(outFile);
        std::remove(errFile.c_str());
        std::remove(outFile.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Whether the tool exits with status, saying said on stderr.
    ::testing::AssertionResult exits(int status, const std::string& args, const std::string& said = "")
    {
        const int got = run(args);
        if (got == status && err_.find(said) != std::string::npos)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << args << "\nexit " << got << ", not " << status << " saying \"" << said
                                             << "\":\n" << err_;
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
    // The text of a written PDF, as pdftotext reads it.
    static std::string pdfText(const std::string& pdf)
    {
        const std::string txt = pdf + ".txt";
        EXPECT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0) << pdf;
        const std::string text = read(txt);
        std::remove(txt.c_str());
        return text;
    }

    FreshDatabase db_;
    std::string database_, err_, out_;
};

// Without a number the order of the first pre-schedule number within the
// ranges that has rows is printed, as a PDF and its first page as an image;
// the tool says which number, and where it wrote as full paths. Writes that
// fail past 4 KiB (as on a full disk), or at once (/dev/full), or an image
// that cannot be written (a folder stands in its place) are failures that
// say so: the PDF written before is there, whole, and nothing else is left.
TEST_F(PrintReport, TheFirstOrderAsPdfAndPngAndAFailedWriteKeepsWhatWasThere)
{
    db_.exec("insert into 預排資料 (ID, [DATE]) values ('1131203001', '1131203')");   // no printing rows
    db_.exec("insert into 預排資料 (ID, [DATE]) values ('1131205001', '1131205')");
    db_.exec("insert into PWORK (PO, CUST, [DESC]) values ('1131200002', 'C001', '月曆')");
    db_.exec("insert into PRINTING_S (ID, INO, PO, [NO], VENDER, QTY, PRICE, AMT, 順序) values "
             "('1131205001', 1, '1131200002', 1, 'V01', 500, 2, 1000, '1')");
    const std::string pdf = db_.folder() + "o.pdf", png = db_.folder() + "o.png";
    ASSERT_TRUE(exits(0, "--report rpt外發單_印刷_xp --pdf '" + pdf + "' --png '" + png + "'"));
    EXPECT_EQ(out_, "rpt外發單_印刷_xp: number-from=1131204001\n" + pdf + ": 1 page(s)\n" + png + ": page 1\n");
    const std::string text = pdfText(pdf);
    for (const char* w : {"朗瑜彩色印刷", "印刷外發單", "RM-04-011", "聿禾紙業", "大華食品", "彩色型錄", "2,100"})
        EXPECT_NE(text.find(w), std::string::npos) << w;
    EXPECT_EQ(text.find("月曆"), std::string::npos);
    EXPECT_FALSE(read(png).empty());
    ASSERT_TRUE(exits(0, "--report rpt外發單_印刷_xp --set schedule-from=1131205 --pdf '" + pdf + "'"));
    EXPECT_EQ(out_.rfind("rpt外發單_印刷_xp: number-from=1131205001\n", 0), 0u) << out_;
    EXPECT_TRUE(exits(1, "--report rpt外發單_印刷_xp --set schedule-from=1131206 --pdf '" + pdf + "'", "查無任何資料!"));

    const std::string order = "--report rpt外發單_印刷_xp --set number-from=1131204001 --set kind=D-印刷 ";
    const std::string earlier = read(pdf);
    ASSERT_GT(earlier.size(), 4096u);
    EXPECT_EQ(run(order + "--pdf '" + pdf + "'", "trap '' XFSZ; ulimit -f 8"), 1);
    EXPECT_NE(err_.find("cannot write " + pdf + ": 寫入失敗"), std::string::npos) << err_;
    EXPECT_EQ(read(pdf), earlier);
    EXPECT_EQ(outputs(), (std::vector<std::string>{"o.pdf", "o.png"}));
    EXPECT_TRUE(exits(1, order + "--pdf /dev/full", "cannot write /dev/full"));

    std::filesystem::remove(pdf);
    std::filesystem::remove(png);
    std::filesystem::create_directories(png);
    EXPECT_TRUE(exits(1, order + "--pdf '" + pdf + "' --png '" + png + "'", "cannot write " + png));
    EXPECT_EQ(outputs(), std::vector<std::string>{"o.png"});
}

// The README's examples on the demo plant as scripts/run-demo.sh writes it
// (dated today, so no fixed pre-schedule number is in it): each one writes.
TEST_F(PrintReport, TheReadmeExamplesPrintOnTheDemoPlant)
{
    const std::string folder = db_.folder() + "demo/";
    std::filesystem::create_directories(folder);
    database_ = folder + "QTMV.mdb";
    ASSERT_EQ(std::system((std::string(DEMO_DB) + " '" + database_ + "' >/dev/null").c_str()), 0);
    ASSERT_TRUE(exits(0, "--report rpt外發單_印刷_xp --pdf '" + folder + "order.pdf' --png '" + folder + "order.png'"));
    ASSERT_TRUE(exits(0, "--report rpt不良分析1_工務預排 --set kind=D-印刷 --set done-from=1131201 --pdf '" + folder +
                             "analysis.pdf'"));
    const std::string analysis = pdfText(folder + "analysis.pdf");
    // The open end of the completion range reads as open.
    EXPECT_NE(analysis.find("113/12/01 起"), std::string::npos) << analysis;
    EXPECT_EQ(analysis.find("9999999"), std::string::npos) << analysis;
    ASSERT_TRUE(exits(0, "--report frm產值分析明細轉Excel --set choice=2 --xlsx '" + folder + "summary.xlsx'"));
    EXPECT_FALSE(qtmv::xlsx::testing::ReadWorkbook(folder + "summary.xlsx").empty());

    // The chart page, on the demo plant of the README's date.
    database_ = folder + "dated.mdb";
    ASSERT_EQ(std::system((std::string(DEMO_DB) + " --date 2026-12-08 '" + database_ + "' >/dev/null").c_str()), 0);
    ASSERT_TRUE(exits(0, "--report rpt不良分析1_工務預排 --set done-from=1151101 --set done-to=1151130 --pdf '" + folder
                             + "a.pdf' --png '" + folder + "machines.png' --png-page last"));
    ASSERT_TRUE(exits(0, "--report 印刷數據色差圖 --set colour=C --pdf '" + folder + "c.pdf' --png '" + folder + "c.png'"));
}

TEST_F(PrintReport, AnalysesAsPdfAndWorkbooksClosingWithTheChartPage)
{
    qtmv::reports::test::SeedProduction(db_);
    const std::string pdf = db_.folder() + "a.pdf", xlsx = db_.folder() + "a.xlsx";
    // The print page's two-digit year is padded, as the page pads it: from
    // 0991201, every line.
    ASSERT_TRUE(exits(0, "--report rpt不良分析1_工務預排 --set kind=D-印刷 --set done-from=991201 --pdf '" + pdf + "'"));
    const std::string text = pdfText(pdf);
    for (const char* w : {"產能及不良分析", "海德堡二號", "2,575"})
        EXPECT_NE(text.find(w), std::string::npos) << w;

    // Choice 2 builds the analysis table first (without it nothing is
    // exported), then groups it: the kind's sheet first. The table's rows
    // and the sheets are the analysis table's and the export's own tests.
    ASSERT_TRUE(exits(0, "--report frm產值分析明細轉Excel --set choice=2 --set kind=J-裝訂 --xlsx '" + xlsx + "'"));
    const auto sheets = qtmv::xlsx::testing::ReadWorkbook(xlsx);
    ASSERT_FALSE(sheets.empty());
    EXPECT_EQ(sheets[0].name, "J-裝訂");

    // The analyses close with a chart page: in the PDF, and as the image when
    // --png-page names it; a page past the end writes nothing.
    const std::string folder = db_.folder(), first = folder + "first.png", last = folder + "last.png";
    const std::string report = "--report rpt不良分析1_工務預排 --set done-from=1131201 --pdf '" + pdf + "' ";
    ASSERT_TRUE(exits(0, report + "--png '" + last + "' --png-page last"));
    const std::string chart = pdfText(pdf);
    for (const char* w : {"各車別產值及不良率", "不良率(%)", "海德堡二號"})
        EXPECT_NE(chart.find(w), std::string::npos) << w;
    unsigned pages = 0;
    ASSERT_EQ(std::sscanf(out_.substr(out_.find("a.pdf: ")).c_str(), "a.pdf: %u page", &pages), 1) << out_;
    EXPECT_GE(pages, 2u);
    EXPECT_NE(out_.find("last.png: page " + std::to_string(pages)), std::string::npos) << out_;
    ASSERT_TRUE(exits(0, report + "--png '" + first + "'"));
    // Only the chart is in colour: its bars and line.
    auto coloured = [](const std::string& png) {
        const QImage img(QString::fromStdString(png));
        EXPECT_FALSE(img.isNull()) << png;
        long n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                n += std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 40;
            }
        return n;
    };
    EXPECT_GT(coloured(last), 1000);
    EXPECT_EQ(coloured(first), 0);

    for (const std::string& f : {pdf, xlsx, first, last})
        std::filesystem::remove(f);
    EXPECT_TRUE(exits(1, report + "--png '" + last + "' --png-page " + std::to_string(pages + 1), "the report has"));
    EXPECT_TRUE(exits(2, report + "--png '" + last + "' --png-page 0", "--png-page 0"));
    EXPECT_TRUE(outputs().empty());
}

// The printing data listing's chart of one colour number: its dates, its
// tolerance; a colour number without lines prints nothing, none is refused.
TEST_F(PrintReport, TheColourDifferenceChartOfOneColourNumberAndTheHelpNamingEveryReport)
{
    db_.exec("insert into [色號目標值] (色號, L, A, B, 容許色差) values ('C', 55, -37, -50, 3.5)");
    db_.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號, 測量1, 測量2, 測量3, 印刷日期) values "
             "('D-印刷', '1131200001', 1, 1, 'c', '56', '-36', '-51', '1131202'), "
             "('D-印刷', '1131200001', 1, 2, 'C', '60', '-30', '-45', '1131204'), "
             "('D-印刷', '1131200001', 1, 3, 'C', '60', '-30', '-45', '1131206')");
    const std::string pdf = db_.folder() + "c.pdf";
    ASSERT_TRUE(exits(0, "--report 印刷數據色差圖 --set colour=C --set printed-to=1131205 --pdf '" + pdf + "'"));
    const std::string text = pdfText(pdf);
    for (const char* w : {"色號 C 色差", "容許色差 3.50", "113/12/02", "113/12/04"})
        EXPECT_NE(text.find(w), std::string::npos) << w << "\n" << text;
    EXPECT_EQ(text.find("113/12/06"), std::string::npos) << text;
    std::filesystem::remove(pdf);
    EXPECT_TRUE(exits(1, "--report 印刷數據色差圖 --set colour=Y --pdf '" + pdf + "'", "查無任何資料"));
    EXPECT_TRUE(exits(2, "--report 印刷數據色差圖 --pdf '" + pdf + "'", "needs --set colour"));
    EXPECT_TRUE(exits(2, "--report 印刷數據色差圖 --set colour=C --set printed-to=1131345 --pdf '" + pdf + "'",
                      "printed-to=1131345"));
    EXPECT_TRUE(outputs().empty());

    // The help names every report.
    ASSERT_TRUE(exits(0, "--help"));
    for (const char* name :
         {"rpt外發單_印前_xp", "rpt外發單_印刷_xp", "rpt外發單_裁工_xp", "rpt外發單_其他_xp", "rpt不良分析1_工務預排",
          "rpt不良分析2_工務預排", "rpt不良分析_工務預排個人總表", "rpt產值分析表_印刷", "rpt產值分析表_印刷_1",
          "rpt產值分析表1", "rpt生產明細表", "印刷數據色差圖", "frm產值分析明細轉Excel", "frm生產明細表轉Excel"})
        EXPECT_NE(out_.find(std::string("    ") + name), std::string::npos) << name << "\n" << out_;
    EXPECT_NE(out_.find("usage: print-report"), std::string::npos) << out_;
}

// Nothing to print (1) and wrong arguments (2) write nothing, and a workbook
// already there stays as it was; a date that is no date is refused naming
// its parameter.
TEST_F(PrintReport, NothingToPrintAndBadArgumentsFailWritingNothing)
{
    qtmv::reports::test::SeedProduction(db_);
    const std::string pdf = " --pdf '" + db_.folder() + "a.pdf'", xlsx = " --xlsx '" + db_.folder() + "a.xlsx'";
    struct Case {
        std::string args;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {"--report rpt外發單_印刷_xp --set number-from=1131299999" + pdf, 1, "查無任何資料!"},
        {"--report rpt生產明細表 --set kind=K-刀模" + pdf, 1, "查無任何資料!"},
        {"--report frm生產明細表轉Excel --set kind=K-刀模" + xlsx, 1, "查無任何資料!"},
        {"--report frm產值分析明細轉Excel --set choice=1 --set kind=K-刀模" + xlsx, 1, "查無任何資料!"},
        {"--report rpt其他表" + pdf, 2, ""},
        {"--report rpt外發單_印刷_xp --set colour=red" + pdf, 2, ""},
        {"--report rpt外發單_印刷_xp --set origin=x" + pdf, 2, ""},
        {"--report frm產值分析明細轉Excel --set choice=7" + xlsx, 2, ""},
        {"--report rpt不良分析1_工務預排" + xlsx, 2, ""},
        {"--report frm生產明細表轉Excel --png '" + db_.folder() + "a.png'" + xlsx, 2, "--png goes with --pdf only"},
        {"--report rpt生產明細表 --set done-from=1139999" + pdf, 2, "--set done-from=1139999: not a date"},
        {"--report rpt生產明細表 --set schedule-to=abc" + pdf, 2, "--set schedule-to=abc: not a date"},
        {"--report rpt生產明細表 --set done-to=1130230" + pdf, 2, "--set done-to=1130230: not a date"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(exits(c.status, c.args, c.said));
    const std::string kept = db_.folder() + "kept.xlsx";
    std::ofstream(kept) << "kept";
    EXPECT_TRUE(exits(1, "--report frm產值分析明細轉Excel --set choice=2 --set kind=K-刀模 --xlsx '" + kept + "'"));
    EXPECT_EQ(read(kept), "kept");
    EXPECT_EQ(outputs(), std::vector<std::string>{"kept.xlsx"});
}

} // namespace
