#include <data/database.h>
#include <data/dataenvironment.h>
#include <data/dataerror.h>
#include <data/recordset.h>
#include <data/schemacheck.h>
#include <data/tabletransfer.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace lexordo;

// The start-up check of a database: files that are no diary are refused with
// their path and the reason, and untouched; a diary made without declared
// column types is read as the program wrote it.
class TestSchemaCheck : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void requiredPartsComeFromTheSchema();
    void columnTypesComeFromTheSchema();
    void aDiaryIsOpened();
    void filesThatAreNoDatabaseAreRefused_data();
    void filesThatAreNoDatabaseAreRefused();
    void anyOpeningLeavesAnEmptyFileEmpty();
    void missingTablesAndColumnsAreNamed();
    void namesMatchWithoutRegardToCase();
    void untypedColumnsAreReadAsTheProgramWritesThem();
    void aDiaryWithoutTheListOfPartiesGetsItOnOpening();
    void aDiaryGetsTheSchemasIndexesOnOpening();
    void theCountsFollowEveryWriteWhoeverMakesIt();
    void aDiaryWithoutItsCountsGetsThemOnOpening();

private:
    // Runs statements on a file through a connection of the test's own.
    static void execOn(const QString &path, const QStringList &statements);
    static QByteArray hashOf(const QString &path);
    // The schema's statements with the table's names changed or types dropped.
    static QStringList schemaStatements(bool dropTypes, bool lowerCaseNames);

    // The diary's rows and different (case number, first party) pairs,
    // counted over the table, against what it keeps.
    static void compareKeptCounts();

    QTemporaryDir m_dir;
};

void TestSchemaCheck::cleanup()
{
    Database::close();
}

void TestSchemaCheck::execOn(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("made"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString &statement : statements) {
            if (statement.trimmed().isEmpty())
                continue;
            QSqlQuery query(db);
            QVERIFY2(query.exec(statement), qPrintable(query.lastError().text() + statement));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("made"));
}

QByteArray TestSchemaCheck::hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList TestSchemaCheck::schemaStatements(bool dropTypes, bool lowerCaseNames)
{
    QStringList statements;
    for (const SchemaCheck::Table &table : SchemaCheck::required()) {
        QStringList columns;
        for (const SchemaCheck::Column &column : table.columns) {
            const QString name = lowerCaseNames ? column.name.toLower() : column.name;
            columns
                << (dropTypes
                        ? QStringLiteral("\"%1\"").arg(name)
                        : QStringLiteral("\"%1\" %2").arg(name, QString::fromLatin1(column.type)));
        }
        const QString name = lowerCaseNames ? table.name.toUpper() : table.name;
        statements << QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(name, columns.join(u','));
    }
    return statements;
}

void TestSchemaCheck::requiredPartsComeFromTheSchema()
{
    const QList<SchemaCheck::Table> &tables = SchemaCheck::required();
    QCOMPARE(tables.size(), 13);
    QCOMPARE(tables.first().name, QStringLiteral("advocate"));
    QStringList columns;
    QByteArrayList types;
    for (const SchemaCheck::Column &column : tables.first().columns) {
        columns << column.name;
        types << column.type;
    }
    QCOMPARE(columns, (QStringList{"cdate", "remarks", "pdate", "Party1", "Party2", "caseno",
                                   "courtname", "CourtIndex", "fixedfor", "ndate", "fixedforN"}));
    QCOMPARE(types, (QByteArrayList{"DATE", "TEXT", "DATE", "TEXT", "TEXT", "TEXT", "TEXT",
                                    "INTEGER", "TEXT", "DATE", "TEXT"}));
    bool legalFees = false;
    for (const SchemaCheck::Table &table : tables) {
        if (table.name == QStringLiteral("AC_INFO")) {
            for (const SchemaCheck::Column &column : table.columns)
                legalFees = legalFees || (column.name == "Legal Fees" && column.type == "REAL");
        }
    }
    QVERIFY(legalFees); // a name with a blank
}

