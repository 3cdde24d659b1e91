#include "support/testdatabase.h"

#include <data/backup.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/schemacheck.h>
#include <data/sqlquery.h>
#include <data/tabletransfer.h>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;

class TestTableTransfer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyTableSurvivesARoundTrip();
    void theFileHasStoredNamesAndDayMonthYear();
    void oneBadRowStoresNothingAndNamesItsLine();
    void amountsAreReadAsTheBoxesReadThem();
    void headerMustNameColumnsOfTheTable();
    void replaceTakesThePlaceOfTheRows();
    void aRowTheDatabaseRefusesUndoesTheWholeImport();
    void unknownTablesAndUnreadableFilesAreRefused();
    void valuesThatCannotBeKeptAreRefusedWithTheirLines_data();
    void valuesThatCannotBeKeptAreRefusedWithTheirLines();
    void emptyTextsAndNoValuesStayApart();
    void replacingATableWithNothingIsRefused();
    void manyWrongRowsAreCountedNotAllListed();
    void aWrongLastRowOfALongFileStoresNothing();
    void theDiarysCountsAndListsFollowEveryImport();

private:
    static QList<QVariantList> rowsOf(const QString &table);
    static void writeFile(const QString &path, const QByteArray &bytes);

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

QList<SchemaCheck::Column> schemaColumns(const QString &table)
{
    for (const SchemaCheck::Table &t : SchemaCheck::required()) {
        if (t.name == table)
            return t.columns;
    }
    qFatal("no table %s in the schema", qPrintable(table));
}

} // namespace

void TestTableTransfer::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestTableTransfer::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

// Every row with every column, in a fixed order, as the database holds them.
QList<QVariantList> TestTableTransfer::rowsOf(const QString &table)
{
    // The schema's columns: a server's table shows its rows' keys besides.
    QStringList names;
    for (const SchemaCheck::Column &column : schemaColumns(table))
        names << QStringLiteral("\"%1\"").arg(column.name);
    SqlQuery q(QStringLiteral("SELECT %1 FROM \"%2\"").arg(names.join(u','), table));
    QList<QVariantList> rows;
    while (q.next()) {
        QVariantList row;
        // No value is told apart from an empty text.
        for (int i = 0; i < q.columnCount(); ++i)
            row << (q.isNull(i) ? QVariant(QStringLiteral("<no value>")) : q.value(i));
        rows << row;
    }
    std::sort(rows.begin(), rows.end(), [](const QVariantList &a, const QVariantList &b) {
        for (int i = 0; i < a.size(); ++i) {
            const QString x = a[i].toString();
            const QString y = b[i].toString();
            if (x != y)
                return x < y;
        }
        return false;
    });
    return rows;
}

void TestTableTransfer::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestTableTransfer::everyTableSurvivesARoundTrip()
{
    const QStringList tables = TableTransfer::tables();
    QVERIFY(tables.contains(QStringLiteral("advocate")));
    QVERIFY(tables.contains(QStringLiteral("Holidays")));
    QVERIFY(!tables.contains(QStringLiteral("password1")));
    // Exactly the diary's own tables: what the database keeps beside them
    // for its searches is not offered.
    QStringList own = DatabaseBackup::programTables();
    own.removeAll(QStringLiteral("password1"));
    own.sort(Qt::CaseInsensitive);
    QCOMPARE(tables, own);

    const QStringList texts = {
        QStringLiteral("State of M.P., \"through\" D'Souza"),
        QStringLiteral("first line\nsecond line\r\nthird, with a comma"),
        QStringLiteral("रामलाल \"श्याम\", वकील"),
    };
    for (const QString &table : tables) {
        QStringList names;
        QStringList types;
        for (const SchemaCheck::Column &column : schemaColumns(table)) {
            names << column.name;
            types << QString::fromLatin1(column.type);
        }
        QStringList quotedNames;
        QStringList marks;
        for (const QString &name : std::as_const(names)) {
            quotedNames << QStringLiteral("\"%1\"").arg(name);
            marks << QStringLiteral("?");
        }
        SqlQuery insert(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                            .arg(table, quotedNames.join(u','), marks.join(u',')));
        for (int row = 0; row < 3; ++row) {
            for (int c = 0; c < names.size(); ++c) {
                QVariant value;
                if (types[c] == QStringLiteral("DATE"))
                    value = QStringLiteral("2026-12-%1").arg(7 + row + c, 2, 10, QLatin1Char('0'));
                else if (types[c] == QStringLiteral("TIME"))
                    value = QStringLiteral("1%1:30:00").arg(row);
                else if (types[c] == QStringLiteral("INTEGER"))
                    value = qint64(row * 10 + c);
                else if (types[c] == QStringLiteral("REAL"))
                    value = 1234.5 + row * 0.25 + c;
                else if (row == 1)
                    value = c % 2 == 0 ? QStringLiteral("") : QStringLiteral("  ");
                else
                    value = texts[(row + c) % 3] + QString::number(c);
                // A blank cell stays blank, an empty text empty.
                if (row == 2 && c % 2 == 1)
                    value = QVariant();
                insert.bind(c + 1, value);
            }
            insert.exec();
            insert.reset();
        }
        const QList<QVariantList> before = rowsOf(table);
        QCOMPARE(before.size(), 3);

        const QString file = m_dir->filePath(table + QStringLiteral(".csv"));
        QCOMPARE(TableTransfer::exportCsv(table, file), 3);
        m_db->exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
        QCOMPARE(TableTransfer::importCsv(table, file), 3);
        QCOMPARE(rowsOf(table), before);
    }
}

