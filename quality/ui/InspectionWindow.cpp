#include "quality/ui/InspectionWindow.h"

#include "quality/ui/EntryGrid.h"

#include "app/core/Session.h"
#include "common/Failure.h"
#include "common/HandOver.h"
#include "common/NumberFormat.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"
#include "platform/ui/GridHelpers.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace qtmv;
using namespace qtmv::quality;

namespace {

constexpr const char* kTitle = "品檢";

std::string QuantityText(double v) { return FormatFixed(v, 2); }
std::string RateTextOf(double v) { return FormatFixed(v, 1); }

const char* const kHeadings[] = {"", "主要檢查項目", "檢查標準", "權責單位", "檢驗數量", "不良數量", "不良率", "判定"};

} // namespace

frm品檢::frm品檢(QWidget* caller, InspectionKey key, const Clock& clock)
    : QDialog(caller), key_(std::move(key)), clock_(clock)
{
    setObjectName(QStringLiteral("frm品檢"));
    setWindowTitle(U8(kTitle));
    setModal(true);
    buildUi();
}

frm品檢::~frm品檢()
{
    DropChildConnections(*this);
}

void frm品檢::buildUi()
{
    auto* root = new QVBoxLayout(this);
    auto label = [this](const char* name, const std::string& text) {
        auto* l = new QLabel(U8(text), this);
        l->setObjectName(QString::fromUtf8(name));
        return l;
    };
    lbl製程 = label("lbl製程", key_.kind);
    lbl單號 = label("lbl單號", "工單單號： " + key_.po);
    lbl單號序 = label("lbl單號序", "序： " + std::to_string(key_.seq));
    auto* head = new QHBoxLayout;
    head->addWidget(lbl製程);
    head->addWidget(lbl單號);
    head->addWidget(lbl單號序);
    head->addStretch(1);
    root->addLayout(head);

    fml明細 = new SpreadGrid(this);
    fml明細->setObjectName(QStringLiteral("fml明細"));
    SetupGrid(*fml明細, kEntryBlankRows,
              std::vector<GridColumnSpec>{{kHeadings[c主要檢查項目], 180}, {kHeadings[c檢查標準], 200},
                                          {kHeadings[c權責單位], 90}, {kHeadings[c檢驗數量], 80},
                                          {kHeadings[c不良數量], 80}, {kHeadings[c不良率], 60}, {kHeadings[c判定], 60}});
    fml明細->setColumnChoices(c判定, {"OK", "NG"});
    fml明細->setEditablePredicate([](int, int col) { return col != c不良率; });
    WireEntryGrid(
        *fml明細, [this](int row) { return lineEmpty(row); },
        [this](EditEnd& e) { return endEdit(e.row, e.col, e.text); }, [this] { lookup(); });
    QObject::connect(fml明細, &SpreadGrid::cellChanged, this, [this](int row, int col) {
        if (col == c檢驗數量 || col == c不良數量)
            updateRate(row);
    });
    root->addWidget(fml明細, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const char* name, const char* caption) {
        return EntryButton(this, buttons, name, caption);
    };
    scmd確定 = button("scmd確定", "確 定");
    scmd匯入片語 = button("scmd匯入片語", "匯入片語");
    scmd輔助 = button("scmd輔助", "輔助(F9)");
    scmd刪除 = button("scmd刪除", "明細刪除");
    ssc回前畫面 = button("ssc回前畫面", "回前畫面");
    root->addLayout(buttons);
    QObject::connect(scmd確定, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { confirm(); }); });
    QObject::connect(scmd匯入片語, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { importPhrases(); }); });
    QObject::connect(scmd輔助, &QPushButton::clicked, this, [this] { lookup(); });
    QObject::connect(scmd刪除, &QPushButton::clicked, this, [this] { deleteLine(); });
    QObject::connect(ssc回前畫面, &QPushButton::clicked, this, [this] { reject(); });
    resize(900, 480);
}

void frm品檢::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!started_)
        start();
}

