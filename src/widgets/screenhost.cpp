#include "screenhost.h"

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

} // namespace lexordo
