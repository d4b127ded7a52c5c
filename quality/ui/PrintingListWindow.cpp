#include "quality/ui/PrintingListWindow.h"

#include "quality/core/DifferenceChart.h"
#include "quality/core/PrintingData.h"
#include "quality/ui/EntryGrid.h"

#include "app/core/Session.h"
#include "common/Failure.h"
#include "common/HandOver.h"
#include "lookups/ui/PeopleLookups.h"
#include "platform/jet/Value.h"
#include "platform/os/MessageBox.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/report/ui/WorkProgress.h"
#include "platform/text/Text.h"
#include "platform/ui/BusyScope.h"
#include "platform/ui/GridHelpers.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <utility>

using namespace qtmv;
using namespace qtmv::quality;

namespace {

constexpr const char* kTitle = "印刷數據明細表";
constexpr int kTargetRows = 20;
const QColor kOutOfTolerance(0xFF, 0xC8, 0xC8);   // as the printing data window marks such a line

std::string BoxText(const QLineEdit* e) { return Trim(e->text().toStdString()); }

std::string NullableText(const std::optional<double>& v) { return v ? jet::RealText(*v) : std::string(); }
std::optional<double> NullableOf(const std::string& text)
{
    return Trim(text).empty() ? std::nullopt : MeasuredNumber(text);
}

} // namespace

frm印刷數據明細表::frm印刷數據明細表(QWidget* parent, const Clock& clock) : QDialog(parent), clock_(clock)
{
    setObjectName(QStringLiteral("frm印刷數據明細表"));
    setWindowTitle(U8(kTitle));
    setModal(true);
    buildUi();
}

frm印刷數據明細表::~frm印刷數據明細表()
{
    DropChildConnections(*this);
}

