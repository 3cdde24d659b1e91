#include "support/testdatabase.h"
#include "support/testserver.h"

#include <data/changewatch.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/recordset.h>
#include <data/recordsetmodel.h>
#include <QAbstractItemModelTester>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <sqlite3.h>

using namespace lexordo;

class TestRecordSet : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensTablesAndStatements();
    void opensStatementsWithBoundValues();
    void columnsByNameIgnoreCase();
    void movesStopAtTheEnds();
    void emptyRecordSetIsAtBothEnds();
    void valuesAreTyped();

    void appendAndStore();
    void emptyTextIsStoredAsNull();
    void modifyStoresOnlyTheRow();
    void refusesTextThatIsNotOfTheColumnsType_data();
    void refusesTextThatIsNotOfTheColumnsType();
    void movingStoresPendingChanges();
    void requeryStoresPendingChangesAndDropsTheFilter();
    void requerySeesWritesOfOtherPrograms();
    void requeryWithoutWritesRestoresTheOrderRead();
    void requeryFailsWhenTheDataVersionCannotBeRead();
    void rereadKeepsTheRowTheFilterAndTheSort();
    void changeWatchHearsOtherDesksOnlyAndFailuresOnce();
    void untouchedNewRowIsNeverStored();
    void cancelUpdateRestoresTheRow();
    void rejectedStoreKeepsWhatWasTyped();
    void deleteLeavesThePositionWhereTheRowWas();
    void deleteOnNewRowStoresNothing();
    void changeOfARowAnotherDeskChangedIsRefused();
    void deleteNeverRemovesARowStoredSinceUnderTheSameKey();
    void unchangedRowsAreFoundAgain_data();
    void unchangedRowsAreFoundAgain();

    void filtersJoinedByAnd();
    void filterTextIgnoresCase();
    void filterMatchesApostrophesAndWildcardsAsTyped_data();
    void filterMatchesApostrophesAndWildcardsAsTyped();
    void filterOnNull();
    void filterRefusesAValueOfTheWrongType();
    void filterSeesRowsAddedSinceOpening();
    void sortByColumns();

    void readOnlyStatements();
    void computedColumnIsNamedAsOfOld();
    void unknownColumnIsAReadableError();

    void modelFollowsTheRecordSet();

private:
    std::unique_ptr<test::TestDatabase> m_db;
};

void TestRecordSet::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('District Court', 2), ('High Court', 1), "
                              "('Civil Court', 3), ('O''Brien Tribunal', 4), ('Rent 100% Court', "
                              "5), ('Small_Causes', 6)"));
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate (cdate, remarks, pdate, Party1, Party2, caseno, courtname, "
        "CourtIndex, fixedfor, ndate, fixedforN) VALUES "
        "('2026-12-01', 'Decided', NULL, 'State', 'Ram Lal', 'CR 1/2026', 'High Court', 1, "
        "'hearing', NULL, NULL),"
        "('2026-12-01', NULL, '2026-11-20', 'Sita Devi', 'Mohan', 'CS 7/2025', 'District Court', "
        "2, 'evidence', '2026-12-07', 'arguments'),"
        "('2026-12-02', 'adjourned', NULL, 'D''Souza', 'Bank', 'CS 9/2024', 'Civil Court', 3, "
        "'hearing', '2026-12-07', 'orders')"));
}

void TestRecordSet::cleanup()
{
    m_db.reset();
}

