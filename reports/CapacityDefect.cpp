#include "reports/CapacityDefect.h"

#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "reports/AnalysisCharts.h"
#include "reports/AnalysisLayout.h"

#include <memory>
#include <unordered_map>

namespace qtmv::reports {

using namespace qtmv::report;

namespace {

enum Col { Kind, Machine, Third, Count, Completed, Minutes, Standard, Diff, Defects, Rate, Value };
const std::vector<AnalysisColumn>& Columns(SummaryLayout l)
{
    // Captions are centred words, each with a column wide enough for it at
    // the heading's size: a caption spread over its column, or shrunk into
    // one too narrow, runs into its neighbour ("經 辦 筆 數", "總不良數總不良率").
    static const std::vector<AnalysisColumn> byHandler = {
        {"種類", 0, 16, Align::Left},        {"車別", 16, 24, Align::Left},      {"經辦", 40, 18, Align::Left},
        {"筆數", 58, 12, Align::Right},      {"總完成數", 70, 20, Align::Right}, {"總耗時(分)", 90, 18, Align::Right},
        {"時標準量", 108, 16, Align::Right}, {"差異(分)", 124, 16, Align::Right}, {"總不良數", 140, 16, Align::Right},
        {"總不良率", 156, 16, Align::Right}, {"產值", 172, 18, Align::Right}};
    static const std::vector<AnalysisColumn> byDate = [] {
        auto c = byHandler;
        c[Third].caption = "完成日期";
        return c;
    }();
    return l == SummaryLayout::ByDate ? byDate : byHandler;
}

struct Data {
    std::vector<ProductionRecord> records;
    // Totals by the key of each group level, and of the whole report.
    std::unordered_map<std::string, Totals> outer, inner;
    Totals all;
};

} // namespace

PageDocument CapacityDefectReport(SummaryLayout l, const std::vector<ProductionRecord>& records, const PrintParams& p,
                                  const QString& company, const Progress& progress)
{
    auto data = std::make_shared<Data>();
    data->records = records;
    const bool personal = l == SummaryLayout::Personal;
    // Outer group: the kind, or the handler in the personal summary; inner:
    // the production key (kind, machine, handler or completion date), or
    // kind and machine within the handler.
    auto outerKey = [personal](const ProductionRecord& r) { return personal ? r.handlerId : r.kind; };
    auto innerKey = [l](const ProductionRecord& r) {
        switch (l) {
        case SummaryLayout::ByKey: return r.pkey;
        case SummaryLayout::ByDate: return r.pkey1;
        case SummaryLayout::Personal: break;
        }
        return r.handlerId + '|' + r.kind + '|' + r.machine;
    };
    DataTable rows({"R"});
    for (std::size_t i = 0; i < data->records.size(); ++i) {
        const ProductionRecord& r = data->records[i];
        data->outer[outerKey(r)].add(r);
        data->inner[outerKey(r) + '\x1f' + innerKey(r)].add(r);
        data->all.add(r);
        rows.addRow({report::Value(static_cast<long long>(i))});
    }
    auto record = [data](const RowView& row) -> const ProductionRecord& {
        return data->records[static_cast<std::size_t>(*row.value("R").integerIf())];
    };

    const auto& cols = Columns(l);
    Layout layout;
    layout.pageHeader = AnalysisHeading(company, "產能及不良分析", p, cols);

    // The totals of one printed line, from the totals of its scope.
    using TotalsOf = std::function<const Totals&(const RowView&)>;
    auto totalItems = [&cols](std::vector<Item>& items, double y, const TotalsOf& t, bool bold) {
        auto add = [&](Col c, std::function<QString(const Totals&)> f) {
            items.push_back(ColumnItem(cols[c], y, [t, f](const FormatContext& ctx) { return f(t(ctx.row)); }, bold));
        };
        add(Count, [](const Totals& x) { return AmountText(static_cast<double>(x.count)); });
        add(Completed, [](const Totals& x) { return AmountText(x.completed); });
        add(Minutes, [](const Totals& x) { return AmountText(x.minutes); });
        add(Diff, [](const Totals& x) { return DeviationText(x.deviation); });
        add(Defects, [](const Totals& x) { return AmountText(x.defects); });
        add(Rate, [](const Totals& x) { return RateText(x.defectRate()); });
        add(Value, [](const Totals& x) { return AmountText(x.value); });
    };

    Group outer;
    outer.key = [record, outerKey](const RowView& row) { return outerKey(record(row)); };
    if (personal) {
        outer.header.height = kAnalysisLine + 1;
        outer.header.items = {Item::computed({0, 0.5, 120, kAnalysisLine - 0.5},
                                             [record](const FormatContext& c) {
                                                 const ProductionRecord& r = record(c.row);
                                                 return QString::fromStdString("經辦：" + r.handlerId + " " + r.handler);
                                             },
                                             Align::Left, Font{kMingFamily, 9, true})};
    }
    Group inner;
    inner.key = [record, innerKey](const RowView& row) { return innerKey(record(row)); };
    inner.footer.height = kAnalysisLine;
    auto& line = inner.footer.items;
    auto field = [&](Col c, std::function<QString(const ProductionRecord&)> f) {
        line.push_back(ColumnItem(cols[c], 0, [record, f](const FormatContext& ctx) { return f(record(ctx.row)); }));
    };
    field(Kind, [](const ProductionRecord& r) { return QString::fromStdString(r.kind); });
    field(Machine, [](const ProductionRecord& r) { return QString::fromStdString(r.machine); });
    if (l == SummaryLayout::ByDate)
        field(Third, [](const ProductionRecord& r) { return SlashedDate(r.endDate); });
    else
        field(Third, [](const ProductionRecord& r) { return QString::fromStdString(r.handler); });
    // One machine per line: its standard output per hour.
    field(Standard, [](const ProductionRecord& r) { return AmountText(r.standardPerHour); });
    totalItems(line, 0,
               [record, data, outerKey, innerKey](const RowView& row) -> const Totals& {
                   const ProductionRecord& r = record(row);
                   return data->inner.at(outerKey(r) + '\x1f' + innerKey(r));
               },
               false);

    outer.footer.height = kAnalysisLine + 2;
    outer.footer.items = {Item::line({0, 0.3}, {190, 0.3}),
                          Item::text({0, 1, 40, kAnalysisLine - 0.5}, "合        計：", Align::Left,
                                     Font{kMingFamily, 9, true})};
    totalItems(outer.footer.items, 1,
               [record, data, outerKey](const RowView& row) -> const Totals& {
                   return data->outer.at(outerKey(record(row)));
               },
               true);

    layout.groups = {std::move(outer), std::move(inner)};
    layout.detail.visible = false;   // the records only feed the totals
    layout.reportFooter.height = kAnalysisLine + 3;
    layout.reportFooter.items = {Item::line({0, 0.5}, {190, 0.5}, 0.4),
                                 Item::text({0, 1.5, 40, kAnalysisLine - 0.5}, "總        計：", Align::Left,
                                            Font{kMingFamily, 9, true})};
    totalItems(layout.reportFooter.items, 1.5, [data](const RowView&) -> const Totals& { return data->all; }, true);
    layout.closing = AnalysisChartPages(l, data->records, p, company, "產能及不良分析");
    layout.pageFooter.height = 6;
    layout.pageFooter.items = {Item::text({0, 1, 190, 5}, "第 {page} 頁 / 共 {pages} 頁", Align::Center,
                                          Font{kMingFamily, 8, false})};
    return Paginate(layout, rows, progress);
}

PageDocument CapacityDefectReport(SummaryLayout l, const PrintParams& params, const Session& s,
                                  const Progress& progress)
{
    PrintParams p = params;
    p.fillDefaults();
    jet::Connection conn;
    conn.open(s.ConnectionString);
    const auto records = ReadRecords(conn, SummaryQuery(l, p));
    return CapacityDefectReport(l, records, p, CompanyTitle(p, s.CompanyName), progress);
}

} // namespace qtmv::reports
