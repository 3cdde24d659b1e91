// The diary's daily work on one engine, for setting the server beside the
// file on the same diary: the register opened on a day with hearings due
// (the carry-forward included), opened again that day, the carry-forward
// alone, the register's searches, and five desks (five processes) searching
// and saving at once.
//
// LEXORDO_BENCH_ENGINE=server works on the server database the data source
// "advocate" names ($ODBCINI); otherwise on a copy of LEXORDO_BENCH_DB (or of
// a generated diary). Today's carried rows are removed between runs, so that
// each opening carries the day forward again.

#include "benchdatabase.h"
#include "benchmain.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/recordset.h>
#include <data/schemacheck.h>
#include <data/sqlquery.h>
#include <diary/caseregister.h>
#include <diary/diarystore.h>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <string>
#include <vector>

using namespace lexordo;

namespace {

constexpr int desks = 5;
const QString diaryOrder = QStringLiteral("cdate, courtindex");

bool onServer()
{
    return qEnvironmentVariable("LEXORDO_BENCH_ENGINE") == QStringLiteral("server");
}

// The file the desks share: a copy of the benchmark diary, made once.
QString fileCopy()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("advocate_v2.mdb"));
        const QString source = bench::benchDatabasePath();
        QFile::copy(source, path);
        if (QFile::exists(source + QStringLiteral("-wal")))
            QFile::copy(source + QStringLiteral("-wal"), path + QStringLiteral("-wal"));
    }
    return path;
}

// Opens the diary of this run on `file`, or on the server when empty.
void openDiary(const QString &file)
{
    if (file.isEmpty()) {
        const std::optional<ServerAddress> server = DataSource::registeredServer();
        if (!server)
            throw DataError(QStringLiteral("The data source names no server."));
        SchemaCheck::openServerDiary(*server);
    } else {
        SchemaCheck::openDiary(file);
    }
}

void openBenchDiary()
{
    if (!Database::isOpen())
        openDiary(onServer() ? QString() : fileCopy());
}

qint64 lastKey()
{
    return SqlQuery::singleValue(QStringLiteral("select max(%1) from advocate").arg(sql::rowKey()))
        .value_or(QVariant())
        .toLongLong();
}

// Removes the rows stored after `key` was the last: today's carried rows.
void removeRowsAfter(qint64 key)
{
    SqlQuery remove(QStringLiteral("delete from advocate where %1 > ?").arg(sql::rowKey()));
    remove.bind(1, key);
    remove.exec();
}

int listedToday()
{
    return DiaryStore::countListedOn(bench::benchToday());
}

// The register as the clerk opens it, drawn once.
std::unique_ptr<CaseRegister> openRegister()
{
    auto screen = std::make_unique<CaseRegister>();
    screen->resize(1200, 800);
    screen->show();
    QCoreApplication::processEvents();
    return screen;
}

void BM_OpenRegister(benchmark::State &state)
{
    Clock::setToday(bench::benchToday());
    openBenchDiary();
    const qint64 before = lastKey();
    int rows = 0;
    int carried = 0;
    for (auto _ : state) {
        auto screen = openRegister();
        state.PauseTiming();
        rows = screen->recordSet()->rowCount();
        carried = listedToday();
        screen.reset();
        removeRowsAfter(before);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["carried"] = carried;
}
BENCHMARK(BM_OpenRegister)->Unit(benchmark::kMillisecond)->Iterations(3);

// The register opened again on the same day: the day is listed already, so
// this is the opening alone.
void BM_OpenRegisterListed(benchmark::State &state)
{
    Clock::setToday(bench::benchToday());
    openBenchDiary();
    const qint64 before = lastKey();
    DiaryStore::carryForward(bench::benchToday());
    int rows = 0;
    for (auto _ : state) {
        auto screen = openRegister();
        state.PauseTiming();
        rows = screen->recordSet()->rowCount();
        screen.reset();
        state.ResumeTiming();
    }
    removeRowsAfter(before);
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenRegisterListed)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CarryForward(benchmark::State &state)
{
    openBenchDiary();
    const qint64 before = lastKey();
    int carried = 0;
    for (auto _ : state) {
        carried = DiaryStore::carryForward(bench::benchToday()).added;
        state.PauseTiming();
        removeRowsAfter(before);
        state.ResumeTiming();
    }
    state.counters["carried"] = carried;
}
BENCHMARK(BM_CarryForward)->Unit(benchmark::kMillisecond)->Iterations(3);

// The register's searches on its diary record set, as the search screen
// re-reads it with a filter.
std::unique_ptr<RecordSet> s_register;

RecordSet &registerForSearches()
{
    if (!s_register) {
        openBenchDiary();
        s_register = std::make_unique<RecordSet>(
            RecordSource::table(QStringLiteral("advocate")).orderBy(diaryOrder));
        s_register->moveLast();
    }
    return *s_register;
}

Filter searchFilter(int which, const QString &caseno)
{
    const QDate today = bench::benchToday();
    switch (which % 4) {
    case 0:
        return Filter(QStringLiteral("ndate"), Filter::Op::Equal, today.addDays(7));
    case 1:
        return Filter(QStringLiteral("cdate"), Filter::Op::Equal, today.addDays(-7));
    case 2:
        return Filter(QStringLiteral("caseno"), Filter::Op::Equal, caseno);
    default:
        return Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("d'souza"));
    }
}

