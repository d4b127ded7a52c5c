#include "prescheduling/ui/TimeWindow.h"

#include "prescheduling/ui/PrintValueWindow.h"
#include "quality/ui/InspectionWindow.h"
#include "quality/ui/PrintingDataWindow.h"

#include "app/core/Locks.h"
#include "app/core/Session.h"
#include "common/EntryText.h"
#include "common/HandOver.h"
#include "common/NumberFormat.h"
#include "common/RocDate.h"
#include "common/ui/DatePicker.h"
#include "records/saving/Saving.h"
#include "lookups/core/PlantLists.h"
#include "lookups/ui/PeopleLookups.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/jet/Value.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Big5.h"
#include "platform/text/Text.h"
#include "platform/ui/BusyScope.h"
#include "platform/ui/GridHelpers.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"
#include "quality/core/Inspection.h"

#include <QAction>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <map>
#include <optional>
#include <utility>

using namespace qtmv;
using namespace qtmv::presched;

namespace {

constexpr const char* kTitle = "耗時";
constexpr int kBlankRows = 20;

std::string CellText(const SpreadGrid& g, int r, int c) { return Trim(g.text(r, c)); }

std::string NumberCell(double v) { return v == 0 ? std::string() : jet::RealText(v); }

// The defect rate with the two decimals the time lines have always kept, so
// that a stored rate is shown, and stored again, as it was.
std::string RateCell(double v) { return v == 0 ? std::string() : TwoDecimals(v); }

// Cuts the text to the limit and tells the user, as every entry window
// does; Big5 bytes are counted without the blanks around, as the main grid
// counts them.
void Limit(QString& text, std::size_t bytes, bool countBig5, const char* message)
{
    const std::string t = Trim(text.toStdString());
    const std::size_t length = countBig5 ? Big5ByteLength(t) : static_cast<std::size_t>(text.size());
    if (length <= bytes)
        return;
    MsgBox(message, "訊息", MsgIcon::Exclamation);
    text = countBig5 ? U8(CutToBytes(t, static_cast<long long>(bytes))) : text.left(static_cast<qsizetype>(bytes));
}

const char* HeadingOf(int col)
{
    switch (col) {
    case frm工務預排作業_耗時::c製作: return "製作";
    case frm工務預排作業_耗時::c開始: return "開始";
    case frm工務預排作業_耗時::c結束: return "結束";
    case frm工務預排作業_耗時::c完工數量: return "完工數量";
    case frm工務預排作業_耗時::c不良數: return "不良數";
    case frm工務預排作業_耗時::c不良率: return "不良率";
    case frm工務預排作業_耗時::c經辦: return "經辦";
    case frm工務預排作業_耗時::c說明: return "說明";
    default: return "";
    }
}

QLabel* Figure(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromUtf8(name));
    return l;
}

} // namespace

frm工務預排作業_耗時::frm工務預排作業_耗時(const TimeRequest& request, QWidget* parent, const Clock& clock)
    : QDialog(parent), request_(request), clock_(clock)
{
    setObjectName(QStringLiteral("frm工務預排作業_耗時"));
    setWindowTitle(U8(kTitle));
    setModal(true);
    buildUi();
}

frm工務預排作業_耗時::~frm工務預排作業_耗時()
{
    // The fields lose the focus while the base class deletes them; their
    // handlers must not run on a window that is half gone.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    releaseOwnLock();
}

void frm工務預排作業_耗時::releaseOwnLock()
{
    if (lockId_.empty())
        return;
    DropRecordLock(CurrentSession(), lockToken_);
    const std::string id = lockId_;
    lockId_.clear();
    Guarded(kTitle, [&] { presched::ReleaseLock(CurrentSession().ConnectionString, key_, id); });
}

void frm工務預排作業_耗時::holdLock(const std::string& lockId)
{
    lockId_ = lockId;
    // Released before the program ends on the maintenance check, which ends
    // it without unloading this window.
    lockToken_ = HoldRecordLock(CurrentSession(), [cs = CurrentSession().ConnectionString, key = key_, lockId] {
        presched::ReleaseLock(cs, key, lockId);
    });
    setReadOnly(false);
}

