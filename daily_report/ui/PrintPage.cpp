#include "daily_report/ui/PrintPage.h"

#include "app/core/Session.h"
#include "lookups/core/PlantLists.h"
#include "common/Failure.h"
#include "common/HandOver.h"
#include "common/ProcessKind.h"
#include "common/ui/FormHelpers.h"
#include "common/ui/KeyEventFilter.h"
#include "printing/AnalysisTable.h"
#include "printing/OrderParams.h"
#include "printing/PageRules.h"
#include "daily_report/ui/Widgets.h"
#include "daily_report/ui/WindowLogic.h"
#include "lookups/ui/PeopleLookups.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/jet/Error.h"
#include "platform/os/MessageBox.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/report/ui/WorkProgress.h"
#include "platform/text/Text.h"
#include "platform/ui/BusyScope.h"
#include "production_export/core/ValueListings.h"
#include "reports/OutsourcingOrder.h"
#include "production_export/ui/ExcelWindows.h"
#include "vendors/core/DownstreamVendor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QProgressDialog>
#include <QTimer>

#include <array>
#include <utility>

#include <optional>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qtmv::daily {

using namespace widgets;

PrintPage::PrintPage(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pic列印"));
    setFrameShape(QFrame::StyledPanel);
    auto* top = new QHBoxLayout(this);
    top->addWidget(buildReportChoice());

    auto* right = new QVBoxLayout;
    auto* cond = new QGroupBox(QStringLiteral("條件設定"), this);
    cond->setObjectName(QStringLiteral("fra條件設定"));
    auto* cv = new QHBoxLayout(cond);
    const QStringList condCaptions{QStringLiteral("列印單筆"), QStringLiteral("列印全部"), QStringLiteral("列印範圍")};
    for (int i = 0; i < condCaptions.size(); ++i) {
        auto* o = MakeIndexed<QRadioButton>(cond, QStringLiteral("sopt條件設定"), i);
        o->setText(condCaptions[i]);
        cv->addWidget(o);
    }
    cv->addWidget(Make<QLabel>(cond, QStringLiteral("lbl列印單筆")));
    cv->addStretch(1);
    right->addWidget(cond);

    auto* kindRow = new QHBoxLayout;
    cbo種類列印 = Make<QComboBox>(this, QStringLiteral("cbo種類列印"));
    cbo種類列印->setMinimumWidth(110);
    auto* lblKind = CaptionFor(this, QStringLiteral("種　　類:"), cbo種類列印);
    lblKind->setObjectName(QStringLiteral("lbl種類列印"));
    // Reports over all kinds hide the kind; its row keeps its room so the
    // fields below stay where the user saw them.
    for (QWidget* w : {static_cast<QWidget*>(lblKind), static_cast<QWidget*>(cbo種類列印)}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }
    kindRow->addWidget(lblKind);
    kindRow->addWidget(cbo種類列印);
    kindRow->addStretch(1);
    right->addLayout(kindRow);
    right->addWidget(buildRanges());
    right->addWidget(buildOptions());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button(this, QStringLiteral("ssc列印"), QStringLiteral("列印")));
    buttons->addWidget(Button(this, QStringLiteral("ssc預覽列印"), QStringLiteral("預覽列印")));
    buttons->addWidget(Button(this, QStringLiteral("ssc轉Excel檔"), QStringLiteral("轉Excel檔")));
    ssc回前畫面_列印 = Button(this, QStringLiteral("ssc回前畫面_列印"), QStringLiteral("回前畫面"));
    buttons->addWidget(ssc回前畫面_列印);
    right->addLayout(buttons);
    right->addStretch(1);
    top->addLayout(right, 1);
    wire();
    hide();
}

