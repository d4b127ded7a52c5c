#include "quality/ui/EntryGrid.h"

#include "common/EntryText.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Big5.h"
#include "platform/text/Text.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"

#include <QBoxLayout>
#include <QObject>
#include <QPushButton>

#include <algorithm>
#include <string>

namespace qtmv::quality {

namespace {

std::size_t Length(const QString& text, bool big5)
{
    return big5 ? Big5ByteLength(text.toStdString()) : static_cast<std::size_t>(text.size());
}

void Tell(std::size_t limit)
{
    MsgBox(TooLongMessage(limit), "訊息", MsgIcon::Exclamation);
}

} // namespace

// Counted without the blanks around the text, which are never stored (as
// the main grid counts).
bool OverLimit(const QString& text, std::size_t limit, bool big5)
{
    if (Length(text.trimmed(), big5) <= limit)
        return false;
    Tell(limit);
    return true;
}

void CutToLimit(QString& text, std::size_t limit, bool big5)
{
    if (!OverLimit(text, limit, big5))
        return;
    const QString kept = text.trimmed();
    text = big5 ? U8(CutToBytes(kept.toStdString(), static_cast<long long>(limit)))
                : kept.left(static_cast<qsizetype>(limit));
}

bool ControlCharacter(const QString& text, std::string_view heading)
{
    if (!HasControlCharacter(text.toStdString()))
        return false;
    MsgBox(ControlCharacterMessage(heading), "訊息", MsgIcon::Exclamation);
    return true;
}

void WireEntryGrid(SpreadGrid& grid, std::function<bool(int row)> lineEmpty, std::function<bool(EditEnd&)> endEdit,
                   std::function<void()> lookup)
{
    grid.setStartEditHook([lineEmpty = std::move(lineEmpty)](EditStart& e) {
        if (e.row > 1 && lineEmpty(e.row - 1) && lineEmpty(e.row)) {
            MsgBox("前一列資料尚未輸入!", "警告", MsgIcon::Exclamation);
            return false;
        }
        return true;
    });
    grid.setEndEditHook(std::move(endEdit));
    grid.setKeyDownHook([lookup = std::move(lookup)](const GridKey& k) {
        if (k.key != Qt::Key_F9)
            return false;
        lookup();
        return true;
    });
}

void DeleteGridLine(SpreadGrid& grid, int row, int columns, std::vector<std::string>& perRow)
{
    if (row < 1 || row > grid.maxRow())
        return;
    grid.cancelEdit();
    CellTable cells = grid.allCells();
    cells.erase(cells.begin() + (row - 1));
    cells.emplace_back(static_cast<std::size_t>(columns));
    if (static_cast<std::size_t>(row) < perRow.size()) {
        perRow.erase(perRow.begin() + row);
        perRow.emplace_back();
    }
    grid.setRows(std::move(cells));
}

QPushButton* EntryButton(QWidget* parent, QBoxLayout* row, const char* name, const char* caption)
{
    auto* b = new QPushButton(U8(caption), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    if (row)
        row->addWidget(b);
    return b;
}

std::string CellText(const SpreadGrid& grid, int row, int col)
{
    return Trim(grid.text(row, col));
}

KeptLines KeptLinesOf(const SpreadGrid& grid, const std::vector<int>& columns,
                    const std::function<bool(int row)>& lineEmpty, const std::vector<int>& numberColumns)
{
    KeptLines lines;
    for (int r = 1; r <= grid.maxRow(); ++r) {
        if (lineEmpty(r))
            continue;
        std::vector<std::string>& texts = lines.emplace_back();
        for (int c : columns) {
            const bool number = std::find(numberColumns.begin(), numberColumns.end(), c) != numberColumns.end();
            texts.push_back(number ? std::to_string(Val(CellText(grid, r, c))) : CellText(grid, r, c));
        }
    }
    return lines;
}

void LeaveAsking(SpreadGrid& grid, const std::function<bool()>& typed, const std::function<void()>& save,
                 const std::function<void()>& close)
{
    switch (AskBeforeLeaving(grid, typed)) {
    case Leaving::Close: close(); break;
    case Leaving::Save: save(); break;
    case Leaving::Stay: break;
    }
}

Leaving AskBeforeLeaving(SpreadGrid& grid, const std::function<bool()>& typed)
{
    if (grid.isEditing() && !grid.finishEdit())
        return Leaving::Stay;
    if (!typed())
        return Leaving::Close;
    switch (MsgBox(kUnsavedQuestion, kUnsavedTitle, MsgIcon::Question, MsgButtons::YesNoCancel, MsgAnswer::Cancel)) {
    case MsgAnswer::Yes: return Leaving::Save;
    case MsgAnswer::No: return Leaving::Close;
    default: return Leaving::Stay;
    }
}

void DropChildConnections(QObject& window)
{
    for (QObject* child : window.findChildren<QObject*>())
        QObject::disconnect(child, nullptr, &window, nullptr);
}

} // namespace qtmv::quality
