#include "support/testdatabase.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/keywindow.h>
#include <data/recordset.h>
#include <data/sqlquery.h>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <sqlite3.h>

using namespace lexordo;

// Filters and sorts run by the database: every operator, text with
// apostrophes, wildcards and every script, columns without a declared type,
// and re-reads that see this program's and other programs' writes.
class TestRecordSetSql : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void textOperators_data();
    void textOperators();
    void orderedOperatorsOnNumbersAndDates_data();
    void orderedOperatorsOnNumbersAndDates();
    void sortIgnoresCaseInEveryScript();
    void filterAndSortFollowTheDatabaseOrderOfText();
    void untypedColumnsAreReadAndSortedWithoutFault();
    void reReadAfterAStoreSeesTheStoreAndOtherPrograms();
    void largeViewReadsItsRowsAsShown();
    void reReadAfterOwnEditsSeesThem();
    void largeViewShowsTheDatabaseOrderFromBothEnds_data();
    void largeViewShowsTheDatabaseOrderFromBothEnds();
    void largeViewKeepsItsRowsThroughOwnChanges();
    void largeViewTakesManyAddedRows();
    void searchesWithinPartiesFindExactlyTheRowsHoldingTheText();
    void searchesWithinPartiesSeeOtherProgramsWrites();
    void requeryWithAFilterStoresReadsAfreshAndDropsTheSort();
    void keyWindowAtItsEdges_data();
    void keyWindowAtItsEdges();

private:
    QStringList parties(RecordSet &rs) const;
    QStringList column(RecordSet &rs, const QString &name) const;
    QStringList selected(const char *sql) const;
    void execElsewhere(const char *sql) const;
    void addNumberedHearings(int count);
    std::unique_ptr<test::TestDatabase> m_db;
};

void TestRecordSetSql::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    // A file may hold a date left as empty text; a server's date column cannot.
    m_db->exec(
        QStringLiteral("INSERT INTO advocate (cdate, Party1, caseno, CourtIndex, ndate) VALUES "
                       "('2026-12-01', 'Straße Bau GmbH', 'CS 1', 1, '2026-12-10'),"
                       "('2026-12-02', 'STRASSE Works', 'CS 2', 2, NULL),"
                       "('2026-12-03', 'D''Souza', 'cs_3', 3, '2026-12-10'),"
                       "('2026-12-04', 'Rent 100% Ltd', 'CS%4', 4, %1),"
                       "('2026-12-05', 'राम लाल', 'CS 5', 5, '2026-12-11'),"
                       "('2026-12-06', 'Ωμέγα Ltd', 'CS 6', 6, '2026-12-12'),"
                       "('2026-12-07', 'ωμέγα traders', 'CS 7', 7, '2026-12-12'),"
                       "('2026-12-08', NULL, 'CS 8', NULL, NULL)")
            .arg(test::TestDatabase::onServer() ? QStringLiteral("NULL") : QStringLiteral("''")));
}

void TestRecordSetSql::cleanup()
{
    m_db.reset();
}

QStringList TestRecordSetSql::parties(RecordSet &rs) const
{
    QStringList found;
    const int column = rs.fieldIndex(QStringLiteral("Party1"));
    for (int row = 0; row < rs.rowCount(); ++row)
        found << rs.textAt(row, column);
    return found;
}

QStringList TestRecordSetSql::column(RecordSet &rs, const QString &name) const
{
    QStringList found;
    const int at = rs.fieldIndex(name);
    for (int row = 0; row < rs.rowCount(); ++row)
        found << rs.textAt(row, at);
    return found;
}

// The first column of every row of `sql`, read by a connection of its own.
QStringList TestRecordSetSql::selected(const char *sql) const
{
    SqlQuery query(QString::fromUtf8(sql));
    QStringList found;
    while (query.next())
        found << query.text(0);
    return found;
}

// Hearings "W 1" to "W count", several on a day and in a court, some with
// no date or court, so that the order has ties and missing values.
void TestRecordSetSql::addNumberedHearings(int count)
{
    m_db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < %1) INSERT INTO advocate (cdate, caseno, CourtIndex) "
                              "SELECT CASE WHEN i % 97 = 0 THEN NULL ELSE date('2020-01-01', '+' "
                              "|| (i % 41) || ' days') END, 'W ' || i, "
                              "CASE WHEN i % 13 = 0 THEN NULL ELSE i % 3 END FROM n")
                   .arg(count));
}