// A case number as the clerk types it, in other letter case.
QString someCaseNumber(RecordSet &diary)
{
    diary.moveLast();
    return diary.text(QStringLiteral("caseno")).toLower();
}

void BM_Search(benchmark::State &state)
{
    RecordSet &diary = registerForSearches();
    const Filter filter = searchFilter(int(state.range(0)), someCaseNumber(diary));
    int rows = 0;
    for (auto _ : state) {
        diary.requery(filter);
        rows = diary.rowCount();
    }
    diary.clearFilter();
    state.counters["rows"] = rows;
}
// 0 next date, 1 current date, 2 case number, 3 party contains "d'souza".
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond)->DenseRange(0, 3);

// One desk: searches in turn and saves a remark on a row found, until the
// deadline; prints each search's and each save's time in microseconds.
int runDesk(int desk, qint64 deadline, const QString &file)
{
    try {
        openDiary(file);
        RecordSet diary(RecordSource::table(QStringLiteral("advocate")).orderBy(diaryOrder));
        const QString caseno = someCaseNumber(diary);
        QElapsedTimer timer;
        int refused = 0;
        for (int round = desk; QDateTime::currentMSecsSinceEpoch() < deadline; ++round) {
            timer.start();
            diary.requery(searchFilter(round, caseno));
            std::printf("search%d %lld\n", round % 4, qint64(timer.nsecsElapsed() / 1000));
            if (diary.rowCount() == 0)
                continue;
            diary.moveTo(round % diary.rowCount());
            diary.setValue(QStringLiteral("remarks"),
                           QStringLiteral("desk %1 round %2").arg(desk).arg(round));
            timer.start();
            try {
                diary.update();
            } catch (const ChangedElsewhere &) {
                ++refused;
            }
            std::printf("save %lld\n", qint64(timer.nsecsElapsed() / 1000));
        }
        std::printf("refused %d\n", refused);
        Database::close();
    } catch (const DataError &e) {
        std::fprintf(stderr, "desk %d: %s\n", desk, qPrintable(e.description()));
        return 1;
    }
    return 0;
}

double percentile(std::vector<qint64> &samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t at = std::min(samples.size() - 1, size_t(p * double(samples.size())));
    return double(samples[at]) / 1000.0;
}

void BM_FiveDesks(benchmark::State &state)
{
    openBenchDiary();
    const int seconds = qEnvironmentVariableIntValue("LEXORDO_BENCH_DESK_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("LEXORDO_BENCH_DESK_SECONDS")
                            : 10;
    std::vector<qint64> searches;
    std::vector<qint64> kinds[4]; // by searchFilter's number
    std::vector<qint64> saves;
    int refused = 0;
    for (auto _ : state) {
        const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + seconds * 1000;
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int desk = 0; desk < desks; ++desk) {
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process->start(QCoreApplication::applicationFilePath(),
                           {QStringLiteral("desk"), QString::number(desk),
                            QString::number(deadline), onServer() ? QString() : fileCopy()});
            processes.push_back(std::move(process));
        }
        for (auto &process : processes) {
            if (!process->waitForFinished(seconds * 1000 + 600000) || process->exitCode() != 0) {
                state.SkipWithError("a desk failed");
                return;
            }
            for (const QByteArray &line : process->readAllStandardOutput().split('\n')) {
                const QList<QByteArray> words = line.split(' ');
                if (words.size() != 2)
                    continue;
                if (words[0].startsWith("search")) {
                    searches.push_back(words[1].toLongLong());
                    kinds[std::clamp(words[0].mid(6).toInt(), 0, 3)].push_back(
                        words[1].toLongLong());
                } else if (words[0] == "save")
                    saves.push_back(words[1].toLongLong());
                else if (words[0] == "refused")
                    refused += words[1].toInt();
            }
        }
    }
    state.counters["searches"] = double(searches.size());
    state.counters["saves"] = double(saves.size());
    state.counters["refused"] = refused;
    state.counters["search_p50_ms"] = percentile(searches, 0.50);
    state.counters["search_p95_ms"] = percentile(searches, 0.95);
    for (int kind = 0; kind < 4; ++kind)
        state.counters["search" + std::to_string(kind) + "_p95_ms"] = percentile(kinds[kind], 0.95);
    state.counters["save_p50_ms"] = percentile(saves, 0.50);
    state.counters["save_p95_ms"] = percentile(saves, 0.95);
}
BENCHMARK(BM_FiveDesks)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && qstrcmp(argv[1], "desk") == 0) {
        QCoreApplication app(argc, argv);
        return runDesk(QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toLongLong(),
                       QString::fromLocal8Bit(argv[4]));
    }
    return bench::runWithApplication(argc, argv, [] {
        s_register.reset();
        Database::close();
    });
}
