#include "reports/AnalysisCharts.h"

#include "common/RocDate.h"
#include "reports/AnalysisLayout.h"

#include <map>
#include <set>

namespace qtmv::reports {

using namespace qtmv::report;

namespace {

Chart OutputAndRate(QString title, std::vector<QString> categories, const std::vector<std::optional<Totals>>& sums)
{
    Chart c;
    c.title = std::move(title);
    c.categories = std::move(categories);
    ChartSeries value{"產值", SeriesKind::Bars, false, {}};
    ChartSeries rate{"不良率", SeriesKind::Line, true, {}};
    for (const auto& s : sums) {
        value.values.push_back(s ? std::optional<double>(s->value) : std::nullopt);
        // Nothing completed gives no rate, as in the table: a gap in the line.
        rate.values.push_back(s ? s->defectRate() : std::nullopt);
    }
    c.series = {std::move(value), std::move(rate)};
    c.left = {"產值", [](double v) { return AmountText(v); }, true};
    c.right = {"不良率(%)", [](double v) { return RateText(v); }, true};
    return c;
}

// "(2/3)" after the title of the second of three charts of one subject.
QString Part(std::size_t i, std::size_t n)
{
    return n > 1 ? QString(" (%1/%2)").arg(i + 1).arg(n) : QString();
}

using MachineKey = std::pair<std::string, std::string>;   // kind, machine

} // namespace

std::vector<Chart> AnalysisCharts(SummaryLayout l, const std::vector<ProductionRecord>& records)
{
    std::vector<Chart> out;
    if (l != SummaryLayout::ByDate) {
        std::map<MachineKey, Totals> machines;
        std::map<std::string, std::set<std::string>> kindsOf;   // machine name -> kinds
        for (const ProductionRecord& r : records) {
            machines[{r.kind, r.machine}].add(r);
            kindsOf[r.machine].insert(r.kind);
        }
        std::vector<QString> names;
        std::vector<std::optional<Totals>> sums;
        for (const auto& [key, s] : machines) {
            // A machine name under two kinds is told apart by its kind's letter.
            const std::string name = kindsOf[key.second].size() > 1 ? key.first.substr(0, 1) + " " + key.second : key.second;
            names.push_back(QString::fromStdString(name));
            sums.push_back(s);
        }
        const std::size_t charts = std::max<std::size_t>(1, (names.size() + kMachinesPerChart - 1) / kMachinesPerChart);
        for (std::size_t i = 0; i < charts; ++i) {
            const std::size_t from = i * kMachinesPerChart, to = std::min(names.size(), from + kMachinesPerChart);
            out.push_back(OutputAndRate("各車別產值及不良率" + Part(i, charts),
                                        {names.begin() + static_cast<long>(from), names.begin() + static_cast<long>(to)},
                                        {sums.begin() + static_cast<long>(from), sums.begin() + static_cast<long>(to)}));
        }
        return out;
    }

    // By date: the same days for every machine, so their pages compare.
    std::map<MachineKey, std::map<std::string, Totals>> days;
    std::optional<DateTime> first, last;
    for (const ProductionRecord& r : records) {
        const auto d = ParseRoc7(r.endDate);
        if (!d)
            continue;
        days[{r.kind, r.machine}][Roc7(*d)].add(r);
        first = first ? std::min(*first, *d) : *d;
        last = last ? std::max(*last, *d) : *d;
    }
    if (!first)
        return out;
    const long long span = DaysBetween(*first, *last) + 1;
    const std::size_t charts = static_cast<std::size_t>((span + kDaysPerChart - 1) / kDaysPerChart);
    for (const auto& [key, byDay] : days)
        for (std::size_t i = 0; i < charts; ++i) {
            std::vector<QString> labels;
            std::vector<std::optional<Totals>> sums;
            for (long long d = static_cast<long long>(i * kDaysPerChart);
                 d < std::min<long long>(span, static_cast<long long>((i + 1) * kDaysPerChart)); ++d) {
                const DateTime day = AddDays(*first, d);
                labels.push_back(QString("%1/%2").arg(day.month, 2, 10, QChar('0')).arg(day.day, 2, 10, QChar('0')));
                const auto it = byDay.find(Roc7(day));
                sums.push_back(it == byDay.end() ? std::nullopt : std::optional<Totals>(it->second));
            }
            out.push_back(OutputAndRate(QString::fromStdString(key.first + " " + key.second) + " 每日產值及不良率"
                                            + Part(i, charts),
                                        std::move(labels), sums));
        }
    return out;
}

std::vector<Section> AnalysisChartPages(SummaryLayout l, const std::vector<ProductionRecord>& records,
                                        const PrintParams& p, const QString& company, const QString& title)
{
    std::vector<Section> pages;
    for (Chart& c : AnalysisCharts(l, records)) {
        Section s = AnalysisHeading(company, title, p, {});
        s.newPage = true;
        s.withoutPageHeader = true;
        const double top = s.height + 4;
        s.items.push_back(Item::chartOf({0, top, 190, 230}, [c = std::move(c)](const ChartContext&) { return c; }));
        s.height = top + 230;
        pages.push_back(std::move(s));
    }
    return pages;
}

} // namespace qtmv::reports
