// Loading a grid and the panel of a row from a fresh plant database, on a
// connection of the program's.
#include "records/core/GridLoader.h"
#include "records/core/RowDetails.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

const ProcessKind& KindNamed(char letter) { return *KindByLetter(letter); }

std::string At(const std::vector<std::string>& row, int col) { return row.at(static_cast<std::size_t>(col - 1)); }

// Column texts of one column over all rows.
std::vector<std::string> Column(const GridRows& rows, int col)
{
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(At(r, col));
    return out;
}

using Texts = std::vector<std::string>;

// The outsourcing lines as "kind vendor", sorted: the statement has no order.
Texts Lines(const RowDetails& d)
{
    Texts out;
    for (const auto& l : d.outsourcing)
        out.push_back(l.kind + " " + l.vendor);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

class Loading : public ::testing::Test {
protected:
    Loading() { conn.open(db.connectionString()); }

    void insert(const std::string& table, const std::string& columns, const std::string& values)
    {
        db.exec("insert into [" + table + "] (" + columns + ") values (" + values + ")");
    }
    // Several rows of the same columns.
    void insert(const std::string& table, const std::string& columns, std::initializer_list<const char*> rows)
    {
        for (const char* values : rows)
            insert(table, columns, values);
    }
    // A work order of customer C1 ("大華") with its pre-schedule documents D1..D3.
    void workOrder(const std::string& po, const std::string& fdate = "")
    {
        if (!customer_) {
            insert("CUST", "ID, SNAME", "'C1', '大華'");
            for (const char* id : {"D1", "D2", "D3"})
                insert("預排資料", "ID", std::string("'") + id + "'");
            customer_ = true;
        }
        insert("PWORK", "PO, CUST, [DESC], PDATE, FDATE", "'" + po + "', 'C1', '月曆', '1131220', '" + fdate + "'");
    }
    GridRows load(char kind, const std::string& machine = "", SortOption sort = SortOption::WorkOrder)
    {
        return LoadGrid(conn, KindNamed(kind), machine, sort);
    }

    db::test::FreshDatabase db;
    jet::Connection conn;
    bool customer_ = false;
};

TEST_F(Loading, OnlyOpenPiecesOfOpenWorkOrders)
{
    workOrder("W1");
    workOrder("W2", "1131130");   // finished work order
    insert("PASTE_S", "ID, INO, PO, [NO], FDATE, SVENDER, QTY", "'D1', 1, 'W1', 1, '', '王記', 1500");
    // The last piece's pre-schedule document is gone: not listed either.
    insert("PASTE_S", "ID, INO, PO, [NO], FDATE",
           {"'D1', 2, 'W1', 2, null", "'D1', 3, 'W1', 3, '1201-10'", "'D1', 4, 'W2', 1, ''", "'X9', 1, 'W1', 4, ''"});

    const GridRows rows = load('H');
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Column(rows, 1), (Texts{"W1", "W1"}));
    EXPECT_EQ(Column(rows, 2), (Texts{"1", "2"}));
    EXPECT_EQ(At(rows[0], GridLayoutOf(KindNamed('H')).column("數量")), "1500");
}

// Every grid starts with the work-order line, customer, vendor and product,
// names its piece under "確認單號" and "序", and leaves its working columns empty.
TEST_F(Loading, EveryKindListsItsPieceUnderTheCommonHead)
{
    workOrder("W1");
    for (const auto& k : ProcessKinds()) {
        SCOPED_TRACE(std::string(k.displayName));
        const std::string ino = std::to_string(k.number);
        insert(std::string(k.scheduledTable), "ID, INO, PO, [NO], SVENDER", "'D1', " + ino + ", 'W1', 3, '王記'");
        const GridRows rows = load(k.letter);
        ASSERT_EQ(rows.size(), 1u);
        const GridLayout& l = GridLayoutOf(k);
        const auto& r = rows[0];
        ASSERT_EQ(static_cast<int>(r.size()), l.columnCount());
        EXPECT_EQ((Texts{At(r, 1), At(r, 2), At(r, 3), At(r, 4), At(r, 5), At(r, l.idCol), At(r, l.inoCol),
                         At(r, l.column("交貨日"))}),
                  (Texts{"W1", "3", "大華", "王記", "月曆", "D1", ino, "1131220"}));
        EXPECT_EQ(At(r, l.column("單筆")) + At(r, l.column("拆台")), "");
    }
}