void TestRecordSet::opensTablesAndStatements()
{
    RecordSet table(RecordSource::table(QStringLiteral("courts")));
    QCOMPARE(table.rowCount(), 6);
    QVERIFY(table.isUpdatable());

    RecordSet ordered(
        RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    QCOMPARE(ordered.rowCount(), 6);
    QCOMPARE(ordered.position(), 0);
    QCOMPARE(ordered.text(QStringLiteral("court")), QStringLiteral("High Court"));
    QVERIFY(ordered.isUpdatable());
    QCOMPARE(ordered.tableName(), QStringLiteral("courts"));
}

void TestRecordSet::opensStatementsWithBoundValues()
{
    // A table seen through its own filter: changed as any table, and the
    // filter kept at each re-read.
    RecordSet rs(
        RecordSource::table(QStringLiteral("advocate"))
            .where(Filter(QStringLiteral("cdate"), Filter::Op::GreaterOrEqual, QDate(2026, 12, 1)))
            .orderBy(QStringLiteral("cdate")));
    QCOMPARE(rs.rowCount(), 3);
    QVERIFY(rs.isUpdatable());
    rs.moveLast();
    rs.setValue(QStringLiteral("remarks"), QStringLiteral("heard"));
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, Party1) VALUES ('2026-12-01', 'New'), "
                              "('2026-11-30', 'Before')"));
    rs.requery();
    QCOMPARE(rs.rowCount(), 4);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT remarks FROM advocate WHERE Party1 = 'D''Souza'"))
                 .toString(),
             QStringLiteral("heard"));
    rs.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::BeginsWith, QStringLiteral("Ne")));
    QCOMPARE(rs.rowCount(), 1);

    // A query: read-only, its values bound again at each re-read.
    RecordSet query(
        RecordSource::query(QStringLiteral("select * from advocate where Party1 = ? or cdate = ?"),
                            {QStringLiteral("D'Souza"), QDate(2026, 12, 1)}));
    QCOMPARE(query.rowCount(), 4);
    QVERIFY(!query.isUpdatable());
    m_db->exec(
        QStringLiteral("INSERT INTO advocate (cdate, Party1) VALUES ('2026-12-01', 'Later')"));
    query.requery();
    QCOMPARE(query.rowCount(), 5);
}

void TestRecordSet::columnsByNameIgnoreCase()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    QCOMPARE(rs.fieldCount(), 11);
    QCOMPARE(rs.fieldIndex(QStringLiteral("CASENO")), 5);
    QCOMPARE(rs.fieldIndex(QStringLiteral("caseno")), 5);
    QCOMPARE(rs.fieldIndex(QStringLiteral("courtindex")), 7);
    QCOMPARE(rs.fieldIndex(QStringLiteral("nothing")), -1);
    QCOMPARE(rs.fieldName(7), QStringLiteral("CourtIndex"));
    QCOMPARE(rs.value(QStringLiteral("PARTY1")), rs.value(3));
}

void TestRecordSet::movesStopAtTheEnds()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    rs.moveLast();
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Small_Causes"));
    rs.moveNext();
    QVERIFY(rs.isEOF());
    QVERIFY(!rs.hasCurrentRow());
    QCOMPARE(rs.text(QStringLiteral("court")), QString());
    rs.moveNext(); // nothing further
    QCOMPARE(rs.position(), rs.rowCount());
    rs.movePrevious();
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Small_Causes"));

    rs.moveFirst();
    rs.movePrevious();
    QVERIFY(rs.isBOF());
    QVERIFY(!rs.isEOF());
    rs.movePrevious();
    QCOMPARE(rs.position(), -1);
    rs.moveNext();
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("High Court"));
}

void TestRecordSet::emptyRecordSetIsAtBothEnds()
{
    RecordSet rs(RecordSource::table(QStringLiteral("Holidays")));
    QCOMPARE(rs.rowCount(), 0);
    QVERIFY(rs.isBOF());
    QVERIFY(rs.isEOF());
    rs.moveNext();
    rs.moveLast();
    rs.moveFirst();
    QVERIFY(!rs.hasCurrentRow());
    QVERIFY_THROWS_EXCEPTION(DataError,
                             rs.setValue(QStringLiteral("Holiday"), QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(DataError, rs.deleteCurrent());
}

void TestRecordSet::valuesAreTyped()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.moveTo(1);
    QCOMPARE(rs.value(QStringLiteral("cdate")), QVariant(QDate(2026, 12, 1)));
    QCOMPARE(rs.text(QStringLiteral("pdate")), QStringLiteral("20/11/2026"));
    QCOMPARE(rs.value(QStringLiteral("CourtIndex")), QVariant(qint64(2)));
    QVERIFY(rs.isNull(QStringLiteral("remarks")));
    QVERIFY(!rs.value(QStringLiteral("remarks")).isValid());
    QCOMPARE(rs.valueAt(2, rs.fieldIndex(QStringLiteral("Party1"))),
             QVariant(QStringLiteral("D'Souza")));
}

void TestRecordSet::appendAndStore()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    rs.addNew();
    QCOMPARE(rs.rowCount(), 7);
    QCOMPARE(rs.position(), 6);
    QVERIFY(rs.isNewRow());
    rs.setValue(QStringLiteral("COURT"), QStringLiteral("Family Court"));
    rs.setValue(1, QStringLiteral("7"));
    rs.update();
    QVERIFY(!rs.isDirty());
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT indexx FROM courts WHERE court = 'Family Court'"))
                 .toInt(),
             7);
    // The stored row can be changed again and stays one row.
    rs.setValue(1, 8);
    rs.update();
    QCOMPARE(m_db->count(QStringLiteral("courts")), 7);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT indexx FROM courts WHERE court = 'Family Court'"))
                 .toInt(),
             8);
}

