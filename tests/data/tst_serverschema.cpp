#include "support/testdatabase.h"
#include "support/testserver.h"

#include <data/database.h>
#include <data/pgconnection.h>
#include <data/schemacheck.h>
#include <data/servermove.h>
#include <data/serverschema.h>
#include <libpq-fe.h>
#include <QCryptographicHash>
#include <QFile>
#include <QTest>

using namespace lexordo;
using lexordo::test::TestDatabase;
using lexordo::test::TestServer;

namespace {

QString serverType(const QByteArray &fileType)
{
    if (fileType == "DATE")
        return QStringLiteral("date");
    if (fileType == "TIME")
        return QStringLiteral("time without time zone");
    if (fileType == "REAL")
        return QStringLiteral("double precision");
    if (fileType == "INTEGER")
        return QStringLiteral("bigint");
    return QStringLiteral("text");
}

// The rows of a statement, each row's values joined by '|', NULL as "<null>".
QStringList rowsOf(PgConnection &connection, const QByteArray &sql)
{
    const PgResult result = connection.exec(sql);
    QStringList rows;
    for (int row = 0; row < result.rows(); ++row) {
        QStringList values;
        for (int column = 0; column < result.columns(); ++column)
            values << (result.isNull(row, column) ? QStringLiteral("<null>")
                                                  : result.text(row, column));
        rows << values.join(u'|');
    }
    return rows;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestServerSchema : public QObject
{
    Q_OBJECT

private slots:
    void tablesOnTheServerFollowTheFileSchema();
    void translationKeepsNamesTextsAndNumbers();
    void translationRefusesWhatItDoesNotKnow_data();
    void translationRefusesWhatItDoesNotKnow();
    void foldedCollationIgnoresCaseInEveryScript_data();
    void foldedCollationIgnoresCaseInEveryScript();
    void countsAreKeptAcrossInsertUpdateDelete();
    void desksAddingTheSamePairAtOnceCountItOnce();
    void otherDesksHearOfAWrite();
    void problemNamesWhatIsNotADiary_data();
    void problemNamesWhatIsNotADiary();
    void anEarlierDiaryIsBroughtUpToDateAsItOpens();

    void aDiaryMovesWithEveryTextAndAmount_data();
    void aDiaryMovesWithEveryTextAndAmount();
    void aServerDatabaseWithRowsIsRefused();
    void aValueTheServerCannotKeepRefusesTheMove_data();
    void aValueTheServerCannotKeepRefusesTheMove();
};

void TestServerSchema::tablesOnTheServerFollowTheFileSchema()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    PgConnection connection(TestServer::shared().newDatabase());
    serverschema::create(connection);

    // The file's tables as SQLite reads the schema, against the server's.
    for (const SchemaCheck::Table &table : SchemaCheck::required()) {
        QStringList expected;
        for (const SchemaCheck::Column &column : table.columns)
            expected << column.name.toLower() + u'|' + serverType(column.type);
        expected << QStringLiteral("lx_key|bigint");
        const PgResult result = connection.exec(
            "SELECT a.attname, format_type(a.atttypid, a.atttypmod) FROM pg_attribute a "
            "WHERE a.attrelid = to_regclass(quote_ident($1)) AND a.attnum > 0 "
            "AND NOT a.attisdropped ORDER BY a.attnum",
            {table.name.toLower().toUtf8()});
        QStringList present;
        for (int row = 0; row < result.rows(); ++row)
            present << result.text(row, 0) + u'|' + result.text(row, 1);
        QCOMPARE(present, expected);
    }
    // The key is given by the server and names one row.
    connection.exec("INSERT INTO holidays (holiday) VALUES ('a'), ('b')");
    QCOMPARE(rowsOf(connection, "SELECT count(DISTINCT lx_key) FROM holidays"), {"2"});
    QVERIFY_THROWS_EXCEPTION(DataError,
                             connection.exec("INSERT INTO holidays (lx_key) SELECT min(lx_key) "
                                             "FROM holidays"));
    // The first password is there, as in a new file.
    QCOMPARE(rowsOf(connection, "SELECT count(*) FROM password1 WHERE pass_word LIKE 'pbkdf2%'"),
             {"1"});
    QVERIFY(serverschema::problem(connection).isEmpty());
}

void TestServerSchema::translationKeepsNamesTextsAndNumbers()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const QString schema = QStringLiteral(
        "-- A comment; with a semicolon and \"quotes\"\n"
        "CREATE TABLE \"Odd \"\"Name\"\"\" (\"Amount Due\" REAL, Said TEXT, \"On\" DATE);\n"
        "CREATE INDEX \"Odd_said\" ON \"Odd \"\"Name\"\"\" (Said COLLATE NOCASE, \"On\");\n"
        "INSERT INTO \"Odd \"\"Name\"\"\" (\"Amount Due\", Said, \"On\") VALUES "
        "(-1.25, 'it''s; -- not a comment', NULL);\n");
    PgConnection connection(TestServer::shared().newDatabase());
    serverschema::create(connection); // the collation
    connection.execScript(serverschema::translatedSchema(schema).toUtf8());
    QCOMPARE(rowsOf(connection, "SELECT \"amount due\", said, \"on\", lx_key FROM "
                                "\"odd \"\"name\"\"\""),
             QStringList{"-1.25|it's; -- not a comment|<null>|1"});
    connection.execScript("SET enable_seqscan = off");
    QCOMPARE(rowsOf(connection, "SELECT count(*) FROM \"odd \"\"name\"\"\" WHERE said = "
                                "'IT''S; -- NOT A COMMENT' COLLATE lx_nocase"),
             QStringList{"1"});
    QCOMPARE(rowsOf(connection, "SELECT indexname FROM pg_indexes WHERE indexdef LIKE "
                                "'%said COLLATE lx_nocase%'"),
             QStringList{"odd_said"});
}

