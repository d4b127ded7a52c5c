// Renders a report of a database into a PDF (and a PNG of its first page),
// or writes an analysis into an Excel workbook as the export windows do; the
// usage text below says how. Every output is written under a part name and
// renamed only when complete, so nothing is left or changed when it fails.
#include "printing/AnalysisTable.h"
#include "printing/ExportWindows.h"
#include "printing/PageRules.h"
#include "printing/PrintJob.h"
#include "platform/files/AtomicFile.h"
#include "platform/os/Host.h"
#include "production_export/core/ExcelExport.h"
#include "production_export/core/ValueListings.h"
#include "quality/core/DifferenceChart.h"
#include "quality/core/PrintingData.h"
#include "reports/OutsourcingOrder.h"

#include "app/core/DatabaseLocation.h"
#include "app/core/Session.h"
#include "db/ServerSchema.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/report/Render.h"
#include "platform/text/Text.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

using namespace qtmv;

namespace {

// The printing data listing's colour difference chart (its 色差圖).
constexpr const char* kColourChart = "印刷數據色差圖";

// The usage: the outputs, every report and workbook by name with the
// parameters it reads, and the exit status. The names come from the layouts
// themselves, so the list is the one the tool accepts.
std::string UsageText()
{
    std::string orders, singles;
    for (const ProcessKind& k : ProcessKinds()) {
        orders += "    " + reports::OrderLayoutName(k.id()) + "\n";
        singles += (singles.empty() ? "" : " ") + reports::OrderLayoutName(k.id(), true);
    }
    return "usage: print-report --database PATH --report NAME [--set PARAM=VALUE]... OUTPUT\n"
           "       print-report --help\n"
           "\n"
           "OUTPUT is one of:\n"
           "  --pdf OUT.pdf [--png OUT.png [--png-page N|last]]\n"
           "      a report of the first two lists below. --png adds a page (the\n"
           "      first unless --png-page names one; last: the analyses' closing\n"
           "      chart page) as an image and needs --pdf: the two are written\n"
           "      both or neither.\n"
           "  --xlsx OUT.xlsx\n"
           "      a workbook of the last list; alone, not with --pdf or --png.\n"
           "\n"
           "Outsourcing orders (--pdf), one per process kind:\n"
           + orders +
           "  read: number-from    the pre-schedule number printed; left out, the first\n"
           "                       number within the other ranges that has rows\n"
           "        number-to, schedule-from, schedule-to, vendor (part of a code)\n"
           "                       the ranges the number is looked for in\n"
           "        title-choice   2: titled \"<kind>委外加工單\"\n"
           "        no-customer    1: the customer is not printed\n"
           "  The one-row orders of the vendor windows (" + singles.substr(0, singles.find(' ')) + " and the\n"
           "  others of that form) print one row: --set origin=2 with number-from, number-to\n"
           "  (the row's sequence number) and po-from (its work order).\n"
           "\n"
           "Production analyses (--pdf):\n"
           "    " + reports::SummaryLayoutName(reports::SummaryLayout::ByKey) + ": per kind, machine and handler\n"
           "    " + reports::SummaryLayoutName(reports::SummaryLayout::ByDate) + ": per kind, machine and completion date\n"
           "    " + reports::SummaryLayoutName(reports::SummaryLayout::Personal) + ": per handler (kind not read)\n"
           "    " + production::ListingName(production::Listing::PrintingValue) + ": printing value (表1)\n"
           "    " + production::ListingName(production::Listing::PrintingOutput) + ": printing output per hour (表2)\n"
           "    " + production::ListingName(production::Listing::KindValue) + ": value of a kind, or of all\n"
           "    " + production::ListingName(production::Listing::ProductionDetail) + ": production detail\n"
           "  read: done-from, done-to, done-time-from, done-time-to (HHMM),\n"
           "        po-from, po-to (work orders), machine (part of its name; the\n"
           "        whole name for the first two), handler, description, kind (D-印刷)\n"
           "\n"
           "The printing data listing's chart (--pdf):\n"
           "    " + std::string(kColourChart) + ": the ΔE00 of one colour number by printing date\n"
           "  read: colour (the colour number, required), printed-from, printed-to\n"
           "        (printing dates)\n"
           "\n"
           "Workbooks (--xlsx), as the print page's export windows write them:\n"
           "    " + std::string(daily::printing::kValueExcelWindow) + ": choice=1 the value detail, choice=2 the\n"
           "        summary (its analysis table is built first under this workstation's\n"
           "        key; grouping=2 groups it by completion date)\n"
           "    " + std::string(daily::printing::kDetailExcelWindow) + ": the production detail\n"
           "  read: the analyses' parameters above\n"
           "\n"
           "Dates are yyymmdd, years counted from 1912 (1131204 is 2024-12-04); a\n"
           "range left open (0000000, 9999999 or left out) takes every date.\n"
           "\n"
           "Exit status: 0 written; 1 nothing to print or an output that cannot be\n"
           "written (the reason on standard error; no file is left or changed);\n"
           "2 wrong arguments.\n";
}

int Usage(const std::string& why)
{
    // The synopsis only: --help gives the rest.
    const std::string text = UsageText();
    std::fprintf(stderr, "print-report: %s\n%s(print-report --help says more)\n", why.c_str(),
                 text.substr(0, text.find("\n\n") + 1).c_str());
    return 2;
}

// Sets one print parameter; the reason when the name is unknown or the value
// is not a number or a date where one is wanted.
std::optional<std::string> SetParam(reports::PrintParams& p, const std::string& name, std::string value)
{
    static const std::set<std::string> dates{"schedule-from", "schedule-to", "done-from", "done-to"};
    // The print page's rule for its date fields (a two-digit year is
    // padded); the open ends the defaults stand for are dates too.
    if (dates.count(name) && !value.empty() && value != "0000000" && value != "9999999"
        && !daily::printing::NormaliseDate(value))
        return "--set " + name + "=" + value + ": not a date (yyymmdd, as 1131204)";
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
        return std::nullopt;
    }
    if (auto n = numbers.find(name); n != numbers.end()) {
        try {
            std::size_t used = 0;
            *n->second = std::stoi(value, &used);
            if (used == value.size())
                return std::nullopt;
        } catch (const std::exception&) {
        }
        return "--set " + name + "=" + value + ": not a number";
    }
    return "unknown parameter: " + name;
}

