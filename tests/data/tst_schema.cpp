#include "support/testdatabase.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void tables_data();
    void tables();
    void freshDatabaseHoldsOnePassword();
    void otherTablesStartEmpty();
    void createRefusesAnExistingFile();
    void openRefusesAMissingFile();
    void openRefusesAFileThatIsNoDatabase();
    void connectionSurvivesCrashes();
};

void TestSchema::tables_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QStringList>("types");

    const QStringList diary = {"cdate",    "remarks", "pdate",     "Party1",
                               "Party2",   "caseno",  "courtname", "CourtIndex",
                               "fixedfor", "ndate",   "fixedforN"};
    const QStringList diaryTypes = {"DATE", "TEXT",    "DATE", "TEXT", "TEXT", "TEXT",
                                    "TEXT", "INTEGER", "TEXT", "DATE", "TEXT"};
    QTest::newRow("advocate") << "advocate" << diary << diaryTypes;
    QTest::newRow("tmpAdvocate") << "tmpAdvocate" << diary << diaryTypes;
    QTest::newRow("courts") << "courts" << QStringList{"court", "indexx"}
                            << QStringList{"TEXT", "INTEGER"};
    QTest::newRow("Holidays") << "Holidays" << QStringList{"Date", "Holiday"}
                              << QStringList{"DATE", "TEXT"};
    QTest::newRow("Clients") << "Clients"
                             << QStringList{"ACname", "Phoneno", "MobileNumber", "Email", "Adresss",
                                            "CaseNo", "Parties", "US1",          "US2",   "US3",
                                            "US4",    "fileno",  "folderpath",   "date"}
                             << QStringList{"TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "TEXT",
                                            "TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "DATE"};
    const QStringList fees = {"REAL", "REAL", "REAL", "REAL", "REAL"};
    QTest::newRow("AC_INFO") << "AC_INFO"
                             << QStringList{"Name",      "TransDate", "Part",     "Legal Fees",
                                            "CourtFees", "Misc",      "Received", "Balance"}
                             << (QStringList{"TEXT", "DATE", "TEXT"} + fees);
    QTest::newRow("tmpac_info") << "tmpac_info" << QStringList{"Name",       "transdate", "Part",
                                                               "Legal Fees", "CourtFees", "Misc",
                                                               "Received",   "Balance",   "Gr"}
                                << (QStringList{"TEXT", "DATE", "TEXT"} + fees +
                                    QStringList{"TEXT"});
    QTest::newRow("bill") << "bill"
                          << QStringList{"BillNo", "BillDate", "To",     "Address", "Ref", "s1",
                                         "s2",     "s3",       "s4",     "s5",      "s6",  "P1",
                                         "p2",     "p3",       "p4",     "p5",      "p6",  "a1",
                                         "a2",     "a3",       "a4",     "a5",      "a6",  "Total",
                                         "STP",    "Stax",     "Rupees", "GTotal"}
                          << QStringList{"INTEGER", "DATE", "TEXT", "TEXT", "TEXT", "TEXT", "TEXT",
                                         "TEXT",    "TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "TEXT",
                                         "TEXT",    "TEXT", "TEXT", "REAL", "REAL", "REAL", "REAL",
                                         "REAL",    "REAL", "REAL", "REAL", "REAL", "TEXT", "REAL"};
    QTest::newRow("Receipt") << "Receipt"
                             << QStringList{"ReceiptNo",    "RDate",        "Name",  "OnACCOUNT",
                                            "payment mode", "Cheque No",    "Dated", "Drawn On",
                                            "Rs in fig",    "Sum of Rupees"}
                             << QStringList{"INTEGER", "DATE", "TEXT", "TEXT", "TEXT",
                                            "TEXT",    "DATE", "TEXT", "REAL", "TEXT"};
    QTest::newRow("reminder") << "reminder" << QStringList{"REMDate", "Time", "Work"}
                              << QStringList{"DATE", "TIME", "TEXT"};
    QTest::newRow("CourtOrders") << "CourtOrders"
                                 << QStringList{"Section", "Citation", "Court", "CaseTitle",
                                                "HeadNotes"}
                                 << QStringList{"TEXT", "TEXT", "TEXT", "TEXT", "TEXT"};
    QTest::newRow("directory") << "directory"
                               << QStringList{"Name",   "Address", "Enrolment", "Phno",
                                              "Mobile", "FAX",     "Email",     "BloodGroup"}
                               << QStringList(8, "TEXT");
    QTest::newRow("password1") << "password1" << QStringList{"pass_word"} << QStringList{"TEXT"};
}

void TestSchema::tables()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    QFETCH(QStringList, types);

    test::TestDatabase db;
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    // The table's name is spelled exactly as listed.
    QVERIFY(query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                      "name = '%1'")
                           .arg(table)));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), table);

    QVERIFY(query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)));
    QStringList actualColumns;
    QStringList actualTypes;
    while (query.next()) {
        actualColumns << query.value(1).toString();
        actualTypes << query.value(2).toString();
    }
    QCOMPARE(actualColumns, columns);
    QCOMPARE(actualTypes, types);
}

void TestSchema::freshDatabaseHoldsOnePassword()
{
    test::TestDatabase db;
    QCOMPARE(db.count(QStringLiteral("password1")), 1);
    // The password is kept hashed, never as the text that is typed.
    const QString stored = db.scalar(QStringLiteral("SELECT pass_word FROM password1")).toString();
    QVERIFY(stored.startsWith(QStringLiteral("pbkdf2-sha256$")));
    QVERIFY(!stored.contains(QStringLiteral("lexordo")));
}

void TestSchema::otherTablesStartEmpty()
{
    test::TestDatabase db;
    for (const char *table :
         {"advocate", "tmpAdvocate", "courts", "Holidays", "Clients", "AC_INFO", "tmpac_info",
          "bill", "Receipt", "reminder", "CourtOrders", "directory"})
        QCOMPARE(db.count(QString::fromLatin1(table)), 0);
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
}

void TestSchema::createRefusesAnExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("advocate_v2.mdb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("precious diary");
    file.close();

    QVERIFY_THROWS_EXCEPTION(DataError, Database::createFile(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("precious diary"));
}

void TestSchema::openRefusesAMissingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.mdb"));
    try {
        Database::open(path);
        QFAIL("opening a missing file must fail");
    } catch (const DataError &e) {
        QVERIFY(e.description().contains(path));
    }
    // Opening must not create the file.
    QVERIFY(!QFile::exists(path));
    QVERIFY(!Database::isOpen());
}

void TestSchema::openRefusesAFileThatIsNoDatabase()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("letter.mdb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    QVERIFY_THROWS_EXCEPTION(DataError, Database::open(path));
    QVERIFY(!Database::isOpen());
}

void TestSchema::connectionSurvivesCrashes()
{
    test::TestDatabase db;
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA synchronous")).toInt(), 2); // FULL
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