void TestServerSchema::translationRefusesWhatItDoesNotKnow_data()
{
    QTest::addColumn<QString>("schema");
    QTest::addColumn<QString>("named");
    QTest::newRow("type") << "CREATE TABLE t (a BLOB);"
                          << "BLOB";
    QTest::newRow("constraint") << "CREATE TABLE t (a TEXT NOT NULL);"
                                << "NOT";
    QTest::newRow("view") << "CREATE VIEW v AS SELECT 1;"
                          << "VIEW";
    QTest::newRow("other collation") << "CREATE INDEX i ON t (a COLLATE RTRIM);"
                                     << "RTRIM";
    QTest::newRow("open quote") << "CREATE TABLE \"t (a TEXT);"
                                << "quote";
}

void TestServerSchema::translationRefusesWhatItDoesNotKnow()
{
    QFETCH(QString, schema);
    QFETCH(QString, named);
    try {
        serverschema::translatedSchema(schema);
        QFAIL("the schema was translated");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(named), qPrintable(e.description()));
    }
}

void TestServerSchema::foldedCollationIgnoresCaseInEveryScript_data()
{
    QTest::addColumn<QString>("one");
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("same");
    QTest::newRow("latin case") << "Ramesh KUMAR"
                                << "ramesh kumar" << true;
    QTest::newRow("latin letters differ") << "Ramesh"
                                          << "Rajesh" << false;
    QTest::newRow("devanagari") << "रमेश कुमार"
                                << "रमेश कुमार" << true;
    // The same letter with its dot written apart or as one character.
    QTest::newRow("devanagari nukta") << "\u0915\u093C"
                                      << "\u0958" << true;
    QTest::newRow("devanagari words differ") << "रमेश"
                                             << "रमा" << false;
    QTest::newRow("latin accents differ") << "resume"
                                          << "résumé" << false;
}

