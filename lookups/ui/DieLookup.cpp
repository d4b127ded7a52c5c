#include "lookups/ui/DieLookup.h"

#include "app/core/Session.h"
#include "common/HandOver.h"
#include "common/ui/KeyEventFilter.h"
#include "lookups/core/DieQueries.h"
#include "lookups/core/Placement.h"
#include "lookups/ui/PeopleLookups.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"
#include "platform/text/Text.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qtmv;
using namespace qtmv::lookups;

namespace {

// The hand-over variables a nested lookup changes, put back afterwards so
// the die lookup's own caller finds them as it left them.
class KeepHandOver {
public:
    KeepHandOver() : filter_(gLookupFilter), staff_(gLookupStaffGroup) {}
    ~KeepHandOver()
    {
        gLookupFilter = filter_;
        gLookupStaffGroup = staff_;
    }
    KeepHandOver(const KeepHandOver&) = delete;
    KeepHandOver& operator=(const KeepHandOver&) = delete;

private:
    std::string filter_, staff_;
};

QLineEdit* CodeBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setMaxLength(20);
    // Codes in upper case; a name typed here opens the lookup with it.
    InstallKeyFilter(box, KeyFilterMode::Upper);
    box->setMaximumWidth(90);
    return box;
}

QPushButton* HelperButton(QWidget* parent, const char* name)
{
    auto* b = new QPushButton(QStringLiteral("…"), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    b->setFixedWidth(28);
    return b;
}

} // namespace

frm刀模輔助視窗::frm刀模輔助視窗(QWidget* parent)
    : LookupWindow(parent, {"frm刀模輔助視窗", "刀模輔助視窗", kDieWidths, kSkipDownstream, true,
                            "找不到符合條件的刀模。"})
{
    gReturned = false;
    resize(900, 480);
    fml刀模 = MSHFlexGrid1;
    fml刀模->setObjectName(QStringLiteral("fml刀模"));
    setFilterCaption(QStringLiteral("刀模代號:"));

    txt品名 = new QLineEdit(this);
    txt品名->setObjectName(QStringLiteral("txt品名"));
    txt品名->setMaxLength(40);
    txt客戶代號 = CodeBox(this, "txt客戶代號");
    scmd客戶 = HelperButton(this, "scmd客戶");
    lbl客戶簡稱 = new QLabel(this);
    lbl客戶簡稱->setObjectName(QStringLiteral("lbl客戶簡稱"));
    lbl客戶簡稱->setMinimumWidth(90);
    txt業務員代號 = CodeBox(this, "txt業務員代號");
    scmd業務員 = HelperButton(this, "scmd業務員");
    lbl業務員 = new QLabel(this);
    lbl業務員->setObjectName(QStringLiteral("lbl業務員"));
    lbl業務員->setMinimumWidth(60);
    chk含作廢 = new QCheckBox(QStringLiteral("含作廢刀模"), this);
    chk含作廢->setObjectName(QStringLiteral("chk含作廢"));

    auto* row = new QHBoxLayout;
    auto* lbl品名 = new QLabel(QStringLiteral("品名:"), this);
    lbl品名->setBuddy(txt品名);
    auto* lbl客戶 = new QLabel(QStringLiteral("客戶:"), this);
    lbl客戶->setBuddy(txt客戶代號);
    auto* lbl業務 = new QLabel(QStringLiteral("業務員:"), this);
    lbl業務->setBuddy(txt業務員代號);
    row->addWidget(lbl品名);
    row->addWidget(txt品名, 1);
    row->addWidget(lbl客戶);
    row->addWidget(txt客戶代號);
    row->addWidget(scmd客戶);
    row->addWidget(lbl客戶簡稱);
    row->addWidget(lbl業務);
    row->addWidget(txt業務員代號);
    row->addWidget(scmd業務員);
    row->addWidget(lbl業務員);
    row->addWidget(chk含作廢);
    mainLayout()->insertLayout(1, row);

    connect(scmd客戶, &QPushButton::clicked, this, [this] { chooseCustomer(); });
    connect(scmd業務員, &QPushButton::clicked, this, [this] { chooseSalesperson(); });
    connect(chk含作廢, &QCheckBox::clicked, this, [this] { search(); });
    for (QLineEdit* box : {txt品名, txt客戶代號, txt業務員代號})
        box->installEventFilter(this);
}

LookupQuery frm刀模輔助視窗::query() const
{
    DieFilter f;
    f.code = gLookupFilter;
    f.product = txt品名->text().toStdString();
    f.customerId = txt客戶代號->text().toStdString();
    f.salespersonId = txt業務員代號->text().toStdString();
    f.includeVoid = chk含作廢->isChecked();
    LookupQuery q;
    q.filtered = DieQuery(f);
    // A code that matches nothing (the cell held a mistyped one) lists the
    // dies the other filters leave.
    if (!qtmv::Trim(f.code).empty()) {
        f.code.clear();
        q.unfiltered = DieQuery(f);
    }
    return q;
}

bool frm刀模輔助視窗::acceptPick(int row)
{
    if (qtmv::Trim(fml刀模->text(row, kDieVoidColumn + 1)) == "Y" &&
        MsgBox("刀模 " + gPick[0] + " 已作廢，確定選用嗎？", "詢問", MsgIcon::Question, MsgButtons::YesNo) !=
            MsgAnswer::Yes)
        return false;
    gReturned = true;
    return true;
}

template <class Lookup>
void frm刀模輔助視窗::choose(QLineEdit* box, QLabel* name)
{
    std::string code, caption;
    {
        const KeepHandOver keep;
        gLookupFilter = qtmv::Trim(box->text().toStdString());
        gLookupStaffGroup.clear();
        Lookup lookup(this);
        lookup.exec();
        code = qtmv::Trim(gPick[0]);
        caption = qtmv::Trim(gPick[1]);
        // The nested pick is not this window's: a later Esc here reports nothing.
        ClearPick();
    }
    if (code.empty())
        return;
    box->setText(U8(code));
    name->setText(U8(caption));
    search();
}

void frm刀模輔助視窗::chooseCustomer() { choose<frm客戶輔助視窗>(txt客戶代號, lbl客戶簡稱); }

void frm刀模輔助視窗::chooseSalesperson() { choose<frm業務員輔助視窗>(txt業務員代號, lbl業務員); }

void frm刀模輔助視窗::codeEntered(QLineEdit* box, QLabel* name, bool customer)
{
    const std::string code = qtmv::Trim(box->text().toStdString());
    if (code.empty()) {
        name->clear();
        search();
        return;
    }
    std::string found;
    bool known = false;
    if (!Guarded(windowTitle().toStdString(), [&] {
            const std::optional<std::string> name = CustomerOrEmployeeName(CurrentSession(), customer, code);
            known = name.has_value();
            if (known)
                found = *name;
        }))
        return;
    if (!known) {
        if (customer)
            chooseCustomer();
        else
            chooseSalesperson();
        return;
    }
    name->setText(U8(found));
    search();
}

bool frm刀模輔助視窗::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == txt品名) {
                search();
                return true;
            }
            if (watched == txt客戶代號) {
                codeEntered(txt客戶代號, lbl客戶簡稱, true);
                return true;
            }
            if (watched == txt業務員代號) {
                codeEntered(txt業務員代號, lbl業務員, false);
                return true;
            }
        }
    }
    return LookupWindow::eventFilter(watched, e);
}