void TestRecordSet::emptyTextIsStoredAsNull()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate")));
    rs.addNew();
    rs.setValue(QStringLiteral("caseno"), QStringLiteral("CS 1/2027"));
    rs.setValue(QStringLiteral("remarks"), QStringLiteral("   "));
    rs.setValue(QStringLiteral("ndate"), QString());
    rs.update();
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE caseno = "
                                         "'CS 1/2027' AND remarks IS NULL AND ndate IS NULL"))
                 .toInt(),
             1);
}

void TestRecordSet::modifyStoresOnlyTheRow()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.moveTo(1);
    rs.setValue(QStringLiteral("ndate"), QStringLiteral("8/12/2026"));
    rs.setValue(QStringLiteral("remarks"), QStringLiteral("part heard"));
    rs.update();
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT ndate FROM advocate WHERE caseno = 'CS 7/2025'"))
                 .toString(),
             QStringLiteral("2026-12-08"));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE remarks = "
                                         "'part heard'"))
                 .toInt(),
             1);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 3);
}

void TestRecordSet::refusesTextThatIsNotOfTheColumnsType_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");

    QTest::newRow("no such day") << "cdate"
                                 << "31/02/2026";
    QTest::newRow("words in a date") << "ndate"
                                     << "next week";
    QTest::newRow("month first") << "pdate"
                                 << "12/31/2026";
    QTest::newRow("letters in a number") << "CourtIndex"
                                         << "two";
    QTest::newRow("fraction in a whole number") << "CourtIndex"
                                                << "2.5";
}

void TestRecordSet::refusesTextThatIsNotOfTheColumnsType()
{
    QFETCH(QString, column);
    QFETCH(QString, text);

    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.moveTo(1);
    const QVariant before = rs.value(column);
    try {
        rs.setValue(column, text);
        QFAIL("the text must be refused");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(text), qPrintable(e.description()));
        QVERIFY2(e.description().contains(rs.fieldName(rs.fieldIndex(column))),
                 qPrintable(e.description()));
    }
    QCOMPARE(rs.value(column), before);
    QVERIFY(!rs.isDirty());
}

void TestRecordSet::movingStoresPendingChanges()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.moveTo(2);
    rs.setValue(QStringLiteral("fixedforN"), QStringLiteral("final arguments"));
    rs.moveFirst();
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT fixedforN FROM advocate WHERE caseno = "
                                         "'CS 9/2024'"))
                 .toString(),
             QStringLiteral("final arguments"));
}

void TestRecordSet::requeryStoresPendingChangesAndDropsTheFilter()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.setFilter(Filter(QStringLiteral("caseno"), Filter::Op::Equal, QStringLiteral("CS 9/2024")));
    QCOMPARE(rs.rowCount(), 1);
    rs.setValue(QStringLiteral("remarks"), QStringLiteral("stayed"));
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno) VALUES ('2026-12-03', 'X')"));
    rs.requery();
    QVERIFY(rs.filter().isEmpty());
    QCOMPARE(rs.rowCount(), 4);
    QCOMPARE(rs.position(), 0);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT remarks FROM advocate WHERE caseno = "
                                         "'CS 9/2024'"))
                 .toString(),
             QStringLiteral("stayed"));
}

void TestRecordSet::requerySeesWritesOfOtherPrograms()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    rs.requery(); // nothing written: the rows read serve
    QCOMPARE(rs.rowCount(), 6);

    // Another program (an ODBC client, say) adds a court.
    m_db->execElsewhere(QStringLiteral("INSERT INTO courts VALUES ('Lok Adalat', 0)"));

    rs.requery();
    QCOMPARE(rs.rowCount(), 7);
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Lok Adalat"));
}

void TestRecordSet::requeryWithoutWritesRestoresTheOrderRead()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    rs.setSort(QStringLiteral("court desc"));
    rs.setFilter(Filter(QStringLiteral("court"), Filter::Op::Contains, QStringLiteral("court")));
    rs.addNew(); // nothing typed: never stored
    rs.requery();
    QVERIFY(rs.filter().isEmpty());
    QVERIFY(rs.sort().isEmpty());
    QCOMPARE(rs.rowCount(), 6);
    QCOMPARE(rs.position(), 0);
    QStringList names;
    for (int row = 0; row < rs.rowCount(); ++row)
        names << rs.textAt(row, 0);
    QCOMPARE(names, (QStringList{"High Court", "District Court", "Civil Court", "O'Brien Tribunal",
                                 "Rent 100% Court", "Small_Causes"}));
}