void frm工務預排作業_耗時::buildUi()
{
    auto* root = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("Toolbar2"));
    act品檢 = bar->addAction(U8("品檢"));
    act品檢->setObjectName(QStringLiteral("品檢"));
    lbl標題 = Figure(this, "lbl標題");
    lbl記錄 = Figure(this, "lbl記錄");
    auto* head = new QHBoxLayout;
    head->addWidget(bar);
    head->addWidget(lbl記錄);
    head->addWidget(lbl標題, 1);
    root->addLayout(head);

    auto* fields = new QGridLayout;
    auto edit = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromUtf8(name));
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        return e;
    };
    txt完工日期 = edit("txt完工日期", 7);
    cmd日期 = new QPushButton(U8("..."), this);
    cmd日期->setObjectName(QStringLiteral("cmd日期"));
    txt完工數量 = edit("txt完工數量", 10);
    txt總耗時 = edit("txt總耗時", 0);
    txt總耗時->setReadOnly(true);
    fields->addWidget(new QLabel(U8("完工日期:"), this), 0, 0);
    fields->addWidget(txt完工日期, 0, 1);
    fields->addWidget(cmd日期, 0, 2);
    fields->addWidget(new QLabel(U8("完工數量:"), this), 0, 3);
    fields->addWidget(txt完工數量, 0, 4);
    fields->addWidget(new QLabel(U8("總耗時:"), this), 0, 5);
    fields->addWidget(txt總耗時, 0, 6);
    lbl時標準量 = Figure(this, "lbl時標準量");
    lbl標準數量 = Figure(this, "lbl標準數量");
    lbl實際數量 = Figure(this, "lbl實際數量");
    lbl差異 = Figure(this, "lbl差異");
    lbl點數 = Figure(this, "lbl點數");
    int c = 0;
    for (QLabel* l : {lbl時標準量, lbl標準數量, lbl實際數量, lbl差異, lbl點數})
        fields->addWidget(l, 1, c++ * 2, 1, 2);
    root->addLayout(fields);

    fml明細 = new SpreadGrid(this);
    fml明細->setObjectName(QStringLiteral("fml明細"));
    std::vector<GridColumnSpec> cols = {
        {"製作", 70}, {"開始", 100}, {"結束", 100}, {"耗時", 50},      {"時分", 70},    {"完工數量", 70},
        {"不良數", 60}, {"不良率", 60}, {"經辦", 60}, {"經辦人員", 70}, {"說明", 160},  {"產值", 70},
        {"標準數量", 70}, {"點數", 60},  {"令數", 0, true}, {"色數", 0, true}, {"面數", 0, true},
        {"單價", 0, true}, {"合計", 0, true}};
    SetupGrid(*fml明細, kBlankRows, cols);
    fml明細->setEditablePredicate([this](int, int col) {
        if (readOnly_)
            return false;
        switch (col) {
        case c製作: case c開始: case c結束: case c完工數量: case c不良數: case c不良率: case c經辦: case c說明:
            return true;
        default:
            return false;
        }
    });
    fml明細->setStartEditHook([this](EditStart& e) { return startEdit(e.row, e.col); });
    fml明細->setEndEditHook([this](EditEnd& e) { return endEdit(e.row, e.col, e.text); });
    fml明細->setKeyDownHook([this](const GridKey& k) {
        if (k.key == Qt::Key_F9) {
            lookupAt(k.row, k.col);
            return true;
        }
        if ((k.key == Qt::Key_Return || k.key == Qt::Key_Enter) && !k.editing &&
            (k.col == c製作 || k.col == c經辦) && CellText(*fml明細, k.row, k.col).empty()) {
            lookupAt(k.row, k.col);
            return true;
        }
        if ((k.key == Qt::Key_Return || k.key == Qt::Key_Enter) && !k.editing && k.col == c產值) {
            openValue(k.row);
            return true;
        }
        return false;
    });
    QObject::connect(fml明細, &SpreadGrid::cellClicked, this, [this](int row, int col) {
        if (col == c產值)
            Guarded(kTitle, [&] { openValue(row); });
    });
    QObject::connect(fml明細, &SpreadGrid::cellChanged, this, [this](int row, int col) {
        if (col == c完工數量 || col == c不良數)
            updateRate(row);
        recompute();
    });
    root->addWidget(fml明細, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const char* name, const char* caption) {
        auto* b = new QPushButton(U8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    scmd確定 = button("scmd確定", "確 定");
    scmd刪除 = button("scmd刪除", "明細刪除");
    scmd輔助 = button("scmd輔助", "輔助(F9)");
    scmd印刷數據 = button("scmd印刷數據", "印刷數據");
    ssc回前畫面 = button("ssc回前畫面", "回前畫面");
    root->addLayout(buttons);

    QObject::connect(scmd確定, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { confirm(); }); });
    QObject::connect(scmd刪除, &QPushButton::clicked, this, [this] { deleteLine(); });
    QObject::connect(scmd輔助, &QPushButton::clicked, this, [this] { lookup(); });
    QObject::connect(ssc回前畫面, &QPushButton::clicked, this, [this] { reject(); });
    QObject::connect(cmd日期, &QPushButton::clicked, this, [this] { pickDate(); });
    QObject::connect(act品檢, &QAction::triggered, this, [this] { Guarded(kTitle, [&] { openInspection(); }); });
    QObject::connect(scmd印刷數據, &QPushButton::clicked, this,
                     [this] { Guarded(kTitle, [&] { openPrintingData(); }); });
    QObject::connect(txt完工日期, &QLineEdit::editingFinished, this, [this] {
        std::string t = Trim(txt完工日期->text().toStdString());
        PadDateText(t);
        txt完工日期->setText(U8(t));
    });
    QObject::connect(txt完工數量, &QLineEdit::textEdited, this, [this] { quantityTyped_ = true; });
    resize(1000, 560);
}

