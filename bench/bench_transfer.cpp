// The whole diary to a CSV file and back, and a month and a year of hearings
// to an iCalendar file, on a large database (LEXORDO_BENCH_DB, or 200,000
// generated hearings).

#include "benchdatabase.h"

#include <benchmark/benchmark.h>
#include <data/hearingcalendar.h>
#include <data/tabletransfer.h>
#include <QTemporaryDir>

using namespace lexordo;

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

void BM_ExportDiaryCsv(benchmark::State &state)
{
    bench::openBenchDatabase();
    const QString file = folder().filePath(QStringLiteral("diary.csv"));
    int rows = 0;
    for (auto _ : state) {
        rows = TableTransfer::exportCsv(QStringLiteral("advocate"), file);
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ExportDiaryCsv)->Unit(benchmark::kMillisecond);

// Checks and stores the rows one at a time in one transaction (into the work
// table, which has the diary's columns, so the diary stays as generated).
void BM_ImportDiaryCsv(benchmark::State &state)
{
    bench::openBenchDatabase();
    const QString file = folder().filePath(QStringLiteral("diary.csv"));
    TableTransfer::exportCsv(QStringLiteral("advocate"), file);
    int rows = 0;
    for (auto _ : state) {
        rows = TableTransfer::importCsv(QStringLiteral("tmpAdvocate"), file, true);
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ImportDiaryCsv)->Unit(benchmark::kMillisecond);

void BM_MonthToCalendar(benchmark::State &state)
{
    bench::openBenchDatabase();
    const QDate today = bench::benchToday();
    int events = 0;
    for (auto _ : state) {
        const QByteArray text = HearingCalendar::calendarText(today, today.addDays(30), &events);
        benchmark::DoNotOptimize(text.size());
    }
    state.counters["events"] = events;
}
BENCHMARK(BM_MonthToCalendar)->Unit(benchmark::kMillisecond);

// The year of the generated diary's today to a file, as `export ics` writes it.
void BM_YearToCalendarFile(benchmark::State &state)
{
    bench::openBenchDatabase();
    const int year = bench::benchToday().year();
    const QString file = folder().filePath(QStringLiteral("year.ics"));
    int events = 0;
    for (auto _ : state) {
        events = HearingCalendar::exportIcs(QDate(year, 1, 1), QDate(year, 12, 31), file);
        benchmark::DoNotOptimize(events);
    }
    state.counters["events"] = events;
    state.counters["s/event"] =
        benchmark::Counter(double(events) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_YearToCalendarFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