// The company titles as start-up reads them.
void ReadCompanies(Session& s)
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

// The first pre-schedule number within the ranges of p that has an order to
// print; "" when none has.
std::string FirstOrderNumber(const reports::OrderLayout& layout, const reports::PrintParams& p, const Session& s)
{
    std::set<std::string> numbers;
    {
        jet::Connection conn;
        conn.open(s.ConnectionString);
        jet::Recordset rs;
        for (rs.open(reports::CheckQuery(layout.kind, p), conn); !rs.eof(); rs.moveNext())
            numbers.insert(Trim(rs.text("ID")));
    }
    for (const std::string& number : numbers) {
        reports::PrintParams one = p;
        one.numberFrom = number;
        if (reports::HasOrderData(layout, one, s))
            return number;
    }
    return std::string();
}

// The print page's parameters for the same ranges, as the export window
// gets them.
daily::printing::PrintParams PageParams(const reports::PrintParams& r)
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

// A written file as the user finds it again: its full path.
std::string ShownPath(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

// Writes the export of the window name; 1 when nothing was found.
int WriteWorkbook(const std::string& window, const reports::PrintParams& r, const Session& s, const std::string& out)
{
    int choice = r.choice;
    if (window == daily::printing::kDetailExcelWindow) {
        if (choice != 0 && daily::printing::ExportWindowOfChoice(choice) != window)
            return Usage(window + " is choice 7");
        choice = 7;
    } else if (daily::printing::ExportWindowOfChoice(choice) != window) {
        return Usage(window + " needs --set choice=1 or --set choice=2");
    }
    const daily::printing::PrintParams p = PageParams(r);
    const std::string key = os::GetComputerName() + "\\" + os::GetWindowsUserName();
    if (choice == 2)
        daily::printing::BuildAnalysisTable(s.ConnectionString, p, key);
    const long long rows = production::ExportAnalysis(production::ExportOfChoice(choice), p, key, s.ConnectionString,
                                                       out, /*writeEmpty=*/false);
    if (rows == 0) {
        std::fprintf(stderr, "查無任何資料!\n");
        return 1;
    }
    std::printf("%s: %lld row(s)\n", ShownPath(out).c_str(), rows);
    return 0;
}

int CannotWrite(const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "print-report: cannot write %s: %s\n", path.c_str(), why.c_str());
    return 1;
}