QWidget* PrintPage::buildReportChoice()
{
    auto* reports = new QGroupBox(QStringLiteral("報表選擇"), this);
    reports->setObjectName(QStringLiteral("fra選擇報表"));
    auto* rv = new QVBoxLayout(reports);
    const QStringList captions{QStringLiteral("排程單"),       QStringLiteral("產值分析(明細)"),
                               QStringLiteral("產值分析(總表)"), QStringLiteral("排程單2"),
                               QStringLiteral("指示單"),       QStringLiteral("排程單3"),
                               QStringLiteral("個人生產總表"), QStringLiteral("生產明細表")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* o = MakeIndexed<QRadioButton>(reports, QStringLiteral("sopt選擇報表"), i);
        o->setText(captions[i]);
        rv->addWidget(o);
    }
    auto* picChoice = Make<QFrame>(reports, QStringLiteral("pic報表選擇"));
    auto* pc = new QHBoxLayout(picChoice);
    pc->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        auto* o = MakeIndexed<QRadioButton>(picChoice, QStringLiteral("opt報表"), i);
        o->setText(i == 0 ? QStringLiteral("表1") : QStringLiteral("表2"));
        pc->addWidget(o);
    }
    rv->addWidget(picChoice);
    rv->addStretch(1);
    return reports;
}

QWidget* PrintPage::buildRanges()
{
    // Range fields txt列印範圍_0 .. _13 on two panels.
    auto* box = new QWidget(this);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    const int maxLen[14] = {7, 7, 10, 10, 7, 4, 7, 4, 9, 9, 10, 30, 10, 20};
    for (int i = 0; i < 14; ++i) {
        txt列印範圍[static_cast<std::size_t>(i)] = MakeIndexed<QLineEdit>(box, QStringLiteral("txt列印範圍"), i);
        txt列印範圍[static_cast<std::size_t>(i)]->setMaxLength(maxLen[i]);
    }
    auto range = [&](int i) { return txt列印範圍[static_cast<std::size_t>(i)]; };
    auto rangeRow = [](QGridLayout* g, int row, const QString& caption, QLineEdit* from, QLineEdit* to) {
        g->addWidget(CaptionFor(from->parentWidget(), caption, from), row, 0);
        g->addWidget(from, row, 1);
        if (to) {
            g->addWidget(new QLabel(QStringLiteral("～"), from->parentWidget()), row, 2);
            g->addWidget(to, row, 3);
            to->setAccessibleName(caption + QStringLiteral("迄"));
        }
    };

    auto* pic1 = Make<QFrame>(box, QStringLiteral("pic列印1"));
    auto* g1 = new QGridLayout(pic1);
    for (int i : {0, 1, 2, 3, 12})
        range(i)->setParent(pic1);
    rangeRow(g1, 0, QStringLiteral("排程日期:"), range(0), range(1));
    rangeRow(g1, 1, QStringLiteral("排程單號:"), range(2), range(3));
    rangeRow(g1, 2, QStringLiteral("廠　　商:"), range(12), nullptr);
    g1->addWidget(Button(pic1, QStringLiteral("scmd廠商列印"), QStringLiteral("...")), 2, 2);
    v->addWidget(pic1);

    auto* pic2 = Make<QFrame>(box, QStringLiteral("pic列印2"));
    auto* g2 = new QGridLayout(pic2);
    for (int i : {4, 5, 6, 7, 8, 9, 10, 11, 13})
        range(i)->setParent(pic2);
    rangeRow(g2, 0, QStringLiteral("完成日期:"), range(4), range(6));
    g2->addWidget(range(5), 0, 4);
    g2->addWidget(range(7), 0, 5);
    range(5)->setAccessibleName(QStringLiteral("完成時間"));
    range(7)->setAccessibleName(QStringLiteral("完成時間迄"));
    rangeRow(g2, 1, QStringLiteral("工單單號:"), range(8), range(9));
    rangeRow(g2, 2, QStringLiteral("經　　辦:"), range(10), nullptr);
    g2->addWidget(Button(pic2, QStringLiteral("scmd經辦"), QStringLiteral("...")), 2, 2);
    rangeRow(g2, 3, QStringLiteral("說　　明:"), range(11), nullptr);
    g2->addWidget(Button(pic2, QStringLiteral("scmd製作"), QStringLiteral("製作")), 4, 0);
    g2->addWidget(range(13), 4, 1);
    g2->addWidget(Make<QLabel>(pic2, QStringLiteral("lbl製作_列印")), 4, 3);
    cbo車別_列印 = Make<QComboBox>(pic2, QStringLiteral("cbo車別_列印"));
    cbo車別_列印->setEditable(true); // a press outside the phrase list can be typed
    cbo車別_列印->setInsertPolicy(QComboBox::NoInsert);
    g2->addWidget(CaptionFor(pic2, QStringLiteral("車　　別:"), cbo車別_列印), 5, 0);
    g2->addWidget(cbo車別_列印, 5, 1);
    // The clerk's name shows beside the clerk field; the separate clerk
    // code box is not shown (the range field holds the code).
    g2->addWidget(Make<QLabel>(pic2, QStringLiteral("lbl經辦")), 2, 3);
    auto* clerk = LineEdit(pic2, QStringLiteral("txt經辦代號"), 10, 80);
    clerk->setAccessibleName(QStringLiteral("經辦代號"));
    clerk->hide();
    auto* diff = Make<QCheckBox>(pic2, QStringLiteral("chk列印差異"));
    diff->setText(QStringLiteral("列印差異"));
    g2->addWidget(diff, 6, 1);
    v->addWidget(pic2);
    return box;
}

