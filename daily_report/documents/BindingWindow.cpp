#include "daily_report/documents/BindingWindow.h"

#include "app/core/Launch.h"
#include "app/core/Session.h"
#include "common/Failure.h"
#include "common/ui/FormHelpers.h"
#include "common/ui/KeyEventFilter.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/BusyScope.h"
#include "platform/ui/QtText.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

using namespace qtmv;
using namespace qtmv::daily;

namespace {

constexpr const char* kTitle = "裝訂說明";

QLineEdit* NumberBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setMaxLength(9);
    box->setMaximumWidth(90);
    box->setAlignment(Qt::AlignRight);
    InstallKeyFilter(box, KeyFilterMode::Decimal);
    return box;
}

QLabel* ValueLabel(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    return b;
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& i : items)
        out += (out.empty() ? "" : "、") + i;
    return out;
}

} // namespace

frm裝訂說明::frm裝訂說明(const std::string& po, int no, QWidget* parent)
    : QDialog(parent), po_(po), no_(no), endProgram_([] { EndProgramNow(); })
{
    setObjectName(QStringLiteral("frm裝訂說明"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setModal(true);
    resize(640, 460);

    lbl工單單號 = ValueLabel(this, "lbl工單單號");
    lbl客戶 = ValueLabel(this, "lbl客戶");
    lbl品名 = ValueLabel(this, "lbl品名");
    lbl裝訂內容 = ValueLabel(this, "lbl裝訂內容");
    txt頁數 = NumberBox(this, "txt頁數");
    txt台數 = NumberBox(this, "txt台數");
    txt折數 = NumberBox(this, "txt折數");
    txt裝訂方式 = new QLineEdit(this);
    txt裝訂方式->setObjectName(QStringLiteral("txt裝訂方式"));
    txt裝訂方式->setMaxLength(kBindingMethodMaxChars);
    txt裝訂說明 = new QPlainTextEdit(this);
    txt裝訂說明->setObjectName(QStringLiteral("txt裝訂說明"));
    txt裝訂說明->setTabChangesFocus(true);
    lst片語 = new QListWidget(this);
    lst片語->setObjectName(QStringLiteral("lst片語"));
    lst片語->setMaximumWidth(160);
    scmd儲存 = Button(this, "scmd儲存", "儲存(F8)");
    scmd列印 = Button(this, "scmd列印", "列印");
    scmd離開 = Button(this, "scmd離開", "離開(Esc)");
    lbl狀態 = ValueLabel(this, "lbl狀態");

    auto* head = new QFormLayout;
    head->addRow(QStringLiteral("工單單號:"), lbl工單單號);
    head->addRow(QStringLiteral("客戶:"), lbl客戶);
    head->addRow(QStringLiteral("品名:"), lbl品名);
    head->addRow(QStringLiteral("裝訂內容:"), lbl裝訂內容);
    auto* numbers = new QHBoxLayout;
    for (auto [caption, box] : {std::pair{"頁數:", txt頁數}, {"台數:", txt台數}, {"折數:", txt折數}}) {
        auto* l = new QLabel(QString::fromUtf8(caption), this);
        l->setBuddy(box);
        numbers->addWidget(l);
        numbers->addWidget(box);
    }
    numbers->addStretch(1);
    auto* method = new QHBoxLayout;
    auto* lbl方式 = new QLabel(QStringLiteral("裝訂方式:"), this);
    lbl方式->setBuddy(txt裝訂方式);
    method->addWidget(lbl方式);
    method->addWidget(txt裝訂方式, 1);
    auto* notes = new QHBoxLayout;
    notes->addWidget(txt裝訂說明, 1);
    auto* phrases = new QVBoxLayout;
    phrases->addWidget(new QLabel(QStringLiteral("片語 (Enter 插入):"), this));
    phrases->addWidget(lst片語, 1);
    notes->addLayout(phrases);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lbl狀態, 1);
    buttons->addWidget(scmd儲存);
    buttons->addWidget(scmd列印);
    buttons->addWidget(scmd離開);
    auto* v = new QVBoxLayout(this);
    v->addLayout(head);
    v->addLayout(numbers);
    v->addLayout(method);
    auto* lbl說明 = new QLabel(QStringLiteral("裝訂說明:"), this);
    lbl說明->setBuddy(txt裝訂說明);
    v->addWidget(lbl說明);
    v->addLayout(notes, 1);
    v->addLayout(buttons);

    connect(scmd儲存, &QPushButton::clicked, this, [this] { save(); });
    connect(scmd列印, &QPushButton::clicked, this, [this] { print(); });
    connect(scmd離開, &QPushButton::clicked, this, [this] { reject(); });
    connect(lst片語, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { insertPhrase(item); });
    auto* f8 = new QShortcut(QKeySequence(Qt::Key_F8), this);
    connect(f8, &QShortcut::activated, this, [this] {
        if (scmd儲存->isEnabled())
            save();
    });
    for (QLineEdit* box : {txt頁數, txt台數, txt折數, txt裝訂方式})
        box->installEventFilter(this);
}

int frm裝訂說明::exec()
{
    rights_ = ReadBindingRights(CurrentSession());
    if (!rights_.open) {
        MsgBox("你的權限無法使用該項功能!", "訊息", MsgIcon::Exclamation);
        return QDialog::Rejected;
    }
    if (!load())
        return QDialog::Rejected;
    applyRights();
    return QDialog::exec();
}

bool frm裝訂說明::load()
{
    std::vector<std::string> phrases;
    bool loaded = Guarded(
        kTitle,
        [&] {
            record_ = LoadBinding(CurrentSession().ConnectionString, po_, no_);
            phrases = LoadBindingPhrases(CurrentSession().ConnectionString);
        },
        "無法開啟裝訂說明。");
    if (!loaded)
        return false;
    if (!record_.workOrderFound) {
        MsgBox("找不到工單單號： " + po_, kTitle, MsgIcon::Exclamation);
        return false;
    }
    lst片語->clear();
    for (const std::string& p : phrases)
        lst片語->addItem(U8(p));
    lbl工單單號->setText(U8(po_ + " - " + std::to_string(no_)));
    lbl客戶->setText(U8(record_.customer));
    lbl品名->setText(U8(record_.product));
    lbl裝訂內容->setText(U8(record_.lineItem + (record_.lineQty.empty() ? "" : "  " + record_.lineQty)));
    showRecord();
    return true;
}

void frm裝訂說明::showRecord()
{
    const BindingFields& f = record_.fields;
    txt頁數->setText(U8(f.pages));
    txt台數->setText(U8(f.sheets));
    txt折數->setText(U8(f.folds));
    txt裝訂方式->setText(U8(f.method));
    txt裝訂說明->setPlainText(U8(f.notes));
}

void frm裝訂說明::applyRights()
{
    if (!rights_.change) {
        for (QWidget* w : std::initializer_list<QWidget*>{txt頁數, txt台數, txt折數, txt裝訂方式, txt裝訂說明})
            LockControlGrey(w);
        lst片語->setEnabled(false);
        scmd儲存->setEnabled(false);
        lbl狀態->setText(QStringLiteral("您的權限僅可以查詢。"));
    }
    scmd列印->setVisible(rights_.print);
}

BindingFields frm裝訂說明::typed() const
{
    return {Str(txt頁數->text()), Str(txt台數->text()), Str(txt折數->text()), Str(txt裝訂方式->text()),
            Str(txt裝訂說明->toPlainText())};
}

bool frm裝訂說明::hasUnsavedChanges() const
{
    return rights_.change && !ChangedBindingFields(record_.fields, typed()).empty();
}

bool frm裝訂說明::save()
{
    BusyScope busy(this, busy_);
    if (!busy.entered())
        return false;
    bool saved = false;
    bool ended = false;
    Guarded(
        kTitle,
        [&] {
            BindingSaveOutcome out = SaveBinding(CurrentSession(), record_, typed(), false, endProgram_);
            if (out.result == SaveStatus::Changed) {
                const std::string question = "其他工作站已修改本工單的" + Joined(out.conflicts) +
                                             "。\n\n要以您輸入的內容覆蓋嗎？（選「否」不儲存，畫面上的內容保留。）";
                if (MsgBox(question, "詢問", MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes) {
                    lbl狀態->setText(QStringLiteral("資料沒有儲存。"));
                    return;
                }
                out = SaveBinding(CurrentSession(), record_, typed(), true, endProgram_);
            }
            if (out.result.saved()) {
                record_ = out.record;
                showRecord();
                lbl狀態->setText(QStringLiteral("已儲存。"));
                saved = true;
            } else if (out.result == SaveStatus::Ended) {
                ended = true;
            } else {
                lbl狀態->setText(out.result.why == Refusal::Unchanged ? QStringLiteral("資料沒有變更。")
                                                                       : QStringLiteral("資料沒有儲存。"));
            }
        },
        "資料沒有儲存。");
    if (ended) {
        leaving_ = true;
        QDialog::reject();
    }
    return saved;
}

void frm裝訂說明::print()
{
    if (!rights_.print)
        return;
    if (hasUnsavedChanges() &&
        MsgBox("畫面上的資料尚未儲存，確定要列印嗎？", "詢問", MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        Guarded(kTitle, [&] { printTo(printer); }, "沒有列印。");
}

void frm裝訂說明::printTo(QPrinter& printer) const
{
    QTextDocument doc;
    doc.setHtml(U8(BindingSheetHtml(record_, typed(), CurrentSession().CompanyName)));
    doc.print(&printer);
}

void frm裝訂說明::reject()
{
    if (!leaving_ && hasUnsavedChanges() &&
        MsgBox("資料已修改尚未儲存，確定離開嗎？", "詢問", MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    QDialog::reject();
}

void frm裝訂說明::insertPhrase(QListWidgetItem* item)
{
    if (!item || !rights_.change)
        return;
    // A phrase is added where the cursor stands; text already there, even
    // selected text, stays.
    QTextCursor c = txt裝訂說明->textCursor();
    c.setPosition(c.selectionEnd());
    if (c.position() > 0 && txt裝訂說明->toPlainText().at(c.position() - 1) != QLatin1Char('\n'))
        c.insertText(QStringLiteral("\n"));
    c.insertText(item->text());
    txt裝訂說明->setTextCursor(c);
    txt裝訂說明->setFocus();
}

bool frm裝訂說明::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        // Enter moves on to the next field, as everywhere in the suite.
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched != txt裝訂說明) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}
