#pragma once

// Rows for the diary report tests, stored with bound values so that names
// with apostrophes go in as typed.

#include <optional>
#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
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

inline void exec(QSqlQuery &query)
{
    if (!query.exec())
        throw std::runtime_error(query.lastError().text().toStdString());
}

inline void addHearing(const Hearing &h)
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    query.prepare(QStringLiteral(
        "INSERT INTO advocate (cdate, remarks, pdate, Party1, Party2, caseno, courtname, "
        "CourtIndex, fixedfor, ndate, fixedforN) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    query.addBindValue(isoDate(h.cdate));
    query.addBindValue(h.remarks ? QVariant(*h.remarks) : QVariant());
    query.addBindValue(isoDate(h.pdate));
    query.addBindValue(h.party1);
    query.addBindValue(h.party2);
    query.addBindValue(h.caseno);
    query.addBindValue(h.court);
    query.addBindValue(h.index);
    query.addBindValue(h.fixedfor);
    query.addBindValue(isoDate(h.ndate));
    query.addBindValue(h.fixedforN.isEmpty() ? QVariant() : QVariant(h.fixedforN));
    exec(query);
}

inline void addHoliday(const QString &date, const QString &name)
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    query.prepare(QStringLiteral("INSERT INTO Holidays (Date, Holiday) VALUES (?, ?)"));
    query.addBindValue(isoDate(date));
    query.addBindValue(name);
    exec(query);
}

} // namespace lexordo::test
