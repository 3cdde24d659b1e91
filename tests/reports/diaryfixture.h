#pragma once

// Rows for the diary report tests, stored with bound values so that names
// with apostrophes go in as typed.

#include <data/sqlquery.h>
#include <optional>
#include <QDate>
#include <QString>
#include <QVariant>
#include <stdexcept>

namespace lexordo::test {

struct Hearing
{
    QString cdate{}; // "dd/MM/yyyy"
    QString party1{};
    QString party2 = QStringLiteral("State");
    QString court = QStringLiteral("District Court");
    int index = 2;
    QString caseno = QStringLiteral("CS 1/2026");
    QString ndate{};                  // empty: no next date
    std::optional<QString> remarks{}; // nothing: NULL
    QString pdate{};
    QString fixedfor = QStringLiteral("Evidence");
    QString fixedforN{};
};

inline QVariant isoDate(const QString &text)
{
    if (text.isEmpty())
        return QVariant();
    return QDate::fromString(text, QStringLiteral("dd/MM/yyyy")).toString(Qt::ISODate);
}

inline void addHearing(const Hearing &h)
{
    SqlQuery query(QStringLiteral(
        "INSERT INTO advocate (cdate, remarks, pdate, Party1, Party2, caseno, courtname, "
        "CourtIndex, fixedfor, ndate, fixedforN) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    query.bindAll({isoDate(h.cdate), h.remarks ? QVariant(*h.remarks) : QVariant(),
                   isoDate(h.pdate), h.party1, h.party2, h.caseno, h.court, h.index, h.fixedfor,
                   isoDate(h.ndate), h.fixedforN.isEmpty() ? QVariant() : QVariant(h.fixedforN)});
    query.exec();
}

inline void addHoliday(const QString &date, const QString &name)
{
    SqlQuery query(QStringLiteral("INSERT INTO Holidays (Date, Holiday) VALUES (?, ?)"));
    query.bindAll({isoDate(date), name});
    query.exec();
}

} // namespace lexordo::test
