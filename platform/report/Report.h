#pragma once
// The banded report engine: a layout names its sections and items; running it
// over rows gives a page document (pages of positioned texts, lines, boxes and
// barcode bars) that the renderers draw. QtGui only, no widgets; measuring
// text needs a QGuiApplication.
//
// Every length is in millimetres, page coordinates from the page's top-left
// corner. Twips (the suite's unit, 1440 per inch) enter only through
// TwipsToMm().
#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qtmv::report {

inline constexpr const char* kMingFamily = "AR PL UMing TW";

constexpr double TwipsToMm(double twips) { return twips * 25.4 / 1440.0; }

// ---- Data -----------------------------------------------------------------

// A value of a row: null, a whole number, a real number or UTF-8 text, as a
// database hands them out.
class Value {
public:
    enum class Type { Null, Integer, Real, Text };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : v_(static_cast<std::int64_t>(v)) {}
    Value(long v) : v_(static_cast<std::int64_t>(v)) {}
    Value(long long v) : v_(static_cast<std::int64_t>(v)) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(std::string_view v) : v_(std::string(v)) {}
    Value(const char* v) : v_(std::string(v)) {}

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isNull() const { return v_.index() == 0; }
    // Null gives "", numbers their plain decimal form as the suite shows them
    // (1.5 -> "1.5", 2.0 -> "2"; qtmv::RealText).
    std::string text() const;
    // text() with leading and trailing blanks removed.
    std::string trimmed() const;
    // Numbers as they are, text by its leading number (val()), null 0.
    double number() const;

    const std::string* textIf() const { return std::get_if<std::string>(&v_); }
    const std::int64_t* integerIf() const { return std::get_if<std::int64_t>(&v_); }
    const double* realIf() const { return std::get_if<double>(&v_); }

    bool operator==(const Value& o) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

// Rows of named columns: the report engine's view of its data, filled by the
// caller (from a query, or by hand).
class DataTable {
public:
    DataTable() = default;
    explicit DataTable(std::vector<std::string> columns) : columns_(std::move(columns)) {}

    void addRow(std::vector<Value> values) { rows_.push_back(std::move(values)); }
    void reserve(std::size_t rows) { rows_.reserve(rows); }
    const std::vector<std::string>& columns() const { return columns_; }
    std::size_t rowCount() const { return rows_.size(); }
    const std::vector<Value>& row(std::size_t i) const { return rows_[i]; }
    // -1 when absent; names compare without regard to case.
    int columnIndex(const std::string& name) const;

private:
    std::vector<std::string> columns_;
    std::vector<std::vector<Value>> rows_;
};

// One row as a format callback sees it.
class RowView {
public:
    RowView(const DataTable* table, std::size_t index) : table_(table), index_(index) {}
    bool valid() const { return table_ && index_ < table_->rowCount(); }
    // Null for an unknown column or when there is no row (page header, footers).
    const Value& value(const std::string& column) const;
    QString text(const std::string& column) const;   // trimmed, null as ""

private:
    const DataTable* table_;
    std::size_t index_;
};

// ---- Layout ---------------------------------------------------------------

enum class Align { Left, Center, Right };
enum class Fit {
    None,     // drawn as it is (clipped to its rectangle when `clip`)
    Cut,      // cut from the end until it fits, as the grids' helper does
    Shrink,   // the font shrinks down to minFontSize, then the text is cut
};
enum class Aggregate { None, Sum, Count };
enum class BarcodeType { Code39, Code128 };

struct Font {
    QString family = kMingFamily;
    double size = 10.0;   // points
    bool bold = false;
};

// What a format callback (the designer's format event) gets: the current row
// (in a page header the page's first row, in a page footer its last one;
// invalid only in a report without rows), and the field's
// value: the bound column's value, or the total for an aggregate field.
// The QFont for a font of the layout.
QFont ToQFont(const Font& f);

struct FormatContext {
    RowView row;
    Value value;
};
using FormatFn = std::function<QString(const FormatContext&)>;

// ---- Charts ---------------------------------------------------------------

// How an axis writes its numbers: the suite's formats (AmountText,
// RateText), so a chart reads as the table beside it.
using NumberFormat = std::function<QString(double)>;

enum class SeriesKind { Bars, Line };

struct ChartSeries {
    QString name;   // in the legend
    SeriesKind kind = SeriesKind::Bars;
    bool rightAxis = false;   // scaled on the second value axis
    // One per category; none leaves a gap (no bar, the line broken).
    std::vector<std::optional<double>> values;
};

struct ChartAxis {
    QString title;         // above the axis, "產值", "不良率(%)"
    NumberFormat format;   // tick labels; plain numbers when unset
    // The scale starts (or ends) at zero; bars always start at zero.
    bool includeZero = true;
};

// A level drawn across the plot, a tolerance, say: its label stands above
// the line at the right end.
struct ReferenceLine {
    double value = 0;
    QString label;
    bool rightAxis = false;
};

struct Chart {
    QString title;
    std::vector<QString> categories;
    std::vector<ChartSeries> series;
    ChartAxis left, right;   // the right axis shows only when something is on it
    std::vector<ReferenceLine> references;
    Font font{kMingFamily, 8, false};   // ticks, categories, legend; the title larger, bold
};

// What a chart's callback gets: the row a format callback gets, and every
// row of the section's scope (its group, or the whole report in the report
// footer).
struct ChartContext {
    RowView row;
    std::vector<RowView> rows;
};
using ChartFn = std::function<Chart(const ChartContext&)>;

struct Item {
    enum class Kind { Text, Line, Box, Barcode, Chart };
    Kind kind = Kind::Text;
    QRectF rect;   // mm, relative to the section's top-left corner; a line runs
                   // from rect.topLeft() to rect.bottomRight()
    // Text: a static label unless bound to a column or given a format
    // callback. "{page}" and "{pages}" in a label become the page number and
    // the page count. Barcode: the data comes the same way.
    QString label;
    std::string column;
    FormatFn format;
    Aggregate aggregate = Aggregate::None;   // over the section's rows (group,
                                             // page or whole report)
    Align align = Align::Left;
    Font font;
    bool canGrow = false;   // wraps and makes the section taller
    bool clip = true;
    Fit fit = Fit::None;
    double minFontSize = 6.0;
    double penWidth = 0.2;   // lines and boxes, mm
    BarcodeType barcode = BarcodeType::Code39;
    ChartFn chart;

