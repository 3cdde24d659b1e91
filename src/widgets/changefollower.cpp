#include "changefollower.h"

#include "guard.h"

#include <data/changewatch.h>
#include <data/messenger.h>
#include <optional>
#include <QLabel>
#include <utility>

namespace lexordo {

ChangeFollower::ChangeFollower(QObject *parent, QLabel *note, std::function<bool()> busy,
                               std::function<void()> show)
    : QObject(parent), m_watch(new ChangeWatch(this)), m_note(note), m_busy(std::move(busy)),
      m_show(std::move(show))
{
    if (m_note)
        m_note->hide();
    m_later.setInterval(ChangeWatch::defaultInterval);
    connect(&m_later, &QTimer::timeout, this, &ChangeFollower::catchUp);
    connect(m_watch, &ChangeWatch::changedElsewhere, this, [this] {
        m_waiting = true;
        catchUp();
    });
    // Told once per failure, from the event loop, like a grid's read failure.
    connect(
        m_watch, &ChangeWatch::pollFailed, this,
        [](const QString &description) { showMessage(description); }, Qt::QueuedConnection);
    m_watch->start();
}

void ChangeFollower::catchUp()
{
    if (!m_waiting)
        return;
    if (m_busy()) {
        // A line on the screen, not a box: typing goes on where it was.
        if (m_note && m_note->isHidden()) {
            m_note->setText(noteText);
            m_note->show();
        }
        m_later.start();
        return;
    }
    m_waiting = false;
    m_later.stop();
    if (m_note)
        m_note->hide();
    const std::optional<QString> failure = failureOf(m_show);
    // Not a user's action: a read that keeps failing is told once, not at
    // every change another desk makes.
    if (failure && !m_failed)
        showMessage(*failure);
    m_failed = failure.has_value();
}

} // namespace lexordo
