#pragma once

#include <functional>
#include <optional>
#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

namespace lexordo {

// The diary's statements, in one place and without widgets: carrying hearings
// forward, converting a day, refilling the report work table, and the small
// look-ups of the case register. Every value is bound; every failure is a
// DataError with the database's description, and a write that fails keeps
// nothing of itself.
class DiaryStore
{
public:
    enum class Carry {
        Carried,      // every hearing due had its listing made (possibly none)
        AlreadyListed // the diary had listings on the day: nothing was made
    };
    struct CarryResult
    {
        Carry outcome = Carry::Carried;
        int added = 0;
    };

    // Makes, for every hearing whose next date is `day`, its listing dated
    // `day`, in one transaction that takes the write lock first: the test
    // for listings already on the day and the copies are one unit, so two
    // copies of the program never both carry a day forward. With
    // `evenIfListed` the day is carried although it has listings (the user
    // was asked); even then a hearing whose case number and parties are
    // listed on the day already gets no second listing. Throws DataError,
    // with nothing stored, when the lock cannot be had or the copy or its
    // commit fails.
    static CarryResult carryForward(const QDate &day, bool evenIfListed = false);

    // The copy alone, one INSERT ... SELECT, of the hearings due whose case
    // number and parties have no listing on the day; refuses to run outside
    // a transaction. Returns the listings made.
    static int insertListingsDueOn(const QDate &day);

    // The manual conversion of a day: a listing dated `day` for every
    // hearing fixed for it whose case number (or, without one, whose
    // parties) has no listing on the day yet (as stored before the
    // conversion). In one transaction.
    struct Converted
    {
        int due = 0;   // hearings fixed for the day
        int added = 0; // listings made; the others' cases were listed already
    };
    static Converted convertDay(const QDate &day);

    static int countListedOn(const QDate &day);
    static int countDueOn(const QDate &day);
    // The number of hearings in the diary.
    static int countHearings();
    // The number of different cases (case number and first party).
    static int countCases();
    // True when the diary keeps both numbers, so that they cost nothing to read.
    static bool casesAreKept();
    // The same, counted on a connection of its own in another thread, so
    // that a large diary keeps the screen answering; `done` or `failed` (with
    // the error's description) then runs in `context`'s thread, unless
    // `context` is gone by then.
    static void countCasesInBackground(QObject *context, std::function<void(int)> done,
                                       std::function<void(const QString &)> failed);

    // The running-order index of a court named as typed (letter case
    // ignored); nothing when no court has that name.
    static std::optional<QVariant> courtIndex(const QString &court);
    // The first holiday entered for a day, or nothing.
    static std::optional<QString> holidayOn(const QDate &day);

    // Empties the work table tmpAdvocate and copies into it the hearings whose
    // current date lies between the two days; with `withoutNextDateOnly` only
    // those without a next date, and their next date and next fixed-for text
    // left empty. Two statements; refuses to run outside a transaction, so
    // that the caller reads the work table in the same transaction and no
    // other run can refill it in between. Returns the rows copied.
    static int refillWorkTable(const QDate &from, const QDate &to, bool withoutNextDateOnly);

    // The first day after `day` on which the courts sit: not a Sunday and not
    // in the holidays register.
    static QDate nextWorkingDay(const QDate &day);

    // Hearings whose next date has passed without a listing on or after that
    // date: the diary was not opened that day (the office was closed, the
    // clerk away), so nothing carried them forward. Only the days since the
    // diary was last used (its latest listing before today) are looked at, so
    // each absence is found once.
    struct MissedHearings
    {
        int count = 0;
        QList<QDate> dates; // their next dates, each once, earliest first
    };
    // The hearings with a next date after that day and before `today` whose
    // case (case number and first party) has no later listing.
    static MissedHearings missedHearings(const QDate &today);
    // Lists every one of those hearings on `today`, as the carry-forward does
    // (the old current date becomes the previous date, the next fixed-for text
    // what it is fixed for): one statement in one transaction, all or none.
    // Returns the listings made.
    static int listMissedHearings(const QDate &today);
};

} // namespace lexordo
