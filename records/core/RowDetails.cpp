#include "records/core/RowDetails.h"

#include "app/core/Session.h"
#include "records/core/GridLayout.h"

#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

#include <algorithm>

namespace qtmv::daily {

namespace {

std::string CellText(const std::vector<std::string>& row, int col)
{
    if (col < 1 || static_cast<std::size_t>(col) > row.size())
        return {};
    return qtmv::Trim(row[static_cast<std::size_t>(col - 1)]);
}

// "Y" when the work-order line of that process exists with a finish date.
std::string LineDone(jet::Connection& conn, std::string_view table, const std::string& po, const std::string& no)
{
    jet::Recordset rs;
    rs.open("select FDATE from [" + std::string(table) + "] where PO = '" + jet::SqlText(po) + "' and [NO] = " + no,
            conn);
    const bool done = !rs.eof() && !rs.field(0).trimmed().empty();
    return done ? "Y" : "N";
}

} // namespace

std::string RowDetails::outsourcingText() const
{
    std::string s;
    for (const auto& l : outsourcing) {
        if (!s.empty())
            s += "  ";
        s += l.kind + " " + l.vendor;
    }
    return s;
}

std::string FormatSlashedDate(std::string_view date)
{
    std::string t = qtmv::Trim(date);
    if (t.empty() || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return t;
    t.erase(0, std::min(t.find_first_not_of('0'), t.size()));
    // Digits fill the pattern from the right; "#" places without a digit stay empty.
    const std::string_view pattern = "###/##/##";
    std::string out;
    auto d = t.rbegin();
    for (auto p = pattern.rbegin(); p != pattern.rend(); ++p) {
        if (*p != '#')
            out += *p;
        else if (d != t.rend())
            out += *d++;
    }
    // A number longer than the pattern keeps its extra leading digits.
    while (d != t.rend())
        out += *d++;
    std::reverse(out.begin(), out.end());
    return out;
}

RowDetails LoadRowDetails(jet::Connection& conn, const ProcessKind& kind, const std::vector<std::string>& row)
{
    const GridLayout& layout = GridLayoutOf(kind);
    RowDetails d;
    d.workOrder = CellText(row, kWorkOrderCol);
    d.line = CellText(row, kLineCol);
    d.dueDate = CellText(row, layout.column("交貨日"));
    d.plannedDate = CellText(row, layout.column("預排日"));
    d.rowRemark = CellText(row, layout.remarkCol);
    const int vendorCol = kind.is(KindId::Printing) ? layout.column("印刷代號") : layout.column("廠商代號");
    d.vendorCode = CellText(row, vendorCol);
    const bool printing = kind.is(KindId::Printing), plate = kind.is(KindId::Plate);
    if (printing)
        d.remarkCaption = "印刷備註:";
    else if (plate)
        d.remarkCaption = "製版備註:";
    if (d.workOrder.empty())
        return d;

    const std::string po = jet::SqlText(d.workOrder);
    const std::string no = jet::SqlNumber(qtmv::Val(d.line));

    {
        jet::Recordset rs;
        rs.open("select PWORK.[DESC], CUST.SNAME, PWORK.ODATE, PREM as 印刷備註, PEREM as 製版備註, PWORK.急件, "
                "PWORK.包裝 from [CUST] left join [PWORK] on CUST.ID = PWORK.CUST where PWORK.PO = '" +
                    po + "'",
                conn);
        if (!rs.eof()) {
            d.found = true;
            d.product = rs.field(0).trimmed();
            d.customer = rs.field(1).trimmed();
            d.orderDate = FormatSlashedDate(rs.field(2).text());
            if (printing)
                d.remark = rs.field(3).trimmed();
            else if (plate)
                d.remark = rs.field(4).trimmed();
            d.rush = rs.field(5).trimmed() == "1";
            d.packing = rs.field(6).trimmed();
        }
    }

    if (!d.vendorCode.empty()) {
        jet::Recordset rs;
        rs.open("select ID, SNAME, TEL1 from [VENDER] where ID = '" + jet::SqlText(d.vendorCode) + "'", conn);
        if (!rs.eof()) {
            d.vendorName = rs.text("SNAME");
            d.vendorPhone = rs.text("TEL1");
        }
    }

    d.plateDone = LineDone(conn, "PLATE", d.workOrder, no);
    d.paperDone = LineDone(conn, "PAPER", d.workOrder, no);

    {
        std::string sql = "select VENDERAC.PO, VENDERAC.KIND, VENDERAC.SVENDER, VENDERAC.ODATE, VENDERAC.[NO] "
                          "from [VENDERAC] inner join [PWORK] on VENDERAC.PO = PWORK.PO where PWORK.PO = '" +
                          po + "' and VENDERAC.[NO] = " + no + " and VENDERAC.KIND <> '採 購' ";
        if (printing)
            sql += "and (VENDERAC.KIND = '印 刷' or VENDERAC.KIND = '上 光' or VENDERAC.KIND = '其 它') ";
        jet::Recordset rs;
        rs.open(sql, conn);
        for (; !rs.eof(); rs.moveNext())
            d.outsourcing.push_back({rs.text("KIND"), rs.text("SVENDER"), rs.text("ODATE")});
    }

    {
        jet::Recordset rs;
        rs.open("select * from [工單頁數] where PO = '" + po + "'", conn);
        bool first = true, matched = false;
        for (; !rs.eof() && !matched; rs.moveNext()) {
            matched = rs.field("NO").number() == qtmv::Val(d.line);
            if (first || matched)
                d.pages = rs.text("頁數");
            first = false;
        }
    }
    return d;
}

RowDetails LoadRowDetails(const Session& s, const ProcessKind& kind, const std::vector<std::string>& row)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    return LoadRowDetails(conn, kind, row);
}

} // namespace qtmv::daily
