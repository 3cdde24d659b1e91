#include "listing.h"

#include <data/recordset.h>

namespace lexordo::diary {

Hearing readHearing(const RecordSet &diary)
{
    return Hearing{diary.value(QStringLiteral("cdate")),     diary.value(QStringLiteral("courtname")),
                   diary.value(QStringLiteral("CourtIndex")), diary.value(QStringLiteral("caseno")),
                   diary.value(QStringLiteral("Party1")),    diary.value(QStringLiteral("Party2")),
                   diary.value(QStringLiteral("fixedforN"))};
}

void appendListing(RecordSet &diary, const QDate &day, const Hearing &hearing)
{
    diary.addNew();
    diary.setValue(QStringLiteral("cdate"), day);
    diary.setValue(QStringLiteral("pdate"), hearing.cdate);
    diary.setValue(QStringLiteral("courtname"), hearing.courtname);
    diary.setValue(QStringLiteral("CourtIndex"), hearing.courtIndex);
    diary.setValue(QStringLiteral("caseno"), hearing.caseno);
    diary.setValue(QStringLiteral("Party1"), hearing.party1);
    diary.setValue(QStringLiteral("Party2"), hearing.party2);
    diary.setValue(QStringLiteral("fixedfor"), hearing.fixedforN);
    diary.update();
}

} // namespace lexordo::diary