void frm工務預排作業_耗時::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!started_)
        start();
}

void frm工務預排作業_耗時::start()
{
    if (started_)
        return;
    started_ = true;
    result_ = {};
    key_.kind = request_.kind ? request_.kind : &KindOf(kDefaultKind);
    key_.po = Trim(request_.po);
    key_.seq = request_.seq;
    key_.number = Trim(request_.recordNumber);
    loadedDate_ = Trim(request_.completionDate);
    txt完工日期->setText(U8(loadedDate_));
    previousTotal_ = Trim(request_.timeConsumed);
    txt總耗時->setText(U8(previousTotal_));
    lbl標題->setText(U8(std::string(key_.kind->displayName) + "  工單: " + key_.po + "-" +
                        std::to_string(key_.seq) + "  數量: " + Trim(request_.quantity)));
    scmd印刷數據->setEnabled(key_.kind->is(KindId::Printing));

    // Read-only until the lock is ours: a failure on the way leaves the
    // record unlocked, so nothing may be changed through it.
    if (NeedsLock(key_))
        setReadOnly(true);
    Guarded(kTitle, [&] {
        const OpenedRecord opened = OpenRecord(
            CurrentSession(), clock_, key_, [this](const std::string& lockId) { holdLock(lockId); },
            [](const std::string& question) {
                return MsgBox(question, "警告", MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
            });
        if (!opened.lockRefusal.empty())
            MsgBox(opened.lockRefusal, "警告", MsgIcon::Exclamation);
        fml明細->setColumnChoices(c製作, opened.machines);
        fml明細->setColumnChoices(c說明, opened.remarks);
        related_ = opened.related;
        lbl記錄->setText(U8(RelatedText(related_)));
        const std::vector<TimeLine>& lines = opened.lines;
        CellTable rows;
        for (const TimeLine& l : lines) {
            std::vector<std::string> r(kColumns);
            r[c製作 - 1] = l.machine;
            r[c開始 - 1] = l.start;
            r[c結束 - 1] = l.end;
            r[c完工數量 - 1] = NumberCell(l.quantity);
            r[c不良數 - 1] = NumberCell(l.defects);
            r[c不良率 - 1] = RateCell(l.defectRate);
            r[c經辦 - 1] = l.operatorId;
            r[c經辦人員 - 1] = l.operatorName;
            r[c說明 - 1] = l.remark;
            r[c產值 - 1] = NumberCell(l.value);
            r[c令數 - 1] = NumberCell(l.reams);
            r[c色數 - 1] = NumberCell(l.colours);
            r[c面數 - 1] = NumberCell(l.sides);
            r[c單價 - 1] = NumberCell(l.unitPrice);
            r[c合計 - 1] = NumberCell(l.total);
            rows.push_back(std::move(r));
        }
        // Always room for a new line below the stored ones.
        rows.emplace_back(kColumns);
        while (rows.size() < static_cast<std::size_t>(kBlankRows))
            rows.emplace_back(kColumns);
        fml明細->setRows(std::move(rows));
        fml明細->setActiveCell(1, c製作);
    });
    recompute();
    loaded_ = keptLines();
}

void frm工務預排作業_耗時::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    scmd確定->setEnabled(!readOnly);
    scmd刪除->setEnabled(!readOnly);
    scmd輔助->setEnabled(!readOnly);
    act品檢->setEnabled(!readOnly);
}