void TestServerSchema::foldedCollationIgnoresCaseInEveryScript()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    QFETCH(QString, one);
    QFETCH(QString, other);
    QFETCH(bool, same);
    PgConnection connection(TestServer::shared().newDatabase());
    serverschema::create(connection);
    connection.exec("INSERT INTO advocate (caseno) VALUES ($1)", {one.toUtf8()});
    // Through the case number's index, as a search for a case reads it.
    connection.execScript("SET enable_seqscan = off");
    const PgResult found =
        connection.exec(QStringLiteral("SELECT count(*) FROM advocate WHERE caseno = $1 COLLATE %1")
                            .arg(serverschema::foldedCollation)
                            .toUtf8(),
                        {other.toUtf8()});
    QCOMPARE(found.text(0, 0), same ? QStringLiteral("1") : QStringLiteral("0"));
}

void TestServerSchema::countsAreKeptAcrossInsertUpdateDelete()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    PgConnection connection(TestServer::shared().newDatabase());
    serverschema::create(connection);
    // The counts as the rows give them, NULL pairing with NULL.
    const QByteArray counted = "SELECT count(*), (SELECT count(*) FROM (SELECT DISTINCT caseno, "
                               "party1 FROM advocate) pairs) FROM advocate";
    const QByteArray kept = "SELECT \"rows\", pairs FROM advocate_counts";
    // The pairs of each first party's text, as the rows give them.
    const QByteArray namesCounted = "SELECT party1, count(*) FROM (SELECT DISTINCT caseno, party1 "
                                    "FROM advocate) pairs WHERE party1 IS NOT NULL "
                                    "GROUP BY party1 ORDER BY party1";
    const QByteArray namesKept = "SELECT \"text\", pairs FROM advocate_party1_texts ORDER BY 1";
    const QList<QByteArray> writes = {
        "INSERT INTO advocate (caseno, party1) VALUES ('OS 1', 'Ram'), ('OS 1', 'Ram'), "
        "('OS 1', 'ram'), ('OS 2', NULL), (NULL, NULL), (NULL, NULL)",
        "UPDATE advocate SET remarks = 'heard'",
        "UPDATE advocate SET party1 = 'Sita' WHERE caseno = 'OS 2'",
        "UPDATE advocate SET caseno = 'OS 9' WHERE party1 = 'ram'",
        "DELETE FROM advocate WHERE lx_key = (SELECT min(lx_key) FROM advocate)",
        "DELETE FROM advocate WHERE caseno IS NULL",
        "DELETE FROM advocate WHERE party1 = 'Ram'",
        "TRUNCATE advocate",
        "INSERT INTO advocate (caseno, party1) VALUES ('OS 3', 'Lata')",
    };
    for (const QByteArray &write : writes) {
        connection.exec(write);
        QVERIFY2(rowsOf(connection, kept) == rowsOf(connection, counted), write.constData());
        QVERIFY2(rowsOf(connection, namesKept) == rowsOf(connection, namesCounted),
                 write.constData());
    }
    // Made again from the rows, after rows came without the counting.
    serverschema::setKeeping(connection, false);
    connection.exec("INSERT INTO advocate (caseno, party1) VALUES ('OS 4', 'Lata')");
    serverschema::setKeeping(connection, true);
    QCOMPARE(rowsOf(connection, kept), QStringList{"1|1"});
    serverschema::rebuildKept(connection);
    QCOMPARE(rowsOf(connection, kept), rowsOf(connection, counted));
    QCOMPARE(rowsOf(connection, namesKept), rowsOf(connection, namesCounted));
}

void TestServerSchema::desksAddingTheSamePairAtOnceCountItOnce()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const ServerAddress address = TestServer::shared().newDatabase();
    PgConnection first(address);
    serverschema::create(first);
    PgConnection second(address);
    PgConnection watcher(address);
    const char *const insert = "INSERT INTO advocate (caseno, party1) VALUES ('OS 7', 'Ravi')";

    first.execScript("BEGIN");
    first.exec(insert);
    // The second desk's insert waits for the first desk's transaction.
    QVERIFY(PQsendQuery(second.native(), insert) == 1);
    QTRY_VERIFY_WITH_TIMEOUT(
        watcher.exec("SELECT count(*) FROM pg_locks WHERE NOT granted").text(0, 0) != "0", 20000);
    first.execScript("COMMIT");
    QString failure;
    while (PGresult *result = PQgetResult(second.native())) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK)
            failure = QString::fromUtf8(PQresultErrorMessage(result));
        PQclear(result);
    }
    QCOMPARE(failure, QString());
    QCOMPARE(rowsOf(watcher, "SELECT \"rows\", pairs FROM advocate_counts"), QStringList{"2|1"});
    QCOMPARE(rowsOf(watcher, "SELECT \"rows\" FROM advocate_pairs"), QStringList{"2"});
}

