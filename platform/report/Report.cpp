#include "Report.h"

#include "platform/text/Text.h"
#include "platform/ui/TextFit.h"

#include <QFontMetricsF>
#include <QImage>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <zint.h>

namespace qtmv::report {

namespace {

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Texts are measured at one fixed resolution, so a page document does not
// depend on the screen or the printer it is drawn on later.
constexpr double kMeasureDpi = 1200.0;

const QImage& MeasureDevice()
{
    static const QImage device = [] {
        QImage img(1, 1, QImage::Format_Mono);
        const int dpm = qRound(kMeasureDpi / 0.0254);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return device;
}

double MmToPx(double mm) { return mm / 25.4 * kMeasureDpi; }
double PxToMm(double px) { return px * 25.4 / kMeasureDpi; }

int QtAlign(Align a)
{
    switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}

struct Range {
    std::size_t first = 0, end = 0;
};

const Value kNull;

// Fits a placed text into its rectangle's width as `fit` says.
void FitText(PlacedText& t, Fit fit, double minFontSize)
{
    if (fit == Fit::None || t.text.isEmpty())
        return;
    const double width = MmToPx(t.rect.width());
    QPaintDevice* dev = const_cast<QImage*>(&MeasureDevice());
    if (fit == Fit::Shrink) {
        t.text = t.text.trimmed();
        // Whether the whole text fits at a size, measured no further than
        // the field holds (a long text is never measured whole).
        const auto fitsAt = [&](double size) {
            Font f = t.font;
            f.size = size;
            return qtmv::FitTextToField(t.text, ToQFont(f), width, dev).size() == t.text.size();
        };
        const auto canShrink = [&](double size) { return size - 0.5 >= minFontSize - 1e-9; };
        double smallest = t.font.size;
        while (canShrink(smallest))
            smallest -= 0.5;
        // A text too long for the smallest size is too long for every
        // larger one: the sizes between need no trying.
        if (!fitsAt(smallest))
            t.font.size = smallest;
        while (canShrink(t.font.size) && !fitsAt(t.font.size))
            t.font.size -= 0.5;
    }
    t.text = qtmv::FitTextToField(t.text, ToQFont(t.font), width, dev);
}

} // namespace

QFont ToQFont(const Font& f)
{
    QFont q(f.family);
    q.setPointSizeF(f.size);
    q.setBold(f.bold);
    // Pages are drawn from the outlines, smoothed, whatever the windows' text
    // is drawn with.
    q.setStyleStrategy(QFont::PreferDefault);
    return q;
}

// ---- Data -------------------------------------------------------------------

std::string Value::text() const
{
    switch (v_.index()) {
    case 1: return IntegerText(std::get<1>(v_));
    case 2: return RealText(std::get<2>(v_));
    case 3: return std::get<3>(v_);
    default: return std::string();
    }
}

std::string Value::trimmed() const
{
    if (const std::string* t = textIf())
        return Trim(*t);
    return text();
}

double Value::number() const
{
    switch (v_.index()) {
    case 1: return static_cast<double>(std::get<1>(v_));
    case 2: return std::get<2>(v_);
    case 3: return Val(std::get<3>(v_));
    default: return 0;
    }
}

int DataTable::columnIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (SameName(columns_[i], name))
            return static_cast<int>(i);
    return -1;
}

const Value& RowView::value(const std::string& column) const
{
    if (!valid())
        return kNull;
    const int c = table_->columnIndex(column);
    const auto& r = table_->row(index_);
    return c < 0 || static_cast<std::size_t>(c) >= r.size() ? kNull : r[static_cast<std::size_t>(c)];
}

QString RowView::text(const std::string& column) const
{
    return QString::fromStdString(value(column).trimmed());
}

// ---- Items ------------------------------------------------------------------

Item Item::text(QRectF r, QString label, Align a, Font f)
{
    Item i;
    i.rect = r;
    i.label = std::move(label);
    i.align = a;
    i.font = std::move(f);
    return i;
}

Item Item::field(QRectF r, std::string column, Align a, Font f, Fit fit)
{
    Item i = text(r, {}, a, std::move(f));
    i.column = std::move(column);
    i.fit = fit;
    return i;
}

Item Item::computed(QRectF r, FormatFn fn, Align a, Font f, Fit fit)
{
    Item i = text(r, {}, a, std::move(f));
    i.format = std::move(fn);
    i.fit = fit;
    return i;
}

Item Item::total(QRectF r, std::string column, Aggregate agg, Align a, Font f, FormatFn fn)
{
    Item i = field(r, std::move(column), a, std::move(f), Fit::Shrink);
    i.aggregate = agg;
    i.format = std::move(fn);
    return i;
}

Item Item::line(QPointF from, QPointF to, double penWidth)
{
    Item i;
    i.kind = Kind::Line;
    i.rect = QRectF(from, to);
    i.penWidth = penWidth;
    return i;
}

Item Item::box(QRectF r, double penWidth)
{
    Item i;
    i.kind = Kind::Box;
    i.rect = r;
    i.penWidth = penWidth;
    return i;
}

Item Item::barcodeOf(QRectF r, std::string column, BarcodeType t)
{
    Item i;
    i.kind = Kind::Barcode;
    i.rect = r;
    i.column = std::move(column);
    i.barcode = t;
    return i;
}

Item Item::chartOf(QRectF r, ChartFn fn)
{
    Item i;
    i.kind = Kind::Chart;
    i.rect = r;
    i.chart = std::move(fn);
    return i;
}

// ---- Page document ----------------------------------------------------------

const PlacedText* PageDocument::find(int page, const QString& text) const
{
    if (page < 0 || static_cast<std::size_t>(page) >= pages.size())
        return nullptr;
    for (const auto& t : pages[static_cast<std::size_t>(page)].texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

std::vector<int> PageDocument::pagesWith(const QString& text) const
{
    std::vector<int> out;
    for (std::size_t p = 0; p < pages.size(); ++p)
        if (find(static_cast<int>(p), text))
            out.push_back(static_cast<int>(p));
    return out;
}

// ---- Charts -------------------------------------------------------------------

std::vector<PlacedText> PlacedChart::texts() const
{
    std::vector<PlacedText> out = titles;
    for (const auto* ticks : {&leftTicks, &rightTicks})
        for (const PlacedTick& t : *ticks)
            out.push_back(t.label);
    out.insert(out.end(), categoryLabels.begin(), categoryLabels.end());
    for (const PlacedReference& r : references)
        out.push_back(r.label);
    for (const PlacedLegendEntry& e : legend)
        out.push_back(e.label);
    return out;
}

std::vector<double> NiceTicks(double lo, double hi, int most)
{
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {0, 1};
    if (lo > hi)
        std::swap(lo, hi);
    if (hi - lo < 1e-12) {
        // One level only: a scale around it (from zero for zero itself).
        const double pad = lo == 0 ? 1 : std::abs(lo) / 10;
        lo = lo == 0 ? 0 : lo - pad;
        hi += pad;
    }
    most = std::max(most, 1);
    // Steps are written as mantissa × 10^exponent and ticks as multiples of
    // them divided by a power of ten when the exponent is negative, so 0.3
    // is the double nearest 0.3 and a format prints it as "0.30".
    int exponent = static_cast<int>(std::floor(std::log10((hi - lo) / most)));
    for (;; ++exponent)
        for (int mantissa : {1, 2, 5}) {
            const double step = exponent >= 0 ? mantissa * std::pow(10.0, exponent)
                                               : mantissa / std::pow(10.0, -exponent);
            const double first = std::floor(lo / step + 1e-9), last = std::ceil(hi / step - 1e-9);
            if (last - first > most)
                continue;
            std::vector<double> ticks;
            for (double k = first; k <= last; ++k)
                ticks.push_back(exponent >= 0 ? k * mantissa * std::pow(10.0, exponent)
                                              : k * mantissa / std::pow(10.0, -exponent));
            return ticks;
        }
}

namespace {

double TextWidthMm(const QString& text, const Font& f)
{
    const QFontMetricsF fm(ToQFont(f), const_cast<QImage*>(&MeasureDevice()));
    return PxToMm(fm.horizontalAdvance(text));
}

double LineHeightMm(const Font& f) { return f.size * 25.4 / 72.0 * 1.45; }

// Colours that stay apart when printed in grey, with patterns, dashes and
// markers for a page printed in black and white.
PlacedSeries StyleOf(const ChartSeries& s, int bars, int lines)
{
    static const QColor barColours[] = {QColor(60, 100, 170), QColor(150, 150, 150), QColor(60, 140, 80),
                                        QColor(140, 90, 160)};
    static const Qt::BrushStyle fills[] = {Qt::SolidPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::Dense5Pattern};
    static const QColor lineColours[] = {QColor(200, 40, 30), QColor(0, 0, 0), QColor(230, 140, 0), QColor(0, 130, 130)};
    static const Qt::PenStyle dashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    static const Marker markers[] = {Marker::Circle, Marker::Square, Marker::Triangle, Marker::Diamond};
    PlacedSeries p;
    p.name = s.name;
    p.kind = s.kind;
    p.rightAxis = s.rightAxis;
    if (s.kind == SeriesKind::Bars) {
        p.colour = barColours[bars % 4];
        p.fill = fills[bars % 4];
    } else {
        p.colour = lineColours[lines % 4];
        p.dashes = dashes[lines % 4];
        p.marker = markers[lines % 4];
    }
    return p;
}

// A value axis: its ticks and where a value falls between plot.bottom and
// plot.top.
struct Scale {
    std::vector<double> ticks;
    bool used = false;
    double lo() const { return ticks.front(); }
    double hi() const { return ticks.back(); }
    double y(double v, const QRectF& plot) const { return plot.bottom() - (v - lo()) / (hi() - lo()) * plot.height(); }
};

Scale ScaleOf(const Chart& c, bool right)
{
    const ChartAxis& axis = right ? c.right : c.left;
    Scale s;
    bool bars = false;
    std::optional<double> lo, hi;
    auto take = [&](double v) {
        lo = lo ? std::min(*lo, v) : v;
        hi = hi ? std::max(*hi, v) : v;
    };
    for (const ChartSeries& series : c.series)
        if (series.rightAxis == right) {
            s.used = true;
            bars = bars || series.kind == SeriesKind::Bars;
            for (const auto& v : series.values)
                if (v && std::isfinite(*v))
                    take(*v);
        }
    for (const ReferenceLine& r : c.references)
        if (r.rightAxis == right) {
            s.used = true;
            take(r.value);
        }
    if (!lo) {
        lo = 0;
        hi = 0;
    }
    if (bars || axis.includeZero) {
        lo = std::min(*lo, 0.0);
        hi = std::max(*hi, 0.0);
    }
    s.ticks = NiceTicks(*lo, *hi, 5);
    return s;
}

QString TickText(const ChartAxis& axis, double v)
{
    return axis.format ? axis.format(v) : QString::fromStdString(RealText(v));
}

} // namespace

PlacedChart PlaceChart(const Chart& c, const QRectF& rect)
{
    PlacedChart out;
    out.rect = rect;
    const Font& font = c.font;
    const double lineH = LineHeightMm(font);
    const Font titleFont{font.family, font.size * 4 / 3, true};
    const double tickLen = 1.2;

    Scale left = ScaleOf(c, false), right = ScaleOf(c, true);
    left.used = left.used || !right.used;   // an empty chart still shows its frame

    int bars = 0, lines = 0;   // series of each kind so far
    for (const ChartSeries& s : c.series) {
        out.series.push_back(StyleOf(s, bars, lines));
        ++(s.kind == SeriesKind::Bars ? bars : lines);
    }

    // Room for the labels around the plot.
    auto labelWidth = [&](const Scale& s, const ChartAxis& axis) {
        double w = 0;
        if (s.used)
            for (double t : s.ticks)
                w = std::max(w, TextWidthMm(TickText(axis, t), font));
        return w;
    };
    const double leftLabels = labelWidth(left, c.left), rightLabels = labelWidth(right, c.right);
    double top = rect.top();
    if (!c.title.isEmpty()) {
        const double h = LineHeightMm(titleFont);
        out.titles.push_back({c.title, QRectF(rect.left(), top, rect.width(), h), titleFont, Align::Center, false, false});
        top += h + 1;
    }
    const bool axisTitles = (left.used && !c.left.title.isEmpty()) || (right.used && !c.right.title.isEmpty());
    const double axisTitleTop = top;
    if (axisTitles)
        top += lineH + 0.5;
    top += lineH / 2;   // the top tick's label stands half above the plot
    double bottom = rect.bottom();
    const bool hasLegend = !c.series.empty();
    const double legendTop = bottom - lineH;
    if (hasLegend)
        bottom = legendTop - 1;
    const double plotLeft = rect.left() + leftLabels + tickLen + 0.8;
    const double plotRight = std::max(rect.right() - (right.used ? rightLabels + tickLen + 0.8 : lineH / 2), plotLeft + 1);

    // Categories take equal slots. Their labels keep a gap between them:
    // shrunk a little when long, and when that is not enough (a month of
    // days) every other one a row lower, so each may take two slots.
    const int n = static_cast<int>(c.categories.size());
    const double slot = n > 0 ? (plotRight - plotLeft) / n : plotRight - plotLeft;
    constexpr double kLabelShare = 0.85;
    Font categoryFont = font;
    const auto widest = [&](const Font& f) {
        double w = 0;
        for (const QString& t : c.categories)
            w = std::max(w, TextWidthMm(t, f));
        return w;
    };
    const double smallest = std::min(6.0, font.size);
    while (categoryFont.size - 0.5 >= smallest - 1e-9 && widest(categoryFont) > slot * kLabelShare)
        categoryFont.size -= 0.5;
    const bool staggered = n > 1 && widest(categoryFont) > slot * kLabelShare;
    const double categoryLineH = LineHeightMm(categoryFont);
    const double categoryTop = bottom - categoryLineH * (staggered ? 2 : 1);
    bottom = categoryTop - 0.5;
    out.plot = QRectF(QPointF(plotLeft, top), QPointF(std::max(plotRight, plotLeft + 1), std::max(bottom, top + 1)));
    const QRectF& plot = out.plot;

    if (axisTitles) {
        const double half = rect.width() / 2;
        if (left.used && !c.left.title.isEmpty())
            out.titles.push_back({c.left.title, QRectF(rect.left(), axisTitleTop, half, lineH), font, Align::Left, false, false});
        if (right.used && !c.right.title.isEmpty())
            out.titles.push_back({c.right.title, QRectF(rect.left() + half, axisTitleTop, half, lineH), font, Align::Right, false, false});
    }

    // Ticks, their labels and the faint lines across the plot (the left
    // axis's, or the right one's when alone).
    auto ticks = [&](const Scale& s, const ChartAxis& axis, bool onRight, std::vector<PlacedTick>& to) {
        if (!s.used)
            return;
        for (double v : s.ticks) {
            const double y = s.y(v, plot);
            PlacedText label{TickText(axis, v), {}, font, onRight ? Align::Left : Align::Right, false, false};
            label.rect = onRight ? QRectF(plot.right() + tickLen + 0.8, y - lineH / 2, rightLabels + 0.1, lineH)
                                 : QRectF(rect.left(), y - lineH / 2, leftLabels + 0.1, lineH);
            to.push_back({v, y, label});
            const double x = onRight ? plot.right() : plot.left();
            out.axes.push_back({QPointF(x, y), QPointF(onRight ? x + tickLen : x - tickLen, y), 0.2});
        }
        out.axes.push_back({QPointF(onRight ? plot.right() : plot.left(), plot.top()),
                            QPointF(onRight ? plot.right() : plot.left(), plot.bottom()), 0.3});
    };
    ticks(left, c.left, false, out.leftTicks);
    ticks(right, c.right, true, out.rightTicks);
    for (const PlacedTick& t : left.used ? out.leftTicks : out.rightTicks)
        out.grid.push_back({QPointF(plot.left(), t.y), QPointF(plot.right(), t.y), 0.1});
    out.axes.push_back({plot.bottomLeft(), plot.bottomRight(), 0.3});
    const Scale& main = left.used ? left : right;
    if (main.lo() <= 0 && main.hi() >= 0)
        out.zeroY = main.y(0, plot);

    // Bars side by side in the middle of their slot, line points at its
    // centre.
    for (int i = 0; i < n; ++i) {
        const double width = slot * kLabelShare * (staggered ? 2 : 1);
        const double row = staggered && i % 2 ? categoryLineH : 0;
        // Kept under the plot, clear of the axes' labels beside it.
        const double left = std::max(plot.left(), plot.left() + (i + 0.5) * slot - width / 2);
        const double right = std::min(plot.right(), plot.left() + (i + 0.5) * slot + width / 2);
        PlacedText t{c.categories[static_cast<std::size_t>(i)], QRectF(left, categoryTop + row, right - left, categoryLineH),
                     categoryFont, Align::Center, false, true};
        FitText(t, Fit::Cut, smallest);
        out.categoryLabels.push_back(std::move(t));
    }
    const double group = slot * 0.7, barW = bars > 0 ? group / bars : 0;
    int bar = 0;
    for (std::size_t si = 0; si < c.series.size(); ++si) {
        const ChartSeries& s = c.series[si];
        const Scale& scale = s.rightAxis ? right : left;
        if (s.kind == SeriesKind::Bars) {
            const double zero = scale.y(std::clamp(0.0, scale.lo(), scale.hi()), plot);
            for (int i = 0; i < n && static_cast<std::size_t>(i) < s.values.size(); ++i) {
                const auto& v = s.values[static_cast<std::size_t>(i)];
                if (!v || !std::isfinite(*v))
                    continue;
                const double x = plot.left() + i * slot + (slot - group) / 2 + bar * barW;
                const double y = scale.y(*v, plot);
                out.bars.push_back({QRectF(QPointF(x, std::min(y, zero)), QPointF(x + barW, std::max(y, zero))),
                                    static_cast<int>(si), i, *v});
            }
            ++bar;
        } else {
            PlacedPolyline line{static_cast<int>(si), {}};
            bool open = false;
            for (int i = 0; i < n; ++i) {
                const auto* v = static_cast<std::size_t>(i) < s.values.size() ? &s.values[static_cast<std::size_t>(i)] : nullptr;
                if (!v || !*v || !std::isfinite(**v)) {
                    open = false;
                    continue;
                }
                if (!open)
                    line.runs.emplace_back();
                open = true;
                line.runs.back().emplace_back(plot.left() + (i + 0.5) * slot, scale.y(**v, plot));
            }
            out.polylines.push_back(std::move(line));
        }
    }

    for (const ReferenceLine& r : c.references) {
        const Scale& scale = r.rightAxis ? right : left;
        const double y = scale.y(r.value, plot);
        out.references.push_back({r.value, {QPointF(plot.left(), y), QPointF(plot.right(), y), 0.3},
                                  {r.label, QRectF(plot.left(), y - lineH, plot.width() - 1, lineH), font,
                                   Align::Right, false, false}});
    }

    // The legend: a swatch and the name of each series, left to right.
    if (hasLegend) {
        double x = plot.left();
        for (std::size_t i = 0; i < c.series.size(); ++i) {
            const QRectF swatch(x, legendTop + lineH * 0.2, 6, lineH * 0.6);
            const double w = TextWidthMm(c.series[i].name, font) + 0.5;
            out.legend.push_back({static_cast<int>(i), swatch,
                                  {c.series[i].name, QRectF(x + 7, legendTop, w, lineH), font, Align::Left, false, false}});
            x += 7 + w + 5;
        }
    }
    return out;
}

// ---- Barcode ----------------------------------------------------------------

std::vector<QRectF> BarcodeBars(const QString& data, BarcodeType type, const QRectF& rect)
{
    std::vector<QRectF> bars;
    const QByteArray bytes = data.toUtf8();
    if (bytes.isEmpty())
        return bars;
    zint_symbol* sym = ZBarcode_Create();
    if (!sym)
        return bars;
    sym->symbology = type == BarcodeType::Code128 ? BARCODE_CODE128 : BARCODE_CODE39;
    sym->show_hrt = 0;
    sym->input_mode = UNICODE_MODE;
    const int rc = ZBarcode_Encode(sym, reinterpret_cast<const unsigned char*>(bytes.constData()),
                                   static_cast<int>(bytes.size()));
    if (rc < ZINT_ERROR && ZBarcode_Buffer_Vector(sym, 0) < ZINT_ERROR && sym->vector
        && sym->vector->width > 0 && sym->vector->height > 0) {
        const double sx = rect.width() / sym->vector->width;
        const double sy = rect.height() / sym->vector->height;
        for (auto* r = sym->vector->rectangles; r; r = r->next)
            bars.emplace_back(rect.left() + r->x * sx, rect.top() + r->y * sy, r->width * sx,
                              r->height * sy);
    }
    ZBarcode_Delete(sym);
    return bars;
}

// ---- Running ----------------------------------------------------------------

namespace {

class Runner {
public:
    Runner(const Layout& layout, const DataTable& rows, const Progress& progress)
        : L_(layout), T_(rows), progress_(progress)
    {
    }

    PageDocument run()
    {
        doc_.pageSize = L_.page.size;
        const std::size_t n = T_.rowCount();
        advance(0);
        current_ = RowView(&T_, 0);
        startPage();
        const std::size_t levels = L_.groups.size();
        std::vector<std::string> prevKeys;
        std::vector<std::size_t> groupStart(levels, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const RowView row(&T_, i);
            std::vector<std::string> keys;
            for (const auto& g : L_.groups)
                keys.push_back(g.key ? g.key(row) : row.value(g.keyColumn).trimmed());
            std::size_t brk = levels;
            if (i == 0)
                brk = 0;
            else
                for (std::size_t l = 0; l < levels; ++l)
                    if (keys[l] != prevKeys[l]) {
                        brk = l;
                        break;
                    }
            current_ = RowView(&T_, i > 0 ? i - 1 : 0);
            if (i > 0)
                for (std::size_t l = levels; l-- > brk;)
                    placeFlowing(L_.groups[l].footer, current_, {groupStart[l], i});
            current_ = row;
            // Headers opened here travel with the first detail line when
            // any of them asks to be kept together.
            double together = 0;
            bool keep = false;
            for (std::size_t l = brk; l < levels; ++l) {
                together += height(L_.groups[l].header, row, {i, i + 1});
                keep = keep || L_.groups[l].keepTogether;
            }
            if (keep && brk < levels && !bodyEmpty_
                && !fits(together + height(L_.detail, row, {i, i + 1})))
                newPage();
            for (std::size_t l = brk; l < levels; ++l) {
                groupStart[l] = i;
                placeFlowing(L_.groups[l].header, row, {i, i + 1});
            }
            placeFlowing(L_.detail, row, {i, i + 1}, true, i);
            prevKeys = std::move(keys);
            advance(i + 1);
        }
        if (n > 0)
            for (std::size_t l = levels; l-- > 0;)
                placeFlowing(L_.groups[l].footer, RowView(&T_, n - 1), {groupStart[l], n});
        placeFlowing(L_.reportFooter, RowView(nullptr, 0), {0, n});
        for (const Section& s : L_.closing)
            placeFlowing(s, RowView(nullptr, 0), {0, n});
        finishPage();
        resolvePageTokens();
        return std::move(doc_);
    }

private:
    void advance(std::size_t done) const
    {
        if (progress_ && !progress_(static_cast<int>(done), static_cast<int>(T_.rowCount())))
            throw Cancelled();
    }

    double bodyBottom() const
    {
        return L_.page.size.height() - L_.page.bottom
            - (L_.pageFooter.visible ? L_.pageFooter.height : 0.0);
    }
    bool fits(double h) const { return y_ + h <= bodyBottom() + 1e-9; }

    void startPage(bool header = true)
    {
        doc_.pages.emplace_back();
        y_ = L_.page.top;
        bodyEmpty_ = true;
        pageRows_ = {};
        pageHasRows_ = false;
        if (header && L_.pageHeader.visible)
            y_ += place(L_.pageHeader, current_, {}, y_);
    }
    void finishPage()
    {
        if (L_.pageFooter.visible)
            place(L_.pageFooter, pageHasRows_ ? RowView(&T_, pageRows_.end - 1) : current_,
                  pageRows_, bodyBottom());
    }
    void newPage(bool header = true)
    {
        finishPage();
        startPage(header);
    }

    // A body section: on a new page when it does not fit (unless the page has
    // nothing else, where it is placed anyway and clipped by the paper).
    void placeFlowing(const Section& s, const RowView& row, Range agg, bool detail = false,
                      std::size_t rowIndex = 0)
    {
        if (!s.visible)
            return;
        const double h = height(s, row, agg);
        if ((s.newPage || !fits(h)) && !bodyEmpty_)
            newPage(!(s.newPage && s.withoutPageHeader));
        y_ += place(s, row, agg, y_);
        bodyEmpty_ = false;
        if (detail) {
            if (!pageHasRows_)
                pageRows_.first = rowIndex;
            pageRows_.end = rowIndex + 1;
            pageHasRows_ = true;
        }
    }

    QString itemText(const Item& it, const RowView& row, Range agg) const
    {
        Value v;
        if (it.aggregate != Aggregate::None) {
            double sum = 0;
            long long count = 0;
            for (std::size_t r = agg.first; r < agg.end; ++r) {
                const RowView rv(&T_, r);
                sum += rv.value(it.column).number();
                ++count;
            }
            v = it.aggregate == Aggregate::Sum ? Value(sum) : Value(count);
        } else if (!it.column.empty()) {
            v = row.value(it.column);
        }
        if (it.format)
            return it.format(FormatContext{row, v});
        if (it.aggregate != Aggregate::None || !it.column.empty())
            return QString::fromStdString(v.trimmed());
        return it.label;
    }

    static double grownHeight(const Item& it, const QString& text)
    {
        const QFontMetricsF fm(ToQFont(it.font), const_cast<QImage*>(&MeasureDevice()));
        const QRectF r = fm.boundingRect(QRectF(0, 0, MmToPx(it.rect.width()), 1e7),
                                         Qt::TextWrapAnywhere | QtAlign(it.align), text);
        return PxToMm(r.height());
    }

    // The growth of a section: its can-grow texts that need more room.
    struct Growth {
        double by = 0;
        double below = 0;   // items starting at or under this line move down
    };
    Growth growth(const Section& s, const RowView& row, Range agg) const
    {
        Growth g;
        g.below = 1e9;
        for (const auto& it : s.items)
            if (it.kind == Item::Kind::Text && it.canGrow) {
                const double extra = grownHeight(it, itemText(it, row, agg)) - it.rect.height();
                if (extra > 0) {
                    g.by = std::max(g.by, extra);
                    g.below = std::min(g.below, it.rect.bottom());
                }
            }
        return g;
    }
    double height(const Section& s, const RowView& row, Range agg) const
    {
        return s.visible ? s.height + growth(s, row, agg).by : 0.0;
    }

    // Places the section's items at y; returns its height.
    double place(const Section& s, const RowView& row, Range agg, double y)
    {
        const Growth g = growth(s, row, agg);
        Page& page = doc_.pages.back();
        const double x0 = L_.page.left;
        for (const auto& it : s.items) {
            QRectF r = it.rect.translated(x0, y);
            if (it.rect.top() >= g.below - 1e-9)
                r.translate(0, g.by);
            switch (it.kind) {
            case Item::Kind::Line:
                page.lines.push_back({r.topLeft(), r.bottomRight(), it.penWidth});
                break;
            case Item::Kind::Box:
                page.boxes.push_back({r, it.penWidth});
                break;
            case Item::Kind::Barcode: {
                const QString data = itemText(it, row, agg);
                page.barcodes.push_back({data, r, BarcodeBars(data, it.barcode, r)});
                break;
            }
            case Item::Kind::Chart: {
                if (!it.chart)
                    break;
                ChartContext ctx{row, {}};
                ctx.rows.reserve(agg.end - agg.first);
                for (std::size_t i = agg.first; i < agg.end; ++i)
                    ctx.rows.emplace_back(&T_, i);
                page.charts.push_back(PlaceChart(it.chart(ctx), r));
                break;
            }
            case Item::Kind::Text: {
                QString text = itemText(it, row, agg);
                if (it.canGrow && g.by > 0 && it.rect.bottom() >= g.below - 1e-9
                    && it.rect.top() < g.below)
                    r.setHeight(r.height() + g.by);
                PlacedText t{text, r, it.font, it.align, it.canGrow, it.clip};
                if (text.contains(QLatin1String("{page")))
                    pending_.push_back({doc_.pages.size() - 1, page.texts.size(), &it});
                else if (!it.canGrow)
                    fitText(t, it);
                page.texts.push_back(std::move(t));
                break;
            }
            }
        }
        return s.height + g.by;
    }

    static void fitText(PlacedText& t, const Item& it) { FitText(t, it.fit, it.minFontSize); }

    // Page numbers are known only once every page is laid out.
    void resolvePageTokens()
    {
        const QString total = QString::number(doc_.pages.size());
        for (const auto& p : pending_) {
            PlacedText& t = doc_.pages[p.page].texts[p.index];
            t.text.replace(QLatin1String("{pages}"), total);
            t.text.replace(QLatin1String("{page}"), QString::number(p.page + 1));
            fitText(t, *p.item);
        }
    }

    struct Pending {
        std::size_t page, index;
        const Item* item;
    };

    const Layout& L_;
    const DataTable& T_;
    const Progress& progress_;
    // The row that page headers show: the one being placed (the last one
    // for footers closing a group).
    RowView current_{nullptr, 0};
    PageDocument doc_;
    double y_ = 0;
    bool bodyEmpty_ = true;
    Range pageRows_;
    bool pageHasRows_ = false;
    std::vector<Pending> pending_;
};

} // namespace

PageDocument Paginate(const Layout& layout, const DataTable& rows, const Progress& progress)
{
    return Runner(layout, rows, progress).run();
}

// ---- Where texts fall -------------------------------------------------------

int TextFlags(const PlacedText& t)
{
    const int lines = t.wrap ? Qt::AlignTop | Qt::TextWrapAnywhere : Qt::AlignVCenter;
    return lines | QtAlign(t.align);
}

QRectF TextExtent(const PlacedText& t)
{
    // Blanks leave no mark on the paper.
    if (t.text.trimmed().isEmpty())
        return {};
    const QFontMetricsF fm(ToQFont(t.font), const_cast<QImage*>(&MeasureDevice()));
    const QRectF box(MmToPx(t.rect.left()), MmToPx(t.rect.top()), MmToPx(t.rect.width()), MmToPx(t.rect.height()));
    QRectF r = fm.boundingRect(box, TextFlags(t), t.text);
    if (t.clip)
        r = r.intersected(box);
    return QRectF(PxToMm(r.left()), PxToMm(r.top()), PxToMm(r.width()), PxToMm(r.height()));
}

std::vector<CrowdedTexts> FindCrowdedTexts(const Page& page)
{
    constexpr double kEps = 1e-6;   // mm; rounding, not room
    std::vector<QRectF> extents;
    extents.reserve(page.texts.size());
    for (const PlacedText& t : page.texts)
        extents.push_back(TextExtent(t));
    std::vector<CrowdedTexts> out;
    for (std::size_t i = 0; i < extents.size(); ++i) {
        const QRectF& a = extents[i];
        if (a.isEmpty())
            continue;
        for (std::size_t j = i + 1; j < extents.size(); ++j) {
            const QRectF& b = extents[j];
            if (b.isEmpty())
                continue;
            // Texts above one another are apart: a line's height already
            // holds the room between lines.
            if (std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) <= kEps)
                continue;
            const double em = std::max(page.texts[i].font.size, page.texts[j].font.size) * 25.4 / 72.0;
            const double room = std::max(a.left(), b.left()) - std::min(a.right(), b.right());
            if (room < em / 4 - kEps)
                out.push_back({i, j});
        }
    }
    return out;
}

} // namespace qtmv::report
