#pragma once
// The rules of the print page without its widgets: the range defaults when
// the page opens, what a kind change and a report choice show and hide, and
// how each range field filters keys and checks its date.
#include "common/Clock.h"
#include "common/KeyFilter.h"

#include <array>
#include <optional>
#include <string>

namespace qtmv::daily::printing {

inline constexpr int kChoices = 8;

// Choices 0, 3, 4, 5 print an outsourcing order of the kind from a
// pre-schedule range (panel pic列印1); the others are analyses (pic列印2).
bool IsOrderChoice(int choice);

// The range fields when the page opens for the window's current record.
std::array<std::string, 14> DefaultRanges(const Clock& clock, const std::string& recordNo);

// What the page shows after a kind change.
struct KindView {
    std::array<std::optional<bool>, kChoices> choiceVisible; // unset: unchanged
    std::string choice0Caption;                              // empty: unchanged
    bool selectChoice0 = false;                              // select choice 0 (runs its rules)
};
// kind: text of cbo種類列印; printPressed: the page has been opened with
// the toolbar "print"; amounts: chk預排表印金額; selected: the current choice.
KindView KindChange(const std::string& kind, bool printPressed, bool amounts, int selected);

// What the page shows for the selected report choice.
struct ChoiceView {
    bool orderPanel = false;      // pic列印1 shown, pic列印2 hidden
    int focusRange = 0;           // first range field of the shown panel
    bool completionDate = false;  // chk列印完成日期
    bool retitle = false;         // chk報表名稱
    bool excel = false;           // ssc轉Excel檔
    bool excelEnabled = true;     // ssc轉Excel檔 usable
    bool kind = true;             // lbl種類列印, cbo種類列印
    bool layoutChoice = false;    // pic報表選擇 ("表1"/"表2" of the printing value report)
};
// table2: opt報表 "表2" is chosen.
ChoiceView ChoiceRules(int choice, const std::string& kind, const std::string& companyTitle, bool table2 = false);

// Key filter of a range field: dates and times take digits only, numbers
// are upper-cased; the text fields (10..13) are not filtered.
std::optional<KeyFilterMode> RangeKeyFilter(int index);
// The date fields checked when left: 0, 1, 4, 6.
bool IsCheckedDate(int index);
// A date field left by the user: a two-digit year is padded; false when the
// text is no valid date.
bool NormaliseDate(std::string& text);

} // namespace qtmv::daily::printing
