#include "printing/HistoryReport.h"

#include "platform/ui/QtText.h"

namespace qtmv::daily {

namespace {

using report::Align;
using report::Item;

// Column, caption, x and width (mm) of the printed table.
struct Column {
    const char* name;
    const char* caption;
    double x, width;
};
constexpr Column kColumns[] = {
    {"時間", "時間", 0, 24},    {"使用者", "使用者", 24, 20}, {"電腦", "電腦", 44, 20},
    {"確認單號", "確認單號-序", 64, 24}, {"工單", "工單-序", 88, 24},  {"欄位", "欄位", 112, 18},
    {"舊值", "舊值", 130, 30},  {"新值", "新值", 160, 30},
};

} // namespace

std::string HistorySubject(const ProcessKind& kind, const std::string& id, long long ino, const std::string& po,
                           long long no)
{
    return std::string(kind.displayName) + "　工單 " + po + " 序 " + std::to_string(no) + "　確認單號 " + id + " 序 " +
           std::to_string(ino);
}

report::PageDocument HistoryReport(const std::string& subject, const std::vector<HistoryEntry>& entries)
{
    std::vector<std::string> names;
    for (const Column& c : kColumns)
        names.emplace_back(c.name);
    report::DataTable rows(names);
    for (const HistoryEntry& e : entries)
        rows.addRow({report::Value(e.time), report::Value(e.user), report::Value(e.computer),
                     report::Value(e.id + "-" + std::to_string(e.ino)),
                     report::Value(e.po + "-" + std::to_string(e.no)), report::Value(e.field),
                     report::Value(e.before), report::Value(e.after)});

    report::Layout l;
    const report::Font title{report::kMingFamily, 14, true};
    const report::Font small{report::kMingFamily, 9, false};
    l.pageHeader.height = 24;
    l.pageHeader.items = {Item::text({0, 0, 190, 8}, QStringLiteral("日報異動紀錄"), Align::Center, title),
                          Item::text({0, 9, 190, 6}, qtmv::U8(subject), Align::Left, small),
                          Item::line({0, 23}, {190, 23})};
    for (const Column& c : kColumns)
        l.pageHeader.items.push_back(Item::text({c.x, 16, c.width - 1, 6}, QString::fromUtf8(c.caption), Align::Left, small));
    l.detail.height = 6;
    for (const Column& c : kColumns)
        l.detail.items.push_back(Item::field({c.x, 0, c.width - 1, 6}, c.name, Align::Left, small));
    l.pageFooter = {8, {Item::text({0, 1, 190, 6}, QStringLiteral("第 {page} 頁 / 共 {pages} 頁"), Align::Center, small)}};
    l.reportFooter = {8, {Item::text({0, 1, 190, 6},
                                     entries.empty() ? QStringLiteral("沒有異動紀錄")
                                                     : QStringLiteral("共 %1 筆").arg(entries.size()),
                                     Align::Left, small)}};
    return report::Paginate(l, rows);
}

} // namespace qtmv::daily
