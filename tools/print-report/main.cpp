// Renders a report of a database into a PDF (and a PNG of its first page),
// or writes an analysis into an Excel workbook as the export windows do:
//   print-report --database PATH --report NAME [--set PARAM=VALUE]... --pdf OUT.pdf [--png OUT.png]
//   print-report --database PATH --report frm產值分析明細轉Excel --set choice=1|2 --xlsx OUT.xlsx
//   print-report --database PATH --report frm生產明細表轉Excel --xlsx OUT.xlsx
// NAME: an outsourcing order (rpt外發單_..._xp) or an analysis layout. For
// choice 2 the analysis table is built first, under this workstation's key.
// Exits 1 with the reason when there is nothing to print, 2 on a usage error.
#include "daily_report/printing/AnalysisTable.h"
#include "daily_report/printing/PrintJob.h"
#include "platform/os/Host.h"
#include "production_export/core/ExcelExport.h"
#include "production_export/core/ValueListings.h"
#include "reports/OutsourcingOrder.h"

#include "app/core/DatabaseLocation.h"
#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/report/Render.h"
#include "platform/text/Text.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <string>

using namespace qtmv;

namespace {

int usage(const std::string& why)
{
    std::fprintf(stderr,
                 "%s\nusage: print-report --database PATH --report NAME [--set PARAM=VALUE]... "
                 "(--pdf OUT.pdf [--png OUT.png] | --xlsx OUT.xlsx)\n",
                 why.c_str());
    return 2;
}

// Sets one print parameter; false for an unknown name or a bad number.
bool setParam(reports::PrintParams& p, const std::string& name, const std::string& value)
{
    const std::map<std::string, std::string*> texts{
        {"schedule-from", &p.scheduleFrom}, {"schedule-to", &p.scheduleTo},   {"number-from", &p.numberFrom},
        {"number-to", &p.numberTo},         {"done-from", &p.doneFrom},       {"done-time-from", &p.doneTimeFrom},
        {"done-to", &p.doneTo},             {"done-time-to", &p.doneTimeTo},  {"po-from", &p.poFrom},
        {"po-to", &p.poTo},                 {"machine", &p.machine},          {"handler", &p.handler},
        {"description", &p.description},    {"vendor", &p.vendor},            {"kind", &p.kind},
        {"no-customer", &p.noCustomer},     {"title-choice", &p.titleChoice}};
    const std::map<std::string, int*> numbers{
        {"grouping", &p.grouping}, {"origin", &p.origin}, {"choice", &p.choice}};
    if (auto t = texts.find(name); t != texts.end()) {
        *t->second = value;
        return true;
    }
    if (auto n = numbers.find(name); n != numbers.end()) {
        try {
            std::size_t used = 0;
            *n->second = std::stoi(value, &used);
            return used == value.size();
        } catch (const std::exception&) {
            return false;
        }
    }
    return false;
}

// The company titles as start-up reads them.
void readCompanies(Session& s)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    const std::pair<const char*, std::string*> tables[] = {
        {"select * from [COMPANY] ", &s.CompanyName},
        {"select * from [COMPANY1] ", &s.CompanyName1},
        {"select * from [COMPANY2] ", &s.CompanyName2}};
    for (const auto& [sql, target] : tables) {
        jet::Recordset rs;
        rs.open(sql, conn);
        if (!rs.eof())
            *target = rs.text("COMPANY");
    }
}

// The print page's parameters for the same ranges, as the export window
// gets them.
daily::printing::PrintParams pageParams(const reports::PrintParams& r)
{
    daily::printing::PageInput in;
    in.ranges[4] = r.doneFrom;
    in.ranges[5] = r.doneTimeFrom;
    in.ranges[6] = r.doneTo;
    in.ranges[7] = r.doneTimeTo;
    in.ranges[8] = r.poFrom;
    in.ranges[9] = r.poTo;
    in.ranges[10] = r.handler;
    in.ranges[11] = r.description;
    in.machineGroup = r.machine;
    in.kind = r.kind;
    in.choice = r.choice;
    in.groupByCompletion = r.grouping == 2;
    return daily::printing::FillParams(in);
}

// Writes the export of the window name; 1 when nothing was found.
int writeWorkbook(const std::string& window, const reports::PrintParams& r, const Session& s, const std::string& out)
{
    int choice = r.choice;
    if (window == "frm生產明細表轉Excel") {
        if (choice != 0 && choice != 7)
            return usage(window + " is choice 7");
        choice = 7;
    } else if (choice != 1 && choice != 2) {
        return usage(window + " needs --set choice=1 or --set choice=2");
    }
    const daily::printing::PrintParams p = pageParams(r);
    const std::string key = os::GetComputerName() + "\\" + os::GetWindowsUserName();
    if (choice == 2)
        daily::printing::BuildAnalysisTable(s.ConnectionString, p, key);
    const long long rows =
        production::exportAnalysis(production::exportOfChoice(choice), p, key, s.ConnectionString, out);
    if (rows == 0) {
        std::fprintf(stderr, "查無任何資料!\n");
        return 1;
    }
    std::printf("%s: %lld row(s)\n", out.c_str(), rows);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string database, reportName, pdf, png, xlsx;
    reports::PrintParams params;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return usage("missing value after " + arg);
        const std::string value = argv[++i];
        if (arg == "--database")
            database = value;
        else if (arg == "--report")
            reportName = value;
        else if (arg == "--pdf")
            pdf = value;
        else if (arg == "--png")
            png = value;
        else if (arg == "--xlsx")
            xlsx = value;
        else if (arg == "--set") {
            const auto eq = value.find('=');
            if (eq == std::string::npos || !setParam(params, value.substr(0, eq), value.substr(eq + 1)))
                return usage("bad parameter: " + value);
        } else
            return usage("unknown option: " + arg);
    }
    if (database.empty() || reportName.empty() || pdf.empty() == xlsx.empty())
        return usage("--database, --report and one of --pdf and --xlsx are required");
    const bool excelWindow = reportName == "frm產值分析明細轉Excel" || reportName == "frm生產明細表轉Excel";
    if (!xlsx.empty() && !excelWindow)
        return usage("--xlsx needs frm產值分析明細轉Excel or frm生產明細表轉Excel");
    const auto layout = reports::orderLayoutByName(reportName);
    if (xlsx.empty() && !layout && !production::isAnalysisReport(reportName))
        return usage("not a report layout: " + reportName);

    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    try {
        Session s;
        s.ConnectionString = ConnectionStringFor(database);
        readCompanies(s);
        params.fillDefaults();
        if (!xlsx.empty())
            return writeWorkbook(reportName, params, s, xlsx);
        if (layout ? !reports::hasOrderData(*layout, params, s) : !production::hasAnalysisData(reportName, params, s)) {
            std::fprintf(stderr, "查無任何資料!\n");
            return 1;
        }
        const report::PageDocument doc = layout ? reports::outsourcingOrder(*layout, params, s)
                                                : production::analysisReport(reportName, params, s);
        if (!report::writePdf(doc, QString::fromStdString(pdf))) {
            std::fprintf(stderr, "cannot write %s\n", pdf.c_str());
            return 1;
        }
        if (!png.empty() && !report::renderPageImage(doc, 0, 150).save(QString::fromStdString(png))) {
            std::fprintf(stderr, "cannot write %s\n", png.c_str());
            return 1;
        }
        std::printf("%s: %zu page(s)\n", pdf.c_str(), doc.pages.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