void TestServerSchema::otherDesksHearOfAWrite()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const ServerAddress address = TestServer::shared().newDatabase();
    PgConnection listener(address);
    serverschema::create(listener);
    listener.exec(QStringLiteral("LISTEN %1").arg(serverschema::changeChannel).toUtf8());

    PgConnection desk(address);
    desk.exec("INSERT INTO holidays (holiday) VALUES ('Pongal')");

    QString payload;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            PQconsumeInput(listener.native());
            while (PGnotify *notice = PQnotifies(listener.native())) {
                if (QByteArray(notice->relname) == serverschema::changeChannel.toUtf8())
                    payload = QString::fromUtf8(notice->extra);
                PQfreemem(notice);
            }
            return !payload.isEmpty();
        }(),
        20000);
    QCOMPARE(payload, QStringLiteral("holidays"));
}

void TestServerSchema::problemNamesWhatIsNotADiary_data()
{
    QTest::addColumn<bool>("diary"); // the schema is made first
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<QString>("named");
    QTest::newRow("empty") << false << QByteArray()
                           << "holds no diary; lexordo --create-database makes one";
    QTest::newRow("another program's")
        << false << QByteArray("CREATE TABLE invoices (id int)") << "holds no diary";
    QTest::newRow("tables missing") << true << QByteArray("DROP TABLE reminder, courtorders")
                                    << "the tables reminder, courtorders are missing";
    QTest::newRow("column missing")
        << true << QByteArray("ALTER TABLE holidays DROP COLUMN holiday")
        << "the table holidays lacks the column holiday";
    QTest::newRow("columns out of order")
        << true
        << QByteArray(
               "ALTER TABLE courts DROP COLUMN court; ALTER TABLE courts ADD COLUMN court text")
        << "the columns of the table courts are not in the diary's order";
    QTest::newRow("a diary") << true << QByteArray() << QString();
}

void TestServerSchema::problemNamesWhatIsNotADiary()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    QFETCH(bool, diary);
    QFETCH(QByteArray, change);
    QFETCH(QString, named);
    const ServerAddress address = TestServer::shared().newDatabase();
    PgConnection connection(address);
    if (diary)
        serverschema::create(connection);
    connection.execScript(change);
    const QString problem = serverschema::problem(connection);
    if (named.isEmpty()) {
        QCOMPARE(problem, QString());
        return;
    }
    QVERIFY2(problem.contains(address.database), qPrintable(problem));
    QVERIFY2(problem.contains(named), qPrintable(problem));
}

void TestServerSchema::anEarlierDiaryIsBroughtUpToDateAsItOpens()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const ServerAddress address = TestServer::shared().newDatabase();
    PgConnection connection(address);
    serverschema::create(connection);
    // As an earlier version made it: no list of the first party's texts, and
    // added rows counted one by one.
    connection.execScript(
        "DROP TABLE advocate_party1_texts; COMMENT ON TABLE advocate_counts IS NULL;"
        "DROP TRIGGER advocate_counts_added ON advocate; DROP FUNCTION lx_count_added_advocate();"
        "DROP TRIGGER advocate_counts_kept ON advocate;"
        "CREATE OR REPLACE FUNCTION lx_keep_advocate_counts() RETURNS trigger LANGUAGE plpgsql AS "
        "$$ BEGIN UPDATE advocate_counts SET \"rows\" = \"rows\" + 1; RETURN NULL; END $$;"
        "CREATE TRIGGER advocate_counts_kept AFTER INSERT ON advocate"
        "    FOR EACH ROW EXECUTE FUNCTION lx_keep_advocate_counts();"
        "INSERT INTO advocate (caseno, party1) VALUES ('OS 1', 'Ram D''Souza'), "
        "('OS 2', 'ram d''souza'), ('OS 3', NULL), ('OS 4', 'Ram D''Souza')");
    const QByteArray listed = "SELECT \"text\", pairs FROM advocate_party1_texts ORDER BY 1";
    const QByteArray kept = "SELECT \"rows\", pairs FROM advocate_counts";
    for (int opening = 0; opening < 2; ++opening) {
        Database::openServer(address);
        Database::close();
        connection.exec("INSERT INTO advocate (caseno, party1) VALUES ('OS 5', 'Lata')");
        QCOMPARE(rowsOf(connection, kept), QStringList{QStringLiteral("%1|5").arg(5 + opening)});
    }
    QCOMPARE(rowsOf(connection, listed), (QStringList{"Lata|1", "Ram D'Souza|2", "ram d'souza|1"}));
}

