#pragma once

#include <QDate>
#include <QString>

namespace lexordo::bench {

// Opens the benchmark database as the program's connection: LEXORDO_BENCH_DB
// if set, else one generated once per run with 200,000 hearings.
void openBenchDatabase();
QString benchDatabasePath();
QDate benchToday();

} // namespace lexordo::bench
