#include "reports/OutsourcingOrder.h"

#include "app/core/Session.h"
#include "common/Clock.h"
#include "common/NumberFormat.h"
#include "common/RocDate.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"
#include "reports/HalfSheet.h"
#include "reports/RecordsetRows.h"

#include <map>
#include <memory>
#include <stdexcept>

namespace qtmv::reports {

using namespace qtmv::report;

namespace {

constexpr const char* kPrefix = "rpt外發單_";
constexpr const char* kSuffix = "_xp";

void OrDefault(std::string& field, const char* fallback)
{
    field = Trim(field);
    if (field.empty())
        field = fallback;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

struct Vendor {
    std::string name;
    double rate = 0.0;
};
// Vendors of the rows by the rows' own VENDER text; a vendor without a
// [VENDER] row is absent and its orders carry no tax.
using Vendors = std::map<std::string, Vendor>;

Vendors ReadVendors(jet::Connection& conn, const DataTable& rows)
{
    Vendors vendors;
    const int col = rows.columnIndex("VENDER");
    if (col < 0)
        return vendors;
    std::map<std::string, bool> seen;
    for (std::size_t i = 0; i < rows.rowCount(); ++i) {
        const std::string id = rows.row(i)[col].trimmed();
        if (seen.count(id))
            continue;
        seen[id] = true;
        jet::Recordset rs;
        rs.open("select ID, SNAME, RATE from [VENDER] where ID = '" + jet::SqlText(id) + "' ", conn);
        if (!rs.eof())
            vendors[id] = {rs.text("SNAME"), rs.field("RATE").number()};
    }
    return vendors;
}

QString AmountTextOf(double v) { return Q(FormatAmount(jet::RealText(v))); }

} // namespace

void PrintParams::fillDefaults()
{
    for (std::string* f : {&scheduleFrom, &numberFrom, &poFrom, &machine, &handler, &description, &descriptionFilter, &vendor,
                           &kind, &companyTitle, &printDate})
        *f = Trim(*f);
    OrDefault(scheduleTo, "9999999");
    OrDefault(numberTo, "zzzzzzzzzz");
    OrDefault(doneFrom, "0000000");
    OrDefault(doneTimeFrom, "0000");
    OrDefault(doneTo, "9999999");
    OrDefault(doneTimeTo, "9999");
    OrDefault(poTo, "zzzzzzzzz");
    OrDefault(noCustomer, "0");
    OrDefault(titleChoice, "1");
}

std::optional<OrderLayout> OrderLayoutByName(const std::string& layoutName)
{
    for (const ProcessKind& k : ProcessKinds()) {
        if (layoutName == OrderLayoutName(k.id(), false))
            return OrderLayout{k.id(), false};
        if (layoutName == OrderLayoutName(k.id(), true))
            return OrderLayout{k.id(), true};
    }
    return std::nullopt;
}

std::string OrderLayoutName(KindId kind, bool single)
{
    return std::string(kPrefix) + std::string(KindOf(kind).secondName) + (single ? "1" : "") + kSuffix;
}

std::string OrderTitle(const ProcessKind& kind, const PrintParams& p)
{
    // Title choice "2" (the print page's "報表名稱改為委外加工單") prints
    // the order as an outsourced-processing order.
    return std::string(kind.name) + (p.titleChoice == "2" ? "委外加工單" : "外發單");
}

std::string FormNumber(const std::string& companyTitle)
{
    return companyTitle.find("朗瑜") != std::string::npos ? "RM-04-011" : "";
}

double OrderTax(double amounts, double ratePercent)
{
    return RoundNumber(amounts * ratePercent / 100.0, 0);
}

std::string OrderQuery(const OrderLayout& layout, const PrintParams& p)
{
    std::string sql = "select * from [" + std::string(KindOf(layout.kind).preScheduleTable) + "] " +
                      "where ID = '" + jet::SqlText(Trim(p.numberFrom)) + "'";
    // One row: its sequence number and work order come in the number-to and
    // work-order-from parameters. The quote that closes the ID is already
    // there, so the condition continues with a blank.
    if (p.origin != 1)
        sql += " and [NO] = " + jet::RealText(Val(p.numberTo)) + " and PO = '" + jet::SqlText(Trim(p.poFrom)) + "'";
    return sql + " order by 機別, ID, val(順序), INO, PO, [NO]";
}

std::string CheckQuery(KindId kind, const PrintParams& p)
{
    const std::string v = jet::SqlText(p.vendor);
    return "select * from [" + std::string(KindOf(kind).preScheduleTable) + "] " +
           " where ID between '" + jet::SqlText(p.numberFrom) + "' and '" + jet::SqlText(p.numberTo) +
           "' and [DATE] between '" + jet::SqlText(p.scheduleFrom) + "' and '" + jet::SqlText(p.scheduleTo) +
           "' and ( VENDER like '%" + v + "%' or SVENDER like '%" + v + "%') ";
}

bool HasOrderData(const OrderLayout& layout, const PrintParams& params, const Session& s)
{
    PrintParams p = params;
    p.fillDefaults();
    jet::Connection conn;
    conn.open(s.ConnectionString);
    if (p.origin == 1) {
        jet::Recordset check;
        check.open(CheckQuery(layout.kind, p), conn);
        if (check.eof())
            return false;
    }
    // The order prints the first number of the range only; a range whose
    // first number has no rows would otherwise open an empty order.
    jet::Recordset rows;
    rows.open(OrderQuery(layout, p), conn);
    return !rows.eof();
}

namespace {

// Column positions on a 190 mm line; scaled to the paper's printable width.
struct Column {
    const char* caption;
    double x, w;
};
// Captions are centred words: spread over its column, a caption's last
// character would sit by the next caption's first ("數 量規 格").
constexpr Column kColumns[] = {
    {"客戶", 0, 16},    {"印件名稱", 16, 30}, {"項目", 46, 18},   {"內容", 64, 26},
    {"數量", 90, 16},   {"規格", 106, 16},    {"工單單號", 122, 18}, {"預定日", 140, 12},
    {"完工日", 152, 12}, {"單價", 164, 10},    {"小計", 174, 16},
};
enum Col { Customer, Product, ItemCol, Content, Qty, Spec, Po, Scheduled, Finished, Price, Amount };

// The day the order is printed: its print date ("115/12/07") when given,
// else today.
DateTime PrintDay(const PrintParams& p)
{
    std::string digits;
    for (char c : p.printDate)
        if (c != '/')
            digits += c;
    PadDateText(digits);
    if (const auto d = ParseRoc7(digits))
        return *d;
    return TheSystemClock().now();
}

Layout BuildLayout(const ProcessKind& kind, const PrintParams& p, const Session& s,
                   const PageSetup& page, const std::shared_ptr<const Vendors>& vendors)
{
    const double width = page.size.width() - page.left - page.right;
    const double k = width / 190.0;
    auto R = [k](double x, double y, double w, double h) { return QRectF(x * k, y, w * k, h); };
    auto colRect = [&](Col c, double y, double h) { return R(kColumns[c].x, y, kColumns[c].w, h); };

    const Font title{kMingFamily, 13, true};
    const Font body{kMingFamily, 9, false};
    const Font small{kMingFamily, 8, false};

    const std::string company = p.companyTitle.empty() ? Trim(s.CompanyName) : p.companyTitle;
    const QString date = Q(p.printDate.empty() ? TodayRocSlashed(TheSystemClock()) : p.printDate);
    const bool noAmounts = p.noAmounts;
    const bool noCustomer = Trim(p.noCustomer) == "1";

    auto fixed = [](QRectF r, QString text, Align a, Font f) {
        Item i = Item::text(r, std::move(text), a, f);
        i.fit = Fit::Shrink;
        return i;
    };

    Layout l;
    l.page = page;

    // Header: company, title, form number, order, process, vendor, date,
    // barcode. Company and title are centred on the line and end before
    // the barcode, so a long title shrinks rather than running into its bars.
    l.pageHeader.height = 30;
    auto& h = l.pageHeader.items;
    h.push_back(fixed(R(40, 0, 110, 6), p.noCompanyName ? QString() : Q(company), Align::Center, title));
    h.push_back(fixed(R(40, 6.5, 110, 6), Q(OrderTitle(kind, p)), Align::Center, title));
    h.push_back(fixed(R(160, 0, 30, 4), Q(FormNumber(company)), Align::Right, small));
    h.push_back(Item::barcodeOf(R(150, 5, 40, 8), "ID", BarcodeType::Code39));
    h.push_back(Item::computed(R(0, 14, 50, 5),
                               [](const FormatContext& c) { return "單號：" + c.row.text("ID"); }, Align::Left, body));
    h.push_back(fixed(R(50, 14, 30, 5), "製程：" + Q(std::string(kind.name)), Align::Left, body));
    h.push_back(Item::computed(R(80, 14, 75, 5),
                               [vendors](const FormatContext& c) {
                                   const QString id = c.row.text("VENDER");
                                   const auto v = vendors->find(id.toStdString());
                                   return "廠商：" + id + (v == vendors->end() ? QString() : " " + Q(v->second.name));
                               },
                               Align::Left, body));
    h.push_back(fixed(R(155, 14, 35, 5), "日期：" + date, Align::Right, body));
    h.push_back(Item::box(R(0, 22, 190, 7)));
    for (const Column& c : kColumns)
        h.push_back(fixed(R(c.x + 0.5, 23, c.w - 1, 5), c.caption, Align::Center, body));

    // Detail lines: every text fitted into its column.
    l.detail.height = 6;
    auto& d = l.detail.items;
    auto field = [&](Col c, const char* column, Align a = Align::Left) {
        d.push_back(Item::field(colRect(c, 0.5, 5).adjusted(0.5, 0, -0.5, 0), column, a, body));
    };
    auto computed = [&](Col c, FormatFn fn, Align a) {
        d.push_back(Item::computed(colRect(c, 0.5, 5).adjusted(0.5, 0, -0.5, 0), std::move(fn), a, body));
    };
    if (!noCustomer)
        field(Customer, "SNAME");
    if (!p.noProductName)
        field(Product, "DESC1");
    field(ItemCol, "ITEM");
    field(Content, "DESC");
    const bool bySheet = p.bySheet;
    computed(Qty,
             [bySheet](const FormatContext& c) {
                 return Q(FormatAmount(c.row.text("QTY").toStdString())) + (bySheet ? "張" : c.row.text("UNIT"));
             },
             Align::Right);
    field(Spec, "SPEC");
    field(Po, "PO");
    field(Scheduled, "ODATE", Align::Center);
    // The column holds grid stamps ("1207-05") and the time window's dates
    // ("1151207"): printed alike, as the dates they mean.
    const DateTime printed = PrintDay(p);
    computed(Finished, [printed](const FormatContext& c) {
        return Q(FinishDateRoc7(c.row.text("FDATE").toStdString(), printed));
    }, Align::Center);
    if (!noAmounts) {
        computed(Price, [](const FormatContext& c) { return Q(FormatAmount(c.row.text("PRICE").toStdString())); },
                 Align::Right);
        computed(Amount, [](const FormatContext& c) { return Q(FormatAmount(c.row.text("AMT").toStdString())); },
                 Align::Right);
    }

    // One order per pre-schedule number; its totals, vendor block and
    // signatures close it, so they print once, after its last line.
    Group order;
    order.keyColumn = "ID";
    order.header.height = 0;
    order.footer.height = 40;
    auto& f = order.footer.items;
    f.push_back(Item::line({0, 0.5}, {width, 0.5}));
    // Labels are four characters wide (two-character ones spread with
    // ideographic spaces, as forms write them) in a 14 mm column; their
    // values start 2 mm further on, so a label never reads into its value.
    auto label = [&](double x, double y, double w, const char* text) {
        f.push_back(fixed(R(x, y, w, 5), text, Align::Left, body));
    };
    auto value = [&](double x, double y, double w, const char* column) {
        f.push_back(Item::field(R(x, y, w, 5), column, Align::Left, body));
    };
    label(0, 1.5, 14, "下游廠商");
    value(16, 1.5, 90, "SVENDER");
    label(0, 6.5, 14, "電　　話");
    value(16, 6.5, 40, "TEL1");
    label(58, 6.5, 14, "傳　　真");
    value(74, 6.5, 32, "FAX");
    label(0, 11.5, 14, "地　　址");
    value(16, 11.5, 90, "地址");
    label(0, 16.5, 14, "注意事項");
    value(16, 16.5, 90, "注意事項");
    label(0, 21.5, 14, "成品規格");
    value(16, 21.5, 90, "SPEC");
    label(0, 26.5, 14, "備　　註");
    value(16, 26.5, 90, "REM");
    if (!p.noSalesperson) {
        label(0, 31.5, 14, "業　　務");
        value(16, 31.5, 40, "EMPNAME");
    }
    if (!noAmounts) {
        auto sum = [](const FormatContext& c) { return AmountTextOf(c.value.number()); };
        auto taxOf = [vendors](const FormatContext& c) {
            const auto v = vendors->find(c.row.text("VENDER").toStdString());
            return v == vendors->end() ? 0.0 : OrderTax(c.value.number(), v->second.rate);
        };
        label(152, 1.5, 20, "合計");
        f.push_back(Item::total(R(172, 1.5, 18, 5), "AMT", Aggregate::Sum, Align::Right, body, sum));
        label(152, 6.5, 20, "稅額");
        f.push_back(Item::total(R(172, 6.5, 18, 5), "AMT", Aggregate::Sum, Align::Right, body,
                                [taxOf](const FormatContext& c) { return Q(FormatFixed(taxOf(c), 0)); }));
        label(152, 11.5, 20, "總計");
        // The grand total adds the tax as printed, so the three figures agree.
        f.push_back(Item::total(R(172, 11.5, 18, 5), "AMT", Aggregate::Sum, Align::Right, body,
                                [taxOf](const FormatContext& c) { return AmountTextOf(c.value.number() + taxOf(c)); }));
    }
    const char* signatures[] = {"複核", "經辦", "主管"};
    for (int i = 0; i < 3; ++i) {
        const double x = 112 + i * 26;
        f.push_back(Item::box(R(x, 18, 24, 20)));
        f.push_back(fixed(R(x, 18.5, 24, 5), signatures[i], Align::Center, body));
        f.push_back(Item::line({x * k, 24}, {(x + 24) * k, 24}));
    }
    f.push_back(fixed(R(138, 30, 24, 5), Q(s.EmployeeName), Align::Center, body));
    l.groups.push_back(std::move(order));

    l.pageFooter.height = 5;
    l.pageFooter.items = {fixed(R(0, 0.5, 190, 4.5), "第 {page} 頁 / 共 {pages} 頁", Align::Center, small)};
    return l;
}

} // namespace

PageDocument OutsourcingOrder(const OrderLayout& layout, const PrintParams& params, const Session& s,
                              const Progress& progress)
{
    PrintParams p = params;
    p.fillDefaults();
    jet::Connection conn;
    conn.open(s.ConnectionString);
    const PageSetup page = ReadHalfSheetSetup(conn, s.WorkstationUser);
    jet::Recordset rs;
    rs.open(OrderQuery(layout, p), conn);
    const DataTable rows = TableOf(rs);
    auto vendors = std::make_shared<const Vendors>(ReadVendors(conn, rows));
    return Paginate(BuildLayout(KindOf(layout.kind), p, s, page, vendors), rows, progress);
}

PageDocument OutsourcingOrder(const std::string& layoutName, const PrintParams& p, const Session& s,
                              const Progress& progress)
{
    const auto layout = OrderLayoutByName(layoutName);
    if (!layout)
        throw std::invalid_argument("not an outsourcing order layout: " + layoutName);
    return OutsourcingOrder(*layout, p, s, progress);
}

} // namespace qtmv::reports