void frm印刷數據明細表::buildUi()
{
    auto* root = new QVBoxLayout(this);
    auto* filters = new QGridLayout;
    auto edit = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromUtf8(name));
        e->setMaxLength(maxLength);
        return e;
    };
    auto button = [this](const char* name, const char* caption) { return EntryButton(this, nullptr, name, caption); };
    txt工單起 = edit("txt工單起", 20);
    txt工單迄 = edit("txt工單迄", 20);
    txt日期起 = edit("txt日期起", 7);
    txt日期迄 = edit("txt日期迄", 7);
    txt色號 = edit("txt色號", 50);
    txt客戶 = edit("txt客戶", 20);
    scmd客戶 = button("scmd客戶", "...");
    lbl客戶 = new QLabel(this);
    lbl客戶->setObjectName(QStringLiteral("lbl客戶"));
    txt記錄員 = edit("txt記錄員", 20);
    filters->addWidget(new QLabel(U8("工單單號:"), this), 0, 0);
    filters->addWidget(txt工單起, 0, 1);
    filters->addWidget(new QLabel(U8("~"), this), 0, 2);
    filters->addWidget(txt工單迄, 0, 3);
    filters->addWidget(new QLabel(U8("印刷日期:"), this), 0, 4);
    filters->addWidget(txt日期起, 0, 5);
    filters->addWidget(new QLabel(U8("~"), this), 0, 6);
    filters->addWidget(txt日期迄, 0, 7);
    filters->addWidget(new QLabel(U8("色號:"), this), 1, 0);
    filters->addWidget(txt色號, 1, 1);
    filters->addWidget(new QLabel(U8("客戶:"), this), 1, 2);
    filters->addWidget(txt客戶, 1, 3);
    filters->addWidget(scmd客戶, 1, 4);
    filters->addWidget(lbl客戶, 1, 5);
    filters->addWidget(new QLabel(U8("記錄員:"), this), 1, 6);
    filters->addWidget(txt記錄員, 1, 7);
    chk超出容許 = new QCheckBox(this);
    chk超出容許->setObjectName(QStringLiteral("chk超出容許"));
    lbl超出容許 = new QLabel(U8("只列超出容許(&T)"), this);
    lbl超出容許->setObjectName(QStringLiteral("lbl超出容許"));
    lbl超出容許->setBuddy(chk超出容許);
    chk超出容許->setAccessibleName(U8("只列超出容許"));
    auto* outOnly = new QHBoxLayout;
    outOnly->addWidget(chk超出容許);
    outOnly->addWidget(lbl超出容許, 1);
    filters->addLayout(outOnly, 1, 8);
    root->addLayout(filters);

    auto* actions = new QHBoxLayout;
    scmd查詢 = button("scmd查詢", "查 詢");
    scmd列印 = button("scmd列印", "列 印");
    scmd匯出 = button("scmd匯出", "匯出Excel");
    scmd色差圖 = button("scmd色差圖", "色差圖");
    ssc回前畫面 = button("ssc回前畫面", "回前畫面");
    lbl筆數 = new QLabel(this);
    lbl筆數->setObjectName(QStringLiteral("lbl筆數"));
    actions->addWidget(scmd查詢);
    actions->addWidget(scmd列印);
    actions->addWidget(scmd匯出);
    actions->addWidget(scmd色差圖);
    actions->addWidget(lbl筆數, 1);
    actions->addWidget(ssc回前畫面);
    root->addLayout(actions);

    fml明細 = new SpreadGrid(this);
    fml明細->setObjectName(QStringLiteral("fml明細"));
    SetupGrid(*fml明細, 0,
              std::vector<GridColumnSpec>{{"工單單號", 90}, {"序", 35}, {"製程", 60}, {"印刷日期", 75}, {"客戶", 90},
                                          {"品名", 140}, {"色號", 110}, {"L", 50}, {"A", 50}, {"B", 50}, {"△", 50},
                                          {"濃度", 50}, {"記錄員", 70}, {"超出容許", 170}});
    root->addWidget(fml明細, 3);

    fml油墨 = new SpreadGrid(this);
    fml油墨->setObjectName(QStringLiteral("fml油墨"));
    std::vector<GridColumnSpec> detail;
    for (int i = 1; i <= 7; ++i)
        detail.push_back({"油墨" + std::to_string(i), 100});
    for (const char* h : {"L", "A", "B", "△", "濃度"})
        detail.push_back({h, 50});
    SetupGrid(*fml油墨, 1, detail);
    fml油墨->setMaximumHeight(70);
    root->addWidget(fml油墨);

    auto* targets = new QGroupBox(U8("色號目標值"), this);
    auto* targetLayout = new QHBoxLayout(targets);
    fml目標值 = new SpreadGrid(targets);
    fml目標值->setObjectName(QStringLiteral("fml目標值"));
    SetupGrid(*fml目標值, kTargetRows,
              std::vector<GridColumnSpec>{{"色號", 120}, {"L", 60}, {"A", 60}, {"B", 60}, {"容許色差", 70},
                                          {"濃度目標", 70}, {"濃度容許", 70}, {"備註", 200}});
    fml目標值->setEditablePredicate([](int, int) { return true; });
    fml目標值->setEndEditHook([](EditEnd& e) {
        if (e.col == t色號)
            CutToLimit(e.text, 100, true);
        else if (e.col == t備註)
            CutToLimit(e.text, 100, true);
        else if (!IsPlainNumber(e.text.toStdString())) {
            MsgBox("請輸入數字!", "訊息", MsgIcon::Exclamation);
            return false;
        } else if ((e.col == t容許色差 || e.col == t濃度容許) && NullableOf(e.text.toStdString()).value_or(0) < 0) {
            MsgBox("容許值不可為負數!", "訊息", MsgIcon::Exclamation);
            return false;
        }
        return true;
    });
    scmd儲存目標值 = button("scmd儲存目標值", "儲存目標值");
    targetLayout->addWidget(fml目標值, 1);
    targetLayout->addWidget(scmd儲存目標值, 0, Qt::AlignBottom);
    root->addWidget(targets, 2);

    QObject::connect(scmd查詢, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { query(); }); });
    QObject::connect(scmd列印, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { print(); }); });
    QObject::connect(scmd匯出, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { exportWorkbook(); }); });
    QObject::connect(scmd色差圖, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { printDifferenceChart(); }); });
    QObject::connect(scmd客戶, &QPushButton::clicked, this, [this] { lookUpCustomer(); });
    QObject::connect(txt客戶, &QLineEdit::returnPressed, this, [this] { lookUpCustomer(); });
    QObject::connect(txt客戶, &QLineEdit::textEdited, this, [this] {
        customerName_.clear();
        lbl客戶->clear();
    });
    QObject::connect(scmd儲存目標值, &QPushButton::clicked, this, [this] { saveTargets(); });
    QObject::connect(ssc回前畫面, &QPushButton::clicked, this, [this] { reject(); });
    QObject::connect(fml明細, &SpreadGrid::selectionChanged, this, [this](int row, int) { showRow(row); });
    askExportPath = [this] {
        const QString start = QDir(U8(CurrentSession().TempFolder)).filePath(U8(std::string(kTitle) + ".xlsx"));
        return QFileDialog::getSaveFileName(this, U8("匯出Excel"), start, U8("Excel 活頁簿 (*.xlsx)")).toStdString();
    };
    resize(1100, 720);
}

