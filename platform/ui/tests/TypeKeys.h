#pragma once
// Typing as a keyboard does: ASCII as key clicks, with their key codes, and
// any other character as a key event carrying only its text, because
// QTest::keyClicks fails on characters outside Latin-1.
#include <QAbstractItemView>
#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>

namespace qtmv::test {

inline void TypeKey(QWidget* w, QChar ch)
{
    if (ch.unicode() < 0x80)
        QTest::keyClick(w, ch.toLatin1());
    else
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), {});
}

inline void TypeKeys(QWidget* w, const QString& text)
{
    for (const QChar ch : text)
        TypeKey(w, ch);
}

// Types into a grid's active cell as a user does: the first key opens the
// cell editor, the others go to it, and Enter commits.
inline void TypeIntoCell(QAbstractItemView* view, const QString& text)
{
    view->setFocus();
    TypeKey(view, text[0]);
    TypeKeys(QApplication::focusWidget(), text.mid(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

} // namespace qtmv::test
