#include "production_export/core/ValueListings.h"

#include "app/core/Session.h"
#include "common/NumberFormat.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "reports/AnalysisLayout.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <unordered_map>

namespace qtmv::production {

using namespace qtmv::report;
using reports::ProductionRecord;
using reports::Totals;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Amount(double v) { return reports::AmountText(v); }
QString TimeOf(const std::string& rocDateTime)
{
    // "yyymmddHHMM" as "12/04 08:30".
    if (rocDateTime.size() != 11)
        return Q(rocDateTime);
    return Q(rocDateTime.substr(3, 2) + "/" + rocDateTime.substr(5, 2) + " " + rocDateTime.substr(7, 2) + ":"
             + rocDateTime.substr(9, 2));
}

// A column: its caption and place, the record's cell, and the subtotal's
// cell (none when the column is not totalled).
struct Column {
    reports::AnalysisColumn place;
    std::function<QString(const ProductionRecord&)> cell;
    std::function<QString(const Totals&)> total;
};

// Columns stand one after another from the left margin, so a column gives
// only its width; columnsOf places them.
Column Col(const char* caption, double w, Align a, std::function<QString(const ProductionRecord&)> cell,
           std::function<QString(const Totals&)> total = {})
{
    return {{caption, 0, w, a}, std::move(cell), std::move(total)};
}

std::vector<Column> Placed(std::vector<Column> cols)
{
    double x = 0;
    for (Column& c : cols) {
        c.place.x = x;
        x += c.place.w;
    }
    return cols;
}

const auto kCount = [](const Totals& t) { return Amount(static_cast<double>(t.count)) + " 筆"; };
const auto kCompleted = [](const Totals& t) { return Amount(t.completed); };
const auto kMinutes = [](const Totals& t) { return Amount(t.minutes); };
const auto kDefects = [](const Totals& t) { return Amount(t.defects); };
const auto kValue = [](const Totals& t) { return Amount(t.value); };
const auto kValuePerHour = [](const Totals& t) { return Amount(PerHour(t.value, t.minutes)); };
const auto kOutputPerHour = [](const Totals& t) { return Amount(PerHour(t.completed, t.minutes)); };
const auto kRate = [](const Totals& t) { return reports::RateText(t.defectRate()); };
const auto kDeviation = [](const Totals& t) { return reports::DeviationText(t.deviation); };

std::vector<Column> ColumnsOf(Listing l)
{
    auto date = [](const ProductionRecord& r) { return reports::SlashedDate(r.endDate); };
    auto po = [](const ProductionRecord& r) { return Q(r.po); };
    auto no = [](const ProductionRecord& r) { return Amount(r.no); };
    auto product = [](const ProductionRecord& r) { return Q(r.product); };
    auto remark = [](const ProductionRecord& r) { return Q(r.remark); };
    auto completed = [](const ProductionRecord& r) { return Amount(r.completed); };
    auto minutes = [](const ProductionRecord& r) { return Amount(r.minutes); };
    auto defects = [](const ProductionRecord& r) { return Amount(r.defects); };
    auto price = [](const ProductionRecord& r) { return r.priced ? Amount(r.unitPrice) : QString(); };
    auto value = [](const ProductionRecord& r) { return Amount(r.value); };
    auto standard = [](const ProductionRecord& r) { return Amount(r.standardPerHour); };
    auto actual = [](const ProductionRecord& r) { return Amount(PerHour(r.completed, r.minutes)); };
    auto deviation = [](const ProductionRecord& r) { return reports::DeviationText(r.deviation); };
    auto valuePerHour = [](const ProductionRecord& r) { return Amount(PerHour(r.value, r.minutes)); };
    auto defectRate = [](const ProductionRecord& r) { Totals t; t.add(r); return reports::RateText(t.defectRate()); };
    switch (l) {
    case Listing::PrintingValue:
    case Listing::KindValue: {
        // The two value listings differ in the remark column and the widths.
        const bool byKind = l == Listing::KindValue;
        std::vector<Column> cols = {Col("完成日期", 18, Align::Center, date), Col("工單單號", 22, Align::Left, po),
                                    Col("序", 8, Align::Right, no),
                                    Col("印件名稱", byKind ? 30 : 42, Align::Left, product)};
        if (byKind)
            cols.push_back(Col("製作說明", 22, Align::Left, remark));
        cols.insert(cols.end(), {Col("完成數", 18, Align::Right, completed, kCompleted),
                                 Col("耗時(分)", byKind ? 14 : 16, Align::Right, minutes, kMinutes),
                                 Col("不良數", 14, Align::Right, defects, kDefects), Col("單價", 14, Align::Right, price),
                                 Col("產值", byKind ? 16 : 20, Align::Right, value, kValue),
                                 Col("每時產值", byKind ? 14 : 18, Align::Right, valuePerHour, kValuePerHour)});
        return Placed(std::move(cols));
    }
    case Listing::PrintingOutput:
        return Placed({Col("完成日期", 18, Align::Center, date), Col("工單單號", 22, Align::Left, po),
                       Col("印件名稱", 34, Align::Left, product), Col("完成數", 18, Align::Right, completed, kCompleted),
                       Col("耗時(分)", 15, Align::Right, minutes, kMinutes), Col("時標準量", 15, Align::Right, standard),
                       Col("實際時產量", 16, Align::Right, actual, kOutputPerHour),
                       Col("差異(分)", 14, Align::Right, deviation, kDeviation),
                       Col("不良數", 12, Align::Right, defects, kDefects),
                       Col("不良率", 10, Align::Right, defectRate, kRate), Col("產值", 16, Align::Right, value, kValue)});
    case Listing::ProductionDetail:
        break;
    }
    return Placed({Col("開始", 17, Align::Left, [](const ProductionRecord& r) { return TimeOf(r.start); }),
                   Col("結束", 17, Align::Left, [](const ProductionRecord& r) { return TimeOf(r.end); }),
                   Col("工單單號", 20, Align::Left, po), Col("序", 6, Align::Right, no),
                   Col("印件名稱", 30, Align::Left, product), Col("製作說明", 18, Align::Left, remark),
                   Col("完成數", 16, Align::Right, completed, kCompleted),
                   Col("耗時(分)", 13, Align::Right, minutes, kMinutes), Col("時標準量", 13, Align::Right, standard),
                   Col("實際時產量", 14, Align::Right, actual, kOutputPerHour),
                   Col("不良數", 10, Align::Right, defects, kDefects), Col("產值", 16, Align::Right, value, kValue)});
}

const char* TitleOf(Listing l)
{
    switch (l) {
    case Listing::PrintingValue: return "印刷產值分析表(表1)";
    case Listing::PrintingOutput: return "印刷產值分析表(表2)";
    case Listing::KindValue: return "產值分析表";
    case Listing::ProductionDetail: break;
    }
    return "生產明細表";
}

struct Data {
    std::vector<ProductionRecord> records;
    std::unordered_map<std::string, Totals> machines, operators;
    Totals all;
};

std::string MachineKey(const ProductionRecord& r) { return r.kind + '|' + r.machine; }
std::string OperatorKey(const ProductionRecord& r) { return MachineKey(r) + '|' + r.handlerId; }

} // namespace