QWidget* PrintPage::buildOptions()
{
    auto* opts = new QGroupBox(QStringLiteral("列印選項"), this);
    opts->setObjectName(QStringLiteral("fra列印選項"));
    auto* og = new QGridLayout(opts);
    const std::pair<const char*, const char*> checks[] = {
        {"chk列印完成日期", "列印完成日期"},   {"chk報表名稱", "報表名稱改為委外加工單"},
        {"chk單筆不印客戶", "單筆不印客戶"},   {"chk單筆不印品名", "單筆不印品名"},
        {"chk單筆不印金額", "單筆不印金額"},   {"chk預排表印金額", "預排表印金額"},
        {"chk單筆不印業務員", "單筆不印業務員"}, {"chk單筆不印公司名稱", "單筆不印公司名稱"},
        {"chk預排表不印金額", "預排表不印金額"},
    };
    int n = 0;
    for (const auto& [name, caption] : checks) {
        auto* c = Make<QCheckBox>(opts, QString::fromUtf8(name));
        c->setText(QString::fromUtf8(caption));
        og->addWidget(c, n / 3, n % 3);
        ++n;
    }
    chk預排表印金額 = opts->findChild<QCheckBox*>(QStringLiteral("chk預排表印金額"));
    return opts;
}

void PrintPage::focusFirstRange() { txt列印範圍[0]->setFocus(); }

namespace {

std::string Text(const QWidget* w)
{
    if (auto* le = dynamic_cast<const QLineEdit*>(w))
        return le->text().toStdString();
    if (auto* cb = dynamic_cast<const QComboBox*>(w))
        return cb->currentText().toStdString();
    return {};
}

template <class W>
W* Child(const QWidget* parent, const char* name)
{
    return parent->findChild<W*>(QString::fromUtf8(name));
}

} // namespace

namespace {

// The boxes of the single-row outsourcing order's options and the option
// each holds; 以張印 has none here and stays off.
std::array<std::pair<QCheckBox*, bool*>, 6> VendorBoxes(const QWidget* page, vendors::MainPrintOptions& m,
                                                        vendors::PrintOptions& o)
{
    return {{{Child<QCheckBox>(page, "chk單筆不印公司名稱"), &m.noCompanyName},
             {Child<QCheckBox>(page, "chk單筆不印業務員"), &m.noSalesperson},
             {Child<QCheckBox>(page, "chk預排表不印金額"), &m.scheduleNoAmounts},
             {Child<QCheckBox>(page, "chk單筆不印客戶"), &o.noCustomer},
             {Child<QCheckBox>(page, "chk單筆不印品名"), &o.noProductName},
             {Child<QCheckBox>(page, "chk單筆不印金額"), &o.noAmounts}}};
}

} // namespace