void TestTableTransfer::theFileHasStoredNamesAndDayMonthYear()
{
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate VALUES ('2026-12-07', 'adjourned, \"sine die\"', '2026-11-02', "
        "'State', 'रामलाल', 'Cr. 12/2026', 'District Court', 3, 'hearing', NULL, 'evidence')"));
    m_db->exec(QStringLiteral("INSERT INTO AC_INFO VALUES ('Mehta', '2026-04-01', 'Fees', 2500.75, "
                              "100, 0, 1000, 1601)"));
    const QString diary = m_dir->filePath(QStringLiteral("diary.csv"));
    QCOMPARE(TableTransfer::exportCsv(QStringLiteral("ADVOCATE"), diary), 1);
    QFile file(diary);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(
        QString::fromUtf8(file.readAll()),
        QStringLiteral("cdate,remarks,pdate,Party1,Party2,caseno,courtname,CourtIndex,fixedfor,"
                       "ndate,fixedforN\r\n07/12/2026,\"adjourned, \"\"sine die\"\"\",02/11/2026,"
                       "State,रामलाल,Cr. 12/2026,District Court,3,hearing,,evidence\r\n"));
    file.close();

    const QString fees = m_dir->filePath(QStringLiteral("fees.csv"));
    QCOMPARE(TableTransfer::exportCsv(QStringLiteral("ac_info"), fees), 1);
    QFile feesFile(fees);
    QVERIFY(feesFile.open(QIODevice::ReadOnly));
    QCOMPARE(feesFile.readAll(),
             QByteArray("Name,TransDate,Part,Legal Fees,CourtFees,Misc,Received,Balance\r\n"
                        "Mehta,01/04/2026,Fees,2500.75,100,0,1000,1601\r\n"));
}

void TestTableTransfer::oneBadRowStoresNothingAndNamesItsLine()
{
    m_db->exec(QStringLiteral("INSERT INTO Holidays VALUES ('2026-12-25', 'Christmas')"));
    const QString path = m_dir->filePath(QStringLiteral("holidays.csv"));
    writeFile(path, QStringLiteral("Date,Holiday\r\n"
                                   "26/01/2027,\"Republic Day,\nnational\"\r\n"
                                   "31/02/2027,No such day\r\n"
                                   "15/08/2027,Independence Day\r\n"
                                   "02/10/2027,गांधी जयंती,extra\r\n")
                        .toUtf8());
    try {
        TableTransfer::importCsv(QStringLiteral("holidays"), path);
        QFAIL("a file with bad rows was imported");
    } catch (const TableTransfer::Refused &refused) {
        QCOMPARE(refused.rows.size(), 2);
        QCOMPARE(refused.rows[0].line, 4);
        QCOMPARE(refused.rows[0].reason,
                 QStringLiteral("\"31/02/2027\" is not a valid date for Dated (Date)."));
        QCOMPARE(refused.rows[1].line, 6);
        QCOMPARE(refused.rows[1].reason,
                 QStringLiteral("3 fields where the first line names 2 columns."));
        QCOMPARE(refused.description(),
                 QStringLiteral("Nothing was imported into Holidays: 2 rows are wrong.\n"
                                "Line 4: \"31/02/2027\" is not a valid date for Dated (Date).\n"
                                "Line 6: 3 fields where the first line names 2 columns."));
    }
    QCOMPARE(m_db->count(QStringLiteral("Holidays")), 1);

    // Numbers are checked too: letters, and a fraction in a whole-number column.
    writeFile(path,
              QByteArrayLiteral("court,indexx\nHigh Court,1\nSessions,two\nMagistrate,2.5\n"));
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path);
        QFAIL("a file with bad numbers was imported");
    } catch (const TableTransfer::Refused &refused) {
        QCOMPARE(refused.rows.size(), 2);
        QCOMPARE(refused.rows[0].line, 3);
        QCOMPARE(refused.rows[0].reason,
                 QStringLiteral("\"two\" is not a valid whole number for Index (indexx)."));
        QCOMPARE(refused.rows[1].line, 4);
    }
    QCOMPARE(m_db->count(QStringLiteral("courts")), 0);
}

