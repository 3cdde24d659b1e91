#include "support/testdatabase.h"

#include <data/dataenvironment.h>
#include <data/dataerror.h>
#include <data/sqlquery.h>
#include <QTest>

using namespace lexordo;

class TestDataEnvironment : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void singleDateGroupsByCourtInRunningOrder();
    void manyDatesGroupsByDateInDateOrder();
    void nextBlankLeavesOutOnlyDecidedAndUnattended();
    void feesGroupedByNameWithTotals();
    void annualGroupsByGrWithRowsInDateOrder();
    void emptyWorkTableGivesNoGroups();
    void flatCommandBindsItsValues();
    void loopFailingPartWayThrowsAfterTheRowsBefore();
    void valueThatCannotBeBoundIsRefused();

private:
    QStringList parties(const GroupedResult &result, int group) const;
    std::unique_ptr<test::TestDatabase> m_db;
};

void TestDataEnvironment::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_db->exec(QStringLiteral(
        "INSERT INTO tmpAdvocate (cdate, remarks, Party1, courtname, CourtIndex, caseno) VALUES "
        "('2026-12-08', NULL,           'zafar',   'District Court', 2, 'A1'),"
        "('2026-12-07', 'Decided',      'Mehta',   'District Court', 2, 'A2'),"
        "('2026-12-07', ' UNATTENDED ', 'Bose',    'High Court',     1, 'A3'),"
        "('2026-12-07', '',             'Anand',   'District Court', 2, 'A4'),"
        "('2026-12-07', 'part heard',   'Chopra',  'High Court',     1, 'A5'),"
        "('2026-12-07', 'decided by consent', 'Dutt', 'Civil Court', 3, 'A6')"));
}

void TestDataEnvironment::cleanup()
{
    m_db.reset();
}

QStringList TestDataEnvironment::parties(const GroupedResult &result, int group) const
{
    QStringList names;
    for (int row : result.groups[group].rows)
        names << result.detail.value(row, QStringLiteral("party1")).toString();
    return names;
}

void TestDataEnvironment::singleDateGroupsByCourtInRunningOrder()
{
    const GroupedResult result = DataEnvironment::run(DataEnvironment::Grouping::SingleDate);
    QCOMPARE(result.command, QStringLiteral("comSingleDate_Grouping"));
    QCOMPARE(result.groups.size(), 3);
    QCOMPARE(result.groups[0].key, (QVariantList{qint64(1), QStringLiteral("High Court")}));
    QCOMPARE(parties(result, 0), (QStringList{"Bose", "Chopra"}));
    QCOMPARE(result.groups[1].key[1].toString(), QStringLiteral("District Court"));
    // Within a court, by first party, letter case ignored.
    QCOMPARE(parties(result, 1), (QStringList{"Anand", "Mehta", "zafar"}));
    QCOMPARE(result.groups[2].key[1].toString(), QStringLiteral("Civil Court"));
}

void TestDataEnvironment::manyDatesGroupsByDateInDateOrder()
{
    const GroupedResult result = DataEnvironment::run(DataEnvironment::Grouping::ManyDates);
    QCOMPARE(result.groups.size(), 2);
    QCOMPARE(result.groups[0].key.first(), QVariant(QDate(2026, 12, 7)));
    QCOMPARE(result.groups[1].key.first(), QVariant(QDate(2026, 12, 8)));
    QCOMPARE(parties(result, 0), (QStringList{"Bose", "Chopra", "Anand", "Mehta", "Dutt"}));
    QCOMPARE(parties(result, 1), QStringList{"zafar"});
}

void TestDataEnvironment::nextBlankLeavesOutOnlyDecidedAndUnattended()
{
    const GroupedResult result = DataEnvironment::run(DataEnvironment::Grouping::NextBlank);
    QCOMPARE(result.command, QStringLiteral("conNextBlankDT_Grouping"));
    QCOMPARE(result.groups.size(), 2);
    // Hearings without remarks are listed; "decided by consent" is not "decided".
    QStringList listed = parties(result, 0);
    QCOMPARE(listed, (QStringList{"Chopra", "Anand", "Dutt"}));
    QCOMPARE(parties(result, 1), QStringList{"zafar"});
}

