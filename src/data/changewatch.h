#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace lexordo {

// Hears that another desk wrote to the open diary. It asks the database every
// interval whether anyone but this program's connection has written since the
// last time (sql::dataVersion(): a file's own count of other connections'
// commits, or the server's change notices of other connections), so the
// program's own writes are never heard. A burst of writes between two asks is
// heard once. A diary closed, or another one opened, starts afresh: what
// differs from the diary heard before is no change.
class ChangeWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultInterval = 500; // ms; well within the two seconds a desk waits

    explicit ChangeWatch(QObject *parent = nullptr, int intervalMs = defaultInterval);

    // Takes the diary as it stands now as what later asks compare with, and
    // asks every interval from then on. Connect first: a failure is sent here.
    void start();
    // Asks once now, as each tick does.
    void poll();

signals:
    void changedElsewhere();
    // The diary could not be asked. Sent once, at the first failure, until an
    // ask succeeds again: a failure that lasts raises no message each tick.
    void pollFailed(const QString &description);

private:
    QTimer m_timer;
    bool m_known = false; // m_version holds the count of the diary named m_diary
    QString m_diary;
    qint64 m_version = 0;
    bool m_failed = false;
};

} // namespace lexordo
