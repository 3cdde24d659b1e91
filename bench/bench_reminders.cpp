// The reminders of one day out of ten years of reminders (about 36,500 rows,
// ten a day), the reminder window that shows them after the login, and the
// login's password check, which is slow on purpose.

#include "benchmain.h"

#include <app/passwordstore.h>
#include <benchmark/benchmark.h>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <memory>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <reminders/remindersstore.h>
#include <reminders/reminderwindow.h>

using namespace lexordo;

namespace {

const QDate today(2026, 12, 7);

struct Reminders
{
    QTemporaryDir folder;
    QString path;
};

std::unique_ptr<Reminders> openReminders()
{
    auto db = std::make_unique<Reminders>();
    db->path = db->folder.filePath(QStringLiteral("advocate_v2.mdb"));
    Database::createFile(db->path);
    Database::open(db->path);
    Database::Transaction transaction;
    QSqlQuery insert(QSqlDatabase::database(QStringLiteral("advocate")));
    insert.prepare(QStringLiteral("INSERT INTO reminder VALUES (?, ?, ?)"));
    for (int day = 0; day < 3650; ++day) {
        const QString date = dates::toIso(today.addDays(day - 3000));
        for (int n = 0; n < 10; ++n) {
            insert.addBindValue(date);
            insert.addBindValue(QStringLiteral("%1:30:00").arg(8 + n, 2, 10, QLatin1Char('0')));
            insert.addBindValue(QStringLiteral("Reminder %1 of the day: file the reply").arg(n));
            if (!insert.exec())
                throw DataError(insert.lastError().text());
        }
    }
    transaction.commit();
    return db;
}

void BM_RemindersOfTheDay(benchmark::State &state)
{
    auto db = openReminders();
    int shown = 0;
    for (auto _ : state) {
        const DayReminders day = RemindersStore::remindersOn(today, 9);
        shown = int(day.first.size());
        benchmark::DoNotOptimize(day);
    }
    state.counters["shown"] = shown;
    Database::close();
}

void BM_ReminderWindowOpens(benchmark::State &state)
{
    auto db = openReminders();
    Clock::setToday(today);
    for (auto _ : state) {
        auto *window = new ReminderWindow;
        window->show();
        benchmark::DoNotOptimize(window->list());
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Clock::reset();
    Database::close();
}

void BM_LoginCheck(benchmark::State &state)
{
    auto db = openReminders();
    bool accepted = false;
    for (auto _ : state)
        accepted = PasswordStore::checkLogin(QStringLiteral("clerk"), QStringLiteral("lexordo"));
    state.counters["accepted"] = accepted;
    Database::close();
}

} // namespace

BENCHMARK(BM_RemindersOfTheDay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReminderWindowOpens)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoginCheck)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    return lexordo::bench::runWithApplication(argc, argv);
}
