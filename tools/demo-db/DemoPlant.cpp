#include "DemoPlant.h"
#include "AnalysisDemo.h"
#include "QualityDemo.h"

#include "PlantWords.h"
#include "Random.h"
#include "TableWriter.h"

#include "common/ProcessKind.h"
#include "db/Database.h"
#include "quality/core/ColourDifference.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <span>
#include <unordered_map>
#include <variant>

namespace qtmv::demo {

namespace {

using namespace words;

constexpr int kKinds = 14;
// Kind positions (ProcessKind order).
enum : int { A, B, C, D, E, F, G, H, I, J, K, L, M, N };

template <typename T, std::size_t S>
std::span<const T> All(const T (&items)[S])
{
    return std::span<const T>(items, S);
}

std::string Fmt(const char* format, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string Padded(const char* prefix, long long n, int width)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%0*lld", prefix, width, n);
    return buf;
}

double Round2(double v) { return std::round(v * 100.0) / 100.0; }

// ---------------------------------------------------------------------------
// Master data

// The plant's own machines: rows of VENDER with 製作 <> 0, the machine
// phrases and the capacity records.
struct MachineSpec {
    const char* id;
    const char* name;
    std::array<int, 3> kinds; // -1 = unused
    double perHour;           // 0: no capacity record
    double perPlate;          // minutes per plate (printing), 0 = no job capacity record
    double changeover;
    const char* operatorId;
};

constexpr MachineSpec kMachines[] = {
    {"M01", "海德堡四色機", {D, -1, -1}, 8000, 15, 20, "A012"},
    {"M02", "小森五色機", {D, -1, -1}, 9000, 12, 25, "A014"},
    {"M03", "三菱雙色機", {D, -1, -1}, 6000, 10, 15, "A016"},
    {"M04", "秋山單色機", {D, -1, -1}, 0, 0, 0, "A018"}, // no capacity record
    {"M05", "上光機", {E, -1, -1}, 4000, 0, 0, "A019"},
    {"M06", "UV上光機", {E, -1, -1}, 3000, 0, 0, "A019"},
    {"M07", "裱紙機", {F, -1, -1}, 2500, 0, 0, "A020"},
    {"M08", "自動軋盒機", {G, -1, -1}, 3000, 0, 0, "A020"},
    {"M09", "軋燙兩用機", {G, L, -1}, 2000, 0, 0, "A022"},
    {"M10", "自動糊盒機", {H, -1, -1}, 8000, 0, 0, "A021"},
    {"M11", "大裁刀", {I, -1, -1}, 20000, 0, 0, "A022"},
    {"M12", "摺紙機", {I, -1, -1}, 10000, 0, 0, "A021"},
    {"M13", "膠裝機", {J, -1, -1}, 1500, 0, 0, "A022"},
    {"M14", "騎馬釘機", {J, -1, -1}, 3000, 0, 0, "A021"},
    {"M15", "CTP出版機", {B, -1, -1}, 60, 0, 0, "A025"},
    {"M16", "印前工作站", {A, -1, -1}, 0, 0, 0, "A024"},
    {"M17", "貨車一號", {M, -1, -1}, 0, 0, 0, "A026"},
    {"M18", "貨車二號", {M, -1, -1}, 0, 0, 0, "A027"},
    {"M19", "燙金機", {L, -1, -1}, 1800, 0, 0, "A020"},
    {"M20", "手工組", {H, J, N}, 0, 0, 0, "A023"}, // a machine phrase of every kind
};

struct VendorSpec {
    const char* id;
    const char* sname;
    const char* name;
    std::array<int, 3> kinds;
    bool disabled;
};

constexpr VendorSpec kVendors[] = {
    {"V001", "美藝設計", "美藝設計工作室", {A, -1, -1}, false},
    {"V002", "大興製版", "大興製版社", {B, -1, -1}, false},
    {"V003", "精華製版", "精華製版有限公司", {B, -1, -1}, false},
    {"V004", "永豐紙業", "永豐紙業股份有限公司", {C, F, -1}, false},
    {"V005", "華新紙業", "華新紙業有限公司", {C, -1, -1}, false},
    {"V006", "長春紙業", "長春紙業股份有限公司", {C, N, -1}, false},
    {"V007", "宏達印刷", "宏達印刷廠", {D, -1, -1}, false},
    {"V008", "金龍彩印", "金龍彩色印刷有限公司", {D, E, -1}, false},
    {"V009", "和成上光", "和成上光加工廠", {E, -1, -1}, false},
    {"V010", "亮彩UV", "亮彩UV加工有限公司", {E, L, -1}, false},
    {"V011", "佳美裱褙", "佳美裱褙加工廠", {F, -1, -1}, false},
    {"V012", "順發軋工", "順發軋工廠", {G, H, -1}, false},
    {"V013", "永信糊盒", "永信糊盒加工廠", {H, -1, -1}, false},
    {"V014", "利通裁切", "利通裁切加工廠", {I, -1, -1}, false},
    {"V015", "大川裝訂", "大川裝訂廠", {J, -1, -1}, false},
    {"V016", "精誠裝訂", "精誠裝訂有限公司", {J, -1, -1}, false},
    {"V017", "新光刀模", "新光刀模社", {K, -1, -1}, false},
    {"V018", "準確刀模", "準確刀模有限公司", {K, -1, -1}, false},
    {"V019", "金燦燙金", "金燦燙金加工廠", {L, -1, -1}, false},
    {"V020", "聯合貨運", "聯合貨運股份有限公司", {M, -1, -1}, false},
    {"V021", "順風快遞", "順風快遞有限公司", {M, -1, -1}, false},
    {"V022", "旭日包材", "旭日包材有限公司", {N, C, -1}, false},
    {"V023", "老字號印刷", "老字號印刷廠", {D, -1, -1}, true},
    {"V024", "舊城紙行", "舊城紙行", {C, -1, -1}, true},
    {"V025", "興隆製版", "興隆製版社", {B, E, -1}, true},
};

struct EmployeeSpec {
    const char* id;
    const char* name;
    const char* dept;
    const char* press;
    int leftDaysAgo; // 0 = still employed
    const char* group;
};

constexpr EmployeeSpec kEmployees[] = {
    {"A001", "王大明", "生產部", "海德堡四色機", 0, "G1"},
    {"A002", "陳志明", "業務部", "", 0, "G1"},
    {"A003", "林淑芬", "業務部", "", 0, "G1"},
    {"A004", "黃建宏", "業務部", "", 0, "G2"},
    {"A005", "張美玲", "業務部", "", 0, "G2"},
    {"A006", "李俊傑", "業務部", "", 0, "G1"},
    {"A007", "吳雅婷", "業務部", "", 400, "G2"},
    {"A008", "劉家豪", "業務部", "", 0, "G2"},
    {"A009", "蔡怡君", "工務部", "", 0, "G1"},
    {"A010", "楊文雄", "工務部", "", 0, "G1"},
    {"A011", "許麗華", "工務部", "", 0, "G2"},
    {"A012", "鄭明德", "印刷課", "海德堡四色機", 0, ""},
    {"A013", "謝國榮", "印刷課", "海德堡四色機", 0, ""},
    {"A014", "郭佩珊", "印刷課", "小森五色機", 0, ""},
    {"A015", "洪冠宇", "印刷課", "小森五色機", 0, ""},
    {"A016", "曾惠如", "印刷課", "三菱雙色機", 0, ""},
    {"A017", "邱家豪", "印刷課", "三菱雙色機", 300, ""},
    {"A018", "廖建宏", "印刷課", "秋山單色機", 0, ""},
    {"A019", "賴秀英", "後加工課", "上光機", 0, ""},
    {"A020", "徐俊傑", "後加工課", "自動軋盒機", 0, ""},
    {"A021", "周美玲", "後加工課", "自動糊盒機", 0, ""},
    {"A022", "葉國榮", "後加工課", "膠裝機", 0, ""},
    {"A023", "劉麗華", "後加工課", "", 150, ""},
    {"A024", "莊志明", "印前課", "", 0, ""},
    {"A025", "呂怡君", "印前課", "CTP出版機", 0, ""},
    {"A026", "江文雄", "運送部", "", 0, ""},
    {"A027", "何明德", "運送部", "", 0, ""},
    {"A028", "蕭雅婷", "品管部", "", 0, ""},
    {"A029", "羅冠宇", "品管部", "", 0, ""},
    {"A030", "高淑芬", "管理部", "", 0, "G1"},
};

// ---------------------------------------------------------------------------
// Products: what a work order makes, and which processes it usually needs.

struct ProductSpec {
    int weight;
    const char* unit;
    int qtyLo, qtyHi;
    std::array<double, kKinds> chance; // per kind, A..N
    double secondPrinting;
    bool booklet;
};

enum Product { Catalogue, Manual, AnnualReport, Box, Bag, Poster, Flyer, Sticker, HangTag, Card, Envelope, Calendar };

constexpr ProductSpec kProducts[] = {
    //           A    B    C    D    E    F    G    H    I    J    K    L    M    N
    {14, "本", 500, 5000, {.9, 1, 1, 1, .3, 0, 0, 0, .9, 1, 0, .05, .6, .05}, .6, true},
    {12, "本", 1000, 10000, {.6, 1, 1, 1, .05, 0, 0, 0, .9, .8, 0, 0, .4, .05}, .3, true},
    {4, "本", 300, 2000, {1, 1, 1, 1, .6, 0, 0, 0, 1, 1, 0, .3, .7, .1}, .7, true},
    {16, "個", 1000, 20000, {.5, 1, 1, 1, .7, .3, 1, 1, 0, 0, .35, .25, .5, .1}, .15, false},
    {7, "個", 500, 5000, {.4, 1, 1, 1, .9, 0, 1, 1, 0, 0, .25, .1, .4, .3}, .1, false},
    {7, "張", 500, 3000, {.6, 1, 1, 1, .2, 0, 0, 0, .8, 0, 0, 0, .3, .05}, .05, false},
    {12, "張", 5000, 50000, {.3, 1, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, .3, 0}, .05, false},
    {8, "張", 1000, 20000, {.4, 1, 1, 1, .3, 0, 1, 0, .5, 0, .3, 0, 0, .05}, .05, false},
    {6, "張", 1000, 10000, {.3, 1, 1, 1, .5, 0, 1, 0, .6, 0, .2, .2, 0, 0}, .1, false},
    {5, "盒", 10, 60, {0, 1, 1, 1, .5, 0, 0, 0, 1, 0, 0, 0, 0, 0}, 0, false},
    {5, "個", 2000, 20000, {0, 1, 1, 1, 0, 0, 1, 1, 0, 0, .1, 0, 0, 0}, 0, false},
    {4, "本", 300, 3000, {.8, 1, 1, 1, .3, 0, 0, 0, 1, 1, 0, .1, .5, 0}, .4, true},
};

// Days after the order date at which a kind is usually scheduled.
constexpr int kStageDay[kKinds] = {1, 2, 2, 4, 6, 7, 8, 10, 8, 10, 3, 8, 13, 9};
// Kinds whose own machines record their time.
constexpr bool kTimed[kKinds] = {false, false, false, true, true, true, true, true, true, true, false, true, false, false};

// ---------------------------------------------------------------------------
// Runtime records

struct Vendor {
    std::string id, sname, name, tel, fax, address, contact;
    std::array<bool, kKinds> does{};
    bool own = false;
    bool disabled = false;
    double perHour = 0;
    std::string operatorId;
};

struct Employee {
    std::string id, name, dept, press, group;
    int leftDay = 0; // 0 = employed
};

struct Customer {
    std::string id, sname, name, contact, empno, address;
    bool disabled = false;
};

// A pre-schedule document: a machine's schedule for a few days, or an order
// of one kind to an outside vendor.
struct Document {
    std::string id;
    std::array<int, kKinds> lastIno{};
};

using Extra = std::variant<double, std::string>;

struct TimeLine {
    std::string record; // 單號
    int seq = 0;
    int startDay = 0, startMinute = 0;
    int endDay = -1, endMinute = 0; // endDay < 0: not ended
    double done = 0, defects = 0;
    int minutes = 0;
    std::string operatorId, operatorName, remark;
    bool withoutKind = false, withoutMachine = false, nullMachine = false;
};

struct Piece {
    Document* doc = nullptr;
    int ino = 0;
    std::string order; // 順序
    int sched = 0;
    bool finished = false;
    int finishDay = 0, finishHour = 0;
    std::string fdate;  // finish text ('' when open)
    bool nullFdate = false;
    double qty = 0, amt = 0;
    std::vector<TimeLine> times;
};

struct Line {
    int kind = 0;
    int no = 1;
    int vendor = -1;
    std::string desc, item, unit, remark;
    double qty = 0, price = 0, amt = 0;
    std::vector<std::pair<std::string_view, Extra>> extras; // kind columns
    std::vector<Piece> pieces;
    int downVendor = -1, upVendor = -1;
    bool finished = false;
    bool settled = false; // outsourced work paid to the vendor
    bool deposit = false; // part paid in advance
    std::string fdate;
    bool nullFdate = false;
    int finishDay = 0;
    std::string dieCode;
};

class Plant {
public:
    Plant(sqlite3* db, const DemoOptions& o)
        : db_(db), opt_(o), rng_(o.seed), today_(DayNumber(o.today))
    {
        const long long n = std::max<long long>(1, o.workOrders);
        span_ = static_cast<int>(std::clamp<long long>(n / 40, 45, 1500));
        const double perDay = static_cast<double>(n) / span_;
        bucketDays_ = std::max(1, static_cast<int>(std::lround(30.0 / std::max(perDay, 1.0))));
        bucketDays_ = std::min(bucketDays_, 7);
    }

