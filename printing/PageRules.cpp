#include "printing/PageRules.h"

#include "common/RocDate.h"

namespace qtmv::daily::printing {

bool IsOrderChoice(int choice) { return choice == 0 || choice == 3 || choice == 4 || choice == 5; }

std::array<std::string, 14> DefaultRanges(const Clock& clock, const std::string& recordNo)
{
    const std::string today = TodayRoc7(clock);
    std::array<std::string, 14> r{};
    r[1] = today;
    r[2] = r[3] = recordNo;
    r[4] = today.substr(0, 5) + "01";
    r[5] = "0000";
    r[6] = today;
    r[7] = "2400";
    r[9] = std::string(9, 'z');
    return r;
}

KindView KindChange(const std::string& kind, bool printPressed, bool amounts, int selected)
{
    KindView v;
    for (int i : {3, 4, 5})
        v.choiceVisible[static_cast<std::size_t>(i)] = false;
    // Choice 0 is offered for every kind once the page is open; without it
    // no outsourcing order could be chosen after the opening hid it.
    if (printPressed)
        v.choiceVisible[0] = true;
    if (kind == "D-印刷") {
        v.choice0Caption = "排程單1";
        if (printPressed)
            for (int i : {3, 4, 5})
                v.choiceVisible[static_cast<std::size_t>(i)] = true;
    } else if (kind == "C-紙品") {
        v.choice0Caption = amounts ? "排程單1" : "排程單";
        if (amounts && printPressed)
            v.choiceVisible[3] = true;
    } else if (printPressed) {
        v.choice0Caption = "排程單";
    }
    // A choice the kind no longer offers falls back to choice 0.
    const bool stillOffered = !v.choiceVisible[static_cast<std::size_t>(selected)].has_value()
                              || *v.choiceVisible[static_cast<std::size_t>(selected)];
    if (printPressed && selected != 0 && (kind != "D-印刷" || !stillOffered))
        v.selectChoice0 = true;
    return v;
}

ChoiceView ChoiceRules(int choice, const std::string& kind, const std::string& companyTitle, bool table2)
{
    ChoiceView v;
    v.orderPanel = IsOrderChoice(choice);
    v.focusRange = v.orderPanel ? 0 : 4;
    v.completionDate = choice == 2;
    v.retitle = companyTitle.rfind("岱恆", 0) == 0 && (choice == 0 || choice == 3 || choice == 5);
    v.excel = choice == 1 || choice == 2 || choice == 7;
    v.kind = choice != 6;
    // The two layouts exist only for the printing value report.
    v.layoutChoice = choice == 1 && kind == "D-印刷";
    // "表2" of the printing value detail has no export; every other
    // exporting choice can export again.
    v.excelEnabled = !(v.layoutChoice && table2);
    return v;
}

std::optional<KeyFilterMode> RangeKeyFilter(int index)
{
    switch (index) {
    case 0: case 1: case 4: case 5: case 6: case 7: return KeyFilterMode::Digits;
    case 2: case 3: case 8: case 9: return KeyFilterMode::Upper;
    default: return std::nullopt;
    }
}

bool IsCheckedDate(int index) { return index == 0 || index == 1 || index == 4 || index == 6; }

bool NormaliseDate(std::string& text)
{
    PadDateText(text);
    return CheckRocDate(text) == 0;
}

} // namespace qtmv::daily::printing