void TestRecordSet::untouchedNewRowIsNeverStored()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")));
    rs.addNew();
    rs.moveFirst();
    QCOMPARE(rs.rowCount(), 6);
    rs.addNew();
    rs.requery();
    QCOMPARE(m_db->count(QStringLiteral("courts")), 6);
    // Stored on purpose, an empty row is kept: Save stores a row as typed.
    rs.addNew();
    rs.update();
    QCOMPARE(m_db->count(QStringLiteral("courts")), 7);
}

void TestRecordSet::cancelUpdateRestoresTheRow()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    rs.setValue(QStringLiteral("court"), QStringLiteral("Changed"));
    rs.cancelUpdate();
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("High Court"));
    QVERIFY(!rs.hasPendingChanges());

    rs.addNew();
    rs.setValue(QStringLiteral("court"), QStringLiteral("Never"));
    rs.cancelUpdate();
    QCOMPARE(rs.rowCount(), 6);
    rs.requery();
    QCOMPARE(rs.rowCount(), 6);
}

void TestRecordSet::rejectedStoreKeepsWhatWasTyped()
{
    m_db->refuseInserts(QStringLiteral("courts"), QStringLiteral("NEW.court = 'Refused'"),
                        QStringLiteral("courts must have a proper name"));
    RecordSet rs(RecordSource::table(QStringLiteral("courts")));
    rs.addNew();
    rs.setValue(QStringLiteral("court"), QStringLiteral("Refused"));
    try {
        rs.update();
        QFAIL("the store must be refused");
    } catch (const DataError &e) {
        QCOMPARE(e.description(), QStringLiteral("courts must have a proper name"));
    }
    QVERIFY(rs.isDirty());
    QVERIFY(rs.isNewRow());
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Refused"));
    rs.setValue(QStringLiteral("court"), QStringLiteral("Accepted"));
    rs.update();
    QCOMPARE(m_db->count(QStringLiteral("courts")), 7);
}

void TestRecordSet::deleteLeavesThePositionWhereTheRowWas()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    rs.moveTo(2); // Civil Court
    rs.deleteCurrent();
    QCOMPARE(m_db->count(QStringLiteral("courts")), 5);
    QCOMPARE(rs.rowCount(), 5);
    QVERIFY(!rs.hasCurrentRow());
    QVERIFY(!rs.isEOF());
    rs.moveNext();
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("O'Brien Tribunal"));

    rs.moveTo(1);
    rs.deleteCurrent();
    rs.movePrevious();
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("High Court"));

    rs.moveLast();
    rs.deleteCurrent();
    rs.moveNext();
    QVERIFY(rs.isEOF());
}

void TestRecordSet::deleteOnNewRowStoresNothing()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")));
    rs.addNew();
    rs.setValue(QStringLiteral("court"), QStringLiteral("Temporary"));
    rs.deleteCurrent();
    rs.requery();
    QCOMPARE(rs.rowCount(), 6);
}

// Another desk changed the court after it was shown: nothing is written, the
// court is read again, and a change typed after that is stored.
void TestRecordSet::changeOfARowAnotherDeskChangedIsRefused()
{
    const QString court = QStringLiteral("SELECT court FROM courts WHERE indexx = 1");
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("High Court"));
    m_db->execElsewhere(QStringLiteral("UPDATE courts SET court = 'Other' WHERE indexx = 1"));
    rs.setValue(QStringLiteral("court"), QStringLiteral("Mine"));
    QVERIFY_THROWS_EXCEPTION(ChangedElsewhere, rs.update());
    QCOMPARE(m_db->scalar(court).toString(), QStringLiteral("Other"));
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Other"));
    QVERIFY(!rs.isDirty());
    rs.setValue(QStringLiteral("court"), QStringLiteral("Mine"));
    rs.update();
    QCOMPARE(m_db->scalar(court).toString(), QStringLiteral("Mine"));
}