bool frm工務預排作業_耗時::lineEmpty(int row) const
{
    for (int c = 1; c <= kColumns; ++c)
        if (c != c耗時 && c != c時分 && c != c標準數量 && c != c點數 && !CellText(*fml明細, row, c).empty())
            return false;
    return true;
}

bool frm工務預排作業_耗時::startEdit(int row, int)
{
    if (row > 1 && lineEmpty(row - 1) && lineEmpty(row)) {
        MsgBox("前一列資料尚未輸入!", "警告", MsgIcon::Exclamation);
        return false;
    }
    return true;
}

bool frm工務預排作業_耗時::refuse(int row, int col, const std::string& message)
{
    MsgBox(message, "訊息", MsgIcon::Exclamation);
    // As the main grid does: the cell keeps its old text and the cursor
    // stays on it, also when the edit ended by moving to another cell.
    QTimer::singleShot(0, fml明細, [g = fml明細, row, col] { g->setActiveCell(row, col); });
    return false;
}

bool frm工務預排作業_耗時::endEdit(int row, int col, QString& text)
{
    // Refused as the main grid refuses it: the statements and the suite's
    // listings cannot carry line breaks, tabs and the like.
    if (HasControlCharacter(text.toStdString()))
        return refuse(row, col, ControlCharacterMessage(HeadingOf(col)));
    switch (col) {
    case c製作:
        Limit(text, 20, true, "最多只可輸入20個字元!");
        break;
    case c經辦: {
        Limit(text, 20, true, "最多只可輸入20個字元!");
        const std::string typed = Trim(text.toStdString());
        if (typed.empty()) {
            fml明細->setText(row, c經辦人員, "");
            break;
        }
        std::optional<std::pair<std::string, std::string>> who;
        const bool read = Guarded(kTitle, [&] { who = lookups::FindEmployee(CurrentSession(), typed); },
                                  "經辦人員沒有核對，輸入的代號保留在格子裡。");
        if (!read)
            break;
        if (who) {
            text = U8(who->first);
            fml明細->setText(row, c經辦人員, who->second);
        } else {
            // The typed code stays for the user to correct.
            fml明細->setText(row, c經辦人員, "");
            MsgBox("查無此經辦人員「" + typed + "」，請重新輸入或按 F9 查詢!", "訊息", MsgIcon::Exclamation);
        }
        break;
    }
    case c說明:
        Limit(text, 100, true, "最多只可輸入100個字元!");
        break;
    case c完工數量:
    case c不良數:
    case c不良率: {
        Limit(text, 10, false, "最多只可輸入10個字元!");
        const std::string t = Trim(text.toStdString());
        if (!IsPlainNumber(t) || Val(t) < 0)
            return refuse(row, col, "請輸入數字!");
        if (col == c不良率 && !t.empty())
            text = U8(RateCell(Val(t)));
        break;
    }
    case c開始:
    case c結束: {
        Limit(text, 12, false, "最多只可輸入12個字!");
        const std::string t = text.toStdString();
        // The typed cell on its own first: a stored line whose other cell
        // is not a date-time must not refuse a good one here.
        const LineTime alone = col == c開始 ? LineTimeOf(t, "") : LineTimeOf("", t);
        if (alone.state == LineTime::State::Invalid && alone.problem != kEndWithoutStart)
            return refuse(row, col, alone.problem);
        const LineTime lt = LineTimeOf(col == c開始 ? t : fml明細->text(row, c開始),
                                     col == c結束 ? t : fml明細->text(row, c結束));
        // An end typed before its start is not a mistake yet, the start
        // may follow.
        if (lt.state == LineTime::State::Invalid && lt.problem == kEndBeforeStart)
            return refuse(row, col, lt.problem);
        break;
    }
    default:
        break;
    }
    return true;
}