void TestTableTransfer::amountsAreReadAsTheBoxesReadThem()
{
    const QString path = m_dir->filePath(QStringLiteral("ledger.csv"));
    writeFile(path, QByteArrayLiteral("Name,TransDate,Legal Fees,CourtFees,Received,Balance\n"
                                      "Anand,01/12/2026,\"15,000\",\" 1,25,000.50 \",,-200\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("AC_INFO"), path), 1);
    SqlQuery stored(
        QStringLiteral("SELECT \"Legal Fees\", CourtFees, Misc, Received, Balance FROM AC_INFO"));
    QVERIFY(stored.next());
    QCOMPARE(stored.value(0).toDouble(), 15000.0);
    QCOMPARE(stored.value(1).toDouble(), 125000.5);
    QVERIFY(stored.isNull(2));
    QVERIFY(stored.isNull(3));
    QCOMPARE(stored.value(4).toDouble(), -200.0);
    QVERIFY(stored.isNumber(0) && stored.isNumber(4));

    // An amount column that holds no amount stores nothing, and says where.
    writeFile(path, QByteArrayLiteral("Name,Legal Fees\nAnand,\"1,500\"\nRajesh,\"15,00,0\"\n"));
    try {
        TableTransfer::importCsv(QStringLiteral("AC_INFO"), path);
        QFAIL("a file with a bad amount was imported");
    } catch (const TableTransfer::Refused &refused) {
        QCOMPARE(refused.rows.size(), 1);
        QCOMPARE(refused.rows[0].line, 3);
        QCOMPARE(refused.rows[0].reason,
                 QStringLiteral("Legal Fees: \"15,00,0\" is not an amount."));
    }
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 1);
}

void TestTableTransfer::headerMustNameColumnsOfTheTable()
{
    const QString path = m_dir->filePath(QStringLiteral("courts.csv"));
    writeFile(path, QByteArrayLiteral("court,index,court\nHigh Court,1\n"));
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path);
        QFAIL("a header with unknown columns was taken");
    } catch (const TableTransfer::Refused &refused) {
        QCOMPARE(refused.rows.size(), 2);
        QCOMPARE(refused.rows[0].line, 1);
        QCOMPARE(refused.rows[0].reason, QStringLiteral("courts has no column \"index\"."));
        QCOMPARE(refused.rows[1].reason, QStringLiteral("the column court is named twice."));
    }

    // Letter case and order do not matter, and columns may be left out.
    writeFile(path, QByteArrayLiteral("INDEXX,Court\n2,\"D'Souza Bench\"\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("courts"), path), 1);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT court || '/' || indexx FROM courts")).toString(),
             QStringLiteral("D'Souza Bench/2"));
    writeFile(path, QByteArrayLiteral("court\nSessions\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("courts"), path), 1);
    QVERIFY(m_db->scalar(QStringLiteral("SELECT indexx FROM courts WHERE court = 'Sessions'"))
                .isNull());
}

void TestTableTransfer::replaceTakesThePlaceOfTheRows()
{
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('Old Court', 9)"));
    const QString path = m_dir->filePath(QStringLiteral("courts.csv"));
    writeFile(path, QByteArrayLiteral("court,indexx\nHigh Court,1\nSessions,2\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("courts"), path, true), 2);
    QCOMPARE(m_db->count(QStringLiteral("courts")), 2);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM courts WHERE court = 'Old Court'"))
                 .toInt(),
             0);
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("courts"), path), 2);
    QCOMPARE(m_db->count(QStringLiteral("courts")), 4);
}