    DemoSummary run()
    {
        masters();
        settings();
        for (long long i = 0; i < opt_.workOrders; ++i)
            workOrder(i);
        lookupCases();
        extraVendors();
        return summary_;
    }

private:
    TableWriter& w(const std::string& table)
    {
        auto it = writers_.find(table);
        if (it == writers_.end())
            it = writers_.emplace(table, std::make_unique<TableWriter>(db_, table)).first;
        return *it->second;
    }

    const ProcessKind& kind(int k) const { return ProcessKinds()[static_cast<std::size_t>(k)]; }

    std::string phone()
    {
        const W area = rng_.pick(All(kAreaCodes));
        char buf[32];
        if (area == "02")
            std::snprintf(buf, sizeof buf, "(02)2%03d-%04d", rng_.below(1000), rng_.below(10000));
        else
            std::snprintf(buf, sizeof buf, "(%s)%d%02d-%04d", std::string(area).c_str(), rng_.between(2, 9),
                          rng_.below(100), rng_.below(10000));
        return buf;
    }
    std::string address()
    {
        return std::string(rng_.pick(All(kCities))) + std::to_string(rng_.between(1, 320)) + "號";
    }
    std::string personName()
    {
        return std::string(rng_.pick(All(kSurnames))) + std::string(rng_.pick(All(kGivenNames)));
    }
    // '0', '' or NULL: the three ways a row is marked active.
    void activeFlag(TableWriter& t, std::string_view column)
    {
        const int r = rng_.below(10);
        if (r < 5)
            t.text(column, "0");
        else if (r < 9)
            t.text(column, "");
        else
            t.null(column);
    }

    void masters();
    void lookupCases();
    void extraVendors();
    void settings();
    void phrases();
    void workOrder(long long i);
    void planLines(Product product, bool showcase, std::vector<Line>& lines);
    void fillLine(Line& line, Product product, double orderQty, int pages);
    int pickVendor(int k, int orderDay, bool showcase);
    Document& document(int day, int vendor, int k);
    const Employee& operatorFor(const Vendor& v, int k, int day);
    void writeLine(const std::string& po, const Line& line, const Customer& cust);
    void writeTimes(const std::string& po, const Line& line, const Piece& piece);
    void writeVendorOrder(const std::string& po, const Line& line, const std::string& orderId);
    void writePaperPurchase(const std::string& po, const Line& line, int day);
    void writeDie(const std::string& po, Line& line, const Customer& cust, const std::string& desc,
                  const std::string& empno, int day, bool made, bool rework);
    void writeInspection(const std::string& po, const Line& line);
    void writePrintingData(const std::string& po, const Line& line);

    sqlite3* db_;
    DemoOptions opt_;
    Random rng_;
    int today_;
    int span_ = 45;
    int bucketDays_ = 1;
    std::unordered_map<std::string, std::unique_ptr<TableWriter>> writers_;

    std::vector<Vendor> vendors_;
    std::array<std::vector<int>, kKinds> ownByKind_, outsideByKind_, retiredByKind_;
    std::vector<Employee> employees_;
    std::vector<int> sales_, printers_, finishers_, planners_;
    std::vector<Customer> customers_;
    std::vector<std::string> storeLocations_;