double PerHour(double quantity, double minutes)
{
    return minutes > 0 ? RoundNumber(quantity / minutes * 60, 0) : 0;
}

std::optional<Listing> ListingByName(const std::string& layoutName)
{
    for (Listing l : {Listing::PrintingValue, Listing::PrintingOutput, Listing::KindValue, Listing::ProductionDetail})
        if (layoutName == ListingName(l))
            return l;
    return std::nullopt;
}

std::string ListingName(Listing l)
{
    switch (l) {
    case Listing::PrintingValue: return "rpt產值分析表_印刷";
    case Listing::PrintingOutput: return "rpt產值分析表_印刷_1";
    case Listing::KindValue: return "rpt產值分析表1";
    case Listing::ProductionDetail: break;
    }
    return "rpt生產明細表";
}

PageDocument ValueListing(Listing l, const std::vector<ProductionRecord>& records, const reports::PrintParams& p,
                          const QString& company, const Progress& progress)
{
    auto data = std::make_shared<Data>();
    data->records = records;
    DataTable rows({"R"});
    for (std::size_t i = 0; i < records.size(); ++i) {
        data->machines[MachineKey(records[i])].add(records[i]);
        data->operators[OperatorKey(records[i])].add(records[i]);
        data->all.add(records[i]);
        rows.addRow({Value(static_cast<long long>(i))});
    }
    auto record = [data](const RowView& row) -> const ProductionRecord& {
        return data->records[static_cast<std::size_t>(*row.value("R").integerIf())];
    };

    const std::vector<Column> cols = ColumnsOf(l);
    std::vector<reports::AnalysisColumn> places;
    for (const Column& c : cols)
        places.push_back(c.place);

    const Font bold{kMingFamily, 9, true};
    // The label of a total line, with its count, over the first columns
    // (none of which is totalled).
    auto label = [&](std::vector<Item>& items, double y, std::function<QString(const RowView&)> text) {
        items.push_back(Item::computed({0.5, y, cols[0].place.w + cols[1].place.w + cols[2].place.w - 1,
                                        reports::kAnalysisLine - 0.5},
                                       [text](const FormatContext& c) { return text(c.row); }, Align::Left, bold));
    };

    Layout layout;
    layout.pageHeader = reports::AnalysisHeading(company, TitleOf(l), p, places);

    Group machine;
    machine.key = [record](const RowView& row) { return MachineKey(record(row)); };
    machine.header.height = reports::kAnalysisLine + 1;
    machine.header.items = {Item::computed({0, 1, 190, reports::kAnalysisLine - 0.5},
                                           [record](const FormatContext& c) {
                                               const ProductionRecord& r = record(c.row);
                                               return Q("種類：" + r.kind + "　車別：" + r.machine);
                                           },
                                           Align::Left, bold)};
    Group op;
    op.key = [record](const RowView& row) { return OperatorKey(record(row)); };
    op.header.height = reports::kAnalysisLine;
    op.header.items = {Item::computed({4, 0.5, 150, reports::kAnalysisLine - 0.5},
                                      [record](const FormatContext& c) {
                                          const ProductionRecord& r = record(c.row);
                                          return Q("經辦：" + r.handlerId + " " + r.handler);
                                      },
                                      Align::Left, bold)};

    // A total line: the label and count, then the totalled columns.
    auto footer = [&](Section& s, double y, std::function<QString(const RowView&)> text,
                      std::function<const Totals&(const RowView&)> t) {
        label(s.items, y, [text, t](const RowView& row) { return text(row) + "  " + kCount(t(row)); });
        for (const Column& c : cols)
            if (c.total)
                s.items.push_back(reports::ColumnItem(
                    c.place, y, [t, f = c.total](const FormatContext& ctx) { return f(t(ctx.row)); }, true));
    };
    op.footer.height = reports::kAnalysisLine + 1;
    op.footer.items = {Item::line({100, 0.3}, {190, 0.3})};
    footer(op.footer, 0.8, [](const RowView&) { return QString("經辦小計"); },
           [record, data](const RowView& row) -> const Totals& { return data->operators.at(OperatorKey(record(row))); });
    machine.footer.height = reports::kAnalysisLine + 2;
    machine.footer.items = {Item::line({0, 0.3}, {190, 0.3})};
    footer(machine.footer, 1, [](const RowView&) { return QString("車別合計"); },
           [record, data](const RowView& row) -> const Totals& { return data->machines.at(MachineKey(record(row))); });

    layout.groups = {std::move(machine), std::move(op)};
    layout.detail.height = reports::kAnalysisLine;
    for (const Column& c : cols)
        layout.detail.items.push_back(reports::ColumnItem(
            c.place, 0, [record, f = c.cell](const FormatContext& ctx) { return f(record(ctx.row)); }));
    layout.reportFooter.height = reports::kAnalysisLine + 3;
    layout.reportFooter.items = {Item::line({0, 0.5}, {190, 0.5}, 0.4)};
    footer(layout.reportFooter, 1.5, [](const RowView&) { return QString("總計"); },
           [data](const RowView&) -> const Totals& { return data->all; });
    layout.pageFooter.height = 6;
    layout.pageFooter.items = {Item::text({0, 1, 190, 5}, "第 {page} 頁 / 共 {pages} 頁", Align::Center,
                                          Font{kMingFamily, 8, false})};
    return Paginate(layout, rows, progress);
}