void frm工務預排作業_耗時::updateRate(int row)
{
    // Of the line's completed quantity, as the inspection window works it
    // out of the inspected one.
    const auto rate = quality::DefectRate(Val(CellText(*fml明細, row, c完工數量)),
                                          Val(CellText(*fml明細, row, c不良數)));
    if (!rate)
        return;   // nothing completed: the rate stays as it is
    fml明細->setText(row, c不良率, RateCell(*rate));
}

void frm工務預排作業_耗時::recompute()
{
    std::vector<TimeLine> lines = gridLines();
    double standard = 0, actual = 0;
    double activePerHour = 0;
    const int active = fml明細->activeRow();
    try {
        AddCapacities(CurrentSession().ConnectionString, lines, capacities_);
    } catch (const std::exception& e) {
        ReportFailure(kTitle, e);
    }
    for (int r = 1; r <= fml明細->maxRow(); ++r) {
        TimeLine& l = lines[static_cast<std::size_t>(r - 1)];
        const auto found = capacities_.find(l.machine);
        // A capacity that could not be read leaves the line as it was.
        if (l.empty() || found == capacities_.end())
            continue;
        ComputeFigures(l, found->second);
        const LineTime t = LineTimeOf(l.start, l.end);
        fml明細->setText(r, c耗時, l.hours);
        fml明細->setText(r, c時分, LineHoursText(t));
        fml明細->setText(r, c標準數量, NumberCell(l.standard));
        fml明細->setText(r, c點數, l.standard > 0 ? TwoDecimals(l.points) : "");
        standard += l.standard;
        actual += l.quantity;
        if (r == active || activePerHour == 0)
            activePerHour = found->second;
    }
    const Quantities q = QuantitiesOf(standard, actual);
    bool anyLine = false;
    for (const TimeLine& l : lines)
        anyLine = anyLine || !l.empty();
    // Without lines the piece keeps the time it came with.
    txt總耗時->setText(U8(anyLine ? HoursText(TotalMinutes(lines)) : previousTotal_));
    if (!quantityTyped_)
        txt完工數量->setText(U8(NumberCell(actual)));
    lbl時標準量->setText(U8("時標準量: " + WholeNumber(activePerHour)));
    lbl標準數量->setText(U8("標準數量: " + WholeNumber(q.standard)));
    lbl實際數量->setText(U8("實際數量: " + WholeNumber(q.actual)));
    lbl差異->setText(U8("差異: " + WholeNumber(q.difference)));
    lbl點數->setText(U8("點數: " + TwoDecimals(q.points)));
}