void TestServerSchema::aDiaryMovesWithEveryTextAndAmount_data()
{
    QTest::addColumn<bool>("tablesMade"); // by --create-database, before the move
    QTest::newRow("into an empty database") << false;
    QTest::newRow("into the diary's empty tables") << true;
}

void TestServerSchema::aDiaryMovesWithEveryTextAndAmount()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    QFETCH(bool, tablesMade);
    TestDatabase diary;
    const QStringList texts = {
        QStringLiteral("tab\there"),
        QStringLiteral("two\nlines\r\n"),
        QStringLiteral("back\\slash \\N \\."),
        QStringLiteral("தமிழ் வழக்கு"),
        QStringLiteral("മലയാളം കേസ്"),
        QStringLiteral("\"double\" and 'single' quotes"),
        QString(),
        QStringLiteral(""),
    };
    for (const QString &text : texts) {
        diary.exec(QStringLiteral("INSERT INTO advocate (cdate, Party1, caseno, CourtIndex, ndate) "
                                  "VALUES ('2026-12-07', %1, 'OS 1', 3, '')")
                       .arg(text.isNull() ? QStringLiteral("NULL")
                                          : u'\'' + QString(text).replace(u'\'', "''") + u'\''));
    }
    diary.exec("INSERT INTO AC_INFO (Name, TransDate, \"Legal Fees\", CourtFees, Misc, Received) "
               "VALUES ('Ram', '2026-12-01', 1500.5, 0.1, '1,25,000.50', NULL), "
               "('Sita', '2026-12-02', 0.2, 0.7, -300, 1e15)");
    diary.exec("INSERT INTO reminder (REMDate, Time, Work) VALUES ('2026-12-07', '10:30:00', "
               "'file')");
    diary.exec("UPDATE password1 SET pass_word = 'changed'");
    const QByteArray before = fileHash(diary.path());

    const ServerAddress address = TestServer::shared().newDatabase();
    if (tablesMade) {
        PgConnection made(address);
        serverschema::create(made);
    }
    QList<qint64> told;
    const servermove::Outcome outcome = servermove::move(
        diary.path(), address, [&](qint64 copied, qint64 total) { told << copied << total; });
    QCOMPARE(outcome.rows, qint64(texts.size() + 2 + 1 + 1));
    QCOMPARE(told.mid(told.size() - 2), (QList<qint64>{outcome.rows, outcome.rows}));

    PgConnection connection(address);
    QVERIFY(serverschema::problem(connection).isEmpty());
    const PgResult parties = connection.exec("SELECT party1, ndate, cdate::text, courtindex FROM "
                                             "advocate ORDER BY lx_key");
    QCOMPARE(parties.rows(), int(texts.size()));
    for (int row = 0; row < parties.rows(); ++row) {
        QCOMPARE(parties.isNull(row, 0), texts[row].isNull());
        QCOMPARE(parties.text(row, 0), texts[row]);
        QVERIFY(parties.isNull(row, 1)); // an empty date is no date
        QCOMPARE(parties.text(row, 2), QStringLiteral("2026-12-07"));
        QCOMPARE(parties.text(row, 3), QStringLiteral("3"));
    }
    QCOMPARE(rowsOf(connection, "SELECT name, \"legal fees\", courtfees, misc, received FROM "
                                "ac_info ORDER BY lx_key"),
             (QStringList{"Ram|1500.5|0.1|125000.5|<null>", "Sita|0.2|0.7|-300|1e+15"}));
    QCOMPARE(rowsOf(connection, "SELECT \"time\"::text FROM reminder"), QStringList{"10:30:00"});
    QCOMPARE(rowsOf(connection, "SELECT pass_word FROM password1"), QStringList{"changed"});
    QCOMPARE(rowsOf(connection, "SELECT \"rows\", pairs FROM advocate_counts"),
             QStringList{QStringLiteral("%1|%1").arg(texts.size())});
    // The indexes are made again after the copy, as the schema makes them.
    const QByteArray indexes = "SELECT indexdef FROM pg_indexes WHERE schemaname = "
                               "current_schema() ORDER BY indexname";
    PgConnection made(TestServer::shared().newDatabase());
    serverschema::create(made);
    QCOMPARE(rowsOf(connection, indexes), rowsOf(made, indexes));
    QCOMPARE(fileHash(diary.path()), before);
}

