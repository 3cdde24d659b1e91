#pragma once

#include "causeliststore.h"
#include "courtlistmatch.h"
#include "courtlistreader.h"

#include <data/dataenvironment.h>
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

namespace lexordo::courtlist {

// One matter of the check.
struct CheckRow
{
    enum class Status {
        NotInDiary, // listed by the court, not in the diary for the day: the danger
        Listed,     // listed by the court and in the diary
        NotListed,  // in the diary for the day, not found in the court's list
    };
    Status status = Status::Listed;
    QString item;    // the court's item number, or empty
    QString hall;    // the court hall, or empty
    QString printed; // the number as the court prints it
    QString beside;  // what the court prints after it
    QString warning; // the parties printed are plainly not the diary's
    CauseListStore::DiaryCase diaryCase;
    // As the diary has them: the day's listing when there is one, else the
    // case's latest listing.
    QString caseNo;
    QString party1;
    QString party2;
    QString court;
    QDate diaryDate; // the day; for a matter not in the diary, its own next date
};

// Where the court calls each case its list has, by normalised number:
// "Item 41, Hall 3", as much as the list prints, "Listed" when neither.
using CourtPlaces = QHash<QString, QString>;

struct CheckResult
{
    QDate day;
    ListText::Kind kind = ListText::Kind::Text;
    int pages = 0;
    int casesLookedFor = 0;     // the diary's case numbers the list was read for
    QList<CheckRow> notInDiary; // in the order of the court's list
    QList<CheckRow> listed;     // in the order of the court's list
    QList<CheckRow> notListed;  // in the diary's running order of courts
    CourtPlaces places;         // of every case looked for that the list has
};

// Reads the list and checks it against the open diary. Throws DataError
// naming the file, or with the diary's fault.
CheckResult checkListFile(const QDate &day, const QString &path);
// The same on a list's text already read.
CheckResult checkListText(const QDate &day, const ListText &list);

// The places of the listings; a case listed twice is called at its first item.
CourtPlaces placesOf(const std::vector<Listing> &listings);
// The hearings with the column "courtitem": the court's place of each
// hearing whose case the places name, else empty.
ResultTable withCourtItems(const ResultTable &hearings, const CourtPlaces &places);

// "not-in-diary", "listed", "not-listed".
QString statusWord(CheckRow::Status status);

// The three groups as CSV, with the columns
// status,item,hall,caseno,party1,party2,diary_date.
QByteArray csvOf(const CheckResult &result);
// The three groups as lines of text, for a terminal or a mail from cron.
QString textOf(const CheckResult &result);

} // namespace lexordo::courtlist