std::vector<TimeLine> frm工務預排作業_耗時::gridLines() const
{
    std::vector<TimeLine> lines;
    for (int r = 1; r <= fml明細->maxRow(); ++r) {
        auto t = [&](int c) { return CellText(*fml明細, r, c); };
        auto n = [&](int c) { return Val(t(c)); };
        TimeLine l;
        l.machine = t(c製作);
        l.start = t(c開始);
        l.end = t(c結束);
        l.quantity = n(c完工數量);
        l.defects = n(c不良數);
        l.defectRate = n(c不良率);
        l.operatorId = t(c經辦);
        l.operatorName = t(c經辦人員);
        l.remark = fml明細->text(r, c說明);
        l.value = n(c產值);
        l.reams = n(c令數);
        l.colours = n(c色數);
        l.sides = n(c面數);
        l.unitPrice = n(c單價);
        l.total = n(c合計);
        lines.push_back(std::move(l));
    }
    return lines;
}

quality::KeptLines frm工務預排作業_耗時::keptLines() const
{
    // The figures worked out of a line follow its typed cells.
    std::vector<int> columns;
    for (int c = 1; c <= kColumns; ++c)
        if (c != c耗時 && c != c時分 && c != c標準數量 && c != c點數)
            columns.push_back(c);
    quality::KeptLines kept = quality::KeptLinesOf(
        *fml明細, columns, [this](int row) { return lineEmpty(row); },
        {c完工數量, c不良數, c不良率, c產值, c令數, c色數, c面數, c單價, c合計});
    kept.push_back({Trim(txt完工日期->text().toStdString()), Trim(txt完工數量->text().toStdString())});
    return kept;
}

bool frm工務預排作業_耗時::typed() const
{
    return !readOnly_ && keptLines() != loaded_;
}

void frm工務預排作業_耗時::reject()
{
    quality::LeaveAsking(
        *fml明細, [this] { return typed(); }, [this] { Guarded(kTitle, [&] { confirm(); }); },
        [this] { QDialog::reject(); });
}

void frm工務預排作業_耗時::lookup()
{
    lookupAt(fml明細->activeRow(), fml明細->activeCol());
}

void frm工務預排作業_耗時::lookupAt(int row, int col)
{
    if (readOnly_ || row < 1 || (col != c製作 && col != c經辦) || !startEdit(row, col))
        return;
    fml明細->finishEdit();
    std::string code, name;
    ClearPick();
    gLookupFilter = CellText(*fml明細, row, col);
    if (col == c製作) {
        // The kind's vendors and every machine of the plant.
        gLookupKind = std::string(key_.kind->name);
        frm廠商輔助畫面5 dlg(this);
        runModal(dlg);
    } else {
        gLookupStaffGroup.clear();
        frm業務員輔助視窗1 dlg(this);
        runModal(dlg);
    }
    code = Trim(gPick[0]);
    name = Trim(gPick[1]);
    ClearPick();
    if (code.empty())
        return; // closed without a pick: the cell keeps what the user typed
    if (col == c製作) {
        // Machines are held by name (印刷產能資料, 預排資料明細 and the
        // stored lines): a code would find no capacity and count as
        // another machine in the analyses.
        fml明細->setText(row, col, name.empty() ? code : name);
    } else {
        fml明細->setText(row, col, code);
        fml明細->setText(row, c經辦人員, name);
    }
    recompute();
}

void frm工務預排作業_耗時::openValue(int row)
{
    // The value is worked out from printing figures; other kinds keep theirs.
    if (readOnly_ || row < 1 || !key_.kind->is(KindId::Printing) || lineEmpty(row))
        return;
    fml明細->finishEdit();
    const auto n = [&](int col) { return Val(CellText(*fml明細, row, col)); };
    const PrintValueRequest request{n(c完工數量), n(c令數), n(c色數), n(c面數), n(c單價)};
    PrintValueResult chosen;
    {
        frm印刷產值 dlg(request, this);
        runModal(dlg);
        chosen = dlg.valueResult();
    }
    if (!chosen.returned)
        return;
    fml明細->setText(row, c產值, chosen.value);
    fml明細->setText(row, c合計, chosen.value);
    fml明細->setText(row, c令數, chosen.reams);
    fml明細->setText(row, c色數, chosen.colours);
    fml明細->setText(row, c面數, chosen.sides);
    fml明細->setText(row, c單價, chosen.unitPrice);
}

