#pragma once

#include <functional>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QLabel;

namespace lexordo {

class ChangeWatch;

// Follows, for one screen, what other desks write to the diary
// (changewatch.h). While the screen is free, what another desk wrote is read
// at once (`show`). While the clerk is in the middle of something (`busy`),
// nothing is read: `note` says that the diary changed, without taking the
// keyboard, and the rows are read once the screen is free again, at the next
// try or when the screen calls catchUp().
class ChangeFollower : public QObject
{
    Q_OBJECT

public:
    ChangeFollower(QObject *parent, QLabel *note, std::function<bool()> busy,
                   std::function<void()> show);

    // What a screen shows while another desk's changes wait for the row
    // being edited.
    static inline const QString noteText =
        QStringLiteral("The diary was changed at another desk; the changes show after Save.");

    // True while changes heard are not yet read.
    bool isWaiting() const { return m_waiting; }
    // Reads what waits, unless the screen is still busy.
    void catchUp();

private:
    ChangeWatch *m_watch;
    QPointer<QLabel> m_note;
    QTimer m_later;
    std::function<bool()> m_busy;
    std::function<void()> m_show;
    bool m_waiting = false; // heard, not yet read
    bool m_failed = false;  // told; not told again until a read succeeds
};

} // namespace lexordo