// The page --png-page names: 1 and up, or "last" (0 here); nullopt for
// anything else.
std::optional<int> PageArgument(const std::string& value)
{
    if (value == "last")
        return 0;
    if (value.empty() || value.size() > 6 || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int page = std::stoi(value);
    return page > 0 ? std::optional<int>(page) : std::nullopt;
}

// The PDF and the image of one page (1-based, 0 the last), written both or
// neither.
int WritePages(const report::PageDocument& doc, files::AtomicFile& pdf, files::AtomicFile* png, int pngPage)
{
    const int pages = static_cast<int>(doc.pages.size());
    const int shown = pngPage == 0 ? pages : pngPage;
    if (png && shown > pages) {
        std::fprintf(stderr, "print-report: --png-page %d: the report has %d page(s)\n", shown, pages);
        return 1;
    }
    const QByteArray pdfBytes = report::PdfBytes(doc);
    if (pdfBytes.isEmpty())
        return CannotWrite(pdf.target(), "無法產生PDF");
    const QByteArray pngBytes = png ? report::PngBytes(doc, shown - 1, 150) : QByteArray();
    if (png && pngBytes.isEmpty())
        return CannotWrite(png->target(), "無法產生圖檔");
    std::vector<files::AtomicFile*> outputs{&pdf};
    if (png)
        outputs.push_back(png);
    try {
        pdf.write(std::string_view(pdfBytes.constData(), static_cast<std::size_t>(pdfBytes.size())));
        if (png)
            png->write(std::string_view(pngBytes.constData(), static_cast<std::size_t>(pngBytes.size())));
        files::AtomicFile::commitAll(outputs);
    } catch (const files::OutputError& e) {
        return CannotWrite(png ? pdf.target() + " and " + png->target() : pdf.target(), e.what());
    }
    std::printf("%s: %zu page(s)\n", ShownPath(pdf.target()).c_str(), doc.pages.size());
    if (png)
        std::printf("%s: page %d\n", ShownPath(png->target()).c_str(), shown);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        }
    jet::SetServerWriteLockKey(qtmv::db::kServerWriteLockKey);
    std::string database, reportName, pdf, png, xlsx;
    std::optional<int> pngPage;
    reports::PrintParams params;
    quality::ListingFilter listing;   // the colour chart's
    std::string listingParam;         // the first of its parameters given
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return Usage("missing value after " + arg);
        const std::string value = argv[++i];
        if (arg == "--database")
            database = value;
        else if (arg == "--report")
            reportName = value;
        else if (arg == "--pdf")
            pdf = value;
        else if (arg == "--png")
            png = value;
        else if (arg == "--png-page") {
            pngPage = PageArgument(value);
            if (!pngPage)
                return Usage("--png-page " + value + ": a page number from 1, or last");
        } else if (arg == "--xlsx")
            xlsx = value;
        else if (arg == "--set") {
            const auto eq = value.find('=');
            if (eq == std::string::npos)
                return Usage("bad parameter: " + value);
            const std::string name = value.substr(0, eq), v = value.substr(eq + 1);
            if ((name == "printed-from" || name == "printed-to" || name == "colour") && listingParam.empty())
                listingParam = name;
            if (name == "printed-from" || name == "printed-to") {
                const auto date = quality::PrintingDate(v);
                if (!date)
                    return Usage("--set " + value + ": not a date (yyymmdd, as 1131204)");
                (name == "printed-from" ? listing.dateFrom : listing.dateTo) = *date;
            } else if (name == "colour") {
                listing.colour = Trim(v);
            } else if (const auto why = SetParam(params, name, v)) {
                return Usage(*why);
            }
        } else
            return Usage("unknown option: " + arg);
    }
    if (database.empty() || reportName.empty() || pdf.empty() == xlsx.empty())
        return Usage("--database, --report and one of --pdf and --xlsx are required");
    if (!png.empty() && pdf.empty())
        return Usage("--png goes with --pdf only");
    if (pngPage && png.empty())
        return Usage("--png-page goes with --png only");
    if (!png.empty() && png == pdf)
        return Usage("--png and --pdf name the same file");
    const bool excelWindow = daily::printing::IsExportWindow(reportName);
    if (!xlsx.empty() && !excelWindow)
        return Usage("--xlsx needs frm產值分析明細轉Excel or frm生產明細表轉Excel");
    const auto layout = reports::OrderLayoutByName(reportName);
    const bool colourChart = reportName == kColourChart;
    if (xlsx.empty() && !layout && !colourChart && !production::IsAnalysisReport(reportName))
        return Usage("not a report layout: " + reportName);
    if (!colourChart && !listingParam.empty())
        return Usage("unknown parameter: " + listingParam + " (" + kColourChart + " only)");
    if (colourChart && listing.colour.empty())
        return Usage(std::string(kColourChart) + " needs --set colour=<colour number>");

    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    try {
        // The outputs are claimed first: a target that may not be replaced
        // is refused before any work. Unless committed, they leave nothing.
        std::optional<files::AtomicFile> pdfOut, pngOut;
        for (const auto& [path, out] : {std::pair{&pdf, &pdfOut}, std::pair{&png, &pngOut}}) {
            try {
                if (!path->empty())
                    out->emplace(*path);
            } catch (const files::OutputError& e) {
                return CannotWrite(*path, e.what());
            }
        }
        Session s;
        s.ConnectionString = ConnectionStringFor(database);
        ReadCompanies(s);
        params.fillDefaults();
        if (!xlsx.empty())
            return WriteWorkbook(reportName, params, s, xlsx);
        if (colourChart) {
            const report::DataTable rows = quality::LoadListing(s, listing);
            const auto targets = quality::LoadTargets(s);
            if (quality::DifferenceChart(rows, listing.colour, targets).categories.empty()) {
                std::fprintf(stderr, "查無任何資料!\n");
                return 1;
            }
            const report::PageDocument doc =
                quality::DifferenceChartReport(rows, listing.colour, targets, quality::ConditionsText(listing));
            return WritePages(doc, *pdfOut, pngOut ? &*pngOut : nullptr, pngPage.value_or(1));
        }
        if (layout && !layout->single && params.numberFrom.empty()) {
            params.numberFrom = FirstOrderNumber(*layout, params, s);
            if (!params.numberFrom.empty())
                std::printf("%s: number-from=%s\n", reportName.c_str(), params.numberFrom.c_str());
        }
        if (layout ? !reports::HasOrderData(*layout, params, s) : !production::HasAnalysisData(reportName, params, s)) {
            std::fprintf(stderr, "查無任何資料!\n");
            return 1;
        }
        const report::PageDocument doc = layout ? reports::OutsourcingOrder(*layout, params, s)
                                                : production::AnalysisReport(reportName, params, s);
        return WritePages(doc, *pdfOut, pngOut ? &*pngOut : nullptr, pngPage.value_or(1));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