TEST_F(Loading, MachineFilterAndSortOptions)
{
    workOrder("W1");
    workOrder("W2");
    insert("GILDING_S", "ID, INO, PO, [NO], 順序, [ITEM], VENDER, ODATE, 車別",
           {"'D1', 1, 'W2', 1, '10', 'B', 'V2', '1131203', 'M1'",
            "'D2', 1, 'W1', 2, '10', 'A', 'V1', '1131201', 'O''Neil'",
            "'D1', 2, 'W1', 1, '9', 'C', 'V3', '1131202', 'M2'"});
    const GridLayout& l = GridLayoutOf(KindNamed('L'));
    auto keys = [&](SortOption s, const std::string& machine = "") {
        Texts out;
        for (const auto& r : load('L', machine, s))
            out.push_back(At(r, l.idCol) + "/" + At(r, l.inoCol));
        return out;
    };
    // The machine as typed, trimmed; blank lists every machine.
    EXPECT_EQ(keys(SortOption::WorkOrder, "   "), keys(SortOption::WorkOrder));
    EXPECT_EQ(keys(SortOption::WorkOrder, " M2 "), Texts{"D1/2"});
    EXPECT_EQ(keys(SortOption::WorkOrder, "O'Neil"), Texts{"D2/1"});
    EXPECT_TRUE(keys(SortOption::WorkOrder, "M3").empty());

    EXPECT_EQ(keys(SortOption::WorkOrder), (Texts{"D1/2", "D2/1", "D1/1"}));
    EXPECT_EQ(keys(SortOption::Content), (Texts{"D2/1", "D1/1", "D1/2"}));
    EXPECT_EQ(keys(SortOption::DueDate), (Texts{"D2/1", "D1/2", "D1/1"}));
    EXPECT_EQ(keys(SortOption::Vendor), (Texts{"D2/1", "D1/1", "D1/2"}));
    // "9" before "10"; within "10" the newer document D2 first.
    EXPECT_EQ(keys(SortOption::Sequence), (Texts{"D1/2", "D2/1", "D1/1"}));
    EXPECT_EQ(keys(SortOption::Machine), (Texts{"D1/1", "D1/2", "D2/1"}));

    // Ties on one work-order line: the document, the schedule order as a
    // number, then the piece.
    db.exec("delete from GILDING_S");
    insert("GILDING_S", "ID, INO, PO, [NO], 順序",
           {"'D2', 3, 'W1', 1, '9'", "'D1', 5, 'W1', 1, '10'", "'D1', 4, 'W1', 1, '10'", "'D1', 6, 'W1', 1, '9'"});
    EXPECT_EQ(keys(SortOption::WorkOrder), (Texts{"D1/6", "D1/4", "D1/5", "D2/3"}));
    EXPECT_EQ(keys(SortOption::Sequence), (Texts{"D2/3", "D1/6", "D1/4", "D1/5"}));
}

