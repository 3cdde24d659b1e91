#include "changewatch.h"

#include "database.h"
#include "dataerror.h"
#include "sqlquery.h"

namespace lexordo {

ChangeWatch::ChangeWatch(QObject *parent, int intervalMs) : QObject(parent)
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ChangeWatch::poll);
}

void ChangeWatch::start()
{
    poll();
    m_timer.start();
}

void ChangeWatch::poll()
{
    if (!Database::isOpen()) {
        m_known = false;
        return;
    }
    const QString diary =
        Database::isServer() ? QStringLiteral("server:") + Database::path() : Database::path();
    qint64 version = 0;
    try {
        // The whole cost of a tick when nothing changed: one question the
        // engine answers from its own state (a pragma on a file, the notices
        // already received on the server's connection), no row read.
        version = sql::dataVersion();
    } catch (const DataError &e) {
        if (!m_failed) {
            m_failed = true;
            emit pollFailed(e.description());
        }
        return;
    }
    m_failed = false;
    const bool changed = m_known && diary == m_diary && version != m_version;
    m_known = true;
    m_diary = diary;
    m_version = version;
    if (changed)
        emit changedElsewhere();
}

} // namespace lexordo