// The table hands a deleted row's key to the next row stored: that row
// survives a delete of the row shown. A row gone leaves the view.
void TestRecordSet::deleteNeverRemovesARowStoredSinceUnderTheSameKey()
{
    if (test::TestDatabase::onServer())
        QSKIP("A server never hands a deleted row's key on.");
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    rs.moveLast();
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Small_Causes"));
    m_db->execElsewhere(QStringLiteral("DELETE FROM courts WHERE indexx = 6;"
                                       "INSERT INTO courts VALUES ('Other', 7)"));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT max(rowid) FROM courts")).toInt(), 6);
    QVERIFY_THROWS_EXCEPTION(ChangedElsewhere, rs.deleteCurrent());
    QCOMPARE(m_db->count(QStringLiteral("courts")), 6);
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Other"));

    m_db->execElsewhere(QStringLiteral("DELETE FROM courts WHERE indexx = 7"));
    QVERIFY_THROWS_EXCEPTION(ChangedElsewhere, rs.deleteCurrent());
    QCOMPARE(rs.rowCount(), 5);
    QVERIFY(rs.isEOF());
    rs.moveTo(2);
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Civil Court"));
    m_db->execElsewhere(QStringLiteral("DELETE FROM courts WHERE indexx = 3"));
    rs.setValue(QStringLiteral("indexx"), QStringLiteral("9")); // the order's column
    QVERIFY_THROWS_EXCEPTION(ChangedElsewhere, rs.update());
    QCOMPARE(rs.rowCount(), 4);
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("O'Brien Tribunal"));
}

// An unchanged row is found again whatever it holds: NULL and empty text,
// amounts inexact in binary or whole in a REAL column, a date in another
// form, a blob.
void TestRecordSet::unchangedRowsAreFoundAgain_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("values");
    if (test::TestDatabase::onServer()) {
        // What a server's typed columns can hold.
        QTest::newRow("null, empty") << "advocate (caseno, remarks, ndate)"
                                     << "'CS 1', '', NULL";
        QTest::newRow("amounts") << "AC_INFO (Name, \"Legal Fees\", CourtFees, Misc)"
                                 << "'Ram', 0.1 + 0.2, 5000, 12.5";
        QTest::newRow("date") << "Holidays"
                              << "'2026-12-25', 'X'";
        return;
    }
    QTest::newRow("null, empty") << "advocate (caseno, remarks, ndate)"
                                 << "'CS 1', NULL, ''";
    QTest::newRow("amounts") << "AC_INFO (Name, \"Legal Fees\", CourtFees, Misc)"
                             << "'Ram', 0.1 + 0.2, 5000, '12,50'";
    QTest::newRow("date") << "Holidays"
                          << "'2026-12-25 00:00:00', 'X'";
    QTest::newRow("blob") << "courts"
                          << "x'00ff', 7";
}

void TestRecordSet::unchangedRowsAreFoundAgain()
{
    QFETCH(QString, table);
    QFETCH(QString, values);
    const QString name = table.section(u' ', 0, 0);
    m_db->exec(
        QStringLiteral("DELETE FROM %1; INSERT INTO %2 VALUES (%3)").arg(name, table, values));
    RecordSet rs(RecordSource::table(name));
    rs.setValue(rs.fieldCount() - 1, QStringLiteral("1"));
    rs.update();
    RecordSet again(RecordSource::table(name));
    again.deleteCurrent();
    QCOMPARE(m_db->count(name), 0);
}

void TestRecordSet::filtersJoinedByAnd()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    QSignalSpy moved(&rs, &RecordSet::positionChanged);
    rs.setFilter(Filter(QStringLiteral("cdate"), Filter::Op::GreaterOrEqual, QDate(2026, 12, 1))
                     .andWhere(QStringLiteral("cdate"), Filter::Op::LessOrEqual,
                               QStringLiteral("01/12/2026"))
                     .andWhere(QStringLiteral("ndate"), Filter::Op::Equal, QDate(2026, 12, 7)));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.position(), 0);
    QVERIFY(!moved.isEmpty());
    QCOMPARE(rs.text(QStringLiteral("caseno")), QStringLiteral("CS 7/2025"));

    rs.setFilter(Filter(QStringLiteral("CourtIndex"), Filter::Op::Greater, 1) &&
                 Filter(QStringLiteral("CourtIndex"), Filter::Op::Less, QStringLiteral("3")));
    QCOMPARE(rs.rowCount(), 1);
    rs.clearFilter();
    QCOMPARE(rs.rowCount(), 3);
}