void TestSchemaCheck::columnTypesComeFromTheSchema()
{
    QCOMPARE(SchemaCheck::columnType("ndate", nullptr), QByteArray("DATE"));
    QCOMPARE(SchemaCheck::columnType("NDATE", "TEXT"), QByteArray("DATE"));
    QCOMPARE(SchemaCheck::columnType("Time", nullptr), QByteArray("TIME"));
    QCOMPARE(SchemaCheck::columnType("courtindex", nullptr), QByteArray("INTEGER"));
    QCOMPARE(SchemaCheck::columnType("Legal Fees", nullptr), QByteArray("REAL"));
    // Columns the schema does not know keep their declaration.
    QCOMPARE(SchemaCheck::columnType("hearings", "INTEGER"), QByteArray("INTEGER"));
    QCOMPARE(SchemaCheck::columnType(nullptr, "REAL"), QByteArray("REAL"));
    QCOMPARE(SchemaCheck::columnType(nullptr, nullptr), QByteArray());
}

void TestSchemaCheck::aDiaryIsOpened()
{
    const QString path = m_dir.filePath(QStringLiteral("diary.mdb"));
    Database::createFile(path);
    SchemaCheck::openDiary(path);
    QVERIFY(Database::isOpen());
    QCOMPARE(SchemaCheck::missingParts(), QStringList());
}

void TestSchemaCheck::filesThatAreNoDatabaseAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "does not exist.";
    QTest::newRow("folder") << "folder"
                            << "is not a file.";
    QTest::newRow("empty") << "empty"
                           << "is empty: it holds no diary.";
    QTest::newRow("random bytes")
        << "random"
        << "is not a database: its contents are not those of an SQLite database file.";
    QTest::newRow("short random bytes")
        << "short"
        << "is not a database: its contents are not those of an SQLite database file.";
    QTest::newRow("text") << "text"
                          << "is a text file, not a database.";
    QTest::newRow("damaged header") << "header"
                                    << "is damaged: its header gives no valid page size.";
    QTest::newRow("cut at a page") << "cut"
                                   << "is cut short: it holds 8192 bytes of a database of ";
    QTest::newRow("cut inside a page") << "cutinside"
                                       << "is cut short: it holds 10000 bytes of a database of ";
}

void TestSchemaCheck::filesThatAreNoDatabaseAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString path = m_dir.filePath(kind + QStringLiteral(".mdb"));
    auto write = [&](const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    };
    QByteArray noise;
    for (int i = 0; i < 9000; ++i)
        noise.append(char((i * 7919 + 13) % 251));
    if (kind == QStringLiteral("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QStringLiteral("empty")) {
        write(QByteArray());
    } else if (kind == QStringLiteral("random")) {
        write(noise);
    } else if (kind == QStringLiteral("short")) {
        write(QByteArray("SQLite format 3\0\x10", 17)); // a header cut short
    } else if (kind == QStringLiteral("text")) {
        write("Cause list for Monday\r\n1. D'Souza v. State\r\n");
    } else if (kind != QStringLiteral("missing")) {
        Database::createFile(path);
        QFile file(path);
        QVERIFY(file.size() > 10000);
        if (kind == QStringLiteral("header")) {
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(16));
            QCOMPARE(file.write(QByteArray("\x03\x00", 2)), 2); // 768: no power of two
        } else {
            QVERIFY(file.resize(kind == QStringLiteral("cut") ? 8192 : 10000));
        }
    }
    const QByteArray before = hashOf(path);

    try {
        SchemaCheck::openDiary(path);
        QFAIL("The file was taken for a diary.");
    } catch (const DataError &e) {
        QVERIFY2(e.description().startsWith(QStringLiteral("The database %1 %2").arg(path, reason)),
                 qPrintable(e.description()));
    }
    QVERIFY(!Database::isOpen());
    // Looked at, never changed: an empty file stays empty, nothing is made
    // beside it.
    QCOMPARE(hashOf(path), before);
    QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
    QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
}

