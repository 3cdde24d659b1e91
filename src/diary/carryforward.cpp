#include "carryforward.h"

#include "listing.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/recordset.h>

#include <QList>
#include <QVariant>

namespace lexordo::diary {

namespace {

const QString cdateColumn = QStringLiteral("cdate");

// Runs one step; a step that fails is skipped and the next one runs.
template <typename Step> bool attempt(Step step)
{
    try {
        step();
        return true;
    } catch (const DataError &e) {
        qWarning("carry-forward: %s", qPrintable(e.description()));
        return false;
    }
}

} // namespace

CarryForward carryForward(RecordSet &diary, RecordSet &check, const QDate &today)
{
    CarryForward result;

    bool listedToday = false;
    attempt([&] {
        diary.setFilter(Filter(cdateColumn, Filter::Op::Equal, today));
        listedToday = diary.rowCount() > 0;
    });
    if (listedToday) {
        result.outcome = CarryForward::Outcome::AlreadyListed;
        attempt([&] { diary.moveLast(); });
        return result;
    }

    bool askFirst = false;
    attempt([&] {
        check.setFilter(Filter(cdateColumn, Filter::Op::Equal, today));
        askFirst = check.rowCount() > 0;
    });
    if (askFirst && !askYesNo(QString::fromLatin1(alreadyExistQuestion))) {
        result.outcome = CarryForward::Outcome::Declined;
        return result;
    }

    QList<Hearing> due;
    attempt([&] {
        diary.setFilter(Filter(QStringLiteral("ndate"), Filter::Op::Equal, today));
        due.reserve(diary.rowCount());
        for (diary.moveFirst(); !diary.isEOF(); diary.moveNext())
            due.append(readHearing(diary));
    });

    if (!due.isEmpty()) {
        std::unique_ptr<Database::Transaction> transaction;
        attempt([&] { transaction = std::make_unique<Database::Transaction>(); });
        for (const Hearing &hearing : due) {
            const bool stored = attempt([&] { appendListing(diary, today, hearing); });
            if (stored) {
                ++result.added;
            } else {
                ++result.failed;
                attempt([&] { diary.cancelUpdate(); });
            }
        }
        if (transaction && !attempt([&] { transaction->commit(); })) {
            // Nothing of today's rows reached the file: the next opening repeats it.
            result.failed += result.added;
            result.added = 0;
            transaction.reset();
            attempt([&] { diary.requery(); });
        }
    }

    // Back to the whole diary in its order, at the last row: the newest
    // listings, today's, are shown.
    attempt([&] {
        diary.clearFilter();
        if (result.added > 0)
            diary.setSort(QStringLiteral("cdate, courtindex"));
        diary.moveLast();
    });
    result.outcome = CarryForward::Outcome::CarriedForward;
    return result;
}

} // namespace lexordo::diary