    // Declaring helpers.
    static Item text(QRectF r, QString label, Align a = Align::Left, Font f = {});
    static Item field(QRectF r, std::string column, Align a = Align::Left, Font f = {},
                      Fit fit = Fit::Shrink);
    static Item computed(QRectF r, FormatFn fn, Align a = Align::Left, Font f = {},
                         Fit fit = Fit::Shrink);
    static Item total(QRectF r, std::string column, Aggregate agg, Align a = Align::Right,
                      Font f = {}, FormatFn fn = {});
    static Item line(QPointF from, QPointF to, double penWidth = 0.2);
    static Item box(QRectF r, double penWidth = 0.2);
    static Item barcodeOf(QRectF r, std::string column, BarcodeType t = BarcodeType::Code39);
    // A chart laid out over r, built by fn when its section is placed.
    static Item chartOf(QRectF r, ChartFn fn);
};

struct Section {
    double height = 0.0;   // mm
    std::vector<Item> items;
    bool visible = true;
    // Starts a new page (unless nothing is on the current one yet).
    bool newPage = false;
    // A page this section starts has no page header: the section brings its
    // own heading (a chart page).
    bool withoutPageHeader = false;
};

struct Group {
    std::string keyColumn;                                   // or:
    std::function<std::string(const RowView&)> key;          // wins when set
    Section header;
    Section footer;
    bool keepTogether = true;   // the header goes to the next page with its
                                // first detail line when both do not fit
};

struct PageSetup {
    QSizeF size{210.0, 297.0};   // mm, A4 portrait
    double top = 10.0, bottom = 10.0, left = 10.0, right = 10.0;
};

struct Layout {
    PageSetup page;
    Section pageHeader;
    std::vector<Group> groups;   // outermost first
    Section detail;
    Section pageFooter;
    Section reportFooter;
    // Sections after the report footer, in order, each over every row as
    // the report footer is: the pages that close a report (charts).
    std::vector<Section> closing;
};

// ---- Page document ---------------------------------------------------------

struct PlacedText {
    QString text;    // final text, already fitted
    QRectF rect;     // page mm
    Font font;       // final font (after shrinking)
    Align align = Align::Left;
    bool wrap = false;
    bool clip = true;
};
struct PlacedLine { QPointF from, to; double penWidth; };
struct PlacedBox { QRectF rect; double penWidth; };
struct PlacedBarcode {
    QString data;
    QRectF rect;                 // page mm
    std::vector<QRectF> bars;    // page mm
};

// How a series is told apart, in colour and in black and white: bars by
// their fill pattern, lines by their dashes and markers.
enum class Marker { Circle, Square, Triangle, Diamond };
struct PlacedSeries {
    QString name;
    SeriesKind kind = SeriesKind::Bars;
    bool rightAxis = false;
    QColor colour;
    Qt::BrushStyle fill = Qt::SolidPattern;   // bars
    Qt::PenStyle dashes = Qt::SolidLine;      // lines
    Marker marker = Marker::Circle;           // lines
};
struct PlacedBar {
    QRectF rect;   // from the zero line up (down for a negative value)
    int series = 0, category = 0;
    double value = 0;
};
// A line series: its points at the categories' centres, broken into runs
// where a category has no value.
struct PlacedPolyline {
    int series = 0;
    std::vector<std::vector<QPointF>> runs;
};
struct PlacedTick {
    double value = 0;
    double y = 0;   // page mm
    PlacedText label;
};
struct PlacedReference {
    double value = 0;
    PlacedLine line;
    PlacedText label;
};
struct PlacedLegendEntry {
    int series = 0;
    QRectF swatch;
    PlacedText label;
};

struct PlacedChart {
    QRectF rect;   // the chart's item
    QRectF plot;   // the area the values are drawn in
    std::vector<PlacedSeries> series;
    std::vector<PlacedBar> bars;
    std::vector<PlacedPolyline> polylines;
    std::vector<PlacedLine> axes;   // axis lines and tick marks
    std::vector<PlacedLine> grid;   // faint lines at the ticks
    std::optional<double> zeroY;    // the zero line, when the scale holds zero
    std::vector<PlacedTick> leftTicks, rightTicks;
    std::vector<PlacedText> categoryLabels;   // one per category, in order
    std::vector<PlacedReference> references;
    std::vector<PlacedLegendEntry> legend;
    std::vector<PlacedText> titles;   // the title and the axes' titles