void TestSchemaCheck::anyOpeningLeavesAnEmptyFileEmpty()
{
    // Whoever opens the database (a command, a backup), an empty file is
    // refused before SQLite would make it an empty database.
    const QString path = m_dir.filePath(QStringLiteral("blank.mdb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY_THROWS_EXCEPTION(DataError, Database::open(path));
    QVERIFY(!Database::isOpen());
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
}

void TestSchemaCheck::missingTablesAndColumnsAreNamed()
{
    const QString path = m_dir.filePath(QStringLiteral("partial.mdb"));
    Database::createFile(path);
    execOn(path, {QStringLiteral("DROP INDEX advocate_ndate"),
                  QStringLiteral("ALTER TABLE advocate DROP COLUMN ndate"),
                  QStringLiteral("ALTER TABLE AC_INFO DROP COLUMN \"Legal Fees\""),
                  QStringLiteral("DROP TABLE reminder")});
    try {
        SchemaCheck::openDiary(path);
        QFAIL("A diary without the next date was opened.");
    } catch (const DataError &e) {
        QCOMPARE(e.description(),
                 QStringLiteral("The database %1 is not a diary of this program: the column "
                                "advocate.ndate is missing; the column AC_INFO.Legal Fees is "
                                "missing; the table reminder is missing.")
                     .arg(path));
    }
    QVERIFY(!Database::isOpen());
}

void TestSchemaCheck::namesMatchWithoutRegardToCase()
{
    const QString path = m_dir.filePath(QStringLiteral("cases.mdb"));
    execOn(path, schemaStatements(false, true));
    SchemaCheck::openDiary(path);
    QVERIFY(Database::isOpen());
}

void TestSchemaCheck::untypedColumnsAreReadAsTheProgramWritesThem()
{
    const QString path = m_dir.filePath(QStringLiteral("untyped.mdb"));
    QStringList statements = schemaStatements(true, false);
    statements << QStringLiteral(
        "INSERT INTO advocate (cdate, Party1, caseno, courtname, CourtIndex, ndate) VALUES "
        "('2026-12-01', 'Anand', 'CS 1', 'High Court', 1, '2026-12-07'), "
        "('2026-12-07', 'Bose', 'CS 2', 'Civil Court', 10, NULL), "
        "('2026-12-07', 'Chopra', 'CS 3', 'District Court', 2, NULL)");
    statements << QStringLiteral("INSERT INTO Holidays VALUES ('2026-12-25', 'Christmas')");
    execOn(path, statements);
    SchemaCheck::openDiary(path);

    RecordSet diary(RecordSource::table(QStringLiteral("advocate")));
    QCOMPARE(diary.fieldType(diary.fieldIndex(QStringLiteral("cdate"))),
             RecordSet::FieldType::Date);
    diary.setFilter(
        Filter(QStringLiteral("cdate"), Filter::Op::GreaterOrEqual, QDate(2026, 12, 7))
            .andWhere(QStringLiteral("cdate"), Filter::Op::LessOrEqual, QDate(2026, 12, 7)));
    QCOMPARE(diary.rowCount(), 2);
    QCOMPARE(diary.value(QStringLiteral("cdate")), QVariant(QDate(2026, 12, 7)));
    QCOMPARE(diary.text(QStringLiteral("cdate")), QStringLiteral("07/12/2026"));

    // Stored back as the program stores them, and read again as dates.
    diary.addNew();
    diary.setValue(QStringLiteral("cdate"), QStringLiteral("08/12/2026"));
    diary.setValue(QStringLiteral("CourtIndex"), QStringLiteral("3"));
    diary.update();
    QSqlQuery stored(QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(stored.exec(QStringLiteral(
        "SELECT cdate, typeof(CourtIndex) FROM advocate WHERE cdate > '2026-12-07'")));
    QVERIFY(stored.next());
    QCOMPARE(stored.value(0).toString(), QStringLiteral("2026-12-08"));
    QCOMPARE(stored.value(1).toString(), QStringLiteral("integer"));

    const ResultTable due = DataEnvironment::run(
        Command{QStringLiteral("select * from advocate where ndate = ? order by courtindex"),
                {QDate(2026, 12, 7)}});
    QCOMPARE(due.rowCount(), 1);
    QCOMPARE(due.value(0, QStringLiteral("ndate")), QVariant(QDate(2026, 12, 7)));
    QCOMPARE(due.value(0, QStringLiteral("cdate")), QVariant(QDate(2026, 12, 1)));

    RecordSet holidays(
        RecordSource::table(QStringLiteral("holidays")).orderBy(QStringLiteral("date")));
    QCOMPARE(holidays.value(QStringLiteral("Date")), QVariant(QDate(2026, 12, 25)));
}

// A diary made by an earlier version or another tool has no list of its
// parties' names; opening it makes one from the rows, and one whose keeping
// was broken (a trigger dropped) is made again.
void TestSchemaCheck::aDiaryWithoutTheListOfPartiesGetsItOnOpening()
{
    const QString path = m_dir.filePath(QStringLiteral("unlisted.mdb"));
    QStringList statements = schemaStatements(false, false);
    statements << QStringLiteral(
        "INSERT INTO advocate (cdate, Party1, caseno) VALUES ('2026-12-01', 'Anand', 'CS 1'), "
        "('2026-12-02', 'Anand', 'CS 2'), ('2026-12-03', 'ANAND', 'CS 3'), "
        "('2026-12-04', 'राम लाल', 'CS 4'), ('2026-12-05', NULL, 'CS 5')");
    execOn(path, statements);

    const auto listed = [] {
        const QString list =
            Database::textList(QStringLiteral("advocate"), QStringLiteral("Party1"));
        QStringList texts;
        if (list.isEmpty())
            return texts;
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
        if (!query.exec(QStringLiteral("SELECT \"text\" FROM %1 ORDER BY 1").arg(list)))
            return QStringList{query.lastError().text()};
        while (query.next())
            texts << query.value(0).toString();
        return texts;
    };
    const QStringList parties = {QStringLiteral("ANAND"), QStringLiteral("Anand"),
                                 QStringLiteral("राम लाल")};

    SchemaCheck::openDiary(path);
    QCOMPARE(listed(), parties);
    Database::close();

    // Another program renames a party while the list is not kept.
    execOn(path, {QStringLiteral("DROP TRIGGER advocate_Party1_texts_changed"),
                  QStringLiteral("UPDATE advocate SET Party1 = 'Bose' WHERE caseno = 'CS 3'")});
    SchemaCheck::openDiary(path);
    QCOMPARE(listed(), (QStringList{QStringLiteral("Anand"), QStringLiteral("Bose"),
                                    QStringLiteral("राम लाल")}));
    Database::close();
    execOn(path, {QStringLiteral("UPDATE advocate SET Party1 = 'Chopra' WHERE caseno = 'CS 5'")});
    SchemaCheck::openDiary(path);
    QVERIFY(listed().contains(QStringLiteral("Chopra")));
    RecordSet diary(RecordSource::table(QStringLiteral("advocate")));
    diary.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("HOP")));
    QCOMPARE(diary.rowCount(), 1);
    QCOMPARE(diary.text(QStringLiteral("caseno")), QStringLiteral("CS 5"));
}

// A diary made by another tool has no indexes, and one made by an earlier
// version an index in an older form: opening gives each the indexes exactly
// as a new diary has them, and keeps its rows.
void TestSchemaCheck::aDiaryGetsTheSchemasIndexesOnOpening()
{
    const auto indexes = [](const QString &path) {
        QStringList found;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("indexes"));
            db.setDatabaseName(path);
            if (db.open()) {
                QSqlQuery query(db);
                query.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' "
                                          "AND sql IS NOT NULL ORDER BY name"));
                while (query.next())
                    found << query.value(0).toString();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("indexes"));
        return found;
    };
    const QString made = m_dir.filePath(QStringLiteral("new.mdb"));
    Database::createFile(made);
    const QStringList wanted = indexes(made);
    QVERIFY(wanted.size() >= 4);

    const QString foreign = m_dir.filePath(QStringLiteral("foreign.mdb"));
    QStringList statements = schemaStatements(false, false);
    statements << QStringLiteral(
        "INSERT INTO advocate (cdate, Party1) VALUES ('2026-12-01', 'Anand')");
    execOn(foreign, statements);
    QVERIFY(indexes(foreign).isEmpty());
    SchemaCheck::openDiary(foreign);
    Database::close();
    QCOMPARE(indexes(foreign), wanted);

    const QString older = m_dir.filePath(QStringLiteral("older.mdb"));
    Database::createFile(older);
    execOn(older,
           {QStringLiteral("DROP INDEX advocate_party1"),
            QStringLiteral("CREATE INDEX advocate_party1 ON advocate (Party1)"),
            QStringLiteral("INSERT INTO advocate (cdate, Party1) VALUES ('2026-12-01', 'Bose')")});
    QVERIFY(indexes(older) != wanted);
    SchemaCheck::openDiary(older);
    QCOMPARE(Database::textList(QStringLiteral("advocate"), QStringLiteral("Party1")).isEmpty(),
             false);
    RecordSet diary(RecordSource::table(QStringLiteral("advocate")));
    diary.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("OS")));
    QCOMPARE(diary.text(QStringLiteral("Party1")), QStringLiteral("Bose"));
    Database::close();
    QCOMPARE(indexes(older), wanted);
}

