#include "quality/ui/PrintingDataWindow.h"

#include "quality/ui/EntryGrid.h"
#include "quality/ui/PrintingListWindow.h"

#include "app/core/Session.h"
#include "common/HandOver.h"
#include "lookups/ui/PeopleLookups.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"
#include "platform/ui/GridHelpers.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"
#include "lookups/core/PlantLists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

using namespace qtmv;
using namespace qtmv::quality;

namespace {

constexpr const char* kTitle = "工單印刷數據";
// A line out of its tolerances: a light red the eye finds in the grid.
const QColor kOutOfTolerance(0xFF, 0xC8, 0xC8);

bool IsInk(int col) { return col >= frm工單印刷數據::c油墨1 && col <= frm工單印刷數據::c油墨7; }
bool IsMeasure(int col) { return col >= frm工單印刷數據::cL && col <= frm工單印刷數據::c濃度; }

std::string Heading(int col)
{
    static const char* const measures[] = {"L", "A", "B", "△", "濃度"};
    using W = frm工單印刷數據;
    if (IsInk(col))
        return "油墨" + std::to_string(col - W::c油墨1 + 1);
    if (IsMeasure(col))
        return measures[col - W::cL];
    switch (col) {
    case W::c色號: return "色號";
    case W::c記錄員代號: return "記錄員代號";
    case W::c記錄員: return "記錄員";
    case W::c印刷日期: return "印刷日期";
    default: return {};
    }
}

} // namespace

frm工單印刷數據::frm工單印刷數據(QWidget* caller, PrintingKey key, bool hasLines, const Clock& clock)
    : QDialog(caller), clock_(clock), key_(std::move(key)), hasLines_(hasLines)
{
    setObjectName(QStringLiteral("frm工單印刷數據"));
    setWindowTitle(U8(kTitle));
    setModal(true);
    buildUi();
}

frm工單印刷數據::~frm工單印刷數據()
{
    DropChildConnections(*this);
}

void frm工單印刷數據::buildUi()
{
    auto* root = new QVBoxLayout(this);
    lbl單號 = new QLabel(this);
    lbl單號->setObjectName(QStringLiteral("lbl單號"));
    lbl紙品 = new QLabel(this);
    lbl紙品->setObjectName(QStringLiteral("lbl紙品"));
    auto* head = new QHBoxLayout;
    head->addWidget(lbl單號);
    head->addWidget(lbl紙品, 1);
    root->addLayout(head);

    fml明細 = new SpreadGrid(this);
    fml明細->setObjectName(QStringLiteral("fml明細"));
    std::vector<GridColumnSpec> cols;
    for (int c = 1; c <= kColumns; ++c)
        cols.push_back({Heading(c), c == c色號 || IsInk(c) ? 110 : IsMeasure(c) ? 50 : 70});
    SetupGrid(*fml明細, kEntryBlankRows, cols);
    fml明細->setFrozenColumns(1);
    // The code comes with the name the recorder is found by.
    fml明細->setEditablePredicate([](int, int col) { return col != c記錄員代號; });
    WireEntryGrid(
        *fml明細, [this](int row) { return lineEmpty(row); },
        [this](EditEnd& e) { return endEdit(e.row, e.col, e.text); }, [this] { lookup(); });
    QObject::connect(fml明細, &SpreadGrid::cellChanged, this, [this](int row, int col) {
        if (col == c色號 || col == cL || col == cA || col == cB)
            updateDifference(row);
        if (col == c色號 || IsMeasure(col))
            updateTolerance(row, true);
    });
    root->addWidget(fml明細, 1);

    auto* buttons = new QHBoxLayout;
    scmd確定 = EntryButton(this, buttons, "scmd確定", "確 定");
    scmd刪除 = EntryButton(this, buttons, "scmd刪除", "明細刪除");
    scmd輔助 = EntryButton(this, buttons, "scmd輔助", "輔助(F9)");
    scmd印刷數據明細表 = EntryButton(this, buttons, "scmd印刷數據明細表", "印刷數據明細表");
    ssc回前畫面 = EntryButton(this, buttons, "ssc回前畫面", "回前畫面");
    root->addLayout(buttons);
    sbr狀態 = new QStatusBar(this);
    sbr狀態->setObjectName(QStringLiteral("sbr狀態"));
    sbr狀態->setSizeGripEnabled(false);
    root->addWidget(sbr狀態);
    QObject::connect(scmd確定, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { confirm(); }); });
    QObject::connect(scmd刪除, &QPushButton::clicked, this, [this] { deleteLine(); });
    QObject::connect(scmd輔助, &QPushButton::clicked, this, [this] { lookup(); });
    QObject::connect(scmd印刷數據明細表, &QPushButton::clicked, this, [this] { openListing(); });
    QObject::connect(ssc回前畫面, &QPushButton::clicked, this, [this] { reject(); });
    resize(1100, 480);
}

