#include "Report.h"

#include "platform/text/Text.h"
#include "platform/ui/TextFit.h"

#include <QFontMetricsF>
#include <QImage>

#include <algorithm>
#include <cctype>
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

    void startPage()
    {
        doc_.pages.emplace_back();
        y_ = L_.page.top;
        bodyEmpty_ = true;
        pageRows_ = {};
        pageHasRows_ = false;
        if (L_.pageHeader.visible)
            y_ += place(L_.pageHeader, current_, {}, y_);
    }
    void finishPage()
    {
        if (L_.pageFooter.visible)
            place(L_.pageFooter, pageHasRows_ ? RowView(&T_, pageRows_.end - 1) : current_,
                  pageRows_, bodyBottom());
    }
    void newPage()
    {
        finishPage();
        startPage();
    }

    // A body section: on a new page when it does not fit (unless the page has
    // nothing else, where it is placed anyway and clipped by the paper).
    void placeFlowing(const Section& s, const RowView& row, Range agg, bool detail = false,
                      std::size_t rowIndex = 0)
    {
        if (!s.visible)
            return;
        const double h = height(s, row, agg);
        if (!fits(h) && !bodyEmpty_)
            newPage();
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

    static void fitText(PlacedText& t, const Item& it)
    {
        if (it.fit == Fit::None || t.text.isEmpty())
            return;
        const double width = MmToPx(t.rect.width());
        QPaintDevice* dev = const_cast<QImage*>(&MeasureDevice());
        if (it.fit == Fit::Shrink) {
            t.text = t.text.trimmed();
            // Whether the whole text fits at a size, measured no further than
            // the field holds (a long text is never measured whole).
            const auto fitsAt = [&](double size) {
                Font f = t.font;
                f.size = size;
                return qtmv::FitTextToField(t.text, ToQFont(f), width, dev).size() == t.text.size();
            };
            const auto canShrink = [&](double size) { return size - 0.5 >= it.minFontSize - 1e-9; };
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