void frm品檢::start()
{
    if (started_)
        return;
    started_ = true;
    Guarded(kTitle, [&] {
        InspectionOpened opened = OpenInspection(CurrentSession(), key_);
        acceptable_ = opened.acceptable;
        const InspectionPhrases& phrases = opened.phrases;
        fml明細->setColumnChoices(c主要檢查項目, phrases.items);
        fml明細->setColumnChoices(c檢查標準, phrases.standards);
        fml明細->setColumnChoices(c權責單位, phrases.units);
        InspectionRecord& record = opened.record;
        stored_ = std::move(record.stored);
        std::vector<InspectionLine>& lines = record.lines;
        if (!lines.empty()) {
            FollowProposals(lines, acceptable_);
            showLines(lines);
            std::vector<int> contradicting;
            for (std::size_t i = 0; i < lines.size(); ++i)
                if (ContradictsRule(lines[i], acceptable_))
                    contradicting.push_back(static_cast<int>(i) + 1);
            warnIfContradicting(contradicting);
            return;
        }
        showLines({});
        if (phrases.empty())
            MsgBox(kNoPhrases, "訊息", MsgIcon::Information);
        else
            showLines(phrases.lines());
    });
    fml明細->setActiveCell(1, c主要檢查項目);
    // Phrases a new step starts from are the window's, not typed.
    loaded_ = keptLines();
}

void frm品檢::showLines(const std::vector<InspectionLine>& lines)
{
    CellTable rows;
    for (const InspectionLine& l : lines) {
        std::vector<std::string> r(kColumns);
        r[c主要檢查項目 - 1] = l.item;
        r[c檢查標準 - 1] = l.standard;
        r[c權責單位 - 1] = l.unit;
        // Phrase lines have no figures yet: they stay blank until typed.
        const bool figures = l.inspected != 0 || l.defective != 0 || l.rate != 0 || !l.verdict.empty();
        if (figures) {
            r[c檢驗數量 - 1] = QuantityText(l.inspected);
            r[c不良數量 - 1] = QuantityText(l.defective);
            r[c不良率 - 1] = RateTextOf(l.rate);
        }
        r[c判定 - 1] = l.verdict;
        rows.push_back(std::move(r));
    }
    rows.emplace_back(kColumns);
    while (rows.size() < static_cast<std::size_t>(kEntryBlankRows))
        rows.emplace_back(kColumns);
    proposed_.assign(rows.size() + 1, std::string());
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].proposed)
            proposed_[i + 1] = lines[i].verdict;
    fml明細->setRows(std::move(rows));
}