std::string PrintPage::vendorOptionsCode() const
{
    vendors::MainPrintOptions m;
    vendors::PrintOptions o;
    for (const auto& [box, on] : VendorBoxes(this, m, o))
        *on = box->isChecked();
    return vendors::OptionsCode(m, o);
}

void PrintPage::showVendorOptions(const std::string& code)
{
    vendors::MainPrintOptions m;
    vendors::PrintOptions o;
    vendors::ReadOptionsCode(code, m, o);
    for (const auto& [box, on] : VendorBoxes(this, m, o))
        box->setChecked(*on);
}

void PrintPage::wire()
{
    runModal = [](QDialog& d) { d.exec(); };
    printDocument = [](report::PreviewDialog& d) { d.printWithDialog(); };
    for (int i = 0; i < printing::kChoices; ++i) {
        auto* o = Child<QRadioButton>(this, ("sopt選擇報表_" + std::to_string(i)).c_str());
        sopt選擇報表[static_cast<std::size_t>(i)] = o;
        connect(o, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                choiceChosen(i);
        });
    }
    // The chosen caption of each option group stands out, in bold. Each
    // option has the room of its bold caption from the start, so choosing
    // one moves neither its group nor the fields beside it.
    const QString bold = QStringLiteral("color: blue; font-weight: bold;");
    auto boldRoom = [bold](QRadioButton* o) {
        o->setStyleSheet(bold);
        o->ensurePolished();
        o->setMinimumWidth(o->sizeHint().width());
        o->setStyleSheet(QString());
    };
    auto highlight = [bold](const QList<QRadioButton*>& group) {
        for (QRadioButton* o : group)
            o->setStyleSheet(o->isChecked() ? bold : QString());
    };
    QList<QRadioButton*> reports(sopt選擇報表.begin(), sopt選擇報表.end());
    for (QRadioButton* o : reports)
        boldRoom(o);
    for (QRadioButton* o : reports)
        connect(o, &QRadioButton::toggled, this, [highlight, reports] { highlight(reports); });
    QList<QRadioButton*> conditions;
    for (int i = 0; i < 3; ++i)
        conditions << Child<QRadioButton>(this, ("sopt條件設定_" + std::to_string(i)).c_str());
    for (QRadioButton* o : conditions)
        boldRoom(o);
    auto* single = Child<QLabel>(this, "lbl列印單筆");
    for (QRadioButton* o : conditions)
        connect(o, &QRadioButton::toggled, this, [highlight, conditions, single] {
            highlight(conditions);
            single->setStyleSheet(conditions[0]->isChecked() ? QStringLiteral("color: blue;") : QString());
        });
    connect(cbo種類列印, &QComboBox::currentTextChanged, this, [this] { kindChanged(); });
    connect(cbo種類列印, &QComboBox::activated, this, [this] { kindChanged(); });
    for (int i = 0; i < 14; ++i) {
        QLineEdit* f = txt列印範圍[static_cast<std::size_t>(i)];
        if (const auto mode = printing::RangeKeyFilter(i))
            InstallKeyFilter(f, *mode);
        f->installEventFilter(this);
    }
    auto* excel = Child<QPushButton>(this, "ssc轉Excel檔");
    for (int i = 0; i < 2; ++i)
        connect(Child<QRadioButton>(this, ("opt報表_" + std::to_string(i)).c_str()), &QRadioButton::toggled, this,
                [excel, i](bool on) {
                    if (on)
                        excel->setEnabled(i == 0);
                });
    connect(Child<QPushButton>(this, "ssc列印"), &QPushButton::clicked, this, [this] { print(false, {}); });
    connect(Child<QPushButton>(this, "ssc預覽列印"), &QPushButton::clicked, this, [this] { print(true, {}); });
    connect(excel, &QPushButton::clicked, this, [this] { print(true, printing::kExcelMode); });
    connect(Child<QPushButton>(this, "scmd廠商列印"), &QPushButton::clicked, this, [this] { lookupVendor(12, true); });
    connect(Child<QPushButton>(this, "scmd製作"), &QPushButton::clicked, this, [this] { lookupVendor(13, false); });
    connect(Child<QPushButton>(this, "scmd經辦"), &QPushButton::clicked, this, [this] { lookupClerk(); });
}