void TestRecordSetSql::textOperators_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("expected");

    const auto op = [](Filter::Op o) { return int(o); };
    QTest::newRow("equal, sharp s in other case")
        << "Party1" << op(Filter::Op::Equal) << "STRAßE BAU GMBH" << QStringList{"Straße Bau GmbH"};
    QTest::newRow("begins, straße finds Straße")
        << "Party1" << op(Filter::Op::BeginsWith) << "straße" << QStringList{"Straße Bau GmbH"};
    QTest::newRow("contains, Greek in other case")
        << "Party1" << op(Filter::Op::Contains) << "ΩΜΈΓΑ"
        << QStringList{"Ωμέγα Ltd", "ωμέγα traders"};
    QTest::newRow("equal, Devanagari")
        << "Party1" << op(Filter::Op::Equal) << "राम लाल" << QStringList{"राम लाल"};
    QTest::newRow("contains, Devanagari part")
        << "Party1" << op(Filter::Op::Contains) << "लाल" << QStringList{"राम लाल"};
    QTest::newRow("begins, apostrophe")
        << "Party1" << op(Filter::Op::BeginsWith) << "d'so" << QStringList{"D'Souza"};
    QTest::newRow("contains, percent as typed")
        << "Party1" << op(Filter::Op::Contains) << "0% l" << QStringList{"Rent 100% Ltd"};
    QTest::newRow("equal, underscore is no wildcard")
        << "caseno" << op(Filter::Op::Equal) << "CS 3" << QStringList{};
    QTest::newRow("begins, underscore as typed")
        << "caseno" << op(Filter::Op::BeginsWith) << "CS_" << QStringList{"D'Souza"};
    QTest::newRow("begins, percent as typed")
        << "caseno" << op(Filter::Op::BeginsWith) << "cs%" << QStringList{"Rent 100% Ltd"};
    QTest::newRow("not equal keeps missing values")
        << "Party1" << op(Filter::Op::NotEqual) << "d'souza" << QStringList{"Straße Bau GmbH",
                                                                            "STRASSE Works",
                                                                            "Rent 100% Ltd",
                                                                            "राम लाल",
                                                                            "Ωμέγα Ltd",
                                                                            "ωμέγα traders",
                                                                            ""};
    QTest::newRow("less, letter case ignored")
        << "Party1" << op(Filter::Op::Less) << "rent" << QStringList{"D'Souza"};
    QTest::newRow("missing or empty") << "ndate" << op(Filter::Op::IsNull) << QString()
                                      << QStringList{"STRASSE Works", "Rent 100% Ltd", ""};
    QTest::newRow("quote and statement")
        << "Party1" << op(Filter::Op::Contains) << "'); DELETE FROM advocate; --" << QStringList{};
    QTest::newRow("number column, digits within")
        << "CourtIndex" << op(Filter::Op::Contains) << "7" << QStringList{"ωμέγα traders"};
    QTest::newRow("number column, greater") << "CourtIndex" << op(Filter::Op::Greater) << "5"
                                            << QStringList{"Ωμέγα Ltd", "ωμέγα traders"};
    QTest::newRow("date column, a date as typed")
        << "cdate" << op(Filter::Op::Equal) << "03/12/2026" << QStringList{"D'Souza"};
    QTest::newRow("date column, begins with a whole date")
        << "ndate" << op(Filter::Op::BeginsWith) << "12/12/2026"
        << QStringList{"Ωμέγα Ltd", "ωμέγα traders"};
}

void TestRecordSetSql::textOperators()
{
    QFETCH(QString, column);
    QFETCH(int, op);
    QFETCH(QString, value);
    QFETCH(QStringList, expected);

    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.setFilter(Filter(column, Filter::Op(op), value));
    QCOMPARE(parties(rs), expected);
    QCOMPARE(rs.position(), expected.isEmpty() ? -1 : 0);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 8);

    // A query filters by the names it gives its columns, without the
    // table's lists of texts, and finds the same rows.
    RecordSet query(RecordSource::query(QStringLiteral("select * from advocate")));
    query.setFilter(Filter(column, Filter::Op(op), value));
    QStringList found = parties(query);
    QStringList wanted = expected;
    found.sort();
    wanted.sort();
    QCOMPARE(found, wanted);

    // As a table's own filter, the same rows, and the user's filter on top
    // of it narrows them further.
    RecordSet own(RecordSource::table(QStringLiteral("advocate"))
                      .where(Filter(column, Filter::Op(op), value))
                      .orderBy(QStringLiteral("cdate, courtindex")));
    QCOMPARE(parties(own), expected);
    const Filter later(QStringLiteral("cdate"), Filter::Op::GreaterOrEqual, QDate(2026, 12, 5));
    own.setFilter(later);
    rs.setFilter(Filter(column, Filter::Op(op), value) && later);
    QCOMPARE(parties(own), parties(rs));
    own.clearFilter();
    QCOMPARE(parties(own), expected);
}

