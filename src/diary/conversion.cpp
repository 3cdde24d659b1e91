#include "conversion.h"

#include "listing.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/recordset.h>

#include <QSet>
#include <QVariant>

namespace lexordo::diary {

QStringList datesWithoutNextDate(RecordSet &diary, const QDate &day)
{
    diary.setFilter(Filter(QStringLiteral("cdate"), Filter::Op::GreaterOrEqual, day.addDays(-30))
                        .andWhere(QStringLiteral("ndate"), Filter::Op::IsNull));
    QStringList found;
    const int cdate = diary.fieldIndex(QStringLiteral("cdate"));
    for (int row = 0; row < diary.rowCount(); ++row)
        found << diary.textAt(row, cdate);
    return found;
}

QString warningCaption(const QStringList &dates)
{
    QString caption = QStringLiteral("Next Date is not entered for Dates : ");
    for (const QString &date : dates)
        caption += u' ' + date;
    return caption;
}

void selectHearingsFixedFor(RecordSet &diary, const QDate &day)
{
    diary.requery();
    diary.setFilter(Filter(QStringLiteral("ndate"), Filter::Op::Equal, day));
}

Conversion convertHearings(RecordSet &hearings, const QDate &day)
{
    Conversion result;

    // The listings already on the day, as stored now: rows added by this
    // conversion are not looked at.
    RecordSet existing(QStringLiteral("select * from advocate where cdate = ?"), {day});
    if (existing.rowCount() > 0 && !askYesNo(QString::fromLatin1(duplicateQuestion))) {
        result.declined = true;
        return result;
    }
    QSet<QString> listed;
    const int casenoColumn = existing.fieldIndex(QStringLiteral("caseno"));
    for (int row = 0; row < existing.rowCount(); ++row)
        listed.insert(existing.textAt(row, casenoColumn).toCaseFolded());

    QList<Hearing> due;
    for (hearings.moveFirst(); !hearings.isEOF(); hearings.moveNext())
        due.append(readHearing(hearings));
    if (due.isEmpty())
        return result;

    Database::Transaction transaction;
    for (const Hearing &hearing : due) {
        const QString caseno = hearing.caseno.toString();
        if (!caseno.isEmpty() && listed.contains(caseno.toCaseFolded())) {
            ++result.skipped;
            continue;
        }
        try {
            appendListing(hearings, day, hearing);
            ++result.added;
        } catch (const DataError &e) {
            qWarning("conversion: %s", qPrintable(e.description()));
            ++result.failed;
            try {
                hearings.cancelUpdate();
            } catch (const DataError &) {
            }
        }
    }
    transaction.commit();
    return result;
}

} // namespace lexordo::diary