void frm品檢::importPhrases()
{
    if (MsgBox(kImportQuestion, "刪除詢問", MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    fml明細->cancelEdit();
    const InspectionPhrases phrases = LoadInspectionPhrases(CurrentSession(), key_.kind);
    showLines({});
    if (phrases.empty()) {
        MsgBox(kNoPhrases, "訊息", MsgIcon::Information);
        return;
    }
    showLines(phrases.lines());
}

bool frm品檢::lineEmpty(int row) const
{
    for (int c = 1; c <= kColumns; ++c) {
        const std::string t = CellText(*fml明細, row, c);
        const bool number = c == c檢驗數量 || c == c不良數量 || c == c不良率;
        if (!t.empty() && !(number && Val(t) == 0))
            return false;
    }
    return true;
}

bool frm品檢::endEdit(int row, int col, QString& text)
{
    if (col >= c主要檢查項目 && col <= kColumns && ControlCharacter(text, kHeadings[col]))
        return false;
    switch (col) {
    case c主要檢查項目:
    case c檢查標準:
        return !OverLimit(text, 200, true);
    case c權責單位:
        return !OverLimit(text, 20, true);
    case c檢驗數量:
    case c不良數量: {
        if (OverLimit(text.trimmed(), 10, false))
            return false;
        const std::string t = Trim(text.toStdString());
        if (!IsPlainNumber(t) || Val(t) < 0) {
            MsgBox("請輸入數字!", "訊息", MsgIcon::Exclamation);
            return false;
        }
        text = t.empty() ? QString() : U8(QuantityText(Val(t)));
        return true;
    }
    case c判定: {
        const QString v = text.trimmed().toUpper();
        if (!v.isEmpty() && v != QLatin1String("OK") && v != QLatin1String("NG")) {
            MsgBox("判定只可選擇 OK 或 NG!", "訊息", MsgIcon::Exclamation);
            return false;
        }
        text = v;
        if (static_cast<std::size_t>(row) < proposed_.size())
            proposed_[static_cast<std::size_t>(row)].clear();   // the user's choice from now on
        InspectionLine l = gridLine(row);
        l.verdict = v.toStdString();
        if (ContradictsRule(l, acceptable_))
            warnIfContradicting({row});
        return true;
    }
    default:
        return true;
    }
}

void frm品檢::updateRate(int row)
{
    const auto rate = DefectRate(Val(CellText(*fml明細, row, c檢驗數量)), Val(CellText(*fml明細, row, c不良數量)));
    if (!rate)
        return;   // nothing inspected: the rate stays as it is
    const std::string shown = RateTextOf(*rate);
    fml明細->setText(row, c不良率, shown);
    const std::string verdict = ProposedVerdict(Val(shown), acceptable_);
    if (verdict.empty() || static_cast<std::size_t>(row) >= proposed_.size())
        return;
    std::string& mine = proposed_[static_cast<std::size_t>(row)];
    const std::string current = CellText(*fml明細, row, c判定);
    if (current.empty() || current == mine) {
        fml明細->setText(row, c判定, verdict);
        mine = verdict;
    } else if (ContradictsRule(gridLine(row), acceptable_)) {
        warnIfContradicting({row});   // the user's verdict stays, but not without a word
    }
}

InspectionLine frm品檢::gridLine(int r) const
{
    InspectionLine l;
    l.item = CellText(*fml明細, r, c主要檢查項目);
    l.standard = CellText(*fml明細, r, c檢查標準);
    l.unit = CellText(*fml明細, r, c權責單位);
    l.inspected = Val(CellText(*fml明細, r, c檢驗數量));
    l.defective = Val(CellText(*fml明細, r, c不良數量));
    l.rate = Val(CellText(*fml明細, r, c不良率));
    l.verdict = CellText(*fml明細, r, c判定);
    const std::size_t i = static_cast<std::size_t>(r);
    l.proposed = i < proposed_.size() && !proposed_[i].empty() && proposed_[i] == l.verdict;
    return l;
}

std::vector<InspectionLine> frm品檢::gridLines() const
{
    std::vector<InspectionLine> lines;
    for (int r = 1; r <= fml明細->maxRow(); ++r)
        lines.push_back(gridLine(r));
    return lines;
}

KeptLines frm品檢::keptLines() const
{
    std::vector<int> columns;
    for (int c = 1; c <= kColumns; ++c)
        columns.push_back(c);
    return quality::KeptLinesOf(*fml明細, columns, [this](int row) { return lineEmpty(row); },
                              {c檢驗數量, c不良數量, c不良率});
}

bool frm品檢::typed() const
{
    return keptLines() != loaded_;
}

void frm品檢::reject()
{
    LeaveAsking(
        *fml明細, [this] { return typed(); }, [this] { Guarded(kTitle, [&] { confirm(); }); },
        [this] { QDialog::reject(); });
}

void frm品檢::warnIfContradicting(const std::vector<int>& rows)
{
    if (!rows.empty() && acceptable_)
        MsgBox(ContradictionMessage(rows, *acceptable_), kContradictionTitle, MsgIcon::Exclamation);
}

void frm品檢::lookup()
{
    const int row = fml明細->activeRow(), col = fml明細->activeCol();
    if (row < 1 || col < c主要檢查項目 || col > c權責單位 || fml明細->isEditing())
        return;
    fml明細->tableView()->setFocus();
    fml明細->startEdit(row, col);
}

void frm品檢::deleteLine()
{
    DeleteGridLine(*fml明細, fml明細->activeRow(), kColumns, proposed_);
}

void frm品檢::confirm()
{
    if (!fml明細->finishEdit())
        return;
    daily::SaveContext ctx{CurrentSession(), clock_, endProgram};
    const InspectionSaved saved = SaveInspection(key_, gridLines(), stored_, ctx);
    if (saved.status == SaveStatus::Changed)
        stored_ = saved.stored;   // told: pressing 確 定 again replaces what the other left
    if (saved.status != SaveStatus::Saved)
        return;
    stored_ = saved.stored;
    result_.saved = true;
    result_.hasLines = saved.hasLines;
    loaded_ = keptLines();
    accept();
}
