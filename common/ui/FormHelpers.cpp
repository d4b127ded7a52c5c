#include "common/ui/FormHelpers.h"

#include "common/RocDate.h"
#include "common/SendKeys.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>

#include <memory>
#include <vector>

namespace qtmv {

namespace {

constexpr char kLocked[] = "locked";
constexpr char kTag[] = "tag";
constexpr char kSavedFocusPolicy[] = "qtmv_unlockedFocusPolicy";
constexpr char kSavedPalette[] = "qtmv_unlockedPalette";
constexpr char kComboGuardName[] = "qtmv_comboLockGuard";

// Swallows what would change a locked combo box's choice; everything else
// (Tab, Enter, Esc, function keys other than F4, Ctrl+C) goes on.
class ComboLockGuard : public QObject {
public:
    explicit ComboLockGuard(QComboBox* combo) : QObject(combo), combo_(combo)
    {
        setObjectName(kComboGuardName);
    }

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (!combo_->property(kLocked).toBool())
            return false;
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
            return true;
        case QEvent::KeyPress: return changesChoice(*static_cast<QKeyEvent*>(e));
        default: return false;
        }
    }

private:
    static bool changesChoice(const QKeyEvent& k)
    {
        switch (k.key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_F4:
        case Qt::Key_Space:
        case Qt::Key_Select:
            return true;
        default:
            break;
        }
        if (k.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
            return false;
        // Typed characters select items by their first letters.
        const QString t = k.text();
        return !t.isEmpty() && t.at(0).unicode() >= 0x20 && t.at(0).unicode() != 0x7F;
    }

    QComboBox* combo_;
};

void GuardCombo(QComboBox* combo)
{
    if (combo->findChild<QObject*>(kComboGuardName, Qt::FindDirectChildrenOnly))
        return;
    auto* guard = new ComboLockGuard(combo);
    combo->installEventFilter(guard);
    // The arrow button area belongs to the combo; the editor of an editable
    // combo and the popup's view get their own events.
    if (combo->view())
        combo->view()->viewport()->installEventFilter(guard);
}

void SetLocked(QWidget* w, bool locked)
{
    w->setProperty(kLocked, locked);
    if (auto* le = qobject_cast<QLineEdit*>(w)) {
        le->setReadOnly(locked);
    } else if (auto* te = qobject_cast<QTextEdit*>(w)) {
        te->setReadOnly(locked);
    } else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
        pe->setReadOnly(locked);
    } else if (auto* sb = qobject_cast<QAbstractSpinBox*>(w)) {
        sb->setReadOnly(locked);
    } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        GuardCombo(cb);
        if (QLineEdit* le = cb->lineEdit())
            le->setReadOnly(locked);
    }
}

void DeselectCombo(QWidget* w)
{
    if (auto* cb = qobject_cast<QComboBox*>(w))
        if (QLineEdit* le = cb->lineEdit())
            le->deselect();
}

void SetTabStop(QWidget* w, bool tabStop)
{
    if (!w->property(kSavedFocusPolicy).isValid())
        w->setProperty(kSavedFocusPolicy, static_cast<int>(w->focusPolicy()));
    const auto original = static_cast<Qt::FocusPolicy>(w->property(kSavedFocusPolicy).toInt());
    if (tabStop)
        w->setFocusPolicy((original & Qt::TabFocus) ? original : Qt::StrongFocus);
    else
        w->setFocusPolicy((original & Qt::ClickFocus) ? Qt::ClickFocus : Qt::NoFocus);
}

void SetBackground(QWidget* w, long value)
{
    if (!w->property(kSavedPalette).isValid())
        w->setProperty(kSavedPalette, QVariant::fromValue(w->palette()));
    QPalette p = w->palette();
    const QColor c = ColourFromValue(value);
    p.setColor(QPalette::Base, c);   // text fields, editable combos
    p.setColor(QPalette::Button, c); // drop-down combos
    w->setPalette(p);
}

void RestoreBackground(QWidget* w)
{
    const QVariant saved = w->property(kSavedPalette);
    if (!saved.isValid())
        return;
    w->setPalette(saved.value<QPalette>());
    w->setProperty(kSavedPalette, QVariant());
}

// The editor inside a combo or spin box belongs to that control.
bool IsInnerEditor(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p))
            return true;
    return false;
}

