// Renders an outsourcing order of a database into a PDF (and a PNG of its
// first page):
//   print-report --database PATH --report NAME [--set PARAM=VALUE]... --pdf OUT.pdf [--png OUT.png]
// Exits 1 with the reason when there is nothing to print, 2 on a usage error.
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
                 "%s\nusage: print-report --database PATH --report NAME [--set PARAM=VALUE]... --pdf OUT.pdf "
                 "[--png OUT.png]\n",
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
    const std::map<std::string, int*> numbers{{"grouping", &p.grouping}, {"origin", &p.origin}};
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

} // namespace

int main(int argc, char** argv)
{
    std::string database, reportName, pdf, png;
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
        else if (arg == "--set") {
            const auto eq = value.find('=');
            if (eq == std::string::npos || !setParam(params, value.substr(0, eq), value.substr(eq + 1)))
                return usage("bad parameter: " + value);
        } else
            return usage("unknown option: " + arg);
    }
    if (database.empty() || reportName.empty() || pdf.empty())
        return usage("--database, --report and --pdf are required");
    const auto layout = reports::orderLayoutByName(reportName);
    if (!layout)
        return usage("not an outsourcing order layout: " + reportName);

    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    try {
        Session s;
        s.ConnectionString = ConnectionStringFor(database);
        readCompanies(s);
        params.fillDefaults();
        if (!reports::hasOrderData(*layout, params, s)) {
            std::fprintf(stderr, "查無任何資料!\n");
            return 1;
        }
        const report::PageDocument doc = reports::outsourcingOrder(*layout, params, s);
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