bool PrintPage::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = dynamic_cast<QLineEdit*>(watched);
    if (!field || (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut))
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, field, [field] { SelectAllText(field); });
        return false;
    }
    const int index = field->property("index").toInt();
    if (printing::IsCheckedDate(index) && isVisible()) {
        std::string date = field->text().toStdString();
        if (printing::NormaliseDate(date)) {
            field->setText(QString::fromStdString(date));
        } else {
            MsgBox("日期錯誤!", "警告", MsgIcon::Exclamation);
            QTimer::singleShot(0, field, [field] { field->setFocus(); });
        }
    }
    return false;
}

void PrintPage::open(const QString& kind, const std::string& recordNo)
{
    printPressed_ = true;
    for (QLineEdit* f : txt列印範圍)
        f->clear();
    Child<QLabel>(this, "lbl列印單筆")->setText(QString::fromStdString(recordNo));
    const auto defaults = printing::DefaultRanges(TheSystemClock(), recordNo);
    for (std::size_t i = 0; i < defaults.size(); ++i)
        txt列印範圍[i]->setText(QString::fromStdString(defaults[i]));
    {
        const QSignalBlocker block(cbo種類列印);
        cbo種類列印->setCurrentText(kind);
    }
    // Every machine again, from the phrase list as it is now.
    cbo車別_列印->clearEditText();
    machinesKind_.reset();
    kindChanged();
    for (int i : {0, 3, 4, 5})
        sopt選擇報表[static_cast<std::size_t>(i)]->hide();
    for (int i : {1, 2, 6, 7})
        sopt選擇報表[static_cast<std::size_t>(i)]->show();
    if (sopt選擇報表[1]->isChecked())
        choiceChosen(1);
    else
        sopt選擇報表[1]->setChecked(true);
    focusFirstRange();
}

void PrintPage::chooseSingleOrder()
{
    // The kind's rules offer its orders again (the opening hid them).
    kindChanged();
    sopt選擇報表[0]->show();
    sopt選擇報表[0]->setChecked(true);
    Child<QRadioButton>(this, "sopt條件設定_0")->setChecked(true);
    focusFirstRange();
}

int PrintPage::selectedChoice() const
{
    for (int i = 0; i < printing::kChoices; ++i)
        if (sopt選擇報表[static_cast<std::size_t>(i)]->isChecked())
            return i;
    return -1;
}

void PrintPage::kindChanged()
{
    const std::string kind = Text(cbo種類列印);
    const int selected = std::max(selectedChoice(), 0);
    const printing::KindView v = printing::KindChange(kind, printPressed_, chk預排表印金額->isChecked(), selected);
    if (printPressed_)
        fillMachines(kind);
    Child<QWidget>(this, "pic報表選擇")->hide();
    for (int i = 0; i < printing::kChoices; ++i)
        if (const auto& shown = v.choiceVisible[static_cast<std::size_t>(i)])
            sopt選擇報表[static_cast<std::size_t>(i)]->setVisible(*shown);
    if (!v.choice0Caption.empty())
        sopt選擇報表[0]->setText(QString::fromStdString(v.choice0Caption));
    if (v.selectChoice0 && !sopt選擇報表[0]->isChecked())
        sopt選擇報表[0]->setChecked(true);
    else if (selectedChoice() >= 0)
        choiceChosen(selectedChoice());
}

