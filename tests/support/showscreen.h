#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace lexordo::test {

// Shows a screen and waits until it is the active window, as the clerk finds
// it. Made active by the test, so that it needs no window manager; a screen
// that never becomes active ends the test run, as nothing after would mean much.
inline void showScreen(QWidget *screen)
{
    screen->show();
    QApplication::setActiveWindow(screen);
    if (!QTest::qWaitForWindowActive(screen))
        qFatal("%s did not become active", qPrintable(screen->objectName()));
}

} // namespace lexordo::test
