#include "quality/core/DifferenceChart.h"

#include "quality/core/PrintingData.h"
#include "common/NumberFormat.h"

#include <algorithm>
#include <map>

namespace qtmv::quality {

using namespace qtmv::report;

Chart DifferenceChart(const DataTable& rows, const std::string& colour, const std::vector<ColourTarget>& targets)
{
    const std::string key = ColourKey(colour);
    const ColourTarget* target = nullptr;
    for (const ColourTarget& t : targets)
        if (ColourKey(t.colour) == key)
            target = &t;

    struct Day {
        double largest = 0, sum = 0;
        int lines = 0;
    };
    std::map<std::string, Day> days;   // by seven-digit date, so in order
    for (std::size_t i = 0; i < rows.rowCount(); ++i) {
        const RowView r(&rows, i);
        const std::string date = r.text("印刷日期").toStdString();
        if (ColourKey(r.text("色號").toStdString()) != key || date.empty())
            continue;
        auto m = [&](int n) { return r.text("測量" + std::to_string(n)).toStdString(); };
        const Measured measured = MeasuredOf(m(1), m(2), m(3), m(4), m(5));
        const std::optional<double> difference = ShownDifference(measured, target ? &target->lab : nullptr);
        Day& d = days[date];   // the date is charted even without a difference
        if (!difference)
            continue;
        const double v = *difference;
        d.largest = d.lines ? std::max(d.largest, v) : v;
        d.sum += v;
        ++d.lines;
    }

    Chart c;
    c.title = QString::fromStdString("色號 " + colour + " 色差 (ΔE00)");
    ChartSeries largest{"當日最大", SeriesKind::Bars, false, {}};
    ChartSeries average{"當日平均", SeriesKind::Line, false, {}};
    for (const auto& [date, d] : days) {
        c.categories.push_back(QString::fromStdString(ListedDate(date)));
        largest.values.push_back(d.lines ? std::optional<double>(d.largest) : std::nullopt);
        average.values.push_back(d.lines ? std::optional<double>(RoundNumber(d.sum / d.lines, 2)) : std::nullopt);
    }
    c.series = {std::move(largest), std::move(average)};
    c.left = {"ΔE00", [](double v) { return QString::fromStdString(DifferenceText(v)); }, true};
    if (target && target->tolerances.difference)
        c.references.push_back({*target->tolerances.difference,
                                QString::fromStdString("容許色差 " + DifferenceText(*target->tolerances.difference)),
                                false});
    return c;
}

PageDocument DifferenceChartReport(const DataTable& rows, const std::string& colour,
                                   const std::vector<ColourTarget>& targets, const std::string& conditions)
{
    Layout l;
    l.page.size = QSizeF(297.0, 210.0);
    const Font body{kMingFamily, 9, false};
    Chart chart = DifferenceChart(rows, colour, targets);
    l.detail.visible = false;
    l.reportFooter.height = 188;
    l.reportFooter.items = {
        Item::text({0, 0, 277, 9}, QString::fromUtf8(kListingTitle) + QStringLiteral(" 色差圖"), Align::Center,
                   {kMingFamily, 16, true}),
        Item::text({0, 10, 230, 6}, QString::fromStdString("條件：" + conditions), Align::Left, body),
        Item::text({230, 10, 47, 6}, QStringLiteral("第 {page} 頁 / 共 {pages} 頁"), Align::Right, body),
        Item::chartOf({0, 20, 277, 168}, [chart = std::move(chart)](const ChartContext&) { return chart; }),
    };
    return Paginate(l, DataTable());
}

} // namespace qtmv::quality
