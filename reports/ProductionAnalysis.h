#pragma once
// The production records of [不良分析4] as the analyses read them: their
// queries from the print parameters, and per record the minutes, the
// deviation from the machine's standard output and the production value
// priced from the record's work-order process line. No Qt widgets.
#include "reports/OutsourcingOrder.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace jet {
class Connection;
class Recordset;
}

namespace qtmv::reports {

// ---- The production value rule ------------------------------------------

// What prices a record: its work-order process line (the kind's detail
// table, same PO and [NO]).
struct LineFigures {
    double qty1 = 0, qty = 0, plat = 0, amt = 0, price = 0;
};

// The unit price of a record of kind (display name, "D-印刷"):
// printing AMT / QTY1 (/ PLAT when PLAT is not 0), 0 when QTY1 is 0;
// cutting AMT / QTY (/ PLAT when not 0) and binding AMT / QTY, each 0 when
// QTY is 0; every other kind PRICE. Rounded once to the kind's places
// (UnitPriceDecimals). Every analysis prices with it, printed or exported,
// and so does the analysis table, so their values agree.
double UnitPrice(const std::string& kind, const LineFigures& line);
// The places a unit price is rounded to, by kind: 4 for prepress, paper,
// gluing, binding; 3 for varnishing, mounting, die-cutting, hot-foil; 2 for
// the others.
int UnitPriceDecimals(const std::string& kind);
// Completed quantity × unit price rounded to a whole number, and never more
// than the line's amount.
double ProductionValue(double completed, double unitPrice, double amount);
// Hours as whole minutes.
double MinutesOf(double hours);
// Standard minutes minus actual minutes, whole; minus the minutes when the
// machine has no standard output per hour.
double Deviation(double completed, double standardPerHour, double minutes);

// Process lines read once per work-order line of a kind.
class LinePrices {
public:
    explicit LinePrices(jet::Connection& conn) : conn_(conn) {}
    // nullopt when the kind has no detail table or the line does not exist.
    std::optional<LineFigures> find(const std::string& kind, const std::string& po, double no);
    // Reads the lines of many records at once, a few hundred work orders a
    // statement: one statement per line would cost more than the analysis.
    void prefetch(const std::vector<std::pair<std::string, std::string>>& kindAndPo);

private:
    static std::string key(const std::string& kind, const std::string& po, double no);
    static LineFigures figures(const jet::Recordset& rs);
    jet::Connection& conn_;
    std::map<std::string, std::optional<LineFigures>> cache_;
    std::map<std::string, bool> fetched_; // kind and PO read by prefetch
};

// ---- Queries ---------------------------------------------------------------

// The condition on [不良分析4] every analysis shares (machine group as a
// "like" pattern), from "select * " up to "結束1 <> '' ".
std::string AnalysisCondition(const PrintParams& p);
// The production value and detail listings: the condition, the kind when
// one is chosen, ordered by production key, handler and time.
std::string ListingQuery(const PrintParams& p);

enum class SummaryLayout { ByKey, ByDate, Personal };
// rpt不良分析1_工務預排, rpt不良分析2_工務預排, rpt不良分析_工務預排個人總表;
// nullopt for other names.
std::optional<SummaryLayout> SummaryLayoutByName(const std::string& name);
std::string SummaryLayoutName(SummaryLayout l);
// The summary layout's own query.
std::string SummaryQuery(SummaryLayout l, const PrintParams& p);

// ---- Records -------------------------------------------------------------

struct ProductionRecord {
    std::string kind, machine, handlerId, handler, po, endDate, start, end, remark, product, pkey, pkey1;
    double no = 0;
    double completed = 0, hours = 0, defects = 0, standardPerHour = 0;
    double minutes = 0, deviation = 0;
    bool priced = false;                  // the process line exists
    double unitPrice = 0, value = 0;
};

// Reads the records of a query on [不良分析4] and works out their figures.
// Data errors throw.
std::vector<ProductionRecord> ReadRecords(jet::Connection& conn, const std::string& sql);

// Defects per completed × 100, to 2 places; nullopt when nothing was
// completed.
std::optional<double> DefectRate(double defects, double completed);

// Sums over records.
struct Totals {
    long long count = 0;
    double completed = 0, minutes = 0, deviation = 0, defects = 0, value = 0;
    void add(const ProductionRecord& r);
    // Defects per completed × 100; nullopt when nothing was completed.
    std::optional<double> defectRate() const;
};

} // namespace qtmv::reports