struct QtStroke {
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

QtStroke ToQt(const KeyStroke& k)
{
    Qt::KeyboardModifiers mods;
    if (k.shift)
        mods |= Qt::ShiftModifier;
    if (k.ctrl)
        mods |= Qt::ControlModifier;
    if (k.alt)
        mods |= Qt::AltModifier;
    switch (k.key) {
    case NamedKey::Tab: return {k.shift ? Qt::Key_Backtab : Qt::Key_Tab, mods, QStringLiteral("\t")};
    case NamedKey::Enter: return {Qt::Key_Return, mods, QStringLiteral("\r")};
    case NamedKey::Escape: return {Qt::Key_Escape, mods, QString(QChar(0x1B))};
    case NamedKey::Backspace: return {Qt::Key_Backspace, mods, QStringLiteral("\b")};
    case NamedKey::Delete: return {Qt::Key_Delete, mods, QString(QChar(0x7F))};
    case NamedKey::Insert: return {Qt::Key_Insert, mods, {}};
    case NamedKey::Home: return {Qt::Key_Home, mods, {}};
    case NamedKey::End: return {Qt::Key_End, mods, {}};
    case NamedKey::PageUp: return {Qt::Key_PageUp, mods, {}};
    case NamedKey::PageDown: return {Qt::Key_PageDown, mods, {}};
    case NamedKey::Left: return {Qt::Key_Left, mods, {}};
    case NamedKey::Right: return {Qt::Key_Right, mods, {}};
    case NamedKey::Up: return {Qt::Key_Up, mods, {}};
    case NamedKey::Down: return {Qt::Key_Down, mods, {}};
    case NamedKey::Function: return {Qt::Key_F1 + (k.function - 1), mods, {}};
    case NamedKey::None: break;
    }
    char32_t ch = k.ch;
    int key = Qt::Key_unknown;
    if (ch >= 'a' && ch <= 'z') {
        key = Qt::Key_A + int(ch - 'a');
        if (k.shift)
            ch -= 'a' - 'A';
    } else if (ch >= 0x20 && ch < 0x7F) {
        key = int(ch); // Qt's codes of ASCII keys are the characters
    }
    QString text;
    if (k.ctrl && key >= Qt::Key_A && key <= Qt::Key_Z)
        text = QChar(key - Qt::Key_A + 1); // control character, as a keyboard gives it
    else if (!k.ctrl && !k.alt)
        text = QString::fromUcs4(&ch, 1);
    return {key, mods, text};
}

QWidget* FocusTarget()
{
    if (QWidget* f = QApplication::focusWidget())
        return f;
    if (QWidget* a = QApplication::activeWindow())
        return a->focusWidget() ? a->focusWidget() : a;
    return nullptr;
}

void Deliver(const std::vector<QtStroke>& strokes)
{
    for (const QtStroke& s : strokes) {
        QPointer<QWidget> target = FocusTarget();
        if (!target)
            return;
        QKeyEvent press(QEvent::KeyPress, s.key, s.modifiers, s.text);
        QCoreApplication::sendEvent(target, &press);
        if (target) { // a key may close and delete its window
            QKeyEvent release(QEvent::KeyRelease, s.key, s.modifiers, s.text);
            QCoreApplication::sendEvent(target, &release);
        }
    }
}

} // namespace

void CenterForm(QWidget* window)
{
    if (!window)
        return;
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    const int left = std::max(0, (area.width() - size.width()) / 2);
    const int top = std::max(0, (area.height() - size.height() - kCenterTopOffsetPx) / 2);
    window->move(area.x() + left, area.y() + top);
}

void PrepareFormControls(QWidget* window)
{
    if (!window)
        return;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->property(kTag).toString() == QLatin1String("-1") || IsInnerEditor(w, window))
            continue;
        if (auto* le = qobject_cast<QLineEdit*>(w)) {
            le->clear();
        } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
            cb->clear();
            cb->clearEditText();
        } else if (auto* te = qobject_cast<QTextEdit*>(w)) {
            te->clear();
        } else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
            pe->clear();
        }
    }
}

void LockAllCombos(QWidget* window)
{
    if (!window)
        return;
    for (QComboBox* cb : window->findChildren<QComboBox*>())
        SetLocked(cb, true);
}

void LockControl(QWidget* control)
{
    if (!control)
        return;
    SetLocked(control, true);
    SetTabStop(control, false);
    DeselectCombo(control);
}

void UnlockControl(QWidget* control)
{
    if (!control)
        return;
    control->setEnabled(true);
    SetLocked(control, false);
    SetTabStop(control, true);
    DeselectCombo(control);
    RestoreBackground(control);
}

void LockControlGrey(QWidget* control)
{
    if (!control)
        return;
    LockControl(control);
    SetBackground(control, 0xC0C0C0);
}

void LockControlYellow(QWidget* control)
{
    if (!control)
        return;
    LockControl(control);
    SetBackground(control, 0xC0FFFF);
}

bool IsLocked(const QWidget* control)
{
    return control && control->property(kLocked).toBool();
}

void SelectAllText(QWidget* control)
{
    if (auto* le = qobject_cast<QLineEdit*>(control))
        le->selectAll();
    else if (auto* cb = qobject_cast<QComboBox*>(control); cb && cb->lineEdit())
        cb->lineEdit()->selectAll();
    else if (auto* sb = qobject_cast<QAbstractSpinBox*>(control))
        sb->selectAll();
    else if (auto* te = qobject_cast<QTextEdit*>(control))
        te->selectAll();
    else if (auto* pe = qobject_cast<QPlainTextEdit*>(control))
        pe->selectAll();
}

void PadDateControl(QWidget* control, int width)
{
    QLineEdit* le = qobject_cast<QLineEdit*>(control);
    if (auto* cb = qobject_cast<QComboBox*>(control))
        le = cb->lineEdit();
    if (!le)
        return;
    std::string text = le->text().toStdString();
    const std::string before = text;
    PadDateText(text, width);
    if (text != before)
        le->setText(QString::fromStdString(text));
}

QColor ColourFromValue(long value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QColor ColourFromText(const QString& text)
{
    bool ok = false;
    const long v = text.trimmed().toLong(&ok);
    return ok && v >= 0 && v <= 0xFFFFFF ? ColourFromValue(v) : QColor();
}

bool SendKeysToFocus(const QString& keys, bool wait)
{
    const auto parsed = ParseSendKeys(keys.toStdString());
    if (!parsed)
        return false;
    std::vector<QtStroke> strokes;
    for (const KeyStroke& k : *parsed)
        strokes.push_back(ToQt(k));
    if (wait)
        Deliver(strokes);
    else
        QTimer::singleShot(0, qApp, [strokes] { Deliver(strokes); });
    return true;
}

} // namespace qtmv
