#include <data/serverdialect.h>
#include <QTest>

using namespace lexordo;

// The program's statements, in SQLite's words, as the server must read them.
class TestServerDialect : public QObject
{
    Q_OBJECT

private slots:
    void statementsReadInTheServersWords_data();
    void statementsReadInTheServersWords();
    void placesAreCountedAsSqliteCountsThem();
};

void TestServerDialect::statementsReadInTheServersWords_data()
{
    QTest::addColumn<QString>("sqlite");
    QTest::addColumn<QString>("server");

    QTest::newRow("places") << "SELECT a FROM t WHERE b = ? AND c = ?"
                            << "SELECT a FROM t WHERE b = $1 AND c = $2";
    QTest::newRow("numbered places") << "SELECT ?2, ?1, ?2"
                                     << "SELECT $2, $1, $2";
    QTest::newRow("literals kept whole")
        << "SELECT 'is it? -- \"Party1\" rowid', \"Party1\" FROM t WHERE x = 'it''s ?'"
        << "SELECT 'is it? -- \"Party1\" rowid', \"party1\" FROM t WHERE x = 'it''s ?'";
    QTest::newRow("quoted names in lower case")
        << R"(SELECT "Legal Fees", "CourtFees" FROM "AC_INFO")"
        << R"(SELECT "legal fees", "courtfees" FROM "ac_info")";
    QTest::newRow("row key") << "SELECT rowid FROM t WHERE ROWID = ? ORDER BY \"rowid\""
                             << "SELECT lx_key FROM t WHERE lx_key = $1 ORDER BY \"lx_key\" "
                                "NULLS FIRST ";
    QTest::newRow("a column named like the key is not it") << "SELECT rowids, my_rowid FROM t"
                                                           << "SELECT rowids, my_rowid FROM t";
    QTest::newRow("case-blind comparison")
        << "WHERE caseno = ? COLLATE NOCASE ORDER BY Party1 COLLATE LXFOLD"
        << "WHERE caseno = $1 COLLATE lx_nocase ORDER BY Party1 COLLATE lx_nocase NULLS FIRST ";
    QTest::newRow("NULL matching NULL")
        << "WHERE a IS ? AND b IS NOT ? AND c IS NULL AND d IS NOT NULL AND e IS NOT DISTINCT "
           "FROM f"
        << "WHERE a IS NOT DISTINCT FROM $1 AND b IS DISTINCT FROM $2 AND c IS NULL AND d IS "
           "NOT NULL AND e IS NOT DISTINCT FROM f";
    QTest::newRow("LIKE ignores the case of A to Z") << "WHERE a LIKE ? ESCAPE '\\'"
                                                     << "WHERE a ILIKE $1 ESCAPE '\\'";
    QTest::newRow("transactions") << "BEGIN IMMEDIATE"
                                  << "BEGIN";
    QTest::newRow("functions, and only as functions")
        << "SELECT lx_fold(a), ifnull(b, ''), instr(c, ?), instr FROM t"
        << "SELECT lower(a), coalesce(b, ''), strpos(c, $1), instr FROM t";
    QTest::newRow("no value first in a rising order, last in a falling one")
        << "SELECT a FROM (SELECT a, b FROM t ORDER BY b) ORDER BY a DESC, f(b, c) LIMIT 5"
        << "SELECT a FROM (SELECT a, b FROM t ORDER BY b NULLS FIRST ) ORDER BY a DESC NULLS LAST "
           ", f(b, c)  NULLS FIRST LIMIT 5";
    QTest::newRow("an order that says where no value goes")
        << "SELECT a FROM t ORDER BY a NULLS LAST"
        << "SELECT a FROM t ORDER BY a NULLS LAST";
    QTest::newRow("comments dropped") << "SELECT 1 -- it? is\nFROM t"
                                      << "SELECT 1 \nFROM t";
}

void TestServerDialect::statementsReadInTheServersWords()
{
    QFETCH(QString, sqlite);
    QFETCH(QString, server);
    QCOMPARE(QString::fromUtf8(serverdialect::translate(sqlite).text), server);
}

void TestServerDialect::placesAreCountedAsSqliteCountsThem()
{
    // A bare ? takes the number after the highest so far.
    QCOMPARE(serverdialect::translate(QStringLiteral("SELECT ?3, ?")).parameters, 4);
    QCOMPARE(QString::fromUtf8(serverdialect::translate(QStringLiteral("SELECT ?3, ?")).text),
             QStringLiteral("SELECT $3, $4"));
    QCOMPARE(serverdialect::translate(QStringLiteral("SELECT '?'")).parameters, 0);
}

QTEST_GUILESS_MAIN(TestServerDialect)
#include "tst_serverdialect.moc"