void TestServerSchema::aServerDatabaseWithRowsIsRefused()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    TestDatabase diary;
    diary.exec("INSERT INTO advocate (caseno) VALUES ('OS 1')");
    const ServerAddress address = TestServer::shared().newDatabase();
    PgConnection connection(address);
    serverschema::create(connection);
    connection.exec("INSERT INTO holidays (holiday) VALUES ('Onam')");

    try {
        servermove::move(diary.path(), address);
        QFAIL("a database with rows was not refused");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("Holidays")), qPrintable(e.description()));
    }
    QCOMPARE(rowsOf(connection, "SELECT count(*) FROM advocate"), QStringList{"0"});
    QCOMPARE(rowsOf(connection, "SELECT holiday FROM holidays"), QStringList{"Onam"});
}

void TestServerSchema::aValueTheServerCannotKeepRefusesTheMove_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("named");
    QTest::newRow("no date") << "INSERT INTO advocate (cdate) VALUES ('2026-12-07'), ('31/02/2026')"
                             << "advocate, row 2, column cdate holds \"31/02/2026\", which is no "
                                "date";
    QTest::newRow("text amount")
        << "INSERT INTO AC_INFO (Name, Misc) VALUES ('Ram', 'fifty')"
        << "AC_INFO, row 1, column Misc holds \"fifty\", which is no amount";
    QTest::newRow("no whole number") << "INSERT INTO courts (court, indexx) VALUES ('A', 2.5)"
                                     << "courts, row 1, column indexx holds \"2.5\"";
    // The server gives a number once.
    QTest::newRow("a bill number twice")
        << "INSERT INTO bill (BillNo) VALUES (4), (5), (NULL), (5), (NULL), (6)"
        << "gives the bill number 5 to more than one bill";
    QTest::newRow("receipt numbers twice")
        << "INSERT INTO Receipt (ReceiptNo) VALUES (8), (8), (9), (9), (10)"
        << "gives the receipt numbers 8, 9 to more than one receipt";
}

void TestServerSchema::aValueTheServerCannotKeepRefusesTheMove()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    QFETCH(QString, insert);
    QFETCH(QString, named);
    TestDatabase diary;
    diary.exec(QStringLiteral("INSERT INTO Holidays (Holiday) VALUES ('Diwali')"));
    diary.exec(insert);
    const ServerAddress address = TestServer::shared().newDatabase();
    try {
        servermove::move(diary.path(), address);
        QFAIL("the value was not refused");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(named), qPrintable(e.description()));
    }
    // Not even the tables made for the move are kept.
    PgConnection connection(address);
    QCOMPARE(serverschema::diaryTables(connection), QStringList());
}

QTEST_GUILESS_MAIN(TestServerSchema)
#include "tst_serverschema.moc"