    // Every text of the chart.
    std::vector<PlacedText> texts() const;
};

struct Page {
    std::vector<PlacedText> texts;
    std::vector<PlacedLine> lines;
    std::vector<PlacedBox> boxes;
    std::vector<PlacedBarcode> barcodes;
    std::vector<PlacedChart> charts;
};

struct PageDocument {
    QSizeF pageSize;   // mm
    std::vector<Page> pages;

    // The first text equal to `text` on a page; nullptr when none.
    const PlacedText* find(int page, const QString& text) const;
    // Every page index (0-based) that shows `text`.
    std::vector<int> pagesWith(const QString& text) const;
};

// ---- Progress ---------------------------------------------------------------

// Follows long work (rows laid out, pages drawn): called with the steps done
// and the steps in all, first with none done and last with all of them, the
// counts never going back; the work stops when it answers false. Called once
// a step, so it should cost little.
using Progress = std::function<bool(int done, int total)>;

// Thrown by work whose progress answered false: the user stopped it and
// nothing failed. The work leaves nothing half-made behind (no document, no
// file), so the caller only has to say nothing.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled by the user"; }
};

// Runs the layout over the rows, following the rows laid out with
// `progress`. Throws Cancelled when the progress answers false.
PageDocument Paginate(const Layout& layout, const DataTable& rows, const Progress& progress = {});

// ---- Where texts fall -------------------------------------------------------

// The Qt flags a placed text is drawn with in its rectangle: centred
// vertically on one line, or from the top and wrapped anywhere.
int TextFlags(const PlacedText& t);

// The part of the page (mm) a placed text takes when drawn: the width of its
// characters and the height of its lines at its font, placed in its
// rectangle as the renderers place it, and cut to the rectangle when the
// text is clipped. Measured as texts are fitted, so the extent does not
// depend on the device. Empty for a text of blanks only.
QRectF TextExtent(const PlacedText& t);

// Two texts of a page (indexes into its texts, first < second) that read as
// one: their extents overlap, or sit side by side on a line with less room
// between them than a quarter of the larger font's em, the least room that
// still reads as a gap ("電　話分機200" reads as one text).
struct CrowdedTexts {
    std::size_t first, second;
};
std::vector<CrowdedTexts> FindCrowdedTexts(const Page& page);

// ---- Charts -----------------------------------------------------------------

// Axis ticks in steps of 1, 2 or 5 times a power of ten, from at or below lo
// to at or above hi, at most `most` steps apart: the smallest such step.
std::vector<double> NiceTicks(double lo, double hi, int most = 6);

// Lays a chart out over rect (page mm).
PlacedChart PlaceChart(const Chart& chart, const QRectF& rect);

// Bars of a barcode over `rect` (mm); empty when the data cannot be encoded.
std::vector<QRectF> BarcodeBars(const QString& data, BarcodeType type, const QRectF& rect);

} // namespace qtmv::report