void TestTableTransfer::aRowTheDatabaseRefusesUndoesTheWholeImport()
{
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('Old Court', 9)"));
    m_db->exec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON courts WHEN NEW.court = 'Refused' "
                       "BEGIN SELECT RAISE(ABORT, 'refused by the database'); END"));
    const QString path = m_dir->filePath(QStringLiteral("courts.csv"));
    writeFile(path, QByteArrayLiteral("court,indexx\nHigh Court,1\nRefused,2\nSessions,3\n"));
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path, true);
        QFAIL("an import the database refused was reported as done");
    } catch (const DataError &e) {
        QVERIFY2(e.description().startsWith(
                     QStringLiteral("Nothing was imported into courts: line 3 was refused")),
                 qPrintable(e.description()));
        QVERIFY2(e.description().contains(QStringLiteral("refused by the database")),
                 qPrintable(e.description()));
    }
    // Neither the rows before it nor the emptying of the table were kept.
    QCOMPARE(m_db->count(QStringLiteral("courts")), 1);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT court FROM courts")).toString(),
             QStringLiteral("Old Court"));

    // A unique index refuses a row by its line, and a replace keeps every index.
    m_db->exec(QStringLiteral("CREATE UNIQUE INDEX one_index ON courts (indexx)"));
    m_db->exec(QStringLiteral("CREATE INDEX by_court ON courts (court)"));
    const auto indexes = [this] {
        return m_db
            ->scalar(QStringLiteral("SELECT group_concat(name) FROM (SELECT name FROM "
                                    "sqlite_master WHERE type = 'index' AND tbl_name = "
                                    "'courts' ORDER BY name)"))
            .toString();
    };
    const QString before = indexes();
    writeFile(path, QByteArrayLiteral("court,indexx\nHigh Court,1\nSessions,1\n"));
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path, true);
        QFAIL("a row the unique index refuses was imported");
    } catch (const DataError &e) {
        QVERIFY2(e.description().startsWith(
                     QStringLiteral("Nothing was imported into courts: line 3 was refused")),
                 qPrintable(e.description()));
    }
    QCOMPARE(indexes(), before);
    writeFile(path, QByteArrayLiteral("court,indexx\nHigh Court,1\nSessions,2\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("courts"), path, true), 2);
    QCOMPARE(indexes(), before);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM courts INDEXED BY by_court "
                                         "WHERE court = 'Sessions'"))
                 .toInt(),
             1);
}

void TestTableTransfer::unknownTablesAndUnreadableFilesAreRefused()
{
    const QString path = m_dir->filePath(QStringLiteral("x.csv"));
    QVERIFY_THROWS_EXCEPTION(
        DataError, TableTransfer::exportCsv(QStringLiteral("courts; drop table courts"), path));
    QVERIFY_THROWS_EXCEPTION(DataError,
                             TableTransfer::exportCsv(QStringLiteral("password1"), path));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m_db->count(QStringLiteral("courts")), 0);
    QVERIFY_THROWS_EXCEPTION(
        DataError, TableTransfer::importCsv(QStringLiteral("courts"),
                                            m_dir->filePath(QStringLiteral("missing.csv"))));
    writeFile(path, QByteArray("court,indexx\n\xff\xfe,1\n"));
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path);
        QFAIL("text that is not UTF-8 was imported");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("UTF-8")), qPrintable(e.description()));
    }
    writeFile(path, QByteArray());
    QVERIFY_THROWS_EXCEPTION(DataError, TableTransfer::importCsv(QStringLiteral("courts"), path));
    QCOMPARE(m_db->count(QStringLiteral("courts")), 0);
}

void TestTableTransfer::valuesThatCannotBeKeptAreRefusedWithTheirLines_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QString>("reason");
    QTest::newRow("index beyond the column's range")
        << QByteArray("Big Court,99999999999999999999")
        << QStringLiteral(
               "\"99999999999999999999\" is too large a whole number for Index (indexx)");
    QTest::newRow("negative index beyond it")
        << QByteArray("Big Court,-9007199254740993") << QStringLiteral("too large a whole number");
    QTest::newRow("NUL in a text") << QByteArray("\"Nul\0hidden\",3", 14)
                                   << QStringLiteral("The text for court holds a NUL character");
    QTest::newRow("NUL in a number") << QByteArray("Court,4\0", 8) << QStringLiteral("NUL");
}

