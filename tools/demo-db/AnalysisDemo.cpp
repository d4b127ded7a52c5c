#include "AnalysisDemo.h"

#include "Random.h"
#include "TableWriter.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace qtmv::demo {

namespace {

struct Pattern {
    std::string record, po, kind, machine, operatorId, operatorName, remark;
    long long no = 0;
    double done = 0;
    double hours = 0;
};

std::string Column(sqlite3_stmt* s, int i)
{
    const unsigned char* t = sqlite3_column_text(s, i);
    return t ? reinterpret_cast<const char*>(t) : "";
}

} // namespace

long long FillTimeLines(sqlite3* db, long long target, std::uint64_t seed, Date today)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db,
                           "select 單號, 工單單號, 工單序, ifnull(製程, ''), ifnull(機別, ''), 經辦代號, 經辦人員, "
                           "製作說明, 完工數量, cast(耗時 as real), "
                           "(select count(*) from [預排資料耗時明細]) "
                           "from [預排資料耗時明細] where 結束 <> '' and cast(耗時 as real) > 0 order by rowid",
                           -1, &s, nullptr)
        != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    std::vector<Pattern> patterns;
    long long have = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        patterns.push_back({Column(s, 0), Column(s, 1), Column(s, 3), Column(s, 4), Column(s, 5), Column(s, 6),
                            Column(s, 7), sqlite3_column_int64(s, 2), sqlite3_column_double(s, 8),
                            sqlite3_column_double(s, 9)});
        have = sqlite3_column_int64(s, 10);
    }
    sqlite3_finalize(s);
    if (patterns.empty() || have >= target)
        return 0;

    Random rng(seed ^ 0xA11A1515157ull);
    const int last = DayNumber(today);
    // Line numbers above the plant's own keep the copies unique per piece.
    std::map<std::string, int> seq;
    TableWriter t(db, "預排資料耗時明細");
    const long long add = target - have;
    for (long long i = 0; i < add; ++i) {
        const Pattern& p = patterns[static_cast<std::size_t>(i % static_cast<long long>(patterns.size()))];
        const int day = last - rng.between(1, 90);
        const int start = rng.between(8 * 60, 15 * 60);
        const double hours = std::max(0.25, std::round(p.hours * rng.real(0.6, 1.4) * 4) / 4);
        const int end = std::min(start + static_cast<int>(hours * 60), 23 * 60 + 59);
        const double done = std::round(p.done * rng.real(0.5, 1.5));
        const double defects = std::round(done * rng.real(0, 0.03));
        char hoursText[16];
        std::snprintf(hoursText, sizeof hoursText, "%.2f", hours);
        const int n = 1000 + ++seq[p.record + "|" + p.po + "|" + std::to_string(p.no) + "|" + p.kind];
        t.text("單號", p.record).text("工單單號", p.po).integer("工單序", p.no).integer("序", n);
        t.text("製程", p.kind).text("機別", p.machine);
        t.text("開始", RocDateTime(day, start)).text("結束", RocDateTime(day, end));
        t.real("完工數量", done).text("經辦代號", p.operatorId).text("經辦人員", p.operatorName);
        t.text("耗時", hoursText).text("製作說明", p.remark).real("不良數", defects);
        t.real("不良率", done > 0 ? std::round(defects / done * 10000) / 100 : 0);
        t.insert();
    }
    return add;
}

} // namespace qtmv::demo
