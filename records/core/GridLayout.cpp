#include "GridLayout.h"

#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace qtmv::daily {

namespace {

// Collects the columns of one grid. Every field of the scheduled table is
// written qualified: the join brings in PWORK, CUST and other process tables
// that share most column names.
class Builder {
public:
    explicit Builder(const ProcessKind& kind) : t_(kind.scheduledTable) { layout_.kind = &kind; }

    // A field of the scheduled table.
    Builder& f(std::string_view heading, std::string_view field)
    {
        return x(heading, t_ + "." + std::string(field));
    }
    // Any select expression.
    Builder& x(std::string_view heading, std::string expr)
    {
        layout_.columns.push_back({std::string(heading), std::move(expr), std::nullopt});
        return *this;
    }
    // A field of the same work-order line of another process.
    Builder& line(std::string_view heading, std::string_view table, std::string_view field)
    {
        x(heading, std::string(table) + "." + std::string(field));
        layout_.columns.back().line = LineLookup{std::string(table), std::string(field), {}};
        return *this;
    }
    // "V" when the same work-order line of another process is finished. A
    // missing line (left join) reads as null and gives "".
    Builder& flag(std::string_view heading, std::string_view table, std::string_view alias = {},
                  std::string_view via = {})
    {
        const std::string fd = std::string(table) + ".FDATE";
        x(heading, "iif(" + fd + " is null or " + fd + " = '', '', 'V') as " +
                       std::string(alias.empty() ? heading : alias));
        layout_.columns.back().line = LineLookup{std::string(table), {}, std::string(via)};
        return *this;
    }
    // A column the query fills with an empty text.
    Builder& empty(std::string_view heading) { return x(heading, "'' as " + std::string(heading)); }
    // A working column no query fills.
    Builder& work(std::string_view heading) { return x(heading, ""); }

    // Head, all kinds.
    Builder& head()
    {
        f("工單單號", "PO");
        f("序", "[NO]");
        x("客戶", "CUST.SNAME");
        f("廠商", "SVENDER");
        return x("品名", "PWORK.[DESC]");
    }
    // "數量" … "小計"
    Builder& qtyToAmount()
    {
        f("數量", "QTY");
        f("單位", "UNIT");
        f("單價", "PRICE");
        f("報價", "BPRICE");
        return f("小計", "AMT");
    }
    // "確認" … "實際小計"
    Builder& confirmToActual()
    {
        f("確認", "ACT");
        f("廠商代號", "VENDER");
        f("應付單價", "OPRICE");
        f("應付小計", "OAMT");
        return actual();
    }
    Builder& actual()
    {
        f("實際數量", "CQTY");
        f("實際單價", "CPRICE");
        return f("實際小計", "CAMT");
    }
    // "數量" … "實際小計": the common middle from the quantity on.
    Builder& qtyToActual()
    {
        qtyToAmount();
        f("廠商", "SVENDER");
        f("備註", "REM");
        return confirmToActual();
    }
    Builder& commonMiddle()
    {
        f("項目", "[DESC]");
        f("內容", "ITEM");
        return qtyToActual();
    }
    // Tail up to "付款年月", with the paper grid's inserts.
    Builder& tailDates(bool paper = false)
    {
        f("預排日", "ODATE");
        x("交貨日", "PWORK.PDATE");
        f("完工日", "FDATE");
        if (paper) {
            f("紙品名稱(全名)", "PNAME");
            f("原數量(放數)", "OFQTY");
            f("出庫單號", "OUTID");
        }
        f("確認", "ACTYN");
        f("銷帳狀態", "EAMTYN");
        f("", "EAMT");
        if (paper) {
            f("版別", "PLATDS");
            f("台數", "PLATNB");
        }
        return f("付款年月", "PDATE");
    }
    // From "確認單號" to "注意事項".
    Builder& tailSchedule()
    {
        f("確認單號", "ID");
        f("序", "INO");
        f("排序", "順序");
        f("車別", "車別");
        f("耗時", "耗時");
        f("開始時間_時", "開始時間_時");
        f("開始時間_分", "開始時間_分");
        f("結束時間_時", "結束時間_時");
        f("結束時間_分", "結束時間_分");
        f("生產量", "生產量");
        f("產值", "產值");
        f("機別", "機別");
        f("下游廠商代號", "下游廠商代號");
        f("下游廠商", "下游廠商");
        f("地址", "地址");
        f("電話", "電話");
        return f("注意事項", "注意事項");
    }
    Builder& upstream()
    {
        f("上游廠商代號", "上游廠商代號");
        return f("上游廠商", "上游廠商");
    }
    // "完工說明", the upstream vendor and the two working columns.
    Builder& tailEnd()
    {
        f("完工說明", "完工說明");
        upstream();
        work("單筆");
        return work("拆台");
    }

