#include "common/ui/KeyEventFilter.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace qtmv {

namespace {

constexpr char kFilterName[] = "qtmv_keyFilter";

bool TypesCharacter(const QKeyEvent& e)
{
    if (e.type() != QEvent::KeyPress)
        return false;
    if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString t = e.text();
    return !t.isEmpty() && t.at(0).unicode() >= 0x20 && t.at(0).unicode() != 0x7F;
}

// The Qt key of a character as a keyboard would report it.
int KeyOf(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return Qt::Key_A + int(c - 'a');
    if (c >= 0x20 && c < 0x7F)
        return int(c);
    return Qt::Key_unknown;
}

class KeyFilterObject : public QObject {
public:
    KeyFilterObject(QObject* parent, KeyFilterMode mode) : QObject(parent), mode_(mode)
    {
        setObjectName(kFilterName);
    }
    void setMode(KeyFilterMode mode) { mode_ = mode; }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress)
            return ApplyKeyFilter(watched, static_cast<QKeyEvent*>(e), mode_);
        if (e->type() == QEvent::InputMethod) {
            auto* im = static_cast<QInputMethodEvent*>(e);
            const QString filtered = FilterKeyText(im->commitString(), mode_);
            if (filtered == im->commitString())
                return false;
            QInputMethodEvent replaced(im->preeditString(), im->attributes());
            replaced.setCommitString(filtered, im->replacementStart(), im->replacementLength());
            QCoreApplication::sendEvent(watched, &replaced);
            return true;
        }
        return false;
    }

private:
    KeyFilterMode mode_;
};

void Install(QWidget* w, KeyFilterMode mode)
{
    if (auto* existing = dynamic_cast<KeyFilterObject*>(
            w->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly))) {
        existing->setMode(mode);
        return;
    }
    w->installEventFilter(new KeyFilterObject(w, mode));
}

} // namespace

QString FilterKeyText(const QString& text, KeyFilterMode mode)
{
    QString out;
    for (char32_t c : text.toUcs4()) {
        const int k = KeyFilter(static_cast<int>(c), mode);
        if (k > 0) {
            const auto mapped = static_cast<char32_t>(k);
            out += QString::fromUcs4(&mapped, 1);
        }
    }
    return out;
}

int FilterKeyEvent(const QKeyEvent& event, KeyFilterMode mode)
{
    if (!TypesCharacter(event))
        return -1;
    const QString filtered = FilterKeyText(event.text(), mode);
    if (filtered.isEmpty())
        return 0;
    return static_cast<int>(filtered.toUcs4().front());
}

bool ApplyKeyFilter(QObject* receiver, QKeyEvent* event, KeyFilterMode mode)
{
    if (!event || !TypesCharacter(*event))
        return false;
    const QString filtered = FilterKeyText(event->text(), mode);
    if (filtered == event->text())
        return false;
    if (!filtered.isEmpty() && receiver) {
        const int key = filtered.size() == 1 ? KeyOf(filtered.at(0).unicode()) : event->key();
        QKeyEvent replaced(event->type(), key, event->modifiers(), filtered, event->isAutoRepeat(),
                           static_cast<quint16>(event->count()));
        QCoreApplication::sendEvent(receiver, &replaced);
    }
    return true;
}

void InstallKeyFilter(QWidget* control, KeyFilterMode mode)
{
    if (!control)
        return;
    Install(control, mode);
    // An editable combo forwards keys to its editor; filter there as well.
    if (auto* cb = qobject_cast<QComboBox*>(control); cb && cb->lineEdit())
        Install(cb->lineEdit(), mode);
}

} // namespace qtmv