void PrintPage::fillMachines(const std::string& kind)
{
    if (machinesKind_ == kind)
        return;
    machinesKind_ = kind;
    const QString kept = cbo車別_列印->currentText();
    lookups::MachineList list{{std::string()}, {}};
    if (const ProcessKind* k = KindByDisplayName(kind)) {
        try {
            list = lookups::LoadMachineList(CurrentSession(), *k, CurrentSession().EmployeeId);
        } catch (const jet::Error& e) {
            ReportFailure("讀取車別資料錯誤", e, "車別清單是空的。");
        }
    }
    cbo車別_列印->clear();
    for (const std::string& m : list.items)
        cbo車別_列印->addItem(QString::fromStdString(m));
    // Every machine unless the user chose one the new kind also has; the
    // user's own press is no default here, it would narrow every analysis.
    cbo車別_列印->setCurrentIndex(std::max(cbo車別_列印->findText(kept), 0));
}

void PrintPage::choiceChosen(int choice)
{
    const printing::ChoiceView v = printing::ChoiceRules(choice, Text(cbo種類列印), CurrentSession().CompanyName,
                                                         Child<QRadioButton>(this, "opt報表_1")->isChecked());
    Child<QWidget>(this, "pic列印1")->setVisible(v.orderPanel);
    Child<QWidget>(this, "pic列印2")->setVisible(!v.orderPanel);
    Child<QWidget>(this, "chk列印完成日期")->setVisible(v.completionDate);
    Child<QWidget>(this, "chk報表名稱")->setVisible(v.retitle);
    // Hidden, the Excel button leaves its place to the back button.
    Child<QWidget>(this, "ssc轉Excel檔")->setVisible(v.excel);
    Child<QWidget>(this, "ssc轉Excel檔")->setEnabled(v.excelEnabled);
    Child<QWidget>(this, "lbl種類列印")->setVisible(v.kind);
    cbo種類列印->setVisible(v.kind);
    if (v.layoutChoice) {
        Child<QWidget>(this, "pic報表選擇")->show();
        if (!Child<QRadioButton>(this, "opt報表_1")->isChecked())
            Child<QRadioButton>(this, "opt報表_0")->setChecked(true);
    }
    if (isVisible())
        txt列印範圍[static_cast<std::size_t>(v.focusRange)]->setFocus();
}

void PrintPage::lookupVendor(int field, bool byKind)
{
    QLineEdit* f = txt列印範圍[static_cast<std::size_t>(field)];
    const QString kind = cbo種類列印->currentText();
    ClearPick();
    gLookupFilter = f->text().toStdString();
    gLookupKind = byKind && !kind.isEmpty() ? kind.right(2).toStdString() : std::string("所有廠商");
    frm廠商輔助畫面1 dlg(window());
    runModal(dlg);
    if (!Trim(gPick[0]).empty())
        f->setText(QString::fromStdString(gPick[1]));
    ClearPick();
}

void PrintPage::lookupClerk()
{
    QLineEdit* f = txt列印範圍[10];
    ClearPick();
    gLookupFilter = f->text().toStdString();
    gLookupStaffGroup.clear();
    frm業務員輔助視窗1 dlg(window());
    runModal(dlg);
    if (!Trim(gPick[0]).empty())
        f->setText(QString::fromStdString(Trim(gPick[0])));
    ClearPick();
    f->setFocus();
}