    GridLayout finish(std::string_view remarkHeading, int remarkNth = 1)
    {
        GridLayout& l = layout_;
        l.remarkCol = l.column(remarkHeading, remarkNth);
        l.finishDateCol = l.column("完工日");
        l.finishRemarkCol = l.column("完工說明");
        l.idCol = l.column("確認單號");
        l.inoCol = l.idCol + 1;
        if (l.remarkCol == 0 || l.finishDateCol == 0 || l.finishRemarkCol == 0 || l.idCol == 0 ||
            l.heading(l.inoCol) != "序" || l.column("工單單號") != kWorkOrderCol || l.column("序") != kLineCol)
            throw std::logic_error("grid layout without its saving columns");
        return std::move(layout_);
    }

private:
    std::string t_;
    GridLayout layout_;
};

GridLayout Build(const ProcessKind& k)
{
    Builder b(k);
    b.head();
    switch (k.id()) {
    case KindId::Prepress:
        b.f("項目", "[DESC]").f("內容", "ITEM").f("規格", "SPEC").f("算", "OPT").qtyToAmount();
        b.f("製作", "SVENDER").f("分類", "[KIND]").f("經辦", "EMP").f("備註", "REM");
        b.f("確認", "ACT").f("廠商代號", "VENDER").f("經辦代號", "EMPNO");
        b.f("應付單價", "OPRICE").f("應付小計", "OAMT").actual();
        b.tailDates();
        b.f("版別", "PLATD").f("頁數", "PAGE").f("正色", "COLOR1").f("反色", "COLOR2");
        b.f("台數", "TQTY").f("版數", "PQTY").f("成品開", "KQTY").f("模", "MQTY");
        b.tailSchedule().tailEnd();
        return b.finish("備註");
    case KindId::Plate:
        b.f("項目", "[DESC]").f("內容", "SPEC").f("規格", "MODE").f("算", "OPT").qtyToAmount();
        b.f("廠商", "SVENDER").f("備註", "REM").f("新舊版", "新舊版").f("版號", "版號");
        b.f("確認", "ACT").f("廠商代號", "VENDER").f("應付單價", "OPRICE").f("應付小計", "OAMT");
        b.f("版別", "PLATD").f("頁數", "PAGE").f("正色", "COLOR1").f("反色", "COLOR2");
        b.f("台數", "TQTY").f("版數", "PQTY").f("印刷開", "KQTY").f("模數", "MQTY").actual();
        b.tailDates().tailSchedule().tailEnd();
        return b.finish("備註");
    case KindId::Paper:
        b.f("項目", "[DESC]").f("規格", "SPEC").f("廠牌", "MARK").f("紙別", "ITEM").f("▼", "OPTQ");
        b.f("數量", "QTY").f("放(張)", "FREE").f("▼", "OPTP").f("單價", "PRICE").f("報價", "BPRICE");
        b.f("折數", "DISCOUNT").f("小計", "AMT").f("廠商", "SVENDER").f("說明", "REM");
        b.f("確認", "ACT").f("廠商代號", "VENDER").f("開", "[OPEN]").f("膜", "MEMB").f("頁", "LEAF");
        b.f("成品開", "START").f("基重", "BASE").f("每磅單價", "POUND").f("應收單價", "IPRICE");
        b.f("應付單價", "OPRICE").f("應付單價(計算過)", "APRICE").f("應付小計", "OAMT");
        b.f("原數量", "OQTY").f("原資料", "ODATA").actual();
        b.tailDates(true);
        b.f("紙到", "紙到").f("台數", "台數").f("每台數量", "每台數量").f("牌價代號", "牌價代號");
        b.tailSchedule().tailEnd();
        return b.finish("說明");
    case KindId::Printing:
        b.f("項目", "[DESC]").f("正", "COLOR1").f("反", "COLOR2").f("計", "[COUNT]");
        b.f("模", "MEMB").f("台", "PLAT").line("紙品", "PAPER", "ITEM").line("上光", "GLAZE", "ITEM");
        b.f("印刷尺寸", "[SIZE]").f("", "SIZEA").f("▼", "OPT").qtyToAmount();
        b.f("廠商", "SVENDER").f("版務", "BM").f("色", "COLOR").f("說明", "REM");
        b.f("確認", "ACT").f("印刷代號", "VENDER").f("應付單價", "OPRICE").f("應付小計", "OAMT");
        b.f("正", "[RIGHT]").f("反", "OPPOS").f("數量1", "QTY1").f("數量2", "QTY2").actual();
        b.flag("調", "IMPRINT").flag("版", "PLATE").flag("紙", "PAPER").flag("裁", "TRIM");
        b.tailDates();
        b.f("紙到", "紙到").f("版到", "版到").f("規格", "規格").f("紙品", "紙品").f("下游廠商", "下游廠商1");
        b.tailSchedule();
        b.f("用紙令數", "用紙令數").f("用紙張數", "用紙張數");
        b.upstream();
        b.empty("預估").f("完工說明", "完工說明").f("表格", "表格").empty("濃度").empty("單筆");
        b.work("拆台");
        return b.finish("說明");
    case KindId::Varnishing:
        b.f("項目", "[DESC]").f("內容", "ITEM").f("上光尺寸", "[SIZE]").f("▼", "OPT").qtyToActual();
        b.flag("紙", "PAPER").flag("印", "PRINTING");
        b.tailDates().tailSchedule().tailEnd();
        return b.finish("備註");
    case KindId::Mounting:
        b.f("項目", "[DESC]").f("內容", "ITEM").f("裱紙尺寸", "[SIZE]").f("▼", "OPT").qtyToActual();
        b.flag("紙", "PAPER").flag("印", "PRINTING").flag("光", "GLAZE");
        b.tailDates().tailSchedule().tailEnd();
        return b.finish("備註");
    case KindId::DieCutting:
        b.f("項目", "[DESC]").f("內容", "ITEM").f("開數", "[OPEN]").f("模數", "MEMB").qtyToAmount();
        b.f("廠商", "SVENDER").f("新舊刀", "新舊刀").f("儲位", "儲位").f("刀模代號", "REM");
        b.confirmToActual();
        b.line("留", "CROWD", "留").line("紙", "CROWD", "紙").line("刀", "CROWD", "刀");
        // The mounting flag follows the die-cutting line itself.
        b.flag("印", "PRINTING").flag("裱", "MOUNT", {}, "CROWD").flag("光", "GLAZE").flag("刀", "KNIFE", "刀模");
        b.tailDates().tailSchedule().tailEnd();
        return b.finish("刀模代號");
    case KindId::Gluing:
        b.commonMiddle().flag("軋", "CROWD");
        b.tailDates().tailSchedule().tailEnd();
        return b.finish("備註");
    case KindId::Cutting:
        b.f("項目", "[DESC]").line("紙品", "PAPER", "ITEM").line("規格", "PAPER", "SPEC").f("內容", "ITEM");
        b.f("模數", "MEMB").f("台數", "PLAT").qtyToActual();
        b.tailDates().tailSchedule().tailEnd();
        return b.finish("備註");
    case KindId::Binding:
        b.x("成品規格", "PWORK.SPEC").f("項目", "[DESC]").f("內容", "ITEM").f("台", "PLAT").qtyToAmount();
        b.f("廠商", "SVENDER");
        b.x("封", "工單裝訂流程.裝訂項目1").x("內", "工單裝訂流程.裝訂項目2");
        b.x("扉", "工單裝訂流程.裝訂項目3").x("其", "工單裝訂流程.裝訂項目4");
        b.f("備註", "REM").confirmToActual();
        b.tailDates().tailSchedule().tailEnd();
        return b.finish("備註");
    case KindId::Delivery:
        b.commonMiddle().tailDates().tailSchedule();
        b.f("收件人", "收件人").tailEnd();
        return b.finish("備註");
    case KindId::Other:
        b.commonMiddle().tailDates();
        b.f("牌價代號", "牌價代號").tailSchedule();
        b.empty("單筆").f("完工說明", "完工說明").upstream().work("拆台");
        return b.finish("備註");
    default: // 刀模, 燙金
        b.commonMiddle().tailDates().tailSchedule().tailEnd();
        return b.finish("備註");
    }
}

// The left join of another process's line of the same work order.
std::string LineJoin(std::string_view from, std::string_view table)
{
    const std::string f(from), t(table);
    return "left join [" + t + "] on (" + f + ".PO = " + t + ".PO and " + f + ".[NO] = " + t + ".[NO])";
}

// The joins after the piece's work order and customer: the other
// processes' lines the layout reads (unless the reader joins them itself)
// and the binding steps of the work order.
std::vector<std::string> ExtraJoins(const GridLayout& layout, bool linesHere)
{
    const std::string s(layout.kind->scheduledTable);
    std::vector<std::string> joins;
    if (!linesHere) {
        for (const std::string& table : LineLookupTables(layout)) {
            std::string via;
            for (const GridColumn& c : layout.columns)
                if (c.line && c.line->table == table)
                    via = c.line->via;
            joins.push_back(LineJoin(via.empty() ? s : via, table));
        }
    }
    if (layout.kind->is(KindId::Binding))
        joins.push_back("left join [工單裝訂流程] on " + s + ".PO = 工單裝訂流程.PO");
    return joins;
}

// The sort keys ahead of the tie-breaks, unqualified; the caller qualifies
// them with the scheduled table (PWORK and the joined process tables carry the
// same names).
std::vector<std::string_view> LeadingKeys(const ProcessKind& k, SortOption sort)
{
    switch (sort) {
    case SortOption::WorkOrder:
    case SortOption::Sequence: return {};
    case SortOption::Vendor: return {"VENDER"};
    case SortOption::Content:
        if (k.is(KindId::Printing)) return {"[SIZE]"};
        if (k.is(KindId::Paper)) return {"ITEM", "SPEC"};
        if (k.is(KindId::Plate)) return {"SPEC"};
        if (k.is(KindId::Varnishing) || k.is(KindId::Mounting)) return {"ITEM", "[SIZE]"};
        if (k.is(KindId::DieCutting)) return {"ITEM", "[OPEN]"};
        return {"ITEM"};
    case SortOption::DueDate:
        if (k.is(KindId::Printing)) return {"ODATE", "[SIZE]", "COLOR1"};
        if (k.is(KindId::Paper)) return {"SPEC", "ITEM"};
        if (k.is(KindId::Prepress)) return {"[ODATE]", "[DESC]", "ITEM"};
        if (k.is(KindId::Plate)) return {"[ODATE]", "[DESC]", "SPEC"};
        if (k.is(KindId::Varnishing) || k.is(KindId::Mounting)) return {"[ODATE]", "[ITEM]", "[SIZE]"};
        if (k.is(KindId::DieCutting)) return {"[ODATE]", "[ITEM]", "[OPEN]"};
        return {"[ODATE]", "[ITEM]"};
    case SortOption::Machine:
        if (k.is(KindId::Paper)) return {"[ODATE]", "[ITEM]", "SPEC"};
        return {"車別"};
    }
    throw std::invalid_argument("unknown sort option");
}

} // namespace