void frm工務預排作業_耗時::deleteLine()
{
    const int row = fml明細->activeRow();
    if (readOnly_ || row < 1)
        return;
    fml明細->cancelEdit();
    CellTable cells = fml明細->allCells();
    cells.erase(cells.begin() + (row - 1));
    cells.emplace_back(kColumns);
    fml明細->setRows(std::move(cells));
    recompute();
}

void frm工務預排作業_耗時::pickDate()
{
    QDialog dlg(this);
    dlg.setWindowTitle(U8("完工日期"));
    auto* cal = new QCalendarWidget(&dlg);
    cal->setObjectName(QStringLiteral("cal日期"));
    SetUpDatePicker(cal);
    (new QVBoxLayout(&dlg))->addWidget(cal);
    DateTime start = clock_.now();
    if (const auto typed = ParseRoc7(Trim(txt完工日期->text().toStdString())))
        start = *typed;
    cal->setSelectedDate(QDate(start.year, start.month, start.day));
    QObject::connect(cal, &QCalendarWidget::clicked, &dlg, [&](QDate d) {
        txt完工日期->setText(U8(Roc7(DateTime{d.year(), d.month(), d.day()})));
        dlg.accept();
    });
    runModal(dlg);
}

void frm工務預排作業_耗時::openInspection()
{
    if (readOnly_)
        return;
    frm品檢 dlg(this, {std::string(key_.kind->displayName), key_.po, key_.seq}, clock_);
    dlg.endProgram = endProgram;
    runModal(dlg);
    if (dlg.result().saved)
        related_.inspection = dlg.result().hasLines;
    lbl記錄->setText(U8(RelatedText(related_)));
}

void frm工務預排作業_耗時::openPrintingData()
{
    if (!key_.kind->is(KindId::Printing))
        return;
    frm工單印刷數據 dlg(this, {key_.po, key_.seq, std::string(key_.kind->displayName)}, related_.printingData, clock_);
    dlg.endProgram = endProgram;
    dlg.runModal = runModal;
    runModal(dlg);
    related_.printingData = dlg.hasLines();
    lbl記錄->setText(U8(RelatedText(related_)));
}

void frm工務預排作業_耗時::confirm()
{
    if (readOnly_)
        return;
    fml明細->finishEdit();
    SaveInput in;
    in.key = key_;
    in.lines = gridLines();
    in.completionDate = Trim(txt完工日期->text().toStdString());
    in.loadedCompletionDate = loadedDate_;
    const std::string qty = Trim(txt完工數量->text().toStdString());
    if (!IsPlainNumber(qty) || Val(qty) < 0) {
        MsgBox("完工數量請輸入數字!", "訊息", MsgIcon::Exclamation);
        return;
    }
    in.completedQuantity = Val(qty);
    in.previousTotal = previousTotal_;
    in.lockId = lockId_;
    daily::SaveContext ctx{CurrentSession(), clock_, endProgram};
    SaveOutcome out;
    {
        const BusyScope busy(this, busy_);
        out = SaveRecord(in, ctx);
    }
    if (out.status != SaveStatus::Saved)
        return;
    if (key_.number.empty() && !out.number.empty()) {
        key_.number = out.number;
        result_.newNumber = out.number;
    }
    txt總耗時->setText(U8(out.total));
    result_.returned = true;
    result_.stored = true;
    result_.total = Trim(out.total);
    result_.completionDate = Trim(txt完工日期->text().toStdString());
    // The row keeps a remark the clerk typed there, saved or not.
    result_.completionRemark = RemarkAfterSave(request_.completionRemark, out.remark);
    accept();
}

void frm工務預排作業_耗時::done(int r)
{
    releaseOwnLock();
    QDialog::done(r);
}