void frm印刷數據明細表::setWorkOrder(const std::string& po)
{
    txt工單起->setText(U8(po));
    txt工單迄->setText(U8(po));
    queryOnShow_ = true;
}

void frm印刷數據明細表::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (started_)
        return;
    started_ = true;
    loadTargets();
    if (queryOnShow_)
        Guarded(kTitle, [&] { query(); });
}

void frm印刷數據明細表::loadTargets()
{
    Guarded(kTitle, [&] { targets_ = quality::LoadTargets(CurrentSession()); });
    CellTable rows;
    for (const ColourTarget& t : targets_)
        rows.push_back({t.colour, jet::RealText(t.lab.L), jet::RealText(t.lab.a), jet::RealText(t.lab.b),
                        NullableText(t.tolerances.difference), NullableText(t.tolerances.density),
                        NullableText(t.tolerances.densityTolerance), t.note});
    while (rows.size() < static_cast<std::size_t>(kTargetRows) || rows.size() <= targets_.size())
        rows.emplace_back(kTargetColumns);
    fml目標值->setRows(std::move(rows));
}

ListingFilter frm印刷數據明細表::filter() const
{
    ListingFilter f;
    f.poFrom = BoxText(txt工單起);
    f.poTo = BoxText(txt工單迄);
    f.dateFrom = BoxText(txt日期起);
    f.dateTo = BoxText(txt日期迄);
    f.colour = BoxText(txt色號);
    f.customer = BoxText(txt客戶);
    f.recorder = BoxText(txt記錄員);
    f.outOfToleranceOnly = chk超出容許->isChecked();
    return f;
}

bool frm印刷數據明細表::filterValid()
{
    for (QLineEdit* box : {txt日期起, txt日期迄}) {
        const auto date = PrintingDate(BoxText(box));
        if (!date) {
            MsgBox(kBadPrintingDate, kBadPrintingDateTitle, MsgIcon::Exclamation);
            box->setFocus();
            return false;
        }
        box->setText(U8(*date));
    }
    return true;
}

void frm印刷數據明細表::query()
{
    if (!filterValid())
        return;
    bool busy = false;
    const BusyScope scope(this, busy);
    rows_ = LoadListing(CurrentSession(), filter());
    CellTable cells;
    cells.reserve(rows_.rowCount());
    for (std::size_t i = 0; i < rows_.rowCount(); ++i) {
        const report::RowView r(&rows_, i);
        auto t = [&](const char* c) { return r.text(c).toStdString(); };
        cells.push_back({t("工單單號"), t("工單序"), t("製程"), ListedDate(t("印刷日期")), t("客戶"), t("品名"),
                         t("色號"), t("測量1"), t("測量2"), t("測量3"), t("測量4"), t("測量5"), t("記錄員"),
                         t("超出容許")});
    }
    fml明細->setRows(std::move(cells));
    for (int r = 1; r <= fml明細->maxRow(); ++r)
        if (!fml明細->text(r, c超出容許).empty())
            for (int c = 1; c <= kColumns; ++c)
                fml明細->setCellBackground(r, c, kOutOfTolerance);
    lbl筆數->setText(U8("共 " + std::to_string(rows_.rowCount()) + " 筆"));
    if (rows_.rowCount() == 0)
        MsgBox("查無任何資料!", "訊息", MsgIcon::Information);
    fml明細->setActiveCell(1, c工單單號);
    showRow(rows_.rowCount() > 0 ? 1 : 0);
}

void frm印刷數據明細表::showRow(int row)
{
    std::vector<std::string> cells(12);
    if (row >= 1 && static_cast<std::size_t>(row) <= rows_.rowCount()) {
        const report::RowView r(&rows_, static_cast<std::size_t>(row - 1));
        for (int i = 0; i < 7; ++i)
            cells[static_cast<std::size_t>(i)] = r.text("油墨" + std::to_string(i + 1)).toStdString();
        for (int i = 0; i < 5; ++i)
            cells[static_cast<std::size_t>(7 + i)] = r.text("測量" + std::to_string(i + 1)).toStdString();
    }
    fml油墨->setRows({cells});
}

void frm印刷數據明細表::lookUpCustomer()
{
    ClearPick();
    gLookupFilter = BoxText(txt客戶);
    {
        frm客戶輔助視窗 dlg(this);
        runModal(dlg);
    }
    const std::string code = Trim(gPick[0]), name = Trim(gPick[1]);
    ClearPick();
    if (code.empty())
        return;   // no pick: the box keeps what was typed
    txt客戶->setText(U8(code));
    customerName_ = name;
    lbl客戶->setText(U8(name));
}