int GridLayout::column(std::string_view h, int nth) const
{
    int seen = 0;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].heading == h && ++seen == nth)
            return static_cast<int>(i) + 1;
    return 0;
}

int GridLayout::queriedColumnCount() const
{
    int n = 0;
    while (n < columnCount() && !columns[static_cast<std::size_t>(n)].select.empty())
        ++n;
    return n;
}

const GridLayout& GridLayoutOf(const ProcessKind& kind)
{
    // Built once; the fourteen layouts never change while the program runs.
    static const std::array<GridLayout, 14> layouts = [] {
        std::array<GridLayout, 14> a;
        for (std::size_t i = 0; i < a.size(); ++i)
            a[i] = Build(ProcessKinds()[i]);
        return a;
    }();
    const int n = kind.number;
    if (n < 1 || n > 14)
        throw std::invalid_argument("unknown process kind");
    return layouts[static_cast<std::size_t>(n - 1)];
}

std::vector<LoadSortKey> LoadSortKeys(const ProcessKind& kind, SortOption sort)
{
    const std::string q = std::string(kind.scheduledTable) + ".";
    using T = LoadSortKey::Type;
    const LoadSortKey po{q + "PO", T::Text}, no{q + "[NO]", T::Number}, id{q + "ID", T::Text},
        order{"val(" + q + "順序)", T::Number}, ino{q + "INO", T::Number};
    if (sort == SortOption::Sequence)
        return {order, {q + "ID", T::Text, true}, po, no, ino};
    std::vector<LoadSortKey> keys;
    for (std::string_view key : LeadingKeys(kind, sort))
        keys.push_back({q + std::string(key), T::Unknown});
    for (const LoadSortKey& k : {po, no, id, order, ino})
        keys.push_back(k);
    return keys;
}