void TestRecordSetSql::orderedOperatorsOnNumbersAndDates_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("expectedRows");
    QTest::newRow("=") << int(Filter::Op::Equal) << 1;
    QTest::newRow("<>") << int(Filter::Op::NotEqual) << 7; // the missing index too
    QTest::newRow("<") << int(Filter::Op::Less) << 3;
    QTest::newRow("<=") << int(Filter::Op::LessOrEqual) << 4;
    QTest::newRow(">") << int(Filter::Op::Greater) << 3;
    QTest::newRow(">=") << int(Filter::Op::GreaterOrEqual) << 4;
}

void TestRecordSetSql::orderedOperatorsOnNumbersAndDates()
{
    QFETCH(int, op);
    QFETCH(int, expectedRows);
    RecordSet rs(RecordSource::table(QStringLiteral("advocate")));
    rs.setFilter(Filter(QStringLiteral("CourtIndex"), Filter::Op(op), QStringLiteral("4")));
    QCOMPARE(rs.rowCount(), expectedRows);
    // The same comparison on a date, typed day/month/year.
    rs.setFilter(Filter(QStringLiteral("cdate"), Filter::Op(op), QStringLiteral("04/12/2026")));
    QCOMPARE(rs.rowCount(), op == int(Filter::Op::NotEqual)
                                ? 7
                                : expectedRows + (op >= int(Filter::Op::Greater) ? 1 : 0));
}

void TestRecordSetSql::sortIgnoresCaseInEveryScript()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate")));
    rs.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("ωμέγα")));
    rs.setSort(QStringLiteral("Party1 desc"));
    QCOMPARE(parties(rs), (QStringList{"ωμέγα traders", "Ωμέγα Ltd"}));
    rs.setSort(QStringLiteral("Party1"));
    QCOMPARE(parties(rs), (QStringList{"Ωμέγα Ltd", "ωμέγα traders"}));
    // A sort on dates keeps the filter.
    rs.setSort(QStringLiteral("cdate desc"));
    QCOMPARE(parties(rs), (QStringList{"ωμέγα traders", "Ωμέγα Ltd"}));
    QCOMPARE(rs.filter().terms().size(), 1);
}