void TestSchemaCheck::compareKeptCounts()
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(query.exec(
        QStringLiteral("SELECT (SELECT count(*) FROM advocate), "
                       "(SELECT count(*) FROM (SELECT DISTINCT caseno, Party1 FROM advocate))")));
    QVERIFY(query.next());
    const std::optional<Database::KeptCounts> kept =
        Database::keptCounts(QStringLiteral("advocate"));
    QVERIFY(kept.has_value());
    QCOMPARE(kept->rows, query.value(0).toLongLong());
    QCOMPARE(kept->pairs, query.value(1).toLongLong());
}

// Rows added, changed and removed by the program, by another program (its
// conflict clauses included) and by an import in place of the rows: the
// counts kept are the counts of the table after each.
void TestSchemaCheck::theCountsFollowEveryWriteWhoeverMakesIt()
{
    const QString path = m_dir.filePath(QStringLiteral("counted.mdb"));
    Database::createFile(path);
    SchemaCheck::openDiary(path);
    compareKeptCounts();

    RecordSet diary(RecordSource::table(QStringLiteral("advocate"))
                        .orderBy(QStringLiteral("cdate, courtindex")));
    const auto add = [&](const QVariant &caseno, const QVariant &party) {
        diary.addNew();
        diary.setValue(QStringLiteral("cdate"), QDate(2026, 12, 7));
        diary.setValue(QStringLiteral("caseno"), caseno);
        diary.setValue(QStringLiteral("Party1"), party);
        diary.update();
    };
    add(QStringLiteral("CS 1"), QStringLiteral("Anand"));
    add(QStringLiteral("CS 1"), QStringLiteral("Anand"));
    add(QStringLiteral("CS 1"), QStringLiteral("ANAND"));
    add(QStringLiteral("CS 2"), QVariant());
    add(QVariant(), QVariant());
    add(QVariant(), QVariant());
    compareKeptCounts();
    QCOMPARE(Database::keptCounts(QStringLiteral("advocate"))->pairs, 4);
    QCOMPARE(diary.rowCount(), 6);

    // One of two rows of a pair, then the last of its pair, changed.
    diary.moveFirst();
    diary.setValue(QStringLiteral("Party1"), QStringLiteral("Bose"));
    diary.update();
    compareKeptCounts();
    diary.moveTo(2);
    diary.setValue(QStringLiteral("caseno"), QStringLiteral("CS 9"));
    diary.update();
    compareKeptCounts();
    diary.moveTo(4);
    diary.deleteCurrent();
    compareKeptCounts();

    const auto elsewhere = [&](const char *sql) {
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(path.toUtf8().constData(), &other), SQLITE_OK);
        sqlite3_busy_timeout(other, 5000);
        char *error = nullptr;
        const int rc = sqlite3_exec(other, sql, nullptr, nullptr, &error);
        const QString message = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        sqlite3_close(other);
        QVERIFY2(rc == SQLITE_OK, qPrintable(message));
    };
    elsewhere("INSERT OR ROLLBACK INTO advocate (caseno, Party1) VALUES ('CS 1', 'Anand'), "
              "('CS 3', 'Chopra')");
    elsewhere("INSERT OR FAIL INTO advocate (caseno, Party1) VALUES ('CS 3', 'Chopra')");
    elsewhere("INSERT OR ABORT INTO advocate (caseno, Party1) VALUES ('CS 4', NULL)");
    compareKeptCounts();
    elsewhere("UPDATE OR ROLLBACK advocate SET Party1 = 'Das' WHERE caseno = 'CS 1'");
    compareKeptCounts();
    elsewhere("DELETE FROM advocate WHERE Party1 = 'Das'");
    compareKeptCounts();
    elsewhere("BEGIN; DELETE FROM advocate; ROLLBACK");
    compareKeptCounts();
    elsewhere("DELETE FROM advocate");
    compareKeptCounts();
    QCOMPARE(Database::keptCounts(QStringLiteral("advocate"))->rows, 0);

    elsewhere("INSERT INTO advocate (caseno, Party1) VALUES ('CS 1', 'Anand'), ('CS 1', 'Bose')");
    const QString csv = m_dir.filePath(QStringLiteral("advocate.csv"));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("caseno,Party1\nCS 7,Anand\nCS 7,Anand\nCS 8,Bose\n");
    file.close();
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("advocate"), csv, true), 3);
    compareKeptCounts();
    QCOMPARE(Database::keptCounts(QStringLiteral("advocate"))->pairs, 2);
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("advocate"), csv), 3);
    compareKeptCounts();
    QCOMPARE(Database::keptCounts(QStringLiteral("advocate"))->rows, 6);
}

