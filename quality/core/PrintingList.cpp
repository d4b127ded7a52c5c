#include "quality/core/PrintingList.h"

#include "common/RocDate.h"
#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"
#include "platform/workbook/Workbook.h"
#include "quality/core/PrintingData.h"
#include "reports/RecordsetRows.h"

#include <QStringList>

#include <set>

namespace qtmv::quality {

namespace {

constexpr const char* kTargetsTitle = "色號目標值";

std::string Q(std::string_view s) { return jet::SqlText(s); }

std::string SqlNullable(const std::optional<double>& v) { return v ? jet::SqlNumber(*v) : "null"; }

} // namespace

std::string ListedDate(const std::string& roc7)
{
    const auto d = ParseRoc7(roc7);
    return d ? RocSlashed(*d) : roc7;
}

std::string ListingSql(const ListingFilter& f)
{
    std::string sql =
        "select d.工單單號, d.工單序, d.製程, d.序, d.印刷日期, w.CUST as 客戶代號, c.SNAME as 客戶, w.[DESC] as 品名, "
        "d.色號, d.油墨1, d.油墨2, d.油墨3, d.油墨4, d.油墨5, d.油墨6, d.油墨7, d.測量1, d.測量2, d.測量3, d.測量4, "
        "d.測量5, d.記錄員代號, d.記錄員 "
        "from ([工單印刷數據] d left join [PWORK] w on w.PO = d.工單單號) left join [CUST] c on c.ID = w.CUST "
        "where 1 = 1 ";
    auto t = [](const std::string& s) { return Trim(s); };
    if (!t(f.poFrom).empty())
        sql += "and d.工單單號 >= '" + Q(t(f.poFrom)) + "' ";
    if (!t(f.poTo).empty())
        sql += "and d.工單單號 <= '" + Q(t(f.poTo)) + "' ";
    if (!t(f.dateFrom).empty())
        sql += "and d.印刷日期 >= '" + Q(t(f.dateFrom)) + "' ";
    if (!t(f.dateTo).empty())
        sql += "and d.印刷日期 <= '" + Q(t(f.dateTo)) + "' ";
    if (!t(f.colour).empty())
        sql += "and d.色號 like '%" + Q(t(f.colour)) + "%' ";
    if (!t(f.customer).empty())
        sql += "and w.CUST = '" + Q(t(f.customer)) + "' ";
    if (!t(f.recorder).empty())
        sql += "and (d.記錄員代號 = '" + Q(t(f.recorder)) + "' or d.記錄員 like '%" + Q(t(f.recorder)) + "%') ";
    return sql + "order by d.工單單號, d.工單序, d.製程, d.序";
}

report::DataTable LoadListing(jet::Connection& conn, const ListingFilter& f)
{
    jet::Recordset rs;
    rs.open(ListingSql(f), conn);
    const report::DataTable read = reports::TableOf(rs);
    rs.close();
    // ΔE00 is not the database's to compute: the excess and its filter are worked out here.
    const ColourTargets targets = LoadColourTargets(conn);
    std::vector<std::string> columns = read.columns();
    for (const char* c : {"色差超出", "濃度超出", "超出容許"})
        columns.emplace_back(c);
    report::DataTable out(std::move(columns));
    out.reserve(read.rowCount());
    for (std::size_t i = 0; i < read.rowCount(); ++i) {
        const report::RowView r(&read, i);
        PrintingLine line;
        line.colour = r.text("色號").toStdString();
        for (std::size_t m = 0; m < line.measures.size(); ++m)
            line.measures[m] = r.text("測量" + std::to_string(m + 1)).toStdString();
        const ToleranceCheck check = LineTolerance(line, targets);
        if (f.outOfToleranceOnly && !check.out())
            continue;
        std::vector<report::Value> values = read.row(i);
        values.resize(values.size() + 2);   // null: within, or nothing to check
        if (check.colourOut())
            values[values.size() - 2] = check.differenceExcess;
        if (check.densityOut())
            values.back() = check.densityExcess;
        values.emplace_back(ExcessText(check));
        out.addRow(std::move(values));
    }
    return out;
}

std::string ConditionsText(const ListingFilter& f)
{
    std::string out;
    auto add = [&](const std::string& label, const std::string& value) {
        if (value.empty())
            return;
        out += (out.empty() ? "" : "  ") + label + "：" + value;
    };
    auto range = [](const std::string& from, const std::string& to) {
        return Trim(from).empty() && Trim(to).empty() ? std::string() : Trim(from) + " ~ " + Trim(to);
    };
    add("工單", range(f.poFrom, f.poTo));
    add("印刷日期", range(f.dateFrom, f.dateTo));
    add("色號", Trim(f.colour));
    add("客戶", Trim(f.customer));
    add("記錄員", Trim(f.recorder));
    if (f.outOfToleranceOnly)
        out += (out.empty() ? "" : "  ") + std::string("只列超出容許");
    return out.empty() ? "全部" : out;
}

report::PageDocument ListingReport(const report::DataTable& rows, const std::string& conditions,
                                   const report::Progress& progress)
{
    using namespace report;
    Layout l;
    l.page.size = QSizeF(297.0, 210.0);
    const Font head{kMingFamily, 9, true};
    const Font body{kMingFamily, 9, false};
    struct Col {
        const char* heading;
        double width;
        FormatFn text;
        Align align = Align::Left;
    };
    auto field = [](const char* c) { return [c](const FormatContext& x) { return x.row.text(c); }; };
    const std::vector<Col> cols = {
        {"工單單號", 26, field("工單單號")},
        {"序", 8, field("工單序"), Align::Right},
        {"印刷日期", 20, [](const FormatContext& x) { return QString::fromStdString(ListedDate(x.row.text("印刷日期").toStdString())); }},
        {"客戶", 22, field("客戶")},
        {"色號", 26, field("色號")},
        {"油墨", 41,
         [](const FormatContext& x) {
             QStringList inks;
             for (int i = 1; i <= 7; ++i)
                 if (const QString ink = x.row.text("油墨" + std::to_string(i)); !ink.isEmpty())
                     inks << ink;
             return inks.join(QStringLiteral("、"));
         }},
        {"L", 13, field("測量1"), Align::Right},
        {"a", 13, field("測量2"), Align::Right},
        {"b", 13, field("測量3"), Align::Right},
        {"△", 13, field("測量4"), Align::Right},
        {"濃度", 13, field("測量5"), Align::Right},
        {"超出容許", 42, field("超出容許")},
        {"記錄員", 19, field("記錄員")},
    };
    l.pageHeader.height = 24;
    l.pageHeader.items = {
        Item::text({0, 0, 277, 9}, QString::fromUtf8(kListingTitle), Align::Center, {kMingFamily, 16, true}),
        Item::text({0, 10, 230, 6}, QString::fromStdString("條件：" + conditions), Align::Left, body),
        Item::text({230, 10, 47, 6}, QStringLiteral("第 {page} 頁 / 共 {pages} 頁"), Align::Right, body),
        Item::line({0, 23.5}, {277, 23.5}),
    };
    l.detail.height = 6;
    double x = 0;
    for (const Col& c : cols) {
        l.pageHeader.items.push_back(Item::text({x, 17, c.width - 1, 6}, QString::fromUtf8(c.heading), c.align, head));
        l.detail.items.push_back(Item::computed({x, 0, c.width - 1, 6}, c.text, c.align, body));
        x += c.width;
    }
    l.reportFooter.height = 8;
    l.reportFooter.items = {Item::line({0, 0.5}, {277, 0.5}),
                            Item::total({0, 1, 60, 6}, "工單單號", Aggregate::Count, Align::Left, body,
                                        [](const FormatContext& c) {
                                            return QStringLiteral("共 %1 筆").arg(c.value.text().c_str());
                                        })};
    return Paginate(l, rows, progress);
}

void ExportListing(const report::DataTable& rows, const std::string& conditions, const std::string& path)
{
    xlsx::Workbook book(path);
    xlsx::Sheet& sheet = book.AddSheet(kListingTitle);
    sheet.Text(0, 0, std::string(kListingTitle) + "  條件：" + conditions, {.numberFormat = "", .bold = true});
    struct Col {
        const char* heading;
        const char* column;
        double width;
        bool measure = false;
    };
    std::vector<Col> cols = {{"工單單號", "工單單號", 12}, {"序", "工單序", 5},       {"製程", "製程", 8},
                             {"印刷日期", "印刷日期", 10}, {"客戶代號", "客戶代號", 10}, {"客戶", "客戶", 14},
                             {"品名", "品名", 20},         {"色號", "色號", 16}};
    static const std::string inks[] = {"油墨1", "油墨2", "油墨3", "油墨4", "油墨5", "油墨6", "油墨7"};
    for (const std::string& ink : inks)
        cols.push_back({ink.c_str(), ink.c_str(), 16});
    const char* measures[][2] = {{"L", "測量1"}, {"a", "測量2"}, {"b", "測量3"}, {"△", "測量4"}, {"濃度", "測量5"}};
    for (const auto& m : measures)
        cols.push_back({m[0], m[1], 8, true});
    cols.push_back({"色差超出", "色差超出", 9, true});
    cols.push_back({"濃度超出", "濃度超出", 9, true});
    cols.push_back({"超出容許", "超出容許", 28});
    cols.push_back({"記錄員代號", "記錄員代號", 10});
    cols.push_back({"記錄員", "記錄員", 10});

    std::vector<std::string> headings;
    for (std::size_t c = 0; c < cols.size(); ++c) {
        headings.push_back(cols[c].heading);
        sheet.ColumnWidth(static_cast<int>(c), cols[c].width);
    }
    sheet.Header(2, headings);
    for (std::size_t i = 0; i < rows.rowCount(); ++i) {
        const report::RowView r(&rows, i);
        const int row = static_cast<int>(i) + 3;
        for (std::size_t c = 0; c < cols.size(); ++c) {
            const int col = static_cast<int>(c);
            const std::string text = r.text(cols[c].column).toStdString();
            const auto number = MeasuredNumber(text);
            if (const double* excess = r.value(cols[c].column).realIf())
                sheet.Number(row, col, *excess);
            else if (std::string_view(cols[c].column) == "工單序" && !text.empty())
                sheet.Number(row, col, rows.row(i)[static_cast<std::size_t>(rows.columnIndex("工單序"))].number());
            else if (cols[c].measure && number)
                sheet.Number(row, col, *number);
            else if (std::string_view(cols[c].column) == "印刷日期")
                sheet.Text(row, col, ListedDate(text));
            else
                sheet.Text(row, col, text);
        }
    }
    book.Close();
}

std::vector<ColourTarget> LoadTargets(jet::Connection& conn)
{
    jet::Recordset rs;
    rs.open("select 色號, L, A, B, 備註, 容許色差, 濃度目標, 濃度容許 from [色號目標值] order by 色號", conn);
    std::vector<ColourTarget> out;
    for (; !rs.eof(); rs.moveNext())
        out.push_back({rs.text("色號"), {rs.field("L").number(), rs.field("A").number(), rs.field("B").number()},
                       rs.field("備註").text(),
                       {NullableNumber(rs.field("容許色差")), NullableNumber(rs.field("濃度目標")),
                        NullableNumber(rs.field("濃度容許"))}});
    return out;
}

daily::SaveResult SaveTargets(const std::vector<ColourTarget>& loaded, const std::vector<ColourTarget>& edited,
                              daily::SaveContext& ctx)
{
    std::set<std::string> seen;
    daily::SaveSteps steps;
    steps.check = [&]() -> std::string {
        for (const ColourTarget& t : edited) {
            const std::string key = AsciiUpper(Trim(t.colour));
            if (!key.empty() && !seen.insert(key).second)
                return "色號「" + Trim(t.colour) + "」重複，資料沒有儲存!";
        }
        return {};
    };
    return RunSave(ctx, kTargetsTitle, [&](jet::Connection& conn) {
        for (const ColourTarget& old : loaded)
            if (!seen.count(AsciiUpper(Trim(old.colour))))
                conn.execute("delete from [色號目標值] where 色號 = '" + Q(Trim(old.colour)) + "'");
        for (const ColourTarget& t : edited) {
            const std::string key = AsciiUpper(Trim(t.colour));
            if (key.empty())
                continue;
            const ColourTarget* before = nullptr;
            for (const ColourTarget& old : loaded)
                if (AsciiUpper(Trim(old.colour)) == key)
                    before = &old;
            const Tolerances& tol = t.tolerances;
            if (!before) {
                conn.execute("insert into [色號目標值] (色號, L, A, B, 備註, 容許色差, 濃度目標, 濃度容許) values ('" +
                             Q(Trim(t.colour)) + "', " + jet::SqlNumber(t.lab.L) + ", " + jet::SqlNumber(t.lab.a) +
                             ", " + jet::SqlNumber(t.lab.b) + ", '" + Q(Trim(t.note)) + "', " +
                             SqlNullable(tol.difference) + ", " + SqlNullable(tol.density) + ", " +
                             SqlNullable(tol.densityTolerance) + ")");
                continue;
            }
            // Only the fields the user changed: another workstation's change of the others stays.
            std::string set;
            auto field = [&](const char* column, bool changed, const std::string& value) {
                if (changed)
                    set += std::string(set.empty() ? "" : ", ") + column + " = " + value;
            };
            field("色號", Trim(before->colour) != Trim(t.colour), "'" + Q(Trim(t.colour)) + "'");
            field("L", before->lab.L != t.lab.L, jet::SqlNumber(t.lab.L));
            field("A", before->lab.a != t.lab.a, jet::SqlNumber(t.lab.a));
            field("B", before->lab.b != t.lab.b, jet::SqlNumber(t.lab.b));
            field("備註", Trim(before->note) != Trim(t.note), "'" + Q(Trim(t.note)) + "'");
            const Tolerances& was = before->tolerances;
            field("容許色差", was.difference != tol.difference, SqlNullable(tol.difference));
            field("濃度目標", was.density != tol.density, SqlNullable(tol.density));
            field("濃度容許", was.densityTolerance != tol.densityTolerance, SqlNullable(tol.densityTolerance));
            if (!set.empty())
                conn.execute("update [色號目標值] set " + set + " where 色號 = '" + Q(Trim(before->colour)) + "'");
        }
    }, steps);
}

report::DataTable LoadListing(const Session& s, const ListingFilter& f)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    return LoadListing(conn, f);
}

std::vector<ColourTarget> LoadTargets(const Session& s)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    return LoadTargets(conn);
}

} // namespace qtmv::quality