// Texts beyond the basic plane, of private use, holding a NUL or mixing
// scripts are compared as the database orders text, by code point.
void TestRecordSetSql::filterAndSortFollowTheDatabaseOrderOfText()
{
    if (test::TestDatabase::onServer())
        QSKIP("A server's text holds no NUL, and it orders text by the Unicode collation.");
    const QString nul = QString::fromUtf16(u"ab\0cd", 5);
    const QStringList texts = {
        QStringLiteral("\uE000 private"), QStringLiteral("😀 smile"), nul,
        QStringLiteral("Zürich ₹ 😀"),     QStringLiteral("ẞ"),       QStringLiteral("\uFFFD")};
    QSqlQuery insert(QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(
        insert.prepare(QStringLiteral("INSERT INTO advocate (caseno, Party1) VALUES ('U', ?)")));
    for (const QString &text : texts) {
        insert.addBindValue(text);
        QVERIFY(insert.exec());
    }
    RecordSet rs(RecordSource::table(QStringLiteral("advocate")));
    using Found = QSet<QString>;
    auto found = [&](Filter::Op op, const QString &value) {
        rs.setFilter(Filter(QStringLiteral("caseno"), Filter::Op::Equal, QStringLiteral("U"))
                         .andWhere(QStringLiteral("Party1"), op, value));
        const QStringList list = parties(rs);
        return Found(list.begin(), list.end());
    };
    QCOMPARE(found(Filter::Op::Greater, QStringLiteral("\uE000")),
             (Found{"\uE000 private", "\uFFFD", "😀 smile"}));
    QCOMPARE(found(Filter::Op::Less, QStringLiteral("\uE000")), (Found{nul, "Zürich ₹ 😀", "ẞ"}));
    QCOMPARE(found(Filter::Op::Contains, QStringLiteral("CD")), Found{nul});
    QCOMPARE(found(Filter::Op::Contains, QStringLiteral("😀")), (Found{"Zürich ₹ 😀", "😀 smile"}));
    QCOMPARE(found(Filter::Op::Equal, QStringLiteral("ß")), Found{"ẞ"});

    rs.setFilter(Filter(QStringLiteral("caseno"), Filter::Op::Equal, QStringLiteral("U")));
    rs.setSort(QStringLiteral("Party1"));
    QCOMPARE(parties(rs),
             (QStringList{nul, "Zürich ₹ 😀", "ẞ", "\uE000 private", "\uFFFD", "😀 smile"}));
}

// A table made by another tool, without declared types: numbers are read as
// numbers, stored dates as dates, and sorting mixed values does no harm.
void TestRecordSetSql::untypedColumnsAreReadAndSortedWithoutFault()
{
    if (test::TestDatabase::onServer())
        QSKIP("A server's columns always have a type.");
    m_db->exec(QStringLiteral("CREATE TABLE loose (name, amount, day)"));
    m_db->exec(QStringLiteral("INSERT INTO loose VALUES ('b', 10, '2026-12-07'), ('a', 9.5, "
                              "'2026-12-01'), ('c', 'ten', NULL), ('d', NULL, 'soon')"));
    RecordSet rs(RecordSource::table(QStringLiteral("loose")).orderBy(QStringLiteral("name")));
    QCOMPARE(rs.value(QStringLiteral("amount")), QVariant(9.5));
    QCOMPARE(rs.value(QStringLiteral("day")), QVariant(QDate(2026, 12, 1)));
    QCOMPARE(rs.text(QStringLiteral("day")), QStringLiteral("01/12/2026"));
    rs.setSort(QStringLiteral("amount desc"));
    QStringList names;
    for (int row = 0; row < rs.rowCount(); ++row)
        names << rs.textAt(row, 0);
    QCOMPARE(names, (QStringList{"c", "b", "a", "d"})); // text after numbers, nothing last
    QCOMPARE(rs.textAt(1, 1), QStringLiteral("10"));
    rs.setFilter(
        Filter(QStringLiteral("amount"), Filter::Op::GreaterOrEqual, QStringLiteral("9.5")));
    QCOMPARE(rs.rowCount(), 3); // text sorts above numbers, as stored
    rs.setFilter(Filter(QStringLiteral("amount"), Filter::Op::Equal, QStringLiteral("10")));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.text(QStringLiteral("name")), QStringLiteral("b"));
}

void TestRecordSetSql::reReadAfterAStoreSeesTheStoreAndOtherPrograms()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.moveLast();
    rs.setValue(QStringLiteral("Party1"), QStringLiteral("Changed here"));
    rs.update();
    rs.addNew();
    rs.setValue(QStringLiteral("cdate"), QStringLiteral("09/12/2026"));
    rs.setValue(QStringLiteral("Party1"), QStringLiteral("Added here"));
    rs.update();

    m_db->execElsewhere(QStringLiteral(
        "INSERT INTO advocate (cdate, Party1) VALUES ('2026-12-10', 'Added elsewhere'); UPDATE "
        "advocate SET Party1 = 'Changed elsewhere' WHERE caseno = 'CS 1'"));

    // A search right after the stores sees all of it.
    rs.setFilter(
        Filter(QStringLiteral("Party1"), Filter::Op::BeginsWith, QStringLiteral("changed")));
    QCOMPARE(parties(rs), (QStringList{"Changed elsewhere", "Changed here"}));
    rs.requery();
    QCOMPARE(rs.rowCount(), 10);
    rs.moveLast();
    QCOMPARE(rs.text(QStringLiteral("Party1")), QStringLiteral("Added elsewhere"));
    rs.movePrevious();
    QCOMPARE(rs.text(QStringLiteral("Party1")), QStringLiteral("Added here"));
}

// Ten thousand rows: every one can be reached, edited and stored in place,
// though only those shown are read.
void TestRecordSetSql::largeViewReadsItsRowsAsShown()
{
    m_db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < 10000) INSERT INTO advocate (cdate, caseno, CourtIndex) "
                              "SELECT date('2020-01-01', '+' || (i / 10) || ' days'), 'N ' || i, "
                              "i % 10 FROM n"));
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    QCOMPARE(rs.rowCount(), 10008);
    QCOMPARE(rs.textAt(0, rs.fieldIndex(QStringLiteral("caseno"))), QStringLiteral("N 1"));
    QCOMPARE(rs.textAt(5000, rs.fieldIndex(QStringLiteral("caseno"))),
             m_db->scalar(QStringLiteral("SELECT caseno FROM advocate ORDER BY cdate, CourtIndex, "
                                         "rowid LIMIT 1 OFFSET 5000"))
                 .toString());
    rs.moveTo(7777);
    const QString caseno = rs.text(QStringLiteral("caseno"));
    rs.setValue(QStringLiteral("remarks"), QStringLiteral("seen"));
    rs.moveFirst();
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT caseno FROM advocate WHERE remarks = 'seen'"))
                 .toString(),
             caseno);
    QCOMPARE(rs.textAt(7777, rs.fieldIndex(QStringLiteral("remarks"))), QStringLiteral("seen"));
}

