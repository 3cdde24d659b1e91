// Five desks, five processes, on one diary on the server, for a few seconds:
// each opens the register (today's carry-forward), searches, edits hearings it
// read earlier and adds bills, over and over. Afterwards no update is lost, no
// hearing is listed twice for today and no bill number is stored twice.

#include <accounts/accountsstore.h>
#include <cstdio>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <data/sqlquery.h>
#include <diary/carryforward.h>
#include <QDateTime>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <support/testserver.h>

using namespace lexordo;

namespace {

const QDate today(2026, 12, 7);
constexpr int desks = 5;
constexpr int dueToday = 30;
constexpr int sharedRows = 2;
constexpr int runMs = 6000;
const QString diaryOrder = QStringLiteral("cdate, courtindex");

QString ownCase(int desk)
{
    return QStringLiteral("OWN/%1").arg(desk);
}

QString sharedCase(int row)
{
    return QStringLiteral("SHARED/%1").arg(row);
}

// The clerk at a desk answers Yes: when another desk listed today first, the
// hearings it has not listed yet are carried too.
class YesMessenger : public Messenger
{
public:
    Answer message(const QString &, Buttons buttons, Icon, Default) override
    {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

// What one desk did, as it reports it on its last line.
struct DeskCounts
{
    int rounds = 0;
    int ownUpdates = 0;
    int sharedUpdates[sharedRows] = {};
    int refused = 0; // shared edits refused as changed elsewhere
    int bills = 0;
    int billRetries = 0; // bill numbers taken by another desk meanwhile
    int carried = 0;
};

// The hearing of `caseno`, read as the register reads one row.
RecordSet readHearing(const QString &caseno)
{
    return RecordSet(RecordSource::table(QStringLiteral("advocate"))
                         .where(Filter(QStringLiteral("caseno"), Filter::Op::Equal, caseno)));
}

void increment(RecordSet &hearing)
{
    hearing.setValue(QStringLiteral("remarks"),
                     QString::number(hearing.text(QStringLiteral("remarks")).toInt() + 1));
    hearing.update();
}

// The next bill number, and the bill stored under it; a number another desk
// stored meanwhile is refused by the server, and the next one is tried after
// a pause of the desk's own length (five desks on two cores: one that keeps
// losing the race is let in). Any other failure ends the desk.
void addBill(int desk, DeskCounts &counts)
{
    for (int attempt = 0; attempt < 500; ++attempt) {
        const qint64 number = AccountsStore::nextBillNumber();
        RecordSet bill(RecordSource::table(QStringLiteral("bill"))
                           .where(Filter(QStringLiteral("BillNo"), Filter::Op::Equal, number)));
        bill.addNew();
        bill.setValue(QStringLiteral("BillNo"), number);
        bill.setValue(QStringLiteral("BillDate"), today);
        bill.setValue(QStringLiteral("To"), QStringLiteral("desk %1").arg(desk));
        try {
            bill.update();
            ++counts.bills;
            return;
        } catch (const DataError &e) {
            if (!e.description().startsWith(QStringLiteral("This number is already given")))
                throw;
            ++counts.billRetries;
            QThread::msleep(1 + desk * (1 + attempt % 3));
        }
    }
    throw DataError(QStringLiteral("No bill number could be had in 500 tries."));
}

int runDesk(int desk, const ServerAddress &address, qint64 deadline)
{
    YesMessenger yes;
    setMessenger(&yes);
    Clock::setToday(today);
    DeskCounts counts;
    try {
        Database::setLockWait(30000);
        Database::openServer(address);
        while (QDateTime::currentMSecsSinceEpoch() < deadline) {
            const int shared = counts.rounds % sharedRows;
            // Read first, stored at the end of the round: other desks store
            // the same row meanwhile.
            RecordSet sharedHearing = readHearing(sharedCase(shared));

            RecordSet diary(RecordSource::table(QStringLiteral("advocate")).orderBy(diaryOrder));
            const diary::CarryForward carried = diary::carryForward(diary, today);
            if (carried.outcome == diary::CarryForward::Outcome::Failed)
                throw DataError(carried.message);
            counts.carried += carried.added;

            diary.requery(
                Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("d'souza")));
            if (diary.rowCount() != desks + sharedRows)
                throw DataError(
                    QStringLiteral("The search found %1 hearings.").arg(diary.rowCount()));

            RecordSet own = readHearing(ownCase(desk));
            increment(own);
            ++counts.ownUpdates;

            addBill(desk, counts);

            try {
                increment(sharedHearing);
                ++counts.sharedUpdates[shared];
            } catch (const ChangedElsewhere &) {
                ++counts.refused;
            }
            ++counts.rounds;
        }
        Database::close();
    } catch (const DataError &e) {
        std::fprintf(stderr, "desk %d: %s\n", desk, qPrintable(e.description()));
        return 1;
    }
    std::printf("counts %d %d %d %d %d %d %d %d\n", counts.rounds, counts.ownUpdates,
                counts.sharedUpdates[0], counts.sharedUpdates[1], counts.refused, counts.bills,
                counts.billRetries, counts.carried);
    return 0;
}

DeskCounts parseCounts(const QByteArray &output, bool *ok)
{
    DeskCounts c;
    *ok = false;
    for (const QByteArray &line : output.split('\n')) {
        if (std::sscanf(line.constData(), "counts %d %d %d %d %d %d %d %d", &c.rounds,
                        &c.ownUpdates, &c.sharedUpdates[0], &c.sharedUpdates[1], &c.refused,
                        &c.bills, &c.billRetries, &c.carried) == 8)
            *ok = true;
    }
    return c;
}

qint64 scalar(const QString &sql, const QVariantList &values = {})
{
    return SqlQuery::singleValue(sql, values).value_or(QVariant()).toLongLong();
}

} // namespace

class TestFiveDesks : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Database::close(); }

    void fiveDesksKeepEveryUpdateAndNumberOnce()
    {
        LEXORDO_REQUIRE_TEST_SERVER();
        const ServerAddress address = test::TestServer::shared().newDatabase();
        Database::createOnServer(address);
        Database::openServer(address);
        SqlQuery insert(QStringLiteral("insert into advocate (cdate, ndate, caseno, Party1, "
                                       "remarks, CourtIndex) values (?, ?, ?, ?, ?, ?)"));
        const auto add = [&](const QDate &cdate, const QDate &ndate, const QString &caseno,
                             const QString &party, const QVariant &remarks, int court) {
            insert.bindAll({cdate, ndate, caseno, party, remarks, court});
            insert.exec();
            insert.reset();
        };
        for (int i = 0; i < dueToday; ++i)
            add(today.addDays(-14), today, QStringLiteral("DUE/%1").arg(i),
                QStringLiteral("Party %1").arg(i), QVariant(), i % 4);
        for (int desk = 0; desk < desks; ++desk)
            add(today.addDays(-3), today.addDays(30), ownCase(desk),
                QStringLiteral("Desk %1 D'Souza").arg(desk), QStringLiteral("0"), 1);
        for (int row = 0; row < sharedRows; ++row)
            add(today.addDays(-3), today.addDays(30), sharedCase(row),
                QStringLiteral("Shared d'souza %1").arg(row), QStringLiteral("0"), 2);
        Database::close();

        const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + runMs;
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int desk = 0; desk < desks; ++desk) {
            auto process = std::make_unique<QProcess>();
            process->start(QCoreApplication::applicationFilePath(),
                           {QStringLiteral("desk"), QString::number(desk), address.host,
                            address.port, address.database, address.user,
                            QString::number(deadline)});
            QVERIFY2(process->waitForStarted(), qPrintable(process->errorString()));
            processes.push_back(std::move(process));
        }
        DeskCounts total;
        std::vector<DeskCounts> each;
        for (int desk = 0; desk < desks; ++desk) {
            QProcess &process = *processes[desk];
            QVERIFY2(process.waitForFinished(runMs + 120000), "a desk did not finish");
            const QByteArray errors = process.readAllStandardError();
            QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                     errors.constData());
            bool ok = false;
            const DeskCounts counts = parseCounts(process.readAllStandardOutput(), &ok);
            QVERIFY2(ok, "a desk did not report its counts");
            QVERIFY2(counts.rounds > 0, "a desk finished no round before the deadline");
            each.push_back(counts);
            total.rounds += counts.rounds;
            total.refused += counts.refused;
            total.bills += counts.bills;
            total.billRetries += counts.billRetries;
            total.carried += counts.carried;
            for (int row = 0; row < sharedRows; ++row)
                total.sharedUpdates[row] += counts.sharedUpdates[row];
        }
        qInfo("%d rounds; %d shared edits refused as changed elsewhere; %d bills, %d numbers "
              "taken meanwhile",
              total.rounds, total.refused, total.bills, total.billRetries);

        Database::openServer(address);
        const QString remarksOf = QStringLiteral("select remarks from advocate where caseno = ?");
        for (int desk = 0; desk < desks; ++desk)
            QCOMPARE(scalar(remarksOf, {ownCase(desk)}), qint64(each[desk].ownUpdates));
        for (int row = 0; row < sharedRows; ++row)
            QCOMPARE(scalar(remarksOf, {sharedCase(row)}), qint64(total.sharedUpdates[row]));

        // Each hearing due today listed once, whichever desk carried it.
        QCOMPARE(total.carried, dueToday);
        QCOMPARE(scalar(QStringLiteral("select count(*) from advocate where cdate = ?"), {today}),
                 qint64(dueToday));
        QCOMPARE(scalar(QStringLiteral("select count(distinct caseno) from advocate "
                                       "where cdate = ?"),
                        {today}),
                 qint64(dueToday));

        QCOMPARE(scalar(QStringLiteral("select count(*) from bill")), qint64(total.bills));
        const qint64 numbersTwice =
            scalar(QStringLiteral("select count(*) from (select billno from bill group by billno "
                                  "having count(*) > 1) t"));
        QVERIFY2(numbersTwice == 0,
                 qPrintable(QStringLiteral("%1 bill numbers were stored more than once: the server "
                                           "took a second bill of a number already stored")
                                .arg(numbersTwice)));
        QCOMPARE(scalar(QStringLiteral("select max(billno) from bill")), qint64(total.bills));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 8 && arguments[1] == QStringLiteral("desk"))
        return runDesk(arguments[2].toInt(),
                       ServerAddress{arguments[3], arguments[4], arguments[5], arguments[6], {}},
                       arguments[7].toLongLong());
    TestFiveDesks test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fivedesks.moc"