namespace {

// Everything of the load up to its order; with `linesHere` the columns of
// other processes' lines read "" and their tables are not joined.
std::string UnorderedLoad(const ProcessKind& kind, std::string_view machine, const std::vector<std::string>& extra,
                          bool linesHere)
{
    const GridLayout& layout = GridLayoutOf(kind);
    const std::string s(kind.scheduledTable);

    std::string sql = "select ";
    const int queried = layout.queriedColumnCount();
    for (int c = 1; c <= queried; ++c) {
        const GridColumn& column = layout.columns[static_cast<std::size_t>(c - 1)];
        if (c > 1)
            sql += ", ";
        sql += linesHere && column.line ? "''" : column.select;
    }
    for (const std::string& e : extra)
        sql += ", " + e;

    // Jet nests every further join in parentheses.
    std::string from = "[預排資料] inner join [" + s + "] on 預排資料.ID = " + s + ".ID";
    from = "(" + from + ") inner join [PWORK] on " + s + ".PO = PWORK.PO";
    from = "(" + from + ") inner join [CUST] on PWORK.CUST = CUST.ID";
    for (const std::string& j : ExtraJoins(layout, linesHere))
        from = "(" + from + ") " + j;
    sql += " from " + from + " ";

    sql += "where (" + s + ".FDATE = '' or " + s + ".FDATE is null) and (PWORK.FDATE = '' or PWORK.FDATE is null) ";
    const std::string m = qtmv::Trim(machine);
    if (!m.empty())
        sql += "and " + s + ".車別 = '" + jet::SqlText(m) + "' ";
    return sql;
}

std::string OrderBy(const std::vector<LoadSortKey>& keys)
{
    std::string sql = "order by ";
    bool first = true;
    for (const LoadSortKey& k : keys) {
        sql += (first ? "" : ", ") + k.expression + (k.descending ? " desc" : "");
        first = false;
    }
    return sql;
}

} // namespace