// Re-reading after this record set's own edits, deletes and moves keeps its
// rows in the right order with the edits in them.
void TestRecordSetSql::reReadAfterOwnEditsSeesThem()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.moveTo(2);
    rs.setValue(QStringLiteral("remarks"), QStringLiteral("adjourned"));
    rs.update();
    rs.moveTo(0);
    rs.deleteCurrent();
    rs.requery();
    QCOMPARE(rs.rowCount(), 7);
    QCOMPARE(rs.textAt(1, rs.fieldIndex(QStringLiteral("remarks"))), QStringLiteral("adjourned"));
    QCOMPARE(rs.text(QStringLiteral("caseno")), QStringLiteral("CS 2"));

    // A change of a column the order rests on moves the row.
    rs.moveTo(0);
    rs.setValue(QStringLiteral("cdate"), QStringLiteral("31/12/2026"));
    rs.requery();
    QCOMPARE(rs.textAt(6, rs.fieldIndex(QStringLiteral("caseno"))), QStringLiteral("CS 2"));
    QCOMPARE(rs.text(QStringLiteral("caseno")), QStringLiteral("cs_3"));

    // A filter after the edits finds the edited row, and a write by another
    // statement on the connection is seen by the next re-read.
    rs.setFilter(Filter(QStringLiteral("remarks"), Filter::Op::Equal, QStringLiteral("ADJOURNED")));
    QCOMPARE(rs.rowCount(), 1);
    m_db->exec(QStringLiteral("DELETE FROM advocate WHERE caseno = 'CS 8'"));
    rs.requery();
    QCOMPARE(rs.rowCount(), 6);
}

void TestRecordSetSql::largeViewShowsTheDatabaseOrderFromBothEnds_data()
{
    QTest::addColumn<QString>("order");
    QTest::newRow("ascending") << "cdate, courtindex";
    QTest::newRow("descending first") << "cdate desc, courtindex";
    QTest::newRow("ascending said") << "cdate DESC, courtindex ASC";
}

// More rows than one window holds: read from the last row back and from the
// first row on, every row stands where the database's order puts it.
void TestRecordSetSql::largeViewShowsTheDatabaseOrderFromBothEnds()
{
    QFETCH(QString, order);
    addNumberedHearings(1500);
    const QString sql = QStringLiteral("SELECT caseno FROM advocate ORDER BY %1, rowid").arg(order);
    const QStringList expected = selected(sql.toUtf8().constData());
    QCOMPARE(expected.size(), 1508);

    RecordSet fromEnd(RecordSource::table(QStringLiteral("advocate")).orderBy(order));
    fromEnd.moveLast();
    QCOMPARE(fromEnd.position(), 1507);
    QCOMPARE(fromEnd.text(QStringLiteral("caseno")), expected.last());
    QStringList backwards;
    for (; !fromEnd.isBOF(); fromEnd.movePrevious())
        backwards.prepend(fromEnd.text(QStringLiteral("caseno")));
    QCOMPARE(backwards, expected);

    RecordSet fromStart(RecordSource::table(QStringLiteral("advocate")).orderBy(order));
    QCOMPARE(column(fromStart, QStringLiteral("caseno")), expected);
    // Jumps to and fro land on the same rows.
    for (int row : {1300, 20, 777, 1507, 0, 1024})
        QCOMPARE(fromStart.textAt(row, fromStart.fieldIndex(QStringLiteral("caseno"))),
                 expected.at(row));
}

