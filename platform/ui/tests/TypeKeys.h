#pragma once
// Typing as a keyboard does: ASCII as key clicks, with their key codes, and
// any other character as a key event carrying only its text, because
// QTest::keyClicks fails on characters outside Latin-1.
#include <QString>
#include <QTest>
#include <QWidget>

namespace qtmv::test {

inline void typeKey(QWidget* w, QChar ch)
{
    if (ch.unicode() < 0x80)
        QTest::keyClick(w, ch.toLatin1());
    else
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), {});
}

inline void typeKeys(QWidget* w, const QString& text)
{
    for (const QChar ch : text)
        typeKey(w, ch);
}

} // namespace qtmv::test