bool IsAnalysisReport(const std::string& layoutName)
{
    return ListingByName(layoutName) || reports::SummaryLayoutByName(layoutName);
}

std::string AnalysisTitle(const std::string& layoutName)
{
    if (const auto listing = ListingByName(layoutName))
        return TitleOf(*listing);
    // The capacity and defect analyses print one title, whichever layout.
    return reports::SummaryLayoutByName(layoutName) ? "產能及不良分析" : "";
}

bool HasAnalysisData(const std::string& layoutName, const reports::PrintParams& params, const Session& s)
{
    reports::PrintParams p = params;
    p.fillDefaults();
    const auto summary = reports::SummaryLayoutByName(layoutName);
    jet::Connection conn;
    conn.open(s.ConnectionString);
    jet::Recordset rs;
    rs.open(summary ? reports::SummaryQuery(*summary, p) : reports::ListingQuery(p), conn);
    return !rs.eof();
}

PageDocument AnalysisReport(const std::string& layoutName, const reports::PrintParams& params, const Session& s,
                            const Progress& progress)
{
    if (const auto summary = reports::SummaryLayoutByName(layoutName))
        return reports::CapacityDefectReport(*summary, params, s, progress);
    const auto listing = ListingByName(layoutName);
    if (!listing)
        throw std::invalid_argument("not an analysis layout: " + layoutName);
    reports::PrintParams p = params;
    p.fillDefaults();
    jet::Connection conn;
    conn.open(s.ConnectionString);
    const auto records = reports::ReadRecords(conn, reports::ListingQuery(p));
    return ValueListing(*listing, records, p, reports::CompanyTitle(p, s.CompanyName), progress);
}

} // namespace qtmv::production
