#include "common/ui/CodeCombo.h"

#include "platform/os/MessageBox.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace qtmv {

bool FillCodeCombo(std::string_view kindDisplayName, std::string_view listName, QComboBox* combo,
                   bool clear, const CodeRows& rows)
{
    if (!combo)
        return false;
    const std::string current = combo->currentText().trimmed().toStdString();
    const CodeList list = BuildCodeList(kindDisplayName, listName, current, rows);
    {
        // Filling is not a choice of the user: no change signals meanwhile.
        const QSignalBlocker block(combo);
        if (clear)
            combo->clear();
        const bool printSize = IsPrintSizeList(kindDisplayName, listName);
        for (const std::string& item : list.items) {
            const bool carriesValue = printSize && item.find("||") != std::string::npos;
            const QString text =
                QString::fromStdString(carriesValue ? SplitPrintSizeItem(item).first : item);
            const QVariant data = carriesValue ? QVariant(QString::fromStdString(item)) : QVariant();
            bool present = false;
            for (int i = 0; i < combo->count() && !present; ++i)
                present = combo->itemText(i) == text && combo->itemData(i) == data;
            if (!present)
                combo->addItem(text, data);
        }
        const int at = combo->findText(QString::fromStdString(current), Qt::MatchExactly);
        if (at >= 0)
            combo->setCurrentIndex(at);
        else if (combo->isEditable())
            combo->setEditText(QString::fromStdString(current));
    }
    if (!list.known)
        MsgBox("找不到ComBox對應名稱!", "錯誤訊息", MsgIcon::Exclamation);
    return list.known;
}

QString CodeComboItem(const QComboBox* combo, int index)
{
    if (!combo)
        return {};
    if (index < 0) {
        index = combo->currentIndex();
        if (combo->isEditable() && (index < 0 || combo->itemText(index) != combo->currentText()))
            return combo->currentText();
    }
    if (index < 0 || index >= combo->count())
        return {};
    const QVariant data = combo->itemData(index);
    return data.isValid() ? data.toString() : combo->itemText(index);
}

} // namespace qtmv
