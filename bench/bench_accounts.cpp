// The fee statements as Show Report makes them: the ledger lines of the
// period copied into tmpac_info with their financial year, the grouped
// command read, and the pages laid out.
//
// The ledger holds 100,000 lines of 500 clients over ten years.

#include "benchmain.h"

#include <accounts/accountsreports.h>
#include <benchmark/benchmark.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <reports/runtime/reportengine.h>

using namespace lexordo;

namespace {

struct Ledger
{
    QTemporaryDir folder;
};

std::unique_ptr<Ledger> makeLedger()
{
    auto ledger = std::make_unique<Ledger>();
    const QString path = ledger->folder.filePath(QStringLiteral("advocate_v2.mdb"));
    Database::createFile(path);
    Database::open(path);
    Database::Transaction transaction;
    QSqlQuery insert(QSqlDatabase::database(QStringLiteral("advocate")));
    insert.prepare(QStringLiteral("INSERT INTO AC_INFO VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    const QDate first(2015, 4, 1);
    for (int i = 0; i < 100000; ++i) {
        insert.bindValue(0, QStringLiteral("Client %1").arg(i % 500));
        insert.bindValue(1, first.addDays(i % 3650).toString(Qt::ISODate));
        insert.bindValue(2, QStringLiteral("Appearance in CS %1/2019").arg(i % 997));
        insert.bindValue(3, 1000 + i % 7 * 250);
        insert.bindValue(4, i % 3 * 100);
        insert.bindValue(5, i % 5 * 20);
        insert.bindValue(6, i % 4 * 500);
        insert.bindValue(7, 0);
        if (!insert.exec())
            throw DataError(insert.lastError().text());
    }
    transaction.commit();
    return ledger;
}

void runStatement(benchmark::State &state, const QString &account, const QString &from,
                  const QString &to)
{
    const auto ledger = makeLedger();
    int lines = 0;
    int pages = 0;
    for (auto _ : state) {
        std::optional<AccountsReport> statement = feeStatement(account, from, to);
        if (!statement) {
            state.SkipWithError("no statement");
            break;
        }
        lines = statement->data.rowCount();
        pages = report::layOut(statement->layout, statement->data).pageCount();
    }
    state.counters["lines"] = lines;
    state.counters["pages"] = pages;
    Database::close();
}

void BM_StatementOfOneAccount(benchmark::State &state)
{
    runStatement(state, QStringLiteral("Client 7"), QStringLiteral("01/04/2015"),
                 QStringLiteral("31/03/2025"));
}

void BM_AnnualStatementOfAYear(benchmark::State &state)
{
    runStatement(state, QString(), QStringLiteral("01/04/2020"), QStringLiteral("31/03/2021"));
}

void BM_AnnualStatementOfTenYears(benchmark::State &state)
{
    runStatement(state, QString(), QStringLiteral("01/04/2015"), QStringLiteral("31/03/2025"));
}

} // namespace

BENCHMARK(BM_StatementOfOneAccount)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AnnualStatementOfAYear)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AnnualStatementOfTenYears)->Unit(benchmark::kMillisecond)->MinTime(5.0);

int main(int argc, char **argv)
{
    return lexordo::bench::runWithApplication(argc, argv);
}
