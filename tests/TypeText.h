// Typing text a key at a time, Japanese included: QTest's key clicks know
// only Latin-1, so every character goes as a key event that carries it, as
// an input method hands over a committed character.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace varnoke::test {

inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const int key = c == u'\t' ? Qt::Key_Tab : c == u'\n' ? Qt::Key_Return : 0;
        const QString typed = c == u'\n' ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(widget, &release);
    }
}

} // namespace varnoke::test