void frm工單印刷數據::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!started_)
        start();
}

void frm工單印刷數據::start()
{
    if (started_)
        return;
    started_ = true;
    lbl單號->setText(U8("工單單號： " + key_.po));
    lbl紙品->setText(U8(kPaperPrefix));
    Guarded(kTitle, [&] {
        PrintingDataOpened opened = OpenPrintingData(CurrentSession(), key_);
        for (int c = c油墨1; c <= c油墨7; ++c)
            fml明細->setColumnChoices(c, opened.inks);
        lbl紙品->setText(U8(opened.paper));
        targets_ = std::move(opened.targets);
        PrintingRecord& record = opened.record;
        stored_ = std::move(record.stored);
        storedLines_ = record.lines;
        const std::vector<PrintingLine>& lines = record.lines;
        hasLines_ = !lines.empty();
        CellTable rows;
        computed_.assign(1, std::string());
        for (const PrintingLine& l : lines) {
            std::vector<std::string> r(kColumns);
            r[c色號 - 1] = l.colour;
            for (std::size_t i = 0; i < l.inks.size(); ++i)
                r[static_cast<std::size_t>(c油墨1 - 1) + i] = l.inks[i];
            for (std::size_t i = 0; i < l.measures.size(); ++i)
                r[static_cast<std::size_t>(cL - 1) + i] = l.measures[i];
            r[c記錄員代號 - 1] = l.recorderId;
            r[c記錄員 - 1] = l.recorder;
            r[c印刷日期 - 1] = l.date;
            rows.push_back(std::move(r));
            // A stored △ equal to the computed one follows the values from now on.
            const auto d = ComputedDifference(l, targets_);
            computed_.push_back(d && *d == Trim(l.measures[3]) ? *d : std::string());
        }
        rows.emplace_back(kColumns);
        while (rows.size() < static_cast<std::size_t>(kEntryBlankRows))
            rows.emplace_back(kColumns);
        computed_.resize(rows.size() + 1);
        fml明細->setRows(std::move(rows));
    });
    computed_.resize(static_cast<std::size_t>(fml明細->maxRow()) + 1);
    for (int r = 1; r <= fml明細->maxRow(); ++r)
        updateTolerance(r, false);
    if (const int out = LinesOutOfTolerance(storedLines_, targets_); out > 0)
        sbr狀態->showMessage(U8(OutOfToleranceMessage(out)));
    fml明細->setActiveCell(1, c色號);
    loaded_ = keptLines();
}

bool frm工單印刷數據::lineEmpty(int row) const
{
    for (int c = 1; c <= kColumns; ++c)
        if (!CellText(*fml明細, row, c).empty())
            return false;
    return true;
}

bool frm工單印刷數據::endEdit(int row, int col, QString& text)
{
    if (ControlCharacter(text, Heading(col)))
        return false;
    if (col == c色號) {
        CutToLimit(text, kColourBytes, true);
    } else if (IsInk(col)) {
        CutToLimit(text, kInkBytes, true);
    } else if (IsMeasure(col)) {
        CutToLimit(text, kMeasureBytes, true);
        if (col == c色差 && static_cast<std::size_t>(row) < computed_.size())
            computed_[static_cast<std::size_t>(row)].clear();   // typed: the user's from now on
    } else if (col == c印刷日期) {
        CutToLimit(text, kDateChars, false);
        const auto date = PrintingDate(text.toStdString());
        if (!date) {
            MsgBox(kBadPrintingDate, kBadPrintingDateTitle, MsgIcon::Exclamation);
            return false;
        }
        text = U8(*date);
    } else if (col == c記錄員) {
        CutToLimit(text, kRecorderBytes, true);
        const std::string typed = Trim(text.toStdString());
        if (typed.empty()) {
            fml明細->setText(row, c記錄員代號, "");
            return true;
        }
        std::optional<std::pair<std::string, std::string>> who;
        const bool read = Guarded(kTitle, [&] { who = lookups::FindEmployee(CurrentSession(), typed); });
        if (!read)
            return false;
        if (who) {
            fml明細->setText(row, c記錄員代號, who->first);
            text = U8(who->second);
        } else {
            // The lookup opens once the cell is committed, with the text as filter.
            fml明細->setText(row, c記錄員代號, "");
            QTimer::singleShot(0, this, [this, row, typed] { lookupRecorder(row, typed); });
        }
    }
    return true;
}