    std::unordered_map<long long, Document> documents_;
    std::unordered_map<int, int> documentsPerDay_;
    std::unordered_map<long long, std::pair<std::string, int>> purchases_;
    std::unordered_map<int, int> purchasesPerDay_;
    std::vector<std::string> dies_;
    std::unordered_map<std::string, int> timeSeq_; // of the current work order
    int poMonth_ = -1, poSeq_ = 0;
    int tmpRecords_ = 0;
    DemoSummary summary_;
};

// ---------------------------------------------------------------------------

void Plant::masters()
{
    // Vendors: the plant's own machines first, then the outside vendors.
    for (const MachineSpec& m : kMachines) {
        Vendor v;
        v.id = m.id;
        v.sname = m.name;
        v.name = m.name;
        v.own = true;
        v.perHour = m.perHour;
        v.operatorId = m.operatorId;
        v.tel = "分機" + std::to_string(200 + static_cast<int>(vendors_.size()));
        for (int k : m.kinds)
            if (k >= 0)
                v.does[static_cast<std::size_t>(k)] = true;
        vendors_.push_back(v);
    }
    for (const VendorSpec& s : kVendors) {
        Vendor v;
        v.id = s.id;
        v.sname = s.sname;
        v.name = s.name;
        v.disabled = s.disabled;
        v.tel = phone();
        v.fax = phone();
        v.address = address();
        v.contact = personName();
        for (int k : s.kinds)
            if (k >= 0)
                v.does[static_cast<std::size_t>(k)] = true;
        vendors_.push_back(v);
    }
    TableWriter& vt = w("VENDER");
    for (std::size_t i = 0; i < vendors_.size(); ++i) {
        const Vendor& v = vendors_[i];
        vt.text("ID", v.id).text("NAME", v.name).text("SNAME", v.sname).text("NAM2", v.contact);
        vt.text("TEL1", v.tel).text("FAX", v.fax).text("ADD1", v.address);
        vt.real("RATE", v.own ? 0 : 5).text("MEMO", v.own ? "本廠設備" : "");
        vt.text("付款方式", v.own ? "" : (i % 3 == 0 ? "月結60天" : "月結30天"));
        vt.integer("製作", v.own ? 1 : 0);
        if (v.disabled)
            vt.text("停用", "1");
        else
            activeFlag(vt, "停用");
        for (int k = 0; k < kKinds; ++k) {
            const std::string col = "ITEM" + std::to_string(k + 1);
            vt.text(col, v.does[static_cast<std::size_t>(k)] ? "1" : (rng_.chance(0.5) ? "0" : ""));
            if (v.does[static_cast<std::size_t>(k)]) {
                auto& list = v.own ? ownByKind_ : (v.disabled ? retiredByKind_ : outsideByKind_);
                list[static_cast<std::size_t>(k)].push_back(static_cast<int>(i));
            }
        }
        vt.insert();
    }

    // Capacities: some machines have none.
    for (const MachineSpec& m : kMachines) {
        if (m.perHour <= 0)
            continue;
        const int k = m.kinds[0];
        w("印刷產能資料").text("機別", m.name).text("種類", kind(k).displayName).real("每時產能", m.perHour).insert();
        if (k == D && m.perPlate > 0)
            w("印刷產能資料_工單")
                .text("種類", "D-印刷")
                .text("機別", m.name)
                .real("每時產能", m.perHour)
                .real("每版耗時", m.perPlate)
                .real("銜接時間", m.changeover)
                .insert();
    }

    // Employees.
    TableWriter& et = w("EMPLOYEE");
    for (const EmployeeSpec& e : kEmployees) {
        Employee x;
        x.id = e.id;
        x.name = e.name;
        x.dept = e.dept;
        x.press = e.press;
        x.group = e.group;
        x.leftDay = e.leftDaysAgo ? today_ - e.leftDaysAgo : 0;
        const int index = static_cast<int>(employees_.size());
        employees_.push_back(x);
        if (x.dept == "業務部")
            sales_.push_back(index);
        else if (x.dept == "印刷課")
            printers_.push_back(index);
        else if (x.dept == "後加工課")
            finishers_.push_back(index);
        else if (x.dept == "工務部")
            planners_.push_back(index);
        et.text("ID", x.id).text("NAME", x.name).text("部門", x.dept).text("車別", x.press);
        et.text("ODATE", x.leftDay ? Roc7(x.leftDay) : "");
        et.text("GROUP", x.group).text("分機代號", std::to_string(200 + index));
        if (x.dept == "業務部") {
            const EmployeeSpec& coordinator = kEmployees[8 + index % 3]; // the planners
            et.text("工務人員代號", coordinator.id).text("工務人員", coordinator.name);
        }
        et.insert();
    }

    // Users: the administrator, a planner, a read-only inspector and a
    // salesperson who may not print.
    struct UserSpec {
        const char* name;
        const char* admin;
        std::string workOrderRights, productionRights;
    };
    const std::string all1(50, '1'), all0(20, '0');
    std::string readOnly = all0, noPrint = all0, noWorkOrder = all1;
    readOnly[11] = '1';
    noPrint[13] = '1';
    noWorkOrder[0] = '0';
    const UserSpec users[] = {{"王大明", "Y", all1, all0},
                              {"楊文雄", "N", all1, all0},
                              {"蕭雅婷", "N", noWorkOrder, readOnly},
                              {"陳志明", "", all1, noPrint}};
    for (const UserSpec& u : users) {
        w("使用者資料").text("使用者", u.name).text("密碼", "").text("管理者", u.admin).insert();
        w("使用者資料明細")
            .text("使用者", u.name)
            .text("工單作業細部", u.workOrderRights)
            .text("生產管理細部", u.productionRights)
            .insert();
    }

    // Customers, a few of them disabled, some without a salesperson.
    const int count = static_cast<int>(std::clamp<long long>(opt_.workOrders / 25, 25, 640));
    std::vector<int> order(std::size(kCompanyPrefixes) * std::size(kCompanySuffixes));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    for (std::size_t i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[static_cast<std::size_t>(rng_.below(static_cast<int>(i) + 1))]);
    TableWriter& ct = w("CUST");
    for (int c = 0; c < count; ++c) {
        const int combo = order[static_cast<std::size_t>(c)];
        Customer x;
        x.id = Padded("C", c + 1, 4);
        x.sname = std::string(kCompanyPrefixes[static_cast<std::size_t>(combo) / std::size(kCompanySuffixes)]) +
                  std::string(kCompanySuffixes[static_cast<std::size_t>(combo) % std::size(kCompanySuffixes)]);
        x.name = x.sname + std::string(rng_.pick(All(kCompanyForms)));
        x.contact = personName();
        x.address = address();
        x.disabled = c % 16 == 5; // one in sixteen no longer orders
        if (!rng_.chance(0.05))
            x.empno = employees_[static_cast<std::size_t>(sales_[static_cast<std::size_t>(rng_.below(
                                     static_cast<int>(sales_.size())))])]
                          .id;
        ct.text("ID", x.id).text("NAME", x.name).text("SNAME", x.sname).text("NAM2", x.contact);
        ct.text("TNO", Padded("", 10000000 + rng_.below(89999999), 8));
        ct.text("TEL1", phone()).text("FAX", phone()).text("ADD1", x.address).text("ADD3", x.address);
        ct.text("EMPNO", x.empno).real("RATE", 5).text("PAYDATE", rng_.chance(0.5) ? "月結30天" : "月結60天");
        if (x.disabled)
            ct.text("停用", "1");
        else
            activeFlag(ct, "停用");
        ct.text("不附回郵", rng_.chance(0.1) ? "Y" : "");
        for (const Employee& e : employees_)
            if (e.id == x.empno)
                ct.text("GROUP", e.group);
        ct.insert();
        customers_.push_back(x);
    }
    // Further customers a salesperson looks after.
    for (int s : sales_) {
        std::vector<std::string> seen;
        for (int n = 0; n < 3; ++n) {
            const Customer& x = customers_[static_cast<std::size_t>(rng_.below(count))];
            if (x.empno == employees_[static_cast<std::size_t>(s)].id ||
                std::find(seen.begin(), seen.end(), x.id) != seen.end())
                continue;
            seen.push_back(x.id);
            w("CUSTE").text("ID", x.id).text("EMPNO", employees_[static_cast<std::size_t>(s)].id).insert();
        }
    }

    phrases();
}

// Rows the lookups must cope with, written after the work orders (and with
// fixed values) so that the rest of the plant does not change with them:
// names holding a like wildcard or a quote, staff of the delivery side in
// departments other than 運送部, a driver who has left, an employee whose
// department and leaving date other programs left null, and a void die.
void Plant::lookupCases()
{
    TableWriter& vt = w("VENDER");
    struct Odd {
        const char* id;
        const char* sname;
        const char* name;
        int kind;
    };
    for (const Odd& o : {Odd{"V026", "100%再生紙", "百分百再生紙業有限公司", C},
                         Odd{"V027", "Mary's設計", "Mary's設計工作室", A},
                         Odd{"V028", "A_1快印", "A_1快速印刷行", D}}) {
        vt.text("ID", o.id).text("NAME", o.name).text("SNAME", o.sname).text("NAM2", "").text("TEL1", "");
        vt.real("RATE", 5).integer("製作", 0).text("停用", "0");
        for (int k = 0; k < kKinds; ++k)
            vt.text("ITEM" + std::to_string(k + 1), k == o.kind ? "1" : "");
        vt.insert();
    }

    TableWriter& et = w("EMPLOYEE");
    et.text("ID", "A031").text("NAME", "鍾志強").text("部門", "司機").text("ODATE", Roc7(today_ - 200)).insert();
    et.text("ID", "A032").text("NAME", "孫國華").text("部門", "物流課").text("ODATE", "").insert();
    et.text("ID", "A033").text("NAME", "方美惠").null("部門").null("ODATE").insert();

    if (!dies_.empty()) {
        dies_.push_back(Padded("K", static_cast<long long>(dies_.size()) + 1, 5));
        const Customer& cust = customers_.front();
        w("刀模管理資料")
            .integer("序", static_cast<long long>(dies_.size()))
            .text("作廢", "Y")
            .text("日期", Roc7(today_ - 30))
            .text("刀模代號", dies_.back())
            .text("規格", "20.0*15.0*5.0cm")
            .real("模數", 2)
            .text("說明", "刀模損壞，已作廢")
            .text("客戶代號", cust.id)
            .text("客戶簡稱", cust.sname)
            .text("業務員代號", cust.empno)
            .text("品名", "舊款禮盒")
            .insert();
    }
}

// Many more outside vendors (DemoOptions::extraVendors), from a random
// sequence of their own.
void Plant::extraVendors()
{
    Random rng(opt_.seed ^ 0x5EED0F7E4D0A5ull);
    TableWriter& vt = w("VENDER");
    for (long long i = 1; i <= opt_.extraVendors; ++i) {
        const std::string sname = std::string(rng.pick(All(kCompanyPrefixes))) +
                                  std::string(rng.pick(All(kCompanySuffixes))) + std::to_string(i);
        vt.text("ID", Padded("W", i, 6)).text("NAME", sname + "有限公司").text("SNAME", sname);
        vt.text("NAM2", personName()).text("TEL1", phone()).text("FAX", phone()).text("ADD1", address());
        vt.real("RATE", 5).text("付款方式", i % 3 == 0 ? "月結60天" : "月結30天").integer("製作", 0);
        if (rng.chance(0.05))
            vt.text("停用", "1");
        else
            activeFlag(vt, "停用");
        const int first = rng.below(kKinds);
        const int second = rng.chance(0.3) ? rng.below(kKinds) : -1;
        for (int k = 0; k < kKinds; ++k)
            vt.text("ITEM" + std::to_string(k + 1), k == first || k == second ? "1" : "");
        vt.insert();
    }
}

void Plant::phrases()
{
    TableWriter& p = w("PHRASE");
    auto add = [&](std::string_view kindText, std::string_view item, std::string_view desc, std::string_view msg) {
        p.text("KIND", kindText).text("ITEM", item).text("DESC", desc).text("MSG", msg).insert();
    };
    for (const MachineSpec& m : kMachines) {
        std::string msg;
        if (std::string_view(m.name) != "手工組") // the hand work group serves every kind
            for (int k : m.kinds)
                if (k >= 0) {
                    if (!msg.empty())
                        msg += ',';
                    msg += kind(k).name;
                }
        add("Z-雜項", "機別", m.name, msg);
    }
    for (W s : kStoppages)
        add("Z-雜項", "停工說明", s, "");
    for (W s : kInks)
        add("Z-雜項", "油墨明細", s, "");
    for (W s : kBindings)
        add("Z-雜項", "裝訂說明", s, "");
    for (char row = 'A'; row <= 'C'; ++row)
        for (int n = 1; n <= 6; ++n) {
            storeLocations_.push_back(std::string(1, row) + "-" + Padded("", n, 2));
            add("Z-雜項", "儲位", storeLocations_.back(), "");
        }
    for (W s : kPackings)
        if (!s.empty())
            add("Z-雜項", "包裝", s, "");
    for (W s : {"四色", "特別色", "黑白", "專色+四色"})
        add("Z-雜項", "顏色說明", s, "");
    for (W s : {"留版", "不留版", "留版三個月"})
        add("Z-雜項", "留版說明", s, "");
    for (W s : {"機械", "物料", "人員", "品質"})
        add("Z-雜項", "停工類別", s, "");
    for (W s : {"依樣稿", "同上批", "客戶自備紙", "急件"})
        add("Z-雜項", "固定片語", s, "");
    for (W s : {"一樓倉庫", "二樓倉庫", "成品倉"})
        add("Z-雜項", "撥出倉位", s, "");
    for (std::size_t i = 0; i < std::size(kSheetSizes); ++i)
        add("Z-雜項", "印刷尺寸", kSheetSizes[i], kSheetDims[i]);
    for (W s : {"月結30天", "月結60天", "現金"})
        add("A-一般", "付款方式", s, "");

    // Inspection phrases per kind.
    struct InspectionSpec {
        const char* kindText;
        std::array<const char*, 4> items, standards;
        std::array<const char*, 2> units;
    };
    const InspectionSpec inspections[] = {
        {"D-印刷",
         {"色差", "套印準確", "髒污墨點", "數量"},
         {"ΔE≦3.0", "套印誤差≦0.1mm", "目視無明顯髒點", "依工單數量±1%"},
         {"印刷課", "品管課"}},
        {"E-上光", {"光澤度", "膜面平整", "附著性", "數量"}, {"與樣品一致", "無氣泡皺摺", "膠帶測試不脫落", "依工單數量"}, {"後加工課", "品管課"}},
        {"G-軋工", {"軋型位置", "壓線深度", "毛邊", "數量"}, {"偏差≦0.5mm", "摺合順暢不爆線", "無毛邊", "依工單數量"}, {"後加工課", "品管課"}},
        {"H-糊工", {"黏合強度", "成型尺寸", "膠痕", "數量"}, {"拉扯不脫膠", "±1mm", "無溢膠", "依工單數量"}, {"後加工課", "品管課"}},
        {"I-裁摺", {"裁切尺寸", "摺線位置", "刀痕", "數量"}, {"±0.5mm", "偏差≦1mm", "無刀痕", "依工單數量"}, {"後加工課", "品管課"}},
        {"J-裝訂", {"頁序", "書背平整", "釘位", "數量"}, {"頁序正確無缺頁", "書背無皺摺", "釘位居中", "依工單數量"}, {"後加工課", "品管課"}},
    };
    TableWriter& q = w("片語資料_品檢");
    for (const InspectionSpec& s : inspections) {
        for (const char* x : s.items)
            q.text("KIND", s.kindText).text("ITEM", "主要檢查項目").text("DESC", x).insert();
        for (const char* x : s.standards)
            q.text("KIND", s.kindText).text("ITEM", "檢查標準").text("DESC", x).insert();
        for (const char* x : s.units)
            q.text("KIND", s.kindText).text("ITEM", "權責單位").text("DESC", x).insert();
    }
}

void Plant::settings()
{
    w("COMPANY")
        .text("COMPANY", "宏昌彩色印刷股份有限公司")
        .text("地址", "新北市土城區中央路三段128號")
        .text("電話", "(02)2268-1234")
        .text("傳真", "(02)2268-5678")
        .text("統一編號", "12345678")
        .insert();
    w("COMPANY1").text("COMPANY", "宏昌彩色印刷廠").text("地址", "新北市土城區中央路三段128號").insert();
    w("COMPANY2").text("COMPANY", "宏昌紙器包裝有限公司").text("地址", "桃園市龜山區文化一路66號").insert();
    w("COMPANY3").text("COMPANY", "宏昌數位印刷").insert();
    w("COMPANY4").text("COMPANY", "").insert();
    w("排程表尾預設")
        .text("REM", "請依交期準時交貨，如有延誤請事先通知。")
        .text("REM1", "交貨時請附送貨單並註明工單單號。")
        .text("REM2", "品質不符者本公司得退貨或扣款。")
        .insert();
    w("單筆備註預設").text("REM", "交貨前請先來電聯絡。").insert();
    w("SYSDB").text("PNAME", "工務預排").text("CODE", "000000").insert();
    w("SYSLOAD").text("ID", "DEMO-PC\\user").text("COMPUTER", "DEMO-PC").text("EXCEL", "C:\\報表\\").insert();
    w("邊界設定_半張紙")
        .text("ID", "DEMO-PC\\user")
        .real("上邊界", 10)
        .real("下邊界", 10)
        .real("左邊界", 15)
        .real("右邊界", 10)
        .insert();
}

// ---------------------------------------------------------------------------
// Work orders

int Plant::pickVendor(int k, int orderDay, bool showcase)
{
    const auto& own = ownByKind_[static_cast<std::size_t>(k)];
    const auto& outside = outsideByKind_[static_cast<std::size_t>(k)];
    const auto& retired = retiredByKind_[static_cast<std::size_t>(k)];
    if (!own.empty() && (showcase || outside.empty() || rng_.chance(k == N ? 0.4 : 0.75)))
        return own[static_cast<std::size_t>(rng_.below(static_cast<int>(own.size())))];
    // Vendors that have since been disabled still appear on old orders.
    if (!retired.empty() && today_ - orderDay > 365 && rng_.chance(0.3))
        return retired[static_cast<std::size_t>(rng_.below(static_cast<int>(retired.size())))];
    return outside[static_cast<std::size_t>(rng_.below(static_cast<int>(outside.size())))];
}

Document& Plant::document(int day, int vendor, int k)
{
    const Vendor& v = vendors_[static_cast<std::size_t>(vendor)];
    const int bucket = (day >= 0 ? day : day - bucketDays_ + 1) / bucketDays_;
    // A machine keeps one schedule for all of its kinds; an outside vendor
    // gets one order per kind.
    const long long key = (static_cast<long long>(bucket) * 100 + vendor) * 16 + (v.own ? 15 : k);
    auto it = documents_.find(key);
    if (it != documents_.end())
        return it->second;
    const int docDay = bucket * bucketDays_;
    const int seq = ++documentsPerDay_[docDay];
    Document doc;
    doc.id = Roc7(docDay) + Padded("", seq, 3);
    const Employee& planner =
        employees_[static_cast<std::size_t>(planners_[static_cast<std::size_t>(rng_.below(3))])];
    w("預排資料")
        .text("ID", doc.id)
        .text("DATE", Roc7(docDay))
        .text("預排人員代號", planner.id)
        .text("預排人員", planner.name)
        .text("說明", v.own ? v.sname + " 排程" : v.sname + " " + std::string(kind(k).name) + "外發")
        .insert();
    return documents_.emplace(key, doc).first->second;
}

const Employee& Plant::operatorFor(const Vendor& v, int k, int day)
{
    for (const Employee& e : employees_)
        if (e.id == v.operatorId && (e.leftDay == 0 || e.leftDay > day))
            return e;
    const auto& pool = k == D ? printers_ : finishers_;
    for (int tries = 0; tries < 8; ++tries) {
        const Employee& e = employees_[static_cast<std::size_t>(pool[static_cast<std::size_t>(
            rng_.below(static_cast<int>(pool.size())))])];
        if (e.leftDay == 0 || e.leftDay > day)
            return e;
    }
    return employees_[0];
}

void Plant::planLines(Product product, bool showcase, std::vector<Line>& lines)
{
    const ProductSpec& spec = kProducts[product];
    for (int k = 0; k < kKinds; ++k) {
        if (!showcase && !rng_.chance(spec.chance[static_cast<std::size_t>(k)]))
            continue;
        int count = 1;
        if (k == D)
            count = showcase ? 3 : (rng_.chance(spec.secondPrinting) ? (rng_.chance(0.1) ? 3 : 2) : 1);
        else if (k == E)
            count = showcase ? 2 : (rng_.chance(0.12) ? 2 : 1);
        else if (k == C && spec.booklet && rng_.chance(0.5))
            count = 2; // cover and inner paper
        for (int no = 1; no <= count; ++no) {
            Line l;
            l.kind = k;
            l.no = no;
            lines.push_back(std::move(l));
        }
    }
}

void Plant::fillLine(Line& l, Product product, double orderQty, int pages)
{
    const ProductSpec& spec = kProducts[product];
    auto x = [&](std::string_view col, Extra v) { l.extras.emplace_back(col, std::move(v)); };
    const int colours1 = rng_.chance(0.7) ? 4 : (rng_.chance(0.5) ? 2 : 1);
    const int colours2 = spec.booklet || rng_.chance(0.3) ? colours1 : 0;
    const int plates = spec.booklet ? std::max(1, (pages + 15) / 16) : 1;
    const double sheets =
        std::max(500.0, std::ceil(orderQty * (spec.booklet ? plates : 1) / (spec.booklet ? 2.0 : 4.0) / 100) * 100);
    // Most processes are charged by the sheet, at a price in cents between low and high.
    auto bySheet = [&](int low, int high) {
        l.qty = sheets;
        l.unit = "張";
        l.price = rng_.between(low, high) / 100.0;
    };
    const std::size_t sizeIndex = static_cast<std::size_t>(rng_.below(static_cast<int>(std::size(kSheetSizes))));
    const W paper = rng_.pick(All(kPaperItems));
    const int grams = rng_.pick(All(kPaperWeights));
    const std::string paperSpec = std::to_string(grams) + "g " + std::string(kSheetSizes[sizeIndex]);
    switch (l.kind) {
    case A:
        l.desc = "印前製作";
        l.item = rng_.pick({"全彩設計", "文字排版", "修圖完稿", "數位打樣"});
        l.qty = spec.booklet ? pages : 1;
        l.unit = spec.booklet ? "頁" : "式";
        l.price = spec.booklet ? rng_.between(20, 60) * 10 : rng_.between(15, 80) * 100;
        x("KIND", std::string(rng_.pick({"設計", "完稿", "打樣"})));
        x("SPEC", std::string(spec.booklet ? "A4" : kSheetSizes[sizeIndex]));
        x("PAGE", static_cast<double>(pages));
        x("COLOR1", static_cast<double>(colours1));
        x("COLOR2", static_cast<double>(colours2));
        x("PLATD", std::string("菊版"));
        x("PQTY", static_cast<double>(plates * (colours1 + colours2)));
        x("TQTY", static_cast<double>(plates));
        x("KQTY", 16.0);
        x("MQTY", 1.0);
        {
            const Employee& designer = employees_[23 + static_cast<std::size_t>(rng_.below(2))];
            x("EMP", designer.name);
            x("EMPNO", designer.id);
        }
        break;
    case B:
        l.desc = rng_.chance(0.8) ? "CTP出版" : "PS版";
        l.qty = plates * (colours1 + colours2);
        l.unit = "片";
        l.price = rng_.between(35, 60) * 10;
        x("SPEC", std::to_string(colours1 + colours2) + "色");
        x("MODE", std::string(l.desc == "CTP出版" ? "CTP" : "PS"));
        x("OPT", std::string("1"));
        x("PAGE", static_cast<double>(pages));
        x("COLOR1", static_cast<double>(colours1));
        x("COLOR2", static_cast<double>(colours2));
        x("PLATD", std::string(sizeIndex < 2 ? "菊版" : "全開"));
        x("PQTY", l.qty);
        x("KQTY", static_cast<double>(rng_.pick({2, 4, 8})));
        x("MQTY", 1.0);
        x("TQTY", static_cast<double>(plates));
        x("新舊版", std::string(rng_.chance(0.85) ? "新版" : "舊版"));
        x("版號", Padded("B", rng_.between(1, 99999), 5));
        break;
    case C: {
        l.desc = l.no == 1 ? "紙張" : "內頁紙張";
        l.item = std::string(paper);
        l.qty = std::max(1.0, std::round(sheets / 500.0 * 10) / 10);
        l.unit = "令";
        l.price = rng_.between(120, 380) * 10;
        const W brand = rng_.pick(All(kPaperBrands));
        x("SPEC", paperSpec);
        x("PNAME", std::string(brand) + " " + std::string(paper) + " " + paperSpec);
        x("BASE", static_cast<double>(grams));
        x("POUND", static_cast<double>(rng_.between(28, 45)));
        x("LEAF", 500.0);
        x("OQTY", l.qty);
        x("OFQTY", Round2(l.qty * 1.05));
        x("FREE", static_cast<double>(rng_.between(1, 3) * 100));
        x("APRICE", l.price * 0.9);
        x("IPRICE", l.price * 1.1);
        x("DISCOUNT", rng_.chance(0.7) ? 1.0 : 0.9);
        x("MARK", std::string(brand));
        x("OPEN", static_cast<double>(rng_.pick({1, 2, 4})));
        x("OPTP", std::string("令"));
        x("OPTQ", std::string("令"));
        x("PLATDS", std::string("菊版"));
        x("PLATNB", static_cast<double>(plates));
        x("START", 1.0);
        x("台數", static_cast<double>(plates));
        x("每台數量", sheets / plates);
        x("牌價代號", Padded("P", rng_.between(1, 30), 2));
        break;
    }
    case D:
        l.desc = colours1 == 4 ? (rng_.chance(0.15) ? "四色+特別色" : "四色印刷")
                               : (colours1 == 2 ? "雙色印刷" : "單色印刷");
        bySheet(25, 120);
        x("SIZE", std::string(kSheetSizes[sizeIndex]));
        x("SIZEA", std::string(kSheetDims[sizeIndex]));
        x("COLOR", std::to_string(colours1) + "C");
        x("COLOR1", static_cast<double>(colours1));
        x("COLOR2", static_cast<double>(colours2));
        x("COUNT", static_cast<double>((colours1 + colours2) * plates));
        x("BM", std::string(rng_.chance(0.8) ? "新版" : "舊版"));
        x("OPT", std::string(rng_.chance(0.7) ? "1" : "2"));
        x("RIGHT", static_cast<double>(colours1));
        x("OPPOS", static_cast<double>(colours2));
        x("PLAT", static_cast<double>(plates));
        x("QTY1", sheets);
        x("QTY2", colours2 ? sheets : 0.0);
        x("MEMB", static_cast<double>(rng_.pick({1, 2, 4})));
        x("規格", paperSpec);
        x("紙品", std::string(paper));
        x("用紙令數", std::round(sheets / 500.0 * 10) / 10);
        x("用紙張數", sheets + 200);
        x("表格", std::string(rng_.chance(0.1) ? "A1" : ""));
        break;
    case E:
        l.desc = std::string(rng_.pick({"亮P", "霧P", "局部UV", "水性上光", "全面UV"}));
        l.item = rng_.chance(0.8) ? "單面" : "雙面";
        bySheet(20, 80);
        x("SIZE", std::string(kSheetSizes[sizeIndex]));
        x("OPT", std::string("1"));
        break;
    case F:
        l.desc = rng_.chance(0.6) ? "對裱" : "瓦楞裱";
        l.item = std::string(rng_.pick({"E浪", "B浪", "灰紙板 2mm"}));
        bySheet(80, 250);
        x("SIZE", std::string(kSheetSizes[sizeIndex]));
        x("OPT", std::string(l.desc == "對裱" ? "1" : "3"));
        break;
    case G:
        l.desc = std::string(rng_.pick({"軋型", "軋型+壓線", "半穿"}));
        l.item = rng_.chance(0.8) ? "一般" : "精密";
        bySheet(30, 100);
        x("MEMB", static_cast<double>(rng_.between(1, 8)));
        x("OPEN", static_cast<double>(rng_.pick({1, 2, 4})));
        x("儲位", storeLocations_[static_cast<std::size_t>(rng_.below(static_cast<int>(storeLocations_.size())))]);
        x("留", std::string(rng_.chance(0.7) ? "Y" : ""));
        x("紙", std::string(""));
        break;
    case H:
        l.desc = std::string(rng_.pick({"糊盒", "糊袋", "貼窗"}));
        l.item = rng_.chance(0.7) ? "自動糊盒" : "手工糊";
        l.qty = orderQty;
        l.unit = "個";
        l.price = rng_.between(40, 200) / 100.0;
        break;
    case I:
        l.desc = std::string(rng_.pick({"裁切", "摺頁", "裁切+摺頁"}));
        l.item = std::string(rng_.pick({"成品裁切", "對摺", "十字摺"}));
        bySheet(5, 30);
        x("MEMB", static_cast<double>(rng_.between(1, 4)));
        x("PLAT", static_cast<double>(plates));
        break;
    case J:
        l.desc = pages > 48 ? "穿線膠裝" : (pages > 24 ? "膠裝" : "騎馬釘");
        l.item = "A4 " + std::to_string(pages) + "頁";
        l.qty = orderQty;
        l.unit = "本";
        l.price = rng_.between(3, 25);
        x("PLAT", static_cast<double>(plates));
        break;
    case K:
        l.desc = rng_.chance(0.8) ? "新刀模" : "刀模修改";
        l.item = rng_.chance(0.9) ? "平刀" : "圓刀";
        l.qty = 1;
        l.unit = "組";
        l.price = rng_.between(15, 60) * 100;
        break;
    case L:
        l.desc = std::string(rng_.pick({"燙金", "燙銀", "打凸", "燙金+打凸"}));
        l.item = std::string(rng_.pick({"LOGO", "書名", "局部"}));
        bySheet(50, 150);
        break;
    case M:
        l.desc = rng_.chance(0.6) ? "送貨" : "貨運";
        l.item = std::string(rng_.pick({"送至客戶倉庫", "送至指定地址", "客戶自取"}));
        l.qty = rng_.between(1, 3);
        l.unit = "趟";
        l.price = rng_.between(8, 25) * 100;
        break;
    case N:
        l.desc = std::string(rng_.pick({"包裝", "外箱", "打樣", "縮膜"}));
        l.item = std::string(rng_.pick({"收縮膜包裝", "外箱印字", "數位樣"}));
        l.qty = rng_.between(1, 20);
        l.unit = "式";
        l.price = rng_.between(3, 30) * 100;
        x("牌價代號", Padded("N", rng_.between(1, 12), 2));
        break;
    }
    l.amt = std::round(l.qty * l.price);
    if (rng_.chance(0.15))
        l.remark = std::string(rng_.pick(All(kLineRemarks)));
}

void Plant::workOrder(long long i)
{
    const long long n = opt_.workOrders;
    // The two newest orders show every kind: one untouched, one under way.
    const bool showcaseOpen = i == n - 2;
    const bool showcaseUnderWay = i == n - 1;
    const bool showcase = showcaseOpen || showcaseUnderWay;

    const int poDay = today_ - span_ + static_cast<int>(i * span_ / std::max<long long>(1, n));
    // The order under way was placed two weeks ago, so that its early work is done.
    const int day = showcaseUnderWay ? poDay - 14 : poDay;
    const Date d = DateOf(poDay);
    const int month = d.year * 12 + d.month;
    if (month != poMonth_) {
        poMonth_ = month;
        poSeq_ = 0;
    }
    const std::string po = RocMonth(poDay) + Padded("", ++poSeq_, 4);
    timeSeq_.clear();

    // Product, customer, salesperson.
    int total = 0;
    for (const ProductSpec& p : kProducts)
        total += p.weight;
    int r = rng_.below(total);
    Product product = Catalogue;
    for (int p = 0; p < static_cast<int>(std::size(kProducts)); ++p) {
        r -= kProducts[p].weight;
        if (r < 0) {
            product = static_cast<Product>(p);
            break;
        }
    }
    if (showcase)
        product = Box;
    const ProductSpec& spec = kProducts[product];
    const Customer* cust = nullptr;
    for (int tries = 0; tries < 10 && !cust; ++tries) {
        const Customer& c = customers_[static_cast<std::size_t>(rng_.below(static_cast<int>(customers_.size())))];
        if (!c.disabled || today_ - day > 180)
            cust = &c;
    }
    if (!cust)
        cust = &customers_[0];
    // The customer's salesperson, or another one while there is none (any
    // more): sales_ starts with three who never left.
    std::string empno = cust->empno;
    for (const Employee& e : employees_)
        if (e.id == empno && e.leftDay != 0 && e.leftDay <= day)
            empno.clear();
    if (empno.empty())
        empno = employees_[static_cast<std::size_t>(sales_[static_cast<std::size_t>(rng_.below(3))])].id;

    int pages = 0;
    std::string desc;
    switch (product) {
    case Catalogue:
        pages = rng_.pick({16, 24, 32, 48, 64});
        desc = "彩色型錄 A4 " + std::to_string(pages) + "頁";
        break;
    case Manual:
        pages = rng_.pick({8, 12, 16, 20, 24});
        desc = "產品說明書 A5 " + std::to_string(pages) + "頁";
        break;
    case AnnualReport:
        pages = rng_.pick({40, 48, 56, 64});
        desc = "年度報告書 A4 " + std::to_string(pages) + "頁";
        break;
    case Box:
        desc = std::string(rng_.pick(All(kBoxGoods))) + "彩盒 " + std::string(rng_.pick(All(kBoardPapers)));
        break;
    case Bag: desc = "手提袋 " + std::string(rng_.pick(All(kBagSizes))); break;
    case Poster: desc = "海報 " + std::string(rng_.pick(All(kPosterSizes))); break;
    case Flyer: desc = "DM " + std::string(rng_.pick(All(kFlyerSizes))) + " 雙面彩色"; break;
    case Sticker:
        desc = std::string(rng_.pick(All(kStickerShapes))) + "貼紙 " + std::string(rng_.pick(All(kStickerSizes)));
        break;
    case HangTag: desc = "吊卡 " + std::string(rng_.pick(All(kTagSizes))); break;
    case Card: desc = "名片 90*54mm 銅版上霧P"; break;
    case Envelope: desc = "中式信封 彩色 " + std::string(rng_.pick(All(kEnvelopeSizes))); break;
    case Calendar:
        pages = rng_.chance(0.5) ? 14 : 26;
        desc = (pages == 14 ? "桌曆 " : "月曆 ") + std::to_string(pages / 2) + "張";
        break;
    }
    const double orderQty = std::round(rng_.between(spec.qtyLo, spec.qtyHi) / 10.0) * 10;

    // How long the order takes; most close within a month, some linger.
    int dur;
    const int roll = rng_.below(100);
    if (roll < 58)
        dur = rng_.between(5, 30);
    else if (roll < 84)
        dur = rng_.between(30, 200);
    else
        dur = rng_.between(200, 1200);
    if (showcase)
        dur = 20;
    const int finishDay = day + dur;
    const bool finished = !showcase && finishDay < today_;
    const double progress =
        std::clamp(0.8 * (today_ - day) / static_cast<double>(dur) + rng_.real(-0.1, 0.1), 0.0, 0.95);

    std::vector<Line> lines;
    planLines(product, showcase, lines);
    const double stretch = std::clamp(dur / 14.0, 0.6, 3.0);
    const int m = static_cast<int>(lines.size());
    for (int rank = 0; rank < m; ++rank) {
        Line& l = lines[static_cast<std::size_t>(rank)];
        fillLine(l, product, orderQty, pages);
        l.vendor = pickVendor(l.kind, day, showcase);
        const Vendor& v = vendors_[static_cast<std::size_t>(l.vendor)];
        if (!v.own && rng_.chance(0.3)) {
            // Where the goods go next, and who delivers the material.
            const int next = std::min<int>(N, l.kind + 1);
            if (!outsideByKind_[static_cast<std::size_t>(next)].empty())
                l.downVendor = outsideByKind_[static_cast<std::size_t>(next)][0];
            if (l.kind == D && !outsideByKind_[C].empty())
                l.upVendor = outsideByKind_[C][static_cast<std::size_t>(rng_.below(
                    static_cast<int>(outsideByKind_[C].size())))];
        }

        // The line's state: everything finished on a closed order; on an open
        // one the early processes are done, one is under way, the rest wait.
        enum { Done, Partial, Waiting } state = Done;
        if (showcaseOpen)
            state = Waiting;
        else if (showcaseUnderWay)
            state = l.kind < D ? Done : (l.kind == D && l.no == 1 ? Partial : Waiting);
        else if (!finished) {
            const double frac = (rank + 0.5) / m;
            state = frac < progress - 0.08 ? Done : (frac < progress + 0.08 ? Partial : Waiting);
        }

        const int pieceCount = showcase ? 2 : (rng_.chance(0.78) ? 1 : (rng_.chance(0.8) ? 2 : 3));
        const int base = day + static_cast<int>(std::lround(kStageDay[l.kind] * stretch));
        for (int p = 0; p < pieceCount; ++p) {
            Piece piece;
            piece.sched = base + p + rng_.between(0, 1);
            if (finished)
                piece.sched = std::min(piece.sched, finishDay);
            else
                piece.sched = std::min(piece.sched, today_ + rng_.between(0, 5));
            piece.qty = std::round(l.qty / pieceCount * 100) / 100;
            piece.amt = std::round(l.amt / pieceCount);
            piece.finished = state == Done || (state == Partial && p == 0 && (pieceCount > 1 || rng_.chance(0.5)));
            if (finished) {
                piece.finishDay = std::min({piece.sched + rng_.between(0, 2), finishDay, today_ - 1});
            } else if (piece.finished) {
                if (piece.sched > today_)
                    piece.finished = false;
                else
                    piece.finishDay = std::min(piece.sched + rng_.between(0, 2), today_);
            }
            piece.finishHour = rng_.between(8, 20);
            Document& doc = document(piece.sched, l.vendor, l.kind);
            piece.doc = &doc;
            piece.ino = ++doc.lastIno[static_cast<std::size_t>(l.kind)];
            const int jitter = rng_.chance(0.12) ? rng_.between(-1, 2) : 0;
            piece.order = std::to_string(std::max(1, piece.ino + jitter));
            l.pieces.push_back(std::move(piece));
        }

        // Time lines: the own machines of the timed kinds record their work.
        const bool timedKind = v.own && kTimed[l.kind];
        for (Piece& piece : l.pieces) {
            const double perHour = v.perHour > 0 ? v.perHour : 3000;
            if (timedKind && piece.finished && rng_.chance(l.kind == D ? 0.85 : 0.5)) {
                const int count = 1 + (piece.qty > 8000 ? 1 : 0) + (rng_.chance(0.2) ? 1 : 0);
                double left = piece.qty;
                for (int t = 0; t < count; ++t) {
                    TimeLine tl;
                    tl.record = piece.doc->id;
                    tl.startDay = piece.finishDay - (count - 1 - t);
                    tl.done = t + 1 == count ? left : std::round(piece.qty / count);
                    left -= tl.done;
                    tl.minutes = std::clamp(static_cast<int>(tl.done / perHour * 60) + rng_.between(10, 40), 20, 540);
                    tl.startMinute = rng_.between(90, 168) * 5;
                    tl.endDay = tl.startDay;
                    tl.endMinute = std::min(tl.startMinute + tl.minutes, 23 * 60 + 55);
                    tl.minutes = tl.endMinute - tl.startMinute;
                    tl.defects = std::round(tl.done * rng_.real(0, 0.015));
                    piece.times.push_back(tl);
                }
                piece.fdate = Roc7(piece.finishDay); // entered through the time window
            } else if (timedKind && !piece.finished && piece.sched <= today_ && rng_.chance(0.16)) {
                // Started but not finished: an ended stint, or one still running.
                TimeLine tl;
                tl.record = piece.doc->id;
                if (l.kind == D && tmpRecords_ < 9999 && rng_.chance(0.1))
                    tl.record = Padded("TMP", ++tmpRecords_, 4); // recorded without a schedule number
                tl.startDay = std::max(piece.sched, today_ - 1);
                tl.startMinute = rng_.between(90, 168) * 5;
                if (rng_.chance(0.7)) {
                    tl.done = std::round(piece.qty * rng_.real(0.2, 0.6));
                    tl.minutes = std::clamp(static_cast<int>(tl.done / perHour * 60) + 15, 20, 300);
                    tl.endDay = tl.startDay;
                    tl.endMinute = std::min(tl.startMinute + tl.minutes, 23 * 60 + 55);
                    tl.minutes = tl.endMinute - tl.startMinute;
                }
                piece.times.push_back(tl);
            }
            for (std::size_t t = 0; t < piece.times.size(); ++t) {
                TimeLine& tl = piece.times[t];
                const Employee& op = operatorFor(v, l.kind, tl.startDay);
                tl.operatorId = op.id;
                tl.operatorName = op.name;
                tl.remark = rng_.chance(0.25) ? std::string(rng_.pick(All(kStoppages))) : "";
                // A TMP record is found through its kind only.
                tl.withoutKind = tl.record.starts_with("TMP") ? false : rng_.chance(0.05);
                const int noMachine = rng_.below(100);
                tl.withoutMachine = noMachine < 3;
                tl.nullMachine = noMachine == 3;
            }
            if (piece.finished && piece.fdate.empty())
                piece.fdate = FinishStamp(piece.finishDay, piece.finishHour);
            if (!piece.finished)
                piece.nullFdate = showcaseOpen ? piece.finishHour % 2 == 0 : rng_.chance(0.3);
        }

        // The line is finished once all of its pieces are: its finish text
        // is that of the latest piece.
        l.finished = std::all_of(l.pieces.begin(), l.pieces.end(), [](const Piece& p) { return p.finished; });
        if (l.finished) {
            const Piece* latest = &l.pieces[0];
            for (const Piece& p : l.pieces)
                if (p.fdate > latest->fdate ||
                    (p.fdate == latest->fdate && std::stoi(p.order) > std::stoi(latest->order)))
                    latest = &p;
            l.fdate = latest->fdate;
            l.finishDay = 0;
            for (const Piece& p : l.pieces)
                l.finishDay = std::max(l.finishDay, p.finishDay);
            // Settled with the vendor some weeks after the work was done.
            l.settled = !v.own && l.finishDay < today_ - 45 && rng_.chance(0.8);
        } else {
            l.nullFdate = rng_.chance(0.25);
            // Now and then a deposit is paid before the work is done.
            l.deposit = !v.own && ((showcaseOpen && l.kind == C) || rng_.chance(0.03));
        }
    }

    // Dies: a die-making line makes a new die for the die-cutting line;
    // without one, the die-cutting uses a die of the register.
    const Line* dieMaking = nullptr;
    for (const Line& l : lines)
        if (l.kind == K)
            dieMaking = &l;
    for (Line& l : lines)
        if (l.kind == G)
            writeDie(po, l, *cust, desc, empno, day, dieMaking != nullptr && dieMaking->finished, showcaseOpen);

    // The work order.
    TableWriter& wo = w("PWORK");
    wo.text("PO", po).text("CUST", cust->id).text("ODATE", Roc7(day)).text("PDATE", Roc7(day + rng_.between(7, 21)));
    if (finished)
        wo.text("FDATE", Roc7(finishDay));
    else if (rng_.chance(0.3))
        wo.null("FDATE");
    wo.text("DESC", desc)
        .text("SPEC", spec.booklet ? "A4" : "")
        .text("FSPEC", spec.booklet ? "210*297mm" : "")
        .text("KIND", rng_.chance(0.7) ? "新單" : (rng_.chance(0.85) ? "再版" : "打樣"))
        .text("CODE", Padded("P", 100000 + rng_.below(900000), 6))
        .text("EMPNO", empno)
        .real("QTY", orderQty)
        .text("UNIT", spec.unit)
        .text("急件", rng_.chance(0.05) || showcaseUnderWay ? "1" : "")
        .text("包裝", std::string(rng_.pick(All(kPackings))))
        .text("貼紙", rng_.chance(0.2) ? "外箱貼紙" : "")
        .text("PREM", std::string(rng_.pick(All(kPrintRemarks))))
        .text("PEREM", std::string(rng_.pick(All(kPlateRemarks))))
        .insert();
    ++summary_.workOrders;
    if (!finished)
        ++summary_.openWorkOrders;

    // Lines, pieces and what hangs on them.
    std::array<std::string, 17> flow; // ITEM1..ITEM14, ITEM32, ITEM33 (index 14, 15)
    std::array<int, 17> flowDay{};
    for (const Line& l : lines) {
        writeLine(po, l, *cust);
        for (const Piece& p : l.pieces)
            writeTimes(po, l, p);
        const Vendor& v = vendors_[static_cast<std::size_t>(l.vendor)];
        if (!v.own)
            writeVendorOrder(po, l, l.pieces[0].doc->id);
        if (l.kind == C || ((l.kind == F || l.kind == N) && (showcase || rng_.chance(l.kind == F ? 0.4 : 0.2))))
            writePaperPurchase(po, l, day);
        if (l.finished && (l.kind == D || l.kind == G || l.kind == H || l.kind == J) &&
            rng_.chance(l.kind == D ? 0.15 : 0.08))
            writeInspection(po, l);
        if (l.kind == D && (l.finished || l.pieces[0].finished) && rng_.chance(0.12))
            writePrintingData(po, l);
        if (l.finished) {
            std::size_t col = static_cast<std::size_t>(l.kind);
            if ((l.kind == D || l.kind == E) && l.no == 2)
                col = l.kind == D ? 14 : 15;
            else if ((l.kind == D || l.kind == E) && l.no > 2)
                continue; // no column for a third line
            if (l.finishDay >= flowDay[col]) {
                flowDay[col] = l.finishDay;
                flow[col] = l.fdate;
            }
        }
    }
    TableWriter& pf = w("PRINTFLOW");
    pf.text("PO", po);
    for (int k = 0; k < kKinds; ++k)
        pf.text("ITEM" + std::to_string(k + 1), flow[static_cast<std::size_t>(k)]);
    pf.text("ITEM32", flow[14]).text("ITEM33", flow[15]).insert();

    // Pages and binding of booklets.
    if (spec.booklet) {
        const bool bound = std::any_of(lines.begin(), lines.end(), [](const Line& l) { return l.kind == J; });
        w("工單頁數")
            .text("PO", po)
            .integer("NO", 1)
            .real("頁數", pages)
            .real("台數", (pages + 15) / 16)
            .real("折數", pages >= 16 ? 16 : 8)
            .text("裝訂方式", bound ? (pages > 24 ? "膠裝" : "騎馬釘") : "")
            .text("裝訂說明", bound ? "依頁序裝訂，書背平整" : "")
            .insert();
        if (bound)
            w("工單裝訂流程")
                .text("PO", po)
                .text("裝訂項目1", "封面 250g銅版 上霧P")
                .text("裝訂項目2", "內頁 " + std::to_string(rng_.pick({100, 128, 150})) + "g雪銅")
                .text("裝訂項目3", rng_.chance(0.3) ? "扉頁 150g道林" : "")
                .text("裝訂項目4", rng_.chance(0.2) ? "書腰" : "")
                .insert();
    }

    for (const Line& l : lines)
        for (const Piece& p : l.pieces) {
            ++summary_.pieces;
            if (!p.finished && !finished) {
                ++summary_.openPieces;
                if (l.kind == D)
                    ++summary_.openPrintingPieces;
            }
        }
    summary_.processLines += static_cast<long long>(lines.size());
}

void Plant::writeLine(const std::string& po, const Line& l, const Customer& cust)
{
    const ProcessKind& k = kind(l.kind);
    const Vendor& v = vendors_[static_cast<std::size_t>(l.vendor)];
    const double payable = v.own ? 0 : std::round(l.price * 0.85 * 100) / 100;
    auto common = [&](TableWriter& t, double qty, double amt) {
        t.text("PO", po).integer("NO", l.no);
        if (v.own)
            t.text("機別", v.sname).text("車別", v.sname);
        t.text("VENDER", v.id).text("SVENDER", v.sname);
        if (l.upVendor >= 0) {
            const Vendor& up = vendors_[static_cast<std::size_t>(l.upVendor)];
            t.text("上游廠商代號", up.id).text("上游廠商", up.sname);
        }
        if (l.downVendor >= 0) {
            const Vendor& down = vendors_[static_cast<std::size_t>(l.downVendor)];
            t.text("下游廠商代號", down.id).text("下游廠商", down.sname).text("地址", down.address);
            t.text("電話", down.tel).text("注意事項", std::string(kNotes[static_cast<std::size_t>(l.no) % 4]));
        }
        t.text("DESC", l.desc).text("REM", l.kind == G ? l.dieCode : l.remark);
        t.real("QTY", qty).text("UNIT", l.unit).real("PRICE", l.price).real("AMT", amt);
        t.real("BPRICE", std::round(l.price * 115) / 100).real("OPRICE", payable).real("OAMT", std::round(payable * qty));
        if (l.settled) {
            t.real("EAMT", std::round(payable * qty)).text("EAMTYN", "Y").text("PDATE", RocMonth(l.finishDay + 30));
        }
        for (const auto& [col, value] : l.extras) {
            if (const double* num = std::get_if<double>(&value))
                t.real(col, *num);
            else
                t.text(col, std::get<std::string>(value));
        }
        if (l.kind == G)
            t.text("刀", l.dieCode.empty() ? "" : "V");
        if (l.kind == M)
            t.text("收件人", cust.contact);
    };

    TableWriter& line = w(std::string(k.detailTable));
    common(line, l.qty, l.amt);
    line.text("ODATE", Roc7(l.pieces[0].sched));
    if (l.finished) {
        line.text("FDATE", l.fdate).text("ACT", l.fdate).text("ACTYN", "Y");
        line.real("CQTY", l.qty).real("CPRICE", l.price).real("CAMT", l.amt);
        double produced = 0;
        for (const Piece& p : l.pieces)
            produced += p.qty;
        line.real("生產量", produced).real("產值", l.amt);
    } else if (l.nullFdate) {
        line.null("FDATE").null("ACT");
    }
    line.insert();

    TableWriter& pieces = w(std::string(k.scheduledTable));
    TableWriter& detail = w("預排資料明細");
    for (const Piece& p : l.pieces) {
        common(pieces, p.qty, p.amt);
        pieces.text("ID", p.doc->id).integer("INO", p.ino).text("順序", p.order).text("ODATE", Roc7(p.sched));
        detail.text("ID", p.doc->id).integer("INO", p.ino).text("KIND", k.spacedName).text("PO", po);
        detail.integer("NO", l.no).text("順序", p.order).text("VENDER", v.id).text("SVENDER", v.sname);
        if (v.own)
            detail.text("機別", v.sname).text("車別", v.sname);
        detail.text("DESC", l.desc).text("ITEM", l.item).real("QTY", p.qty).text("UNIT", l.unit);
        detail.text("ODATE", Roc7(p.sched)).text("REM", l.kind == G ? l.dieCode : l.remark);
        if (p.finished) {
            pieces.text("FDATE", p.fdate).text("ACTYN", "Y").real("CQTY", p.qty).real("CAMT", p.amt);
            detail.text("PDATE", p.fdate);
        } else if (p.nullFdate) {
            pieces.null("FDATE");
            detail.null("PDATE");
        }
        if (!p.times.empty()) {
            int minutes = 0;
            double done = 0;
            for (const TimeLine& t : p.times) {
                minutes += t.endDay >= 0 ? t.minutes : 0;
                done += t.done;
            }
            const std::string hours = Fmt("%.2f", minutes / 60.0);
            const TimeLine& first = p.times.front();
            const TimeLine& last = p.times.back();
            pieces.text("耗時", hours).text("開始時間_時", Padded("", first.startMinute / 60, 2));
            pieces.text("開始時間_分", Padded("", first.startMinute % 60, 2));
            if (last.endDay >= 0)
                pieces.text("結束時間_時", Padded("", last.endMinute / 60, 2))
                    .text("結束時間_分", Padded("", last.endMinute % 60, 2));
            detail.text("耗時", hours);
            if (p.finished) {
                const std::string remark = "完工數量: " + Fmt("%.0f", done);
                pieces.text("完工說明", remark).real("生產量", done).real("產值", std::round(done * l.price));
                detail.text("完工說明", remark);
            }
        }
        pieces.insert();
        detail.insert();
    }
}

void Plant::writeTimes(const std::string& po, const Line& l, const Piece& p)
{
    if (p.times.empty())
        return;
    const Vendor& v = vendors_[static_cast<std::size_t>(l.vendor)];
    const std::string kindText(kind(l.kind).displayName);
    TableWriter& t = w("預排資料耗時明細");
    for (const TimeLine& x : p.times) {
        // Numbered per record, work-order line and kind, across the pieces.
        const int seq = ++timeSeq_[x.record + "|" + std::to_string(l.no) + "|" + (x.withoutKind ? "" : kindText)];
        t.text("單號", x.record).text("工單單號", po).integer("工單序", l.no).integer("序", seq);
        t.text("製程", x.withoutKind ? "" : kindText);
        if (x.nullMachine)
            t.null("機別");
        else
            t.text("機別", x.withoutMachine ? "" : v.sname);
        t.text("開始", RocDateTime(x.startDay, x.startMinute));
        t.text("結束", x.endDay >= 0 ? RocDateTime(x.endDay, x.endMinute) : "");
        t.real("完工數量", x.done).text("經辦代號", x.operatorId).text("經辦人員", x.operatorName);
        t.text("耗時", Fmt("%.2f", x.endDay >= 0 ? x.minutes / 60.0 : 0.0));
        const double value = std::round(x.done * l.price);
        t.real("產值", value).text("製作說明", x.remark);
        t.real("標準數量", std::round(v.perHour * x.minutes / 60.0)).real("點數", std::round(x.minutes / 6.0));
        if (l.kind == D) {
            t.real("令數", std::round(x.done / 500.0 * 10) / 10);
            for (const auto& [col, value2] : l.extras)
                if (col == "COLOR1")
                    t.real("色數", std::get<double>(value2));
            t.real("面數", 1);
        }
        t.real("單價", l.price).real("合計", value).real("不良數", x.defects);
        t.real("不良率", x.done > 0 ? Round2(x.defects / x.done * 100) : 0);
        t.insert();
        ++summary_.timeLines;
    }
}

void Plant::writeVendorOrder(const std::string& po, const Line& l, const std::string& orderId)
{
    const Vendor& v = vendors_[static_cast<std::size_t>(l.vendor)];
    const double payable = std::round(l.price * 0.85 * 100) / 100;
    const double amount = std::round(payable * l.qty);
    TableWriter& t = w("VENDERAC");
    t.text("ID", orderId).text("PO", po).integer("NO", l.no).text("KIND", kind(l.kind).spacedName);
    t.text("VENDER", v.id).text("SVENDER", v.sname).text("DESC", l.desc).text("ITEM", l.item);
    t.real("QTY", l.qty).text("UNIT", l.unit).real("PRICE", payable).real("AMT", amount);
    if (l.finished) {
        t.text("ODATE", l.fdate);
        // Settled with the vendor some weeks after the work was done.
        if (l.settled)
            t.real("EAMT", amount).text("EAMTYN", "Y").text("PDATE", RocMonth(l.finishDay + 30));
    } else {
        if (rng_.chance(0.3))
            t.null("ODATE");
        if (l.deposit)
            t.real("EAMT", std::round(amount * 0.3)).text("REM", "預付訂金");
    }
    t.insert();
}

void Plant::writePaperPurchase(const std::string& po, const Line& l, int day)
{
    // Material comes from a paper vendor, also for mounting and other work.
    const int k = l.kind;
    std::vector<int> suppliers;
    for (int i : outsideByKind_[C])
        if (k == C || vendors_[static_cast<std::size_t>(i)].does[static_cast<std::size_t>(k)])
            suppliers.push_back(i);
    if (suppliers.empty())
        suppliers = outsideByKind_[C];
    const int vendor = vendors_[static_cast<std::size_t>(l.vendor)].own
                           ? suppliers[static_cast<std::size_t>(rng_.below(static_cast<int>(suppliers.size())))]
                           : l.vendor;
    const Vendor& v = vendors_[static_cast<std::size_t>(vendor)];
    const int orderDay = day + 1;
    const int bucket = orderDay / std::max(1, bucketDays_);
    const long long key = (static_cast<long long>(bucket) * 100 + vendor) * 16 + k;
    auto it = purchases_.find(key);
    if (it == purchases_.end()) {
        const int seq = ++purchasesPerDay_[orderDay];
        const std::string id = "P" + Roc7(orderDay) + Padded("", seq, 2);
        w("紙品採購資料")
            .text("採購單號", id)
            .text("KIND", kind(k).spacedName)
            .text("DATE", Roc7(orderDay))
            .text("VENDER", v.id)
            .text("SVENDER", v.sname)
            .insert();
        it = purchases_.emplace(key, std::make_pair(id, 0)).first;
        // The purchase itself is also an outsourcing order line.
        w("VENDERAC")
            .text("ID", id)
            .text("PO", po)
            .integer("NO", l.no)
            .text("KIND", "採 購")
            .text("VENDER", v.id)
            .text("SVENDER", v.sname)
            .text("DESC", l.desc)
            .real("QTY", l.qty)
            .text("UNIT", l.unit)
            .real("PRICE", l.price)
            .real("AMT", l.amt)
            .text("ODATE", Roc7(orderDay))
            .insert();
    }
    std::string spec;
    for (const auto& [col, value] : l.extras)
        if (col == "SPEC" || col == "SIZE")
            spec = std::get<std::string>(value);
    TableWriter& t = w("紙品採購明細");
    t.text("採購單號", it->second.first).integer("序", ++it->second.second).text("PO", po).integer("NO", l.no);
    t.text("ITEM", l.kind == C ? l.item : l.desc).text("SPEC", spec).real("QTY", l.qty).text("UNIT", l.unit);
    t.real("PRICE", l.price).real("AMT", l.amt);
    t.text("紙到", l.finished ? "Y" : (rng_.chance(0.5) ? "N" : ""));
    t.insert();
}

void Plant::writeDie(const std::string& po, Line& l, const Customer& cust, const std::string& desc,
                     const std::string& empno, int day, bool made, bool rework)
{
    const bool newDie = made || dies_.empty() || rng_.chance(0.1);
    if (!newDie) {
        l.dieCode = dies_[static_cast<std::size_t>(rng_.below(static_cast<int>(dies_.size())))];
    } else {
        l.dieCode = Padded("K", static_cast<long long>(dies_.size()) + 1, 5);
        dies_.push_back(l.dieCode);
        l.extras.emplace_back("新舊刀", std::string("新刀"));
    }
    if (!newDie)
        l.extras.emplace_back("新舊刀", std::string("舊刀"));
    const double w1 = rng_.between(80, 300) / 10.0, h1 = rng_.between(60, 250) / 10.0, d1 = rng_.between(20, 80) / 10.0;
    const int across = rng_.between(1, 4), down = rng_.between(1, 3);
    std::string salesName;
    for (const Employee& e : employees_)
        if (e.id == empno)
            salesName = e.name;
    const Vendor& dieMaker = vendors_[static_cast<std::size_t>(outsideByKind_[K][static_cast<std::size_t>(
        rng_.below(static_cast<int>(outsideByKind_[K].size())))])];
    if (newDie)
        w("刀模管理資料")
            .integer("序", static_cast<long long>(dies_.size()))
            .text("作廢", rng_.chance(0.02) ? "Y" : "")
            .text("日期", Roc7(day + 3))
            .text("刀模代號", l.dieCode)
            .text("規格", Fmt("%.1f", w1) + "*" + Fmt("%.1f", h1) + "*" + Fmt("%.1f", d1) + "cm")
            .real("模數", across * down)
            .real("MEMB", across * down)
            .text("ITEM", desc)
            .text("說明", l.desc)
            .text("客戶代號", cust.id)
            .text("客戶簡稱", cust.sname)
            .text("業務員代號", empno)
            .text("業務員名稱", salesName)
            .text("工單單號", po)
            .integer("工單序", l.no)
            .text("產品代號", Padded("P", 100000 + rng_.below(900000), 6))
            .text("品名", desc)
            .text("廠商代號", dieMaker.id)
            .text("VENDER", dieMaker.id)
            .text("廠商簡稱", dieMaker.sname)
            .text("SVENDER", dieMaker.sname)
            .real("尺寸1", w1)
            .real("尺寸2", h1)
            .real("尺寸3", d1)
            .real("左右尺寸", w1 * 2 + d1 * 2)
            .real("上下尺寸", h1 + d1 * 2)
            .real("R角", 3)
            .real("左右模數", across)
            .real("上下模數", down)
            .real("總模數", across * down)
            .real("左右模距", 0.5)
            .real("上下模距", 0.5)
            .insert();

    TableWriter& label = w("工單lable");
    label.text("工單單號", po).integer("工單序", l.no).integer("序", 1).text("日期", Roc7(day));
    label.text("客戶代號", cust.id).text("客戶簡稱", cust.sname).text("品名", desc);
    label.text("產品代號", Padded("P", 100000 + rng_.below(900000), 6)).text("業務員代號", empno);
    label.text("業務員名稱", salesName).text("廠商代號", dieMaker.id).text("廠商簡稱", dieMaker.sname);
    label.text("刀模代號", l.dieCode).text("新舊刀", newDie ? "新刀" : "舊刀");
    label.real("尺寸1", w1).real("尺寸2", h1).real("尺寸3", d1);
    label.real("左右尺寸", w1 * 2 + d1 * 2).real("上下尺寸", h1 + d1 * 2);
    label.real("左右模數", across).real("上下模數", down).real("左右模距", 0.5).real("上下模距", 0.5).real("R角", 3);
    // A rework order says so in its first label text.
    label.text("內容8", rework || rng_.chance(0.1) ? "重工：" + std::string(rng_.pick(All(kLineRemarks))) : "一般生產");
    label.text("內容9", rng_.chance(0.3) ? "外箱需標示品名" : "");
    label.insert();
}

void Plant::writeInspection(const std::string& po, const Line& l)
{
    const std::string kindText(kind(l.kind).displayName);
    const char* items[] = {"色差", "套印準確", "數量"};
    const char* standards[] = {"ΔE≦3.0", "套印誤差≦0.1mm", "依工單數量±1%"};
    TableWriter& t = w("工單品檢明細");
    for (int n = 0; n < 3; ++n) {
        const double inspected = 200, defects = rng_.between(0, 6);
        const double rate = std::round(defects / inspected * 1000) / 10;
        t.text("工單單號", po).integer("工單序", l.no).text("製程", kindText).integer("序", n + 1);
        t.text("主要檢查項目", l.kind == D ? items[n] : (n == 2 ? "數量" : "外觀"));
        t.text("檢查標準", l.kind == D ? standards[n] : "與樣品一致");
        t.text("權責單位", n == 2 ? "品管課" : (l.kind == D ? "印刷課" : "後加工課"));
        t.real("檢驗數量", inspected).real("不良數量", defects).real("不良率", rate);
        t.text("判定", rate > 2 ? "NG" : "OK").insert();
    }
}

void Plant::writePrintingData(const std::string& po, const Line& l)
{
    const int colours = rng_.between(1, 4);
    const Employee& recorder = employees_[static_cast<std::size_t>(printers_[static_cast<std::size_t>(
        rng_.below(static_cast<int>(printers_.size())))])];
    TableWriter& t = w("工單印刷數據");
    const int day = l.pieces[0].finished ? l.pieces[0].finishDay : l.pieces[0].sched;
    for (int n = 0; n < colours; ++n) {
        t.text("工單單號", po).integer("工單序", l.no).text("製程", "D-印刷").integer("序", n + 1);
        const std::string_view colour = kColourNumbers[static_cast<std::size_t>(n) % 7];
        t.text("印刷日期", Roc7(day)).text("色號", std::string(colour));
        t.text("油墨1", std::string(kInks[static_cast<std::size_t>(n)]));
        if (rng_.chance(0.4))
            t.text("油墨2", std::string(rng_.pick(All(kInks))));
        // Drawn in the same order whatever is written, so the rest of the plant stays the same.
        double l = rng_.real(40, 90), a = rng_.real(-40, 60), b = rng_.real(-50, 80);
        const double typedDifference = rng_.real(0.3, 2.5);
        double density = rng_.real(1.2, 1.9);
        std::string difference = Fmt("%.2f", typedDifference);
        if (const ColourTargetRow* target = FindColourTarget(colour)) {
            // Printed near the target: the draws give the direction of the
            // miss and its size, up to 1.2 times the tolerance, so that most
            // lines are within it and some are not. △ as the window computes
            // it from the values written.
            const quality::Lab aim{target->l, target->a, target->b};
            const double dl = (l - 65) / 25, da = (a - 10) / 50, db = (b - 15) / 65;
            const double wanted = target->tolerance * (0.2 + (typedDifference - 0.3) / 2.2);
            const double unit = quality::Ciede2000(aim, {aim.L + dl, aim.a + da, aim.b + db});
            const double k = unit > 0 ? std::min(wanted / unit, 50.0) : 0;
            auto tenth = [](double v) { return std::round(v * 10) / 10 + 0.0; };   // never "-0.0"
            l = tenth(aim.L + dl * k);
            a = tenth(aim.a + da * k);
            b = tenth(aim.b + db * k);
            difference = quality::DifferenceText(quality::Ciede2000(aim, {l, a, b}));
            if (target->density > 0)
                density = target->density + (density - 1.55) / 0.35 * 0.15;
        }
        t.text("測量1", Fmt("%.1f", l)).text("測量2", Fmt("%.1f", a));
        t.text("測量3", Fmt("%.1f", b)).text("測量4", difference);
        t.text("測量5", Fmt("%.2f", density));
        t.text("記錄員代號", recorder.id).text("記錄員", recorder.name);
        t.insert();
    }
}

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

void Exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

// The CREATE INDEX statements of the schema (not the primary keys' own indexes).
std::vector<std::string> SecondaryIndexes(sqlite3* db)
{
    std::vector<std::string> out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "select sql from sqlite_master where type = 'index' and sql is not null "
                               "order by name", -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    while (sqlite3_step(st) == SQLITE_ROW)
        out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}

} // namespace

DemoSummary WriteDemoPlant(const std::string& path, const DemoOptions& options)
{
    if (options.workOrders < 0)
        throw std::invalid_argument("The number of work orders must not be negative.");
    if (!IsValid(options.today))
        throw std::invalid_argument("The plant's date is not a valid date.");
    db::CreateDatabase(path); // refuses an existing file
    try {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        std::unique_ptr<sqlite3, Closer> db(raw);
        if (rc != SQLITE_OK)
            throw std::runtime_error(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
        // A new file that nobody else uses yet: no journal, no syncs.
        Exec(db.get(), "PRAGMA journal_mode = OFF");
        Exec(db.get(), "PRAGMA synchronous = OFF");
        Exec(db.get(), "PRAGMA cache_size = -200000");
        Exec(db.get(), "BEGIN");
        // Building the indexes once at the end is much faster than keeping
        // them up to date row by row; a unique one still refuses duplicates then.
        const std::vector<std::string> indexes = SecondaryIndexes(db.get());
        for (const std::string& create : indexes)
            Exec(db.get(), ("DROP INDEX " + create.substr(create.find('['), create.find(']') - create.find('[') + 1)).c_str());
        DemoSummary summary;
        {
            Plant plant(db.get(), options);
            summary = plant.run();
        }
        summary.timeLines += FillTimeLines(db.get(), options.timeLines, options.seed, options.today);
        WriteQualitySettings(db.get());
        for (const std::string& create : indexes)
            Exec(db.get(), create.c_str());
        Exec(db.get(), "COMMIT");
        Exec(db.get(), "PRAGMA journal_mode = DELETE");
        Exec(db.get(), "PRAGMA analysis_limit = 1000");
        Exec(db.get(), "ANALYZE");
        return summary;
    } catch (...) {
        std::remove(path.c_str());
        throw;
    }
}

std::string KeptDemoPlant(const char* envVariable, const std::string& defaultPath, long long workOrders)
{
    const char* env = std::getenv(envVariable);
    const std::filesystem::path path = env && *env ? env : defaultPath;
    if (!std::filesystem::exists(path)) {
        std::filesystem::create_directories(path.parent_path());
        DemoOptions o;
        o.workOrders = workOrders;
        std::cerr << "generating " << path << " ...\n";
        const DemoSummary s = WriteDemoPlant(path.string(), o);
        std::cerr << s.workOrders << " work orders, " << s.openPrintingPieces << " open printing pieces\n";
    }
    return path.string();
}

} // namespace qtmv::demo