// Deletes, additions and moves made through a large view keep every other
// row where it was; a re-read then shows the database's order.
void TestRecordSetSql::largeViewKeepsItsRowsThroughOwnChanges()
{
    addNumberedHearings(1200);
    const char *ordered = "SELECT caseno FROM advocate ORDER BY cdate, CourtIndex, rowid";
    QStringList expected = selected(ordered);
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.moveLast();

    // Deleted near the end and near the start.
    for (int row : {1100, 40}) {
        rs.moveTo(row);
        QCOMPARE(rs.text(QStringLiteral("caseno")), expected.at(row));
        rs.deleteCurrent();
        expected.removeAt(row);
        QCOMPARE(column(rs, QStringLiteral("caseno")), expected);
    }

    // Added at the end, stored, and a second one after it.
    for (const QString &caseno : {QStringLiteral("New A"), QStringLiteral("New B")}) {
        rs.addNew();
        rs.setValue(QStringLiteral("cdate"), QStringLiteral("01/01/2019"));
        rs.setValue(QStringLiteral("caseno"), caseno);
        rs.update();
        expected << caseno;
    }
    QCOMPARE(rs.position(), int(expected.size()) - 1);
    QCOMPARE(column(rs, QStringLiteral("caseno")), expected);

    // A row given a date that places it first stays where it is shown until
    // the re-read.
    rs.moveTo(900);
    const QString moved = rs.text(QStringLiteral("caseno"));
    rs.setValue(QStringLiteral("cdate"), QStringLiteral("01/01/2000"));
    rs.update();
    rs.addNew(); // a row left empty is dropped
    rs.cancelUpdate();
    QCOMPARE(column(rs, QStringLiteral("caseno")), expected);
    QCOMPARE(rs.textAt(900, rs.fieldIndex(QStringLiteral("cdate"))), QStringLiteral("01/01/2000"));

    rs.requery();
    const QStringList now = selected(ordered);
    // Only rows without a date come before it.
    const int undated =
        m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate IS NULL")).toInt();
    QVERIFY(undated > 0);
    QCOMPARE(now.at(undated), moved);
    QCOMPARE(now.size(), 1208 - 2 + 2);
    QCOMPARE(column(rs, QStringLiteral("caseno")), now);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), int(now.size()));
}

// Hundreds of rows added through a large view, past the point where the
// view reads its keys whole, each stand once, after the rows read before.
void TestRecordSetSql::largeViewTakesManyAddedRows()
{
    addNumberedHearings(600);
    QStringList expected =
        selected("SELECT caseno FROM advocate ORDER BY cdate, CourtIndex, rowid");
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.moveLast();
    for (int i = 1; i <= 520; ++i) {
        const QString caseno = QStringLiteral("Added %1").arg(i);
        rs.addNew();
        rs.setValue(QStringLiteral("cdate"), QStringLiteral("01/01/2019"));
        rs.setValue(QStringLiteral("caseno"), caseno);
        rs.update();
        expected << caseno;
    }
    QCOMPARE(rs.rowCount(), 608 + 520);
    QCOMPARE(column(rs, QStringLiteral("caseno")), expected);
    // A row deleted among them leaves the rest in place.
    rs.moveTo(300);
    rs.deleteCurrent();
    expected.removeAt(300);
    QCOMPARE(column(rs, QStringLiteral("caseno")), expected);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), int(expected.size()));
}

// Runs `sql` through a connection of its own, as another program would:
// without this program's text folding.
void TestRecordSetSql::execElsewhere(const char *sql) const
{
    m_db->execElsewhere(QString::fromUtf8(sql));
}