// The printing grid: counts in the thousands format, the form text or the
// density mark, the press estimate, and the other processes' flags and items.
TEST_F(Loading, PrintingColumns)
{
    workOrder("W1");
    insert("PRINTING_S", "ID, INO, PO, [NO], COLOR1, COLOR2, [COUNT], QTY1, QTY2, 車別, 表格",
           {"'D1', 1, 'W1', 1, 1234567, 0, 4, 3000, 3000, 'H1', 'T-1'", "'D1', 2, 'W1', 2, 1234.5, 4, 4, 3000, 3000, 'H1', ''",
            "'D1', 3, 'W1', 3, 0, 2, 2, 1000, 0, 'H2', null", "'D1', 4, 'W1', 4, 4, 4, 2, 1000, 0, 'H3', ''",
            "'D1', 5, 'W1', 5, 4, 4, 0, 1000, 0, 'H4', ''"});
    // H3's record is another kind's: it does not count. H4: 60 / 7000 * 1000 = 8.57 minutes,
    // 9 whole minutes, 0.15 hours.
    insert("印刷產能資料_工單", "種類, 機別, 每時產能, 每版耗時, 銜接時間",
           {"'D-印刷', 'H1', 6000, 10, 20", "'D-印刷', 'H2', 0, 10, 20", "'E-上光', 'H3', 6000, 10, 20",
            "'D-印刷', 'H4', 7000, 0, 0"});
    // Line 1: plate without finish date, paper finished, trim finish date null, no prepress line.
    insert("PLATE", "PO, [NO], FDATE", "'W1', 1, ''");
    insert("PAPER", "PO, [NO], FDATE, [ITEM]", "'W1', 1, '1130101', '銅版紙'");
    insert("TRIM", "PO, [NO], FDATE", "'W1', 1, null");
    insert("GLAZE", "PO, [NO], [ITEM]", "'W1', 1, '亮P'");
    // Line 2: every other process finished.
    for (const char* t : {"IMPRINT", "PLATE", "PAPER", "TRIM"})
        insert(t, "PO, [NO], FDATE", "'W1', 2, '1130102'");

    const GridRows rows = load('D');
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(Column(rows, 7), (Texts{"1,234,567", "1,234.5", "", "4", "4"}));
    EXPECT_EQ(Column(rows, 8), (Texts{"", "4", "2", "4", "4"}));
    EXPECT_EQ(Column(rows, 76), (Texts{"T-1", "", "", "", ""}));
    EXPECT_EQ(Column(rows, 77), (Texts{"V", "", "", "", ""}));
    // 60 / 6000 * 6000 + 10 * 4 + 20 = 120 minutes.
    EXPECT_EQ(Column(rows, 74), (Texts{"2.00", "2.00", "0", "0", "0.15"}));
    const GridLayout& l = GridLayoutOf(KindNamed('D'));
    Texts flags;
    for (const auto& r : rows)
        flags.push_back(At(r, l.column("調")) + At(r, l.column("版")) + At(r, l.column("紙")) + At(r, l.column("裁")));
    EXPECT_EQ(flags, (Texts{"V", "VVVV", "", "", ""}));   // line 1: the paper's
    EXPECT_EQ(Column(rows, 12), (Texts{"銅版紙", "", "", "", ""}));   // "紙品" of the paper line
    EXPECT_EQ(Column(rows, 13), (Texts{"亮P", "", "", "", ""}));     // "上光" of the varnishing line
    // The other kinds are copied as read.
    workOrder("W2");
    insert("GLAZE_S", "ID, INO, PO, [NO], QTY", "'D2', 1, 'W2', 1, 1234567");
    EXPECT_EQ(At(load('E').at(0), 10), "1234567");
}

// The estimate rounds to whole minutes first (the whole-hour, missing and
// zero-capacity cases are in PrintingColumns); a press's capacity is looked
// up once however many rows it prints.
TEST_F(Loading, PrintingEstimateRoundsToWholeMinutesAndLooksUpAPressOnce)
{
    // 60 / 4000 * 50 = 0.75 minutes rounds to 1 minute: 1/60 h is 0.02.
    const PressCapacity fast{4000, 0, 0};
    EXPECT_EQ(PrintingEstimate(&fast, 50, 0, 0), "0.02");
    // 30.5 minutes rounds half away from zero to 31: 0.5167 h.
    const PressCapacity half{120, 0, 0.5};
    EXPECT_EQ(PrintingEstimate(&half, 60, 0, 0), "0.52");

    insert("印刷產能資料_工單", "種類, 機別, 每時產能, 每版耗時, 銜接時間", "'D-印刷', 'H1', 6000, 10, 20");
    GridRows rows(4, std::vector<std::string>(static_cast<std::size_t>(GridLayoutOf(KindNamed('D')).columnCount())));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i][55] = i % 2 ? "H1" : "H9";
        rows[i][31] = "3000";
    }
    PressCapacityCache cache(conn);
    ApplyPrintingExtras(rows, cache);
    EXPECT_EQ(cache.lookups(), 2);
    EXPECT_EQ(Column(rows, 74), (Texts{"0", "0.83", "0", "0.83"}));
}

// Die-cutting shows its own line's marks and flags for the mounting and
// die-making lines; binding, the work order's size and binding steps.
TEST_F(Loading, DieCuttingAndBindingColumnsFromTheirLines)
{
    workOrder("W1");
    insert("CROWD_S", "ID, INO, PO, [NO]", {"'D1', 1, 'W1', 1", "'D1', 2, 'W1', 2"});
    insert("MOUNT", "PO, [NO], FDATE", {"'W1', 1, '1130101'", "'W1', 2, '1130101'"});
    insert("KNIFE", "PO, [NO], FDATE", "'W1', 2, '1130101'");
    // Only line 2 has its die-cutting line.
    insert("CROWD", "PO, [NO], 留, 紙, 刀", "'W1', 2, 'Y', 'V', 'N'");

    const GridRows rows = load('G');
    ASSERT_EQ(rows.size(), 2u);
    const GridLayout& l = GridLayoutOf(KindNamed('G'));
    EXPECT_EQ(Column(rows, l.column("裱")), (Texts{"", "V"}));
    EXPECT_EQ(Column(rows, l.column("刀", 2)), (Texts{"", "V"}));
    EXPECT_EQ(At(rows[1], l.column("留")) + At(rows[1], l.column("紙")) + At(rows[1], l.column("刀")), "YVN");

    db.exec("update [PWORK] set SPEC = 'A4' where PO = 'W1'");
    insert("BIND_S", "ID, INO, PO, [NO]", "'D1', 1, 'W1', 1");
    insert("工單裝訂流程", "PO, 裝訂項目1, 裝訂項目4", "'W1', '膠裝', '打孔'");
    const GridRows bound = load('J');
    ASSERT_EQ(bound.size(), 1u);
    EXPECT_EQ((Texts{At(bound[0], 6), At(bound[0], 16), At(bound[0], 19)}), (Texts{"A4", "膠裝", "打孔"}));
}

