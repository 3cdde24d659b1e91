#include "generator.h"

#include <data/database.h>
#include <data/dates.h>
#include <data/sqlquery.h>
#include <QRandomGenerator>
#include <QStringList>

namespace lexordo::bench {

namespace {

const QStringList courtNames = {
    "High Court Bench I",
    "High Court Bench II",
    "Sessions Judge",
    "Addl. Sessions Judge I",
    "Addl. Sessions Judge II",
    "District Judge",
    "Addl. District Judge I",
    "Addl. District Judge II",
    "Addl. District Judge III",
    "Civil Judge Sr. Division",
    "Civil Judge Jr. Division I",
    "Civil Judge Jr. Division II",
    "Chief Judicial Magistrate",
    "Judicial Magistrate I",
    "Judicial Magistrate II",
    "Judicial Magistrate III",
    "Family Court",
    "Motor Accident Claims Tribunal",
    "Consumer Forum",
    "Labour Court",
    "Rent Controller",
    "Revenue Court",
    "Debt Recovery Tribunal",
    "Special Judge (NDPS)",
    "Special Judge (CBI)",
    "Fast Track Court I",
    "Fast Track Court II",
    "Juvenile Justice Board",
    "Lok Adalat",
    "Industrial Tribunal",
    "Small Causes Court",
    "Commercial Court",
    "Land Acquisition Court",
    "Sub Registrar Court",
    "Tehsildar Court",
    "Collector Court",
    "Divisional Commissioner",
    "Company Law Board",
    "Human Rights Commission",
    "Arbitral Tribunal",
};

const QStringList givenNames = {
    "Ram",     "Sita",  "Mohan",  "Gita",   "Rajesh", "Sunita", "Anil",    "Kavita",   "Suresh",
    "Meena",   "Vijay", "Asha",   "Ramesh", "Usha",   "Arun",   "Neha",    "Deepak",   "Pooja",
    "Manoj",   "Rekha", "Sanjay", "Anita",  "Ashok",  "Seema",  "Prakash", "Lata",     "Harish",
    "Nirmala", "Gopal", "Savita", "Joseph", "Mary",   "Abdul",  "Fatima",  "Gurpreet", "Harjit",
};

const QStringList familyNames = {
    "Sharma", "Verma",  "Gupta",    "Singh",   "Kumar",   "Yadav",     "Mishra", "Pandey",
    "Joshi",  "Mehta",  "Shah",     "Patel",   "Reddy",   "Nair",      "Iyer",   "Das",
    "Bose",   "Ghosh",  "Khan",     "Qureshi", "D'Souza", "Fernandes", "Gill",   "Sandhu",
    "Chopra", "Kapoor", "Malhotra", "Agarwal", "Bansal",  "Saxena",    "Tiwari", "Dubey",
};

const QStringList institutions = {
    "State",
    "State of Punjab",
    "Union of India",
    "Municipal Corporation",
    "State Bank of India",
    "LIC of India",
    "Punjab National Bank",
    "Delhi Development Authority",
};

const QStringList purposes = {"hearing",           "evidence",         "arguments", "orders",
                              "framing of charge", "appearance",       "reply",     "rejoinder",
                              "judgment",          "misc. application"};

const QStringList caseTypes = {"CS", "CR", "CRA", "CWP", "RSA", "MACT", "HMA", "NACT", "CA", "EA"};

struct Holiday
{
    int month;
    int day;
    const char *name;
};

const Holiday fixedHolidays[] = {
    {1, 26, "Republic Day"},
    {3, 8, "Holi"},
    {4, 14, "Ambedkar Jayanti"},
    {5, 1, "Labour Day"},
    {8, 15, "Independence Day"},
    {10, 2, "Gandhi Jayanti"},
    {10, 24, "Dussehra"},
    {11, 12, "Diwali"},
    {11, 15, "Guru Nanak's Birthday"},
    {12, 25, "Christmas"},
    {4, 10, "Good Friday"},
    {6, 17, "Id-ul-Zuha"},
};

QString person(QRandomGenerator &random)
{
    return givenNames[random.bounded(int(givenNames.size()))] + u' ' +
           familyNames[random.bounded(int(familyNames.size()))];
}

template <typename T> const T &pick(QRandomGenerator &random, const QList<T> &list)
{
    return list[random.bounded(int(list.size()))];
}

// The next court working day on or after a date: courts do not sit on Sundays.
QDate workingDay(QDate date)
{
    if (dates::weekday(date) == 1)
        date = date.addDays(1);
    return date;
}

} // namespace

GeneratorStats generateDatabase(const QString &path, const GeneratorOptions &options)
{
    Database::createFile(path);
    Database::open(path);
    QRandomGenerator random(options.seed);
    GeneratorStats stats;

    Database::Transaction transaction;

    SqlQuery court(QStringLiteral("INSERT INTO courts (court, indexx) VALUES (?, ?)"));
    for (int i = 0; i < courtNames.size(); ++i) {
        court.reset();
        court.bindText(1, courtNames[i]);
        court.bindInt(2, i + 1);
        court.exec();
    }

    const QDate today = options.today;
    const QDate start = today.addYears(-options.years);
    SqlQuery holiday(QStringLiteral("INSERT INTO Holidays (Date, Holiday) VALUES (?, ?)"));
    for (int year = start.year(); year <= today.year() + 1; ++year) {
        for (const Holiday &h : fixedHolidays) {
            holiday.reset();
            holiday.bindText(1, dates::toIso(QDate(year, h.month, h.day)));
            holiday.bindText(2, QString::fromLatin1(h.name));
            holiday.exec();
            ++stats.holidays;
        }
    }

    // Hearings come in chains, one chain per case: each listing carries the
    // next date that became the following listing's current date.
    SqlQuery hearing(
        QStringLiteral("INSERT INTO advocate (cdate, remarks, pdate, Party1, Party2, caseno, "
                       "courtname, CourtIndex, fixedfor, ndate, fixedforN) VALUES "
                       "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    int dueToday = 0;
    int caseNumber = 0;
    const int span = int(start.daysTo(today));
    while (stats.hearings < options.hearings) {
        ++caseNumber;
        const int courtIndex = random.bounded(int(courtNames.size()));
        const QString party1 = random.bounded(4) == 0 ? pick(random, institutions) : person(random);
        const QString party2 = person(random);
        const int length = std::min(random.bounded(4, 18), options.hearings - stats.hearings);

        QDate cdate = workingDay(start.addDays(random.bounded(std::max(span, 1))));
        const QString caseNo = QStringLiteral("%1 %2/%3")
                                   .arg(pick(random, caseTypes))
                                   .arg(random.bounded(1, 999))
                                   .arg(cdate.year());
        QDate pdate;
        QString fixedFor = pick(random, purposes);
        for (int i = 0; i < length; ++i) {
            const bool last = i == length - 1;
            QDate ndate = workingDay(cdate.addDays(random.bounded(14, 60)));
            if (ndate == today)
                ndate = workingDay(today.addDays(1)); // only chosen hearings fall due today
            QString fixedForNext = pick(random, purposes);
            QString remarks;
            if (last) {
                if (dueToday < options.dueToday) {
                    ndate = today;
                    ++dueToday;
                } else if (random.bounded(5) == 0) {
                    remarks = QStringLiteral("decided");
                    ndate = QDate();
                    fixedForNext.clear();
                } else if (random.bounded(10) == 0) {
                    ndate = QDate(); // the next date was never entered
                    fixedForNext.clear();
                }
            } else {
                if (ndate > today && dueToday < options.dueToday) {
                    ndate = today;
                    ++dueToday;
                }
                if (random.bounded(12) == 0)
                    remarks = QStringLiteral("adjourned");
            }
            // Nothing is dated today yet: the register's first opening of the
            // day makes today's listings.
            if (cdate >= today)
                break;

            hearing.reset();
            hearing.bindText(1, dates::toIso(cdate));
            if (remarks.isEmpty())
                hearing.bindNull(2);
            else
                hearing.bindText(2, remarks);
            if (pdate.isValid())
                hearing.bindText(3, dates::toIso(pdate));
            else
                hearing.bindNull(3);
            hearing.bindText(4, party1);
            hearing.bindText(5, party2);
            hearing.bindText(6, caseNo);
            hearing.bindText(7, courtNames[courtIndex]);
            hearing.bindInt(8, courtIndex + 1);
            hearing.bindText(9, fixedFor);
            if (ndate.isValid())
                hearing.bindText(10, dates::toIso(ndate));
            else
                hearing.bindNull(10);
            if (fixedForNext.isEmpty())
                hearing.bindNull(11);
            else
                hearing.bindText(11, fixedForNext);
            hearing.exec();
            ++stats.hearings;
            if (ndate == today)
                ++stats.dueToday;

            if (!ndate.isValid() || ndate >= today)
                break;
            pdate = cdate;
            cdate = ndate;
            fixedFor = fixedForNext;
        }

        if (caseNumber % 10 == 0 && stats.clients < options.clients) {
            SqlQuery client(
                QStringLiteral("INSERT INTO Clients (ACname, Phoneno, MobileNumber, Email, "
                               "Adresss, CaseNo, Parties, US1, fileno, date) VALUES "
                               "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            const QString name = party2;
            client.bindText(1, name);
            client.bindText(2, QStringLiteral("0172-27%1").arg(random.bounded(10000, 99999)));
            client.bindText(3, QStringLiteral("98%1").arg(random.bounded(10000000, 99999999)));
            client.bindText(4, name.toLower().replace(u' ', u'.') + QStringLiteral("@example.in"));
            client.bindText(5, QStringLiteral("House %1, Sector %2, Chandigarh")
                                   .arg(random.bounded(1, 3000))
                                   .arg(random.bounded(1, 60)));
            client.bindText(6, caseNo);
            client.bindText(7, party1 + QStringLiteral(" Vs. ") + party2);
            client.bindText(8, QStringLiteral("Section %1 IPC").arg(random.bounded(100, 500)));
            client.bindText(9, QStringLiteral("F-%1").arg(caseNumber));
            client.bindText(10, dates::toIso(start.addDays(random.bounded(std::max(span, 1)))));
            client.exec();
            ++stats.clients;

            SqlQuery ledger(
                QStringLiteral("INSERT INTO AC_INFO (Name, TransDate, Part, \"Legal Fees\", "
                               "CourtFees, Misc, Received, Balance) VALUES "
                               "(?, ?, ?, ?, ?, ?, ?, ?)"));
            double balance = 0;
            for (int entry = 0; entry < options.ledgerPerClient; ++entry) {
                const double legal = 500.0 * random.bounded(1, 20);
                const double courtFees = 50.0 * random.bounded(0, 10);
                const double misc = 10.0 * random.bounded(0, 30);
                const double received = entry % 2 ? 1000.0 * random.bounded(0, 8) : 0.0;
                balance += legal + courtFees + misc - received;
                ledger.reset();
                ledger.bindText(1, name);
                ledger.bindText(2, dates::toIso(start.addDays(random.bounded(std::max(span, 1)))));
                ledger.bindText(3, entry % 2 ? QStringLiteral("fees received")
                                             : QStringLiteral("appearance and drafting"));
                ledger.bindDouble(4, legal);
                ledger.bindDouble(5, courtFees);
                ledger.bindDouble(6, misc);
                ledger.bindDouble(7, received);
                ledger.bindDouble(8, balance);
                ledger.exec();
                ++stats.ledgerRows;
            }
        }
    }
    transaction.commit();
    Database::exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    Database::exec(QStringLiteral("ANALYZE"));
    Database::close();
    return stats;
}

} // namespace lexordo::bench
