#include "daily_report/ui/WindowLogic.h"

#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iconv.h>
#include <stdexcept>

namespace qtmv::daily {

std::array<std::string, 6> sortOptionCaptions(const ProcessKind& kind)
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
int headingUnits(std::string_view s)
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

bool oneOf(std::string_view h, std::initializer_list<std::string_view> list)
{
    for (auto x : list)
        if (h == x)
            return true;
    return false;
}

} // namespace

bool isNumericColumn(const GridLayout& layout, int col)
{
    const std::string& h = layout.heading(col);
    return oneOf(h, {"數量", "單價", "報價", "小計", "應付單價", "應付小計", "實際數量", "實際單價", "實際小計",
                     "數量1", "數量2", "正", "反", "計", "耗時", "生產量", "產值", "預估", "每磅單價", "應收單價",
                     "應付單價(計算過)", "原數量", "原數量(放數)", "放(張)", "折數", "基重", "用紙令數", "用紙張數",
                     "頁數", "台數", "版數", "每台數量"});
}

int gridColumnWidth(const GridLayout& layout, int col)
{
    const std::string& h = layout.heading(col);
    if (col == layout.remarkCol || col == layout.finishRemarkCol)
        return 160;
    if (h == "工單單號") return 92;
    if (h == "客戶") return 96;
    if (h == "品名") return 170;
    if (h == "項目" || h == "內容") return 100;
    if (oneOf(h, {"地址", "注意事項", "下游廠商", "上游廠商", "紙品名稱(全名)", "成品規格"})) return 120;
    if (oneOf(h, {"完工日", "預排日", "交貨日", "付款年月", "確認單號"})) return 76;
    if (oneOf(h, {"印刷尺寸", "上光尺寸", "裱紙尺寸"})) return 96;
    if (oneOf(h, {"廠商", "規格", "紙品", "上光", "紙別", "廠牌", "製作", "經辦", "分類", "印刷代號", "廠商代號",
                  "下游廠商代號", "上游廠商代號", "電話", "收件人"}))
        return 80;
    if (oneOf(h, {"開始時間_時", "開始時間_分", "結束時間_時", "結束時間_分"})) return 50;
    if (oneOf(h, {"單筆", "拆台"})) return 40;
    if (h.empty()) return 40;
    // One- and two-character headings: flags, marks and small numbers.
    const int units = headingUnits(h);
    if (units <= 2) return 30;
    if (isNumericColumn(layout, col)) return std::max(64, units * 7 + 14);
    return std::clamp(units * 7 + 18, 48, 110);
}

std::string machineListQuery(const ProcessKind& kind)
{
    return "select ID, [DESC] from [PHRASE] where KIND = 'Z-雜項' and ITEM = '機別' and "
           "( MSG = '' or MSG like '%" + jet::sqlText(kind.name) + "%') order by [DESC]";
}

std::string ownMachineQuery(std::string_view employeeId)
{
    return "select ID, 車別 from [EMPLOYEE] where ID = '" + jet::sqlText(employeeId) + "' ";
}

MachineList loadMachineList(const std::string& connectionString, const ProcessKind& kind,
                            std::string_view employeeId)
{
    MachineList list;
    list.items.emplace_back();
    jet::Connection conn;
    conn.open(connectionString);
    {
        jet::Recordset rs;
        rs.open(machineListQuery(kind), conn);
        for (; !rs.eof(); rs.moveNext())
            list.items.push_back(rs.text("DESC"));
    }
    jet::Recordset rs;
    rs.open(ownMachineQuery(employeeId), conn);
    if (!rs.eof())
        list.own = rs.text("車別");
    return list;
}

std::vector<std::string> PhraseTable::list(std::string_view item) const
{
    std::size_t itemCol = fields.size(), descCol = fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == "ITEM") itemCol = i;
        if (fields[i] == "DESC") descCol = i;
    }
    std::vector<std::string> out;
    if (itemCol == fields.size() || descCol == fields.size())
        return out;
    for (const auto& row : rows)
        if (row[itemCol] == item)
            out.push_back(row[descCol]);
    return out;
}

PhraseTable loadPhrases(const std::string& connectionString)
{
    PhraseTable table;
    jet::Connection conn;
    conn.open(connectionString);
    jet::Recordset rs;
    rs.open(std::string(kPhraseQuery), conn);
    for (int i = 0; i < rs.fieldCount(); ++i)
        table.fields.push_back(rs.fieldName(i));
    for (; !rs.eof(); rs.moveNext()) {
        std::vector<std::string> row;
        row.reserve(table.fields.size());
        for (const auto& name : table.fields)
            row.push_back(rs.text(name));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string dieLookupQuery(std::string_view filter)
{
    const std::string f = jet::sqlText(trimBlanks(filter));
    return "select 刀模代號, 規格, 模數, 客戶簡稱, 品名, 工單單號, 日期, 說明 from [刀模管理資料] "
           "where iif(作廢 is null,'',作廢) <> 'Y' and (刀模代號 like '%" + f + "%' or 品名 like '%" + f +
           "%' or 客戶簡稱 like '%" + f + "%') order by 刀模代號, 序 desc";
}

std::vector<std::vector<std::string>> loadDies(const std::string& connectionString, std::string_view filter)
{
    jet::Connection conn;
    conn.open(connectionString);
    jet::Recordset rs;
    rs.open(dieLookupQuery(filter), conn);
    std::vector<std::vector<std::string>> rows;
    for (; !rs.eof(); rs.moveNext()) {
        std::vector<std::string> row;
        for (int i = 0; i < rs.fieldCount(); ++i)
            row.push_back(rs.text(rs.fieldName(i)));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string leaveQuestion(std::string_view caption)
{
    return "確定離開" + std::string(caption) + "嗎？";
}

std::string trimBlanks(std::string_view s)
{
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

std::string handOffText(std::string_view workOrder, std::string_view kindText)
{
    return "預排\r\n" + trimBlanks(workOrder) + "\r\n" + trimBlanks(kindText) + "\r\n";
}

std::string toCodePage950(std::string_view utf8)
{
    iconv_t cd = iconv_open("CP950", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("無法轉換為Big5碼");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    const std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    const int err = errno;
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) {
        // Name the character that cannot be written (one UTF-8 sequence).
        std::size_t len = 1;
        const auto lead = static_cast<unsigned char>(*in);
        if (lead >= 0xF0) len = 4; else if (lead >= 0xE0) len = 3; else if (lead >= 0xC0) len = 2;
        const std::string ch(in, std::min(len, inLeft));
        throw std::runtime_error(err == EILSEQ ? "文字「" + ch + "」無法以Big5碼寫入"
                                               : "無法轉換為Big5碼");
    }
    out.resize(out.size() - outLeft);
    return out;
}

std::string writeHandOffFile(const std::string& folder, std::string_view workOrder,
                             std::string_view kindText)
{
    const std::string bytes = toCodePage950(handOffText(workOrder, kindText));
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
            throw std::runtime_error("無法建立檔案 " + temp);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        f.close();
        if (!f) {
            std::remove(temp.c_str());
            throw std::runtime_error("無法寫入檔案 " + temp);
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw std::runtime_error("無法建立檔案 " + path);
    }
    return path;
}

std::string clockText(int hour24, int minute)
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