void TestDataEnvironment::feesGroupedByNameWithTotals()
{
    m_db->exec(QStringLiteral(
        "INSERT INTO tmpac_info (Name, transdate, Part, \"Legal Fees\", CourtFees, Misc, "
        "Received, Balance) VALUES "
        "('Sharma', '2007-03-31', 'filing', 1500, 250, NULL, 0, 1750),"
        "('Bank',   '2006-04-01', 'deposit', 0, 10000, 0, 0, 10000),"
        "('Sharma', '2006-04-01', 'advice', 1234.5, 0, 100, 300, 1034.5)"));
    const GroupedResult result = DataEnvironment::run(DataEnvironment::Grouping::AC);
    QCOMPARE(result.groups.size(), 2);
    QCOMPARE(result.groups[0].key.first().toString(), QStringLiteral("Bank"));
    const ResultGroup &sharma = result.groups[1];
    QCOMPARE(sharma.rows.size(), 2);
    QCOMPARE(sharma.sum(QStringLiteral("AgNLFees")), 2734.5);
    QCOMPARE(sharma.sum(QStringLiteral("AgCFees")), 250.0);
    QCOMPARE(sharma.sum(QStringLiteral("AgMisc")), 100.0);
    QCOMPARE(sharma.sum(QStringLiteral("AgRec")), 300.0);
    QCOMPARE(sharma.sum(QStringLiteral("AgBal")), 2784.5);
}

void TestDataEnvironment::annualGroupsByGrWithRowsInDateOrder()
{
    m_db->exec(QStringLiteral("INSERT INTO tmpac_info (Name, transdate, \"Legal Fees\", Gr) VALUES "
                              "('Sharma', '2007-03-31', 100, NULL),"
                              "('Bank',   '2006-04-01', 200, NULL),"
                              "('Kapoor', '2006-09-15', 300, NULL)"));
    const GroupedResult result = DataEnvironment::run(DataEnvironment::Grouping::Annual);
    QCOMPARE(result.groups.size(), 1);
    QStringList names;
    for (int row : result.groups[0].rows)
        names << result.detail.value(row, QStringLiteral("Name")).toString();
    QCOMPARE(names, (QStringList{"Bank", "Kapoor", "Sharma"}));
    QCOMPARE(result.groups[0].sum(QStringLiteral("AgNLFees")), 600.0);
}

void TestDataEnvironment::emptyWorkTableGivesNoGroups()
{
    m_db->exec(QStringLiteral("DELETE FROM tmpAdvocate"));
    QVERIFY(DataEnvironment::run(DataEnvironment::Grouping::SingleDate).groups.isEmpty());
    QVERIFY(DataEnvironment::run(DataEnvironment::Grouping::AC).groups.isEmpty());
}

void TestDataEnvironment::flatCommandBindsItsValues()
{
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, Party1, CourtIndex) VALUES "
                              "('2026-12-07', 'D''Souza', 2), ('2026-12-01', 'D''Souza', 1)"));
    const ResultTable rows = DataEnvironment::run(
        Command{QStringLiteral("select * from advocate where party1 = ? order by cdate,courtindex"),
                {QStringLiteral("D'Souza")}});
    QCOMPARE(rows.rowCount(), 2);
    QCOMPARE(rows.value(0, QStringLiteral("cdate")), QVariant(QDate(2026, 12, 1)));
    QCOMPARE(rows.value(1, QStringLiteral("CourtIndex")), QVariant(qint64(2)));
    QVERIFY_THROWS_EXCEPTION(
        DataError, DataEnvironment::run(Command{QStringLiteral("select * from nowhere"), {}}));
}

// A loop over next() ends only at the last row: a failure on the way throws.
void TestDataEnvironment::loopFailingPartWayThrowsAfterTheRowsBefore()
{
    m_db->replaceByFailingView(QStringLiteral("tmpAdvocate"), QStringLiteral("Party1"), 3);
    SqlQuery query(QStringLiteral("SELECT Party1 FROM tmpAdvocate"));
    QStringList read;
    QVERIFY_THROWS_EXCEPTION(DataError, {
        while (query.next())
            read << query.text(0);
    });
    QCOMPARE(read, (QStringList{"row 1", "row 2", "row 3"}));
    QVERIFY_THROWS_EXCEPTION(
        DataError, DataEnvironment::run(Command{QStringLiteral("select * from tmpAdvocate"), {}}));
}

void TestDataEnvironment::valueThatCannotBeBoundIsRefused()
{
    SqlQuery query(QStringLiteral("SELECT count(*) FROM tmpAdvocate WHERE caseno = ?"));
    QVERIFY_THROWS_EXCEPTION(DataError, query.bind(2, QStringLiteral("A1")));
    QVERIFY_THROWS_EXCEPTION(DataError, query.bindUtf8Borrowed(0, "A1"));
    // A command with a value more than it has places for is refused, not cut short.
    QVERIFY_THROWS_EXCEPTION(
        DataError,
        DataEnvironment::run(Command{QStringLiteral("select * from tmpAdvocate where caseno = ?"),
                                     {QStringLiteral("A1"), QStringLiteral("A2")}}));
}

QTEST_GUILESS_MAIN(TestDataEnvironment)
#include "tst_dataenvironment.moc"
