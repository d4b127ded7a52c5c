#include "lookups/core/VendorQueries.h"

#include "common/ProcessKind.h"
#include "lookups/core/LookupSql.h"

namespace qtmv::lookups {

namespace {

constexpr std::string_view kSelect1 =
    "SELECT VENDER.ID as 廠商代號, VENDER.SNAME as 廠商簡稱, VENDER.RATE, "
    "VENDER.TEL1 as 電話, VENDER.NAM2 as 聯絡人, VENDER.FAX as 傳真, "
    "VENDER.MEMO, VENDER.ADD1, VENDER.付款方式 ";
constexpr std::string_view kSelect3 =
    "SELECT VENDER.ID as 廠商代號, VENDER.SNAME as 廠商簡稱, VENDER.RATE, "
    "VENDER.TEL1, VENDER.NAM2, VENDER.FAX, VENDER.MEMO, VENDER.ADD1 ";
constexpr std::string_view kSelect5 =
    "SELECT VENDER.ID as 廠商代號, VENDER.SNAME as 廠商簡稱, VENDER.RATE, "
    "VENDER.TEL1 as 電話, VENDER.NAM2 as 聯絡人, VENDER.FAX as 傳真, VENDER.MEMO, VENDER.ADD1 ";
constexpr std::string_view kFrom = "From [VENDER] ";
constexpr std::string_view kActive = "VENDER.停用 = '0' or VENDER.停用 = '' or VENDER.停用 is null) ";
constexpr std::string_view kEquipment = "and 製作 <> 0 ";
constexpr std::string_view kOrder = "Order By VENDER.ID";
constexpr std::string_view kEveryVendor = "VENDER.ID like '%'";

// "Where ITEM4 = '1' ", "Where (ITEM3 = '1' or ...) ", "Where VENDER.ID like '%' ".
std::string KindWhere(std::string_view kindWord)
{
    const std::string flag = KindFlagCondition(kindWord);
    return "Where " + (flag.empty() ? std::string(kEveryVendor) : flag) + " ";
}

// Code or short name contains the filter.
std::string CodeOrName(const std::string& filter, std::string_view likeWord)
{
    const LikeText t = LikeContains(filter);
    return ContainsCondition("VENDER.ID", t, likeWord) + " or " + ContainsCondition("VENDER.SNAME", t, likeWord);
}

} // namespace

std::string KindFlagCondition(std::string_view kindWord)
{
    if (kindWord == kPaperPurchasing)
        return "(ITEM3 = '1' or ITEM6 = '1' or ITEM14 = '1')";
    const ProcessKind* k = KindByName(kindWord);
    return k ? "ITEM" + std::to_string(k->number) + " = '1'" : std::string();
}

LookupQuery VendorQuery1(const VendorFilter& f)
{
    const std::string select = std::string(kSelect1) + std::string(kFrom);
    const std::string equipment = f.equipmentOnly ? std::string(kEquipment) : std::string();
    LookupQuery q;
    if (f.kind != kAllVendors) {
        const std::string head = select + KindWhere(f.kind) + equipment;
        q.filtered = head + " and ( " + CodeOrName(f.filter, "Like") + " ) and ( " + std::string(kActive) +
                     std::string(kOrder);
        q.unfiltered = head + " and (" + std::string(kActive) + std::string(kOrder);
        return q;
    }
    std::string kindEntry;
    if (f.kindEntry >= 1 && f.kindEntry <= 14)
        kindEntry = " and VENDER.ITEM" + std::to_string(f.kindEntry) + " = '1' ";
    q.filtered = select + "Where (" + CodeOrName(f.filter, "Like") + ") and ( " + std::string(kActive) + equipment +
                 kindEntry + std::string(kOrder);
    q.unfiltered = select + "where (" + std::string(kActive) + equipment + kindEntry + std::string(kOrder);
    return q;
}

LookupQuery VendorQuery3(const VendorFilter& f)
{
    LookupQuery q;
    q.filtered = std::string(kSelect3) + std::string(kFrom) + KindWhere(FromCharacter(f.kind, 2)) + " and (" +
                 CodeOrName(f.filter, "like") + ") order by VENDER.ID ";
    return q;
}

LookupQuery VendorQuery5(const VendorFilter& f)
{
    const std::string flag = KindFlagCondition(f.kind);
    const std::string head = std::string(kSelect5) + std::string(kFrom) + "Where (" +
                             (flag.empty() ? std::string(kEveryVendor) : flag) + " or 製作 <> 0) ";
    LookupQuery q;
    q.filtered = head + " and ( " + CodeOrName(f.filter, "Like") + " ) and ( " + std::string(kActive) +
                 std::string(kOrder);
    q.unfiltered = head + " and (" + std::string(kActive) + std::string(kOrder);
    return q;
}

} // namespace qtmv::lookups