// A diary made by an earlier version or another tool keeps no counts: the
// opening makes them from the rows, as for one whose keeping was broken.
void TestSchemaCheck::aDiaryWithoutItsCountsGetsThemOnOpening()
{
    const QString path = m_dir.filePath(QStringLiteral("uncounted.mdb"));
    QStringList statements = schemaStatements(false, false);
    statements << QStringLiteral(
        "INSERT INTO advocate (caseno, Party1) VALUES ('CS 1', 'Anand'), ('CS 1', 'Anand'), "
        "('CS 2', 'Anand'), (NULL, NULL), ('CS 3', NULL)");
    execOn(path, statements);

    SchemaCheck::openDiary(path);
    compareKeptCounts();
    QCOMPARE(Database::keptCounts(QStringLiteral("advocate"))->pairs, 4);
    Database::close();

    // Another program removes rows while the counts are not kept.
    execOn(path, {QStringLiteral("DROP TRIGGER advocate_counts_removed"),
                  QStringLiteral("DELETE FROM advocate WHERE caseno = 'CS 2'")});
    SchemaCheck::openDiary(path);
    compareKeptCounts();
    QCOMPARE(Database::keptCounts(QStringLiteral("advocate"))->rows, 4);
    RecordSet diary(RecordSource::table(QStringLiteral("advocate"))
                        .orderBy(QStringLiteral("cdate, courtindex")));
    QCOMPARE(diary.rowCount(), 4);
}

QTEST_MAIN(TestSchemaCheck)
#include "tst_schemacheck.moc"
