#pragma once
// Filling the combo box that edits a grid cell with the values its column
// allows (see common/CodeLists.h for the lists and the order).
#include "common/CodeLists.h"

#include <QString>

#include <string_view>

class QComboBox;

namespace qtmv {

// Fills the combo box for list `listName`. With `clear` the old items go
// first; without, items already in the box are not added again. The box's
// current text (trimmed) heads the list and stays the current value.
// A "印刷尺寸" item of "D-印刷" shows only its first value; the full item
// (first value, 100 blanks, "||", second value) is its Qt::UserRole data,
// read with CodeComboItem. An unknown list name leaves only the current
// value, shows "找不到ComBox對應名稱!" (title "錯誤訊息", exclamation) and
// returns false.
bool FillCodeCombo(std::string_view kindDisplayName, std::string_view listName, QComboBox* combo,
                   bool clear, const CodeRows& rows);

// The full item at `index` (the current item when index < 0): its UserRole
// data when it carries one, else its text; for an editable box without a
// matching item, the typed text.
QString CodeComboItem(const QComboBox* combo, int index = -1);

} // namespace qtmv
