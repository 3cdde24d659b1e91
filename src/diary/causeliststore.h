#pragma once

#include <optional>
#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace lexordo {

// The diary's side of checking a court's list: the cases it looks for and
// the one write that puts a listed matter in the diary. Every value bound.
class CauseListStore
{
public:
    // One hearing as read, with the raw values that name it again for a write.
    struct Hearing
    {
        qint64 row = 0;
        QVariant cdate; // as stored (ISO text or nothing)
        QVariant ndate;
        QVariant caseNo;
        QVariant party1;
        QString party2;
        QString court;
        QVariant courtIndex;
        QString fixedForNext;

        QDate currentDate() const;
        QDate nextDate() const;
    };

    // A case of the diary by its normalised number.
    struct DiaryCase
    {
        QString key;
        Hearing last;                 // its latest listing
        std::optional<Hearing> onDay; // its listing dated the day, or fixed for it
        QDate nextDate;               // its next hearing after the day; else its last next date
    };

    // The diary's case numbers by their normalised key, each with the
    // spellings the diary holds it by (letter case aside). Numbers without
    // type letters or a four-digit year cannot be looked for and are left out.
    using CaseNumbers = QHash<QString, QStringList>;
    static CaseNumbers caseNumbers();

    // Of the cases `keys` names, and of every case with a hearing on the day,
    // those with a hearing (a listing or a next date) on or after the day, or
    // within the twelve months before it: the cases the office may still be
    // called in. Keyed by their normalised number; `numbers` is caseNumbers().
    static QHash<QString, DiaryCase> casesAround(const QDate &day, const CaseNumbers &numbers,
                                                 const QSet<QString> &keys);

    enum class Added {
        Listed,     // a listing dated the day was made
        FixedForDay // its latest listing got the day as next date
    };
    // How addToDay() will put the case in the diary, so the question can say it.
    static Added howToAdd(const DiaryCase &diaryCase, const QDate &day);
    // Puts the case in the diary for the day: when the day already has its
    // listings, a listing of its own (court, parties, case number from its
    // latest listing, which becomes its previous date); otherwise its latest
    // listing gets the day as next date, so that the day's carry-forward
    // lists it with the others (a listing made now would stop that
    // carry-forward). The latest listing must still be as it was read; a row
    // changed at another desk is left alone with a DataError.
    static Added addToDay(const DiaryCase &diaryCase, const QDate &day);
};

} // namespace lexordo