// A search within the parties' names goes through the database's list of
// the different names. Every piece of every name, in either letter case,
// finds exactly the rows whose name holds it: names that differ only in
// case, wildcards and quotes as typed, and scripts with and without case.
void TestRecordSetSql::searchesWithinPartiesFindExactlyTheRowsHoldingTheText()
{
    m_db->exec(QStringLiteral("DELETE FROM advocate"));
    const QStringList names = {
        "D'Souza & Sons",
        "d'souza & sons",
        "D'SOUZA",
        "Rent 100% Ltd",
        "cs_3 Traders",
        "Ωμέγα Ltd",
        "ΩΜΈΓΑ LTD",
        "राम लाल",
        "राम",
        "முருகன் ஸ்டோர்ஸ்",
        "রহিম বক্স",
        "Straße Bau",
        "STRASSE",
        "",
        "back\\slash",
    };
    // Each name twice; the empty name once as empty text, once as no value.
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    for (int i = 0; i < names.size() * 2; ++i) {
        rs.addNew();
        rs.setValue(QStringLiteral("caseno"), QStringLiteral("N %1").arg(i, 2, 10, QChar(u'0')));
        if (!names[i / 2].isEmpty())
            rs.setValue(QStringLiteral("Party1"), names[i / 2]);
        rs.update();
        if (names[i / 2].isEmpty() && i % 2 == 0)
            m_db->exec(QStringLiteral("UPDATE advocate SET Party1 = '' WHERE caseno = 'N %1'")
                           .arg(i, 2, 10, QChar(u'0')));
    }
    QCOMPARE(m_db->count(QStringLiteral("advocate")), int(names.size() * 2));

    QSet<QString> terms = {"zzz", "%", "_", "'", "\\", "& s", "100%", "s_3"};
    for (const QString &name : names) {
        for (int length = 1; length <= 4; ++length) {
            for (int at = 0; at + length <= name.size(); ++at) {
                const QString piece = name.mid(at, length);
                terms << piece << piece.toUpper() << piece.toLower();
            }
        }
    }

    const auto expected = [&names](Filter::Op op, const QString &term) {
        QStringList rows;
        const QString folded = term.toCaseFolded();
        for (int i = 0; i < names.size() * 2; ++i) {
            if (names[i / 2].isEmpty())
                continue; // no text holds nothing to find
            const QString name = names[i / 2].toCaseFolded();
            if (op == Filter::Op::Contains ? name.contains(folded) : name.startsWith(folded))
                rows << QStringLiteral("N %1").arg(i, 2, 10, QChar(u'0'));
        }
        return rows;
    };
    int searches = 0;
    for (const Filter::Op op : {Filter::Op::Contains, Filter::Op::BeginsWith}) {
        for (const QString &term : std::as_const(terms)) {
            rs.setFilter(Filter(QStringLiteral("Party1"), op, term));
            QStringList found = column(rs, QStringLiteral("caseno"));
            found.sort();
            const QStringList wanted = expected(op, term);
            QVERIFY2(found == wanted,
                     qPrintable(QStringLiteral("%1 \"%2\": found %3, expected %4")
                                    .arg(op == Filter::Op::Contains ? "contains" : "begins with",
                                         term, found.join(u','), wanted.join(u','))));
            ++searches;
        }
    }
    QVERIFY(searches > 500);
}

// The list of names is kept by the database itself, so a search sees what
// another program added or renamed, and the list never makes that program's
// write fail, whatever conflict rule it asks for.
void TestRecordSetSql::searchesWithinPartiesSeeOtherProgramsWrites()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("souza")));
    QCOMPARE(parties(rs), QStringList{"D'Souza"});

    // Conflict rules are SQLite's words; a server has none to ask for.
    const bool server = test::TestDatabase::onServer();
    m_db->execElsewhere(QStringLiteral("INSERT INTO advocate (cdate, Party1, caseno) VALUES "
                                       "('2026-12-09', 'Kapoor ΩΜΈΓΑ', 'CS 9');"
                                       "UPDATE advocate SET Party1 = 'Verma' WHERE caseno = 'cs_3';"
                                       "INSERT %1 INTO advocate (cdate, Party1, caseno) VALUES "
                                       "('2026-12-10', 'Kapoor ΩΜΈΓΑ', 'CS 10');"
                                       "INSERT %2 INTO advocate (cdate, Party1, caseno) VALUES "
                                       "('2026-12-11', 'राम लाल', 'CS 11');")
                            .arg(server ? QString() : QStringLiteral("OR ROLLBACK"),
                                 server ? QString() : QStringLiteral("OR FAIL")));

    rs.requery();
    rs.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("souza")));
    QCOMPARE(parties(rs), QStringList{});
    rs.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("ERM")));
    QCOMPARE(column(rs, QStringLiteral("caseno")), QStringList{"cs_3"});
    rs.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("ωμέγα")));
    QCOMPARE(column(rs, QStringLiteral("caseno")), (QStringList{"CS 6", "CS 7", "CS 9", "CS 10"}));
    rs.setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("लाल")));
    QCOMPARE(column(rs, QStringLiteral("caseno")), (QStringList{"CS 5", "CS 11"}));
}