void TestRecordSet::filterTextIgnoresCase()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.setFilter(Filter(QStringLiteral("remarks"), Filter::Op::BeginsWith, QStringLiteral("deci")));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.text(QStringLiteral("remarks")), QStringLiteral("Decided"));

    rs.setFilter(Filter(QStringLiteral("party1"), Filter::Op::Equal, QStringLiteral("sita devi")));
    QCOMPARE(rs.rowCount(), 1);
    rs.setFilter(Filter(QStringLiteral("Party2"), Filter::Op::Contains, QStringLiteral("LAL")));
    QCOMPARE(rs.rowCount(), 1);
    rs.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Equal, QStringLiteral("Sita")));
    QCOMPARE(rs.rowCount(), 0);
}

void TestRecordSet::filterMatchesApostrophesAndWildcardsAsTyped_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("courts");

    const int begins = int(Filter::Op::BeginsWith);
    const int contains = int(Filter::Op::Contains);
    QTest::newRow("apostrophe") << begins << "O'Brien" << QStringList{"O'Brien Tribunal"};
    QTest::newRow("lone apostrophe") << contains << "'" << QStringList{"O'Brien Tribunal"};
    QTest::newRow("percent is a character") << contains << "100%" << QStringList{"Rent 100% Court"};
    QTest::newRow("percent alone") << contains << "%" << QStringList{"Rent 100% Court"};
    QTest::newRow("underscore is a character") << contains << "_" << QStringList{"Small_Causes"};
    QTest::newRow("quote and semicolon") << contains << "'; drop table courts; --" << QStringList{};
    QTest::newRow("begins, not contains") << begins << "Court" << QStringList{};
    QTest::newRow("contains") << contains << "court"
                              << QStringList{"High Court", "District Court", "Civil Court",
                                             "Rent 100% Court"};
}

void TestRecordSet::filterMatchesApostrophesAndWildcardsAsTyped()
{
    QFETCH(int, op);
    QFETCH(QString, value);
    QFETCH(QStringList, courts);

    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    rs.setFilter(Filter(QStringLiteral("court"), Filter::Op(op), value));
    QStringList found;
    for (int row = 0; row < rs.rowCount(); ++row)
        found << rs.textAt(row, 0);
    QCOMPARE(found, courts);
    QCOMPARE(m_db->count(QStringLiteral("courts")), 6);
}

void TestRecordSet::filterOnNull()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.setFilter(Filter::isNull(QStringLiteral("ndate")));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.text(QStringLiteral("caseno")), QStringLiteral("CR 1/2026"));

    // A hearing without remarks is not "decided".
    rs.setFilter(
        Filter(QStringLiteral("remarks"), Filter::Op::NotEqual, QStringLiteral("decided")));
    QCOMPARE(rs.rowCount(), 2);
    // Nothing is less than or equal to a missing value.
    rs.setFilter(Filter(QStringLiteral("pdate"), Filter::Op::LessOrEqual, QDate(2030, 1, 1)));
    QCOMPARE(rs.rowCount(), 1);
}

void TestRecordSet::filterRefusesAValueOfTheWrongType()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.setFilter(Filter(QStringLiteral("caseno"), Filter::Op::Equal, QStringLiteral("CS 7/2025")));
    QVERIFY_THROWS_EXCEPTION(DataError,
                             rs.setFilter(Filter(QStringLiteral("cdate"), Filter::Op::Equal,
                                                 QStringLiteral("31/02/2026"))));
    // The earlier filter stays in force.
    QCOMPARE(rs.rowCount(), 1);
    QVERIFY_THROWS_EXCEPTION(DataError,
                             rs.setFilter(Filter(QStringLiteral("CourtIndex"), Filter::Op::Equal,
                                                 QStringLiteral("first"))));
    QVERIFY_THROWS_EXCEPTION(
        DataError, rs.setFilter(Filter(QStringLiteral("nosuchcolumn"), Filter::Op::IsNull)));
    QCOMPARE(rs.rowCount(), 1);
}

void TestRecordSet::filterSeesRowsAddedSinceOpening()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.addNew();
    rs.setValue(QStringLiteral("cdate"), QDate(2026, 12, 7));
    rs.setValue(QStringLiteral("caseno"), QStringLiteral("new"));
    rs.update();
    rs.setFilter(Filter(QStringLiteral("cdate"), Filter::Op::Equal, QDate(2026, 12, 7)));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.text(QStringLiteral("caseno")), QStringLiteral("new"));
}

