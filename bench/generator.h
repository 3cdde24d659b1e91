#pragma once

#include <QDate>
#include <QString>

namespace lexordo::bench {

struct GeneratorOptions
{
    int hearings = 200000;
    QDate today = QDate(2026, 12, 7);
    int dueToday = 300; // hearings whose next date is today; no listing is dated today
    int years = 8;
    int clients = 3000;
    int ledgerPerClient = 6;
    quint32 seed = 20261207;
};

struct GeneratorStats
{
    int hearings = 0;
    int dueToday = 0;
    int holidays = 0;
    int clients = 0;
    int ledgerRows = 0;
};

// Writes a realistic diary database: courts with their running order,
// holidays, cases heard over the years with their next dates, clients and
// their fee ledgers. The file must not exist yet.
GeneratorStats generateDatabase(const QString &path, const GeneratorOptions &options);

} // namespace lexordo::bench
