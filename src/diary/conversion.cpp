#include "conversion.h"

#include "diarystore.h"

#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/recordset.h>
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

QString notConvertedMessage(int due, const QString &reason)
{
    return QStringLiteral("%1 hearing(s) could not be converted, and none of them was stored:\n%2")
        .arg(due)
        .arg(reason);
}

Conversion convertHearings(RecordSet &hearings, const QDate &day)
{
    Conversion result;
    // The listings already on the day, as stored now.
    if (DiaryStore::countListedOn(day) > 0 && !askYesNo(QString::fromLatin1(duplicateQuestion))) {
        result.declined = true;
        return result;
    }
    if (hearings.rowCount() == 0)
        return result;
    try {
        const DiaryStore::Converted converted = DiaryStore::convertDay(day);
        result.added = converted.added;
        result.skipped = converted.due - converted.added;
    } catch (const DataError &e) {
        result.failed = hearings.rowCount();
        result.message = notConvertedMessage(result.failed, e.description());
    }
    return result;
}

} // namespace lexordo::diary