void frm工單印刷數據::lookup()
{
    const int row = fml明細->activeRow();
    if (row < 1 || fml明細->activeCol() != c記錄員)
        return;
    if (!fml明細->finishEdit())
        return;
    if (row > 1 && lineEmpty(row - 1) && lineEmpty(row)) {
        MsgBox("前一列資料尚未輸入!", "警告", MsgIcon::Exclamation);
        return;
    }
    lookupRecorder(row, CellText(*fml明細, row, c記錄員));
}

void frm工單印刷數據::lookupRecorder(int row, const std::string& filter)
{
    ClearPick();
    gLookupFilter = filter;
    gLookupStaffGroup.clear();
    {
        frm業務員輔助視窗1 dlg(this);
        runModal(dlg);
    }
    const std::string code = Trim(gPick[0]), name = Trim(gPick[1]);
    ClearPick();
    if (code.empty())
        return;   // no pick: the typed text stays for the user to correct
    fml明細->setText(row, c記錄員代號, code);
    fml明細->setText(row, c記錄員, name);
}

PrintingLine frm工單印刷數據::line(int row) const
{
    PrintingLine l;
    l.colour = CellText(*fml明細, row, c色號);
    for (std::size_t i = 0; i < l.inks.size(); ++i)
        l.inks[i] = CellText(*fml明細, row, c油墨1 + static_cast<int>(i));
    for (std::size_t i = 0; i < l.measures.size(); ++i)
        l.measures[i] = CellText(*fml明細, row, cL + static_cast<int>(i));
    l.recorderId = CellText(*fml明細, row, c記錄員代號);
    l.recorder = CellText(*fml明細, row, c記錄員);
    l.date = CellText(*fml明細, row, c印刷日期);
    return l;
}

KeptLines frm工單印刷數據::keptLines() const
{
    std::vector<int> columns;
    for (int c = 1; c <= kColumns; ++c)
        columns.push_back(c);
    return quality::KeptLinesOf(*fml明細, columns, [this](int row) { return lineEmpty(row); });
}

bool frm工單印刷數據::typed() const
{
    return keptLines() != loaded_;
}

void frm工單印刷數據::reject()
{
    LeaveAsking(
        *fml明細, [this] { return typed(); }, [this] { Guarded(kTitle, [&] { confirm(); }); },
        [this] { QDialog::reject(); });
}

void frm工單印刷數據::updateDifference(int row)
{
    if (row < 1 || static_cast<std::size_t>(row) >= computed_.size())
        return;
    std::string& mine = computed_[static_cast<std::size_t>(row)];
    const std::string current = CellText(*fml明細, row, c色差);
    if (!current.empty() && current != mine)
        return;   // typed by the user
    const auto d = ComputedDifference(line(row), targets_);
    mine = d.value_or(std::string());
    fml明細->setText(row, c色差, mine);
}

void frm工單印刷數據::updateTolerance(int row, bool tell)
{
    const PrintingLine l = line(row);
    const ToleranceCheck check = LineTolerance(l, targets_);
    const QColor colour = check.out() ? kOutOfTolerance : QColor();
    for (int c = 1; c <= kColumns; ++c)
        fml明細->setCellBackground(row, c, colour);
    if (tell)
        sbr狀態->showMessage(U8(LineStatus(row, l, check)));
}

void frm工單印刷數據::deleteLine()
{
    DeleteGridLine(*fml明細, fml明細->activeRow(), kColumns, computed_);
    for (int r = 1; r <= fml明細->maxRow(); ++r)   // the colours follow the lines
        updateTolerance(r, false);
}

void frm工單印刷數據::done(int r)
{
    if (const int out = LinesOutOfTolerance(storedLines_, targets_); out > 0)
        MsgBox(OutOfToleranceMessage(out), "訊息", MsgIcon::Information);
    QDialog::done(r);
}

void frm工單印刷數據::openListing()
{
    frm印刷數據明細表 dlg(this);
    dlg.setWorkOrder(key_.po);
    dlg.runModal = runModal;
    runModal(dlg);
}

void frm工單印刷數據::confirm()
{
    if (!fml明細->finishEdit())
        return;
    std::vector<PrintingLine> lines;
    for (int r = 1; r <= fml明細->maxRow(); ++r)
        lines.push_back(line(r));
    daily::SaveContext ctx{CurrentSession(), clock_, endProgram};
    const PrintingSaved saved = SavePrintingData(key_, lines, stored_, ctx);
    if (saved.status == SaveStatus::Changed)
        stored_ = saved.stored;   // told: pressing 確 定 again replaces what the other left
    if (saved.status != SaveStatus::Saved)
        return;
    stored_ = saved.stored;
    hasLines_ = saved.hasLines;
    loaded_ = keptLines();
    storedLines_ = std::move(lines);
    accept();
}
