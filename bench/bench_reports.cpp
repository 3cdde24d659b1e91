// The diary reports from the menu action to a written PDF: the screen opens
// and reads its tables, the run refills the work table and reads the
// grouped command, the report is laid out and shown, and the PDF written.
//
// Each database holds the report's hearings and 20,000 hearings of other
// days, as a diary of a few years would.

#include "benchmain.h"

#include <benchmark/benchmark.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <QApplication>
#include <QDate>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <random>
#include <reports/currentdatereport.h>
#include <reports/nextdatereport.h>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;

namespace {

const QStringList courts = {
    QStringLiteral("High Court, Court No. 4"),
    QStringLiteral("District & Sessions Judge, Saket"),
    QStringLiteral("Addl. Chief Metropolitan Magistrate, Patiala House"),
    QStringLiteral("Civil Judge (Senior Division), Tis Hazari"),
    QStringLiteral("Family Court, Rohini"),
    QStringLiteral("Consumer Disputes Redressal Forum"),
    QStringLiteral("Motor Accidents Claims Tribunal, Karkardooma"),
    QStringLiteral("Rent Controller, Dwarka"),
};
const QStringList firstParties = {
    QStringLiteral("Ram Lal"),
    QStringLiteral("Sunita Devi"),
    QStringLiteral("M/s Bharat Traders Pvt. Ltd."),
    QStringLiteral("Mohd. Iqbal"),
    QStringLiteral("Kamla Rani"),
    QStringLiteral("Harpreet Singh Bedi"),
    QStringLiteral("Union of India through the Secretary, Ministry of Road Transport and Highways"),
    QStringLiteral("Anil Kumar Gupta"),
    QStringLiteral("D'Souza Joseph"),
    QStringLiteral("Rekha Sharma"),
};
const QStringList secondParties = {
    QStringLiteral("State"),
    QStringLiteral("State of NCT of Delhi"),
    QStringLiteral("Municipal Corporation of Delhi"),
    QStringLiteral("Suresh Chand"),
    QStringLiteral("New India Assurance Co. Ltd."),
    QStringLiteral("Delhi Development Authority"),
};
const QStringList purposes = {
    QStringLiteral("Evidence"), QStringLiteral("Arguments"), QStringLiteral("Framing of Charge"),
    QStringLiteral("Reply"),    QStringLiteral("Orders"),    QStringLiteral("Final Arguments")};

struct Diary
{
    QTemporaryDir folder;
    QString path;
};

// Fills a fresh database: `count` hearings spread over the days from `first`
// to `last` (fixed for `nextDate` when it is valid), and 20,000 hearings of
// the two years before.
// `history` hearings are made one by one like the report's; `bulk` more, of
// the eight years before, are made by one statement, for the large diaries.
std::unique_ptr<Diary> makeDiary(int count, QDate first, QDate last, QDate nextDate = {},
                                 int history = 20000, int bulk = 0)
{
    auto diary = std::make_unique<Diary>();
    diary->path = diary->folder.filePath(QStringLiteral("advocate_v2.mdb"));
    Database::createFile(diary->path);
    Database::open(diary->path);

    std::mt19937 random(7);
    auto pick = [&random](const QStringList &list) {
        return list[int(random() % unsigned(list.size()))];
    };
    Database::Transaction transaction;
    QSqlQuery insert(QSqlDatabase::database(QStringLiteral("advocate")));
    insert.prepare(QStringLiteral(
        "INSERT INTO advocate (cdate, remarks, pdate, Party1, Party2, caseno, courtname, "
        "CourtIndex, fixedfor, ndate, fixedforN) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    auto add = [&](QDate day, QDate next) {
        const int court = int(random() % unsigned(courts.size()));
        insert.bindValue(0, day.toString(Qt::ISODate));
        insert.bindValue(1,
                         random() % 4 == 0 ? QVariant(QStringLiteral("part heard")) : QVariant());
        insert.bindValue(2, day.addDays(-int(14 + random() % 40)).toString(Qt::ISODate));
        insert.bindValue(3, pick(firstParties));
        insert.bindValue(4, pick(secondParties));
        insert.bindValue(
            5, QStringLiteral("CS %1/%2").arg(random() % 999 + 1).arg(2019 + random() % 8));
        insert.bindValue(6, courts[court]);
        insert.bindValue(7, court + 1);
        insert.bindValue(8, pick(purposes));
        insert.bindValue(9, next.isValid() ? QVariant(next.toString(Qt::ISODate)) : QVariant());
        insert.bindValue(10, next.isValid() ? QVariant(pick(purposes)) : QVariant());
        if (!insert.exec())
            throw DataError(insert.lastError().text());
    };
    const int days = int(first.daysTo(last)) + 1;
    for (int i = 0; i < count; ++i)
        add(first.addDays(i % days), nextDate);
    const QDate historyStart = first.addYears(-2);
    for (int i = 0; i < history; ++i) {
        const QDate day = historyStart.addDays(i % 700);
        add(day, day.addDays(21));
    }
    if (bulk > 0) {
        QSqlQuery many(QSqlDatabase::database(QStringLiteral("advocate")));
        many.prepare(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "INSERT INTO advocate (cdate, remarks, pdate, Party1, Party2, caseno, courtname, "
            "CourtIndex, fixedfor, ndate, fixedforN) SELECT date(?, '-' || (1 + i % 2900) || ' "
            "days'), NULL, date(?, '-' || (30 + i % 2900) || ' days'), 'Party ' || (i % 20000), "
            "'State', 'CS ' || (i % 50000) || '/20' || (10 + i % 16), 'Court ' || (i % 8), "
            "1 + i % 8, 'Evidence', date(?, '-' || (1 + i % 2900) || ' days', '+21 days'), "
            "'Arguments' FROM n"));
        const QString start = first.addYears(-2).addDays(-1).toString(Qt::ISODate);
        many.addBindValue(bulk);
        many.addBindValue(start);
        many.addBindValue(start);
        many.addBindValue(start);
        if (!many.exec())
            throw DataError(many.lastError().text());
    }
    QSqlQuery holiday(QSqlDatabase::database(QStringLiteral("advocate")));
    holiday.exec(QStringLiteral("INSERT INTO Holidays VALUES ('2026-12-25', 'Christmas'), "
                                "('2027-01-01', 'New Year'), ('2027-01-26', 'Republic Day')"));
    transaction.commit();
    return diary;
}

// The diary screen from its menu action to the PDF.
void runDiary(benchmark::State &state, int hearings, QDate first, QDate last, int history = 20000,
              int bulk = 0)
{
    const auto diary = makeDiary(hearings, first, last, {}, history, bulk);
    const QString pdf = diary->folder.filePath(QStringLiteral("report.pdf"));
    int pages = 0;
    for (auto _ : state) {
        auto *screen = new CurrentDateReport;
        screen->show();
        screen->findChild<QLineEdit *>(QStringLiteral("txtDate1"))
            ->setText(first.toString(QStringLiteral("dd/MM/yyyy")));
        screen->findChild<QLineEdit *>(QStringLiteral("txtDate2"))
            ->setText(last.toString(QStringLiteral("dd/MM/yyyy")));
        screen->showReport();
        report::ReportWindow *window = screen->reportWindow();
        if (!window || !window->exportPdf(pdf)) {
            state.SkipWithError("the report was not written");
            break;
        }
        pages = window->document().pageCount();
        delete window;
        delete screen;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["pages"] = pages;
    state.counters["hearings"] = hearings;
    Database::close();
}

void BM_CauseListOfOneDay500(benchmark::State &state)
{
    runDiary(state, 500, QDate(2026, 12, 7), QDate(2026, 12, 7));
}

void BM_DiaryOfAMonth10000(benchmark::State &state)
{
    runDiary(state, 10000, QDate(2026, 12, 1), QDate(2026, 12, 31));
}

// The same month in a diary of 20,000 hearings and in one of 1,000,000: the
// report costs what it shows, not what the diary holds.
void BM_DiaryOfAMonth10000In20k(benchmark::State &state)
{
    runDiary(state, 10000, QDate(2026, 12, 1), QDate(2026, 12, 31), 10000);
}

void BM_DiaryOfAMonth10000In1M(benchmark::State &state)
{
    runDiary(state, 10000, QDate(2026, 12, 1), QDate(2026, 12, 31), 10000, 980000);
}

// The cause list by next date, from its menu action to the PDF.
void BM_CauseListByNextDate500(benchmark::State &state)
{
    const auto diary = makeDiary(500, QDate(2026, 11, 1), QDate(2026, 11, 30), QDate(2026, 12, 7));
    const QString pdf = diary->folder.filePath(QStringLiteral("report.pdf"));
    int pages = 0;
    for (auto _ : state) {
        auto *screen = new NextDateReport;
        screen->show();
        screen->findChild<QLineEdit *>(QStringLiteral("txtdate1"))
            ->setText(QStringLiteral("07/12/2026"));
        screen->showReport();
        report::ReportWindow *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *candidate = qobject_cast<report::ReportWindow *>(w))
                window = candidate;
        }
        if (!window || !window->exportPdf(pdf)) {
            state.SkipWithError("the report was not written");
            break;
        }
        pages = window->document().pageCount();
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["pages"] = pages;
    Database::close();
}

} // namespace

BENCHMARK(BM_CauseListOfOneDay500)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DiaryOfAMonth10000)->Unit(benchmark::kMillisecond)->MinTime(5.0);
BENCHMARK(BM_CauseListByNextDate500)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DiaryOfAMonth10000In20k)->Unit(benchmark::kMillisecond)->MinTime(5.0);
BENCHMARK(BM_DiaryOfAMonth10000In1M)->Unit(benchmark::kMillisecond)->MinTime(5.0);

int main(int argc, char **argv)
{
    return lexordo::bench::runWithApplication(argc, argv);
}