void PrintPage::print(bool preview, const std::string& mode)
{
    if (busy_)
        return;
    printing::PageInput in;
    for (std::size_t i = 0; i < txt列印範圍.size(); ++i)
        in.ranges[i] = Text(txt列印範圍[i]);
    in.machineGroup = Text(cbo車別_列印);
    in.kind = Text(cbo種類列印);
    in.choice = std::max(selectedChoice(), 0);
    in.suppressCustomer = Child<QCheckBox>(this, "chk單筆不印客戶")->isChecked();
    // A tick the current choice does not offer (hidden) does not count.
    const auto* retitle = Child<QCheckBox>(this, "chk報表名稱");
    in.retitle = retitle->isChecked() && !retitle->isHidden();
    in.groupByCompletion = Child<QCheckBox>(this, "chk列印完成日期")->isChecked();
    in.table1 = !Child<QRadioButton>(this, "opt報表_1")->isChecked();
    const std::string key = CurrentSession().WorkstationUser;
    std::optional<report::PageDocument> doc;
    bool done = false;
    {
        // The window is disabled only while the data is read: the messages
        // and the preview come after, with the normal cursor.
        BusyScope busy(window(), busy_);
        done = Guarded("列印", [&] {
            last_ = printing::RunPrint(CurrentSession().ConnectionString, in, preview, mode, key,
                                       [&](const printing::PrintParams& p) { return buildAnalysis(p, key); });
            if (last_.status != printing::Outcome::Ready)
                return;
            const reports::PrintParams params = printing::OrderParams(last_.params);
            // A long document (a detail listing runs to a thousand pages)
            // shows how far its layout is and can be stopped; stopped, the
            // user asked for nothing more.
            std::optional<report::WorkProgress> shown;
            report::Progress progress = followLayout;
            if (!progress)
                progress = shown.emplace(QStringLiteral("列印"), QStringLiteral("排版中…"), window()).progress();
            try {
                if (last_.dispatch.target == printing::Target::OutsourcingOrder)
                    doc = reports::OutsourcingOrder(last_.dispatch.layout, params, CurrentSession(), progress);
                else if (last_.dispatch.target == printing::Target::Report)
                    doc = production::AnalysisReport(last_.dispatch.layout, params, CurrentSession(), progress);
            } catch (const report::Cancelled&) {
                last_.status = printing::Outcome::Cancelled;
            }
        });
    }
    if (done && last_.status == printing::Outcome::NoData)
        MsgBox(printing::kNoData, "訊息", MsgIcon::Exclamation);
    if (!done || last_.status != printing::Outcome::Ready)
        return;
    switch (last_.dispatch.target) {
    case printing::Target::ValueExcel: {
        frm產值分析明細轉Excel dlg(in.choice, last_.params, key, CurrentSession(), TheSystemClock(), window());
        runModal(dlg);
        return;
    }
    case printing::Target::DetailExcel: {
        frm生產明細表轉Excel dlg(last_.params, CurrentSession(), TheSystemClock(), window());
        runModal(dlg);
        return;
    }
    case printing::Target::OutsourcingOrder:
    case printing::Target::Report:
        break;
    }
    report::PreviewDialog dlg(std::move(*doc), window());
    // The document's name is the print job's and a print to a file's.
    const ProcessKind* kind = KindByDisplayName(last_.params.kind);
    if (last_.dispatch.target == printing::Target::OutsourcingOrder && kind)
        dlg.setDocumentName(QString::fromStdString(reports::OrderTitle(*kind, printing::OrderParams(last_.params))));
    else
        dlg.setDocumentName(QString::fromStdString(production::AnalysisTitle(last_.dispatch.layout)));
    // An order always previews: it prints through its own printer dialog.
    if (last_.dispatch.preview)
        runModal(dlg);
    else
        printDocument(dlg);
}

bool PrintPage::buildAnalysis(const printing::PrintParams& p, const std::string& key)
{
    // Modal, with a cancel button: a long build can be stopped, and the
    // table then keeps this workstation's earlier rows.
    QProgressDialog progress(QStringLiteral("產生產值分析資料…"), QStringLiteral("取消"), 0, 100, window());
    progress.setObjectName(QStringLiteral("frm產值分析進度"));
    progress.setWindowTitle(QStringLiteral("產值分析"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const bool built = printing::BuildAnalysisTable(CurrentSession().ConnectionString, p, key,
                                                    [&progress](long long done, long long total) {
                                                        progress.setValue(total ? static_cast<int>(done * 100 / total) : 100);
                                                        return !progress.wasCanceled();
                                                    });
    return built;
}

} // namespace qtmv::daily