void TestTableTransfer::valuesThatCannotBeKeptAreRefusedWithTheirLines()
{
    QFETCH(QByteArray, row);
    QFETCH(QString, reason);
    const QString path = m_dir->filePath(QStringLiteral("courts.csv"));
    writeFile(path, "court,indexx\nHigh Court,1\n" + row + "\nSessions,9007199254740991\n");
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path);
        QFAIL("a value that cannot be kept was imported");
    } catch (const TableTransfer::Refused &refused) {
        QCOMPARE(refused.rows.size(), 1);
        QCOMPARE(refused.rows[0].line, 3);
        QVERIFY2(refused.rows[0].reason.contains(reason), qPrintable(refused.rows[0].reason));
    }
    QCOMPARE(m_db->count(QStringLiteral("courts")), 0);
}

void TestTableTransfer::emptyTextsAndNoValuesStayApart()
{
    const QString path = m_dir->filePath(QStringLiteral("courts.csv"));
    writeFile(path, QByteArrayLiteral("court,indexx\n\"\",1\n,2\n\"  \",\"\"\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("courts"), path), 3);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(quote(court) || '/' || "
                                         "quote(indexx), ' ') FROM courts"))
                 .toString(),
             QStringLiteral("''/1 NULL/2 '  '/NULL"));
    QCOMPARE(TableTransfer::exportCsv(QStringLiteral("courts"), path), 3);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("court,indexx\r\n\"\",1\r\n,2\r\n\"  \",\r\n"));
}

void TestTableTransfer::replacingATableWithNothingIsRefused()
{
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('Old Court', 9)"));
    const QString path = m_dir->filePath(QStringLiteral("courts.csv"));
    writeFile(path, QByteArrayLiteral("court,indexx\r\n"));
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path, true);
        QFAIL("a table was replaced with nothing");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("holds no rows")),
                 qPrintable(e.description()));
    }
    QCOMPARE(m_db->count(QStringLiteral("courts")), 1);
    // Added to the table, nothing is nothing.
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("courts"), path), 0);
    QCOMPARE(m_db->count(QStringLiteral("courts")), 1);
}

void TestTableTransfer::manyWrongRowsAreCountedNotAllListed()
{
    // The first wrong field is long and holds a line break.
    QByteArray bytes = "court,indexx\nFirst,\"" + QByteArray(100000, 'x') + "\nx\"\n";
    for (int i = 1; i < 100000; ++i)
        bytes += "Court,two\n";
    const QString path = m_dir->filePath(QStringLiteral("courts.csv"));
    writeFile(path, bytes);
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path);
        QFAIL("a file of wrong rows was imported");
    } catch (const TableTransfer::Refused &refused) {
        QCOMPARE(refused.count, 100000);
        QCOMPARE(refused.rows.size(), 20);
        const QStringList lines = refused.description().split(u'\n');
        QCOMPARE(lines.size(), 22);
        QCOMPARE(lines.first(),
                 QStringLiteral("Nothing was imported into courts: 100000 rows are wrong."));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Line 2: \"xxx")) && lines[1].size() < 300,
                 qPrintable(lines[1].left(300)));
        QCOMPARE(
            lines[20],
            QStringLiteral("Line 22: \"two\" is not a valid whole number for Index (indexx)."));
        QCOMPARE(lines.last(), QStringLiteral("... and 99980 more wrong lines."));
    }
    QCOMPARE(m_db->count(QStringLiteral("courts")), 0);
}

void TestTableTransfer::aWrongLastRowOfALongFileStoresNothing()
{
    // Longer than the blocks the file is read in, with a line break inside
    // the quotes of every row, and CR LF line ends.
    const int rows = 5000;
    const QByteArray padding(300, 'p');
    QByteArray bytes = "court,indexx\r\n";
    for (int i = 1; i < rows; ++i)
        bytes += "\"Court " + QByteArray::number(i) + "\r\n" + padding + "\"," +
                 QByteArray::number(i) + "\r\n";
    const QString path = m_dir->filePath(QStringLiteral("courts.csv"));
    writeFile(path, bytes + "\"Last\nCourt\",five\r\n");
    try {
        TableTransfer::importCsv(QStringLiteral("courts"), path);
        QFAIL("a file with a wrong last row was imported");
    } catch (const TableTransfer::Refused &refused) {
        QCOMPARE(refused.count, 1);
        // The header, then two lines a row.
        QCOMPARE(refused.rows.value(0).line, 2 + 2 * (rows - 1));
        QCOMPARE(refused.rows.value(0).reason,
                 QStringLiteral("\"five\" is not a valid whole number for Index (indexx)."));
    }
    QCOMPARE(m_db->count(QStringLiteral("courts")), 0);

    writeFile(path, bytes + "\"Last\nCourt\",5000\r\n");
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("courts"), path), rows);
    SqlQuery q(QStringLiteral("SELECT court FROM courts WHERE indexx IN (4321, 5000) "
                              "ORDER BY indexx"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(),
             QStringLiteral("Court 4321\r\n") + QString::fromLatin1(padding));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("Last\nCourt"));
}

