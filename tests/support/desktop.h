#pragma once

// The keyboard as a window manager delivers it: a window is shown and waited
// for until it is the active one, and each key goes to the widget that has
// the focus at that moment (or, with none, to the active window, where it is
// lost as it would be on the desktop). For tests run with DESKTOP, on an X
// server with a window manager (tests/support/desktop-run.sh).

#include <functional>
#include <QKeySequence>
#include <QString>

class QWidget;

namespace lexordo::test {

// Shows the window and waits until the window manager has activated it.
bool showActive(QWidget *window);

// Where the keys go now: the focus widget, else the active window.
QWidget *keyboardTarget();

// One key, pressed and released.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A key combination such as Ctrl+F or Alt+A.
void press(const QKeySequence &keys);
// Text typed key by key.
void type(const QString &text);

// The object name of the focus widget, "" when no widget has the focus.
QString focusName();

// Answers the next modal box (a message, an input box) with keys, once the
// window manager has made it the active window, as a clerk who waits for the
// box would. Call before the key that opens the box.
void answerNextBox(std::function<void()> keys);

} // namespace lexordo::test
