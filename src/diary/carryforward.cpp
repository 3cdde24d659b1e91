#include "carryforward.h"

#include "diarystore.h"

#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/recordset.h>

namespace lexordo::diary {

namespace {

const QString cdateColumn = QStringLiteral("cdate");

// Adds a failure to what the user is told, after those met before.
void tell(CarryForward &result, const QString &text)
{
    result.message += result.message.isEmpty() ? text : u'\n' + text;
}

// Shows the whole diary in its order at the last row, where today's
// listings are.
void showWholeDiary(RecordSet &diary, CarryForward &result)
{
    try {
        diary.clearFilter();
        diary.moveLast();
    } catch (const DataError &e) {
        tell(result, e.description());
    }
}

} // namespace

QString notCarriedMessage(int due, const QString &reason)
{
    const QString count = due < 0 ? QStringLiteral("The hearings") : QString::number(due);
    return QStringLiteral("%1 hearing(s) due today could not be carried forward, and none of "
                          "them was stored:\n%2\nClose the Cases Entry screen and open it again "
                          "to try again.")
        .arg(count, reason);
}

CarryForward carryForward(RecordSet &diary, const QDate &today)
{
    QString unread;
    try {
        diary.setFilter(Filter(cdateColumn, Filter::Op::Equal, today));
        if (diary.rowCount() > 0) {
            CarryForward result;
            result.outcome = CarryForward::Outcome::AlreadyListed;
            diary.moveLast();
            return result;
        }
    } catch (const DataError &e) {
        // The store tells again, in the write lock, whether today is listed.
        unread = e.description();
    }
    CarryForward result = carryForwardUnlisted(diary, today);
    if (!unread.isEmpty())
        result.message = result.message.isEmpty() ? unread : unread + u'\n' + result.message;
    return result;
}

CarryForward carryForwardUnlisted(RecordSet &diary, const QDate &today)
{
    CarryForward result;
    try {
        DiaryStore::CarryResult carried = DiaryStore::carryForward(today);
        if (carried.outcome == DiaryStore::Carry::AlreadyListed) {
            // Enter, pressed from habit, must not carry the day a second time.
            if (!askYesNo(QString::fromLatin1(alreadyExistQuestion), Messenger::Icon::None,
                          Messenger::Default::Cautious)) {
                result.outcome = CarryForward::Outcome::Declined;
                return result;
            }
            carried = DiaryStore::carryForward(today, true);
        }
        result.added = carried.added;
        result.outcome = CarryForward::Outcome::CarriedForward;
    } catch (const DataError &e) {
        result.outcome = CarryForward::Outcome::Failed;
        QString reason = e.description();
        try {
            result.failed = DiaryStore::countDueOn(today);
        } catch (const DataError &count) {
            result.failed = -1;
            reason += u'\n' + count.description();
        }
        tell(result, notCarriedMessage(result.failed, reason));
    }
    showWholeDiary(diary, result);
    return result;
}

} // namespace lexordo::diary
