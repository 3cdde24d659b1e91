#include "screenhost.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

namespace lexordo {

namespace {
ScreenHost *s_current = nullptr;
}

ScreenHost *ScreenHost::current()
{
    return s_current;
}

void ScreenHost::setCurrent(ScreenHost *host)
{
    s_current = host;
}

QWidget *ScreenHost::openScreen(const QString &, const QVariant &)
{
    return nullptr;
}

void closeScreen(QWidget *screen)
{
    if (!screen)
        return;
    if (auto *frame = qobject_cast<QMdiSubWindow *>(screen->parentWidget()))
        frame->close();
    else
        screen->close();
}

void showMaximizedInFront(QWidget *screen)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(screen->parentWidget())) {
        frame->showMaximized();
        if (QMdiArea *area = frame->mdiArea())
            area->setActiveSubWindow(frame);
        frame->raise();
    } else {
        screen->showMaximized();
        screen->raise();
        screen->activateWindow();
    }
}

} // namespace lexordo
