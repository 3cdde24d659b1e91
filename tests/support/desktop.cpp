#include "desktop.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace lexordo::test {

bool showActive(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

QWidget *keyboardTarget()
{
    if (QWidget *focus = QApplication::focusWidget())
        return focus;
    return QApplication::activeWindow();
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = keyboardTarget();
    if (!target)
        return; // no window of the program has the keyboard: the key is lost
    QTest::keyClick(target, key, modifiers);
}

void press(const QKeySequence &keys)
{
    for (int i = 0; i < keys.count(); ++i)
        press(keys[i].key(), keys[i].keyboardModifiers());
}

void type(const QString &text)
{
    for (const QChar c : text) {
        QWidget *target = keyboardTarget();
        if (!target)
            return;
        QTest::keyClick(target, c.toLatin1());
    }
}

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

void answerNextBox(std::function<void()> keys)
{
    // Polled: the box runs its own event loop, in which the timer goes on.
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, keys = std::move(keys)] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || !box->isActiveWindow())
            return;
        poll->stop();
        poll->deleteLater();
        keys();
    });
    poll->start();
}

} // namespace lexordo::test
