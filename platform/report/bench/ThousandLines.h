#pragma once
// The benchmarks' report: 1,000 lines in groups of forty, with group and
// report totals and "page n of m".
#include "platform/report/Report.h"

#include <string>

namespace qtmv::report::bench {

inline DataTable ThousandLines()
{
    DataTable t({"PO", "DESC1", "QTY", "AMT"});
    for (int i = 0; i < 1000; ++i)
        t.addRow({"W" + std::to_string(1000 + i / 40), "印件名稱 彩色海報 " + std::to_string(i),
                  Value(100 + i), Value(12.5 * i)});
    return t;
}

inline Layout ListingLayout()
{
    Layout l;
    l.pageHeader.height = 14;
    l.pageHeader.items = {Item::text({0, 0, 190, 8}, "外發單", Align::Center, {kMingFamily, 14, true}),
                          Item::line({0, 12}, {190, 12})};
    Group g;
    g.keyColumn = "PO";
    g.header.height = 7;
    g.header.items = {Item::field({0, 0, 60, 6}, "PO", Align::Left, {kMingFamily, 10, true})};
    g.footer.height = 7;
    g.footer.items = {Item::total({150, 0, 40, 6}, "AMT", Aggregate::Sum)};
    l.groups.push_back(g);
    l.detail.height = 6;
    l.detail.items = {Item::field({0, 0, 30, 6}, "PO"), Item::field({32, 0, 80, 6}, "DESC1"),
                      Item::field({114, 0, 30, 6}, "QTY", Align::Right),
                      Item::field({150, 0, 40, 6}, "AMT", Align::Right)};
    l.pageFooter.height = 8;
    l.pageFooter.items = {Item::text({0, 1, 190, 6}, "第 {page} 頁 / 共 {pages} 頁", Align::Center)};
    l.reportFooter.height = 8;
    l.reportFooter.items = {Item::total({150, 0, 40, 6}, "AMT", Aggregate::Sum)};
    return l;
}

} // namespace qtmv::report::bench