report::PageDocument frm印刷數據明細表::document(const report::Progress& progress) const
{
    ListingFilter f = filter();
    if (!customerName_.empty())
        f.customer += " " + customerName_;
    return ListingReport(rows_, ConditionsText(f), progress);
}

void frm印刷數據明細表::print()
{
    if (rows_.rowCount() == 0) {
        MsgBox("查無任何資料!", "訊息", MsgIcon::Information);
        return;
    }
    std::optional<report::PageDocument> doc;
    {
        // A long listing shows how far its layout is and can be stopped;
        // stopped, the user asked for nothing more.
        std::optional<report::WorkProgress> shown;
        report::Progress progress = followLayout;
        if (!progress)
            progress = shown.emplace(QStringLiteral("列印"), QStringLiteral("排版中…"), this).progress();
        try {
            doc = document(progress);
        } catch (const report::Cancelled&) {
            return;
        }
    }
    report::PreviewDialog preview(std::move(*doc), this);
    preview.setDocumentName(QStringLiteral("印刷數據明細表"));
    runModal(preview);
}

std::string frm印刷數據明細表::chartColour() const
{
    const int row = fml明細->activeRow();
    if (row < 1 || static_cast<std::size_t>(row) > rows_.rowCount())
        return {};
    return report::RowView(&rows_, static_cast<std::size_t>(row - 1)).text("色號").toStdString();
}

report::PageDocument frm印刷數據明細表::differenceDocument() const
{
    ListingFilter f = filter();
    if (!customerName_.empty())
        f.customer += " " + customerName_;
    const std::string colour = chartColour();
    return DifferenceChartReport(rows_, colour, targets_, ConditionsText(f) + "  圖示色號：" + colour);
}

void frm印刷數據明細表::printDifferenceChart()
{
    if (rows_.rowCount() == 0) {
        MsgBox("查無任何資料!", "訊息", MsgIcon::Information);
        return;
    }
    if (chartColour().empty()) {
        MsgBox("請先點選一筆有色號的資料!", "訊息", MsgIcon::Information);
        return;
    }
    report::PreviewDialog preview(differenceDocument(), this);
    preview.setDocumentName(QStringLiteral("印刷數據色差圖"));
    runModal(preview);
}

void frm印刷數據明細表::exportWorkbook()
{
    if (rows_.rowCount() == 0) {
        MsgBox("查無任何資料!", "訊息", MsgIcon::Information);
        return;
    }
    const std::string path = askExportPath ? askExportPath() : std::string();
    if (path.empty())
        return;
    ListingFilter f = filter();
    if (!customerName_.empty())
        f.customer += " " + customerName_;
    {
        bool busy = false;
        const BusyScope scope(this, busy);
        ExportListing(rows_, ConditionsText(f), path);
    }
    MsgBox("資料已匯出至 " + path, "訊息", MsgIcon::Information);
}

void frm印刷數據明細表::saveTargets()
{
    if (!fml目標值->finishEdit())
        return;
    std::vector<ColourTarget> edited;
    for (int r = 1; r <= fml目標值->maxRow(); ++r) {
        auto t = [&](int c) { return Trim(fml目標值->text(r, c)); };
        if (t(t色號).empty()) {
            bool values = false;
            for (int c = tL; c <= t濃度容許; ++c)
                values = values || !t(c).empty();
            if (values) {
                MsgBox("第 " + std::to_string(r) + " 列沒有色號，目標值沒有儲存!", "訊息", MsgIcon::Exclamation);
                return;
            }
            continue;
        }
        const auto lab = LabFromTexts(t(tL), t(tA), t(tB));
        if (!lab) {
            MsgBox("色號「" + t(t色號) + "」的 L、A、B 請輸入數字!", "訊息", MsgIcon::Exclamation);
            return;
        }
        edited.push_back({t(t色號), *lab, t(t備註),
                          {NullableOf(t(t容許色差)), NullableOf(t(t濃度目標)), NullableOf(t(t濃度容許))}});
    }
    daily::SaveContext ctx{CurrentSession(), clock_, endProgram};
    if (quality::SaveTargets(targets_, edited, ctx) != SaveStatus::Saved)
        return;
    loadTargets();
    MsgBox("目標值儲存完畢!", "訊息", MsgIcon::Information);
}