std::string BuildLoadQuery(const ProcessKind& kind, std::string_view machine, SortOption sort)
{
    return UnorderedLoad(kind, machine, {}, false) + OrderBy(LoadSortKeys(kind, sort));
}

std::string BuildServerLoadQuery(const ProcessKind& kind, std::string_view machine, SortOption sort, bool ordered)
{
    const std::vector<LoadSortKey> keys = LoadSortKeys(kind, sort);
    std::vector<std::string> extra;
    for (const LoadSortKey& k : keys)
        extra.push_back(k.expression);
    extra.push_back("LCase(" + std::string(kind.scheduledTable) + ".PO)");
    const std::string sql = UnorderedLoad(kind, machine, extra, true);
    return ordered ? sql + OrderBy(keys) : sql;
}

std::vector<std::string> LineLookupTables(const GridLayout& layout)
{
    std::vector<std::string> tables;
    const auto add = [&tables](const std::string& t) {
        if (std::find(tables.begin(), tables.end(), t) == tables.end())
            tables.push_back(t);
    };
    for (const GridColumn& c : layout.columns)
        if (c.line) {
            if (!c.line->via.empty())
                add(c.line->via);
            add(c.line->table);
        }
    return tables;
}

std::vector<std::string> LineLookupFields(const GridLayout& layout, const std::string& table)
{
    std::vector<std::string> fields;
    for (const GridColumn& c : layout.columns)
        if (c.line && c.line->table == table) {
            const std::string f = c.line->field.empty() ? "FDATE" : c.line->field;
            if (std::find(fields.begin(), fields.end(), f) == fields.end())
                fields.push_back(f);
        }
    return fields;
}

std::string BuildLineLookupQuery(const GridLayout& layout, const std::string& table)
{
    std::string sql = "select LCase(PO), [NO]";
    for (const std::string& f : LineLookupFields(layout, table))
        sql += ", [" + f + "]";
    return sql + " from [" + table + "] where PO in (select PO from PWORK where FDATE = '' or FDATE is null)";
}

} // namespace qtmv::daily
