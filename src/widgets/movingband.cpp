#include "movingband.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace lexordo {

MovingBand::MovingBand(QWidget *screen, QWidget *band, QWidget *block)
    : QObject(screen), m_screen(screen), m_band(band), m_block(block), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(intervalMs);
    // The system may gather its wake-ups with others'.
    m_timer->setTimerType(Qt::CoarseTimer);
    connect(m_timer, &QTimer::timeout, this, &MovingBand::step);
    screen->installEventFilter(this);
    // Another program's window coming to the front.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &MovingBand::runOrStand);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &MovingBand::runOrStand);
    place();
}

void MovingBand::place()
{
    if (!m_band || !m_block)
        return;
    m_band->setGeometry(0, 0, m_screen->width(), m_band->height());
    const int x = m_left * m_screen->logicalDpiX() / 1440;
    m_block->move(x, m_block->y());
}

void MovingBand::step()
{
    m_left -= stepTwips;
    if (m_left <= endTwips)
        m_left = restartTwips;
    place();
}

// The child window that frames the screen, and the main window, are known
// once the screen is shown in them.
void MovingBand::watchFrame()
{
    auto *frame = qobject_cast<QMdiSubWindow *>(m_screen->parentWidget());
    if (frame != m_frame) {
        if (m_frame)
            m_frame->removeEventFilter(this);
        m_frame = frame;
        if (frame) {
            frame->installEventFilter(this);
            if (QMdiArea *area = frame->mdiArea())
                connect(area, &QMdiArea::subWindowActivated, this, &MovingBand::runOrStand,
                        Qt::UniqueConnection);
        }
    }
    QWidget *top = m_screen->window();
    if (top != m_topLevel) {
        if (m_topLevel && m_topLevel != m_screen)
            m_topLevel->removeEventFilter(this);
        m_topLevel = top;
        if (top != m_screen)
            top->installEventFilter(this);
    }
}

bool MovingBand::seen() const
{
    if (!m_screen->isVisible())
        return false;
    const QWidget *top = m_screen->window();
    if (top->isMinimized() || !top->isActiveWindow())
        return false;
    if (m_frame) {
        if (m_frame->isMinimized())
            return false;
        if (const QMdiArea *area = m_frame->mdiArea(); area && area->activeSubWindow() != m_frame)
            return false;
    }
    return true;
}

void MovingBand::runOrStand()
{
    if (seen()) {
        if (!m_timer->isActive()) {
            place();
            m_timer->start();
        }
    } else {
        m_timer->stop();
    }
}

bool MovingBand::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        if (watched == m_screen)
            watchFrame();
        runOrStand();
        break;
    case QEvent::Resize:
        if (watched == m_screen)
            place();
        break;
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::ActivationChange:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        // Decided once the change is complete.
        QMetaObject::invokeMethod(this, &MovingBand::runOrStand, Qt::QueuedConnection);
        if (event->type() == QEvent::Hide && watched == m_screen)
            m_timer->stop();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lexordo
