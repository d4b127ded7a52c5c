#include "reports/AnalysisLayout.h"

#include "common/Clock.h"
#include "common/NumberFormat.h"
#include "common/RocDate.h"
#include "platform/jet/Value.h"
#include "platform/text/Text.h"

namespace qtmv::reports {

using namespace qtmv::report;

QString AmountText(double v) { return QString::fromStdString(FormatAmount(jet::RealText(v))); }

QString DeviationText(double v)
{
    if (v > 0)
        return "+" + AmountText(v);
    return AmountText(v);
}

QString RateText(std::optional<double> rate)
{
    return rate ? QString::fromStdString(FormatFixed(*rate, 2)) : QString();
}

QString SlashedDate(const std::string& roc7)
{
    if (const auto d = ParseRoc7(roc7))
        return QString::fromStdString(RocSlashed(*d));
    return QString::fromStdString(roc7);
}

QString RangeText(const QString& from, const QString& to)
{
    if (from.isEmpty() && to.isEmpty())
        return QStringLiteral("不限");
    if (to.isEmpty())
        return from + QStringLiteral(" 起");
    if (from.isEmpty())
        return to + QStringLiteral(" 止");
    return from + QStringLiteral(" ～ ") + to;
}

QString DateRangeText(const std::string& from, const std::string& to)
{
    const std::string f = Trim(from), t = Trim(to);
    return RangeText(f == "0000000" ? QString() : SlashedDate(f), t == "9999999" ? QString() : SlashedDate(t));
}

QString CompanyTitle(const PrintParams& p, const std::string& sessionCompany)
{
    return QString::fromStdString(p.companyTitle.empty() ? Trim(sessionCompany) : p.companyTitle);
}

Item ColumnItem(const AnalysisColumn& c, double y, FormatFn fn, bool bold)
{
    return Item::computed(QRectF(c.x + 0.5, y, c.w - 1, kAnalysisLine - 0.5), std::move(fn), c.align,
                          Font{kMingFamily, 9, bold});
}

Section AnalysisHeading(const QString& company, const QString& title, const PrintParams& p,
                        const std::vector<AnalysisColumn>& columns)
{
    const Font big{kMingFamily, 14, true};
    const Font body{kMingFamily, 9, false};
    auto text = [](QRectF r, QString t, Align a, Font f) {
        Item i = Item::text(r, std::move(t), a, f);
        i.fit = Fit::Shrink;
        return i;
    };
    const QString printDate =
        QString::fromStdString(p.printDate.empty() ? TodayRocSlashed(TheSystemClock()) : p.printDate);
    Section h;
    h.height = 29;
    h.items = {
        text({0, 0, 190, 7}, company, Align::Center, big),
        text({0, 7.5, 190, 7}, title, Align::Center, big),
        text({0, 16, 18, 5}, "完成日期：", Align::Left, body),
        text({18, 16, 60, 5}, DateRangeText(p.doneFrom, p.doneTo), Align::Left, body),
        text({140, 11, 22, 5}, "頁       次：", Align::Left, body),
        text({162, 11, 28, 5}, "{page}", Align::Left, body),
        text({140, 16, 22, 5}, "印表日期：", Align::Left, body),
        text({162, 16, 28, 5}, printDate, Align::Left, body),
    };
    if (columns.empty()) {
        h.height = 22;   // a page without a table: no caption box
        return h;
    }
    h.items.push_back(Item::box({0, 22, 190, 6.5}));
    for (const AnalysisColumn& c : columns)
        h.items.push_back(text({c.x + 0.5, 22.75, c.w - 1, 5}, c.caption, Align::Center, body));
    return h;
}

} // namespace qtmv::reports