void TestRecordSet::sortByColumns()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")));
    rs.setSort(QStringLiteral("indexx desc"));
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Small_Causes"));
    rs.setSort(QStringLiteral("court"));
    QStringList names;
    for (int row = 0; row < rs.rowCount(); ++row)
        names << rs.textAt(row, 0);
    QCOMPARE(names, (QStringList{"Civil Court", "District Court", "High Court", "O'Brien Tribunal",
                                 "Rent 100% Court", "Small_Causes"}));
    // A filter keeps the sort order.
    rs.setFilter(Filter(QStringLiteral("court"), Filter::Op::Contains, QStringLiteral("court")));
    QCOMPARE(rs.textAt(0, 0), QStringLiteral("Civil Court"));
    QVERIFY_THROWS_EXCEPTION(DataError, rs.setSort(QStringLiteral("nosuchcolumn")));
}

void TestRecordSet::readOnlyStatements()
{
    RecordSet rs(
        RecordSource::query(QStringLiteral("select distinct (caseno),party1 from advocate")));
    QCOMPARE(rs.rowCount(), 3);
    QVERIFY(!rs.isUpdatable());
    QCOMPARE(rs.fieldIndex(QStringLiteral("party1")), 1);
    QVERIFY_THROWS_EXCEPTION(DataError, rs.setValue(0, QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(DataError, rs.addNew());
    QVERIFY_THROWS_EXCEPTION(DataError, rs.deleteCurrent());
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 3);
}

void TestRecordSet::computedColumnIsNamedAsOfOld()
{
    if (test::TestDatabase::onServer())
        QSKIP("A server names a computed column by its function alone.");
    m_db->exec(QStringLiteral("INSERT INTO bill (BillNo) VALUES (4), (9)"));
    RecordSet rs(RecordSource::query(QStringLiteral("select max(billno) from bill")));
    QCOMPARE(rs.fieldName(0), QStringLiteral("Expr1000"));
    QCOMPARE(rs.value(QStringLiteral("Expr1000")).toInt(), 9);
}

void TestRecordSet::unknownColumnIsAReadableError()
{
    try {
        RecordSet rs(RecordSource::table(QStringLiteral("nosuchtable")));
        QFAIL("opening must fail");
    } catch (const DataError &e) {
        QVERIFY(e.description().contains(QStringLiteral("nosuchtable")));
    }
    RecordSet rs(RecordSource::table(QStringLiteral("courts")));
    try {
        rs.value(QStringLiteral("indexxx"));
        QFAIL("an unknown column must fail");
    } catch (const DataError &e) {
        QVERIFY(e.description().contains(QStringLiteral("indexxx")));
    }
}

void TestRecordSet::modelFollowsTheRecordSet()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    RecordSetModel model(&rs);
    model.setColumns({{QStringLiteral("Current date"), QStringLiteral("cdate")},
                      {QStringLiteral("Caseno"), QStringLiteral("caseno")},
                      {QStringLiteral("NextDate"), QStringLiteral("ndate")},
                      {QStringLiteral("Blank"), QString()}});
    model.setEditable(true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("Current date"));
    QCOMPARE(model.data(model.index(1, 0), Qt::DisplayRole).toString(),
             QStringLiteral("01/12/2026"));

    rs.setFilter(Filter(QStringLiteral("ndate"), Filter::Op::Equal, QDate(2026, 12, 7)));
    QCOMPARE(model.rowCount(), 2);
    rs.addNew();
    QCOMPARE(model.rowCount(), 3);
    rs.cancelUpdate();
    QCOMPARE(model.rowCount(), 2);

    // An edit in the grid goes to the row edited; a text that is no date is refused.
    QVERIFY(model.setData(model.index(0, 2), QStringLiteral("14/12/2026"), Qt::EditRole));
    QCOMPARE(rs.position(), 0);
    QCOMPARE(rs.value(QStringLiteral("ndate")), QVariant(QDate(2026, 12, 14)));
    QVERIFY(!model.setData(model.index(1, 2), QStringLiteral("14/13/2026"), Qt::EditRole));
    QVERIFY(model.lastError().contains(QStringLiteral("14/13/2026")));
    QVERIFY(!(model.flags(model.index(0, 3)) & Qt::ItemIsEditable));

    rs.moveTo(1);
    rs.deleteCurrent();
    QCOMPARE(model.rowCount(), 1);
}