// A search re-reads with its filter in one step: what was typed is stored
// first, another program's rows are seen, and the rows come in the source's
// order whatever sort the view had.
void TestRecordSetSql::requeryWithAFilterStoresReadsAfreshAndDropsTheSort()
{
    RecordSet rs(RecordSource::table(QStringLiteral("advocate"))
                     .orderBy(QStringLiteral("cdate, courtindex")));
    rs.setSort(QStringLiteral("Party1 desc"));
    rs.moveFirst();
    QCOMPARE(rs.text(QStringLiteral("Party1")), QStringLiteral("राम लाल"));
    rs.setValue(QStringLiteral("remarks"), QStringLiteral("typed before the search"));
    execElsewhere("INSERT INTO advocate (cdate, Party1, caseno) VALUES "
                  "('2026-11-30', 'Ωμέγα Exports', 'CS 0')");

    rs.requery(Filter(QStringLiteral("Party1"), Filter::Op::Contains, QStringLiteral("ΩΜΈΓΑ")));
    QCOMPARE(parties(rs), (QStringList{"Ωμέγα Exports", "Ωμέγα Ltd", "ωμέγα traders"}));
    QCOMPARE(rs.position(), 0);
    QVERIFY(!rs.hasPendingChanges());
    QCOMPARE(selected("SELECT remarks FROM advocate WHERE caseno = 'CS 5'"),
             QStringList{"typed before the search"});
}

void TestRecordSetSql::keyWindowAtItsEdges_data()
{
    QTest::addColumn<int>("rows");
    for (int rows : {0, 1, 255, 256, 257, 512, 513, 1000})
        QTest::addRow("%d rows", rows) << rows;
}

// The keys read a window at a time stand where the database's order puts
// them, on either side of each window's edge and from either end.
void TestRecordSetSql::keyWindowAtItsEdges()
{
    QFETCH(int, rows);
    m_db->exec(QStringLiteral("DELETE FROM advocate"));
    if (rows > 0)
        addNumberedHearings(rows);
    const QStringList expected =
        selected("SELECT rowid FROM advocate ORDER BY cdate, CourtIndex DESC, rowid");
    QCOMPARE(expected.size(), rows);
    const QList<OrderTerm> order{
        {QStringLiteral("cdate")}, {QStringLiteral("CourtIndex"), true}, {sql::rowKey()}};
    const auto keyAt = [](const KeyWindow &keys, int at) {
        return QString::number(keys.at(size_t(at)));
    };

    KeyWindow keys;
    keys.window(KeyWindow::Query{QStringLiteral("advocate"), QString(), {}, order});
    QVERIFY(keys.windowed());
    QCOMPARE(int(keys.size()), rows);
    for (int at : {rows - 1, 0, 256, 255, 257, rows / 2 + 1, rows / 2, 511, 512, rows - 2}) {
        if (at >= 0 && at < rows)
            QCOMPARE(keyAt(keys, at), expected.at(at));
    }
    QStringList all;
    for (int at = 0; at < rows; ++at)
        all << keyAt(keys, at);
    QCOMPARE(all, expected);

    // A condition with a bound value counts and reads only its rows.
    const QStringList some = selected(
        "SELECT rowid FROM advocate WHERE cdate >= '2020-01-21' ORDER BY cdate, CourtIndex DESC, "
        "rowid");
    KeyWindow later;
    later.window(KeyWindow::Query{
        QStringLiteral("advocate"), QStringLiteral("cdate >= ?"), {QDate(2020, 1, 21)}, order});
    QStringList found;
    for (int at = int(later.size()) - 1; at >= 0; --at)
        found.prepend(keyAt(later, at));
    QCOMPARE(found, some);

    if (rows < 258)
        return;
    // A row deleted at a window's edge: the rows after it move up by one.
    m_db->exec(QStringLiteral("DELETE FROM advocate WHERE rowid = %1").arg(expected.at(256)));
    keys.erase(256);
    QCOMPARE(int(keys.size()), rows - 1);
    QCOMPARE(keyAt(keys, 255), expected.at(255));
    QCOMPARE(keyAt(keys, 256), expected.at(257));
    QCOMPARE(keyAt(keys, rows - 2), expected.last());

    // A row the view adds and stores stays after the rest, where it was
    // added, though the database's order would put it first.
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno) VALUES ('2000-01-01', 'new')"));
    const qint64 added =
        m_db->scalar(QStringLiteral("SELECT max(rowid) FROM advocate")).toLongLong();
    keys.push_back(-1);
    keys.replace(-1, added);
    QCOMPARE(int(keys.size()), rows);
    QCOMPARE(keyAt(keys, 0), expected.at(0));
    QCOMPARE(keys.at(size_t(rows - 1)), added);
    QCOMPARE(keyAt(keys, rows - 2), expected.last());
    // Read whole, the view keeps the same rows in the same places.
    keys.readWhole();
    QVERIFY(!keys.windowed());
    QCOMPARE(keyAt(keys, 256), expected.at(257));
    QCOMPARE(keys.at(size_t(rows - 1)), added);
}

QTEST_GUILESS_MAIN(TestRecordSetSql)
#include "tst_recordsetsql.moc"
