#pragma once
// The words of the demo plant: names, products, materials, phrases.
#include <string_view>

namespace qtmv::demo::words {

using W = std::string_view;

inline constexpr W kCompanyPrefixes[] = {
    "大華", "永新", "金豐", "信義", "光明", "嘉益", "台興", "建隆", "東昇", "宏泰", "華新", "協和",
    "聯發", "榮昌", "合興", "新亞", "長青", "泰豐", "三益", "正大", "恆利", "順成", "美加", "富邦",
    "天成", "鼎盛", "瑞昌", "雅仕", "群英", "百川", "立德", "和泰", "欣榮", "永康", "佳禾", "綠野",
    "明台", "振興", "凱莉", "全勝"};
inline constexpr W kCompanySuffixes[] = {"食品", "電子", "製藥", "出版社", "文化", "貿易", "建設", "化工",
                                         "生技", "實業", "塑膠", "紡織", "茶業", "酒業", "旅行社", "文教"};
inline constexpr W kCompanyForms[] = {"股份有限公司", "有限公司", "企業社", "股份有限公司"};

inline constexpr W kSurnames[] = {"陳", "林", "黃", "張", "李", "王", "吳", "劉", "蔡", "楊", "許",
                                  "鄭", "謝", "郭", "洪", "曾", "邱", "廖", "賴", "徐", "周", "葉"};
inline constexpr W kGivenNames[] = {"志明", "淑芬", "建宏", "美玲", "俊傑", "雅婷", "家豪", "怡君",
                                    "文雄", "麗華", "明德", "秀英", "國榮", "佩珊", "冠宇", "惠如"};

inline constexpr W kCities[] = {"台北市中山區民生東路二段", "新北市土城區中央路三段", "新北市三重區重新路四段",
                                "桃園市龜山區文化一路", "台中市西屯區工業區一路", "台南市永康區中正路",
                                "高雄市前鎮區成功二路", "新竹市東區光復路一段", "台北市內湖區瑞光路"};
inline constexpr W kAreaCodes[] = {"02", "02", "02", "03", "04", "06", "07"};

inline constexpr W kBoxGoods[] = {"月餅", "茶葉", "保健食品", "化妝品", "電子產品", "酒類", "糕餅", "藥品"};
inline constexpr W kBoardPapers[] = {"350g白銅", "400g灰銅", "300g銅西卡"};
inline constexpr W kBagSizes[] = {"25*33*8cm", "32*40*10cm", "20*26*8cm"};
inline constexpr W kPosterSizes[] = {"全開", "對開", "菊全"};
inline constexpr W kFlyerSizes[] = {"菊8開", "A4", "菊16開"};
inline constexpr W kStickerShapes[] = {"圓形", "方形", "異形"};
inline constexpr W kStickerSizes[] = {"直徑5cm", "6*4cm", "8*8cm"};
inline constexpr W kTagSizes[] = {"9*5.4cm", "10*15cm"};
inline constexpr W kEnvelopeSizes[] = {"23*10cm", "17*9.5cm"};

inline constexpr W kPackings[] = {"", "", "每100張一束", "紙箱包裝", "收縮膜包裝", "棧板出貨"};
inline constexpr W kPrintRemarks[] = {"", "", "注意色差", "對色樣印刷", "依上批色樣", "特別色需調墨"};
inline constexpr W kPlateRemarks[] = {"", "", "舊版修改", "沿用上批版", "新版"};
inline constexpr W kLineRemarks[] = {"急件優先", "注意色差", "依樣稿", "客戶自備紙", "交貨前電話聯絡"};
inline constexpr W kNotes[] = {"請於交貨時附上送貨單", "請註明工單單號", "交貨前請先來電", "請勿折損"};

inline constexpr W kPaperItems[] = {"雪銅紙", "銅版紙", "道林紙", "白銅卡", "灰銅卡", "牛皮紙", "模造紙", "銅西卡"};
inline constexpr W kPaperBrands[] = {"永豐", "華紙", "正隆", "中華紙漿", "日本王子"};
inline constexpr int kPaperWeights[] = {80, 100, 128, 150, 250, 300, 350};
inline constexpr W kSheetSizes[] = {"菊全", "菊對", "全開", "對開", "菊四"};
inline constexpr W kSheetDims[] = {"25*35", "17.5*25", "31*43", "21.5*31", "12.5*17.5"};

inline constexpr W kStoppages[] = {"換版", "校色", "等紙", "等版", "機台故障", "清洗滾筒", "換墨", "試印"};
inline constexpr W kInks[] = {"東洋 洋紅(M)", "東洋 青(C)", "東洋 黃(Y)", "東洋 黑(K)", "DIC 金",
                              "DIC 銀", "特調 PANTONE 185C", "特調 PANTONE 286C", "亮光油", "白墨"};
inline constexpr W kBindings[] = {"膠裝", "騎馬釘", "穿線膠裝", "精裝", "活頁裝", "蝴蝶裝"};
inline constexpr W kColourNumbers[] = {"C", "M", "Y", "K", "PANTONE 185 C", "PANTONE 286 C", "金色 871 C"};

} // namespace qtmv::demo::words
