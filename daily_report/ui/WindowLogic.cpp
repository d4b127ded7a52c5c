#include "daily_report/ui/WindowLogic.h"

#include "common/RocDate.h"
#include "common/Failure.h"
#include "platform/text/Big5.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace qtmv::daily {

std::array<std::string, 6> SortOptionCaptions(const ProcessKind& kind)
{
    // Index = sort order of the load: 0 work order, 1 content, 2 due date,
    // 3 vendor, 4 schedule order, 5 press; printing sorts "content" by size,
    // paper by paper kind, size and due date.
    if (kind.is(KindId::Paper))
        return {"工單單號", "紙別", "規格", "廠商", "排序", "預交"};
    if (kind.is(KindId::Printing))
        return {"工單單號", "尺寸", "預交", "廠商", "排序", "車別"};
    return {"工單單號", "內容", "預交", "廠商", "排序", "車別"};
}

namespace {

// Display width of a heading: two units per Chinese character, one per ASCII.
int HeadingUnits(std::string_view s)
{
    int units = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        units += c < 0x80 ? 1 : 2;
        i += len;
    }
    return units;
}

bool OneOf(std::string_view h, std::initializer_list<std::string_view> list)
{
    for (auto x : list)
        if (h == x)
            return true;
    return false;
}

} // namespace

bool IsNumericColumn(const GridLayout& layout, int col)
{
    const std::string& h = layout.heading(col);
    return OneOf(h, {"數量", "單價", "報價", "小計", "應付單價", "應付小計", "實際數量", "實際單價", "實際小計",
                     "數量1", "數量2", "正", "反", "計", "耗時", "生產量", "產值", "預估", "每磅單價", "應收單價",
                     "應付單價(計算過)", "原數量", "原數量(放數)", "放(張)", "折數", "基重", "用紙令數", "用紙張數",
                     "頁數", "台數", "版數", "每台數量"});
}

int GridColumnWidth(const GridLayout& layout, int col)
{
    const std::string& h = layout.heading(col);
    if (col == layout.remarkCol || col == layout.finishRemarkCol)
        return 160;
    if (h == "工單單號") return 92;
    if (h == "客戶") return 96;
    if (h == "品名") return 170;
    if (h == "項目" || h == "內容") return 100;
    if (OneOf(h, {"地址", "注意事項", "下游廠商", "上游廠商", "紙品名稱(全名)", "成品規格"})) return 120;
    if (OneOf(h, {"完工日", "預排日", "交貨日", "付款年月", "確認單號"})) return 76;
    if (OneOf(h, {"印刷尺寸", "上光尺寸", "裱紙尺寸"})) return 96;
    if (OneOf(h, {"廠商", "規格", "紙品", "上光", "紙別", "廠牌", "製作", "經辦", "分類", "印刷代號", "廠商代號",
                  "下游廠商代號", "上游廠商代號", "電話", "收件人"}))
        return 80;
    if (OneOf(h, {"開始時間_時", "開始時間_分", "結束時間_時", "結束時間_分"})) return 50;
    if (OneOf(h, {"單筆", "拆台"})) return 40;
    if (h.empty()) return 40;
    // One- and two-character headings: flags, marks and small numbers.
    const int units = HeadingUnits(h);
    if (units <= 2) return 30;
    if (IsNumericColumn(layout, col)) return std::max(64, units * 7 + 14);
    return std::clamp(units * 7 + 18, 48, 110);
}

namespace {
std::string DigitsOf(std::string_view s)
{
    std::string d;
    for (char c : s)
        if (c >= '0' && c <= '9')
            d += c;
    return d;
}
} // namespace

void FilterLoadedRows(GridRows& rows, const GridLayout& layout, const std::string& number, std::string date)
{
    if (number.empty() && date.empty())
        return;
    const auto idAt = static_cast<std::size_t>(layout.idCol - 1);
    const auto dayAt = static_cast<std::size_t>(layout.column("預排日") - 1);
    PadDateText(date);
    const std::string wantedDay = DigitsOf(date);
    std::erase_if(rows, [&](const std::vector<std::string>& r) {
        if (!number.empty() && qtmv::Trim(r[idAt]) != number)
            return true;
        if (!wantedDay.empty()) {
            std::string day = DigitsOf(r[dayAt]);
            PadDateText(day);
            if (day != wantedDay)
                return true;
        }
        return false;
    });
}

std::string LeaveQuestion(std::string_view caption)
{
    return "確定離開" + std::string(caption) + "嗎？";
}


std::string NoDatabaseMessage(std::string_view problem)
{
    return "沒有開啟資料庫，本作業沒有執行。\n\n" + std::string(problem)
           + "\n\n請通知系統管理者確認資料庫檔案（QTMV.DSN 與 QTMV.mdb）後，重新啟動程式。";
}

std::string PendingQuestion(int cells)
{
    return "尚有 " + std::to_string(cells) + " 格資料未儲存，是否先儲存？";
}

std::string EmptyLoadNote(std::string_view kindText, std::string_view machine, std::string_view number,
                          std::string_view date)
{
    std::string note(kindText);
    note += machine.empty() ? std::string("（所有車別）") : "、車別「" + std::string(machine) + "」";
    if (!number.empty())
        note += "、單號「" + std::string(number) + "」";
    if (!date.empty())
        note += "、預排日「" + std::string(date) + "」";
    return note + "沒有未完工的排程資料";
}

std::string HandOffText(std::string_view workOrder, std::string_view kindText)
{
    return "預排\r\n" + Trim(workOrder) + "\r\n" + Trim(kindText) + "\r\n";
}

std::string ToCodePage950(std::string_view utf8)
{
    std::string out, bad;
    if (!ToBig5(utf8, out, &bad))
        throw UserError("文字「" + bad + "」無法以Big5碼寫入");
    return out;
}

std::string WriteHandOffFile(const std::string& folder, std::string_view workOrder,
                             std::string_view kindText)
{
    const std::string bytes = ToCodePage950(HandOffText(workOrder, kindText));
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += '/';
    path += kHandOffFileName;
    // Written beside and renamed over, so the work-order program never
    // reads half a file or the previous hand-off's lines.
    const std::string temp = path + ".new";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        if (!f)
            throw UserError("無法建立檔案 " + temp);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        f.close();
        if (!f) {
            std::remove(temp.c_str());
            throw UserError("無法寫入檔案 " + temp);
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw UserError("無法建立檔案 " + path);
    }
    return path;
}

std::string ClockText(int hour24, int minute)
{
    int h = hour24 % 12;
    if (h == 0)
        h = 12;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d : %02d", h, minute);
    return buf;
}

ClockFlash::Step ClockFlash::tick()
{
    ++ticks_;
    Step s{ticks_ == 1, ticks_ % 2 == 0, false};
    if (ticks_ >= 7) {
        ticks_ = 0;
        s.visible = false;
        s.finished = true;
    }
    return s;
}

} // namespace qtmv::daily