// Whether another program wrote is asked of the database; no answer is a
// failure, never "nothing written".
void TestRecordSet::requeryFailsWhenTheDataVersionCannotBeRead()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    QCOMPARE(rs.rowCount(), 6);
    if (test::TestDatabase::onServer()) {
        // The server goes away: the re-read says so; back, the next one reads.
        auto &server = test::TestServer::shared();
        server.stop();
        auto restart = qScopeGuard([&] { server.start(); });
        QVERIFY_THROWS_EXCEPTION(DataError, rs.requery());
        restart.dismiss();
        server.start();
        rs.requery();
        QCOMPARE(rs.rowCount(), 6);
        return;
    }
    const auto refuseDataVersion = [](void *, int action, const char *name, const char *,
                                      const char *, const char *) {
        return action == SQLITE_PRAGMA && qstrcmp(name, "data_version") == 0 ? SQLITE_DENY
                                                                             : SQLITE_OK;
    };
    sqlite3_set_authorizer(Database::handle(), refuseDataVersion, nullptr);
    QVERIFY_THROWS_EXCEPTION(DataError, rs.requery());
    sqlite3_set_authorizer(Database::handle(), nullptr, nullptr);
    rs.requery();
    QCOMPARE(rs.rowCount(), 6);
}

// Another desk's rows come and go around the current row: it stays on, or
// the row now in its place.
void TestRecordSet::rereadKeepsTheRowTheFilterAndTheSort()
{
    RecordSet rs(RecordSource::table(QStringLiteral("courts")));
    rs.setSort(QStringLiteral("indexx desc"));
    rs.setFilter(Filter(QStringLiteral("indexx"), Filter::Op::GreaterOrEqual, 2));
    rs.moveTo(2);
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("O'Brien Tribunal"));
    m_db->execElsewhere(QStringLiteral(
        "INSERT INTO courts VALUES ('Appeals', 5), ('Bench', 6), ('Lok Adalat', 0)"));
    rs.reread();
    QCOMPARE(rs.rowCount(), 7); // not the court the filter leaves out
    QCOMPARE(rs.position(), 4);
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("O'Brien Tribunal"));

    m_db->execElsewhere(QStringLiteral("DELETE FROM courts WHERE indexx = 4"));
    rs.reread();
    QCOMPARE(rs.position(), 4);
    QCOMPARE(rs.text(QStringLiteral("court")), QStringLiteral("Civil Court"));

    // The whole table, read in windows.
    RecordSet all(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    all.moveTo(2);
    const QString court = all.text(QStringLiteral("court"));
    m_db->execElsewhere(QStringLiteral("INSERT INTO courts VALUES ('Nyaya Panchayat', -1)"));
    all.reread();
    QCOMPARE(all.position(), 3);
    QCOMPARE(all.text(QStringLiteral("court")), court);
}

void TestRecordSet::changeWatchHearsOtherDesksOnlyAndFailuresOnce()
{
    ChangeWatch watch(nullptr, 3600 * 1000); // asked by hand here
    QSignalSpy heard(&watch, &ChangeWatch::changedElsewhere);
    QSignalSpy failed(&watch, &ChangeWatch::pollFailed);
    watch.start();
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('Own Court', 9)"));
    watch.poll();
    QCOMPARE(heard.count(), 0);
    m_db->execElsewhere(QStringLiteral("INSERT INTO courts VALUES ('Lok Adalat', 0)"));
    m_db->execElsewhere(QStringLiteral("DELETE FROM courts WHERE indexx = 9"));
    watch.poll();
    watch.poll();
    QCOMPARE(heard.count(), 1);
    if (test::TestDatabase::onServer())
        return; // a server's failures: requeryFailsWhenTheDataVersionCannotBeRead

    const auto refuseDataVersion = [](void *, int action, const char *name, const char *,
                                      const char *, const char *) {
        return action == SQLITE_PRAGMA && qstrcmp(name, "data_version") == 0 ? SQLITE_DENY
                                                                             : SQLITE_OK;
    };
    sqlite3_set_authorizer(Database::handle(), refuseDataVersion, nullptr);
    watch.poll();
    watch.poll();
    sqlite3_set_authorizer(Database::handle(), nullptr, nullptr);
    QCOMPARE(failed.count(), 1);
    QVERIFY(!failed.first().first().toString().isEmpty());
    m_db->execElsewhere(QStringLiteral("DELETE FROM courts WHERE indexx = 0"));
    watch.poll();
    QCOMPARE(heard.count(), 2);
}

QTEST_GUILESS_MAIN(TestRecordSet)
#include "tst_recordset.moc"
