// Opening and filtering the diary on a large database.
//
// The database comes from LEXORDO_BENCH_DB, or is generated once (200,000
// hearings) into a temporary folder.

#include "benchdatabase.h"

#include <benchmark/benchmark.h>
#include <data/database.h>
#include <data/recordset.h>

using namespace lexordo;

namespace {

const RecordSource diarySource =
    RecordSource::table(QStringLiteral("advocate")).orderBy(QStringLiteral("cdate, courtindex"));

void BM_OpenDiary(benchmark::State &state)
{
    bench::openBenchDatabase();
    int rows = 0;
    for (auto _ : state) {
        RecordSet diary(diarySource);
        rows = diary.rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenDiary)->Unit(benchmark::kMillisecond);

void BM_FilterOneDay(benchmark::State &state)
{
    bench::openBenchDatabase();
    RecordSet diary(diarySource);
    const QDate day = bench::benchToday().addDays(-7);
    int rows = 0;
    for (auto _ : state) {
        diary.setFilter(Filter(QStringLiteral("cdate"), Filter::Op::Equal, day));
        rows = diary.rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_FilterOneDay)->Unit(benchmark::kMillisecond);

void BM_FilterPartyContains(benchmark::State &state)
{
    bench::openBenchDatabase();
    RecordSet diary(diarySource);
    int rows = 0;
    for (auto _ : state) {
        diary.setFilter(
            Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("d'souza")));
        rows = diary.rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_FilterPartyContains)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