class Details : public Loading {};

TEST_F(Details, PanelOfAPrintingRow)
{
    workOrder("W1");
    db.exec("update [PWORK] set ODATE = '1131204', PREM = '先印正面', PEREM = '舊版', 急件 = '1', "
                 "包裝 = '紙箱' where PO = 'W1'");
    insert("VENDER", "ID, SNAME, TEL1", "'P01', '永豐印刷', '02-1234'");
    insert("PRINTING_S", "ID, INO, PO, [NO], VENDER, REM, ODATE", "'D1', 1, 'W1', 2, 'P01', '加急', '1131205'");
    insert("PLATE", "PO, [NO], FDATE", "'W1', 2, '1130101'");
    insert("PAPER", "PO, [NO], FDATE", "'W1', 2, ''");
    insert("VENDERAC", "PO, [NO], [KIND], SVENDER, ODATE",
           {"'W1', 2, '印 刷', '永豐', ''", "'W1', 2, '上 光', '亮光', ''", "'W1', 2, '裱 紙', '合裱', ''",
            "'W1', 2, '採 購', '紙行', ''", "'W1', 1, '印 刷', '別線', ''"});
    insert("工單頁數", "PO, [NO], 頁數", {"'W1', 1, 96", "'W1', 2, 4"});

    const GridRows rows = load('D');
    ASSERT_EQ(rows.size(), 1u);
    const RowDetails d = LoadRowDetails(conn, KindNamed('D'), rows[0]);
    EXPECT_TRUE(d.found);
    EXPECT_TRUE(d.rush);
    EXPECT_EQ((Texts{d.workOrder, d.line, d.customer, d.product, d.orderDate, d.dueDate, d.plannedDate,
                     d.remarkCaption, d.remark, d.packing, d.vendorCode, d.vendorName, d.vendorPhone, d.plateDone,
                     d.paperDone, d.rowRemark, d.pages}),
              (Texts{"W1", "2", "大華", "月曆", "113/12/04", "1131220", "1131205", "印刷備註:", "先印正面", "紙箱", "P01",
                     "永豐印刷", "02-1234", "Y", "N", "加急", "4"}));
    EXPECT_EQ(Lines(d), (Texts{"上 光 亮光", "印 刷 永豐"}));

    // The plate grid shows the plate remark and every outsourcing kind but purchasing.
    insert("PLATE_S", "ID, INO, PO, [NO], VENDER", "'D2', 1, 'W1', 2, 'NONE'");
    const RowDetails p = LoadRowDetails(conn, KindNamed('B'), load('B').at(0));
    EXPECT_EQ(p.remark, "舊版");
    EXPECT_EQ(Lines(p), (Texts{"上 光 亮光", "印 刷 永豐", "裱 紙 合裱"}));
    EXPECT_EQ(p.vendorName, "");
    // Other kinds show neither remark.
    const RowDetails g = LoadRowDetails(conn, KindNamed('G'), {"W1", "3"});
    // No page line 3: the work order's first page count.
    EXPECT_EQ((Texts{g.remarkCaption, g.remark, g.pages, g.plateDone}), (Texts{"", "", "96", "N"}));
    // A row without a work order, or of one that is gone, finds nothing.
    EXPECT_FALSE(LoadRowDetails(conn, KindNamed('A'), {"", ""}).found);
    EXPECT_FALSE(LoadRowDetails(conn, KindNamed('A'), {"NOPE", "1"}).found);
}

TEST(SlashedDate, NumberFormatOfDates)
{
    const std::pair<const char*, const char*> cases[] = {{"1131204", "113/12/04"}, {"0991204", "99/12/04"},
                                                         {" 991204 ", "99/12/04"}, {"", ""},
                                                         {"113/12/04", "113/12/04"}, {"11312040", "1131/20/40"}};
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(FormatSlashedDate(text), shown) << text;
}
