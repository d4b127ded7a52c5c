#pragma once
// Making the named controls of the daily report window: every control gets
// the object name the suite's forms gave it, so tests and the windows that
// read the main window's fields find it by name.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace qtmv::daily::widgets {

template <class W>
W* Make(QWidget* parent, const QString& name)
{
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

// A member of a control array: "<array>_<index>", index also as a property.
template <class W>
W* MakeIndexed(QWidget* parent, const QString& array, int index)
{
    auto* w = Make<W>(parent, array + QLatin1Char('_') + QString::number(index));
    w->setProperty("index", index);
    return w;
}

inline QLabel* CaptionFor(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

inline QLineEdit* LineEdit(QWidget* parent, const QString& name, int maxLength, int width)
{
    auto* e = Make<QLineEdit>(parent, name);
    e->setMaxLength(maxLength);
    e->setFixedWidth(width);
    return e;
}

inline QPushButton* Button(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = Make<QPushButton>(parent, name);
    b->setText(caption);
    b->setAutoDefault(false);
    return b;
}

} // namespace qtmv::daily::widgets
