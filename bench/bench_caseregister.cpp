// The case register on a large database: opening it on a day when hearings
// fall due (the carry-forward included), and the searches' filters on its
// diary with the grid and fields following.
//
// The register widget is made offscreen. Opening writes today's rows, so
// every run works on a fresh copy of the benchmark database.

#include "benchdatabase.h"
#include "benchmain.h"

#include <benchmark/benchmark.h>
#include <data/clock.h>
#include <data/database.h>
#include <data/recordset.h>
#include <data/schemacheck.h>
#include <diary/caseregister.h>
#include <diary/diarystore.h>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace lexordo;

namespace {

// A fresh copy of the benchmark database, opened as the program's connection.
class DatabaseCopy
{
public:
    DatabaseCopy() : m_path(m_dir.filePath(QStringLiteral("advocate_v2.mdb"))) {}

    void open()
    {
        if (Database::isOpen())
            Database::close();
        const QString source = bench::benchDatabasePath();
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(m_path + suffix);
        QFile::copy(source, m_path);
        if (QFile::exists(source + QStringLiteral("-wal")))
            QFile::copy(source + QStringLiteral("-wal"), m_path + QStringLiteral("-wal"));
        SchemaCheck::openDiary(m_path);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

std::unique_ptr<CaseRegister> openRegister()
{
    auto screen = std::make_unique<CaseRegister>();
    screen->resize(1200, 800);
    screen->show();
    QCoreApplication::processEvents(); // laid out and painted once
    return screen;
}

void BM_OpenCaseRegister(benchmark::State &state)
{
    Clock::setToday(bench::benchToday());
    DatabaseCopy copy;
    int rows = 0;
    int carried = 0;
    for (auto _ : state) {
        state.PauseTiming();
        copy.open();
        state.ResumeTiming();

        std::unique_ptr<CaseRegister> screen = openRegister();

        state.PauseTiming();
        // The register shows everything it counts when it opens: nothing is
        // left to run after it.
        const auto *total = screen->findChild<QLineEdit *>(QStringLiteral("txtTotal"));
        if (!total || total->text().isEmpty()) {
            state.SkipWithError("the number of cases was not shown on opening");
            break;
        }
        rows = screen->recordSet()->rowCount();
        RecordSet today(
            RecordSource::table(QStringLiteral("advocate"))
                .where(Filter(QStringLiteral("cdate"), Filter::Op::Equal, bench::benchToday())));
        carried = today.rowCount();
        screen.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["carried"] = carried;
}
BENCHMARK(BM_OpenCaseRegister)->Unit(benchmark::kMillisecond)->Iterations(5);

// Finding the hearings whose next date passed while the diary was not opened,
// as the register does on the day's first opening.
void BM_MissedHearings(benchmark::State &state)
{
    DatabaseCopy copy;
    copy.open();
    int missed = 0;
    for (auto _ : state)
        missed = DiaryStore::missedHearings(bench::benchToday()).count;
    state.counters["missed"] = missed;
}
BENCHMARK(BM_MissedHearings)->Unit(benchmark::kMillisecond);

// One register for the searches, opened once on its own copy; it closes
// before the application ends.
struct SearchRegister
{
    std::unique_ptr<DatabaseCopy> copy;
    std::unique_ptr<CaseRegister> screen;
};
SearchRegister s_searchRegister;

CaseRegister &registerForSearches()
{
    if (!s_searchRegister.screen) {
        Clock::setToday(bench::benchToday());
        s_searchRegister.copy = std::make_unique<DatabaseCopy>();
        s_searchRegister.copy->open();
        s_searchRegister.screen = openRegister();
    }
    return *s_searchRegister.screen;
}

void searchBenchmark(benchmark::State &state, const Filter &filter)
{
    CaseRegister &screen = registerForSearches();
    RecordSet *diary = screen.diary();
    int rows = 0;
    for (auto _ : state) {
        // As the search screen does: re-read with the filter.
        diary->requery(filter);
        QCoreApplication::processEvents();
        rows = diary->rowCount();
    }
    diary->clearFilter();
    state.counters["rows"] = rows;
}

void BM_SearchNextDate(benchmark::State &state)
{
    searchBenchmark(
        state, Filter(QStringLiteral("ndate"), Filter::Op::Equal, bench::benchToday().addDays(7)));
}
BENCHMARK(BM_SearchNextDate)->Unit(benchmark::kMillisecond);

void BM_SearchCurrentDate(benchmark::State &state)
{
    searchBenchmark(
        state, Filter(QStringLiteral("cdate"), Filter::Op::Equal, bench::benchToday().addDays(-7)));
}
BENCHMARK(BM_SearchCurrentDate)->Unit(benchmark::kMillisecond);

void BM_SearchPartyContains(benchmark::State &state)
{
    searchBenchmark(
        state, Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("d'souza")));
}
BENCHMARK(BM_SearchPartyContains)->Unit(benchmark::kMillisecond);

// One party, as a clerk looks up a client: part of the name in other case.
void BM_SearchOnePartyContains(benchmark::State &state)
{
    searchBenchmark(
        state, Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("ram d'sou")));
}
BENCHMARK(BM_SearchOnePartyContains)->Unit(benchmark::kMillisecond);

void BM_SearchCaseNumber(benchmark::State &state)
{
    // A case number as the clerk types it, in other letter case.
    const QString caseno =
        registerForSearches().recordSet()->text(QStringLiteral("caseno")).toLower();
    searchBenchmark(state, Filter(QStringLiteral("caseno"), Filter::Op::Equal, caseno));
}
BENCHMARK(BM_SearchCaseNumber)->Unit(benchmark::kMillisecond);

// A search right after an edit was stored, as the clerk types a remark on
// one hearing and then looks for the next.
void BM_SearchAfterStoredEdit(benchmark::State &state)
{
    CaseRegister &screen = registerForSearches();
    RecordSet *diary = screen.diary();
    const Filter filter(QStringLiteral("ndate"), Filter::Op::Equal, bench::benchToday().addDays(7));
    int rows = 0;
    int edit = 0;
    for (auto _ : state) {
        diary->moveLast();
        diary->setValue(QStringLiteral("remarks"), QStringLiteral("heard %1").arg(++edit));
        diary->update();
        diary->requery(filter);
        QCoreApplication::processEvents();
        rows = diary->rowCount();
    }
    diary->clearFilter();
    state.counters["rows"] = rows;
}
BENCHMARK(BM_SearchAfterStoredEdit)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runWithApplication(argc, argv, [] {
        s_searchRegister.screen.reset();
        Database::close();
        s_searchRegister.copy.reset();
    });
}