void TestTableTransfer::theDiarysCountsAndListsFollowEveryImport()
{
    const QString path = m_dir->filePath(QStringLiteral("diary.csv"));
    const auto counts = [] {
        const auto kept = Database::keptCounts(QStringLiteral("advocate"));
        return kept ? QPair<qint64, qint64>(kept->rows, kept->pairs) : QPair<qint64, qint64>();
    };
    const auto listed = [this] {
        const QString list =
            Database::textList(QStringLiteral("advocate"), QStringLiteral("Party1"));
        return list.isEmpty() ? QString()
                              : m_db->scalar(QStringLiteral("SELECT group_concat(\"text\", '|') "
                                                            "FROM (SELECT \"text\" FROM %1 "
                                                            "ORDER BY 1)")
                                                 .arg(list))
                                    .toString();
    };

    // The connection's page cache is the same after each import, whatever it used.
    const QVariant cacheSize = m_db->scalar(QStringLiteral("PRAGMA cache_size"));

    // Into the empty diary: made from the rows.
    writeFile(path, QByteArrayLiteral("caseno,Party1\nCS 1/2026,Anand\nCS 1/2026,Anand\n"
                                      "CS 2/2026,Bela\nCS 3/2026,\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("advocate"), path), 4);
    QCOMPARE(counts(), (QPair<qint64, qint64>(4, 3)));
    QCOMPARE(listed(), QStringLiteral("Anand|Bela"));
    // Kept up again by the database on each write after it.
    m_db->exec(
        QStringLiteral("INSERT INTO advocate (caseno, Party1) VALUES ('CS 4/2026', 'Chand')"));
    QCOMPARE(counts(), (QPair<qint64, qint64>(5, 4)));
    QCOMPARE(listed(), QStringLiteral("Anand|Bela|Chand"));

    // Added to rows already there.
    writeFile(path, QByteArrayLiteral("caseno,Party1\nCS 4/2026,Chand\nCS 5/2026,Dev\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("advocate"), path), 2);
    QCOMPARE(counts(), (QPair<qint64, qint64>(7, 5)));
    QCOMPARE(listed(), QStringLiteral("Anand|Bela|Chand|Dev"));

    // A replace that is refused leaves them, and their keeping, as they were.
    writeFile(path, QByteArrayLiteral("caseno,cdate\nCS 9/2026,31/02/2026\n"));
    QVERIFY_THROWS_EXCEPTION(TableTransfer::Refused,
                             TableTransfer::importCsv(QStringLiteral("advocate"), path, true));
    QCOMPARE(counts(), (QPair<qint64, qint64>(7, 5)));
    QCOMPARE(m_db->scalar(QStringLiteral("PRAGMA cache_size")), cacheSize);
    m_db->exec(QStringLiteral("DELETE FROM advocate WHERE caseno = 'CS 5/2026'"));
    QCOMPARE(counts(), (QPair<qint64, qint64>(6, 4)));

    // In place of the rows.
    writeFile(path, QByteArrayLiteral("caseno,Party1\nCS 9/2026,Esha\n"));
    QCOMPARE(TableTransfer::importCsv(QStringLiteral("advocate"), path, true), 1);
    QCOMPARE(counts(), (QPair<qint64, qint64>(1, 1)));
    QVERIFY2(listed().split(u'|').contains(QStringLiteral("Esha")), qPrintable(listed()));
    m_db->exec(QStringLiteral("DELETE FROM advocate"));
    QCOMPARE(counts(), (QPair<qint64, qint64>(0, 0)));
    QCOMPARE(m_db->scalar(QStringLiteral("PRAGMA cache_size")), cacheSize);
}

QTEST_GUILESS_MAIN(TestTableTransfer)
#include "tst_tabletransfer.moc"
